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
// The maker's other synths of this dump format, whose programs are laid out differently.
constexpr uint8_t deviceMopho = 0x25, deviceTetra = 0x26, deviceMophoKeyboard = 0x27;
constexpr int deviceOffset = 2;

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

/** Whether a SysEx message (F0, maker, device, …) is meant for a Mopho x4: its device byte is 0x29.
    Only such a message is ever read as a Mopho x4 program. */
bool isMophoX4Message (const uint8_t* message, size_t size) noexcept;
/** The device byte of a SysEx message, 0 when it has none. */
uint8_t deviceOf (const uint8_t* message, size_t size) noexcept;
/** The name of the synth a device byte stands for ("Mopho", "Mopho Keyboard", "Tetra"; "another
    synth" for any other), for telling the user what a file holds. */
juce::String synthNameOfDevice (uint8_t device);
/** What a refused file or dump is, for the user: "a Mopho program, not a Mopho x4 program", or for
    a bank "Mopho programs, not Mopho x4 programs". */
juce::String describeOtherSynthPrograms (uint8_t device, bool several);

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
