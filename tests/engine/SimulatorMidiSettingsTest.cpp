#include "instrument/MophoSimulator.h"
#include "model/GlobalSettings.h"
#include "model/ProgramPacking.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
using Bytes = std::vector<uint8_t>;

std::vector<juce::MidiMessage> nrpn (int channel, int number, int value)
{
    return { juce::MidiMessage::controllerEvent (channel, 99, number / 128),
             juce::MidiMessage::controllerEvent (channel, 98, number % 128),
             juce::MidiMessage::controllerEvent (channel, 6, value / 128),
             juce::MidiMessage::controllerEvent (channel, 38, value % 128) };
}

juce::MidiMessage sysExMessage (const juce::MemoryBlock& bytes)
{
    return juce::MidiMessage (bytes.getData(), (int) bytes.getSize());
}

const Bytes globalRequest { 0xf0, 0x01, 0x29, 0x0e, 0xf7 };

/** A simulator whose MIDI out is recorded. */
struct Synth
{
    MophoSimulator sim;
    RecordingSink out;

    Synth()
    {
        sim.setOutput ([this] (const juce::MidiMessage& m) { out.add (m); });
    }

    void send (const std::vector<juce::MidiMessage>& messages)
    {
        for (const auto& m : messages)
            sim.receive (m);
    }

    std::vector<Bytes> sent()
    {
        sim.waitUntilIdle (1000);
        return out.take();
    }

    bool answersGlobalRequest()
    {
        sent();
        sim.receive (juce::MidiMessage (globalRequest.data(), (int) globalRequest.size()));
        for (const auto& m : sent())
            if (m.size() > 4 && m[3] == sysex::globalDump)
                return true;
        return false;
    }
};

constexpr int cutoffIndex = 20, cutoffNrpn = 15;
} // namespace

