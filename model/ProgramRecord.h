#pragma once

#include "model/ParameterTable.h"

#include <juce_core/juce_core.h>

#include <array>
#include <cstdint>

namespace kelvo
{

using ProgramRecord = std::array<uint8_t, program::recordSize>;

/** The instrument's basic program, "Untitled" and eight spaces: what every new program holds. */
const ProgramRecord& initialProgram() noexcept;

/** The 16 name bytes of a text: cut to 16 characters, padded with spaces; each character becomes its
    own code when that lies in 20..159, otherwise a space. */
std::array<uint8_t, program::nameLength> encodeProgramName (const juce::String& text);

/** The text of name bytes: each code becomes its character, a code 0 adds nothing. */
juce::String decodeProgramName (const uint8_t* nameBytes, size_t numBytes);

/** A record as a block of bytes, and back (missing bytes read as 0, extra bytes are ignored). */
juce::MemoryBlock toBlock (const ProgramRecord& record);
ProgramRecord toRecord (const void* data, size_t numBytes) noexcept;
inline ProgramRecord toRecord (const juce::MemoryBlock& block) noexcept { return toRecord (block.getData(), block.getSize()); }

/** Gives a record the name and category of another; its sound stays as it is. */
void copyNameAndCategory (const ProgramRecord& from, ProgramRecord& to) noexcept;

} // namespace kelvo
