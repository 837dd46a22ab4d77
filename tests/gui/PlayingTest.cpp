#include "host/MarvexAudioProcessor.h"
#include "instrument/SimulatorDevices.h"
#include "model/GlobalSettings.h"
#include "support/ProcessorRig.h"
#include "support/TestHelpers.h"
#include "support/WidgetTestRig.h"
#include "ui/main/MainComp.h"
#include "ui/panels/EditorPanel.h"
#include "ui/panels/KeyBrd.h"
#include "ui/sequencer/SeqClass.h"
#include "ui/sequencer/SeqPanel.h"
#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/KeyOverlay.h"
#include "ui/widgets/KeyPlayClass.h"
#include "ui/widgets/PianoPad.h"
#include "ui/widgets/StsBut.h"
#include "ui/widgets/WheelCnt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <cmath>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
/** Counts the host gestures that open and close on each parameter. */
struct GestureCounter : juce::AudioProcessorListener
{
    std::map<int, int> begun, ended;
    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override {}
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override
    {
        ++begun[index];
    }
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override
    {
        ++ended[index];
    }
};

/** The editor's main component on a processor that is connected to the simulator. */
struct EditorWithSynth : SynthProcessorRig
{
    juce::SharedResourcePointer<KelvoLook> look;
    std::unique_ptr<MainComp> main;

    void SetUp() override
    {
        SynthProcessorRig::SetUp();
        processor->getEngine().selectInputRow (1);
        processor->getEngine().selectOutputRow (1);
        main = std::make_unique<MainComp> (*processor);
        main->setSize (1191, 700);
        ASSERT_TRUE (processor->getEngine().waitUntilSent (2000));
        synth().resetNoteCounts();
    }

    void TearDown() override
    {
        main.reset();
        SynthProcessorRig::TearDown();
    }

    KeyBrd& drawer() { return main->getKeyboard(); }

    void openDrawer()
    {
        MouseDriver handle (drawer());
        handle.press (300, 5);
        handle.drag (300, 5 - 160);
        handle.release (300, 5 - 160);
        ASSERT_FALSE (drawer().isClosed());
    }

    bool synthSettled()
    {
        return processor->getEngine().waitUntilSent (2000) && synth().waitUntilIdle (2000);
    }
};
} // namespace

TEST_F (EditorWithSynth, AGlissandoPlaysOneNoteAtATime)
{
    openDrawer();
    MouseDriver keys (drawer().getKeyBed().getOverlay());
    keys.press (10, 140);
    keys.drag (30, 140);
    keys.drag (55, 140);
    keys.release (55, 140);

    ASSERT_TRUE (pumpUntil ([&] { return synth().getNoteCounts().noteOffs == 3; }));
    const auto counts = synth().getNoteCounts();
    EXPECT_EQ (counts.noteOns, 3);
    EXPECT_EQ (counts.sounding, 0);
    EXPECT_EQ (counts.mostAtOnce, 1);
}

TEST_F (EditorWithSynth, ClosingTheEditorEndsHeldNotesAndCentresThePitchWheel)
{
    openDrawer();
    MouseDriver (drawer().getKeyBed().getOverlay()).press (10, 140);
    MouseDriver pitch (drawer().getPitchWheel());
    pitch.press (5, 50);
    pitch.drag (5, 10);
    ASSERT_TRUE (pumpUntil (
        [&] { return synth().getNoteCounts().sounding == 1 && synth().getNoteCounts().pitchWheel != 8192; }));

    main.reset();
    ASSERT_TRUE (pumpUntil ([&] { return synth().getNoteCounts().sounding == 0; }));
    ASSERT_TRUE (synthSettled());
    EXPECT_EQ (synth().getNoteCounts().pitchWheel, 8192);
    EXPECT_EQ (synth().getNoteCounts().noteOffs, 1);
}

// A synth listening on channel 1 only: the editor moves to channel 2 while a key and the pitch wheel
// are held. What was started on channel 1 must end there, or the synth keeps it.
TEST_F (EditorWithSynth, ChangingTheChannelWhileAKeyIsHeldLeavesNothingSoundingOrBent)
{
    synth().setGlobal (globals::midiChannel, 1);
    openDrawer();
    MouseDriver keys (drawer().getKeyBed().getOverlay());
    keys.press (10, 140);
    drawer().getPlayer().keyPressed (juce::KeyPress ('C'));
    MouseDriver pitch (drawer().getPitchWheel());
    pitch.press (5, 50);
    pitch.drag (5, 10);
    ASSERT_TRUE (pumpUntil (
        [&] { return synth().getNoteCounts().sounding == 2 && synth().getNoteCounts().pitchWheel != 8192; }));

    processor->getEngine().setMidiChannel (2);
    keys.release (10, 140);
    drawer().getPlayer().keyStateChanged (false); // the C key let go
    pitch.release (5, 10);
    pumpFor (3 * KeyPlayClass::repeatGapMs);
    ASSERT_TRUE (synthSettled());
    EXPECT_EQ (synth().getNoteCounts().sounding, 0);
    EXPECT_EQ (synth().getNoteCounts().pitchWheel, 8192);
}

