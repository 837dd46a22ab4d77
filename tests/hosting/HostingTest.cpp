#include "model/ProductVersion.h"
#include "hosting/SavedChunk.h"
#include "support/HostedParameters.h"
#include "support/PrivateHome.h"

#include <gtest/gtest.h>
#include <thread>
#include <juce_audio_processors/juce_audio_processors.h>

using namespace kelvo::test;

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;
constexpr auto ourLv2Uri = "urn:marvex:kelvo"; // the product's identity, never to change


struct HostingEnvironment : ::testing::Environment
{
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> juce;
    void SetUp() override { juce = std::make_unique<juce::ScopedJuceInitialiser_GUI>(); }
    void TearDown() override { juce.reset(); }
};

std::unique_ptr<juce::AudioPluginInstance> load (juce::AudioPluginFormat& format,
                                                 const juce::String& identifier)
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

std::unique_ptr<juce::AudioPluginInstance> loadVst3()
{
    // The binary sits in <bundle>/Contents/<architecture>.
    const auto bundle = juce::File (KELVO_VST3_BINARY_DIR).getParentDirectory().getParentDirectory();
    juce::VST3PluginFormat vst3;
    return load (vst3, bundle.getFullPathName());
}

std::unique_ptr<juce::AudioPluginInstance> loadLv2()
{
    // Whatever else the machine has installed, ours is the one with our URI.
    juce::LV2PluginFormat lv2;
    const auto bundle = juce::File (KELVO_LV2_BUNDLE);
    const auto uris = lv2.searchPathsForPlugins (
        juce::FileSearchPath (bundle.getParentDirectory().getFullPathName()), true, false);
    if (!uris.contains (ourLv2Uri))
        return nullptr;
    return load (lv2, ourLv2Uri);
}

struct Block
{
    juce::AudioBuffer<float> audio{2, blockSize};
    juce::MidiBuffer midi;
    void run (juce::AudioPluginInstance& plugin)
    {
        audio.clear();
        midi.clear();
        plugin.processBlock (audio, midi);
    }
};

/** What every host shows a user: the parameter list with names and defaults, menus with their
    steps, the programs, and a saved state that comes back whole in a second instance. */
enum class ValueTexts
{
    shown,   // the format carries the plug-in's own value texts (VST3)
    numbers, // the host shows numbers, except for the entries of a menu (LV2)
};

/** The programs a host lists. */
enum class Programs
{
    bank, // the 128 of the plug-in's bank, under their names (VST3)
    none, // an LV2 host lists presets named when the plug-in was built: all "Untitled", so none
};

void checkWhatAHostSees (const std::function<std::unique_ptr<juce::AudioPluginInstance>()>& loadPlugin,
                         ValueTexts texts, Programs programs)
{
    auto plugin = loadPlugin();
    ASSERT_NE (plugin, nullptr);
    EXPECT_EQ (plugin->getName(), "Kelvo VST");
    if (programs == Programs::bank)
    {
        EXPECT_EQ (plugin->getNumPrograms(), 128);
        EXPECT_EQ (plugin->getProgramName (0), "Untitled");
    }
    else
    {
        EXPECT_EQ (plugin->getNumPrograms(), 0);
    }

    const auto params = kelvoParameters (*plugin);
    ASSERT_EQ (params.size(), 185);
    EXPECT_LE (plugin->getParameters().size(), 187); // at most the wrapper's program and bypass besides

    // Every row named, once; every value at its default, which is the initial program's.
    juce::StringArray names;
    for (auto* p : params)
    {
        const auto name = p->getName (100);
        EXPECT_TRUE (name.isNotEmpty());
        EXPECT_FALSE (names.contains (name)) << name;
        names.add (name);
        EXPECT_NEAR (p->getValue(), p->getDefaultValue(), 1e-6) << name;
    }
    struct Initial
    {
        const char* name;
        float value;
        const char* text;
    };
    for (auto c :
         {Initial{"Flt Freq", 148.0f / 164.0f, "148"}, Initial{"BPM Tempo", 120.0f / 250.0f, "120 bpm"},
          Initial{"OSC1 FREQ", 24.0f / 120.0f, "C2"}, Initial{"Reserved 99", 60.0f / 127.0f, "60"}})
    {
        auto* p = byName (*plugin, c.name);
        ASSERT_NE (p, nullptr) << c.name;
        EXPECT_NEAR (p->getDefaultValue(), c.value, 1e-6) << c.name;
        if (texts == ValueTexts::shown)
        {
            EXPECT_EQ (p->getCurrentValueAsText(), c.text) << c.name;
        }
    }

    // A switch and a menu are stepped, with their entries as texts; an amount is not.
    struct Steps
    {
        const char* name;
        int steps;
        const char* lastText;
    };
    for (auto c : {Steps{"OSC1 Kbd On/Off", 2, "ON"}, Steps{"LFO 1 Shape", 5, nullptr}})
    {
        auto* p = byName (*plugin, c.name);
        ASSERT_NE (p, nullptr) << c.name;
        EXPECT_TRUE (p->isDiscrete()) << c.name;
        EXPECT_EQ (p->getNumSteps(), c.steps) << c.name;
        if (c.lastText != nullptr && texts == ValueTexts::shown)
        {
            EXPECT_EQ (p->getText (1.0f, 100), c.lastText);
        }
    }
    EXPECT_FALSE (byName (*plugin, "Flt Freq")->isDiscrete());

    // A host write reaches the sound and the saved state, which a second instance takes up whole.
    plugin->prepareToPlay (sampleRate, blockSize);
    Block block;
    auto* cutoff = byName (*plugin, "Flt Freq");
    cutoff->setValueNotifyingHost (0.5f);
    block.run (*plugin);
    EXPECT_NEAR (cutoff->getValue(), 0.5f, 1e-6);
    if (texts == ValueTexts::shown)
    {
        EXPECT_EQ (cutoff->getCurrentValueAsText(), "82");
    }

    juce::MemoryBlock state;
    plugin->getStateInformation (state);
    ASSERT_GE (state.getSize(), bankChunkSize);

    auto second = loadPlugin();
    ASSERT_NE (second, nullptr);
    second->prepareToPlay (sampleRate, blockSize);
    second->setStateInformation (state.getData(), (int)state.getSize());
    // The host is told the new sound, an LV2 host a batch of values every other block: blocks run
    // at about a host's pace until it has heard, for a second at most.
    auto* secondCutoff = byName (*second, "Flt Freq");
    for (int n = 0; n < 100 && std::abs (secondCutoff->getValue() - 0.5f) > 1e-6f; ++n)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
        block.run (*second);
    }
    EXPECT_NEAR (secondCutoff->getValue(), 0.5f, 1e-6);
    juce::MemoryBlock secondState;
    second->getStateInformation (secondState);
    EXPECT_EQ (secondState, state);

    second->releaseResources();
    plugin->releaseResources();
}
} // namespace

