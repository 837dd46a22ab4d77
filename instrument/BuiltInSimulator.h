#pragma once

#include "link/MidiDevices.h"

#include <memory>

namespace kelvo
{
class MophoSimulator;
class SimulatorMemoryFile;
class VirtualMidiDevices;

/**
    "Mopho x4 Simulator" as the port lists offer it to users: one input and one output, our stand-in
    for the synth, so that the editor can be explored without hardware. The simulator is made the
    first time either side is opened, with its memory from the settings folder, and saves it there
    when it goes.

    Message thread, like any device layer.
*/
class BuiltInSimulator final : public MidiDeviceLayer
{
public:
    /** memoryFolder is where the simulator keeps its memory between runs. */
    explicit BuiltInSimulator (const juce::File& memoryFolder);
    ~BuiltInSimulator() override;

    juce::StringArray getInputNames() override;
    juce::StringArray getOutputNames() override;
    std::unique_ptr<MidiInputDevice> openInput (int index, juce::MidiInputCallback& callback) override;
    std::unique_ptr<MidiOutputDevice> openOutput (int index) override;
    /** True for the simulator's own name. */
    bool isStandIn (const juce::String& portName) override;
    juce::StringArray takeNotices() override;

private:
    VirtualMidiDevices& getPorts();

    std::unique_ptr<SimulatorMemoryFile> memoryFile;
    juce::StringArray notices;
    // Created the first time the simulator is opened; the simulator is destroyed before its ports.
    std::unique_ptr<VirtualMidiDevices> ports;
    std::unique_ptr<MophoSimulator> simulator;

    JUCE_DECLARE_NON_COPYABLE (BuiltInSimulator)
};

} // namespace kelvo
