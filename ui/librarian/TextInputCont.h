#pragma once

#include "ui/librarian/LibBut.h"
#include "ui/librarian/textmsgListener.h"
#include "ui/widgets/ListenerArray.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/**
    The librarian's question and prompt overlay: a message, an optional one-line editor, an
    optional category box (a press opens the category menu) and up to three buttons, OK, NO and
    Cancel, whose captions each use sets. The buttons report accepted, declined and cancelled with
    the accept code and tag of the opening; the dialog does not hide itself. Message thread only.
*/
class TextInputCont : public juce::Component, private LibButListener
{
public:
    static constexpr int okId = 1201, noId = 1200, cancelId = 1202;
    static constexpr int noCategory = -1;

    TextInputCont();
    ~TextInputCont() override;

    /** Sets the message and the editor's text, shows the category box with the category's name
        (noCategory hides it), shows each button whose caption is not empty, and lays out. */
    void open (const juce::String& message, const juce::String& editorText, const juce::String& cancelCaption,
               const juce::String& acceptCaption, const juce::String& noCaption, int category, int acceptCode,
               int tag);

    /** Prompts show the editor, messages do not. */
    void showEditor (bool shouldShow);

    juce::String getText() const { return editor.getText(); }
    int getCategory() const noexcept { return category; }
    bool isCategoryBoxShown() const noexcept { return categoryShown; }
    juce::Rectangle<int> getCategoryBox() const noexcept { return categoryBox; }
    /** What a choice in the category menu does: a category is taken, a dismissal (-1) changes nothing. */
    void categoryMenuChosen (int chosen);

    int getAcceptCode() const noexcept { return acceptCode; }
    int getTag() const noexcept { return tag; }

    LibBut& getOkButton() noexcept { return okButton; }
    LibBut& getNoButton() noexcept { return noButton; }
    LibBut& getCancelButton() noexcept { return cancelButton; }
    juce::TextEditor& getEditor() noexcept { return editor; }
    juce::Label& getMessageLabel() noexcept { return messageLabel; }

    void addListener (textmsgListener* l) { listeners.add (l); }
    void removeListener (textmsgListener* l) { listeners.remove (l); }

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;

private:
    void libButClicked (LibBut& button, int id) override;

    juce::Label messageLabel;
    juce::TextEditor editor;
    LibBut okButton{"OK", okId, 12.0f};
    LibBut noButton{"NO", noId, 12.0f};
    LibBut cancelButton{"Cancel", cancelId, 12.0f};
    juce::Rectangle<int> categoryBox;
    bool categoryShown = false;
    int category = noCategory;
    int acceptCode = 0, tag = 0;
    ListenerArray<textmsgListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextInputCont)
};

} // namespace kelvo
