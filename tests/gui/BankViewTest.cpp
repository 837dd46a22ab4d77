#include "files/FileMan.h"
#include "host/MarvexAudioProcessor.h"
#include "instrument/SimulatorDevices.h"
#include "link/BankTransfer.h"
#include "model/Categories.h"
#include "model/ProgramPacking.h"
#include "support/TestHelpers.h"
#include "support/WidgetTestRig.h"
#include "ui/main/BankComp.h"
#include "ui/common/FileBrowser.h"
#include "ui/main/MainComp.h"
#include "ui/main/MenuCommands.h"
#include "ui/common/MsgCont.h"
#include "ui/main/WriteSnd.h"
#include "ui/panels/EditorPanel.h"
#include "ui/panels/PanelLayout.h"
#include "ui/panels/PatchSheet.h"
#include "model/ParameterTable.h"
#include "ui/widgets/StsCont.h"
#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/LCD_Comp.h"
#include "ui/widgets/ProgBar.h"
#include "ui/widgets/RenameCnt.h"
#include "ui/widgets/StsBut.h"
#include "ui/widgets/StsGrid.h"
#include "ui/widgets/SwitchLED.h"

#include <gtest/gtest.h>

#include <map>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
using Bytes = std::vector<uint8_t>;

/** A processor on the simulator with a tap on everything sent to it, the main component, and a
    file chooser that answers with a path instead of showing a dialog. */
struct BankViewFixture : ::testing::Test
{
    juce::SharedResourcePointer<KelvoLook> look;
    UsedSettingsFolder temp;
    RecordingSink toSynth;
    SimulatorDevices* devices = nullptr;
    std::unique_ptr<MarvexAudioProcessor> processor;
    std::unique_ptr<MainComp> main;

    juce::File nextChoice; // what the chooser answers (juce::File() = cancel)
    int chooserType = 0;
    juce::File chooserStart;
    juce::String chooserName;

    void SetUp() override
    {
        auto d =
            std::make_unique<SimulatorDevices> ([this] (const juce::MidiMessage& m) { toSynth.add (m); });
        devices = d.get();
        personalise (d->getSimulator());
        processor = std::make_unique<MarvexAudioProcessor> (std::move (d), temp.folder);
        engine().getTransfer().setTiming ({300, 1});
    }

    void TearDown() override
    {
        main.reset();
        processor.reset();
    }

    /** Opens the editor; online waits until the synth answered the connection check. */
    void open (bool online = true)
    {
        if (online)
        {
            engine().selectInputRow (1);
            engine().selectOutputRow (1);
        }
        main = std::make_unique<MainComp> (*processor);
        main->setSize (1191, 700);
        main->getCommands().getFileBrowser().setChooser (
            [this] (int type, const juce::File& start, const juce::String& name, FileBrowser::Picked answer)
            {
                chooserType = type;
                chooserStart = start;
                chooserName = name;
                answer (nextChoice);
            });
        if (online)
        {
            ASSERT_TRUE (pumpUntil ([&] { return engine().hasGlobalDumpArrived(); }));
        }
        settle();
        toSynth.take();
    }

    MidiCntrState& engine() { return processor->getEngine(); }
    MophoSimulator& synth() { return devices->getSimulator(); }
    MenuCommands& commands() { return main->getCommands(); }
    BankComp& bankView() { return main->getBankView(); }
    void settle (int ms = 50) { pumpFor (ms); }

    /** Presses "OK" (or "CANCEL") of the message box that must be open. */
    void answer (bool ok)
    {
        ASSERT_NE (main->getMessageBox(), nullptr);
        main->stsbutPressed (ok ? MsgCont::okCode : MsgCont::cancelCode);
        settle();
    }

    juce::String messageText()
    {
        return main->getMessageBox() != nullptr ? main->getMessageBox()->getText() : juce::String();
    }

    /** Left click on row r of a grid. */
    void clickRow (StsGrid& grid, int row)
    {
        const auto y = (float)((row - grid.getFirstVisibleRow()) * BankComp::rowHeight + 5);
        grid.mouseDown (mouseEvent (grid, {60.0f, y}, leftButton, {60.0f, y}));
        grid.mouseUp (mouseEvent (grid, {60.0f, y}, leftButton, {60.0f, y}));
        settle();
    }

    void press (StsBut& b)
    {
        b.getInnerButton()->triggerClick();
        settle();
    }

    std::vector<Bytes> sentMessages()
    {
        engine().waitUntilSent (1000);
        return toSynth.take();
    }

    static bool hasProgramChange (const std::vector<Bytes>& sent)
    {
        return std::any_of (sent.begin(), sent.end(), [] (const Bytes& m) { return (m[0] & 0xf0) == 0xc0; });
    }
};
} // namespace

