#include "files/FileMan.h"
#include "host/MarvexAudioProcessor.h"
#include "host/SoundHistory.h"
#include "librarian/LibraryFile.h"
#include "librarian/LibraryStore.h"
#include "librarian/PresetFiles.h"
#include "librarian/ProgramLibrary.h"
#include "support/LibraryRig.h"
#include "support/TestHelpers.h"
#include "support/WidgetTestRig.h"
#include "ui/librarian/LibClass.h"
#include "ui/librarian/LibFindBar.h"
#include "ui/librarian/SimpleLabel.h"
#include "ui/librarian/Lib_Manager_Comp.h"
#include "ui/librarian/Lib_Manager_Win.h"
#include "ui/librarian/Plugin_Bank.h"
#include "ui/librarian/Plugin_File.h"
#include "ui/librarian/StsFile.h"
#include "ui/librarian/TextInputCont.h"
#include "ui/librarian/TextSetCurCont.h"
#include "ui/main/AppBar.h"
#include "ui/common/FileBrowser.h"
#include "ui/main/MainComp.h"
#include "ui/main/MenuCommands.h"
#include "ui/common/MsgCont.h"
#include "ui/common/WinMovCan.h"
#include "ui/widgets/KeyPlayClass.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
ProgramRecord recordWith (int seed, const juce::String& name, int category)
{
    auto r = initialProgram();
    r[20] = (uint8_t)(seed % 165);
    r[21] = (uint8_t)(seed / 165 + 1);
    r[program::categoryIndex] = (uint8_t)category;
    const auto bytes = encodeProgramName (name);
    std::copy (bytes.begin(), bytes.end(), r.begin() + program::nameOffset);
    return r;
}

/**
    The editor's main component on a real processor whose MIDI output records what is sent, with the
    library window opened from the app bar's menu button. File dialogs are answered from a queue (an
    empty file is a cancel).
*/
struct LibraryWindowFixture : ::testing::Test
{
    juce::SharedResourcePointer<KelvoLook> look;
    UsedSettingsFolder temp;
    VirtualRig rig;
    std::unique_ptr<MarvexAudioProcessor> processor;
    std::unique_ptr<MainComp> main;
    std::deque<juce::File> answers;
    std::vector<int> dialogsAsked;

    void SetUp() override
    {
        processor = std::make_unique<MarvexAudioProcessor> (rig.makeDevices(), temp.folder);
        processor->getEngine().firstEditorOpened = true;
        processor->getEngine().selectOutputRow (1);
        auto& bank = processor->getPluginBank();
        for (int n = 0; n < 128; ++n)
            bank.setProgram (n, recordWith (n, "Slot " + juce::String (n + 1), n % 26));
        main = std::make_unique<MainComp> (*processor);
        main->setSize (1191, 700);
        midiSent(); // the connection check
    }

    void TearDown() override
    {
        main.reset();
        processor.reset();
    }

    /** The app bar's menu button, as the user presses it. */
    Lib_Manager_Win& openWindow()
    {
        main->changeListenerCallback (&main->getAppBar().getMenuButton());
        auto* window = main->getLibraryWindow();
        EXPECT_NE (window, nullptr);
        window->getManager().getFileBrowser().setChooser (
            [this] (int type, const juce::File&, const juce::String&, FileBrowser::Picked answer)
            {
                dialogsAsked.push_back (type);
                auto file = answers.empty() ? juce::File() : answers.front();
                if (!answers.empty())
                    answers.pop_front();
                answer (file);
            });
        return *window;
    }

    Lib_Manager_Comp& manager() { return main->getLibraryWindow()->getManager(); }
    Plugin_Bank& presetPage() { return *manager().getPresetPage(); }
    LibClass& libraryPage()
    {
        if (manager().getLibraryPage() == nullptr)
            press (manager().getPageButton (Lib_Manager_Comp::libraryPageId));
        return *manager().getLibraryPage();
    }
    LibraryStore& store() { return libraryPage().getLibrary().getStore(); }
    Bank_Program& bank() { return processor->getPluginBank(); }
    MidiCntrState& engine() { return processor->getEngine(); }

    void press (juce::Component& c, float x = 20.0f, float y = 10.0f, juce::ModifierKeys mods = leftButton)
    {
        MouseDriver (c).click (x, y, mods);
        pumpFor (20);
    }
    void clickListRow (LibListBox& list, int row)
    {
        press (list, 100.0f, (float)((row - list.getFirstVisibleRow()) * LibListBox::rowHeight + 17));
    }

    juce::String message()
    {
        auto* box = manager().getMessageBox();
        return box != nullptr ? box->getText() : juce::String();
    }
    void dismissMessage()
    {
        manager().getMessageBox()->getOkButton().getInnerButton()->triggerClick();
        pumpFor (20);
    }

    bool editBufferIsSlot (int slot)
    {
        return bank().getEditBufferRecord() == bank().getProgramRecord (slot);
    }
    /** What reached the synth since the last call, as "status data..." lines. */
    juce::StringArray midiSent()
    {
        engine().waitUntilSent (1000);
        juce::StringArray lines;
        for (const auto& m : rig.sink.take())
            lines.add (juce::String::toHexString (m.data(), (int)m.size()));
        return lines;
    }
};
} // namespace

