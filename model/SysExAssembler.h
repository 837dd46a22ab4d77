#pragma once

#include "model/ProgramPacking.h"

#include <juce_core/juce_core.h>

#include <optional>

namespace kelvo
{

/**
    Collects one SysEx message from the pieces a MIDI input delivers: a piece that starts with F0
    starts a new message, any other piece is appended only while one is being collected, and the
    message is complete when it ends with F7. A message that never ends stays until the next F0.

    Not thread-safe: one input thread feeds it.
*/
class SysExAssembler
{
public:
    /** Takes one incoming piece; returns the whole message when this piece completed it. */
    std::optional<juce::MemoryBlock> add (const uint8_t* data, int size)
    {
        if (data == nullptr || size < 1)
            return std::nullopt;

        if (data[0] == sysex::start)
            collected.replaceAll (data, (size_t) size);
        else if (! collected.isEmpty())
            collected.append (data, (size_t) size);
        else
            return std::nullopt;

        const auto* bytes = static_cast<const uint8_t*> (collected.getData());
        if (bytes[collected.getSize() - 1] != sysex::end)
            return std::nullopt;

        std::optional<juce::MemoryBlock> complete (std::move (collected));
        collected.reset();
        return complete;
    }

private:
    juce::MemoryBlock collected;
};

} // namespace kelvo
