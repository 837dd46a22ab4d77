#include "host/MarvexAudioProcessor.h"
#include "link/EngineFiles.h"
#include "link/EngineSettings.h"
#include "link/MIDI_PORTS_Control.h"
#include "link/PortWatcher.h"
#include "model/GlobalSettings.h"
#include "support/ScanDevices.h"
#include "support/TestHelpers.h"
#include "support/WidgetTestRig.h"
#include "ui/main/AboutPanel.h"
#include "ui/main/AppBar.h"
#include "ui/main/MainComp.h"
#include "ui/setup/GlbCont.h"
#include "ui/setup/Global_Container.h"
#include "ui/setup/MIDI_Setup.h"
#include "ui/setup/MIDI_scan.h"
#include "ui/widgets/KelvoLook.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
using Bytes = std::vector<uint8_t>;
const juce::String online = "DSI:  MOPHO X4 ON-LINE";
constexpr int noneRow = 1, usbRow = 2, simulatorRow = 3; // menu results: row + 1

/** A real processor and editor on a machine with a USB interface (silent unless a test puts a synth
    behind it) and the built-in simulator. */
struct PortSetupFixture : ::testing::Test
{
    juce::SharedResourcePointer<KelvoLook> look;
    TempFolder temp;
    ScanDevices* devices = nullptr;
    MophoSimulator* synth = nullptr;
    std::unique_ptr<MarvexAudioProcessor> processor;
    std::unique_ptr<MainComp> main;

    /** Builds the processor; extra (d) adds ports before the simulator's. */
    void build (const std::function<void (ScanDevices&)>& extra = {})
    {
        auto d = std::make_unique<ScanDevices>();
        if (extra)
            extra (*d);
        else
            d->addSilent ("USB MIDI Interface");
        synth = &d->addSynth ("Mopho x4 Simulator");
        devices = d.get();
        processor = std::make_unique<MarvexAudioProcessor> (std::move (d), temp.folder);
    }

    /** Opens an editor; as a later opening unless asked otherwise (no about panel, no scan). */
    void open (bool asFirstOpening = false)
    {
        if (!asFirstOpening)
        {
            engine().firstEditorOpened = true;
            engine().settingsWereReset = false;
        }
        main = std::make_unique<MainComp> (*processor);
        main->setSize (1191, 700);
    }

    void TearDown() override
    {
        main.reset();
        processor.reset();
    }

    MidiCntrState& engine() { return processor->getEngine(); }
    MIDI_Setup& setup() { return *main->getSetupPanel(); }
    juce::StringArray savedPorts() { return loadPortsFile (temp.folder); }

    /** A list choice as the menu makes it, then the main component's reaction. */
    void choose (bool input, int result)
    {
        setup().listMenuFinished (input, result);
        setup().dispatchPendingMessages();
    }

    bool waitOnline()
    {
        return pumpUntil ([&] { return main->getAppBar().getStatusLabel().getText() == online; });
    }

    /** The editor opened on the simulator's ports (the second row of each list), on-line, with the
        port setup panel shown. */
    void openOnlineWithSetupShown()
    {
        build();
        engine().selectInputRow (2);
        engine().selectOutputRow (2);
        open();
        ASSERT_TRUE (waitOnline());
        main->stsbutPressed (AppBar::midi);
    }

    bool sentToSynth (const Bytes& bytes)
    {
        const auto all = devices->sentToSynths.take();
        return std::find (all.begin(), all.end(), bytes) != all.end();
    }
};
} // namespace

