#include "librarian/ProgramLibrary.h"

#include "files/SafeFileWrite.h"
#include "librarian/LibraryFile.h"
#include "model/Bank_Program.h"
#include "model/Categories.h"
#include "model/PluginChunks.h"

namespace kelvo
{
namespace
{
constexpr const char* untitledName = "Untitled";
constexpr size_t programDumpSize = 300;
} // namespace

ProgramLibrary::ProgramLibrary (const juce::File& file, Bank_Program& bank, ApplyProgramChunk applyChunk)
    : defaultFile (file), pluginBank (bank), apply (std::move (applyChunk))
{
}

ProgramLibrary::~ProgramLibrary()
{
    // Every change was written when it was made; only a failed write is tried again, and never
    // over a file that another instance wrote since.
    if (unsavedChanges && stampOfDefaultFile() == knownStamp)
        saveDefaultFile();
}

juce::File ProgramLibrary::defaultFileIn (const juce::File& settingsFolder)
{
    return settingsFolder.getChildFile (libraryfile::defaultFileName);
}

//==============================================================================
ProgramLibrary::FileStamp ProgramLibrary::stampOfDefaultFile() const
{
    if (!defaultFile.existsAsFile())
        return {};
    return {true, defaultFile.getLastModificationTime(), defaultFile.getSize()};
}

bool ProgramLibrary::readDefaultFile()
{
    const auto stamp = stampOfDefaultFile();
    if (!stamp.exists)
    {
        knownStamp = stamp;
        return false;
    }

    juce::MemoryBlock content;
    if (!defaultFile.loadFileAsData (content))
    {
        // Never write over a library that could not be read.
        defaultFileUnreadable = true;
        return false;
    }
    defaultFileUnreadable = false;
    knownStamp = stamp;
    unsavedChanges = false;
    store.replaceData (libraryfile::readEntries (content.getData(), content.getSize()));
    return true;
}

void ProgramLibrary::loadDefaultFile()
{
    readDefaultFile();
    store.rebuildView (LibraryStore::FilterMode::all);
}

bool ProgramLibrary::reloadIfChangedOnDisk()
{
    const auto stamp = stampOfDefaultFile();
    if (!stamp.exists || stamp == knownStamp)
        return true;

    const bool hadSelection = store.hasValidSelection();
    const auto selected = store.getEntryRecord (store.getSelectedEntry());
    if (!readDefaultFile())
        return true;

    store.rebuildView (store.getFilterMode());
    return !hadSelection || store.selectEntry (store.findEntry (selected.data()));
}

SaveResult ProgramLibrary::saveDefaultFile()
{
    if (defaultFileUnreadable)
        return SaveResult::failed;

    // Unlike a save to a chosen file, an empty library is written too: it has to stay empty.
    if (!writeFileSafely (defaultFile, libraryfile::make (store.getBytes(), store.getNumBytes())))
    {
        unsavedChanges = true;
        return SaveResult::failed;
    }
    unsavedChanges = false;
    knownStamp = stampOfDefaultFile();
    return SaveResult::written;
}

//==============================================================================
SaveResult ProgramLibrary::renameSelected (const juce::String& name, int category)
{
    if (name.isEmpty() || !store.hasValidSelection())
        return SaveResult::nothingToWrite;
    if (!reloadIfChangedOnDisk())
        return SaveResult::nothingToWrite;

    const auto entry = store.getSelectedEntry();
    store.setEntryName (entry, name);
    store.setEntryCategory (entry, category);
    showFilterCategory();
    return saveDefaultFile();
}

void ProgramLibrary::applySelected()
{
    if (!store.hasValidSelection() || apply == nullptr)
        return;
    apply (makeProgramChunk (store.getEntryRecord (store.getSelectedEntry())));
}

SaveResult ProgramLibrary::addCurrentProgram (const juce::String& name, int category)
{
    auto record = pluginBank.getEditBufferRecord();
    if (category >= 0 && category <= 255)
        record[program::categoryIndex] = (uint8_t)category;

    reloadIfChangedOnDisk();
    if (!store.addProgram (name.isEmpty() ? juce::String (untitledName) : name, record))
        return SaveResult::nothingToWrite;
    return saveDefaultFile();
}

bool ProgramLibrary::isCurrentProgramInLibrary() const
{
    return store.contains (pluginBank.getEditBufferRecord());
}

SaveResult ProgramLibrary::deleteSelected()
{
    if (!store.hasValidSelection() || !reloadIfChangedOnDisk())
        return SaveResult::nothingToWrite;
    store.deleteSelected();
    return saveDefaultFile();
}

SaveResult ProgramLibrary::clearAll()
{
    store.clearAll();
    return saveDefaultFile();
}

SaveResult ProgramLibrary::commitImport (bool append)
{
    if (store.getNumStaged() == 0)
        return SaveResult::nothingToWrite;
    if (append)
        reloadIfChangedOnDisk();
    store.commitImport (append);
    return saveDefaultFile();
}

//==============================================================================
ProgramLibrary::ImportResult ProgramLibrary::stageLibraryFile (const juce::File& file)
{
    store.clearImport();
    juce::MemoryBlock content;
    if (!file.existsAsFile() || !file.loadFileAsData (content))
        return ImportResult::unreadable;
    if (!libraryfile::hasHeader (content.getData(), content.getSize()))
        return ImportResult::notALibrary;

    store.stageEntries (content, libraryfile::headerSize);
    return store.getNumStaged() > 0 ? ImportResult::staged : ImportResult::nothingStaged;
}

ProgramLibrary::ImportResult ProgramLibrary::stageProgramDumps (const juce::MemoryBlock& dumps, int count)
{
    store.clearImport();
    const auto whole = (int)juce::jmin ((size_t)program::programsPerBank, dumps.getSize() / programDumpSize);
    count = juce::jmin (count, whole);
    if (count < 1)
        return ImportResult::nothingStaged;

    Bank_Program bank ("Import");
    bank.initialise();
    bank.loadFromDumps (dumps);
    store.stageBank (bank, count);
    return store.getNumStaged() > 0 ? ImportResult::staged : ImportResult::nothingStaged;
}

ProgramLibrary::ImportResult ProgramLibrary::stageBank (const Bank_Program& bank)
{
    store.stageBank (bank, program::programsPerBank);
    return store.getNumStaged() > 0 ? ImportResult::staged : ImportResult::nothingStaged;
}

juce::String ProgramLibrary::describe (ImportResult result, const juce::File& file)
{
    switch (result)
    {
    case ImportResult::staged:
        return {};
    case ImportResult::nothingStaged:
        return file.getFileName() + " holds no programs.";
    case ImportResult::notALibrary:
        return file.getFileName() + " is not a Mopho program library.";
    case ImportResult::unreadable:
        return file.getFileName() + " could not be read.";
    }
    return {};
}

//==============================================================================
void ProgramLibrary::chooseCategory (int button)
{
    if (button == listAllButton)
    {
        filterLabel.clear();
        store.rebuildView (LibraryStore::FilterMode::all);
        return;
    }
    if (button < 0 || button >= category::count)
        return;
    store.setFilterCategory (button);
    showFilterCategory();
}

void ProgramLibrary::showFilterCategory()
{
    filterLabel = categoryName (store.getFilterCategory());
    store.rebuildView (LibraryStore::FilterMode::category);
}

} // namespace kelvo
