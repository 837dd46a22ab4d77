#include "model/ParameterTable.h"

#include <cmath>

namespace kelvo
{
namespace
{
struct Row
{
    const char* name;
    int16_t max;
    uint16_t kind;
    uint16_t nrpn;
};

// Indices 0..119, grouped as the instrument groups its controls. The sequencer steps (120..184)
// follow by rule and are filled in the constructor.
constexpr Row tableRows[] = {
    // Oscillators, glide and bend
    { "OSC1 FREQ", 120, 778, 0 },
    { "OSC1 Fine Tune", 100, 888, 1 },
    { "OSC1 Shape", 103, 2, 2 },
    { "OSC1 Glide", 127, 222, 3 },
    { "OSC1 Kbd On/Off", 1, 333, 4 },
    { "Sub OSC 1", 127, 222, 114 },
    { "OSC2 FREQ", 120, 778, 5 },
    { "OSC2 Fine Tune", 100, 888, 6 },
    { "OSC2 Shape", 103, 2, 7 },
    { "OSC2 Glide", 127, 222, 8 },
    { "OSC2 Kbd On/Off", 1, 333, 9 },
    { "Sub OSC 2", 127, 222, 115 },
    { "Sync Osc 2->1", 1, 333, 10 },
    { "Glide Mode", 3, 11, 11 },
    { "OSC Slop", 5, 222, 12 },
    { "P-Bend Range", 12, 93, 93 },
    // Mixer and feedback
    { "OSC 1->2 Mix", 127, 222, 13 },
    { "Noise Level", 127, 222, 14 },
    { "FeedBk Vol", 127, 222, 116 },
    { "FeedBk Gain", 127, 222, 110 },
    // Low-pass filter and filter envelope
    { "Flt Freq", 164, 222, 15 },
    { "Resonance", 127, 222, 16 },
    { "Flt Kbd Amt", 127, 222, 17 },
    { "Flt Audio Mod", 127, 222, 18 },
    { "Flter Poles", 1, 333, 19 },
    { "Flt Env Amount", 254, 555, 20 },
    { "Flt Vel Amount", 127, 222, 21 },
    { "Flt Env Delay", 127, 222, 22 },
    { "Flt Env Attack", 127, 222, 23 },
    { "Flt Env Decay", 127, 222, 24 },
    { "Flt Env Sustain", 127, 222, 25 },
    { "Flt Env Release", 127, 222, 26 },
    // Amplifier, amplifier envelope, pan and volume
    { "VCA Level", 127, 222, 27 },
    { "VCA Env Amount", 127, 222, 30 },
    { "VCA Vel Amount", 127, 222, 31 },
    { "VCA Env Delay", 127, 222, 32 },
    { "VCA Env Attack", 127, 222, 33 },
    { "VCA Env Decay", 127, 222, 34 },
    { "VCA Env Sustain", 127, 222, 35 },
    { "VCA Env Release", 127, 222, 36 },
    { "Pan Spread", 127, 222, 28 },
    { "Program Volume", 127, 222, 29 },
    // LFO 1 to LFO 4
    { "LFO 1 Freq", 166, 37, 37 },
    { "LFO 1 Shape", 4, 38, 38 },
    { "LFO 1 Amount", 127, 222, 39 },
    { "LFO 1 Mod Dest", 47, 400, 40 },
    { "LFO 1 Key Sync", 1, 333, 41 },
    { "LFO 2 Freq", 166, 37, 42 },
    { "LFO 2 Shape", 4, 38, 43 },
    { "LFO 2 Amount", 127, 222, 44 },
    { "LFO 2 Mod Dest", 47, 400, 45 },
    { "LFO 2 Key Sync", 1, 333, 46 },
    { "LFO 3 Freq", 166, 37, 47 },
    { "LFO 3 Shape", 4, 38, 48 },
    { "LFO 3 Amount", 127, 222, 49 },
    { "LFO 3 Mod Dest", 47, 400, 50 },
    { "LFO 3 Key Sync", 1, 333, 51 },
    { "LFO 4 Freq", 166, 37, 52 },
    { "LFO 4 Shape", 4, 38, 53 },
    { "LFO 4 Amount", 127, 222, 54 },
    { "LFO 4 Mod Dst", 47, 400, 55 },
    { "LFO 4 Key Sync", 1, 333, 56 },
    // Envelope 3
    { "Env 3 Mod Dst", 47, 400, 57 },
    { "Env 3 Amount", 254, 555, 58 },
    { "Env 3 Vel Amount", 127, 222, 59 },
    { "Env 3 Delay", 127, 222, 60 },
    { "Env 3 Attack", 127, 222, 61 },
    { "Env 3 Decay", 127, 222, 62 },
    { "Env 3 Sustain", 127, 222, 63 },
    { "Env 3 Release", 127, 222, 64 },
    { "Repeat Mode", 1, 333, 98 },
    // Modulation slots 1 to 4
    { "Mod 1 Source", 22, 65, 65 },
    { "Mod 1 Amount", 254, 555, 66 },
    { "Mod 1 Dest", 47, 400, 67 },
    { "Mod 2 Source", 22, 65, 68 },
    { "Mod 2 Amount", 254, 555, 69 },
    { "Mod 2 Dest", 47, 400, 70 },
    { "Mod 3 Source", 22, 65, 71 },
    { "Mod 3 Amount", 254, 555, 72 },
    { "Mod 3 Dest", 47, 400, 73 },
    { "Mod 4 Source", 22, 65, 74 },
    { "Mod 4 Amount", 254, 555, 75 },
    { "Mod 4 Dest", 47, 400, 76 },
    // Controller routings
    { "Mod Wheel Amt", 254, 555, 81 },
    { "Mod Wheel Dest", 47, 400, 82 },
    { "Pressure Amt", 254, 555, 83 },
    { "Pressure Dest", 47, 400, 84 },
    { "Breath Amnt", 254, 555, 85 },
    { "Breath Dest", 47, 400, 86 },
    { "Velocity Amnt", 254, 555, 87 },
    { "Velocity Dest", 47, 400, 88 },
    { "Foot Cntr Amt", 254, 555, 89 },
    { "Foot Cntr Dest", 47, 400, 90 },
    // Unison
    { "Unison Mode", 4, 95, 95 },
    { "Unison Assign", 5, 96, 96 },
    { "Unison ON/OFF", 1, 333, 99 },
    // Push-it switch
    { "PushIt Sw Note", 127, 111, 111 },
    { "PushIt Sw Velocity", 127, 222, 112 },
    { "PushIt Sw Mode", 2, 113, 113 },
    // No instrument parameter
    { "Reserved 99", 127, 0, 94 },
    { "Reserved 100", 127, 0, 101 },
    // Clock, arpeggiator and sequencer
    { "BPM Tempo", 250, 444, 91 },
    { "Clock Divide", 12, 92, 92 },
    { "Arp Mode", 14, 97, 97 },
    { "Arp On/Off", 1, 333, 100 },
    { "Seq Trigger", 5, 94, 94 },
    { "Seq On/Off", 1, 333, 101 },
    { "Seq 1 Dest", 47, 400, 77 },
    { "Seq 2 Dest", 48, 4008, 78 },
    { "Seq 3 Dest", 47, 400, 79 },
    { "Seq 4 Dest", 48, 4010, 80 },
    // No instrument parameter (117 is the category)
    { "Reserved 111", 127, 0, 111 },
    { "Reserved 112", 127, 0, 112 },
    { "Reserved 113", 127, 0, 113 },
    { "Reserved 114", 127, 0, 114 },
    { "Reserved 115", 127, 0, 115 },
    { "Reserved 116", 127, 0, 116 },
    { "Program Category", 127, 0, 117 },
    { "Reserved 118", 127, 0, 118 },
    { "Reserved 119", 127, 0, 119 },
};

constexpr int numExplicitRows = (int) std::size (tableRows);
static_assert (numExplicitRows == 120);

// The table's NRPN numbers are only read back for indices 0..110; the unnamed 111..119 keep
// their own index as NRPN number.
constexpr int lastMappedIndex = 110;

constexpr int bpmTempoIndex = 101;
constexpr int bpmTempoMin = 30;

constexpr int firstNarrowStepIndex = 136; // tracks 2..4 stop at 126
constexpr int stepKind = 567;

bool inTable (int index) noexcept { return index >= 0 && index < program::numTableRows; }
} // namespace

ParameterTable::ParameterTable()
{
    for (int i = 0; i < program::numTableRows; ++i)
    {
        parMax[(size_t) i] = 127;
        parMin[(size_t) i] = 0;
        parNrpn[(size_t) i] = (uint16_t) i;
        parKind[(size_t) i] = 0;
    }

    for (int i = 0; i < numExplicitRows; ++i)
    {
        parKind[(size_t) i] = tableRows[i].kind;
        if (i <= lastMappedIndex)
        {
            parMax[(size_t) i] = tableRows[i].max;
            parNrpn[(size_t) i] = tableRows[i].nrpn;
        }
    }

    for (int i = program::firstStepIndex; i < program::numTableRows; ++i)
    {
        parMax[(size_t) i] = (int16_t) (i < firstNarrowStepIndex ? 127 : 126);
        parKind[(size_t) i] = stepKind;
    }

    parMin[bpmTempoIndex] = bpmTempoMin;

    for (size_t n = 0; n < nrpnToPar.size(); ++n)
        nrpnToPar[n] = (uint8_t) n;

    for (int i = 0; i <= lastMappedIndex; ++i)
        nrpnToPar[parNrpn[(size_t) i]] = (uint8_t) i;
}

int ParameterTable::getMax (int index) const noexcept { return inTable (index) ? parMax[(size_t) index] : 0; }
int ParameterTable::getMin (int index) const noexcept { return inTable (index) ? parMin[(size_t) index] : 0; }
int ParameterTable::getKind (int index) const noexcept { return inTable (index) ? parKind[(size_t) index] : 0; }
int ParameterTable::getNrpn (int index) const noexcept { return inTable (index) ? parNrpn[(size_t) index] : 0; }

int ParameterTable::nrpnToIndex (int nrpn) const noexcept
{
    return nrpn >= 0 && nrpn < (int) nrpnToPar.size() ? nrpnToPar[(size_t) nrpn] : nrpn;
}

juce::String ParameterTable::getName (int index)
{
    if (index < 0 || index >= program::numHostParameters)
        return {};

    if (index < numExplicitRows)
        return tableRows[index].name;

    static constexpr int trackStarts[] = { 120, 136, 152, 168, 184 };
    for (int track = 0; track < 4; ++track)
        if (index < trackStarts[track + 1])
            return "Seq " + juce::String (track + 1) + " Step " + juce::String (index - trackStarts[track] + 1);

    return "Name Char 1"; // 184 doubles as the first character of the program name
}

bool ParameterTable::isSentToSynth (int index) noexcept
{
    return ! (index == 99 || index == 100 || (index >= 111 && index <= 119));
}

float ParameterTable::toHostValue (int index, int rawValue) const noexcept
{
    const auto max = getMax (index);
    return max > 0 ? (float) rawValue / (float) max : 0.0f;
}

int ParameterTable::bringIntoRange (uint8_t* record) const noexcept
{
    if (record == nullptr)
        return 0;
    int changed = 0;
    for (int i = 0; i < program::numHostParameters; ++i)
    {
        const auto inRange = (uint8_t) juce::jmin (juce::jmax (0, getMax (i)), (int) record[i]);
        changed += inRange != record[i] ? 1 : 0;
        record[i] = inRange;
    }
    return changed;
}

int ParameterTable::fromHostValue (int index, float hostValue) const noexcept
{
    const auto max = getMax (index);
    // Single precision, ties to even, done by hand so that a host's floating-point mode cannot
    // change the result.
    const auto scaled = (float) max * juce::jlimit (0.0f, 1.0f, hostValue);
    const auto below = std::floor (scaled);
    const auto fraction = scaled - below;
    auto raw = (int) below;
    if (fraction > 0.5f || (fraction == 0.5f && (raw % 2) != 0))
        ++raw;
    // The mapping stays value ÷ maximum, so that automation keeps its meaning; a value below the
    // parameter's minimum ("BPM Tempo" starts at 30) is held at the minimum.
    return juce::jlimit (getMin (index), juce::jmax (getMin (index), max), raw);
}

} // namespace kelvo
