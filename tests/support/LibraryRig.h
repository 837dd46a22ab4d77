#pragma once

#include "librarian/LibraryStore.h"
#include "librarian/ProgramLibrary.h"
#include "model/Bank_Program.h"
#include "model/ProgramRecord.h"
#include "support/TestHelpers.h"

#include <memory>
#include <vector>

namespace kelvo::test
{
/** A program that differs from every other by its seed (a sound byte) and carries a name and category. */
inline ProgramRecord programWith (int seed, const char* name = "Prog", int category = 0)
{
    auto r = initialProgram();
    r[20] = (uint8_t)(seed % 165);
    r[21] = (uint8_t)(seed / 165);
    r[program::categoryIndex] = (uint8_t)category;
    const auto bytes = encodeProgramName (name);
    std::copy (bytes.begin(), bytes.end(), r.begin() + program::nameOffset);
    return r;
}

inline juce::MemoryBlock entriesOf (const std::vector<ProgramRecord>& records)
{
    juce::MemoryBlock block;
    for (const auto& r : records)
        block.append (r.data(), r.size());
    return block;
}

/** Records what a store reports. */
struct Recorder : StsFileListener
{
    void listNotification (int code, int value) override { calls.push_back ({code, value}); }
    std::vector<std::pair<int, int>> calls;
};

inline std::vector<int> listedEntries (const LibraryStore& s)
{
    std::vector<int> rows;
    for (int r = 0; r < s.getNumRows(); ++r)
        rows.push_back (s.getRowEntry (r));
    return rows;
}

/** A library over a temporary settings folder, with an edit buffer and a record of applied chunks. */
struct LibraryRig
{
    TempFolder temp;
    Bank_Program pluginBank{"Program Bank"};
    std::vector<juce::MemoryBlock> applied;
    juce::StringArray told;
    juce::File file = ProgramLibrary::defaultFileIn (temp.folder);

    LibraryRig() { pluginBank.initialise(); }

    std::unique_ptr<ProgramLibrary> open (const juce::File& f)
    {
        auto lib = std::make_unique<ProgramLibrary> (
            f, pluginBank, [this] (const juce::MemoryBlock& chunk) { applied.push_back (chunk); },
            [this] (const juce::String& text) { told.add (text); });
        lib->loadDefaultFile();
        return lib;
    }
    std::unique_ptr<ProgramLibrary> open() { return open (file); }
};
} // namespace kelvo::test
