#include "instrument/BuiltInSimulator.h"
#include "instrument/MophoSimulator.h"
#include "instrument/SimulatorMemoryFile.h"
#include "link/EngineFiles.h"
#include "link/VirtualMidiDevices.h"

namespace kelvo
{

BuiltInSimulator::BuiltInSimulator (const juce::File& folder)
    : memoryFile (
          std::make_unique<SimulatorMemoryFile> (folder.getChildFile (enginefile::simulatorMemoryFileName)))
{
}

BuiltInSimulator::~BuiltInSimulator()
{
    // Nobody is left to tell of a failure here; the previous memory then stays whole on disk.
    if (simulator != nullptr)
        memoryFile->save (*simulator);
    simulator.reset();
    ports.reset();
}

juce::StringArray BuiltInSimulator::takeNotices()
{
    return std::exchange (notices, {});
}

bool BuiltInSimulator::isStandIn (const juce::String& portName)
{
    return portName == MophoSimulator::portName;
}

VirtualMidiDevices& BuiltInSimulator::getPorts()
{
    if (ports == nullptr)
    {
        ports = std::make_unique<VirtualMidiDevices>();
        simulator = std::make_unique<MophoSimulator>();
        if (const auto notice = memoryFile->load (*simulator); notice.isNotEmpty())
            notices.add (notice);
        simulator->attachTo (*ports);
    }
    return *ports;
}

juce::StringArray BuiltInSimulator::getInputNames()
{
    return {MophoSimulator::portName};
}

juce::StringArray BuiltInSimulator::getOutputNames()
{
    return {MophoSimulator::portName};
}

std::unique_ptr<MidiInputDevice> BuiltInSimulator::openInput (int index, juce::MidiInputCallback& callback)
{
    return index == 0 ? getPorts().openInput (0, callback) : nullptr;
}

std::unique_ptr<MidiOutputDevice> BuiltInSimulator::openOutput (int index)
{
    return index == 0 ? getPorts().openOutput (0) : nullptr;
}

} // namespace kelvo
