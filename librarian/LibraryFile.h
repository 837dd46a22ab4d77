#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>

namespace kelvo
{

/**
    The library file (".m_l"): a 13-byte header, the entries back to back (256 bytes each) and a
    13-byte trailer. No count and no checksum, so a reader takes every whole entry after the header
    and a file that lost its trailer still reads whole.
*/
namespace libraryfile
{
constexpr const char* header = "Mopho  Libr >"; // two spaces after "Mopho"
constexpr const char* trailer = "< Mopho  Libr";
constexpr size_t headerSize = 13;
constexpr size_t trailerSize = 13;
constexpr size_t entrySize = 256;
constexpr const char* extension = ".m_l";
constexpr const char* defaultFileName = "x4Lib.m_l";
/** Half a million entries: far beyond any library a user builds, short of what hurts to read. */
constexpr size_t maxFileSize = 128 * 1024 * 1024;

/** The file for the given entries (a trailing partial entry is left out). An empty library gives
    the 26 bytes of header and trailer. */
juce::MemoryBlock make (const void* entries, size_t numBytes);
inline juce::MemoryBlock make (const juce::MemoryBlock& entries)
{
    return make (entries.getData(), entries.getSize());
}

/** The whole entries of a file: floor ((size - 13) / 256) of them from byte 13, header and trailer
    not compared; nothing for a file of fewer than 269 bytes. */
juce::MemoryBlock readEntries (const void* data, size_t numBytes);

/** Whether the bytes begin with the library header (what an import from a chosen file checks). */
bool hasHeader (const void* data, size_t numBytes) noexcept;

/** How a library file's bytes stand: as this system writes them (header, whole entries, with or
    without the trailer), cut (header, but something other than whole entries and the trailer
    after it: the whole entries can still be read), or not a library at all. */
enum class Shape
{
    whole,
    cut,
    notALibrary
};
Shape shapeOf (const void* data, size_t numBytes) noexcept;
} // namespace libraryfile

} // namespace kelvo
