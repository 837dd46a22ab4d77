#include "host/MarvexAudioProcessor.h"
#include "host/MarvexAudioProcessorEditor.h"
#include "ui/main/MainComp.h"
#include "support/HostRecorder.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::test;

namespace
{

struct ProcessorFixture : ::testing::Test
{
    TempFolder temp;
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
    EXPECT_EQ (dynamic_cast<juce::HostedAudioProcessorParameter&> (param (42)).getParameterID(), "p42");
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
    EXPECT_EQ (constrainer->getMinimumWidth(), 452);
    EXPECT_EQ (constrainer->getMaximumWidth(), 1429);
    // The heights that keep the 1191 : 700 shape at the smallest and largest widths.
    EXPECT_EQ (constrainer->getMinimumHeight(), 266);
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
