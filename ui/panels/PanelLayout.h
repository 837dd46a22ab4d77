#pragma once

#include <juce_graphics/juce_graphics.h>

#include <array>

namespace kelvo::panelLayout
{
/** Parameter indices 0..114 each have a control on the synth panels. */
constexpr int numControls = 115;
constexpr int numSections = 11;
/** The LCD's frame: a box like the others, but never zoomed. */
constexpr int lcdSection = 10;
/** The sequencer section, whose caption only the zoomed view shows. */
constexpr int sequencerSection = 6;
constexpr int noSection = -1;

/** A control's top lies this far above the y it is given (StsCont::setupControl, setPosition). */
constexpr int controlTopBand = 16;

/** One control of the panel, in design units; y is the value given to StsCont::setupControl. */
struct ControlRow
{
    int index;
    const char* caption;
    int kind;
    int x, y, width, height;
    int minimum, maximum;
    int displayKind;
    int section;
    bool visible;
};

struct Section
{
    const char* caption;
    juce::Rectangle<int> box;
};

/** The eleven boxed sections of the full-size panel, by number. */
const std::array<Section, numSections>& sections();

/** The configured control of a parameter index, or nullptr for the indices that only store values
    (99, 100, 111..114) and for anything outside 0..114. */
const ControlRow* controlRow (int index);

/** The three envelope graphs: which parameters they mirror (attack, decay, sustain, release from
    firstIndex on) and where they sit on the full-size panel. The graph number is also its section. */
struct EnvelopeGraph
{
    int firstIndex;
    juce::Rectangle<int> bounds;
};
constexpr int numEnvelopes = 3;
const std::array<EnvelopeGraph, numEnvelopes>& envelopeGraphs();

/** The envelope graph (0..2) that mirrors a parameter index, or −1. */
int envelopeOfParameter (int index);

} // namespace kelvo::panelLayout
