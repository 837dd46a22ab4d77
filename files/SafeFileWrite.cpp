#include "files/SafeFileWrite.h"

#include "files/platform/NativeFile.h"

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
    NativeFile out;
    if (!out.createNew (file))
        return out.error();
    auto error = out.writeAll (data, numBytes) && out.flushToDisk() ? juce::String() : out.error();
    if (!out.close() && error.isEmpty())
        error = out.error();
    return error;
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

    if (juce::String reason; !NativeFile::moveOver (temp, target, &reason))
    {
        temp.deleteFile();
        return fail (whyNot, "the old file could not be replaced (" + reason + ")");
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
