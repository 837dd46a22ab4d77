#include "host/MarvexAudioProcessor.h"
#include "host/PacedHostReports.h"
#include "host/MarvexAudioProcessorEditor.h"
#include "model/PluginChunks.h"
#include "ui/main/MainComp.h"
#include "support/HostRecorder.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>
#include <chrono>
#include <mutex>

#include <map>
#include <thread>

using namespace kelvo;
using namespace kelvo::test;

namespace
{

struct ProcessorFixture : ::testing::Test
{
    UsedSettingsFolder temp;
    VirtualRig rig;
    std::unique_ptr<MarvexAudioProcessor> processor;
    HostRecorder host;

    void SetUp() override
    {
        processor = std::make_unique<MarvexAudioProcessor> (rig.makeDevices(), temp.folder);
        processor->addListener (&host);
    }

    void TearDown() override
    {
        processor->removeListener (&host);
        processor.reset();
    }

    juce::AudioProcessorParameter& param (int index) { return *processor->getParameters()[index]; }
    uint8_t editByte (int index) { return processor->getPluginBank().getEditBufferByte (index); }

    std::vector<std::vector<uint8_t>> sent()
    {
        EXPECT_TRUE (processor->getEngine().waitUntilSent (2000));
        return rig.sink.take();
    }
};
} // namespace

TEST_F (ProcessorFixture, AFreshInstanceHoldsTheInitialProgramWhichIsEveryDefault)
{
    const auto& table = processor->getEngine().getTable();
    ASSERT_EQ (processor->getParameters().size(), 185);
    EXPECT_EQ (processor->getNumPrograms(), 128);
    EXPECT_EQ (processor->getName(), "Kelvo VST");
    EXPECT_EQ (processor->getPluginBank().getEditBufferRecord(), initialProgram());

    for (int i = 0; i < 185; ++i)
    {
        SCOPED_TRACE (i);
        const auto expected = table.toHostValue (i, initialProgram()[(size_t) i]);
        EXPECT_FLOAT_EQ (param (i).getValue(), expected);
        EXPECT_FLOAT_EQ (param (i).getDefaultValue(), expected);
        EXPECT_EQ (param (i).getName (100), ParameterTable::getName (i));
    }
    EXPECT_EQ (param (20).getName (100), "Flt Freq");
    EXPECT_EQ (param (20).getName (3), "Flt");
    EXPECT_EQ (param (20).getCurrentValueAsText(), "148");
    EXPECT_EQ (param (25).getCurrentValueAsText(), "0");
    EXPECT_EQ (param (101).getCurrentValueAsText(), "120 bpm");
    EXPECT_EQ (param (105).getCurrentValueAsText(), ParDes::valueToText (kind::seqTrigger, 0));
    EXPECT_EQ (processor->getProgramName (0), "Untitled");
    EXPECT_EQ (processor->getCurrentProgram(), 0);
    EXPECT_EQ (dynamic_cast<juce::HostedAudioProcessorParameter&> (param (42)).getParameterID(), "p042");
}

TEST_F (ProcessorFixture, SwitchesAndMenusAreDiscreteWithTheirOwnSteps)
{
    struct Case { int index; bool discrete, boolean; int steps; };
    const Case cases[] = {
        { 4, true, true, 2 },      // "OSC1 Kbd On/Off"
        { 43, true, false, 5 },    // "LFO 1 Shape"
        { 2, true, false, 104 },   // "OSC1 Shape"
        { 108, true, false, 49 },  // "Seq 2 Dest"
        { 20, false, false, 0 },   // "Flt Freq", an amount
        { 120, false, false, 0 },  // a sequencer step
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.index);
        auto& p = param (c.index);
        EXPECT_EQ (p.isDiscrete(), c.discrete);
        EXPECT_EQ (p.isBoolean(), c.boolean);
        if (! c.discrete)
            continue;

        // Step k of a menu is its entry k, at the host value it always had (k ÷ max).
        ASSERT_EQ (p.getNumSteps(), c.steps);
        const auto max = c.steps - 1;
        for (int k = 0; k <= max; ++k)
        {
            const auto hostValue = (float) k / (float) max;
            EXPECT_EQ (p.getText (hostValue, 100),
                       ParDes::valueToText (processor->getEngine().getTable().getKind (c.index), k));
            p.setValue (hostValue);
            EXPECT_EQ (editByte (c.index), k);
        }
    }
}