TEST_F (LibraryWindowFixture, OpensOnThePresetBankInFrontAndReadsTheLibraryOnlyWhenItsPageIsShown)
{
    // A default library on disk before the window opens.
    const auto writeLibrary = [this] (int count)
    {
        juce::MemoryBlock entries;
        for (int i = 0; i < count; ++i)
            entries.append (recordWith (500 + i, "Lib " + juce::String (i), 2).data(), 256);
        const auto file = libraryfile::make (entries);
        return ProgramLibrary::defaultFileIn (temp.folder).replaceWithData (file.getData(), file.getSize());
    };
    ASSERT_TRUE (writeLibrary (3));
    processor->setCurrentProgram (40);

    auto& window = openWindow();
    EXPECT_TRUE (window.isVisible());
    EXPECT_TRUE (window.isAlwaysOnTop());
    EXPECT_EQ (manager().getWidth(), 1000);
    EXPECT_EQ (manager().getHeight(), 620);
    EXPECT_EQ (manager().getShownPage(), Lib_Manager_Comp::presetPageId);
    EXPECT_EQ (manager().getPageName(), "PRESET BANK");
    EXPECT_EQ (manager().getLibraryPage(), nullptr);
    // The current program's row is selected and in view, and nothing was applied.
    EXPECT_EQ (presetPage().getList().getSelectedRow(), 40);
    EXPECT_EQ (presetPage().getList().getFirstVisibleRow(), 40);
    EXPECT_TRUE (presetPage().getButton (Plugin_Bank::renameButton).isVisible());
    EXPECT_FALSE (presetPage().getButton (Plugin_Bank::applyButton).isVisible());

    // The library is read when its page is first shown, not before.
    ASSERT_TRUE (writeLibrary (4));
    press (manager().getPageButton (Lib_Manager_Comp::libraryPageId));
    EXPECT_EQ (manager().getPageName(), "LIBRARY");
    ASSERT_NE (manager().getLibraryPage(), nullptr);
    EXPECT_EQ (store().getNumEntries(), 4);
    EXPECT_FALSE (presetPage().isVisible());
    EXPECT_TRUE (libraryPage().isVisible());

    // The painted window shows the caption bar (nothing here is drawn the page grey).
    const auto image = paintComponent (manager());
    EXPECT_EQ (image.getPixelAt (600, 10).getARGB(), 0xff0a0a0au);
}

TEST_F (LibraryWindowFixture, PresetBankFilesRoundTripAndEveryLoadReloadsTheEditBufferFromTheCurrentSlot)
{
    openWindow();
    processor->setCurrentProgram (5);
    const auto original = bank().getAllPrograms();
    midiSent();

    // Save the bank: the slots alone, whatever the sound being edited is.
    processor->setParameterFromEditor (20, 99, true, false);
    answers.push_back (temp.folder.getChildFile ("mine"));
    presetPage().saveMenuFinished (Plugin_Bank::savePresetBankItem);
    const auto bankFile = temp.folder.getChildFile ("mine.fxb");
    ASSERT_TRUE (bankFile.existsAsFile());
    juce::MemoryBlock saved;
    bankFile.loadFileAsData (saved);
    ASSERT_EQ (saved.getSize(), 32793u);
    EXPECT_EQ (juce::MemoryBlock (static_cast<const char*> (saved.getData()) + 25, 32768), original);

    // U1 into the slots: the edit buffer follows slot 5, the stale edit is gone.
    presetPage().loadMenuFinished (Plugin_Bank::loadSynthBankItem + 0);
    EXPECT_EQ (message(), "Replace 128 presets?");
    dismissMessage();
    EXPECT_EQ (bank().getAllPrograms(), engine().getSynthBank (0)->getAllPrograms());
    EXPECT_TRUE (editBufferIsSlot (5));

    // The saved bank again: all 128 slots as they were, and the edit buffer is slot 5's.
    answers.push_back (bankFile);
    presetPage().loadMenuFinished (Plugin_Bank::loadPresetBankItem);
    dismissMessage();
    EXPECT_EQ (bank().getAllPrograms(), original);
    EXPECT_TRUE (editBufferIsSlot (5));
    EXPECT_EQ (engine().getCurrentPluginProgram(), 5);

    // A program bank file of 30 programs replaces slots 0..29 only.
    auto thirty = FileMan::makeBankFile (*engine().getSynthBank (2), 2);
    thirty.setSize (30 * 300);
    const auto bankOf30 = temp.folder.getChildFile ("thirty.m_b");
    bankOf30.replaceWithData (thirty.getData(), thirty.getSize());
    answers.push_back (bankOf30);
    presetPage().loadMenuFinished (Plugin_Bank::loadProgramBankItem);
    EXPECT_EQ (message(), "Replace 30 presets?");
    dismissMessage();
    for (int n = 0; n < 128; ++n)
        ASSERT_EQ (bank().getProgramRecord (n),
                   n < 30 ? engine().getSynthBank (2)->getProgramRecord (n)
                          : toRecord (static_cast<const uint8_t*> (original.getData()) + n * 256, 256))
            << n;
    EXPECT_TRUE (editBufferIsSlot (5));
    EXPECT_EQ (midiSent().joinIntoString ("|"), "");

    // A single preset: saved from the edit buffer (285 bytes), loaded into another current slot.
    processor->setParameterFromEditor (20, 77, true, false);
    const auto edited = bank().getEditBufferRecord();
    answers.push_back (temp.folder.getChildFile ("one"));
    presetPage().saveMenuFinished (Plugin_Bank::savePresetItem);
    const auto presetFile = temp.folder.getChildFile ("one.fxp");
    ASSERT_EQ (presetFile.getSize(), 285);
    processor->setCurrentProgram (9);
    answers.push_back (presetFile);
    presetPage().loadMenuFinished (Plugin_Bank::loadPresetItem);
    EXPECT_EQ (bank().getProgramRecord (9), edited);
    EXPECT_TRUE (editBufferIsSlot (9));
}

