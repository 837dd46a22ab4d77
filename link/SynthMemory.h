#pragma once

#include "model/Bank_Program.h"
#include "model/GlobalSettings.h"
#include "model/ProgramRecord.h"
#include "model/SynthBanks.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kelvo
{
class EngineEventHub;

/**
    What the link knows of the synth's memory: the local copies of its eight program banks (U1..U4,
    F1..F4), its global block, where the synth is (the current bank and program), and what its user
    banks are known to hold (loaded at the start, then what was received, written or transmitted).

    A change of a whole bank posts 0x19000000 and has the bank saved through the callback that the
    engine hands in, so that the memory knows no files.

    Threads. The banks are atomic byte by byte (see Bank_Program) and the globals and the location
    are atomics: the MIDI input thread, host threads and the message thread all read and write them.
    The bank operations run on the message thread or the MIDI input thread (a receive completes
    there), never the audio thread; they post through the event hub, which never blocks. What the
    synth is known to hold belongs to the message thread.
*/
class SynthMemory
{
public:
    enum class Banks
    {
        user,   // U1..U4
        factory // F1..F4
    };
    /** Saves one group of banks; called on the thread that changed them. */
    using Save = std::function<void (Banks)>;

    /** The eight banks, each whole as the initial program until it is loaded. */
    SynthMemory (EngineEventHub& hub, Save save);
    ~SynthMemory();

    /** Bank 0..7, or nullptr for any other number. */
    Bank_Program* getSynthBank (int bank) const noexcept;
    std::array<Bank_Program*, synthbanks::numUserBanks> getUserBanks() const noexcept;
    std::array<Bank_Program*, synthbanks::numSynthBanks - synthbanks::numUserBanks>
    getFactoryBanks() const noexcept;

    //==============================================================================
    /** A byte of the global block; 0 for an index outside it. */
    uint8_t getGlobal (int index) const noexcept;
    /** Does nothing for an index outside the block. */
    void setGlobal (int index, uint8_t value) noexcept;

    //==============================================================================
    // Where the synth is. Any thread.

    int getCurrentSynthBank() const noexcept { return currentSynthBank.load(); }
    int getCurrentSynthProgram() const noexcept { return currentSynthProgram.load(); }
    void setCurrentSynthBank (int bank) noexcept { currentSynthBank = bank; }
    void setCurrentSynthProgram (int program) noexcept { currentSynthProgram = program; }
    /** False while the edit buffer holds a sound that did not come from the current location. */
    bool hasSynthLocation() const noexcept { return synthLocationKnown.load(); }
    void forgetSynthLocation() noexcept { synthLocationKnown = false; }
    void markSynthLocationKnown() noexcept { synthLocationKnown = true; }

    //==============================================================================
    // Whole-bank changes. Each posts 0x19000000 and saves the bank's group; a bank number of 8 or
    // more does nothing.

    /** Every program of the bank becomes the initial program. */
    void initialiseSynthBank (int bank);
    /** The bank takes factory bank 0..3. */
    void loadFactoryBankInto (int bank, int factoryBank);
    /** The bank takes concatenated program dumps (see Bank_Program::loadFromDumps). */
    void loadSynthBankFromDumps (int bank, const juce::MemoryBlock& dumps);
    /** Stores a record at bank/program; false (and nothing changed) for a place that is not there. */
    bool storeProgram (int bank, int program, const ProgramRecord& record);
    /** Sets the category byte of one program; nothing for a place or category that is not there. */
    void setProgramCategory (int bank, int program, int categoryNumber);
    /** A bank changed: posts 0x19000000 and saves its group. */
    void synthBankChanged (int bank);
    /** Some bank changed (a receive, an undo): posts 0x19000000 and saves U1..U4. */
    void bankContentsChanged();
    /** F1..F4 were replaced as a whole (fromSynth: by what the synth holds): saves them and posts
        0x19000000. */
    void factoryBanksReplaced (bool fromSynth);
    void saveUserBanks() { save (Banks::user); }
    void saveFactoryBanks() { save (Banks::factory); }

    /** Whether F1..F4 are known to be the synth's own (received from it or loaded from its factory
        file), kept between runs. */
    std::atomic<bool> factoryBanksMatchSynth{false};

    //==============================================================================
    // What the synth's user banks are known to hold, and whether it was read from the synth since
    // the last write there (and so need not be read again before the next). Message thread.

    /** The user banks as they are now are what the synth holds (the state at the start). */
    void takeUserBanksAsKnown();
    /** What the synth holds at a program of a user bank; nullptr when that is not known. */
    const ProgramRecord* getKnownProgram (int bank, int program) const;
    /** The synth holds this record at bank/program (a user bank; other places are ignored):
        readFromSynth when it came from the synth, false when it was written there. */
    void setKnownProgram (int bank, int program, const ProgramRecord& record, bool readFromSynth = false);
    /** The synth holds what the local bank holds at bank/program. */
    void takeLocalProgramAsKnown (int bank, int program, bool readFromSynth = false);
    /** Whether what the synth holds at bank/program came from the synth since it was last written. */
    bool wasReadFromSynth (int bank, int program) const;
    /** What the synth holds at bank/program is not known (a write that may have stopped half way). */
    void forgetKnownProgram (int bank, int program);

private:
    /** The place of bank/program in the known list, or −1 outside the user banks. */
    static int knownIndex (int bank, int program) noexcept;

    EngineEventHub& hub;
    const Save save;

    std::array<std::unique_ptr<Bank_Program>, synthbanks::numSynthBanks> synthBanks;
    std::array<std::atomic<uint8_t>, globals::blockSize> globals{};

    std::atomic<int> currentSynthBank{0}, currentSynthProgram{0};
    std::atomic<bool> synthLocationKnown{true};

    std::vector<std::optional<ProgramRecord>> known; // message thread
    std::vector<bool> readBack;                       // message thread

    JUCE_DECLARE_NON_COPYABLE (SynthMemory)
};

} // namespace kelvo
