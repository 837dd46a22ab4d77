#include "model/DSI_Program.h"
#include "model/ProgramPacking.h"

#include <gtest/gtest.h>

#include <random>

using namespace kelvo;

TEST (ProgramPacking, KnownBytes)
{
    ProgramRecord zeros {};
    const auto packedZeros = packProgramData (zeros);
    for (auto b : packedZeros)
        ASSERT_EQ (b, 0);

    ProgramRecord r {};
    r[0] = 200;
    r[255] = 0x81;
    const auto packed = packProgramData (r);
    EXPECT_EQ (packed[0], 1);   // top bit of byte 0
    EXPECT_EQ (packed[1], 72);  // 200 - 128
    // The last group holds bytes 252..255 behind header 288.
    EXPECT_EQ (packed[288], 0x08);
    EXPECT_EQ (packed[292], 0x01);
}

TEST (ProgramPacking, RandomRecordsRoundTrip)
{
    std::mt19937 rng (1234);
    for (int trial = 0; trial < 200; ++trial)
    {
        ProgramRecord r;
        for (auto& b : r)
            b = (uint8_t) rng();
        const auto packed = packProgramData (r);
        for (auto b : packed)
            ASSERT_LT (b, 0x80);
        ASSERT_EQ (unpackProgramData (packed.data()), r);
    }
}

TEST (ProgramPacking, DumpShapesByLength)
{
    ProgramRecord r;
    for (size_t i = 0; i < r.size(); ++i)
        r[i] = (uint8_t) (255 - i);

    const auto editDump = makeEditBufferDump (r);
    const auto programDump = makeProgramDump (2, 17, r);
    ASSERT_EQ (editDump.getSize(), 298u);
    ASSERT_EQ (programDump.getSize(), 300u);
    const auto* e = static_cast<const uint8_t*> (editDump.getData());
    const auto* p = static_cast<const uint8_t*> (programDump.getData());
    EXPECT_EQ (std::vector<uint8_t> (e, e + 4), (std::vector<uint8_t> { 0xf0, 0x01, 0x29, 0x03 }));
    EXPECT_EQ (std::vector<uint8_t> (p, p + 6), (std::vector<uint8_t> { 0xf0, 0x01, 0x29, 0x02, 2, 17 }));
    EXPECT_EQ (e[297], 0xf7);
    EXPECT_EQ (p[299], 0xf7);

    for (const auto& block : { toBlock (r), editDump, programDump })
    {
        DSI_Program program;
        ASSERT_TRUE (program.setFromBlock (block));
        EXPECT_EQ (program.getRecord(), r);
    }

    // Another synth's dump of the same length is not a Mopho x4 program.
    for (auto dump : { editDump, programDump })
        for (const uint8_t device : { sysex::deviceMopho, sysex::deviceTetra, sysex::deviceMophoKeyboard })
        {
            static_cast<uint8_t*> (dump.getData())[2] = device;
            DSI_Program fromOther;
            EXPECT_FALSE (fromOther.setFromBlock (dump));
            EXPECT_EQ (fromOther.getRecord(), initialProgram());
        }

    DSI_Program untouched;
    EXPECT_FALSE (untouched.setFromBlock (juce::MemoryBlock (299, true)));
    EXPECT_FALSE (untouched.setFromBlock (nullptr, 256));
    EXPECT_EQ (untouched.getRecord(), initialProgram());
}

TEST (ProgramPacking, InitialProgramDump)
{
    DSI_Program initial;
    const auto dump = initial.makeEditBufferDump();
    EXPECT_EQ (dump, initial.dump);
    ASSERT_EQ (dump.getSize(), 298u);

    DSI_Program back;
    back.setData (juce::MemoryBlock (256, true));
    ASSERT_TRUE (back.setFromBlock (dump));
    EXPECT_EQ (back.getRecord(), initialProgram());
    EXPECT_EQ (back.name, "Untitled        ");
}
