// The LV2 as hosts that build their own messages meet it (jalv, Qtractor, Ardour): through a bare
// host that controls every byte on the wire and the size of the plug-in's output buffer.
#include "hosting/RawLv2Host.h"
#include "hosting/SavedChunk.h"

#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

#include <chrono>
#include <thread>

using namespace kelvo::test;

namespace
{
constexpr auto pluginUri = "urn:marvex:kelvo";
constexpr uint32_t blockLength = 1024;
constexpr size_t numParameters = 185;

std::string parameterUri (int index)
{
    return pluginUri + (":p" + juce::String (index).paddedLeft ('0', 3)).toStdString();
}

/** Runs blocks at about the pace of a real host until every parameter was reported or a second
    passed. */
void runUntilEveryValueIsReported (RawLv2Host& host)
{
    for (int block = 0; block < 100 && host.getReported().size() < numParameters; ++block)
    {
        host.run (blockLength);
        std::this_thread::sleep_for (std::chrono::milliseconds (10));
    }
}

/** The edit buffer's byte in the state the plug-in saves. */
int savedEditBufferByte (RawLv2Host& host, int index)
{
    juce::MemoryBlock chunk;
    if (!chunk.fromBase64Encoding (host.saveState().value) || chunk.getSize() < trailerEditBufferOffset + 256)
        return -1;
    return static_cast<const uint8_t*> (chunk.getData())[trailerEditBufferOffset + (size_t)index];
}
} // namespace

// A host has only what the plug-in tells it to show. Each block's output holds what fits into the
// host's buffer; what does not fit is lost. Hosts give the buffer the plug-in asks for, or less (a
// fixed size, or what is left in a ring to the host's window), so every value must arrive in
// blocks that a small buffer holds, at start and after a restored state.
TEST (Lv2Wire, EveryValueReachesAHostWithASmallOutputBuffer)
{
    RawLv2Host host (KELVO_LV2_BUNDLE, pluginUri, 4096);
    ASSERT_TRUE (host.isLoaded());

    runUntilEveryValueIsReported (host);
    const auto& reported = host.getReported();
    EXPECT_EQ (reported.size(), numParameters);
    // The initial program: OSC1 FREQ 24 of 120, Flt Freq 148 of 164, the name's first character 'U'.
    for (auto [index, value] : {std::pair{0, 24.0f / 120.0f}, {20, 148.0f / 164.0f}, {184, 85.0f / 126.0f}})
    {
        ASSERT_EQ (reported.count (parameterUri (index)), 1u) << index;
        EXPECT_NEAR (reported.at (parameterUri (index)), value, 1e-5) << index;
    }

    // A restored state is told whole, again in blocks that fit.
    RawLv2Host::PatchSet cutoff;
    cutoff.property = parameterUri (20);
    cutoff.value = 0.5f;
    host.run (blockLength, {cutoff});
    const auto state = host.saveState();
    ASSERT_FALSE (state.value.empty());
    RawLv2Host second (KELVO_LV2_BUNDLE, pluginUri, 4096);
    ASSERT_TRUE (second.isLoaded());
    runUntilEveryValueIsReported (second);
    second.clearReported();
    ASSERT_TRUE (second.restoreState (state));
    runUntilEveryValueIsReported (second);
    EXPECT_EQ (second.getReported().size(), numParameters);
    EXPECT_NEAR (second.getReported().at (parameterUri (20)), 82.0f / 164.0f, 1e-5);
}

// Qtractor's generic form sends a moved slider as a patch:Set with a float, in an object with an
// id, timed at the end of the block, with a patch:Get for every value beside it. The value lands.
TEST (Lv2Wire, ASliderFromAGenericFormLands)
{
    RawLv2Host host (KELVO_LV2_BUNDLE, pluginUri, 21512);
    ASSERT_TRUE (host.isLoaded());
    host.run (blockLength);
    ASSERT_EQ (savedEditBufferByte (host, 20), 148);

    RawLv2Host::PatchSet slider;
    slider.property = parameterUri (20);
    slider.value = 0.5f;
    slider.objectId = 1;
    slider.frames = blockLength;
    slider.withGetBefore = true;
    host.run (blockLength, {slider});
    host.run (blockLength);
    EXPECT_EQ (savedEditBufferByte (host, 20), 82);
}
