#include "link/EngineFileStore.h"
#include "files/FolderLock.h"
#include "files/KeptFile.h"
#include "files/SafeFileRead.h"
#include "files/SafeFileWrite.h"
#include "link/EngineSettings.h"
#include "link/FactoryBankFile.h"
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
    {factoryfile::fileName, "The factory bank file", "the banks F1-F4", enginefile::maxBankDataFileSize},
};

bool hasHeader (const juce::MemoryBlock& image, const char* header)
{
    return image.getSize() >= bankimage::dataFileHeaderSize &&
           std::memcmp (image.getData(), header, bankimage::dataFileHeaderSize) == 0;
}

bool hasFactoryFileHeader (const juce::MemoryBlock& image)
{
    return hasHeader (image, factoryfile::fromSynthHeader) || hasHeader (image, factoryfile::localHeader);
}

bool sameHeader (const juce::MemoryBlock& a, const juce::MemoryBlock& b)
{
    return a.getSize() >= bankimage::dataFileHeaderSize && b.getSize() >= bankimage::dataFileHeaderSize &&
           std::memcmp (a.getData(), b.getData(), bankimage::dataFileHeaderSize) == 0;
}

/** What a damaged file of four banks gave: every program, some, or none. */
juce::String programsReadText (int programsRead, const char* banks, const char* instead)
{
    return programsRead >= numUserPrograms ? juce::String ("every program in it was read")
           : programsRead > 0 ? juce::String (programsRead) + " of " + juce::String (numUserPrograms) +
                                    " programs were read, the rest are " + instead
                              : juce::String (banks) + " hold " + instead;
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
    for (size_t k = 0; k < files.size(); ++k)
        files[k] = std::make_unique<KeptFile> (folder.getChildFile (kinds[k].fileName), kinds[k].label,
                                               kinds[k].contents, kinds[k].maxSize,
                                               [this] (const juce::String& text) { notice (text); });
}

EngineFileStore::~EngineFileStore() = default;

FileReadResult EngineFileStore::read (Kind kind) const
{
    return file (kind).read();
}

void EngineFileStore::removeStaleTemporaryFiles()
{
    kelvo::removeStaleTemporaryFiles (folder,
                                      {enginefile::settingsFileName, enginefile::bankDataFileName,
                                       enginefile::portsFileName, factoryfile::fileName,
                                       enginefile::simulatorMemoryFileName});
}

bool EngineFileStore::setAside (Kind kind, const FileReadResult& found, size_t validSize,
                                const juce::String& what)
{
    return file (kind).setAside (KeptFile::problemOf (found, validSize), what);
}

