#pragma once

#include "link/MidiDevices.h"

namespace kelvo
{

/**
    The operating system's MIDI devices through JUCE (Windows multimedia MIDI, CoreMIDI, ALSA).

    On a machine without MIDI (no sound hardware, no ALSA sequencer) both lists are empty and
    nothing opens. The plug-in offers them followed by its own simulator (see CombinedMidiDevices).
*/
class SystemMidiDevices final : public MidiDeviceLayer
{
public:
    SystemMidiDevices() = default;

    juce::StringArray getInputNames() override;
    juce::StringArray getOutputNames() override;
    std::unique_ptr<MidiInputDevice> openInput (int index, juce::MidiInputCallback& callback) override;
    std::unique_ptr<MidiOutputDevice> openOutput (int index) override;

private:
    JUCE_DECLARE_NON_COPYABLE (SystemMidiDevices)
};

} // namespace kelvo
