#include "host/ProjectRecall.h"
#include "support/ProcessorRig.h"

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