TEST_F (BankViewFixture, ReceiveSaveAndLoadABankThroughTheBankViewMenus)
{
    open();
    main->toggleBankView();
    ASSERT_TRUE (main->isBankViewShown());

    commands().transfersMenuFinished (MenuCommands::receiveBankItem + 1); // U2
    ASSERT_NE (main->getProgressDisplay(), nullptr);
    ASSERT_TRUE (pumpUntil ([&] { return main->getProgressDisplay() == nullptr; }, 20000));
    ASSERT_EQ (engine().getSynthBank (1)->getAllPrograms(), synth().getBank (1));
    EXPECT_EQ (messageText(), "U2 received: 128 programs");
    answer (true);

    // Saved under a name without extension: the file gets ".m_b".
    nextChoice = temp.folder.getChildFile ("my banks").getChildFile ("U2");
    nextChoice.getParentDirectory().createDirectory();
    commands().bankFilesMenuFinished (MenuCommands::saveBankItem + 1);
    const auto saved = nextChoice.withFileExtension ("m_b");
    ASSERT_TRUE (saved.existsAsFile());
    EXPECT_EQ (saved.getSize(), 38400);
    EXPECT_EQ (chooserType, 103);
    // The first time: the user's documents folder (the home folder without one), never the
    // hidden settings folder.
    EXPECT_EQ (chooserStart, juce::File::getSpecialLocation (juce::File::userHomeDirectory));

    // Loading it into U3 asks first, since it replaces the bank.
    nextChoice = saved;
    commands().bankFilesMenuFinished (MenuCommands::loadBankItem + 2);
    EXPECT_EQ (chooserStart, saved.getParentDirectory()); // where the user went last for bank files
    EXPECT_EQ (messageText(), "Replace 128 programs of U3?");
    EXPECT_NE (engine().getSynthBank (2)->getAllPrograms(), engine().getSynthBank (1)->getAllPrograms());
    answer (true);
    EXPECT_EQ (engine().getSynthBank (2)->getAllPrograms(), engine().getSynthBank (1)->getAllPrograms());
    EXPECT_EQ (main->getMessageBox(), nullptr);

    // A file of all four banks fills the bank with its first 128 and says what it left out.
    juce::MemoryBlock allBanks;
    for (int b = 0; b < 4; ++b)
        allBanks.append (FileMan::makeBankFile (*engine().getSynthBank (4 + b), b).getData(), 38400);
    nextChoice = temp.folder.getChildFile ("all.syx");
    nextChoice.replaceWithData (allBanks.getData(), allBanks.getSize());
    commands().bankFilesMenuFinished (MenuCommands::loadBankItem + 3);
    EXPECT_EQ (messageText(), "Replace 128 programs of U4?\n"
                              "all.syx holds 512 programs: programs 1-128 were taken, the other 384 were left out.");
    answer (true);
    EXPECT_EQ (engine().getSynthBank (3)->getAllPrograms(), engine().getSynthBank (4)->getAllPrograms());

    // A file that holds no programs says so and changes nothing.
    nextChoice = temp.folder.getChildFile ("notes.syx");
    nextChoice.replaceWithText ("nothing to see here");
    commands().bankFilesMenuFinished (MenuCommands::loadBankItem + 3);
    EXPECT_EQ (messageText(), "No Mopho programs in: notes.syx");
}

TEST_F (BankViewFixture, FileDialogsStartInTheDocumentsFolderThenWhereThatKindWentLast)
{
    const auto documents = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("Documents");
    ASSERT_TRUE (documents.createDirectory());
    ASSERT_EQ (juce::File::getSpecialLocation (juce::File::userDocumentsDirectory), documents);
    open (false);
    nextChoice = juce::File();
    commands().bankFilesMenuFinished (MenuCommands::loadBankItem + 1);
    EXPECT_EQ (chooserStart, documents);

    // A program file saved elsewhere: program files start there, bank files still in the documents.
    const auto elsewhere = temp.folder.getSiblingFile (temp.folder.getFileName() + " programs");
    ASSERT_TRUE (elsewhere.createDirectory());
    nextChoice = elsewhere.getChildFile ("Lead");
    commands().fileMenuFinished (MenuCommands::saveProgramItem);
    ASSERT_TRUE (nextChoice.withFileExtension ("m_p").existsAsFile());
    nextChoice = juce::File();
    commands().fileMenuFinished (MenuCommands::loadProgramItem);
    EXPECT_EQ (chooserStart, elsewhere);
    commands().bankFilesMenuFinished (MenuCommands::loadBankItem + 1);
    EXPECT_EQ (chooserStart, documents);
    elsewhere.deleteRecursively();
    documents.deleteRecursively();
}

