#pragma once

#include "ui/librarian/LibBut.h"
#include "ui/librarian/textSetCurListener.h"
#include "ui/widgets/ListenerArray.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{
class Bank_Program;
class DarkMenuLook;

/**
    The SET CURRENT dialog of the preset bank page: a name for the sound being edited and the slot
    it is to replace, chosen from a menu of the 128 slots that a click on the "Replace:" box opens.
    OK and CANCEL are reported to the listeners; the dialog does not hide itself. Message thread.
*/
class TextSetCurCont : public juce::Component, private LibButListener
{
public:
    static constexpr int okId = 1201, cancelId = 1202;
    static constexpr int firstSlotItem = 1000;

    explicit TextSetCurCont (Bank_Program& bank);
    ~TextSetCurCont() override;

    /** Starts with a name and a target slot (a slot below 0 counts as 0). */
    void open (const juce::String& name, int slot);

    juce::String getName() const { return editor.getText(); }
    juce::TextEditor& getEditor() noexcept { return editor; }
    int getTargetSlot() const noexcept { return targetSlot; }
    /** The box's text: the slot's number from 1, four spaces, its name. */
    const juce::String& getReplaceText() const noexcept { return replaceText; }
    juce::Rectangle<int> getReplaceBox() const noexcept;

    /** The slot menu: item 1000 + i for slot i. */
    juce::PopupMenu createSlotMenu() const;
    /** A menu item becomes the target slot; a dismissal (0) or anything else changes nothing. */
    void slotMenuChosen (int itemId);

    LibBut& getOkButton() noexcept { return okButton; }
    LibBut& getCancelButton() noexcept { return cancelButton; }

    void addListener (textSetCurListener* l) { listeners.add (l); }
    void removeListener (textSetCurListener* l) { listeners.remove (l); }

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;

private:
    void libButClicked (LibBut& button, int id) override;
    juce::String slotText (int slot) const;
    void setTargetSlot (int slot);

    Bank_Program& bank;
    juce::SharedResourcePointer<DarkMenuLook> menuLook;
    juce::TextEditor editor;
    int targetSlot = 0;
    juce::String replaceText;
    LibBut okButton{"OK", okId, 12.0f};
    LibBut cancelButton{"CANCEL", cancelId, 12.0f};
    ListenerArray<textSetCurListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextSetCurCont)
};

} // namespace kelvo
