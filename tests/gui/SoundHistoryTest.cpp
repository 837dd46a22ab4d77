#include "host/SoundHistory.h"
#include "link/BankTransfer.h"
#include "librarian/ProgramLibrary.h"
#include "support/HostRecorder.h"
#include "support/ProcessorRig.h"
#include "support/WidgetTestRig.h"
#include "ui/main/MainComp.h"
#include "ui/main/MenuCommands.h"
#include "ui/main/WriteSnd.h"
#include "ui/common/MsgCont.h"
#include "ui/widgets/ProgBar.h"
#include "ui/widgets/StsBut.h"
#include "ui/panels/EditorPanel.h"
#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/StsCont.h"

using namespace kelvo;
using namespace kelvo::test;

namespace
{

struct SoundHistoryTest : SynthProcessorRig
{
    juce::SharedResourcePointer<KelvoLook> look;
    HostRecorder host;
    std::unique_ptr<MainComp> main;

    void SetUp() override
    {
        SynthProcessorRig::SetUp();
        processor->addListener (&host);
    }

    void TearDown() override
    {
        main.reset();
        processor->removeListener (&host);
        SynthProcessorRig::TearDown();
    }

    SoundHistory& history() { return processor->getHistory(); }

    /** The synth's edit buffer once everything sent has arrived. */
    ProgramRecord synthSound()
    {
        settle();
        return synth().getEditBuffer();
    }

    /** A drag on the synth panel's cutoff knob, from the press to the release. */
    void dragCutoff (int pixelsUp)
    {
        auto& panel = main->getSynthPanel();
        StsCont* knob = nullptr;
        for (int c = 0; c < 115 && knob == nullptr; ++c)
            if (panel.getControl (c).getParameterIndex() == 20)
                knob = &panel.getControl (c);
        ASSERT_NE (knob, nullptr);
        MouseDriver mouse (*knob);
        mouse.press (20, 40);
        for (int y = 1; y <= pixelsUp; ++y)
            mouse.drag (20, 40.0f - (float)y);
        mouse.release (20, 40.0f - (float)pixelsUp);
    }
};
} // namespace

