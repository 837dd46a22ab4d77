#include "instrument/SimulatorDevices.h"
#include "link/BankTransfer.h"
#include "link/MidiCntrState.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <thread>

using namespace kelvo;
using namespace kelvo::test;

// Host parameter writes (as the processor makes them on a host's audio thread), NRPN edits from the
// synth and a bank receive all at once, with the message thread draining events and values. Run
// under ThreadSanitizer, this is where a data race in the engine would show.
TEST (ThreadStress, HostWritesIncomingNrpnAndBankReceiveAtOnce)
{
    TempFolder temp;
    auto devicesOwned = std::make_unique<SimulatorDevices>();
    auto& synth = devicesOwned->getSimulator();
    personalise (synth);
    Bank_Program pluginBank ("Program Bank");
    pluginBank.initialise();

    MidiCntrState engine (std::move (devicesOwned), temp.folder);
    engine.setPluginBank (&pluginBank);
    engine.selectInputRow (1);
    engine.selectOutputRow (1);
    engine.getTransfer().setTiming ({ 300, 1, 0 });
    EventCollector events (engine);

    std::atomic<bool> stop { false };
    // A host automating every parameter in every block of 1 ms.
    std::thread host ([&] {
        const auto& table = engine.getTable();
        for (int n = 0; ! stop.load(); ++n)
        {
            const auto index = n % 185;
            const auto value = n % (table.getMax (index) + 1);
            pluginBank.setEditBufferByte (index, (uint8_t) value);
            engine.sendParameterNrpn (table.getNrpn (index), value);
            engine.postEvent (event::parameterCode (index, value));
            if (index == 184)
                std::this_thread::sleep_for (std::chrono::milliseconds (1));
        }
    });
    std::thread panel ([&] {
        for (int n = 0; ! stop.load(); ++n)
        {
            synth.turnKnob (20 + n % 10, n % 100);
            std::this_thread::sleep_for (std::chrono::microseconds (200));
        }
    });

    engine.startBankTransfer (BankTransfer::receiveBank, 1);

    std::vector<int32_t> values, codes;
    bool finished = false;
    const auto deadline = juce::Time::getMillisecondCounter() + 30000;
    while (! finished && juce::Time::getMillisecondCounter() < deadline)
    {
        pumpFor (5);
        engine.takeParameterValues (values);
        codes.clear();
        engine.takeEvents (codes);
        finished = std::find (codes.begin(), codes.end(), event::bankTransferFinished) != codes.end();
        (void) pluginBank.getEditBufferRecord();
    }
    stop = true;
    host.join();
    panel.join();
    engine.endBankTransfer();

    ASSERT_TRUE (finished);
    EXPECT_EQ (engine.getSynthBank (1)->getAllPrograms(), synth.getBank (1));
    EXPECT_FALSE (values.empty());
}
