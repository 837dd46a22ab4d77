#pragma once

#include "librarian/LibraryStore.h"

#include <juce_core/juce_core.h>

#include <functional>

namespace kelvo
{
class Bank_Program;

/**
    The library page's operations without its widgets: the library store, kept in step with the
    default library file, and what the page does with the current program.

    The default file is written after every change (add, import, rename, delete, clear), so a host
    that crashes keeps the user's work; an emptied library is written as an empty library file, so
    deleted entries stay deleted. Before a change, a default file that changed on disk since it was
    read or written (another plug-in instance saved it) is read again, so two instances do not drop
    each other's additions.

    Message thread only.
*/
class ProgramLibrary
{
public:
    /** Makes a program chunk the plug-in's current program (the processor's
        setCurrentProgramStateInformation). */
    using ApplyProgramChunk = std::function<void (const juce::MemoryBlock& programChunk)>;

    /** defaultFile is the library kept between sessions; pluginBank supplies the edit buffer. */
    ProgramLibrary (const juce::File& defaultFile, Bank_Program& pluginBank, ApplyProgramChunk apply);
    ~ProgramLibrary();

    /** "x4Lib.m_l" in the settings folder. */
    static juce::File defaultFileIn (const juce::File& settingsFolder);

    LibraryStore& getStore() noexcept { return store; }
    const LibraryStore& getStore() const noexcept { return store; }
    const juce::File& getDefaultFile() const noexcept { return defaultFile; }

    //==============================================================================
    /** Reads the default file (the library becomes its whole entries; a missing file leaves the
        library as it is), then lists all. */
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
    SaveResult commitImport (bool append);

    /** Reads the default file again if another instance wrote it since (every change does this
        first; the page may also call it when it is shown again). The selected entry stays selected
        when it is still there; returns false when it is gone. */
    bool reloadIfChangedOnDisk();

    /** Writes the library to a file of the user's choosing; an empty library writes nothing. */
    SaveResult saveToFile (const juce::File& file) const { return store.saveToFile (file); }

    //==============================================================================
    // Imports: each stages entries; commitImport then appends or replaces.

    enum class ImportResult
    {
        staged,
        nothingStaged, // no whole entry
        notALibrary,   // the file does not begin with the library header
        unreadable
    };

    /** Stages the entries of a library file; a file without the library header is refused. */
    ImportResult stageLibraryFile (const juce::File& file);
    /** Stages the first count programs of concatenated 300-byte program dumps (a bank file). */
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

private:
    struct FileStamp
    {
        bool exists = false;
        juce::Time modified;
        juce::int64 size = 0;
        bool operator== (const FileStamp&) const = default;
    };

    FileStamp stampOfDefaultFile() const;
    bool readDefaultFile();
    SaveResult saveDefaultFile();

    const juce::File defaultFile;
    Bank_Program& pluginBank;
    ApplyProgramChunk apply;

    LibraryStore store;
    juce::String filterLabel;
    FileStamp knownStamp;
    bool unsavedChanges = false;
    bool defaultFileUnreadable = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProgramLibrary)
};

} // namespace kelvo
