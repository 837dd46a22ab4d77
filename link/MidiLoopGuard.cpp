#include "link/MidiLoopGuard.h"

#include <juce_core/juce_core.h>

namespace kelvo
{
namespace
{
constexpr uint64_t nrpnTag = uint64_t (1) << 63;
} // namespace

uint64_t MidiLoopGuard::keyOfNrpn (int number, int value) noexcept
{
    return nrpnTag | (uint64_t) (uint32_t) number << 20 | (uint64_t) (uint32_t) (value & 0xfffff);
}

uint64_t MidiLoopGuard::keyOfSysEx (const void* data, size_t size) noexcept
{
    // FNV-1a over the whole message; the tag bit keeps it apart from the NRPN keys.
    uint64_t hash = 14695981039346656037ull;
    const auto* bytes = static_cast<const uint8_t*> (data);
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    return (hash & ~nrpnTag) | 1;
}

void MidiLoopGuard::noteSentNrpn (int number, int value) noexcept
{
    noteSent (keyOfNrpn (number, value));
}

void MidiLoopGuard::noteSentSysEx (const void* data, size_t size) noexcept
{
    if (data != nullptr && size > 0)
        noteSent (keyOfSysEx (data, size));
}

void MidiLoopGuard::noteSent (uint64_t key) noexcept
{
    const auto at = juce::Time::getMillisecondCounter();
    const std::lock_guard<std::mutex> sl (lock);
    sent[nextSlot] = { key, at };
    nextSlot = (nextSlot + 1) % sent.size();
}

bool MidiLoopGuard::isOwnEchoNrpn (int number, int value)
{
    return isOwnEcho (keyOfNrpn (number, value), true);
}

bool MidiLoopGuard::isOwnEchoSysEx (const void* data, size_t size)
{
    // A dump that equals one sent may be the synth's answer to a request (a bank received right
    // after it was transmitted): only short messages (requests, which the synth never sends) count
    // towards finding a loop; dumps of ours are dropped once one is found.
    return data != nullptr && size > 0 && isOwnEcho (keyOfSysEx (data, size), size <= maxRequestSize);
}

bool MidiLoopGuard::isOwnEcho (uint64_t key, bool countsTowardsLoop)
{
    const auto at = juce::Time::getMillisecondCounter();
    bool found = false, justFound = false;
    {
        const std::lock_guard<std::mutex> sl (lock);
        for (auto& s : sent)
            if (s.key == key && at - s.atMs <= echoWindowMs)
            {
                s.key = 0; // each message sent comes back once
                found = true;
                break;
            }
        if (! found || ! countsTowardsLoop)
            return found && loopFound.load();

        // A loop is several of ours within the window: one answer that happens to equal what was
        // sent (a dump asked for right after sending it) is none.
        echoTimes[nextEcho] = at;
        nextEcho = (nextEcho + 1) % echoTimes.size();
        echoesSeen = juce::jmin (echoesSeen + 1, echoesForLoop);
        const auto oldest = echoTimes[nextEcho];
        if (! loopFound.load() && echoesSeen == echoesForLoop && at - oldest <= echoWindowMs)
        {
            loopFound = true;
            justFound = true;
        }
    }
    if (justFound && onLoopFound != nullptr)
        onLoopFound();
    return loopFound.load();
}

} // namespace kelvo