// The four kinds of step in one history: each undo brings the synth back to what it played before
// the step, each redo to what it played after, and the host hears every restored parameter.
TEST_F (SoundHistoryTest, UndoAndRedoAcrossADragAProgramChangeALibraryEntryAndAWrite)
{
    goOnline();
    main = std::make_unique<MainComp> (*processor);
    main->setSize (1191, 700);
    engine().selectProgram (0, 3, true);
    pumpFor (120);
    history().forgetAll();
    const auto start = bank().getEditBufferRecord();

    // 1. A drag of many steps.
    dragCutoff (40);
    pumpFor (300); // the gesture closes 200 ms after the last change
    const auto afterDrag = bank().getEditBufferRecord();
    ASSERT_NE (afterDrag[20], start[20]);
    EXPECT_EQ (history().getSteps().getNumUndoSteps(), 1u);
    EXPECT_EQ (history().getUndoLabel(), "Flt Freq");

    // 2. A program chosen on the synth.
    synth().setProgram (1, 7, distinctSound (4, "From The Synth"));
    engine().getSynthBank (1)->setProgram (7, distinctSound (4, "From The Synth"));
    synth().selectProgramOnPanel (1, 7);
    ASSERT_TRUE (pumpUntil ([&] { return history().getSteps().getNumUndoSteps() == 2; }));
    const auto afterProgram = bank().getEditBufferRecord();
    EXPECT_EQ (afterProgram, distinctSound (4, "From The Synth"));

    // 3. A library entry applied through the processor's program-chunk path.
    TempFolder libraryFolder;
    ProgramLibrary library (
        libraryFolder.folder.getChildFile ("x4Lib.m_l"), bank(),
        [&] (const juce::MemoryBlock& chunk)
        { processor->setCurrentProgramStateInformation (chunk.getData(), (int)chunk.getSize()); });
    const auto entry = distinctSound (11, "Library Pad");
    ASSERT_TRUE (library.getStore().addProgram ("Library Pad", entry));
    library.applySelected();
    pumpFor (120);
    EXPECT_EQ (history().getSteps().getNumUndoSteps(), 3u);
    EXPECT_EQ (history().getUndoLabel(), "Load Library Pad");
    EXPECT_EQ (bank().getEditBufferRecord(), entry);

    // 4. A write into the synth's program memory, U2:010, which held a sound of its own.
    const auto replaced = distinctSound (20, "Was In U2-10");
    synth().setProgram (1, 9, replaced);
    engine().getSynthBank (1)->setProgram (9, replaced);
    auto written = entry;
    const auto newName = encodeProgramName ("Written Pad");
    std::copy (newName.begin(), newName.end(), written.begin() + program::nameOffset);
    history().recordProgramWrite (1, 9, "Write U2:010", [&] { engine().writeProgram (1, 9, written); });
    ASSERT_TRUE (pumpUntil ([&] { return synth().getProgram (1, 9) == written; })); // after its backup
    EXPECT_EQ (history().getUndoLabel(), "Write U2:010");

    // Undo all four.
    ASSERT_TRUE (history().undo());
    settle();
    EXPECT_EQ (synth().getProgram (1, 9), replaced);
    EXPECT_EQ (engine().getSynthBank (1)->getProgramRecord (9), replaced);
    EXPECT_EQ (bank().getEditBufferRecord(), entry); // the name the write gave it goes too

    ASSERT_TRUE (history().undo());
    EXPECT_EQ (bank().getEditBufferRecord(), afterProgram);
    EXPECT_EQ (synthSound(), afterProgram);

    host.calls.clear();
    ASSERT_TRUE (history().undo());
    EXPECT_EQ (bank().getEditBufferRecord(), afterDrag);
    EXPECT_EQ (synthSound(), afterDrag);
    // A whole sound restored reaches the host parameter by parameter, inside gestures.
    int heard = 0;
    for (int i = 0; i < program::numHostParameters; ++i)
    {
        const auto max = (float) engine().getTable().getMax (i);
        if (afterDrag[(size_t) i] != afterProgram[(size_t) i] && max > 0.0f)
        {
            EXPECT_TRUE (host.heardInGesture (i, std::min (1.0f, afterDrag[(size_t) i] / max))) << i;
            ++heard;
        }
    }
    EXPECT_GT (heard, 10);

    host.calls.clear();
    ASSERT_TRUE (history().undo());
    EXPECT_EQ (bank().getEditBufferRecord(), start);
    EXPECT_EQ (synthSound()[20], start[20]);
    EXPECT_TRUE (host.heardInGesture (20, start[20] / 164.0f));
    EXPECT_FALSE (history().canUndo());

    // And all four again.
    ASSERT_TRUE (history().redo());
    EXPECT_EQ (synthSound()[20], afterDrag[20]);
    ASSERT_TRUE (history().redo());
    EXPECT_EQ (synthSound(), afterProgram);
    ASSERT_TRUE (history().redo());
    EXPECT_EQ (synthSound(), entry);
    ASSERT_TRUE (history().redo());
    settle();
    EXPECT_EQ (synth().getProgram (1, 9), written);
    EXPECT_EQ (engine().getSynthBank (1)->getProgramRecord (9), written);
    EXPECT_FALSE (history().canRedo());
}

// The synth's bank select gives the edit buffer one program and its program change, a moment
// later, the one the user chose: one step, from the sound before to the one chosen.
TEST_F (SoundHistoryTest, ASoundArrivingInTwoPartsIsOneStep)
{
    history().forgetAll();
    // The watcher looks every 50 ms: a step it has just made tells when it looked last.
    bank().setEditBuffer (distinctSound (49, "Before"));
    ASSERT_TRUE (pumpUntil ([&] { return history().getSteps().getNumUndoSteps() == 1; }));
    const auto start = bank().getEditBufferRecord();
    for (int round = 0; round < 3; ++round)
    {
        SCOPED_TRACE (round);
        pumpFor (30);
        bank().setEditBuffer (distinctSound (50 + 2 * round, "Part Way"));
        const auto partArrived = juce::Time::getMillisecondCounterHiRes();
        pumpFor (40); // the watcher looks once in between
        bank().setEditBuffer (distinctSound (51 + 2 * round, "Chosen " + juce::String (round)));
        // A machine too loaded to keep the part shorter than the watcher's interval cannot tell.
        if (juce::Time::getMillisecondCounterHiRes() - partArrived > 45.0)
            return;
        ASSERT_TRUE (pumpUntil ([&] { return history().getUndoLabel() == "Program Chosen " + juce::String (round); }));
        EXPECT_EQ (history().getSteps().getNumUndoSteps(), (size_t) round + 2);
    }
    pumpFor (120);
    EXPECT_EQ (history().getSteps().getNumUndoSteps(), 4u);
    for (int round = 0; round < 3; ++round)
        ASSERT_TRUE (history().undo());
    EXPECT_EQ (bank().getEditBufferRecord(), start);
}

