#include "librarian/LibraryFile.h"
#include "librarian/LibraryStore.h"
#include "librarian/ProgramLibrary.h"
#include "model/Bank_Program.h"
#include "model/Categories.h"
#include "model/PluginChunks.h"
#include "support/LibraryRig.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kelvo;
using namespace kelvo::test;

//==============================================================================
TEST (LibraryFile, LayoutAndLenientReading)
{
    const auto entries = entriesOf ({programWith (1), programWith (2), programWith (3)});
    const auto file = libraryfile::make (entries);
    ASSERT_EQ (file.getSize(), 794u);
    EXPECT_EQ (juce::String::fromUTF8 ((const char*)file.getData(), 13), "Mopho  Libr >");
    EXPECT_EQ (juce::String::fromUTF8 ((const char*)file.getData() + 781, 13), "< Mopho  Libr");
    EXPECT_EQ (std::memcmp ((const char*)file.getData() + 13, entries.getData(), entries.getSize()), 0);
    EXPECT_EQ (libraryfile::make (nullptr, 0).getSize(), 26u);

    struct Case
    {
        size_t size;
        size_t entries;
    };
    for (const auto c : {Case{794, 3}, Case{781, 3}, Case{268, 0}, Case{269, 1}, Case{26, 0}, Case{5, 0}})
    {
        const auto read = libraryfile::readEntries (file.getData(), c.size);
        EXPECT_EQ (read.getSize(), c.entries * 256) << c.size << " bytes";
    }
    EXPECT_EQ (libraryfile::readEntries (file.getData(), 781), entries);
    EXPECT_TRUE (libraryfile::hasHeader (file.getData(), file.getSize()));
    EXPECT_FALSE (libraryfile::hasHeader ("Mopho  Libr", 11));
    EXPECT_FALSE (libraryfile::hasHeader ("Mopho Libr >xx", 14));
}

TEST (LibraryStore, NamesAreStoredAndShownByTheirRules)
{
    struct Case
    {
        juce::String given;
        const char* shown;
    };
    const Case cases[] = {
        {"Twenty characters!!!", "Twenty character"},
        {"abc", "abc             "},
        {juce::String::fromUTF8 ("Caf\xc3\xa9 Bass"), "Caf  Bass       "}, // é is stored as a space
        {juce::String::charToString (19) + "x", " x              "},       // below 20: a space
        {juce::String::charToString (25) + "x", "Ax              "},       // kept, but shown as "A"
    };
    LibraryStore s;
    s.replaceData (entriesOf ({programWith (1)}));
    for (const auto& c : cases)
    {
        s.setEntryName (0, c.given);
        EXPECT_EQ (s.entryName (0), c.shown) << c.given;
    }

    auto r = programWith (1);
    r[program::nameOffset] = 10;
    r[program::nameOffset + 1] = 200;
    s.replaceData (entriesOf ({r}));
    EXPECT_TRUE (s.entryName (0).startsWith ("AAog"));
}

TEST (LibraryStore, AddingKeepsOneOfEachAndSelectsTheEqualEntry)
{
    LibraryStore s;
    Recorder rec;
    s.addListener (&rec);

    EXPECT_TRUE (s.addProgram ("Lead", programWith (1)));
    EXPECT_TRUE (s.addProgram ("Bass", programWith (2)));
    EXPECT_EQ (s.getSelectedEntry(), 1);

    // The same sound, name and category again: no new entry; the equal entry (not the last row) is
    // selected, since a selection applies it.
    rec.calls.clear();
    EXPECT_FALSE (s.addProgram ("Lead", programWith (1)));
    EXPECT_EQ (s.getNumEntries(), 2);
    EXPECT_EQ (s.getSelectedEntry(), 0);
    EXPECT_EQ (rec.calls, (std::vector<std::pair<int, int>>{{202, 100}, {201, 0}}));

    // Another name or another category makes another entry.
    EXPECT_TRUE (s.addProgram ("Lead 2", programWith (1)));
    EXPECT_TRUE (s.addProgram ("Lead", programWith (1, "x", 4)));
    EXPECT_EQ (s.getNumEntries(), 4);

    // The index and the plain scan agree.
    for (int i = 0; i < s.getNumEntries(); ++i)
    {
        EXPECT_EQ (s.findEntry (s.getEntry (i)), i);
        EXPECT_TRUE (LibraryStore::isDuplicate (s.getBytes(), s.getNumBytes(), s.getEntry (i)));
    }
    const auto absent = programWith (9);
    EXPECT_EQ (s.findEntry (absent.data()), -1);
    EXPECT_FALSE (LibraryStore::isDuplicate (s.getBytes(), s.getNumBytes(), absent.data()));
    s.removeListener (&rec);
}

