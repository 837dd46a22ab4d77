// The host's bank chunk. The bytes are read as they are, and once more behind a valid header and
// bank, so that the trailer that follows the bank is reached without inputs of 33 kB.
#include "FuzzCheck.h"
#include "model/PluginChunks.h"

#include <cstring>
#include <vector>

namespace
{
void check (const uint8_t* data, size_t size)
{
    if (const auto chunk = kelvo::readBankChunk (data, size))
    {
        FUZZ_CHECK (chunk->programs.getSize() == (size_t) kelvo::program::bankSize);
        if (chunk->session)
            FUZZ_CHECK (chunk->session->currentProgram >= 0 && chunk->session->currentProgram < 128);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    check (data, size);

    std::vector<uint8_t> behindBank (kelvo::chunk::bankChunkSize + size);
    std::memcpy (behindBank.data(), kelvo::chunk::bankHeader, kelvo::chunk::bankHeaderSize);
    std::memcpy (behindBank.data() + kelvo::chunk::bankHeaderSize, kelvo::chunk::version, kelvo::chunk::versionSize);
    if (size > 0)
        std::memcpy (behindBank.data() + kelvo::chunk::bankChunkSize, data, size);
    check (behindBank.data(), behindBank.size());
    FUZZ_CHECK (kelvo::readBankChunk (behindBank.data(), behindBank.size()).has_value());
    return 0;
}
