// splitProgramDumps: the program dumps inside a bank file.
#include "FuzzCheck.h"
#include "model/ProgramPacking.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto split = kelvo::splitProgramDumps (data, size);
    FUZZ_CHECK (split.dumps.getSize() == (size_t) split.count * 300);
    FUZZ_CHECK ((size_t) split.count * 300 <= size);

    const auto* d = static_cast<const uint8_t*> (split.dumps.getData());
    for (int i = 0; i < split.count; ++i)
        FUZZ_CHECK (d[i * 300] == 0xf0 && d[i * 300 + 299] == 0xf7);

    // Splitting what was found finds the same again.
    FUZZ_CHECK (kelvo::splitProgramDumps (split.dumps).count == split.count);
    return 0;
}
