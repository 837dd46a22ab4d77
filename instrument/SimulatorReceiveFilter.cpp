#include "instrument/SimulatorReceiveFilter.h"

namespace kelvo
{
SimulatorReceiveFilter SimulatorReceiveFilter::fromGlobals (const uint8_t* g) noexcept
{
    SimulatorReceiveFilter f;
    f.channel = g[channelIndex];
    f.parameterReceive = g[parameterReceiveIndex];
    f.controllers = g[controllersIndex] != 0;
    f.sysEx = g[sysExIndex] != 0;
    return f;
}

} // namespace kelvo