TEST (LibraryStore, AddingUnderACategoryFilterSelectsOnlyAListedEntry)
{
    LibraryStore s;
    s.addProgram ("A", programWith (1, "", 5));
    s.setFilterCategory (5);
    s.rebuildView (LibraryStore::FilterMode::category);

    s.addProgram ("B", programWith (2, "", 7));
    EXPECT_EQ (s.getSelectedRow(), -1);
    EXPECT_FALSE (s.hasValidSelection());

    s.addProgram ("C", programWith (3, "", 5));
    EXPECT_EQ (s.getSelectedRow(), 1);
    EXPECT_EQ (s.getSelectedEntry(), 2);

    // A duplicate of an entry that is not listed selects nothing.
    s.addProgram ("B", programWith (2, "", 7));
    EXPECT_EQ (s.getSelectedRow(), -1);
}

TEST (LibraryStore, ImportsStageEachProgramOnceAndAppendOrReplace)
{
    Bank_Program bank ("U1");
    bank.initialise();
    for (int p = 0; p < 128; ++p)
        bank.setProgram (p, programWith (p % 100)); // programs 100..127 repeat 0..27

    LibraryStore s;
    s.addProgram ("Mine", programWith (500));

    s.stageBank (bank, 128);
    EXPECT_EQ (s.getNumStaged(), 100);
    s.commitImport (true);
    EXPECT_EQ (s.getNumEntries(), 101);
    EXPECT_EQ (s.entryName (0), "Mine            ");

    // Appended again, with programs new to the library among them: only those are added, after the
    // library's entries, and the rest are counted as skipped.
    for (int p = 0; p < 10; ++p)
        bank.setProgram (p, programWith (1000 + p));
    s.stageBank (bank, 128);
    EXPECT_EQ (s.getNumStaged(), 110);
    EXPECT_EQ (s.commitImport (true), 100);
    EXPECT_EQ (s.getNumEntries(), 111);
    EXPECT_EQ (s.findEntry (programWith (1003).data()), 104);
    EXPECT_EQ (s.commitImport (true), 110);
    EXPECT_EQ (s.getNumEntries(), 111);

    // Replacing empties the library first and skips nothing; the import buffer keeps its content.
    EXPECT_EQ (s.commitImport (false), 0);
    EXPECT_EQ (s.getNumEntries(), 110);
    EXPECT_EQ (s.getNumStaged(), 110);

    // A short block stages nothing, and committing nothing changes nothing.
    s.stageEntries (juce::MemoryBlock (300), 100);
    EXPECT_EQ (s.getNumStaged(), 0);
    s.commitImport (false);
    EXPECT_EQ (s.getNumEntries(), 110);
}

