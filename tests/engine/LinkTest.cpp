#include "instrument/SimulatorDevices.h"
#include "link/BankTransfer.h"
#include "link/MIDI_PORTS_Control.h"
#include "link/MidiCntrState.h"
#include "model/ProgramPacking.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
/** An engine connected to the simulator through virtual ports, with an editor-like listener. */
struct LinkFixture : ::testing::Test
{
    using Clock = std::chrono::steady_clock;

    TempFolder temp;
    RecordingSink toSynth;
    // When each message reached the synth, and a way to make the output stall.
    std::mutex arrivalLock;
    std::vector<std::pair<Clock::time_point, std::vector<uint8_t>>> arrivals;
    std::atomic<bool> holdOutput { false };
    SimulatorDevices* devices = nullptr;
    Bank_Program pluginBank { "Program Bank" };
    std::unique_ptr<MidiCntrState> engine;
    std::unique_ptr<EventCollector> events;
    std::vector<int32_t> seen;

    void SetUp() override
    {
        auto d = std::make_unique<SimulatorDevices> ([this] (const juce::MidiMessage& m) {
            while (holdOutput.load())
                std::this_thread::sleep_for (std::chrono::milliseconds (1));
            toSynth.add (m);
            const std::lock_guard<std::mutex> sl (arrivalLock);
            arrivals.emplace_back (Clock::now(),
                                   std::vector<uint8_t> (m.getRawData(), m.getRawData() + m.getRawDataSize()));
        });
        devices = d.get();
        personalise (d->getSimulator());
        engine = std::make_unique<MidiCntrState> (std::move (d), temp.folder);
        pluginBank.initialise();
        engine->setPluginBank (&pluginBank);
        engine->selectInputRow (1);
        engine->selectOutputRow (1);
        events = std::make_unique<EventCollector> (*engine);
        engine->getTransfer().setTiming ({ 300, 2, 0 });
    }

    void TearDown() override
    {
        events.reset();
        engine.reset();
    }

    MophoSimulator& synth() { return devices->getSimulator(); }

    /** Moves the events posted so far into seen. */
    void collectEvents()
    {
        const auto fresh = events->take();
        seen.insert (seen.end(), fresh.begin(), fresh.end());
    }

    /** Pumps the message loop until an event of this exact code has been seen. */
    bool waitForEvent (int32_t code, int timeoutMs = 5000)
    {
        return pumpUntil ([&] {
            collectEvents();
            return std::find (seen.begin(), seen.end(), code) != seen.end();
        }, timeoutMs);
    }

    void deliverFromSynth (const juce::MidiMessage& m) { engine->handleIncomingMidiMessage (nullptr, m); }
    void deliverFromSynth (const juce::MemoryBlock& b) { deliverFromSynth (juce::MidiMessage (b.getData(), (int) b.getSize())); }

    size_t countSeen (int32_t kind)
    {
        return (size_t) std::count_if (seen.begin(), seen.end(),
                                       [kind] (int32_t c) { return event::kindOf (c) == event::kindOf (kind); });
    }
};
} // namespace

TEST_F (LinkFixture, ConnectionCheckGoesOnline)
{
    engine->checkConnection();
    ASSERT_TRUE (waitForEvent (event::online));
    EXPECT_EQ (seen.front(), event::offline);
    EXPECT_TRUE (engine->hasGlobalDumpArrived());
    for (int i = 0; i < MophoSimulator::numGlobalBytes; ++i)
        EXPECT_EQ (engine->getGlobal (i), synth().getGlobal (i)) << i;
}

TEST_F (LinkFixture, KnobOnTheSynthQueuesTheParameter)
{
    synth().turnKnob (20, 99);   // NRPN 15
    synth().turnKnob (105, 3);   // NRPN 94: the sequencer trigger, not index 99
    synth().turnKnob (19, 42);   // NRPN 110
    std::vector<int32_t> values;
    ASSERT_TRUE (pumpUntil ([&] {
        engine->takeParameterValues (values);
        return values.size() >= 3;
    }));
    EXPECT_EQ (values, (std::vector<int32_t> { 20 * 4096 + 99, 105 * 4096 + 3, 19 * 4096 + 42 }));
}

TEST_F (LinkFixture, EditBackToTheOldValueAfterAPanelEditReachesTheSynth)
{
    engine->sendParameterNrpn (15, 50); // index 20
    ASSERT_TRUE (pumpUntil ([&] { return synth().getEditBuffer()[20] == 50; }));
    synth().turnKnob (20, 99);
    engine->sendParameterNrpn (15, 50);
    EXPECT_TRUE (pumpUntil ([&] { return synth().getEditBuffer()[20] == 50; }));
}