TEST_F (SoundHistoryTest, TheEditMenuAndTheKeysNameAndTakeTheSteps)
{
    main = std::make_unique<MainComp> (*processor);
    main->setSize (1191, 700);
    history().forgetAll();
    const auto before = bank().getEditBufferByte (21);

    // Two parameters moved in one gesture (an envelope handle) make one step.
    processor->setParameterFromEditor (28, 40, false, true);
    processor->setParameterFromEditor (29, 50, false, true);
    processor->setParameterFromEditor (28, 41, false, true);
    pumpFor (300);
    processor->setParameterFromEditor (21, (before + 9) % 128, true, true);

    const auto textsOf = [&]
    {
        juce::StringArray texts;
        const auto menu = main->createEditMenu();
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            texts.add (it.getItem().text);
        return texts;
    };
    EXPECT_TRUE (textsOf().contains ("Undo Resonance"));
    EXPECT_TRUE (textsOf().contains ("Redo"));

    EXPECT_TRUE (main->keyPressed (juce::KeyPress ('z', juce::ModifierKeys::commandModifier, 0)));
    EXPECT_EQ (bank().getEditBufferByte (21), before);
    EXPECT_TRUE (textsOf().contains ("Undo Flt Env Attack and 1 more"));
    EXPECT_TRUE (textsOf().contains ("Redo Resonance"));

    EXPECT_TRUE (main->keyPressed (
        juce::KeyPress ('z', juce::ModifierKeys::commandModifier | juce::ModifierKeys::shiftModifier, 0)));
    EXPECT_EQ (bank().getEditBufferByte (21), (before + 9) % 128);
    EXPECT_FALSE (main->keyPressed (juce::KeyPress ('z', juce::ModifierKeys(), 0))); // a plain Z plays a note

    // Undo through the menu; the undo of the envelope step restores both of its parameters.
    main->editMenuFinished (3);
    main->editMenuFinished (3);
    EXPECT_NE (bank().getEditBufferByte (28), 41);
    EXPECT_NE (bank().getEditBufferByte (29), 50);
    EXPECT_FALSE (history().canUndo());
}

TEST_F (SoundHistoryTest, PasteAndRecvAreNamedStepsAndTheHistoryIsBounded)
{
    goOnline();
    main = std::make_unique<MainComp> (*processor);
    history().forgetAll();

    main->copyToClipboard (distinctSound (5, "Clip"));
    main->pasteProgram();
    EXPECT_EQ (history().getUndoLabel(), "Paste Clip");

    synth().setEditBuffer (distinctSound (6, "On The Synth"));
    main->stsbutPressed (71); // "Recv"
    ASSERT_TRUE (pumpUntil ([&] { return history().getUndoLabel() == "Recv"; }));
    EXPECT_EQ (bank().getEditBufferRecord(), distinctSound (6, "On The Synth"));

    // Far more edits than the history keeps: it stays at its bound and keeps the newest.
    for (int n = 0; n < 520; ++n)
        processor->setParameterFromEditor (21, n % 2 == 0 ? 10 : 20, true, false);
    EXPECT_EQ (history().getSteps().getNumUndoSteps(), EditHistory::defaultMaxSteps);
    EXPECT_EQ (history().getUndoLabel(), "Resonance");
}

TEST_F (SoundHistoryTest, AWriteFromTheWriteDialogIsUndoneInTheSynthsMemory)
{
    goOnline();
    main = std::make_unique<MainComp> (*processor);
    main->setSize (1191, 700);
    // The editor checks the link again when it opens; a write waits for the answer.
    ASSERT_TRUE (pumpUntil ([&] { return engine().hasGlobalDumpArrived(); }));
    const auto replaced = distinctSound (30, "Old Occupant");
    synth().setProgram (1, 9, replaced);
    engine().getSynthBank (1)->setProgram (9, replaced);
    history().applySound (distinctSound (31, "Being Edited"), "Start");
    processor->setParameterFromEditor (20, 77, true, true);
    const auto edited = bank().getEditBufferRecord();

    main->toggleWriteDialog();
    auto* dialog = main->getWriteDialog();
    ASSERT_NE (dialog, nullptr);
    dialog->showBank (1);
    dialog->chooseProgram (9);
    dialog->getWriteButton().getInnerButton()->triggerClick();
    ASSERT_TRUE (pumpUntil ([&] { return synth().getProgram (1, 9)[20] == 77; }));
    EXPECT_EQ (history().getUndoLabel(), "Write U2:010");

    main->editMenuFinished (3); // Undo
    settle();
    EXPECT_EQ (synth().getProgram (1, 9), replaced);
    EXPECT_EQ (engine().getSynthBank (1)->getProgramRecord (9), replaced);
    EXPECT_EQ (bank().getEditBufferRecord(), edited); // the name and category the write gave it are gone
    EXPECT_EQ (synthSound(), edited);                 // and the synth still plays the edit
}