TEST_F (ProcessorFixture, HostWritesRoundStoreSendAndPost)
{
    processor->getEngine().selectOutputRow (1);
    EventCollector events (processor->getEngine());

    param (21).setValue (0.5f); // 63.5 -> 64
    EXPECT_EQ (editByte (21), 64);
    EXPECT_EQ (sent(), (std::vector<std::vector<uint8_t>> { cc (1, 99, 0), cc (1, 98, 16), cc (1, 6, 0), cc (1, 38, 64) }));
    EXPECT_EQ (events.take(), std::vector<int32_t> { event::parameterCode (21, 64) });

    param (21).setValue (64.2f / 127.0f); // rounds to the stored byte: nothing at all
    EXPECT_TRUE (sent().empty());
    EXPECT_TRUE (events.take().empty());

    param (4).setValue (0.5f); // max 1: 0.5 -> 0
    EXPECT_EQ (editByte (4), 0);
    sent();

    // Indices without an instrument parameter are stored and posted, never sent.
    param (117).setValue (0.0f);
    EXPECT_EQ (editByte (117), 0);
    EXPECT_TRUE (sent().empty());
    events.take();

    EXPECT_EQ (param (20).getText (0.5f, 100), "82");
    EXPECT_EQ (param (25).getText (0.0f, 100), "-127");
    EXPECT_NEAR (param (2).getValueForText ("PW 10"), 14.0f / 103.0f, 1e-6);
    EXPECT_NEAR (param (20).getValueForText ("82"), 82.0f / 164.0f, 1e-6);
}

TEST_F (ProcessorFixture, EditorChangesOpenAGestureThatClosesAfterTheLastChange)
{
    processor->getEngine().selectOutputRow (1);
    host.calls.clear();

    processor->setParameterFromEditor (20, 100, false, true);
    // Taken before the last change, whose timer cannot close the gesture sooner than 200 ms after it.
    const auto lastChange = juce::Time::getMillisecondCounterHiRes();
    processor->setParameterFromEditor (20, 101, false, true);
    EXPECT_EQ (host.kinds(), "bvv");
    EXPECT_EQ (host.calls[0].index, 20);
    EXPECT_FLOAT_EQ (host.calls[2].value, 101.0f / 164.0f);
    EXPECT_EQ (editByte (20), 101);
    EXPECT_EQ (sent().size(), 6u); // 4 controllers, then the new value without the number

    pumpFor (100);
    // Still open 100 ms after the last change; a loaded machine that took longer to get here
    // cannot tell, so the check only runs while the gesture must still be open.
    if (juce::Time::getMillisecondCounterHiRes() - lastChange < 180.0)
    {
        EXPECT_EQ (host.kinds(), "bvv");
    }
    EXPECT_TRUE (pumpUntil ([&] { return host.kinds() == "bvve"; }, 1000));
    EXPECT_FALSE (processor->isGestureOpen (20));

    host.calls.clear();
    processor->setParameterFromEditor (21, 3, true, false);
    EXPECT_EQ (host.kinds(), "bve");
    EXPECT_TRUE (sent().empty());
}

