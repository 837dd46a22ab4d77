#include "files/FileMan.h"
#include "model/Bank_Program.h"
#include "model/ProgramPacking.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#if JUCE_LINUX
#include <sys/fsuid.h>
#include <unistd.h>
#endif

using namespace kelvo;
using namespace kelvo::test;

namespace
{
ProgramRecord namedProgram (const juce::String& name, uint8_t seed)
{
    auto r = initialProgram();
    for (int i = 0; i < 184; ++i)
        r[(size_t)i] = (uint8_t)((i * 7 + seed) % 128);
    const auto n = encodeProgramName (name);
    std::copy (n.begin(), n.end(), r.begin() + program::nameOffset);
    return r;
}

juce::MemoryBlock concat (std::initializer_list<juce::MemoryBlock> parts)
{
    juce::MemoryBlock all;
    for (const auto& p : parts)
        all.append (p.getData(), p.getSize());
    return all;
}

juce::MemoryBlock text (const char* s)
{
    return {s, strlen (s)};
}

juce::File write (const TempFolder& t, const char* name, const juce::MemoryBlock& content)
{
    auto f = t.folder.getChildFile (name);
    f.replaceWithData (content.getData(), content.getSize());
    return f;
}

/** Bank b's programs, each a program of its own. */
std::unique_ptr<Bank_Program> makeBank (uint8_t seed)
{
    auto bank = std::make_unique<Bank_Program> ("test");
    bank->initialise();
    for (int n = 0; n < 128; ++n)
        bank->setProgram (n, namedProgram ("P" + juce::String (n), (uint8_t)(seed + n)));
    return bank;
}

#if JUCE_LINUX
/** Write permission checks apply for the scope even when the tests run as root. */
struct WithoutRootFileAccess
{
    WithoutRootFileAccess()
    {
        if (geteuid() == 0)
            setfsuid (65534);
    }
    ~WithoutRootFileAccess()
    {
        if (geteuid() == 0)
            setfsuid (0);
    }
};
#endif
} // namespace

TEST (FileMan, DialogTypesTitlesAndPatterns)
{
    struct Row
    {
        int type;
        const char* title;
        const char* filter;
    };
    const Row rows[] = {
        {1, "Load Single Mopho Program", "*.m_p;*.syx"},
        {101, "Save Mopho Program", "*.m_p;*.syx"},
        {3, "Load Mopho Program Bank", "*.m_b;*.syx"},
        {103, "Save Mopho Program Bank", "*.m_b;*.syx"},
        {4, "Load Program Library", "*.m_l"},
        {104, "Save Mopho Program Library", "*.m_l"},
        {10, "Load FX Preset Bank", "*.fxb"},
        {110, "Save FX Preset Bank", "*.fxb"},
        {11, "Load FX Preset", "*.fxp"},
        {111, "Save FX Preset", "*.fxp"},
        {2, "", ""},
        {0, "", ""},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.type);
        EXPECT_EQ (FileMan::dialogType (row.type).title, row.title);
        EXPECT_EQ (FileMan::filterText (row.type), row.filter);
    }
    // One remembered folder a kind, shared by its open and save dialogs.
    EXPECT_EQ (FileMan::folderSetting (1), FileMan::folderSetting (101));
    EXPECT_NE (FileMan::folderSetting (1), FileMan::folderSetting (3));
    EXPECT_EQ (FileMan::folderSetting (7), -1);
}

TEST (FileMan, SavedNamesAreCompletedAndMadeLegal)
{
    const auto dir = juce::File::getSpecialLocation (juce::File::tempDirectory);
    struct Row
    {
        int type;
        const char* picked;
        const char* stored;
    };
    const Row rows[] = {
        {104, "x4Lib", "x4Lib.m_l"}, {104, "mine.l", "mine.l.m_l"}, {104, "mine.m_l", "mine.m_l"},
        {101, "Bass", "Bass.m_p"},   {101, "Bass.syx", "Bass.syx"}, {103, "all", "all.m_b"},
        {110, "set", "set.fxb"},     {111, "one.fxp", "one.fxp"},   {7, "odd", "odd"},
        // A dot inside a name is no extension of the kind saved.
        {101, "Arp. Bass", "Arp. Bass.m_p"}, {101, "Pad v1.2", "Pad v1.2.m_p"}, {101, "LOUD.SYX", "LOUD.SYX"},
        {103, "Set.m_p", "Set.m_p.m_b"},
    };
    for (const auto& row : rows)
        EXPECT_EQ (FileMan::completeExtension (dir.getChildFile (row.picked), row.type),
                   dir.getChildFile (row.stored))
            << row.picked;

    struct Name
    {
        const char* program;
        const char* file;
    };
    const Name names[] = {{"Bass            ", "Bass"},
                          {"                ", "Untitled"},
                          {"", "Untitled"},
                          {"Lead/Pad:1?      ", "LeadPad1"},
                          {"  Wide Pad      ", "Wide Pad"}};
    for (const auto& n : names)
        EXPECT_EQ (FileMan::suggestedFileName (n.program), n.file) << n.program;
}

