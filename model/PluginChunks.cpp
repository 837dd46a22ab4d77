#include "model/PluginChunks.h"

#include <cstring>

namespace kelvo
{
namespace
{
bool startsWith (const void* data, size_t numBytes, const char* header, size_t headerSize)
{
    return data != nullptr && numBytes >= headerSize && std::memcmp (data, header, headerSize) == 0;
}
} // namespace

juce::MemoryBlock makeProgramChunk (const ProgramRecord& record)
{
    juce::MemoryOutputStream out (chunk::programChunkSize);
    out.write (chunk::programHeader, chunk::programHeaderSize);
    out.write (chunk::version, chunk::versionSize);
    out.write (record.data(), record.size());
    return out.getMemoryBlock();
}

juce::MemoryBlock makeBankChunk (const juce::MemoryBlock& programs, const SessionState* session)
{
    juce::MemoryBlock block (chunk::bankChunkSize + (session != nullptr ? chunk::sessionSize : 0), true);
    auto* dest = static_cast<uint8_t*> (block.getData());
    std::memcpy (dest, chunk::bankHeader, chunk::bankHeaderSize);
    std::memcpy (dest + chunk::bankHeaderSize, chunk::version, chunk::versionSize);
    std::memcpy (dest + chunk::bankHeaderSize + chunk::versionSize, programs.getData(),
                 juce::jmin (programs.getSize(), (size_t) program::bankSize));

    if (session != nullptr)
    {
        auto* trailer = dest + chunk::bankChunkSize;
        std::memcpy (trailer, chunk::sessionHeader, chunk::sessionHeaderSize);
        trailer[chunk::sessionHeaderSize] = (uint8_t) juce::jlimit (0, program::programsPerBank - 1, session->currentProgram);
        std::memcpy (trailer + chunk::sessionHeaderSize + 1, session->editBuffer.data(), session->editBuffer.size());
    }
    return block;
}

std::optional<BankChunk> readBankChunk (const void* data, size_t numBytes)
{
    if (! startsWith (data, numBytes, chunk::bankHeader, chunk::bankHeaderSize) || numBytes < chunk::bankChunkSize)
        return std::nullopt;

    const auto* bytes = static_cast<const uint8_t*> (data);
    BankChunk result;
    result.programs = juce::MemoryBlock (bytes + chunk::bankHeaderSize + chunk::versionSize, (size_t) program::bankSize);

    const auto* trailer = bytes + chunk::bankChunkSize;
    if (startsWith (trailer, numBytes - chunk::bankChunkSize, chunk::sessionHeader, chunk::sessionHeaderSize)
        && numBytes - chunk::bankChunkSize >= chunk::sessionSize
        && trailer[chunk::sessionHeaderSize] < program::programsPerBank)
    {
        SessionState session;
        session.currentProgram = trailer[chunk::sessionHeaderSize];
        session.editBuffer = toRecord (trailer + chunk::sessionHeaderSize + 1, (size_t) program::recordSize);
        result.session = session;
    }
    return result;
}

std::optional<ProgramRecord> readProgramChunk (const void* data, size_t numBytes)
{
    if (! startsWith (data, numBytes, chunk::programHeader, chunk::programHeaderSize)
        || numBytes < chunk::programChunkSize)
        return std::nullopt;

    return toRecord (static_cast<const char*> (data) + chunk::programHeaderSize + chunk::versionSize,
                     (size_t) program::recordSize);
}

} // namespace kelvo
