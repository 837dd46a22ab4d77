#pragma once

#include "model/MidiNumbers.h"
#include "model/ProgramRecord.h"

#include <juce_events/juce_events.h>

#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

namespace kelvo
{
class EngineEventHub;
class MidiSender;
class SynthMemory;

/**
    A bank transfer between the engine and the synth: receiving one user bank or all four program
    by program, or transmitting them.

    A receive asks for one program at a time and asks for the next when the reply arrives (on the
    MIDI input thread). A timer on the message thread watches for silence: only SysEx bytes count as
    the synth answering, so MIDI clock, notes or controllers from the synth cannot keep a lost reply
    waiting. A reply that has not started to arrive within the silence limit is asked for again, a
    few times with growing patience, and then the transfer ends with a failure event naming the bank
    and program that never came. Everything received before stays in the bank.

    Every request a transfer sends is remembered for a while: its reply belongs to the transfer even
    after the transfer has ended (cancelled or failed), and is then dropped rather than taken for a
    program the synth sent on its own.

    A transmission hands the sender a paced series of program dumps, which goes out beside whatever
    else is sent meanwhile, and learns through the series' markers how far the synth has got.

    Nothing is written into the synth's memory before what it replaces has been read from the synth
    itself (a backup, asked for program by program like a receive), so that an undo can put back
    what the synth really held; only programs read from the synth since they were last written are
    not read again. The backup is kept as what the synth is known to hold, never in the local
    banks; when a program of it does not come, nothing is written.
*/
class BankTransfer final : private juce::Timer
{
public:
    enum Mode
    {
        idle = -1,
        receiveBank = 0,
        receiveAllBanks = 7,
        receiveFactoryBanks = 8, // F1..F4 (banks 4..7), all four
        transmitBank = 100,
        transmitAllBanks = 107,
        transmitPrograms = 110 // a list of programs of the user banks
    };

    struct Location
    {
        int bank = 0, program = 0;
    };

    /** How long no SysEx byte may arrive after a request before the request is sent again.
        The synth starts answering within a few milliseconds; its 300-byte dump then takes 96 ms on
        the 31 250 baud wire. Drivers pass a SysEx message on in pieces while it arrives, the
        coarsest every 256 bytes (82 ms of wire time). So between a request and the first bytes of
        its answer, and between two pieces of one answer, no more than about 90 ms pass while the
        answer is on its way: 120 ms of silence means the request or the reply was lost, and a dump
        still arriving is never asked for again. Each further retry waits twice as long as the one
        before, for a synth that is busy rather than deaf. */
    static constexpr int replySilenceTimeoutMs = 120;
    /** Requests sent again for one program before the transfer gives up. */
    static constexpr int maxRetries = 3;
    /** Pause after each transmitted program has gone out on the wire, before the next: the synth
        writes each received program to its memory, and a dump that arrives while it is still busy
        with the one before may be lost. A bank takes about 31 s (128 × (96 ms + 150 ms)). */
    static constexpr int programStorePauseMs = 150;
    /** How long a request's reply is still expected. A reply that starts later is not coming: even
        behind every retry of a transfer it would have arrived long before. */
    static constexpr int lateReplyWindowMs = 3000;
    static constexpr int timerIntervalMs = 10;

    /** Receives into and transmits from the memory's banks, sends through the sender and tells the
        hub; all three must outlive the transfer. */
    BankTransfer (SynthMemory& memory, EngineEventHub& hub, MidiSender& sender);
    ~BankTransfer() override;

    /** The silence limit, the pause between transmitted programs and the wire rate that the pacing
        assumes; tests shorten them. */
    struct Timing
    {
        int replySilenceTimeoutMs = BankTransfer::replySilenceTimeoutMs;
        int programStorePauseMs = BankTransfer::programStorePauseMs;
        int wireMicrosecondsPerByte = midiwire::microsecondsPerByte; // the rate that transmissions are paced for
    };
    /** Message thread, while no transfer runs. */
    void setTiming (Timing t) noexcept { timing = t; }

    /** Begins a transfer (mode 0, 7 or 8 receive, 100 or 107 transmit). Message thread. */
    void start (int mode, int bank);
    /** Transmits these programs of the user banks, in this order, paced like a bank (the undo of a
        transmission sends back only what it changed). Message thread. */
    void transmit (std::vector<Location> programs);
    /** A program as read from the synth. */
    struct ReadProgram
    {
        Location where;
        ProgramRecord record;
    };

