#include "link/EngineFiles.h"
#include "files/SafeFileRead.h"
#include "files/SafeFileWrite.h"
#include "link/EngineSettings.h"
#include "model/BankImage.h"
#include "model/Bank_Program.h"
#include "model/SynthBanks.h"

#include <limits>
#include <string>
#include <string_view>

namespace kelvo
{
namespace
{
juce::File childOf (const juce::File& folder, const char* name)
{
    return folder.getChildFile (name);
}

juce::MemoryBlock readAll (const juce::File& file, size_t maxBytes)
{
    return readFileSafely (file, maxBytes).bytes;
}

// UTF-8 when the bytes are valid UTF-8, otherwise one character per byte (Latin-1), so a name
// written byte by byte from 8-bit codes still reads back as it was.
juce::String textFromBytes (const uint8_t* bytes, size_t numBytes)
{
    if (numBytes == 0)
        return {};
    const auto* chars = reinterpret_cast<const char*> (bytes);
    if (juce::CharPointer_UTF8::isValidString (chars, (int) numBytes))
        return juce::String::fromUTF8 (chars, (int) numBytes);

    juce::String text;
    text.preallocateBytes (numBytes * 2);
    for (size_t i = 0; i < numBytes; ++i)
        text += juce::String::charToString ((juce::juce_wchar) bytes[i]);
    return text;
}

// Finds the last occurrence of a byte, or -1.
int lastIndexOf (const uint8_t* bytes, size_t numBytes, uint8_t value) noexcept
{
    for (auto i = (int) numBytes; --i >= 0;)
        if (bytes[i] == value)
            return i;
    return -1;
}
} // namespace

//==============================================================================
juce::StringArray splitSettingsEntries (const juce::String& text, int maxEntries)
{
    // Searched in the UTF-8 bytes: juce::String positions are characters, and each lookup by
    // position would walk the text from its start again. The bytes are the string's own, to its
    // terminator: a file may hold sequences (overlong ones) that getNumBytesAsUTF8() counts shorter
    // than they are stored.
    const std::string_view utf8 (text.toRawUTF8());
    const std::string_view start (enginefile::entryStart), end (enginefile::entryEnd);

    juce::StringArray entries;
    size_t pos = 0;
    while (entries.size() < maxEntries)
    {
        const auto open = utf8.find (start, pos);
        if (open == std::string_view::npos)
            break;
        // The end marker is looked for after the start marker, so that an entry beginning with '^'
        // cannot be mistaken for the end of the one before.
        const auto first = open + start.size();
        const auto close = utf8.find (end, first);
        if (close == std::string_view::npos)
            break;
        entries.add (juce::String::fromUTF8 (utf8.data() + first, (int) (close - first)));
        pos = close + 1;
    }
    return entries;
}

LoadedSettings settingsFromText (const juce::String& text)
{
    LoadedSettings result;
    const auto entries = text.length() < enginefile::minSettingsTextLength ? juce::StringArray()
                                                                           : splitSettingsEntries (text, settings::numStored);

    if (entries.size() >= enginefile::minUsableEntries)
    {
        for (int i = 0; i < juce::jmin (entries.size(), settings::numStored); ++i)
            result.entries.add (entries[i]);
    }
    else
    {
        result.entries = defaultSettings();
        result.wereReset = true;
    }

    while (result.entries.size() < settings::numStored)
        result.entries.add ("0");
    return result;
}

LoadedSettings settingsFromBytes (const void* data, size_t numBytes)
{
    if (data == nullptr || numBytes > (size_t) std::numeric_limits<int>::max())
        return settingsFromText ({});
    return settingsFromText (juce::String::createStringFromData (data, (int) numBytes));
}

juce::String makeSettingsEntrySafe (const juce::String& entry)
{
    // Dropping a '^' next to a '|' brings the next '^' of its run there, so what goes is every whole
    // run of '^' that touches a '|' on either side; done in one pass.
    if (! entry.contains (enginefile::entryStart) && ! entry.contains (enginefile::entryEnd))
        return entry;

    const std::string_view utf8 (entry.toRawUTF8());
    std::string safe;
    safe.reserve (utf8.size());
    for (size_t i = 0; i < utf8.size();)
    {
        if (utf8[i] != '^')
        {
            safe += utf8[i++];
            continue;
        }
        auto runEnd = i;
        while (runEnd < utf8.size() && utf8[runEnd] == '^')
            ++runEnd;
        const auto touchesBar = (i > 0 && utf8[i - 1] == '|') || (runEnd < utf8.size() && utf8[runEnd] == '|');
        if (! touchesBar)
            safe.append (utf8.substr (i, runEnd - i));
        i = runEnd;
    }
    return juce::String::fromUTF8 (safe.data(), (int) safe.size());
}

juce::String makeSettingsText (const juce::StringArray& entries)
{
    juce::String text;
    for (const auto& entry : entries)
        text << enginefile::entryStart << makeSettingsEntrySafe (entry) << enginefile::entryEnd;
    return text;
}

LoadedSettings loadSettingsFile (const juce::File& folder)
{
    const auto file = childOf (folder, enginefile::settingsFileName);
    if (! file.existsAsFile())
    {
        // A first start: the defaults, as for a file that holds nothing usable.
        saveSettingsFile (folder, defaultSettings());
        return {defaultSettings(), true};
    }

    const auto bytes = readAll (file, enginefile::maxSettingsFileSize);
    return settingsFromBytes (bytes.getData(), bytes.getSize());
}

bool saveSettingsFile (const juce::File& folder, const juce::StringArray& entries)
{
    const auto text = makeSettingsText (entries);
    const auto utf8 = text.toUTF8(); // points into text, which must outlive it
    return writeFileSafely (childOf (folder, enginefile::settingsFileName), utf8.getAddress(), utf8.sizeInBytes() - 1);
}

//==============================================================================
juce::MemoryBlock makeBankDataImage (const std::array<const Bank_Program*, 4>& userBanks)
{
    std::vector<juce::MemoryBlock> blocks;
    for (const auto* bank : userBanks)
        blocks.push_back (bank != nullptr ? bank->getAllPrograms() : juce::MemoryBlock());
    return makeBankImage (bankimage::dataFileHeader, blocks);
}

int numLoadablePrograms (size_t imageSize) noexcept
{
    if (imageSize < enginefile::minUsableBankDataSize)
        return 0;
    const auto available = (imageSize - bankimage::dataFileHeaderSize) / (size_t) program::recordSize;
    return (int) juce::jmin (available, (size_t) (synthbanks::numUserBanks * program::programsPerBank));
}

int numLoadableBanks (size_t imageSize) noexcept
{
    if (imageSize < enginefile::minUsableBankDataSize)
        return 0;
    int whole = 0;
    while (whole < synthbanks::numUserBanks
           && bankimage::blockOffset (bankimage::dataFileHeaderSize, whole + 1) <= imageSize)
        ++whole;
    return whole;
}

void loadUserBanks (const std::array<Bank_Program*, 4>& userBanks, const void* image, size_t numBytes)
{
    const auto whole = image != nullptr ? numLoadablePrograms (numBytes) : 0;
    const auto* bytes = static_cast<const uint8_t*> (image);
    for (int n = 0; n < (int) userBanks.size(); ++n)
    {
        auto* bank = userBanks[(size_t) n];
        if (bank == nullptr)
            continue;
        const auto first = n * program::programsPerBank;
        if (whole < first + program::programsPerBank)
            bank->loadFactoryBank (n); // what the image does not hold whole
        for (int p = 0; p < program::programsPerBank && first + p < whole; ++p)
            bank->setProgram (p, bytes + bankimage::dataFileHeaderSize + (size_t) (first + p) * (size_t) program::recordSize,
                              (size_t) program::recordSize);
    }
}

juce::MemoryBlock loadBankDataFile (const juce::File& folder)
{
    return readAll (childOf (folder, enginefile::bankDataFileName), enginefile::maxBankDataFileSize);
}

bool saveBankDataFile (const juce::File& folder, const juce::MemoryBlock& image)
{
    return writeFileSafely (childOf (folder, enginefile::bankDataFileName), image);
}

//==============================================================================
juce::StringArray portNamesFromBytes (const void* data, size_t numBytes)
{
    juce::StringArray names;
    for (int i = 0; i < enginefile::numPortNames; ++i)
        names.add (enginefile::noPort);

    if (data == nullptr || numBytes < enginefile::minUsablePortsSize)
        return names;

    const auto* bytes = static_cast<const uint8_t*> (data);
    const auto inputEnd = lastIndexOf (bytes, numBytes, enginefile::inputNameEnd);
    const auto outputEnd = lastIndexOf (bytes, numBytes, enginefile::outputNameEnd);

    // Both names must be there, and in their order; anything else is no usable file.
    if (inputEnd < 1 || outputEnd < 1 || outputEnd < inputEnd)
        return names;

    names.set (0, textFromBytes (bytes, (size_t) inputEnd));
    names.set (1, textFromBytes (bytes + inputEnd + 1, (size_t) (outputEnd - inputEnd - 1)));
    return names;
}

juce::MemoryBlock makePortsFile (const juce::StringArray& names)
{
    static constexpr uint8_t terminators[] = { enginefile::inputNameEnd, enginefile::outputNameEnd, enginefile::thirdNameEnd };
    juce::MemoryOutputStream out;
    for (int i = 0; i < enginefile::numPortNames; ++i)
    {
        // UTF-8 keeps every name readable as it was written; the terminator bytes themselves can
        // never be part of a name.
        auto name = i < names.size() ? names[i] : juce::String (enginefile::noPort);
        name = name.removeCharacters (juce::String::charToString (enginefile::inputNameEnd)
                                      + juce::String::charToString (enginefile::outputNameEnd)
                                      + juce::String::charToString (enginefile::thirdNameEnd));
        out << name; // MemoryOutputStream writes Strings as UTF-8 without a terminator
        out.writeByte ((char) terminators[i]);
    }
    return out.getMemoryBlock();
}

juce::StringArray loadPortsFile (const juce::File& folder)
{
    const auto file = childOf (folder, enginefile::portsFileName);
    const auto bytes = readAll (file, enginefile::maxPortsFileSize);
    const auto names = portNamesFromBytes (bytes.getData(), bytes.getSize());
    if (bytes.getSize() < enginefile::minUsablePortsSize)
        savePortsFile (folder, names);
    return names;
}

bool savePortsFile (const juce::File& folder, const juce::StringArray& names)
{
    return writeFileSafely (childOf (folder, enginefile::portsFileName), makePortsFile (names));
}

} // namespace kelvo
