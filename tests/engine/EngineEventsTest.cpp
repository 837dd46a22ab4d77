#include "link/EngineEvents.h"

#include <gtest/gtest.h>

#include <set>

using namespace kelvo;

// Every payload comes back out of its code as it went in, at the edges of its range, and never
// changes the code's kind.
TEST (EngineEvents, EveryEncoderHasADecoderThatGivesItsPayloadBack)
{
    for (const auto base :
         {event::bankTransferProgress, event::bankTransferFailed, event::programDumpArrived})
        for (const auto& [bank, program] : {std::pair{0, 0}, {7, 127}, {3, 1}, {255, 255}})
        {
            const auto code = event::bankProgramCode (base, bank, program);
            EXPECT_TRUE (event::isKind (code, base)) << bank << ":" << program;
            EXPECT_EQ (event::bankProgramOf (code).bank, bank);
            EXPECT_EQ (event::bankProgramOf (code).program, program);
        }

    for (const auto& [index, value] : {std::pair{0, 0}, {184, 255}, {255, 1}, {20, 164}})
    {
        const auto code = event::parameterCode (index, value);
        EXPECT_TRUE (event::isKind (code, event::parameterChanged));
        EXPECT_EQ (event::parameterOf (code).index, index);
        EXPECT_EQ (event::parameterOf (code).value, value);
    }

    for (const auto index : {0, 9, 99})
    {
        EXPECT_TRUE (event::isKind (event::globalCode (index), event::globalChanged));
        EXPECT_EQ (event::globalIndexOf (event::globalCode (index)), index);
    }

    // The count saturates rather than spilling into the kind.
    for (const auto& [dropped, read] :
         {std::pair{1, 1}, {0xfffff, 0xfffff}, {0x100000, 0xfffff}, {1 << 30, 0xfffff}})
    {
        EXPECT_TRUE (event::isKind (event::overflowCode (dropped), event::midiOutputOverflow)) << dropped;
        EXPECT_EQ (event::droppedCountOf (event::overflowCode (dropped)), read) << dropped;
    }
}

TEST (EngineEvents, EchoesCarryStatusChannelAndBothDataBytes)
{
    struct Case
    {
        int status, channel, high, low;
    };
    for (const auto c : {Case{event::controllerEcho, 1, 1, 77}, Case{event::controllerEcho, 16, 127, 0},
                         Case{event::pitchWheelEcho, 1, 64, 0}, Case{event::pitchWheelEcho, 16, 0, 127}})
    {
        const auto code = event::echoCode (c.status, c.channel, c.high, c.low);
        const auto echo = event::echoOf (code);
        EXPECT_TRUE (event::isEcho (code));
        EXPECT_EQ (event::kindOf (code), c.status);
        EXPECT_EQ (echo.status, c.status);
        EXPECT_EQ (echo.channel, c.channel);
        EXPECT_EQ (echo.high, c.high);
        EXPECT_EQ (echo.low, c.low);
    }
}

// A decoder that took one kind for another would hand an editor the wrong news.
TEST (EngineEvents, NoTwoKindsShareACode)
{
    const int32_t kinds[] = {event::parameterChanged,
                             event::editBufferReplaced,
                             event::online,
                             event::offline,
                             event::bankTransferFinished,
                             event::bankTransferProgress,
                             event::bankTransferFailed,
                             event::bankContentsChanged,
                             event::midiOutputOverflow,
                             event::sysExTooLong,
                             event::programDumpArrived,
                             event::globalChanged,
                             event::pluginProgramChanged,
                             event::noticePosted};
    std::set<int32_t> seen;
    for (const auto k : kinds)
    {
        EXPECT_TRUE (seen.insert (event::kindOf (k)).second) << std::hex << k;
        EXPECT_FALSE (event::isEcho (k)) << std::hex << k;
    }
    for (int channel = 1; channel <= 16; ++channel)
        for (const auto status : {event::controllerEcho, event::pitchWheelEcho})
            EXPECT_EQ (seen.count (event::kindOf (event::echoCode (status, channel, 127, 127))), 0u);
}
