#pragma once

#include "link/LockFreeQueue.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kelvo
{
class MidiOutputDevice;

/**
    Everything the link sends goes through here: producers on any thread push messages into a
    preallocated lock-free queue, and one sender thread per open output takes them in order and
    writes them to the device.

    Pushing a short message never allocates and never locks, so a host may send from its audio
    thread. When the queue is full, a producer that may wait (the message thread, the MIDI input
    thread) waits for room; any other (a host thread, which may be the audio thread) drops the
    message, counts it and reports it through the overflow handler. Nothing is lost unseen.

    Long series of SysEx (bank transmissions) go out paced, one message at a time with a pause for
    the synth to store each, on a lane of their own: whatever else is sent meanwhile goes out between
    two messages of the series instead of waiting behind the whole series.

    Every parameter NRPN carries its value whole (data MSB and LSB, controllers 6 and 38). Its
    number (controllers 99 and 98) is left out, as the maker allows because the synth keeps the last
    number it received, only while nothing can have moved that number: the message sent just before
    it was an NRPN of the same number on the same channel, less than numberHoldMs ago, and nothing
    has arrived from the synth since. What the sender remembers for this is read and written only by
    the sender thread, so concurrent senders can neither interleave the four controllers of an NRPN
    nor leave it disagreeing with what went out.
*/
class MidiLoopGuard;

class MidiSender
{
public:
    /** Longest SysEx piece handed to the device in one call. */
    static constexpr int sysExSliceSize = 256;
    /** Room for bursts far beyond what a user or a host automation produces between two runs of
        the sender thread. */
    static constexpr size_t queueCapacity = 4096;
    /** How long the synth's NRPN number counts as known after an NRPN went out: far longer than the
        gaps of a knob drag, far shorter than a synth takes to be switched off and on again. */
    static constexpr int numberHoldMs = 1000;

    /** Whether a producer may wait for room in a full queue. */
    enum class Overflow
    {
        wait,  // wait until the sender thread has made room (not the audio thread)
        report // drop the message, count it and call the overflow handler (any thread)
    };

    MidiSender();
    ~MidiSender();

    /** Starts the sender thread on a newly opened device, dropping anything queued for the previous
        one and forgetting the NRPN number the synth held (a new device means an unknown synth state). Message thread. */
    void start (MidiOutputDevice& device);
    /** Stops the sender thread; the device may be destroyed once this returns. A paced series not
        finished is dropped. Message thread. */
    void stop();
    bool isRunning() const noexcept { return running.load (std::memory_order_acquire); }

    /** A program parameter as NRPN: its value always, its number unless the synth still holds it
        (see above). Any thread. */
    void sendParameterNrpn (int channel, int nrpn, int value, Overflow overflow = Overflow::report) noexcept;
    /** A global parameter as NRPN: always all four controllers. Any thread. */
    void sendGlobalNrpn (int channel, int nrpn, int value, Overflow overflow = Overflow::report) noexcept;
    /** A short message of 1 to 3 bytes. Any thread. */
    void sendShort (const juce::MidiMessage& message, Overflow overflow = Overflow::report) noexcept;
    /** A complete SysEx message from F0 to F7; longer ones go out in slices. Not the audio thread
        (the payload is allocated); waits for room in a full queue. */
    void sendSysEx (const juce::MemoryBlock& message);

    /** One message of a paced series, and the code handed to the marker handler once it has gone
        out. An empty message only passes its marker on, without a pause. */
    struct PacedMessage
    {
        juce::MemoryBlock message;
        int32_t marker = 0;
    };
    /** Sends the messages one by one: each waits until the one before has gone out on the wire
        (at wireMicrosecondsPerByte a byte) and pauseMs more, so that the synth can store it. series
        (not 0) names the series to the marker handler. Replaces a series not finished. Message thread. */
    void sendPacedSeries (uint32_t series, std::vector<PacedMessage> messages, int pauseMs,
                          int wireMicrosecondsPerByte);
    /** Drops what of the series has not gone out yet. Message thread. */
    void cancelPacedSeries();
    /** Called on the sender thread with each marker of a series and the series' number. Set it
        before the first series. */
    void setMarkerHandler (std::function<void (uint32_t series, int32_t marker)> handler)
    {
        markerHandler = std::move (handler);
    }

    /** Called on the producer's thread when a message was dropped because the queue was full, with
        the number dropped so far. Must not lock or allocate (it may run on the audio thread). Set
        it before the output opens. */
    void setOverflowHandler (std::function<void (int)> handler) { overflowHandler = std::move (handler); }
    /** Told of every NRPN and SysEx message as it goes out, on the sender thread. Set it before
        the output opens. */
    void setLoopGuard (MidiLoopGuard* guard) noexcept { loopGuard = guard; }

    /** Forgets what the synth was sent, so that the next NRPN goes out whole. Any thread. */
    void resetNrpnCache() noexcept;
    /** Something arrived from the synth (its own knob, a program change, a dump): it may have moved
        the synth's NRPN number, so the next NRPN goes out whole. Any thread; never locks. */
    void heardFromSynth() noexcept { messagesHeard.fetch_add (1, std::memory_order_relaxed); }

    /** Waits (with a deadline) until everything queued so far (paced series aside) has gone to the
        device. For tests and for an orderly shutdown; never call it from the audio thread. */
    bool waitUntilSent (int timeoutMilliseconds) const;

    /** Messages dropped because the queue was full. */
    int getNumDropped() const noexcept { return dropped.load (std::memory_order_relaxed); }

    /** The NRPN number the synth holds as last left by the sender thread, −1 when unknown. */
    int getKnownNrpnNumber() const noexcept { return knownNumber.load(); }

private:
    struct Item
    {
        enum class Kind : uint8_t { none, shortMessage, parameterNrpn, globalNrpn, sysEx, resetCache };
        Kind kind = Kind::none;
        uint8_t numBytes = 0;
        uint8_t bytes[3] {};
        int channel = 1, number = 0, value = 0;
        std::unique_ptr<juce::MemoryBlock> payload;
    };

    using SteadyClock = std::chrono::steady_clock;

    bool push (Item&& item, Overflow overflow) noexcept;
    bool push (Item::Kind kind, int value, int channel, int number, Overflow overflow) noexcept;
    void run();
    void process (Item& item);
    bool sendNextPaced();
    void sendSysExNow (const juce::MemoryBlock& message);
    void sendNow (const juce::MidiMessage& m);
    void sendNrpn (int channel, int nrpn, int value, bool isParameter);

    LockFreeQueue<Item> queue;
    std::thread thread;
    std::atomic<bool> running { false }, shouldExit { false };
    std::atomic<uint32_t> wakeups { 0 };
    std::atomic<uint64_t> pushed { 0 }, processed { 0 };
    std::atomic<int> dropped { 0 }, unreportedDrops { 0 };
    std::function<void (uint32_t, int32_t)> markerHandler;
    std::function<void (int)> overflowHandler;
    MidiLoopGuard* loopGuard = nullptr;
    MidiOutputDevice* device = nullptr; // the port holder owns it; valid while the thread runs

    // The paced series: filled on the message thread, emptied by the sender thread.
    std::mutex pacedLock;
    std::deque<PacedMessage> paced;
    uint32_t pacedSeries = 0;
    int pacedPauseMs = 0, pacedWireMicrosecondsPerByte = 0;
    std::atomic<bool> pacedPending { false };
    SteadyClock::time_point nextPacedAt {}; // sender thread only

    // The NRPN number the synth holds, as far as the sender knows: written by the sender thread only
    // (and by start() while no thread runs); atomic so that tests can look at it.
    std::atomic<int> knownNumber { -1 };
    int knownChannel = 0;
    uint32_t heardWhenKnown = 0;
    SteadyClock::time_point knownSince {};
    std::atomic<uint32_t> messagesHeard { 0 };

    JUCE_DECLARE_NON_COPYABLE (MidiSender)
};

} // namespace kelvo