TEST (FileMan, ProgramFileIsOneEditBufferDumpAndReadsBack)
{
    TempFolder t;
    const auto record = namedProgram ("Bass            ", 3);
    const auto file = t.folder.getChildFile (FileMan::suggestedFileName ("Bass            ") + ".m_p");
    ASSERT_TRUE (FileMan::saveSingleProgram (file, makeEditBufferDump (record)));

    const auto bytes = contentsOf (file);
    ASSERT_EQ (bytes.getSize(), 298u);
    const auto* b = static_cast<const uint8_t*> (bytes.getData());
    EXPECT_EQ ((std::vector<uint8_t> (b, b + 4)), (std::vector<uint8_t>{0xf0, 0x01, 0x29, 0x03}));
    EXPECT_EQ (b[297], 0xf7);
    EXPECT_EQ (file.getFileName(), "Bass.m_p");

    FileMan files;
    ASSERT_EQ (files.loadSingleProgram (file), FileMan::ReadStatus::ok);
    EXPECT_EQ (files.getLoadedProgram(), record);

    // Only a whole edit-buffer dump is written.
    EXPECT_FALSE (FileMan::saveSingleProgram (t.folder.getChildFile ("short.m_p"), toBlock (record)));
    EXPECT_FALSE (t.folder.getChildFile ("short.m_p").exists());
}

TEST (FileMan, ProgramFilesAreReadFromTheirFirstMessageOnly)
{
    TempFolder t;
    const auto a = namedProgram ("First", 1), b = namedProgram ("Second", 2);
    auto wrongLength = makeProgramDump (0, 0, a);
    wrongLength.removeSection (10, 1); // 299 bytes
    juce::MemoryBlock foreign (256, true);
    static_cast<uint8_t*> (foreign.getData())[0] = 0xf0;
    static_cast<uint8_t*> (foreign.getData())[255] = 0xf7;

    struct Row
    {
        const char* name;
        juce::MemoryBlock content;
        FileMan::ReadStatus status;
    };
    const Row rows[] = {
        {"header then program dump", concat ({text ("Mopho program\r\n"), makeProgramDump (2, 9, a)}),
         FileMan::ReadStatus::ok},
        {"edit buffer then more",
         concat ({makeEditBufferDump (a), makeEditBufferDump (b), makeProgramDump (0, 1, b)}),
         FileMan::ReadStatus::ok},
        {"299-byte message", concat ({wrongLength, makeProgramDump (0, 0, b)}),
         FileMan::ReadStatus::notUsable},
        {"another device's 256 bytes", concat ({foreign, makeEditBufferDump (b)}),
         FileMan::ReadStatus::notUsable},
        {"no end byte", text ("\xf0\x01\x29\x03 and no more bytes"), FileMan::ReadStatus::notUsable},
        {"nine bytes", text ("\xf0\x01\x29\x03\x00\x00\x00\x00\xf7"), FileMan::ReadStatus::notUsable},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.name);
        FileMan files;
        EXPECT_EQ (files.loadSingleProgram (write (t, "p.syx", row.content)), row.status);
        // What was refused leaves the loaded program as it was.
        EXPECT_EQ (files.getLoadedProgram(), row.status == FileMan::ReadStatus::ok ? a : initialProgram());
    }

    FileMan files;
    EXPECT_EQ (files.loadSingleProgram (t.folder.getChildFile ("missing.m_p")), FileMan::ReadStatus::missing);
}

TEST (FileMan, BankFileIs128ProgramDumpsAndReadsBack)
{
    TempFolder t;
    const auto bank = makeBank (5);
    const auto file = t.folder.getChildFile ("U2.m_b");
    ASSERT_TRUE (FileMan::saveProgramBank (file, *bank, 1));

    const auto bytes = contentsOf (file);
    ASSERT_EQ (bytes.getSize(), 38400u);
    const auto* b = static_cast<const uint8_t*> (bytes.getData());
    for (int n = 0; n < 128; ++n)
    {
        const auto* dump = b + 300 * n;
        ASSERT_EQ ((std::vector<uint8_t> (dump, dump + 6)),
                   (std::vector<uint8_t>{0xf0, 0x01, 0x29, 0x02, 1, (uint8_t)n}))
            << n;
        ASSERT_EQ (dump[299], 0xf7);
    }

    FileMan files;
    ASSERT_EQ (files.loadProgramBank (file), FileMan::ReadStatus::ok);
    EXPECT_EQ (files.getLoadedDumps().count, 128);
    Bank_Program copy ("copy");
    copy.initialise();
    copy.loadFromDumps (files.getLoadedDumps().dumps);
    EXPECT_EQ (copy.getAllPrograms(), bank->getAllPrograms());
}

