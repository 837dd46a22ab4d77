#pragma once

#include "model/ProgramPacking.h"

#include <juce_core/juce_core.h>

namespace kelvo
{

/**
    Collects one SysEx message from the pieces a MIDI input delivers: a piece that starts with F0
    starts a new message, any other piece is appended only while one is being collected, and the
    message is complete when it ends with F7.

    Real-time bytes (F8 to FF) may come between the bytes of a SysEx message on the wire; they are
    not part of it and are left out. A message that grows past maxMessageSize without ending is
    dropped, and everything up to the next F0 with it, so that a sender that never ends its message
    cannot make the buffer grow without limit.

    Not thread-safe: one input thread feeds it.
*/
class SysExAssembler
{
public:
    /** Far above the longest message the synth sends (a 300-byte program dump): nothing of ours is
        cut, and a runaway message costs no more than this. */
    static constexpr int maxMessageSize = 4096;

    enum class Outcome
    {
        ignored,    // not SysEx, and no message was being collected
        collecting, // taken; the message is not complete yet
        complete,   // taken; the message is complete: takeMessage()
        tooLong     // the message passed maxMessageSize and was dropped
    };

    /** Takes one incoming piece. */
    Outcome add (const uint8_t* data, int size)
    {
        if (data == nullptr || size < 1)
            return Outcome::ignored;

        if (data[0] == sysex::start)
        {
            collected.reset();
            collecting = true;
        }
        else if (! collecting || isRealtime (data[0]))
        {
            return Outcome::ignored;
        }

        // Runs of message bytes between real-time bytes are appended whole.
        for (int i = 0; i < size;)
        {
            int end = i;
            while (end < size && ! isRealtime (data[end]))
                ++end;
            collected.append (data + i, (size_t) (end - i));
            i = end + 1;
        }

        if ((int) collected.getSize() > maxMessageSize)
        {
            collected.reset();
            collecting = false;
            return Outcome::tooLong;
        }

        const auto* bytes = static_cast<const uint8_t*> (collected.getData());
        if (bytes[collected.getSize() - 1] != sysex::end)
            return Outcome::collecting;

        collecting = false;
        return Outcome::complete;
    }

    /** The message that add() reported complete; the assembler is empty afterwards. */
    juce::MemoryBlock takeMessage()
    {
        juce::MemoryBlock message (std::move (collected));
        collected.reset();
        return message;
    }

private:
    static bool isRealtime (uint8_t byte) noexcept { return byte >= 0xf8; }

    juce::MemoryBlock collected;
    bool collecting = false;
};

} // namespace kelvo
