// The engine's files under the conditions a user's machine produces: damaged, unreadable, huge and
// odd files in the settings folder, a full disk, two instances on one folder, saves killed midway.
#include "files/SafeFileRead.h"
#include "files/SafeFileWrite.h"
#include "instrument/BuiltInSimulator.h"
#include "instrument/MophoSimulator.h"
#include "instrument/SimulatorDevices.h"
#include "link/BankTransfer.h"
#include "link/CombinedMidiDevices.h"
#include "link/EngineFiles.h"
#include "link/EngineSettings.h"
#include "link/FactoryBankFile.h"
#include "link/MidiCntrState.h"
#include "link/SystemMidiDevices.h"
#include "model/BankImage.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <thread>

#if JUCE_LINUX
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

using namespace kelvo;
using namespace kelvo::test;

namespace
{
constexpr const char* settingsName = "mphedstx.dat";
constexpr const char* bankName = "data_X4m.mph";
constexpr const char* portsName = "mhxplports.dat";
constexpr const char* simulatorName = "MophoX4Simulator.dat";

// A start that takes this long hangs: no start of a healthy engine comes near it.
constexpr int hangMilliseconds = 10000;

/** A program of the user's own: different in every bank and program. */
ProgramRecord usersProgram (int bank, int program)
{
    ProgramRecord r = initialProgram();
    r[20] = (uint8_t)(program % 128);
    r[21] = (uint8_t)(bank * 30 + 1);
    r[184] = (uint8_t)('a' + bank);
    return r;
}

juce::MemoryBlock usersBankImage()
{
    std::vector<juce::MemoryBlock> banks;
    for (int b = 0; b < 4; ++b)
    {
        juce::MemoryBlock block;
        for (int p = 0; p < 128; ++p)
            block.append (usersProgram (b, p).data(), 256);
        banks.push_back (block);
    }
    return makeBankImage (bankimage::dataFileHeader, banks);
}

void writeBytes (const juce::File& file, const juce::MemoryBlock& bytes)
{
    ASSERT_TRUE (file.replaceWithData (bytes.getData(), bytes.getSize()));
}

/** Everything in the folder whose name starts with name and goes on with ".<tag>-". */
juce::Array<juce::File> keptAside (const juce::File& folder, const juce::String& name)
{
    // Compared by hand: Windows' wildcard "name.*" matches "name" itself too.
    juce::Array<juce::File> found;
    for (const auto& entry :
         juce::RangedDirectoryIterator (folder, false, "*", juce::File::findFilesAndDirectories))
        if (entry.getFile().getFileName().startsWith (name + "."))
            found.add (entry.getFile());
    return found;
}

/** How many of U1..U4's programs equal the user's own ones; the last of U4, which the tests
    change, is not counted (511 at most). */
int usersProgramsIn (MidiCntrState& engine)
{
    int count = 0;
    for (int b = 0; b < 4; ++b)
        for (int p = 0; p < 128; ++p)
            count +=
                (b < 3 || p < 127) && engine.getSynthBank (b)->getProgramRecord (p) == usersProgram (b, p)
                    ? 1
                    : 0;
    return count;
}

/** An edit the tests make after a start. */
ProgramRecord newEdit()
{
    auto r = usersProgram (3, 127);
    r[30] = (uint8_t)(r[30] ^ 0x55);
    return r;
}

#if JUCE_LINUX
/** On this thread, makes root obey file permissions (as every other user does) for its lifetime:
    the capabilities that override them leave the effective set and come back afterwards. */
class ObeyPermissions
{
public:
    ObeyPermissions()
    {
        if (::geteuid() != 0)
        {
            works = true;
            return;
        }
        header.version = _LINUX_CAPABILITY_VERSION_3;
        header.pid = 0;
        if (::syscall (SYS_capget, &header, saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {saved[0], saved[1]};
        reduced[0].effective &=
            ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        // capset acts on the calling thread only, which is the thread that reads and writes here.
        dropped = ::syscall (SYS_capset, &header, reduced) == 0;
        works = dropped;
    }
    ~ObeyPermissions()
    {
        if (dropped)
            ::syscall (SYS_capset, &header, saved);
    }
    bool isWorking() const noexcept { return works; }

private:
    __user_cap_header_struct header{};
    __user_cap_data_struct saved[2]{};
    bool dropped = false, works = false;
};
#endif

/** Starts an engine, failing (and unblocking a start stuck on a pipe) if the start hangs. */
std::unique_ptr<MidiCntrState> startWatched (std::function<std::unique_ptr<MidiCntrState>()> start,
                                             const juce::File& folder)
{
    std::mutex lock;
    std::condition_variable cv;
    bool done = false, hung = false;
    std::thread watchdog (
        [&]
        {
            std::unique_lock<std::mutex> l (lock);
            if (cv.wait_for (l, std::chrono::milliseconds (hangMilliseconds), [&] { return done; }))
                return;
            hung = true;
#if JUCE_LINUX
            // A reader stuck in opening a pipe goes on once a writer comes; closing it gives end of file.
            for (const auto& entry :
                 juce::RangedDirectoryIterator (folder, false, "*", juce::File::findFiles))
            {
                const auto fd = ::open (entry.getFile().getFullPathName().toRawUTF8(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close (fd);
            }
#else
            juce::ignoreUnused (folder);
#endif
        });
    auto engine = start();
    {
        const std::lock_guard<std::mutex> l (lock);
        done = true;
    }
    cv.notify_all();
    watchdog.join();
    EXPECT_FALSE (hung) << "the start hung";
    return engine;
}

struct Damage
{
    const char* what;
    const char* file;                                // the damaged file
    std::function<bool (const juce::File&)> prepare; // false: cannot be made on this machine
    bool needsPermissions;                           // relies on file modes being obeyed
    const char* toldWords;                           // part of the message the user gets
    int usersPrograms;                               // of U1..U4 after the start (see usersProgramsIn)
    bool keptAside;                                  // the file is moved aside (else it cannot be written)
};

#if JUCE_LINUX
/** While it lives, the system refuses every byte written past this size, as on a full disk. */
class FileSizeLimit
{
public:
    explicit FileSizeLimit (rlim_t bytes)
    {
        if (::getrlimit (RLIMIT_FSIZE, &saved) != 0)
            return;
        previousHandler = std::signal (SIGXFSZ, SIG_IGN);
        auto limited = saved;
        limited.rlim_cur = bytes;
        set = ::setrlimit (RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        if (previousHandler == SIG_ERR)
            return;
        ::setrlimit (RLIMIT_FSIZE, &saved);
        std::signal (SIGXFSZ, previousHandler);
    }
    bool isSet() const noexcept { return set; }

private:
    rlimit saved{};
    void (*previousHandler) (int) = SIG_ERR;
    bool set = false;
};
#endif

bool makeUnreadable (const juce::File& file, const juce::MemoryBlock& bytes)
{
#if JUCE_LINUX
    return file.replaceWithData (bytes.getData(), bytes.getSize()) &&
           ::chmod (file.getFullPathName().toRawUTF8(), 0) == 0;
#else
    juce::ignoreUnused (file, bytes);
    return false;
#endif
}

bool makeFolderReadOnly (const juce::File& file)
{
#if JUCE_LINUX
    return ::chmod (file.getParentDirectory().getFullPathName().toRawUTF8(), 0555) == 0;
#else
    juce::ignoreUnused (file);
    return false;
#endif
}

juce::MemoryBlock cut (const juce::MemoryBlock& bytes, size_t size)
{
    return {bytes.getData(), size};
}
} // namespace

//==============================================================================
TEST (DamagedFiles, TheUsersDataSurvivesIsKeptAsideAndTheUserIsTold)
{
    const auto image = usersBankImage();
    auto settingsText = makeSettingsText (defaultSettings());
    auto hugeSettings = []
    {
        auto entries = defaultSettings();
        entries.set (42, "9");
        std::string text = makeSettingsText (entries).toStdString();
        while (text.size() < 1024 * 1024)
            text += "^|padding entry that never ends|^";
        return juce::String (text);
    }();

    const Damage cases[] = {
        {"bank file cut short", bankName,
         [&] (const juce::File& f) { return f.replaceWithData (image.getData(), 50000); }, false,
         "195 of 512 programs were read", 195, true},
        {"bank file one byte too long", bankName,
         [&] (const juce::File& f)
         {
             auto longer = image;
             longer.append ("x", 1);
             return f.replaceWithData (longer.getData(), longer.getSize());
         },
         false, "longer than it should be", 511, true},
        {"bank file far too large", bankName,
         [&] (const juce::File& f)
         {
             auto huge = image;
             huge.setSize (3 * 1024 * 1024, true);
             return f.replaceWithData (huge.getData(), huge.getSize());
         },
         false, "is larger than", 511, true},
        {"folder in place of the bank file", bankName,
         [] (const juce::File& f) { return f.getChildFile ("inside").create().wasOk(); }, false,
         "is not a file", 0, true},
        {"pipe in place of the bank file", bankName, makeNamedPipe, false, "is not a file", 0, true},
        {"unreadable bank file", bankName, [&] (const juce::File& f) { return makeUnreadable (f, image); },
         true, "could not be read", 0, true},
        {"pipe in place of the settings file", settingsName, makeNamedPipe, false, "settings were reset", 511,
         true},
        {"settings file of 1 MB", settingsName,
         [&] (const juce::File& f) { return f.replaceWithText (hugeSettings); }, false, "is larger than", 511,
         true},
        {"unusable settings file", settingsName,
         [] (const juce::File& f) { return f.replaceWithText ("^|2.2.0|^^|3|^"); }, false,
         "settings were reset", 511, true},
        {"folder in place of the ports file", portsName,
         [] (const juce::File& f) { return f.createDirectory().wasOk(); }, false, "no MIDI port is chosen",
         511, true},
        {"read-only settings folder", settingsName, makeFolderReadOnly, true,
         "Could not save the banks U1-U4", 511, false},
        {"unreadable bank file in a read-only folder", bankName,
         [&] (const juce::File& f) { return makeUnreadable (f, image) && makeFolderReadOnly (f); }, true,
         "could not be moved aside", 0, false},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        TempFolder t;
        const auto damaged = t.folder.getChildFile (c.file);
        // The user's files as a healthy run left them, then the damage.
        ASSERT_TRUE (t.folder.getChildFile (settingsName).replaceWithText (settingsText));
        if (juce::String (c.file) != bankName)
            writeBytes (t.folder.getChildFile (bankName), image);
        if (!c.prepare (damaged))
        {
            std::cout << "[ SKIPPED  ] " << c.what << ": cannot be made here\n";
            continue;
        }
        const auto damagedBytes = readFileSafely (damaged, 8 * 1024 * 1024).bytes; // a pipe is not read

#if JUCE_LINUX
        auto obey = std::make_unique<ObeyPermissions>();
        if (c.needsPermissions && !obey->isWorking())
        {
            std::cout << "[ SKIPPED  ] " << c.what << ": file permissions are not obeyed here\n";
            ::chmod (t.folder.getFullPathName().toRawUTF8(), 0755);
            continue;
        }
#endif
        juce::String told;
        {
            VirtualRig rig;
            Bank_Program plugin ("Program Bank");
            auto engine = startWatched (
                [&] { return std::make_unique<MidiCntrState> (rig.makeDevices(), t.folder); }, t.folder);
            engine->setPluginBank (&plugin);
            EXPECT_EQ (usersProgramsIn (*engine), c.usersPrograms);
            if (c.usersPrograms < 511)
            {
                EXPECT_EQ (engine->getSynthBank (3)->getProgramRecord (127), factoryProgram (3, 127));
            }

            // Changes the user makes now are saved (or, where they cannot be, the user hears why).
            engine->storeProgram (true, 3, 127, newEdit());
            engine->setMidiChannel (engine->getMidiChannel() == 3 ? 4 : 3);

            told = engine->takeNotices().joinIntoString ("\n");
            EXPECT_TRUE (told.contains (c.toldWords)) << told;
            EXPECT_TRUE (engine->takeNotices().isEmpty()) << "told once";
        }
#if JUCE_LINUX
        obey.reset();
        ::chmod (t.folder.getFullPathName().toRawUTF8(), 0755);
        ::chmod (damaged.getFullPathName().toRawUTF8(), 0644);
#endif

        const auto aside = keptAside (t.folder, c.file);
        if (c.keptAside)
        {
            ASSERT_EQ (aside.size(), 1);
            EXPECT_TRUE (told.contains (aside[0].getFullPathName())) << "the user is told where";
            if (aside[0].existsAsFile() && !damagedBytes.isEmpty())
            {
                EXPECT_EQ (contentsOf (aside[0]), damagedBytes) << "kept byte for byte";
            }
        }
        else
        {
            EXPECT_TRUE (aside.isEmpty());
        }

        // What a second start finds: whole files, the user's programs, nothing more to tell.
        VirtualRig rig;
        auto again = std::make_unique<MidiCntrState> (rig.makeDevices(), t.folder);
        // A file that could not be moved aside was never written over: readable again, it is whole.
        EXPECT_EQ (usersProgramsIn (*again), c.keptAside ? c.usersPrograms : 511) << "a second start";
        EXPECT_EQ (again->getSynthBank (3)->getProgramRecord (127),
                   c.keptAside ? newEdit() : usersProgram (3, 127));
        EXPECT_TRUE (again->takeNotices().isEmpty());
        if (c.keptAside)
        {
            EXPECT_EQ (keptAside (t.folder, c.file).size(), 1);
        }
    }
}

//==============================================================================
TEST (TwoEngines, ABankReceivedInOneSurvivesTheOthersEditsAndClose)
{
    TempFolder t;
    auto devices = std::make_unique<SimulatorDevices>();
    auto& synth = devices->getSimulator();
    personalise (synth);
    Bank_Program pluginA ("Program Bank"), pluginB ("Program Bank");
    pluginA.initialise();
    pluginB.initialise();

    auto a = std::make_unique<MidiCntrState> (std::move (devices), t.folder);
    a->setPluginBank (&pluginA);
    a->selectInputRow (1);
    a->selectOutputRow (1);
    a->getTransfer().setTiming ({300, 2});
    VirtualRig rigB;
    auto b = std::make_unique<MidiCntrState> (rigB.makeDevices(), t.folder);
    b->setPluginBank (&pluginB);
    auto eventsA = std::make_unique<EventCollector> (*a);

    // While A receives U2 (saving on its input thread), B edits U1 and U3 on this thread.
    a->startBankTransfer (BankTransfer::receiveBank, 1);
    std::vector<int32_t> seen;
    for (int n = 0; n < 32; ++n)
    {
        b->storeProgram (true, n % 2 == 0 ? 0 : 2, n, usersProgram (n % 2 == 0 ? 0 : 2, n));
        pumpFor (5);
    }
    ASSERT_TRUE (pumpUntil (
        [&]
        {
            const auto fresh = eventsA->take();
            seen.insert (seen.end(), fresh.begin(), fresh.end());
            return std::find (seen.begin(), seen.end(), event::bankTransferFinished) != seen.end();
        },
        20000));
    EXPECT_EQ (a->getSynthBank (1)->getAllPrograms(), synth.getBank (1));

    // B changes one more program after the receive: its save takes A's bank into B as well.
    b->storeProgram (true, 3, 0, newEdit());
    EXPECT_EQ (b->getSynthBank (1)->getAllPrograms(), synth.getBank (1));
    const auto received = synth.getBank (1);
    eventsA.reset();
    b.reset();
    a.reset();

    VirtualRig rig;
    auto after = std::make_unique<MidiCntrState> (rig.makeDevices(), t.folder);
    EXPECT_EQ (after->getSynthBank (1)->getAllPrograms(), received) << "A's receive survives B";
    for (int n = 0; n < 32; ++n)
        EXPECT_EQ (after->getSynthBank (n % 2 == 0 ? 0 : 2)->getProgramRecord (n),
                   usersProgram (n % 2 == 0 ? 0 : 2, n))
            << n;
    EXPECT_EQ (after->getSynthBank (3)->getProgramRecord (0), newEdit()) << "B's edit survives A";
}

TEST (TwoEngines, AnInstanceThatChangedNothingWritesNothing)
{
    TempFolder t;
    VirtualRig rigA, rigB;
    auto a = std::make_unique<MidiCntrState> (rigA.makeDevices(), t.folder);
    auto b = std::make_unique<MidiCntrState> (rigB.makeDevices(), t.folder);
    a->storeProgram (true, 1, 5, newEdit());
    a->setMidiChannel (7);
    const auto bankFile = t.folder.getChildFile (bankName);
    const auto written = bankFile.getLastModificationTime();
    b.reset(); // closes with its stale copy of everything
    a.reset();
    EXPECT_EQ (bankFile.getLastModificationTime(), written);

    VirtualRig rig;
    MidiCntrState after (rig.makeDevices(), t.folder);
    EXPECT_EQ (after.getSynthBank (1)->getProgramRecord (5), newEdit());
    EXPECT_EQ (after.getMidiChannel(), 7);
}

//==============================================================================
TEST (SettingsAndPorts, AreSavedWhenTheyChangeNotOnlyAtAClose)
{
    TempFolder t;
    VirtualRig rig;
    auto engine = std::make_unique<MidiCntrState> (rig.makeDevices(), t.folder);
    const auto onDisk = [&]
    { return splitSettingsEntries (t.folder.getChildFile (settingsName).loadFileAsString()); };

    engine->setMidiChannel (11);
    EXPECT_EQ (onDisk()[42], "11");
    engine->selectOutputRow (1);
    EXPECT_EQ (portNamesFromBytes (contentsOf (t.folder.getChildFile (portsName)).getData(),
                                   contentsOf (t.folder.getChildFile (portsName)).getSize())[1],
               "Test Out");

    // The editor's size changes with every step of a drag: saved with the next save.
    engine->setSetting (settings::editorWidth, "1300");
    EXPECT_NE (onDisk()[settings::editorWidth], "1300");
    engine.reset();
    EXPECT_EQ (onDisk()[settings::editorWidth], "1300");
}

TEST (SettingsAndPorts, AGonePortIsToldByNameAndIsTheReasonForOffline)
{
    TempFolder t;
    writeBytes (t.folder.getChildFile (portsName), makePortsFile ({"Test In", "USB Mopho Cable", "NONE"}));
    VirtualRig rig;
    MidiCntrState engine (rig.makeDevices(), t.folder);
    const auto told = engine.takeNotices();
    ASSERT_EQ (told.size(), 1) << told.joinIntoString ("\n");
    EXPECT_TRUE (told[0].contains ("\"USB Mopho Cable\"")) << told[0];
    EXPECT_TRUE (told[0].contains ("output")) << told[0];
    EXPECT_EQ (engine.getOfflineReason(), "MIDI output \"USB Mopho Cable\" not present");

    engine.selectOutputRow (1);
    EXPECT_EQ (engine.getOfflineReason(), "no answer from the synth");
    engine.selectInputRow (0);
    EXPECT_EQ (engine.getOfflineReason(), "Choose the synth's MIDI ports");
}

//==============================================================================
TEST (TemporaryFiles, StaleOnesOfOurFilesGoAtStartOthersStay)
{
    TempFolder t;
    const auto old = juce::Time::getCurrentTime() - juce::RelativeTime::hours (1);
    const juce::StringArray stale{".data_X4m.mph.kelvo-tmp1a2b3c", ".mphedstx_temp5f00.dat",
                                  "MophoX4Simulator_temp12ab.dat", ".MophoX4Simulator_tempffff.dat",
                                  ".mhxplports.dat.kelvo-tmp0", ".factory_X4m.mph.kelvo-tmp9"};
    const juce::StringArray kept{"notes.txt", ".data_X4m.mph.kelvo-tmpfresh", "mphedstx_tempXYZ.dat"};
    for (const auto& name : stale)
    {
        ASSERT_TRUE (t.folder.getChildFile (name).replaceWithText ("left by a kill"));
        ASSERT_TRUE (t.folder.getChildFile (name).setLastModificationTime (old));
    }
    for (const auto& name : kept)
        ASSERT_TRUE (t.folder.getChildFile (name).replaceWithText ("not ours, or in use"));
    ASSERT_TRUE (t.folder.getChildFile (kept[2]).setLastModificationTime (old));

    VirtualRig rig;
    MidiCntrState engine (rig.makeDevices(), t.folder);
    for (const auto& name : stale)
        EXPECT_FALSE (t.folder.getChildFile (name).exists()) << name;
    for (const auto& name : kept)
        EXPECT_TRUE (t.folder.getChildFile (name).exists()) << name;
}

//==============================================================================
namespace
{
/** A settings folder with the user's files in it, and what they hold. */
struct UsersFolder
{
    juce::MemoryBlock bank = usersBankImage();
    juce::String settings = makeSettingsText (defaultSettings());

    void writeTo (const juce::File& folder) const
    {
        ASSERT_TRUE (folder.createDirectory().wasOk());
        ASSERT_TRUE (folder.getChildFile (bankName).replaceWithData (bank.getData(), bank.getSize()));
        ASSERT_TRUE (folder.getChildFile (settingsName).replaceWithText (settings));
    }

    /** Starts an engine, changes a program and the channel, and checks that the failed saves keep
        the old files whole, leave no temporary file and are told once. */
    void checkFailedSaves (const juce::File& folder, const char* reason) const
    {
        {
            VirtualRig rig;
            MidiCntrState engine (rig.makeDevices(), folder);
            EXPECT_EQ (usersProgramsIn (engine), 511);
            engine.storeProgram (true, 3, 127, newEdit());
            engine.storeProgram (true, 3, 126, newEdit());
            const auto told = engine.takeNotices().joinIntoString ("\n");
            EXPECT_TRUE (told.contains ("Could not save the banks U1-U4")) << told;
            EXPECT_TRUE (told.contains (reason)) << told;
            EXPECT_EQ (told.indexOf ("Could not save the banks"),
                       told.lastIndexOf ("Could not save the banks"))
                << "told once";
        }
        EXPECT_EQ (contentsOf (folder.getChildFile (bankName)), bank);
        EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles | juce::File::ignoreHiddenFiles, "*"),
                   3);
        for (const auto& entry :
             juce::RangedDirectoryIterator (folder, false, "*.kelvo-tmp*", juce::File::findFiles))
            ADD_FAILURE() << "left behind: " << entry.getFile().getFileName();
    }
};
} // namespace

TEST (FullDisk, ASaveThatFailsKeepsTheOldFilesAndTellsTheUser)
{
#if JUCE_LINUX
    // On a real full file system, where this machine lets the test mount one.
    {
        TempFolder mountPoint;
        if (::geteuid() == 0 &&
            ::mount ("tmpfs", mountPoint.folder.getFullPathName().toRawUTF8(), "tmpfs", 0, "size=512k") == 0)
        {
            const auto folder = mountPoint.folder.getChildFile ("MarvexSettings");
            UsersFolder users;
            users.writeTo (folder);
            VirtualRig rig;
            {
                MidiCntrState first (rig.makeDevices(), folder);
            } // the ports file and the lock file
            const auto filler = mountPoint.folder.getChildFile ("filler");
            {
                juce::FileOutputStream out (filler);
                const juce::MemoryBlock block (4096, true);
                while (out.write (block.getData(), block.getSize()) && out.getStatus().wasOk())
                    out.flush();
            }
            users.checkFailedSaves (folder, "No space left on device");
            ::umount2 (mountPoint.folder.getFullPathName().toRawUTF8(), MNT_DETACH);
        }
        else
        {
            std::cout << "[ SKIPPED  ] the tmpfs variant: mounting is not allowed here\n";
        }
    }

    // Anywhere: the system refuses every byte past a file size limit, as it does on a full disk.
    {
        TempFolder t;
        UsersFolder users;
        users.writeTo (t.folder);
        {
            VirtualRig rig;
            MidiCntrState first (rig.makeDevices(), t.folder);
        }

        const FileSizeLimit limit (64 * 1024); // settings and ports fit, the banks do not
        ASSERT_TRUE (limit.isSet());
        users.checkFailedSaves (t.folder, "File too large");
    }
#endif
}

//==============================================================================
TEST (SimulatorMemory, ExtraBytesAreIgnoredAndADamagedFileIsKeptAside)
{
    MophoSimulator source;
    personalise (source);
    const auto memory = source.saveMemory();

    struct Case
    {
        const char* what;
        std::function<void (const juce::File&)> prepare;
        bool loads, told;
    };
    const Case cases[] = {
        {"whole", [&] (const juce::File& f) { writeBytes (f, memory); }, true, false},
        {"one byte too many",
         [&] (const juce::File& f)
         {
             auto m = memory;
             m.append ("\x7f", 1);
             writeBytes (f, m);
         },
         true, false},
        {"cut short", [&] (const juce::File& f) { writeBytes (f, cut (memory, memory.getSize() - 1)); },
         false, true},
        {"a folder in its place", [] (const juce::File& f) { f.getChildFile ("x").create(); }, false, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        TempFolder t;
        const auto file = t.folder.getChildFile (simulatorName);
        c.prepare (file);
        writeBytes (t.folder.getChildFile (portsName),
                    makePortsFile ({MophoSimulator::portName, MophoSimulator::portName, "NONE"}));
        {
            MidiCntrState engine (std::make_unique<CombinedMidiDevices> (std::make_unique<SystemMidiDevices>(),
                                                                        std::make_unique<BuiltInSimulator> (t.folder)),
                                  t.folder);
            ASSERT_TRUE (engine.isOutputOpen());
            EventCollector events (engine);
            engine.startBankTransfer (BankTransfer::receiveBank, 0);
            std::vector<int32_t> seen;
            ASSERT_TRUE (pumpUntil (
                [&]
                {
                    const auto fresh = events.take();
                    seen.insert (seen.end(), fresh.begin(), fresh.end());
                    return std::find (seen.begin(), seen.end(), event::bankTransferFinished) != seen.end();
                },
                20000));
            EXPECT_EQ (engine.getSynthBank (0)->getAllPrograms() == source.getBank (0), c.loads);
            const auto told = engine.takeNotices().joinIntoString ("\n");
            EXPECT_EQ (told.contains ("simulator's memory"), c.told) << told;
        }
        // Saved whole at the close; whatever could not be taken is kept beside it.
        EXPECT_EQ ((size_t)file.getSize(), MophoSimulator::getMemorySize());
        EXPECT_EQ (keptAside (t.folder, simulatorName).size(), c.told ? 1 : 0);
    }
}

//==============================================================================
namespace
{
constexpr const char* factoryName = "factory_X4m.mph";
constexpr int pastedFactoryBank = 4, pastedFactoryProgram = 2; // F1:002

/** F1..F4 as the user received or edited them: the file the engine keeps of them. */
juce::MemoryBlock usersFactoryImage()
{
    std::array<Bank_Program, 4> banks{Bank_Program ("F1"), Bank_Program ("F2"), Bank_Program ("F3"),
                                      Bank_Program ("F4")};
    for (int b = 0; b < 4; ++b)
    {
        banks[(size_t)b].initialise();
        for (int p = 0; p < 128; ++p)
            banks[(size_t)b].setProgram (p, usersProgram (b + 4, p));
    }
    return factoryfile::makeImage ({&banks[0], &banks[1], &banks[2], &banks[3]}, true);
}

/** How many of F1..F4's programs are the user's own; F1:002, which the tests paste into, is not
    counted (511 at most). */
int usersFactoryProgramsIn (MidiCntrState& engine)
{
    int count = 0;
    for (int b = 4; b < 8; ++b)
        for (int p = 0; p < 128; ++p)
            count += (b != pastedFactoryBank || p != pastedFactoryProgram) &&
                             engine.getSynthBank (b)->getProgramRecord (p) == usersProgram (b, p)
                         ? 1
                         : 0;
    return count;
}
} // namespace

TEST (FactoryBankFile, ADamagedFileKeepsWhatItHoldsThroughAnEditIsKeptAsideAndTold)
{
    const auto image = usersFactoryImage();
    struct Case
    {
        const char* what;
        std::function<bool (const juce::File&)> prepare;
        const char* toldWords;
        int usersPrograms; // of F1..F4 after the start; the rest are the built-in programs
        bool fromSynth;
    };
    const Case cases[] = {
        {"one byte too long",
         [&] (const juce::File& f)
         {
             auto longer = image;
             longer.append ("x", 1);
             return f.replaceWithData (longer.getData(), longer.getSize());
         },
         "longer than it should be", 511, true},
        {"cut short", [&] (const juce::File& f) { return f.replaceWithData (image.getData(), 50000); },
         "195 of 512 programs were read", 194, true}, // F1:002 among them, not counted
        {"junk of the right length",
         [&] (const juce::File& f)
         {
             juce::MemoryBlock junk (image.getSize());
             for (size_t i = 0; i < junk.getSize(); ++i)
                 junk[i] = (char)(i * 7 + 3);
             return f.replaceWithData (junk.getData(), junk.getSize());
         },
         "F1-F4 hold the built-in factory programs", 0, false},
        {"pipe in its place", makeNamedPipe, "is not a file", 0, false},
        {"folder in its place", [] (const juce::File& f) { return f.getChildFile ("x").create().wasOk(); },
         "is not a file", 0, false},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        TempFolder t;
        const auto file = t.folder.getChildFile (factoryName);
        if (!c.prepare (file))
        {
            std::cout << "[ SKIPPED  ] " << c.what << ": cannot be made here\n";
            continue;
        }
        const auto damagedBytes = readFileSafely (file, 8 * 1024 * 1024).bytes;

        const auto pasted = newEdit();
        juce::String told;
        {
            VirtualRig rig;
            auto engine = startWatched ([&] { return std::make_unique<MidiCntrState> (rig.makeDevices(), t.folder); },
                                        t.folder);
            EXPECT_EQ (usersFactoryProgramsIn (*engine), c.usersPrograms);
            EXPECT_EQ (engine->factoryBanksMatchSynth.load(), c.fromSynth);
            if (c.usersPrograms < 511)
            {
                EXPECT_EQ (engine->getSynthBank (7)->getProgramRecord (127), factoryProgram (3, 127));
            }
            engine->storeProgram (true, pastedFactoryBank, pastedFactoryProgram, pasted);
            told = engine->takeNotices().joinIntoString ("\n");
            EXPECT_TRUE (told.contains ("The factory bank file ") && told.contains (c.toldWords)) << told;
            EXPECT_TRUE (engine->takeNotices().isEmpty()) << "told once";
        }

        const auto aside = keptAside (t.folder, factoryName);
        ASSERT_EQ (aside.size(), 1);
        EXPECT_TRUE (told.contains (aside[0].getFullPathName())) << "the user is told where";
        if (aside[0].existsAsFile() && !damagedBytes.isEmpty()) // a pipe is never read
        {
            EXPECT_EQ (contentsOf (aside[0]), damagedBytes) << "kept byte for byte";
        }

        VirtualRig rig;
        MidiCntrState again (rig.makeDevices(), t.folder);
        EXPECT_EQ (usersFactoryProgramsIn (again), c.usersPrograms) << "a second start";
        EXPECT_EQ (again.getSynthBank (pastedFactoryBank)->getProgramRecord (pastedFactoryProgram), pasted);
        EXPECT_EQ ((size_t)file.getSize(), image.getSize());
        EXPECT_TRUE (again.takeNotices().isEmpty());
    }
}

TEST (FactoryBankFile, TwoInstancesKeepEachOthersEdits)
{
    TempFolder t;
    writeBytes (t.folder.getChildFile (factoryName), usersFactoryImage());
    VirtualRig rigA, rigB;
    auto a = std::make_unique<MidiCntrState> (rigA.makeDevices(), t.folder);
    auto b = std::make_unique<MidiCntrState> (rigB.makeDevices(), t.folder);

    auto fromA = newEdit(), fromB = newEdit();
    fromA[40] = 1;
    fromB[40] = 2;
    a->storeProgram (true, 5, 10, fromA);
    b->storeProgram (true, 6, 20, fromB);
    EXPECT_EQ (b->getSynthBank (5)->getProgramRecord (10), fromA) << "B's save took A's edit";
    a.reset();
    b.reset();

    VirtualRig rig;
    MidiCntrState after (rig.makeDevices(), t.folder);
    EXPECT_EQ (after.getSynthBank (5)->getProgramRecord (10), fromA);
    EXPECT_EQ (after.getSynthBank (6)->getProgramRecord (20), fromB);
    EXPECT_EQ (usersFactoryProgramsIn (after), 509);
    EXPECT_TRUE (after.factoryBanksMatchSynth.load()) << "the file's word, kept by both";
}

#if JUCE_LINUX
TEST (FactoryBankFile, AFailedSaveIsToldWithTheSystemsReason)
{
    TempFolder t;
    writeBytes (t.folder.getChildFile (factoryName), usersFactoryImage());
    {
        VirtualRig rig;
        MidiCntrState first (rig.makeDevices(), t.folder);
    }
    juce::String told;
    {
        const FileSizeLimit limit (64 * 1024); // the factory bank file does not fit
        ASSERT_TRUE (limit.isSet());
        VirtualRig rig;
        MidiCntrState engine (rig.makeDevices(), t.folder);
        engine.storeProgram (true, 4, 0, newEdit());
        engine.storeProgram (true, 4, 1, newEdit());
        told = engine.takeNotices().joinIntoString ("\n");
    }

    EXPECT_TRUE (told.contains ("Could not save the banks F1-F4")) << told;
    EXPECT_TRUE (told.contains ("File too large")) << told;
    EXPECT_EQ (told.indexOf ("Could not save the banks F1-F4"), told.lastIndexOf ("Could not save the banks F1-F4"))
        << "told once";
    EXPECT_EQ (contentsOf (t.folder.getChildFile (factoryName)), usersFactoryImage());
}
#endif