TEST_F (LinkFixture, ProgramChangeAndBankSelectMirrorTheLocalBanks)
{
    ProgramRecord mark {};
    mark[0] = 77;
    engine->getSynthBank (2)->setProgram (9, mark);

    synth().selectProgramOnPanel (2, 9);
    ASSERT_TRUE (waitForEvent (event::editBufferReplaced));
    EXPECT_TRUE (pumpUntil ([&] { return engine->getCurrentSynthBank() == 2 && engine->getCurrentSynthProgram() == 9; }));
    EXPECT_EQ (pluginBank.getEditBufferRecord(), mark);

    // Nothing goes back to the synth for a selection it made itself.
    EXPECT_TRUE (engine->waitUntilSent (1000));
    EXPECT_EQ (toSynth.size(), 0u);
}

TEST_F (LinkFixture, DumpsSentByTheSynthOnItsOwn)
{
    synth().sendProgramDumpFromPanel (3, 100);
    ASSERT_TRUE (waitForEvent (event::editBufferReplaced));
    EXPECT_NE (std::find (seen.begin(), seen.end(), event::bankContentsChanged), seen.end());
    EXPECT_EQ (engine->getSynthBank (3)->getProgramRecord (100), synth().getProgram (3, 100));
    EXPECT_EQ (pluginBank.getEditBufferRecord(), synth().getProgram (3, 100));
    EXPECT_EQ (engine->getCurrentSynthBank(), 3);
    EXPECT_EQ (engine->getCurrentSynthProgram(), 100);

    seen.clear();
    auto edit = synth().getProgram (1, 1);
    edit[21] = 5;
    synth().setEditBuffer (edit);
    synth().sendEditBufferDumpFromPanel();
    ASSERT_TRUE (waitForEvent (event::editBufferReplaced));
    EXPECT_EQ (pluginBank.getEditBufferRecord(), edit);
    EXPECT_EQ (engine->getCurrentSynthBank(), 3); // an edit-buffer dump selects nothing
    EXPECT_EQ (engine->getCurrentSynthProgram(), 100);
}

TEST_F (LinkFixture, MalformedSysExIsIgnored)
{
    const auto before = pluginBank.getEditBufferRecord();
    ProgramRecord r {};
    r[0] = 1;

    auto shortDump = makeProgramDump (0, 0, r);
    shortDump.removeSection (10, 1);                      // 299 bytes
    auto foreignBank = makeProgramDump (8, 0, r);          // no such bank
    auto otherDevice = makeEditBufferDump (r);
    static_cast<uint8_t*> (otherDevice.getData())[2] = 0x25;
    for (const auto& block : { shortDump, foreignBank, otherDevice })
        deliverFromSynth (juce::MidiMessage (block.getData(), (int) block.getSize()));

    const uint8_t identity[] = { 0xf0, 0x7e, 0x00, 0x06, 0x02, 0x01, 0x25, 0xf7 };
    deliverFromSynth (juce::MidiMessage (identity, (int) sizeof (identity)));

    EXPECT_TRUE (events->take().empty());
    EXPECT_EQ (pluginBank.getEditBufferRecord(), before);
    EXPECT_NE (engine->getSynthBank (0)->getProgramRecord (0), r);
}

TEST_F (LinkFixture, SysExArrivingInPiecesIsAssembled)
{
    ProgramRecord r {};
    r[5] = 123;
    const auto dump = makeEditBufferDump (r);
    const auto* bytes = static_cast<const uint8_t*> (dump.getData());

    deliverFromSynth (juce::MidiMessage (bytes, 100));
    deliverFromSynth (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 100)); // a note in between is not SysEx
    deliverFromSynth (juce::MidiMessage (0xf8, 0.0));                          // nor is a clock byte
    // Real-time bytes inside a piece, as a driver that passes raw bytes on delivers them.
    std::vector<uint8_t> middle (bytes + 100, bytes + 200);
    middle.insert (middle.begin() + 50, { 0xf8, 0xfe });
    deliverFromSynth (juce::MidiMessage (middle.data(), (int) middle.size()));
    deliverFromSynth (juce::MidiMessage (bytes + 200, 98));
    EXPECT_EQ (pluginBank.getEditBufferRecord(), r);

    // A piece without a start is dropped; a new start replaces an unfinished message.
    deliverFromSynth (juce::MidiMessage (bytes + 200, 98));
    deliverFromSynth (juce::MidiMessage (bytes, 50));
    const auto other = makeEditBufferDump (initialProgram());
    deliverFromSynth (juce::MidiMessage (other.getData(), (int) other.getSize()));
    EXPECT_EQ (pluginBank.getEditBufferRecord(), initialProgram());
}

