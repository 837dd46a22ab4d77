#include "files/SafeFileWrite.h"
#include "link/EngineFiles.h"
#include "link/EngineSettings.h"
#include "link/MidiCntrState.h"
#include "model/BankImage.h"
#include "model/ProgramPacking.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <thread>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
juce::String entriesText (int count, const juce::String& prefix = "e")
{
    juce::String text;
    for (int i = 0; i < count; ++i)
        text << "^|" << prefix << i << "|^";
    return text;
}

juce::MemoryBlock bytes (const std::string& s)
{
    return { s.data(), s.size() };
}

juce::File fileIn (const TempFolder& t, const char* name)
{
    return t.folder.getChildFile (name);
}

ProgramRecord recordFilledWith (uint8_t value)
{
    ProgramRecord r;
    r.fill (value);
    return r;
}

std::unique_ptr<MidiCntrState> makeEngine (const TempFolder& t, VirtualRig& rig)
{
    return std::make_unique<MidiCntrState> (rig.makeDevices(), t.folder);
}
} // namespace

//==============================================================================
TEST (SettingsFile, EntriesAndWhatCountsAsUnusable)
{
    struct Case
    {
        juce::String text;
        bool reset;
        juce::StringArray firstEntries;
    };
    const Case cases[] = {
        { "", true, { "2.2.0", "-1", "-1", "-1", "100" } },
        { "^|a|^", true, { "2.2.0" } },                           // under 6 characters
        { "^|2.2.0|^^|5|^", true, { "2.2.0", "-1", "-1" } },        // two entries are not enough
        { "^|a|^^|b|^^|c|^", false, { "a", "b", "c", "0", "0" } },  // three are, padded with "0"
        { "junk^|a|^xx^||^^|c|^tail^|d", false, { "a", "", "c", "0" } }, // junk and an unclosed entry
        { "^|^a|^^|b^|^^|c||^", false, { "^a", "b^", "c|" } },     // carets and bars next to markers
    };
    for (const auto& c : cases)
    {
        const auto loaded = settingsFromText (c.text);
        EXPECT_EQ (loaded.wereReset, c.reset) << c.text;
        ASSERT_EQ (loaded.entries.size(), 50) << c.text;
        for (int i = 0; i < c.firstEntries.size(); ++i)
            EXPECT_EQ (loaded.entries[i], c.firstEntries[i]) << c.text << " entry " << i;
        if (c.reset)
        {
            EXPECT_EQ (loaded.entries, defaultSettings());
        }
    }

    const auto sixty = settingsFromText (entriesText (60));
    EXPECT_FALSE (sixty.wereReset);
    EXPECT_EQ (sixty.entries[49], "e49");
    EXPECT_EQ (sixty.entries.size(), 50);
}

TEST (SettingsFile, MarkersInsideAnEntryCannotBeWritten)
{
    const auto umlauts = juce::String::fromUTF8 ("Gr\xc3\xbc\xc3\x9f" "e");
    const juce::StringArray entries { "", "1", "a|b", "x^y", "a|^b", "^|x", "^^|", "|^|", "end^", "|start", umlauts };
    const juce::StringArray expected { "", "1", "a|b", "x^y", "a|b", "|x", "|", "||", "end^", "|start", umlauts };

    const auto text = makeSettingsText (entries);
    const auto back = splitSettingsEntries (text);
    EXPECT_EQ (back, expected);
    for (const auto& e : back)
        EXPECT_FALSE (e.contains ("^|") || e.contains ("|^")) << e;

    // Written as UTF-8 and read back from the bytes.
    const auto utf8 = text.toUTF8();
    EXPECT_EQ (settingsFromBytes (utf8.getAddress(), utf8.sizeInBytes() - 1).entries[10], umlauts);
}