TEST_F (ProcessorFixture, EditorIndicesOutsideTheHostParameters)
{
    processor->getEngine().selectOutputRow (1);
    EventCollector events (processor->getEngine());
    host.calls.clear();

    processor->setParameterFromEditor (190, 65, true, true); // a name byte: stored and posted only
    EXPECT_EQ (editByte (190), 65);
    EXPECT_TRUE (host.calls.empty());
    EXPECT_EQ (events.take(), std::vector<int32_t> { event::parameterCode (190, 65) });

    processor->setParameterFromEditor (256, 1, true, true);
    processor->setParameterFromEditor (5000, 1, true, true);
    processor->setParameterFromEditor (-1, 1, true, true);
    EXPECT_TRUE (events.take().empty());

    processor->setParameterFromEditor (99, 60, true, true);
    processor->setParameterFromEditor (113, 44, true, true);
    EXPECT_EQ (editByte (99), 60);
    EXPECT_EQ (host.kinds(), "bvebve");
    EXPECT_TRUE (sent().empty());
}

TEST_F (ProcessorFixture, IncomingValuesAreAppliedWithoutEcho)
{
    processor->getEngine().selectOutputRow (1);
    host.calls.clear();
    processor->getEngine().queueParameterValue (20, 100);
    processor->getEngine().queueParameterValue (184, 7);

    EXPECT_TRUE (pumpUntil ([&] { return editByte (184) == 7; }));
    EXPECT_EQ (editByte (20), 100);
    EXPECT_EQ (host.kinds().substr (0, 4), "bvbv");
    EXPECT_TRUE (sent().empty());
}

TEST_F (ProcessorFixture, ProgramsAndNames)
{
    EventCollector events (processor->getEngine());
    ProgramRecord r {};
    r[20] = 33;
    processor->getPluginBank().setProgram (5, r);

    processor->setCurrentProgram (5);
    EXPECT_EQ (processor->getCurrentProgram(), 5);
    EXPECT_EQ (editByte (20), 33);
    EXPECT_EQ (events.take(), (std::vector<int32_t> { event::editBufferReplaced, event::pluginProgramChanged }));

    processor->setCurrentProgram (128);
    processor->setCurrentProgram (-1);
    EXPECT_EQ (processor->getCurrentProgram(), 5);

    processor->changeProgramName (9, "Bass");
    EXPECT_EQ (processor->getProgramName (9), "Bass"); // the 16 stored characters keep their padding
    EXPECT_EQ (processor->getPluginBank().getProgramName (9), "Bass            ");
    EXPECT_EQ (processor->getCurrentProgram(), 9);
    processor->changeProgramName (200, "X");
    EXPECT_EQ (processor->getProgramName (200), "");
}

// A host reads the values right after its call that replaced the sound (pluginval's state test
// does), and may not play in between: the call tells it every new value before it returns. The
// host calls on a thread of its own, as a Linux host does while JUCE runs a message thread for
// the plug-in.
TEST_F (ProcessorFixture, AHostsCallThatReplacesTheSoundReportsItBeforeReturning)
{
    const auto& table = processor->getEngine().getTable();
    auto other = initialProgram();
    for (int i = 0; i < program::nameOffset; ++i)
        if (table.getMax (i) > 0)
            other[(size_t) i] = (uint8_t) ((other[(size_t) i] + 1) % (table.getMax (i) + 1));
    processor->getPluginBank().setProgram (5, other);

    const auto programChunk = MarvexAudioProcessor::makeProgramChunk (other);
    juce::MemoryBlock state;
    processor->getPluginBank().setEditBuffer (other);
    processor->getStateInformation (state);
    processor->getPluginBank().setEditBuffer (initialProgram());

    const std::pair<const char*, std::function<void()>> calls[] = {
        { "program", [&] { processor->setCurrentProgram (5); } },
        { "renamed program", [&] { processor->changeProgramName (5, "Other"); } },
        { "program chunk", [&] { processor->setCurrentProgramStateInformation (programChunk.getData(), (int) programChunk.getSize()); } },
        { "state", [&] { processor->setStateInformation (state.getData(), (int) state.getSize()); } },
    };
    for (const auto& [name, call] : calls)
    {
        SCOPED_TRACE (name);
        processor->getPluginBank().setProgram (0, initialProgram()); // a program chunk went there
        processor->setCurrentProgram (0);                             // the host is told the initial program
        host.calls.clear();

        std::thread hostThread (call);
        hostThread.join();

        std::map<int, float> heard;
        for (const auto& c : host.calls)
        {
            EXPECT_EQ (c.what, 'v'); // not a user's edit: no gesture
            heard[c.index] = c.value;
        }
        for (int i = 0; i < program::numHostParameters; ++i)
        {
            if (table.getMax (i) > 0 && other[(size_t) i] != initialProgram()[(size_t) i])
            {
                EXPECT_TRUE (heard.count (i) == 1 && heard[i] == table.toHostValue (i, other[(size_t) i])) << i;
            }
        }
    }
}

