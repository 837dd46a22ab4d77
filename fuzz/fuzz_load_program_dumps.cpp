// Bank_Program::loadFromDumps: a bank from a block of program dumps.
#include "FuzzCheck.h"
#include "model/Bank_Program.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    kelvo::Bank_Program bank ("fuzz");
    bank.initialise();
    const auto lastUntouched = std::min<size_t> (size / 300, 128);
    bank.loadFromDumps (data, size);

    FUZZ_CHECK (bank.getSize() == kelvo::program::bankSize);
    if (lastUntouched < 128)
        FUZZ_CHECK (bank.getProgramRecord ((int) lastUntouched) == kelvo::initialProgram());

    // An empty bank grows program by program, never past 128.
    kelvo::Bank_Program empty ("empty");
    empty.loadFromDumps (data, size);
    FUZZ_CHECK (empty.getSize() == (int) lastUntouched * kelvo::program::recordSize);
    return 0;
}