TEST_F (LibraryWindowFixture, FilesThatAreNotPresetsChangeNothingAndFailuresAreReported)
{
    openWindow();
    const auto before = bank().getAllPrograms();
    const auto editBefore = bank().getEditBufferRecord();

    const auto bankFile = presetfile::makeBankFile (before);
    struct Case
    {
        juce::MemoryBlock content;
        int item;
        const char* expected;
    };
    auto truncated = bankFile;
    truncated.setSize (32792);
    auto wrongTag = bankFile;
    static_cast<char*> (wrongTag.getData())[3] = 'X';
    const Case cases[] = {
        {truncated, Plugin_Bank::loadPresetBankItem, "No Mopho preset bank in"},
        {wrongTag, Plugin_Bank::loadPresetBankItem, "No Mopho preset bank in"},
        {bankFile, Plugin_Bank::loadPresetItem, "No Mopho preset in"},
        {juce::MemoryBlock (40, true), Plugin_Bank::loadProgramBankItem, "No Mopho programs in"},
        {asOtherSynth (FileMan::makeBankFile (*engine().getSynthBank (0), 0), sysex::deviceMopho),
         Plugin_Bank::loadProgramBankItem, "case.bin holds Mopho programs, not Mopho x4 programs"},
    };
    for (const auto& c : cases)
    {
        const auto file = temp.folder.getChildFile ("case.bin");
        file.replaceWithData (c.content.getData(), c.content.getSize());
        answers.push_back (file);
        presetPage().loadMenuFinished (c.item);
        EXPECT_TRUE (message().startsWith (c.expected)) << message();
        dismissMessage();
        EXPECT_EQ (bank().getAllPrograms(), before);
        EXPECT_EQ (bank().getEditBufferRecord(), editBefore);
    }

    // A save that cannot be written says so, and leaves nothing behind.
    const auto blocker = temp.folder.getChildFile ("blocker");
    blocker.replaceWithText ("a file where a folder should be");
    answers.push_back (blocker.getChildFile ("bank.fxb"));
    presetPage().saveMenuFinished (Plugin_Bank::savePresetBankItem);
    EXPECT_TRUE (message().startsWith ("Could not write bank.fxb")) << message();
}

TEST_F (LibraryWindowFixture, RowClicksApplyRenameOfTheCurrentSlotRenamesTheSoundAndSetCurrentStoresIt)
{
    openWindow();
    auto& list = presetPage().getList();
    clickListRow (list, 4); // the row numbered 5
    EXPECT_EQ (processor->getCurrentProgram(), 4);
    EXPECT_TRUE (editBufferIsSlot (4));

    // Rename the current slot: the sound being edited takes the name and category too, so the
    // next program save keeps them.
    press (presetPage().getButton (Plugin_Bank::renameButton));
    auto* rename = presetPage().getRenameDialog();
    ASSERT_NE (rename, nullptr);
    EXPECT_TRUE (rename->isVisible());
    EXPECT_EQ (rename->getMessageLabel().getText(), "Rename Slot 5:");
    rename->getEditor().setText ("Warm Brass");
    rename->categoryMenuChosen (7);
    rename->getOkButton().triggerClick();
    EXPECT_FALSE (rename->isVisible());
    juce::MemoryBlock chunk;
    processor->getCurrentProgramStateInformation (chunk);
    EXPECT_EQ (bank().getProgramName (4), "Warm Brass      ");
    EXPECT_EQ (bank().getProgramByte (4, program::categoryIndex), 7);
    EXPECT_EQ (bank().getEditBufferName(), "Warm Brass      ");
    EXPECT_EQ (bank().getEditBufferByte (program::categoryIndex), 7);

    // An empty name keeps the name; the category is still taken. Another slot leaves the sound alone.
    processor->setCurrentProgram (0);
    clickListRow (list, 10);
    processor->setCurrentProgram (0);
    presetPage().openRenameDialog();
    rename->getEditor().setText ({});
    rename->categoryMenuChosen (3);
    rename->getOkButton().triggerClick();
    EXPECT_EQ (bank().getProgramName (10), "Slot 11         ");
    EXPECT_EQ (bank().getProgramByte (10, program::categoryIndex), 3);
    EXPECT_TRUE (editBufferIsSlot (0));

    // SET CURRENT: a name of dashes proposes "Untitled"; slot 128 chosen from the menu.
    auto edit = bank().getEditBufferRecord();
    const auto dashes = encodeProgramName ("---Init---");
    std::copy (dashes.begin(), dashes.end(), edit.begin() + program::nameOffset);
    edit[20] = 123;
    engine().storeProgram (false, 0, 0, edit);
    press (presetPage().getButton (Plugin_Bank::setCurrentButton));
    auto* slots = presetPage().getSlotDialog();
    ASSERT_NE (slots, nullptr);
    EXPECT_EQ (slots->getName(), "Untitled");
    EXPECT_EQ (slots->getTargetSlot(), 0);
    EXPECT_EQ (slots->getReplaceText(), "1    Slot 1          ");
    EXPECT_EQ (slots->createSlotMenu().getNumItems(), 128);
    slots->slotMenuChosen (0); // dismissed
    EXPECT_EQ (slots->getTargetSlot(), 0);
    slots->slotMenuChosen (TextSetCurCont::firstSlotItem + 127);
    EXPECT_EQ (slots->getReplaceText(), "128    Slot 128        ");
    slots->getOkButton().triggerClick();
    EXPECT_FALSE (slots->isVisible());
    EXPECT_EQ (processor->getCurrentProgram(), 127);
    EXPECT_EQ (bank().getProgramName (127), "Untitled        ");
    EXPECT_EQ (bank().getProgramByte (127, 20), 123);
    EXPECT_TRUE (editBufferIsSlot (127));
    EXPECT_EQ (midiSent().joinIntoString ("|"), "");
}

