#pragma once

#include "link/MidiDevices.h"
#include "link/MidiSender.h"

#include <memory>

namespace kelvo
{

/**
    The open MIDI input and output of the link, and the thread that sends on the output.

    Ports are numbered from 1 in its operations; 0 means none. Opening and closing happen on the
    message thread; sending (through getSender()) is allowed from any thread.
*/
class MIDI_PORTS_Control
{
public:
    MIDI_PORTS_Control (MidiDeviceLayer& devices, juce::MidiInputCallback& inputCallback);
    ~MIDI_PORTS_Control();

    /** Closes the open input, then opens device n − 1 of the input list and starts it (n ≥ 1). */
    void openInput (int n);
    /** Closes the open output, then opens device n − 1 of the output list and starts sending (n ≥ 1). */
    void openOutput (int n);
    void closeInput();
    void closeOutput();

    bool isInputOpen() const noexcept { return inputDevice != nullptr; }
    bool isOutputOpen() const noexcept { return sender.isRunning(); }
    /** 0-based device index of the open input or output when it was opened, −1 when none. A device
        plugged in ahead of it since moves it down the list: its name says which it is. */
    int getInputIndex() const noexcept { return inputIndex; }
    int getOutputIndex() const noexcept { return outputIndex; }
    /** The name of the device open as input or output; empty when none. */
    const juce::String& getInputName() const noexcept { return inputName; }
    const juce::String& getOutputName() const noexcept { return outputName; }

    MidiDeviceLayer& getDevices() noexcept { return devices; }
    MidiSender& getSender() noexcept { return sender; }

private:
    MidiDeviceLayer& devices;
    juce::MidiInputCallback& callback;
    std::unique_ptr<MidiInputDevice> inputDevice;
    std::unique_ptr<MidiOutputDevice> outputDevice;
    MidiSender sender;
    int inputIndex = -1, outputIndex = -1;
    juce::String inputName, outputName;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MIDI_PORTS_Control)
};

} // namespace kelvo
