#pragma once

#include <juce_core/juce_core.h>

namespace kelvo
{

/**
    The platform layer under the safe file code: the few operating-system calls that juce::File and
    its streams do not offer (opening a file only when it is a regular one and without blocking,
    flushing to the disk, locks held by an open file, renaming over a file in one step), each with
    the system's own reason when it fails. One implementation per system: NativeFilePosix.cpp
    (Linux, macOS) and NativeFileWindows.cpp; nothing above this class calls the system directly.

    One object is used by one thread at a time; any thread but the audio thread.
*/
class NativeFile
{
public:
    NativeFile() = default;
    ~NativeFile();

    enum class Opened
    {
        ok,
        missing,  // nothing by that name (or a folder on the way is missing)
        notAFile, // a folder, a pipe, a device...: never opened for reading
        failed    // error() says why
    };

    /** Opens an existing regular file for reading. Never blocks, even when a pipe or a device has
        taken the file's place; writers and renames of the file are not held up by the reader. */
    Opened openForReading (const juce::File& file);

    /** Makes a new file for writing; fails when anything is at that name already. */
    bool createNew (const juce::File& file);

    /** Opens the file, making it when needed, only to hold a lock on it. */
    bool openForLocking (const juce::File& file);

    bool isOpen() const noexcept;

    /** The size when it was opened, or -1 when the system did not say. */
    juce::int64 getSize() const;

    /** Reads up to numBytes: the number read, 0 at the end of the file, -1 on failure. */
    juce::int64 read (void* buffer, size_t numBytes);

    /** Writes every byte, carrying on after short writes until done or the system says why not. */
    bool writeAll (const void* data, size_t numBytes);

    /** Returns once everything written has reached the disk. */
    bool flushToDisk();

    enum class Lock
    {
        locked,
        busy,  // another open file holds it (in this process or another)
        failed // error() says why
    };

    /** Takes an exclusive lock without waiting. The lock belongs to this open file, so two objects
        exclude each other in one process as in two; closing the file releases it. */
    Lock tryLock();

    /** Closes the file (releasing a lock); false with error() when the system reports a failure
        of the last writes only now. */
    bool close();

    /** The system's words for the last failure. */
    const juce::String& error() const noexcept { return lastError; }

    /** Renames source to target in one step, replacing whatever file is at target, so that target
        is always either the old file or the new one. Both must be in one folder (one volume).
        On Windows it returns only once the rename has been written through to the disk, and a
        target that another program holds open is tried again for up to half a second. */
    static bool moveOver (const juce::File& source, const juce::File& target, juce::String* whyNot);

private:
    // A POSIX file descriptor or a Windows HANDLE; -1 (INVALID_HANDLE_VALUE) when closed.
    juce::pointer_sized_int handle = -1;
    juce::int64 sizeWhenOpened = -1;
    juce::String lastError;

    JUCE_DECLARE_NON_COPYABLE (NativeFile)
};

} // namespace kelvo
