#include "link/PortWatcher.h"
#include "link/MIDI_PORTS_Control.h"
#include "link/MidiCntrState.h"
#include "link/MidiDevices.h"
#include "link/PortChoice.h"

namespace kelvo
{

PortWatcher::PortWatcher (MidiCntrState& e, int intervalMs) : engine (e), interval (intervalMs)
{
    auto& devices = engine.getPorts().getDevices();
    const auto names = engine.getPortNames();
    input.wasPresent = devices.getInputNames().contains (names[0]);
    output.wasPresent = devices.getOutputNames().contains (names[1]);
    setActive (true);
}

PortWatcher::~PortWatcher()
{
    stopTimer();
}

void PortWatcher::setActive (bool shouldWatch)
{
    if (shouldWatch)
        startTimer (interval);
    else
        stopTimer();
}

bool PortWatcher::follow (Side& side, const juce::String& name, const juce::StringArray& devices, bool isOpen,
                          const std::function<void()>& close, const std::function<void()>& reopen)
{
    const auto present = name != portchoice::noneName && devices.contains (name);
    const auto cameBack = present && !side.wasPresent;
    const auto left = !present && side.wasPresent;
    side.wasPresent = present;

    if (left && isOpen)
    {
        close();
        return true;
    }
    if (cameBack && !isOpen)
    {
        reopen();
        return true;
    }
    return false;
}

void PortWatcher::check()
{
    auto& ports = engine.getPorts();
    auto& devices = ports.getDevices();
    const auto names = engine.getPortNames();

    const auto inputChanged = follow (
        input, names[0], devices.getInputNames(), ports.isInputOpen(), [&] { ports.closeInput(); },
        [&] { portchoice::selectInputByName (engine, names[0]); });
    const auto outputChanged = follow (
        output, names[1], devices.getOutputNames(), ports.isOutputOpen(), [&] { ports.closeOutput(); },
        [&] { portchoice::selectOutputByName (engine, names[1]); });

    if (inputChanged || outputChanged)
    {
        engine.checkConnection();
        if (onPortsChanged)
            onPortsChanged();
    }
}

} // namespace kelvo
