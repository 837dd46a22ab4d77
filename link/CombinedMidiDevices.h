#pragma once

#include "link/MidiDevices.h"

#include <memory>

namespace kelvo
{

/**
    Two device layers offered as one: the first's devices, then the second's, in each list. The
    plug-in offers the system's devices followed by its own simulator this way; the layer above the
    link composes them, and the link sees one list.

    Called on the message thread, like any device layer.
*/
class CombinedMidiDevices final : public MidiDeviceLayer
{
public:
    CombinedMidiDevices (std::unique_ptr<MidiDeviceLayer> first, std::unique_ptr<MidiDeviceLayer> second);
    ~CombinedMidiDevices() override = default;

    juce::StringArray getInputNames() override;
    juce::StringArray getOutputNames() override;
    std::unique_ptr<MidiInputDevice> openInput (int index, juce::MidiInputCallback& callback) override;
    std::unique_ptr<MidiOutputDevice> openOutput (int index) override;
    bool isStandIn (const juce::String& portName) override;
    juce::StringArray takeNotices() override;

private:
    std::unique_ptr<MidiDeviceLayer> first, second;

    JUCE_DECLARE_NON_COPYABLE (CombinedMidiDevices)
};

} // namespace kelvo
