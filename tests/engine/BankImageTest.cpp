#include "model/BankImage.h"
#include "model/Bank_Program.h"
#include "model/Categories.h"
#include "model/DSI_Program.h"
#include "model/ProgramPacking.h"
#include "model/SynthBanks.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace kelvo;

namespace
{
/** A record that tells programs apart: every byte random, so bytes 200..255 are covered too. */
ProgramRecord randomRecord (std::mt19937& rng)
{
    ProgramRecord r;
    for (auto& b : r)
        b = (uint8_t) rng();
    return r;
}

juce::MemoryBlock dumpsOf (const std::vector<ProgramRecord>& records, int bank = 0)
{
    juce::MemoryBlock block;
    for (size_t i = 0; i < records.size(); ++i)
        block.append (makeProgramDump (bank, (int) i & 0x7f, records[i]).getData(), (size_t) sysex::programDumpSize);
    return block;
}

std::vector<ProgramRecord> randomRecords (size_t count, unsigned seed)
{
    std::mt19937 rng (seed);
    std::vector<ProgramRecord> records;
    for (size_t i = 0; i < count; ++i)
        records.push_back (randomRecord (rng));
    return records;
}
} // namespace

TEST (BankDumps, ABlockReplacesOnlyTheProgramsItHolds)
{
    const auto records = randomRecords (2, 7);
    Bank_Program bank ("b");
    bank.initialise();
    bank.loadFromDumps (dumpsOf (records, 3)); // 600 bytes; the bank byte inside plays no part

    EXPECT_EQ (bank.getProgramRecord (0), records[0]);
    EXPECT_EQ (bank.getProgramRecord (1), records[1]);
    for (int n = 2; n < 128; ++n)
        ASSERT_EQ (bank.getProgramRecord (n), initialProgram()) << n;

    // A block shorter than one dump changes nothing; a trailing partial dump is ignored.
    auto withTail = dumpsOf (randomRecords (1, 8));
    withTail.append (dumpsOf (randomRecords (1, 9)).getData(), 299);
    bank.loadFromDumps (juce::MemoryBlock (299, true));
    EXPECT_EQ (bank.getProgramRecord (0), records[0]);
    bank.loadFromDumps (withTail);
    EXPECT_EQ (bank.getProgramRecord (0), randomRecords (1, 8)[0]);
    EXPECT_EQ (bank.getProgramRecord (1), records[1]);
}

TEST (BankDumps, AWholeBankRebuildsEvenAnEmptyBankAndNeverGrowsPast128)
{
    const auto records = randomRecords (130, 11);
    const std::vector<ProgramRecord> first128 (records.begin(), records.begin() + 128);

    Bank_Program empty ("empty");
    empty.loadFromDumps (dumpsOf (first128)); // 38400 bytes
    EXPECT_EQ (empty.getSize(), program::bankSize);
    for (int n = 0; n < 128; ++n)
        ASSERT_EQ (empty.getProgramRecord (n), records[(size_t) n]) << n;

    // 130 dumps: programs 0..127 take the first 128, the rest are ignored.
    Bank_Program bank ("b");
    bank.initialise();
    bank.loadFromDumps (dumpsOf (records));
    EXPECT_EQ (bank.getSize(), program::bankSize);
    for (int n = 0; n < 128; ++n)
        ASSERT_EQ (bank.getProgramRecord (n), records[(size_t) n]) << n;
}

TEST (BankDumps, SplittingSkipsJunkAndIncompleteDumps)
{
    const auto records = randomRecords (3, 21);
    const auto dumps = dumpsOf (records);
    const auto* d = static_cast<const uint8_t*> (dumps.getData());

    juce::MemoryBlock file;
    const uint8_t junk[] = { 0x00, 0xf0, 0x41, 0xf7, 0xf0 }; // a lone F0 must not start a dump
    file.append (junk, sizeof (junk));
    file.append (d, 300);
    file.append (junk, 2);
    file.append (d + 300, 600);
    file.append (d, 150); // cut off

    const auto split = splitProgramDumps (file);
    ASSERT_EQ (split.count, 3);
    EXPECT_EQ (split.dumps, dumps);

    EXPECT_EQ (splitProgramDumps (dumps.getData(), 299).count, 0);
    EXPECT_EQ (splitProgramDumps (nullptr, 1000).count, 0);

    Bank_Program bank ("b");
    bank.initialise();
    bank.loadFromDumps (split.dumps);
    EXPECT_EQ (bank.getProgramRecord (2), records[2]);
}

TEST (BankDumps, EditBufferDumpOfAProgram)
{
    const auto record = randomRecords (1, 5)[0];
    Bank_Program bank ("b");
    bank.initialise();
    bank.setProgram (9, record);

    const auto dump = bank.makeEditBufferDumpOf (9);
    EXPECT_EQ (dump, makeEditBufferDump (record));
    DSI_Program back;
    ASSERT_TRUE (back.setFromBlock (dump));
    EXPECT_EQ (back.getRecord(), record);
}