TEST_F (BankViewFixture, WriteStoresTheEditedSoundWithoutReloadingOrSwitching)
{
    open();
    processor->setParameterFromEditor (20, 77, true, true); // an edited, unsaved sound
    settle();
    const auto edited = processor->getPluginBank().getEditBufferRecord();
    toSynth.take();

    main->toggleWriteDialog();
    auto* dialog = main->getWriteDialog();
    ASSERT_NE (dialog, nullptr);
    // Browsing the dialog's banks fills its grid only.
    press (dialog->getBankButton (3));
    press (dialog->getBankButton (2));
    clickRow (dialog->getGrid(), 4);
    EXPECT_EQ (dialog->getDestinationBank(), 2);
    EXPECT_EQ (dialog->getDestinationProgram(), 4);
    EXPECT_EQ (processor->getPluginBank().getEditBufferRecord(), edited);
    EXPECT_TRUE (sentMessages().empty());

    dialog->openRenameBox();
    ASSERT_NE (dialog->getRenameBox(), nullptr);
    dialog->getRenameBox()->getEditor().setText ("Written Lead");
    press (dialog->getRenameBox()->getOkButton());
    EXPECT_EQ (dialog->getProgramName(), "Written Lead    ");
    dialog->setCategory (3);
    EXPECT_EQ (dialog->getDisplay().getLocationText(), "U3:005");

    press (dialog->getWriteButton());
    EXPECT_EQ (main->getWriteDialog(), nullptr);
    ASSERT_TRUE (pumpUntil ([&] { return synth().getProgram (2, 4)[20] == 77; }));
    const auto stored = synth().getProgram (2, 4);
    EXPECT_EQ (decodeProgramName (stored.data() + 184, 16), "Written Lead    ");
    EXPECT_EQ (stored[117], 3);
    EXPECT_TRUE (std::equal (stored.begin(), stored.begin() + 117, edited.begin()));
    EXPECT_FALSE (hasProgramChange (sentMessages()));

    // The edit buffer keeps its sound and follows the name, category and location written.
    settle();
    const auto after = processor->getPluginBank().getEditBufferRecord();
    EXPECT_TRUE (std::equal (after.begin(), after.begin() + 117, edited.begin()));
    EXPECT_EQ (processor->getPluginBank().getEditBufferName(), "Written Lead    ");
    EXPECT_EQ (engine().getSynthBank (2)->getProgramRecord (4), stored);
    EXPECT_EQ (main->getSynthPanel().getLcd().getLocationText(), "U3:005");
}

TEST_F (BankViewFixture, WriteTakesTheNameBeingTyped)
{
    open();
    struct Case
    {
        const char* typed;
        bool pressReturn; // else WRITE is pressed with the rename box still open
        int program;
    };
    for (const auto& c : { Case { "Typed Not Oked", false, 6 }, Case { "Typed Returned", true, 7 } })
    {
        SCOPED_TRACE (c.typed);
        main->toggleWriteDialog();
        auto* dialog = main->getWriteDialog();
        ASSERT_NE (dialog, nullptr);
        press (dialog->getBankButton (1));
        clickRow (dialog->getGrid(), c.program);
        dialog->openRenameBox();
        ASSERT_NE (dialog->getRenameBox(), nullptr);
        dialog->getRenameBox()->getEditor().setText (c.typed);
        if (c.pressReturn)
        {
            dialog->getRenameBox()->getEditor().keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
            settle();
            EXPECT_EQ (dialog->getRenameBox(), nullptr);
            EXPECT_EQ (dialog->getProgramName().trimEnd(), c.typed);
        }
        press (dialog->getWriteButton());
        EXPECT_EQ (main->getWriteDialog(), nullptr);
        EXPECT_TRUE (pumpUntil ([&] {
            const auto stored = synth().getProgram (1, c.program);
            return decodeProgramName (stored.data() + 184, 16).trimEnd() == c.typed;
        })) << decodeProgramName (synth().getProgram (1, c.program).data() + 184, 16);
    }
}

TEST_F (BankViewFixture, WriteDialogOffersUserBanksAndCutsLongNames)
{
    open();
    engine().selectProgram (5, 9, false); // on a factory bank
    main->toggleWriteDialog();
    auto* dialog = main->getWriteDialog();
    ASSERT_NE (dialog, nullptr);
    EXPECT_EQ (dialog->getDestinationBank(), 0);
    EXPECT_EQ (dialog->getGrid().getFillValue(), 0);

    dialog->setProgramName ("Twenty Characters!!!");
    EXPECT_EQ (dialog->getProgramName(), "Twenty Character");

    // BANK and the about panel do nothing while it is open; CANCEL writes nothing.
    main->toggleBankView();
    EXPECT_FALSE (main->isBankViewShown());
    const auto before = synth().getProgram (0, 9);
    press (dialog->getCancelButton());
    EXPECT_EQ (main->getWriteDialog(), nullptr);
    settle();
    EXPECT_EQ (synth().getProgram (0, 9), before);
}

