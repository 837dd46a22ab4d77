#pragma once

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
    name search, the listed rows, the selection and the entries per category).

    Every change ends in rebuildView, so listeners never see a half-changed library. Duplicates are
    found through a hash index of the records, so adding to a library of tens of thousands of
    entries stays instant.

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
    void notify (int code, int value);

    std::vector<uint8_t> data; // grows by doubling: adding to a large library copies nothing
    juce::MemoryBlock importBuffer;
    std::unordered_multimap<size_t, int> index; // record hash -> entry
    std::vector<uint8_t> categoryOf;            // byte 117 of each entry, so a rebuild reads no records

    FilterMode filterMode = FilterMode::all;
    int filterCategory = 0;
    juce::String searchText;
    std::string searchNeedle; // lower-case ASCII; empty when not searching
    bool searchCanMatch = true;

    std::vector<int> visible;
    int selectedRow = -1, selectedEntry = -1;
    std::array<int, numCounters> counts{};

    juce::ListenerList<StsFileListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LibraryStore)
};

} // namespace kelvo
