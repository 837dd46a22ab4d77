#include "host/MarvexAudioProcessor.h"
#include "instrument/SimulatorDevices.h"
#include "link/EngineFiles.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
struct ValueRecorder : juce::AudioProcessorListener
{
    std::vector<std::pair<int, float>> values;
    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override
    {
        values.emplace_back (index, value);
    }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
};

struct ProcessorWithSynth : ::testing::Test
{
    TempFolder temp;
    RecordingSink toSynth;
    SimulatorDevices* devices = nullptr;
    std::unique_ptr<MarvexAudioProcessor> processor;
    ValueRecorder host;

    void SetUp() override
    {
        auto d = std::make_unique<SimulatorDevices> ([this] (const juce::MidiMessage& m) { toSynth.add (m); });
        devices = d.get();
        processor = std::make_unique<MarvexAudioProcessor> (std::move (d), temp.folder);
        processor->getEngine().selectInputRow (1);
        processor->getEngine().selectOutputRow (1);
        processor->addListener (&host);
    }

    void TearDown() override
    {
        processor->removeListener (&host);
        processor.reset();
    }

    MophoSimulator& synth() { return devices->getSimulator(); }
    MidiCntrState& engine() { return processor->getEngine(); }
    juce::AudioProcessorParameter& param (int i) { return *processor->getParameters()[i]; }
    ProgramRecord editorSound() { return processor->getPluginBank().getEditBufferRecord(); }

    /** Waits until everything sent has reached the synth and the synth has acted on it. */
    void settle()
    {
        EXPECT_TRUE (engine().waitUntilSent (2000));
        EXPECT_TRUE (synth().waitUntilIdle (2000));
        pumpFor (10);
    }

    /** The editor's sound goes to the synth, so that both hold the same. */
    void startAlike()
    {
        synth().makeCooperative();
        engine().sendEditBufferToSynth();
        ASSERT_TRUE (pumpUntil ([&] { return synth().getEditBuffer() == editorSound(); }));
    }

    void hostWrites (int index, int raw)
    {
        param (index).setValueNotifyingHost (engine().getTable().toHostValue (index, raw));
    }
};
} // namespace

TEST_F (ProcessorWithSynth, AKnobTurnedOnTheSynthReachesTheHost)
{
    EventCollector events (processor->getEngine());
    synth().turnKnob (20, 100);

    ASSERT_TRUE (pumpUntil ([&] { return processor->getPluginBank().getEditBufferByte (20) == 100; }));
    EXPECT_NEAR (param (20).getValue(), 100.0f / 164.0f, 1e-6);
    ASSERT_FALSE (host.values.empty());
    EXPECT_EQ (host.values.back().first, 20);
    EXPECT_NEAR (host.values.back().second, 100.0f / 164.0f, 1e-6);
    const auto codes = events.take();
    EXPECT_NE (std::find (codes.begin(), codes.end(), event::parameterCode (20, 100)), codes.end());

    // Applied without an echo back to the synth.
    EXPECT_TRUE (processor->getEngine().waitUntilSent (1000));
    EXPECT_EQ (toSynth.size(), 0u);
}

TEST_F (ProcessorWithSynth, AHostEditReachesTheSynth)
{
    param (21).setValueNotifyingHost (100.0f / 127.0f); // resonance, NRPN 16
    param (21).setValueNotifyingHost (101.0f / 127.0f);
    ASSERT_TRUE (pumpUntil ([&] { return synth().getEditBuffer()[21] == 101; }));
    EXPECT_EQ (toSynth.take(), (std::vector<std::vector<uint8_t>> { cc (1, 99, 0), cc (1, 98, 16), cc (1, 6, 0),
                                                                     cc (1, 38, 100), cc (1, 6, 0), cc (1, 38, 101) }));
}

// The synth's own knob moves a value the editor sent; turning the editor back to what it sent
// before must reach the synth, which now plays something else.
TEST_F (ProcessorWithSynth, AnEditorEditBackToTheOldValueAfterTheSynthsKnobReachesTheSynth)
{
    ASSERT_NO_FATAL_FAILURE (startAlike());
    processor->setParameterFromEditor (20, 100, true, true);
    ASSERT_TRUE (pumpUntil ([&] { return synth().getEditBuffer()[20] == 100; }));

    synth().turnKnob (20, 50);
    ASSERT_TRUE (pumpUntil ([&] { return editorSound()[20] == 50; }));

    processor->setParameterFromEditor (20, 100, true, true);
    settle();
    EXPECT_EQ (synth().getEditBuffer(), editorSound());
    EXPECT_EQ (synth().getEditBuffer()[20], 100);
}