TEST_F (PortSetupFixture, ChoosingTheSimulatorRowsGoesOnlineAndSavesThePortsAtOnce)
{
    build();
    open();
    main->stsbutPressed (AppBar::midi);
    ASSERT_NE (main->getSetupPanel(), nullptr);
    EXPECT_EQ (setup().getInputList(),
               juce::StringArray ({"NONE", "USB MIDI Interface", "Mopho x4 Simulator"}));
    EXPECT_EQ (setup().getOutputList().size(), 3);
    EXPECT_FALSE (setup().isInputLit());
    EXPECT_EQ (setup().createListMenu (true).getNumItems(), 3);

    choose (true, simulatorRow);
    EXPECT_TRUE (setup().isInputLit());
    EXPECT_FALSE (setup().isOutputLit());
    EXPECT_EQ (savedPorts()[0], "Mopho x4 Simulator"); // saved with the choice, before any "OK"

    choose (false, simulatorRow);
    EXPECT_TRUE (setup().isOutputLit());
    ASSERT_TRUE (waitOnline());
    EXPECT_EQ (setup().getHeading(), online);
    EXPECT_EQ (savedPorts()[1], "Mopho x4 Simulator");

    setup().stsbutChanged (setup().getOkButton());
    setup().dispatchPendingMessages();
    EXPECT_EQ (main->getSetupPanel(), nullptr);
    EXPECT_EQ (savedPorts()[0], "Mopho x4 Simulator");

    // The next start opens them again.
    main.reset();
    processor.reset();
    build();
    EXPECT_EQ (engine().getPorts().getInputIndex(), 1);
    EXPECT_EQ (engine().getPorts().getOutputIndex(), 1);
    EXPECT_TRUE (engine().isOutputOpen());
}

TEST_F (PortSetupFixture, RowZeroClosesThePortAndTheMidiButtonClosesThePanel)
{
    build();
    engine().selectInputRow (2);
    engine().selectOutputRow (2);
    open();
    main->stsbutPressed (AppBar::midi);
    EXPECT_EQ (setup().getOutputRow(), 2);
    EXPECT_TRUE (setup().isOutputLit());

    choose (false, noneRow);
    EXPECT_FALSE (engine().isOutputOpen());
    EXPECT_FALSE (setup().isOutputLit());
    EXPECT_EQ (savedPorts()[1], "NONE");

    main->stsbutPressed (AppBar::midi);
    EXPECT_EQ (main->getSetupPanel(), nullptr);
}

TEST_F (PortSetupFixture, AChoiceIsResolvedByNameWhenTheListsChangedMeanwhile)
{
    build();
    open();
    main->stsbutPressed (AppBar::midi);

    // The interface is unplugged while the panel shows it: the simulator moves up a row.
    devices->hide ("USB MIDI Interface");
    choose (true, simulatorRow);
    EXPECT_EQ (engine().getPortNames()[0], "Mopho x4 Simulator");
    EXPECT_EQ (engine().getPorts().getInputIndex(), 0);
    EXPECT_EQ (setup().getInputList(), juce::StringArray ({"NONE", "Mopho x4 Simulator"}));

    // Plugged back in while the panel still shows the short lists: row 2 is still the simulator.
    devices->show ("USB MIDI Interface");
    choose (false, usbRow);
    EXPECT_EQ (engine().getPortNames()[1], "Mopho x4 Simulator");
    EXPECT_EQ (engine().getPorts().getOutputIndex(), 1);

    // A device that is gone by the time it is chosen opens nothing and changes nothing.
    devices->hide ("USB MIDI Interface");
    choose (false, usbRow);
    EXPECT_EQ (engine().getPortNames()[1], "Mopho x4 Simulator");
    EXPECT_TRUE (engine().isOutputOpen());
    EXPECT_EQ (setup().getOutputList(), juce::StringArray ({"NONE", "Mopho x4 Simulator"}));

    // A list with only "NONE" has no menu.
    devices->hide ("Mopho x4 Simulator");
    main->stsbutPressed (AppBar::midi);
    main->stsbutPressed (AppBar::midi);
    EXPECT_EQ (setup().createListMenu (false).getNumItems(), 0);
}

TEST_F (PortSetupFixture, TheOpenPortIsNamedAlsoAfterADeviceIsPluggedInAheadOfIt)
{
    build ([] (ScanDevices& d)
           {
               d.addSilent ("USB MIDI Interface");
               d.hide ("USB MIDI Interface"); // not plugged in yet
           });
    engine().getPortWatcher().setActive (false);
    engine().selectInputRow (1);
    engine().selectOutputRow (1);
    open();
    main->stsbutPressed (AppBar::midi);
    EXPECT_EQ (setup().getInputList()[setup().getInputRow()], "Mopho x4 Simulator");

    devices->show ("USB MIDI Interface"); // plugged in, ahead of the simulator
    main->stsbutPressed (AppBar::midi);
    main->stsbutPressed (AppBar::midi);
    ASSERT_EQ (setup().getInputList(), juce::StringArray ({"NONE", "USB MIDI Interface", "Mopho x4 Simulator"}));
    EXPECT_EQ (setup().getInputList()[setup().getInputRow()], "Mopho x4 Simulator");
    EXPECT_EQ (setup().getOutputList()[setup().getOutputRow()], "Mopho x4 Simulator");
    EXPECT_TRUE (setup().isInputLit() && setup().isOutputLit());
}

