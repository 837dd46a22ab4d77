#include "files/KeptFile.h"

#include "files/SafeFileWrite.h"

namespace kelvo
{

KeptFile::KeptFile (juce::File f, juce::String fileLabel, juce::String kept, size_t limit, NoticeHandler onNotice)
    : file (std::move (f)), label (std::move (fileLabel)), contents (std::move (kept)), maxSize (limit),
      notice (std::move (onNotice))
{
}

FileReadResult KeptFile::read() const
{
    return readFileSafely (file, maxSize);
}

FileProblem KeptFile::problemOf (const FileReadResult& found, size_t validSize)
{
    if (found.isDamaged())
        return describeReadProblem (found);
    const auto size = found.bytes.getSize();
    if (size == 0)
        return {"is empty", "empty"};
    if (validSize != 0 && size < validSize)
        return {"is cut short", "cut-short"};
    if (validSize != 0 && size > validSize)
        return {"is longer than it should be", "too-long"};
    return {"holds nothing usable", "unusable"};
}

bool KeptFile::setAside (const FileProblem& problem, const juce::String& what)
{
    const auto told = label + " " + problem.words + "; " + what + ".";
    const auto aside = setFileAside (file, problem.nameTag);
    if (aside == juce::File())
    {
        isProtectedFromWrites = true;
        if (notice != nullptr)
            notice (told + " It could not be moved aside, so it is not written over: changes to " + contents +
                    " are not saved.");
        return false;
    }
    if (notice != nullptr)
        notice (told + " The old file was kept as \"" + aside.getFullPathName() + "\".");
    return true;
}

bool KeptFile::write (const juce::MemoryBlock& bytes)
{
    if (isProtectedFromWrites)
        return false;

    juce::String whyNot;
    if (writeFileSafely (file, bytes, &whyNot))
    {
        writeFailed = false;
        return true;
    }
    if (!std::exchange (writeFailed, true) && notice != nullptr)
        notice ("Could not save " + contents + " to \"" + file.getFullPathName() + "\": " + whyNot +
                ". The previous file is kept.");
    return false;
}

} // namespace kelvo