TEST (SettingsFile, BytesThatAreNotPlainUtf8RoundTripWhole)
{
    // An overlong sequence (C0 88) passes JUCE's UTF-8 check but re-encodes shorter: the entries and
    // the text written back keep every stored byte, so nothing at the end is cut off.
    std::string file;
    for (int i = 0; i < 12; ++i)
        file += "^|e" + std::to_string (i) + (i == 3 ? "\xc0\x88^" : "") + "|^";
    const auto loaded = settingsFromBytes (file.data(), file.size());
    ASSERT_FALSE (loaded.wereReset);
    EXPECT_EQ (std::string (loaded.entries[3].toRawUTF8()), "e3\xc0\x88^");
    EXPECT_EQ (loaded.entries[11], "e11");

    const auto text = makeSettingsText (loaded.entries);
    const std::string written (text.toRawUTF8());
    const auto again = settingsFromBytes (written.data(), written.size());
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ (again.entries[i], loaded.entries[i]) << i;
}

TEST (SettingsFile, AMissingFileIsWrittenWithTheDefaults)
{
    TempFolder t;
    const auto folder = t.folder.getChildFile ("MarvexSettings"); // not there yet
    const auto loaded = loadSettingsFile (folder);
    EXPECT_TRUE (loaded.wereReset); // a first start looks for the synth
    EXPECT_EQ (loaded.entries, defaultSettings());
    EXPECT_EQ (folder.getChildFile ("mphedstx.dat").loadFileAsString(), makeSettingsText (defaultSettings()));
    EXPECT_TRUE (makeSettingsText (defaultSettings()).startsWith ("^|2.2.0|^^|-1|^"));
}

TEST (SettingsFile, EngineLoadsFiftyAndWritesBackEightyTwo)
{
    TempFolder t;
    fileIn (t, "mphedstx.dat").replaceWithText (entriesText (60));
    {
        VirtualRig rig;
        auto engine = makeEngine (t, rig);
        EXPECT_FALSE (engine->settingsWereReset);
        const auto settings = engine->getSettings();
        ASSERT_EQ (settings.size(), 82);
        EXPECT_EQ (settings[41], "e41");
        EXPECT_EQ (settings[43], "e43");
        EXPECT_EQ (settings[49], "e49");
        EXPECT_EQ (settings[50], "0");
        EXPECT_EQ (settings[81], "0");
        engine->setSetting (6, "a|^b"); // e.g. text that found its way into an entry
    }
    const auto written = splitSettingsEntries (fileIn (t, "mphedstx.dat").loadFileAsString());
    ASSERT_EQ (written.size(), 82);
    EXPECT_EQ (written[6], "a|b");
    EXPECT_EQ (written[42], "1"); // "e42" is no channel
    EXPECT_EQ (written[49], "e49");
}

TEST (SettingsFile, AnUnusableFileIsReplacedAndTheResetRecorded)
{
    TempFolder t;
    fileIn (t, "mphedstx.dat").replaceWithText ("^|2.2.0|^^|3|^");
    VirtualRig rig;
    auto engine = makeEngine (t, rig);
    EXPECT_TRUE (engine->settingsWereReset);
    EXPECT_EQ (engine->getSetting (0), "2.2.0");
    EXPECT_EQ (engine->getSetting (1), "-1");

}

TEST (SettingsFile, AFirstStartIsAResetWithNothingToTell)
{
    // No settings file: the defaults, the synth to be looked for, and no message about a reset.
    TempFolder fresh;
    VirtualRig rig;
    auto engine = makeEngine (fresh, rig);
    EXPECT_TRUE (engine->settingsWereReset);
    EXPECT_TRUE (engine->takeNotices().isEmpty());
    EXPECT_TRUE (fileIn (fresh, "mphedstx.dat").existsAsFile());

    // The next start finds the file it wrote.
    engine.reset();
    VirtualRig rig2;
    EXPECT_FALSE (makeEngine (fresh, rig2)->settingsWereReset);
}

TEST (SettingsFile, MidiChannelFromEntry42)
{
    const std::pair<const char*, int> cases[] = { { "17", 1 }, { "0", 1 }, { "abc", 1 }, { "", 1 }, { "16", 16 }, { "5", 5 } };
    for (auto [text, channel] : cases)
    {
        auto entries = defaultSettings();
        entries.set (42, text);
        TempFolder t;
        fileIn (t, "mphedstx.dat").replaceWithText (makeSettingsText (entries));
        VirtualRig rig;
        auto engine = makeEngine (t, rig);
        EXPECT_EQ (engine->getMidiChannel(), channel) << text;
        EXPECT_EQ (engine->getSetting (42), juce::String (channel)) << text;
    }
}