TEST_F (LinkFixture, GlobalDumpAndGlobalNrpn)
{
    // An odd number of data bytes: the last one has no partner, and F7 is not data.
    const uint8_t odd[] = { 0xf0, 0x01, 0x29, 0x0f, 0x05, 0x01, 0x07, 0xf7 };
    deliverFromSynth (juce::MidiMessage (odd, (int) sizeof (odd)));
    EXPECT_EQ (engine->getGlobal (0), 0x15);
    EXPECT_EQ (engine->getGlobal (1), 0);
    events->take();

    // A dump longer than the block stores the first 100 values.
    juce::MemoryBlock dump;
    const uint8_t head[] = { 0xf0, 0x01, 0x29, 0x0f };
    dump.append (head, 4);
    for (int k = 0; k < 120; ++k)
    {
        const uint8_t pair[] = { (uint8_t) (k & 0x0f), (uint8_t) ((k >> 4) & 0x0f) };
        dump.append (pair, 2);
    }
    dump.append (&sysex::end, 1);
    deliverFromSynth (juce::MidiMessage (dump.getData(), (int) dump.getSize()));
    EXPECT_EQ (engine->getGlobal (0), 0);
    EXPECT_EQ (engine->getGlobal (99), 99);
    EXPECT_EQ (events->take(), std::vector<int32_t> { event::online });

    // NRPN 387 is POLY CHAIN, global 9.
    for (auto [c, v] : { std::pair { 99, 3 }, { 98, 3 }, { 6, 0 }, { 38, 5 } })
        deliverFromSynth (juce::MidiMessage::controllerEvent (1, c, v));
    EXPECT_EQ (engine->getGlobal (9), 5);
    EXPECT_EQ (events->take(), std::vector<int32_t> { event::globalChanged + 9 });

    // A global number that names no global does nothing.
    for (auto [c, v] : { std::pair { 99, 3 }, { 98, 8 }, { 6, 0 }, { 38, 5 } })
        deliverFromSynth (juce::MidiMessage::controllerEvent (1, c, v));
    EXPECT_TRUE (events->take().empty());
}

TEST_F (LinkFixture, WheelsAreEchoed)
{
    deliverFromSynth (juce::MidiMessage::controllerEvent (3, 1, 64));
    deliverFromSynth (juce::MidiMessage::pitchWheel (2, 100 * 128 + 5));
    EXPECT_EQ (events->take(), (std::vector<int32_t> { ((0xb0 + 2) << 20) + (1 << 7) + 64,
                                                      ((0xe0 + 1) << 20) + (100 << 7) + 5 }));
}

TEST_F (LinkFixture, ReceiveOneBank)
{
    engine->startBankTransfer (BankTransfer::receiveBank, 2);
    ASSERT_TRUE (waitForEvent (event::bankTransferFinished, 20000));
    EXPECT_EQ (engine->getSynthBank (2)->getAllPrograms(), synth().getBank (2));
    EXPECT_NE (engine->getSynthBank (1)->getAllPrograms(), synth().getBank (1)); // only U3 asked for

    // Progress for every program, then the bank redraw just before the end.
    const auto progress = std::count_if (seen.begin(), seen.end(), [] (int32_t c) {
        return event::kindOf (c) == event::kindOf (event::bankTransferProgress);
    });
    EXPECT_EQ (progress, 128);
    EXPECT_NE (std::find (seen.begin(), seen.end(), event::bankProgramCode (event::bankTransferProgress, 2, 127)), seen.end());
    EXPECT_EQ (seen[seen.size() - 2], event::bankContentsChanged);
    EXPECT_EQ (synth().getNumProgramRequests(), 128);

    const auto firstRequest = toSynth.take().front();
    EXPECT_EQ (firstRequest, (std::vector<uint8_t> { 0xf0, 0x01, 0x29, 0x05, 0x02, 0x00, 0xf7 }));
    engine->endBankTransfer();
    EXPECT_EQ (engine->getTransferMode(), -1);
}

TEST_F (LinkFixture, ReceiveAllBanks)
{
    engine->startBankTransfer (BankTransfer::receiveAllBanks, 0);
    ASSERT_TRUE (waitForEvent (event::bankTransferFinished, 60000));
    for (int b = 0; b < 4; ++b)
        EXPECT_EQ (engine->getSynthBank (b)->getAllPrograms(), synth().getBank (b)) << "bank " << b;
    EXPECT_EQ (synth().getNumProgramRequests(), 512);
    engine->endBankTransfer();
}

TEST_F (LinkFixture, ALostReplyIsAskedForAgain)
{
    synth().dropNextReplies (1);
    synth().sendWrongLengthReplies (0);
    engine->startBankTransfer (BankTransfer::receiveBank, 0);
    ASSERT_TRUE (waitForEvent (event::bankTransferFinished, 20000));
    EXPECT_EQ (std::count_if (seen.begin(), seen.end(), [] (int32_t c) {
        return event::kindOf (c) == event::kindOf (event::bankTransferFailed);
    }), 0);
    EXPECT_EQ (synth().getNumProgramRequests(), 129);
    EXPECT_EQ (engine->getSynthBank (0)->getAllPrograms(), synth().getBank (0));
}

TEST_F (LinkFixture, AReplyOfTheWrongLengthIsAskedForAgain)
{
    synth().sendWrongLengthReplies (1);
    engine->startBankTransfer (BankTransfer::receiveBank, 1);
    ASSERT_TRUE (waitForEvent (event::bankTransferFinished, 20000));
    EXPECT_EQ (synth().getNumProgramRequests(), 129);
    EXPECT_EQ (engine->getSynthBank (1)->getAllPrograms(), synth().getBank (1));
}

