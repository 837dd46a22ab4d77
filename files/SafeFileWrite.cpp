#include "files/SafeFileWrite.h"

namespace kelvo
{

bool writeFileSafely (const juce::File& target, const void* data, size_t numBytes)
{
    if (target == juce::File() || (data == nullptr && numBytes > 0))
        return false;
    if (! target.getParentDirectory().createDirectory())
        return false;

    // Removes the temporary file itself when anything below fails.
    juce::TemporaryFile temp (target, juce::TemporaryFile::useHiddenFile);
    {
        juce::FileOutputStream out (temp.getFile());
        if (! out.openedOk())
            return false;
        if (numBytes > 0 && ! out.write (data, numBytes))
            return false;
        out.flush(); // reaches the disk before the rename makes it the file
        if (out.getStatus().failed())
            return false;
    }
    return temp.overwriteTargetFileWithTemporary();
}

} // namespace kelvo
