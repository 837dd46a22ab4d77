#include "link/MIDI_PORTS_Control.h"
#include "link/MidiCntrState.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <thread>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
struct EngineFixture : ::testing::Test
{
    TempFolder temp;
    VirtualRig rig;
    Bank_Program pluginBank { "Program Bank" };
    std::unique_ptr<MidiCntrState> engine;

    void SetUp() override
    {
        engine = std::make_unique<MidiCntrState> (rig.makeDevices(), temp.folder);
        pluginBank.initialise();
        engine->setPluginBank (&pluginBank);
    }

    void openOutput() { engine->selectOutputRow (1); }

    std::vector<std::vector<uint8_t>> sent()
    {
        EXPECT_TRUE (engine->waitUntilSent (2000));
        return rig.sink.take();
    }
};
} // namespace

TEST_F (EngineFixture, EveryParameterNrpnCarriesItsValueAndItsNumberUnlessTheSynthHoldsIt)
{
    openOutput();
    using Bytes = std::vector<std::vector<uint8_t>>;
    const auto whole = [] (int channel, int number, int value) {
        return Bytes { cc (channel, 99, number / 128), cc (channel, 98, number % 128), cc (channel, 6, value / 128),
                       cc (channel, 38, value % 128) };
    };
    const auto valueOnly = [] (int channel, int value) { return Bytes { cc (channel, 6, value / 128), cc (channel, 38, value % 128) }; };

    engine->sendParameterNrpn (20, 100);
    EXPECT_EQ (sent(), whole (1, 20, 100));
    // The same value again still goes out: the synth may have moved since.
    engine->sendParameterNrpn (20, 100);
    EXPECT_EQ (sent(), valueOnly (1, 100));
    engine->sendParameterNrpn (20, 200);
    EXPECT_EQ (sent(), valueOnly (1, 200));

    // Anything that may have moved the synth's NRPN number in between makes the next one whole.
    struct Case
    {
        const char* what;
        std::function<void()> between;
        int channel;
    };
    const Case cases[] = {
        { "another parameter", [&] { engine->sendParameterNrpn (25, 3); }, 1 },
        { "a global", [&] { engine->sendGlobalNrpn (384, 3); }, 1 },
        { "a note", [&] { engine->sendNoteOn (1, 60, 100); }, 1 },
        { "a dump", [&] { engine->requestDump (6, 0, 0); }, 1 },
        { "the synth's own knob", [&] {
              for (const auto& m : { juce::MidiMessage::controllerEvent (1, 99, 0), juce::MidiMessage::controllerEvent (1, 98, 15),
                                     juce::MidiMessage::controllerEvent (1, 6, 0), juce::MidiMessage::controllerEvent (1, 38, 7) })
                  rig.devices->deliver (rig.inputIndex, m);
          }, 1 },
        { "a change of channel", [&] { engine->setMidiChannel (5); }, 5 },
        { "a reopened output", [&] { openOutput(); }, 5 },
        { "a pause longer than the synth's number is held", [&] { juce::Thread::sleep (MidiSender::numberHoldMs + 50); }, 5 },
    };
    engine->selectInputRow (1);
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        engine->sendParameterNrpn (20, 100);
        sent();
        c.between();
        sent();
        engine->sendParameterNrpn (20, 100);
        EXPECT_EQ (sent(), whole (c.channel, 20, 100));
    }

    // A clock byte from the synth moves nothing.
    rig.devices->deliver (rig.inputIndex, juce::MidiMessage::midiClock());
    engine->sendParameterNrpn (20, 101);
    EXPECT_EQ (sent(), valueOnly (5, 101));
    // A global NRPN always goes out whole, also twice in a row.
    engine->sendGlobalNrpn (384, 3);
    engine->sendGlobalNrpn (384, 3);
    const auto globals = sent();
    EXPECT_EQ (globals.size(), 8u);
}

