#include "instrument/SimulatorGlobals.h"
#include "model/GlobalSettings.h"
#include "model/ProgramPacking.h"

namespace kelvo
{
namespace
{
constexpr int coarse = 0, fine = 1, localControl = 10;
constexpr uint8_t coarseCentre = 12, fineCentre = 50;
} // namespace

SimulatorGlobals::Block SimulatorGlobals::cooperative() noexcept
{
    Block g {};
    g[coarse] = coarseCentre;
    g[fine] = fineCentre;
    g[globals::midiChannel] = globals::allChannels;
    g[globals::parameterSend] = globals::sendNrpn;
    g[globals::parameterReceive] = globals::receiveAll;
    g[globals::midiControl] = globals::on;
    g[globals::sysEx] = globals::on;
    g[globals::midiOutSelect] = globals::outSelectOut;
    g[localControl] = globals::on;
    return g;
}

uint8_t SimulatorGlobals::get (int index) const noexcept
{
    return index >= 0 && index < numBytes ? block[(size_t) index] : 0;
}

void SimulatorGlobals::set (int index, uint8_t value) noexcept
{
    if (index >= 0 && index < numBytes)
        block[(size_t) index] = value;
}

bool SimulatorGlobals::repeatsInput() const noexcept
{
    return block[globals::midiOutSelect] == globals::outSelectThru;
}

bool SimulatorGlobals::sendsNrpn() const noexcept
{
    return block[globals::parameterSend] == globals::sendNrpn;
}

int SimulatorGlobals::sendChannel() const noexcept
{
    const auto channel = block[globals::midiChannel];
    return channel >= 1 && channel <= 16 ? channel : 1;
}

juce::MemoryBlock SimulatorGlobals::makeDump() const
{
    juce::MemoryBlock dump;
    const uint8_t head[] = { sysex::start, sysex::manufacturerDsi, sysex::deviceMophoX4, sysex::globalDump };
    dump.append (head, sizeof (head));
    for (auto g : block)
    {
        const uint8_t pair[] = { (uint8_t) (g & 0x0f), (uint8_t) (g >> 4) };
        dump.append (pair, 2);
    }
    dump.append (&sysex::end, 1);
    return dump;
}

} // namespace kelvo
