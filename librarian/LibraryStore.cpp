#include "librarian/LibraryStore.h"

#include "files/SafeFileWrite.h"
#include "librarian/LibraryFile.h"
#include "model/Bank_Program.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_set>

namespace kelvo
{
namespace
{
constexpr uint8_t firstShownNameCode = 32, lastShownNameCode = 127;
constexpr char unshownNameCharacter = 'A';

size_t hashRecord (const uint8_t* entry) noexcept
{
    return std::hash<std::string_view>{}(
        {reinterpret_cast<const char*> (entry), (size_t)program::recordSize});
}

bool sameRecord (const uint8_t* a, const uint8_t* b) noexcept
{
    return std::memcmp (a, b, (size_t)program::recordSize) == 0;
}

/** A name byte as the list shows it. */
char shownNameCharacter (uint8_t b) noexcept
{
    return (b >= firstShownNameCode && b <= lastShownNameCode) ? (char)b : unshownNameCharacter;
}

char lowerAscii (char c) noexcept
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}
} // namespace

LibraryStore::LibraryStore() = default;
LibraryStore::~LibraryStore() = default;

//==============================================================================
const uint8_t* LibraryStore::getEntry (int i) const noexcept
{
    if (i < 0 || i >= getNumEntries())
        return nullptr;
    return data.data() + (size_t)i * entrySize;
}

uint8_t* LibraryStore::entryBytes (int i) noexcept
{
    return const_cast<uint8_t*> (getEntry (i));
}

ProgramRecord LibraryStore::getEntryRecord (int i) const noexcept
{
    const auto* entry = getEntry (i);
    return entry != nullptr ? toRecord (entry, entrySize) : ProgramRecord{};
}

void LibraryStore::replaceData (const juce::MemoryBlock& entries)
{
    const auto* bytes = static_cast<const uint8_t*> (entries.getData());
    data.assign (bytes, bytes + entries.getSize() / entrySize * entrySize);
    reindex();
}

juce::String LibraryStore::entryName (int i) const
{
    const auto* entry = getEntry (i);
    if (entry == nullptr)
        return {};

    char text[program::nameLength + 1] = {};
    for (int c = 0; c < program::nameLength; ++c)
        text[c] = shownNameCharacter (entry[program::nameOffset + c]);
    return juce::String (text, (size_t)program::nameLength);
}

void LibraryStore::setEntryName (int i, const juce::String& text)
{
    if (getEntry (i) == nullptr)
        return;
    unindexEntry (i);
    const auto name = encodeProgramName (text);
    std::copy (name.begin(), name.end(), entryBytes (i) + program::nameOffset);
    indexEntry (i);
}

void LibraryStore::setEntryCategory (int i, int category)
{
    if (getEntry (i) == nullptr || category < 0 || category > 255)
        return;
    unindexEntry (i);
    entryBytes (i)[program::categoryIndex] = (uint8_t)category;
    indexEntry (i);
}

//==============================================================================
bool LibraryStore::isDuplicate (const void* block, size_t numBytes, const uint8_t* entry)
{
    if (entry == nullptr || block == nullptr)
        return false;
    const auto* bytes = static_cast<const uint8_t*> (block);
    const auto n = numBytes / entrySize;
    for (size_t k = 0; k < n; ++k)
    {
        const auto* candidate = bytes + k * entrySize;
        // Category and the name's first letters tell most entries apart before the full compare.
        if (candidate[program::categoryIndex] != entry[program::categoryIndex] ||
            candidate[program::nameOffset] != entry[program::nameOffset] ||
            candidate[program::nameOffset + 3] != entry[program::nameOffset + 3])
            continue;
        if (sameRecord (candidate, entry))
            return true;
    }
    return false;
}

int LibraryStore::findEntry (const uint8_t* entry) const
{
    if (entry == nullptr)
        return -1;
    int found = -1;
    const auto [first, last] = index.equal_range (hashRecord (entry));
    for (auto it = first; it != last; ++it)
        if (sameRecord (getEntry (it->second), entry) && (found < 0 || it->second < found))
            found = it->second;
    return found;
}

void LibraryStore::indexEntry (int i)
{
    const auto* entry = getEntry (i);
    index.emplace (hashRecord (entry), i);
    if ((size_t)i >= categoryOf.size())
    {
        categoryOf.resize ((size_t)i + 1);
        soundKeys.resize ((size_t)i + 1);
    }
    categoryOf[(size_t)i] = entry[program::categoryIndex];
    soundKeys[(size_t)i] = LibraryMarks::soundKey (entry);
    similarityStale = true;
}

