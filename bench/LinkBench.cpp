#include "instrument/SimulatorDevices.h"
#include "link/BankTransfer.h"
#include "link/MidiCntrState.h"
#include "model/MidiNumbers.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

#include <algorithm>
#include <atomic>
#include <thread>

using namespace kelvo;

namespace
{
// Bytes on the wire for one program: the 7-byte request and the 300-byte dump.
constexpr double bytesPerProgram = 7 + 300;
constexpr double wireSecondsPerByte = midiwire::microsecondsPerByte * 1.0e-6;
constexpr double programWireSeconds = bytesPerProgram * wireSecondsPerByte;
// What a program of a receive needs outside the editor: its bytes on the wire, and the synth's
// moment before it starts to answer.
constexpr double programRoundTripSeconds = programWireSeconds + MophoSimulator::answerLatencyMs * 1.0e-3;

struct FinishWatcher : MidiCntrStateListener
{
    void midiCntrStateChanged (MidiCntrState&) override {}
};

/** The engine connected to the simulator, which runs at 31 250 baud. */
struct LinkRig
{
    juce::TemporaryFile folderName;
    MophoSimulator* synth = nullptr;
    Bank_Program pluginBank { "Program Bank" };
    std::unique_ptr<MidiCntrState> engine;
    FinishWatcher watcher;

    /** tap sees every message on its way to the synth (on the sender thread). */
    explicit LinkRig (SimulatorDevices::Tap tap = {})
    {
        folderName.getFile().createDirectory();
        auto devices = std::make_unique<SimulatorDevices> (std::move (tap));
        synth = &devices->getSimulator();
        synth->setWireRate (true);
        pluginBank.initialise();
        engine = std::make_unique<MidiCntrState> (std::move (devices), folderName.getFile());
        engine->setPluginBank (&pluginBank);
        engine->selectInputRow (1);
        engine->selectOutputRow (1);
        engine->addListener (&watcher);
    }

    ~LinkRig()
    {
        engine->removeListener (&watcher);
        engine.reset();
        folderName.getFile().deleteRecursively();
    }

    /** Runs the message loop until the engine posts this event; returns the seconds it took. */
    double secondsUntil (int32_t code, std::chrono::steady_clock::time_point since)
    {
        std::vector<int32_t> codes;
        for (bool seen = false; ! seen;)
        {
            juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
            codes.clear();
            engine->takeEvents (codes);
            seen = std::find (codes.begin(), codes.end(), code) != codes.end();
        }
        return std::chrono::duration<double> (std::chrono::steady_clock::now() - since).count();
    }
};

/** Receives banks and reports measured time ÷ the time the wire and the synth need. */
void receiveBanks (benchmark::State& state, int mode, int numBanks)
{
    LinkRig rig;
    double seconds = 0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        rig.engine->startBankTransfer (mode, 0);
        const auto elapsed = rig.secondsUntil (event::bankTransferFinished, start);
        state.SetIterationTime (elapsed);
        seconds += elapsed;
        rig.engine->endBankTransfer();
    }

    const auto outsideSeconds = numBanks * 128 * programRoundTripSeconds * (double) state.iterations();
    state.counters["wire_ratio"] = seconds / outsideSeconds;
}
} // namespace

static void BM_BankReceive (benchmark::State& state) { receiveBanks (state, BankTransfer::receiveBank, 1); }
BENCHMARK (BM_BankReceive)->UseManualTime()->Iterations (1)->Unit (benchmark::kSecond);

static void BM_AllBanksReceive (benchmark::State& state) { receiveBanks (state, BankTransfer::receiveAllBanks, 4); }
BENCHMARK (BM_AllBanksReceive)->UseManualTime()->Iterations (1)->Unit (benchmark::kSecond);

/** The synth's reply to the first request of a receive is lost: the time from then until that
    program is stored, in units of one program's wire time (request and dump). A reply that is not
    lost takes about one unit. */
static void BM_LostReplyRecovery (benchmark::State& state)
{
    LinkRig rig;
    double seconds = 0;
    for (auto _ : state)
    {
        rig.synth->dropNextReplies (1);
        const auto start = std::chrono::steady_clock::now();
        rig.engine->startBankTransfer (BankTransfer::receiveBank, 0);
        const auto elapsed = rig.secondsUntil (event::bankProgramCode (event::bankTransferProgress, 0, 0), start);
        state.SetIterationTime (elapsed);
        seconds += elapsed;

        // The reply to the next request arrives after the cancel: let it pass before the next round.
        rig.engine->endBankTransfer();
        rig.engine->waitUntilSent (1000);
        rig.synth->waitUntilIdle (2000);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    }
    state.counters["recovery_ratio"] = seconds / ((double) state.iterations() * programWireSeconds);
}
BENCHMARK (BM_LostReplyRecovery)->UseManualTime()->Iterations (10)->Unit (benchmark::kMillisecond);

/** A fast drag of the cutoff knob over its whole range, one value every argument milliseconds (1:
    a mouse that reports at 1 kHz, every report a step; 8: at 125 Hz): what the editor puts on the
    wire for it. Counters:
    bytes_per_step, and wire_load, the share of the wire's 31 250 baud the drag takes (above 1 the
    synth falls behind the knob, by backlog_ms at the drag's end). */
static void BM_FastKnobDragWireLoad (benchmark::State& state)
{
    constexpr int cutoff = 20, cutoffNrpn = 15, lastValue = 164;
    const auto stepMs = (int) state.range (0);
    std::atomic<int64_t> bytes { 0 };
    LinkRig rig ([&bytes] (const juce::MidiMessage& m) { bytes += m.getRawDataSize(); });
    int64_t steps = 0;
    double dragSeconds = 0;
    for (auto _ : state)
    {
        rig.engine->waitUntilSent (1000);
        bytes = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int v = 0; v <= lastValue; ++v)
        {
            rig.engine->sendParameterNrpn (cutoffNrpn, v);
            std::this_thread::sleep_until (start + std::chrono::milliseconds ((v + 1) * stepMs));
        }
        const auto elapsed = std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
        rig.engine->waitUntilSent (1000);
        if (rig.synth->getEditBuffer()[cutoff] != lastValue)
            state.SkipWithError ("the synth did not follow the drag");
        state.SetIterationTime (elapsed);
        steps += lastValue + 1;
        dragSeconds += elapsed;
    }
    const auto perIteration = (double) bytes.load(); // the last drag's
    const auto iterationSeconds = dragSeconds / (double) state.iterations();
    state.counters["bytes_per_step"] = perIteration / (double) (lastValue + 1);
    state.counters["wire_load"] = perIteration * wireSecondsPerByte / iterationSeconds;
    state.counters["backlog_ms"] = std::max (0.0, perIteration * wireSecondsPerByte - iterationSeconds) * 1000.0;
    state.SetItemsProcessed (steps);
}
BENCHMARK (BM_FastKnobDragWireLoad)->Arg (1)->Arg (8)->UseManualTime()->Iterations (3)->Unit (benchmark::kMillisecond);

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
