#pragma once

#include "ui/librarian/LibBut.h"
#include "ui/librarian/PlugFileListener.h"
#include "ui/librarian/textSetCurListener.h"
#include "ui/librarian/textmsgListener.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace kelvo
{
class MarvexAudioProcessor;
class LibPageHost;
class Plugin_File;
class TextInputCont;
class TextSetCurCont;

/**
    The preset bank page: the host's 128 programs (the plug-in's bank), with buttons to make one the
    current program, rename it, store the sound being edited into a slot, load slots from preset
    files, program bank files and the synth's banks, and save a preset or the whole bank as files.

    The page keeps no copy of the bank: every row is read from the processor's bank when painted.
    After a load that replaces slots, the edit buffer is reloaded from the current slot (nothing is
    sent to the synth), so that the sound being edited and the slots agree. Message thread only.
*/
class Plugin_Bank : public juce::Component,
                    public juce::ChangeBroadcaster,
                    private PlugFileListener,
                    private LibButListener,
                    private textmsgListener,
                    private textSetCurListener
{
public:
    /** Button ids, in the order the page holds them. */
    enum ButtonId
    {
        loadButton = 1211,
        saveButton = 1209,
        applyButton = 1206,
        renameButton = 1203,
        setCurrentButton = 1316,
        doneButton = 1201
    };
    /** LOAD menu items; a synth bank b (0..7) is loadSynthBankItem + b. */
    enum LoadItem
    {
        loadPresetItem = 11,
        loadPresetBankItem = 10,
        loadProgramBankItem = 14,
        loadSynthBankItem = 100
    };
    /** SAVE menu items. */
    enum SaveItem
    {
        savePresetItem = 21,
        savePresetBankItem = 20
    };
    /** The message code set by DONE before the change message. */
    static constexpr int doneMessageCode = 1113;

    Plugin_Bank (MarvexAudioProcessor& processor, LibPageHost& host);
    ~Plugin_Bank() override;

    Plugin_File& getList() noexcept { return *list; }
    LibBut& getButton (int id) const;
    TextInputCont* getRenameDialog() noexcept { return renameDialog.get(); }
    TextSetCurCont* getSlotDialog() noexcept { return slotDialog.get(); }
    juce::Label& getHintLabel() noexcept { return hintLabel; }
    int getMessageCode() const noexcept { return messageCode; }

    /** Selects the current program's row without applying it (the page is shown, or the host
        changed the program), and repaints the rows. */
    void showCurrentProgram();
    /** Shows the buttons that apply: SAVE with rows, RENAME with a selection; APPLY never. */
    void refreshButtons();

    juce::PopupMenu createLoadMenu() const;
    void loadMenuFinished (int result);
    juce::PopupMenu createSaveMenu() const;
    void saveMenuFinished (int result);

    /** RENAME of the selected slot; SET CURRENT. */
    void openRenameDialog();
    void openSlotDialog();

    //==============================================================================
    // What the menus do once a file is chosen. Each reports what went wrong in a message.

    /** The preset replaces the current slot and the edit buffer. */
    bool loadPresetFile (const juce::File& file);
    /** The bank's 128 slots replace the slots; the edit buffer follows the current slot. */
    bool loadPresetBankFile (const juce::File& file);
    /** The file's programs replace slots 0..n-1; the others stay. */
    bool loadProgramBankFile (const juce::File& file);
    /** Synth bank b (0..7) replaces the 128 slots. */
    void loadSynthBank (int bank);

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    void plugFileNotification (int code, int value) override;
    void plugFileDoubleClicked() override;
    void libButClicked (LibBut& button, int id) override;
    void libButEntered (LibBut& button, int id) override;
    void libButLeft (LibBut& button, int id) override;
    void textAccepted (int code, int tag) override;
    void textDeclined (int, int) override {}
    void textCancelled (int code, int tag) override;
    void setCurrentAccepted (int targetSlot) override;
    void setCurrentCancelled() override;

    /** Asks "Replace N presets?" (with note below it, when there is one); on "OK" slots 0.. take
        the whole records of a block (at most 128) and the edit buffer is reloaded from the current
        slot, as one undo step. */
    void replaceSlots (const juce::MemoryBlock& programs, const juce::String& note = {});
    /** What read finds in a file the user chose; says what went wrong when nothing. */
    template <typename Reader>
    auto readChosenFile (const juce::File& file, Reader read, const juce::String& notFound)
        -> decltype (read (nullptr, 0));
    void programsChanged();
    /** The selected slot becomes the current program. */
    void applySelected();
    int currentSlot() const;
    void saveFile (int dialogType, const juce::String& suggestedName, const juce::MemoryBlock& content);
    void hide (juce::Component& dialog);
    void cover (juce::Component& dialog);

    MarvexAudioProcessor& processor;
    LibPageHost& host;
    std::unique_ptr<Plugin_File> list;
    juce::OwnedArray<LibBut> buttons;
    juce::Label hintLabel;
    std::unique_ptr<TextInputCont> renameDialog;
    std::unique_ptr<TextSetCurCont> slotDialog;
    int messageCode = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Plugin_Bank)
};

} // namespace kelvo