TEST_F (LinkFixture, AReplyThatNeverComesEndsTheTransferAndKeepsWhatArrived)
{
    const auto untouched = engine->getSynthBank (3)->getProgramRecord (127);
    synth().setReplyDelay (20); // slow enough that the synth falls silent in mid-bank
    engine->startBankTransfer (BankTransfer::receiveBank, 3);
    ASSERT_TRUE (pumpUntil ([&] { return synth().getNumProgramRequests() >= 10; }));
    synth().setSilent (true);

    ASSERT_TRUE (waitForEvent (event::bankTransferFinished, 10000));
    const auto failure = std::find_if (seen.begin(), seen.end(), [] (int32_t c) {
        return event::kindOf (c) == event::kindOf (event::bankTransferFailed);
    });
    ASSERT_NE (failure, seen.end());
    const auto failedProgram = event::bankProgramOf (*failure).program;
    EXPECT_EQ (event::bankProgramOf (*failure).bank, 3);
    EXPECT_GE (failedProgram, 9);

    // Every program that came before the silence is kept; the rest is as it was.
    for (int p = 0; p < failedProgram; ++p)
        EXPECT_EQ (engine->getSynthBank (3)->getProgramRecord (p), synth().getProgram (3, p)) << p;
    EXPECT_EQ (engine->getSynthBank (3)->getProgramRecord (127), untouched);
    EXPECT_EQ (synth().getNumProgramRequests(), failedProgram + 1 + BankTransfer::maxRetries);
    engine->endBankTransfer();
}

TEST_F (LinkFixture, CancelStopsTheChain)
{
    synth().setReplyDelay (20);
    engine->startBankTransfer (BankTransfer::receiveBank, 0);
    ASSERT_TRUE (pumpUntil ([&] { return synth().getNumProgramRequests() >= 3; }));
    engine->endBankTransfer();
    pumpFor (200);
    const auto requests = synth().getNumProgramRequests();
    pumpFor (300);
    EXPECT_EQ (synth().getNumProgramRequests(), requests);
    EXPECT_LT (requests, 128);
}

TEST_F (LinkFixture, TransmitBankAndAllBanks)
{
    for (int p = 0; p < 128; ++p)
    {
        auto r = engine->getSynthBank (1)->getProgramRecord (p);
        r[21] = (uint8_t) (p % 128);
        r[184] = 'T';
        engine->getSynthBank (1)->setProgram (p, r);
    }

    engine->startBankTransfer (BankTransfer::transmitBank, 1);
    ASSERT_TRUE (waitForEvent (event::bankTransferFinished, 20000));
    EXPECT_TRUE (synth().waitUntilIdle (1000));
    EXPECT_EQ (synth().getBank (1), engine->getSynthBank (1)->getAllPrograms());
    EXPECT_EQ (std::count_if (seen.begin(), seen.end(), [] (int32_t c) {
        return event::kindOf (c) == event::kindOf (event::bankTransferProgress);
    }), 128);
    engine->endBankTransfer();

    seen.clear();
    engine->startBankTransfer (BankTransfer::transmitAllBanks, 0);
    ASSERT_TRUE (waitForEvent (event::bankTransferFinished, 60000));
    for (int b = 0; b < 4; ++b)
        EXPECT_EQ (synth().getBank (b), engine->getSynthBank (b)->getAllPrograms()) << b;
    engine->endBankTransfer();
}

TEST_F (LinkFixture, TransmitWithoutAnOutputFailsAtOnce)
{
    engine->selectOutputRow (0);
    engine->startBankTransfer (BankTransfer::transmitBank, 0);
    ASSERT_TRUE (waitForEvent (event::bankTransferFinished, 2000));
    EXPECT_EQ (event::kindOf (seen.front()), event::kindOf (event::bankTransferFailed));
}

// The programs a transmission is about to replace are read from the synth first. When that read
// fails, the synth's answers may still come, late: they must not go into the local bank, which holds
// the user's programs that were to be sent and now were not.
TEST_F (LinkFixture, LateAnswersToAFailedBackupLeaveTheLocalBankAsItWas)
{
    auto mine = initialProgram();
    mine[20] = 11;
    engine->getSynthBank (2)->setProgram (0, mine);
    auto held = initialProgram();
    held[20] = 99;
    synth().setProgram (2, 0, held);

    engine->getTransfer().setTiming ({ 60, 1, 0 });
    synth().setReplyDelay (1500); // answers come after the read has given up
    engine->startBankTransfer (BankTransfer::transmitBank, 2);
    ASSERT_TRUE (waitForEvent (event::bankTransferFinished, 5000));
    EXPECT_EQ (event::kindOf (seen.front()), event::kindOf (event::bankTransferFailed));

    // The late answers arrive while the failure is still shown (nobody has ended the transfer).
    juce::MessageManager::getInstance()->runDispatchLoopUntil (2000);
    ASSERT_TRUE (synth().waitUntilIdle (3000));
    juce::MessageManager::getInstance()->runDispatchLoopUntil (100);
    EXPECT_EQ (engine->getSynthBank (2)->getProgramRecord (0), mine);
    EXPECT_EQ (synth().getProgram (2, 0), held); // nothing was written either
    engine->endBankTransfer();
}

