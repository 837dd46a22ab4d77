// The ports file "mhxplports.dat".
#include "FuzzCheck.h"
#include "link/EngineFiles.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto names = kelvo::portNamesFromBytes (data, size);
    FUZZ_CHECK (names.size() == 3);

    // Names written back read as themselves, less any terminator bytes they held.
    const auto file = kelvo::makePortsFile (names);
    const auto again = kelvo::portNamesFromBytes (file.getData(), file.getSize());
    const auto terminators = juce::String::charToString (0x0f) + juce::String::charToString (0x10) + juce::String::charToString (0x11);
    const auto input = names[0].removeCharacters (terminators), output = names[1].removeCharacters (terminators);
    if (input.isEmpty()) // no input name: the file holds no usable names
        FUZZ_CHECK (again[0] == "NONE" && again[1] == "NONE");
    else
        FUZZ_CHECK (again[0] == input && again[1] == output);
    return 0;
}
