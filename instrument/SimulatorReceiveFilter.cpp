#include "instrument/SimulatorReceiveFilter.h"

namespace kelvo
{
SimulatorReceiveFilter SimulatorReceiveFilter::fromGlobals (const uint8_t* g) noexcept
{
    SimulatorReceiveFilter f;
    f.channel = g[globals::midiChannel];
    f.parameterReceive = g[globals::parameterReceive];
    f.controllers = g[globals::midiControl] != globals::off;
    f.sysEx = g[globals::sysEx] != globals::off;
    return f;
}

} // namespace kelvo
