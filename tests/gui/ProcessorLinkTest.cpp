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
    juce::AudioProcessorParameter& param (int i) { return *processor->getParameters()[i]; }
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
    EXPECT_EQ (toSynth.take(), (std::vector<std::vector<uint8_t>> {
                                   cc (1, 99, 0), cc (1, 98, 16), cc (1, 6, 0), cc (1, 38, 100), cc (1, 6, 0), cc (1, 38, 101) }));
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
