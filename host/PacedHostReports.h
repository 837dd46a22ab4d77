#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <functional>
#include <memory>

namespace kelvo
{

/**
    Tells an LV2 host the parameters' values a few at a time, in step with its audio blocks.

    JUCE's LV2 wrapper writes every value reported since the last block into that block's output
    port, and what does not fit into the host's buffer is lost for good (the wrapper has already
    forgotten it). Hosts give that buffer the size the plug-in asks for or less, and pass it on
    through rings of their own; all 185 values at once (a fresh instance, a restored state, a new
    program) do not fit. So a report only marks a parameter as due; a thread of its own tells the
    host at most batchSize of the due ones, then waits until the host has run two more blocks (by
    then the block that took the batch out has ended), and goes on with the next. The value told is
    the one current when its turn comes: a parameter reported twice meanwhile is told once.

    Threads: post() on any thread but the audio thread; blockRan() on the audio thread, lock-free
    and allocation-free; the deliver function runs on the pacer's own thread. It wakes only while
    something is due, and backs off to once a second while the host runs no blocks.
*/
class PacedHostReports final : private juce::Thread
{
public:
    /** At most this many values a batch: 32 patch:Set messages (72 bytes each) fit a 4096-byte
        buffer with room to spare for the sequence's header and other messages. */
    static constexpr int batchSize = 32;

    /** deliver(index) tells the host a parameter's current value. */
    PacedHostReports (int numParameters, std::function<void (int)> deliver);
    ~PacedHostReports() override;

    /** The host is to be told the parameter's value. */
    void post (int index) noexcept;
    /** The host ran an audio block. */
    void blockRan() noexcept { blocksRun.fetch_add (1, std::memory_order_release); }
    /** How long a block lasts, which is how often the pacer looks whether blocks ran. Any thread. */
    void setBlockDuration (double sampleRate, int samplesPerBlock) noexcept;
    /** Nothing more is told; the thread ends. Safe to call more than once. */
    void stop();

private:
    void run() override;
    /** Tells the host up to batchSize due values; how many it told. */
    int deliverBatch();
    /** Waits until the host has run two blocks after `from`, or the pacer is stopped. */
    void waitForBlocksAfter (uint32_t from);

    const int numParameters;
    const std::function<void (int)> deliver;
    std::unique_ptr<std::atomic<bool>[]> due;
    std::atomic<uint32_t> blocksRun{0};
    std::atomic<int> blockMs{20};
    int nextToLook = 0; // the pacer's thread alone

    JUCE_DECLARE_NON_COPYABLE (PacedHostReports)
};

} // namespace kelvo