// A bank transmitted into the synth's memory is one step: its undo sends back what the synth held
// (only the programs it changed), its redo the transmitted bank again.
TEST_F (SoundHistoryTest, ATransmittedBankIsUndoneAndRedoneInTheSynthsMemory)
{
    goOnline();
    engine().getTransfer().setTiming ({300, 1, 20}); // paced, at a fraction of the wire's time
    main = std::make_unique<MainComp> (*processor);
    main->setSize (1191, 700);
    ASSERT_TRUE (pumpUntil ([&] { return engine().hasGlobalDumpArrived(); }));
    const auto transferDone = [&]
    {
        return pumpUntil (
            [&] { return main->getProgressDisplay() == nullptr && engine().getTransferMode() < 0; }, 20000);
    };

    // What the synth holds in U2 is learnt by receiving it.
    const auto old3 = distinctSound (40, "Old Three"), old90 = distinctSound (41, "Old Ninety");
    synth().setProgram (1, 3, old3);
    synth().setProgram (1, 90, old90);
    main->getCommands().transfersMenuFinished (MenuCommands::receiveBankItem + 1);
    ASSERT_TRUE (transferDone());
    ASSERT_EQ (engine().getSynthBank (1)->getProgramRecord (90), old90);
    history().forgetAll();

    // Two programs changed locally, then U2 goes to the synth.
    const auto new3 = distinctSound (42, "New Three"), new90 = distinctSound (43, "New Ninety");
    engine().getSynthBank (1)->setProgram (3, new3);
    engine().getSynthBank (1)->setProgram (90, new90);
    const auto untouched = synth().getProgram (1, 4);
    main->getCommands().transfersMenuFinished (MenuCommands::transmitBankItem + 1);
    ASSERT_TRUE (transferDone());
    settle();
    ASSERT_EQ (synth().getProgram (1, 90), new90);
    EXPECT_EQ (history().getUndoLabel(), "Transmit U2");
    toSynth.take();

    main->editMenuFinished (3); // Undo
    EXPECT_NE (main->getProgressDisplay(), nullptr);
    ASSERT_TRUE (transferDone());
    settle();
    EXPECT_EQ (synth().getProgram (1, 3), old3);
    EXPECT_EQ (synth().getProgram (1, 90), old90);
    EXPECT_EQ (synth().getProgram (1, 4), untouched);
    EXPECT_EQ (engine().getSynthBank (1)->getProgramRecord (3), old3);
    EXPECT_EQ (engine().getSynthBank (1)->getProgramRecord (90), old90);
    EXPECT_EQ (countSysEx (toSynth.take(), 0x02), 2);
    EXPECT_EQ (history().getRedoLabel(), "Transmit U2");

    main->editMenuFinished (4); // Redo
    ASSERT_TRUE (transferDone());
    settle();
    EXPECT_EQ (synth().getProgram (1, 3), new3);
    EXPECT_EQ (synth().getProgram (1, 90), new90);
    EXPECT_EQ (engine().getSynthBank (1)->getProgramRecord (90), new90);
    EXPECT_EQ (history().getUndoLabel(), "Transmit U2");

    // A program the synth sends on its own is what it holds there, as the local bank does now. A
    // transmission that sends what the synth is known to hold already changes nothing to undo.
    const auto fromPanel = distinctSound (44, "From The Panel");
    synth().setProgram (1, 4, fromPanel);
    synth().sendProgramDumpFromPanel (1, 4);
    ASSERT_TRUE (pumpUntil ([&] { return engine().getSynthBank (1)->getProgramRecord (4) == fromPanel; }));
    ASSERT_TRUE (pumpUntil ([&] { return history().getUndoLabel() == "Program From The Panel"; }));
    ASSERT_NE (history().getKnownSynthProgram (1, 4), nullptr);
    EXPECT_EQ (*history().getKnownSynthProgram (1, 4), fromPanel);
    const auto steps = history().getSteps().getNumUndoSteps();
    main->getCommands().transfersMenuFinished (MenuCommands::transmitBankItem + 1);
    ASSERT_TRUE (transferDone());
    EXPECT_EQ (history().getSteps().getNumUndoSteps(), steps);
}