void LibraryStore::forgetAll() noexcept
{
    index.clear();
    categoryOf.clear();
    soundKeys.clear();
    similarityStale = true;
}

void LibraryStore::unindexEntry (int i)
{
    similarityStale = true;
    const auto [first, last] = index.equal_range (hashRecord (getEntry (i)));
    for (auto it = first; it != last; ++it)
        if (it->second == i)
        {
            index.erase (it);
            return;
        }
}

void LibraryStore::reindex()
{
    forgetAll();
    index.reserve ((size_t)getNumEntries());
    for (int i = 0; i < getNumEntries(); ++i)
        indexEntry (i);
}

//==============================================================================
bool LibraryStore::addProgram (const juce::String& name, const ProgramRecord& record)
{
    auto named = record;
    const auto nameBytes = encodeProgramName (name);
    std::copy (nameBytes.begin(), nameBytes.end(), named.begin() + program::nameOffset);

    auto entry = findEntry (named.data());
    const bool appended = entry < 0;
    if (appended)
    {
        data.insert (data.end(), named.begin(), named.end());
        entry = getNumEntries() - 1;
        indexEntry (entry);
    }

    rebuildView (filterMode);
    // The equal entry, never an unrelated row: a selection makes the entry the current program.
    selectEntry (entry);
    return appended;
}

void LibraryStore::deleteSelected()
{
    if (!hasValidSelection())
        return;
    const auto first = data.begin() + (std::ptrdiff_t)selectedEntry * entrySize;
    data.erase (first, first + entrySize);
    reindex();
    rebuildView (filterMode);
}

void LibraryStore::clearAll()
{
    data.clear();
    forgetAll();
    rebuildView (FilterMode::all);
}

SaveResult LibraryStore::saveToFile (const juce::File& file, juce::String* whyNot) const
{
    if (getNumEntries() == 0)
        return SaveResult::nothingToWrite;
    return writeFileSafely (file, libraryfile::make (data.data(), data.size()), whyNot) ? SaveResult::written
                                                                                         : SaveResult::failed;
}

//==============================================================================
void LibraryStore::stageEntries (const juce::MemoryBlock& block, size_t start)
{
    importBuffer.reset();
    if (start > block.getSize() || block.getSize() - start < (size_t)entrySize)
        return;

    const auto* bytes = static_cast<const uint8_t*> (block.getData()) + start;
    const auto n = (block.getSize() - start) / entrySize;
    importBuffer.setSize (n * entrySize);

    std::unordered_multimap<size_t, size_t> staged; // hash -> offset in the import buffer
    staged.reserve (n);
    size_t used = 0;
    for (size_t k = 0; k < n; ++k)
    {
        const auto* record = bytes + k * entrySize;
        const auto hash = hashRecord (record);
        const auto [first, last] = staged.equal_range (hash);
        const bool repeated = std::any_of (
            first, last,
            [&] (const auto& e)
            { return sameRecord (static_cast<const uint8_t*> (importBuffer.getData()) + e.second, record); });
        if (repeated)
            continue;
        importBuffer.copyFrom (record, used, entrySize);
        staged.emplace (hash, used);
        used += entrySize;
    }
    importBuffer.setSize (used);
}

void LibraryStore::stageBank (const Bank_Program& bank, int count)
{
    juce::MemoryBlock programs ((size_t)juce::jmax (0, count) * entrySize);
    for (int n = 0; n < count; ++n)
    {
        const auto record = bank.getProgramRecord (n); // missing bytes read as 0
        programs.copyFrom (record.data(), n * entrySize, record.size());
    }
    stageEntries (programs, 0);
}

int LibraryStore::commitImport (bool append)
{
    const auto numStaged = getNumStaged();
    if (numStaged == 0)
        return 0;

    if (!append)
    {
        data.clear();
        forgetAll();
    }
    // The staged entries are each there once, so only the library's own entries can repeat them.
    const auto* staging = static_cast<const uint8_t*> (importBuffer.getData());
    const int numBefore = getNumEntries();
    int skipped = 0;
    for (int k = 0; k < numStaged; ++k)
    {
        const auto* record = staging + (size_t)k * entrySize;
        if (append && findEntry (record) >= 0)
        {
            ++skipped;
            continue;
        }
        data.insert (data.end(), record, record + entrySize);
    }
    for (int i = numBefore; i < getNumEntries(); ++i)
        indexEntry (i);
    rebuildView (FilterMode::all);
    return skipped;
}

