#pragma once

#include "ui/widgets/StsBut.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/**
    A small box for renaming a program: a one-line editor of at most 16 characters with "OK" (id
    1111) and "Cancel" (id 1113) buttons. The owner listens to both buttons and reads the text
    when "OK" reports. Message thread only.
*/
class RenameCnt : public juce::Component
{
public:
    static constexpr int okButtonId = 1111;
    static constexpr int cancelButtonId = 1113;
    static constexpr int maxLength = 16;

    RenameCnt (int x, int y, const juce::String& text);
    ~RenameCnt() override;

    juce::String getText() const { return editor.getText(); }
    StsBut& getOkButton() noexcept { return okButton; }
    StsBut& getCancelButton() noexcept { return cancelButton; }
    juce::TextEditor& getEditor() noexcept { return editor; }

    void paint (juce::Graphics& g) override;

private:
    juce::TextEditor editor;
    StsBut okButton{"OK", okButtonId, StsBut::barKind};
    StsBut cancelButton{"Cancel", cancelButtonId, StsBut::barKind};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RenameCnt)
};

} // namespace kelvo
