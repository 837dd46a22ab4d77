#include "model/EditHistory.h"

#include <algorithm>

namespace kelvo
{

void EditHistory::add (Step step)
{
    undone.clear();
    done.push_back (std::move (step));
    while (done.size() > maxSteps)
        done.pop_front();

    const auto holdsBanks = [] (const Step& s) { return !s.transmitted.empty() || s.presetSlots.size() > 1; };
    while ((size_t)std::count_if (done.begin(), done.end(), holdsBanks) > maxTransmissionSteps)
    {
        const auto oldest = std::find_if (done.begin(), done.end(), holdsBanks);
        done.erase (done.begin(), std::next (oldest));
    }
}

const EditHistory::Step* EditHistory::undo()
{
    if (done.empty())
        return nullptr;
    undone.push_back (std::move (done.back()));
    done.pop_back();
    return &undone.back();
}

const EditHistory::Step* EditHistory::redo()
{
    if (undone.empty())
        return nullptr;
    done.push_back (std::move (undone.back()));
    undone.pop_back();
    return &done.back();
}

void EditHistory::clear()
{
    done.clear();
    undone.clear();
}

std::vector<EditHistory::ByteChange> EditHistory::changesBetween (const ProgramRecord& before,
                                                                  const ProgramRecord& after)
{
    std::vector<ByteChange> changes;
    for (size_t i = 0; i < before.size(); ++i)
        if (before[i] != after[i])
            changes.push_back ({(uint8_t)i, before[i], after[i]});
    return changes;
}

ProgramRecord EditHistory::applied (ProgramRecord record, const std::vector<ByteChange>& changes,
                                    bool undoing)
{
    for (const auto& c : changes)
        record[c.index] = undoing ? c.before : c.after;
    return record;
}

} // namespace kelvo
