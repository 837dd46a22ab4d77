#include "link/MidiSender.h"
#include "link/MidiLoopGuard.h"
#include "link/MidiDevices.h"
#include "model/MidiNumbers.h"

namespace kelvo
{
namespace
{

// How often a producer that waits for room looks again, and how often the sender thread looks at
// its queue while a paced series waits for its next message.
constexpr auto roomPollInterval = std::chrono::microseconds (200);
constexpr auto pacedPollInterval = std::chrono::milliseconds (1);

juce::MidiMessage controller (int channel, int number, int value)
{
    return juce::MidiMessage::controllerEvent (juce::jlimit (1, 16, channel), number & 0x7f, value & 0x7f);
}
} // namespace

MidiSender::MidiSender() : queue (queueCapacity) {}

MidiSender::~MidiSender()
{
    stop();
}

void MidiSender::start (MidiOutputDevice& newDevice)
{
    stop();

    // Nobody consumes while no thread runs, so this thread may drain what was left behind.
    Item stale;
    while (queue.pop (stale))
        processed.fetch_add (1, std::memory_order_relaxed);

    device = &newDevice;
    knownNumber = -1;
    nextPacedAt = {};
    shouldExit = false;
    running.store (true, std::memory_order_release);
    thread = std::thread ([this] { run(); });
}

void MidiSender::stop()
{
    running.store (false, std::memory_order_release);
    if (thread.joinable())
    {
        shouldExit = true;
        wakeups.fetch_add (1);
        wakeups.notify_all();
        thread.join();
    }
    cancelPacedSeries();
    device = nullptr;
}

bool MidiSender::push (Item&& item, Overflow overflow) noexcept
{
    if (! isRunning())
        return false;

    pushed.fetch_add (1, std::memory_order_relaxed);
    while (! queue.push (std::move (item)))
    {
        // A closed output sends nothing, by design: that is no overflow.
        if (! isRunning())
        {
            pushed.fetch_sub (1, std::memory_order_relaxed);
            return false;
        }

        if (overflow == Overflow::wait)
        {
            std::this_thread::sleep_for (roomPollInterval);
            continue;
        }

        pushed.fetch_sub (1, std::memory_order_relaxed);
        const auto total = dropped.fetch_add (1, std::memory_order_relaxed) + 1;
        // One report for each flood: the sender thread re-arms it once it has emptied the queue.
        if (unreportedDrops.fetch_add (1, std::memory_order_relaxed) == 0 && overflowHandler)
            overflowHandler (total);
        return false;
    }

    wakeups.fetch_add (1, std::memory_order_release);
    wakeups.notify_one();
    return true;
}

bool MidiSender::push (Item::Kind kind, int value, int channel, int number, Overflow overflow) noexcept
{
    Item item;
    item.kind = kind;
    item.channel = channel;
    item.number = number;
    item.value = value;
    return push (std::move (item), overflow);
}

void MidiSender::sendParameterNrpn (int channel, int nrpn, int value, Overflow overflow) noexcept
{
    push (Item::Kind::parameterNrpn, value, channel, nrpn, overflow);
}

void MidiSender::sendGlobalNrpn (int channel, int nrpn, int value, Overflow overflow) noexcept
{
    push (Item::Kind::globalNrpn, value, channel, nrpn, overflow);
}

void MidiSender::sendShort (const juce::MidiMessage& message, Overflow overflow) noexcept
{
    const auto size = message.getRawDataSize();
    if (size < 1 || size > 3)
        return;

    Item item;
    item.kind = Item::Kind::shortMessage;
    item.numBytes = (uint8_t) size;
    std::memcpy (item.bytes, message.getRawData(), (size_t) size);
    push (std::move (item), overflow);
}

void MidiSender::sendSysEx (const juce::MemoryBlock& message)
{
    if (! isRunning() || message.isEmpty())
        return;

    Item item;
    item.kind = Item::Kind::sysEx;
    item.payload = std::make_unique<juce::MemoryBlock> (message);
    push (std::move (item), Overflow::wait);
}

void MidiSender::sendPacedSeries (uint32_t series, std::vector<PacedMessage> messages, int pauseMs,
                                  int microsecondsPerByte)
{
    {
        const std::lock_guard<std::mutex> sl (pacedLock);
        paced.assign (std::make_move_iterator (messages.begin()), std::make_move_iterator (messages.end()));
        pacedSeries = series;
        pacedPauseMs = juce::jmax (0, pauseMs);
        pacedWireMicrosecondsPerByte = juce::jmax (0, microsecondsPerByte);
        pacedPending = ! paced.empty();
    }
    wakeups.fetch_add (1, std::memory_order_release);
    wakeups.notify_one();
}

void MidiSender::cancelPacedSeries()
{
    const std::lock_guard<std::mutex> sl (pacedLock);
    paced.clear();
    pacedSeries = 0;
    pacedPending = false;
}

void MidiSender::resetNrpnCache() noexcept
{
    push (Item::Kind::resetCache, 0, 1, 0, Overflow::report);
}

bool MidiSender::waitUntilSent (int timeoutMilliseconds) const
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMilliseconds;
    for (;;)
    {
        if (processed.load (std::memory_order_acquire) >= pushed.load (std::memory_order_acquire))
            return true;
        if (juce::Time::getMillisecondCounter() >= deadline)
            return false;
        std::this_thread::sleep_for (std::chrono::milliseconds (1));
    }
}

