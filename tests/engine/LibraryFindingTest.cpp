#include "librarian/LibraryFile.h"
#include "librarian/LibraryMarks.h"
#include "librarian/LibraryStore.h"
#include "librarian/ProgramLibrary.h"
#include "librarian/SoundSimilarity.h"
#include "support/LibraryRig.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
using Mark = LibraryStore::Mark;

/** A record with the given name and category whose listed bytes are set to the given values. */
ProgramRecord sound (const ProgramRecord& base, std::initializer_list<std::pair<int, int>> changes,
                     const char* name = "Sound", int category = 0)
{
    auto r = base;
    for (const auto& [index, value] : changes)
        r[(size_t)index] = (uint8_t)value;
    r[program::categoryIndex] = (uint8_t)category;
    const auto bytes = encodeProgramName (name);
    std::copy (bytes.begin(), bytes.end(), r.begin() + program::nameOffset);
    return r;
}

void fill (LibraryStore& store, const std::vector<ProgramRecord>& records)
{
    store.replaceData (entriesOf (records));
    store.rebuildView (LibraryStore::FilterMode::all);
}

juce::StringArray listedNames (const LibraryStore& store)
{
    juce::StringArray names;
    for (int r = 0; r < store.getNumRows(); ++r)
        names.add (store.entryName (store.getRowEntry (r)).trimEnd());
    return names;
}

// Parameter indices the hand-made sounds below change.
constexpr int osc1Pitch = 0, osc1Fine = 1, osc1Shape = 2, osc2Shape = 8, slop = 14, filterCutoff = 20,
              filterAttack = 28, filterDecay = 29, mod1Source = 71, mod1Amount = 72, mod1Dest = 73;
constexpr int silentAmount = 127; // a bipolar amount's zero
} // namespace

//==============================================================================
TEST (SimilarSounds, NearestComeFirstAndWhatTheEarHearsWeighsMost)
{
    const auto base = sound (initialProgram(),
                             {{osc1Pitch, 24},
                              {osc1Fine, 50},
                              {osc1Shape, 1},
                              {osc2Shape, 1},
                              {slop, 0},
                              {filterCutoff, 100},
                              {filterAttack, 0},
                              {filterDecay, 60},
                              {mod1Source, 0},
                              {mod1Amount, silentAmount},
                              {mod1Dest, 0}},
                             "Base");
    const std::vector<ProgramRecord> library = {
        sound (base, {{osc1Shape, 103}, {osc2Shape, 103}, {filterCutoff, 0}, {filterAttack, 127}, {filterDecay, 0}},
               "Far"),
        sound (base, {{osc1Pitch, 48}}, "Pitch"),                                   // two octaves up
        sound (base, {{mod1Source, 3}, {mod1Amount, 167}, {mod1Dest, 5}}, "Route"), // a new modulation
        sound (base, {{osc1Fine, 100}, {slop, 5}}, "Fine"),       // fine tuning and slop only
        sound (base, {{mod1Source, 4}, {mod1Dest, 9}}, "Silent"), // a slot routed at zero amount
        sound (base, {{filterCutoff, 120}}, "Cutoff"),                  // the filter a little brighter
        sound (base, {}, "Renamed", 9),                           // the same sound, renamed
        sound (base, {{osc1Shape, 2}}, "Triangle"), // a triangle where the saw was: the next value up
    };

    LibraryStore store;
    fill (store, library);
    const auto names = [&store] (const std::vector<SoundSimilarity::Neighbour>& found)
    {
        juce::StringArray list;
        for (const auto& n : found)
            list.add (store.entryName (n.entry).trimEnd());
        return list.joinIntoString (" ");
    };

    // A silent slot and a new name cost nothing; fine detail less than a brighter filter, that less
    // than a pitch two octaves up, that less than another wave, that less than a new modulation route,
    // and changed waves and filter most.
    const auto all = store.findSimilar (base.data(), 10);
    EXPECT_EQ (names (all), "Silent Renamed Fine Cutoff Pitch Triangle Route Far");
    EXPECT_EQ (all[0].distance, 0.0f);
    for (size_t k = 1; k < all.size(); ++k)
        EXPECT_LE (all[k - 1].distance, all[k].distance);

    // The entry of the sound itself left out, and no more than asked for.
    EXPECT_EQ (names (store.findSimilar (base.data(), 3, 4)), "Renamed Fine Cutoff");

    // The distance is symmetric and ignores name and category.
    EXPECT_FLOAT_EQ (SoundSimilarity::distance (library[1].data(), library[5].data()),
                     SoundSimilarity::distance (library[5].data(), library[1].data()));
    EXPECT_EQ (SoundSimilarity::distance (base.data(), library[6].data()), 0.0f);

    // Listed in that order until the next rebuild, and a changed library is searched anew.
    store.listSimilar (library[5].data(), 2, 5);
    EXPECT_TRUE (store.isListingSimilar());
    EXPECT_EQ (listedNames (store).joinIntoString (" "), "Silent Renamed");
    store.addProgram ("Cutoff twin", library[5]);
    EXPECT_FALSE (store.isListingSimilar());
    EXPECT_EQ (names (store.findSimilar (library[5].data(), 1, 5)), "Cutoff twin");
}

