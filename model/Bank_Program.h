#pragma once

#include "model/EditBufferObserver.h"
#include "model/ProgramRecord.h"

#include <juce_core/juce_core.h>

#include <array>
#include <atomic>
#include <functional>
#include <memory>

namespace kelvo
{

/**
    A bank: a name, up to 128 program records and one edit buffer.

    Banks are shared by host threads (the audio thread included), the MIDI input thread and the
    message thread. Every byte is stored atomically, so any thread may read or write without a lock
    and a host's audio thread never waits. A whole-record copy is not a transaction: a single
    parameter written at the same moment lands either before or after it, which is what the two
    orderings would give anyway.
*/
class Bank_Program
{
public:
    /** A bank with its name; its programs and edit buffer start empty. */
    explicit Bank_Program (const juce::String& bankName);
    ~Bank_Program();

    const juce::String& getBankName() const noexcept { return bankName; }

    /** Every program and the edit buffer become the initial program. */
    void initialise();

    /** Number of program bytes the bank holds (a full bank holds 32768). */
    int getSize() const noexcept { return size.load (std::memory_order_acquire); }
    /** Empties the bank (used before it is rebuilt program by program). */
    void clear() noexcept { size.store (0, std::memory_order_release); }

    /** The bytes of program n (fewer than 256 when the bank ends inside it; n below 0 reads 0). */
    juce::MemoryBlock getProgram (int n) const;
    /** Program n as a full record (missing bytes read as 0). */
    ProgramRecord getProgramRecord (int n) const noexcept;
    /** Writes bytes from n × 256 on; a byte at or past the end of the bank is appended instead. */
    void setProgram (int n, const void* bytes, size_t numBytes) noexcept;
    void setProgram (int n, const juce::MemoryBlock& bytes) noexcept { setProgram (n, bytes.getData(), bytes.getSize()); }
    void setProgram (int n, const ProgramRecord& record) noexcept { setProgram (n, record.data(), record.size()); }

    juce::String getProgramName (int n) const;
    void setProgramName (int n, const juce::String& text) noexcept;
    int getProgramByte (int n, int offset) const noexcept;

    /** All 32768 program bytes (missing bytes read as 0). */
    juce::MemoryBlock getAllPrograms() const;

    juce::MemoryBlock getEditBuffer() const;
    ProgramRecord getEditBufferRecord() const noexcept;
    /** Copies up to 256 bytes; missing ones become 0. */
    void setEditBuffer (const void* bytes, size_t numBytes) noexcept;
    void setEditBuffer (const juce::MemoryBlock& bytes) noexcept { setEditBuffer (bytes.getData(), bytes.getSize()); }
    void setEditBuffer (const ProgramRecord& record) noexcept { setEditBuffer (record.data(), record.size()); }
    juce::String getEditBufferName() const;

    /** Called after each whole replacement of the edit buffer, on the thread that made it (a host's
        thread, the MIDI input thread, the message thread; never the audio thread), for whoever
        mirrors it elsewhere. Set before other threads use the bank, kept until they have stopped. */
    std::function<void()> onEditBufferReplaced;

    /** Counts whole replacements of the edit buffer (not single-byte writes), so that whoever mirrors
        it elsewhere can tell when to look again. */
    uint32_t getEditBufferGeneration() const noexcept { return editBufferGeneration.load (std::memory_order_acquire); }

    /** One edit-buffer byte; lock-free and allocation-free, for the audio thread. */
    uint8_t getEditBufferByte (int offset) const noexcept;
    void setEditBufferByte (int offset, uint8_t value) noexcept;

    /** Who is told of each change to the edit buffer (nullptr: nobody). Set before the threads
        that write the bank start, and cleared only after they have stopped. */
    void setEditBufferObserver (EditBufferObserver* o) noexcept { observer.store (o, std::memory_order_release); }

    /** Copies the edit buffer into program n and returns the bytes stored. */
    juce::MemoryBlock storeEditBuffer (int n);

    //==============================================================================
    // Whole-bank loading and dumps. Each writes every program it loads in place, so a reader on
    // another thread never sees the bank empty or short on the way.

    /** Programs = block n (0..3) of the embedded factory image; the edit buffer is left alone.
        Any other n does nothing. */
    void loadFactoryBank (int n);
    /** Programs = the 32768 bytes of block n (0..3) of a saved bank data image. Does nothing unless
        the whole block lies inside the image. */
    void loadFromDataImage (int n, const void* image, size_t numBytes);
    void loadFromDataImage (int n, const juce::MemoryBlock& image) { loadFromDataImage (n, image.getData(), image.getSize()); }
    /** Programs from concatenated 300-byte program dumps: dump i replaces program i, in order, whatever
        bank and program bytes it carries; programs past the last dump are untouched, and dumps past
        the 128th are ignored, and so is a dump of another synth (its program stays as it was). A
        block of fewer than 300 bytes changes nothing. */
    void loadFromDumps (const void* block, size_t numBytes);
    void loadFromDumps (const juce::MemoryBlock& block) { loadFromDumps (block.getData(), block.getSize()); }

    /** The 298-byte edit-buffer dump (F0 01 29 03 …) of program n. */
    juce::MemoryBlock makeEditBufferDumpOf (int n) const;

private:
    void loadFromImageBlock (const void* image, size_t numBytes, size_t offset) noexcept;

    const juce::String bankName;
    std::unique_ptr<std::atomic<uint8_t>[]> programs;
    std::atomic<int> size { 0 };
    std::array<std::atomic<uint8_t>, program::recordSize> editBuffer {};
    std::atomic<uint32_t> editBufferGeneration { 0 };
    std::atomic<EditBufferObserver*> observer { nullptr };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Bank_Program)
};

} // namespace kelvo
