#pragma once

#include "link/MidiDevices.h"

namespace kelvo
{

/**
    The operating system's MIDI devices through JUCE (Windows multimedia MIDI, CoreMIDI, ALSA).

    On a machine without MIDI (no sound hardware, no ALSA sequencer) both lists are empty and
    nothing opens. The plug-in offers them followed by its own simulator (see CombinedMidiDevices).
    Each look at such a system fails again (ALSA prints "open /dev/snd/seq failed" every time), so
    after it has offered no device in either direction the system is asked again only after a pause
    that doubles up to a minute, and the failure is logged once.

    Threads: the message thread (and whoever builds the engine, before that).
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
    enum class Direction
    {
        inputs,
        outputs
    };
    /** The system's devices of one direction, as both the lists and the port numbers count them. */
    juce::Array<juce::MidiDeviceInfo> systemDevices (Direction direction);

    // What the system offered when last asked, and the pause while it offers no MIDI at all.
    bool inputsEmpty = false, outputsEmpty = false, noMidiLogged = false;
    int pauseMs = 0; // 0: ask every time
    juce::uint32 nextAskMs = 0;

    JUCE_DECLARE_NON_COPYABLE (SystemMidiDevices)
};

} // namespace kelvo