TEST_F (EngineFixture, ClosedOutputSendsNothingAndForgetsNothing)
{
    engine->sendParameterNrpn (20, 100);
    engine->sendNoteOn (1, 60, 100);
    engine->requestDump (6, 0, 0);
    EXPECT_FALSE (engine->isOutputOpen());
    EXPECT_EQ (engine->getPorts().getSender().getKnownNrpnNumber(), -1);

    openOutput();
    engine->sendParameterNrpn (20, 100);
    EXPECT_EQ (sent().size(), 4u);

    engine->selectOutputRow (0); // "NONE"
    engine->sendParameterNrpn (21, 5);
    EXPECT_EQ (engine->getPorts().getSender().getKnownNrpnNumber(), 20);
    EXPECT_TRUE (sent().empty());
}

TEST_F (EngineFixture, ShortMessagesAndTheirLimits)
{
    openOutput();
    using Bytes = std::vector<std::vector<uint8_t>>;

    engine->sendNoteOn (2, 60, 200);   // velocity above 127 goes out as 127
    engine->sendNoteOn (2, 128, 100);  // no such note
    engine->sendNoteOn (17, 60, 100);  // no such channel
    engine->sendNoteOff (2, 60);
    engine->sendPitchWheel (1, 8192 + 5);
    engine->sendProgramChange (1, 128);
    engine->sendProgramChange (1, 7);
    engine->sendController (3, 1, 64);
    engine->sendController (17, 1, 64);
    EXPECT_EQ (sent(), (Bytes { { 0x91, 60, 127 }, { 0x81, 60, 0 }, { 0xe0, 5, 64 }, { 0xc0, 7 }, cc (3, 1, 64) }));
}

TEST_F (EngineFixture, SysExRequestsAndSlices)
{
    openOutput();
    using Bytes = std::vector<std::vector<uint8_t>>;

    engine->requestDump (5, 2, 0);
    engine->requestDump (6, 0, 0);
    engine->requestDump (14, 0, 0);
    EXPECT_EQ (sent(), (Bytes { { 0xf0, 0x01, 0x29, 0x05, 0x02, 0x00, 0xf7 },
                                { 0xf0, 0x01, 0x29, 0x06, 0xf7 },
                                { 0xf0, 0x01, 0x29, 0x0e, 0xf7 } }));

    juce::MemoryBlock longMessage (300, true);
    static_cast<uint8_t*> (longMessage.getData())[0] = 0xf0;
    static_cast<uint8_t*> (longMessage.getData())[299] = 0xf7;
    engine->sendSysEx (longMessage);
    const auto slices = sent();
    ASSERT_EQ (slices.size(), 2u);
    EXPECT_EQ (slices[0].size(), 256u);
    EXPECT_EQ (slices[1].size(), 44u);
    EXPECT_EQ (slices[1].back(), 0xf7);
}

TEST_F (EngineFixture, SelectProgramCopiesTheSynthProgramAndTellsTheSynth)
{
    openOutput();
    EventCollector events (*engine);

    ProgramRecord r {};
    r[0] = 99;
    r[184] = 'Z';
    engine->getSynthBank (2)->setProgram (5, r);

    engine->selectProgram (2, 5, true);
    EXPECT_EQ (pluginBank.getEditBufferRecord(), r);
    EXPECT_EQ (engine->getCurrentSynthBank(), 2);
    EXPECT_EQ (engine->getCurrentSynthProgram(), 5);
    EXPECT_EQ (events.take(), std::vector<int32_t> { event::editBufferReplaced });
    EXPECT_EQ (sent(), (std::vector<std::vector<uint8_t>> { cc (1, 32, 2), { 0xc0, 5 } }));

    engine->selectProgram (8, 1, true); // no such bank
    EXPECT_EQ (engine->getCurrentSynthBank(), 2);
    EXPECT_TRUE (events.take().empty());
    EXPECT_TRUE (sent().empty());

    engine->selectProgram (0, 3, false);
    EXPECT_TRUE (sent().empty());
}

