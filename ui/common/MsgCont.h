#pragma once

#include "ui/widgets/StsBut.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/** A message over the whole main component: a line of text and "OK" (code 1211); "CANCEL" (1213)
    exists but stays hidden unless the box asks a question. The owner listens to both buttons and
    removes the box. A text too long for the line (a report about a file, with its path) gets a
    wider, taller box with as many lines as it needs. */
class MsgCont final : public juce::Component,
                      public juce::ChangeBroadcaster
{
public:
    static constexpr int okCode = 1211;
    static constexpr int cancelCode = 1213;
    static constexpr int boxWidth = 460, boxHeight = 100;

    explicit MsgCont (const juce::String& text);
    ~MsgCont() override;

    StsBut& getOkButton() noexcept { return okButton; }
    StsBut& getCancelButton() noexcept { return cancelButton; }
    /** Turns the box into a question: "CANCEL" is shown beside "OK". */
    void showCancelButton() { cancelButton.setVisible (true); }
    juce::String getText() const { return message; }
    juce::Rectangle<int> getBox() const;
    /** How many lines the text takes (1 for a message that fits the standard box). */
    int getNumLines() const noexcept { return lines.size(); }

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    const juce::String message;
    juce::StringArray lines;
    juce::Label label;
    StsBut okButton { "OK", okCode, StsBut::barKind };
    StsBut cancelButton { "CANCEL", cancelCode, StsBut::barKind };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MsgCont)
};

} // namespace kelvo