void MidiSender::run()
{
    Item item;
    for (;;)
    {
        const auto seen = wakeups.load (std::memory_order_acquire);

        while (queue.pop (item))
        {
            process (item);
            item = Item {};
            processed.fetch_add (1, std::memory_order_release);
        }
        unreportedDrops.store (0, std::memory_order_relaxed);

        if (shouldExit.load())
            return;

        // Everything else goes first; a message of a paced series only when the queue is empty and
        // its time has come. Meanwhile the queue is looked at every millisecond.
        if (pacedPending.load())
        {
            if (SteadyClock::now() < nextPacedAt || ! sendNextPaced())
                std::this_thread::sleep_for (pacedPollInterval);
            continue;
        }

        wakeups.wait (seen, std::memory_order_acquire);
    }
}

bool MidiSender::sendNextPaced()
{
    PacedMessage next;
    uint32_t series;
    int pauseMs, microsecondsPerByte;
    {
        const std::lock_guard<std::mutex> sl (pacedLock);
        if (paced.empty())
        {
            pacedPending = false;
            return false;
        }
        next = std::move (paced.front());
        paced.pop_front();
        series = pacedSeries;
        pauseMs = pacedPauseMs;
        microsecondsPerByte = pacedWireMicrosecondsPerByte;
    }

    if (! next.message.isEmpty())
    {
        knownNumber = -1;
        // The device may take the bytes faster than the wire carries them: the synth has the whole
        // message only once its last byte is through, and its pause to store it begins there.
        const auto startedAt = SteadyClock::now();
        sendSysExNow (next.message);
        const auto wireTime = std::chrono::microseconds ((int64_t) next.message.getSize() * microsecondsPerByte);
        const auto onTheWire = startedAt + wireTime;
        nextPacedAt = juce::jmax (SteadyClock::now(), onTheWire) + std::chrono::milliseconds (pauseMs);
    }

    if (next.marker != 0 && markerHandler)
        markerHandler (series, next.marker);
    return true;
}

void MidiSender::process (Item& item)
{
    switch (item.kind)
    {
        case Item::Kind::shortMessage:
            knownNumber = -1;
            sendNow (juce::MidiMessage (item.bytes, item.numBytes));
            break;

        case Item::Kind::parameterNrpn:
            sendNrpn (item.channel, item.number, item.value, true);
            break;

        case Item::Kind::globalNrpn:
            sendNrpn (item.channel, item.number, item.value, false);
            break;

        case Item::Kind::sysEx:
            knownNumber = -1;
            sendSysExNow (*item.payload);
            break;

        case Item::Kind::resetCache:
            knownNumber = -1;
            break;

        case Item::Kind::none:
            break;
    }
}

void MidiSender::sendSysExNow (const juce::MemoryBlock& message)
{
    const auto* data = static_cast<const uint8_t*> (message.getData());
    const auto size = (int) message.getSize();
    if (loopGuard != nullptr)
        loopGuard->noteSentSysEx (data, (size_t) size);
    for (int start = 0; start < size; start += sysExSliceSize)
        device->sendSysExSliceNow (data + start, juce::jmin (sysExSliceSize, size - start));
}

void MidiSender::sendNow (const juce::MidiMessage& m)
{
    device->sendMessageNow (m);
}

void MidiSender::sendNrpn (int channel, int nrpn, int value, bool isParameter)
{
    const auto now = SteadyClock::now();
    const auto heard = messagesHeard.load (std::memory_order_relaxed);
    const auto numberKnown = isParameter && nrpn == knownNumber.load() && channel == knownChannel
                             && heard == heardWhenKnown && now - knownSince < std::chrono::milliseconds (numberHoldMs);

    if (! numberKnown)
    {
        sendNow (controller (channel, midicc::nrpnMsb, nrpn / 128));
        sendNow (controller (channel, midicc::nrpnLsb, nrpn % 128));
    }
    if (loopGuard != nullptr)
        loopGuard->noteSentNrpn (nrpn, value);
    sendNow (controller (channel, midicc::dataMsb, (value / 128) & 0x7f));
    sendNow (controller (channel, midicc::dataLsb, value % 128));

    // A global NRPN is always sent whole, and the next parameter NRPN is too.
    knownNumber = isParameter ? nrpn : -1;
    knownChannel = channel;
    heardWhenKnown = heard;
    knownSince = now;
}

} // namespace kelvo
