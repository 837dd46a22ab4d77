#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;

struct HostingEnvironment : ::testing::Environment
{
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> juce;
    void SetUp() override { juce = std::make_unique<juce::ScopedJuceInitialiser_GUI>(); }
    void TearDown() override { juce.reset(); }
};

std::unique_ptr<juce::AudioPluginInstance> load (juce::AudioPluginFormat& format, const juce::String& identifier)
{
    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile (found, identifier);
    if (found.isEmpty())
        return nullptr;

    juce::String error;
    auto instance = format.createInstanceFromDescription (*found[0], sampleRate, blockSize, error);
    EXPECT_TRUE (error.isEmpty()) << error;
    return instance;
}

/** The parameters of ours that a host lists: everything but the wrapper's own program and bypass. */
juce::Array<juce::AudioProcessorParameter*> kelvoParameters (juce::AudioPluginInstance& p)
{
    juce::Array<juce::AudioProcessorParameter*> ours;
    for (auto* param : p.getParameters())
        if (param != p.getBypassParameter() && param->getName (100) != "Program")
            ours.add (param);
    return ours;
}

void checkLikeADaw (juce::AudioPluginInstance& plugin)
{
    EXPECT_EQ (plugin.getName(), "Kelvo VST");
    EXPECT_EQ (plugin.getNumPrograms(), 128);
    EXPECT_EQ (plugin.getProgramName (0).trim(), "Untitled");

    const auto params = kelvoParameters (plugin);
    ASSERT_EQ (params.size(), 185);
    EXPECT_LE (plugin.getParameters().size(), 187); // at most the wrapper's program and bypass besides
    EXPECT_EQ (params[20]->getName (100), "Flt Freq");
    EXPECT_EQ (params[101]->getName (100), "BPM Tempo");
    EXPECT_EQ (params[25]->getCurrentValueAsText(), "127");
    EXPECT_FLOAT_EQ (params[0]->getValue(), 1.0f);

    // A write through the host reaches the edit buffer: its value, its text and the saved state.
    params[20]->setValueNotifyingHost (0.5f);
    juce::AudioBuffer<float> audio (2, blockSize);
    audio.clear();
    juce::MidiBuffer midi;
    plugin.prepareToPlay (sampleRate, blockSize);
    plugin.processBlock (audio, midi);
    EXPECT_NEAR (params[20]->getValue(), 0.5f, 1e-6);
    EXPECT_EQ (params[20]->getCurrentValueAsText(), "82");

    juce::MemoryBlock state;
    plugin.getStateInformation (state);
    ASSERT_GE (state.getSize(), 32793u);

    // Change the sound, then restore the saved state through the wrapper.
    params[20]->setValueNotifyingHost (0.0f);
    plugin.processBlock (audio, midi);
    plugin.setStateInformation (state.getData(), (int) state.getSize());
    plugin.processBlock (audio, midi);
    EXPECT_NEAR (params[20]->getValue(), 0.5f, 1e-6);
    plugin.releaseResources();
}
} // namespace

TEST (Hosting, Vst3LoadsAsInADaw)
{
    // The binary sits in <bundle>/Contents/<architecture>.
    const auto bundle = juce::File (KELVO_VST3_BINARY_DIR).getParentDirectory().getParentDirectory();
    juce::VST3PluginFormat vst3;
    auto plugin = load (vst3, bundle.getFullPathName());
    ASSERT_NE (plugin, nullptr) << "could not load " << bundle.getFullPathName();
    checkLikeADaw (*plugin);
}

TEST (Hosting, Lv2LoadsAsInADaw)
{
    juce::LV2PluginFormat lv2;
    const auto bundle = juce::File (KELVO_LV2_BUNDLE);
    const auto uris = lv2.searchPathsForPlugins (juce::FileSearchPath (bundle.getParentDirectory().getFullPathName()), true, false);
    ASSERT_FALSE (uris.isEmpty()) << "no LV2 plug-in found beside " << bundle.getFullPathName();
    auto plugin = load (lv2, uris[0]);
    ASSERT_NE (plugin, nullptr);

    EXPECT_EQ (plugin->getName(), "Kelvo VST");
    EXPECT_EQ (plugin->getNumPrograms(), 128);

    // LV2 hosts list parameters by their identifiers, not by index: compare them as a set of names.
    juce::StringArray names;
    juce::AudioProcessorParameter* cutoff = nullptr;
    for (auto* p : kelvoParameters (*plugin))
    {
        names.add (p->getName (100));
        if (p->getName (100) == "Flt Freq")
            cutoff = p;
    }
    EXPECT_EQ (names.size(), 185);
    for (const auto* expected : { "OSC1 FREQ", "BPM Tempo", "Seq 4 Step 16", "Mod 4 Dest", "ARP" })
        EXPECT_EQ (names.contains (expected), juce::String (expected) != "ARP") << expected;
    ASSERT_NE (cutoff, nullptr);

    juce::AudioBuffer<float> audio (2, blockSize);
    audio.clear();
    juce::MidiBuffer midi;
    plugin->prepareToPlay (sampleRate, blockSize);
    cutoff->setValueNotifyingHost (0.5f);
    plugin->processBlock (audio, midi);
    EXPECT_NEAR (cutoff->getValue(), 0.5f, 1e-6);

    // The saved state restores into a second instance.
    juce::MemoryBlock state;
    plugin->getStateInformation (state);
    ASSERT_GE (state.getSize(), 32793u);
    auto second = load (lv2, uris[0]);
    ASSERT_NE (second, nullptr);
    second->prepareToPlay (sampleRate, blockSize);
    second->setStateInformation (state.getData(), (int) state.getSize());
    second->processBlock (audio, midi);
    juce::MemoryBlock secondState;
    second->getStateInformation (secondState);
    EXPECT_EQ (secondState, state);
}

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    ::testing::AddGlobalTestEnvironment (new HostingEnvironment());
    return RUN_ALL_TESTS();
}