TEST (Hosting, Vst3AsAHostSeesIt)
{
    checkWhatAHostSees (loadVst3, ValueTexts::shown, Programs::bank);

    // The version the about panel shows and the settings file records.
    EXPECT_EQ (loadVst3()->getPluginDescription().version, juce::String (kelvo::productVersion));
}

TEST (Hosting, Lv2AsAHostSeesIt)
{
    checkWhatAHostSees (loadLv2, ValueTexts::numbers, Programs::none);

    // JUCE's LV2 hosting leaves the version out; hosts read it from the description.
    const auto description = juce::File (KELVO_LV2_BUNDLE).getChildFile ("dsp.ttl").loadFileAsString();
    EXPECT_TRUE (description.contains ("doap:revision \"" + juce::String (kelvo::productVersion) + "\""));
}

// LV2 hosts (JUCE's, jalv, Qtractor) list parameters in the text order of their ids, so these sort
// in the table's order; VST3 hosts keep the numeric ids, which stay the indices.
TEST (Hosting, ParameterIdsSortInTableOrder)
{
    auto vst3 = loadVst3();
    auto lv2 = loadLv2();
    ASSERT_TRUE (vst3 != nullptr && lv2 != nullptr);
    const auto byIndex = kelvoParameters (*vst3);
    const auto listed = kelvoParameters (*lv2);
    ASSERT_EQ (byIndex.size(), 185);
    ASSERT_EQ (listed.size(), 185);

    const auto idOf = [] (juce::AudioProcessorParameter* p)
    { return dynamic_cast<juce::HostedAudioProcessorParameter&> (*p).getParameterID(); };
    for (int i = 0; i < 185; ++i)
    {
        EXPECT_EQ (idOf (byIndex[i]), juce::String (i));
        // JUCE's LV2 hosting puts "des:" before the parameter's URI.
        EXPECT_TRUE (idOf (listed[i]).endsWith (ourLv2Uri + juce::String (":p") + juce::String (i).paddedLeft ('0', 3)))
            << idOf (listed[i]);
        EXPECT_EQ (listed[i]->getName (100), byIndex[i]->getName (100)) << i;
    }
}

/** The plug-in's own chunk inside the state JUCE's VST3 host keeps (XML around the component's
    state), for reading and changing the sound it holds. */
struct Vst3State
{
    explicit Vst3State (const juce::MemoryBlock& state)
        : xml (juce::AudioProcessor::getXmlFromBinary (state.getData(), (int)state.getSize()))
    {
        if (auto* component = xml != nullptr ? xml->getChildByName ("IComponent") : nullptr)
            chunk.fromBase64Encoding (component->getAllSubText());
    }

    bool holdsEditBuffer() const { return chunk.getSize() >= trailerEditBufferOffset + 256; }
    uint8_t& editBufferByte (int index) { return byteAt (trailerEditBufferOffset + (size_t)index); }
    uint8_t& programByte (int n, int index) { return byteAt (25 + (size_t)(n * 256 + index)); }
    uint8_t& byteAt (size_t offset) { return static_cast<uint8_t*> (chunk.getData())[offset]; }