TEST (LibraryStore, CategoryFilterSearchAndCounters)
{
    LibraryStore s;
    s.addProgram ("Fat Bass", programWith (1, "", 2));
    s.addProgram ("Sub BASS", programWith (2, "", 2));
    s.addProgram ("Bright Lead", programWith (3, "", 3));
    s.addProgram ("Bassline Arp", programWith (4, "", 25));
    auto odd = programWith (5);
    odd[program::categoryIndex] = 31; // not a category: listed, never counted
    s.addProgram ("Odd", odd);

    struct Case
    {
        LibraryStore::FilterMode mode;
        int category;
        const char* search;
        std::vector<int> listed;
    };
    using M = LibraryStore::FilterMode;
    const Case cases[] = {
        {M::all, 0, "", {0, 1, 2, 3, 4}}, {M::category, 2, "", {0, 1}},     {M::category, 3, "", {2}},
        {M::all, 2, "bass", {0, 1, 3}},   {M::category, 2, "BASS", {0, 1}}, {M::category, 25, "bass", {3}},
        {M::category, 3, "bass", {}},     {M::all, 0, "b l", {}},           {M::all, 0, "t l", {2}},
        {M::all, 0, "\xc3\xa9", {}},
    };
    for (const auto& c : cases)
    {
        s.setFilterCategory (c.category);
        s.rebuildView (c.mode);
        s.setSearchText (juce::String::fromUTF8 (c.search));
        EXPECT_EQ (listedEntries (s), c.listed)
            << (int)c.mode << " " << c.category << " '" << c.search << "'";
    }
    s.setSearchText ({});

    const auto counts = [&s]
    {
        return std::vector<int>{s.getCategoryCount (0), s.getCategoryCount (2), s.getCategoryCount (3),
                                s.getCategoryCount (25), s.getCategoryCount (29)};
    };
    EXPECT_EQ (counts(), (std::vector<int>{0, 2, 1, 1, 0}));

    s.addProgram ("Pad", programWith (6, "", 0));
    EXPECT_EQ (counts(), (std::vector<int>{1, 2, 1, 1, 0}));

    s.rebuildView (M::all);
    s.selectRow (1);
    s.deleteSelected();
    EXPECT_EQ (counts(), (std::vector<int>{1, 1, 1, 1, 0}));
    EXPECT_EQ (s.entryName (1), "Bright Lead     ");
    EXPECT_EQ (s.findEntry (s.getEntry (4)), 4); // the index follows the move

    s.clearAll();
    EXPECT_EQ (counts(), (std::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ (s.getNumRows(), 0);
}

TEST (LibraryStore, SelectionNeedsAListedRow)
{
    LibraryStore s;
    Recorder rec;
    s.addListener (&rec);
    for (int row : {-1, 0, 1})
        s.selectRow (row);
    s.deleteSelected();
    EXPECT_TRUE (rec.calls.empty());

    s.addProgram ("A", programWith (1));
    s.addProgram ("B", programWith (2));
    rec.calls.clear();
    for (int row : {-1, 2, 1})
        s.selectRow (row);
    EXPECT_EQ (rec.calls, (std::vector<std::pair<int, int>>{{201, 1}}));
    s.rebuildView (LibraryStore::FilterMode::all);
    EXPECT_FALSE (s.hasValidSelection());
    s.removeListener (&rec);
}

//==============================================================================
TEST (ProgramLibrary, EveryChangeIsSavedAndAnEmptiedLibraryStaysEmpty)
{
    LibraryRig rig;
    {
        auto lib = rig.open();
        EXPECT_FALSE (rig.file.exists()); // nothing read, nothing written yet

        rig.pluginBank.setEditBuffer (programWith (1, "Edit"));
        EXPECT_EQ (lib->addCurrentProgram ("", 3), SaveResult::written);
        EXPECT_EQ (contentsOf (rig.file).getSize(), 13u + 256 + 13);
        EXPECT_EQ (lib->getStore().entryName (0), "Untitled        ");
        EXPECT_EQ (lib->getStore().getEntry (0)[program::categoryIndex], 3);
        EXPECT_FALSE (lib->isCurrentProgramInLibrary()); // the entry has another name and category
        lib->addCurrentProgram ("Edit", 0);
        EXPECT_TRUE (lib->isCurrentProgramInLibrary());
        lib->getStore().selectRow (1);
        lib->deleteSelected();

        lib->addCurrentProgram ("Second", 4);
        lib->getStore().selectRow (0);
        EXPECT_EQ (lib->renameSelected ("Renamed", 7), SaveResult::written);
        EXPECT_EQ (lib->getStore().getFilterMode(), LibraryStore::FilterMode::category);
        EXPECT_EQ (lib->getFilterLabel(), "- Not Assigned -"); // no category chosen yet
        EXPECT_EQ (lib->renameSelected ("", 1), SaveResult::nothingToWrite);
    }
    {
        auto lib = rig.open();
        ASSERT_EQ (lib->getStore().getNumEntries(), 2);
        EXPECT_EQ (lib->getStore().entryName (0), "Renamed         ");
        EXPECT_EQ (lib->getStore().getEntry (0)[program::categoryIndex], 7);

        lib->getStore().selectRow (0);
        EXPECT_EQ (lib->deleteSelected(), SaveResult::written);
        EXPECT_EQ (lib->clearAll(), SaveResult::written);
        EXPECT_EQ (contentsOf (rig.file).getSize(), 26u);
        // An explicit save of the empty library writes nothing.
        const auto chosen = rig.temp.folder.getChildFile ("chosen.m_l");
        EXPECT_EQ (lib->saveToFile (chosen), SaveResult::nothingToWrite);
        EXPECT_FALSE (chosen.exists());
    }
    EXPECT_EQ (rig.open()->getStore().getNumEntries(), 0);
}

TEST (ProgramLibrary, AFailedSaveIsReportedAndKeepsTheOldFile)
{
    LibraryRig rig;
    // The temporary file next to this name would need a name longer than the file system allows,
    // so every safe write fails while the file itself can be read.
    const auto file = rig.temp.folder.getChildFile (juce::String::repeatedString ("a", 246) + ".m_l");
    const auto old = libraryfile::make (entriesOf ({programWith (1, "Old")}));
    {
        juce::FileOutputStream out (file); // writes in place, without a temporary file
        ASSERT_TRUE (out.openedOk() && out.write (old.getData(), old.getSize()));
    }

    auto lib = rig.open (file);
    ASSERT_EQ (lib->getStore().getNumEntries(), 1);
    EXPECT_EQ (lib->addCurrentProgram ("New", 0), SaveResult::failed);
    EXPECT_EQ (lib->getStore().getNumEntries(), 2); // kept in memory
    juce::String whyNot;
    const auto copy = file.getSiblingFile (juce::String::repeatedString ("b", 246) + ".m_l");
    EXPECT_EQ (lib->saveToFile (copy, &whyNot), SaveResult::failed);
    EXPECT_TRUE (whyNot.contains ("too long")) << whyNot;
    EXPECT_EQ (lib->clearAll(), SaveResult::failed);
    EXPECT_EQ (contentsOf (file), old);
    // Told once, with the system's reason, not at every failed change.
    ASSERT_EQ (rig.told.size(), 1) << rig.told.joinIntoString ("\n");
    EXPECT_TRUE (rig.told[0].startsWith ("Could not save the library")) << rig.told[0];
    EXPECT_TRUE (rig.told[0].contains ("too long")) << rig.told[0];
}

TEST (ProgramLibrary, ACopyIsNeverSavedOverTheDefaultFile)
{
    LibraryRig rig;
    auto lib = rig.open();
    lib->addCurrentProgram ("Kept", 0);
    const auto before = contentsOf (rig.file);
    ASSERT_GT (before.getSize(), 0u);

    // Under its own name, through a link to it, and through a link to its folder.
    const auto linkToFile = rig.temp.folder.getChildFile ("link.m_l");
    const auto linkToFolder = rig.temp.folder.getSiblingFile (rig.temp.folder.getFileName() + "-link");
    ASSERT_TRUE (rig.file.createSymbolicLink (linkToFile, true));
    ASSERT_TRUE (rig.temp.folder.createSymbolicLink (linkToFolder, true));
    for (const auto& target : { rig.file, linkToFile, linkToFolder.getChildFile (rig.file.getFileName()) })
    {
        SCOPED_TRACE (target.getFullPathName());
        EXPECT_TRUE (lib->isDefaultFile (target));
        juce::String whyNot;
        EXPECT_EQ (lib->saveToFile (target, &whyNot), SaveResult::failed);
        EXPECT_FALSE (whyNot.isEmpty());
    }
    linkToFolder.deleteFile();
    EXPECT_EQ (contentsOf (rig.file), before);

    // Any other file takes the copy.
    const auto copy = rig.temp.folder.getChildFile ("x4Lib copy.m_l");
    EXPECT_FALSE (lib->isDefaultFile (copy));
    EXPECT_EQ (lib->saveToFile (copy), SaveResult::written);
    EXPECT_EQ (contentsOf (copy), before);
}

TEST (ProgramLibrary, TwoInstancesKeepEachOthersChanges)
{
    LibraryRig rig;
    auto a = rig.open();
    auto b = rig.open();

    a->addCurrentProgram ("From A", 0);
    rig.pluginBank.setEditBuffer (programWith (2));
    b->addCurrentProgram ("From B", 0);
    EXPECT_EQ (b->getStore().getNumEntries(), 2);

    // A renames its entry: it reads B's addition first, and the right entry is renamed.
    a->getStore().rebuildView (LibraryStore::FilterMode::all);
    a->getStore().selectRow (0);
    // The file's time can equal the one A knows within the clock's resolution; its size differs.
    a->renameSelected ("A renamed", 0);
    auto c = rig.open();
    ASSERT_EQ (c->getStore().getNumEntries(), 2);
    EXPECT_EQ (c->getStore().entryName (0), "A renamed       ");
    EXPECT_EQ (c->getStore().entryName (1), "From B          ");

    // An entry deleted elsewhere is not deleted again in its place.
    b->getStore().rebuildView (LibraryStore::FilterMode::all);
    b->getStore().selectRow (1);
    c->getStore().rebuildView (LibraryStore::FilterMode::all);
    c->getStore().selectRow (1);
    c->deleteSelected();
    EXPECT_EQ (b->deleteSelected(), SaveResult::nothingToWrite);
    EXPECT_EQ (b->getStore().getNumEntries(), 1);
    EXPECT_EQ (rig.open()->getStore().entryName (0), "A renamed       ");
}

TEST (ProgramLibrary, TwoInstancesRenamingInTheSameSecondKeepBothRenames)
{
    LibraryRig rig;
    const auto two = libraryfile::make (entriesOf ({programWith (1, "First"), programWith (2, "Second")}));
    ASSERT_TRUE (rig.file.replaceWithData (two.getData(), two.getSize()));
    auto a = rig.open();
    auto b = rig.open();
    const auto readAt = rig.file.getLastModificationTime();

    a->getStore().selectRow (0);
    ASSERT_EQ (a->renameSelected ("A renamed", 0), SaveResult::written);
    // B's save follows within the clock's tick: the file has the time and the size B read.
    ASSERT_TRUE (rig.file.setLastModificationTime (readAt));
    b->getStore().selectRow (1);
    ASSERT_EQ (b->renameSelected ("B renamed", 0), SaveResult::written);

    auto c = rig.open();
    ASSERT_EQ (c->getStore().getNumEntries(), 2);
    EXPECT_EQ (c->getStore().entryName (0), "A renamed       ");
    EXPECT_EQ (c->getStore().entryName (1), "B renamed       ");
}

TEST (ProgramLibrary, ADamagedDefaultFileIsKeptAsideItsWholeEntriesKeptAndTheUserToldOnce)
{
    const auto entries = entriesOf ({programWith (1, "One"), programWith (2, "Two")});
    const auto whole = libraryfile::make (entries);
    struct Case
    {
        const char* what;
        std::function<bool (const juce::File&)> prepare;
        const char* toldWords;
        int entriesKept;
    };
    const Case cases[] = {
        {"cut inside its second entry",
         [&] (const juce::File& f) { return f.replaceWithData (whole.getData(), 13 + 256 + 100); },
         "is cut short", 1},
        {"junk without the header",
         [&] (const juce::File& f)
         {
             juce::MemoryBlock junk (600);
             for (size_t i = 0; i < junk.getSize(); ++i)
                 junk[i] = (char)(i * 13 + 5);
             return f.replaceWithData (junk.getData(), junk.getSize());
         },
         "is not a program library", 0},
        {"a named pipe in its place", makeNamedPipe, "is not a file", 0},
        {"a link to /dev/zero",
         [] (const juce::File& f)
         { return juce::File ("/dev/zero").exists() && juce::File ("/dev/zero").createSymbolicLink (f, true); },
         "is not a file", 0},
        {"a folder in its place", [] (const juce::File& f) { return f.getChildFile ("x").create().wasOk(); },
         "is not a file", 0},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        LibraryRig rig;
        if (!c.prepare (rig.file))
        {
            std::cout << "[ SKIPPED  ] " << c.what << ": cannot be made here\n";
            continue;
        }
        std::unique_ptr<ProgramLibrary> lib;
        EXPECT_TRUE (returnsWithin (1000, rig.file, [&] { lib = rig.open(); }));
        ASSERT_EQ (lib->getStore().getNumEntries(), c.entriesKept);
        ASSERT_EQ (rig.told.size(), 1) << rig.told.joinIntoString ("\n");
        EXPECT_TRUE (rig.told[0].startsWith ("The library file " + juce::String (c.toldWords))) << rig.told[0];

        juce::Array<juce::File> aside;
        for (const auto& entry : juce::RangedDirectoryIterator (rig.temp.folder, false, "*",
                                                                juce::File::findFilesAndDirectories))
            if (entry.getFile().getFileName().startsWith ("x4Lib.m_l."))
                aside.add (entry.getFile());
        ASSERT_EQ (aside.size(), 1);
        EXPECT_TRUE (rig.told[0].contains (aside[0].getFullPathName())) << "the user is told where";

        rig.pluginBank.setEditBuffer (programWith (9));
        EXPECT_EQ (lib->addCurrentProgram ("Added", 0), SaveResult::written);
        EXPECT_EQ (rig.told.size(), 1) << "told once";
        lib.reset();

        auto again = rig.open();
        EXPECT_EQ (again->getStore().getNumEntries(), c.entriesKept + 1);
        EXPECT_EQ (rig.told.size(), 1) << "nothing more to tell";
        EXPECT_EQ (libraryfile::shapeOf (contentsOf (rig.file).getData(), contentsOf (rig.file).getSize()),
                   libraryfile::Shape::whole);
    }
}

TEST (ProgramLibrary, StaleTemporaryFilesOfTheLibraryGoWhenItIsRead)
{
    LibraryRig rig;
    const auto stale = rig.temp.folder.getChildFile (".x4Lib.m_l.kelvo-tmp1a2b3c");
    const auto fresh = rig.temp.folder.getChildFile (".x4Lib.m_l.kelvo-tmp4d5e6f");
    ASSERT_TRUE (stale.replaceWithText ("left by a kill"));
    ASSERT_TRUE (stale.setLastModificationTime (juce::Time::getCurrentTime() - juce::RelativeTime::hours (1)));
    ASSERT_TRUE (fresh.replaceWithText ("another instance saving now"));
    rig.open();
    EXPECT_FALSE (stale.exists());
    EXPECT_TRUE (fresh.exists());
}

TEST (ProgramLibrary, ApplyHandsTheSelectedEntryOverAsAProgramChunk)
{
    LibraryRig rig;
    auto lib = rig.open();
    lib->applySelected();
    EXPECT_TRUE (rig.applied.empty());

    rig.pluginBank.setEditBuffer (programWith (7));
    lib->addCurrentProgram ("Apply me", 9);
    ASSERT_EQ (rig.applied.size(), 0u);
    lib->applySelected();
    ASSERT_EQ (rig.applied.size(), 1u);
    const auto record = readProgramChunk (rig.applied[0].getData(), rig.applied[0].getSize());
    ASSERT_TRUE (record.has_value());
    EXPECT_EQ (*record, lib->getStore().getEntryRecord (0));
}

TEST (ProgramLibrary, ImportRefusesAFileThatIsNotALibrary)
{
    LibraryRig rig;
    auto lib = rig.open();
    const auto entries = entriesOf ({programWith (1), programWith (2), programWith (1)});

    const auto good = rig.temp.folder.getChildFile ("good.m_l");
    const auto goodBytes = libraryfile::make (entries);
    good.replaceWithData (goodBytes.getData(), (size_t)goodBytes.getSize() - 13); // no trailer
    EXPECT_EQ (lib->stageLibraryFile (good), ProgramLibrary::ImportResult::staged);
    EXPECT_EQ (lib->getStore().getNumStaged(), 2);

    const auto bad = rig.temp.folder.getChildFile ("bank.syx");
    juce::MemoryBlock notLibrary (entries);
    notLibrary.insert ("\xf0\x01\x29\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00", 13, 0);
    bad.replaceWithData (notLibrary.getData(), notLibrary.getSize());
    EXPECT_EQ (lib->stageLibraryFile (bad), ProgramLibrary::ImportResult::notALibrary);
    EXPECT_EQ (lib->getStore().getNumStaged(), 0);
    EXPECT_EQ (ProgramLibrary::describe (ProgramLibrary::ImportResult::notALibrary, bad),
               "bank.syx is not a Mopho program library.");
    EXPECT_EQ (lib->stageLibraryFile (rig.temp.folder.getChildFile ("none.m_l")),
               ProgramLibrary::ImportResult::unreadable);

    // A named pipe chosen by mistake returns at once, unread.
    const auto pipe = rig.temp.folder.getChildFile ("pipe.m_l");
    if (makeNamedPipe (pipe))
    {
        ProgramLibrary::ImportResult result{};
        EXPECT_TRUE (returnsWithin (1000, pipe, [&] { result = lib->stageLibraryFile (pipe); }));
        EXPECT_EQ (result, ProgramLibrary::ImportResult::notAFile);
        EXPECT_EQ (ProgramLibrary::describe (result, pipe), "\"pipe.m_l\" is not a file.");
    }

    const auto empty = rig.temp.folder.getChildFile ("empty.m_l");
    const auto emptyBytes = libraryfile::make (nullptr, 0);
    empty.replaceWithData (emptyBytes.getData(), emptyBytes.getSize());
    EXPECT_EQ (lib->stageLibraryFile (empty), ProgramLibrary::ImportResult::nothingStaged);
}

TEST (ProgramLibrary, CategoryChooserAndImportCommit)
{
    LibraryRig rig;
    auto lib = rig.open();
    Bank_Program bank ("F1");
    bank.loadFactoryBank (0);
    EXPECT_EQ (lib->stageBank (bank), ProgramLibrary::ImportResult::staged);
    EXPECT_EQ (lib->commitImport (false), SaveResult::written);
    const auto n = lib->getStore().getNumEntries();
    EXPECT_GT (n, 100);

    lib->chooseCategory (bank.getProgramByte (0, program::categoryIndex));
    EXPECT_EQ (lib->getFilterLabel(), categoryName (bank.getProgramByte (0, program::categoryIndex)));
    EXPECT_EQ (lib->getStore().getRowEntry (0), 0);
    lib->chooseCategory (ProgramLibrary::listAllButton);
    EXPECT_EQ (lib->getFilterLabel(), "");
    EXPECT_EQ (lib->getStore().getNumRows(), n);

    EXPECT_EQ (rig.open()->getStore().getNumEntries(), n);
}
