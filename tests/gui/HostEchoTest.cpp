#include "host/HostEchoGuard.h"
#include "host/MarvexAudioProcessor.h"
#include "model/ProgramPacking.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <map>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
/**
    A host as JUCE's VST3 wrapper meets one: every value the processor reports comes back to it
    with an audio block, the last one reported for each parameter, and is applied unless it equals
    the parameter's current value. Here each report comes back one block late, as when the host
    picks it up just after a block has started.
*/
struct EchoingHost : juce::AudioProcessorListener
{
    explicit EchoingHost (MarvexAudioProcessor& p) : processor (p) { processor.addListener (this); }
    ~EchoingHost() override { processor.removeListener (this); }

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override
    {
        if (!returning) // the wrapper reports nothing back while it applies what the host sent
            collecting[index] = value;
    }
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int) override { ++gesturesBegun; }
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int) override {}
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}

    void block()
    {
        for (const auto& [index, value] : due)
        {
            auto& param = *processor.getParameters()[index];
            if (param.getValue() != value)
            {
                returning = true;
                param.setValueNotifyingHost (value);
                returning = false;
            }
        }
        due = std::exchange (collecting, {});
    }

    void settle()
    {
        for (int i = 0; i < 4; ++i)
        {
            pumpFor (70);
            block();
        }
    }

    MarvexAudioProcessor& processor;
    std::map<int, float> collecting, due;
    bool returning = false;
    int gesturesBegun = 0;
};

struct HostEchoFixture : ::testing::Test
{
    TempFolder temp;
    VirtualRig rig;
    std::unique_ptr<MarvexAudioProcessor> processor;
    std::unique_ptr<EchoingHost> host;

    void SetUp() override
    {
        processor = std::make_unique<MarvexAudioProcessor> (rig.makeDevices(), temp.folder);
        processor->getEngine().selectInputRow (1);
        processor->getEngine().selectOutputRow (1);
        host = std::make_unique<EchoingHost> (*processor);
    }

    void TearDown() override
    {
        host.reset();
        processor.reset();
    }

    void fromSynth (const juce::MidiMessage& m) { rig.devices->deliver (rig.inputIndex, m); }
    void synthKnob (int nrpn, int value)
    {
        for (auto [controller, data] :
             {std::pair{99, nrpn / 128}, {98, nrpn % 128}, {6, value / 128}, {38, value % 128}})
            fromSynth (juce::MidiMessage::controllerEvent (1, controller, data));
    }

    /** The data values of the parameter NRPNs that reached the synth, in order. */
    std::vector<int> nrpnValuesSent()
    {
        EXPECT_TRUE (processor->getEngine().waitUntilSent (2000));
        std::vector<int> values;
        for (const auto& m : rig.sink.take())
            if (m.size() == 3 && (m[0] & 0xf0) == 0xb0 && m[1] == 38)
                values.push_back (m[2]);
        return values;
    }

    /** A program of its own for each number, every parameter inside its range. */
    ProgramRecord distinctProgram (int n)
    {
        auto r = initialProgram();
        const auto& table = processor->getEngine().getTable();
        for (int i = 0; i < program::nameOffset; ++i)
            if (table.getMax (i) > 0)
                r[(size_t)i] = (uint8_t)((n * 37 + i * 11) % (table.getMax (i) + 1));
        return r;
    }
};
} // namespace

TEST_F (HostEchoFixture, ReturningValuesNeverMixProgramsNorReachTheSynth)
{
    for (int n = 0; n < 8; ++n)
        processor->getPluginBank().setProgram (n, distinctProgram (n));

    ProgramRecord expected{};
    for (int round = 0; round < 24; ++round)
    {
        // Programs change every way they can: the host's program, the synth's program, a dump.
        const auto n = round % 8;
        switch (round % 3)
        {
        case 0:
            processor->setCurrentProgram (n);
            expected = distinctProgram (n);
            break;
        case 1:
            fromSynth (juce::MidiMessage::programChange (1, n + 10));
            expected = processor->getEngine().getSynthBank (0)->getProgramRecord (n + 10);
            break;
        default:
        {
            expected = distinctProgram (n + 100);
            const auto dump = makeEditBufferDump (expected);
            fromSynth (juce::MidiMessage (dump.getData(), (int)dump.getSize()));
            break;
        }
        }
        pumpFor (70);  // the host is told the new values...
        host->block(); // ...and gets back those of the program before
        ASSERT_EQ (processor->getPluginBank().getEditBufferRecord(), expected) << "round " << round;
    }

    host->settle();
    EXPECT_EQ (processor->getPluginBank().getEditBufferRecord(), expected);
    EXPECT_TRUE (nrpnValuesSent().empty());
    EXPECT_EQ (host->gesturesBegun, 0); // none of this is a user's edit: nothing to record
    for (int i = 0; i < program::numHostParameters; ++i)
        EXPECT_FLOAT_EQ (processor->getParameters()[i]->getValue(),
                         processor->getEngine().getTable().toHostValue (i, expected[(size_t)i]))
            << i;
}

