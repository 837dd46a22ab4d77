#include "librarian/LibraryMarks.h"

#include "model/ParameterTable.h"

#include <algorithm>
#include <vector>

namespace kelvo
{
namespace
{
constexpr const char* favouriteWord = "favourite";
constexpr const char* hiddenWord = "hidden";
constexpr int keyDigits = 16;

constexpr uint64_t fnvOffset = 14695981039346656037ull;
constexpr uint64_t fnvPrime = 1099511628211ull;

/** The keys in ascending order, so that the same marks always make the same file. */
std::vector<LibraryMarks::SoundKey> sorted (const std::unordered_set<LibraryMarks::SoundKey>& keys)
{
    std::vector<LibraryMarks::SoundKey> list (keys.begin(), keys.end());
    std::sort (list.begin(), list.end());
    return list;
}
} // namespace

LibraryMarks::SoundKey LibraryMarks::soundKey (const uint8_t* entry) noexcept
{
    // FNV-1a over the parameter bytes: the name starts right after them, and the category byte
    // sits among them.
    uint64_t h = fnvOffset;
    for (int i = 0; i < program::nameOffset; ++i)
    {
        if (i == program::categoryIndex)
            continue;
        h = (h ^ entry[i]) * fnvPrime;
    }
    return h;
}

bool LibraryMarks::has (Mark mark, SoundKey key) const
{
    const auto& keys = keysOf (mark);
    return !keys.empty() && keys.count (key) > 0;
}

bool LibraryMarks::set (Mark mark, SoundKey key, bool on)
{
    auto& keys = keysOf (mark);
    return on ? keys.insert (key).second : keys.erase (key) > 0;
}

void LibraryMarks::clear() noexcept
{
    favourites.clear();
    hidden.clear();
}

juce::MemoryBlock LibraryMarks::toFile() const
{
    juce::MemoryOutputStream out;
    out << header << "\n";
    for (const auto& [mark, word] :
         {std::pair (Mark::favourite, favouriteWord), std::pair (Mark::hidden, hiddenWord)})
        for (const auto key : sorted (keysOf (mark)))
            out << word << " " << juce::String::toHexString ((juce::int64)key).paddedLeft ('0', keyDigits)
                << "\n";
    return out.getMemoryBlock();
}

bool LibraryMarks::fromFile (const juce::MemoryBlock& bytes)
{
    const auto lines = juce::StringArray::fromLines (bytes.toString());
    if (lines.isEmpty() || lines[0].trim() != header)
        return false;

    clear();
    for (int n = 1; n < lines.size(); ++n)
    {
        const auto line = lines[n].trim();
        const auto word = line.upToFirstOccurrenceOf (" ", false, false);
        const auto digits = line.fromFirstOccurrenceOf (" ", false, false).trim();
        if (digits.length() != keyDigits || !digits.containsOnly ("0123456789abcdefABCDEF"))
            continue;
        const auto key = (SoundKey)digits.getHexValue64();
        if (word == favouriteWord)
            favourites.insert (key);
        else if (word == hiddenWord)
            hidden.insert (key);
    }
    return true;
}

} // namespace kelvo
