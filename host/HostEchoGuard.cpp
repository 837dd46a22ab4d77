#include "host/HostEchoGuard.h"

#include <juce_core/juce_core.h>

namespace kelvo
{
namespace
{
uint32_t timeOf (uint64_t stamp) noexcept
{
    return (uint32_t)(stamp >> 32);
}
uint32_t sequenceOf (uint64_t stamp) noexcept
{
    return (uint32_t)stamp;
}

bool isInRange (int index, int raw) noexcept
{
    return index >= 0 && index < program::numHostParameters && raw >= 0 && raw < 256;
}

// Running numbers wrap around: a is later than b when it is less than half the range ahead.
bool isLater (uint32_t a, uint32_t b) noexcept
{
    return (int32_t)(a - b) > 0;
}
} // namespace

HostEchoGuard::HostEchoGuard()
    : stamps (new std::atomic<uint64_t>[(size_t)(program::numHostParameters * valuesPerParameter)]),
      retired (new std::atomic<uint32_t>[(size_t)program::numHostParameters]),
      hostView (new std::atomic<int>[(size_t)program::numHostParameters]),
      viewQueued (new std::atomic<bool>[(size_t)program::numHostParameters])
{
    for (int i = 0; i < program::numHostParameters * valuesPerParameter; ++i)
        stamps[(size_t)i] = 0;
    for (int i = 0; i < program::numHostParameters; ++i)
    {
        retired[(size_t)i] = 0;
        hostView[(size_t)i] = -1;
        viewQueued[(size_t)i] = false;
    }
}

std::atomic<uint64_t>& HostEchoGuard::stampOf (int index, int raw) noexcept
{
    return stamps[(size_t)(index * valuesPerParameter + raw)];
}

void HostEchoGuard::retireUpTo (int index, uint32_t sequence) noexcept
{
    auto& slot = retired[(size_t)index];
    auto old = slot.load (std::memory_order_relaxed);
    while (isLater (sequence, old) && !slot.compare_exchange_weak (old, sequence, std::memory_order_acq_rel))
    {
    }
}

void HostEchoGuard::reported (int index, int raw, bool atOnce) noexcept
{
    if (!isInRange (index, raw))
        return;
    auto sequence = lastSequence.fetch_add (1, std::memory_order_acq_rel) + 1;
    if (sequence == 0) // 0 marks "never reported"
        sequence = lastSequence.fetch_add (1, std::memory_order_acq_rel) + 1;
    const auto stamp = ((uint64_t)juce::Time::getMillisecondCounter() << 32) | sequence;
    stampOf (index, raw).store (stamp, std::memory_order_release);
    hostView[(size_t)index].store (raw, std::memory_order_relaxed);
    viewQueued[(size_t)index].store (!atOnce, std::memory_order_relaxed);
}

void HostEchoGuard::hostWrote (int index, int raw, uint32_t arrival) noexcept
{
    if (!isInRange (index, raw))
        return;
    retireUpTo (index, arrival);
    hostView[(size_t)index].store (raw, std::memory_order_relaxed);
    viewQueued[(size_t)index].store (false, std::memory_order_relaxed);
}

bool HostEchoGuard::differsFromHost (int index, int raw) const noexcept
{
    return isInRange (index, raw) && hostView[(size_t)index].load (std::memory_order_relaxed) != raw;
}

bool HostEchoGuard::mayDifferFromHostNow (int index, int raw) const noexcept
{
    return differsFromHost (index, raw) || (isInRange (index, raw) && viewQueued[(size_t)index].load (std::memory_order_relaxed));
}

bool HostEchoGuard::isStaleEcho (int index, int raw, int current) noexcept
{
    if (!isInRange (index, raw))
        return false;

    const auto stamp = stampOf (index, raw).load (std::memory_order_acquire);
    const auto sequence = sequenceOf (stamp);
    if (stamp == 0 || !isLater (sequence, retired[(size_t)index].load (std::memory_order_acquire)) ||
        juce::Time::getMillisecondCounter() - timeOf (stamp) > echoWindowMs)
        return false;

    // This report came back: it and those made before it will not come back any more.
    retireUpTo (index, sequence);
    return raw != current;
}

} // namespace kelvo
