#pragma once

#include <juce_core/juce_core.h>

namespace kelvo
{

/** Layout of the engine's settings list. */
namespace settings
{
constexpr int numStored = 50;      // entries read from and padded to in the file
constexpr int numExtra = 32;       // "0" entries appended after loading
constexpr int numEntries = numStored + numExtra;
constexpr int scanInputPort = 1;
constexpr int scanOutputPort = 2;
constexpr int editorWidth = 6;
constexpr int editorHeight = 7;
constexpr int midiChannel = 42;
} // namespace settings

/** The 50 default entries, used when the settings file is missing or unusable. */
juce::StringArray defaultSettings();

/** The MIDI channel an entry names: 1..16, or 0 when the text is anything else. */
int channelFromSetting (const juce::String& text);

} // namespace kelvo
