#pragma once

#include "model/ParameterTable.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace kelvo
{

/**
    Keeps host writes that only return values the processor reported itself from overwriting a
    newer edit-buffer byte, while every write the host means lands.

    A VST3 host hands every value the plug-in reports (performEdit) back to the processor with its
    next audio block, and JUCE's wrapper applies it there unless it equals the current value. When
    the byte has moved on meanwhile (the next program arrived, a knob turned further), that
    returning value is stale: applied, it would mix two sounds and send the old value to the synth.
    So each report is stamped, per parameter and value, with its time and a running number, and
    stays outstanding until it comes back, until a later report of the parameter comes back (the
    host returns values in order, or only the last one), until the host writes the parameter itself
    (it has then moved past every report it had) or until echoWindowMs have passed. A host write
    of an outstanding value that differs from the current byte is such a return; any other write
    is the host's own.

    It also remembers what the host was last told or wrote for each parameter, so that a replaced
    edit buffer is reported exactly where the host's view differs.

    Threads: reported() runs wherever a report is made (a host's call on its own thread, the
    message thread); hostWrote() and isStaleEcho() run on the host's threads, the audio thread
    among them. All of it is lock-free and allocation-free.
*/
class HostEchoGuard
{
public:
    /** How long after a report its value may still come back from the host. Hosts return it with
        the next block or the one after (under 200 ms even at 8192 frames a block); the margin is
        for hosts that pass reports on from a timer. */
    static constexpr uint32_t echoWindowMs = 500;

    HostEchoGuard();

    /** The host was told raw value raw (as the host will return it) for a parameter: at once, or
        with a later audio block (atOnce false: a report that a wrapper queues). Any thread. */
    void reported (int index, int raw, bool atOnce = true) noexcept;
    /** The host wrote raw for a parameter, and it was applied: no report of the parameter made
        before the write arrived is on its way back any more. arrival is lastReport() taken when
        the write arrived (reports made while it was being applied are still outstanding); by
        default, every report so far. Any thread. */
    void hostWrote (int index, int raw, uint32_t arrival) noexcept;
    void hostWrote (int index, int raw) noexcept { hostWrote (index, raw, lastReport()); }
    /** The running number of the newest report, for hostWrote(). */
    uint32_t lastReport() const noexcept { return lastSequence.load (std::memory_order_acquire); }
    /** Whether the host's view of a parameter differs from raw. */
    bool differsFromHost (int index, int raw) const noexcept;
    /** Whether the host's view of a parameter may still differ from raw now: it differs, or the
        last report of it waits for an audio block. A host that reads the values as soon as its
        own call returns must be told those again, at once. */
    bool mayDifferFromHostNow (int index, int raw) const noexcept;

    /** Whether a host write of raw is the return of one of our own outstanding reports and must be
        ignored because the byte (current) has changed since. A return, stale or not, retires that
        report and every older one of the parameter. Call it for every host write, before
        hostWrote. Any thread. */
    bool isStaleEcho (int index, int raw, int current) noexcept;

private:
    static constexpr int valuesPerParameter = 256;

    std::atomic<uint64_t>& stampOf (int index, int raw) noexcept;
    /** Retires the reports of a parameter numbered up to sequence. */
    void retireUpTo (int index, uint32_t sequence) noexcept;

    // A stamp is the report's millisecond time (high half) and running number (low half); 0 marks a
    // value never reported. A report is outstanding while its number is above its parameter's
    // retired number and its time is within the window.
    std::unique_ptr<std::atomic<uint64_t>[]> stamps;
    std::unique_ptr<std::atomic<uint32_t>[]> retired;
    std::atomic<uint32_t> lastSequence{0};
    std::unique_ptr<std::atomic<int>[]> hostView; // -1: nothing known
    std::unique_ptr<std::atomic<bool>[]> viewQueued; // the host's view waits for an audio block
};

} // namespace kelvo