TEST_F (PortSetupFixture, GlobalsAsksForTheDumpAndAWheelStepReachesTheSynth)
{
    ASSERT_NO_FATAL_FAILURE (openOnlineWithSetupShown());
    engine().waitUntilSent (1000);
    devices->sentToSynths.take();

    setup().stsbutChanged (setup().getGlobalsButton());
    ASSERT_NE (setup().getGlobalPanel(), nullptr);
    EXPECT_FALSE (setup().getAdvice().isEmpty());
    engine().waitUntilSent (1000);
    EXPECT_TRUE (sentToSynth ({0xf0, 0x01, 0x29, 0x0e, 0xf7}));
    ASSERT_TRUE (pumpUntil ([&] { return setup().getGlobalPanel()->areValuesKnown(); }));

    // "COARSE" one step up: 12 → 13, as NRPN 384 with all four controllers.
    auto& coarse = setup().getGlobalPanel()->getControl (0);
    ASSERT_EQ (coarse.getValue(), 12);
    MouseDriver (coarse).wheel (1.0f);
    EXPECT_EQ (coarse.getValueText(), "1");
    EXPECT_TRUE (pumpUntil ([&] { return synth->getGlobal (0) == 13; }));
    // Only the controllers: the first connection may still be asking for the synth's sound.
    auto sent = devices->sentToSynths.take();
    sent.erase (std::remove_if (sent.begin(), sent.end(), [] (const Bytes& m) { return m.empty() || m[0] == 0xf0; }),
                sent.end());
    const std::vector<Bytes> nrpn{cc (1, 99, 3), cc (1, 98, 0), cc (1, 6, 0), cc (1, 38, 13)};
    EXPECT_EQ (sent, nrpn);

    // A global edited on the synth shows on the panel.
    synth->setGlobal (1, 60);
    engine().checkConnection();
    EXPECT_TRUE (pumpUntil ([&] { return setup().getGlobalPanel()->getControl (1).getValueText() == "10"; }));

    // The close image, then the panel goes on the setup panel's timer.
    auto& panel = *setup().getGlobalPanel();
    MouseDriver (panel).click ((float)panel.getWidth() - 18.0f, 15.0f);
    EXPECT_TRUE (pumpUntil ([&] { return setup().getGlobalPanel() == nullptr; }));
}

TEST_F (PortSetupFixture, GlobalControlsTextsGesturesAndFrames)
{
    build();
    auto& e = engine();
    engine().selectOutputRow (2);
    const auto sendsOf = [&]
    {
        e.waitUntilSent (1000);
        return devices->sentToSynths.take().size();
    };

    GlbCont coarse (e), fine (e), channel (e), controllers (e), unconfigured (e);
    coarse.configure (0);
    fine.configure (1);
    channel.configure (2);
    controllers.configure (6);
    e.setGlobal (0, 12);
    e.setGlobal (1, 0);
    e.setGlobal (6, 1);
    EXPECT_EQ (coarse.getValueText(), "0");
    EXPECT_EQ (fine.getValueText(), "-50");
    EXPECT_EQ (coarse.getBounds(), juce::Rectangle<int> (44, 50, 64, 65));

    const auto menu = channel.createMenu();
    EXPECT_EQ (menu.getNumItems(), 17);
    juce::StringArray texts;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        texts.add (it.getItem().text);
    EXPECT_EQ (texts[0], "ALL CHANNELS");
    EXPECT_EQ (texts[16], "CHANNEL 16");
    channel.menuFinished (17);
    EXPECT_EQ (e.getGlobal (2), 16);
    channel.menuFinished (0);
    EXPECT_EQ (e.getGlobal (2), 16);
    sendsOf();

    // A wheel step down at 0 sends nothing.
    MouseDriver (fine).wheel (-1.0f);
    EXPECT_EQ (e.getGlobal (1), 0);
    EXPECT_EQ (sendsOf(), 0u);

    // Drags: 2 pixels a step for "FINE", 15 for "COARSE".
    MouseDriver fineMouse (fine);
    fineMouse.press (10, 10);
    fineMouse.drag (20, 10);
    EXPECT_EQ (e.getGlobal (1), 5);
    MouseDriver coarseMouse (coarse);
    coarseMouse.press (10, 10);
    coarseMouse.drag (20, 10);
    EXPECT_EQ (e.getGlobal (0), 12);
    coarseMouse.drag (25, 10);
    EXPECT_EQ (e.getGlobal (0), 13);

    // A click on a switch that shows "ON" sends 0.
    sendsOf();
    MouseDriver (controllers).click (5, 5);
    EXPECT_EQ (e.getGlobal (6), 0);
    EXPECT_EQ (sendsOf(), 4u);

    // Unconfigured: reads 0 and touches nothing.
    const auto before = e.getGlobal (0);
    unconfigured.setValue (3);
    MouseDriver (unconfigured).wheel (1.0f);
    EXPECT_EQ (unconfigured.getValue(), 0);
    EXPECT_EQ (e.getGlobal (0), before);
    EXPECT_EQ (sendsOf(), 0u);

    // Knob frames in floating point: with 24 values an integer step would show frame 2 at the minimum.
    struct Frame
    {
        int value, maximum, frame;
    };
    for (const auto& f : {Frame{0, 24, 0}, Frame{24, 24, 56}, Frame{12, 24, 28}, Frame{50, 100, 28},
                          Frame{1, 100, 1}, Frame{0, 100, 0}, Frame{7, 24, 16}})
        EXPECT_EQ (GlbCont::knobFrame (f.value, f.maximum), f.frame) << f.value << " of " << f.maximum;
}

