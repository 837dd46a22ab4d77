// DSI_Program::setFromBlock: a record, an edit-buffer dump or a program dump, chosen by length;
// another synth's dump is refused.
#include "FuzzCheck.h"
#include "model/DSI_Program.h"
#include "model/ProgramPacking.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    kelvo::DSI_Program program;
    const auto before = program.getRecord();
    const auto accepted = program.setFromBlock (data, size);

    const auto isDump = size == 298 || size == 300;
    FUZZ_CHECK (accepted == (size == 256 || (isDump && kelvo::isMophoX4Message (data, size))));
    if (! accepted)
    {
        FUZZ_CHECK (program.getRecord() == before);
        return 0;
    }

    FUZZ_CHECK (program.name.length() <= 16);
    // Whatever was read goes back to the synth and comes back unchanged.
    const auto dump = program.makeEditBufferDump();
    kelvo::DSI_Program back;
    FUZZ_CHECK (back.setFromBlock (dump));
    FUZZ_CHECK (back.getRecord() == program.getRecord());
    return 0;
}
