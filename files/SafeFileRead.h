#pragma once

#include <juce_core/juce_core.h>

namespace kelvo
{

/** What reading a file that may be damaged found. */
struct FileReadResult
{
    enum class Status
    {
        ok,         // bytes holds the whole file
        missing,    // nothing by that name
        notAFile,   // a folder, a pipe, a device...: never opened
        unreadable, // there, but it could not be read (error says why)
        tooLarge    // longer than the limit: bytes holds its beginning
    };

    Status status = Status::missing;
    juce::MemoryBlock bytes;
    juce::String error;
    size_t limit = 0; // the most that was to be read

    bool isOk() const noexcept { return status == Status::ok; }
    /** Something is in the file's place that cannot be taken as it is. */
    bool isDamaged() const noexcept { return status != Status::ok && status != Status::missing; }
};

/** What is wrong with a file that could not be taken, in words that follow its name ("could not be
    read (…)", "is not a file", "is larger than 4 MB", "does not exist") and as one word for the name
    of its kept copy. Every message about a file that could not be read says it in these words. */
struct FileProblem
{
    juce::String words, nameTag;
};

/** The problem of a file that readFileSafely could not read whole (empty for one that is ok). */
FileProblem describeReadProblem (const FileReadResult& found);

/** The message for a file the user chose that could not be read: its name and what happened, e.g.
    "\"big.syx\" is larger than 4 MB." Empty for a file that was read. */
juce::String describeUnreadFile (const juce::File& file, const FileReadResult& found);

/**
    Reads a file without ever blocking or reading without end: only a regular file is opened (a
    named pipe or a device in its place is reported, never read), and at most maxBytes of it are
    read. Any thread but the audio thread.
*/
FileReadResult readFileSafely (const juce::File& file, size_t maxBytes);

/**
    Moves whatever is at file (a file, a folder, a pipe) aside to a sibling named after it, the
    reason and the time, e.g. "data.bin.unreadable-20261210-141503", so that it is kept but no longer
    in the way. Returns where it went, or File() when it could not be moved.
*/
juce::File setFileAside (const juce::File& file, const juce::String& reason);

} // namespace kelvo