TEST_F (BankViewFixture, ClicksSwitchTheSynthOnlyWhenUseLoadedDataIsOff)
{
    open();
    main->toggleBankView();
    press (bankView().getBankButton (1)); // browsing shows only
    EXPECT_TRUE (sentMessages().empty());
    EXPECT_EQ (engine().getCurrentSynthBank(), 0);

    // Use Loaded Data on: the local copy becomes the edit buffer and nothing is sent.
    bankView().getUseLoadedDataSwitch().mouseDown (
        mouseEvent (bankView().getUseLoadedDataSwitch(), {5, 5}, leftButton, {5, 5}));
    settle();
    ASSERT_TRUE (engine().useLoadedData.load());
    clickRow (bankView().getGrid(), 6);
    EXPECT_EQ (processor->getPluginBank().getEditBufferRecord(),
               engine().getSynthBank (1)->getProgramRecord (6));
    EXPECT_TRUE (sentMessages().empty());

    // Off: bank select and program change, and the synth plays that program.
    engine().useLoadedData = false;
    clickRow (bankView().getGrid(), 7);
    EXPECT_EQ (sentMessages(), (std::vector<Bytes>{cc (1, 32, 1), {0xc0, 7}}));
    EXPECT_TRUE (
        pumpUntil ([&] { return synth().getCurrentBank() == 1 && synth().getCurrentProgram() == 7; }));

    // A factory bank that may not match the synth: the synth is asked what it now plays.
    press (bankView().getBankButton (5));
    clickRow (bankView().getGrid(), 2);
    EXPECT_EQ (sentMessages(),
               (std::vector<Bytes>{cc (1, 32, 5), {0xc0, 2}, {0xf0, 0x01, 0x29, 0x06, 0xf7}}));
    EXPECT_TRUE (pumpUntil (
        [&] { return processor->getPluginBank().getEditBufferRecord() == synth().getProgram (5, 2); }));

    // A program chosen elsewhere (the LCD's program menu) is selected in the listed bank.
    main->programMenuFinished (1000 + 40);
    settle();
    EXPECT_EQ (bankView().getGrid().getSelectedRow(), 40);
}

TEST_F (BankViewFixture, CategoryButtonsListEveryBankInBankOrder)
{
    open (false);
    main->toggleBankView();
    struct Mark
    {
        int bank, program;
    };
    const Mark marks[] = {{6, 1}, {0, 100}, {3, 5}, {0, 7}, {4, 127}};
    for (int b = 0; b < 8; ++b)
        for (int p = 0; p < 128; ++p)
            if (engine().getSynthBank (b)->getProgramByte (p, 117) == 21)
                engine().setProgramCategory (b, p, 0);
    for (const auto& m : marks)
        engine().setProgramCategory (m.bank, m.program, 21);

    press (bankView().getCategoryButton (21));
    ASSERT_TRUE (bankView().isShowingCategory());
    std::vector<std::pair<int, int>> listed;
    for (int r = 0; r < bankView().getGrid().getNumRows(); ++r)
        listed.emplace_back (bankView().getGrid().getRowBank (r), bankView().getGrid().getRowProgram (r));
    EXPECT_EQ (listed, (std::vector<std::pair<int, int>>{{0, 7}, {0, 100}, {3, 5}, {4, 127}, {6, 1}}));
    EXPECT_EQ (bankView().getCategoryButton (0).getCaption(), "- Not Assigned -");

    // A category chosen for a cell lands in that program of the local bank.
    bankView().setProgramCategory (4, 7, 5);
    EXPECT_EQ (engine().getSynthBank (4)->getProgramByte (7, 117), 5);

    // No presets menu in category mode or on a factory bank.
    EXPECT_FALSE (commands().canOpenPresetsMenu (bankView().getShownBank(), true));
    press (bankView().getBankButton (4));
    EXPECT_FALSE (commands().canOpenPresetsMenu (bankView().getShownBank(), bankView().isShowingCategory()));
    press (bankView().getBankButton (3));
    EXPECT_TRUE (commands().canOpenPresetsMenu (bankView().getShownBank(), bankView().isShowingCategory()));
}

TEST_F (BankViewFixture, TheButtonOfWhatIsListedIsLit)
{
    open (false);
    engine().selectProgram (5, 9, false);
    main->toggleBankView();
    // Which buttons are lit, by caption.
    const auto lit = [this]
    {
        juce::StringArray names;
        for (int b = 0; b < 8; ++b)
            if (bankView().getBankButton (b).isLit())
                names.add (bankView().getBankButton (b).getCaption());
        for (int c = 0; c < BankComp::numCategories; ++c)
            if (bankView().getCategoryButton (c).isLit())
                names.add (bankView().getCategoryButton (c).getCaption());
        return names.joinIntoString (",");
    };
    EXPECT_EQ (lit(), "BANK F2"); // shown as it opens: the current synth bank

    struct Step
    {
        bool category;
        int number;
        juce::String expected;
    };
    const Step steps[] = {{false, 0, "BANK U1"},
                          {false, 7, "BANK F4"},
                          {true, 21, categoryName (21)},
                          {true, 0, categoryName (0)},
                          {false, 2, "BANK U3"}};
    for (const auto& step : steps)
    {
        press (step.category ? bankView().getCategoryButton (step.number)
                             : bankView().getBankButton (step.number));
        EXPECT_EQ (lit(), step.expected);
    }

    // Lit looks unlike the others: the face beside the caption differs (buttons never pressed, so
    // that no hover or press shading enters).
    bankView().showBank (5);
    EXPECT_EQ (lit(), "BANK F2");
    const auto face = [this] (int bank)
    {
        auto& b = bankView().getBankButton (bank);
        return b.createComponentSnapshot (b.getLocalBounds()).getPixelAt (3, b.getHeight() / 2);
    };
    EXPECT_NE (face (5), face (4));
    EXPECT_EQ (face (4), face (6));
}

