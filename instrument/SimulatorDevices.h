#pragma once

#include "instrument/MophoSimulator.h"
#include "link/VirtualMidiDevices.h"

#include <functional>

namespace kelvo
{

/**
    A device layer with one input and one output, both wired to a MophoSimulator that it owns: the
    editor's side of a cable to the synth, for tests, benchmarks and fuzzing.

    The simulator goes before its ports, and the engine that uses this layer closes its ports before
    the layer goes, so nothing is delivered into an object that no longer exists.
*/
class SimulatorDevices final : public MidiDeviceLayer
{
public:
    using Tap = std::function<void (const juce::MidiMessage&)>;

    /** tap, when given, sees every message on its way to the simulator (on the sender thread). */
    explicit SimulatorDevices (Tap tap = {});
    ~SimulatorDevices() override;

    MophoSimulator& getSimulator() noexcept { return *simulator; }

    juce::StringArray getInputNames() override { return ports.getInputNames(); }
    juce::StringArray getOutputNames() override { return ports.getOutputNames(); }
    std::unique_ptr<MidiInputDevice> openInput (int index, juce::MidiInputCallback& callback) override
    {
        return ports.openInput (index, callback);
    }
    std::unique_ptr<MidiOutputDevice> openOutput (int index) override { return ports.openOutput (index); }
    bool isStandIn (const juce::String& portName) override { return portName == MophoSimulator::portName; }

private:
    VirtualMidiDevices ports;
    std::unique_ptr<MophoSimulator> simulator;

    JUCE_DECLARE_NON_COPYABLE (SimulatorDevices)
};

} // namespace kelvo
