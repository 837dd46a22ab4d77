#pragma once

#include <juce_core/juce_core.h>

namespace kelvo
{

/**
    Replaces a file's contents without ever leaving it half written or missing: the bytes go to a
    hidden temporary file in the same folder, are flushed to the disk, and only then is the temporary
    file renamed over the target (an atomic step on one file system). If anything fails (a full disk,
    no write access, something other than a file in the target's place), the old file stays as it
    was, no temporary file is left, false is returned and whyNot (when given) says why in words.
    Creates the folder if needed.

    Any thread but the audio thread; two writers of the same file should be serialised by the caller,
    or the last rename wins (each file is still whole).
*/
bool writeFileSafely (const juce::File& target, const void* data, size_t numBytes, juce::String* whyNot = nullptr);
inline bool writeFileSafely (const juce::File& target, const juce::MemoryBlock& data, juce::String* whyNot = nullptr)
{
    return writeFileSafely (target, data.getData(), data.getSize(), whyNot);
}

/** Whether a file is one of the temporary files that writeFileSafely makes for the target name
    (older builds' temporary names included). */
bool isTemporaryFileOf (const juce::File& file, const juce::String& targetName);

/**
    Deletes the temporary files of the named targets that a writer killed mid-save left in the
    folder. Only files untouched for at least minAge go, so that a save running in another instance
    at this moment is never disturbed (no save takes a minute). Returns how many were deleted.
*/
int removeStaleTemporaryFiles (const juce::File& folder, const juce::StringArray& targetNames,
                               juce::RelativeTime minAge = juce::RelativeTime::minutes (1));

} // namespace kelvo
