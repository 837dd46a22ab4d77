#pragma once

#include <juce_core/juce_core.h>

namespace kelvo
{

/**
    Replaces a file's contents without ever leaving it half written or missing: the bytes go to a
    hidden temporary file in the same folder, are flushed to the disk, and only then is the temporary
    file renamed over the target (an atomic step on one file system). If anything fails (a full disk,
    no write access), the old file stays as it was and false is returned. Creates the folder if needed.

    Any thread but the audio thread; two writers of the same file should be serialised by the caller,
    or the last rename wins (each file is still whole).
*/
bool writeFileSafely (const juce::File& target, const void* data, size_t numBytes);
inline bool writeFileSafely (const juce::File& target, const juce::MemoryBlock& data)
{
    return writeFileSafely (target, data.getData(), data.getSize());
}

} // namespace kelvo
