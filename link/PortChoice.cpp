#include "link/PortChoice.h"
#include "link/MIDI_PORTS_Control.h"
#include "link/MidiCntrState.h"

namespace kelvo::portchoice
{
namespace
{
juce::StringArray withNone (juce::StringArray names)
{
    names.insert (0, noneName);
    return names;
}

/** The row of name in the list as it is now: 0 for "NONE", −1 when it is not there. */
int rowOf (const juce::String& name, const juce::StringArray& devices)
{
    if (name == noneName)
        return 0;
    const auto index = devices.indexOf (name);
    return index < 0 ? -1 : index + 1;
}
} // namespace

juce::StringArray inputRows (MidiCntrState& engine)
{
    return withNone (engine.getPorts().getDevices().getInputNames());
}

juce::StringArray outputRows (MidiCntrState& engine)
{
    return withNone (engine.getPorts().getDevices().getOutputNames());
}

bool selectInputByName (MidiCntrState& engine, const juce::String& name)
{
    const auto row = rowOf (name, engine.getPorts().getDevices().getInputNames());
    if (row < 0)
        return false;
    engine.selectInputRow (row);
    return true;
}

bool selectOutputByName (MidiCntrState& engine, const juce::String& name)
{
    const auto row = rowOf (name, engine.getPorts().getDevices().getOutputNames());
    if (row < 0)
        return false;
    engine.selectOutputRow (row);
    return true;
}

} // namespace kelvo::portchoice
