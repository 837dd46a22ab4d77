#pragma once

#include "model/ParameterTable.h"
#include "model/ProgramRecord.h"

#include <juce_core/juce_core.h>

#include <array>
#include <vector>

namespace kelvo
{

/**
    New sounds made from old ones: randomized, mutated, or morphed between two.

    Only the synth's own sound parameters change. The name, the category and the bytes that hold no
    instrument parameter are kept, and every value written is one that the synth accepts: inside
    the parameter's range and never one that it has no meaning for (a list entry past the list's
    end, a gap in the modulation destinations). Amounts move along the list of accepted values; in a
    morph, a menu (a shape, a source, a destination, a mode) and a sequencer step that restarts or
    rests switch once, halfway, from one sound's entry to the other's.

    Built once from the parameter table; afterwards every operation is const and any thread may use it.
*/
class SoundVariation
{
public:
    SoundVariation();

    /** Whether a variation may change the parameter: a synth parameter that is not the category. */
    static bool isVaried (int index) noexcept;
    /** Whether the synth accepts the value for the parameter (range and value text). */
    bool isAccepted (int index, int value) const noexcept;
    /** The accepted values of a parameter, ascending; empty for one that is not varied. */
    const std::vector<uint8_t>& acceptedValues (int index) const noexcept;

    /** Moves every varied parameter by up to amount (0..1) of its range, at random: 0.1 nudges each
        value, 1.0 may put it anywhere. */
    ProgramRecord randomize (const ProgramRecord& sound, float amount, juce::Random& random) const;
    /** Gives count varied parameters, chosen at random, a new value anywhere in their range. */
    ProgramRecord mutate (const ProgramRecord& sound, int count, juce::Random& random) const;
    /** The sound position (0..1) of the way from one sound to another; name, category and the
        other kept bytes are those of from. */
    ProgramRecord morph (const ProgramRecord& from, const ProgramRecord& to, float position) const;

private:
    /** Where a value lies in the accepted list (the nearest accepted value for one that is not). */
    int positionOf (int index, int value) const noexcept;
    /** Whether a morph switches the parameter from one value to the other halfway instead of
        moving it through the values between. */
    bool switchesHalfway (int index, int fromValue, int toValue) const noexcept;

    ParameterTable table;
    std::array<std::vector<uint8_t>, program::numHostParameters> accepted;
};

} // namespace kelvo
