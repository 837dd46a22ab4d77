#include "link/BankTransfer.h"
#include "link/MidiCntrState.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::test;

// A project closing while the synth sends: the engine is destroyed (and the processor's bank after
// it) with program changes, dumps and knob turns arriving all the while, a bank receive running and
// the editor just gone. Under AddressSanitizer and ThreadSanitizer this shows any write into
// something already freed and any race with the teardown.
TEST (Teardown, MidiArrivingWhileTheEngineIsDestroyedReachesNothingThatIsGone)
{
    VirtualMidiDevices devices;
    const auto input = devices.addInput ("Synth Out");
    devices.addOutput ("Synth In", [] (const juce::MidiMessage&) {});
    MidiFlood flood (devices, input, synthTraffic());

    for (int round = 0; round < 8; ++round)
    {
        SCOPED_TRACE (round);
        TempFolder temp;
        flood.inputOpened();
        auto pluginBank = std::make_unique<Bank_Program> ("Program Bank");
        pluginBank->initialise();
        auto engine =
            std::make_unique<MidiCntrState> (std::make_unique<BorrowedDevices> (devices), temp.folder);
        engine->setPluginBank (pluginBank.get());
        engine->selectInputRow (1);
        engine->selectOutputRow (1);
        engine->startBankTransfer (BankTransfer::receiveBank, round % 4);

        {
            EventCollector editor (*engine);
            const auto start = flood.getTaken();
            ASSERT_TRUE (pumpUntil ([&] { return flood.getTaken() > start + 200; }));
        }

        engine.reset();
        flood.inputClosed();
        std::this_thread::sleep_for (std::chrono::milliseconds (5));
        EXPECT_EQ (flood.getTakenAfterClose(), 0); // a closed input takes nothing more
        pluginBank.reset();
    }
}