    /** Reads from the synth those of these programs of the user banks that were not read since they
        were last written, keeps them as what the synth is known to hold, and then calls `then` (at
        once when there is nothing to read; never when the backup fails or is ended). Message thread. */
    void backUp (std::vector<Location> programs, std::function<void()> then);
    /** Reads these programs (of any bank) from the synth, one request each, and hands them to
        `then`: all of them, or none when one did not come (told like a failed receive, or, before a
        write, as a write that did not happen). Never into the local banks; the user banks' are kept
        as what the synth is known to hold. While another transfer runs nothing is asked for: the
        user is told, and `then` is not called. Message thread. */
    void readPrograms (std::vector<Location> programs, bool beforeWrite,
                       std::function<void (const std::vector<ReadProgram>&)> then);
    /** Ends any transfer at once; what arrived stays. Message thread. */
    void end();

    /** A program dump for a synth bank arrived. While a receive runs it is stored and, if it is the
        one asked for, the next is asked for. Returns true when the dump belongs to a transfer
        (stored, or dropped as the late reply of one that has ended); false when it is the synth's
        own. MIDI input thread. */
    bool takeProgramDump (int bank, int program, const ProgramRecord& record);

    /** SysEx bytes are arriving from the synth: an answer may be on its way. MIDI input thread. */
    void noteSysExArriving() noexcept;
    /** A marker of a transmission's paced series has been reached. Sender thread. */
    void noteTransmitted (uint32_t series, int32_t marker);

    /** The events that say where the transfer stands (last progress, failure, end), for an editor
        that lost events and must catch up. Message thread. */
    void appendStateEvents (std::vector<int32_t>& dest) const;

    int getMode() const noexcept { return mode.load(); }
    /** Whether a transfer runs, or has reached its end and not been ended yet. */
    bool isChaining() const noexcept { return phase.load() != Phase::idle; }
    bool isReceiving() const noexcept { return takesReplies (phase.load()); }
    /** Whether the programs that a write will replace are being read from the synth (a read that
        failed reads no more, but still claims the synth's late answers until it is ended). */
    bool isBackingUp() const noexcept { return phase.load() == Phase::reading && ! complete.load(); }
    /** Whether the transfer failed because a program read before a write did not come (nothing written). */
    bool didBackupFail() const noexcept { return backupFailed.load(); }

private:
    struct Request
    {
        int bank = -1, program = 0;
        uint32_t askedMs = 0;
    };
    static constexpr size_t maxRequestsRemembered = 16;

    /** What the transfer does; it stays in its phase after it reached its end (complete) until it
        is ended, so that late replies are still told apart. */
    enum class Phase
    {
        idle,
        receiving,   // asks for programs one at a time and stores them in the local banks
        reading,     // asks for programs one at a time and keeps them aside, never in the banks
        transmitting // sends programs, and takes no replies
    };
    static bool takesReplies (Phase p) noexcept { return p == Phase::receiving || p == Phase::reading; }

    void timerCallback() override;
    void startReceive (int firstBank);
    void startTransmit (int firstBank, int lastBank);
    void startTransmit (std::vector<Location> programs);
    void rememberRequest (int bank, int program, uint32_t now); // under lock
    /** The request for bank/program has just gone (or is about to): its reply is the one awaited,
        with no retries yet. Under lock. */
    void awaitReply (int bank, int program);
    bool claimRequest (int bank, int program);
    void fail (int bank, int program);

    void requestProgram (int bank, int program);
    /** A program dump arrived while backing up (MIDI input thread): the one awaited is kept, and
        the next asked for; false for any other. */
    bool takeBackedUpProgram (int bank, int program, const ProgramRecord& record);
    /** Every program of the backup arrived: the synth is known to hold them; the write follows. */
    void finishBackup();

    SynthMemory& memory;
    EngineEventHub& hub;
    MidiSender& sender;
    Timing timing;

    std::mutex lock; // guards the expected program, the retry state and the remembered requests
    std::atomic<int> mode { idle };
    std::atomic<Phase> phase { Phase::idle };
    std::atomic<bool> complete { false }; // reached its end (finished or failed), not ended yet
    int expectedBank = 0, expectedProgram = 0, retries = 0;
    uint32_t lastRequestMs = 0;
    std::array<Request, maxRequestsRemembered> requests {};
    size_t nextRequestSlot = 0;
    std::atomic<uint32_t> lastSysExMs { 0 };
    std::atomic<int32_t> lastProgressEvent { 0 }, failureEvent { 0 };
    std::atomic<uint32_t> series { 0 };
    std::vector<Location> transmitting; // message thread: what the running transmission sends

    std::atomic<bool> backupDone { false }, backupFailed { false };
    std::vector<Location> backupList; // under lock, with the index of the program awaited
    size_t backupIndex = 0;
    std::vector<ReadProgram> backedUp; // under lock
    bool backupBeforeWrite = false;    // message thread, with:
    std::function<void (const std::vector<ReadProgram>&)> afterBackup;

    JUCE_DECLARE_NON_COPYABLE (BankTransfer)
};

} // namespace kelvo