TEST_F (PortSetupFixture, AChangeThatWouldCutTheLinkWaitsForTheUsersAnswer)
{
    struct Case
    {
        int index, value, channel;
        bool warns;
    };
    // Parameter receive NRPN still takes everything the editor sends; CC and OFF do not.
    for (const auto& c : {Case{7, 0, 1, true}, Case{7, 1, 1, false}, Case{5, 0, 1, false},
                          Case{5, 1, 1, false}, Case{5, 2, 1, true}, Case{5, 3, 1, true},
                          Case{2, 0, 5, false}, Case{2, 5, 5, false}, Case{2, 4, 5, true},
                          Case{3, 2, 1, false}, Case{6, 0, 1, true}, Case{6, 1, 1, false},
                          Case{8, 1, 1, true}, Case{8, 0, 1, false}, Case{4, 1, 1, true},
                          Case{4, 2, 1, true}, Case{4, 0, 1, false}, Case{10, 0, 1, false}})
        EXPECT_EQ (Global_Container::linkWarning (c.index, c.value, c.channel).isNotEmpty(), c.warns)
            << c.index << " = " << c.value;

    build();
    engine().selectInputRow (2);
    engine().selectOutputRow (2);
    engine().checkConnection();
    ASSERT_TRUE (pumpUntil ([&] { return engine().hasGlobalDumpArrived(); }));
    Global_Container panel (engine());
    auto& sysEx = panel.getControl (7);

    MouseDriver (sysEx).click (5, 5);
    EXPECT_TRUE (panel.hasHeldChange());
    EXPECT_TRUE (panel.getApplyButton().isVisible());
    EXPECT_EQ (engine().getGlobal (7), 1);
    {
        // The answer that keeps says what it keeps, whole, beside "APPLY" and inside the panel.
        panel.setSize (750, 310);
        auto& keep = panel.getKeepButton();
        EXPECT_EQ (keep.getCaption(), "Keep the current setting");
        EXPECT_LE (keep.getCaptionFont().getStringWidthFloat (keep.getCaption()), (float)keep.getWidth());
        EXPECT_FALSE (keep.getBounds().intersects (panel.getApplyButton().getBounds()));
        EXPECT_TRUE (
            panel.getLocalBounds().contains (keep.getBounds().getUnion (panel.getApplyButton().getBounds())));
    }
    panel.getKeepButton().getInnerButton()->triggerClick();
    pumpFor (20);
    EXPECT_FALSE (panel.hasHeldChange());
    EXPECT_EQ (engine().getGlobal (7), 1);

    MouseDriver (sysEx).click (5, 5);
    panel.getApplyButton().getInnerButton()->triggerClick();
    pumpFor (20);
    EXPECT_EQ (engine().getGlobal (7), 0);
    EXPECT_TRUE (pumpUntil ([&] { return synth->getGlobal (7) == 0; }));
    EXPECT_FALSE (panel.getApplyButton().isVisible());

    // Harmless changes go at once.
    const auto localControl = engine().getGlobal (10);
    MouseDriver (panel.getControl (10)).click (5, 5);
    EXPECT_FALSE (panel.hasHeldChange());
    EXPECT_NE (engine().getGlobal (10), localControl);
    EXPECT_FALSE (panel.getControl (19).isVisible());
}

