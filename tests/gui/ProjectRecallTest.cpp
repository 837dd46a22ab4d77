#include "host/ProjectRecall.h"
#include "support/ProcessorRig.h"
#include "ui/main/MainComp.h"
#include "ui/panels/EditorPanel.h"
#include "ui/widgets/LCD_Comp.h"
#include "ui/widgets/KelvoLook.h"

using namespace kelvo;
using namespace kelvo::test;

namespace
{
struct ProjectRecallTest : SynthProcessorRig
{
    /** The state of another instance whose edit buffer holds sound. */
    juce::MemoryBlock savedProject (const ProgramRecord& sound)
    {
        TempFolder otherFolder;
        MarvexAudioProcessor other (std::make_unique<VirtualMidiDevices>(), otherFolder.folder);
        other.getPluginBank().setEditBuffer (sound);
        juce::MemoryBlock state;
        other.getStateInformation (state);
        return state;
    }

    void restore (const juce::MemoryBlock& state)
    {
        processor->setStateInformation (state.getData(), (int)state.getSize());
    }
};
} // namespace

TEST_F (ProjectRecallTest, TheRestoredSoundReachesTheSynthOnceWhenOnline)
{
    goOnline();
    settle();
    toSynth.take();
    const auto saved = distinctSound (7, "Saved Sound");
    synth().setEditBuffer (distinctSound (1, "Something Else"));

    restore (savedProject (saved));
    ASSERT_TRUE (pumpUntil ([&] { return synth().getEditBuffer() == saved; }));

    // An editor opening later checks the link again: the sound is not sent a second time.
    engine().checkConnection();
    ASSERT_TRUE (pumpUntil ([&] { return engine().hasGlobalDumpArrived(); }));
    pumpFor (200);
    settle();
    const auto sent = toSynth.take();
    EXPECT_EQ (countSysEx (sent, sysex::editBufferDump), 1);
    EXPECT_EQ (countSysEx (sent, sysex::programDump), 0); // never into the synth's memory
}

TEST_F (ProjectRecallTest, ARestoredSoundWaitsForTheLinkToComeOnline)
{
    const auto saved = distinctSound (9, "Waits");
    synth().setEditBuffer (distinctSound (2, "Before"));

    restore (savedProject (saved));
    pumpFor (200);
    EXPECT_TRUE (processor->getProjectRecall().isPending());

    // The ports open with no editor there to check the link: the recall asks for itself.
    engine().selectInputRow (1);
    engine().selectOutputRow (1);
    ASSERT_TRUE (pumpUntil ([&] { return synth().getEditBuffer() == saved; }));
    EXPECT_FALSE (processor->getProjectRecall().isPending());
    settle();
    EXPECT_EQ (countSysEx (toSynth.take(), sysex::editBufferDump), 1);
}

TEST_F (ProjectRecallTest, TurnedOffTheSynthKeepsItsSoundAndTheChoiceIsKept)
{
    auto& recall = processor->getProjectRecall();
    EXPECT_TRUE (recall.isEnabled()); // on by default
    recall.setEnabled (false);
    goOnline();
    settle();
    toSynth.take();
    const auto before = distinctSound (3, "Keep Me");
    synth().setEditBuffer (before);

    restore (savedProject (distinctSound (8, "Not Sent")));
    pumpFor (300);
    settle();
    EXPECT_EQ (countSysEx (toSynth.take(), sysex::editBufferDump), 0);
    EXPECT_EQ (synth().getEditBuffer(), before);
    EXPECT_EQ (bank().getEditBufferRecord(),
               distinctSound (8, "Not Sent")); // restored in the editor all the same

    // The next instance reads the choice from the settings file.
    engine().saveSettings();
    MarvexAudioProcessor next (std::make_unique<VirtualMidiDevices>(), temp.folder);
    EXPECT_FALSE (next.getProjectRecall().isEnabled());
}

TEST_F (ProjectRecallTest, AStateWithoutAnEditedSoundSendsNothing)
{
    goOnline();
    settle();
    toSynth.take();
    // A bank chunk of the first format: programs only, no session.
    juce::MemoryBlock state;
    state.append ("KelvoPluginBank", 15);
    state.append ("Version100", 10);
    juce::MemoryBlock programs ((size_t)program::bankSize, true);
    state.append (programs.getData(), programs.getSize());
    restore (state);
    ASSERT_EQ (bank().getProgramByte (0, 20), 0); // the chunk was taken
    pumpFor (200);
    settle();
    EXPECT_EQ (countSysEx (toSynth.take(), sysex::editBufferDump), 0);
}

// The synth plays U1 001 (its own, not our copy of it); a fresh instance's editor goes on-line and
// shows that sound, so that the first knob turned edits what is playing.
TEST_F (ProjectRecallTest, AFreshEditorGoingOnlineShowsTheSoundTheSynthPlays)
{
    juce::SharedResourcePointer<KelvoLook> look;
    personalise (synth());
    const auto playing = synth().getProgram (0, 0);
    synth().setEditBuffer (playing);
    ASSERT_NE (playing, engine().getSynthBank (0)->getProgramRecord (0));

    engine().selectInputRow (1);
    engine().selectOutputRow (1);
    auto main = std::make_unique<MainComp> (*processor);
    main->setSize (1191, 700);
    ASSERT_TRUE (pumpUntil ([&] { return bank().getEditBufferRecord() == playing; }));
    main->drainEvents();
    EXPECT_EQ (main->getSynthPanel().getLcd().getProgramName().trimEnd(),
               decodeProgramName (playing.data() + program::nameOffset, program::nameLength).trimEnd());

    // Only once: a later connection check leaves the editor's sound alone.
    processor->setParameterFromEditor (20, 3, true, true);
    engine().checkConnection();
    ASSERT_TRUE (pumpUntil ([&] { return engine().hasGlobalDumpArrived(); }));
    main->drainEvents();
    pumpFor (100);
    EXPECT_EQ (bank().getEditBufferByte (20), 3);
    EXPECT_EQ (synth().getEditBuffer()[20], 3);
}

// A restored project's sound stays in the editor and goes to the synth, as before.
TEST_F (ProjectRecallTest, ARestoredEditorGoingOnlineKeepsItsSound)
{
    juce::SharedResourcePointer<KelvoLook> look;
    const auto saved = distinctSound (5, "Restored");
    restore (savedProject (saved));
    engine().selectInputRow (1);
    engine().selectOutputRow (1);
    auto main = std::make_unique<MainComp> (*processor);
    main->setSize (1191, 700);
    ASSERT_TRUE (pumpUntil ([&] { return synth().getEditBuffer() == saved; }));
    pumpFor (200);
    settle();
    EXPECT_EQ (bank().getEditBufferRecord(), saved);
}

// With no editor open too: the first connection of a fresh instance brings the synth's sound in,
// unless the instance's sound was already edited, which then stays.
TEST_F (ProjectRecallTest, TheFirstConnectionTakesTheSynthsSoundOnlyIntoAnUntouchedInstance)
{
    for (const auto editedBefore : { false, true })
    {
        SCOPED_TRACE (editedBefore ? "edited before" : "untouched");
        processor.reset();
        SetUp(); // a fresh instance each time
        const auto playing = distinctSound (4, "Playing");
        synth().setEditBuffer (playing);
        if (editedBefore)
            processor->setParameterFromEditor (20, 77, true, true);
        const auto ours = bank().getEditBufferRecord();

        ASSERT_NO_FATAL_FAILURE (goOnline());
        pumpFor (100);
        settle();
        EXPECT_EQ (bank().getEditBufferRecord(), editedBefore ? ours : playing);
    }
}
