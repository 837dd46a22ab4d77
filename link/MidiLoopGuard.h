#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>

namespace kelvo
{

/**
    Recognises the editor's own messages coming back to it: a MIDI thru in the interface or the
    host, or the synth's MIDI output set to pass on what it receives. Values would then bounce (a
    knob's older values arriving after newer ones) and transfers would take our own dumps for the
    synth's answers.

    What goes out is remembered for a short while: each parameter or global NRPN by its number and
    value, each SysEx message by its bytes. When several NRPNs or requests (which the synth never
    sends) come back within that while, a loop is found: from then on a message that is one of ours coming back is not acted on, and
    whoever listens is told once.

    Threads: noteSent* on the sender's thread, isOwnEcho* on the MIDI input thread; one small lock
    between the two, never held while calling out.
*/
class MidiLoopGuard
{
public:
    /** How long a message sent is still expected back, at most. */
    static constexpr uint32_t echoWindowMs = 1000;
    /** Messages of ours coming back within the window that make a loop. */
    static constexpr int echoesForLoop = 3;
    /** The longest SysEx message that counts as a request rather than a dump. */
    static constexpr size_t maxRequestSize = 16;

    /** Called once, on the MIDI input thread, when a loop is found. Set before MIDI flows. */
    std::function<void()> onLoopFound;

    void noteSentNrpn (int number, int value) noexcept;
    void noteSentSysEx (const void* data, size_t size) noexcept;

    /** Whether an incoming NRPN or SysEx message is one of ours coming back through a loop already
        found, and so not to be acted on. */
    bool isOwnEchoNrpn (int number, int value);
    bool isOwnEchoSysEx (const void* data, size_t size);

    bool isLoopFound() const noexcept { return loopFound.load(); }

private:
    struct Sent
    {
        uint64_t key = 0;
        uint32_t atMs = 0;
    };

    static uint64_t keyOfNrpn (int number, int value) noexcept;
    static uint64_t keyOfSysEx (const void* data, size_t size) noexcept;
    void noteSent (uint64_t key) noexcept;
    bool isOwnEcho (uint64_t key, bool countsTowardsLoop);

    std::mutex lock;
    std::array<Sent, 128> sent {};
    size_t nextSlot = 0;
    std::array<uint32_t, echoesForLoop> echoTimes {};
    size_t nextEcho = 0;
    int echoesSeen = 0;
    std::atomic<bool> loopFound { false };
};

} // namespace kelvo