TEST_F (BankViewFixture, ChannelTenMovesTheNextNrpn)
{
    open();
    main->channelMenuFinished (10);
    processor->setParameterFromEditor (20, 90, true, true);
    const auto sent = sentMessages();
    ASSERT_FALSE (sent.empty());
    for (const auto& m : sent)
        EXPECT_EQ (m[0], 0xb9);
    EXPECT_EQ (sent.back(), cc (10, 38, 90));
}

TEST_F (BankViewFixture, TransmitGives128DumpsInOrderThenEnds)
{
    open();
    commands().transfersMenuFinished (MenuCommands::transmitBankItem + 1);
    ASSERT_TRUE (pumpUntil ([&] { return main->getProgressDisplay() == nullptr; }, 20000));
    // First the programs that will be replaced are read from the synth, one request each. The
    // sender hands SysEx to the device in slices: join the rest and split the dumps again.
    juce::MemoryBlock wire;
    int requests = 0;
    for (const auto& m : sentMessages())
    {
        if (m.size() == 7 && m[0] == 0xf0 && m[3] == 0x05)
            ++requests;
        else
            wire.append (m.data(), m.size());
    }
    EXPECT_EQ (requests, 128);
    ASSERT_EQ (wire.getSize(), 128u * 300u);
    const auto dumps = splitProgramDumps (wire);
    ASSERT_EQ (dumps.count, 128);
    const auto* d = static_cast<const uint8_t*> (dumps.dumps.getData());
    for (int n = 0; n < 128; ++n)
        ASSERT_EQ (Bytes (d + 300 * n, d + 300 * n + 6), (Bytes{0xf0, 0x01, 0x29, 0x02, 1, (uint8_t)n}));
    EXPECT_EQ (synth().getBank (1), engine().getSynthBank (1)->getAllPrograms());
    EXPECT_EQ (engine().getTransferMode(), -1);
    ASSERT_NE (main->getMessageBox(), nullptr);
    EXPECT_EQ (main->getMessageBox()->getText(), "U2 transmitted: 128 programs");
}

TEST_F (BankViewFixture, FactoryBanksFromTheSynthOrAFactoryFile)
{
    for (int p = 0; p < 128; ++p)
    {
        auto r = synth().getProgram (6, p);
        r[21] = (uint8_t)(p % 100);
        r[185] = 'q';
        synth().setProgram (6, p, r);
    }
    open();
    commands().transfersMenuFinished (MenuCommands::receiveFactoryItem);
    ASSERT_TRUE (pumpUntil ([&] { return main->getProgressDisplay() == nullptr; }, 20000));
    EXPECT_EQ (engine().getSynthBank (6)->getAllPrograms(), synth().getBank (6));
    EXPECT_TRUE (engine().factoryBanksMatchSynth.load());
    EXPECT_EQ (messageText(), "F1-F4 received: 512 programs");
    answer (true);

    // A factory file of 512 dumps (here F1..F4 shifted by one bank) replaces F1..F4 after asking.
    juce::MemoryBlock set;
    for (int b = 0; b < 4; ++b)
        set.append (FileMan::makeBankFile (*engine().getSynthBank (4 + (b + 1) % 4), b).getData(), 38400);
    nextChoice = temp.folder.getChildFile ("factory.syx");
    nextChoice.replaceWithData (set.getData(), set.getSize());
    const auto f2 = engine().getSynthBank (5)->getAllPrograms();
    commands().bankFilesMenuFinished (MenuCommands::loadFactorySetItem);
    answer (true);
    EXPECT_EQ (engine().getSynthBank (4)->getAllPrograms(), f2);
}

TEST_F (BankViewFixture, DeliveriesToAnUnreachableSynthSayWhy)
{
    open (false); // no output
    const auto before = processor->getPluginBank().getEditBufferRecord();
    main->sendMenuFinished (1);
    EXPECT_EQ (messageText(), "No MIDI output is open: nothing was sent");
    answer (true);

    commands().transfersMenuFinished (MenuCommands::transmitAllItem);
    EXPECT_EQ (main->getProgressDisplay(), nullptr);
    EXPECT_EQ (messageText(), "No MIDI output is open: nothing was sent");
    answer (true);

    main->toggleWriteDialog();
    press (main->getWriteDialog()->getWriteButton());
    EXPECT_EQ (messageText(), "No MIDI output is open: nothing was sent");
    EXPECT_NE (main->getWriteDialog(), nullptr); // the choice is kept
    answer (true);
    main->toggleWriteDialog();

    // An open output but a synth that never answered.
    synth().setSilent (true);
    engine().selectOutputRow (1);
    main->sendMenuFinished (1);
    EXPECT_EQ (messageText(), "The synth is off-line: nothing was sent");
    EXPECT_TRUE (sentMessages().empty());
    EXPECT_EQ (processor->getPluginBank().getEditBufferRecord(), before);
}