TEST_F (LinkFixture, SendAndWriteTheEditBuffer)
{
    auto r = initialProgram();
    r[20] = 100;
    pluginBank.setEditBuffer (r);

    engine->sendEditBufferToSynth();
    ASSERT_TRUE (engine->waitUntilSent (1000));
    ASSERT_TRUE (pumpUntil ([&] { return synth().getEditBuffer() == r; }));

    engine->writeProgramToSynth (2, 50);
    ASSERT_TRUE (pumpUntil ([&] { return synth().getProgram (2, 50) == r; }));
    EXPECT_EQ (engine->getSynthBank (2)->getProgramRecord (50), r);
    engine->writeProgramToSynth (4, 0); // factory banks cannot be written
}

TEST_F (LinkFixture, HostEditsReachTheSynthEditBuffer)
{
    engine->sendParameterNrpn (15, 100); // cutoff
    engine->sendParameterNrpn (15, 101);
    engine->sendParameterNrpn (20, 200); // filter envelope amount, two data bytes
    ASSERT_TRUE (engine->waitUntilSent (1000));
    ASSERT_TRUE (pumpUntil ([&] { return synth().getEditBuffer()[25] == 200; }));
    EXPECT_EQ (synth().getEditBuffer()[20], 101);
    EXPECT_EQ (toSynth.take(), (std::vector<std::vector<uint8_t>> {
                                   cc (1, 99, 0), cc (1, 98, 15), cc (1, 6, 0), cc (1, 38, 100),
                                   cc (1, 6, 0), cc (1, 38, 101),
                                   cc (1, 99, 0), cc (1, 98, 20), cc (1, 6, 1), cc (1, 38, 72) }));
}

TEST_F (LinkFixture, LateRepliesAfterACancelLeaveTheEditorAlone)
{
    synth().setWireRate (true);
    synth().setReplyDelay (150); // later than the silence limit: requests are asked again
    engine->getTransfer().setTiming ({ 100, 2, 0 });
    engine->selectProgram (1, 33, false);
    auto edited = pluginBank.getEditBufferRecord();
    edited[20] = (uint8_t) (edited[20] ^ 0x40); // an edit not saved anywhere
    pluginBank.setEditBuffer (edited);

    engine->startBankTransfer (BankTransfer::receiveBank, 0);
    ASSERT_TRUE (pumpUntil ([&] { return synth().getNumProgramRequests() >= 4; }, 5000));
    engine->endBankTransfer();
    collectEvents();
    const auto received = countSeen (event::bankTransferProgress);
    seen.clear();

    // Every request still open is answered now, after the cancel.
    ASSERT_TRUE (engine->waitUntilSent (1000));
    ASSERT_TRUE (synth().waitUntilIdle (5000));
    EXPECT_GT ((size_t) synth().getNumProgramRequests(), received);
    pumpFor (100);

    EXPECT_TRUE (events->take().empty());
    EXPECT_EQ (pluginBank.getEditBufferRecord(), edited);
    EXPECT_EQ (engine->getCurrentSynthBank(), 1);
    EXPECT_EQ (engine->getCurrentSynthProgram(), 33);

    // A program the synth sends on its own afterwards still takes the usual road.
    synth().setReplyDelay (0);
    synth().sendProgramDumpFromPanel (0, 1);
    ASSERT_TRUE (waitForEvent (event::editBufferReplaced));
    EXPECT_EQ (pluginBank.getEditBufferRecord(), synth().getProgram (0, 1));
}

TEST_F (LinkFixture, MidiClockDoesNotHideALostReply)
{
    synth().setWireRate (true);
    synth().setClockInterval (20);
    synth().dropNextReplies (1);
    engine->getTransfer().setTiming ({}); // the real silence limit

    engine->startBankTransfer (BankTransfer::receiveBank, 1);
    ASSERT_TRUE (waitForEvent (event::bankTransferFinished, 40000));
    synth().setClockInterval (0);
    EXPECT_EQ (countSeen (event::bankTransferFailed), 0u);
    EXPECT_EQ (synth().getNumDroppedReplies(), 1);
    EXPECT_EQ (synth().getNumProgramRequests(), 129); // one retry, no more
    EXPECT_EQ (engine->getSynthBank (1)->getAllPrograms(), synth().getBank (1));
    engine->endBankTransfer();
}

