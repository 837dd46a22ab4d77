#include "host/MarvexAudioProcessor.h"
#include "instrument/SimulatorDevices.h"
#include "link/BankTransfer.h"
#include "support/ProcessorRig.h"
#include "support/TestHelpers.h"
#include "support/WidgetTestRig.h"
#include "ui/main/AboutPanel.h"
#include "ui/main/AppBar.h"
#include "ui/main/MainComp.h"
#include "ui/common/MsgCont.h"
#include "ui/panels/EditorPanel.h"
#include "ui/panels/FlashPanel.h"
#include "ui/panels/SoundToolsPanel.h"
#include "ui/widgets/Envel.h"
#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/LCD_Comp.h"
#include "ui/widgets/ProgBar.h"
#include "ui/widgets/StsCont.h"

#include <gtest/gtest.h>

#include <functional>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
/** A processor connected to the simulator, and the main component an editor would hold. */
struct MainCompFixture : SynthProcessorRig
{
    juce::SharedResourcePointer<KelvoLook> look;
    std::unique_ptr<MainComp> main;

    void SetUp() override
    {
        SynthProcessorRig::SetUp();
        personalise (synth()); // the ports are not open yet
        processor->getEngine().getTransfer().setTiming ({ 300, 1 });
    }

    void TearDown() override
    {
        main.reset();
        SynthProcessorRig::TearDown();
    }

    void connect()
    {
        processor->getEngine().selectInputRow (1);
        processor->getEngine().selectOutputRow (1);
    }

    void open()
    {
        main = std::make_unique<MainComp> (*processor);
        main->setSize (1191, 700);
    }

    juce::String status() { return main->getAppBar().getStatusLabel().getText(); }
    StsCont& panelControl (int index) { return main->getSynthPanel().getControl (index); }

    /** Lets the asynchronous updates run. */
    void settle (int ms = 50) { pumpFor (ms); }

    void rightClick (juce::Component& c, juce::Point<float> at) { c.mouseDown (mouseEvent (c, at, rightButton, at)); }
};
} // namespace

TEST_F (MainCompFixture, OfflineUntilTheSynthAnswersThenOnline)
{
    open(); // no ports open: nobody answers
    settle (300);
    EXPECT_EQ (status(), "OFF-LINE: Choose the synth's MIDI ports");

    main.reset();
    connect();
    open();
    EXPECT_TRUE (pumpUntil ([&] { return status() == "DSI:  MOPHO X4 ON-LINE"; }));

    // A synth that does not answer: the status line says so after a while.
    main.reset();
    synth().setSilent (true);
    open();
    EXPECT_EQ (status(), "OFF-LINE");
    EXPECT_TRUE (pumpUntil ([&] { return status() == "OFF-LINE: no answer from the synth"; }, 5000)) << status();
}

TEST_F (MainCompFixture, AHostWriteMovesTheKnob)
{
    open();
    processor->getParameters()[20]->setValue (0.5f);
    EXPECT_TRUE (pumpUntil ([&] { return panelControl (20).getValue() == 82; }));
    EXPECT_EQ (panelControl (20).getValueText(), "82");
}

TEST_F (MainCompFixture, AProgramChangeReloadsEveryControlTheLcdAndTheEnvelopes)
{
    open();
    auto r = initialProgram();
    for (int i = 0; i < 115; ++i)
        r[(size_t) i] = (uint8_t) juce::jmin (3, processor->getEngine().getTable().getMax (i));
    r[28] = 11; r[29] = 22; r[30] = 33; r[31] = 44;
    r[117] = 24;
    processor->getEngine().getSynthBank (5)->setProgram (9, r);
    processor->getEngine().getSynthBank (5)->setProgramName (9, "Glass Pad");

    processor->getEngine().selectProgram (5, 9, false);
    settle();

    for (int i = 0; i < 115; ++i)
    {
        if (i == 99 || i == 100 || (i >= 111 && i <= 114))
            continue;
        ASSERT_EQ (panelControl (i).getValue(), juce::jlimit (panelControl (i).getMinimum(), panelControl (i).getMaximum(), (int) r[(size_t) i])) << i;
    }
    auto& graph = main->getSynthPanel().getGraph (0);
    EXPECT_EQ (graph.getAttack(), 11);
    EXPECT_EQ (graph.getDecay(), 22);
    EXPECT_EQ (graph.getSustain(), 33);
    EXPECT_EQ (graph.getRelease(), 44);
    auto& lcd = main->getSynthPanel().getLcd();
    EXPECT_EQ (lcd.getLocationText(), "F2:010");
    EXPECT_EQ (lcd.getCategoryText(), "Pads");
    EXPECT_EQ (lcd.getProgramName().trim(), "Glass Pad");
}