// An LV2 host cannot ask for the values (JUCE's wrapper answers no patch:Get), so it is told all of
// them when the plug-in starts and after every restored state (a project, a preset). The wrapper
// writes what it was told into the next block's output, and loses what does not fit the host's
// buffer: the values come a batch at a time, from the pacer's thread, between blocks. It lists no
// presets: named when the plug-in was built, all 128 would be the initial "Untitled".
TEST (ProcessorAsLv2, TellsEveryValueWhenItStartsAndWhenAStateIsRestored)
{
    TempFolder temp;
    VirtualRig rig;
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_LV2);
    MarvexAudioProcessor processor (rig.makeDevices(), temp.folder);
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);

    // What the wrapper hears, from the pacer's thread, and the most it heard between two blocks.
    struct PacedRecorder : juce::AudioProcessorListener
    {
        std::mutex lock;
        std::map<int, float> heard;
        int sinceBlock = 0, mostBetweenBlocks = 0;
        void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override
        {
            const std::scoped_lock l (lock);
            heard[index] = value;
            mostBetweenBlocks = std::max (mostBetweenBlocks, ++sinceBlock);
        }
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
        void blockRan()
        {
            const std::scoped_lock l (lock);
            sinceBlock = 0;
        }
    } host;
    processor.addListener (&host);
    EXPECT_EQ (processor.getNumPrograms(), 0);

    const auto& table = processor.getEngine().getTable();
    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;
    const auto heardEveryValue = [&]
    {
        // Blocks at about a real host's pace, for a second at most.
        for (int block = 0; block < 100; ++block)
        {
            {
                const std::scoped_lock l (host.lock);
                auto missing = false;
                for (int i = 0; i < program::numHostParameters && ! missing; ++i)
                    missing = table.getMax (i) > 0
                              && (host.heard.count (i) == 0 || host.heard[i] != processor.getParameters()[i]->getValue());
                if (! missing)
                {
                    host.heard.clear();
                    return true;
                }
            }
            host.blockRan();
            processor.processBlock (audio, midi);
            std::this_thread::sleep_for (std::chrono::milliseconds (10));
        }
        return false;
    };

    processor.prepareToPlay (48000, 512);
    EXPECT_TRUE (heardEveryValue());

    juce::MemoryBlock state;
    processor.getStateInformation (state);
    processor.setStateInformation (state.getData(), (int) state.getSize()); // the same sound
    EXPECT_TRUE (heardEveryValue());
    EXPECT_LE (host.mostBetweenBlocks, PacedHostReports::batchSize);
    processor.removeListener (&host);
}

