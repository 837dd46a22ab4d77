#pragma once

#include "link/MidiDevices.h"

#include <memory>

namespace kelvo
{
class MophoSimulator;
class SimulatorMemoryFile;
class VirtualMidiDevices;

/**
    The operating system's MIDI devices through JUCE (Windows multimedia MIDI, CoreMIDI, ALSA),
    followed in each list by one more: "Mopho x4 Simulator", our stand-in for the synth, so that the
    editor can be explored without hardware.

    On a machine without MIDI (no sound hardware, no ALSA sequencer) the lists hold only the
    simulator; nothing else opens, and the link stays off-line until the simulator is chosen.
*/
class SystemMidiDevices final : public MidiDeviceLayer
{
public:
    /** memoryFolder is where the simulator keeps its memory between runs. */
    explicit SystemMidiDevices (const juce::File& memoryFolder);
    ~SystemMidiDevices() override;

    juce::StringArray getInputNames() override;
    juce::StringArray getOutputNames() override;
    std::unique_ptr<MidiInputDevice> openInput (int index, juce::MidiInputCallback& callback) override;
    std::unique_ptr<MidiOutputDevice> openOutput (int index) override;
    juce::StringArray takeNotices() override;

    /** True for the rows that name the simulator rather than a real device. */
    static bool isSimulatorName (const juce::String& name);
    /** The file, in the settings folder, that holds the simulator's memory. */
    static constexpr const char* simulatorMemoryFileName = "MophoX4Simulator.dat";

private:
    VirtualMidiDevices& getSimulatorPorts();

    const juce::File memoryFolder;
    std::unique_ptr<SimulatorMemoryFile> memoryFile;
    juce::StringArray notices;
    // Created the first time the simulator is opened; the simulator is destroyed before its ports.
    std::unique_ptr<VirtualMidiDevices> simulatorPorts;
    std::unique_ptr<MophoSimulator> simulator;

    JUCE_DECLARE_NON_COPYABLE (SystemMidiDevices)
};

} // namespace kelvo
