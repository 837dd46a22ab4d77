#include "ui/panels/PanelLayout.h"

#include "model/ParDes.h"
#include "ui/widgets/StsCont.h"

namespace kelvo::panelLayout
{
namespace
{
constexpr int knob = StsCont::knob;
constexpr int sw = StsCont::toggleSwitch;
constexpr int csw = StsCont::centredSwitch;
constexpr int drop = StsCont::dropDown;

constexpr bool shown = true;
constexpr bool hidden = false;
// The sequencer destinations are edited on the sequencer page; here they only keep their values,
// far above the panel, out of sight and out of reach.
constexpr int offPanel = -2000;

using namespace kind;

// Grouped by section, as the panel reads; the panels configure them in index order. No two controls'
// areas overlap, so a press always lands on the control drawn under the mouse: the two keyboard
// switches, the repeat-mode switch and the note-velocity knob are a little narrower, and the
// controller amounts a unit shorter, than they were first drawn.
// clang-format off
const ControlRow rows[] = {
    // Oscillators
    {0, "Osc 1 Freq", knob, 42, 42, 65, 64, 0, 120, oscFrequency, 7, shown},
    {1, "Fine", knob, 107, 42, 65, 64, 0, 100, fineTune, 7, shown},
    {2, "Shape/PW", knob, 172, 42, 65, 64, 0, 103, oscShape, 7, shown},
    {3, "Glide", knob, 237, 42, 65, 64, 0, 127, plainNumber, 7, shown},
    {4, "Keyboard", csw, 367, 68, 53, 32, 0, 1, onOff, 7, shown},
    {5, "Sub Osc 1", knob, 522, 42, 65, 64, 0, 127, plainNumber, 7, shown},
    {6, "Osc 2 Freq", knob, 42, 106, 65, 64, 0, 120, oscFrequency, 7, shown},
    {7, "Fine", knob, 107, 106, 65, 64, 0, 100, fineTune, 7, shown},
    {8, "Shape/PW", knob, 172, 106, 65, 64, 0, 103, oscShape, 7, shown},
    {9, "Glide", knob, 237, 106, 65, 64, 0, 127, plainNumber, 7, shown},
    {10, "Keyboard", csw, 367, 133, 53, 32, 0, 1, onOff, 7, shown},
    {11, "Sub Osc 2", knob, 522, 106, 65, 64, 0, 127, plainNumber, 7, shown},
    {12, "Sync Osc 2->1", sw, 155, 20, 105, 20, 0, 1, onOff, 7, shown},
    {13, "Glide Mode", drop, 420, 50, 100, 32, 0, 3, glideMode, 7, shown},
    {14, "Osc Slop", knob, 437, 106, 65, 64, 0, 5, plainNumber, 7, shown},
    {16, "Mix", knob, 302, 42, 65, 64, 0, 127, plainNumber, 7, shown},
    {17, "Noise", knob, 302, 106, 65, 64, 0, 127, plainNumber, 7, shown},
    {18, "FeedBk Vol", knob, 587, 42, 65, 64, 0, 127, plainNumber, 7, shown},
    {19, "FeedBk Gain", knob, 587, 106, 65, 64, 0, 127, plainNumber, 7, shown},
    // Low pass filter
    {20, "Frequency", knob, 42, 205, 65, 64, 0, 164, plainNumber, 0, shown},
    {21, "Resonance", knob, 107, 205, 65, 64, 0, 127, plainNumber, 0, shown},
    {22, "Key Amt", knob, 307, 205, 55, 64, 0, 127, plainNumber, 0, shown},
    {23, "Audio Mod", knob, 522, 269, 65, 64, 0, 127, plainNumber, 0, shown},
    {24, "4 Pole", csw, 42, 274, 65, 45, 0, 1, onOff, 0, shown},
    {25, "Amount", knob, 172, 205, 65, 64, 0, 254, signedAmount, 0, shown},
    {26, "Velocity", knob, 237, 205, 65, 64, 0, 127, plainNumber, 0, shown},
    {27, "Delay", knob, 107, 269, 65, 64, 0, 127, plainNumber, 0, shown},
    {28, "Attack", knob, 172, 269, 65, 64, 0, 127, plainNumber, 0, shown},
    {29, "Decay", knob, 237, 269, 65, 64, 0, 127, plainNumber, 0, shown},
    {30, "Sustain", knob, 302, 269, 65, 64, 0, 127, plainNumber, 0, shown},
    {31, "Release", knob, 367, 269, 65, 64, 0, 127, plainNumber, 0, shown},
    // Amp
    {32, "VCA Level", knob, 42, 368, 65, 64, 0, 127, plainNumber, 1, shown},
    {33, "Amount", knob, 107, 368, 65, 64, 0, 127, plainNumber, 1, shown},
    {34, "Velocity", knob, 172, 368, 65, 64, 0, 127, plainNumber, 1, shown},
    {35, "Delay", knob, 42, 432, 65, 64, 0, 127, plainNumber, 1, shown},
    {36, "Attack", knob, 107, 432, 65, 64, 0, 127, plainNumber, 1, shown},
    {37, "Decay", knob, 172, 432, 65, 64, 0, 127, plainNumber, 1, shown},
    {38, "Sustain", knob, 237, 432, 65, 64, 0, 127, plainNumber, 1, shown},
    {39, "Release", knob, 302, 432, 65, 64, 0, 127, plainNumber, 1, shown},
    {40, "Pan Spread", knob, 457, 432, 65, 64, 0, 127, plainNumber, 1, shown},
    {41, "Volume", knob, 522, 432, 65, 64, 0, 127, plainNumber, 1, shown},
    // Envelope 3
    {62, "Destination", drop, 44, 544, 115, 32, 0, 47, modDestination, 2, shown},
    {63, "Amount", knob, 172, 531, 65, 64, 0, 254, signedAmount, 2, shown},
    {64, "Velocity", knob, 237, 531, 65, 64, 0, 127, plainNumber, 2, shown},
    {65, "Delay", knob, 307, 531, 55, 64, 0, 127, plainNumber, 2, shown},
    {66, "Attack", knob, 107, 595, 65, 64, 0, 127, plainNumber, 2, shown},
    {67, "Decay", knob, 172, 595, 65, 64, 0, 127, plainNumber, 2, shown},
    {68, "Sustain", knob, 237, 595, 65, 64, 0, 127, plainNumber, 2, shown},
    {69, "Release", knob, 302, 595, 65, 64, 0, 127, plainNumber, 2, shown},
    {70, "Repeat Mode", csw, 42, 602, 65, 45, 0, 1, onOff, 2, shown},
    // LFOs
    {42, "Frequency", knob, 611, 529, 65, 62, 0, 166, lfoFrequency, 5, shown},
    {43, "Shape", drop, 616, 591, 120, 32, 0, 4, lfoShape, 5, shown},
    {44, "Amount", knob, 676, 529, 65, 62, 0, 127, plainNumber, 5, shown},
    {45, "Destination", drop, 616, 625, 120, 32, 0, 47, modDestination, 5, shown},
    {46, "Sync", sw, 660, 509, 66, 20, 0, 1, onOff, 5, shown},
    {47, "Frequency", knob, 749, 529, 65, 62, 0, 166, lfoFrequency, 5, shown},
    {48, "Shape", drop, 754, 591, 120, 32, 0, 4, lfoShape, 5, shown},
    {49, "Amount", knob, 814, 529, 65, 62, 0, 127, plainNumber, 5, shown},
    {50, "Destination", drop, 754, 625, 120, 32, 0, 47, modDestination, 5, shown},
    {51, "Sync", sw, 798, 509, 65, 20, 0, 1, onOff, 5, shown},
    {52, "Frequency", knob, 887, 529, 65, 62, 0, 166, lfoFrequency, 5, shown},
    {53, "Shape", drop, 892, 591, 120, 32, 0, 4, lfoShape, 5, shown},
    {54, "Amount", knob, 952, 529, 65, 62, 0, 127, plainNumber, 5, shown},
    {55, "Destination", drop, 892, 625, 120, 32, 0, 47, modDestination, 5, shown},
    {56, "Sync", sw, 936, 509, 65, 20, 0, 1, onOff, 5, shown},
    {57, "Frequency", knob, 1025, 529, 65, 62, 0, 166, lfoFrequency, 5, shown},
    {58, "Shape", drop, 1030, 591, 120, 32, 0, 4, lfoShape, 5, shown},
    {59, "Amount", knob, 1090, 529, 65, 62, 0, 127, plainNumber, 5, shown},
    {60, "Destination", drop, 1030, 625, 120, 32, 0, 47, modDestination, 5, shown},
    {61, "Sync", sw, 1074, 509, 65, 20, 0, 1, onOff, 5, shown},
    // Modulators: the sources stop at 20, below the table's 22
    {71, "Mod Source", drop, 620, 204, 115, 32, 0, 20, modSource, 3, shown},
    {72, "Amount", knob, 740, 205, 60, 64, 0, 254, signedAmount, 3, shown},
    {73, "Mod Dest", drop, 620, 239, 115, 32, 0, 47, modDestination, 3, shown},
    {74, "Mod Source", drop, 620, 280, 115, 32, 0, 20, modSource, 3, shown},
    {75, "Amount", knob, 740, 280, 60, 64, 0, 254, signedAmount, 3, shown},
    {76, "Mod Dest", drop, 620, 314, 115, 32, 0, 47, modDestination, 3, shown},
    {77, "Mod Source", drop, 620, 354, 115, 32, 0, 20, modSource, 3, shown},
    {78, "Amount", knob, 740, 354, 60, 64, 0, 254, signedAmount, 3, shown},
    {79, "Mod Dest", drop, 620, 388, 115, 32, 0, 47, modDestination, 3, shown},
    {80, "Mod Source", drop, 620, 428, 115, 32, 0, 20, modSource, 3, shown},
    {81, "Amount", knob, 740, 428, 60, 64, 0, 254, signedAmount, 3, shown},
    {82, "Mod Dest", drop, 620, 462, 115, 32, 0, 47, modDestination, 3, shown},
    // Controls
    {83, "Amount", knob, 950, 189, 60, 61, 0, 254, signedAmount, 4, shown},
    {84, "Mod Wheel Destination", drop, 830, 212, 115, 32, 0, 47, modDestination, 4, shown},
    {85, "Amount", knob, 950, 250, 60, 61, 0, 254, signedAmount, 4, shown},
    {86, "Pressure Destination", drop, 830, 274, 115, 32, 0, 47, modDestination, 4, shown},
    {87, "Amount", knob, 950, 311, 60, 61, 0, 254, signedAmount, 4, shown},
    {88, "Breath Destination", drop, 830, 335, 115, 32, 0, 47, modDestination, 4, shown},
    {89, "Amount", knob, 950, 372, 60, 61, 0, 254, signedAmount, 4, shown},
    {90, "Velocity Destination", drop, 830, 396, 115, 32, 0, 47, modDestination, 4, shown},
    {91, "Amount", knob, 950, 433, 60, 61, 0, 254, signedAmount, 4, shown},
    {92, "Foot Destination", drop, 830, 457, 115, 32, 0, 47, modDestination, 4, shown},
    // Push it: the mode stops at 1, below the table's 2
    {96, "", drop, 1102, 214, 45, 32, 0, 127, kind::noteName, 8, shown},
    {97, "Note Vel", knob, 1041, 208, 61, 60, 0, 127, plainNumber, 8, shown},
    {98, "Play Sw Mode", drop, 1051, 275, 95, 32, 0, 1, pushItMode, 8, shown},
    // Assign
    {93, "Mode", drop, 1039, 436, 110, 32, 0, 4, unisonMode, 9, shown},
    {94, "Assign", drop, 1039, 393, 110, 32, 0, 5, keyAssign, 9, shown},
    {95, "On / Off", sw, 1039, 360, 110, 20, 0, 1, onOff, 9, shown},
    // Sequencer: the trigger stops at 4, below the table's 5
    {15, "Pitch Bend Range", drop, 1039, 133, 110, 32, 0, 12, bendRange, 6, shown},
    {101, "Tempo", knob, 1062, 27, 65, 64, 30, 250, bpm, 6, shown},
    {102, "Clock Divide", drop, 1039, 92, 110, 32, 0, 12, clockDivide, 6, shown},
    {103, "Arpeggiator", drop, 945, 133, 81, 32, 0, 14, arpMode, 6, shown},
    {104, "", sw, 912, 132, 28, 16, 0, 1, onOff, 6, shown},
    {105, "Sequencer Trigger", drop, 917, 92, 110, 32, 0, 4, seqTrigger, 6, shown},
    {106, "Sequencer", sw, 912, 70, 110, 20, 0, 1, onOff, 6, shown},
    // Sequencer destinations
    {107, "Sequence 1 Dest", drop, 1174, offPanel, 110, 32, 0, 47, modDestination, noSection, shown},
    {108, "Sequence 2 Dest", drop, 1174, offPanel, 110, 32, 0, 48, seq2Destination, noSection, hidden},
    {109, "Sequence 3 Dest", drop, 1174, offPanel, 110, 32, 0, 47, modDestination, noSection, hidden},
    {110, "Sequence 4 Dest", drop, 1174, offPanel, 110, 32, 0, 48, seq4Destination, noSection, hidden},
};
// clang-format on

const std::array<const ControlRow*, numControls> rowsByIndex = []
{
    std::array<const ControlRow*, numControls> byIndex{};
    for (const auto& row : rows)
        byIndex[(size_t) row.index] = &row;
    return byIndex;
}();
} // namespace

const std::array<Section, numSections>& sections()
{
    static const std::array<Section, numSections> table{{
        {"LOW PASS FILTER", {35, 165, 562, 154}},
        {"AMP", {35, 328, 562, 154}},
        {"ENVELOPE 3", {35, 491, 562, 154}},
        {"MODULATORS", {609, 165, 200, 317}},
        {"CONTROLS", {820, 165, 200, 317}},
        {"LFO", {609, 491, 549, 154}},
        {"", {907, 2, 250, 154}},
        {"OSCILLATORS", {35, 2, 630, 154}},
        {" PUSH IT!", {1030, 165, 128, 140}},
        {" ASSIGN", {1030, 318, 128, 164}},
        {"", {672, 79, 228, 77}},
    }};
    return table;
}

const ControlRow* controlRow (int index)
{
    return juce::isPositiveAndBelow (index, numControls) ? rowsByIndex[(size_t) index] : nullptr;
}

const std::array<EnvelopeGraph, numEnvelopes>& envelopeGraphs()
{
    static const std::array<EnvelopeGraph, numEnvelopes> graphs{{
        {28, {362, 170, 226, 82}},
        {36, {362, 333, 226, 82}},
        {66, {362, 496, 226, 82}},
    }};
    return graphs;
}

int envelopeOfParameter (int index)
{
    constexpr int stagesPerEnvelope = 4;
    for (int n = 0; n < numEnvelopes; ++n)
    {
        const auto first = envelopeGraphs()[(size_t) n].firstIndex;
        if (index >= first && index < first + stagesPerEnvelope)
            return n;
    }
    return -1;
}

} // namespace kelvo::panelLayout
