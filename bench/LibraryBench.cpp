#include "librarian/LibraryFile.h"
#include "librarian/LibraryStore.h"
#include "model/ParameterTable.h"

#include <benchmark/benchmark.h>

#include <ctime>

using namespace kelvo;

namespace
{
constexpr int libraryEntries = 10000;
constexpr int fileEntries = 512;

/** Program n: a sound of its own, a name and a category, as a real library holds them. */
ProgramRecord programNumber (int n)
{
    auto r = initialProgram();
    r[0] = (uint8_t)(n % 121);
    r[20] = (uint8_t)((n / 121) % 165);
    r[21] = (uint8_t)(n / (121 * 165));
    r[program::categoryIndex] = (uint8_t)(n % 26);
    const auto name = encodeProgramName ("Program " + juce::String (n));
    std::copy (name.begin(), name.end(), r.begin() + program::nameOffset);
    return r;
}

/** This thread's CPU time: the machine is shared, and wall time would count other processes. */
double threadSeconds()
{
    timespec t{};
    clock_gettime (CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1.0e-9;
}

void fillLibrary (LibraryStore& store)
{
    juce::MemoryBlock entries ((size_t)libraryEntries * program::recordSize);
    for (int n = 0; n < libraryEntries; ++n)
        entries.copyFrom (programNumber (n).data(), n * program::recordSize, program::recordSize);
    store.replaceData (entries);
    store.rebuildView (LibraryStore::FilterMode::all);
}

/** Adding one new program to a library of 10 000: the duplicate check, the append, the rebuilt
    view and the selection of the new row. Only the add is timed; the entry is deleted again after. */
void BM_LibraryAddOne (benchmark::State& state)
{
    LibraryStore store;
    fillLibrary (store);
    int n = libraryEntries;
    for (auto _ : state)
    {
        const auto record = programNumber (n++);
        const auto start = threadSeconds();
        const bool added = store.addProgram ("New Program", record);
        state.SetIterationTime (threadSeconds() - start);
        if (!added || store.getNumEntries() != libraryEntries + 1)
            state.SkipWithError ("not added");
        store.deleteSelected();
    }
}
BENCHMARK (BM_LibraryAddOne)->UseManualTime()->Unit (benchmark::kMicrosecond);

/** Staging a 512-program library file (a third of them repeated) while the library holds 10 000. */
void BM_LibraryStageFile (benchmark::State& state)
{
    LibraryStore store;
    fillLibrary (store);
    juce::MemoryBlock entries ((size_t)fileEntries * program::recordSize);
    for (int i = 0; i < fileEntries; ++i)
        entries.copyFrom (programNumber (5000 + i % 340).data(), i * program::recordSize,
                          program::recordSize);
    const auto file = libraryfile::make (entries);

    for (auto _ : state)
    {
        store.stageEntries (file, libraryfile::headerSize);
        if (store.getNumStaged() != 340)
            state.SkipWithError ("wrong count");
    }
}
BENCHMARK (BM_LibraryStageFile)->Unit (benchmark::kMicrosecond);

/** The view of 10 000 entries rebuilt (what every change ends in). */
void BM_LibraryRebuildView (benchmark::State& state)
{
    LibraryStore store;
    fillLibrary (store);
    for (auto _ : state)
        store.rebuildView (LibraryStore::FilterMode::all);
}
BENCHMARK (BM_LibraryRebuildView)->Unit (benchmark::kMicrosecond);

/** 10 000 sounds that differ in every parameter, each value within its range, from a fixed seed. */
void fillWithRandomSounds (LibraryStore& store)
{
    const ParameterTable table;
    juce::Random random (28);
    juce::MemoryBlock entries ((size_t)libraryEntries * program::recordSize);
    auto* bytes = static_cast<uint8_t*> (entries.getData());
    for (int n = 0; n < libraryEntries; ++n)
    {
        auto r = programNumber (n);
        for (int i = 0; i < program::nameOffset; ++i)
            if (i != program::categoryIndex)
                r[(size_t)i] = (uint8_t)random.nextInt (table.getMax (i) + 1);
        std::copy (r.begin(), r.end(), bytes + (size_t)n * program::recordSize);
    }
    store.replaceData (entries);
    store.rebuildView (LibraryStore::FilterMode::all);
}

/** The 20 sounds nearest to a library entry among 10 000 (the goal: under 10 ms). The first search
    after a change also takes every entry's features: BM_LibrarySimilarAfterChange times that. */
void BM_LibrarySimilarNearest20 (benchmark::State& state)
{
    LibraryStore store;
    fillWithRandomSounds (store);
    store.findSimilar (store.getEntry (0), 20, 0);
    int target = 0;
    for (auto _ : state)
    {
        target = (target + 7919) % libraryEntries;
        const auto found = store.findSimilar (store.getEntry (target), 20, target);
        if (found.size() != 20)
            state.SkipWithError ("not 20");
        benchmark::DoNotOptimize (found.data());
    }
}
BENCHMARK (BM_LibrarySimilarNearest20)->Unit (benchmark::kMillisecond);

/** The same right after the library changed: the features are taken again first. */
void BM_LibrarySimilarAfterChange (benchmark::State& state)
{
    LibraryStore store;
    fillWithRandomSounds (store);
    int target = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        store.setEntryName (target, "Changed");
        state.ResumeTiming();
        const auto found = store.findSimilar (store.getEntry (target), 20, target);
        if (found.size() != 20)
            state.SkipWithError ("not 20");
        target = (target + 7919) % libraryEntries;
    }
}
BENCHMARK (BM_LibrarySimilarAfterChange)->Unit (benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
