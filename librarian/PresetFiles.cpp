#include "librarian/PresetFiles.h"

#include "model/PluginChunks.h"

#include <cstring>

namespace kelvo
{
namespace presetfile
{
namespace
{
// The standard container: big-endian 32-bit fields after a four-character magic.
constexpr const char* containerMagic = "CcnK";
constexpr const char* presetChunkMagic = "FPCh";
constexpr const char* bankChunkMagic = "FBCh";
constexpr size_t magicSize = 4;
constexpr size_t kindOffset = 8;         // after the magic and the byte size
constexpr size_t presetChunkSizeAt = 56; // after version, id, plug-in version, count, 28-byte name
constexpr size_t bankChunkSizeAt = 156;  // after version, id, plug-in version, count, 128 reserved
constexpr size_t sizeFieldSize = 4;

bool hasMagic (const uint8_t* bytes, size_t numBytes, size_t at, const char* magic)
{
    return numBytes >= at + magicSize && std::memcmp (bytes + at, magic, magicSize) == 0;
}

std::optional<juce::MemoryBlock> chunkAt (const uint8_t* bytes, size_t numBytes, size_t sizeAt)
{
    if (numBytes < sizeAt + sizeFieldSize)
        return std::nullopt;
    const auto size = (size_t)juce::ByteOrder::bigEndianInt (bytes + sizeAt);
    const auto start = sizeAt + sizeFieldSize;
    if (size > numBytes - start)
        return std::nullopt;
    return juce::MemoryBlock (bytes + start, size);
}

/** The chunk itself: the bytes as they are, or what a container wraps. */
template <typename Reader>
auto readOwnOrContained (const void* data, size_t numBytes, Reader read) -> decltype (read (data, numBytes))
{
    if (data == nullptr)
        return std::nullopt;
    if (const auto inner = chunkInContainer (data, numBytes))
        return read (inner->getData(), inner->getSize());
    return read (data, numBytes);
}
} // namespace

juce::MemoryBlock makePresetFile (const ProgramRecord& record)
{
    return makeProgramChunk (record);
}

juce::MemoryBlock makeBankFile (const juce::MemoryBlock& programs)
{
    return makeBankChunk (programs);
}

std::optional<juce::MemoryBlock> chunkInContainer (const void* data, size_t numBytes)
{
    const auto* bytes = static_cast<const uint8_t*> (data);
    if (bytes == nullptr || !hasMagic (bytes, numBytes, 0, containerMagic))
        return std::nullopt;
    if (hasMagic (bytes, numBytes, kindOffset, presetChunkMagic))
        return chunkAt (bytes, numBytes, presetChunkSizeAt);
    if (hasMagic (bytes, numBytes, kindOffset, bankChunkMagic))
        return chunkAt (bytes, numBytes, bankChunkSizeAt);
    return std::nullopt; // a parameter list or a bank of programs: no chunk of ours
}

std::optional<ProgramRecord> readPresetFile (const void* data, size_t numBytes)
{
    return readOwnOrContained (data, numBytes,
                               [] (const void* d, size_t n) { return readProgramChunk (d, n); });
}

std::optional<juce::MemoryBlock> readBankFile (const void* data, size_t numBytes)
{
    return readOwnOrContained (data, numBytes,
                               [] (const void* d, size_t n) -> std::optional<juce::MemoryBlock>
                               {
                                   if (auto bank = readBankChunk (d, n))
                                       return std::move (bank->programs);
                                   return std::nullopt;
                               });
}

} // namespace presetfile
} // namespace kelvo
