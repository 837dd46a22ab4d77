#include "files/SafeFileRead.h"

#if !JUCE_WINDOWS
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kelvo
{
namespace
{
FileReadResult withStatus (FileReadResult::Status status, const juce::String& error = {})
{
    FileReadResult r;
    r.status = status;
    r.error = error;
    return r;
}

#if !JUCE_WINDOWS
juce::String errnoText (int code)
{
    return juce::String (std::strerror (code));
}
#endif
} // namespace

FileReadResult readFileSafely (const juce::File& file, size_t maxBytes)
{
#if !JUCE_WINDOWS
    const auto* path = file.getFullPathName().toRawUTF8();
    struct stat info
    {
    };
    if (::stat (path, &info) != 0)
    {
        const auto code = errno;
        return code == ENOENT || code == ENOTDIR
                   ? withStatus (FileReadResult::Status::missing)
                   : withStatus (FileReadResult::Status::unreadable, errnoText (code));
    }
    if (!S_ISREG (info.st_mode))
        return withStatus (FileReadResult::Status::notAFile);

    // Non-blocking, in case a pipe took the file's place since the look above.
    const auto fd = ::open (path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return withStatus (FileReadResult::Status::unreadable, errnoText (errno));
    if (::fstat (fd, &info) != 0 || !S_ISREG (info.st_mode))
    {
        ::close (fd);
        return withStatus (FileReadResult::Status::notAFile);
    }

    FileReadResult result;
    result.status = FileReadResult::Status::ok;
    // One byte past the limit tells a file of exactly maxBytes from a longer one.
    const auto wanted = maxBytes + 1;
    result.bytes.setSize (juce::jmin (wanted, (size_t)juce::jmax ((off_t)0, info.st_size) + 1));
    size_t got = 0;
    for (;;)
    {
        if (got == result.bytes.getSize())
        {
            if (got >= wanted)
                break;
            result.bytes.setSize (juce::jmin (wanted, got * 2 + 4096)); // the file grew meanwhile
        }
        const auto n =
            ::read (fd, static_cast<char*> (result.bytes.getData()) + got, result.bytes.getSize() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
        {
            const auto code = errno;
            ::close (fd);
            return withStatus (FileReadResult::Status::unreadable, errnoText (code));
        }
        if (n == 0)
            break;
        got += (size_t)n;
    }
    ::close (fd);
#else
    if (!file.exists())
        return withStatus (FileReadResult::Status::missing);
    if (!file.existsAsFile())
        return withStatus (FileReadResult::Status::notAFile);

    juce::FileInputStream in (file);
    if (!in.openedOk())
        return withStatus (FileReadResult::Status::unreadable, in.getStatus().getErrorMessage());

    FileReadResult result;
    result.status = FileReadResult::Status::ok;
    const auto wanted = maxBytes + 1;
    result.bytes.setSize (juce::jmin (wanted, (size_t)juce::jmax ((juce::int64)0, in.getTotalLength()) + 1));
    size_t got = 0;
    for (;;)
    {
        if (got == result.bytes.getSize())
        {
            if (got >= wanted)
                break;
            result.bytes.setSize (juce::jmin (wanted, got * 2 + 4096));
        }
        const auto n = in.read (static_cast<char*> (result.bytes.getData()) + got,
                                (int)juce::jmin ((size_t)1 << 30, result.bytes.getSize() - got));
        if (n <= 0)
            break;
        got += (size_t)n;
    }
    if (in.getStatus().failed())
        return withStatus (FileReadResult::Status::unreadable, in.getStatus().getErrorMessage());
#endif

    if (got > maxBytes)
    {
        result.status = FileReadResult::Status::tooLarge;
        got = maxBytes;
    }
    result.bytes.setSize (got);
    return result;
}

FileProblem describeReadProblem (const FileReadResult& found)
{
    switch (found.status)
    {
    case FileReadResult::Status::unreadable:
        return {"could not be read (" + found.error + ")", "unreadable"};
    case FileReadResult::Status::notAFile:
        return {"is not a file", "not-a-file"};
    case FileReadResult::Status::tooLarge:
        return {"is far too large", "too-large"};
    case FileReadResult::Status::ok:
    case FileReadResult::Status::missing:
    default:
        return {};
    }
}

juce::File setFileAside (const juce::File& file, const juce::String& reason)
{
    const auto stamp = juce::Time::getCurrentTime().formatted ("%Y%m%d-%H%M%S");
    const auto aside = file.getParentDirectory().getNonexistentChildFile (
        file.getFileName() + "." + reason + "-" + stamp, {}, false);
    // A rename: it moves folders and pipes as well as files, and never opens them.
    return file.moveFileTo (aside) ? aside : juce::File();
}

} // namespace kelvo
