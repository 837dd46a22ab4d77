#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <limits>

namespace kelvo
{
class Bank_Program;

/**
    The engine's three files in its settings folder: the settings list, the local copy of the user
    banks U1..U4, and the names of the chosen MIDI ports.

    The codecs are pure functions over bytes and text; the load and save functions put them against
    a folder. Every save goes through writeFileSafely, so a crash or a full disk leaves the previous
    file whole; every read goes through readFileSafely, so a pipe or a huge file in a file's place
    can never hang a start. These functions fall back to defaults on a missing, short or garbled
    file; EngineFileStore adds keeping damaged files aside and telling the user.
    Any thread but the audio thread; the engine serialises its own calls.
*/
namespace enginefile
{
constexpr const char* settingsFileName = "mphedstx.dat";
constexpr const char* bankDataFileName = "data_X4m.mph";
constexpr const char* portsFileName = "mhxplports.dat";
/** Kept by the simulator that the port lists offer; its stale temporaries go with the engine's own. */
constexpr const char* simulatorMemoryFileName = "MophoX4Simulator.dat";

constexpr const char* entryStart = "^|";
constexpr const char* entryEnd = "|^";
constexpr int minSettingsTextLength = 6; // shorter text counts as empty
constexpr int minUsableEntries = 3;      // fewer means the file is unusable

constexpr size_t minUsableBankDataSize = 1001; // a file of 1000 bytes or less is ignored

constexpr int numPortNames = 3; // input, output, and a third that nothing reads back
constexpr const char* noPort = "NONE";
constexpr uint8_t inputNameEnd = 0x0f;
constexpr uint8_t outputNameEnd = 0x10;
constexpr uint8_t thirdNameEnd = 0x11;
constexpr size_t minUsablePortsSize = 3;

// Far above any file these names ever held; a longer one is damaged and only its start is read.
constexpr size_t maxSettingsFileSize = 64 * 1024;
constexpr size_t maxBankDataFileSize = 1024 * 1024;
constexpr size_t maxPortsFileSize = 64 * 1024;
} // namespace enginefile

//==============================================================================
// Settings: entries written as "^|", text, "|^", with nothing between them.

struct LoadedSettings
{
    juce::StringArray entries; // the 50 stored entries
    bool wereReset = false;    // the file was missing or unusable and the defaults took its place
};

/** Every entry found in the text, in order (at most maxEntries). Linear in the text's length. */
juce::StringArray splitSettingsEntries (const juce::String& text, int maxEntries = std::numeric_limits<int>::max());
/** The 50 stored entries of a settings text: its first 50 entries padded with "0", or the defaults
    (marked as a reset) when the text holds fewer than three. */
LoadedSettings settingsFromText (const juce::String& text);
/** The same for the raw bytes of a file (UTF-8; UTF-16 with a byte-order mark and other 8-bit text
    are read too). */
LoadedSettings settingsFromBytes (const void* data, size_t numBytes);
/** The entry as it can be written: every '^' that touches a '|' is dropped, so neither marker can
    occur inside it; anything else is kept. */
juce::String makeSettingsEntrySafe (const juce::String& entry);
/** The file text of a list of entries (each made safe first). */
juce::String makeSettingsText (const juce::StringArray& entries);

/** Loads the settings of a folder; a missing file is first written with the defaults. */
LoadedSettings loadSettingsFile (const juce::File& folder);
bool saveSettingsFile (const juce::File& folder, const juce::StringArray& entries);

//==============================================================================
// Bank data: the saved bank image of U1..U4.

/** The image of the four user banks, as the bank data file holds it (131 099 bytes). */
juce::MemoryBlock makeBankDataImage (const std::array<const Bank_Program*, 4>& userBanks);
/** How many whole banks (0..4) of a bank data image of this size may be loaded; 0 when the image is
    too short to be taken at all. */
int numLoadableBanks (size_t imageSize) noexcept;
/** How many whole programs (0..512, U1 program 0 first) of a bank data image of this size may be
    loaded; 0 when the image is too short to be taken at all. */
int numLoadablePrograms (size_t imageSize) noexcept;
/** Fills U1..U4 from a bank data image: each program that lies whole inside the image is loaded
    from it, every other one comes from the factory bank of its bank's number. */
void loadUserBanks (const std::array<Bank_Program*, 4>& userBanks, const void* image, size_t numBytes);

/** The bank data file's bytes (empty when it is missing). */
juce::MemoryBlock loadBankDataFile (const juce::File& folder);
bool saveBankDataFile (const juce::File& folder, const juce::MemoryBlock& image);

//==============================================================================
// Ports: input name, 0x0F, output name, 0x10, third name, 0x11.

/** The three port names of a ports file; "NONE" for each that cannot be read. */
juce::StringArray portNamesFromBytes (const void* data, size_t numBytes);
/** The ports file of a list of names ("NONE" for missing entries). */
juce::MemoryBlock makePortsFile (const juce::StringArray& names);

/** Loads the port names of a folder; a missing or too short file is written with three "NONE". */
juce::StringArray loadPortsFile (const juce::File& folder);
bool savePortsFile (const juce::File& folder, const juce::StringArray& names);

} // namespace kelvo
