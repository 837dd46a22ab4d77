// The settings file "mphedstx.dat".
#include "FuzzCheck.h"
#include "link/EngineFiles.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto loaded = kelvo::settingsFromBytes (data, size);
    FUZZ_CHECK (loaded.entries.size() == 50);

    // What is written back reads as the same entries, once made safe.
    const auto text = kelvo::makeSettingsText (loaded.entries);
    const auto utf8 = text.toUTF8();
    const auto again = kelvo::settingsFromBytes (utf8.getAddress(), utf8.sizeInBytes() - 1);
    FUZZ_CHECK (again.entries.size() == 50);
    for (int i = 0; i < 50; ++i)
        FUZZ_CHECK (again.entries[i] == kelvo::makeSettingsEntrySafe (loaded.entries[i]));
    return 0;
}
