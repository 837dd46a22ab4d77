#include "link/EngineSettings.h"
#include "link/MIDI_PORTS_Control.h"
#include "link/MidiCntrState.h"
#include "link/PortChoice.h"
#include "link/PortScan.h"
#include "link/PortWatcher.h"
#include "support/ScanDevices.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <thread>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
/** An engine on a machine of silent ports and simulated synths, and a scan that waits briefly. */
struct ScanFixture : ::testing::Test
{
    TempFolder temp;
    ScanDevices* devices = nullptr;
    std::unique_ptr<MidiCntrState> engine;
    std::unique_ptr<PortScan> scan;

    /** Builds the machine with build (devices), then the engine on it. */
    template <typename Build> void machine (Build&& build)
    {
        auto d = std::make_unique<ScanDevices>();
        build (*d);
        devices = d.get();
        engine = std::make_unique<MidiCntrState> (std::move (d), temp.folder);
    }

    void TearDown() override
    {
        scan.reset();
        engine.reset();
    }

    PortScan::State runScan (int answerWaitMs = 60)
    {
        scan = std::make_unique<PortScan> (*engine, PortScan::Timing{answerWaitMs, 5});
        scan->start();
        pumpUntil ([&] { return scan->getState() != PortScan::State::scanning; }, 10000);
        return scan->getState();
    }

    juce::StringArray portNames() { return engine->getPortNames(); }
};
} // namespace

TEST_F (ScanFixture, FindsTheSynthAmongSilentPortsSkipsTheSimulatorAndSavesTheChoice)
{
    machine (
        [] (ScanDevices& d)
        {
            d.addSynth ("Mopho x4 Simulator"); // answers, but is not hardware: never chosen by a scan
            d.addSilent ("Quiet A");
            d.addSynth ("USB MIDI 2");
            d.addSilent ("Quiet B");
        });

    ASSERT_EQ (runScan(), PortScan::State::found);
    EXPECT_EQ (portNames()[0], "USB MIDI 2");
    EXPECT_EQ (portNames()[1], "USB MIDI 2");
    EXPECT_EQ (engine->getPorts().getInputIndex(), 2);
    EXPECT_EQ (engine->getPorts().getOutputIndex(), 2);
    EXPECT_TRUE (engine->hasGlobalDumpArrived());

    // What the next start opens: the ports file and the settings on disk.
    engine.reset();
    machine (
        [] (ScanDevices& d)
        {
            d.addSynth ("Mopho x4 Simulator");
            d.addSilent ("Quiet A");
            d.addSynth ("USB MIDI 2");
            d.addSilent ("Quiet B");
        });
    EXPECT_EQ (portNames()[0], "USB MIDI 2");
    EXPECT_EQ (engine->getPorts().getInputIndex(), 2);
    EXPECT_EQ (engine->getPorts().getOutputIndex(), 2);
    EXPECT_EQ (engine->getSetting (settings::scanInputPort), "3");
    EXPECT_EQ (engine->getSetting (settings::scanOutputPort), "3");
}

TEST_F (ScanFixture, NothingAnswersPutsBackThePortsInUse)
{
    machine (
        [] (ScanDevices& d)
        {
            d.addSilent ("Quiet A");
            d.addSilent ("Quiet B");
            d.addSynth ("Mopho x4 Simulator");
        });
    ASSERT_TRUE (portchoice::selectInputByName (*engine, "Quiet B"));

    EXPECT_EQ (runScan (20), PortScan::State::notFound);
    EXPECT_EQ (portNames()[0], "Quiet B");
    EXPECT_EQ (portNames()[1], "NONE");
    EXPECT_EQ (engine->getPorts().getInputIndex(), 1);
    EXPECT_FALSE (engine->getPorts().isOutputOpen());
    EXPECT_EQ (engine->getSetting (settings::scanInputPort), "-1");
}

TEST_F (ScanFixture, ALateAnswerIsNotCreditedToTheNextPair)
{
    // The synth answers after the wait is over: its answer to the pair (Slow, Slow) arrives at the
    // slow input while the scan tries that input with a silent output.
    machine (
        [] (ScanDevices& d)
        {
            d.addSynth ("Slow").setReplyDelay (150);
            for (auto name : {"Quiet 1", "Quiet 2", "Quiet 3", "Quiet 4"})
                d.addSilent (name);
        });

    EXPECT_EQ (runScan (100), PortScan::State::notFound);
    EXPECT_EQ (portNames()[1], "NONE");
}

TEST_F (ScanFixture, TheSynthOnThePortsInUseIsTakenAsItIs)
{
    machine (
        [] (ScanDevices& d)
        {
            d.addSilent ("Quiet A");
            d.addSynth ("Mopho x4 Simulator");
        });
    engine->selectInputRow (2);
    engine->selectOutputRow (2);

    EXPECT_EQ (runScan(), PortScan::State::found);
    EXPECT_EQ (portNames()[0], "Mopho x4 Simulator");
    EXPECT_EQ (engine->getSetting (settings::scanOutputPort), "2");
}