//==============================================================================
TEST (BankDataFile, BanksStartAsFactoryBanksWithoutAUsableFile)
{
    for (const auto size : { 0, 1000 })
    {
        TempFolder t;
        if (size > 0)
            fileIn (t, "data_X4m.mph").replaceWithData (juce::MemoryBlock ((size_t) size, true).getData(), (size_t) size);
        VirtualRig rig;
        auto engine = makeEngine (t, rig);
        for (int bank = 0; bank < 8; ++bank)
            for (int p : { 0, 77, 127 })
                ASSERT_EQ (engine->getSynthBank (bank)->getProgramRecord (p), factoryProgram (bank % 4, p))
                    << "size " << size << " bank " << bank << " program " << p;
    }
}

TEST (BankDataFile, WholeBanksComeFromTheFileAndTheRestFromTheFactory)
{
    TempFolder t;
    std::vector<juce::MemoryBlock> banks;
    for (uint8_t n = 0; n < 4; ++n)
    {
        juce::MemoryBlock block;
        for (int p = 0; p < 128; ++p)
            block.append (recordFilledWith ((uint8_t) (n * 50 + 1)).data(), 256);
        banks.push_back (block);
    }
    const auto image = makeBankImage (bankimage::dataFileHeader, banks);

    // Cut inside program 67 of U2: U1 and U2's first 67 programs are whole, the rest is not.
    fileIn (t, "data_X4m.mph").replaceWithData (image.getData(), 50000);
    VirtualRig rig;
    auto engine = makeEngine (t, rig);
    EXPECT_EQ (engine->getSynthBank (0)->getProgramRecord (127), recordFilledWith (1));
    EXPECT_EQ (engine->getSynthBank (1)->getProgramRecord (66), recordFilledWith (51));
    EXPECT_EQ (engine->getSynthBank (1)->getProgramRecord (67), factoryProgram (1, 67));
    EXPECT_EQ (engine->getSynthBank (3)->getProgramRecord (0), factoryProgram (3, 0));
    EXPECT_EQ (engine->getSynthBank (4)->getProgramRecord (0), factoryProgram (0, 0));
}

TEST (BankDataFile, AnEditedProgramIsSavedAtItsOffsetAndLoadedAgain)
{
    TempFolder t;
    const auto edited = recordFilledWith (0x5a);
    {
        VirtualRig rig;
        auto engine = makeEngine (t, rig);
        engine->storeProgram (true, 3, 5, edited);
        engine->storeProgram (true, 7, 5, edited); // F4: kept in a file of its own, not in the bank data
    }
    const auto data = contentsOf (fileIn (t, "data_X4m.mph"));
    ASSERT_EQ (data.getSize(), 131099u);
    EXPECT_EQ (data.toString().substring (0, 14), "*Mopho  Data >");
    EXPECT_EQ (std::memcmp (static_cast<const uint8_t*> (data.getData()) + 98318 + 5 * 256, edited.data(), 256), 0);

    VirtualRig rig;
    auto engine = makeEngine (t, rig);
    EXPECT_EQ (engine->getSynthBank (3)->getProgramRecord (5), edited);
    EXPECT_EQ (engine->getSynthBank (7)->getProgramRecord (5), edited);
    EXPECT_EQ (engine->getSynthBank (7)->getProgramRecord (6), factoryProgram (3, 6));
}

