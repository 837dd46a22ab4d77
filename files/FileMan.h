#pragma once

#include "files/SafeFileRead.h"

#include "model/ProgramPacking.h"
#include "model/ProgramRecord.h"

#include <juce_core/juce_core.h>

#include <array>

namespace kelvo
{
class Bank_Program;

/** The file dialogs the system opens: each kind has a number below 100 to open a file and the same
    number plus 100 to save one. */
namespace filedialog
{
constexpr int saveOffset = 100;
constexpr int program = 1;
constexpr int bank = 3;
constexpr int library = 4;
constexpr int fxBank = 10;
constexpr int fxPreset = 11;
constexpr int programNames = 12;
constexpr int saveProgram = program + saveOffset;
constexpr int saveBank = bank + saveOffset;
constexpr int saveLibrary = library + saveOffset;
constexpr int saveFxBank = fxBank + saveOffset;
constexpr int saveFxPreset = fxPreset + saveOffset;
constexpr int saveProgramNames = programNames + saveOffset;
constexpr int patchSheet = 13;
constexpr int savePatchSheet = patchSheet + saveOffset;

constexpr const char* fxBankExtension = ".fxb";
constexpr const char* fxPresetExtension = ".fxp";

/** The settings entries that remember the folder last used for each kind (program, bank, library,
    preset bank, preset, program names). */
constexpr int firstFolderSetting = 30;
} // namespace filedialog

/**
    Program and bank files, and what every file dialog of the system needs to know: its title and
    patterns, how a saved name is completed, and how a chosen file is read.

    A program file is one 298-byte edit-buffer dump; a bank file is 128 program dumps of 300 bytes
    back to back. Reading is forgiving (the first SysEx message of a program file, every program
    dump of a bank file, whatever surrounds them); writing goes through writeFileSafely, so a failed
    save leaves any earlier file whole and says so. Files larger than maxReadableFileSize are refused
    before anything is read into memory.

    The chooser itself lives with the editor (it needs a display); this class is given the chosen
    file. One thread at a time (the message thread of its owner).
*/
class FileMan
{
public:
    /** Program, bank and factory-set files are a few hundred kilobytes at most. */
    static constexpr juce::int64 maxReadableFileSize = 4 * 1024 * 1024;
    /** Fewer bytes cannot hold a program. */
    static constexpr size_t minProgramFileSize = 10;
    /** A factory set: four banks of 128 program dumps. */
    static constexpr int factorySetBanks = 4;

    enum class ReadStatus
    {
        ok,
        missing,  // not an existing file, or unreadable
        notAFile, // a folder, a pipe or a device: never opened
        tooLarge, // refused unread
        notUsable, // read, but holds nothing of the kind asked for
        otherSynth // holds programs of another synth (see getOtherSynthDevice)
    };

    FileMan();
    ~FileMan();

    //==============================================================================
    /** Title and patterns of dialog type n; both empty for a type not in the table. */
    struct DialogType
    {
        juce::String title;
        juce::StringArray patterns;
    };
    static DialogType dialogType (int type);
    /** The patterns of a type joined with ";", as a chooser takes them. */
    static juce::String filterText (int type);
    /** A saved name that does not end in one of the type's extensions gets the first pattern's
        extension appended ("Bass" → "Bass.m_p", "lib.l" → "lib.l.m_l", "Arp. Bass" →
        "Arp. Bass.m_p"); "Bass.syx" stays. */
    static juce::File completeExtension (const juce::File& picked, int type);
    /** A name that can be a file name: the program name without trailing spaces, made legal,
        "Untitled" when nothing is left. */
    static juce::String suggestedFileName (const juce::String& programName);
    /** The settings entry that remembers the folder of a dialog type's kind, or −1. */
    static int folderSetting (int type) noexcept;

    //==============================================================================
    /** What went wrong with the last read, for the user; notUsableText is the text for notUsable.
        Empty for ok. */
    juce::String describeProblem (ReadStatus status, const juce::File& file, const juce::String& notUsableText) const;
    /** The device byte of the other synth's programs the last read refused. */
    uint8_t getOtherSynthDevice() const noexcept { return otherSynthDevice; }

    /** Reads a whole file into the file content; refuses a file that is missing or too large, and
        anything but a regular file (never opened, so a named pipe returns at once). */
    ReadStatus readFile (const juce::File& file);
    const juce::MemoryBlock& getFileContent() const noexcept { return fileContent; }

    /** Reads a program file: its first SysEx message must be a 298-byte edit-buffer dump or a
        300-byte program dump of the Mopho x4 (another synth's is otherSynth). On success the loaded
        program holds it. */
    ReadStatus loadSingleProgram (const juce::File& file);
    const ProgramRecord& getLoadedProgram() const noexcept { return loadedProgram; }
    const juce::MemoryBlock& getMessage() const noexcept { return message; }

    /** Reads a bank file: every 300-byte program dump in it; a file with a dump of another synth
        is refused whole (otherSynth). On success the loaded dumps hold the first 128 back to back,
        ready for Bank_Program::loadFromDumps, and all dumps hold every one (a file of all banks
        holds 512). */
    ReadStatus loadProgramBank (const juce::File& file);
    const ProgramDumps& getLoadedDumps() const noexcept { return loadedDumps; }
    const ProgramDumps& getAllDumps() const noexcept { return allDumps; }
    /** For a bank file of more programs than one bank takes: how many it holds and which were
        taken. Empty for a file of one bank or less. */
    static juce::String describeFirstBankTaken (const juce::File& file, int programsInFile);

    /** Reads a factory set: 512 program dumps for banks 0..3, each program once. On success the
        loaded set holds the four banks' records. */
    ReadStatus loadFactorySet (const juce::File& file);
    using FactorySet = std::array<std::array<ProgramRecord, program::programsPerBank>, factorySetBanks>;
    const FactorySet& getLoadedFactorySet() const noexcept { return *factorySet; }

    /** Writes one 298-byte edit-buffer dump as the whole file. False when the dump is not one or
        the file could not be written (an earlier file is then left as it was). */
    static bool saveSingleProgram (const juce::File& file, const juce::MemoryBlock& dump);
    /** Writes the bank's 128 programs as program dumps for the given bank number. */
    static bool saveProgramBank (const juce::File& file, const Bank_Program& bank, int bankNumber);

    //==============================================================================
    /** The program a file's bytes hold (see loadSingleProgram); false when none. */
    static bool programFromBytes (const void* data, size_t numBytes, ProgramRecord& record,
                                  juce::MemoryBlock& firstMessage);
    /** The factory set a file's bytes hold (see loadFactorySet); false when they do not hold all 512. */
    static bool factorySetFromBytes (const void* data, size_t numBytes, FactorySet& set);
    /** The 38 400 bytes of a bank file. */
    static juce::MemoryBlock makeBankFile (const Bank_Program& bank, int bankNumber);

private:
    ReadStatus refuseOtherSynth (const ProgramDumps& found);

    juce::MemoryBlock fileContent, message;
    FileReadResult lastRead; // what the last readFile found, without the bytes
    uint8_t otherSynthDevice = 0;
    bool otherSynthBank = false;
    ProgramRecord loadedProgram;
    ProgramDumps loadedDumps, allDumps;
    std::unique_ptr<FactorySet> factorySet;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FileMan)
};

} // namespace kelvo