//==============================================================================
void LibraryStore::setSearchText (const juce::String& text)
{
    searchText = text;
    searchNeedle.clear();
    searchCanMatch = true;
    for (auto p = text.getCharPointer(); !p.isEmpty();)
    {
        const auto c = p.getAndAdvance();
        // Listed names hold only the characters 32..127, so no other character can match.
        if (c < firstShownNameCode || c > lastShownNameCode)
            searchCanMatch = false;
        else
            searchNeedle.push_back (lowerAscii ((char)c));
    }
    rebuildView (filterMode);
}

bool LibraryStore::nameMatches (const uint8_t* entry) const
{
    if (!searchCanMatch)
        return false;

    char name[program::nameLength];
    for (int c = 0; c < program::nameLength; ++c)
        name[c] = lowerAscii (shownNameCharacter (entry[program::nameOffset + c]));
    return std::search (std::begin (name), std::end (name), searchNeedle.begin(), searchNeedle.end()) !=
           std::end (name);
}

void LibraryStore::rebuildView (FilterMode mode)
{
    filterMode = mode;
    selectedRow = selectedEntry = -1;
    listingSimilar = false;

    const int n = getNumEntries();
    visible.clear();
    visible.reserve ((size_t)n);
    counts.fill (0);
    for (int i = 0; i < n; ++i)
    {
        const auto c = categoryOf[(size_t)i];
        if (c < numCounters)
            ++counts[c];
        if (isListed (i))
            visible.push_back (i);
    }
    sortVisible();
    if (duplicatesOnly)
        groupVisibleBySound();
    notify (listcode::listRebuilt, listcode::allCountsChanged);
}

bool LibraryStore::isListed (int i) const
{
    if (filterMode == FilterMode::category && categoryOf[(size_t)i] != filterCategory)
        return false;
    if (searchText.isNotEmpty() && !nameMatches (getEntry (i)))
        return false;
    const auto key = soundKeys[(size_t)i];
    if (favouritesOnly && !marks.has (Mark::favourite, key))
        return false;
    return showHidden || !marks.has (Mark::hidden, key);
}

void LibraryStore::sortVisible()
{
    if (sortOrder == SortOrder::added)
        return; // the entries were listed in library order
    const auto nameOrder = [this] (int a, int b)
    {
        const auto* x = getEntry (a) + program::nameOffset;
        const auto* y = getEntry (b) + program::nameOffset;
        for (int c = 0; c < program::nameLength; ++c)
        {
            const auto p = lowerAscii (shownNameCharacter (x[c])), q = lowerAscii (shownNameCharacter (y[c]));
            if (p != q)
                return (unsigned char)p < (unsigned char)q;
        }
        return false;
    };
    if (sortOrder == SortOrder::name)
        std::stable_sort (visible.begin(), visible.end(), nameOrder);
    else
        std::stable_sort (visible.begin(), visible.end(),
                          [this, nameOrder] (int a, int b)
                          {
                              const auto ca = categoryOf[(size_t)a], cb = categoryOf[(size_t)b];
                              return ca != cb ? ca < cb : nameOrder (a, b);
                          });
}

void LibraryStore::groupVisibleBySound()
{
    std::unordered_map<LibraryMarks::SoundKey, std::vector<int>> groups;
    for (const auto i : visible)
        groups[soundKeys[(size_t)i]].push_back (i);

    // Each group where its first row stands, its rows in the sort order; a sound listed once goes.
    std::vector<int> grouped;
    for (const auto i : visible)
    {
        auto found = groups.find (soundKeys[(size_t)i]);
        if (found == groups.end())
            continue;
        if (found->second.size() > 1)
            grouped.insert (grouped.end(), found->second.begin(), found->second.end());
        groups.erase (found);
    }
    visible = std::move (grouped);
}

void LibraryStore::setSortOrder (SortOrder order)
{
    sortOrder = order;
    rebuildView (filterMode);
}

void LibraryStore::setFavouritesOnly (bool only)
{
    favouritesOnly = only;
    rebuildView (filterMode);
}

void LibraryStore::setShowHidden (bool show)
{
    showHidden = show;
    rebuildView (filterMode);
}

void LibraryStore::setDuplicatesOnly (bool only)
{
    duplicatesOnly = only;
    rebuildView (filterMode);
}

