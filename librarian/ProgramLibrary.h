#pragma once

#include "librarian/LibraryStore.h"

#include <juce_core/juce_core.h>

#include <functional>
#include <memory>

namespace kelvo
{
class Bank_Program;
class KeptFile;
struct FileReadResult;

/**
    The library page's operations without its widgets: the library store, kept in step with the
    default library file, and what the page does with the current program.

    The default file is kept like the engine's files: written after every change (add, import,
    rename, delete, clear), so a host that crashes keeps the user's work; an emptied library is
    written as an empty library file, so deleted entries stay deleted. Each change reads the file,
    applies itself and writes, all under the settings folder's lock; a file whose contents differ
    from what this instance last read or wrote (another instance saved it) is taken first, so two
    instances never drop each other's changes. The file is read safely and size-capped; a damaged
    one (cut, not a library, unreadable, a pipe or a device in its place) is kept aside under a name
    that says why, its whole entries are taken, and the user is told once, as of a failed save.

    Message thread only.
*/
class ProgramLibrary
{
public:
    /** Makes a program chunk the plug-in's current program (the processor's
        setCurrentProgramStateInformation). */
    using ApplyProgramChunk = std::function<void (const juce::MemoryBlock& programChunk)>;

    /** What the user is told about the default file (kept aside, not saved). */
    using NoticeHandler = std::function<void (const juce::String&)>;

    /** defaultFile is the library kept between sessions; pluginBank supplies the edit buffer. */
    ProgramLibrary (const juce::File& defaultFile, Bank_Program& pluginBank, ApplyProgramChunk apply,
                    NoticeHandler onNotice = nullptr);
    ~ProgramLibrary();

    /** "x4Lib.m_l" in the settings folder. */
    static juce::File defaultFileIn (const juce::File& settingsFolder);

    LibraryStore& getStore() noexcept { return store; }
    const LibraryStore& getStore() const noexcept { return store; }
    const juce::File& getDefaultFile() const noexcept { return defaultFile; }

    //==============================================================================
    /** Reads the default file (the library becomes its whole entries; a missing file leaves the
        library as it is), then lists all. Removes temporary files that a save killed mid-way left. */
    void loadDefaultFile();

    /** Renames the selected entry and sets its category, then lists the filter category (the one
        chosen last) as the chooser does. An empty name changes nothing. */
    SaveResult renameSelected (const juce::String& name, int category);
    /** Makes the selected entry the current program and the edit buffer; sends nothing to the
        synth. Needs a valid selection. */
    void applySelected();
    /** Adds the edit buffer with the given category and name ("Untitled" when empty). */
    SaveResult addCurrentProgram (const juce::String& name, int category);
    /** Whether the edit buffer, as it is, is already a library entry. */
    bool isCurrentProgramInLibrary() const;

    SaveResult deleteSelected();
    SaveResult clearAll();
    /** Appends (skipping entries already in the library) or replaces with what is staged. */
    SaveResult commitImport (bool append);
    /** How many staged entries the last commitImport skipped as already in the library. */
    int getNumSkippedByLastImport() const noexcept { return lastImportSkipped; }

    //==============================================================================
    // Marks: kept in "x4LibMarks.txt" beside the default file, keyed by sound (see LibraryMarks).

    /** The marks file in the settings folder. */
    static juce::File marksFileIn (const juce::File& settingsFolder);

    /** Sets or clears a mark on entry i's sound and writes the marks file at once, merged with what
        another instance wrote since. Returns false when the file could not be written (the user was
        told); the mark holds in this session either way. */
    bool setMark (int i, LibraryStore::Mark mark, bool on);
    bool toggleMark (int i, LibraryStore::Mark mark) { return setMark (i, mark, !store.hasMark (i, mark)); }

    /** Removes every entry whose sound an earlier entry has (keeping the first of each), writes the
        default file and returns how many went. */
    int keepOneOfEachSound();

    /** Reads the default file again if another instance wrote it since (every change does this
        first; the page may also call it when it is shown again). The selected entry stays selected
        when it is still there; returns false when it is gone. */
    bool reloadIfChangedOnDisk();

    /** Writes the library to a file of the user's choosing; an empty library writes nothing.
        whyNot says why a save failed. The default file is refused: it follows the library, so a
        copy saved there would be gone with the next change. */
    SaveResult saveToFile (const juce::File& file, juce::String* whyNot = nullptr) const;
    /** Whether file is the default file, under its own name or through a link. */
    bool isDefaultFile (const juce::File& file) const;

    //==============================================================================
    // Imports: each stages entries; commitImport then appends or replaces.

    enum class ImportResult
    {
        staged,
        nothingStaged, // no whole entry
        notALibrary,   // the file does not begin with the library header
        unreadable,
        notAFile, // a folder, a pipe or a device: never read
        tooLarge  // refused unread
    };

    /** Stages the entries of a library file; a file without the library header is refused. */
    ImportResult stageLibraryFile (const juce::File& file);
    /** Stages the first count programs of concatenated 300-byte program dumps (a bank file, of
        one bank or of several). */
    ImportResult stageProgramDumps (const juce::MemoryBlock& dumps, int count);
    /** Stages the 128 programs of a bank (an instrument bank or the plug-in preset bank). */
    ImportResult stageBank (const Bank_Program& bank);

    /** What to tell the user about an import that staged nothing; empty for a staged one. */
    static juce::String describe (ImportResult result, const juce::File& file);

    //==============================================================================
    // The category chooser and its label.

    static constexpr int listAllButton = 26;

    /** A chooser button: LIST ALL lists everything and empties the label; a category lists only
        that category and names it in the label. */
    void chooseCategory (int button);
    /** Lists the stored filter category again, as when that category is chosen. */
    void showFilterCategory();
    const juce::String& getFilterLabel() const noexcept { return filterLabel; }

    /** How long a change waits for another instance's save to finish before going on regardless. */
    static constexpr int lockWaitMilliseconds = 2000;

private:
    /** Takes the default file as it is on disk when another instance changed it (or a damaged file
        is found: it is kept aside, and at the first reading its whole entries are taken). The
        caller holds the folder lock. Returns true when the library took the file's entries. */
    bool takeChangesOnDisk (bool firstReading);
    /** The same for a change: keeps the selected entry selected; false when it is gone. */
    bool takeChangesKeepingSelection();
    /** The caller holds the folder lock. */
    SaveResult saveDefaultFile();
    bool isUnchangedOnDisk (const FileReadResult& found) const;
    /** Takes the marks file as it is on disk (a damaged one is set aside). The caller holds the
        folder lock. */
    void takeMarksOnDisk (bool firstReading);

    const juce::File defaultFile;
    Bank_Program& pluginBank;
    ApplyProgramChunk apply;
    std::unique_ptr<KeptFile> kept, keptMarks;

    LibraryStore store;
    juce::String filterLabel;
    int lastImportSkipped = 0;
    juce::MemoryBlock knownContent; // the file as this instance last read or wrote it
    bool knownExists = false;
    bool unsavedChanges = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProgramLibrary)
};

} // namespace kelvo
