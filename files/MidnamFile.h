#pragma once

#include "model/SynthBanks.h"

#include <juce_core/juce_core.h>

#include <array>

namespace kelvo
{

/**
    A MIDNAM document (the MIDI Manufacturers Association's patch name format) for the synth's
    eight banks, so that a host that reads such files (Ardour among them) offers the synth's program
    names in a MIDI track's patch selector.

    Each bank is a patch bank selected with control change 32 (the synth's bank select, 0-7 for
    U1-U4, F1-F4), each program a patch with its program change. The names are offered on all
    sixteen channels: the synth may listen on any of them.
*/
namespace midnam
{
/** The names of the programs of banks U1..U4, F1..F4, 128 each. An empty name is a program whose
    name is not known; it is listed by its location alone. */
using BankNames = std::array<juce::StringArray, synthbanks::numSynthBanks>;

/** The model name a host shows for the synth. */
inline constexpr const char* modelName = "Mopho x4";
inline constexpr const char* manufacturerName = "Dave Smith Instruments";
/** The file name the export suggests and the kept-up-to-date copy uses. */
inline constexpr const char* defaultFileName = "Mopho_x4_Kelvo.midnam";

juce::String makeDocument (const BankNames& names);

/** Writes the document safely (the old file stays whole if the write fails). */
bool writeFile (const juce::File& file, const BankNames& names, juce::String* whyNot = nullptr);
} // namespace midnam

} // namespace kelvo
