#include "instrument/SimulatorOutput.h"
#include "model/MidiNumbers.h"
#include "model/ProgramPacking.h"

namespace kelvo
{
namespace
{
// With the wire modelled, long SysEx arrives in pieces of this size, as a USB-MIDI interface passes
// it on, so that the receiver sees the bytes coming.
constexpr int wirePieceSize = 32;
// A last piece shorter than this joins the one before: no lone byte or two at the end.
constexpr int shortestLastPiece = 4;
constexpr uint8_t timingClock = 0xf8;
} // namespace

SimulatorOutput::SimulatorOutput()
{
    thread = std::thread ([this] { run(); });
}

SimulatorOutput::~SimulatorOutput()
{
    {
        const std::lock_guard<std::mutex> sl (lock);
        stopping = true;
    }
    changed.notify_all();
    thread.join();
}

void SimulatorOutput::setOutput (Output newOutput)
{
    const std::lock_guard<std::mutex> sl (lock);
    output = std::move (newOutput);
}

void SimulatorOutput::send (juce::MemoryBlock bytes, Clock::time_point readyAt)
{
    {
        const std::lock_guard<std::mutex> sl (lock);
        queue.emplace_back (std::move (bytes), readyAt);
    }
    changed.notify_all();
}

void SimulatorOutput::run()
{
    std::unique_lock<std::mutex> sl (lock);
    for (;;)
    {
        if (stopping)
            return;

        if (queue.empty())
        {
            if (clockIntervalMs > 0)
            {
                if (! changed.wait_until (sl, nextClockAt, [this] { return stopping || ! queue.empty(); }))
                {
                    sl.unlock();
                    sendClockUntil (Clock::now());
                    sl.lock();
                }
            }
            else
            {
                changed.wait (sl, [this] { return stopping || ! queue.empty() || clockIntervalMs > 0; });
            }
            continue;
        }

        auto next = std::move (queue.front());
        queue.pop_front();
        delivering = true;

        const auto wire = modelWire.load();
        const auto* data = static_cast<const uint8_t*> (next.first.getData());
        const auto size = (int) next.first.getSize();
        auto start = next.second;
        if (wire)
            start = juce::jmax (start, wireFreeAt);

        sl.unlock();
        if (! wire)
        {
            sendClockUntil (start);
            deliver (data, size);
        }
        else
        {
            // Each piece is handed over when its last byte would have arrived; clock bytes that
            // fall due meanwhile go out between the pieces, as a synth puts them inside its SysEx.
            for (int pos = 0; pos < size;)
            {
                auto pieceEnd = juce::jmin (size, pos + (data[0] == sysex::start ? wirePieceSize : size));
                if (size - pieceEnd < shortestLastPiece)
                    pieceEnd = size;
                sendClockUntil (start + std::chrono::microseconds (pieceEnd * midiwire::microsecondsPerByte));
                deliver (data + pos, pieceEnd - pos);
                pos = pieceEnd;
            }
        }
        sl.lock();

        if (wire)
            wireFreeAt = start + std::chrono::microseconds (size * midiwire::microsecondsPerByte);
        delivering = false;
        changed.notify_all();
    }
}

void SimulatorOutput::sendClockUntil (Clock::time_point until)
{
    for (;;)
    {
        Clock::time_point tick;
        {
            const std::lock_guard<std::mutex> sl (lock);
            if (clockIntervalMs <= 0 || nextClockAt > until)
                break;
            tick = nextClockAt;
            nextClockAt += std::chrono::milliseconds (clockIntervalMs);
        }
        std::this_thread::sleep_until (tick);
        deliver (&timingClock, 1);
    }
    std::this_thread::sleep_until (until);
}

void SimulatorOutput::setClockInterval (int milliseconds)
{
    {
        const std::lock_guard<std::mutex> sl (lock);
        clockIntervalMs = juce::jmax (0, milliseconds);
        nextClockAt = Clock::now() + std::chrono::milliseconds (clockIntervalMs);
    }
    changed.notify_all();
}

void SimulatorOutput::deliver (const uint8_t* data, int size)
{
    Output out;
    {
        const std::lock_guard<std::mutex> sl (lock);
        out = output;
    }
    if (out)
        out (juce::MidiMessage (data, size));
}

bool SimulatorOutput::waitUntilIdle (int timeoutMilliseconds) const
{
    std::unique_lock<std::mutex> sl (lock);
    return changed.wait_for (sl, std::chrono::milliseconds (timeoutMilliseconds),
                             [this] { return queue.empty() && ! delivering; });
}

} // namespace kelvo
