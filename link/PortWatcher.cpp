#include "link/PortWatcher.h"
#include "link/MIDI_PORTS_Control.h"
#include "link/MidiCntrState.h"
#include "link/MidiDevices.h"
#include "link/PortChoice.h"

namespace kelvo
{

PortWatcher::PortWatcher (MidiCntrState& e, int intervalMs) : engine (e), interval (intervalMs)
{
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

bool PortWatcher::follow (Side& side, const juce::String& name, const juce::StringArray& devices,
                          const std::function<bool()>& isOpen, const std::function<void()>& close,
                          const std::function<void()>& reopen)
{
    if (name != side.name)
        side = {name, false};

    if (name == portchoice::noneName || !devices.contains (name))
    {
        side.gaveUp = false;
        if (!isOpen())
            return false;
        close();
        return true;
    }

    if (isOpen() || side.gaveUp)
        return false;
    reopen();
    side.gaveUp = !isOpen();
    return true;
}

void PortWatcher::check()
{
    auto& ports = engine.getPorts();
    auto& devices = ports.getDevices();
    const auto names = engine.getPortNames();

    const auto inputChanged = follow (
        input, names[0], devices.getInputNames(), [&] { return ports.isInputOpen(); },
        [&] { ports.closeInput(); }, [&] { portchoice::selectInputByName (engine, names[0]); });
    const auto outputChanged = follow (
        output, names[1], devices.getOutputNames(), [&] { return ports.isOutputOpen(); },
        [&] { ports.closeOutput(); }, [&] { portchoice::selectOutputByName (engine, names[1]); });

    if (inputChanged || outputChanged)
    {
        engine.checkConnection();
        if (onPortsChanged)
            onPortsChanged();
    }
}

} // namespace kelvo
