#include "link/CombinedMidiDevices.h"

namespace kelvo
{

CombinedMidiDevices::CombinedMidiDevices (std::unique_ptr<MidiDeviceLayer> a,
                                          std::unique_ptr<MidiDeviceLayer> b)
    : first (std::move (a)), second (std::move (b))
{
    jassert (first != nullptr && second != nullptr);
}

juce::StringArray CombinedMidiDevices::getInputNames()
{
    auto names = first->getInputNames();
    names.addArray (second->getInputNames());
    return names;
}

juce::StringArray CombinedMidiDevices::getOutputNames()
{
    auto names = first->getOutputNames();
    names.addArray (second->getOutputNames());
    return names;
}

std::unique_ptr<MidiInputDevice> CombinedMidiDevices::openInput (int index, juce::MidiInputCallback& callback)
{
    const auto numFirst = first->getInputNames().size();
    return index < numFirst ? first->openInput (index, callback)
                            : second->openInput (index - numFirst, callback);
}

std::unique_ptr<MidiOutputDevice> CombinedMidiDevices::openOutput (int index)
{
    const auto numFirst = first->getOutputNames().size();
    return index < numFirst ? first->openOutput (index) : second->openOutput (index - numFirst);
}

bool CombinedMidiDevices::isStandIn (const juce::String& portName)
{
    return first->isStandIn (portName) || second->isStandIn (portName);
}

juce::StringArray CombinedMidiDevices::takeNotices()
{
    auto notices = first->takeNotices();
    notices.addArray (second->takeNotices());
    return notices;
}

} // namespace kelvo
