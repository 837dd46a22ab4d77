#pragma once

#include <juce_core/juce_core.h>

namespace kelvo
{

/** Display kind codes that the formatter knows by name. */
namespace kind
{
constexpr int oscShape = 2;
constexpr int glideMode = 11;
constexpr int lfoFrequency = 37;
constexpr int lfoShape = 38;
constexpr int modSource = 65;
constexpr int clockDivide = 92;
constexpr int bendRange = 93;
constexpr int seqTrigger = 94;
constexpr int unisonMode = 95;
constexpr int keyAssign = 96;
constexpr int arpMode = 97;
constexpr int noteName = 111;
constexpr int pushItMode = 113;
constexpr int plainNumber = 222;
constexpr int onOff = 333;
constexpr int modDestination = 400;
constexpr int bpm = 444;
constexpr int signedAmount = 555;
constexpr int sequencerStep = 567;
constexpr int oscFrequency = 778;
constexpr int fineTune = 888;
constexpr int seq2Destination = 4008;
constexpr int seq4Destination = 4010;

/** Whether the values of a display kind are entries of a list or a switch, not amounts. */
bool isList (int kindCode) noexcept;
} // namespace kind

/** The two values of a sequencer step above its notes: the track starts again here, or the step is
    silent. */
namespace seqstep
{
constexpr int reset = 126;
constexpr int rest = 127;
} // namespace seqstep

/** The note text of a value: "C" .. "B" followed by value / 12, so 0 is "C0" and 60 is "C5". */
juce::String noteName (int value);

/**
    The one formatter that turns a parameter value into the text the user sees.

    Stateless; every thread may use it.
*/
class ParDes
{
public:
    /** The text of a value under a display kind. Values outside a list give "*\/\*", except in the
        modulation destination list, where they give the empty text. */
    static juce::String valueToText (int kindCode, int value);

    /** The host name of a parameter (empty for 185 or more). */
    static juce::String parameterName (int index);
};

} // namespace kelvo
