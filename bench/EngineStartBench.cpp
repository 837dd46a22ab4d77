// Starting the engine, as a host does when it loads a project: settings, banks and ports read from
// the settings folder. With a healthy settings file, and with one of 1 MB (which the start must take
// as damaged, not parse for ever).
#include "link/EngineFiles.h"
#include "link/EngineSettings.h"
#include "link/MidiCntrState.h"
#include "link/VirtualMidiDevices.h"
#include "model/BankImage.h"
#include "model/Bank_Program.h"

#include <benchmark/benchmark.h>

#include <chrono>

using namespace kelvo;

namespace
{
constexpr int healthySettings = 0, hugeSettings = 1;
constexpr size_t hugeSettingsSize = 1024 * 1024;

juce::String settingsText (int kind)
{
    // As a start after the first leaves it: the MIDI channel set, so nothing needs saving.
    auto entries = defaultSettings();
    entries.set (settings::midiChannel, "1");
    auto text = makeSettingsText (entries).toStdString();
    while (kind == hugeSettings && text.size() < hugeSettingsSize)
        text += "^|an entry of a settings file grown out of all measure|^";
    return juce::String (text);
}

juce::MemoryBlock bankData()
{
    Bank_Program bank ("U");
    bank.loadFactoryBank (1);
    return makeBankDataImage ({&bank, &bank, &bank, &bank});
}

void engineStart (benchmark::State& state)
{
    const auto text = settingsText ((int)state.range (0));
    const auto banks = bankData();
    const auto ports = makePortsFile ({ "In", "Out", "NONE" });
    juce::TemporaryFile folderName;
    const auto folder = folderName.getFile();

    for (auto _ : state)
    {
        // A fresh folder each time: the damaged file is moved aside by the start it is timed in.
        folder.deleteRecursively();
        folder.createDirectory();
        folder.getChildFile (enginefile::settingsFileName).replaceWithText (text);
        folder.getChildFile (enginefile::bankDataFileName).replaceWithData (banks.getData(), banks.getSize());
        folder.getChildFile (enginefile::portsFileName).replaceWithData (ports.getData(), ports.getSize());

        auto devices = std::make_unique<VirtualMidiDevices>();
        devices->addOutput ("Out", [] (const juce::MidiMessage&) {});
        devices->addInput ("In");

        const auto start = std::chrono::steady_clock::now();
        auto engine = std::make_unique<MidiCntrState> (std::move (devices), folder);
        state.SetIterationTime (
            std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count());

        benchmark::DoNotOptimize (engine->getMidiChannel());
        engine.reset();
    }
    state.counters["settings_bytes"] = (double)text.getNumBytesAsUTF8();
    folder.deleteRecursively();
}
} // namespace

BENCHMARK (engineStart)
    ->Name ("BM_EngineStart")
    ->Arg (healthySettings)
    ->Arg (hugeSettings)
    ->UseManualTime()
    ->Unit (benchmark::kMillisecond);
