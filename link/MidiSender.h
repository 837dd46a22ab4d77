#pragma once

#include "link/LockFreeQueue.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace kelvo
{
class MidiOutputDevice;

/**
    Everything the link sends goes through here: producers on any thread push messages into a
    preallocated lock-free queue, and one sender thread per open output takes them in order and
    writes them to the device.

    Pushing never allocates a short message, never locks and never waits, so a host may send from
    its audio thread. The NRPN send cache (what the synth already has) is read and written only by
    the sender thread, so concurrent senders can neither interleave the four controllers of an NRPN
    nor leave the cache disagreeing with what went out.
*/
class MidiSender
{
public:
    /** Longest SysEx piece handed to the device in one call. */
    static constexpr int sysExSliceSize = 256;

    MidiSender();
    ~MidiSender();

    /** Starts the sender thread on a newly opened device, dropping anything queued for the previous
        one and forgetting the NRPN cache (a new device means an unknown synth state). Message thread. */
    void start (MidiOutputDevice& device);
    /** Stops the sender thread; the device may be destroyed once this returns. Message thread. */
    void stop();
    bool isRunning() const noexcept { return running.load (std::memory_order_acquire); }

    /** A program parameter as NRPN, minus the controllers the synth already has. Any thread. */
    void sendParameterNrpn (int channel, int nrpn, int value) noexcept;
    /** A global parameter as NRPN: always all four controllers. Any thread. */
    void sendGlobalNrpn (int channel, int nrpn, int value) noexcept;
    /** A short message of 1 to 3 bytes. Any thread. */
    void sendShort (const juce::MidiMessage& message) noexcept;
    /** A complete SysEx message from F0 to F7; longer ones go out in slices. Not the audio thread
        (the payload is allocated). */
    void sendSysEx (const juce::MemoryBlock& message, uint32_t batch = 0);
    /** Holds the following messages back for a while, so that the synth can finish storing what it
        was sent. Not the audio thread. */
    void sendPause (int milliseconds, uint32_t batch = 0);
    /** When the sender thread gets here, it hands code to the marker handler: a way to learn that
        everything queued before it has gone out. */
    void sendMarker (int32_t code, uint32_t batch = 0);
    /** Called on the sender thread for each marker. Set it before the first marker is queued. */
    void setMarkerHandler (std::function<void (int32_t)> handler) { markerHandler = std::move (handler); }

    /** A new batch number: items queued with it can be cancelled together. Any thread. */
    uint32_t beginBatch() noexcept { return nextBatch.fetch_add (1) + 1; }
    /** Drops whatever of a batch has not gone out yet. Any thread. */
    void cancelBatch (uint32_t batch) noexcept { cancelledBatch.store (batch); }
    /** Forgets what the synth was sent, so that the next NRPN goes out whole. Any thread. */
    void resetNrpnCache() noexcept;

    /** Waits (with a deadline) until everything queued so far has gone to the device. For tests and
        for an orderly shutdown; never call it from the audio thread. */
    bool waitUntilSent (int timeoutMilliseconds) const;

    /** Messages dropped because the queue was full (only happens if the device stops accepting). */
    int getNumDropped() const noexcept { return dropped.load (std::memory_order_relaxed); }

    /** The NRPN cache as last left by the sender thread: number (−1 when unknown), data MSB, LSB. */
    struct NrpnCache
    {
        int number = -1, msb = -1, lsb = -1;
    };
    NrpnCache getNrpnCache() const noexcept;

private:
    struct Item
    {
        enum class Kind : uint8_t { none, shortMessage, parameterNrpn, globalNrpn, sysEx, pause, marker, resetCache };
        Kind kind = Kind::none;
        uint32_t batch = 0;
        uint8_t numBytes = 0;
        uint8_t bytes[3] {};
        int channel = 1, number = 0, value = 0;
        std::unique_ptr<juce::MemoryBlock> payload;
    };

    bool push (Item&& item) noexcept;
    bool push (Item::Kind kind, int value, uint32_t batch, int channel = 1, int number = 0) noexcept;
    void run();
    void process (Item& item);
    void sendNow (const juce::MidiMessage& m);
    void sendNrpn (int channel, int nrpn, int value, bool useCache);

    LockFreeQueue<Item> queue;
    std::thread thread;
    std::atomic<bool> running { false }, shouldExit { false };
    std::atomic<uint32_t> wakeups { 0 };
    std::atomic<uint64_t> pushed { 0 }, processed { 0 };
    std::atomic<int> dropped { 0 };
    std::atomic<uint32_t> nextBatch { 0 }, cancelledBatch { 0 };
    std::function<void (int32_t)> markerHandler;
    MidiOutputDevice* device = nullptr; // the port holder owns it; valid while the thread runs

    // Written by the sender thread only (and by start() while no thread runs); atomics so that
    // tests and the message thread can look at them.
    std::atomic<int> cacheNumber { -1 }, cacheMsb { -1 }, cacheLsb { -1 };

    JUCE_DECLARE_NON_COPYABLE (MidiSender)
};

} // namespace kelvo