TEST (BankDataFile, LoadingAUserBankSavesAtOnce)
{
    TempFolder t;
    VirtualRig rig;
    auto engine = makeEngine (t, rig);
    Bank_Program plugin ("Program Bank");
    engine->setPluginBank (&plugin);
    EventCollector events (*engine);
    const auto dataFile = fileIn (t, "data_X4m.mph");
    EXPECT_FALSE (dataFile.exists());

    // Factory banks are not saved.
    engine->loadFactoryBankInto (4, 2);
    EXPECT_FALSE (dataFile.exists());
    EXPECT_EQ (engine->getSynthBank (4)->getProgramRecord (9), factoryProgram (2, 9));

    const auto edited = recordFilledWith (0x33);
    juce::MemoryBlock dumps;
    dumps.append (makeProgramDump (0, 0, edited).getData(), 300);
    dumps.append (makeProgramDump (0, 1, edited).getData(), 300);
    engine->loadSynthBankFromDumps (1, dumps);

    auto data = contentsOf (dataFile);
    ASSERT_EQ (data.getSize(), 131099u);
    EXPECT_EQ (std::memcmp (static_cast<const uint8_t*> (data.getData()) + 32782 + 256, edited.data(), 256), 0);

    engine->initialiseSynthBank (2);
    data = contentsOf (dataFile);
    ASSERT_EQ (data.getSize(), 131099u);
    EXPECT_EQ (std::memcmp (static_cast<const uint8_t*> (data.getData()) + 65550, initialProgram().data(), 256), 0);
    EXPECT_EQ (engine->getSynthBank (2)->getProgramRecord (127), initialProgram());

    int bankEvents = 0;
    for (auto code : events.take())
        bankEvents += code == event::bankContentsChanged ? 1 : 0;
    EXPECT_EQ (bankEvents, 3);

    engine->initialiseSynthBank (8); // no such bank
    EXPECT_TRUE (events.take().empty());
}

TEST (BankDataFile, SavesFromTwoThreadsLeaveOneWholeFile)
{
    // A bank receive completes on the MIDI input thread while the message thread saves too.
    TempFolder t;
    VirtualRig rig;
    auto engine = makeEngine (t, rig);
    std::thread inputThread ([&]
                             {
                                 for (int i = 0; i < 10; ++i)
                                     engine->saveBankData();
                             });
    for (int i = 0; i < 10; ++i)
    {
        engine->getSynthBank (0)->setProgram (i, recordFilledWith ((uint8_t) i));
        engine->saveBankData();
        engine->saveSettings();
    }
    inputThread.join();

    EXPECT_EQ (fileIn (t, "data_X4m.mph").getSize(), 131099);
    // Settings, bank data, ports; nothing else but the hidden lock file.
    EXPECT_EQ (t.folder.getNumberOfChildFiles (juce::File::findFiles | juce::File::ignoreHiddenFiles, "*"), 3);
    EXPECT_EQ (t.folder.getNumberOfChildFiles (juce::File::findFiles, "*"), 4);
    engine->saveBankData();
    EXPECT_EQ (std::memcmp (static_cast<const uint8_t*> (contentsOf (fileIn (t, "data_X4m.mph")).getData()) + 14 + 9 * 256,
                            recordFilledWith (9).data(), 256),
               0);
}

//==============================================================================
TEST (PortsFile, NamesByTheirTerminators)
{
    struct Case
    {
        std::string bytes;
        const char* input;
        const char* output;
    };
    const Case cases[] = {
        { "MIDI Dev\x0fMIDI Dev\x10NONE\x11", "MIDI Dev", "MIDI Dev" },
        { "In A\x0fOut B\x10", "In A", "Out B" },              // no third entry needed
        { "ab", "NONE", "NONE" },                               // too short
        { "\x0fOut\x10NONE\x11", "NONE", "NONE" },              // 0x0F as the first byte
        { "In\x0f\x10NONE\x11", "In", "" },                      // an empty output name
        { "In\x10Out\x0fNONE\x11", "NONE", "NONE" },            // 0x10 before 0x0F
        { "In\x0fOut", "NONE", "NONE" },                         // no 0x10
        { "A\x0f" "B\x0f" "C\x10" "D\x10", "A\x0f" "B", "C\x10" "D" }, // the last of each counts
        { "Ger\xe4t\x0fGer\xc3\xa4t\x10", "Ger\xc3\xa4t", "Ger\xc3\xa4t" }, // 8-bit and UTF-8 both read
    };
    for (const auto& c : cases)
    {
        const auto names = portNamesFromBytes (c.bytes.data(), c.bytes.size());
        ASSERT_EQ (names.size(), 3);
        EXPECT_EQ (names[0], juce::String::fromUTF8 (c.input)) << c.bytes;
        EXPECT_EQ (names[1], juce::String::fromUTF8 (c.output)) << c.bytes;
        EXPECT_EQ (names[2], "NONE") << c.bytes;
    }
}

