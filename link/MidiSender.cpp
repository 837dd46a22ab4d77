#include "link/MidiSender.h"
#include "link/MidiDevices.h"

#include <chrono>

namespace kelvo
{
namespace
{
// Room for several whole bank transmissions' worth of messages; a push into a full queue is
// dropped and counted rather than waited for.
constexpr size_t queueCapacity = 4096;

constexpr int ccNrpnMsb = 99, ccNrpnLsb = 98, ccDataMsb = 6, ccDataLsb = 38;

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
    cacheNumber = -1;
    cacheMsb = -1;
    cacheLsb = -1;
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
    device = nullptr;
}

bool MidiSender::push (Item&& item) noexcept
{
    if (! isRunning())
        return false;

    pushed.fetch_add (1, std::memory_order_relaxed);
    if (! queue.push (std::move (item)))
    {
        pushed.fetch_sub (1, std::memory_order_relaxed);
        dropped.fetch_add (1, std::memory_order_relaxed);
        return false;
    }

    wakeups.fetch_add (1, std::memory_order_release);
    wakeups.notify_one();
    return true;
}

bool MidiSender::push (Item::Kind kind, int value, uint32_t batch, int channel, int number) noexcept
{
    Item item;
    item.kind = kind;
    item.batch = batch;
    item.channel = channel;
    item.number = number;
    item.value = value;
    return push (std::move (item));
}

void MidiSender::sendParameterNrpn (int channel, int nrpn, int value) noexcept
{
    push (Item::Kind::parameterNrpn, value, 0, channel, nrpn);
}

void MidiSender::sendGlobalNrpn (int channel, int nrpn, int value) noexcept
{
    push (Item::Kind::globalNrpn, value, 0, channel, nrpn);
}

void MidiSender::sendShort (const juce::MidiMessage& message) noexcept
{
    const auto size = message.getRawDataSize();
    if (size < 1 || size > 3)
        return;

    Item item;
    item.kind = Item::Kind::shortMessage;
    item.numBytes = (uint8_t) size;
    std::memcpy (item.bytes, message.getRawData(), (size_t) size);
    push (std::move (item));
}

void MidiSender::sendSysEx (const juce::MemoryBlock& message, uint32_t batch)
{
    if (! isRunning() || message.isEmpty())
        return;

    Item item;
    item.kind = Item::Kind::sysEx;
    item.batch = batch;
    item.payload = std::make_unique<juce::MemoryBlock> (message);
    push (std::move (item));
}

void MidiSender::sendPause (int milliseconds, uint32_t batch)
{
    push (Item::Kind::pause, milliseconds, batch);
}

void MidiSender::sendMarker (int32_t code, uint32_t batch)
{
    push (Item::Kind::marker, code, batch);
}

void MidiSender::resetNrpnCache() noexcept
{
    push (Item::Kind::resetCache, 0, 0);
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

MidiSender::NrpnCache MidiSender::getNrpnCache() const noexcept
{
    return { cacheNumber.load(), cacheMsb.load(), cacheLsb.load() };
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

        if (shouldExit.load())
            return;

        wakeups.wait (seen, std::memory_order_acquire);
    }
}

void MidiSender::process (Item& item)
{
    if (item.batch != 0 && item.batch == cancelledBatch.load())
        return;

    switch (item.kind)
    {
        case Item::Kind::shortMessage:
            sendNow (juce::MidiMessage (item.bytes, item.numBytes));
            break;

        case Item::Kind::parameterNrpn:
            sendNrpn (item.channel, item.number, item.value, true);
            break;

        case Item::Kind::globalNrpn:
            sendNrpn (item.channel, item.number, item.value, false);
            break;

        case Item::Kind::sysEx:
        {
            const auto* data = static_cast<const uint8_t*> (item.payload->getData());
            const auto size = (int) item.payload->getSize();
            for (int start = 0; start < size; start += sysExSliceSize)
                device->sendSysExSliceNow (data + start, juce::jmin (sysExSliceSize, size - start));
            break;
        }

        case Item::Kind::pause:
        {
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds (item.value);
            while (! shouldExit.load() && std::chrono::steady_clock::now() < until
                   && ! (item.batch != 0 && item.batch == cancelledBatch.load()))
                std::this_thread::sleep_for (std::chrono::milliseconds (1));
            break;
        }

        case Item::Kind::marker:
            if (markerHandler)
                markerHandler (item.value);
            break;

        case Item::Kind::resetCache:
            cacheNumber = -1;
            break;

        case Item::Kind::none:
            break;
    }
}

void MidiSender::sendNow (const juce::MidiMessage& m)
{
    device->sendMessageNow (m);
}

void MidiSender::sendNrpn (int channel, int nrpn, int value, bool useCache)
{
    const auto msb = (value / 128) & 0x7f;
    const auto lsb = value % 128;

    if (! useCache || nrpn != cacheNumber.load())
    {
        sendNow (controller (channel, ccNrpnMsb, nrpn / 128));
        sendNow (controller (channel, ccNrpnLsb, nrpn % 128));
        sendNow (controller (channel, ccDataMsb, msb));
        sendNow (controller (channel, ccDataLsb, lsb));
    }
    else if (msb == cacheMsb.load())
    {
        if (lsb == cacheLsb.load())
            return;
        sendNow (controller (channel, ccDataLsb, lsb));
    }
    else
    {
        sendNow (controller (channel, ccDataMsb, msb));
        sendNow (controller (channel, ccDataLsb, lsb));
    }

    // A global NRPN moves the synth's NRPN registers too, so afterwards the cache knows nothing.
    cacheNumber = useCache ? nrpn : -1;
    cacheMsb = msb;
    cacheLsb = lsb;
}

} // namespace kelvo