TEST_F (LinkFixture, KnobsAndKeysAreNotHeldBackByATransmission)
{
    synth().setWireRate (true);
    engine->getTransfer().setTiming ({}); // the real pacing: a bank takes about half a minute
    for (int p = 0; p < program::programsPerBank; ++p) // read from the synth already: no backup first
        engine->getSynthMemory().takeLocalProgramAsKnown (2, p, true);
    engine->startBankTransfer (BankTransfer::transmitBank, 2);

    // A host thread automates the cutoff and plays keys while the dumps go out.
    constexpr int numEdits = 60;
    std::vector<Clock::time_point> sentAt ((size_t) numEdits);
    std::thread host ([&] {
        for (int i = 0; i < numEdits; ++i)
        {
            sentAt[(size_t) i] = Clock::now();
            engine->sendParameterNrpn (15, i); // whole each time: a note went out in between
            engine->sendNoteOn (1, 36 + i, 100);
            engine->sendNoteOff (1, 36 + i);
            std::this_thread::sleep_for (std::chrono::milliseconds (20));
        }
    });
    host.join();
    ASSERT_TRUE (engine->waitUntilSent (1000));
    engine->endBankTransfer();

    std::vector<std::pair<Clock::time_point, std::vector<uint8_t>>> got;
    {
        const std::lock_guard<std::mutex> sl (arrivalLock);
        got = arrivals;
    }
    const auto arrivalOf = [&] (const std::vector<uint8_t>& bytes) {
        const auto it = std::find_if (got.begin(), got.end(), [&] (const auto& a) { return a.second == bytes; });
        return it == got.end() ? std::optional<Clock::time_point>() : it->first;
    };

    double worstMs = 0;
    for (int i = 0; i < numEdits; ++i)
        for (const auto& bytes : { cc (1, 38, i), std::vector<uint8_t> { 0x90, (uint8_t) (36 + i), 100 },
                                   std::vector<uint8_t> { 0x80, (uint8_t) (36 + i), 0 } })
        {
            const auto at = arrivalOf (bytes);
            ASSERT_TRUE (at.has_value()) << "edit " << i << " never arrived";
            worstMs = std::max (worstMs, std::chrono::duration<double, std::milli> (*at - sentAt[(size_t) i]).count());
        }
    EXPECT_LT (worstMs, 25.0);

    // The dumps went out meanwhile, whole, and the synth stored them.
    const auto dumps = std::count_if (got.begin(), got.end(), [] (const auto& a) {
        return a.second.size() > 4 && a.second[0] == 0xf0 && a.second[3] == sysex::programDump;
    });
    EXPECT_GE (dumps, 3);
    ASSERT_TRUE (synth().waitUntilIdle (1000));
    for (int p = 0; p < (int) dumps; ++p)
        EXPECT_EQ (synth().getProgram (2, p), engine->getSynthBank (2)->getProgramRecord (p)) << p;
}

TEST_F (LinkFixture, AFloodIsReportedAndAProducerThatMayWaitLosesNothing)
{
    const auto& sender = engine->getPorts().getSender();
    constexpr int capacity = (int) MidiSender::queueCapacity, extra = 100;

    // A host thread (perhaps the audio thread) cannot wait: what does not fit is dropped, counted
    // and reported once.
    holdOutput = true;
    std::thread host ([&] {
        for (int i = 0; i < capacity + extra; ++i)
            engine->sendController (1, 1, i % 128);
    });
    host.join();
    const auto dropped = sender.getNumDropped();
    EXPECT_GE (dropped, extra - 1);
    EXPECT_LE (dropped, extra);
    holdOutput = false;
    ASSERT_TRUE (engine->waitUntilSent (5000));
    EXPECT_EQ ((int) toSynth.take().size(), capacity + extra - dropped);
    ASSERT_TRUE (waitForEvent (event::midiOutputOverflow + 1));

    // The message thread waits for room instead.
    holdOutput = true;
    std::thread release ([&] {
        std::this_thread::sleep_for (std::chrono::milliseconds (100));
        holdOutput = false;
    });
    for (int i = 0; i < capacity + extra; ++i)
        engine->sendController (1, 1, i % 128);
    release.join();
    ASSERT_TRUE (engine->waitUntilSent (5000));
    EXPECT_EQ ((int) toSynth.take().size(), capacity + extra);
    EXPECT_EQ (sender.getNumDropped(), dropped);
    pumpFor (50);
    collectEvents();
    EXPECT_EQ (countSeen (event::midiOutputOverflow), 1u);
}

TEST_F (LinkFixture, AnEndlessSysExIsDroppedAtTheCapAndTheNextDumpIsRead)
{
    const uint8_t start[] = { 0xf0, 0x01, 0x29, 0x03 };
    deliverFromSynth (juce::MidiMessage (start, (int) sizeof (start)));
    const std::vector<uint8_t> piece (64, 0x11);
    for (int i = 0; i < 2 * SysExAssembler::maxMessageSize / 64; ++i)
        deliverFromSynth (juce::MidiMessage (piece.data(), (int) piece.size()));
    const uint8_t end[] = { 0x22, 0xf7 };
    deliverFromSynth (juce::MidiMessage (end, (int) sizeof (end))); // the rest of it goes too
    EXPECT_EQ (events->take(), std::vector<int32_t> { event::sysExTooLong });

    ProgramRecord r {};
    r[3] = 9;
    deliverFromSynth (makeEditBufferDump (r));
    EXPECT_EQ (pluginBank.getEditBufferRecord(), r);
}

