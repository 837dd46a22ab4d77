#pragma once

#include "model/ProgramRecord.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <mutex>
#include <vector>

namespace kelvo
{
class MidiCntrState;

/**
    A bank transfer between the engine and the synth: receiving one user bank or all four program
    by program, or transmitting them.

    A receive asks for one program at a time and asks for the next when the reply arrives (on the
    MIDI input thread). A timer on the message thread watches for silence: a reply that has not
    started to arrive within the timeout is asked for again, a few times, and then the transfer
    ends with a failure event naming the bank and program that never came. Everything received
    before stays in the bank. A transmission queues every program dump with a pause after each, and
    learns through sender markers how far the synth has got.
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
        transmitAllBanks = 107
    };

    /** How long the input may stay silent after a request before the request is sent again. A
        program dump takes about 96 ms on a 31 250 baud wire, and the synth answers a request within
        a few milliseconds, so a second of silence means the request or the reply was lost. */
    static constexpr int replySilenceTimeoutMs = 1000;
    /** Requests sent again for one program before the transfer gives up. */
    static constexpr int maxRetries = 3;
    /** Pause after each transmitted program. The synth writes each received program to its flash
        memory and ignores MIDI while it does; 150 ms covers that with room to spare, and keeps a
        bank at about 32 s (128 × (96 ms on the wire + 150 ms)). */
    static constexpr int programStorePauseMs = 150;
    static constexpr int timerIntervalMs = 100;
    static constexpr int numUserBanks = 4;
    static constexpr int numSynthBanks = 8;

    explicit BankTransfer (MidiCntrState& engine);

    /** The silence timeout and the pause between transmitted programs; tests shorten them. */
    struct Timing
    {
        int replySilenceTimeoutMs = BankTransfer::replySilenceTimeoutMs;
        int programStorePauseMs = BankTransfer::programStorePauseMs;
    };
    void setTiming (Timing t) noexcept { timing = t; }
    ~BankTransfer() override;

    /** Begins a transfer (mode 0, 7 or 8 receive, 100 or 107 transmit). Message thread. */
    void start (int mode, int bank);
    /** Ends any transfer at once; what arrived stays. Message thread. */
    void end();

    /** A program dump for a synth bank arrived while a receive runs: stores it and asks for the next.
        Returns false when no receive runs. MIDI input thread. */
    bool takeProgramDump (int bank, int program, const ProgramRecord& record);

    /** Something arrived on the input: the synth is not silent. Any thread. */
    void noteInputActivity() noexcept;
    /** The sender has put out the last message of a transmission. Sender thread. */
    void noteTransmissionComplete() noexcept { complete = true; }

    /** The events that say where the transfer stands (last progress, failure, end), for an editor
        that lost events and must catch up. Message thread. */
    void appendStateEvents (std::vector<int32_t>& dest) const;

    int getMode() const noexcept { return mode.load(); }
    bool isChaining() const noexcept { return chaining.load(); }
    bool isReceiving() const noexcept { return receiving.load(); }

private:
    void timerCallback() override;
    void startReceive (int firstBank);
    void startTransmit (int firstBank, int lastBank);
    void fail (int bank, int program);

    MidiCntrState& engine;
    Timing timing;

    std::mutex lock; // guards the expected program and the retry state against the input thread
    std::atomic<int> mode { idle };
    std::atomic<bool> chaining { false }, receiving { false }, complete { false };
    int expectedBank = 0, expectedProgram = 0, retries = 0;
    uint32_t lastRequestMs = 0;
    std::atomic<uint32_t> lastActivityMs { 0 };
    std::atomic<int32_t> lastProgressEvent { 0 }, failureEvent { 0 };
    uint32_t batch = 0;

    JUCE_DECLARE_NON_COPYABLE (BankTransfer)
};

} // namespace kelvo
