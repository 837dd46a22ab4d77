#pragma once

#include <cstddef>

namespace kelvo::test
{
// The plug-in's saved state as hosts keep it: header, version, 128 records of 256 bytes, then the
// edit buffer's trailer (its header, the program number, the record).
constexpr size_t bankChunkSize = 15 + 10 + 128 * 256;
constexpr size_t trailerEditBufferOffset = bankChunkSize + 15 + 1;
} // namespace kelvo::test
