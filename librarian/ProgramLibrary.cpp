#include "librarian/ProgramLibrary.h"

#include "files/FolderLock.h"
#include "files/KeptFile.h"
#include "files/SafeFileRead.h"
#include "files/SafeFileWrite.h"
#include "librarian/LibraryFile.h"
#include "model/Bank_Program.h"
#include "model/Categories.h"
#include "model/DSI_Program.h"
#include "model/PluginChunks.h"

namespace kelvo
{
namespace
{
constexpr const char* untitledProgramName = "Untitled";
constexpr size_t programDumpSize = 300;

/** What is wrong with a default file that cannot be taken as it is. */
FileProblem problemOf (const FileReadResult& found, libraryfile::Shape shape)
{
    if (found.isDamaged() && found.status != FileReadResult::Status::tooLarge)
        return describeReadProblem (found);
    if (found.bytes.isEmpty())
        return {"is empty", "empty"};
    if (shape == libraryfile::Shape::notALibrary)
        return {"is not a program library", "not-a-library"};
    if (found.status == FileReadResult::Status::tooLarge)
        return describeReadProblem (found);
    return {"is cut short", "cut-short"};
}

/** What reading a library file the user chose found, for the message about it. */
FileReadResult unread (FileReadResult::Status status)
{
    FileReadResult found;
    found.status = status;
    found.limit = libraryfile::maxFileSize;
    return found;
}

juce::String entriesText (int n)
{
    return n == 1 ? juce::String ("1 entry") : juce::String (n) + " entries";
}
} // namespace

ProgramLibrary::ProgramLibrary (const juce::File& file, Bank_Program& bank, ApplyProgramChunk applyChunk,
                                NoticeHandler onNotice)
    : defaultFile (file), pluginBank (bank), apply (std::move (applyChunk)),
      kept (std::make_unique<KeptFile> (file, "The library file", "the library", libraryfile::maxFileSize,
                                        onNotice)),
      keptMarks (std::make_unique<KeptFile> (marksFileIn (file.getParentDirectory()),
                                             "The library marks file", "the favourites and hidden marks",
                                             LibraryMarks::maxFileSize, std::move (onNotice)))
{
}

ProgramLibrary::~ProgramLibrary()
{
    // Every change was written when it was made; only a failed write is tried again, and never
    // over a file that another instance wrote since.
    if (!unsavedChanges)
        return;
    const FolderLock lock (defaultFile.getParentDirectory(), lockWaitMilliseconds);
    if (isUnchangedOnDisk (kept->read()))
        saveDefaultFile();
}

juce::File ProgramLibrary::defaultFileIn (const juce::File& settingsFolder)
{
    return settingsFolder.getChildFile (libraryfile::defaultFileName);
}

juce::File ProgramLibrary::marksFileIn (const juce::File& settingsFolder)
{
    return settingsFolder.getChildFile (LibraryMarks::fileName);
}

//==============================================================================
void ProgramLibrary::takeMarksOnDisk (bool firstReading)
{
    const auto found = keptMarks->read();
    if (found.status == FileReadResult::Status::missing)
        return; // the marks in use stand; the next mark writes them
    LibraryMarks onDisk;
    if (found.isOk() && onDisk.fromFile (found.bytes))
    {
        store.getMarks() = std::move (onDisk);
        return;
    }
    const auto problem = found.isOk() && !found.bytes.isEmpty()
                             ? FileProblem{"is not a marks file", "not-marks"}
                             : KeptFile::problemOf (found, 0);
    keptMarks->setAside (problem,
                         firstReading ? "no sound is marked" : "it was replaced by the marks in use");
}

bool ProgramLibrary::setMark (int i, LibraryStore::Mark mark, bool on)
{
    if (store.getEntry (i) == nullptr)
        return false;
    bool written = false;
    {
        const FolderLock lock (defaultFile.getParentDirectory(), lockWaitMilliseconds);
        takeMarksOnDisk (false);
        store.getMarks().set (mark, store.soundKeyOf (i), on);
        written = keptMarks->write (store.getMarks().toFile());
    }
    store.marksChanged (i);
    return written;
}

int ProgramLibrary::keepOneOfEachSound()
{
    const FolderLock lock (defaultFile.getParentDirectory(), lockWaitMilliseconds);
    takeChangesKeepingSelection();
    const auto removed = store.keepOneOfEachSound();
    if (removed > 0)
        saveDefaultFile();
    return removed;
}

namespace
{
// The file a path names once its folder's link and its own link are followed.
juce::File followLinks (const juce::File& file)
{
    const auto folder = file.getParentDirectory().getLinkedTarget();
    return folder.getChildFile (file.getFileName()).getLinkedTarget();
}
} // namespace

bool ProgramLibrary::isDefaultFile (const juce::File& file) const
{
    return file == defaultFile || followLinks (file) == followLinks (defaultFile);
}

SaveResult ProgramLibrary::saveToFile (const juce::File& file, juce::String* whyNot) const
{
    if (isDefaultFile (file))
    {
        if (whyNot != nullptr)
            *whyNot = "the library itself is kept in it";
        return SaveResult::failed;
    }
    return store.saveToFile (file, whyNot);
}

//==============================================================================
bool ProgramLibrary::isUnchangedOnDisk (const FileReadResult& found) const
{
    if (found.status == FileReadResult::Status::missing)
        return !knownExists;
    return found.isOk() && knownExists && found.bytes == knownContent;
}

bool ProgramLibrary::takeChangesOnDisk (bool firstReading)
{
    const auto found = kept->read();
    // A file that has gone leaves the library as it is: the next change writes it again. Contents
    // are compared, not times and sizes, which two saves within a clock tick can share.
    if (found.status == FileReadResult::Status::missing || isUnchangedOnDisk (found))
        return false;

    const auto shape = libraryfile::shapeOf (found.bytes.getData(), found.bytes.getSize());
    if (found.isOk() && shape == libraryfile::Shape::whole)
    {
        store.replaceData (libraryfile::readEntries (found.bytes.getData(), found.bytes.getSize()));
        knownContent = found.bytes;
        knownExists = true;
        unsavedChanges = false;
        return true;
    }

    // Damaged: its whole entries are worth keeping at the first reading; later, the library in use
    // is more than what a damaged file holds and takes its place.
    const auto readable = shape != libraryfile::Shape::notALibrary &&
                          (found.isOk() || found.status == FileReadResult::Status::tooLarge);
    const auto entries =
        readable ? libraryfile::readEntries (found.bytes.getData(), found.bytes.getSize()) : juce::MemoryBlock();
    const auto numRead = (int)(entries.getSize() / libraryfile::entrySize);
    const auto what = !firstReading ? juce::String ("it was replaced by the library in use")
                      : numRead > 0 ? entriesText (numRead) + " in it were read"
                                    : juce::String ("the library starts empty");
    const auto asideOk = kept->setAside (problemOf (found, shape), what);
    knownExists = false;
    knownContent.reset();
    if (!firstReading)
        return false;
    store.replaceData (entries);
    // Written whole at once, so that the next start finds a good file.
    if (asideOk && numRead > 0)
        saveDefaultFile();
    return true;
}

bool ProgramLibrary::takeChangesKeepingSelection()
{
    const bool hadSelection = store.hasValidSelection();
    const auto selected = store.getEntryRecord (store.getSelectedEntry());
    if (!takeChangesOnDisk (false))
        return true;

    store.rebuildView (store.getFilterMode());
    return !hadSelection || store.selectEntry (store.findEntry (selected.data()));
}

void ProgramLibrary::loadDefaultFile()
{
    const auto folder = defaultFile.getParentDirectory();
    removeStaleTemporaryFiles (folder, {defaultFile.getFileName(), LibraryMarks::fileName});
    {
        const FolderLock lock (folder, lockWaitMilliseconds);
        takeChangesOnDisk (true);
        takeMarksOnDisk (true);
    }
    store.rebuildView (LibraryStore::FilterMode::all);
}

bool ProgramLibrary::reloadIfChangedOnDisk()
{
    const FolderLock lock (defaultFile.getParentDirectory(), lockWaitMilliseconds);
    return takeChangesKeepingSelection();
}

SaveResult ProgramLibrary::saveDefaultFile()
{
    // Unlike a save to a chosen file, an empty library is written too: it has to stay empty.
    const auto bytes = libraryfile::make (store.getBytes(), store.getNumBytes());
    if (!kept->write (bytes))
    {
        unsavedChanges = true;
        return SaveResult::failed;
    }
    unsavedChanges = false;
    knownContent = bytes;
    knownExists = true;
    return SaveResult::written;
}

//==============================================================================
SaveResult ProgramLibrary::renameSelected (const juce::String& name, int category)
{
    if (name.isEmpty() || !store.hasValidSelection())
        return SaveResult::nothingToWrite;
    const FolderLock lock (defaultFile.getParentDirectory(), lockWaitMilliseconds);
    if (!takeChangesKeepingSelection())
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

    const FolderLock lock (defaultFile.getParentDirectory(), lockWaitMilliseconds);
    takeChangesKeepingSelection();
    if (!store.addProgram (name.isEmpty() ? juce::String (untitledProgramName) : name, record))
        return SaveResult::nothingToWrite;
    return saveDefaultFile();
}

bool ProgramLibrary::isCurrentProgramInLibrary() const
{
    return store.contains (pluginBank.getEditBufferRecord());
}

SaveResult ProgramLibrary::deleteSelected()
{
    if (!store.hasValidSelection())
        return SaveResult::nothingToWrite;
    const FolderLock lock (defaultFile.getParentDirectory(), lockWaitMilliseconds);
    if (!takeChangesKeepingSelection())
        return SaveResult::nothingToWrite;
    store.deleteSelected();
    return saveDefaultFile();
}

SaveResult ProgramLibrary::clearAll()
{
    const FolderLock lock (defaultFile.getParentDirectory(), lockWaitMilliseconds);
    store.clearAll();
    return saveDefaultFile();
}

SaveResult ProgramLibrary::commitImport (bool append)
{
    lastImportSkipped = 0;
    if (store.getNumStaged() == 0)
        return SaveResult::nothingToWrite;
    const FolderLock lock (defaultFile.getParentDirectory(), lockWaitMilliseconds);
    if (append)
        takeChangesKeepingSelection();
    lastImportSkipped = store.commitImport (append);
    return saveDefaultFile();
}

//==============================================================================
ProgramLibrary::ImportResult ProgramLibrary::stageLibraryFile (const juce::File& file)
{
    store.clearImport();
    const auto found = readFileSafely (file, libraryfile::maxFileSize);
    switch (found.status)
    {
    case FileReadResult::Status::ok:
        break;
    case FileReadResult::Status::notAFile:
        return ImportResult::notAFile;
    case FileReadResult::Status::tooLarge:
        return ImportResult::tooLarge;
    case FileReadResult::Status::missing:
    case FileReadResult::Status::unreadable:
    default:
        return ImportResult::unreadable;
    }
    const auto& content = found.bytes;
    if (!libraryfile::hasHeader (content.getData(), content.getSize()))
        return ImportResult::notALibrary;

    store.stageEntries (content, libraryfile::headerSize);
    return store.getNumStaged() > 0 ? ImportResult::staged : ImportResult::nothingStaged;
}

ProgramLibrary::ImportResult ProgramLibrary::stageProgramDumps (const juce::MemoryBlock& dumps, int count)
{
    store.clearImport();
    count = juce::jmin (count, (int)(dumps.getSize() / programDumpSize));
    if (count < 1)
        return ImportResult::nothingStaged;

    // Every program of the file, however many banks it holds; a dump that does not unpack is left out.
    juce::MemoryBlock records ((size_t)count * (size_t)program::recordSize);
    size_t used = 0;
    DSI_Program scratch;
    for (int n = 0; n < count; ++n)
    {
        if (!scratch.setFromBlock (static_cast<const uint8_t*> (dumps.getData()) + (size_t)n * programDumpSize,
                                   programDumpSize))
            continue;
        const auto record = scratch.getRecord();
        records.copyFrom (record.data(), used, record.size());
        used += record.size();
    }
    records.setSize (used);
    store.stageEntries (records, 0);
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
        return describeUnreadFile (file, unread (FileReadResult::Status::unreadable));
    case ImportResult::notAFile:
        return describeUnreadFile (file, unread (FileReadResult::Status::notAFile));
    case ImportResult::tooLarge:
        return describeUnreadFile (file, unread (FileReadResult::Status::tooLarge));
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