// A transmission that stops part of the way is no step, and the program it stopped at is no longer
// known: a later transmission over it reads it back from the synth first, and can be undone.
TEST_F (SoundHistoryTest, ATransmissionThatStopsOffersNoUndoAndLeavesItsProgramUnknown)
{
    goOnline();
    engine().getTransfer().setTiming ({300, 1});
    main = std::make_unique<MainComp> (*processor);
    main->setSize (1191, 700);
    ASSERT_TRUE (pumpUntil ([&] { return engine().hasGlobalDumpArrived(); }));
    history().forgetAll();
    engine().getSynthBank (2)->setProgram (0, distinctSound (60, "Sent First"));

    main->getCommands().transfersMenuFinished (MenuCommands::transmitBankItem + 2); // U3
    ASSERT_TRUE (pumpUntil (
        [&]
        {
            return history().getKnownSynthProgram (2, 0) != nullptr &&
                   *history().getKnownSynthProgram (2, 0) == distinctSound (60, "Sent First");
        }));
    engine().selectOutputRow (0);
    ASSERT_TRUE (pumpUntil ([&] { return main->getProgressDisplay() == nullptr; }, 5000));
    ASSERT_NE (main->getMessageBox(), nullptr); // "Transfer stopped: no MIDI output for U3:..."
    EXPECT_FALSE (history().canUndo());
    const auto numUnknown = [&]
    {
        int unknown = 0;
        for (int n = 0; n < 128; ++n)
            unknown += history().getKnownSynthProgram (2, n) == nullptr ? 1 : 0;
        return unknown;
    };
    EXPECT_EQ (numUnknown(), 1);

    goOnline();
    engine().getTransfer().setTiming ({300, 1, 20});
    engine().getSynthBank (2)->setProgram (100, distinctSound (61, "Changed Later"));
    main->getCommands().transfersMenuFinished (MenuCommands::transmitBankItem + 2);
    ASSERT_TRUE (pumpUntil (
        [&] { return main->getProgressDisplay() == nullptr && engine().getTransferMode() < 0; }, 20000));
    settle();
    EXPECT_EQ (synth().getProgram (2, 100), distinctSound (61, "Changed Later"));
    EXPECT_TRUE (history().canUndo());
    EXPECT_EQ (numUnknown(), 0); // all sent: all known again
}

// The history hears of transfers from the engine, not from a window: a transmission started and
// completed while no editor exists is a step all the same, and its undo puts back in the synth
// what it held before.
TEST_F (SoundHistoryTest, ATransmissionWithNoEditorOpenIsAStep)
{
    goOnline();
    engine().getTransfer().setTiming ({300, 1, 20});
    history().forgetAll();
    const auto held5 = engine().getSynthBank (2)->getProgramRecord (5);
    synth().setProgram (2, 5, held5); // the synth holds what the local bank was loaded with
    const auto sent5 = distinctSound (70, "Sent Alone");
    engine().getSynthBank (2)->setProgram (5, sent5);

    engine().startBankTransfer (BankTransfer::transmitBank, 2);
    ASSERT_TRUE (pumpUntil ([&] { return history().canUndo(); }, 20000));
    settle();
    EXPECT_EQ (synth().getProgram (2, 5), sent5);
    EXPECT_EQ (history().getUndoLabel(), "Transmit U3");

    engine().endBankTransfer();
    ASSERT_TRUE (history().undo());
    ASSERT_TRUE (pumpUntil ([&] { return synth().getProgram (2, 5) == held5; }, 20000));
    EXPECT_EQ (engine().getSynthBank (2)->getProgramRecord (5), held5);
    EXPECT_EQ (history().getRedoLabel(), "Transmit U3");
}