// A restored project sends its sound as a dump; the host then writes the value it wrote before.
TEST_F (ProcessorWithSynth, AHostWriteOfItsOldValueAfterARestoredStateReachesTheSynth)
{
    ASSERT_NO_FATAL_FAILURE (startAlike());
    hostWrites (20, 100);
    ASSERT_TRUE (pumpUntil ([&] { return synth().getEditBuffer()[20] == 100; }));

    juce::MemoryBlock state;
    {
        TempFolder otherFolder;
        MarvexAudioProcessor other (std::make_unique<VirtualMidiDevices>(), otherFolder.folder);
        auto sound = editorSound();
        sound[20] = 40;
        other.getPluginBank().setEditBuffer (sound);
        other.getStateInformation (state);
    }
    processor->setStateInformation (state.getData(), (int) state.getSize());
    ASSERT_TRUE (pumpUntil ([&] { return synth().getEditBuffer()[20] == 40; }));

    hostWrites (20, 100);
    settle();
    EXPECT_EQ (editorSound()[20], 100);
    EXPECT_EQ (synth().getEditBuffer(), editorSound());
}

// Every parameter a host writes lands in its own byte of the synth's sound and nowhere else.
TEST_F (ProcessorWithSynth, AHostSweepOfEveryParameterChangesOnlyItsOwnByteOnTheSynth)
{
    ASSERT_NO_FATAL_FAILURE (startAlike());
    const auto& table = engine().getTable();
    for (int i = 0; i < program::numHostParameters; ++i)
    {
        const auto before = synth().getEditBuffer();
        const auto range = table.getMax (i) - table.getMin (i) + 1;
        const auto raw = table.getMin (i) + (editorSound()[(size_t) i] - table.getMin (i) + range / 2) % range;
        hostWrites (i, raw);
        settle();

        auto expected = before;
        if (ParameterTable::isSentToSynth (i))
            expected[(size_t) i] = (uint8_t) raw;
        ASSERT_EQ (synth().getEditBuffer(), expected) << ParameterTable::getName (i);
    }
}

// "BPM Tempo" runs from 30: a host value near 0 keeps its meaning (value ÷ maximum) and the byte
// never goes below 30, in the program and on the wire.
TEST_F (ProcessorWithSynth, ATempoNearZeroFromTheHostStaysAtThirty)
{
    ASSERT_NO_FATAL_FAILURE (startAlike());
    constexpr int bpm = 101;
    for (const auto hostValue : { 0.0f, 0.05f, 29.0f / 250.0f })
    {
        SCOPED_TRACE (hostValue);
        hostWrites (bpm, 200);
        param (bpm).setValueNotifyingHost (hostValue);
        settle();
        EXPECT_EQ (editorSound()[bpm], 30);
        EXPECT_EQ (synth().getEditBuffer()[bpm], 30);
        EXPECT_EQ (param (bpm).getCurrentValueAsText(), "30 bpm");
    }
    param (bpm).setValueNotifyingHost (120.0f / 250.0f);
    settle();
    EXPECT_EQ (synth().getEditBuffer()[bpm], 120);
}

TEST_F (ProcessorWithSynth, AProgramChosenOnTheSynthShowsInTheHost)
{
    ProgramRecord r = initialProgram();
    r[20] = 12;
    r[43] = 3;
    processor->getEngine().getSynthBank (1)->setProgram (7, r);

    synth().selectProgramOnPanel (1, 7);
    ASSERT_TRUE (pumpUntil ([&] { return processor->getPluginBank().getEditBufferByte (20) == 12; }));
    ASSERT_TRUE (pumpUntil ([&] {
        return std::any_of (host.values.begin(), host.values.end(), [] (auto& v) { return v.first == 43; });
    }));
    EXPECT_NEAR (param (20).getValue(), 12.0f / 164.0f, 1e-6);
    const auto last20 = std::find_if (host.values.rbegin(), host.values.rend(), [] (auto& v) { return v.first == 20; });
    ASSERT_NE (last20, host.values.rend());
    EXPECT_NEAR (last20->second, 12.0f / 164.0f, 1e-6);
}

// A host creating an instance (a project opening, a plug-in scan) must not overwrite the sound the
// synth holds: the saved ports open at once, but construction sends nothing.
TEST (ProcessorConstruction, SendsNothingToTheSynthOnTheSavedPorts)
{
    TempFolder temp;
    ASSERT_TRUE (savePortsFile (temp.folder, { MophoSimulator::portName, MophoSimulator::portName, "NONE" }));

    RecordingSink toSynth;
    auto devices = std::make_unique<SimulatorDevices> ([&] (const juce::MidiMessage& m) { toSynth.add (m); });
    MarvexAudioProcessor processor (std::move (devices), temp.folder);

    ASSERT_TRUE (processor.getEngine().isOutputOpen());
    EXPECT_TRUE (processor.getEngine().waitUntilSent (1000));
    EXPECT_EQ (toSynth.size(), 0u);

    // The port is really open: the next host write goes out.
    processor.getParameters()[20]->setValue (0.5f);
    EXPECT_TRUE (processor.getEngine().waitUntilSent (1000));
    EXPECT_EQ (toSynth.size(), 4u);
}