TEST_F (LibraryWindowFixture, DoneHidesTheWindowAndReopeningShowsTheSamePageSelectionAndScroll)
{
    auto& window = openWindow();
    auto& list = presetPage().getList();

    // Two quick clicks on the scroll track are no choice; on a row they close the window.
    list.mouseDoubleClick (mouseEvent (list, {320.0f, 300.0f}, leftButton, {320.0f, 300.0f}));
    EXPECT_TRUE (window.isVisible());
    MouseDriver (list).doubleClick (100.0f, 50.0f);
    EXPECT_FALSE (window.isVisible());
    EXPECT_EQ (processor->getCurrentProgram(), 1);

    // The library page, scrolled and with a row chosen, then DONE.
    openWindow();
    auto& library = libraryPage();
    library.getLibrary().stageBank (*engine().getSynthBank (4));
    library.getLibrary().commitImport (false);
    ASSERT_GT (store().getNumRows(), 40);
    library.getList().scrollTo (20);
    clickListRow (library.getList(), 25);
    ASSERT_EQ (store().getSelectedRow(), 25);
    press (library.getButton (LibClass::doneButton));
    EXPECT_FALSE (window.isVisible());
    EXPECT_EQ (main->getLibraryWindow(), &window); // hidden, not destroyed

    openWindow();
    EXPECT_TRUE (window.isVisible());
    EXPECT_EQ (manager().getShownPage(), Lib_Manager_Comp::libraryPageId);
    EXPECT_EQ (store().getSelectedRow(), 25);
    EXPECT_EQ (library.getList().getFirstVisibleRow(), 20);

    // The close control hides it too.
    auto& close = manager().getCloseControl();
    EXPECT_TRUE (close.offersOnlyHide());
    MouseDriver (close).click (4.0f, 5.0f);
    EXPECT_FALSE (window.isVisible());
}

TEST_F (LibraryWindowFixture, TheCaptionBarAndThePlayerStripDragTheWindowAndTheHostsProgramChangeIsFollowed)
{
    auto& window = openWindow();
    window.setTopLeftPosition (100, 100);

    MouseDriver caption (manager());
    caption.press (500.0f, 10.0f);
    caption.drag (530.0f, 15.0f);
    caption.release (530.0f, 15.0f);
    EXPECT_EQ (window.getPosition(), juce::Point<int> (130, 105));

    // Below the caption bar a press moves nothing.
    caption.press (500.0f, 300.0f);
    caption.drag (520.0f, 320.0f);
    EXPECT_EQ (window.getPosition(), juce::Point<int> (130, 105));

    MouseDriver strip (manager().getPlayer());
    strip.press (10.0f, 10.0f);
    strip.drag (0.0f, 30.0f);
    EXPECT_EQ (window.getPosition(), juce::Point<int> (120, 125));

    // A program chosen by the host: the list follows without applying anything of its own.
    processor->setCurrentProgram (77);
    main->drainEvents();
    EXPECT_EQ (presetPage().getList().getSelectedRow(), 77);
    EXPECT_TRUE (editBufferIsSlot (77));
}

TEST_F (LibraryWindowFixture, LibraryQuestionsReplaceOrClearOnlyAfterASuccessfulSave)
{
    openWindow();
    auto& page = libraryPage();
    auto& library = page.getLibrary();
    const auto numIn = [&] (int synthBank)
    {
        LibraryStore probe;
        probe.stageBank (*engine().getSynthBank (synthBank), 128);
        return probe.getNumStaged();
    };

    // A bank file of another synth imports nothing.
    const auto tetraFile = temp.folder.getChildFile ("tetra.syx");
    const auto tetraBank = asOtherSynth (FileMan::makeBankFile (*engine().getSynthBank (0), 0), sysex::deviceTetra);
    tetraFile.replaceWithData (tetraBank.getData(), tetraBank.getSize());
    answers.push_back (tetraFile);
    page.loadMenuFinished (LibClass::fromProgramBankFileItem);
    EXPECT_EQ (message(), "tetra.syx holds Tetra programs, not Mopho x4 programs: nothing was loaded");
    dismissMessage();
    EXPECT_EQ (store().getNumEntries(), 0);
    EXPECT_EQ (store().getNumStaged(), 0);

    // An empty library is replaced without a question.
    page.loadMenuFinished (LibClass::fromSynthBankItem + 0);
    EXPECT_FALSE (page.isDialogOpen());
    const auto u1 = store().getNumEntries();
    EXPECT_EQ (u1, numIn (0));

    // "Append Programs?": YES appends, CANCEL leaves all as it was.
    page.loadMenuFinished (LibClass::fromSynthBankItem + 1);
    ASSERT_TRUE (page.isDialogOpen());
    EXPECT_EQ (page.getDialog()->getMessageLabel().getText(), "Append Programs?");
    page.getDialog()->getOkButton().triggerClick();
    EXPECT_EQ (store().getNumEntries(), u1 + numIn (1));
    page.loadMenuFinished (LibClass::fromSynthBankItem + 2);
    page.getDialog()->getCancelButton().triggerClick();
    EXPECT_FALSE (page.isDialogOpen());
    const auto both = store().getNumEntries();
    EXPECT_EQ (both, u1 + numIn (1));

    // NO, then "Save the Current Library?" YES with the save cancelled: nothing changes, the import
    // stays staged.
    page.loadMenuFinished (LibClass::fromSynthBankItem + 4);
    page.getDialog()->getNoButton().triggerClick();
    ASSERT_TRUE (page.isDialogOpen());
    EXPECT_EQ (page.getDialog()->getMessageLabel().getText(), "Save the Current Library?");
    page.getDialog()->getOkButton().triggerClick(); // the queue is empty: the save is cancelled
    EXPECT_EQ (store().getNumEntries(), both);
    EXPECT_EQ (store().getNumStaged(), numIn (4));

    // The same with a file chosen: the library is saved whole, then replaced.
    page.loadMenuFinished (LibClass::fromSynthBankItem + 4);
    page.getDialog()->getNoButton().triggerClick();
    answers.push_back (temp.folder.getChildFile ("before import"));
    page.getDialog()->getOkButton().triggerClick();
    const auto saved = temp.folder.getChildFile ("before import.m_l");
    ASSERT_TRUE (saved.existsAsFile());
    EXPECT_EQ (saved.getSize(), 26 + 256 * both);
    EXPECT_EQ (store().getNumEntries(), numIn (4));

    // CLEAR ALL: "Save Current Library?"; a cancelled save keeps everything, NO clears.
    press (page.getButton (LibClass::clearAllButton));
    EXPECT_EQ (page.getDialog()->getMessageLabel().getText(), "Save Current Library?");
    page.getDialog()->getOkButton().triggerClick();
    EXPECT_EQ (store().getNumEntries(), numIn (4));
    press (page.getButton (LibClass::clearAllButton));
    page.getDialog()->getNoButton().triggerClick();
    EXPECT_EQ (store().getNumEntries(), 0);
    EXPECT_FALSE (page.getButton (LibClass::clearAllButton).isVisible());
    EXPECT_EQ (library.getFilterLabel(), "");
}