// Each setting the panel holds back, applied anyway, really cuts the synth off: it no longer takes
// the editor's edits, no longer answers, or no longer tells the editor of its own knobs.
TEST_F (PortSetupFixture, EachSettingHeldBackCutsTheLinkWhenAppliedAnyway)
{
    ASSERT_NO_FATAL_FAILURE (openOnlineWithSetupShown());
    setup().stsbutChanged (setup().getGlobalsButton());
    auto& panel = *setup().getGlobalPanel();

    const auto takesEdits = [&]
    {
        const auto next = (synth->getEditBuffer()[21] + 1) % 128;
        processor->setParameterFromEditor (21, next, true, true);
        engine().waitUntilSent (1000);
        synth->waitUntilIdle (1000);
        return synth->getEditBuffer()[21] == next;
    };
    const auto answers = [&]
    {
        engine().checkConnection();
        return pumpUntil ([&] { return engine().hasGlobalDumpArrived(); }, 500);
    };
    const auto isHeard = [&]
    {
        const auto next = (processor->getPluginBank().getEditBufferByte (22) + 1) % 128;
        synth->turnKnob (22, next);
        return pumpUntil ([&] { return processor->getPluginBank().getEditBufferByte (22) == next; }, 500);
    };
    struct Case
    {
        int index, value;
        std::function<bool()> stillWorks;
    };
    const Case cases[] = {
        {globals::midiChannel, 4, takesEdits},
        {globals::parameterReceive, globals::receiveCc, takesEdits},
        {globals::parameterReceive, globals::receiveOff, takesEdits},
        {globals::midiControl, globals::off, takesEdits},
        {globals::sysEx, globals::off, answers},
        {globals::midiOutSelect, globals::outSelectThru, answers},
        {globals::parameterSend, globals::sendCc, isHeard},
        {globals::parameterSend, globals::sendOff, isHeard},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (globalCaption (c.index) + " " + juce::String (c.value));
        synth->makeCooperative(); // set right on the synth's own panel
        ASSERT_TRUE (answers());
        ASSERT_TRUE (c.stillWorks());
        main->drainEvents();
        ASSERT_TRUE (panel.areValuesKnown());

        panel.getControl (c.index).setValue (c.value);
        ASSERT_TRUE (panel.hasHeldChange());
        engine().waitUntilSent (1000);
        EXPECT_NE (synth->getGlobal (c.index), c.value); // held back: nothing sent

        panel.getApplyButton().getInnerButton()->triggerClick();
        pumpFor (20);
        ASSERT_TRUE (pumpUntil ([&] { return synth->getGlobal (c.index) == c.value; }));
        EXPECT_FALSE (c.stillWorks());
    }
}

// Opened before the synth answered, the panel shows no values and sends nothing; the values show
// when the global dump arrives.
TEST_F (PortSetupFixture, TheGlobalPanelShowsTheSynthsValuesOnceItsDumpArrives)
{
    build();
    open();
    main->stsbutPressed (AppBar::midi);
    setup().stsbutChanged (setup().getGlobalsButton());
    auto& panel = *setup().getGlobalPanel();
    EXPECT_FALSE (panel.areValuesKnown());
    auto& sysEx = panel.getControl (globals::sysEx);
    MouseDriver (sysEx).click (5, 5);
    EXPECT_FALSE (panel.hasHeldChange());
    EXPECT_EQ (engine().getGlobal (globals::sysEx), 0);
    auto& channel = panel.getControl (globals::midiChannel);
    channel.menuFinished (3);
    EXPECT_EQ (engine().getGlobal (globals::midiChannel), 0);

    synth->setGlobal (globals::midiChannel, 1);
    choose (true, simulatorRow);
    choose (false, simulatorRow);
    ASSERT_TRUE (waitOnline());
    EXPECT_TRUE (panel.areValuesKnown());
    EXPECT_TRUE (sysEx.isEnabled());
    EXPECT_EQ (sysEx.getValueText(), "ON");
    EXPECT_EQ (channel.getValueText(), "CHANNEL 1");

    // Now a click turns it off, as it shows: held back first.
    MouseDriver (sysEx).click (5, 5);
    EXPECT_TRUE (panel.hasHeldChange());
    EXPECT_TRUE (panel.getWarningText().startsWith ("MIDI SYSEX ENABLE OFF"));
}

