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
    simulator; nothing else opens, and the link stays off-line until the simulator is chosen. Each
    look at such a system fails again (ALSA prints "open /dev/snd/seq failed" every time), so after
    it has offered no device in either direction the system is asked again only after a pause that
    doubles up to a minute, and the failure is logged once.

    Threads: the message thread (and whoever builds the engine, before that).
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
    enum class Direction
    {
        inputs,
        outputs
    };
    /** The system's devices of one direction, as both the lists and the port numbers count them. */
    juce::Array<juce::MidiDeviceInfo> systemDevices (Direction direction);

    const juce::File memoryFolder;
    std::unique_ptr<SimulatorMemoryFile> memoryFile;
    juce::StringArray notices;
    // Created the first time the simulator is opened; the simulator is destroyed before its ports.
    std::unique_ptr<VirtualMidiDevices> simulatorPorts;
    std::unique_ptr<MophoSimulator> simulator;

    // What the system offered when last asked, and the pause while it offers no MIDI at all.
    bool inputsEmpty = false, outputsEmpty = false, noMidiLogged = false;
    int pauseMs = 0; // 0: ask every time
    juce::uint32 nextAskMs = 0;

    JUCE_DECLARE_NON_COPYABLE (SystemMidiDevices)
};

} // namespace kelvo
