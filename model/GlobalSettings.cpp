#include "model/GlobalSettings.h"

namespace kelvo
{
namespace globals
{
namespace
{
using R = TextRule;
using T = ControlType;

constexpr Global table[numEdited] = {
    { "COARSE", 384, 24, R::minus12, T::knob },
    { "FINE", 385, 100, R::minus50, T::knob },
    { "MIDI CHANNEL:", 386, 16, R::channel, T::dropDown },
    { "MIDI CLOCK MODE", 388, 3, R::clockMode, T::dropDown },
    { "MIDI PARAM SEND", 390, 2, R::parameterSend, T::dropDown },
    { "MIDI PARAM RECV", 391, 3, R::parameterReceive, T::dropDown },
    { "MIDI CONTROLLER ENA", 394, 1, R::onOff, T::toggle },
    { "MIDI SYSEX ENABLE", 395, 1, R::onOff, T::toggle },
    { "MIDI OUT SELECT", 406, 1, R::midiOut, T::dropDown },
    { "POLY CHAIN", 387, 6, R::polyChain, T::dropDown },
    { "LOCAL CONTROL", 389, 1, R::onOff, T::toggle },
    { "AUDIO OUTPUT", 400, 1, R::audioOutput, T::dropDown },
    { "POT MODE", 404, 2, R::potMode, T::dropDown },
    { "DUMPER POLARITY", 397, 3, R::dumper, T::dropDown },
    { "PEDAL", 396, 5, R::pedal, T::dropDown },
    { "PRESSURE ENA", 393, 1, R::onOff, T::toggle },
    { "PRESSURE CURVE", 399, 3, R::curve, T::dropDown },
    { "VELOCITY CURVE", 398, 3, R::curve, T::dropDown },
    { "ARP LATCH MODE", 414, 1, R::latch, T::dropDown },
};
} // namespace

const Global* find (int index) noexcept
{
    return index >= 0 && index < numEdited ? &table[index] : nullptr;
}
} // namespace globals

juce::String globalCaption (int index)
{
    const auto* g = globals::find (index);
    return g != nullptr ? juce::String (g->caption) : juce::String();
}

int globalNrpn (int index) noexcept
{
    const auto* g = globals::find (index);
    return g != nullptr ? g->nrpn : -1;
}

int globalIndexForNrpn (int nrpn) noexcept
{
    for (int i = 0; i < globals::numEdited; ++i)
        if (globals::find (i)->nrpn == nrpn)
            return i;
    return -1;
}

juce::String globalValueText (globals::TextRule rule, int value)
{
    auto fromList = [value] (std::initializer_list<const char*> list) {
        return value >= 0 && value < (int) list.size() ? juce::String (list.begin()[value]) : juce::String (value);
    };

    using R = globals::TextRule;
    switch (rule)
    {
        case R::minus12: return juce::String (value - 12);
        case R::minus50: return juce::String (value - 50);
        case R::channel:
            if (value == 0)
                return "ALL CHANNELS";
            return value >= 1 && value <= 16 ? "CHANNEL " + juce::String (value) : juce::String();
        case R::clockMode: return fromList ({ "INTERNAL", "INT + SEND", "EXTERNAL", "EXT + SEND" });
        case R::parameterSend: return fromList ({ "NRPN", "CC", "OFF" });
        case R::parameterReceive: return fromList ({ "ALL", "NRPN", "CC", "OFF" });
        case R::onOff: return fromList ({ "OFF", "ON" });
        case R::midiOut: return fromList ({ "MIDI OUT", "MIDI THRU" });
        case R::polyChain: return fromList ({ "OFF", "OUT 1", "OUT 4", "OUT 5", "OUT 8", "OUT 12", "OUT 16" });
        case R::audioOutput: return fromList ({ "STEREO", "MONO" });
        case R::potMode: return fromList ({ "RELATIVE", "PASSTHRU", "JUMP" });
        case R::dumper: return fromList ({ "SUST OPEN", "SUST CLOSED", "ARP LATCH OP", "ARP LATCH CL" });
        case R::pedal: return fromList ({ "FOOT CNTRL", "BREATH", "EXPRESSION", "VOLUME", "LP FILTER", "LP F. HALFf" });
        case R::curve: return value >= 0 && value <= 3 ? "CURVE " + juce::String (value + 1) : juce::String (value);
        case R::latch: return fromList ({ "NORMAL", "RELATCH" });
    }
    return juce::String (value);
}

} // namespace kelvo
