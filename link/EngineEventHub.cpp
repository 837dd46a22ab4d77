#include "link/EngineEventHub.h"
#include "link/ConnectionListener.h"
#include "link/TransferListener.h"

namespace kelvo
{
namespace
{
// Enough for any burst the editor could fall behind on; past it the editor reloads everything.
constexpr size_t eventQueueCapacity = 8192;

// Several times the news of the largest transfer (four banks of 128 programs and its end); a new
// transfer starts on the message thread, after the news of the one before has been delivered.
constexpr size_t transferNewsCapacity = 4096;

// How often events posted on host threads reach the listeners.
constexpr int deferredNotifyIntervalMs = 15;

// Set on the thread that delivers incoming MIDI: it may post a message to the message thread,
// which the audio thread must not.
thread_local bool onLinkInputThread = false;
// Set on the sender's thread, which reports a transmission's progress: it may wake the message
// thread too.
thread_local bool onLinkSenderThread = false;
} // namespace

EngineEventHub::EngineEventHub (MidiCntrState& e)
    : engine (e), events (eventQueueCapacity), transferNews (transferNewsCapacity)
{
}

// Listeners are only ever called on the message thread, where they are also added and removed, so
// none can be called while it is being destroyed.
EngineEventHub::~EngineEventHub()
{
    stopTimer();
    cancelPendingUpdate();
}

void EngineEventHub::markInputThread() noexcept
{
    onLinkInputThread = true;
}
void EngineEventHub::markSenderThread() noexcept
{
    onLinkSenderThread = true;
}
bool EngineEventHub::isOnInputThread() noexcept
{
    return onLinkInputThread;
}
bool EngineEventHub::isOnLinkThread() noexcept
{
    return onLinkInputThread || onLinkSenderThread;
}

//==============================================================================
void EngineEventHub::timerCallback()
{
    deliver();
}
void EngineEventHub::handleAsyncUpdate()
{
    deliver();
}

void EngineEventHub::deliver()
{
    if (transferNewsPending.exchange (false))
        deliverTransferNews();
    if (connectionNewsPending.exchange (false))
        deliverConnectionNews();
    if (listenersPending.exchange (false))
        notifyListeners();
    if (stateListenersPending.exchange (false))
        notifyStateListeners();
}

void EngineEventHub::postEvent (int32_t code) noexcept
{
    post (code, listenersPending, &EngineEventHub::notifyListeners);
}

void EngineEventHub::postStateEvent (int32_t code) noexcept
{
    post (code, stateListenersPending, &EngineEventHub::notifyStateListeners);
}

void EngineEventHub::post (int32_t code, std::atomic<bool>& pending,
                           void (EngineEventHub::*notify)()) noexcept
{
    if (event::isTransferNews (code) && numTransferListeners.load (std::memory_order_acquire) > 0)
        queueTransferNews (code);
    if (event::isKind (code, event::online) && numConnectionListeners.load (std::memory_order_acquire) > 0)
        queueConnectionNews();

    // Nobody to show it: an editor that opens later reloads everything anyway.
    if (numListeners.load (std::memory_order_acquire) == 0)
        return;

    if (!events.push (code))
        eventsOverflowed = true;

    if (juce::MessageManager::existsAndIsCurrentThread())
    {
        (this->*notify)();
        return;
    }

    pending = true;
    if (onLinkInputThread)
        triggerAsyncUpdate();
}

bool EngineEventHub::takeEvents (std::vector<int32_t>& dest)
{
    int32_t code;
    while (events.pop (code))
        dest.push_back (code);
    return eventsOverflowed.exchange (false);
}

template <typename Listener, typename Call>
void EngineEventHub::tellEach (const juce::Array<Listener*>& list, Call&& call)
{
    // A copy, so that a listener may add or remove listeners; called without the lock.
    juce::Array<Listener*> copy;
    {
        const std::lock_guard<std::mutex> sl (listenerLock);
        copy = list;
    }
    for (int i = copy.size(); --i >= 0;)
        call (*copy.getUnchecked (i));
}

template <typename Listener>
int EngineEventHub::editList (juce::Array<Listener*>& list, Listener* l, bool add)
{
    JUCE_ASSERT_MESSAGE_THREAD
    const std::lock_guard<std::mutex> sl (listenerLock);
    if (add)
        list.addIfNotAlreadyThere (l);
    else
        list.removeAllInstancesOf (l);
    return list.size();
}

void EngineEventHub::notifyListeners()
{
    tellEach (listeners, [this] (MidiCntrStateListener& l) { l.midiCntrStateChanged (engine); });
}

void EngineEventHub::notifyStateListeners()
{
    tellEach (stateListeners, [this] (stateListener& l) { l.stateChanged (engine); });
}

template <typename Listener>
void EngineEventHub::changeListeners (juce::Array<Listener*>& list, Listener* l, bool add)
{
    editList (list, l, add);
    bool anyLeft;
    {
        const std::lock_guard<std::mutex> sl (listenerLock);
        numListeners = listeners.size() + stateListeners.size();
        anyLeft = numListeners > 0;
    }
    // Events posted on host threads are only flagged: look for them while somebody listens.
    if (anyLeft)
        startTimer (deferredNotifyIntervalMs);
    else
        stopTimer();
}

void EngineEventHub::addListener (MidiCntrStateListener* l)
{
    changeListeners (listeners, l, true);
}
void EngineEventHub::removeListener (MidiCntrStateListener* l)
{
    changeListeners (listeners, l, false);
}
void EngineEventHub::addStateListener (stateListener* l)
{
    changeListeners (stateListeners, l, true);
}
void EngineEventHub::removeStateListener (stateListener* l)
{
    changeListeners (stateListeners, l, false);
}

//==============================================================================
void EngineEventHub::addTransferListener (TransferListener* l)
{
    numTransferListeners = editList (transferListeners, l, true);
}

void EngineEventHub::removeTransferListener (TransferListener* l)
{
    numTransferListeners = editList (transferListeners, l, false);
}

void EngineEventHub::queueTransferNews (int32_t code) noexcept
{
    // Cannot fail short of a message thread that has stood still for minutes (see the capacity).
    transferNews.push (code);

    if (juce::MessageManager::existsAndIsCurrentThread())
    {
        deliverTransferNews();
        return;
    }

    transferNewsPending = true;
    // A host's thread may be the audio thread, which must not post: its news waits for the next
    // delivery. Transfers report from the link's own threads.
    if (isOnLinkThread())
        triggerAsyncUpdate();
}

void EngineEventHub::deliverTransferNews()
{
    // A listener that posts news of its own has it delivered by the loop that called it, in order.
    if (deliveringTransferNews)
        return;
    const juce::ScopedValueSetter<bool> delivering (deliveringTransferNews, true);

    int32_t code;
    while (transferNews.pop (code))
        tellEach (transferListeners, [code] (TransferListener& l) { l.transferEventArrived (code); });
}

void EngineEventHub::announceTransmissionStarting (int firstBank, int lastBank)
{
    deliverTransferNews();
    tellEach (transferListeners, [=] (TransferListener& l) { l.transmissionStarting (firstBank, lastBank); });
}

void EngineEventHub::announceTransferEnded()
{
    deliverTransferNews();
    tellEach (transferListeners, [] (TransferListener& l) { l.transferEnded(); });
}

//==============================================================================
void EngineEventHub::addConnectionListener (ConnectionListener* l)
{
    numConnectionListeners = editList (connectionListeners, l, true);
}

void EngineEventHub::removeConnectionListener (ConnectionListener* l)
{
    numConnectionListeners = editList (connectionListeners, l, false);
}

void EngineEventHub::queueConnectionNews() noexcept
{
    if (juce::MessageManager::existsAndIsCurrentThread())
    {
        deliverConnectionNews();
        return;
    }
    connectionNewsPending = true;
    // The synth's answer arrives on the link's input thread, which may wake the message thread.
    if (isOnLinkThread())
        triggerAsyncUpdate();
}

void EngineEventHub::deliverConnectionNews()
{
    tellEach (connectionListeners, [] (ConnectionListener& l) { l.linkCameOnline(); });
}

//==============================================================================
void EngineEventHub::postNotice (const juce::String& text)
{
    keepNotice (text);
    announceNotices();
}

void EngineEventHub::keepNotice (const juce::String& text)
{
    const std::lock_guard<std::mutex> nl (noticeLock);
    if (!notices.contains (text))
    {
        notices.add (text);
        noticeUnannounced = true;
    }
}

void EngineEventHub::announceNotices()
{
    if (noticeUnannounced.exchange (false))
        postEvent (event::noticePosted);
}

juce::StringArray EngineEventHub::takeNotices()
{
    const std::lock_guard<std::mutex> nl (noticeLock);
    return std::exchange (notices, {});
}

} // namespace kelvo
