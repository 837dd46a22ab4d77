#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <unordered_set>

namespace kelvo
{

/**
    The user's marks on library sounds: a star for a favourite, a mark for one to hide. A mark
    belongs to the sound, not to an entry: it is keyed by the sound's parameters without the name
    and the category, so renaming an entry, giving it another category or moving it keeps its mark,
    and every copy of a sound shares it.

    The marks are kept as text in a file of their own ("x4LibMarks.txt"), one mark a line after a
    header line; lines that are not marks are skipped, so a later version may add kinds of its own.

    Not thread-safe: its owner (the library store) is message thread only.
*/
class LibraryMarks
{
public:
    enum class Mark
    {
        favourite,
        hidden
    };

    using SoundKey = uint64_t;

    /** The key of an entry's sound: its parameter bytes without the category and the name. */
    static SoundKey soundKey (const uint8_t* entry) noexcept;

    bool has (Mark mark, SoundKey key) const;
    /** Sets or clears a mark; returns whether anything changed. */
    bool set (Mark mark, SoundKey key, bool on);
    int count (Mark mark) const noexcept { return (int)keysOf (mark).size(); }
    void clear() noexcept;

    bool operator== (const LibraryMarks& other) const
    {
        return favourites == other.favourites && hidden == other.hidden;
    }

    //==============================================================================
    static constexpr const char* fileName = "x4LibMarks.txt";
    static constexpr const char* header = "Kelvo library marks 1";
    /** Far more marks than any library has entries. */
    static constexpr size_t maxFileSize = 16 * 1024 * 1024;

    juce::MemoryBlock toFile() const;
    /** Reads a marks file's bytes; false (and nothing read) when they do not begin with the header. */
    bool fromFile (const juce::MemoryBlock& bytes);

private:
    const std::unordered_set<SoundKey>& keysOf (Mark mark) const noexcept
    {
        return mark == Mark::favourite ? favourites : hidden;
    }
    std::unordered_set<SoundKey>& keysOf (Mark mark) noexcept
    {
        return mark == Mark::favourite ? favourites : hidden;
    }

    std::unordered_set<SoundKey> favourites, hidden;
};

} // namespace kelvo
