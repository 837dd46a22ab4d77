#pragma once

#include "link/MidiDevices.h"

#include <functional>
#include <mutex>
#include <vector>

namespace kelvo
{

/**
    MIDI devices that exist only in this process: what tests and the instrument simulator use in
    place of the operating system's ports.

    An output is a named sink: whatever the link sends to it goes to its receiver function, on the
    link's sender thread; the slices of a long SysEx message arrive as separate messages, as
    they would from a driver that passes them on one by one. An input is a named source: deliver() hands a message to the callback of
    whoever opened and started it, on the caller's thread, which plays the part of the MIDI input
    thread. Ports are added on the message thread before they are listed or opened.
*/
class VirtualMidiDevices final : public MidiDeviceLayer
{
public:
    using Receiver = std::function<void (const juce::MidiMessage&)>;

    VirtualMidiDevices();
    ~VirtualMidiDevices() override;

    /** Adds an output; returns its index in the output list. */
    int addOutput (const juce::String& name, Receiver receiver);
    /** Adds an input; returns its index in the input list. */
    int addInput (const juce::String& name);

    /** Delivers a message to input index if it is open and started; false otherwise. Any thread. */
    bool deliver (int inputIndex, const juce::MidiMessage& message);

    juce::StringArray getInputNames() override;
    juce::StringArray getOutputNames() override;
    std::unique_ptr<MidiInputDevice> openInput (int index, juce::MidiInputCallback& callback) override;
    std::unique_ptr<MidiOutputDevice> openOutput (int index) override;

private:
    class Input;
    struct InputPort;
    struct OutputPort
    {
        juce::String name;
        Receiver receiver;
    };

    std::mutex lock;
    std::vector<std::shared_ptr<InputPort>> inputs;
    std::vector<OutputPort> outputs;
};

} // namespace kelvo
