#pragma once

#include "model/ProgramRecord.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

namespace kelvo
{
class MarvexAudioProcessor;

/**
    A sheet of one sound for printing and sharing: the synth panel showing it, as a PNG, and a text
    listing of every parameter with its value text, grouped by the panel's sections in reading order
    (the sequencer's steps under the sequencer, what has no control last).

    Message thread only: the picture is painted by a synth panel of its own.
*/
class PatchSheet
{
public:
    struct Size
    {
        int width;
        const char* label;
    };
    /** The widths offered, the editor's smallest to twice the design for print. */
    static constexpr std::array<Size, 4> sizes{{{893, "Small (893 x 525)"},
                                                {1191, "Editor Size (1191 x 700)"},
                                                {1786, "Large (1786 x 1050)"},
                                                {2382, "Print (2382 x 1400)"}}};

    /** The listing of a sound: its name and category, then each section's parameters. */
    static juce::String describe (const ProgramRecord& sound);

    /** The synth panel showing the processor's edit buffer, width pixels wide, of the panel's shape. */
    static juce::Image paintPanel (MarvexAudioProcessor& processor, int width);

    /** Writes the edit buffer's picture to png and its listing beside it (the same name ending in
        ".txt"), each through a temporary file. False, with why, when either could not be written. */
    static bool write (MarvexAudioProcessor& processor, const juce::File& png, int width,
                       juce::String* whyNot = nullptr);

    /** The listing's file for a picture's file. */
    static juce::File textFileFor (const juce::File& png);
};

} // namespace kelvo