TEST_F (BankViewFixture, WholeBankChangesAskFirst)
{
    open (false);
    const auto u2 = engine().getSynthBank (1)->getAllPrograms();
    commands().presetsMenuFinished (MenuCommands::initialiseItem, 1);
    EXPECT_EQ (messageText(), "Initialize all 128 programs of U2?");
    answer (false);
    EXPECT_EQ (engine().getSynthBank (1)->getAllPrograms(), u2);

    commands().presetsMenuFinished (MenuCommands::factoryPresetItem + 2, 1);
    answer (true);
    Bank_Program factory ("f");
    factory.loadFactoryBank (2);
    EXPECT_EQ (engine().getSynthBank (1)->getAllPrograms(), factory.getAllPrograms());

    commands().presetsMenuFinished (MenuCommands::initialiseItem, 1);
    answer (true);
    EXPECT_EQ (engine().getSynthBank (1)->getProgramRecord (77), initialProgram());

    const auto menu = commands().createPresetsMenu (1);
    juce::PopupMenu::MenuItemIterator items (menu);
    ASSERT_TRUE (items.next());
    EXPECT_EQ (items.getItem().text, "Factory Presets ");
    ASSERT_TRUE (items.next());
    EXPECT_EQ (items.getItem().text, "Initialize Program Bank U2");
}

TEST_F (BankViewFixture, CellMenuCopiesPastesSavesAndLoads)
{
    open (false);
    const auto f1 = engine().getSynthBank (4)->getProgramRecord (7);
    commands().cellMenuFinished (MenuCommands::cellCopyItem, 4, 7);
    ASSERT_TRUE (main->hasClipboard());
    const auto menu = commands().createCellMenu (0, 3);
    juce::PopupMenu::MenuItemIterator items (menu);
    ASSERT_TRUE (items.next());
    EXPECT_EQ (items.getItem().text, "Copy Program: " + engine().getSynthBank (0)->getProgramName (3));
    ASSERT_TRUE (items.next());
    EXPECT_EQ (items.getItem().text, "Paste " + engine().getSynthBank (4)->getProgramName (7));

    // Pasting over a program asks first: CANCEL keeps it, OK replaces it.
    const auto u1 = engine().getSynthBank (0)->getProgramRecord (3);
    commands().cellMenuFinished (MenuCommands::cellPasteItem, 0, 3);
    EXPECT_EQ (messageText(), "Replace U1:004 " + engine().getSynthBank (0)->getProgramName (3).trimEnd() + " with " +
                                  engine().getSynthBank (4)->getProgramName (7).trimEnd() + "?");
    answer (false);
    EXPECT_EQ (engine().getSynthBank (0)->getProgramRecord (3), u1);
    commands().cellMenuFinished (MenuCommands::cellPasteItem, 0, 3);
    answer (true);
    EXPECT_EQ (engine().getSynthBank (0)->getProgramRecord (3), f1);

    // Saved under the program's name; a name that exists once completed is asked about.
    engine().getSynthBank (0)->setProgramName (3, "Bass");
    nextChoice = temp.folder.getChildFile ("Bass");
    const auto existing = temp.folder.getChildFile ("Bass.m_p");
    existing.replaceWithText ("keep me");
    commands().cellMenuFinished (MenuCommands::cellSaveItem, 0, 3);
    EXPECT_EQ (chooserName, "Bass");
    EXPECT_EQ (messageText(), "Replace \"Bass.m_p\"?");
    answer (false);
    EXPECT_EQ (existing.loadFileAsString(), "keep me");
    commands().cellMenuFinished (MenuCommands::cellSaveItem, 0, 3);
    answer (true);
    EXPECT_EQ (existing.getSize(), 298);

    // Loaded into another cell, after its question: stored there and made the edit buffer.
    const auto u3 = engine().getSynthBank (2)->getProgramRecord (50);
    nextChoice = existing;
    commands().cellMenuFinished (MenuCommands::cellLoadItem, 2, 50);
    EXPECT_EQ (messageText(), "Replace U3:051 " + engine().getSynthBank (2)->getProgramName (50).trimEnd() + " with Bass?");
    answer (false);
    EXPECT_EQ (engine().getSynthBank (2)->getProgramRecord (50), u3);
    commands().cellMenuFinished (MenuCommands::cellLoadItem, 2, 50);
    answer (true);
    settle();
    EXPECT_EQ (engine().getSynthBank (2)->getProgramRecord (50),
               engine().getSynthBank (0)->getProgramRecord (3));
    EXPECT_EQ (processor->getPluginBank().getEditBufferRecord(),
               engine().getSynthBank (0)->getProgramRecord (3));
}

