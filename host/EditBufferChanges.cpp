#include "host/EditBufferChanges.h"
#include "link/MidiCntrState.h"

namespace kelvo
{

EditBufferChanges::EditBufferChanges()
{
    startTimer (sweepIntervalMs);
}

EditBufferChanges::~EditBufferChanges()
{
    stopTimer();
}

void EditBufferChanges::editBufferChanged() noexcept
{
    if (juce::MessageManager::existsAndIsCurrentThread() || MidiCntrState::isOnLinkThread())
    {
        // Cleared before posting: a flag that a host's thread leaves meanwhile stays for the sweep.
        unposted.store (false, std::memory_order_relaxed);
        sendChangeMessage();
        return;
    }
    unposted.store (true, std::memory_order_release);
}

void EditBufferChanges::timerCallback()
{
    if (unposted.exchange (false, std::memory_order_acquire))
        sendSynchronousChangeMessage();
}

} // namespace kelvo
