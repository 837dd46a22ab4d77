#pragma once

#include "files/FileMan.h"
#include "model/DSI_Program.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace kelvo
{
class FileBrowser;
class MainComp;
class MarvexAudioProcessor;
class MidiCntrState;

/**
    The menus of the app bar (FILE, EDIT, SEND, the channel), of the LCD (program, category) and of
    the bank view (transfers, bank files, bank presets, program cell), and the checks every delivery
    to the synth goes through.

    Each menu is built by one function and its chosen item carried out by another, so that both are
    tested without showing anything; a result of 0 (dismissed) does nothing. Files are asked for
    through the FileBrowser (asynchronous) and read and written by FileMan; whatever fails is said
    in a message box, and whatever replaces a whole user bank asks first. Message thread only.
*/
class MenuCommands
{
public:
    /** FILE menu. */
    enum FileItem
    {
        loadProgramItem = 1,
        saveProgramItem = 2,
        aboutItem = 3,
        exportProgramNamesItem = 4,
        keepProgramNamesItem = 5,
        /** One item a size of the patch sheet's picture (PatchSheet::sizes), from here on. */
        exportPatchSheetItem = 20
    };
    /** Transfers menu (the bank view's "MIDI"): receive bank 1..4, transmit bank 100..103. */
    enum TransfersItem
    {
        receiveBankItem = 1,
        transmitBankItem = 100,
        receiveAllItem = 200,
        transmitAllItem = 300,
        receiveFactoryItem = 400
    };
    /** Bank files menu (the bank view's "FILE"): load into U1..U4 100..103, save 200..203. */
    enum BankFilesItem
    {
        loadBankItem = 100,
        saveBankItem = 200,
        loadFactorySetItem = 400
    };
    /** Bank presets menu: factory set 0..3 into the current user bank 100..103. */
    enum PresetsItem
    {
        initialiseItem = 99,
        factoryPresetItem = 100
    };
    /** Program cell menu. */
    enum CellItem
    {
        cellCopyItem = 1,
        cellPasteItem = 2,
        cellSaveItem = 3,
        cellLoadItem = 4
    };

    MenuCommands (MainComp& main, MarvexAudioProcessor& processor);
    ~MenuCommands();

    /** The app bar's channel label. */
    juce::PopupMenu createChannelMenu() const;
    void channelMenuFinished (int result);
    /** EDIT: copy, paste, undo, redo, the compare panel, the project's sound on load. */
    juce::PopupMenu createEditMenu();
    void editMenuFinished (int result);
    /** SEND: the edit buffer, or the current preset of the plug-in's bank. */
    juce::PopupMenu createSendMenu();
    void sendMenuFinished (int result);
    /** The LCD's location: a bank, or a program of the current bank, to switch the synth to. */
    juce::PopupMenu createProgramMenu() const;
    void programMenuFinished (int result);
    /** The category menu of the LCD: the choice becomes the program's category (parameter 117). */
    void categoryMenuFinished (int result);

    juce::PopupMenu createFileMenu() const;
    void fileMenuFinished (int result);

    juce::PopupMenu createTransfersMenu() const;
    void transfersMenuFinished (int result);

    juce::PopupMenu createBankFilesMenu() const;
    void bankFilesMenuFinished (int result);

    /** The presets menu opens only on a user bank shown as a bank (not a category). */
    bool canOpenPresetsMenu (int shownBank, bool showingCategory) const noexcept;
    juce::PopupMenu createPresetsMenu (int userBank) const;
    void presetsMenuFinished (int result, int userBank);

    juce::PopupMenu createCellMenu (int bank, int program) const;
    void cellMenuFinished (int result, int bank, int program);

    /** Copies the edit buffer to the clipboard; pastes the clipboard into the edit buffer (one
        undo step). */
    void copyProgram();
    void pasteProgram();
    bool hasClipboard() const noexcept { return clipboardFull; }
    /** Puts a program on the clipboard (the bank view's cell menu). */
    void copyToClipboard (const ProgramRecord& record);

    /** True when the synth can be reached (an output is open and the synth answered the connection
        check); otherwise says why in a message box and returns false. */
    bool checkSynthReachable();

    FileBrowser& getFileBrowser() noexcept { return *files; }
    FileMan& getFileMan() noexcept { return fileMan; }

private:
    /** Asks "Replace U2:005 <name> with <name>?" before a bank cell takes another program: the
        local bank keeps no undo of it. */
    void askBeforeReplacing (int bank, int programNumber, const ProgramRecord& record, std::function<void()> replace);
    void saveProgram (const juce::MemoryBlock& dump, const juce::String& programName);
    /** Export Program Names (once), or Keep Program Names Up To Date (asks for the file, or stops). */
    void programNamesChosen (bool keepUpToDate);
    void exportPatchSheet (int width);
    void loadProgram (std::function<void (const ProgramRecord&)> use);
    void saveBank (int bank);
    void loadBank (int bank);
    void loadFactorySet();
    bool reportReadProblem (FileMan::ReadStatus status, const juce::File& file,
                            const juce::String& whatWasExpected);

    MainComp& main;
    MarvexAudioProcessor& processor;
    MidiCntrState& engine;
    FileMan fileMan;
    std::unique_ptr<FileBrowser> files;
    DSI_Program clipboard;
    bool clipboardFull = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MenuCommands)
};

} // namespace kelvo
