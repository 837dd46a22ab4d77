#pragma once

#include "model/ProgramRecord.h"

#include <juce_core/juce_core.h>

#include <array>

namespace kelvo
{

/** The synth's SysEx layouts for program data. */
namespace sysex
{
constexpr uint8_t start = 0xf0;
constexpr uint8_t end = 0xf7;
constexpr uint8_t manufacturerDsi = 0x01;
constexpr uint8_t deviceMophoX4 = 0x29;

constexpr uint8_t programDump = 0x02;
constexpr uint8_t editBufferDump = 0x03;
constexpr uint8_t requestProgram = 0x05;
constexpr uint8_t requestEditBuffer = 0x06;
constexpr uint8_t requestGlobals = 0x0e;
constexpr uint8_t globalDump = 0x0f;

constexpr int packedSize = 293;                 // 36 groups of 8 and one of 5
constexpr int editBufferDumpSize = 298;         // F0 01 29 03, packed, F7
constexpr int programDumpSize = 300;            // F0 01 29 02 bank program, packed, F7
constexpr int editBufferDataOffset = 4;
constexpr int programDataOffset = 6;
constexpr int programDumpBankOffset = 4;
constexpr int programDumpProgramOffset = 5;
} // namespace sysex

using PackedProgram = std::array<uint8_t, sysex::packedSize>;

/** The 7-bit-safe form of a record: groups of seven bytes, each behind a byte holding their top bits. */
PackedProgram packProgramData (const ProgramRecord& record) noexcept;
/** The record of 293 packed bytes (reads no more than that from data). */
ProgramRecord unpackProgramData (const uint8_t* packed) noexcept;

/** F0 01 29 03, the packed record, F7. */
juce::MemoryBlock makeEditBufferDump (const ProgramRecord& record);
/** F0 01 29 02 bank program, the packed record, F7. */
juce::MemoryBlock makeProgramDump (int bank, int program, const ProgramRecord& record);
/** A dump request: kind requestProgram (F0 01 29 05 bank program F7), requestEditBuffer or
    requestGlobals (F0 01 29 kind F7); empty for any other kind. */
juce::MemoryBlock makeDumpRequest (int kind, int bank, int program);

/** The program dumps found in a block of bytes, back to back. */
struct ProgramDumps
{
    juce::MemoryBlock dumps; // count × 300 bytes
    int count = 0;
};

/** Every 300-byte run that starts with F0 and ends with F7 299 bytes on, scanning from the start and
    going on after each dump found; bytes between dumps and incomplete dumps are skipped. */
ProgramDumps splitProgramDumps (const void* data, size_t numBytes);
inline ProgramDumps splitProgramDumps (const juce::MemoryBlock& block) { return splitProgramDumps (block.getData(), block.getSize()); }

} // namespace kelvo