TEST_F (ProcessorFixture, StateRoundTripsThroughBankAndProgramChunks)
{
    ProgramRecord r {};
    r[0] = 11;
    processor->getPluginBank().setProgram (3, r);
    processor->setCurrentProgram (7);
    processor->setParameterFromEditor (21, 42, true, false);

    juce::MemoryBlock state;
    processor->getStateInformation (state);
    ASSERT_GE (state.getSize(), 32793u);
    EXPECT_EQ (juce::String::fromUTF8 (static_cast<const char*> (state.getData()), 25), "KelvoPluginBankVersion100");

    TempFolder otherFolder;
    VirtualRig otherRig;
    MarvexAudioProcessor restored (otherRig.makeDevices(), otherFolder.folder);
    restored.setStateInformation (state.getData(), (int) state.getSize());
    EXPECT_EQ (restored.getPluginBank().getProgramRecord (3), r);
    EXPECT_EQ (restored.getCurrentProgram(), 7);
    EXPECT_EQ (restored.getPluginBank().getEditBufferByte (21), 42);

    // A bank chunk without the trailer loads the programs and leaves the sound alone.
    TempFolder thirdFolder;
    VirtualRig thirdRig;
    MarvexAudioProcessor plain (thirdRig.makeDevices(), thirdFolder.folder);
    plain.setStateInformation (state.getData(), 32793);
    EXPECT_EQ (plain.getPluginBank().getProgramRecord (3), r);
    EXPECT_EQ (plain.getCurrentProgram(), 0);
    EXPECT_EQ (plain.getPluginBank().getEditBufferByte (21), initialProgram()[21]);

    // Wrong header or short: nothing changes.
    const auto before = plain.getPluginBank().getAllPrograms();
    auto wrong = state;
    static_cast<char*> (wrong.getData())[3] = 'x';
    plain.setStateInformation (wrong.getData(), (int) wrong.getSize());
    plain.setStateInformation (state.getData(), 1000);
    plain.setStateInformation (nullptr, 0);
    EXPECT_EQ (plain.getPluginBank().getAllPrograms(), before);

    juce::MemoryBlock programChunk;
    processor->getCurrentProgramStateInformation (programChunk);
    ASSERT_EQ (programChunk.getSize(), 285u);
    EXPECT_EQ (processor->getPluginBank().getProgramByte (7, 21), 42); // stored bank agrees with the chunk

    plain.setCurrentProgram (2);
    plain.setCurrentProgramStateInformation (programChunk.getData(), (int) programChunk.getSize());
    EXPECT_EQ (plain.getPluginBank().getEditBufferByte (21), 42);
    EXPECT_EQ (plain.getPluginBank().getProgramByte (2, 21), 42);
    plain.setCurrentProgramStateInformation (programChunk.getData(), 284);
}

TEST_F (ProcessorFixture, ADamagedStateNeverGivesTheHostAValueOutside0To1)
{
    juce::MemoryBlock state;
    processor->getStateInformation (state);
    juce::MemoryBlock programChunk;
    processor->getCurrentProgramStateInformation (programChunk);

    // Valid headers, damaged program bytes: every parameter byte of every program and of the
    // edited sound is far out of range, a different value in each.
    auto* bytes = static_cast<uint8_t*> (state.getData());
    const auto damage = [] (uint8_t* record, int seed)
    {
        for (int i = 0; i < program::numHostParameters; ++i)
            record[i] = (uint8_t) (147 + (i + seed) % 109);
    };
    for (int n = 0; n < program::programsPerBank; ++n)
        damage (bytes + chunk::bankHeaderSize + chunk::versionSize + n * program::recordSize, n);
    ASSERT_EQ (state.getSize(), chunk::bankChunkSize + chunk::sessionSize);
    damage (bytes + chunk::bankChunkSize + chunk::sessionHeaderSize + 1, 500);
    damage (static_cast<uint8_t*> (programChunk.getData()) + chunk::programHeaderSize + chunk::versionSize, 900);

    const auto everyValueInRange = [this] (const char* after)
    {
        for (auto* p : processor->getParameters())
        {
            const auto v = p->getValue();
            EXPECT_TRUE (v >= 0.0f && v <= 1.0f) << after << ": parameter " << p->getParameterIndex() << " is " << v;
        }
    };
    processor->setStateInformation (state.getData(), (int) state.getSize());
    everyValueInRange ("the bank state");
    for (int n : { 0, 5, 127 })
    {
        processor->setCurrentProgram (n);
        everyValueInRange ("a program of the restored bank");
    }
    processor->setCurrentProgramStateInformation (programChunk.getData(), (int) programChunk.getSize());
    everyValueInRange ("the program state");
    for (const auto& c : host.calls)
    {
        if (c.what == 'v')
        {
            EXPECT_TRUE (c.value >= 0.0f && c.value <= 1.0f) << "told " << c.index << " = " << c.value;
        }
    }

    // A state in range is taken as it is.
    ProgramRecord r = initialProgram();
    r[20] = 99;
    r[(size_t) program::categoryIndex] = 25;
    processor->setCurrentProgramStateInformation (makeProgramChunk (r).getData(), (int) chunk::programChunkSize);
    EXPECT_EQ (processor->getPluginBank().getEditBufferRecord(), r);
}

