#pragma once

#include "model/ProgramRecord.h"

#include <juce_core/juce_core.h>

#include <vector>

namespace kelvo
{

/** The parameters in which two sounds differ, as a user reads them. */
class SoundDiff
{
public:
    /** One differing parameter: its index (nameRow for the name), its name and both value texts. */
    struct Row
    {
        int index = 0;
        juce::String name, first, second;
    };
    /** The index given to the row of the name, which spans several bytes. */
    static constexpr int nameRow = -1;

    /** Every synth parameter (sound, sequencer, category) whose value differs, in index order, then
        the name if it differs. Bytes that hold no instrument parameter are left out. */
    static std::vector<Row> between (const ProgramRecord& first, const ProgramRecord& second);
};

} // namespace kelvo
