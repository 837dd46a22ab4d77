#include "files/FolderLock.h"
#include "files/platform/NativeFile.h"

namespace kelvo
{
namespace
{
constexpr int retryIntervalMs = 2;
}

FolderLock::FolderLock (const juce::File& folder, int maxWaitMilliseconds)
    : lockFile (std::make_unique<NativeFile>())
{
    const auto deadline =
        juce::Time::getMillisecondCounter() + (juce::uint32)juce::jmax (0, maxWaitMilliseconds);
    if (!lockFile->openForLocking (folder.getChildFile (lockFileName)))
        return;
    for (;;)
    {
        switch (lockFile->tryLock())
        {
        case NativeFile::Lock::locked:
            locked = true;
            return;
        case NativeFile::Lock::failed:
            return;
        case NativeFile::Lock::busy:
            break;
        }
        if (juce::Time::getMillisecondCounter() >= deadline)
            return;
        juce::Thread::sleep (retryIntervalMs);
    }
}

// Closing the lock file releases the lock.
FolderLock::~FolderLock() = default;

} // namespace kelvo
