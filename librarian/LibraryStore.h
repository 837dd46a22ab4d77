#pragma once

#include "librarian/LibraryMarks.h"
#include "librarian/SoundSimilarity.h"
#include "librarian/StsFileListener.h"
#include "model/ProgramRecord.h"

#include <juce_core/juce_core.h>

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace kelvo
{
class Bank_Program;

/** What a library write did. */
enum class SaveResult
{
    written,
    nothingToWrite, // an explicit save of an empty library leaves the file alone
    failed          // the old file, if any, is unchanged
};

/**
    The program library: 256-byte entries back to back in the order they arrived, an import buffer
    that stages entries until the user appends or replaces, and the view on them (category filter,
    name search, the marks' filters, the sort order, the listed rows, the selection and the entries
    per category).

    Every change ends in rebuildView, so listeners never see a half-changed library. Duplicates are
    found through a hash index of the records, so adding to a library of tens of thousands of
    entries stays instant; each entry's sound key (LibraryMarks::soundKey) is kept beside it for
    the marks and the duplicates by sound, and the features of the nearest-sound search are taken
    again on the first search after a change.

    Message thread only: it takes no locks and calls its listeners from the last added to the first.
*/
class LibraryStore
{
public:
    static constexpr int entrySize = program::recordSize;
    static constexpr int numCounters = 30;

    enum class FilterMode
    {
        all = 0,     // every entry is listed
        category = 1 // only entries of the filter category
    };

    /** The order of the listed rows; every order lists only what the filters and the search pass. */
    enum class SortOrder
    {
        added = 0,   // the library's own order: the order in which the entries arrived
        name = 1,    // by name, in any case; equal names in the order added
        category = 2 // by category, then by name
    };

    LibraryStore();
    ~LibraryStore();

    //==============================================================================
    // The entries

    int getNumEntries() const noexcept { return (int)(data.size() / entrySize); }
    /** The 256 bytes of entry i, or nullptr outside the library. */
    const uint8_t* getEntry (int i) const noexcept;
    ProgramRecord getEntryRecord (int i) const noexcept;
    /** The entries back to back. */
    const uint8_t* getBytes() const noexcept { return data.data(); }
    size_t getNumBytes() const noexcept { return data.size(); }
    /** Replaces the whole library with the whole entries of a block (no rebuild: the caller does). */
    void replaceData (const juce::MemoryBlock& entries);

    /** The stored name: bytes 32..127 as characters, any other byte as "A"; trailing spaces stay. */
    juce::String entryName (int i) const;
    /** Writes a name by the program naming rule (16 characters, 20..159, else a space). */
    void setEntryName (int i, const juce::String& text);
    void setEntryCategory (int i, int category);

    /** Whether a block holds an entry equal to the given 256 bytes (a linear scan). */
    static bool isDuplicate (const void* block, size_t numBytes, const uint8_t* entry);
    static bool isDuplicate (const juce::MemoryBlock& block, const uint8_t* entry)
    {
        return isDuplicate (block.getData(), block.getSize(), entry);
    }
    /** The first library entry equal to the given 256 bytes, or -1 (through the index). */
    int findEntry (const uint8_t* entry) const;
    bool contains (const ProgramRecord& entry) const { return findEntry (entry.data()) >= 0; }

    /** Names the program by the naming rule and appends it unless an equal entry is there. Then
        rebuilds the view and selects the new or the equal entry when it is listed. Returns whether
        it was appended. */
    bool addProgram (const juce::String& name, const ProgramRecord& record);

    /** Deletes the selected entry (valid selection only) and rebuilds with the current filter. */
    void deleteSelected();
    /** Empties the library and lists all. */
    void clearAll();

    /** Writes a library file; an empty library writes nothing. Safe: temporary file, then rename.
        whyNot says why a write failed. */
    SaveResult saveToFile (const juce::File& file, juce::String* whyNot = nullptr) const;

    //==============================================================================
    // Imports

    /** The import buffer becomes the whole records from start on, each once. */
    void stageEntries (const juce::MemoryBlock& block, size_t start);
    /** Stages programs 0..count-1 of a bank (short programs padded with zeros). */
    void stageBank (const Bank_Program& bank, int count);
    void clearImport() noexcept { importBuffer.reset(); }
    int getNumStaged() const noexcept { return (int)(importBuffer.getSize() / entrySize); }
    /** Appends the staged entries (after emptying the library unless append), then lists all. An
        append skips the entries equal to one already in the library. The import buffer keeps them.
        Does nothing when nothing is staged. Returns how many staged entries were skipped. */
    int commitImport (bool append);

    //==============================================================================
    // The view

    /** Resets the selection, lists the entries that pass the filter and the search, recounts the
        categories and notifies (202, 100). */
    void rebuildView (FilterMode mode);
    /** Selects a listed row and notifies (201, entry); anything outside the list does nothing. */
    void selectRow (int row);
    /** Selects the row that lists entry i, if any. Returns whether a row was selected. */
    bool selectEntry (int i);

    FilterMode getFilterMode() const noexcept { return filterMode; }
    int getFilterCategory() const noexcept { return filterCategory; }
    /** The category that FilterMode::category lists; it stays while all entries are listed. */
    void setFilterCategory (int category) noexcept { filterCategory = category; }

    /** Lists only entries whose name contains the text, in any case (with the category filter).
        Rebuilds with the current filter. */
    void setSearchText (const juce::String& text);
    const juce::String& getSearchText() const noexcept { return searchText; }

    int getNumRows() const noexcept { return (int)visible.size(); }
    /** The entry that row r lists, or -1. */
    int getRowEntry (int row) const noexcept;
    int getSelectedRow() const noexcept { return selectedRow; }
    int getSelectedEntry() const noexcept { return selectedEntry; }
    /** A row is selected and names an entry of the library. */
    bool hasValidSelection() const noexcept;

    void setSortOrder (SortOrder order);
    SortOrder getSortOrder() const noexcept { return sortOrder; }

    //==============================================================================
    // Marks, duplicates and similar sounds

    using Mark = LibraryMarks::Mark;

    /** The marks of the library's sounds (the owner loads and keeps them). Call rebuildView after
        changing them from outside. */
    LibraryMarks& getMarks() noexcept { return marks; }
    const LibraryMarks& getMarks() const noexcept { return marks; }
    /** The key under which entry i's marks are kept (0 outside the library). */
    LibraryMarks::SoundKey soundKeyOf (int i) const noexcept;
    bool hasMark (int i, Mark mark) const;
    /** The first entry whose sound (name and category ignored) is that of the given 256 bytes, or -1. */
    int findSound (const uint8_t* entry) const;
    /** After entry i's marks changed: rebuilds with the current filter when the entry is no longer
        to be listed, else notifies (203, i) and the rows stay as they are. */
    void marksChanged (int i);

    /** Lists only favourites (with the other filters). Rebuilds with the current filter. */
    void setFavouritesOnly (bool only);
    bool isFavouritesOnly() const noexcept { return favouritesOnly; }
    /** Lists hidden entries too (they are left out by default). Rebuilds with the current filter. */
    void setShowHidden (bool show);
    bool isShowingHidden() const noexcept { return showHidden; }

    /** Lists only entries whose sound another entry shares (name and category ignored), each group
        together, in the sort order of its first entry. Rebuilds with the current filter. */
    void setDuplicatesOnly (bool only);
    bool isDuplicatesOnly() const noexcept { return duplicatesOnly; }
    /** The groups of entries that share a sound, each in library order, by their first entry. */
    std::vector<std::vector<int>> findDuplicateGroups() const;
    /** Removes every entry whose sound an earlier entry has; returns how many went. Rebuilds with
        the current filter. */
    int keepOneOfEachSound();

    /** The count entries nearest to a sound, nearest first, leaving out the entry excluded (-1 for
        none): see SoundSimilarity. */
    std::vector<SoundSimilarity::Neighbour> findSimilar (const uint8_t* sound, int count, int excluded = -1);
    /** Lists the count entries nearest to a sound, nearest first, in place of the filtered rows
        until the next rebuild; nothing is selected. Notifies (202, 100). */
    void listSimilar (const uint8_t* sound, int count, int excluded = -1);
    bool isListingSimilar() const noexcept { return listingSimilar; }

    /** Entries whose category byte is c (0..29) as of the last rebuild. */
    int getCategoryCount (int c) const noexcept;

    void addListener (StsFileListener* l) { listeners.add (l); }
    void removeListener (StsFileListener* l) { listeners.remove (l); }

private:
    uint8_t* entryBytes (int i) noexcept;
    void indexEntry (int i);
    void unindexEntry (int i);
    void reindex();
    void forgetAll() noexcept;
    bool nameMatches (const uint8_t* entry) const;
    bool isListed (int i) const;
    void sortVisible();
    void groupVisibleBySound();
    void notify (int code, int value);

    std::vector<uint8_t> data; // grows by doubling: adding to a large library copies nothing
    juce::MemoryBlock importBuffer;
    std::unordered_multimap<size_t, int> index; // record hash -> entry
    std::vector<uint8_t> categoryOf;            // byte 117 of each entry, so a rebuild reads no records
    std::vector<LibraryMarks::SoundKey> soundKeys; // of each entry
    LibraryMarks marks;
    SoundSimilarity similarity;
    bool similarityStale = true;

    FilterMode filterMode = FilterMode::all;
    int filterCategory = 0;
    juce::String searchText;
    std::string searchNeedle; // lower-case ASCII; empty when not searching
    bool searchCanMatch = true;
    SortOrder sortOrder = SortOrder::added;
    bool favouritesOnly = false, showHidden = false, duplicatesOnly = false, listingSimilar = false;

    std::vector<int> visible;
    int selectedRow = -1, selectedEntry = -1;
    std::array<int, numCounters> counts{};

    juce::ListenerList<StsFileListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LibraryStore)
};

} // namespace kelvo