TEST_F (BankViewFixture, FileMenuSavesAndLoadsTheEditBuffer)
{
    open (false);
    const auto menu = commands().createFileMenu();
    juce::PopupMenu::MenuItemIterator items (menu);
    ASSERT_TRUE (items.next());
    EXPECT_EQ (items.getItem().text, "Load Single Program");
    ASSERT_TRUE (items.next());
    EXPECT_EQ (items.getItem().text, "Save " + processor->getPluginBank().getEditBufferName());

    const auto original = processor->getPluginBank().getEditBufferRecord();
    nextChoice = temp.folder.getChildFile ("sub").getChildFile ("mine.syx");
    nextChoice.getParentDirectory().createDirectory();
    commands().fileMenuFinished (MenuCommands::saveProgramItem);
    ASSERT_EQ (nextChoice.getSize(), 298);
    EXPECT_EQ (chooserType, 101);

    engine().selectProgram (3, 3, false);
    commands().fileMenuFinished (MenuCommands::loadProgramItem);
    EXPECT_EQ (chooserType, 1);
    EXPECT_EQ (chooserStart, nextChoice.getParentDirectory());
    EXPECT_EQ (processor->getPluginBank().getEditBufferRecord(), original);

    // A cancelled chooser changes nothing; a failed write is said, not shown as success.
    nextChoice = juce::File();
    commands().fileMenuFinished (MenuCommands::loadProgramItem);
    EXPECT_EQ (main->getMessageBox(), nullptr);
    nextChoice = temp.folder.getChildFile ("a file").getChildFile ("under a file");
    temp.folder.getChildFile ("a file").replaceWithText ("x");
    commands().fileMenuFinished (MenuCommands::saveProgramItem);
    EXPECT_EQ (messageText(), "Could not write under a file.m_p");
}

// A Mopho or Tetra file loads nothing: not as the sound being edited, not into a bank that could
// then be transmitted into the synth.
TEST_F (BankViewFixture, ProgramAndBankFilesOfAnotherSynthAreRefusedWithWhatTheyAre)
{
    open();
    const auto sound = processor->getPluginBank().getEditBufferRecord();
    const auto u1 = engine().getSynthBank (0)->getAllPrograms();

    nextChoice = temp.folder.getChildFile ("lead.syx");
    auto other = initialProgram();
    other[20] = 3;
    nextChoice.replaceWithData (asOtherSynth (makeEditBufferDump (other), sysex::deviceMopho).getData(), 298);
    commands().fileMenuFinished (MenuCommands::loadProgramItem);
    EXPECT_EQ (messageText(), "lead.syx holds a Mopho program, not a Mopho x4 program: nothing was loaded");
    EXPECT_EQ (processor->getPluginBank().getEditBufferRecord(), sound);
    answer (true);

    nextChoice = temp.folder.getChildFile ("tetra.syx");
    const auto tetraBank = asOtherSynth (FileMan::makeBankFile (*engine().getSynthBank (5), 0), sysex::deviceTetra);
    nextChoice.replaceWithData (tetraBank.getData(), tetraBank.getSize());
    commands().bankFilesMenuFinished (MenuCommands::loadBankItem + 0);
    EXPECT_EQ (messageText(), "tetra.syx holds Tetra programs, not Mopho x4 programs: nothing was loaded");
    EXPECT_EQ (engine().getSynthBank (0)->getAllPrograms(), u1);
}

// The DAW learns the synth's program names: exported once, or kept up to date as names change.
TEST_F (BankViewFixture, ProgramNamesAreExportedAndKeptUpToDate)
{
    open (false);
    const auto once = temp.folder.getChildFile ("names");
    nextChoice = once;
    commands().fileMenuFinished (MenuCommands::exportProgramNamesItem);
    EXPECT_EQ (chooserType, filedialog::saveProgramNames);
    EXPECT_EQ (chooserName, "Mopho_x4_Kelvo.midnam");
    const auto exported = temp.folder.getChildFile ("names.midnam");
    ASSERT_TRUE (exported.existsAsFile());
    EXPECT_TRUE (exported.loadFileAsString().contains ("U1:001 " + engine().getSynthBank (0)->getProgramName (0).trimEnd()));

    const auto kept = temp.folder.getChildFile ("kept.midnam");
    nextChoice = kept;
    commands().fileMenuFinished (MenuCommands::keepProgramNamesItem);
    ASSERT_TRUE (kept.existsAsFile());

    auto keptItemTicked = [&]
    {
        juce::PopupMenu::MenuItemIterator items (commands().createFileMenu());
        while (items.next())
            if (items.getItem().itemID == MenuCommands::keepProgramNamesItem)
                return items.getItem().isTicked;
        return false;
    };
    EXPECT_TRUE (keptItemTicked());

    // A name changed in a bank (as a receive or a paste does) reaches the kept file, not the export.
    engine().getSynthBank (2)->setProgramName (9, "Renamed Lead");
    engine().postEvent (event::bankContentsChanged);
    settle();
    EXPECT_TRUE (kept.loadFileAsString().contains ("U3:010 Renamed Lead"));
    EXPECT_FALSE (exported.loadFileAsString().contains ("Renamed Lead"));

    // Unticked, the file is left as it was.
    commands().fileMenuFinished (MenuCommands::keepProgramNamesItem);
    EXPECT_FALSE (keptItemTicked());
    engine().getSynthBank (2)->setProgramName (9, "Again");
    engine().postEvent (event::bankContentsChanged);
    settle();
    EXPECT_TRUE (kept.loadFileAsString().contains ("U3:010 Renamed Lead"));
}

