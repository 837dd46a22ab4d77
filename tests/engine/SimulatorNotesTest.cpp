#include "instrument/MophoSimulator.h"

#include <gtest/gtest.h>

using namespace kelvo;

namespace
{
struct NoteCase
{
    const char* what;
    std::vector<juce::MidiMessage> messages;
    int noteOns, noteOffs, sounding, mostAtOnce;
};
} // namespace

TEST (SimulatorNotes, CountsWhatItHears)
{
    const NoteCase cases[] = {
        {"one note played and released",
         {juce::MidiMessage::noteOn (1, 60, (juce::uint8)100), juce::MidiMessage::noteOff (1, 60)},
         1,
         1,
         0,
         1},
        {"a note-on of velocity 0 ends the note",
         {juce::MidiMessage::noteOn (1, 60, (juce::uint8)100),
          juce::MidiMessage::noteOn (1, 60, (juce::uint8)0)},
         1,
         1,
         0,
         1},
        {"a stuck note",
         {juce::MidiMessage::noteOn (1, 60, (juce::uint8)100),
          juce::MidiMessage::noteOn (1, 64, (juce::uint8)90), juce::MidiMessage::noteOff (1, 60)},
         2,
         1,
         1,
         2},
        {"a note-off for a silent note", {juce::MidiMessage::noteOff (2, 10)}, 0, 1, 0, 0},
        {"a note struck twice sounds once",
         {juce::MidiMessage::noteOn (1, 50, (juce::uint8)1),
          juce::MidiMessage::noteOn (1, 50, (juce::uint8)127)},
         2,
         0,
         1,
         1},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        MophoSimulator synth;
        for (const auto& m : c.messages)
            synth.receive (m);
        const auto counts = synth.getNoteCounts();
        EXPECT_EQ (counts.noteOns, c.noteOns);
        EXPECT_EQ (counts.noteOffs, c.noteOffs);
        EXPECT_EQ (counts.sounding, c.sounding);
        EXPECT_EQ (counts.mostAtOnce, c.mostAtOnce);
    }
}

TEST (SimulatorNotes, PitchWheelAndReset)
{
    MophoSimulator synth;
    synth.receive (juce::MidiMessage::pitchWheel (1, 16383));
    synth.receive (juce::MidiMessage::noteOn (1, 70, (juce::uint8)80));
    EXPECT_EQ (synth.getNoteCounts().pitchWheel, 16383);
    EXPECT_TRUE (synth.isNoteSounding (70));
    synth.resetNoteCounts();
    EXPECT_FALSE (synth.isNoteSounding (70));
    EXPECT_EQ (synth.getNoteCounts().sounding, 0);
    EXPECT_EQ (synth.getNoteCounts().pitchWheel, 8192);
}