TEST_F (LibraryWindowFixture, AFileOfAllBanksImportsEveryProgramAndAnImportAddsNothingTwice)
{
    openWindow();
    auto& page = libraryPage();
    // The size of the maker's file of all banks: 512 program dumps, here of F1-F4.
    juce::MemoryBlock allBanks;
    for (int b = 0; b < 4; ++b)
        allBanks.append (FileMan::makeBankFile (*engine().getSynthBank (4 + b), b).getData(), 128 * 300);
    ASSERT_EQ (allBanks.getSize(), 153600u);
    const auto file = temp.folder.getChildFile ("All Banks.syx");
    file.replaceWithData (allBanks.getData(), allBanks.getSize());
    LibraryStore distinct;
    for (int b = 0; b < 4; ++b)
    {
        distinct.stageBank (*engine().getSynthBank (4 + b), 128);
        distinct.commitImport (true);
    }
    ASSERT_EQ (distinct.getNumEntries(), 512) << "the factory set holds no program twice";

    answers.push_back (file);
    page.loadMenuFinished (LibClass::fromProgramBankFileItem);
    EXPECT_EQ (store().getNumEntries(), 512);
    for (int n : {0, 127, 128, 511})
        EXPECT_GE (store().findEntry (engine().getSynthBank (4 + n / 128)->getProgramRecord (n % 128).data()), 0) << n;

    // The same file again, appended: nothing is added twice, and the message says so.
    answers.push_back (file);
    page.loadMenuFinished (LibClass::fromProgramBankFileItem);
    ASSERT_TRUE (page.isDialogOpen());
    page.getDialog()->getOkButton().triggerClick(); // "Append Programs?" YES
    EXPECT_EQ (store().getNumEntries(), 512);
    EXPECT_EQ (message(), "Added 0 programs; 512 already in the library were not added again");
    dismissMessage();

    // The preset page takes the first 128 and says so.
    answers.push_back (file);
    presetPage().loadMenuFinished (Plugin_Bank::loadProgramBankItem);
    EXPECT_EQ (message(), "Replace 128 presets?\n"
                          "All Banks.syx holds 512 programs: programs 1-128 were taken, the other 384 were left out.");
    dismissMessage();
    EXPECT_EQ (bank().getAllPrograms(), engine().getSynthBank (4)->getAllPrograms());
}

TEST_F (LibraryWindowFixture, PresetSlotsAreReplacedOnlyWhenTheUserAgreesAndUndoGivesThemBack)
{
    openWindow();
    processor->setCurrentProgram (5);
    const auto original = bank().getAllPrograms();
    const auto u2 = engine().getSynthBank (1)->getAllPrograms();
    ASSERT_NE (original, u2);
    auto& history = processor->getHistory();

    // LOAD asks first; CANCEL leaves every slot and the sound as they were.
    presetPage().loadMenuFinished (Plugin_Bank::loadSynthBankItem + 1);
    EXPECT_EQ (message(), "Replace 128 presets?");
    manager().getMessageBox()->getCancelButton().getInnerButton()->triggerClick();
    pumpFor (20);
    EXPECT_EQ (bank().getAllPrograms(), original);
    EXPECT_TRUE (editBufferIsSlot (5));

    // OK replaces them; undo gives back the slots and the sound of the current slot, redo again.
    presetPage().loadMenuFinished (Plugin_Bank::loadSynthBankItem + 1);
    dismissMessage();
    EXPECT_EQ (bank().getAllPrograms(), u2);
    EXPECT_TRUE (editBufferIsSlot (5));
    ASSERT_TRUE (history.undo());
    EXPECT_EQ (bank().getAllPrograms(), original);
    EXPECT_TRUE (editBufferIsSlot (5));
    ASSERT_TRUE (history.redo());
    EXPECT_EQ (bank().getAllPrograms(), u2);
    EXPECT_TRUE (editBufferIsSlot (5));
    ASSERT_TRUE (history.undo());

    // A library entry chosen overwrites the current slot; its undo restores the slot and the sound.
    auto& page = libraryPage();
    page.loadMenuFinished (LibClass::fromSynthBankItem + 2);
    const auto slotBefore = bank().getProgramRecord (5);
    int row = 0;
    while (row < store().getNumRows() && toRecord (store().getEntry (store().getRowEntry (row)), 256) == slotBefore)
        ++row;
    ASSERT_LT (row, store().getNumRows());
    const auto entry = toRecord (store().getEntry (store().getRowEntry (row)), 256);
    clickListRow (page.getList(), row);
    EXPECT_EQ (bank().getProgramRecord (5), entry);
    EXPECT_EQ (bank().getEditBufferRecord(), entry);
    ASSERT_TRUE (history.undo());
    EXPECT_EQ (bank().getProgramRecord (5), slotBefore);
    EXPECT_EQ (bank().getEditBufferRecord(), slotBefore);
    EXPECT_EQ (bank().getAllPrograms(), original);
}

