#pragma once

#include <juce_core/juce_core.h>

#include <array>

namespace kelvo
{
class Bank_Program;

/**
    The local copy of the factory banks F1..F4, kept in the settings folder once it differs from the
    built-in factory set: received from the synth, loaded from a factory SysEx file, or edited. The
    layout is the bank data file's (header, four bank blocks, trailer); the header also says whether
    the banks came from the synth. Without the file, F1..F4 are the built-in factory banks.
    Any thread but the audio thread; the engine serialises its calls.
*/
namespace factoryfile
{
constexpr const char* fileName = "factory_X4m.mph";
constexpr const char* fromSynthHeader = "FMopho  Synth>"; // as long as the bank data file's header
constexpr const char* localHeader = "FMopho  Local>";

/** The file's image of F1..F4. */
juce::MemoryBlock makeImage (const std::array<const Bank_Program*, 4>& factoryBanks, bool fromSynth);
} // namespace factoryfile

} // namespace kelvo
