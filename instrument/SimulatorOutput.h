#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace kelvo
{

/**
    The simulated synth's MIDI out: messages queued by the synth leave in order on a thread of its
    own, as a real synth's arrive on the computer's MIDI input thread. With the wire modelled, each
    message (a long SysEx in pieces, as a USB-MIDI interface passes it on) is handed over when its
    last byte would have arrived at 31 250 baud. It can also send MIDI clock, between the pieces of
    a SysEx too, as a synth whose clock is set to send does.

    Threads: send(), setOutput(), setClockInterval() and waitUntilIdle() from any thread; the output
    function is called on the output thread, never under a lock of this class.
*/
class SimulatorOutput
{
public:
    using Clock = std::chrono::steady_clock;
    using Output = std::function<void (const juce::MidiMessage&)>;

    SimulatorOutput();
    ~SimulatorOutput();

    void setOutput (Output output);
    void setWireRate (bool shouldModelWire) noexcept { modelWire = shouldModelWire; }
    bool isWireModelled() const noexcept { return modelWire.load(); }

    /** Queues bytes to leave no earlier than readyAt. */
    void send (juce::MemoryBlock bytes, Clock::time_point readyAt);
    /** MIDI clock (F8) every so many milliseconds, 0 to stop. */
    void setClockInterval (int milliseconds);
    /** Waits until everything queued has been delivered. */
    bool waitUntilIdle (int timeoutMilliseconds) const;

private:
    void run();
    void sendClockUntil (Clock::time_point until);
    void deliver (const uint8_t* data, int size);

    Output output;
    std::atomic<bool> modelWire { false };
    mutable std::mutex lock;
    mutable std::condition_variable changed;
    std::deque<std::pair<juce::MemoryBlock, Clock::time_point>> queue;
    bool delivering = false, stopping = false;
    Clock::time_point wireFreeAt {};
    int clockIntervalMs = 0;
    Clock::time_point nextClockAt {};
    std::thread thread;

    JUCE_DECLARE_NON_COPYABLE (SimulatorOutput)
};

} // namespace kelvo
