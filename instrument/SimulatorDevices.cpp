#include "instrument/SimulatorDevices.h"

namespace kelvo
{

SimulatorDevices::SimulatorDevices (Tap tap)
    : simulator (std::make_unique<MophoSimulator>())
{
    auto* sim = simulator.get();
    ports.addOutput (MophoSimulator::portName, [sim, tap] (const juce::MidiMessage& m) {
        if (tap)
            tap (m);
        sim->receive (m);
    });
    const auto input = ports.addInput (MophoSimulator::portName);
    simulator->setOutput ([this, input] (const juce::MidiMessage& m) { ports.deliver (input, m); });
}

SimulatorDevices::~SimulatorDevices()
{
    simulator.reset();
}

} // namespace kelvo
