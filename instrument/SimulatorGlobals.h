#pragma once

#include "instrument/SimulatorReceiveFilter.h"

#include <juce_core/juce_core.h>

#include <array>
#include <cstdint>

namespace kelvo
{

/**
    The simulated synth's global settings, and what they let through its MIDI in and out, as the
    maker documents the synth's: it listens on its global channel only (0 = all channels); with MIDI
    SysEx off it neither answers requests nor takes dumps; Param Receive decides whether NRPNs are
    taken (All or NRPN); with MIDI Control off controllers are ignored, the NRPN controllers and the
    pitch wheel among them (SimulatorReceiveFilter decides what comes in); with MIDI Out Select on
    Thru its output repeats its input and none of its own messages go out; its knobs go out as NRPN
    only with Param Send on NRPN.

    Not thread-safe: the simulator reads and writes it under its own lock.
*/
class SimulatorGlobals
{
public:
    /** The global block as the synth's global dump carries it. */
    static constexpr int numBytes = 32;
    using Block = std::array<uint8_t, numBytes>;

    /** Settings that let the editor work, as its port setup advice asks: all channels, NRPN send,
        receive all, controllers and SysEx on, MIDI out, local control on, tuning centred. */
    static Block cooperative() noexcept;

    SimulatorGlobals() : block (cooperative()) {}

    uint8_t get (int index) const noexcept;
    void set (int index, uint8_t value) noexcept;
    Block& bytes() noexcept { return block; }
    const Block& bytes() const noexcept { return block; }

    /** What the synth takes in under these settings. */
    SimulatorReceiveFilter receiveFilter() const noexcept { return SimulatorReceiveFilter::fromGlobals (block.data()); }
    /** MIDI Out Select on Thru: the output repeats the input, and the synth's own messages stay in. */
    bool repeatsInput() const noexcept;
    /** Whether a knob turned on the panel goes out as NRPN. */
    bool sendsNrpn() const noexcept;
    /** The channel the synth sends on: its global channel, 1 when it listens on all. */
    int sendChannel() const noexcept;

    /** F0 01 29 0F, each byte as a pair of nibbles (low first), F7. */
    juce::MemoryBlock makeDump() const;

private:
    Block block;
};

} // namespace kelvo
