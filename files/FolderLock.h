#pragma once

#include <juce_core/juce_core.h>

namespace kelvo
{
class NativeFile;

/**
    Holds a lock file in a folder for as long as it lives, so that the read-change-write steps of
    two writers of that folder's files (two plug-in instances, in one process or in two) never
    interleave. It waits at most the given time and then goes on without the lock, so that a
    writer that hangs elsewhere can never hang this one; a folder that cannot hold the lock file
    (read-only) is not locked either.

    Any thread but the audio thread.
*/
class FolderLock
{
public:
    FolderLock (const juce::File& folder, int maxWaitMilliseconds);
    ~FolderLock();

    bool isLocked() const noexcept { return locked; }

    static constexpr const char* lockFileName = ".kelvo.lock";

private:
    std::unique_ptr<NativeFile> lockFile;
    bool locked = false;

    JUCE_DECLARE_NON_COPYABLE (FolderLock)
};

} // namespace kelvo