    juce::MemoryBlock toState() const
    {
        auto copy = *xml;
        copy.getChildByName ("IComponent")->deleteAllTextElements();
        copy.getChildByName ("IComponent")->addTextElement (chunk.toBase64Encoding());
        juce::MemoryBlock state;
        juce::AudioProcessor::copyXmlToBinary (copy, state);
        return state;
    }

    std::unique_ptr<juce::XmlElement> xml;
    juce::MemoryBlock chunk;
};

// JUCE's VST3 host, like the DAWs, hands every value the plug-in reports back to it with a later
// block. Programs chosen one after another must arrive whole, never mixed with the one before.
TEST (Hosting, Vst3ValuesComingBackNeverMixPrograms)
{
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    plugin->prepareToPlay (sampleRate, blockSize);
    Block block;
    block.run (*plugin);

    juce::MemoryBlock saved;
    plugin->getStateInformation (saved);
    Vst3State state (saved);
    ASSERT_TRUE (state.holdsEditBuffer());

    // Four programs that differ in cutoff and resonance.
    constexpr int numPrograms = 4;
    const auto cutoffOf = [] (int n) { return 20 + 40 * n; };
    const auto resonanceOf = [] (int n) { return 120 - 30 * n; };
    for (int n = 0; n < numPrograms; ++n)
    {
        state.programByte (n, 20) = (uint8_t)cutoffOf (n);
        state.programByte (n, 21) = (uint8_t)resonanceOf (n);
    }
    const auto programs = state.toState();
    plugin->setStateInformation (programs.getData(), (int)programs.getSize());

    auto* cutoff = byName (*plugin, "Flt Freq");
    auto* resonance = byName (*plugin, "Resonance");
    ASSERT_TRUE (cutoff != nullptr && resonance != nullptr);
    const auto pump = [] (int ms) { juce::MessageManager::getInstance()->runDispatchLoopUntil (ms); };

    // Each program change also wakes the plug-in's reporter thread, which may queue the same values
    // for a later block while the host's call reports them: many rounds give that race its chances.
    for (int round = 0; round < 40; ++round)
    {
        const auto n = (round + 1) % numPrograms; // the state restored program 0 already
        plugin->setCurrentProgram (n);
        // The host reads the new values at once, before any block (pluginval's state test does).
        EXPECT_NEAR (cutoff->getValue(), (float)cutoffOf (n) / 164.0f, 1e-6) << "round " << round;
        EXPECT_NEAR (resonance->getValue(), (float)resonanceOf (n) / 127.0f, 1e-6) << "round " << round;
        pump (20);           // the program is loaded...
        block.run (*plugin); // ...and what was reported for the one before comes back
        pump (80);           // the new program is reported

        juce::MemoryBlock now;
        plugin->getStateInformation (now);
        Vst3State current (now);
        ASSERT_TRUE (current.holdsEditBuffer());
        EXPECT_EQ (current.editBufferByte (20), cutoffOf (n)) << "round " << round;
        EXPECT_EQ (current.editBufferByte (21), resonanceOf (n)) << "round " << round;
        EXPECT_NEAR (cutoff->getValue(), (float)cutoffOf (n) / 164.0f, 1e-6) << "round " << round;
        EXPECT_NEAR (resonance->getValue(), (float)resonanceOf (n) / 127.0f, 1e-6) << "round " << round;
    }
    plugin->releaseResources();
}

// A host's writes from a thread of its own, queued for the message thread, then a state restored
// on the message thread (pluginval's state restoration): the restored state wins, right after the
// call and once everything queued has run, also across further blocks.
TEST (Hosting, Vst3RestoredStateWinsOverQueuedWrites)
{
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    plugin->prepareToPlay (sampleRate, blockSize);
    Block block;
    block.run (*plugin);
    const auto params = kelvoParameters (*plugin);
    juce::MemoryBlock original;
    plugin->getStateInformation (original);

    juce::Random random (0x6b1d);
    for (int round = 0; round < 3; ++round)
    {
        for (int i = 0; i < params.size(); ++i)
        {
            auto* param = params[i];
            const auto before = param->getValue();
            const auto written = random.nextFloat();
            std::thread ([&] { param->setValue (written); }).join();
            plugin->setStateInformation (original.getData(), (int)original.getSize());
            ASSERT_NEAR (param->getValue(), before, 1e-6) << param->getName (100) << " round " << round;
        }
        juce::MessageManager::getInstance()->runDispatchLoopUntil (100);
        for (auto* param : params)
            ASSERT_NEAR (param->getValue(), param->getDefaultValue(), 1e-6) << param->getName (100);
        block.run (*plugin);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (100);
        juce::MemoryBlock now;
        plugin->getStateInformation (now);
        EXPECT_EQ (now, original) << "round " << round;
    }
    plugin->releaseResources();
}

int main (int argc, char** argv)
{
    const kelvo::test::PrivateHome home;
    ::testing::InitGoogleTest (&argc, argv);
    ::testing::AddGlobalTestEnvironment (new HostingEnvironment());
    return RUN_ALL_TESTS();
}
