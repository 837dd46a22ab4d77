#pragma once

#include "host/MarvexAudioProcessor.h"
#include "instrument/SimulatorDevices.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

namespace kelvo::test
{

/** A processor whose ports lead to the simulator, with everything sent to it recorded. */
struct SynthProcessorRig : ::testing::Test
{
    UsedSettingsFolder temp;
    RecordingSink toSynth;
    SimulatorDevices* devices = nullptr;
    std::unique_ptr<MarvexAudioProcessor> processor;

    void SetUp() override
    {
        auto d =
            std::make_unique<SimulatorDevices> ([this] (const juce::MidiMessage& m) { toSynth.add (m); });
        devices = d.get();
        processor = std::make_unique<MarvexAudioProcessor> (std::move (d), temp.folder);
    }

    void TearDown() override { processor.reset(); }

    /** Opens the simulator's ports and waits for its answer to the connection check, and for a
        fresh instance also for the synth's sound, which its first connection brings in. */
    void goOnline()
    {
        const auto fresh = bank().getEditBufferRecord() == initialProgram();
        engine().selectInputRow (1);
        engine().selectOutputRow (1);
        engine().checkConnection();
        ASSERT_TRUE (pumpUntil ([&] { return engine().hasGlobalDumpArrived(); }));
        if (fresh)
            pumpUntil ([&] { return bank().getEditBufferRecord() == synth().getEditBuffer(); });
    }

    MophoSimulator& synth() { return devices->getSimulator(); }
    MidiCntrState& engine() { return processor->getEngine(); }
    Bank_Program& bank() { return processor->getPluginBank(); }

    /** Waits until everything sent has reached the simulator and it has acted on it. */
    void settle()
    {
        EXPECT_TRUE (engine().waitUntilSent (2000));
        EXPECT_TRUE (synth().waitUntilIdle (2000));
        pumpFor (20);
    }

    /** The SysEx messages of one kind (0x02 program dump, 0x03 edit-buffer dump) sent so far, taken. */
    static int countSysEx (const std::vector<std::vector<uint8_t>>& sent, uint8_t kind)
    {
        int n = 0;
        for (const auto& m : sent)
            if (m.size() > 4 && m[0] == 0xf0 && m[1] == 0x01 && m[2] == 0x29 && m[3] == kind)
                ++n;
        return n;
    }
};

/** A sound of our own: the initial program with a few parameters and the name changed. */
inline ProgramRecord distinctSound (int seed, const juce::String& name)
{
    auto r = initialProgram();
    r[20] = (uint8_t)(10 + seed); // cutoff
    r[21] = (uint8_t)(20 + seed); // resonance
    r[43] = (uint8_t)(seed % 5);  // an LFO shape
    const auto nameBytes = encodeProgramName (name);
    std::copy (nameBytes.begin(), nameBytes.end(), r.begin() + program::nameOffset);
    return r;
}

} // namespace kelvo::test