TEST_F (LibraryWindowFixture, TheCopySavedBeforeAReplaceIsANewDatedFileNeverTheLibraryItself)
{
    openWindow();
    auto& page = libraryPage();
    page.loadMenuFinished (LibClass::fromSynthBankItem + 0);
    const auto entries = store().getNumEntries();
    const auto defaultFile = page.getLibrary().getDefaultFile();
    juce::MemoryBlock kept;
    ASSERT_TRUE (defaultFile.loadFileAsData (kept));

    juce::StringArray suggested;
    std::deque<juce::File> picks { defaultFile, defaultFile.withFileExtension ({}), {} };
    manager().getFileBrowser().setChooser (
        [&] (int, const juce::File&, const juce::String& name, FileBrowser::Picked answer)
        {
            suggested.add (name);
            const auto file = picks.front();
            picks.pop_front();
            answer (file);
        });

    // Before an import replaces the library, and before CLEAR ALL: the default file, picked by its
    // name or by a name that completes to it, is refused with a message and nothing is replaced.
    page.loadMenuFinished (LibClass::fromSynthBankItem + 1);
    page.getDialog()->getNoButton().triggerClick();
    page.getDialog()->getOkButton().triggerClick();
    EXPECT_TRUE (message().contains ("x4Lib.m_l is the library itself")) << message();
    dismissMessage();
    EXPECT_EQ (store().getNumEntries(), entries);
    EXPECT_GT (store().getNumStaged(), 0);

    press (page.getButton (LibClass::clearAllButton));
    page.getDialog()->getOkButton().triggerClick();
    EXPECT_TRUE (message().contains ("x4Lib.m_l is the library itself")) << message();
    dismissMessage();
    EXPECT_EQ (store().getNumEntries(), entries);
    juce::MemoryBlock after;
    ASSERT_TRUE (defaultFile.loadFileAsData (after));
    EXPECT_EQ (after, kept);

    // What is proposed is a new file named by the day; SAVE itself proposes "Untitled".
    const auto dated = "Library " + juce::Time::getCurrentTime().formatted ("%Y-%m-%d");
    ASSERT_EQ (suggested.size(), 2);
    EXPECT_EQ (suggested[0], dated);
    press (page.getButton (LibClass::saveButton));
    EXPECT_EQ (suggested[2], "Untitled");

    // Once a file of that name exists in the folder the dialog opens in, the next one is proposed.
    const auto folder = manager().getFileBrowser().startFolder (filedialog::saveLibrary);
    folder.getChildFile (dated + ".m_l").replaceWithText ("taken");
    picks.push_back ({});
    press (page.getButton (LibClass::clearAllButton));
    page.getDialog()->getOkButton().triggerClick();
    EXPECT_EQ (suggested[3], dated + " (2)");
    folder.getChildFile (dated + ".m_l").deleteFile();
}

TEST_F (LibraryWindowFixture, ALibraryRowClickMakesThatEntryTheCurrentProgramAndTheButtonsFollowTheSelection)
{
    openWindow();
    processor->setCurrentProgram (3);
    auto& page = libraryPage();
    page.loadMenuFinished (LibClass::fromSynthBankItem + 5);
    EXPECT_FALSE (page.getButton (LibClass::renameButton).isVisible());
    midiSent();

    clickListRow (page.getList(), 6);
    const auto entry = store().getEntryRecord (store().getSelectedEntry());
    EXPECT_EQ (bank().getEditBufferRecord(), entry);
    EXPECT_EQ (bank().getProgramRecord (3), entry);
    EXPECT_TRUE (page.getButton (LibClass::renameButton).isVisible());
    EXPECT_TRUE (page.getButton (LibClass::deleteButton).isVisible());
    EXPECT_FALSE (page.getButton (LibClass::applyButton).isVisible());
    EXPECT_EQ (midiSent().joinIntoString ("|"), "");

    // ADD CURRENT of a sound already there says so; a new one is asked a name for.
    press (page.getButton (LibClass::addCurrentButton));
    EXPECT_TRUE (
        page.getDialog()->getMessageLabel().getText().endsWith (" Program already exists in the library."));
    page.getDialog()->getNoButton().triggerClick();
    processor->setParameterFromEditor (20, (bank().getEditBufferByte (20) + 1) % 164, true, false);
    const auto before = store().getNumEntries();
    press (page.getButton (LibClass::addCurrentButton));
    EXPECT_EQ (page.getDialog()->getMessageLabel().getText(), "Program name:");
    page.getDialog()->getEditor().setText ("Mine");
    page.getDialog()->getOkButton().triggerClick();
    EXPECT_FALSE (page.isDialogOpen());
    EXPECT_EQ (store().getNumEntries(), before + 1);
    EXPECT_EQ (store().entryName (before), "Mine            ");

    // Hints name the button under the pointer.
    auto& load = page.getButton (LibClass::loadButton);
    load.mouseEnter (mouseEvent (load, {5.0f, 5.0f}, {}, {5.0f, 5.0f}));
    EXPECT_EQ (page.getHintLabel().getText(), "Load Library or Bank Files");
    load.mouseExit (mouseEvent (load, {5.0f, 5.0f}, {}, {5.0f, 5.0f}));
    EXPECT_EQ (page.getHintLabel().getText(), "");
}

TEST_F (LibraryWindowFixture, MenusListTheirItemsInOrderAndRightClicksAreReportedByWhereTheyLand)
{
    openWindow();
    const auto items = [] (const juce::PopupMenu& menu)
    {
        juce::StringArray rows;
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            rows.add (it.getItem().isSeparator
                          ? juce::String ("-")
                          : juce::String (it.getItem().itemID) + " " + it.getItem().text);
        return rows.joinIntoString ("|");
    };
    const auto bankNames = [this] (const char* prefix, int first, int base)
    {
        juce::StringArray rows;
        for (int b = first; b < first + 4; ++b)
            rows.add (juce::String (base + b) + " " + prefix + engine().getSynthBank (b)->getBankName());
        return rows.joinIntoString ("|");
    };

    EXPECT_EQ (items (presetPage().createLoadMenu()),
               "11 Load Single Preset File|10 Load Preset Bank File|-|14 Load Program Bank From File|-|" +
                   bankNames ("Load From ", 0, 100) + "|-|" + bankNames ("Load From ", 4, 100));
    processor->setCurrentProgram (6);
    EXPECT_EQ (items (presetPage().createSaveMenu()), "21 Save Slot 7 Preset as|20 Save Preset Bank as");
    EXPECT_EQ (items (libraryPage().createLoadMenu()),
               "200 From Library File|300 From Program Bank File|-|" + bankNames ("", 0, 100) + "|-|" +
                   bankNames ("", 4, 100) + "|-|777 Import from FX Preset Bank");

    struct Recorder : PlugFileListener
    {
        void plugFileNotification (int code, int) override { codes.add (code); }
        juce::Array<int> codes;
    } recorder;
    auto& list = presetPage().getList();
    list.addListener (&recorder);
    press (list, 100.0f, 20.0f, rightButton);
    press (list, 250.0f, 20.0f, rightButton);
    press (list, 250.0f, 20.0f);
    list.removeListener (&recorder);
    EXPECT_EQ (recorder.codes, juce::Array<int> ({65, 90, 65, 88, 65}));
}