//==============================================================================
LibraryMarks::SoundKey LibraryStore::soundKeyOf (int i) const noexcept
{
    return (i >= 0 && i < getNumEntries()) ? soundKeys[(size_t)i] : LibraryMarks::SoundKey{};
}

bool LibraryStore::hasMark (int i, Mark mark) const
{
    return i >= 0 && i < getNumEntries() && marks.has (mark, soundKeys[(size_t)i]);
}

int LibraryStore::findSound (const uint8_t* entry) const
{
    if (entry == nullptr)
        return -1;
    const auto key = LibraryMarks::soundKey (entry);
    const auto found = std::find (soundKeys.begin(), soundKeys.end(), key);
    return found != soundKeys.end() ? (int)(found - soundKeys.begin()) : -1;
}

void LibraryStore::marksChanged (int i)
{
    if (i < 0 || i >= getNumEntries())
        return;
    const bool listed = std::find (visible.begin(), visible.end(), i) != visible.end();
    if (listed && !listingSimilar && !isListed (i))
        rebuildView (filterMode);
    else
        notify (listcode::marksChanged, i);
}

std::vector<std::vector<int>> LibraryStore::findDuplicateGroups() const
{
    std::unordered_map<LibraryMarks::SoundKey, size_t> groupOf;
    std::vector<std::vector<int>> groups;
    for (int i = 0; i < getNumEntries(); ++i)
    {
        const auto [it, isNew] = groupOf.emplace (soundKeys[(size_t)i], groups.size());
        if (isNew)
            groups.emplace_back();
        groups[it->second].push_back (i);
    }
    groups.erase (std::remove_if (groups.begin(), groups.end(), [] (const auto& g) { return g.size() < 2; }),
                  groups.end());
    return groups;
}

int LibraryStore::keepOneOfEachSound()
{
    std::unordered_set<LibraryMarks::SoundKey> seen;
    std::vector<uint8_t> kept;
    kept.reserve (data.size());
    int removed = 0;
    for (int i = 0; i < getNumEntries(); ++i)
    {
        if (!seen.insert (soundKeys[(size_t)i]).second)
        {
            ++removed;
            continue;
        }
        const auto* entry = getEntry (i);
        kept.insert (kept.end(), entry, entry + entrySize);
    }
    if (removed > 0)
    {
        data = std::move (kept);
        reindex();
    }
    rebuildView (filterMode);
    return removed;
}

std::vector<SoundSimilarity::Neighbour> LibraryStore::findSimilar (const uint8_t* sound, int count,
                                                                   int excluded)
{
    if (sound == nullptr)
        return {};
    if (similarityStale || similarity.getNumEntries() != getNumEntries())
    {
        similarity.build (data.data(), getNumEntries());
        similarityStale = false;
    }
    return similarity.nearest (sound, count, excluded);
}

void LibraryStore::listSimilar (const uint8_t* sound, int count, int excluded)
{
    const auto nearest = findSimilar (sound, count, excluded);
    selectedRow = selectedEntry = -1;
    visible.clear();
    for (const auto& n : nearest)
        visible.push_back (n.entry);
    listingSimilar = true;
    notify (listcode::listRebuilt, listcode::allCountsChanged);
}

void LibraryStore::selectRow (int row)
{
    if (row < 0 || row >= getNumRows())
        return;
    selectedRow = row;
    selectedEntry = visible[(size_t)row];
    notify (listcode::rowSelected, selectedEntry);
}

bool LibraryStore::selectEntry (int i)
{
    if (i < 0)
        return false;
    // A new entry is listed last, so look from the end.
    for (int row = getNumRows(); --row >= 0;)
        if (visible[(size_t)row] == i)
        {
            selectRow (row);
            return true;
        }
    return false;
}

int LibraryStore::getRowEntry (int row) const noexcept
{
    return (row >= 0 && row < getNumRows()) ? visible[(size_t)row] : -1;
}

bool LibraryStore::hasValidSelection() const noexcept
{
    return getNumRows() >= 1 && selectedEntry >= 0 && selectedEntry < getNumEntries();
}

int LibraryStore::getCategoryCount (int c) const noexcept
{
    return (c >= 0 && c < numCounters) ? counts[(size_t)c] : 0;
}

void LibraryStore::notify (int code, int value)
{
    listeners.call ([code, value] (StsFileListener& l) { l.listNotification (code, value); });
}

} // namespace kelvo