TEST_F (EditorWithSynth, APenStrokeLeavesSynthProcessorAndHostEqual)
{
    // To the sequencer page, as the synth panel's button does.
    main->stsbutPressed (EditorPanel::sequencerButtonId);
    ASSERT_EQ (main->getView(), MainComp::sequencerView);
    auto& page = main->getSequencerPanel();
    ASSERT_TRUE (page.isVisible());
    EXPECT_EQ (main->getSynthPanel().getBounds(), juce::Rectangle<int> (700, 223, 456, 264));

    GestureCounter gestures;
    processor->addListener (&gestures);
    page.drawModeMenuFinished (SeqPanel::penItem);
    auto& track = page.getTrack (0);
    const auto w = (float)(track.getWidth() / 16);
    MouseDriver pen (track);
    pen.press (w * 0.5f, 140);
    pen.drag (w * 6.5f, 40);   // a fast rising stroke
    pen.drag (w * 15.5f, 120); // and down again
    pen.release (w * 15.5f, 120);
    main->drainEvents();

    ASSERT_TRUE (synthSettled());
    const auto synthRecord = synth().getEditBuffer();
    const auto& table = processor->getEngine().getTable();
    std::vector<int> drawn, inSynth, inProcessor, inHost;
    for (int step = 0; step < 16; ++step)
    {
        const auto index = program::firstStepIndex + step;
        drawn.push_back (track.getShownValue (step));
        inSynth.push_back (synthRecord[(size_t)index]);
        inProcessor.push_back (processor->getPluginBank().getEditBufferByte (index));
        const auto hostValue = processor->getParameters()[index]->getValue();
        int v = 0;
        while (v < 127 && std::abs (table.toHostValue (index, v) - hostValue) > 1e-6f)
            ++v;
        inHost.push_back (v);
        EXPECT_EQ (track.getSentValue (step), track.getShownValue (step)) << step;
    }
    EXPECT_EQ (inSynth, drawn);
    EXPECT_EQ (inProcessor, drawn);
    EXPECT_EQ (inHost, drawn);

    // Each step's edit was one host gesture, closed once the stroke stopped.
    ASSERT_TRUE (pumpUntil ([&] { return gestures.ended.size() == 16; }, 3000));
    processor->removeListener (&gestures);
    for (int step = 0; step < 16; ++step)
    {
        EXPECT_EQ (gestures.begun[program::firstStepIndex + step], 1) << step;
        EXPECT_EQ (gestures.ended[program::firstStepIndex + step], 1) << step;
    }
    // Every step was drawn: none of them still holds its old value of the stroke's start.
    EXPECT_GT (*std::max_element (drawn.begin(), drawn.end()), 90);
    EXPECT_LT (*std::min_element (drawn.begin(), drawn.end()), 30);
}

TEST_F (EditorWithSynth, PagesAndEchoes)
{
    main->stsbutPressed (EditorPanel::sequencerButtonId);
    auto& page = main->getSequencerPanel();

    // "Edit" on track 3: the page takes the whole area.
    MouseDriver (page.getEditButton (2)).click (5, 5);
    page.dispatchPendingMessages();
    EXPECT_TRUE (page.isEditingTrack());
    EXPECT_FALSE (main->getSynthPanel().isVisible());

    MouseDriver (page.getOkButton()).click (5, 5);
    page.dispatchPendingMessages();
    EXPECT_FALSE (page.isEditingTrack());
    EXPECT_TRUE (main->getSynthPanel().isVisible());
    EXPECT_EQ (main->getSynthPanel().getBounds(), juce::Rectangle<int> (700, 223, 456, 264));

    MouseDriver (page.getProgramButton()).click (5, 5);
    EXPECT_EQ (main->getView(), MainComp::synthView);
    EXPECT_FALSE (page.isVisible());
    EXPECT_EQ (main->getSynthPanel().getBounds().getY(), 23);

    // Steps and wheels moved on the synth show here.
    main->applyEvent (event::parameterCode (130, 5));
    main->applyEvent (event::parameterCode (118, 9));
    main->applyEvent (event::echoCode (0xb0, 1, 1, 77));
    main->applyEvent (event::echoCode (0xe0, 1, 100, 3));
    EXPECT_EQ (page.getTrack (0).getShownValue (10), 5);
    EXPECT_EQ (drawer().getModWheel().getValue(), 77);
    EXPECT_EQ (drawer().getPitchWheel().getValue(), 100);

    // The drawer opened: the panel ends above it.
    openDrawer();
    drawer().dispatchPendingMessages();
    EXPECT_EQ (main->getSynthPanel().getBottom(), drawer().getY());
}
