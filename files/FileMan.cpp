#include "files/FileMan.h"

#include "files/SafeFileRead.h"
#include "files/SafeFileWrite.h"
#include "model/Bank_Program.h"
#include "model/DSI_Program.h"

namespace kelvo
{
namespace
{
struct DialogRow
{
    int type;
    const char* title;
    std::initializer_list<const char*> patterns;
};

const DialogRow dialogRows[] = {
    {filedialog::program, "Load Single Mopho Program", {"*.m_p", "*.syx"}},
    {filedialog::saveProgram, "Save Mopho Program", {"*.m_p", "*.syx"}},
    {filedialog::bank, "Load Mopho Program Bank", {"*.m_b", "*.syx"}},
    {filedialog::saveBank, "Save Mopho Program Bank", {"*.m_b", "*.syx"}},
    {filedialog::library, "Load Program Library", {"*.m_l"}},
    {filedialog::saveLibrary, "Save Mopho Program Library", {"*.m_l"}},
    {filedialog::fxBank, "Load FX Preset Bank", {filedialog::fxBankExtension}},
    {filedialog::saveFxBank, "Save FX Preset Bank", {filedialog::fxBankExtension}},
    {filedialog::fxPreset, "Load FX Preset", {filedialog::fxPresetExtension}},
    {filedialog::saveFxPreset, "Save FX Preset", {filedialog::fxPresetExtension}},
    {filedialog::saveProgramNames, "Export Program Names", {"*.midnam"}},
    {filedialog::savePatchSheet, "Export Patch Sheet", {"*.png"}},
};

// The fxb and fxp patterns are "*" and the extension the preset bank also uses.
bool isBareExtension (const char* pattern)
{
    return pattern[0] == '.';
}

constexpr const char* untitledName = "Untitled";
} // namespace

FileMan::FileMan() : loadedProgram (initialProgram()) {}
FileMan::~FileMan() = default;

//==============================================================================
FileMan::DialogType FileMan::dialogType (int type)
{
    for (const auto& row : dialogRows)
    {
        if (row.type != type)
            continue;
        DialogType result{row.title, {}};
        for (const auto* p : row.patterns)
            result.patterns.add (isBareExtension (p) ? juce::String ("*") + p : juce::String (p));
        return result;
    }
    return {};
}

juce::String FileMan::filterText (int type)
{
    return dialogType (type).patterns.joinIntoString (";");
}

juce::File FileMan::completeExtension (const juce::File& picked, int type)
{
    const auto patterns = dialogType (type).patterns;
    if (patterns.isEmpty() || picked == juce::File())
        return picked;
    // Only an extension of the kind saved counts: "Arp. Bass" is a name with a dot in it.
    for (const auto& pattern : patterns)
        if (pattern.startsWith ("*.") && picked.getFileName().endsWithIgnoreCase (pattern.substring (1)))
            return picked;
    return picked.getSiblingFile (picked.getFileName() + patterns[0].substring (1));
}

juce::String FileMan::suggestedFileName (const juce::String& programName)
{
    const auto legal = juce::File::createLegalFileName (programName.trimEnd()).trim();
    return legal.isEmpty() ? juce::String (untitledName) : legal;
}

int FileMan::folderSetting (int type) noexcept
{
    switch (type % filedialog::saveOffset)
    {
    case filedialog::program:
        return filedialog::firstFolderSetting;
    case filedialog::bank:
        return filedialog::firstFolderSetting + 1;
    case filedialog::library:
        return filedialog::firstFolderSetting + 2;
    case filedialog::fxBank:
        return filedialog::firstFolderSetting + 3;
    case filedialog::fxPreset:
        return filedialog::firstFolderSetting + 4;
    case filedialog::programNames:
        return filedialog::firstFolderSetting + 5;
    default:
        return -1;
    }
}

//==============================================================================
FileMan::ReadStatus FileMan::readFile (const juce::File& file)
{
    fileContent.reset();
    // Only a regular file is opened, and never read past the limit: a pipe or a device chosen by
    // mistake can neither hang the caller nor fill its memory.
    auto found = readFileSafely (file, (size_t)maxReadableFileSize);
    lastRead.status = found.status;
    lastRead.error = found.error;
    lastRead.limit = found.limit;
    switch (found.status)
    {
    case FileReadResult::Status::ok:
        fileContent = std::move (found.bytes);
        return ReadStatus::ok;
    case FileReadResult::Status::notAFile:
        return ReadStatus::notAFile;
    case FileReadResult::Status::tooLarge:
        return ReadStatus::tooLarge;
    case FileReadResult::Status::missing:
    case FileReadResult::Status::unreadable:
    default:
        return ReadStatus::missing;
    }
}

bool FileMan::programFromBytes (const void* data, size_t numBytes, ProgramRecord& record,
                                juce::MemoryBlock& firstMessage)
{
    firstMessage.reset();
    if (data == nullptr || numBytes < minProgramFileSize)
        return false;

    const auto* bytes = static_cast<const uint8_t*> (data);
    const auto* end = bytes + numBytes;
    const auto* start = std::find (bytes, end, sysex::start);
    if (start == end)
        return false;
    const auto* stop = std::find (start, end, sysex::end);
    if (stop == end)
        return false;

    firstMessage.replaceAll (start, (size_t)(stop - start) + 1);
    const auto size = (int)firstMessage.getSize();
    if (size != sysex::editBufferDumpSize && size != sysex::programDumpSize)
        return false;

    DSI_Program program;
    if (!program.setFromBlock (firstMessage))
        return false;
    record = program.getRecord();
    return true;
}

FileMan::ReadStatus FileMan::loadSingleProgram (const juce::File& file)
{
    message.reset();
    if (const auto status = readFile (file); status != ReadStatus::ok)
        return status;

    ProgramRecord record;
    if (!programFromBytes (fileContent.getData(), fileContent.getSize(), record, message))
    {
        const auto* m = static_cast<const uint8_t*> (message.getData());
        const auto size = message.getSize();
        if ((size == (size_t)sysex::editBufferDumpSize || size == (size_t)sysex::programDumpSize) &&
            !isMophoX4Message (m, size))
        {
            otherSynthDevice = deviceOf (m, size);
            otherSynthBank = false;
            return ReadStatus::otherSynth;
        }
        return ReadStatus::notUsable;
    }
    loadedProgram = record;
    return ReadStatus::ok;
}

FileMan::ReadStatus FileMan::loadProgramBank (const juce::File& file)
{
    if (const auto status = readFile (file); status != ReadStatus::ok)
        return status;
    if (fileContent.getSize() < minProgramFileSize)
        return ReadStatus::notUsable;

    auto found = splitProgramDumps (fileContent);
    if (found.count == 0)
        return ReadStatus::notUsable;
    // Another synth's bank is refused whole: its programs mean other parameters here.
    if (refuseOtherSynth (found) == ReadStatus::otherSynth)
        return ReadStatus::otherSynth;

    // A file of several banks fills one bank with its first 128 programs.
    allDumps = std::move (found);
    loadedDumps = allDumps;
    if (loadedDumps.count > program::programsPerBank)
    {
        loadedDumps.count = program::programsPerBank;
        loadedDumps.dumps.setSize ((size_t)loadedDumps.count * (size_t)sysex::programDumpSize);
    }
    return ReadStatus::ok;
}

juce::String FileMan::describeFirstBankTaken (const juce::File& file, int programsInFile)
{
    if (programsInFile <= program::programsPerBank)
        return {};
    return file.getFileName() + " holds " + juce::String (programsInFile) + " programs: programs 1-" +
           juce::String (program::programsPerBank) + " were taken, the other " +
           juce::String (programsInFile - program::programsPerBank) + " were left out.";
}

bool FileMan::factorySetFromBytes (const void* data, size_t numBytes, FactorySet& set)
{
    const auto found = splitProgramDumps (data, numBytes);
    std::array<std::array<bool, program::programsPerBank>, factorySetBanks> seen{};
    int filled = 0;

    const auto* dumps = static_cast<const uint8_t*> (found.dumps.getData());
    for (int i = 0; i < found.count; ++i)
    {
        const auto* dump = dumps + (size_t)i * (size_t)sysex::programDumpSize;
        const auto bank = dump[sysex::programDumpBankOffset];
        const auto programNumber = dump[sysex::programDumpProgramOffset];
        if (dump[3] != sysex::programDump || bank >= factorySetBanks ||
            programNumber >= program::programsPerBank || !isMophoX4Message (dump, (size_t)sysex::programDumpSize))
            continue;
        set[bank][programNumber] = unpackProgramData (dump + sysex::programDataOffset);
        if (!seen[bank][programNumber])
        {
            seen[bank][programNumber] = true;
            ++filled;
        }
    }
    // Half a factory set would leave F1..F4 a mixture of two synths: take it whole or not at all.
    return filled == factorySetBanks * program::programsPerBank;
}

FileMan::ReadStatus FileMan::loadFactorySet (const juce::File& file)
{
    if (const auto status = readFile (file); status != ReadStatus::ok)
        return status;
    auto set = std::make_unique<FactorySet>();
    if (!factorySetFromBytes (fileContent.getData(), fileContent.getSize(), *set))
        return refuseOtherSynth (splitProgramDumps (fileContent));
    factorySet = std::move (set);
    return ReadStatus::ok;
}

FileMan::ReadStatus FileMan::refuseOtherSynth (const ProgramDumps& found)
{
    const auto* dumps = static_cast<const uint8_t*> (found.dumps.getData());
    for (int i = 0; i < found.count; ++i)
    {
        const auto* dump = dumps + (size_t)i * (size_t)sysex::programDumpSize;
        if (!isMophoX4Message (dump, (size_t)sysex::programDumpSize))
        {
            otherSynthDevice = deviceOf (dump, (size_t)sysex::programDumpSize);
            otherSynthBank = true;
            return ReadStatus::otherSynth;
        }
    }
    return ReadStatus::notUsable;
}

juce::String FileMan::describeProblem (ReadStatus status, const juce::File& file,
                                       const juce::String& notUsableText) const
{
    switch (status)
    {
    case ReadStatus::ok:
        return {};
    case ReadStatus::missing:
    case ReadStatus::notAFile:
    case ReadStatus::tooLarge:
        return describeUnreadFile (file, lastRead);
    case ReadStatus::notUsable:
        return notUsableText;
    case ReadStatus::otherSynth:
        return file.getFileName() + " holds " + describeOtherSynthPrograms (otherSynthDevice, otherSynthBank) +
               ": nothing was loaded";
    }
    return {};
}

//==============================================================================
bool FileMan::saveSingleProgram (const juce::File& file, const juce::MemoryBlock& dump)
{
    if (dump.getSize() != (size_t)sysex::editBufferDumpSize)
        return false;
    return writeFileSafely (file, dump);
}

juce::MemoryBlock FileMan::makeBankFile (const Bank_Program& bank, int bankNumber)
{
    juce::MemoryBlock content;
    for (int n = 0; n < program::programsPerBank; ++n)
        content.append (makeProgramDump (bankNumber, n, bank.getProgramRecord (n)).getData(),
                        (size_t)sysex::programDumpSize);
    return content;
}

bool FileMan::saveProgramBank (const juce::File& file, const Bank_Program& bank, int bankNumber)
{
    return writeFileSafely (file, makeBankFile (bank, bankNumber));
}

} // namespace kelvo
