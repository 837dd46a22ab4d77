#include "link/EngineEventHub.h"
#include "link/MidiCntrState.h"
#include "link/TransferListener.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <thread>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
/** Writes down what a transfer listener hears, and on which thread. */
struct TransferLog final : TransferListener
{
    void transmissionStarting (int firstBank, int lastBank) override
    {
        heard.push_back ("start " + std::to_string (firstBank) + ".." + std::to_string (lastBank));
        onMessageThread = onMessageThread && juce::MessageManager::existsAndIsCurrentThread();
    }
    void transferEventArrived (int32_t code) override
    {
        const auto [bank, program] = event::bankProgramOf (code);
        heard.push_back ((event::isKind (code, event::bankTransferFinished) ? "finished " : "news ") +
                         std::to_string (bank) + ":" + std::to_string (program));
        onMessageThread = onMessageThread && juce::MessageManager::existsAndIsCurrentThread();
    }
    void transferEnded() override { heard.push_back ("ended"); }

    std::vector<std::string> heard;
    bool onMessageThread = true;
};

struct HubFixture : ::testing::Test
{
    TempFolder temp;
    VirtualRig rig;
    std::unique_ptr<MidiCntrState> engine;
    TransferLog log;

    void SetUp() override
    {
        engine = std::make_unique<MidiCntrState> (rig.makeDevices(), temp.folder);
        engine->addTransferListener (&log);
    }

    void TearDown() override
    {
        engine->removeTransferListener (&log);
        engine.reset();
    }

    /** Posts on a thread of the link's (the sender's) or on a host's, and waits until it is done. */
    void postFrom (bool linkThread, std::vector<int32_t> codes)
    {
        std::thread poster (
            [&]
            {
                if (linkThread)
                    EngineEventHub::markSenderThread();
                for (auto c : codes)
                    engine->postEvent (c);
            });
        poster.join();
    }
};
} // namespace

// Nobody takes the events (no editor), yet a transfer listener hears every transfer's news, in
// order, on the message thread, and nothing else.
TEST_F (HubFixture, ATransferListenerHearsTheNewsWithNobodyTakingEvents)
{
    postFrom (true, {event::bankProgramCode (event::bankTransferProgress, 1, 0), event::parameterCode (20, 5),
                     event::bankProgramCode (event::bankTransferProgress, 1, 1), event::bankContentsChanged,
                     event::bankTransferFinished});
    ASSERT_TRUE (pumpUntil ([&] { return log.heard.size() == 3; }));
    EXPECT_EQ (log.heard, (std::vector<std::string>{"news 1:0", "news 1:1", "finished 0:0"}));
    EXPECT_TRUE (log.onMessageThread);

    std::vector<int32_t> taken;
    engine->takeEvents (taken);
    EXPECT_TRUE (taken.empty());
}

// News that a host's thread left waiting (it may not wake the message thread) is told before the
// transfer's end or the next start, never after.
TEST_F (HubFixture, WaitingNewsComesBeforeTheEndAndTheNextStart)
{
    postFrom (false, {event::bankProgramCode (event::bankTransferFailed, 2, 7)});
    pumpFor (30);
    EXPECT_TRUE (log.heard.empty());

    engine->announceTransferEnded();
    postFrom (false, {event::bankProgramCode (event::programDumpArrived, 0, 3)});
    engine->announceTransmissionStarting (0, 3);
    EXPECT_EQ (log.heard, (std::vector<std::string>{"news 2:7", "ended", "news 0:3", "start 0..3"}));
}