//==============================================================================
TEST (LibraryStore, SortsByNameCategoryOrWhenAddedAndSearchesInEach)
{
    LibraryStore store;
    fill (store,
          {programWith (1, "Zeta Pad", 2), programWith (2, "alpha Lead", 1), programWith (3, "Beta pad", 2),
           programWith (4, "Pad Gamma", 0), programWith (5, "Alpha Bass", 1)});

    using Order = LibraryStore::SortOrder;
    struct Case
    {
        Order order;
        const char* search;
        const char* listed;
    };
    const Case cases[] = {
        {Order::added, "", "Zeta Pad|alpha Lead|Beta pad|Pad Gamma|Alpha Bass"},
        {Order::name, "", "Alpha Bass|alpha Lead|Beta pad|Pad Gamma|Zeta Pad"},
        {Order::category, "", "Pad Gamma|Alpha Bass|alpha Lead|Beta pad|Zeta Pad"},
        {Order::added, "pad", "Zeta Pad|Beta pad|Pad Gamma"},
        {Order::name, "pad", "Beta pad|Pad Gamma|Zeta Pad"},
        {Order::category, "PAD", "Pad Gamma|Beta pad|Zeta Pad"},
        {Order::name, "alpha", "Alpha Bass|alpha Lead"},
        {Order::category, "x", ""},
    };
    for (const auto& c : cases)
    {
        store.setSortOrder (c.order);
        store.setSearchText (c.search);
        EXPECT_EQ (listedNames (store).joinIntoString ("|"), c.listed) << (int)c.order << " " << c.search;
    }

    // With a category chosen, sorted by name; a new entry takes its place in the order and is selected.
    store.setSearchText ({});
    store.setFilterCategory (2);
    store.setSortOrder (Order::name);
    store.rebuildView (LibraryStore::FilterMode::category);
    EXPECT_EQ (listedNames (store).joinIntoString ("|"), "Beta pad|Zeta Pad");
    store.addProgram ("Delta Pad", programWith (6, "", 2));
    EXPECT_EQ (listedNames (store).joinIntoString ("|"), "Beta pad|Delta Pad|Zeta Pad");
    EXPECT_EQ (store.getSelectedRow(), 1);
    EXPECT_EQ (store.entryName (store.getSelectedEntry()).trimEnd(), "Delta Pad");
}

