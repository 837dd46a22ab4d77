#include "host/MarvexAudioProcessor.h"
#include "link/VirtualMidiDevices.h"
#include "ui/main/MainComp.h"
#include "ui/panels/EditorPanel.h"
#include "ui/widgets/StsCont.h"
#include "ui/widgets/KelvoLook.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

using namespace kelvo;

namespace
{
constexpr int width = 1191, height = 700;

struct EditorBenchRig
{
    juce::SharedResourcePointer<KelvoLook> look;
    juce::TemporaryFile folderName;
    std::unique_ptr<MarvexAudioProcessor> processor;

    EditorBenchRig()
    {
        folderName.getFile().createDirectory();
        processor = std::make_unique<MarvexAudioProcessor> (std::make_unique<VirtualMidiDevices>(), folderName.getFile());
        // Measured as a later opening: a first start would also look for the synth.
        processor->getEngine().settingsWereReset = false;
    }

    ~EditorBenchRig()
    {
        processor.reset();
        folderName.getFile().deleteRecursively();
    }
};

void paintInto (juce::Component& c, juce::Image& image)
{
    juce::Graphics g (image);
    c.paintEntireComponent (g, false);
}
} // namespace

// Opening the editor: building the main component with every panel, and its first paint.
static void BM_EditorOpen (benchmark::State& state)
{
    EditorBenchRig rig;
    juce::Image image (juce::Image::ARGB, width, height, true);
    for (auto _ : state)
    {
        MainComp main (*rig.processor);
        main.setSize (width, height);
        paintInto (main, image);
        benchmark::DoNotOptimize (image.getPixelAt (600, 300));
    }
    state.counters["frame_budget_ms"] = 16.7;
}
BENCHMARK (BM_EditorOpen)->Unit (benchmark::kMillisecond);

// A program change: every control reloaded from the edit buffer, then the whole editor repainted.
static void BM_ProgramChangeRepaint (benchmark::State& state)
{
    EditorBenchRig rig;
    MainComp main (*rig.processor);
    main.setSize (width, height);
    juce::Image image (juce::Image::ARGB, width, height, true);
    int programNumber = 0;
    for (auto _ : state)
    {
        rig.processor->getEngine().selectProgram (4, programNumber++ % 128, false);
        main.drainEvents();
        paintInto (main, image);
        benchmark::DoNotOptimize (image.getPixelAt (600, 300));
    }
    state.counters["frame_budget_ms"] = 16.7;
}
BENCHMARK (BM_ProgramChangeRepaint)->Unit (benchmark::kMillisecond);

// One knob moved by one step, as a drag does it, until the screen area it covers is painted again:
// the gesture's value through the processor, the event back to the panel, the knob's repaint.
static void BM_KnobDrag (benchmark::State& state)
{
    EditorBenchRig rig;
    MainComp main (*rig.processor);
    main.setSize (width, height);
    juce::Image image (juce::Image::ARGB, width, height, true);
    paintInto (main, image); // what the editor shows before the drag

    auto& knob = main.getSynthPanel().getControl (20);
    const auto area = main.getLocalArea (&knob, knob.getLocalBounds());
    const auto start = knob.getValue() < knob.getMaximum() ? knob.getValue() : knob.getValue() - 1;
    auto up = true;
    for (auto _ : state)
    {
        knob.setValueFromUser (up ? start + 1 : start);
        up = !up;
        main.drainEvents();

        juce::Graphics g (image);
        g.reduceClipRegion (area);
        main.paintEntireComponent (g, false);
        benchmark::DoNotOptimize (image.getPixelAt (area.getCentreX(), area.getCentreY()));
    }
    state.counters["frame_budget_ms"] = 16.7;
}
BENCHMARK (BM_KnobDrag)->Unit (benchmark::kMicrosecond);