TEST (BankImages, BlocksAreReadOnlyWhenWholeInsideTheImage)
{
    const auto records = randomRecords (4 * 128, 31);
    std::vector<juce::MemoryBlock> banks (4);
    for (size_t i = 0; i < records.size(); ++i)
        banks[i / 128].append (records[i].data(), records[i].size());

    const auto image = makeBankImage (bankimage::dataFileHeader, banks);
    ASSERT_EQ (image.getSize(), 131099u);
    EXPECT_EQ (image.toString().substring (0, 14), "*Mopho  Data >");
    EXPECT_EQ (juce::String::fromUTF8 (static_cast<const char*> (image.getData()) + 131086, 13), "< Mopho  Data");
    EXPECT_EQ (std::memcmp (static_cast<const uint8_t*> (image.getData()) + 98318 + 5 * 256, records[3 * 128 + 5].data(), 256), 0);

    Bank_Program bank ("b");
    bank.initialise();
    bank.loadFromDataImage (2, image);
    EXPECT_EQ (bank.getProgramRecord (0), records[256]);
    EXPECT_EQ (bank.getProgramRecord (127), records[383]);

    // One byte short of block 3: it is not read at all, block 2 still is.
    Bank_Program u4 ("u4"), u3 ("u3");
    u4.initialise();
    u4.loadFromDataImage (3, image.getData(), 131085);
    EXPECT_EQ (u4.getProgramRecord (127), initialProgram());
    u3.loadFromDataImage (2, image.getData(), 131085);
    EXPECT_EQ (u3.getProgramRecord (127), records[383]);

    u4.loadFromDataImage (4, image); // no such block
    EXPECT_EQ (u4.getProgramRecord (0), initialProgram());
}

TEST (FactoryImage, FourBanksOf512DistinctSoundProgramsInRange)
{
    ASSERT_EQ (factoryImageSize(), bankimage::factoryImageSize);
    const auto* image = factoryImageData();
    EXPECT_EQ (juce::String::fromUTF8 ((const char*) image, 13), "Mopho  Data >");
    EXPECT_EQ (juce::String::fromUTF8 ((const char*) image + 13 + 4 * 32768, 13), "< Mopho  Data");

    const ParameterTable table;
    std::set<ProgramRecord> distinct;
    std::set<juce::String> names;
    std::set<int> categories;
    for (int n = 0; n < synthbanks::numFactoryBanks; ++n)
    {
        Bank_Program bank ("F");
        bank.loadFactoryBank (n);
        ASSERT_EQ (bank.getSize(), program::bankSize);
        for (int p = 0; p < 128; ++p)
        {
            // Through a dump and back, as the programs travel to the synth.
            DSI_Program program;
            ASSERT_TRUE (program.setFromBlock (bank.makeEditBufferDumpOf (p)));
            const auto r = program.getRecord();
            const auto where = "bank " + std::to_string (n) + " program " + std::to_string (p);

            for (int i = 0; i < program::nameOffset; ++i)
                ASSERT_TRUE (r[(size_t) i] >= table.getMin (i) && r[(size_t) i] <= table.getMax (i)) << where << " index " << i;
            ASSERT_LT (r[program::categoryIndex], category::count) << where;
            for (int i = program::nameOffset; i < program::nameOffset + program::nameLength; ++i)
                ASSERT_TRUE (r[(size_t) i] >= 0x20 && r[(size_t) i] <= 0x7e) << where;
            ASSERT_TRUE (program.getName().trim().isNotEmpty()) << where;
            // What holds no parameter is the initial program's.
            ASSERT_TRUE (std::equal (r.begin() + 200, r.end(), initialProgram().begin() + 200)) << where;
            for (int i : { 99, 100, 111, 112, 113, 114, 115, 116, 118, 119 })
                ASSERT_EQ (r[(size_t) i], initialProgram()[(size_t) i]) << where << " index " << i;

            // Sequences and arpeggios play as their category says.
            if (r[program::categoryIndex] == 20)
            {
                ASSERT_EQ (r[106], 1) << where << ": a sequence with the sequencer off";
            }
            if (r[program::categoryIndex] == 25)
            {
                ASSERT_EQ (r[104], 1) << where << ": an arpeggio with the arpeggiator off";
            }

            distinct.insert (r);
            names.insert (program.getName());
            categories.insert (r[program::categoryIndex]);
        }
    }
    EXPECT_EQ (distinct.size(), 512u);
    EXPECT_EQ (names.size(), 512u);
    EXPECT_GE (categories.size(), 20u); // a real spread of sounds, not one archetype
}