TEST_F (LibraryWindowFixture, TheWindowIsHiddenWhileTheHostHidesTheEditorAndComesBackWithIt)
{
    juce::Component hostWindow; // a host's plug-in window, hidden and shown again without closing
    hostWindow.setSize (1191, 700);
    hostWindow.addAndMakeVisible (*main);
    hostWindow.setVisible (true);

    auto& window = openWindow();
    ASSERT_TRUE (window.isVisible());
    hostWindow.setVisible (false);
    EXPECT_FALSE (window.isVisible());
    hostWindow.setVisible (true);
    EXPECT_TRUE (window.isVisible());

    // Closed by the user, it stays closed when the editor comes back.
    window.hide();
    hostWindow.setVisible (false);
    hostWindow.setVisible (true);
    EXPECT_FALSE (window.isVisible());
    hostWindow.removeChildComponent (main.get());
}

TEST_F (LibraryWindowFixture, MarksFiltersSimilarSoundsAndKeepingOneOfEachOnTheLibraryPage)
{
    openWindow();
    auto& page = libraryPage();
    // Slots 0..9 of the preset bank, then slot 2 again renamed: a sound kept twice.
    for (int n = 0; n < 10; ++n)
        store().addProgram ("Slot " + juce::String (n + 1), bank().getProgramRecord (n));
    auto copy = bank().getProgramRecord (2);
    copy[program::categoryIndex] = 9;
    store().addProgram ("Copy of 3", copy);
    store().rebuildView (LibraryStore::FilterMode::all);
    page.refreshButtons();
    EXPECT_FALSE (page.getButton (LibClass::starButton).isVisible()) << "nothing selected";
    const auto flip = [] (juce::Button& toggle)
    {
        toggle.triggerClick(); // posted: it lands on the next message
        pumpFor (20);
    };

    clickListRow (page.getList(), 2);
    press (page.getButton (LibClass::starButton));
    EXPECT_TRUE (store().hasMark (2, LibraryStore::Mark::favourite));
    EXPECT_TRUE (store().hasMark (10, LibraryStore::Mark::favourite))
        << "the renamed copy has the same sound";
    EXPECT_EQ (page.getButton (LibClass::starButton).getCaption(), "UNSTAR");
    EXPECT_EQ (store().getSelectedEntry(), 2) << "marking keeps the row";

    clickListRow (page.getList(), 5);
    press (page.getButton (LibClass::hideButton));
    EXPECT_EQ (store().getNumRows(), 10);
    flip (page.getFindBar().getFavourites());
    EXPECT_EQ (listedEntries (store()), (std::vector<int>{2, 10}));
    flip (page.getFindBar().getFavourites());
    flip (page.getFindBar().getShowHidden());
    EXPECT_EQ (store().getNumRows(), 11);

    // SIMILAR lists the nearest sounds to the selection, the selection itself left out.
    clickListRow (page.getList(), 2);
    press (page.getButton (LibClass::similarButton));
    EXPECT_TRUE (store().isListingSimilar());
    EXPECT_EQ (store().getRowEntry (0), 10);
    EXPECT_EQ (page.getFilterLabel().getText(), "Like Slot 3");

    // Once the sound is edited, the edits count: the edited sound's nearest, its old entry first.
    clickListRow (page.getList(), 4);
    const auto chosen = store().getSelectedEntry();
    processor->setParameterFromEditor (1, (bank().getEditBufferByte (1) + 1) % 100, true, false);
    press (page.getButton (LibClass::similarButton));
    EXPECT_EQ (page.getFilterLabel().getText(), "Like the current program");
    EXPECT_EQ (store().getRowEntry (0), chosen);

    // KEEP ONE, in the duplicates view, asks first and then keeps the first copy of each sound.
    flip (page.getFindBar().getDuplicates());
    EXPECT_EQ (listedEntries (store()), (std::vector<int>{2, 10}));
    ASSERT_TRUE (page.getButton (LibClass::keepOneButton).isVisible());
    press (page.getButton (LibClass::keepOneButton));
    ASSERT_TRUE (page.isDialogOpen());
    EXPECT_EQ (page.getDialog()->getMessageLabel().getText(),
               "Keep one of each sound? 1 copy will be deleted.");
    page.getDialog()->getCancelButton().triggerClick();
    EXPECT_EQ (store().getNumEntries(), 11);
    press (page.getButton (LibClass::keepOneButton));
    page.getDialog()->getOkButton().triggerClick();
    EXPECT_EQ (store().getNumEntries(), 10);
    EXPECT_EQ (store().getNumRows(), 0);
    EXPECT_EQ (store().entryName (2).trimEnd(), "Slot 3");
}

