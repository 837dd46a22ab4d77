#include "files/SafeFileRead.h"

#include "files/platform/NativeFile.h"

namespace kelvo
{
namespace
{
FileReadResult withStatus (FileReadResult::Status status, size_t limit, const juce::String& error = {})
{
    FileReadResult r;
    r.status = status;
    r.error = error;
    r.limit = limit;
    return r;
}

/** A size as people say it: "4 MB", "64 KB", "300 bytes". */
juce::String sizeInWords (size_t bytes)
{
    constexpr size_t kilobyte = 1024, megabyte = kilobyte * kilobyte;
    if (bytes >= megabyte && bytes % megabyte == 0)
        return juce::String ((juce::int64) (bytes / megabyte)) + " MB";
    if (bytes >= kilobyte && bytes % kilobyte == 0)
        return juce::String ((juce::int64) (bytes / kilobyte)) + " KB";
    return juce::String ((juce::int64)bytes) + " bytes";
}
} // namespace

FileReadResult readFileSafely (const juce::File& file, size_t maxBytes)
{
    NativeFile in;
    switch (in.openForReading (file))
    {
    case NativeFile::Opened::missing:
        return withStatus (FileReadResult::Status::missing, maxBytes);
    case NativeFile::Opened::notAFile:
        return withStatus (FileReadResult::Status::notAFile, maxBytes);
    case NativeFile::Opened::failed:
        return withStatus (FileReadResult::Status::unreadable, maxBytes, in.error());
    case NativeFile::Opened::ok:
        break;
    }

    FileReadResult result;
    result.status = FileReadResult::Status::ok;
    result.limit = maxBytes;
    // One byte past the limit tells a file of exactly maxBytes from a longer one.
    const auto wanted = maxBytes + 1;
    result.bytes.setSize (juce::jmin (wanted, (size_t)juce::jmax ((juce::int64)0, in.getSize()) + 1));
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
            in.read (static_cast<char*> (result.bytes.getData()) + got, result.bytes.getSize() - got);
        if (n < 0)
            return withStatus (FileReadResult::Status::unreadable, maxBytes, in.error());
        if (n == 0)
            break;
        got += (size_t)n;
    }

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
        return {found.error.isEmpty() ? juce::String ("could not be read")
                                      : "could not be read (" + found.error + ")",
                "unreadable"};
    case FileReadResult::Status::notAFile:
        return {"is not a file", "not-a-file"};
    case FileReadResult::Status::tooLarge:
        return {"is larger than " + sizeInWords (found.limit), "too-large"};
    case FileReadResult::Status::missing:
        return {"does not exist", "missing"};
    case FileReadResult::Status::ok:
    default:
        return {};
    }
}

juce::String describeUnreadFile (const juce::File& file, const FileReadResult& found)
{
    const auto problem = describeReadProblem (found);
    return problem.words.isEmpty() ? juce::String() : "\"" + file.getFileName() + "\" " + problem.words + ".";
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