//==============================================================================
TEST (LibraryStore, DuplicatesBySoundGroupRenamedCopies)
{
    const std::vector<ProgramRecord> records = {
        programWith (1, "Bass", 0), programWith (2, "Pad", 0),   programWith (1, "Bass Copy", 3),
        programWith (3, "Lead", 0), programWith (2, "Pad 2", 7), programWith (1, "Zzz", 1),
        programWith (4, "Bass", 0), // the same name, another sound: no duplicate
    };
    LibraryStore store;
    fill (store, records);

    EXPECT_EQ (store.findDuplicateGroups(), (std::vector<std::vector<int>>{{0, 2, 5}, {1, 4}}));

    // Each group together, ordered as its first entry is in the sort order.
    store.setDuplicatesOnly (true);
    EXPECT_EQ (listedEntries (store), (std::vector<int>{0, 2, 5, 1, 4}));
    store.setSortOrder (LibraryStore::SortOrder::category);
    EXPECT_EQ (listedEntries (store), (std::vector<int>{0, 5, 2, 1, 4}));
    // The search applies first: a group shows the copies it passes, and none when one is left.
    store.setSearchText ("bass");
    EXPECT_EQ (listedEntries (store), (std::vector<int>{0, 2}));
    store.setSearchText ("zzz");
    EXPECT_EQ (listedEntries (store), (std::vector<int>{}));
    store.setSearchText ("pad");
    EXPECT_EQ (listedEntries (store), (std::vector<int>{1, 4}));
}

TEST (ProgramLibrary, KeepingOneOfEachSoundKeepsTheFirstAndIsSaved)
{
    LibraryRig rig;
    auto lib = rig.open();
    auto& store = lib->getStore();
    store.stageEntries (
        entriesOf ({programWith (1, "Bass", 0), programWith (2, "Pad", 0), programWith (1, "Bass Copy", 3),
                    programWith (2, "Pad 2", 7), programWith (3, "Lead", 0)}),
        0);
    lib->commitImport (false);

    EXPECT_EQ (lib->keepOneOfEachSound(), 2);
    EXPECT_EQ (lib->keepOneOfEachSound(), 0);
    auto again = rig.open();
    ASSERT_EQ (again->getStore().getNumEntries(), 3);
    EXPECT_EQ (listedNames (again->getStore()).joinIntoString ("|"), "Bass|Pad|Lead");
    EXPECT_TRUE (again->getStore().findDuplicateGroups().empty());
}

//==============================================================================
TEST (ProgramLibrary, MarksFollowTheSoundThroughRenamesAndMovesAndAreKeptApart)
{
    LibraryRig rig;
    auto lib = rig.open();
    auto& store = lib->getStore();
    const std::vector<ProgramRecord> records = {programWith (1, "Star"), programWith (2, "Hide"),
                                                programWith (3, "Plain")};
    store.stageEntries (entriesOf (records), 0);
    lib->commitImport (false);

    EXPECT_TRUE (lib->setMark (0, Mark::favourite, true));
    EXPECT_TRUE (lib->toggleMark (1, Mark::hidden));
    EXPECT_EQ (listedEntries (store), (std::vector<int>{0, 2})) << "a hidden entry is not listed";

    // Renamed and given another category: still a favourite.
    store.selectRow (0);
    lib->renameSelected ("Renamed Star", 4);
    EXPECT_TRUE (store.hasMark (0, Mark::favourite));

    // The library file keeps its own format: the entries and nothing else.
    auto renamed = records;
    renamed[0] = store.getEntryRecord (0);
    EXPECT_EQ (contentsOf (rig.file), libraryfile::make (entriesOf (renamed)));
    EXPECT_TRUE (ProgramLibrary::marksFileIn (rig.temp.folder).existsAsFile());

    // Another session, with the entries in another order: the marks are where the sounds went.
    auto next = rig.open();
    auto& moved = next->getStore();
    moved.stageEntries (entriesOf ({renamed[2], renamed[1], renamed[0]}), 0);
    next->commitImport (false);
    EXPECT_TRUE (moved.hasMark (2, Mark::favourite));
    EXPECT_TRUE (moved.hasMark (1, Mark::hidden));
    EXPECT_FALSE (moved.hasMark (0, Mark::favourite) || moved.hasMark (0, Mark::hidden));
    EXPECT_EQ (listedEntries (moved), (std::vector<int>{0, 2}));
    moved.setFavouritesOnly (true);
    EXPECT_EQ (listedEntries (moved), (std::vector<int>{2}));
    moved.setFavouritesOnly (false);
    moved.setShowHidden (true);
    EXPECT_EQ (listedEntries (moved), (std::vector<int>{0, 1, 2}));

    // Unstarring under the favourites filter takes the row away; elsewhere the rows stay.
    moved.setFavouritesOnly (true);
    moved.selectRow (0);
    next->setMark (2, Mark::favourite, false);
    EXPECT_EQ (moved.getNumRows(), 0);
    EXPECT_TRUE (rig.told.isEmpty()) << rig.told.joinIntoString ("\n").toStdString();
}