bool EngineFileStore::write (Kind kind, const juce::MemoryBlock& bytes)
{
    return file (kind).write (bytes);
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
    if (file (settingsFile).isProtected())
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
bool EngineFileStore::isUsableBankImage (Kind kind, const FileReadResult& found)
{
    return found.isOk() && found.bytes.getSize() == bankimage::dataFileImageSize &&
           (kind != factoryFile || hasFactoryFileHeader (found.bytes));
}

void EngineFileStore::loadBanks (const UserBanks& userBanks)
{
    const auto found = read (bankDataFile);
    loadUserBanks (userBanks, found.bytes.getData(), found.bytes.getSize());
    bankBaseline = imageOf (userBanks);

    if (found.status == FileReadResult::Status::missing || isUsableBankImage (bankDataFile, found))
        return;

    const auto what =
        programsReadText (numLoadablePrograms (found.bytes.getSize()), "U1-U4", "factory programs");
    // Kept aside, then written whole with what was read, so that the next start finds a good file.
    if (setAside (bankDataFile, found, bankimage::dataFileImageSize, what))
        write (bankDataFile, bankBaseline);
}

bool EngineFileStore::saveBanks (const UserBanks& userBanks)
{
    auto image = imageOf (userBanks);
    return saveBankImage (bankDataFile, userBanks, image, bankBaseline);
}

bool EngineFileStore::loadFactoryBanks (const UserBanks& factoryBanks, bool& fromSynth)
{
    const auto found = read (factoryFile);
    // Without one of its own headers the file is not taken at all: junk never becomes programs.
    const auto readable = found.bytes.getSize() > 0 && hasFactoryFileHeader (found.bytes) &&
                          (found.isOk() || found.status == FileReadResult::Status::tooLarge);
    const auto programsRead = readable ? numLoadablePrograms (found.bytes.getSize()) : 0;
    if (programsRead > 0)
    {
        // Each bank keeps the built-in factory programs where the file does not hold them whole.
        loadUserBanks (factoryBanks, found.bytes.getData(), found.bytes.getSize());
        fromSynth = hasHeader (found.bytes, factoryfile::fromSynthHeader);
    }
    factoryBaseline = factoryfile::makeImage ({factoryBanks[0], factoryBanks[1], factoryBanks[2], factoryBanks[3]},
                                              programsRead > 0 && fromSynth);

    if (found.status == FileReadResult::Status::missing || isUsableBankImage (factoryFile, found))
        return programsRead > 0;

    const auto what = programsReadText (programsRead, "F1-F4", "the built-in factory programs");
    if (setAside (factoryFile, found, bankimage::dataFileImageSize, what) && programsRead > 0)
        write (factoryFile, factoryBaseline);
    return programsRead > 0;
}

bool EngineFileStore::saveFactoryBanks (const UserBanks& factoryBanks, bool& fromSynth)
{
    auto image =
        factoryfile::makeImage ({factoryBanks[0], factoryBanks[1], factoryBanks[2], factoryBanks[3]}, fromSynth);
    const auto took = saveBankImage (factoryFile, factoryBanks, image, factoryBaseline);
    fromSynth = hasHeader (image, factoryfile::fromSynthHeader);
    return took;
}

bool EngineFileStore::saveBankImage (Kind kind, const UserBanks& banks, juce::MemoryBlock& merged,
                                     juce::MemoryBlock& baseline)
{
    if (file (kind).isProtected())
        return false;

    auto mustWrite = merged != baseline;

    const FolderLock lock (folder, lockWaitMilliseconds);
    const auto found = read (kind);
    const auto usable = isUsableBankImage (kind, found);
    if (!usable && found.status != FileReadResult::Status::missing)
    {
        if (!setAside (kind, found, bankimage::dataFileImageSize, "it was replaced by the banks in use"))
            return false;
        mustWrite = true;
    }

    // Programs this instance did not change take what another instance saved meanwhile, and so
    // does the header when this instance left it as it was.
    bool tookFromDisk = false;
    if (usable && found.bytes != baseline)
    {
        if (sameHeader (merged, baseline) && !sameHeader (merged, found.bytes))
        {
            merged.copyFrom (found.bytes.getData(), 0, bankimage::dataFileHeaderSize);
            baseline.copyFrom (found.bytes.getData(), 0, bankimage::dataFileHeaderSize);
            tookFromDisk = true;
        }
        const auto current = merged;
        for (int n = 0; n < numUserPrograms; ++n)
        {
            if (!sameProgram (current, baseline, n) || sameProgram (current, found.bytes, n))
                continue;
            const auto* theirs = programIn (found.bytes, n);
            std::memcpy (const_cast<uint8_t*> (programIn (merged, n)), theirs, (size_t)program::recordSize);
            std::memcpy (const_cast<uint8_t*> (programIn (baseline, n)), theirs, (size_t)program::recordSize);
            banks[(size_t)(n / program::programsPerBank)]->setProgram (n % program::programsPerBank, theirs,
                                                                        (size_t)program::recordSize);
            tookFromDisk = true;
        }
    }

    if ((usable && found.bytes == merged) || !mustWrite)
        baseline = merged;
    else if (write (kind, merged))
        baseline = merged;
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
    if (file (portsFile).isProtected())
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