// The local banks are only assumed to match the synth: before anything is written into its memory,
// what will be replaced is read from the synth itself, and that is what an undo puts back. A
// program read since it was last written is not asked for again.
TEST_F (SoundHistoryTest, WritesIntoTheSynthKeepWhatItReallyHeldForTheirUndo)
{
    goOnline();
    engine().getTransfer().setTiming ({300, 1, 20});
    main = std::make_unique<MainComp> (*processor);
    main->setSize (1191, 700);
    ASSERT_TRUE (pumpUntil ([&] { return engine().hasGlobalDumpArrived(); }));
    history().forgetAll();
    const auto requests = [] (const std::vector<std::vector<uint8_t>>& sent)
    { return countSysEx (sent, 0x05); };

    // A WRITE over a program whose local copy is stale.
    const auto real = distinctSound (50, "Real In Synth");
    synth().setProgram (1, 9, real);
    engine().getSynthBank (1)->setProgram (9, distinctSound (51, "Stale Copy"));
    const auto written = distinctSound (52, "Written");
    toSynth.take();
    history().recordProgramWrite (1, 9, "Write U2:010", [&] { engine().writeProgram (1, 9, written); });
    ASSERT_TRUE (pumpUntil ([&] { return synth().getProgram (1, 9) == written; }));
    EXPECT_EQ (requests (toSynth.take()), 1);
    ASSERT_TRUE (history().undo());
    settle();
    EXPECT_EQ (synth().getProgram (1, 9), real);
    EXPECT_EQ (engine().getSynthBank (1)->getProgramRecord (9), real);

    // A transmission over programs whose local copies are stale, with the backup on the progress bar.
    const auto real7 = distinctSound (53, "Real Seven"), real100 = distinctSound (54, "Real Hundred");
    synth().setProgram (2, 7, real7);
    synth().setProgram (2, 100, real100);
    toSynth.take();
    // Answers a little late, so that the backup lasts long enough to be seen between two looks at
    // the bar however busy the machine is (the bar shows the newest of the events it was given).
    synth().setReplyDelay (5);
    main->getCommands().transfersMenuFinished (MenuCommands::transmitBankItem + 2); // U3
    bool backupShown = false;
    ASSERT_TRUE (pumpUntil (
        [&]
        {
            if (auto* bar = main->getProgressDisplay())
                backupShown = backupShown || bar->getLabelText().startsWith ("Backing up U3:");
            return main->getProgressDisplay() == nullptr && engine().getTransferMode() < 0;
        },
        20000));
    synth().setReplyDelay (0);
    settle();
    EXPECT_TRUE (backupShown);
    EXPECT_EQ (requests (toSynth.take()), 128);
    EXPECT_EQ (synth().getProgram (2, 7), engine().getSynthBank (2)->getProgramRecord (7));
    ASSERT_NE (main->getMessageBox(), nullptr);
    EXPECT_EQ (main->getMessageBox()->getText(), "U3 transmitted: 128 programs");
    main->stsbutPressed (MsgCont::okCode);
    EXPECT_EQ (history().getUndoLabel(), "Transmit U3");

    main->editMenuFinished (3); // Undo
    ASSERT_TRUE (pumpUntil (
        [&] { return main->getProgressDisplay() == nullptr && engine().getTransferMode() < 0; }, 20000));
    settle();
    EXPECT_EQ (synth().getProgram (2, 7), real7);
    EXPECT_EQ (synth().getProgram (2, 100), real100);
    ASSERT_NE (main->getMessageBox(), nullptr);
    EXPECT_EQ (main->getMessageBox()->getText(), "Sent back into the synth: 2 programs");
    main->stsbutPressed (MsgCont::okCode);

    // A bank just received needs no backup before it goes back.
    main->getCommands().transfersMenuFinished (MenuCommands::receiveBankItem + 2);
    ASSERT_TRUE (pumpUntil (
        [&] { return main->getProgressDisplay() == nullptr && engine().getTransferMode() < 0; }, 20000));
    EXPECT_EQ (main->getMessageBox()->getText(), "U3 received: 128 programs");
    toSynth.take();
    main->getCommands().transfersMenuFinished (MenuCommands::transmitBankItem + 2);
    ASSERT_TRUE (pumpUntil (
        [&] { return main->getProgressDisplay() == nullptr && engine().getTransferMode() < 0; }, 20000));
    EXPECT_EQ (requests (toSynth.take()), 0);
}

// When the synth does not answer the backup, nothing is written.
TEST_F (SoundHistoryTest, AWriteWhoseBackupDoesNotComeWritesNothing)
{
    goOnline();
    engine().getTransfer().setTiming ({60, 1, 20});
    history().forgetAll();
    const auto held = synth().getProgram (1, 9);
    synth().setSilent (true);
    history().recordProgramWrite (1, 9, "Write U2:010",
                                  [&] { engine().writeProgram (1, 9, distinctSound (55, "Never")); });
    ASSERT_TRUE (pumpUntil ([&] { return !engine().getTransfer().isBackingUp(); }, 5000));
    synth().setSilent (false);
    settle();
    EXPECT_EQ (synth().getProgram (1, 9), held);
    EXPECT_FALSE (history().canUndo());
}
