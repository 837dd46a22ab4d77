#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

#include <memory>

namespace kelvo
{

/** An open MIDI output. Called from one thread at a time (the link's sender thread). */
class MidiOutputDevice
{
public:
    virtual ~MidiOutputDevice() = default;
    /** Sends one complete short message without buffering. */
    virtual void sendMessageNow (const juce::MidiMessage& message) = 0;
    /** Sends the next piece of a SysEx message without buffering: the first piece starts with F0,
        the last ends with F7, and the pieces of one message arrive back to back. */
    virtual void sendSysExSliceNow (const uint8_t* data, int numBytes) = 0;
};

/** An open MIDI input. Between start() and stop() it calls its callback on its own thread;
    once stop() has returned, no callback runs any more. */
class MidiInputDevice
{
public:
    virtual ~MidiInputDevice() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
};

/**
    The MIDI devices of the machine, as the link sees them: two lists of names in the system's
    order, and devices opened by their position in those lists.

    In real use this is the operating system's MIDI (SystemMidiDevices) followed by the built-in
    simulator, composed by the plug-in (CombinedMidiDevices); tests and the instrument simulator put
    virtual devices behind the same interface. Called on the message thread.
*/
class MidiDeviceLayer
{
public:
    virtual ~MidiDeviceLayer() = default;

    virtual juce::StringArray getInputNames() = 0;
    virtual juce::StringArray getOutputNames() = 0;

    /** Opens input index (0-based) with the given callback, not started yet; nullptr on failure. */
    virtual std::unique_ptr<MidiInputDevice> openInput (int index, juce::MidiInputCallback& callback) = 0;
    /** Opens output index (0-based); nullptr on failure. */
    virtual std::unique_ptr<MidiOutputDevice> openOutput (int index) = 0;

    /** Whether the port of this name in the lists stands in for the synth (a simulator) rather than
        leading to hardware: a port scan never chooses one. */
    virtual bool isStandIn (const juce::String& portName)
    {
        juce::ignoreUnused (portName);
        return false;
    }

    /** Messages for the user that opening a device produced (a device's own file that could not be
        read, say), each handed out once. */
    virtual juce::StringArray takeNotices() { return {}; }
};

} // namespace kelvo
