#pragma once

#include "model/ProgramRecord.h"

#include <juce_core/juce_core.h>

#include <deque>
#include <optional>
#include <vector>

namespace kelvo
{

/**
    The labelled steps that can be undone and redone, oldest first, with a bounded number kept.

    A step holds only what it changed: the edit-buffer bytes with their values before and after, and
    for a store into the synth's program memory the program it replaced and the one written. A step
    that replaced the whole sound says so, so that whoever applies it sends the whole sound rather
    than its parameters one by one.

    Not thread-safe: its owner keeps it on one thread.
*/
class EditHistory
{
public:
    struct ByteChange
    {
        uint8_t index = 0, before = 0, after = 0;
    };

    /** A program of a synth bank overwritten by the step. */
    struct MemoryWrite
    {
        int bank = 0, program = 0;
        ProgramRecord replaced{}, written{};
    };

    /** A slot of the plug-in's preset bank overwritten by the step. */
    struct SlotWrite
    {
        int slot = 0;
        ProgramRecord replaced{}, written{};
    };
    struct Step
    {
        juce::String label;
        bool wholeSound = false;
        std::vector<ByteChange> changes;
        std::optional<MemoryWrite> write;
        /** The programs that a transmission of local banks changed in the synth's memory, each
            with what the synth held before; programs it sent unchanged are left out. */
        std::vector<MemoryWrite> transmitted;
        /** The preset bank's slots that the step overwrote, each with what it held before. */
        std::vector<SlotWrite> presetSlots{};
    };

    static constexpr size_t defaultMaxSteps = 500;
    /** Steps that hold a transmission or a load of several preset slots kept at most: each may
        hold whole banks twice over (up to 512 KB), so the oldest steps go, up to such a step, when
        there are more. */
    static constexpr size_t maxTransmissionSteps = 8;

    explicit EditHistory (size_t stepBound = defaultMaxSteps) : maxSteps (juce::jmax ((size_t)1, stepBound))
    {
    }

    /** Adds a step as the newest; whatever was undone can no longer be redone. The oldest step goes
        when more than the bound are kept. */
    void add (Step step);
    /** The newest step, moved to the redo list; nullptr when there is none. The pointer is valid
        until the history next changes. */
    const Step* undo();
    /** The newest undone step, done again; nullptr when there is none. */
    const Step* redo();
    void clear();
    /** The step that undo or redo would take next; nullptr when there is none. */
    const Step* nextUndo() const noexcept { return done.empty() ? nullptr : &done.back(); }
    const Step* nextRedo() const noexcept { return undone.empty() ? nullptr : &undone.back(); }

    bool canUndo() const noexcept { return !done.empty(); }
    bool canRedo() const noexcept { return !undone.empty(); }
    juce::String getUndoLabel() const { return canUndo() ? done.back().label : juce::String(); }
    juce::String getRedoLabel() const { return canRedo() ? undone.back().label : juce::String(); }
    size_t getNumUndoSteps() const noexcept { return done.size(); }
    size_t getNumRedoSteps() const noexcept { return undone.size(); }

    /** The bytes in which two records differ. */
    static std::vector<ByteChange> changesBetween (const ProgramRecord& before, const ProgramRecord& after);
    /** A record with each change's before (undo) or after value written over it. */
    static ProgramRecord applied (ProgramRecord record, const std::vector<ByteChange>& changes, bool undoing);

private:
    size_t maxSteps;
    std::deque<Step> done, undone;
};

} // namespace kelvo