TEST (PortsFile, WrittenNamesReadBackAsTheyWere)
{
    EXPECT_EQ (makePortsFile ({ "NONE", "NONE", "NONE" }), bytes ("NONE\x0fNONE\x10NONE\x11"));

    const auto utf8Name = juce::String::fromUTF8 ("Ger\xc3\xa4t \xe2\x86\x92 1");
    const auto file = makePortsFile ({ utf8Name, juce::String ("x") + juce::String::charToString (0x10) + "y", "NONE" });
    const auto names = portNamesFromBytes (file.getData(), file.getSize());
    EXPECT_EQ (names[0], utf8Name);
    EXPECT_EQ (names[1], "xy"); // a terminator byte can never be part of a name
}

TEST (PortsFile, AShortOrMissingFileIsRewrittenWithNone)
{
    TempFolder t;
    const auto ports = fileIn (t, "mhxplports.dat");
    EXPECT_EQ (loadPortsFile (t.folder), juce::StringArray ({ "NONE", "NONE", "NONE" }));
    EXPECT_EQ (ports.getSize(), 15);

    ports.replaceWithText ("ab");
    loadPortsFile (t.folder);
    EXPECT_EQ (contentsOf (ports), bytes ("NONE\x0fNONE\x10NONE\x11"));
}

TEST (PortsFile, TheEngineKeepsAndSavesItsPortNames)
{
    TempFolder t;
    const auto saved = bytes ("Test In\x0fTest Out\x10NONE\x11");
    fileIn (t, "mhxplports.dat").replaceWithData (saved.getData(), saved.getSize());

    VirtualRig rig;
    auto engine = makeEngine (t, rig);
    EXPECT_EQ (engine->getPortNames(), juce::StringArray ({ "Test In", "Test Out", "NONE" }));

    engine->selectOutputRow (0);
    engine->savePorts();
    EXPECT_EQ (contentsOf (fileIn (t, "mhxplports.dat")), bytes ("Test In\x0fNONE\x10NONE\x11"));

    fileIn (t, "mhxplports.dat").replaceWithData (saved.getData(), saved.getSize());
    engine->loadPorts();
    EXPECT_EQ (engine->getPortNames()[1], "Test Out");
}

//==============================================================================
TEST (SafeFileWrite, ReplacesWholeAndLeavesNothingElseBehind)
{
    TempFolder t;
    const auto target = t.folder.getChildFile ("sub").getChildFile ("file.dat");
    ASSERT_TRUE (writeFileSafely (target, bytes ("first version")));
    ASSERT_TRUE (writeFileSafely (target, bytes ("second")));
    EXPECT_EQ (target.loadFileAsString(), "second");
    EXPECT_EQ (target.getParentDirectory().getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*"), 1);
    EXPECT_TRUE (writeFileSafely (target, nullptr, 0));
    EXPECT_EQ (target.getSize(), 0);

    // A target that cannot be replaced: the write fails, and no temporary file stays.
    const auto blocked = t.folder.getChildFile ("blocked.dat");
    blocked.getChildFile ("inside").create();
    EXPECT_FALSE (writeFileSafely (blocked, bytes ("data")));
    EXPECT_TRUE (blocked.isDirectory());
    EXPECT_EQ (t.folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories | juce::File::ignoreHiddenFiles, "*"), 2);
    EXPECT_EQ (t.folder.getNumberOfChildFiles (juce::File::findFiles, "*"), 0);

    // No folder can be made under a file.
    EXPECT_FALSE (writeFileSafely (target.getChildFile ("below"), bytes ("data")));
    EXPECT_EQ (target.getSize(), 0);
}
