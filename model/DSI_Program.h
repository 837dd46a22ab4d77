#pragma once

#include "model/ProgramRecord.h"

#include <juce_core/juce_core.h>

namespace kelvo
{

/**
    One program: its record, its decoded name and the last edit-buffer dump built from it.

    A plain value object used by one thread at a time (scratch programs of transfers and files).
*/
class DSI_Program
{
public:
    /** A new program holds the initial program. */
    DSI_Program();

    /** Replaces the record with the first min(size, 256) bytes given; a shorter block leaves a shorter
        record, whose missing bytes read as 0. */
    void setData (const juce::MemoryBlock& bytes);
    /** The 256-byte record (bytes beyond a short record read as 0). */
    juce::MemoryBlock getData() const;
    ProgramRecord getRecord() const noexcept;

    /** Takes a record (256 bytes), an edit-buffer dump (298) or a program dump (300), chosen by length;
        any other length, or a dump whose device byte is not the Mopho x4's, leaves the program as it
        was and returns false. */
    bool setFromBlock (const juce::MemoryBlock& block);
    bool setFromBlock (const void* bytes, size_t numBytes);
    /** The 298-byte edit-buffer dump of this program (also kept in `dump`). */
    juce::MemoryBlock makeEditBufferDump();

    /** Writes the name field (cut to 16 characters, padded with spaces). */
    void setName (const juce::String& text);
    /** The 16 characters of the name field (also kept in `name`). */
    juce::String getName();

    juce::String name;
    juce::MemoryBlock data;
    juce::MemoryBlock dump;

private:
    JUCE_LEAK_DETECTOR (DSI_Program)
};

} // namespace kelvo