TEST_F (MainCompFixture, SectionViewOpensFromARightClickAndNotFromTheLcdFrame)
{
    open();
    auto& panel = main->getSynthPanel();

    // Inside the LCD's frame (section 10) but outside the LCD itself: nothing opens.
    rightClick (panel, { 680.0f, 85.0f });
    settle();
    EXPECT_FALSE (main->getSectionView().isVisible());

    // On the background of the LFO section.
    rightClick (panel, { 1150.0f, 500.0f });
    settle();
    ASSERT_TRUE (main->getSectionView().isVisible());
    EXPECT_EQ (main->getSectionView().getCurrentSection(), 5);
    EXPECT_EQ (main->getSectionView().getSectionIndices().size(), 20u);
}

TEST_F (MainCompFixture, APanelsReportHeardByTheMainComponentIsCarriedOut)
{
    // Each overlay, opened, then its report (a click that closes it) handed to the main component.
    struct Case
    {
        const char* name;
        std::function<void (MainComp&)> openIt;
        std::function<juce::ChangeBroadcaster*(MainComp&)> reporter;
        std::function<bool (MainComp&)> isOpen;
    };
    const Case cases[] = {
        { "about panel", [] (MainComp& m) { m.showAboutPanel(); },
          [] (MainComp& m) -> juce::ChangeBroadcaster* { return m.getAboutPanel(); },
          [] (MainComp& m) { return m.getAboutPanel() != nullptr; } },
        { "section view", [] (MainComp& m) { m.openSectionView (2); },
          [] (MainComp& m) -> juce::ChangeBroadcaster* { return &m.getSectionView(); },
          [] (MainComp& m) { return m.getSectionView().isVisible(); } },
        { "compare panel", [] (MainComp& m) { m.toggleSoundTools(); },
          [] (MainComp& m) -> juce::ChangeBroadcaster* { return m.getSoundTools(); },
          [] (MainComp& m) { return m.getSoundTools() != nullptr; } },
    };
    processor->getEngine().firstEditorOpened = true; // no about panel of a first opening
    open();
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        c.openIt (*main);
        ASSERT_TRUE (c.isOpen (*main));
        main->changeListenerCallback (c.reporter (*main));
        EXPECT_FALSE (c.isOpen (*main));
        settle(); // a closed panel is deleted once the message that closed it has ended
    }
}

TEST_F (MainCompFixture, AKnobTurnedInTheSectionViewReachesTheHiddenPanel)
{
    connect();
    open();
    main->openSectionView (0);
    ASSERT_TRUE (main->getSectionView().isVisible());

    main->getSectionView().getControl (21).setValueFromUser (77);
    settle();
    EXPECT_EQ (main->getSectionView().getControl (21).getValue(), 77);
    EXPECT_EQ (panelControl (21).getValue(), 77);
    EXPECT_TRUE (panelControl (21).isDirty()); // stored while hidden
    EXPECT_TRUE (pumpUntil ([&] { return synth().getEditBuffer()[21] == 77; }));

    main->closeSectionView();
    EXPECT_FALSE (panelControl (21).isDirty()); // repainted once on showing again
    EXPECT_FALSE (main->getSectionView().isVisible());
}

TEST_F (MainCompFixture, ParameterEventsOutsideThePanel)
{
    open();
    const auto before = panelControl (114).getValue();
    main->applyEvent (event::parameterCode (118, 5));
    main->applyEvent (event::parameterCode (130, 5));
    main->applyEvent (event::parameterCode (190, 65));
    EXPECT_EQ (panelControl (114).getValue(), before);
}