TEST_F (LinkFixture, ATransmissionWhoseOutputGoesAwayNamesTheProgramThatFailed)
{
    engine->getTransfer().setTiming ({ 300, 20, 0 });
    engine->startBankTransfer (BankTransfer::transmitBank, 2);
    ASSERT_TRUE (waitForEvent (event::bankProgramCode (event::bankTransferProgress, 2, 4)));
    engine->selectOutputRow (0);
    ASSERT_TRUE (waitForEvent (event::bankTransferFinished));

    int32_t lastProgress = 0, failure = 0;
    for (auto c : seen)
    {
        if (event::kindOf (c) == event::kindOf (event::bankTransferProgress))
            lastProgress = c;
        if (event::kindOf (c) == event::kindOf (event::bankTransferFailed))
            failure = c;
    }
    EXPECT_EQ (failure, event::bankProgramCode (event::bankTransferFailed, 2, event::bankProgramOf (lastProgress).program + 1));
    engine->endBankTransfer();
}

TEST_F (LinkFixture, IncomingNrpnRegistersKeepTheirValues)
{
    for (auto [c, v] : { std::pair { 99, 0 }, { 98, 20 }, { 6, 0 }, { 38, 100 } })
        deliverFromSynth (juce::MidiMessage::controllerEvent (1, c, v));
    deliverFromSynth (juce::MidiMessage::controllerEvent (1, 38, 7)); // alone: the same NRPN
    std::vector<int32_t> values;
    engine->takeParameterValues (values);
    EXPECT_EQ (values, (std::vector<int32_t> { 25 * 4096 + 100, 25 * 4096 + 7 }));
}

namespace
{
ProgramRecord marked (ProgramRecord r, uint8_t mark)
{
    r[21] = mark;
    r[184] = 'Z';
    return r;
}
} // namespace

TEST_F (LinkFixture, FactoryBanksReceivedFromTheSynthAreKeptBetweenRuns)
{
    // A synth whose factory set is not our built-in one.
    for (int b = 4; b < 8; ++b)
        for (int p = 0; p < 128; ++p)
            synth().setProgram (b, p, marked (synth().getProgram (b, p), (uint8_t) ((b * 13 + p) % 128)));
    ASSERT_FALSE (engine->factoryBanksMatchSynth.load());

    engine->startBankTransfer (BankTransfer::receiveFactoryBanks, 0);
    ASSERT_TRUE (waitForEvent (event::bankTransferFinished, 20000));
    for (int b = 4; b < 8; ++b)
        ASSERT_EQ (engine->getSynthBank (b)->getAllPrograms(), synth().getBank (b)) << b;
    EXPECT_TRUE (engine->factoryBanksMatchSynth.load());
    EXPECT_EQ (synth().getNumProgramRequests(), 512);
    std::vector<juce::MemoryBlock> synthFactory;
    for (int b = 4; b < 8; ++b)
        synthFactory.push_back (synth().getBank (b));

    events.reset();
    engine.reset(); // the simulator goes with it
    VirtualRig rig;
    MidiCntrState restarted (rig.makeDevices(), temp.folder);
    EXPECT_TRUE (restarted.factoryBanksMatchSynth.load());
    for (int b = 4; b < 8; ++b)
        EXPECT_EQ (restarted.getSynthBank (b)->getAllPrograms(), synthFactory[(size_t) b - 4]) << b;
}

TEST_F (LinkFixture, FactoryBankEditsSurviveARestart)
{
    engine->setProgramCategory (4, 7, 5);
    EXPECT_EQ (engine->getSynthBank (4)->getProgramByte (7, program::categoryIndex), 5);
    const auto pasted = marked (initialProgram(), 99);
    engine->storeProgram (true, 6, 100, pasted);
    engine->setProgramCategory (4, 8, 26); // no such category
    EXPECT_NE (engine->getSynthBank (4)->getProgramByte (8, program::categoryIndex), 26);

    events.reset();
    engine.reset();
    VirtualRig rig;
    MidiCntrState restarted (rig.makeDevices(), temp.folder);
    EXPECT_EQ (restarted.getSynthBank (4)->getProgramByte (7, program::categoryIndex), 5);
    EXPECT_EQ (restarted.getSynthBank (6)->getProgramRecord (100), pasted);
    EXPECT_FALSE (restarted.factoryBanksMatchSynth.load()); // edited here, not the synth's
}