TEST_F (EngineFixture, StoreProgramAndPluginProgram)
{
    EventCollector events (*engine);
    ProgramRecord r {};
    r[10] = 1;

    engine->storeProgram (true, 3, 9, r);
    EXPECT_EQ (engine->getSynthBank (3)->getProgramRecord (9), r);
    EXPECT_EQ (events.take(), (std::vector<int32_t> { event::bankContentsChanged, event::editBufferReplaced }));

    engine->storeProgram (false, 0, 0, r);
    EXPECT_EQ (pluginBank.getEditBufferRecord(), r);
    EXPECT_EQ (events.take(), std::vector<int32_t> { event::editBufferReplaced });

    engine->storeProgram (true, 8, 0, r);
    EXPECT_TRUE (events.take().empty());

    pluginBank.setProgram (4, r);
    engine->setCurrentPluginProgram (4);
    pluginBank.setEditBuffer (initialProgram());
    engine->loadCurrentPluginProgram();
    EXPECT_EQ (pluginBank.getEditBufferRecord(), r);
}

TEST_F (EngineFixture, BanksAreNamedInOrder)
{
    const char* names[] = { "Program Bank U1", "Program Bank U2", "Program Bank U3", "Program Bank U4",
                            "Program Bank F1", "Program Bank F2", "Program Bank F3", "Program Bank F4" };
    for (int b = 0; b < 8; ++b)
        EXPECT_EQ (engine->getSynthBank (b)->getBankName(), names[b]);
    EXPECT_EQ (engine->getSynthBank (8), nullptr);
    EXPECT_EQ (engine->getSynthBank (-1), nullptr);
    EXPECT_EQ (engine->getSettings().size(), 82);
    EXPECT_EQ (engine->getSetting (42), "1");
    EXPECT_EQ (engine->getMidiChannel(), 1);
}

TEST_F (EngineFixture, ListenersAreCalledLastRegisteredFirst)
{
    std::vector<int> order;
    struct Recorder : MidiCntrStateListener
    {
        Recorder (std::vector<int>& o, int i) : order (o), id (i) {}
        void midiCntrStateChanged (MidiCntrState&) override { order.push_back (id); }
        std::vector<int>& order;
        int id;
    } first (order, 1), second (order, 2);

    engine->addListener (&first);
    engine->addListener (&second);
    engine->addListener (&first); // once only
    engine->postEvent (event::online);
    EXPECT_EQ (order, (std::vector<int> { 2, 1 }));

    std::vector<int32_t> codes;
    engine->takeEvents (codes);
    EXPECT_EQ (codes, std::vector<int32_t> { event::online });

    engine->removeListener (&first);
    engine->removeListener (&second);
}

TEST_F (EngineFixture, EventsPostedWithoutAnEditorAreNotKept)
{
    for (int i = 0; i < 100000; ++i)
        engine->postEvent (event::parameterCode (20, i & 0x7f));

    EventCollector events (*engine);
    EXPECT_TRUE (events.take().empty());
}

TEST_F (EngineFixture, AFloodOfEventsTurnsIntoOneReload)
{
    EventCollector events (*engine);
    for (int i = 0; i < 20000; ++i)
        engine->postEvent (event::parameterCode (20, i & 0x7f));

    const auto codes = events.take();
    ASSERT_GE (codes.size(), 2u);
    EXPECT_LE (codes.size(), 8192u + 2u);
    EXPECT_EQ (codes[codes.size() - 2], event::editBufferReplaced); // after the events that were kept
    EXPECT_EQ (codes.back(), event::bankContentsChanged);
}