TEST_F (PortSetupFixture, TheScanFindsTheSynthAmongSilentPortsSelectsAndSavesIt)
{
    build (
        [] (ScanDevices& d)
        {
            d.addSilent ("Quiet In/Out");
            d.addSynth ("USB MIDI 2"); // the simulator, as if it were hardware
        });
    open();
    main->showScanPanel (60);
    ASSERT_NE (main->getScanPanel(), nullptr);
    // Found, set up well: the panel asks to go and goes.
    ASSERT_TRUE (pumpUntil ([&] { return main->getScanPanel() == nullptr; }, 5000));
    EXPECT_EQ (savedPorts()[0], "USB MIDI 2");
    EXPECT_EQ (savedPorts()[1], "USB MIDI 2");
    EXPECT_EQ (loadSettingsFile (temp.folder).entries[settings::scanInputPort], "2");

    main->stsbutPressed (AppBar::midi);
    EXPECT_EQ (setup().getInputRow(), 2);
    EXPECT_TRUE (setup().isInputLit() && setup().isOutputLit());
}

TEST_F (PortSetupFixture, TheScanWarnsOfExactlyTheSettingThatIsWrong)
{
    build (
        [] (ScanDevices& d)
        {
            d.addSilent ("Quiet In/Out");
            d.addSynth ("USB MIDI 2").setGlobal (4, 1); // parameter send: CC
        });
    open();
    main->showScanPanel (60);
    auto* scan = main->getScanPanel();
    ASSERT_TRUE (pumpUntil ([&] { return scan->getScan().getState() == PortScan::State::found; }, 5000));
    EXPECT_EQ (scan->getWarnings(), juce::StringArray ("- Parameter send = NRPN"));
    EXPECT_EQ (scan->getHeight(), 70);
    EXPECT_FALSE (scan->isNotConnected());

    // A press sends it away.
    scan->mouseDown (mouseEvent (*scan, {10, 10}, leftButton, {10, 10}));
    scan->dispatchPendingMessages();
    EXPECT_EQ (main->getScanPanel(), nullptr);
}

TEST_F (PortSetupFixture, WithOnlySilentPortsTheScanSaysNotConnectedAndOffersTheHelpPage)
{
    // A settings file that cannot be used is replaced by the defaults: with no answer from the synth,
    // the scan panel shows at once.
    temp.folder.getChildFile ("mphedstx.dat").replaceWithText ("^|2.2.0|^^|3|^");
    build();
    open (true);
    ASSERT_NE (main->getScanPanel(), nullptr);
    auto* scan = main->getScanPanel();
    ASSERT_TRUE (pumpUntil ([&] { return scan->isNotConnected(); }, 5000));
    EXPECT_TRUE (scan->getHostSettingsLink().isVisible());
    EXPECT_FALSE (engine().isOutputOpen());
    EXPECT_EQ (engine().getPortNames()[0], "NONE");

    const auto page = MIDI_scan::writeHostSettingsHelp (temp.folder);
    ASSERT_TRUE (page.existsAsFile());
    const auto text = page.loadFileAsString();
    for (auto needle : {"Parameter Receive", "SysEx", "REAPER", "Ableton Live", "Mopho x4 Simulator"})
        EXPECT_TRUE (text.contains (needle)) << needle;

    // A later opening of the editor does not scan again.
    main.reset();
    main = std::make_unique<MainComp> (*processor);
    EXPECT_EQ (main->getScanPanel(), nullptr);
}

TEST_F (PortSetupFixture, AFirstStartFindsTheSynthAndGoesOnlineWithoutAClick)
{
    // No settings file at all: the first start looks for the synth, and the simulator beside it is
    // never taken for it.
    ASSERT_FALSE (temp.folder.getChildFile ("mphedstx.dat").existsAsFile());
    build (
        [] (ScanDevices& d)
        {
            d.addSilent ("Quiet In/Out");
            d.addSynth ("USB MIDI 2");
        });
    open (true);
    ASSERT_NE (main->getScanPanel(), nullptr);
    EXPECT_TRUE (pumpUntil ([&] { return main->getScanPanel() == nullptr; }, 5000));
    EXPECT_TRUE (waitOnline());
    EXPECT_EQ (savedPorts()[0], "USB MIDI 2");
    EXPECT_EQ (savedPorts()[1], "USB MIDI 2");
    // A first start is no damage: nothing to tell.
    EXPECT_EQ (main->getMessageBox(), nullptr);
}