TEST_F (ProcessorFixture, ProcessBlockPassesAudioAndDropsMidi)
{
    processor->prepareToPlay (48000, 64);
    juce::AudioBuffer<float> audio (2, 64);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 64; ++i)
            audio.setSample (c, i, (float) (c + 1) * 0.01f * (float) i);
    const auto copy = audio;
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 100), 0);

    processor->processBlock (audio, midi);
    EXPECT_TRUE (midi.isEmpty());
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ (audio.getSample (c, i), copy.getSample (c, i));
}

TEST_F (ProcessorFixture, EditorShellRemembersItsSize)
{
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor->createEditor());
    EXPECT_EQ (editor->getWidth(), 1191);
    EXPECT_EQ (editor->getHeight(), 700);

    auto* constrainer = editor->getConstrainer();
    ASSERT_NE (constrainer, nullptr);
    EXPECT_EQ (constrainer->getMinimumWidth(), 893);
    EXPECT_EQ (constrainer->getMaximumWidth(), 1429);
    // The heights that keep the 1191 : 700 shape at the smallest and largest widths.
    EXPECT_EQ (constrainer->getMinimumHeight(), 525);
    EXPECT_EQ (constrainer->getMaximumHeight(), 840);

    editor->setSize (900, 529);
    editor.reset();
    EXPECT_EQ (processor->getEditorSize(), juce::Rectangle<int> (900, 529));

    editor.reset (processor->createEditor());
    EXPECT_EQ (editor->getWidth(), 900);
    auto& main = dynamic_cast<MarvexAudioProcessorEditor&> (*editor).getMainComp();
    EXPECT_EQ (main.getBounds(), editor->getLocalBounds());

    const auto image = editor->createComponentSnapshot (editor->getLocalBounds());
    EXPECT_EQ (image.getPixelAt (450, 1).getARGB(), 0xff404040u); // the app bar, right of its buttons
    editor.reset();
}

TEST (ProcessorTeardown, MidiArrivingWhileTheProcessorIsDestroyedReachesNothingThatIsGone)
{
    VirtualMidiDevices devices;
    const auto input = devices.addInput ("Synth Out");
    devices.addOutput ("Synth In", [] (const juce::MidiMessage&) {});
    MidiFlood flood (devices, input, synthTraffic());

    for (int round = 0; round < 4; ++round)
    {
        TempFolder temp;
        flood.inputOpened();
        auto processor = std::make_unique<MarvexAudioProcessor> (std::make_unique<BorrowedDevices> (devices), temp.folder);
        processor->getEngine().selectInputRow (1);
        const auto start = flood.getTaken();
        ASSERT_TRUE (pumpUntil ([&] { return flood.getTaken() > start + 200; }));

        processor.reset(); // the plug-in bank goes after the engine has closed its input
        flood.inputClosed();
        pumpFor (5);
        EXPECT_EQ (flood.getTakenAfterClose(), 0);
    }
}
