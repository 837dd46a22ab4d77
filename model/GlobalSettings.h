#pragma once

#include <juce_core/juce_core.h>

namespace kelvo
{

/** The synth's 19 global settings: where each lives in the global block, how it is sent, shown and edited. */
namespace globals
{
constexpr int numEdited = 19;    // indices 0..18 of the global block
constexpr int blockSize = 100;   // the engine's global block
constexpr int firstNrpn = 380;   // incoming NRPN numbers from here on name globals

enum class TextRule
{
    minus12,
    minus50,
    channel,
    clockMode,
    parameterSend,
    parameterReceive,
    onOff,
    midiOut,
    polyChain,
    audioOutput,
    potMode,
    dumper,
    pedal,
    curve,
    latch
};

enum class ControlType
{
    knob,
    dropDown,
    toggle
};

struct Global
{
    const char* caption;
    int nrpn;
    int max;
    TextRule rule;
    ControlType type;
};

/** The row of a global index 0..18, or nullptr. */
const Global* find (int index) noexcept;

// The settings that decide what the synth hears and what it sends, by their index in the block,
// and the values that matter.
constexpr int midiChannel = 2, parameterSend = 4, parameterReceive = 5, midiControl = 6, sysEx = 7,
              midiOutSelect = 8;
constexpr int allChannels = 0;
constexpr int sendNrpn = 0, sendCc = 1, sendOff = 2;
constexpr int receiveAll = 0, receiveNrpn = 1, receiveCc = 2, receiveOff = 3;
constexpr int off = 0, on = 1;
constexpr int outSelectOut = 0, outSelectThru = 1;
} // namespace globals

/** The caption of a global; empty for other indices. */
juce::String globalCaption (int index);
/** The NRPN a global is sent under; −1 for other indices. */
int globalNrpn (int index) noexcept;
/** The global an incoming NRPN names; −1 for numbers that name none. */
int globalIndexForNrpn (int nrpn) noexcept;
/** The text of a global's value; a value outside a list shows as its decimal. */
juce::String globalValueText (globals::TextRule rule, int value);

} // namespace kelvo
