#include "librarian/PresetFiles.h"
#include "model/PluginChunks.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace kelvo;

namespace
{
/** 128 slots that all differ from each other, in every byte position that a slip would move. */
juce::MemoryBlock distinctSlots()
{
    juce::MemoryBlock programs ((size_t)program::bankSize);
    auto* bytes = static_cast<uint8_t*> (programs.getData());
    for (size_t i = 0; i < programs.getSize(); ++i)
        bytes[i] = (uint8_t)((i * 7 + i / 256) & 0xff);
    return programs;
}

ProgramRecord distinctPresetRecord()
{
    ProgramRecord r{};
    for (size_t i = 0; i < r.size(); ++i)
        r[i] = (uint8_t)(255 - i);
    return r;
}

/** A standard container ("CcnK") around an opaque chunk, as hosts write .fxp and .fxb files. */
juce::MemoryBlock container (bool bank, const juce::MemoryBlock& chunk, int sizeAdjust = 0)
{
    juce::MemoryOutputStream out;
    const auto headerSize = bank ? 160 : 60;
    out.write ("CcnK", 4);
    out.writeIntBigEndian (headerSize - 8 + (int)chunk.getSize());
    out.write (bank ? "FBCh" : "FPCh", 4);
    out.writeIntBigEndian (bank ? 2 : 1); // format version
    out.write ("Klvo", 4);                // plug-in id
    out.writeIntBigEndian (1);            // plug-in version
    out.writeIntBigEndian (bank ? 128 : 185);
    if (bank)
    {
        out.writeIntBigEndian (5); // current program
        out.writeRepeatedByte (0, 124);
    }
    else
    {
        char name[28] = "A Preset";
        out.write (name, sizeof (name));
    }
    out.writeIntBigEndian ((int)chunk.getSize() + sizeAdjust);
    out.write (chunk.getData(), chunk.getSize());
    return out.getMemoryBlock();
}

juce::MemoryBlock cutAfter (const juce::MemoryBlock& b, size_t size)
{
    return juce::MemoryBlock (b.getData(), size);
}
} // namespace

TEST (PresetFiles, PresetFileIsTheProgramChunkAndReadsBack)
{
    const auto record = distinctPresetRecord();
    const auto file = presetfile::makePresetFile (record);
    ASSERT_EQ (file.getSize(), 285u);
    EXPECT_EQ (std::memcmp (file.getData(), "KelvoPluginSettingsVersion100", 29), 0);
    EXPECT_EQ (std::memcmp (static_cast<const char*> (file.getData()) + 29, record.data(), 256), 0);

    const auto read = presetfile::readPresetFile (file.getData(), file.getSize());
    ASSERT_TRUE (read.has_value());
    EXPECT_EQ (*read, record);
}

TEST (PresetFiles, BankFileHoldsTheSlotsOnlyAndRoundTripsByteForByte)
{
    const auto slots = distinctSlots();
    const auto file = presetfile::makeBankFile (slots);
    ASSERT_EQ (file.getSize(), 32793u);
    EXPECT_EQ (std::memcmp (file.getData(), "KelvoPluginBankVersion100", 25), 0);

    const auto read = presetfile::readBankFile (file.getData(), file.getSize());
    ASSERT_TRUE (read.has_value());
    EXPECT_EQ (*read, slots);
    EXPECT_EQ (presetfile::makeBankFile (*read), file);

    // A host's state (the slots followed by the editing state) loads as its slots alone.
    SessionState session;
    session.currentProgram = 9;
    session.editBuffer = distinctPresetRecord();
    const auto state = makeBankChunk (slots, &session);
    ASSERT_GT (state.getSize(), file.getSize());
    const auto fromState = presetfile::readBankFile (state.getData(), state.getSize());
    ASSERT_TRUE (fromState.has_value());
    EXPECT_EQ (*fromState, slots);
}

TEST (PresetFiles, TruncatedFilesAndWrongTagsYieldNothing)
{
    const auto preset = presetfile::makePresetFile (distinctPresetRecord());
    const auto bank = presetfile::makeBankFile (distinctSlots());

    auto wrongPresetTag = preset;
    static_cast<char*> (wrongPresetTag.getData())[5] = 'x';
    auto wrongBankTag = bank;
    static_cast<char*> (wrongBankTag.getData())[0] = 'k';

    const juce::MemoryBlock cases[] = {cutAfter (preset, 284), cutAfter (preset, 19), wrongPresetTag, bank,
                                       juce::MemoryBlock()};
    for (const auto& c : cases)
        EXPECT_FALSE (presetfile::readPresetFile (c.getData(), c.getSize()).has_value()) << c.getSize();

    const juce::MemoryBlock bankCases[] = {cutAfter (bank, 32792), cutAfter (bank, 25), wrongBankTag, preset,
                                           juce::MemoryBlock()};
    for (const auto& c : bankCases)
        EXPECT_FALSE (presetfile::readBankFile (c.getData(), c.getSize()).has_value()) << c.getSize();

    EXPECT_FALSE (presetfile::readPresetFile (nullptr, 300).has_value());
}

TEST (PresetFiles, StandardContainersAreReadThroughTheirChunk)
{
    const auto record = distinctPresetRecord();
    const auto slots = distinctSlots();

    const auto fxp = container (false, presetfile::makePresetFile (record));
    const auto fromFxp = presetfile::readPresetFile (fxp.getData(), fxp.getSize());
    ASSERT_TRUE (fromFxp.has_value());
    EXPECT_EQ (*fromFxp, record);

    SessionState session;
    const auto fxb = container (true, makeBankChunk (slots, &session));
    const auto fromFxb = presetfile::readBankFile (fxb.getData(), fxb.getSize());
    ASSERT_TRUE (fromFxb.has_value());
    EXPECT_EQ (*fromFxb, slots);

    // A container is not taken for the other kind, and a chunk of another plug-in is not ours.
    EXPECT_FALSE (presetfile::readBankFile (fxp.getData(), fxp.getSize()).has_value());
    EXPECT_FALSE (presetfile::readPresetFile (fxb.getData(), fxb.getSize()).has_value());
    const auto foreign = container (false, juce::MemoryBlock (300, true));
    EXPECT_FALSE (presetfile::readPresetFile (foreign.getData(), foreign.getSize()).has_value());

    // A size field that runs past the end, a cut container and a parameter list give nothing.
    const auto overlong = container (false, presetfile::makePresetFile (record), 1);
    EXPECT_FALSE (presetfile::readPresetFile (overlong.getData(), overlong.getSize()).has_value());
    EXPECT_FALSE (presetfile::readPresetFile (fxp.getData(), 58).has_value());
    auto parameters = fxp;
    std::memcpy (static_cast<char*> (parameters.getData()) + 8, "FxCk", 4);
    EXPECT_FALSE (presetfile::chunkInContainer (parameters.getData(), parameters.getSize()).has_value());
}