// A factory program the synth sends on its own is kept like one received on request.
TEST_F (LinkFixture, AFactoryProgramTheSynthSendsOnItsOwnIsKeptBetweenRuns)
{
    const auto theirs = marked (synth().getProgram (5, 3), 77);
    synth().setProgram (5, 3, theirs);
    synth().sendProgramDumpFromPanel (5, 3);
    ASSERT_TRUE (pumpUntil ([&] { return engine->getSynthBank (5)->getProgramRecord (3) == theirs; }));

    events.reset();
    engine.reset();
    VirtualRig rig;
    MidiCntrState restarted (rig.makeDevices(), temp.folder);
    EXPECT_EQ (restarted.getSynthBank (5)->getProgramRecord (3), theirs);
}

TEST_F (LinkFixture, WriteStoresTheSoundUnderItsNewNameWithoutAProgramChange)
{
    auto sound = initialProgram();
    sound[20] = 111;
    sound[(size_t) program::categoryIndex] = 2;
    pluginBank.setEditBuffer (sound);
    auto written = marked (sound, sound[21]);
    const auto name = encodeProgramName ("Brand New");
    std::copy (name.begin(), name.end(), written.begin() + program::nameOffset);
    written[(size_t) program::categoryIndex] = 9;
    toSynth.take();

    engine->writeProgram (2, 4, written);
    ASSERT_TRUE (pumpUntil ([&] { return synth().getProgram (2, 4) == written; }));
    EXPECT_EQ (engine->getSynthBank (2)->getProgramRecord (4), written);
    EXPECT_EQ (pluginBank.getEditBufferRecord(), written); // the sound, now under its written name and category
    EXPECT_EQ (pluginBank.getEditBufferByte (20), 111);
    EXPECT_EQ (engine->getCurrentSynthBank(), 2);
    EXPECT_EQ (engine->getCurrentSynthProgram(), 4);
    for (const auto& m : toSynth.take())
        EXPECT_NE (m[0] & 0xf0, 0xc0) << "a program change was sent";

    engine->writeProgram (5, 0, written); // factory banks cannot be written
    EXPECT_NE (engine->getSynthBank (5)->getProgramRecord (0), written);
}

// The synth's MIDI Out Select on THRU sends the editor's own messages back to it. Within a second
// the loop is found and the user told once; from then on our own messages coming back are not
// taken for the synth's (a knob's older values would bounce back over newer ones).
TEST_F (LinkFixture, OwnMessagesComingBackAreFoundAndIgnored)
{
    // One answer equal to what was sent is no loop: an edit buffer sent, then asked for.
    auto sound = initialProgram();
    sound[20] = 77;
    pluginBank.setEditBuffer (sound);
    engine->sendEditBufferToSynth();
    engine->requestDump (sysex::requestEditBuffer, 0, 0);
    ASSERT_TRUE (pumpUntil ([&] { return pluginBank.getEditBufferRecord() == sound && engine->waitUntilSent (10); }));
    pumpFor (200);
    EXPECT_TRUE (engine->takeNotices().isEmpty());

    synth().setGlobal (globals::midiOutSelect, globals::outSelectThru);
    std::vector<int32_t> values;
    engine->takeParameterValues (values);
    for (int v = 10; v < 14; ++v)
        engine->sendParameterNrpn (15, v); // cutoff
    juce::StringArray notices;
    ASSERT_TRUE (pumpUntil (
        [&]
        {
            notices.addArray (engine->takeNotices());
            return !notices.isEmpty();
        },
        1000));
    EXPECT_EQ (notices.size(), 1);
    EXPECT_TRUE (notices[0].contains ("MIDI Out Select")) << notices[0];

    values.clear();
    engine->takeParameterValues (values);
    engine->sendParameterNrpn (15, 50);
    ASSERT_TRUE (engine->waitUntilSent (1000));
    pumpFor (200);
    engine->takeParameterValues (values);
    EXPECT_EQ (std::count (values.begin(), values.end(), 20 * 4096 + 50), 0) << "an echo was acted on";
    EXPECT_TRUE (engine->takeNotices().isEmpty()); // told once
}

// The synth answers one transfer at a time: a write's backup asked for while a transmission runs
// neither disturbs it nor writes, and the user is told.
TEST_F (LinkFixture, AReadWhileATransferRunsIsRefusedAndTold)
{
    engine->getTransfer().setTiming ({}); // the real pacing: the transmission runs for a while
    for (int p = 0; p < program::programsPerBank; ++p)
        engine->getSynthMemory().takeLocalProgramAsKnown (2, p, true);
    engine->startBankTransfer (BankTransfer::transmitBank, 2);
    ASSERT_EQ (engine->getTransferMode(), BankTransfer::transmitBank);
    engine->takeNotices();

    bool written = false;
    engine->getTransfer().backUp ({{1, 3}}, [&] { written = true; });
    pumpFor (300);
    EXPECT_FALSE (written);
    EXPECT_FALSE (engine->getTransfer().isBackingUp());
    EXPECT_EQ (engine->getTransferMode(), BankTransfer::transmitBank);
    const auto notices = engine->takeNotices();
    ASSERT_EQ (notices.size(), 1);
    EXPECT_TRUE (notices[0].startsWith ("A transfer with the synth is running"));
    engine->endBankTransfer();
}
