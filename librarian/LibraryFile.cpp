#include "librarian/LibraryFile.h"

#include <cstring>

namespace kelvo::libraryfile
{

juce::MemoryBlock make (const void* entries, size_t numBytes)
{
    const auto entryBytes = entries != nullptr ? numBytes / entrySize * entrySize : 0;

    juce::MemoryBlock file (headerSize + entryBytes + trailerSize);
    file.copyFrom (header, 0, headerSize);
    if (entryBytes > 0)
        file.copyFrom (entries, (int)headerSize, entryBytes);
    file.copyFrom (trailer, (int)(headerSize + entryBytes), trailerSize);
    return file;
}

juce::MemoryBlock readEntries (const void* data, size_t numBytes)
{
    if (data == nullptr || numBytes < headerSize + entrySize)
        return {};
    const auto count = (numBytes - headerSize) / entrySize;
    return {static_cast<const char*> (data) + headerSize, count * entrySize};
}

bool hasHeader (const void* data, size_t numBytes) noexcept
{
    return data != nullptr && numBytes >= headerSize && std::memcmp (data, header, headerSize) == 0;
}

Shape shapeOf (const void* data, size_t numBytes) noexcept
{
    if (!hasHeader (data, numBytes))
        return Shape::notALibrary;
    const auto rest = (numBytes - headerSize) % entrySize;
    if (rest == 0)
        return Shape::whole;
    if (rest == trailerSize &&
        std::memcmp (static_cast<const char*> (data) + numBytes - trailerSize, trailer, trailerSize) == 0)
        return Shape::whole;
    return Shape::cut;
}

} // namespace kelvo::libraryfile