TEST_F (EngineFixture, EventsFromOtherThreadsReachListenersOnTheMessageThread)
{
    EventCollector events (*engine);
    std::atomic<bool> calledOffMessageThread { false };

    struct ThreadCheck : MidiCntrStateListener
    {
        explicit ThreadCheck (std::atomic<bool>& f) : flag (f) {}
        void midiCntrStateChanged (MidiCntrState&) override
        {
            if (! juce::MessageManager::existsAndIsCurrentThread())
                flag = true;
        }
        std::atomic<bool>& flag;
    } check (calledOffMessageThread);
    engine->addListener (&check);

    std::thread host ([this] {
        for (int i = 0; i < 100; ++i)
            engine->postEvent (event::parameterCode (i, 1));
    });
    host.join();

    EXPECT_TRUE (pumpUntil ([&] { return events.notifications > 0; }));
    EXPECT_FALSE (calledOffMessageThread);
    EXPECT_EQ (events.take().size(), 100u);
    engine->removeListener (&check);
}

TEST_F (EngineFixture, ParameterQueueIsTakenWhole)
{
    engine->queueParameterValue (20, 100);
    engine->queueParameterValue (184, 5);
    std::vector<int32_t> values;
    engine->takeParameterValues (values);
    EXPECT_EQ (values, (std::vector<int32_t> { 20 * 4096 + 100, 184 * 4096 + 5 }));
    values.clear();
    engine->takeParameterValues (values);
    EXPECT_TRUE (values.empty());
}

TEST_F (EngineFixture, ConcurrentSendersNeverInterleaveAnNrpn)
{
    openOutput();
    constexpr int perThread = 2000;
    auto writer = [this] (int nrpn) {
        for (int i = 0; i < perThread; ++i)
            engine->sendParameterNrpn (nrpn, i % 128);
    };
    std::thread a (writer, 15), b (writer, 16);
    a.join();
    b.join();

    // Replay what went out as the synth would, and check every value it stored was one a sender
    // meant for that NRPN: an interleaved stream, or one that leaves out a number it should not,
    // writes foreign values.
    const auto messages = sent();
    int numberMsb = -1, numberLsb = -1, dataMsb = 0, last15 = -1, last16 = -1;
    for (const auto& m : messages)
    {
        ASSERT_EQ (m.size(), 3u);
        switch (m[1])
        {
            case 99: numberMsb = m[2]; break;
            case 98: numberLsb = m[2]; break;
            case 6: dataMsb = m[2]; break;
            case 38:
                ASSERT_EQ (numberMsb, 0);
                ASSERT_EQ (dataMsb, 0);
                ASSERT_TRUE (numberLsb == 15 || numberLsb == 16);
                (numberLsb == 15 ? last15 : last16) = m[2];
                break;
            default: FAIL();
        }
    }
    EXPECT_EQ (last15, (perThread - 1) % 128);
    EXPECT_EQ (last16, (perThread - 1) % 128);
}

TEST_F (EngineFixture, DumpsOfAnotherSynthOnThePortAreIgnored)
{
    engine->selectInputRow (1);
    auto record = initialProgram();
    record[20] = 9;
    const auto editBefore = pluginBank.getEditBufferRecord();
    const auto bankBefore = engine->getSynthBank (1)->getAllPrograms();
    for (const uint8_t device : { sysex::deviceMopho, sysex::deviceMophoKeyboard, sysex::deviceTetra })
        for (const auto& dump : { makeEditBufferDump (record), makeProgramDump (1, 4, record) })
        {
            const auto other = asOtherSynth (dump, device);
            rig.devices->deliver (rig.inputIndex, juce::MidiMessage (other.getData(), (int) other.getSize()));
        }
    EXPECT_EQ (pluginBank.getEditBufferRecord(), editBefore);
    EXPECT_EQ (engine->getSynthBank (1)->getAllPrograms(), bankBefore);

    const auto ours = makeEditBufferDump (record);
    rig.devices->deliver (rig.inputIndex, juce::MidiMessage (ours.getData(), (int) ours.getSize()));
    EXPECT_EQ (pluginBank.getEditBufferRecord(), record);
}
