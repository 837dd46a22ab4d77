#include "ui/main/MenuCommands.h"

#include "files/SafeFileWrite.h"
#include "host/MarvexAudioProcessor.h"
#include "host/ProjectRecall.h"
#include "host/SoundHistory.h"
#include "link/BankTransfer.h"
#include "link/MidiCntrState.h"
#include "model/DSI_Program.h"
#include "model/SynthBanks.h"
#include "host/ProgramNamesFile.h"
#include "ui/panels/PatchSheet.h"
#include "ui/common/FileBrowser.h"
#include "ui/main/AppBar.h"
#include "ui/main/MainComp.h"
#include "ui/widgets/CategoryMenu.h"
#include "ui/widgets/ProgramLocation.h"

namespace kelvo
{
namespace
{
using synthbanks::firstFactoryBank;
using synthbanks::numSynthBanks;
using synthbanks::numUserBanks;
constexpr int numChannels = 16;
constexpr int bankMenuIdBase = 100000;
constexpr int programMenuIdBase = 1000;
constexpr int sendCurrentPreset = 1, sendFxBankPreset = 2;
constexpr int editCopy = 1, editPaste = 2, editUndo = 3, editRedo = 4, editSoundTools = 5,
              editProjectRecall = 6;

juce::String userBankText (int bank)
{
    return "U" + juce::String (bank + 1);
}

bool isIn (int result, int first, int count) noexcept
{
    return result >= first && result < first + count;
}

/** A submenu of the four user banks, "Bank U1" .. "Bank U4", with ids first .. first + 3. */
juce::PopupMenu userBanksMenu (int firstId)
{
    juce::PopupMenu menu;
    for (int b = 0; b < numUserBanks; ++b)
        menu.addItem (firstId + b, "Bank " + userBankText (b));
    return menu;
}
} // namespace

MenuCommands::MenuCommands (MainComp& m, MarvexAudioProcessor& p)
    : main (m), processor (p), engine (p.getEngine())
{
    files = std::make_unique<FileBrowser> (engine,
                                           [this] (const juce::String& question, std::function<void()> onYes)
                                           { main.askQuestion (question, std::move (onYes)); });
}

MenuCommands::~MenuCommands() = default;

//==============================================================================
bool MenuCommands::checkSynthReachable()
{
    if (!engine.isOutputOpen())
    {
        main.showMessage ("No MIDI output is open: nothing was sent");
        return false;
    }
    if (!engine.hasGlobalDumpArrived())
    {
        main.showMessage ("The synth is off-line: nothing was sent");
        return false;
    }
    return true;
}

bool MenuCommands::reportReadProblem (FileMan::ReadStatus status, const juce::File& file,
                                      const juce::String& whatWasExpected)
{
    if (status == FileMan::ReadStatus::ok)
        return false;
    main.showMessage (fileMan.describeProblem (status, file, whatWasExpected + ": " + file.getFileName()));
    return true;
}

void MenuCommands::saveProgram (const juce::MemoryBlock& dump, const juce::String& programName)
{
    juce::Component::SafePointer<MainComp> safeMain (&main);
    files->browseForSave (filedialog::saveProgram, FileMan::suggestedFileName (programName),
                          [safeMain, dump] (const juce::File& file)
                          {
                              if (!FileMan::saveSingleProgram (file, dump) && safeMain != nullptr)
                                  safeMain->showMessage ("Could not write " + file.getFileName());
                          });
}

void MenuCommands::loadProgram (std::function<void (const ProgramRecord&)> use)
{
    files->browseForOpen (
        filedialog::program,
        [this, use] (const juce::File& file)
        {
            if (!reportReadProblem (fileMan.loadSingleProgram (file), file, "No Mopho program in"))
                use (fileMan.getLoadedProgram());
        });
}

void MenuCommands::saveBank (int bank)
{
    const auto* source = engine.getSynthBank (bank);
    if (source == nullptr)
        return;
    // What is saved is the bank as it is now, whatever happens while the chooser is open.
    auto content = std::make_shared<juce::MemoryBlock> (FileMan::makeBankFile (*source, bank));
    juce::Component::SafePointer<MainComp> safeMain (&main);
    files->browseForSave (filedialog::saveBank, "Mopho Bank " + userBankText (bank),
                          [safeMain, content] (const juce::File& file)
                          {
                              if (!writeFileSafely (file, *content) && safeMain != nullptr)
                                  safeMain->showMessage ("Could not write " + file.getFileName());
                          });
}

void MenuCommands::loadBank (int bank)
{
    files->browseForOpen (
        filedialog::bank,
        [this, bank] (const juce::File& file)
        {
            if (reportReadProblem (fileMan.loadProgramBank (file), file, "No Mopho programs in"))
                return;
            const auto dumps = fileMan.getLoadedDumps();
            auto question = "Replace " + juce::String (dumps.count) + " programs of " + userBankText (bank) + "?";
            if (const auto leftOut = FileMan::describeFirstBankTaken (file, fileMan.getAllDumps().count);
                leftOut.isNotEmpty())
                question << "\n" << leftOut;
            main.askQuestion (question,
                              [this, bank, dumps] { engine.loadSynthBankFromDumps (bank, dumps.dumps); });
        });
}

void MenuCommands::loadFactorySet()
{
    files->browseForOpen (
        filedialog::bank,
        [this] (const juce::File& file)
        {
            if (reportReadProblem (fileMan.loadFactorySet (file), file, "Not 512 factory programs"))
                return;
            auto set = std::make_shared<FileMan::FactorySet> (fileMan.getLoadedFactorySet());
            main.askQuestion ("Replace F1-F4 with this factory set?",
                              [this, set]
                              {
                                  for (int b = 0; b < FileMan::factorySetBanks; ++b)
                                      for (int p = 0; p < program::programsPerBank; ++p)
                                          engine.getSynthBank (firstFactoryBank + b)
                                              ->setProgram (p, (*set)[(size_t)b][(size_t)p]);
                                  engine.factoryBanksReplaced (true);
                              });
        });
}

//==============================================================================
juce::PopupMenu MenuCommands::createFileMenu() const
{
    juce::PopupMenu menu;
    menu.addItem (loadProgramItem, "Load Single Program");
    menu.addItem (saveProgramItem, "Save " + processor.getPluginBank().getEditBufferName());
    menu.addSeparator();
    menu.addItem (exportProgramNamesItem, "Export Program Names (.midnam)");
    menu.addItem (keepProgramNamesItem, "Keep Program Names Up To Date", true,
                  processor.getProgramNamesFile().getKeptFile() != juce::File());
    juce::PopupMenu sheetSizes;
    for (size_t n = 0; n < PatchSheet::sizes.size(); ++n)
        sheetSizes.addItem (exportPatchSheetItem + (int)n, PatchSheet::sizes[n].label);
    menu.addSubMenu ("Export Patch Sheet", sheetSizes);
    menu.addSeparator();
    menu.addItem (aboutItem, "About");
    return menu;
}

void MenuCommands::fileMenuFinished (int result)
{
    switch (result)
    {
    case loadProgramItem:
        loadProgram ([this] (const ProgramRecord& record) { engine.storeProgram (false, 0, 0, record); });
        break;
    case saveProgramItem:
    {
        auto& bank = processor.getPluginBank();
        saveProgram (makeEditBufferDump (bank.getEditBufferRecord()), bank.getEditBufferName());
        break;
    }
    case exportProgramNamesItem:
    case keepProgramNamesItem:
        programNamesChosen (result == keepProgramNamesItem);
        break;
    case aboutItem:
        main.showAboutPanel();
        break;
    default:
        if (isIn (result, exportPatchSheetItem, (int)PatchSheet::sizes.size()))
            exportPatchSheet (PatchSheet::sizes[(size_t)(result - exportPatchSheetItem)].width);
        break;
    }
}

void MenuCommands::exportPatchSheet (int width)
{
    juce::Component::SafePointer<MainComp> safeMain (&main);
    auto& owner = processor;
    files->browseForSave (filedialog::savePatchSheet, processor.getPluginBank().getEditBufferName().trimEnd(),
                          [safeMain, &owner, width] (const juce::File& file)
                          {
                              juce::String why;
                              const auto written = PatchSheet::write (owner, file, width, &why);
                              if (safeMain != nullptr && !written)
                                  safeMain->showMessage ("Could not write " + file.getFileName() + ": " +
                                                         why);
                          });
}

void MenuCommands::programNamesChosen (bool keepUpToDate)
{
    auto& names = processor.getProgramNamesFile();
    if (keepUpToDate && names.getKeptFile() != juce::File())
    {
        names.keepUpToDate ({}); // the item was ticked: untick it
        return;
    }

    juce::Component::SafePointer<MainComp> safeMain (&main);
    files->browseForSave (filedialog::saveProgramNames, midnam::defaultFileName,
                          [safeMain, &names, keepUpToDate] (const juce::File& file)
                          {
                              juce::String why;
                              const auto written = keepUpToDate ? names.keepUpToDate (file, &why)
                                                                : names.exportTo (file, &why);
                              if (safeMain == nullptr)
                                  return;
                              if (! written)
                                  safeMain->showMessage ("Could not write " + file.getFileName() + ": " + why);
                              else if (keepUpToDate)
                                  safeMain->showMessage ("The program names in " + file.getFileName()
                                                         + " are kept up to date");
                          });
}

//==============================================================================
juce::PopupMenu MenuCommands::createTransfersMenu() const
{
    juce::PopupMenu menu;
    menu.addSubMenu ("Receive Program Bank ", userBanksMenu (receiveBankItem));
    menu.addItem (receiveAllItem, "Receive All Banks");
    menu.addSeparator();
    menu.addSubMenu ("Transmit Program Bank ", userBanksMenu (transmitBankItem));
    menu.addItem (transmitAllItem, "Transmit All Banks");
    menu.addSeparator();
    menu.addItem (receiveFactoryItem, "Receive Factory Banks F1-F4");
    return menu;
}

void MenuCommands::transfersMenuFinished (int result)
{
    int mode = BankTransfer::idle, bank = 0;
    if (isIn (result, receiveBankItem, numUserBanks))
        mode = BankTransfer::receiveBank, bank = result - receiveBankItem;
    else if (result == receiveAllItem)
        mode = BankTransfer::receiveAllBanks;
    else if (isIn (result, transmitBankItem, numUserBanks))
        mode = BankTransfer::transmitBank, bank = result - transmitBankItem;
    else if (result == transmitAllItem)
        mode = BankTransfer::transmitAllBanks;
    else if (result == receiveFactoryItem)
        mode = BankTransfer::receiveFactoryBanks;

    if (mode != BankTransfer::idle && checkSynthReachable())
        main.startBankTransfer (mode, bank);
}

//==============================================================================
juce::PopupMenu MenuCommands::createBankFilesMenu() const
{
    juce::PopupMenu menu;
    for (int b = 0; b < numUserBanks; ++b)
        menu.addItem (loadBankItem + b, "Load Program Bank To Bank " + userBankText (b));
    menu.addSeparator();
    for (int b = 0; b < numUserBanks; ++b)
        menu.addItem (saveBankItem + b, "Save Program Bank " + userBankText (b));
    menu.addSeparator();
    menu.addItem (loadFactorySetItem, "Load Factory Set To F1-F4");
    return menu;
}

void MenuCommands::bankFilesMenuFinished (int result)
{
    if (isIn (result, loadBankItem, numUserBanks))
        loadBank (result - loadBankItem);
    else if (isIn (result, saveBankItem, numUserBanks))
        saveBank (result - saveBankItem);
    else if (result == loadFactorySetItem)
        loadFactorySet();
}

//==============================================================================
bool MenuCommands::canOpenPresetsMenu (int shownBank, bool showingCategory) const noexcept
{
    return !showingCategory && shownBank >= 0 && shownBank < numUserBanks;
}

juce::PopupMenu MenuCommands::createPresetsMenu (int userBank) const
{
    juce::PopupMenu menu;
    menu.addSubMenu ("Factory Presets ", userBanksMenu (factoryPresetItem));
    menu.addItem (initialiseItem, "Initialize Program Bank U" + juce::String (userBank + 1));
    return menu;
}

void MenuCommands::presetsMenuFinished (int result, int userBank)
{
    if (userBank < 0 || userBank >= numUserBanks)
        return;
    // Both replace all 128 programs of the bank: ask first.
    if (isIn (result, factoryPresetItem, numUserBanks))
    {
        const auto factoryBank = result - factoryPresetItem;
        main.askQuestion ("Replace all of " + userBankText (userBank) + " with factory bank " +
                              juce::String (factoryBank + 1) + "?",
                          [this, userBank, factoryBank]
                          { engine.loadFactoryBankInto (userBank, factoryBank); });
    }
    else if (result == initialiseItem)
    {
        main.askQuestion ("Initialize all 128 programs of " + userBankText (userBank) + "?",
                          [this, userBank] { engine.initialiseSynthBank (userBank); });
    }
}

//==============================================================================
juce::PopupMenu MenuCommands::createCellMenu (int bank, int programNumber) const
{
    juce::PopupMenu menu;
    const auto* source = engine.getSynthBank (bank);
    if (source == nullptr)
        return menu;
    const auto name = source->getProgramName (programNumber);
    menu.addItem (cellCopyItem, "Copy Program: " + name);
    menu.addItem (cellPasteItem, clipboardFull ? "Paste " + clipboard.name : juce::String ("Paste "),
                  clipboardFull);
    menu.addSeparator();
    menu.addItem (cellSaveItem, "Save " + name);
    menu.addItem (cellLoadItem, "Load Program ");
    return menu;
}

void MenuCommands::askBeforeReplacing (int bank, int programNumber, const ProgramRecord& record,
                                       std::function<void()> replace)
{
    const auto* target = engine.getSynthBank (bank);
    if (target == nullptr)
        return;
    const auto newName = decodeProgramName (record.data() + program::nameOffset, program::nameLength).trimEnd();
    main.askQuestion ("Replace " + programLocation (bank, programNumber) + " " +
                          target->getProgramName (programNumber).trimEnd() + " with " + newName + "?",
                      std::move (replace));
}

void MenuCommands::cellMenuFinished (int result, int bank, int programNumber)
{
    auto* target = engine.getSynthBank (bank);
    if (target == nullptr || programNumber < 0 || programNumber >= program::programsPerBank)
        return;

    switch (result)
    {
    case cellCopyItem:
        copyToClipboard (target->getProgramRecord (programNumber));
        break;
    case cellPasteItem:
        if (clipboardFull)
        {
            const auto record = clipboard.getRecord();
            askBeforeReplacing (bank, programNumber, record,
                                [this, bank, programNumber, record]
                                { engine.storeProgram (true, bank, programNumber, record); });
        }
        break;
    case cellSaveItem:
        saveProgram (target->makeEditBufferDumpOf (programNumber), target->getProgramName (programNumber));
        break;
    case cellLoadItem:
        loadProgram (
            [this, bank, programNumber] (const ProgramRecord& record)
            {
                askBeforeReplacing (bank, programNumber, record,
                                    [this, bank, programNumber, record]
                                    {
                                        engine.storeProgram (true, bank, programNumber, record);
                                        engine.storeProgram (false, bank, programNumber, record);
                                    });
            });
        break;
    default:
        break;
    }
}

//==============================================================================
juce::PopupMenu MenuCommands::createChannelMenu() const
{
    juce::PopupMenu menu;
    for (int channel = 1; channel <= numChannels; ++channel)
        menu.addItem (channel, "Channel " + juce::String (channel), true, channel == engine.getMidiChannel());
    return menu;
}

void MenuCommands::channelMenuFinished (int result)
{
    if (result < 1 || result > numChannels)
        return;
    engine.setMidiChannel (result);
    main.getAppBar().getChannelLabel().setText ("Chan: " + juce::String (result));
}

juce::PopupMenu MenuCommands::createEditMenu()
{
    juce::PopupMenu menu;
    menu.addItem (editCopy, "Copy Program: " + processor.getPluginBank().getEditBufferName());
    menu.addItem (editPaste, clipboardFull ? "Paste " + clipboard.name : juce::String ("Paste "),
                  clipboardFull);
    menu.addSeparator();
    const auto& history = processor.getHistory();
    menu.addItem (editUndo, history.canUndo() ? "Undo " + history.getUndoLabel() : juce::String ("Undo"),
                  history.canUndo());
    menu.addItem (editRedo, history.canRedo() ? "Redo " + history.getRedoLabel() : juce::String ("Redo"),
                  history.canRedo());
    menu.addSeparator();
    menu.addItem (editSoundTools, "Compare and Vary...", true, main.getSoundTools() != nullptr);
    menu.addItem (editProjectRecall, "Send The Project's Sound To The Synth On Load", true,
                  processor.getProjectRecall().isEnabled());
    return menu;
}

void MenuCommands::editMenuFinished (int result)
{
    if (result == editCopy)
        copyProgram();
    else if (result == editPaste)
        pasteProgram();
    else if (result == editUndo)
        processor.getHistory().undo();
    else if (result == editRedo)
        processor.getHistory().redo();
    else if (result == editSoundTools)
        main.toggleSoundTools();
    else if (result == editProjectRecall)
        processor.getProjectRecall().setEnabled (!processor.getProjectRecall().isEnabled());
}

juce::PopupMenu MenuCommands::createSendMenu()
{
    juce::PopupMenu menu;
    auto& bank = processor.getPluginBank();
    menu.addItem (sendCurrentPreset, "Current Preset: " + bank.getEditBufferName());
    menu.addItem (sendFxBankPreset,
                  "FX Bank Preset: " + bank.getProgramName (engine.getCurrentPluginProgram()));
    return menu;
}

void MenuCommands::sendMenuFinished (int result)
{
    if (result == sendCurrentPreset)
    {
        if (!checkSynthReachable())
            return;
        engine.sendEditBufferToSynth();
        engine.storeProgram (false, 0, 0, processor.getPluginBank().getEditBufferRecord());
    }
    else if (result == sendFxBankPreset)
    {
        engine.loadCurrentPluginProgram();
    }
}

void MenuCommands::categoryMenuFinished (int result)
{
    const auto categoryNumber = categoryFromMenuResult (result);
    if (categoryNumber >= 0)
        processor.setParameterFromEditor (program::categoryIndex, categoryNumber, true, true);
}

juce::PopupMenu MenuCommands::createProgramMenu() const
{
    juce::PopupMenu menu;
    const auto currentBank = engine.getCurrentSynthBank();
    for (int b = 0; b < numSynthBanks; ++b)
        menu.addItem (bankMenuIdBase + b, engine.getSynthBank (b)->getBankName(), true, b == currentBank);
    menu.addSeparator();
    const auto* bank = engine.getSynthBank (currentBank);
    for (int p = 0; p < program::programsPerBank; ++p)
        menu.addItem (programMenuIdBase + p, bank->getProgramName (p), true,
                      p == engine.getCurrentSynthProgram());
    return menu;
}

void MenuCommands::programMenuFinished (int result)
{
    auto bank = engine.getCurrentSynthBank();
    auto programNumber = engine.getCurrentSynthProgram();
    if (result >= bankMenuIdBase && result < bankMenuIdBase + numSynthBanks)
        bank = result - bankMenuIdBase;
    else if (result >= programMenuIdBase && result < programMenuIdBase + program::programsPerBank)
        programNumber = result - programMenuIdBase;
    else
        return;
    engine.selectProgram (bank, programNumber, true);
}

//==============================================================================
void MenuCommands::copyToClipboard (const ProgramRecord& record)
{
    clipboard.setData (toBlock (record));
    clipboard.getName();
    clipboardFull = true;
}

void MenuCommands::copyProgram()
{
    clipboard.setData (processor.getPluginBank().getEditBuffer());
    clipboard.getName();
    clipboardFull = true;
    engine.storeProgram (false, 0, 0, processor.getPluginBank().getEditBufferRecord());
}

void MenuCommands::pasteProgram()
{
    if (clipboardFull)
        processor.getHistory().recordSoundChange (
            "Paste " + clipboard.getName().trimEnd(),
            [this] { engine.storeProgram (false, 0, 0, clipboard.getRecord()); });
}

} // namespace kelvo
