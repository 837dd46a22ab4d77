#include "instrument/MophoSimulator.h"
#include "model/GlobalSettings.h"
#include "model/ProgramPacking.h"

#include <gtest/gtest.h>

using namespace kelvo;

namespace
{
// Global block indices as the synth's global dump orders them.
constexpr int channelGlobal = 2, receiveGlobal = 5, controllerGlobal = 6, sysExGlobal = 7;

void sendNrpn (MophoSimulator& sim, int channel, int number, int value)
{
    sim.receive (juce::MidiMessage::controllerEvent (channel, 99, number >> 7));
    sim.receive (juce::MidiMessage::controllerEvent (channel, 98, number & 0x7f));
    sim.receive (juce::MidiMessage::controllerEvent (channel, 6, value >> 7));
    sim.receive (juce::MidiMessage::controllerEvent (channel, 38, value & 0x7f));
}

// A setting made the way the editor makes it: by NRPN on the synth's channel.
void setGlobalByNrpn (MophoSimulator& sim, int index, int value)
{
    sendNrpn (sim, 1, globalNrpn (index), value);
}

struct Probe
{
    const char* what;
    std::function<void (MophoSimulator&)> send;
    std::function<bool (const MophoSimulator&)> heard;
};

const uint8_t requestGlobals[] = {sysex::manufacturerDsi, sysex::deviceMophoX4, sysex::requestGlobals};

std::vector<Probe> probes()
{
    return {
        {"NRPN edit on channel 1", [] (MophoSimulator& s) { sendNrpn (s, 1, 0, 7); },
         [] (const MophoSimulator& s) { return s.getEditBuffer()[0] == 7; }},
        {"NRPN edit on channel 2", [] (MophoSimulator& s) { sendNrpn (s, 2, 0, 7); },
         [] (const MophoSimulator& s) { return s.getEditBuffer()[0] == 7; }},
        {"note on channel 1",
         [] (MophoSimulator& s) { s.receive (juce::MidiMessage::noteOn (1, 60, (juce::uint8)100)); },
         [] (const MophoSimulator& s) { return s.isNoteSounding (60); }},
        {"pitch wheel on channel 1",
         [] (MophoSimulator& s) { s.receive (juce::MidiMessage::pitchWheel (1, 100)); },
         [] (const MophoSimulator& s) { return s.getNoteCounts().pitchWheel == 100; }},
        {"request for the globals",
         [] (MophoSimulator& s) { s.receive (juce::MidiMessage::createSysExMessage (requestGlobals, 3)); },
         [] (const MophoSimulator& s) { return s.getNumRequests() == 1; }},
    };
}

struct SettingCase
{
    const char* setting;
    int index, value;
    // Which probes (in the order of probes()) the synth still hears.
    std::vector<bool> hears;
};
} // namespace

TEST (SimulatorReceive, EachGlobalSettingMakesItDeafToWhatTheSynthIgnores)
{
    const SettingCase cases[] = {
        {"cooperative: all channels, receive ALL", -1, 0, {true, true, true, true, true}},
        {"channel 1", channelGlobal, 1, {true, false, true, true, true}},
        {"channel 3", channelGlobal, 3, {false, false, false, false, true}},
        {"Param Receive NRPN", receiveGlobal, 1, {true, true, true, true, true}},
        {"Param Receive CC", receiveGlobal, 2, {false, false, true, true, true}},
        {"Param Receive OFF", receiveGlobal, 3, {false, false, true, true, true}},
        {"MIDI Control off", controllerGlobal, 0, {false, false, true, false, true}},
        {"MIDI SysEx off", sysExGlobal, 0, {true, true, true, true, false}},
    };

    for (const auto& c : cases)
    {
        const auto all = probes();
        for (size_t p = 0; p < all.size(); ++p)
        {
            MophoSimulator sim;
            sim.setOutput ([] (const juce::MidiMessage&) {});
            if (c.index >= 0)
            {
                setGlobalByNrpn (sim, c.index, c.value);
                ASSERT_EQ (sim.getGlobal (c.index), c.value) << c.setting << ": set by NRPN";
            }
            all[p].send (sim);
            EXPECT_EQ (all[p].heard (sim), (bool)c.hears[p]) << c.setting << ", " << all[p].what;
        }
    }
}

TEST (SimulatorReceive, KeepsTheLastNrpnNumberForDataEntryAlone)
{
    MophoSimulator sim;
    sendNrpn (sim, 1, 0, 3);
    EXPECT_EQ (sim.getNrpnNumber(), 0);
    sim.receive (juce::MidiMessage::controllerEvent (1, 6, 0));
    sim.receive (juce::MidiMessage::controllerEvent (1, 38, 9));
    EXPECT_EQ (sim.getEditBuffer()[0], 9);
}

TEST (SimulatorReceive, GlobalSettingsSurviveInItsMemory)
{
    MophoSimulator sim;
    setGlobalByNrpn (sim, channelGlobal, 5);
    const auto memory = sim.saveMemory();
    MophoSimulator restored;
    ASSERT_TRUE (restored.loadMemory (memory.getData(), memory.getSize()));
    EXPECT_EQ (restored.getGlobal (channelGlobal), 5);
}