TEST (FileMan, BankFilesGiveAtMostOneBank)
{
    TempFolder t;
    const auto u1 = makeBank (1), u2 = makeBank (40);

    // All four banks in one file: the first 128 dumps fill the bank.
    juce::MemoryBlock fourBanks;
    for (int i = 0; i < 4; ++i)
        fourBanks.append (FileMan::makeBankFile (i == 0 ? *u1 : *u2, i).getData(), 38400);
    FileMan files;
    ASSERT_EQ (files.loadProgramBank (write (t, "all.syx", fourBanks)), FileMan::ReadStatus::ok);
    EXPECT_EQ (files.getLoadedDumps().count, 128);
    EXPECT_EQ (files.getLoadedDumps().dumps, FileMan::makeBankFile (*u1, 0));
    // Every dump is still there for whoever takes them all, and what was left out can be told.
    EXPECT_EQ (files.getAllDumps().count, 512);
    EXPECT_EQ (files.getAllDumps().dumps, fourBanks);
    EXPECT_EQ (FileMan::describeFirstBankTaken (juce::File ("/x/all.syx"), 512),
               "all.syx holds 512 programs: programs 1-128 were taken, the other 384 were left out.");
    EXPECT_EQ (FileMan::describeFirstBankTaken (juce::File ("/x/all.syx"), 128), "");

    // 127 dumps with stray bytes between them.
    juce::MemoryBlock stray;
    for (int n = 0; n < 127; ++n)
    {
        stray.append (makeProgramDump (0, n, u2->getProgramRecord (n)).getData(), 300);
        stray.append ("\x01\x02", 2);
    }
    ASSERT_EQ (files.loadProgramBank (write (t, "127.syx", stray)), FileMan::ReadStatus::ok);
    EXPECT_EQ (files.getLoadedDumps().count, 127);

    EXPECT_EQ (files.loadProgramBank (write (t, "none.syx", text ("no dumps in here at all"))),
               FileMan::ReadStatus::notUsable);
}

TEST (FileMan, LargeFilesPipesAndDevicesAreRefusedUnread)
{
    TempFolder t;
    const auto big = t.folder.getChildFile ("big.syx");
    {
        juce::FileOutputStream out (big);
        ASSERT_TRUE (out.openedOk());
        juce::MemoryBlock chunk (1 << 20);
        for (int i = 0; i < 5; ++i)
            out.write (chunk.getData(), chunk.getSize());
    }
    FileMan files;
    EXPECT_EQ (files.loadProgramBank (big), FileMan::ReadStatus::tooLarge);
    EXPECT_EQ (files.loadSingleProgram (big), FileMan::ReadStatus::tooLarge);
    EXPECT_EQ (files.getFileContent().getSize(), 0u);

    // A named pipe chosen as a bank or program file returns at once; a device is never read.
    const auto pipe = t.folder.getChildFile ("pipe.syx");
    if (makeNamedPipe (pipe))
    {
        FileMan::ReadStatus bank{}, single{};
        EXPECT_TRUE (returnsWithin (1000, pipe, [&] { bank = files.loadProgramBank (pipe); }));
        EXPECT_TRUE (returnsWithin (1000, pipe, [&] { single = files.loadSingleProgram (pipe); }));
        EXPECT_EQ (bank, FileMan::ReadStatus::notAFile);
        EXPECT_EQ (single, FileMan::ReadStatus::notAFile);
    }
    const auto zero = t.folder.getChildFile ("zero.syx");
    if (juce::File ("/dev/zero").createSymbolicLink (zero, true))
    {
        EXPECT_EQ (files.loadProgramBank (zero), FileMan::ReadStatus::notAFile);
    }
}

TEST (FileMan, FailedWriteKeepsTheOldFile)
{
#if !JUCE_LINUX
    GTEST_SKIP() << "a read-only folder keeps new files out on Linux; Windows' read-only folders do not";
#else
    TempFolder t;
    const auto folder = t.folder.getChildFile ("locked");
    ASSERT_TRUE (folder.createDirectory());
    const auto file = folder.getChildFile ("Bass.m_p");
    const auto old = makeEditBufferDump (namedProgram ("Old", 1));
    ASSERT_TRUE (FileMan::saveSingleProgram (file, old));
    const auto bank = makeBank (2);

    ASSERT_TRUE (folder.setReadOnly (true));
    {
        WithoutRootFileAccess asUser;
        EXPECT_FALSE (FileMan::saveSingleProgram (file, makeEditBufferDump (namedProgram ("New", 2))));
        EXPECT_FALSE (FileMan::saveProgramBank (folder.getChildFile ("bank.m_b"), *bank, 0));
    }
    folder.setReadOnly (false);
    EXPECT_EQ (contentsOf (file), old);
    EXPECT_FALSE (folder.getChildFile ("bank.m_b").exists());
#endif
}

