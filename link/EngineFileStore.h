#pragma once

#include "link/EngineFiles.h"

#include <juce_core/juce_core.h>

#include <array>
#include <functional>

namespace kelvo
{
class Bank_Program;
struct FileReadResult;

/**
    The engine's three files as this instance knows them: what it last read from or wrote to each,
    so that it writes only what it changed itself and never a stale copy over what another instance
    (a second plug-in, the Standalone) saved meanwhile.

    - A file that is in the way but cannot be taken as it is (unreadable, cut short, too long, a
      folder or a pipe in its place) is moved aside under a name that says so, what can be read of
      it is loaded, and the user is told once where the old file is. A damaged file that cannot be
      moved aside is never written over.
    - Saves merge: each program of U1..U4 and each settings entry that this instance did not change
      is taken from the file as it is on disk now, and the programs taken that way are loaded into
      the banks too. Read, merge and write happen under a lock file of the folder.
    - Every failure to read or write is told to the user in words, once until it succeeds again.

    Notices go to the handler given at construction, on the thread that met the problem. Not
    thread-safe: the engine serialises its calls (any thread but the audio thread).
*/
class EngineFileStore
{
public:
    using NoticeHandler = std::function<void (const juce::String&)>;
    using UserBanks = std::array<Bank_Program*, 4>;

    EngineFileStore (const juce::File& folder, NoticeHandler onNotice);
    ~EngineFileStore();

    /** Deletes the temporary files that saves killed mid-way left in the folder. */
    void removeStaleTemporaryFiles();

    /** The 50 stored settings entries. A missing file is written with the defaults. */
    LoadedSettings loadSettings();
    /** Writes the entries (82), keeping on disk every entry this instance did not change. Writes
        nothing when the file already holds that. False when the file could not be written. */
    bool saveSettings (const juce::StringArray& entries);

    /** Fills U1..U4 from the bank data file (factory programs for what it does not hold). */
    void loadBanks (const UserBanks& userBanks);
    /** Saves U1..U4 when this instance changed any program since it last read or wrote the file,
        merged with what is on disk now; programs changed on disk by another instance are loaded
        into the banks. Returns true when the banks took such programs. */
    bool saveBanks (const UserBanks& userBanks);

    /** The three port names ("NONE" where none); a missing or short file is written with "NONE". */
    juce::StringArray loadPorts();
    /** Writes the port names unless the file already holds them. */
    bool savePorts (const juce::StringArray& names);

    const juce::File& getFolder() const noexcept { return folder; }

    /** How long a save waits for another instance's save to finish before going on regardless. */
    static constexpr int lockWaitMilliseconds = 2000;

private:
    enum Kind
    {
        settingsFile,
        bankDataFile,
        portsFile,
        numKinds
    };

    juce::File fileOf (Kind kind) const;
    FileReadResult read (Kind kind) const;
    /** Moves a damaged file aside and tells the user; false (and the file protected from being
        written over) when it could not be moved. validSize is the one right length (0: any), what
        tells what became of the contents. */
    bool setAside (Kind kind, const FileReadResult& found, size_t validSize, const juce::String& what);
    bool write (Kind kind, const juce::MemoryBlock& bytes);
    static bool isUsableBankImage (const FileReadResult& found);

    const juce::File folder;
    NoticeHandler notice;

    std::array<bool, numKinds> writeFailed{}, isProtected{};
    juce::StringArray settingsBaseline;
    juce::MemoryBlock bankBaseline;

    JUCE_DECLARE_NON_COPYABLE (EngineFileStore)
};

} // namespace kelvo
