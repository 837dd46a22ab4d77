#include "files/FolderLock.h"

#if !JUCE_WINDOWS
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace kelvo
{
namespace
{
constexpr int retryIntervalMs = 2;
}

FolderLock::FolderLock (const juce::File& folder, int maxWaitMilliseconds)
{
    const auto deadline =
        juce::Time::getMillisecondCounter() + (juce::uint32)juce::jmax (0, maxWaitMilliseconds);
#if JUCE_WINDOWS
    // A named mutex excludes other threads of this process as well as other processes.
    processLock = std::make_unique<juce::InterProcessLock> (
        "kelvo-" + juce::String::toHexString (folder.getFullPathName().hashCode64()));
    for (;;)
    {
        if ((locked = processLock->enter (0)))
            return;
        if (juce::Time::getMillisecondCounter() >= deadline)
            return;
        juce::Thread::sleep (retryIntervalMs);
    }
#else
    // flock belongs to the open file, not the process: two instances in one process exclude each
    // other as two processes do.
    fd = ::open (folder.getChildFile (lockFileName).getFullPathName().toRawUTF8(),
                 O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    for (;;)
    {
        if (::flock (fd, LOCK_EX | LOCK_NB) == 0)
        {
            locked = true;
            return;
        }
        if ((errno != EWOULDBLOCK && errno != EINTR) || juce::Time::getMillisecondCounter() >= deadline)
            return;
        juce::Thread::sleep (retryIntervalMs);
    }
#endif
}

FolderLock::~FolderLock()
{
#if JUCE_WINDOWS
    if (locked)
        processLock->exit();
#else
    if (fd >= 0)
    {
        if (locked)
            ::flock (fd, LOCK_UN);
        ::close (fd);
    }
#endif
}

} // namespace kelvo