TEST_F (LibraryWindowFixture, TheLibraryFollowsTheProgramTheSynthPlays)
{
    engine().selectInputRow (1);
    openWindow();
    auto& page = libraryPage();
    page.loadMenuFinished (LibClass::fromSynthBankItem); // U1
    for (int n = 0; n < 4; ++n)
        store().addProgram ("Slot " + juce::String (n + 1), bank().getProgramRecord (n));
    page.getLibrary().chooseCategory (25); // a category that lists none of them
    const auto entryOf = [this] (const ProgramRecord& r) { return store().findSound (r.data()); };
    const auto followed = [this] (int entry)
    { return pumpUntil ([this, entry] { return store().getSelectedEntry() == entry; }, 1000); };
    midiSent();

    // From the host: the plug-in program's sound is selected and shown, all categories listed.
    processor->setCurrentProgram (3);
    EXPECT_TRUE (followed (entryOf (bank().getProgramRecord (3))));
    EXPECT_EQ (store().getFilterMode(), LibraryStore::FilterMode::all);
    EXPECT_TRUE (editBufferIsSlot (3)) << "following applies nothing";

    // From the synth: a program change it sends.
    rig.devices->deliver (rig.inputIndex, juce::MidiMessage::programChange (1, 100));
    const auto synthProgram = engine().getSynthBank (0)->getProgramRecord (100);
    EXPECT_TRUE (followed (entryOf (synthProgram)));
    const auto row = store().getSelectedRow();
    EXPECT_GE (row, page.getList().getFirstVisibleRow());
    EXPECT_LT (row, page.getList().getFirstVisibleRow() + page.getList().getRowsPerPage())
        << "scrolled to it";

    // From the editor: a program chosen here, sent to the synth.
    engine().selectProgram (0, 7, true);
    EXPECT_TRUE (followed (entryOf (engine().getSynthBank (0)->getProgramRecord (7))));

    // A sound that is not in the library leaves the selection alone.
    const auto before = store().getSelectedEntry();
    processor->setParameterFromEditor (20, (bank().getEditBufferByte (20) + 3) % 164, true, false);
    pumpFor (50);
    EXPECT_EQ (store().getSelectedEntry(), before);
}

TEST_F (LibraryWindowFixture, TheWindowOpensCentredOnTheEditorEachTimeAndAfterARestart)
{
    juce::Component hostWindow; // the plug-in's window, somewhere on the screen
    hostWindow.setBounds (300, 200, 1191, 700);
    hostWindow.addAndMakeVisible (*main);
    const auto editorCentre = [&] { return hostWindow.getBounds().getCentre(); };

    auto& window = openWindow();
    EXPECT_EQ (window.getBounds().getCentre(), editorCentre());

    // Moved by the user, closed, the editor moved: it opens over the editor again.
    window.setTopLeftPosition (5, 5);
    window.hide();
    hostWindow.setTopLeftPosition (40, 700);
    openWindow();
    EXPECT_EQ (main->getLibraryWindow()->getBounds().getCentre(), editorCentre());

    // A restart: a new processor on the same settings folder and a new editor elsewhere.
    hostWindow.removeChildComponent (main.get());
    main.reset();
    processor.reset();
    processor = std::make_unique<MarvexAudioProcessor> (rig.makeDevices(), temp.folder);
    main = std::make_unique<MainComp> (*processor);
    main->setSize (1191, 700);
    hostWindow.setTopLeftPosition (900, 120);
    hostWindow.addAndMakeVisible (*main);
    openWindow();
    EXPECT_EQ (main->getLibraryWindow()->getBounds().getCentre(), editorCentre());
    hostWindow.removeChildComponent (main.get());
}

TEST_F (LibraryWindowFixture, AFileThatCannotBeReadIsToldInOneWordingInEveryWindow)
{
    openWindow();
    juce::File chosen;
    main->getCommands().getFileBrowser().setChooser (
        [&chosen] (int, const juce::File&, const juce::String&, FileBrowser::Picked answer)
        { answer (chosen); });

    // Where a file is opened: the main window's FILE menu, the preset page's loads. (Before, the
    // same file was "Too large to be read: big.syx" in one and "Could not read big.syx" in another.)
    struct Road
    {
        const char* where;
        std::function<juce::String()> open;
    };
    const auto fromMain = [this] (int item)
    {
        main->getCommands().fileMenuFinished (item);
        pumpFor (20);
        const auto text =
            main->getMessageBox() != nullptr ? main->getMessageBox()->getText() : juce::String();
        if (main->getMessageBox() != nullptr)
            main->stsbutPressed (MsgCont::okCode);
        pumpFor (20);
        return text;
    };
    const auto fromPresetPage = [this] (int item)
    {
        answers.push_back (answers.front());
        presetPage().loadMenuFinished (item);
        const auto text = message();
        if (manager().getMessageBox() != nullptr && manager().getMessageBox()->isVisible())
            dismissMessage();
        return text;
    };
    const Road roads[] = {
        {"main window, program", [&] { return fromMain (MenuCommands::loadProgramItem); }},
        {"preset page, preset bank", [&] { return fromPresetPage (Plugin_Bank::loadPresetBankItem); }},
        {"preset page, preset", [&] { return fromPresetPage (Plugin_Bank::loadPresetItem); }},
        {"preset page, program bank", [&] { return fromPresetPage (Plugin_Bank::loadProgramBankItem); }},
    };

    struct Fault
    {
        const char* fileName;
        std::function<void (const juce::File&)> make;
        const char* told;
    };
    const Fault faults[] = {
        {"big.syx",
         [] (const juce::File& f)
         { f.replaceWithData (juce::MemoryBlock (5 * 1024 * 1024, true).getData(), 5 * 1024 * 1024); },
         "is larger than "},
        {"pipe.syx", [] (const juce::File& f) { makeNamedPipe (f); }, "is not a file."},
    };
    for (const auto& fault : faults)
    {
        chosen = temp.folder.getChildFile (fault.fileName);
        fault.make (chosen);
        answers.clear();
        answers.push_back (chosen);
        for (const auto& road : roads)
        {
            const auto text = road.open();
            EXPECT_TRUE (text.startsWith ("\"" + juce::String (fault.fileName) + "\" " + fault.told))
                << road.where << ": " << text;
        }
        answers.clear();
    }
}
