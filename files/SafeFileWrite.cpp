#include "files/SafeFileWrite.h"

#if ! JUCE_WINDOWS
 #include <cerrno>
 #include <cstring>
 #include <fcntl.h>
 #include <unistd.h>
#endif

namespace kelvo
{
namespace
{
// ".<target name>.kelvo-tmp<hex>": hidden, and recognisable as ours when a kill leaves one behind.
constexpr const char* temporaryMarker = ".kelvo-tmp";

juce::File makeTemporaryFile (const juce::File& target)
{
    const auto stem = "." + target.getFileName() + temporaryMarker;
    for (;;)
    {
        auto candidate = target.getSiblingFile (stem + juce::String::toHexString (juce::Random::getSystemRandom().nextInt()));
        if (! candidate.exists())
            return candidate;
    }
}

// Writes a new file and flushes it to the disk; the system's reason when anything fails.
juce::String writeWhole (const juce::File& file, const void* data, size_t numBytes)
{
#if ! JUCE_WINDOWS
    // Straight to the system: a short write (a disk that fills up midway) is carried on until the
    // system says why it cannot go on, and that reason reaches the user.
    const auto fd = ::open (file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return std::strerror (errno);
    const auto* bytes = static_cast<const char*> (data);
    juce::String error;
    for (size_t done = 0; done < numBytes && error.isEmpty();)
    {
        const auto n = ::write (fd, bytes + done, numBytes - done);
        if (n > 0)
            done += (size_t) n;
        else if (n < 0 && errno != EINTR)
            error = std::strerror (errno);
        else if (n == 0)
            error = "nothing could be written";
    }
    if (error.isEmpty() && ::fsync (fd) != 0)
        error = std::strerror (errno);
    if (::close (fd) != 0 && error.isEmpty())
        error = std::strerror (errno);
    return error;
#else
    juce::FileOutputStream out (file);
    if (out.failedToOpen())
        return out.getStatus().getErrorMessage();
    if (numBytes > 0 && ! out.write (data, numBytes))
        return out.getStatus().failed() ? out.getStatus().getErrorMessage() : juce::String ("the data could not be written");
    out.flush(); // reaches the disk before the rename makes it the file
    return out.getStatus().failed() ? out.getStatus().getErrorMessage() : juce::String();
#endif
}

bool fail (juce::String* whyNot, const juce::String& reason)
{
    if (whyNot != nullptr)
        *whyNot = reason;
    return false;
}
} // namespace

bool writeFileSafely (const juce::File& target, const void* data, size_t numBytes, juce::String* whyNot)
{
    if (target == juce::File() || (data == nullptr && numBytes > 0))
        return fail (whyNot, "no file to write");

    const auto folder = target.getParentDirectory();
    if (auto made = folder.createDirectory(); made.failed())
        return fail (whyNot, "the folder could not be made (" + made.getErrorMessage() + ")");
    if (target.exists() && ! target.existsAsFile())
        return fail (whyNot, "something other than a file is in its place");

    const auto temp = makeTemporaryFile (target);
    if (const auto error = writeWhole (temp, data, numBytes); error.isNotEmpty())
    {
        temp.deleteFile();
        return fail (whyNot, error);
    }

    if (! temp.replaceFileIn (target))
    {
        temp.deleteFile();
        return fail (whyNot, "the old file could not be replaced");
    }
    return true;
}

bool isTemporaryFileOf (const juce::File& file, const juce::String& targetName)
{
    const auto name = file.getFileName();
    if (name.startsWith ("." + targetName + temporaryMarker))
        return true;

    // Earlier builds wrote through juce::TemporaryFile: "<stem>_temp<hex><ext>", hidden or not.
    const auto hasExtension = targetName.containsChar ('.');
    const auto stem = (hasExtension ? targetName.upToLastOccurrenceOf (".", false, false) : targetName) + "_temp";
    const auto ext = hasExtension ? targetName.fromLastOccurrenceOf (".", true, false) : juce::String();
    const auto bare = name.startsWithChar ('.') ? name.substring (1) : name;
    if (! bare.startsWith (stem) || ! bare.endsWith (ext))
        return false;
    const auto middle = bare.substring (stem.length(), bare.length() - ext.length());
    return middle.isNotEmpty() && middle.containsOnly ("0123456789abcdefABCDEF");
}

int removeStaleTemporaryFiles (const juce::File& folder, const juce::StringArray& targetNames, juce::RelativeTime minAge)
{
    const auto latest = juce::Time::getCurrentTime() - minAge;
    int removed = 0;
    for (const auto& entry : juce::RangedDirectoryIterator (folder, false, "*", juce::File::findFiles))
    {
        const auto& file = entry.getFile();
        if (entry.getModificationTime() > latest)
            continue;
        for (const auto& name : targetNames)
            if (isTemporaryFileOf (file, name))
            {
                removed += file.deleteFile() ? 1 : 0;
                break;
            }
    }
    return removed;
}

} // namespace kelvo
