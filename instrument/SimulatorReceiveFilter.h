#pragma once

#include "model/GlobalSettings.h"

#include <cstdint>

namespace kelvo
{
/**
    What the synth takes in under its global MIDI settings, as the maker describes it: it listens on
    its global channel only (0 listens on all), takes SysEx only with "MIDI SysEx" on, takes
    controllers only with "MIDI Control" on, and takes NRPNs only when "Param Receive" is ALL or NRPN.

    Pure: it reads the four global values it is given, nothing else.
*/
struct SimulatorReceiveFilter
{
    /** Global values as the synth's global block holds them. */
    int channel = globals::allChannels; // 0 = all, 1..16
    int parameterReceive = globals::receiveAll;
    bool controllers = true;
    bool sysEx = true;

    /** Reads the filter from a global block (at least globals::sysEx + 1 bytes). */
    static SimulatorReceiveFilter fromGlobals (const uint8_t* globalBlock) noexcept;

    /** A channel message on channel 1..16 reaches the synth. */
    bool hearsChannel (int messageChannel) const noexcept
    {
        return channel == globals::allChannels || channel == messageChannel;
    }
    /** The NRPN controllers (99, 98, 6, 38) change the synth. */
    bool takesNrpn() const noexcept
    {
        return controllers && (parameterReceive == globals::receiveAll || parameterReceive == globals::receiveNrpn);
    }
    /** Other controllers and the wheels change the synth. */
    bool takesControllers() const noexcept { return controllers; }
    bool takesSysEx() const noexcept { return sysEx; }
};

} // namespace kelvo
