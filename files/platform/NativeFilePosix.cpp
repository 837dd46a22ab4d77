// NativeFile for Linux and macOS: POSIX calls.
#include "files/platform/NativeFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvo
{
namespace
{
juce::String errnoText (int code)
{
    return juce::String (std::strerror (code));
}

int fdOf (juce::pointer_sized_int handle)
{
    return (int)handle;
}
} // namespace

NativeFile::~NativeFile()
{
    close();
}

bool NativeFile::isOpen() const noexcept
{
    return handle >= 0;
}

NativeFile::Opened NativeFile::openForReading (const juce::File& file)
{
    close();
    const auto* path = file.getFullPathName().toRawUTF8();
    struct stat info
    {
    };
    if (::stat (path, &info) != 0)
    {
        const auto code = errno;
        if (code == ENOENT || code == ENOTDIR)
            return Opened::missing;
        lastError = errnoText (code);
        return Opened::failed;
    }
    if (!S_ISREG (info.st_mode))
        return Opened::notAFile;

    // Non-blocking, in case a pipe took the file's place since the look above.
    const auto fd = ::open (path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
    {
        lastError = errnoText (errno);
        return Opened::failed;
    }
    if (::fstat (fd, &info) != 0 || !S_ISREG (info.st_mode))
    {
        ::close (fd);
        return Opened::notAFile;
    }
    handle = fd;
    sizeWhenOpened = (juce::int64)info.st_size;
    return Opened::ok;
}

bool NativeFile::createNew (const juce::File& file)
{
    close();
    const auto fd =
        ::open (file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
    {
        lastError = errnoText (errno);
        return false;
    }
    handle = fd;
    sizeWhenOpened = 0;
    return true;
}

bool NativeFile::openForLocking (const juce::File& file)
{
    close();
    const auto fd = ::open (file.getFullPathName().toRawUTF8(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
    {
        lastError = errnoText (errno);
        return false;
    }
    handle = fd;
    return true;
}

juce::int64 NativeFile::getSize() const
{
    return sizeWhenOpened;
}

juce::int64 NativeFile::read (void* buffer, size_t numBytes)
{
    for (;;)
    {
        const auto n = ::read (fdOf (handle), buffer, numBytes);
        if (n >= 0)
            return (juce::int64)n;
        if (errno != EINTR)
        {
            lastError = errnoText (errno);
            return -1;
        }
    }
}

bool NativeFile::writeAll (const void* data, size_t numBytes)
{
    // A short write (a disk that fills up midway) is carried on until the system says why it
    // cannot go on, and that reason reaches the user.
    const auto* bytes = static_cast<const char*> (data);
    for (size_t done = 0; done < numBytes;)
    {
        const auto n = ::write (fdOf (handle), bytes + done, numBytes - done);
        if (n > 0)
            done += (size_t)n;
        else if (n == 0)
        {
            lastError = "nothing could be written";
            return false;
        }
        else if (errno != EINTR)
        {
            lastError = errnoText (errno);
            return false;
        }
    }
    return true;
}

bool NativeFile::flushToDisk()
{
    if (::fsync (fdOf (handle)) == 0)
        return true;
    lastError = errnoText (errno);
    return false;
}

NativeFile::Lock NativeFile::tryLock()
{
    if (::flock (fdOf (handle), LOCK_EX | LOCK_NB) == 0)
        return Lock::locked;
    if (errno == EWOULDBLOCK || errno == EINTR)
        return Lock::busy;
    lastError = errnoText (errno);
    return Lock::failed;
}

bool NativeFile::close()
{
    if (handle < 0)
        return true;
    const auto ok = ::close (fdOf (handle)) == 0;
    if (!ok)
        lastError = errnoText (errno);
    handle = -1;
    sizeWhenOpened = -1;
    return ok;
}

bool NativeFile::moveOver (const juce::File& source, const juce::File& target, juce::String* whyNot)
{
    if (::rename (source.getFullPathName().toRawUTF8(), target.getFullPathName().toRawUTF8()) == 0)
        return true;
    if (whyNot != nullptr)
        *whyNot = errnoText (errno);
    return false;
}

} // namespace kelvo
