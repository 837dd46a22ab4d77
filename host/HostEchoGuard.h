#pragma once

#include "model/ParameterTable.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace kelvo
{

/**
    Keeps host writes that only return values the processor reported itself from overwriting a
    newer edit-buffer byte.

    A VST3 host hands every value the plug-in reports (performEdit) back to the processor with its
    next audio block, and JUCE's wrapper applies it there unless it equals the current value. When
    the byte has moved on meanwhile (the next program arrived, a knob turned further), that
    returning value is stale: applied, it would mix two sounds and send the old value to the synth.
    So each report is stamped, per parameter and value, with its time and a running number, and a
    host write of a value reported within the last echoWindowMs that differs from the current byte
    is recognised as such a return.

    It also remembers what the host was last told or wrote for each parameter, so that a replaced
    edit buffer is reported exactly where the host's view differs.

    Threads: reported() runs on the message thread (where reports are made); hostWrote() and
    isStaleEcho() run on the host's threads, the audio thread among them. All of it is lock-free
    and allocation-free.
*/
class HostEchoGuard
{
public:
    /** How long after a report its value may still come back from the host. Hosts return it with
        the next block or the one after (under 200 ms even at 8192 frames a block); the margin is
        for hosts that pass reports on from a timer. A host write within this time that equals a
        value reported meanwhile, and differs from the current byte, cannot be told from a return
        and is ignored; the host's next write applies. */
    static constexpr uint32_t echoWindowMs = 500;

    HostEchoGuard();

    /** The host was told raw value raw (as the host will return it) for a parameter. Message thread. */
    void reported (int index, int raw) noexcept;
    /** The host wrote raw for a parameter, and it was applied. Any thread. */
    void hostWrote (int index, int raw) noexcept;
    /** Whether the host's view of a parameter differs from raw. */
    bool differsFromHost (int index, int raw) const noexcept;

    /** Whether a host write of raw is the return of one of our own reports and must be ignored
        because the byte (current) has changed since. A recognised return also retires every older
        report of that parameter: the host returns values in order. Any thread. */
    bool isStaleEcho (int index, int raw, int current) noexcept;

private:
    static constexpr int valuesPerParameter = 256;

    std::atomic<uint64_t>& stampOf (int index, int raw) noexcept;

    // A stamp is the report's millisecond time (high half) and running number (low half); 0 marks a
    // value with no report standing.
    std::unique_ptr<std::atomic<uint64_t>[]> stamps;
    uint32_t nextSequence = 1;                    // message thread
    std::unique_ptr<std::atomic<int>[]> hostView; // -1: nothing known
};

} // namespace kelvo
