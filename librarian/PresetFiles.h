#pragma once

#include "model/ProgramRecord.h"

#include <juce_core/juce_core.h>

#include <optional>

namespace kelvo
{

/**
    Preset files (".fxp", one program) and preset bank files (".fxb", the 128 host programs).

    Ours hold exactly one raw state chunk: the program chunk (285 bytes) or the bank chunk of the 128
    slots (32 793 bytes) without the editing state that the host's state carries after it. Reading
    also accepts the standard VST container that hosts and other tools write (it begins with "CcnK"
    and wraps an opaque chunk): our chunk is taken from inside it. A file whose chunk has another tag,
    or that is too short for a whole chunk, yields nothing.

    Pure functions over bytes; any thread.
*/
namespace presetfile
{
/** Larger files are refused unread: a bank file with a container is well under 40 kB. */
constexpr size_t maxFileSize = 1024 * 1024;

/** The program chunk of a record: "KelvoPluginSettings", "Version100", the 256 bytes. */
juce::MemoryBlock makePresetFile (const ProgramRecord& record);
/** The bank chunk of 128 records ("KelvoPluginBank", "Version100", 128 × 256 bytes); shorter input
    is padded with zeros, longer input cut. */
juce::MemoryBlock makeBankFile (const juce::MemoryBlock& programs);

/** The record of a preset file, raw or in a "CcnK" container. */
std::optional<ProgramRecord> readPresetFile (const void* data, size_t numBytes);
/** The 128 × 256 program bytes of a preset bank file, raw or in a "CcnK" container. Whatever
    follows the slots in the chunk (a host state's editing state) is left out. */
std::optional<juce::MemoryBlock> readBankFile (const void* data, size_t numBytes);

/** The opaque chunk inside a standard preset ("FPCh") or bank ("FBCh") container, or nothing when
    the bytes are not such a container or the chunk runs past their end. */
std::optional<juce::MemoryBlock> chunkInContainer (const void* data, size_t numBytes);
} // namespace presetfile

} // namespace kelvo
