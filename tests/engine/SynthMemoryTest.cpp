#include "link/EngineEventHub.h"
#include "link/MidiCntrState.h"
#include "link/SynthMemory.h"
#include "model/Categories.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
// Events are kept only while somebody listens.
struct QuietListener final : MidiCntrStateListener
{
    void midiCntrStateChanged (MidiCntrState&) override {}
};

// A memory of its own, beside an engine that only lends the hub something to name; every save is
// written down by group.
struct SynthMemoryTest : ::testing::Test
{
    TempFolder temp;
    VirtualRig rig;
    MidiCntrState engine{rig.makeDevices(), temp.folder};
    EngineEventHub hub{engine};
    QuietListener listener;
    std::vector<SynthMemory::Banks> saved;
    SynthMemory memory{hub, [this] (SynthMemory::Banks banks) { saved.push_back (banks); }};

    SynthMemoryTest() { hub.addListener (&listener); }
    ~SynthMemoryTest() override { hub.removeListener (&listener); }

    int bankEventsTaken()
    {
        std::vector<int32_t> events;
        hub.takeEvents (events);
        return (int)std::count (events.begin(), events.end(), event::bankContentsChanged);
    }
};

ProgramRecord soundNumbered (uint8_t n)
{
    auto record = initialProgram();
    record[20] = n;
    return record;
}
} // namespace

// Each whole-bank change saves the group its bank belongs to (an edit of F1..F4 that saved U1..U4
// would be lost at the next start) and tells the editor once; a place that is not there changes,
// saves and posts nothing.
TEST_F (SynthMemoryTest, BankChangesSaveTheirOwnGroupAndPlacesThatAreNotThereChangeNothing)
{
    using B = SynthMemory::Banks;
    struct Case
    {
        const char* what;
        std::function<void()> change;
        std::vector<B> expectedSaves;
    };
    const std::vector<Case> cases = {
        {"store into U2", [&] { EXPECT_TRUE (memory.storeProgram (1, 5, soundNumbered (1))); }, {B::user}},
        {"store into F3", [&] { EXPECT_TRUE (memory.storeProgram (6, 5, soundNumbered (2))); }, {B::factory}},
        {"initialise U4", [&] { memory.initialiseSynthBank (3); }, {B::user}},
        {"factory set into F1", [&] { memory.loadFactoryBankInto (4, 2); }, {B::factory}},
        {"category in F4", [&] { memory.setProgramCategory (7, 0, 3); }, {B::factory}},
        {"factory banks replaced", [&] { memory.factoryBanksReplaced (true); }, {B::factory}},
        {"store into bank 8", [&] { EXPECT_FALSE (memory.storeProgram (8, 0, soundNumbered (3))); }, {}},
        {"store at program 128", [&] { EXPECT_FALSE (memory.storeProgram (0, 128, soundNumbered (3))); }, {}},
        {"initialise bank -1", [&] { memory.initialiseSynthBank (-1); }, {}},
        {"category 26", [&] { memory.setProgramCategory (0, 0, category::count); }, {}},
    };
    for (const auto& c : cases)
    {
        saved.clear();
        bankEventsTaken();
        c.change();
        EXPECT_EQ (saved, c.expectedSaves) << c.what;
        EXPECT_EQ (bankEventsTaken(), c.expectedSaves.empty() ? 0 : 1) << c.what;
    }
    EXPECT_EQ (memory.getSynthBank (6)->getProgramRecord (5), soundNumbered (2));
    EXPECT_EQ (memory.getSynthBank (7)->getProgramRecord (0)[(size_t)program::categoryIndex], 3);
    EXPECT_TRUE (memory.factoryBanksMatchSynth.load());
}

// What the synth is known to hold is a copy taken when told, not a view of the local bank, and is
// kept for the user banks only.
TEST_F (SynthMemoryTest, WhatTheSynthHoldsIsACopyKeptForTheUserBanksOnly)
{
    memory.storeProgram (2, 7, soundNumbered (10));
    memory.takeUserBanksAsKnown();
    memory.storeProgram (2, 7, soundNumbered (11)); // edited here, not sent
    ASSERT_NE (memory.getKnownProgram (2, 7), nullptr);
    EXPECT_EQ (*memory.getKnownProgram (2, 7), soundNumbered (10));

    memory.takeLocalProgramAsKnown (2, 7); // sent now
    EXPECT_EQ (*memory.getKnownProgram (2, 7), soundNumbered (11));

    memory.forgetKnownProgram (2, 7);
    EXPECT_EQ (memory.getKnownProgram (2, 7), nullptr);
    ASSERT_NE (memory.getKnownProgram (2, 8), nullptr); // its neighbour is untouched

    memory.setKnownProgram (4, 0, soundNumbered (12));
    memory.takeLocalProgramAsKnown (5, 1);
    memory.setKnownProgram (0, 128, soundNumbered (12));
    EXPECT_EQ (memory.getKnownProgram (4, 0), nullptr);
    EXPECT_EQ (memory.getKnownProgram (5, 1), nullptr);
    EXPECT_EQ (memory.getKnownProgram (0, 128), nullptr);
    EXPECT_EQ (memory.getKnownProgram (-1, 0), nullptr);
}