// What each MIDI setting lets through, as the maker documents the synth: the editor's NRPN, its
// notes, its pitch wheel, its requests and its dumps, one setting at a time.
TEST (SimulatorMidiSettings, EachSettingDecidesWhatTheSynthHears)
{
    struct Case
    {
        const char* what;
        int index, value;
        bool takesNrpnOnChannel1, takesNrpnOnChannel2, playsNotesOnChannel1, takesPitchWheel, answersRequests, takesDumps;
    };
    const Case cases[] = {
        { "everything on", globals::sysEx, globals::on, true, true, true, true, true, true },
        { "channel 3", globals::midiChannel, 3, false, false, false, false, true, true },
        { "channel 1", globals::midiChannel, 1, true, false, true, true, true, true },
        { "SysEx off", globals::sysEx, globals::off, true, true, true, true, false, false },
        { "receive NRPN only", globals::parameterReceive, globals::receiveNrpn, true, true, true, true, true, true },
        { "receive CC only", globals::parameterReceive, globals::receiveCc, false, false, true, true, true, true },
        { "receive off", globals::parameterReceive, globals::receiveOff, false, false, true, true, true, true },
        { "MIDI control off", globals::midiControl, globals::off, false, false, true, false, true, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        Synth synth;
        // Set as the editor sets it: by NRPN, which the synth still takes before the setting is made.
        synth.send (nrpn (1, globalNrpn (c.index), c.value));
        ASSERT_EQ (synth.sim.getGlobal (c.index), c.value);
        const auto before = synth.sim.getEditBuffer();

        synth.send (nrpn (2, cutoffNrpn, 99));
        EXPECT_EQ (synth.sim.getEditBuffer()[cutoffIndex] == 99, c.takesNrpnOnChannel2);
        synth.send (nrpn (1, cutoffNrpn, 100));
        EXPECT_EQ (synth.sim.getEditBuffer()[cutoffIndex] == 100, c.takesNrpnOnChannel1);
        synth.send ({ juce::MidiMessage::noteOn (1, 60, (juce::uint8) 90), juce::MidiMessage::pitchWheel (1, 0) });
        EXPECT_EQ (synth.sim.isNoteSounding (60), c.playsNotesOnChannel1);
        EXPECT_EQ (synth.sim.getNoteCounts().pitchWheel == 0, c.takesPitchWheel);
        EXPECT_EQ (synth.answersGlobalRequest(), c.answersRequests);

        auto dumped = before;
        dumped[21] = (uint8_t) (dumped[21] ^ 0x55);
        synth.send ({ sysExMessage (makeEditBufferDump (dumped)) });
        EXPECT_EQ (synth.sim.getEditBuffer()[21] == dumped[21], c.takesDumps);
    }

    // On its own channel it hears the editor again.
    Synth onThree;
    onThree.sim.setGlobal (globals::midiChannel, 3);
    onThree.send (nrpn (3, cutoffNrpn, 77));
    EXPECT_EQ (onThree.sim.getEditBuffer()[cutoffIndex], 77);
}

TEST (SimulatorMidiSettings, ControllersOffOrNoNrpnReceiveCannotBeUndoneOverMidi)
{
    for (const auto& [index, value] : { std::pair { globals::midiControl, globals::off },
                                        std::pair { globals::parameterReceive, globals::receiveOff } })
    {
        Synth synth;
        synth.send (nrpn (1, globalNrpn (index), value));
        EXPECT_EQ (synth.sim.getGlobal (index), value);
        // The NRPN that would switch it back is one of the messages it now ignores.
        synth.send (nrpn (1, globalNrpn (index), index == globals::midiControl ? globals::on : globals::receiveAll));
        EXPECT_EQ (synth.sim.getGlobal (index), value);
    }
}

TEST (SimulatorMidiSettings, OnThruItsOutputRepeatsItsInputAndNothingOfItsOwn)
{
    Synth synth;
    synth.send (nrpn (1, globalNrpn (globals::midiOutSelect), globals::outSelectThru));
    synth.sent();

    const auto note = juce::MidiMessage::noteOn (2, 64, (juce::uint8) 70);
    synth.send ({ note, juce::MidiMessage (globalRequest.data(), (int) globalRequest.size()) });
    synth.sim.turnKnob (cutoffIndex, 33);
    synth.sim.sendEditBufferDumpFromPanel();
    const std::vector<Bytes> repeated { { note.getRawData(), note.getRawData() + 3 }, globalRequest };
    EXPECT_EQ (synth.sent(), repeated);
    EXPECT_TRUE (synth.sim.isNoteSounding (64)); // it still plays what it hears
}

TEST (SimulatorMidiSettings, KeepsTheLastNrpnNumberAndDataMsb)
{
    Synth synth;
    synth.send (nrpn (1, cutoffNrpn, 130)); // data MSB 1
    EXPECT_EQ (synth.sim.getNrpnNumber(), cutoffNrpn);
    synth.send ({ juce::MidiMessage::controllerEvent (1, 38, 5) });
    EXPECT_EQ (synth.sim.getEditBuffer()[cutoffIndex], 133);
    synth.send ({ juce::MidiMessage::controllerEvent (1, 6, 0), juce::MidiMessage::controllerEvent (1, 38, 9) });
    EXPECT_EQ (synth.sim.getEditBuffer()[cutoffIndex], 9);
    // A data MSB alone changes nothing until its LSB comes.
    synth.send ({ juce::MidiMessage::controllerEvent (1, 6, 1) });
    EXPECT_EQ (synth.sim.getEditBuffer()[cutoffIndex], 9);
}

TEST (SimulatorMidiSettings, ItsKnobsReachTheEditorOnlyAsNrpnOnItsChannel)
{
    Synth synth;
    synth.sim.turnKnob (cutoffIndex, 80);
    const auto asNrpn = synth.sent();
    ASSERT_EQ (asNrpn.size(), 4u);
    EXPECT_EQ (asNrpn[3], cc (1, 38, 80));

    synth.sim.setGlobal (globals::midiChannel, 5);
    synth.sim.turnKnob (cutoffIndex, 81);
    EXPECT_EQ (synth.sent()[3], cc (5, 38, 81));

    for (const auto send : { globals::sendCc, globals::sendOff })
    {
        synth.sim.setGlobal (globals::parameterSend, (uint8_t) send);
        synth.sim.turnKnob (cutoffIndex, 82);
        EXPECT_TRUE (synth.sent().empty());
        EXPECT_EQ (synth.sim.getEditBuffer()[cutoffIndex], 82);
    }
}

TEST (SimulatorMidiSettings, GlobalsSetByNrpnAreKeptInItsMemory)
{
    Synth synth;
    synth.send (nrpn (1, globalNrpn (globals::midiChannel), 7));
    synth.send (nrpn (7, globalNrpn (0), 20)); // "COARSE", now on its channel
    const auto image = synth.sim.saveMemory();

    MophoSimulator restarted;
    ASSERT_TRUE (restarted.loadMemory (image.getData(), image.getSize()));
    EXPECT_EQ (restarted.getGlobal (globals::midiChannel), 7);
    EXPECT_EQ (restarted.getGlobal (0), 20);

    restarted.makeCooperative();
    EXPECT_EQ (restarted.getGlobal (globals::midiChannel), globals::allChannels);
}
