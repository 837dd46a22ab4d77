#pragma once

#include <juce_core/juce_core.h>

namespace kelvo
{

/** "U1" .. "U4" for synth banks 0-3, "F1" .. "F4" for banks 4-7; empty for any other bank. */
juce::String bankPrefix (int bank);

/** Where a program lives, as the synth writes it: bank prefix, colon, program + 1 in three digits
    ("U1:001", "F4:128"); empty for any other bank (a sound from elsewhere). */
juce::String programLocation (int bank, int program);

} // namespace kelvo
