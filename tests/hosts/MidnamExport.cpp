// Writes the synth's program names as the editor's "Export Program Names" does, for a host to read:
// a processor as a fresh installation has it (the banks it starts with), with no MIDI at all.
//
//   kelvo_midnam_export SETTINGS_FOLDER OUT_FILE
#include "host/MarvexAudioProcessor.h"
#include "host/ProgramNamesFile.h"
#include "support/ScanDevices.h"

#include <iostream>

int main (int argc, char* argv[])
{
    if (argc != 3)
    {
        std::cerr << "usage: kelvo_midnam_export SETTINGS_FOLDER OUT_FILE\n";
        return 2;
    }
    const juce::ScopedJuceInitialiser_GUI juce;
    const juce::File settings (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    const juce::File out (juce::File::getCurrentWorkingDirectory().getChildFile (argv[2]));
    settings.createDirectory();

    auto processor = std::make_unique<kelvo::MarvexAudioProcessor> (std::make_unique<kelvo::test::ScanDevices>(), settings);
    juce::String whyNot;
    const auto written = processor->getProgramNamesFile().exportTo (out, &whyNot);
    processor.reset();
    if (!written)
    {
        std::cerr << "not written: " << whyNot << "\n";
        return 1;
    }
    return 0;
}