TEST_F (ScanFixture, CancellingPutsBackThePortsAndNothingLaterRewritesTheSettings)
{
    machine (
        [] (ScanDevices& d)
        {
            d.addSilent ("Quiet A");
            d.addSynth ("USB MIDI").setReplyDelay (100);
        });
    ASSERT_TRUE (portchoice::selectOutputByName (*engine, "Quiet A"));

    scan = std::make_unique<PortScan> (*engine, PortScan::Timing{400, 5});
    scan->start();
    // Cancelled while the slow synth's answer is on its way.
    pumpUntil ([&] { return scan->getInputBeingTried() == "USB MIDI"; }, 5000);
    scan->cancel();
    EXPECT_EQ (scan->getState(), PortScan::State::cancelled);
    EXPECT_EQ (portNames()[0], "NONE");
    EXPECT_EQ (portNames()[1], "Quiet A");
    EXPECT_EQ (engine->getPorts().getOutputIndex(), 0);

    pumpFor (300);
    EXPECT_EQ (scan->getState(), PortScan::State::cancelled);
    EXPECT_EQ (engine->getSetting (settings::scanInputPort), "-1");
    EXPECT_EQ (portNames()[1], "Quiet A");
}

TEST_F (ScanFixture, EachWarningLineFollowsItsOwnGlobalByte)
{
    machine ([] (ScanDevices&) {});
    struct Case
    {
        int byte, value;
        const char* line;
    };
    const Case cases[] = {
        {6, 0, "- MIDI Controller Send/Receive = ON"},
        {4, 1, "- Parameter send = NRPN"},   // byte 4 is the parameter send setting
        {5, 2, "- Parameter Receive = ALL"}, // byte 5 the receive setting
    };
    const auto allWell = [&]
    {
        engine->setGlobal (4, 0);
        engine->setGlobal (5, 0);
        engine->setGlobal (6, 1);
    };

    allWell();
    EXPECT_TRUE (PortScan::settingWarnings (*engine).isEmpty());
    for (const auto& c : cases)
    {
        allWell();
        engine->setGlobal (c.byte, (uint8_t)c.value);
        EXPECT_EQ (PortScan::settingWarnings (*engine), juce::StringArray (c.line)) << "byte " << c.byte;
    }
}

TEST_F (ScanFixture, AnUnpluggedPortIsClosedAndReopenedByNameWhenItComesBack)
{
    machine (
        [] (ScanDevices& d)
        {
            d.addSilent ("Quiet A");
            d.addSynth ("USB MIDI");
        });
    ASSERT_TRUE (portchoice::selectInputByName (*engine, "USB MIDI"));
    ASSERT_TRUE (portchoice::selectOutputByName (*engine, "USB MIDI"));
    auto& watcher = engine->getPortWatcher(); // the engine's own, looked at by hand below
    watcher.setActive (false);

    devices->hide ("USB MIDI");
    watcher.check();
    EXPECT_FALSE (engine->getPorts().isInputOpen());
    EXPECT_FALSE (engine->getPorts().isOutputOpen());
    EXPECT_FALSE (engine->hasGlobalDumpArrived());
    EXPECT_EQ (portNames()[0], "USB MIDI"); // the choice stays

    // Another device moves into its place in the lists: nothing opens it.
    devices->show ("USB MIDI");
    devices->hide ("Quiet A");
    watcher.check();
    ASSERT_TRUE (engine->getPorts().isInputOpen());
    EXPECT_EQ (engine->getPorts().getOutputIndex(), 0);
    EXPECT_TRUE (pumpUntil ([&] { return engine->hasGlobalDumpArrived(); }));
}

TEST_F (ScanFixture, TheGlobalBlockIsWrittenOnTheInputThreadWhileReadHere)
{
    machine ([] (ScanDevices& d) { d.addSynth ("USB MIDI"); });
    engine->setGlobal (6, 1); // controllers on: only the parameter send setting can warn
    std::atomic<bool> stop{false};
    std::atomic<int> written{0};
    // Global NRPN 390 (parameter send), as the synth's panel sends it.
    const auto sendParameterSend = [&] (int value)
    {
        engine->handleIncomingMidiMessage (nullptr, juce::MidiMessage::controllerEvent (1, 99, 3));
        engine->handleIncomingMidiMessage (nullptr, juce::MidiMessage::controllerEvent (1, 98, 6));
        engine->handleIncomingMidiMessage (nullptr, juce::MidiMessage::controllerEvent (1, 6, 0));
        engine->handleIncomingMidiMessage (nullptr, juce::MidiMessage::controllerEvent (1, 38, value));
    };
    std::thread input (
        [&]
        {
            for (int n = 0; !stop; ++n, ++written)
            {
                sendParameterSend (n % 3);
            }
        });
    bool allInRange = true;
    for (int i = 0; i < 20000 || written < 1000; ++i)
        allInRange =
            allInRange && engine->getGlobal (4) <= 2 && PortScan::settingWarnings (*engine).size() <= 1;
    stop = true;
    input.join();
    EXPECT_TRUE (allInRange);

    // The last value the input thread wrote is the one read here.
    sendParameterSend (2);
    EXPECT_EQ (engine->getGlobal (4), 2);
    EXPECT_EQ (PortScan::settingWarnings (*engine), juce::StringArray ("- Parameter send = NRPN"));
}
