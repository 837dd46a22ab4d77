#pragma once

#include <juce_core/juce_core.h>

namespace kelvo
{
class MophoSimulator;

/**
    The file in which the simulator offered to users keeps its memory between runs, read and
    written as carefully as the engine's own files: written through writeFileSafely (a full disk
    leaves the previous memory whole), read through readFileSafely (never blocking, never without
    end), bytes after a whole memory ignored, and a file that cannot be taken moved aside rather than
    overwritten. Message thread (when the simulator is opened and when its devices go).
*/
class SimulatorMemoryFile
{
public:
    explicit SimulatorMemoryFile (const juce::File& file);

    /** Loads the file into the simulator; a missing file leaves it as it is. Returns a message for
        the user when the file was damaged (and where it was kept), else an empty string. */
    juce::String load (MophoSimulator& simulator);
    /** Saves the simulator's memory. Returns why it failed, or an empty string. A damaged file that
        could not be moved aside is never written over. */
    juce::String save (const MophoSimulator& simulator);

    /** Far above the size of a memory image: a longer file is damaged. */
    static constexpr size_t maxFileSize = 1024 * 1024;

private:
    const juce::File file;
    bool keepAsItIs = false;

    JUCE_DECLARE_NON_COPYABLE (SimulatorMemoryFile)
};

} // namespace kelvo
