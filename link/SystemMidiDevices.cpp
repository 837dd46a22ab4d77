#include "link/SystemMidiDevices.h"

namespace kelvo
{
namespace
{
// While the system offers no MIDI: the first pause, and the longest.
constexpr int firstNoMidiPauseMs = 2000;
constexpr int maxNoMidiPauseMs = 64000;

juce::StringArray namesOf (const juce::Array<juce::MidiDeviceInfo>& devices)
{
    juce::StringArray names;
    for (const auto& d : devices)
        names.add (d.name);
    return names;
}

class SystemInput final : public MidiInputDevice
{
public:
    explicit SystemInput (std::unique_ptr<juce::MidiInput> d) : device (std::move (d)) {}
    void start() override { device->start(); }
    void stop() override { device->stop(); }

private:
    std::unique_ptr<juce::MidiInput> device;
};

class SystemOutput final : public MidiOutputDevice
{
public:
    explicit SystemOutput (std::unique_ptr<juce::MidiOutput> d) : device (std::move (d)) {}

    void sendMessageNow (const juce::MidiMessage& message) override { device->sendMessageNow (message); }

    // JUCE's ALSA and CoreMIDI back ends encode each call as a message of its own, so a SysEx
    // message is collected from its slices and handed over whole; the drivers split it as they need.
    void sendSysExSliceNow (const uint8_t* data, int numBytes) override
    {
        if (numBytes <= 0)
            return;
        if (data[0] == 0xf0)
            pendingSysEx.reset();
        pendingSysEx.append (data, (size_t) numBytes);

        if (data[numBytes - 1] == 0xf7)
        {
            const auto* bytes = static_cast<const uint8_t*> (pendingSysEx.getData());
            if (pendingSysEx.getSize() >= 2 && bytes[0] == 0xf0)
                device->sendMessageNow (juce::MidiMessage (bytes, (int) pendingSysEx.getSize()));
            pendingSysEx.reset();
        }
    }

private:
    std::unique_ptr<juce::MidiOutput> device;
    juce::MemoryBlock pendingSysEx;
};
} // namespace

juce::Array<juce::MidiDeviceInfo> SystemMidiDevices::systemDevices (Direction direction)
{
    const auto now = juce::Time::getMillisecondCounter();
    if (pauseMs > 0 && (int) (nextAskMs - now) > 0)
        return {};

    const auto inputs = direction == Direction::inputs;
    auto found = inputs ? juce::MidiInput::getAvailableDevices() : juce::MidiOutput::getAvailableDevices();
    (inputs ? inputsEmpty : outputsEmpty) = found.isEmpty();

    if (inputsEmpty && outputsEmpty)
    {
        if (! noMidiLogged)
        {
            noMidiLogged = true;
            juce::Logger::writeToLog ("Kelvo: this system offers no MIDI ports; looking again now and then "
                                      "(the simulator is always there)");
        }
        pauseMs = pauseMs == 0 ? firstNoMidiPauseMs : juce::jmin (pauseMs * 2, maxNoMidiPauseMs);
        nextAskMs = now + (juce::uint32) pauseMs;
    }
    else
    {
        pauseMs = 0;
        noMidiLogged = false;
    }
    return found;
}

juce::StringArray SystemMidiDevices::getInputNames()
{
    return namesOf (systemDevices (Direction::inputs));
}

juce::StringArray SystemMidiDevices::getOutputNames()
{
    return namesOf (systemDevices (Direction::outputs));
}

std::unique_ptr<MidiInputDevice> SystemMidiDevices::openInput (int index, juce::MidiInputCallback& callback)
{
    const auto devices = systemDevices (Direction::inputs);
    if (! juce::isPositiveAndBelow (index, devices.size()))
        return nullptr;

    if (auto device = juce::MidiInput::openDevice (devices[index].identifier, &callback))
        return std::make_unique<SystemInput> (std::move (device));
    return nullptr;
}

std::unique_ptr<MidiOutputDevice> SystemMidiDevices::openOutput (int index)
{
    const auto devices = systemDevices (Direction::outputs);
    if (! juce::isPositiveAndBelow (index, devices.size()))
        return nullptr;

    if (auto device = juce::MidiOutput::openDevice (devices[index].identifier))
        return std::make_unique<SystemOutput> (std::move (device));
    return nullptr;
}

} // namespace kelvo
