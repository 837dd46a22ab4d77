#include "host/PacedHostReports.h"

namespace kelvo
{
namespace
{
constexpr int shortestPollMs = 2, longestBlockMs = 50, idlePollMs = 1000;
} // namespace

PacedHostReports::PacedHostReports (int numParams, std::function<void (int)> deliverValue)
    : juce::Thread ("Kelvo paced host reports"),
      numParameters (numParams),
      deliver (std::move (deliverValue)),
      due (new std::atomic<bool>[(size_t) numParams])
{
    for (int i = 0; i < numParameters; ++i)
        due[(size_t) i] = false;
    startThread();
}

PacedHostReports::~PacedHostReports()
{
    stop();
}

void PacedHostReports::post (int index) noexcept
{
    if (index < 0 || index >= numParameters)
        return;
    due[(size_t) index].store (true, std::memory_order_release);
    notify();
}

void PacedHostReports::setBlockDuration (double sampleRate, int samplesPerBlock) noexcept
{
    if (sampleRate > 0.0 && samplesPerBlock > 0)
        blockMs = juce::jlimit (shortestPollMs, longestBlockMs, (int) std::ceil (1000.0 * samplesPerBlock / sampleRate));
}

void PacedHostReports::stop()
{
    signalThreadShouldExit();
    notify();
    stopThread (-1);
}

int PacedHostReports::deliverBatch()
{
    // Round the parameters from where the last batch stopped, so that values posted again and
    // again cannot keep the later ones waiting.
    int told = 0;
    for (int n = 0; n < numParameters && told < batchSize && ! threadShouldExit(); ++n)
    {
        const auto i = (nextToLook + n) % numParameters;
        if (due[(size_t) i].exchange (false, std::memory_order_acq_rel))
        {
            deliver (i);
            ++told;
            if (told == batchSize)
                nextToLook = (i + 1) % numParameters;
        }
    }
    return told;
}

void PacedHostReports::waitForBlocksAfter (uint32_t from)
{
    // The batch went out before `from` was read: the block counted next takes it out, or it was
    // already being taken out by block `from`; either way it is gone once a second block is counted.
    auto pollMs = blockMs.load();
    while (! threadShouldExit() && blocksRun.load (std::memory_order_acquire) - from < 2)
    {
        const auto before = blocksRun.load (std::memory_order_acquire);
        const auto started = juce::Time::getMillisecondCounter();
        wait (pollMs); // a post wakes it early, which changes nothing here
        // A host that runs no blocks (stopped, or only scanning) is looked at less and less often.
        if (blocksRun.load (std::memory_order_acquire) != before)
            pollMs = blockMs.load();
        else if (juce::Time::getMillisecondCounter() - started >= (uint32_t) pollMs)
            pollMs = juce::jmin (idlePollMs, pollMs * 2);
    }
}

void PacedHostReports::run()
{
    while (! threadShouldExit())
    {
        if (deliverBatch() == 0)
        {
            wait (-1);
            continue;
        }
        waitForBlocksAfter (blocksRun.load (std::memory_order_acquire));
    }
}

} // namespace kelvo