TEST_F (MainCompFixture, ProgressShowsTheLocationAndClosesAtTheEndAndOnCancel)
{
    connect();
    open();
    main->startBankTransfer (BankTransfer::receiveBank, 2);
    ASSERT_NE (main->getProgressDisplay(), nullptr);
    main->applyEvent (event::bankProgramCode (event::bankTransferProgress, 5, 9));
    EXPECT_EQ (main->getProgressDisplay()->getLabelText(), "F2:10");

    EXPECT_TRUE (pumpUntil ([&] { return main->getProgressDisplay() == nullptr; }, 20000));
    EXPECT_EQ (processor->getEngine().getSynthBank (2)->getAllPrograms(), synth().getBank (2));
    EXPECT_EQ (processor->getEngine().getTransferMode(), -1);

    synth().setReplyDelay (20);
    main->startBankTransfer (BankTransfer::receiveAllBanks, 0);
    ASSERT_TRUE (pumpUntil ([&] { return synth().getNumProgramRequests() > 128 + 3; }));
    main->stsbutPressed (ProgBar::cancelButtonId);
    EXPECT_EQ (main->getProgressDisplay(), nullptr);
    EXPECT_FALSE (processor->getEngine().isTransferChaining());
}

TEST_F (MainCompFixture, AFailedReceiveSaysWhatFailed)
{
    connect();
    open();
    synth().setSilent (true);
    main->startBankTransfer (BankTransfer::receiveBank, 1);
    ASSERT_TRUE (pumpUntil ([&] { return main->getProgressDisplay() == nullptr; }, 5000));
    ASSERT_NE (main->getMessageBox(), nullptr);
    EXPECT_EQ (main->getMessageBox()->getText(), "No answer from the synth for U2:001");
    main->stsbutPressed (MsgCont::okCode);
    EXPECT_EQ (main->getMessageBox(), nullptr);
}

TEST_F (MainCompFixture, ChannelEditAndSendMenus)
{
    open();
    auto channelMenu = main->createChannelMenu();
    EXPECT_EQ (channelMenu.getNumItems(), 16);
    main->channelMenuFinished (7);
    EXPECT_EQ (processor->getEngine().getMidiChannel(), 7);
    EXPECT_EQ (processor->getEngine().getSetting (42), "7");
    EXPECT_EQ (main->getAppBar().getChannelLabel().getText(), "Chan: 7");
    main->channelMenuFinished (0);
    EXPECT_EQ (processor->getEngine().getMidiChannel(), 7);

    // Paste with an empty clipboard changes nothing.
    const auto before = processor->getPluginBank().getEditBufferRecord();
    EXPECT_FALSE (main->hasClipboard());
    main->editMenuFinished (2);
    EXPECT_EQ (processor->getPluginBank().getEditBufferRecord(), before);

    const auto editMenu = main->createEditMenu();
    juce::PopupMenu::MenuItemIterator items (editMenu);
    ASSERT_TRUE (items.next());
    EXPECT_EQ (items.getItem().text, "Copy Program: " + processor->getPluginBank().getEditBufferName());
    ASSERT_TRUE (items.next());
    EXPECT_EQ (items.getItem().text, "Paste ");

    main->editMenuFinished (1); // copy
    processor->setParameterFromEditor (20, 3, true, false);
    main->editMenuFinished (2); // paste
    EXPECT_EQ (processor->getPluginBank().getEditBufferRecord(), before);

    auto programMenu = main->createProgramMenu();
    EXPECT_EQ (programMenu.getNumItems(), 8 + 128);
    main->programMenuFinished (1000 + 9);
    EXPECT_EQ (processor->getEngine().getCurrentSynthProgram(), 9);

    // The LCD's category menu: "Pads" (item 25) becomes the program's category.
    settle();
    main->categoryMenuFinished (25);
    EXPECT_EQ (processor->getPluginBank().getEditBufferByte (117), 24);
    settle();
    EXPECT_EQ (main->getSynthPanel().getLcd().getCategoryText(), "Pads");
}

TEST_F (MainCompFixture, LayoutFollowsTheWidth)
{
    open();
    main->setSize (1012, 595);
    EXPECT_EQ (main->getAppBar().getHeight(), 23);
    EXPECT_FLOAT_EQ (processor->getEngine().editorScale.load(), 1012.0f / 1191.0f);
    EXPECT_FLOAT_EQ (main->getSynthPanel().getScale(), 1012.0f / 1191.0f);
    EXPECT_EQ (processor->getEngine().getSetting (6), "1012");
    EXPECT_EQ (processor->getEngine().getSetting (7), "595");
}

