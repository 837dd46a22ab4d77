#pragma once

#include "files/SafeFileRead.h"

#include <juce_core/juce_core.h>

#include <functional>

namespace kelvo
{

/**
    One file that the system keeps for the user in its settings folder, as the user is told about
    it: read safely and size-capped, moved aside under a name that says why when what is in its place
    cannot be taken as it is, and written safely, with every failure told in words once until a write
    succeeds again. A damaged file that could not be moved aside is never written over.

    What the file holds, how it is merged and when it is written are the owner's: this class only
    makes every kept file behave alike towards the user. Not thread-safe: the owner serialises its
    calls (any thread but the audio thread). Notices go to the handler on the calling thread.
*/
class KeptFile
{
public:
    using NoticeHandler = std::function<void (const juce::String&)>;

    /** label names the file to the user ("The bank file"); contents says what a save of it keeps
        ("the banks U1-U4"). */
    KeptFile (juce::File file, juce::String label, juce::String contents, size_t maxSize, NoticeHandler onNotice);

    const juce::File& getFile() const noexcept { return file; }

    /** The file as it is now (see readFileSafely). */
    FileReadResult read() const;

    /** What is wrong with what read() found: its damage, or for a readable file a length other
        than the one right length validSize (0: any length is right). */
    static FileProblem problemOf (const FileReadResult& found, size_t validSize);

    /** Moves the damaged file aside and tells the user what is wrong and what became of its
        contents (what). False, and the file protected from being written over, when it could not
        be moved. */
    bool setAside (const FileProblem& problem, const juce::String& what);

    /** Writes the file safely. False when it is protected or the write failed; a failure is told
        once, with the system's reason, until a write succeeds. */
    bool write (const juce::MemoryBlock& bytes);

    bool isProtected() const noexcept { return isProtectedFromWrites; }

private:
    const juce::File file;
    const juce::String label, contents;
    const size_t maxSize;
    NoticeHandler notice;
    bool writeFailed = false, isProtectedFromWrites = false;

    JUCE_DECLARE_NON_COPYABLE (KeptFile)
};

} // namespace kelvo
