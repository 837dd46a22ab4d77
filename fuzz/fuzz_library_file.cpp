// A library file (".m_l"), read as an import of the user's choosing is: the header check, the
// entries staged each once, appended to a library (leaving out those it holds already), listed with a category filter and a search.
#include "FuzzCheck.h"
#include "librarian/LibraryFile.h"
#include "librarian/LibraryStore.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    using namespace kelvo;
    const auto entries = libraryfile::readEntries (data, size);
    const size_t expected = size >= 269 ? (size - 13) / 256 : 0;
    FUZZ_CHECK (entries.getSize() == expected * 256);

    if (! libraryfile::hasHeader (data, size))
        return 0;
    FUZZ_CHECK (std::memcmp (data, "Mopho  Libr >", 13) == 0);

    LibraryStore store;
    store.replaceData (entries);
    const juce::MemoryBlock file (data, size);
    store.stageEntries (file, libraryfile::headerSize);
    FUZZ_CHECK ((size_t) store.getNumStaged() <= expected);
    // An append leaves out what the library holds already, and says how many it left out.
    const auto skipped = store.commitImport (true);
    FUZZ_CHECK (skipped >= 0 && skipped <= store.getNumStaged());
    FUZZ_CHECK ((size_t) store.getNumEntries() == expected + (size_t) (store.getNumStaged() - skipped));

    // Every entry is found through the index at its first place, and no staged entry twice.
    for (int i = 0; i < store.getNumEntries(); ++i)
    {
        const auto first = store.findEntry (store.getEntry (i));
        FUZZ_CHECK (first >= 0 && first <= i);
        FUZZ_CHECK (std::memcmp (store.getEntry (first), store.getEntry (i), 256) == 0);
        if (i >= (int) expected)
            FUZZ_CHECK (first < (int) expected || first == i);
        FUZZ_CHECK (store.entryName (i).length() == 16);
    }

    const auto category = size > 20 ? data[20] % 30 : 0;
    store.setFilterCategory (category);
    store.rebuildView (LibraryStore::FilterMode::category);
    store.setSearchText (juce::String::fromUTF8 (reinterpret_cast<const char*> (data) + 13, (int) juce::jmin<size_t> (size - 13, 3)));
    int counted = 0;
    for (int c = 0; c < LibraryStore::numCounters; ++c)
        counted += store.getCategoryCount (c);
    FUZZ_CHECK (counted <= store.getNumEntries());
    FUZZ_CHECK (store.getNumRows() <= store.getCategoryCount (category));
    for (int r = 0; r < store.getNumRows(); ++r)
        FUZZ_CHECK (store.getEntry (store.getRowEntry (r))[117] == category);
    return 0;
}
