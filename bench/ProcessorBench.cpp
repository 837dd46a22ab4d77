#include "host/MarvexAudioProcessor.h"
#include "link/VirtualMidiDevices.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

using namespace kelvo;

namespace
{
constexpr int blockSize = 512;

struct BenchProcessor
{
    juce::TemporaryFile folderName;
    std::unique_ptr<MarvexAudioProcessor> processor;

    BenchProcessor()
    {
        folderName.getFile().createDirectory();
        auto devices = std::make_unique<VirtualMidiDevices>();
        devices->addOutput ("Sink", [] (const juce::MidiMessage&) {});
        processor = std::make_unique<MarvexAudioProcessor> (std::move (devices), folderName.getFile());
        processor->getEngine().selectOutputRow (1); // sending costs what it costs with a real port
        processor->prepareToPlay (48000.0, blockSize);
    }

    ~BenchProcessor()
    {
        processor.reset();
        folderName.getFile().deleteRecursively();
    }
};

juce::AudioBuffer<float> noiseBlock()
{
    juce::AudioBuffer<float> audio (2, blockSize);
    juce::Random random (1);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < blockSize; ++i)
            audio.setSample (c, i, random.nextFloat() * 2.0f - 1.0f);
    return audio;
}
} // namespace

// What processBlock is measured against: copying the block once.
static void BM_CopyBlock (benchmark::State& state)
{
    const auto source = noiseBlock();
    juce::AudioBuffer<float> dest (2, blockSize);
    for (auto _ : state)
    {
        for (int c = 0; c < 2; ++c)
            dest.copyFrom (c, 0, source, c, 0, blockSize);
        benchmark::DoNotOptimize (dest.getReadPointer (0));
        benchmark::ClobberMemory();
    }
}
BENCHMARK (BM_CopyBlock);

static void BM_ProcessBlock (benchmark::State& state)
{
    BenchProcessor bench;
    auto audio = noiseBlock();
    juce::MidiBuffer midi;
    for (auto _ : state)
    {
        bench.processor->processBlock (audio, midi);
        benchmark::DoNotOptimize (audio.getReadPointer (0));
        benchmark::ClobberMemory();
    }
}
BENCHMARK (BM_ProcessBlock);

// A host automating every parameter in one block: 185 writes from the audio thread, each stored,
// queued for the synth and posted, then the block itself.
static void BM_AutomationPass (benchmark::State& state)
{
    BenchProcessor bench;
    auto audio = noiseBlock();
    juce::MidiBuffer midi;
    auto& params = bench.processor->getParameters();
    int pass = 0;
    for (auto _ : state)
    {
        const auto value = (pass++ % 2 == 0) ? 0.25f : 0.75f; // every write changes the value
        for (auto* p : params)
            p->setValue (value);
        bench.processor->processBlock (audio, midi);
        benchmark::ClobberMemory();

        state.PauseTiming(); // let the sender thread drain, as it would between blocks
        bench.processor->getEngine().waitUntilSent (1000);
        state.ResumeTiming();
    }
}
BENCHMARK (BM_AutomationPass);

int main (int argc, char** argv)
{
    const juce::ScopedJuceInitialiser_GUI juceInitialiser;
    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
