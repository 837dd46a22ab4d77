// The host's program chunk.
#include "FuzzCheck.h"
#include "model/PluginChunks.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    (void) kelvo::readProgramChunk (data, size);

    // Behind a valid header the record is the 256 bytes that follow; fewer are refused.
    std::vector<uint8_t> chunk (kelvo::chunk::programHeaderSize + kelvo::chunk::versionSize + size);
    std::memcpy (chunk.data(), kelvo::chunk::programHeader, kelvo::chunk::programHeaderSize);
    std::memcpy (chunk.data() + kelvo::chunk::programHeaderSize, kelvo::chunk::version, kelvo::chunk::versionSize);
    if (size > 0)
        std::memcpy (chunk.data() + kelvo::chunk::programHeaderSize + kelvo::chunk::versionSize, data, size);
    const auto record = kelvo::readProgramChunk (chunk.data(), chunk.size());
    FUZZ_CHECK (record.has_value() == (size >= 256));
    if (record)
        FUZZ_CHECK (std::memcmp (record->data(), data, 256) == 0);
    return 0;
}
