#pragma once

#include <juce_core/juce_core.h>

namespace kelvo
{
class MidiCntrState;

/**
    Choosing the link's ports by device name: what the user picked in a list that may be stale by
    the time the choice arrives. The name is looked up in the system's list as it is now, so a
    device that moved, or left, is never confused with its neighbour. Message thread.
*/
namespace portchoice
{
/** The name of "no port" in every list and in the ports file. */
inline constexpr const char* noneName = "NONE";

/** "NONE" followed by the device names, as the setup panel lists them. */
juce::StringArray inputRows (MidiCntrState& engine);
juce::StringArray outputRows (MidiCntrState& engine);

/** Selects the first input (output) named so, or none for "NONE"; false, with nothing changed,
    when no device of that name exists now. */
bool selectInputByName (MidiCntrState& engine, const juce::String& name);
bool selectOutputByName (MidiCntrState& engine, const juce::String& name);
} // namespace portchoice

} // namespace kelvo
