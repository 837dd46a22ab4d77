#include "link/EngineFileStore.h"
#include "files/FolderLock.h"
#include "files/SafeFileRead.h"
#include "files/SafeFileWrite.h"
#include "link/EngineSettings.h"
#include "model/BankImage.h"
#include "model/Bank_Program.h"
#include "model/SynthBanks.h"

#include <cstring>

#include <string_view>

namespace kelvo
{
namespace
{
constexpr int numUserPrograms = synthbanks::numUserBanks * program::programsPerBank;

// A temporary file this old was left by a save that never finished: no save takes a minute.
const juce::RelativeTime staleTemporaryAge = juce::RelativeTime::minutes (1);

struct KindInfo
{
    const char* fileName;
    const char* label;    // the file, as the user is told about it
    const char* contents; // what a save of it keeps
    size_t maxSize;
};

const KindInfo kinds[] = {
    {enginefile::settingsFileName, "The settings file", "the settings", enginefile::maxSettingsFileSize},
    {enginefile::bankDataFileName, "The bank file", "the banks U1-U4", enginefile::maxBankDataFileSize},
    {enginefile::portsFileName, "The MIDI ports file", "the chosen MIDI ports", enginefile::maxPortsFileSize},
};

// What is wrong with a file: what readFileSafely found, or a length that is not the one right length.
FileProblem describe (const FileReadResult& found, size_t validSize)
{
    if (found.isDamaged())
        return describeReadProblem (found);
    const auto size = found.bytes.getSize();
    if (size == 0)
        return {"is empty", "empty"};
    if (validSize != 0 && size < validSize)
        return {"is cut short", "cut-short"};
    if (validSize != 0 && size > validSize)
        return {"is longer than it should be", "too-long"};
    return {"holds nothing usable", "unusable"};
}

juce::MemoryBlock utf8Of (const juce::String& text)
{
    // The stored bytes to the terminator: getNumBytesAsUTF8() counts an overlong sequence read from
    // a file shorter than it is stored, which would cut the end of the text off.
    const std::string_view bytes (text.toRawUTF8());
    return {bytes.data(), bytes.size()};
}

juce::StringArray paddedToAllEntries (juce::StringArray entries)
{
    while (entries.size() < settings::numEntries)
        entries.add ("0");
    return entries;
}

const uint8_t* programIn (const juce::MemoryBlock& image, int n)
{
    return static_cast<const uint8_t*> (image.getData()) + bankimage::dataFileHeaderSize +
           (size_t)n * (size_t)program::recordSize;
}

bool sameProgram (const juce::MemoryBlock& a, const juce::MemoryBlock& b, int n)
{
    return std::memcmp (programIn (a, n), programIn (b, n), (size_t)program::recordSize) == 0;
}

juce::MemoryBlock imageOf (const EngineFileStore::UserBanks& banks)
{
    return makeBankDataImage ({banks[0], banks[1], banks[2], banks[3]});
}
} // namespace

EngineFileStore::EngineFileStore (const juce::File& f, NoticeHandler onNotice)
    : folder (f), notice (std::move (onNotice))
{
}

EngineFileStore::~EngineFileStore() = default;

juce::File EngineFileStore::fileOf (Kind kind) const
{
    return folder.getChildFile (kinds[kind].fileName);
}

FileReadResult EngineFileStore::read (Kind kind) const
{
    return readFileSafely (fileOf (kind), kinds[kind].maxSize);
}

void EngineFileStore::removeStaleTemporaryFiles()
{
    kelvo::removeStaleTemporaryFiles (folder,
                                      {enginefile::settingsFileName, enginefile::bankDataFileName,
                                       enginefile::portsFileName, enginefile::simulatorMemoryFileName},
                                      staleTemporaryAge);
}

bool EngineFileStore::setAside (Kind kind, const FileReadResult& found, size_t validSize,
                                const juce::String& what)
{
    const auto problem = describe (found, validSize);
    const auto told = juce::String (kinds[kind].label) + " " + problem.words + "; " + what + ".";
    const auto aside = setFileAside (fileOf (kind), problem.nameTag);
    if (aside == juce::File())
    {
        isProtected[(size_t)kind] = true;
        notice (told + " It could not be moved aside, so it is not written over: changes to " +
                kinds[kind].contents + " are not saved.");
        return false;
    }
    notice (told + " The old file was kept as \"" + aside.getFullPathName() + "\".");
    return true;
}

bool EngineFileStore::write (Kind kind, const juce::MemoryBlock& bytes)
{
    if (isProtected[(size_t)kind])
        return false;

    juce::String whyNot;
    if (writeFileSafely (fileOf (kind), bytes, &whyNot))
    {
        writeFailed[(size_t)kind] = false;
        return true;
    }
    if (!std::exchange (writeFailed[(size_t)kind], true))
        notice ("Could not save " + juce::String (kinds[kind].contents) + " to \"" +
                fileOf (kind).getFullPathName() + "\": " + whyNot + ". The previous file is kept.");
    return false;
}

//==============================================================================
LoadedSettings EngineFileStore::loadSettings()
{
    const auto found = read (settingsFile);
    if (found.status == FileReadResult::Status::missing)
    {
        // A first start: the defaults, and the synth still to be found (the same as an unusable
        // file, only with nothing to tell the user).
        LoadedSettings defaults{defaultSettings(), true};
        write (settingsFile, utf8Of (makeSettingsText (defaults.entries)));
        settingsBaseline = paddedToAllEntries (defaults.entries);
        return defaults;
    }

    auto loaded = settingsFromBytes (found.bytes.getData(), found.bytes.getSize());
    if (found.isDamaged() || (loaded.wereReset && found.bytes.getSize() > 0))
    {
        const auto what = loaded.wereReset ? juce::String ("the settings were reset")
                                           : juce::String ("the settings found at its start were kept");
        if (setAside (settingsFile, found, 0, what))
            write (settingsFile, utf8Of (makeSettingsText (loaded.entries)));
    }
    else if (loaded.wereReset)
    {
        notice ("The settings file was empty; the settings were reset.");
    }
    settingsBaseline = paddedToAllEntries (loaded.entries);
    return loaded;
}

bool EngineFileStore::saveSettings (const juce::StringArray& entries)
{
    if (isProtected[settingsFile])
        return false;
    const FolderLock lock (folder, lockWaitMilliseconds);
    const auto found = read (settingsFile);
    if (found.isDamaged() && !setAside (settingsFile, found, 0, "it was replaced by the settings in use"))
        return false;

    // Entries this instance did not change keep what another instance may have saved meanwhile.
    auto merged = entries;
    if (found.isOk())
    {
        const auto onDisk = splitSettingsEntries (
            juce::String::createStringFromData (found.bytes.getData(), (int)found.bytes.getSize()),
            settings::numEntries);
        if (onDisk.size() >= enginefile::minUsableEntries)
            for (int i = 0; i < juce::jmin (merged.size(), onDisk.size(), settingsBaseline.size()); ++i)
                if (entries[i] == settingsBaseline[i])
                    merged.set (i, onDisk[i]);
    }

    const auto bytes = utf8Of (makeSettingsText (merged));
    if ((found.isOk() && found.bytes == bytes) || write (settingsFile, bytes))
    {
        settingsBaseline = entries;
        return true;
    }
    return false;
}

//==============================================================================
bool EngineFileStore::isUsableBankImage (const FileReadResult& found)
{
    return found.isOk() && found.bytes.getSize() == bankimage::dataFileImageSize;
}

void EngineFileStore::loadBanks (const UserBanks& userBanks)
{
    const auto found = read (bankDataFile);
    loadUserBanks (userBanks, found.bytes.getData(), found.bytes.getSize());
    bankBaseline = imageOf (userBanks);

    if (found.status == FileReadResult::Status::missing || isUsableBankImage (found))
        return;

    const auto programsRead = numLoadablePrograms (found.bytes.getSize());
    const auto what = programsRead >= numUserPrograms ? juce::String ("every program in it was read")
                      : programsRead > 0
                          ? juce::String (programsRead) + " of " + juce::String (numUserPrograms) +
                                " programs were read, the rest are factory programs"
                          : juce::String ("U1-U4 hold the factory programs");
    // Kept aside, then written whole with what was read, so that the next start finds a good file.
    if (setAside (bankDataFile, found, bankimage::dataFileImageSize, what))
        write (bankDataFile, bankBaseline);
}

bool EngineFileStore::saveBanks (const UserBanks& userBanks)
{
    if (isProtected[bankDataFile])
        return false;

    auto merged = imageOf (userBanks);
    auto mustWrite = merged != bankBaseline;

    const FolderLock lock (folder, lockWaitMilliseconds);
    const auto found = read (bankDataFile);
    const auto usable = isUsableBankImage (found);
    if (!usable && found.status != FileReadResult::Status::missing)
    {
        if (!setAside (bankDataFile, found, bankimage::dataFileImageSize,
                       "it was replaced by the banks in use"))
            return false;
        mustWrite = true;
    }

    // Programs this instance did not change take what another instance saved meanwhile.
    bool tookFromDisk = false;
    if (usable && found.bytes != bankBaseline)
    {
        const auto current = merged;
        for (int n = 0; n < numUserPrograms; ++n)
        {
            if (!sameProgram (current, bankBaseline, n) || sameProgram (current, found.bytes, n))
                continue;
            const auto* theirs = programIn (found.bytes, n);
            std::memcpy (const_cast<uint8_t*> (programIn (merged, n)), theirs, (size_t)program::recordSize);
            std::memcpy (const_cast<uint8_t*> (programIn (bankBaseline, n)), theirs,
                         (size_t)program::recordSize);
            userBanks[(size_t)(n / program::programsPerBank)]->setProgram (
                n % program::programsPerBank, theirs, (size_t)program::recordSize);
            tookFromDisk = true;
        }
    }

    if ((usable && found.bytes == merged) || !mustWrite)
        bankBaseline = merged;
    else if (write (bankDataFile, merged))
        bankBaseline = merged;
    return tookFromDisk;
}

//==============================================================================
juce::StringArray EngineFileStore::loadPorts()
{
    const auto found = read (portsFile);
    auto names = portNamesFromBytes (found.bytes.getData(), found.bytes.getSize());
    if (found.isDamaged())
    {
        names = portNamesFromBytes (nullptr, 0);
        if (setAside (portsFile, found, 0, "no MIDI port is chosen"))
            write (portsFile, makePortsFile (names));
    }
    else if (found.bytes.getSize() < enginefile::minUsablePortsSize)
    {
        write (portsFile, makePortsFile (names));
    }
    return names;
}

bool EngineFileStore::savePorts (const juce::StringArray& names)
{
    if (isProtected[portsFile])
        return false;
    const auto bytes = makePortsFile (names);
    const FolderLock lock (folder, lockWaitMilliseconds);
    const auto found = read (portsFile);
    if (found.isOk() && found.bytes == bytes)
        return true;
    if (found.isDamaged() && !setAside (portsFile, found, 0, "it was replaced by the ports in use"))
        return false;
    return write (portsFile, bytes);
}

} // namespace kelvo
