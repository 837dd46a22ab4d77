// The bank data file "data_X4m.mph". Its length decides what is read, so the first three bytes
// choose a length up to a little past a whole file and the rest, repeated, fills it: the fuzzer
// reaches every length without having to grow inputs of 131 kB.
#include "FuzzCheck.h"
#include "link/EngineFiles.h"
#include "model/BankImage.h"
#include "model/Bank_Program.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const auto length = ((size_t) data[0] | ((size_t) data[1] << 8) | ((size_t) data[2] << 16)) % (kelvo::bankimage::dataFileImageSize + 64);
    std::vector<uint8_t> image (length);
    for (size_t i = 0; i < length; ++i)
        image[i] = data[3 + i % (size - 3)];

    kelvo::Bank_Program u1 ("U1"), u2 ("U2"), u3 ("U3"), u4 ("U4");
    kelvo::loadUserBanks ({ &u1, &u2, &u3, &u4 }, image.data(), image.size());

    const auto whole = kelvo::numLoadableBanks (image.size());
    FUZZ_CHECK (whole >= 0 && whole <= 4);
    FUZZ_CHECK (whole == 0 || image.size() > 1000);
    for (auto* bank : { &u1, &u2, &u3, &u4 })
        FUZZ_CHECK (bank->getSize() == kelvo::program::bankSize);
    if (whole >= 1)
        FUZZ_CHECK (u1.getProgramRecord (127) == kelvo::toRecord (image.data() + 14 + 127 * 256, 256));
    return 0;
}
