// A Windows console host that loads the built VST3 the way a DAW does and checks what a user's
// host relies on: the module and its entry points, the class its factory reports, an instance
// created and destroyed, its parameters and programs, and a saved state that comes back whole.
// Cross-built with the plug-in and run under Wine by scripts/windows.sh; prints one line a check
// and exits with 1 when any failed.
//
//   kelvo_windows_smoke.exe <path of "Kelvo VST.vst3">

#include "support/HostedParameters.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <windows.h>

#include <cstdio>

using namespace kelvo::test;

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;
constexpr int ourParameterCount = 185;
constexpr int ourProgramCount = 128;

struct Checks
{
    int passed = 0, failed = 0;

    bool expect (bool ok, const juce::String& what, const juce::String& found = {})
    {
        ++(ok ? passed : failed);
        std::printf ("%s %s%s\n", ok ? "ok  " : "FAIL", what.toRawUTF8(),
                     ok || found.isEmpty() ? "" : (" (found: " + found + ")").toRawUTF8());
        std::fflush (stdout);
        return ok;
    }
};

/** Where a 64-bit Windows host finds the module inside the bundle. */
juce::File moduleOf (const juce::File& bundle)
{
    return bundle.getChildFile ("Contents").getChildFile ("x86_64-win").getChildFile (bundle.getFileName());
}

/** The module's own entry points, looked up the way a host finds them. */
void checkModule (Checks& checks, const juce::File& binary)
{
    auto* module = ::LoadLibraryW (binary.getFullPathName().toWideCharPointer());
    if (!checks.expect (module != nullptr, "the module " + binary.getFullPathName() + " loads",
                        "error " + juce::String ((int)::GetLastError())))
        return;
    for (auto* entry : {"GetPluginFactory", "InitDll", "ExitDll"})
        checks.expect (::GetProcAddress (module, entry) != nullptr, juce::String ("it exports ") + entry);
    ::FreeLibrary (module);
}

void runBlock (juce::AudioPluginInstance& plugin)
{
    juce::AudioBuffer<float> audio (juce::jmax (2, plugin.getTotalNumOutputChannels()), blockSize);
    juce::MidiBuffer midi;
    audio.clear();
    plugin.processBlock (audio, midi);
}

void pumpMessages (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

void checkInstances (Checks& checks, const juce::File& binary)
{
    // JUCE's VST3 hosting on Windows opens the module file itself, not its bundle folder.
    juce::VST3PluginFormat vst3;
    juce::OwnedArray<juce::PluginDescription> found;
    vst3.findAllTypesForFile (found, binary.getFullPathName());
    if (!checks.expect (found.size() == 1, "the factory reports one plug-in class",
                        juce::String (found.size())))
        return;
    const auto& description = *found[0];
    checks.expect (description.name == "Kelvo VST", "its class is named \"Kelvo VST\"", description.name);
    checks.expect (description.manufacturerName == "Marvex", "its vendor is \"Marvex\"",
                   description.manufacturerName);
    checks.expect (!description.isInstrument && description.category.contains ("Fx"),
                   "it is an effect (category " + description.category + ")");

    const auto create = [&]
    {
        juce::String error;
        auto instance = vst3.createInstanceFromDescription (description, sampleRate, blockSize, error);
        checks.expect (instance != nullptr, "an instance is created", error);
        return instance;
    };

    auto plugin = create();
    if (plugin == nullptr)
        return;
    checks.expect (plugin->getNumPrograms() == ourProgramCount, "it has 128 programs",
                   juce::String (plugin->getNumPrograms()));
    checks.expect (plugin->getProgramName (0) == "Untitled", "its first program is \"Untitled\"",
                   plugin->getProgramName (0));
    const auto params = kelvoParameters (*plugin);
    checks.expect (params.size() == ourParameterCount, "it has 185 parameters", juce::String (params.size()));

    // A host write reaches the sound and the saved state, which a second instance takes up whole.
    auto* cutoff = byName (*plugin, "Flt Freq");
    if (!checks.expect (cutoff != nullptr, "\"Flt Freq\" is among them"))
        return;
    plugin->prepareToPlay (sampleRate, blockSize);
    cutoff->setValueNotifyingHost (0.5f);
    runBlock (*plugin);
    checks.expect (cutoff->getCurrentValueAsText() == "82", "a host write sets \"Flt Freq\" to 82",
                   cutoff->getCurrentValueAsText());

    juce::MemoryBlock state;
    plugin->getStateInformation (state);
    checks.expect (state.getSize() > (size_t)ourProgramCount * 256, "its state holds a bank",
                   juce::String (state.getSize()) + " bytes");

    auto second = create();
    if (second == nullptr)
        return;
    second->prepareToPlay (sampleRate, blockSize);
    second->setStateInformation (state.getData(), (int)state.getSize());
    pumpMessages (100);
    runBlock (*second);
    auto* restored = byName (*second, "Flt Freq");
    checks.expect (restored != nullptr && std::abs (restored->getValue() - 0.5f) < 1e-6f,
                   "a second instance restores \"Flt Freq\" from the state",
                   restored != nullptr ? restored->getCurrentValueAsText() : juce::String());
    juce::MemoryBlock secondState;
    second->getStateInformation (secondState);
    checks.expect (secondState == state, "the second instance saves the same state",
                   juce::String (secondState.getSize()) + " bytes");

    second->releaseResources();
    plugin->releaseResources();
    second.reset();
    plugin.reset();
    pumpMessages (50);
}

/** The files the instances kept: where Windows keeps a user's application data, under the same
    names as elsewhere, each whole (the second instance read what the first wrote without setting
    anything aside) and without a temporary file left over. */
void checkSettingsFolder (Checks& checks)
{
    const auto folder = juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
                            .getChildFile ("MarvexSettings");
    std::printf ("settings folder: %s\n", folder.getFullPathName().toRawUTF8());
    checks.expect (folder.getParentDirectory().getFileName() == "Roaming" &&
                       folder.getParentDirectory().getParentDirectory().getFileName() == "AppData",
                   "it is in the user's AppData\\Roaming");
    for (auto* name : {"mphedstx.dat", "mhxplports.dat"})
        checks.expect (folder.getChildFile (name).existsAsFile(), juce::String ("it holds ") + name);

    juce::StringArray strays;
    for (const auto& entry :
         juce::RangedDirectoryIterator (folder, false, "*", juce::File::findFilesAndDirectories))
    {
        const auto name = entry.getFile().getFileName();
        if (name.contains ("kelvo-tmp") || name.contains (".unreadable-") || name.contains (".not-a-file-") ||
            name.contains (".too-large-"))
            strays.add (name);
    }
    checks.expect (strays.isEmpty(), "no temporary or set-aside file is left there",
                   strays.joinIntoString (", "));
}
} // namespace

int main (int argc, char* argv[])
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: kelvo_windows_smoke <path of \"Kelvo VST.vst3\">\n");
        return 2;
    }
    const juce::File bundle (juce::String::fromUTF8 (argv[1]));

    Checks checks;
    {
        const juce::ScopedJuceInitialiser_GUI juceInitialiser;
        checkModule (checks, moduleOf (bundle));
        checkInstances (checks, moduleOf (bundle));
        checkSettingsFolder (checks);
    }
    std::printf ("%d passed, %d failed\n", checks.passed, checks.failed);
    return checks.failed == 0 ? 0 : 1;
}
