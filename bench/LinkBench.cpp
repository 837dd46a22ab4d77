#include "instrument/SimulatorDevices.h"
#include "link/BankTransfer.h"
#include "link/MidiCntrState.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

#include <thread>

using namespace kelvo;

namespace
{
// Bytes on the wire for one program: the 7-byte request and the 300-byte dump.
constexpr double bytesPerProgram = 7 + 300;
constexpr double wireSecondsPerByte = MophoSimulator::wireMicrosecondsPerByte * 1.0e-6;

struct FinishWatcher : MidiCntrStateListener
{
    void midiCntrStateChanged (MidiCntrState&) override {}
};

/** Receives banks from the simulator running at 31 250 baud and reports measured time ÷ wire time. */
void receiveBanks (benchmark::State& state, int mode, int numBanks)
{
    juce::TemporaryFile folderName;
    folderName.getFile().createDirectory();

    auto devices = std::make_unique<SimulatorDevices>();
    devices->getSimulator().setWireRate (true);
    Bank_Program pluginBank ("Program Bank");
    pluginBank.initialise();
    MidiCntrState engine (std::move (devices), folderName.getFile());
    engine.setPluginBank (&pluginBank);
    engine.selectInputRow (1);
    engine.selectOutputRow (1);
    FinishWatcher watcher;
    engine.addListener (&watcher);

    double seconds = 0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        engine.startBankTransfer (mode, 0);

        std::vector<int32_t> codes;
        for (bool finished = false; ! finished;)
        {
            juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
            codes.clear();
            engine.takeEvents (codes);
            finished = std::find (codes.begin(), codes.end(), event::bankTransferFinished) != codes.end();
        }
        const auto elapsed = std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime (elapsed);
        seconds += elapsed;
        engine.endBankTransfer();
    }

    const auto wireSeconds = numBanks * 128 * bytesPerProgram * wireSecondsPerByte * (double) state.iterations();
    state.counters["wire_ratio"] = seconds / wireSeconds;
    engine.removeListener (&watcher);
    folderName.getFile().deleteRecursively();
}
} // namespace

static void BM_BankReceive (benchmark::State& state) { receiveBanks (state, BankTransfer::receiveBank, 1); }
BENCHMARK (BM_BankReceive)->UseManualTime()->Iterations (1)->Unit (benchmark::kSecond);

static void BM_AllBanksReceive (benchmark::State& state) { receiveBanks (state, BankTransfer::receiveAllBanks, 4); }
BENCHMARK (BM_AllBanksReceive)->UseManualTime()->Iterations (1)->Unit (benchmark::kSecond);

int main (int argc, char** argv)
{
    juce::MessageManager::getInstance();
    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    juce::DeletedAtShutdown::deleteAll();
    juce::MessageManager::deleteInstance();
    return 0;
}