TEST_F (MainCompFixture, WhatTheEngineHasToTellIsShownOnceInTheMessageBox)
{
    auto& engine = processor->getEngine();
    // Met before any editor was open, as a damaged file at the start is.
    const juce::String longNotice ("The bank file is cut short; 195 of 512 programs were read, the rest are factory programs. "
                                   "The old file was kept as \"/home/someone/.config/MarvexSettings/"
                                   "data_X4m.mph.cut-short-20261210-142003\".");
    engine.postNotice (longNotice);
    open();
    ASSERT_NE (main->getMessageBox(), nullptr);
    EXPECT_EQ (main->getMessageBox()->getText(), longNotice);
    EXPECT_GT (main->getMessageBox()->getNumLines(), 1);
    EXPECT_TRUE (main->getLocalBounds().contains (main->getMessageBox()->getBox()));
    if (const auto* path = std::getenv ("KELVO_MESSAGE_SNAPSHOT"))
        juce::PNGImageFormat().writeImageToStream (main->createComponentSnapshot (main->getLocalBounds()),
                                                   *juce::File (path).createOutputStream());

    main->stsbutPressed (MsgCont::okCode);
    settle();
    EXPECT_EQ (main->getMessageBox(), nullptr);

    // Met while the editor is open; two at once share the box.
    engine.postNotice ("Could not save the banks U1-U4: No space left on device.");
    engine.postNotice ("Could not save the settings: No space left on device.");
    ASSERT_TRUE (pumpUntil ([&] { return main->getMessageBox() != nullptr; }));
    settle();
    EXPECT_TRUE (main->getMessageBox()->getText().contains ("banks U1-U4"));
    EXPECT_TRUE (main->getMessageBox()->getText().contains ("the settings"));
    main->stsbutPressed (MsgCont::okCode);
    settle();
    EXPECT_EQ (main->getMessageBox(), nullptr) << "told once";
}

TEST_F (MainCompFixture, AQuestionIsNeverReplacedByWhatComesAfterIt)
{
    open();
    auto text = [&] { return main->getMessageBox() != nullptr ? main->getMessageBox()->getText() : juce::String(); };
    auto answer = [&] (int code) { main->stsbutPressed (code); settle(); };
    juce::StringArray done;

    // A notice from the engine (a failed settings save) and a message come while a question is open.
    main->askQuestion ("Replace 128 programs of U2?", [&] { done.add ("replaced"); main->showMessage ("U2 replaced"); });
    processor->getEngine().postNotice ("Could not save the settings: No space left on device.");
    settle();
    main->showMessage ("No MIDI output is open: nothing was sent");
    main->askQuestion ("Initialize all 128 programs of U3?", [&] { done.add ("initialized"); });
    EXPECT_EQ (text(), "Replace 128 programs of U2?");

    // Its "OK" still runs its action; what the action says comes first, then what waited, in order.
    answer (MsgCont::okCode);
    EXPECT_EQ (done.joinIntoString (","), "replaced");
    EXPECT_EQ (text(), "U2 replaced");
    answer (MsgCont::okCode);
    EXPECT_TRUE (text().contains ("Could not save the settings")) << text();
    EXPECT_TRUE (text().contains ("nothing was sent")) << text();
    answer (MsgCont::okCode);
    EXPECT_EQ (text(), "Initialize all 128 programs of U3?");
    answer (MsgCont::cancelCode);
    EXPECT_EQ (done.joinIntoString (","), "replaced");
    EXPECT_EQ (main->getMessageBox(), nullptr);
}

TEST_F (MainCompFixture, ASoundFromElsewhereShowsNoProgramLocation)
{
    open();
    EXPECT_EQ (main->getSynthPanel().getLcd().getLocationText(), "U1:001");
    processor->setCurrentProgram (3); // a program of the plug-in's own bank
    settle();
    EXPECT_EQ (main->getSynthPanel().getLcd().getLocationText(), "");

    processor->getEngine().selectProgram (5, 9, false);
    settle();
    EXPECT_EQ (main->getSynthPanel().getLcd().getLocationText(), "F2:010");

    // A restored session brings back a sound that came from elsewhere.
    juce::MemoryBlock state;
    processor->getStateInformation (state);
    processor->setStateInformation (state.getData(), (int) state.getSize());
    settle();
    EXPECT_EQ (main->getSynthPanel().getLcd().getLocationText(), "");
}
