#pragma once

#include "model/ProgramRecord.h"

#include <juce_core/juce_core.h>

#include <optional>
#include <vector>

namespace kelvo
{

/** The two raw state chunks that a host stores for the plug-in. */
namespace chunk
{
constexpr const char* bankHeader = "KelvoPluginBank";        // 15 bytes
constexpr const char* programHeader = "KelvoPluginSettings"; // 19 bytes
constexpr const char* version = "Version100";                // 10 bytes, written, never checked
constexpr size_t bankHeaderSize = 15;
constexpr size_t programHeaderSize = 19;
constexpr size_t versionSize = 10;
constexpr size_t bankChunkSize = bankHeaderSize + versionSize + (size_t) program::bankSize;      // 32793
constexpr size_t programChunkSize = programHeaderSize + versionSize + (size_t) program::recordSize; // 285

// What the bank chunk alone cannot hold, the sound being edited, follows it in a trailer. A reader
// that knows only the bank ignores the extra bytes, and a bank chunk without them still loads.
constexpr const char* sessionHeader = "KelvoEditBuffer"; // 15 bytes
constexpr size_t sessionHeaderSize = 15;
constexpr size_t sessionSize = sessionHeaderSize + 1 + (size_t) program::recordSize;
} // namespace chunk

/** The sound in the editor when the state was saved: current host program and edit buffer. */
struct SessionState
{
    int currentProgram = 0;
    ProgramRecord editBuffer {};
};

struct BankChunk
{
    juce::MemoryBlock programs;          // 128 × 256 bytes
    std::optional<SessionState> session; // present when the chunk carries the trailer
};

/** The program chunk of a record: header, version, the 256 bytes. */
juce::MemoryBlock makeProgramChunk (const ProgramRecord& record);

/** The bank chunk of 128 records (32768 bytes, shorter input padded with zeros), followed by the
    session trailer when one is given. */
juce::MemoryBlock makeBankChunk (const juce::MemoryBlock& programs, const SessionState* session = nullptr);

/** The records of a bank chunk (and its trailer, if whole), or nothing when the header differs or the
    chunk is shorter than a whole bank (a partial bank is never loaded: it would mix two states). */
std::optional<BankChunk> readBankChunk (const void* data, size_t numBytes);

/** The record of a program chunk, or nothing when the header differs or the chunk is short. */
std::optional<ProgramRecord> readProgramChunk (const void* data, size_t numBytes);

} // namespace kelvo
