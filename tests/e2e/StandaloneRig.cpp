// The standalone application as a user starts it, on a machine whose MIDI we make: a silent
// interface ("Rig MIDI 1") and, with --synth, a synth behind a second one ("Rig MIDI 2": our
// simulator, as if it were hardware, so that a port scan may choose it). The built-in simulator
// comes last in the lists, as on every machine. Everything else (the window, the editor, the
// processor and its settings folder in the user's home) is the application's own.
#include "host/MarvexAudioProcessor.h"
#include "host/StandaloneApp.h"
#include "instrument/BuiltInSimulator.h"
#include "link/CombinedMidiDevices.h"
#include "support/ScanDevices.h"

namespace
{
class StandaloneRig final : public kelvo::KelvoStandaloneApp
{
    std::unique_ptr<kelvo::MarvexAudioProcessor> createProcessor() override
    {
        auto machine = std::make_unique<kelvo::test::ScanDevices>();
        machine->addSilent ("Rig MIDI 1");
        if (getCommandLineParameterArray().contains ("--synth"))
            machine->addSynth ("Rig MIDI 2");

        const auto folder = kelvo::MarvexAudioProcessor::getDefaultSettingsFolder();
        return makeStandaloneProcessor (std::make_unique<kelvo::CombinedMidiDevices> (
            std::move (machine), std::make_unique<kelvo::BuiltInSimulator> (folder)));
    }
};
} // namespace

START_JUCE_APPLICATION (StandaloneRig)