TEST_F (PortSetupFixture, OffLineTheStatusLineAndTheScanPanelLeadToThePortSetupInOneClick)
{
    build(); // a silent interface and the simulator: nothing answers the scan
    open (true);
    auto& status = main->getAppBar().getStatusLabel();
    const auto click = [] (juce::Component& c)
    {
        c.mouseDown (mouseEvent (c, {20, 8}, leftButton, {20, 8}));
        if (auto* b = dynamic_cast<juce::ChangeBroadcaster*> (&c))
            b->dispatchPendingMessages();
    };

    auto* scan = main->getScanPanel();
    ASSERT_NE (scan, nullptr);
    ASSERT_TRUE (pumpUntil ([&] { return scan->isNotConnected(); }, 5000));
    EXPECT_EQ (status.getText(), "OFF-LINE: Choose the synth's MIDI ports");
    click (*scan);
    EXPECT_EQ (main->getScanPanel(), nullptr);
    ASSERT_NE (main->getSetupPanel(), nullptr);

    main->stsbutPressed (AppBar::midi); // closed again
    ASSERT_EQ (main->getSetupPanel(), nullptr);
    click (status);
    ASSERT_NE (main->getSetupPanel(), nullptr);
    // A second click leaves the panel open.
    click (status);
    ASSERT_NE (main->getSetupPanel(), nullptr);

    // On-line, the status line is only a status line.
    choose (true, simulatorRow);
    choose (false, simulatorRow);
    ASSERT_TRUE (waitOnline());
    main->stsbutPressed (AppBar::midi);
    click (status);
    EXPECT_EQ (main->getSetupPanel(), nullptr);
}

TEST_F (PortSetupFixture, TheAboutPanelClosesItselfOnlyAtTheFirstOpening)
{
    build();
    open (true);
    ASSERT_NE (main->getAboutPanel(), nullptr);
    EXPECT_TRUE (main->getAboutPanel()->hasClosingTimer());
    EXPECT_TRUE (pumpUntil ([&] { return main->getAboutPanel() == nullptr; }, 4000));

    main.reset();
    main = std::make_unique<MainComp> (*processor);
    EXPECT_EQ (main->getAboutPanel(), nullptr);

    main->showAboutPanel();
    auto* about = main->getAboutPanel();
    ASSERT_NE (about, nullptr);
    EXPECT_FALSE (about->hasClosingTimer());
    EXPECT_EQ (AboutPanel::versionText(), "Version: 2.2.0 JAN 14, 2021");
    pumpFor (2200);
    ASSERT_EQ (main->getAboutPanel(), about);
    about->mouseDown (mouseEvent (*about, {600, 300}, leftButton, {600, 300}));
    about->dispatchPendingMessages();
    EXPECT_EQ (main->getAboutPanel(), nullptr);
}

TEST_F (PortSetupFixture, UnpluggedAndPluggedBackTheSynthGoesOffLineAndBackWithoutAClick)
{
    ASSERT_NO_FATAL_FAILURE (openOnlineWithSetupShown());
    ASSERT_TRUE (waitOnline());
    auto& watcher = engine().getPortWatcher();
    watcher.setActive (false); // looked at by hand

    devices->hide ("Mopho x4 Simulator");
    watcher.check();
    main->drainEvents();
    EXPECT_FALSE (setup().isInputLit() || setup().isOutputLit());
    // The status says why: the device that went away.
    EXPECT_TRUE (main->getAppBar().getStatusLabel().getText().startsWith ("OFF-LINE"));
    EXPECT_TRUE (main->getAppBar().getStatusLabel().getText().contains ("not present"));
    EXPECT_TRUE (setup().getHeading().startsWith ("OFF-LINE"));

    devices->show ("Mopho x4 Simulator");
    watcher.check();
    EXPECT_TRUE (setup().isInputLit() && setup().isOutputLit());
    EXPECT_TRUE (waitOnline());
}