TEST (FileMan, FactorySetNeedsAll512Programs)
{
    TempFolder t;
    std::array<std::unique_ptr<Bank_Program>, 4> banks;
    juce::MemoryBlock set;
    for (int b = 0; b < 4; ++b)
    {
        banks[(size_t)b] = makeBank ((uint8_t)(10 * b));
        set.append (FileMan::makeBankFile (*banks[(size_t)b], b).getData(), 38400);
    }
    FileMan files;
    ASSERT_EQ (files.loadFactorySet (write (t, "factory.syx", set)), FileMan::ReadStatus::ok);
    for (int b = 0; b < 4; ++b)
        for (int p : {0, 77, 127})
            EXPECT_EQ (files.getLoadedFactorySet()[(size_t)b][(size_t)p],
                       banks[(size_t)b]->getProgramRecord (p));

    // One bank short: refused whole.
    set.setSize (3 * 38400);
    EXPECT_EQ (files.loadFactorySet (write (t, "three.syx", set)), FileMan::ReadStatus::notUsable);
}

// The maker's Mopho, Mopho Keyboard and Tetra use the same dump format for programs laid out
// differently: every reader refuses them whole and says what the file is.
TEST (FileMan, FilesOfAnotherSynthAreRefusedAndNamed)
{
    TempFolder t;
    Bank_Program bank ("Bank");
    bank.initialise();
    juce::MemoryBlock factorySet;
    for (int b = 0; b < FileMan::factorySetBanks; ++b)
        factorySet.append (FileMan::makeBankFile (bank, b).getData(), 38400);

    struct Device
    {
        uint8_t byte;
        const char* one;
        const char* several;
    };
    for (const auto& d : { Device { sysex::deviceMopho, "a Mopho program, not a Mopho x4 program",
                                    "Mopho programs, not Mopho x4 programs" },
                           Device { sysex::deviceMophoKeyboard, "a Mopho Keyboard program, not a Mopho x4 program",
                                    "Mopho Keyboard programs, not Mopho x4 programs" },
                           Device { sysex::deviceTetra, "a Tetra program, not a Mopho x4 program",
                                    "Tetra programs, not Mopho x4 programs" },
                           Device { 0x2a, "a program of another synth, not a Mopho x4 program",
                                    "programs of another synth, not Mopho x4 programs" } })
    {
        SCOPED_TRACE (d.one);
        const auto program = t.folder.getChildFile ("one.syx");
        program.replaceWithData (asOtherSynth (makeEditBufferDump (initialProgram()), d.byte).getData(), 298);
        const auto bankFile = t.folder.getChildFile ("bank.syx");
        const auto bankBytes = asOtherSynth (FileMan::makeBankFile (bank, 0), d.byte);
        bankFile.replaceWithData (bankBytes.getData(), bankBytes.getSize());
        const auto setFile = t.folder.getChildFile ("set.syx");
        const auto setBytes = asOtherSynth (factorySet, d.byte);
        setFile.replaceWithData (setBytes.getData(), setBytes.getSize());

        FileMan files;
        auto status = files.loadSingleProgram (program);
        ASSERT_EQ (status, FileMan::ReadStatus::otherSynth);
        EXPECT_EQ (files.describeProblem (status, program, {}), "one.syx holds " + juce::String (d.one) + ": nothing was loaded");
        status = files.loadProgramBank (bankFile);
        ASSERT_EQ (status, FileMan::ReadStatus::otherSynth);
        EXPECT_EQ (files.describeProblem (status, bankFile, {}), "bank.syx holds " + juce::String (d.several) + ": nothing was loaded");
        EXPECT_EQ (files.loadFactorySet (setFile), FileMan::ReadStatus::otherSynth);

        // Read as blocks of dumps, they leave the programs as they were.
        Bank_Program target ("Target");
        target.initialise();
        const auto untouched = target.getAllPrograms();
        auto changed = bank.getProgramRecord (0);
        changed[20] = 1;
        target.loadFromDumps (asOtherSynth (makeProgramDump (0, 0, changed), d.byte));
        EXPECT_EQ (target.getAllPrograms(), untouched);
    }

    // One foreign dump among Mopho x4 dumps: the bank file is refused whole.
    auto mixed = FileMan::makeBankFile (bank, 0);
    static_cast<uint8_t*> (mixed.getData())[300 * 5 + 2] = sysex::deviceTetra;
    const auto mixedFile = t.folder.getChildFile ("mixed.syx");
    mixedFile.replaceWithData (mixed.getData(), mixed.getSize());
    FileMan files;
    EXPECT_EQ (files.loadProgramBank (mixedFile), FileMan::ReadStatus::otherSynth);
}
