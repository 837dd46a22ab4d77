#pragma once

#include "link/EngineFiles.h"

#include <juce_core/juce_core.h>

#include <array>
#include <functional>
#include <memory>

namespace kelvo
{
class Bank_Program;
class KeptFile;
struct FileReadResult;

/**
    The engine's files as this instance knows them (the settings, U1..U4, the ports, and F1..F4
    once they differ from the built-in set): what it last read from or wrote to each,
    so that it writes only what it changed itself and never a stale copy over what another instance
    (a second plug-in, the Standalone) saved meanwhile.

    - A file that is in the way but cannot be taken as it is (unreadable, cut short, too long, a
      folder or a pipe in its place) is moved aside under a name that says so, what can be read of
      it is loaded, and the user is told once where the old file is. A damaged file that cannot be
      moved aside is never written over.
    - Saves merge: each program of U1..U4 (or F1..F4) and each settings entry that this instance did not change
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

    /** Fills F1..F4 from the factory bank file where it holds them (the banks keep what they hold
        for the rest); true when it held any, fromSynth then tells whether they are the synth's own. */
    bool loadFactoryBanks (const UserBanks& factoryBanks, bool& fromSynth);
    /** Saves F1..F4 as saveBanks saves U1..U4. fromSynth is what this instance knows; when it did
        not change it and another instance saved the file meanwhile, it takes that file's word.
        Returns true when the banks (or fromSynth) took anything from disk. */
    bool saveFactoryBanks (const UserBanks& factoryBanks, bool& fromSynth);

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
        factoryFile,
        numKinds
    };

    KeptFile& file (Kind kind) const { return *files[(size_t)kind]; }
    FileReadResult read (Kind kind) const;
    /** Moves a damaged file aside and tells the user; false (and the file protected from being
        written over) when it could not be moved. validSize is the one right length (0: any), what
        tells what became of the contents. */
    bool setAside (Kind kind, const FileReadResult& found, size_t validSize, const juce::String& what);
    bool write (Kind kind, const juce::MemoryBlock& bytes);
    static bool isUsableBankImage (Kind kind, const FileReadResult& found);
    /** The merged save of four banks kept as one bank image (the bank data or the factory bank
        file): image is this instance's, baseline what it last read or wrote. */
    bool saveBankImage (Kind kind, const UserBanks& banks, juce::MemoryBlock& image, juce::MemoryBlock& baseline);

    const juce::File folder;
    NoticeHandler notice;

    std::array<std::unique_ptr<KeptFile>, numKinds> files;
    juce::StringArray settingsBaseline;
    juce::MemoryBlock bankBaseline, factoryBaseline;

    JUCE_DECLARE_NON_COPYABLE (EngineFileStore)
};

} // namespace kelvo