TEST_F (BankViewFixture, APatchSheetListsEveryParameterAsThePanelShowsItAndPaintsThePanel)
{
    open (false);
    auto sound = initialProgram();
    const int values[][2] = {{0, 37}, {20, 101}, {25, 3},   {42, 150},
                             {43, 2}, {62, 11},  {120, 60}, {183, 127}};
    for (const auto& v : values)
        sound[(size_t)v[0]] = (uint8_t)v[1];
    sound[(size_t)program::categoryIndex] = 5;
    const auto name = encodeProgramName ("Sheet Test");
    std::copy (name.begin(), name.end(), sound.begin() + program::nameOffset);
    engine().storeProgram (false, 0, 0, sound);
    main->drainEvents();

    // Parameter lines are "  name  value": one for every parameter the synth has, once each.
    const auto text = PatchSheet::describe (sound);
    std::map<juce::String, juce::String> listed;
    int parameterLines = 0;
    for (const auto& l : juce::StringArray::fromLines (text))
        if (l.startsWith ("  "))
        {
            ++parameterLines;
            const auto n = l.substring (2).upToFirstOccurrenceOf ("  ", false, false);
            listed[n] = l.substring (2 + n.length()).trimStart();
        }
    int expected = 0;
    for (int i = 0; i < program::nameOffset; ++i)
        expected += ParameterTable::isSentToSynth (i) ? 1 : 0;
    EXPECT_EQ (parameterLines, expected);
    EXPECT_EQ ((int)listed.size(), expected);

    // Each control's line says what the control on the panel shows.
    for (int i = 0; i < panelLayout::numControls; ++i)
    {
        if (const auto* row = panelLayout::controlRow (i); row != nullptr && row->section >= 0)
        {
            EXPECT_EQ (listed[ParameterTable::getName (i)],
                       main->getSynthPanel().getControl (i).getValueText())
                << ParameterTable::getName (i);
        }
    }

    EXPECT_TRUE (text.startsWith ("Mopho x4 sound: Sheet Test\nCategory: " + categoryName (5) + "\n"))
        << text;
    const char* const inReadingOrder[] = {
        "OSCILLATORS", "SEQUENCER", "LOW PASS FILTER", "MODULATORS", "CONTROLS",
        "PUSH IT!",    "AMP",       "ASSIGN",          "ENVELOPE 3", "LFO"};
    int last = -1;
    for (const auto* caption : inReadingOrder)
    {
        const auto at = text.indexOf ("\n" + juce::String (caption) + "\n");
        EXPECT_GT (at, last) << caption;
        last = at;
    }
    EXPECT_GT (text.indexOf (ParameterTable::getName (120)), text.indexOf ("\nSEQUENCER\n"));
    EXPECT_LT (text.indexOf (ParameterTable::getName (183)), text.indexOf ("\nLOW PASS FILTER\n"));

    // From the FILE menu, at two of the sizes offered: the picture at that size and the listing beside it.
    for (const size_t size : {size_t (0), PatchSheet::sizes.size() - 1})
    {
        const auto width = PatchSheet::sizes[size].width;
        const auto folder = temp.folder.getChildFile ("sheets" + juce::String (width));
        ASSERT_TRUE (folder.createDirectory());
        nextChoice = folder.getChildFile ("Sheet Test");
        commands().fileMenuFinished (MenuCommands::exportPatchSheetItem + (int)size);
        settle();
        EXPECT_EQ (chooserType, filedialog::savePatchSheet);
        const auto png = folder.getChildFile ("Sheet Test.png");
        const auto picture = juce::ImageFileFormat::loadFrom (png);
        ASSERT_TRUE (picture.isValid()) << width;
        EXPECT_EQ (picture.getWidth(), width);
        EXPECT_EQ (picture.getHeight(), juce::roundToInt (width * 700.0 / 1191.0));
        EXPECT_NE (picture.getPixelAt (width / 4, picture.getHeight() / 3), picture.getPixelAt (5, 5));
        EXPECT_EQ (folder.getChildFile ("Sheet Test.txt").loadFileAsString(), text);
        EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 2); // no temporary file left
    }
}