TEST_F (HostEchoFixture, ReturningValuesOfATurningKnobCauseNoJitter)
{
    // The editor's knob: every value reaches the synth once, in order, whatever comes back.
    std::vector<int> turned;
    for (int v = 10; v <= 60; v += 2)
    {
        processor->setParameterFromEditor (20, v, false, true);
        turned.push_back (v);
        host->block();
    }
    host->settle();
    EXPECT_EQ (processor->getPluginBank().getEditBufferByte (20), 60);
    EXPECT_EQ (nrpnValuesSent(), turned);

    // The synth's own knob: followed here and never sent back.
    for (int v = 100; v >= 40; v -= 3)
    {
        synthKnob (16, v); // "Resonance"
        pumpFor (5);
        host->block();
    }
    host->settle();
    EXPECT_EQ (processor->getPluginBank().getEditBufferByte (21), 40);
    EXPECT_TRUE (nrpnValuesSent().empty());
}

TEST_F (HostEchoFixture, TheHostsOwnWritesAlwaysApply)
{
    processor->setParameterFromEditor (21, 30, true, true);
    nrpnValuesSent();

    auto& resonance = *processor->getParameters()[21];
    const auto write = [&] (int v)
    {
        resonance.setValueNotifyingHost ((float)v / 127.0f);
        return (int)processor->getPluginBank().getEditBufferByte (21);
    };
    // Values never reported apply at once, even while a report may still come back...
    EXPECT_EQ (write (31), 31);
    EXPECT_EQ (write (50), 50);
    // ...and once the host has written the parameter itself it has nothing of ours on its way
    // back: the value reported before is the host's own again, at once.
    EXPECT_EQ (write (30), 30);
    EXPECT_EQ (write (77), 77);
    EXPECT_EQ (nrpnValuesSent(), (std::vector<int>{31, 50, 30, 77}));
}

// The guard on its own, with the reporter thread's timing made explicit: a value the reporter passes
// on while a host write of it is being applied is still ours on its way back, and a value queued for
// a later block is told again when the host's own call needs the answer at once.
TEST (HostEchoGuard, AReportMadeWhileAHostWriteIsAppliedStaysOursAndAQueuedOneIsToldAgain)
{
    constexpr int cutoff = 20;
    HostEchoGuard guard;
    guard.hostWrote (cutoff, 10);

    // The host writes 50; the reporter thread sees the new byte and queues it before the write is
    // recorded; then a restored state brings 90, which the host is told at once.
    const auto arrival = guard.lastReport();
    guard.reported (cutoff, 50, false);
    guard.hostWrote (cutoff, 50, arrival);
    guard.reported (cutoff, 90);
    // The queued 50 comes back with a later block: it is stale, not the host's.
    EXPECT_TRUE (guard.isStaleEcho (cutoff, 50, 90));
    // A value the host chooses itself applies.
    EXPECT_FALSE (guard.isStaleEcho (cutoff, 60, 90));

    // A value queued for the next block matches the host's view only once that block has run: a
    // host reading right after its own call must be told it again.
    guard.reported (cutoff, 70, false);
    EXPECT_FALSE (guard.differsFromHost (cutoff, 70));
    EXPECT_TRUE (guard.mayDifferFromHostNow (cutoff, 70));
    guard.reported (cutoff, 70);
    EXPECT_FALSE (guard.mayDifferFromHostNow (cutoff, 70));
}