TEST (ProgramLibrary, TwoInstancesKeepEachOthersMarks)
{
    LibraryRig rig;
    auto a = rig.open();
    a->getStore().stageEntries (entriesOf ({programWith (1), programWith (2), programWith (3)}), 0);
    a->commitImport (false);
    auto b = rig.open();

    a->setMark (0, Mark::favourite, true);
    b->setMark (1, Mark::hidden, true); // B never read A's star
    b->setMark (2, Mark::favourite, true);
    a->setMark (2, Mark::hidden, true);

    auto c = rig.open();
    const auto& s = c->getStore();
    EXPECT_TRUE (s.hasMark (0, Mark::favourite));
    EXPECT_TRUE (s.hasMark (1, Mark::hidden));
    EXPECT_TRUE (s.hasMark (2, Mark::favourite) && s.hasMark (2, Mark::hidden));
    EXPECT_EQ (s.getMarks().count (Mark::favourite), 2);
    EXPECT_EQ (s.getMarks().count (Mark::hidden), 2);
}

TEST (ProgramLibrary, ADamagedMarksFileIsKeptAsideAndTheUserToldOnce)
{
    // Empty, marks without their header, not text, and a named pipe in the file's place (never read).
    const char* const pipe = nullptr;
    for (const char* content : {"", "favourite 0123456789abcdef\n", "\x01\x02 not text at all", pipe})
    {
        LibraryRig rig;
        const auto marksFile = ProgramLibrary::marksFileIn (rig.temp.folder);
        if (content != pipe)
            marksFile.replaceWithText (content);
        else if (!makeNamedPipe (marksFile))
            continue;
        std::unique_ptr<ProgramLibrary> lib;
        ASSERT_TRUE (returnsWithin (2000, marksFile, [&] { lib = rig.open(); }));
        const auto what = juce::String (content != pipe ? content : "a pipe").toStdString();
        EXPECT_EQ (rig.told.size(), 1) << what;
        EXPECT_EQ (lib->getStore().getMarks().count (Mark::favourite), 0);
        EXPECT_FALSE (marksFile.exists()) << "set aside: " << what;
        EXPECT_EQ (
            rig.temp.folder.findChildFiles (juce::File::findFilesAndDirectories, false, "x4LibMarks.txt.*")
                .size(),
            1);

        // The next mark is written to a good file.
        lib->getStore().stageEntries (entriesOf ({programWith (1)}), 0);
        lib->commitImport (false);
        EXPECT_TRUE (lib->setMark (0, Mark::favourite, true));
        EXPECT_TRUE (rig.open()->getStore().hasMark (0, Mark::favourite));
        EXPECT_EQ (rig.told.size(), 1);
    }
}

TEST (LibraryMarks, FileReadsBackAndSkipsWhatItDoesNotKnow)
{
    LibraryMarks marks;
    marks.set (Mark::favourite, 0x0123456789abcdefull, true);
    marks.set (Mark::favourite, 0xfedcba9876543210ull, true);
    marks.set (Mark::hidden, 7, true);
    auto file = marks.toFile();
    file.append ("colour 0123456789abcdef\nfavourite xyz\n", 35);

    LibraryMarks read;
    ASSERT_TRUE (read.fromFile (file));
    EXPECT_TRUE (read == marks);
    EXPECT_FALSE (read.fromFile (juce::MemoryBlock ("favourite 0000000000000007\n", 27)));
}
