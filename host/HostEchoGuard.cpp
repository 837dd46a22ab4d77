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
} // namespace

HostEchoGuard::HostEchoGuard()
    : stamps (new std::atomic<uint64_t>[(size_t)(program::numHostParameters * valuesPerParameter)]),
      hostView (new std::atomic<int>[(size_t)program::numHostParameters])
{
    for (int i = 0; i < program::numHostParameters * valuesPerParameter; ++i)
        stamps[(size_t)i] = 0;
    for (int i = 0; i < program::numHostParameters; ++i)
        hostView[(size_t)i] = -1;
}

std::atomic<uint64_t>& HostEchoGuard::stampOf (int index, int raw) noexcept
{
    return stamps[(size_t)(index * valuesPerParameter + raw)];
}

void HostEchoGuard::reported (int index, int raw) noexcept
{
    if (!isInRange (index, raw))
        return;
    if (++nextSequence == 0)
        nextSequence = 1;
    const auto stamp = ((uint64_t)juce::Time::getMillisecondCounter() << 32) | nextSequence;
    stampOf (index, raw).store (stamp, std::memory_order_release);
    hostView[(size_t)index].store (raw, std::memory_order_relaxed);
}

void HostEchoGuard::hostWrote (int index, int raw) noexcept
{
    if (isInRange (index, raw))
        hostView[(size_t)index].store (raw, std::memory_order_relaxed);
}

bool HostEchoGuard::differsFromHost (int index, int raw) const noexcept
{
    return isInRange (index, raw) && hostView[(size_t)index].load (std::memory_order_relaxed) != raw;
}

bool HostEchoGuard::isStaleEcho (int index, int raw, int current) noexcept
{
    if (!isInRange (index, raw) || raw == current)
        return false;

    const auto stamp = stampOf (index, raw).load (std::memory_order_acquire);
    if (stamp == 0 || juce::Time::getMillisecondCounter() - timeOf (stamp) > echoWindowMs)
        return false;

    // This report and those made before it will not come back any more; one made meanwhile (a later
    // number) stays, which is why each is retired only if it still holds the stamp it was read with.
    for (int v = 0; v < valuesPerParameter; ++v)
    {
        auto& slot = stampOf (index, v);
        auto other = slot.load (std::memory_order_relaxed);
        if (other != 0 && (int32_t)(sequenceOf (other) - sequenceOf (stamp)) <= 0)
            slot.compare_exchange_strong (other, 0, std::memory_order_relaxed);
    }
    return true;
}

} // namespace kelvo
