#include "instrument/SimulatorVoice.h"

#include <algorithm>

namespace kelvo
{

void SimulatorVoice::noteOn (int note)
{
    auto& s = sounding[(size_t) (note & 0x7f)];
    ++counts.noteOns;
    if (! s)
        ++counts.sounding;
    s = true;
    counts.mostAtOnce = std::max (counts.mostAtOnce, counts.sounding);
}

void SimulatorVoice::noteOff (int note)
{
    auto& s = sounding[(size_t) (note & 0x7f)];
    ++counts.noteOffs;
    if (s)
        --counts.sounding;
    s = false;
}

bool SimulatorVoice::isSounding (int note) const noexcept
{
    return note >= 0 && note < (int) sounding.size() && sounding[(size_t) note];
}

void SimulatorVoice::reset() noexcept
{
    sounding.fill (false);
    counts = {};
}

} // namespace kelvo
