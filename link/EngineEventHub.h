#pragma once

#include "link/EngineEvents.h"
#include "link/LockFreeQueue.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <mutex>
#include <vector>

namespace kelvo
{
class ConnectionListener;
class MidiCntrState;
class TransferListener;

/** Told that events were posted; take them with MidiCntrState::takeEvents on the message thread. */
class MidiCntrStateListener
{
public:
    virtual ~MidiCntrStateListener() = default;
    virtual void midiCntrStateChanged (MidiCntrState& engine) = 0;
};

/** Told that an event was posted with postStateEvent. */
class stateListener
{
public:
    virtual ~stateListener() = default;
    virtual void stateChanged (MidiCntrState& engine) = 0;
};

/**
    The engine's news: the event list that an editor takes, the listeners told that it holds
    something, the transfer listeners told every transfer's news, the connection listeners told
    that the link came on-line, and the messages for the user.

    Threads. Events are posted on any thread: host threads (the audio thread among them), the link's
    own threads (MIDI input, sender) and the message thread. Posting never locks or allocates: the
    events go through lock-free queues, and the listener lists each have a small lock that is never
    held while a listener runs. Listeners are only ever called on the message thread, where they are
    added and removed: directly when the event is posted there, through an async update when it is
    posted on one of the link's threads, and through a timer (while anybody listens) when it is
    posted on a host thread, which may be the audio thread and so must not post a message.
*/
class EngineEventHub final : private juce::Timer, private juce::AsyncUpdater
{
public:
    /** engine is what the listeners are told about. */
    explicit EngineEventHub (MidiCntrState& engine);
    ~EngineEventHub() override;

    //==============================================================================
    /** Appends an event and tells the listeners. Any thread; never locks or allocates. */
    void postEvent (int32_t code) noexcept;
    /** Appends an event and tells the state listeners. Any thread. */
    void postStateEvent (int32_t code) noexcept;
    /** Moves every queued event into dest, oldest first; true when some were lost since the last
        take (the queue overflowed). Message thread. */
    bool takeEvents (std::vector<int32_t>& dest);

    void addListener (MidiCntrStateListener* l);
    void removeListener (MidiCntrStateListener* l);
    void addStateListener (stateListener* l);
    void removeStateListener (stateListener* l);

    //==============================================================================
    /** A listener that hears every transfer's news (see TransferListener), whether or not anybody
        takes the events. Message thread. */
    void addTransferListener (TransferListener* l);
    void removeTransferListener (TransferListener* l);
    /** Tell the transfer listeners, after whatever news is still on its way to them, that a
        transmission of user banks firstBank..lastBank starts, or that the transfer was ended.
        Message thread. */
    void announceTransmissionStarting (int firstBank, int lastBank);
    void announceTransferEnded();

    //==============================================================================
    /** A listener told each time the link comes on-line (see ConnectionListener), whether or not
        anybody takes the events. Message thread. */
    void addConnectionListener (ConnectionListener* l);
    void removeConnectionListener (ConnectionListener* l);

    //==============================================================================
    /** Keeps a message for the user and posts event::noticePosted; the same text waiting already
        is not added twice. Any thread but the audio thread. */
    void postNotice (const juce::String& text);
    /** Keeps a message without posting (under a lock that announcing must wait for). */
    void keepNotice (const juce::String& text);
    /** Posts event::noticePosted if a message was kept since the last announcement. */
    void announceNotices();
    /** Every message waiting for the user, oldest first; each is handed out once. Message thread. */
    juce::StringArray takeNotices();

    //==============================================================================
    /** Marks the calling thread as the link's MIDI input thread, or its sender thread: both may
        post to the message thread, which a host's thread (perhaps the audio thread) may not. */
    static void markInputThread() noexcept;
    static void markSenderThread() noexcept;
    static bool isOnInputThread() noexcept;
    static bool isOnLinkThread() noexcept;

private:
    void timerCallback() override;
    void handleAsyncUpdate() override;
    void deliver();
    void notifyListeners();
    void notifyStateListeners();
    void post (int32_t code, std::atomic<bool>& pending, void (EngineEventHub::*notify)()) noexcept;
    /** Calls call on each listener of a copy of list, taken under the lock and called without it. */
    template <typename Listener, typename Call> void tellEach (const juce::Array<Listener*>& list, Call&& call);
    /** Adds or removes l under the lock; the list's size after. Message thread. */
    template <typename Listener> int editList (juce::Array<Listener*>& list, Listener* l, bool add);
    template <typename Listener> void changeListeners (juce::Array<Listener*>& list, Listener* l, bool add);
    void queueTransferNews (int32_t code) noexcept;
    void deliverTransferNews();
    void queueConnectionNews() noexcept;
    void deliverConnectionNews();

    MidiCntrState& engine;

    LockFreeQueue<int32_t> events;
    std::atomic<bool> eventsOverflowed{false};
    std::atomic<bool> listenersPending{false}, stateListenersPending{false};

    std::mutex listenerLock;
    juce::Array<MidiCntrStateListener*> listeners;
    juce::Array<stateListener*> stateListeners;
    std::atomic<int> numListeners{0};

    // Transfer news for the transfer listeners: a queue of its own, filled only while one listens,
    // and emptied on the message thread however many take the events above.
    LockFreeQueue<int32_t> transferNews;
    std::atomic<bool> transferNewsPending{false};
    juce::Array<TransferListener*> transferListeners; // under listenerLock
    std::atomic<int> numTransferListeners{0};
    bool deliveringTransferNews = false; // message thread

    // Connection news: only whether the link came on-line since the last delivery.
    std::atomic<bool> connectionNewsPending{false};
    juce::Array<ConnectionListener*> connectionListeners; // under listenerLock
    std::atomic<int> numConnectionListeners{0};

    std::mutex noticeLock;
    juce::StringArray notices;
    std::atomic<bool> noticeUnannounced{false};

    JUCE_DECLARE_NON_COPYABLE (EngineEventHub)
};

} // namespace kelvo
