#include "host/SoundCompare.h"
#include "host/SoundHistory.h"
#include "host/SoundMorph.h"
#include "librarian/LibraryStore.h"
#include "librarian/ProgramLibrary.h"
#include "model/SoundVariation.h"
#include "support/ProcessorRig.h"
#include "ui/panels/SoundToolsPanel.h"
#include "ui/widgets/KelvoLook.h"

using namespace kelvo;
using namespace kelvo::test;

namespace
{
struct SoundCompareTest : SynthProcessorRig
{
    juce::SharedResourcePointer<KelvoLook> look;

    SoundCompare& compare() { return processor->getCompare(); }
    SoundHistory& history() { return processor->getHistory(); }

    void panelMutate()
    {
        SoundToolsPanel panel (*processor);
        panel.getMutateButton().onClick();
    }

    ProgramRecord synthSound()
    {
        settle();
        return synth().getEditBuffer();
    }
};
} // namespace

TEST_F (SoundCompareTest, SwitchesTheSynthBetweenTheEditAndTheStoredProgramAndListsTheDifferences)
{
    goOnline();
    const auto stored = distinctSound (3, "Stored");
    engine().getSynthBank (2)->setProgram (4, stored);
    synth().setProgram (2, 4, stored);
    engine().selectProgram (2, 4, true);
    processor->setParameterFromEditor (20, 99, true, true); // Flt Freq
    processor->setParameterFromEditor (43, 4, true, true);  // LFO 1 Shape
    const auto edited = bank().getEditBufferRecord();
    ASSERT_EQ (synthSound(), edited);
    const auto steps = history().getSteps().getNumUndoSteps();

    SoundToolsPanel panel (*processor);
    ASSERT_EQ (panel.getNumDifferenceRows(), 2);
    EXPECT_EQ (panel.getDifferenceRow (1),
               (juce::StringArray{"LFO 1 Shape", "Random", ParDes::valueToText (38, stored[43])}));

    const auto rows = compare().getDifferences();
    ASSERT_EQ (rows.size(), 2u);
    EXPECT_EQ (rows[0].name, "Flt Freq");
    EXPECT_EQ (rows[0].first, "99");
    EXPECT_EQ (rows[0].second, juce::String (stored[20]));
    EXPECT_EQ (rows[1].name, "LFO 1 Shape");
    EXPECT_EQ (rows[1].first, "Random");
    EXPECT_EQ (rows[1].second, ParDes::valueToText (38, stored[43]));

    panel.getCompareButton().triggerClick();
    ASSERT_TRUE (pumpUntil ([&] { return compare().isComparing(); }));
    EXPECT_EQ (synthSound(), stored);
    EXPECT_EQ (bank().getEditBufferRecord(), stored);
    pumpFor (50);
    EXPECT_EQ (panel.getPlayingText(), "Playing: U3:005 Stored");
    EXPECT_EQ (compare().getDifferences().size(), 2u); // still the edit against its source

    compare().toggle();
    EXPECT_FALSE (compare().isComparing());
    EXPECT_EQ (synthSound(), edited);
    EXPECT_EQ (bank().getEditBufferRecord(), edited);
    pumpFor (120);
    EXPECT_EQ (history().getSteps().getNumUndoSteps(), steps); // comparing is no edit
}

TEST_F (SoundCompareTest, WithoutAStoredProgramTheSourceIsTheSoundBeforeTheEdits)
{
    goOnline();
    const auto applied = distinctSound (6, "Applied");
    history().applySound (applied, "Library Applied");
    processor->setParameterFromEditor (21, 3, true, true);

    EXPECT_EQ (compare().getSourceLabel(), "Before Edits");
    const auto rows = compare().getDifferences();
    ASSERT_EQ (rows.size(), 1u);
    EXPECT_EQ (rows[0].name, "Resonance");

    compare().toggle();
    EXPECT_EQ (synthSound(), applied);
    compare().toggle();
    EXPECT_EQ (synthSound()[21], 3);

    // An undo while the source plays first gives the edited sound back, then undoes its last step.
    compare().toggle();
    ASSERT_TRUE (history().undo());
    EXPECT_FALSE (compare().isComparing());
    EXPECT_EQ (bank().getEditBufferRecord(), applied);
    EXPECT_EQ (synthSound(), applied);
    ASSERT_TRUE (history().redo());
    EXPECT_EQ (synthSound()[21], 3);
}

TEST_F (SoundCompareTest, AThousandRandomizationsReachTheSynthValidWithTheNameAndCategoryKept)
{
    goOnline();
    auto start = distinctSound (2, "My Own Name");
    start[(size_t)program::categoryIndex] = 11;
    history().applySound (start, "Start");
    const auto& variation = processor->getVariation();

    SoundToolsPanel panel (*processor);
    for (int n = 0; n < 1000; ++n)
    {
        panel.getAmountSlider().setValue (n % 100 + 1);
        (n % 4 == 3 ? panel.getMutateButton() : panel.getRandomizeButton()).onClick();
        const auto sound = bank().getEditBufferRecord();
        for (int i = 0; i < program::nameOffset; ++i)
        {
            if (SoundVariation::isVaried (i))
            {
                ASSERT_TRUE (variation.isAccepted (i, sound[(size_t)i])) << ParameterTable::getName (i);
            }
        }
        ASSERT_EQ (bank().getEditBufferName(), "My Own Name     ");
        ASSERT_EQ (sound[(size_t)program::categoryIndex], 11);
    }
    EXPECT_EQ (synthSound(), bank().getEditBufferRecord());
    EXPECT_EQ (history().getUndoLabel(), "Mutate");
    EXPECT_EQ (history().getSteps().getNumUndoSteps(), EditHistory::defaultMaxSteps);
}

TEST_F (SoundCompareTest, AMorphIsPacedForTheSynthAndEachMoveIsOneStep)
{
    goOnline();
    const auto from = distinctSound (1, "From");
    auto to = distinctSound (90, "To");
    for (int i = 20; i < 60; ++i)
        to[(size_t)i] = processor->getVariation().acceptedValues (i).back();
    history().applySound (from, "From");
    settle();
    toSynth.take();

    auto& morph = processor->getMorph();
    morph.begin (to, "U1:001 To");
    morph.beginMove();
    for (int n = 1; n <= 100; ++n)
        morph.setPosition ((float)n / 100.0f); // a fast slider: no time passes between moves
    EXPECT_EQ (morph.getNumSends(), 1);
    morph.endMove();

    const auto expected = processor->getVariation().morph (from, to, 1.0f);
    EXPECT_EQ (bank().getEditBufferRecord(), expected);
    ASSERT_TRUE (pumpUntil ([&] { return synth().getEditBuffer() == expected; }));
    EXPECT_EQ (morph.getNumSends(), 2); // the last position follows after the pause
    EXPECT_EQ (history().getUndoLabel(), "Morph to U1:001 To 100 %");
    EXPECT_EQ (bank().getEditBufferName(), "From            ");

    ASSERT_TRUE (history().undo());
    EXPECT_EQ (synthSound(), from);
}

// "LIB" in the bank box lists the program library's entries (as its file holds them, whether the
// library window is open or not); the slider morphs towards the chosen one.
TEST_F (SoundCompareTest, TheMorphGoesTowardsAnEntryOfTheLibrary)
{
    goOnline();
    auto entrySound = distinctSound (70, "Lib Entry");
    for (int i = 20; i < 60; ++i)
        entrySound[(size_t)i] = processor->getVariation().acceptedValues (i).back();
    ProgramRecord entry{};
    {
        ProgramLibrary library (ProgramLibrary::defaultFileIn (engine().getSettingsFolder()), bank(),
                                [] (const juce::MemoryBlock&) {});
        library.loadDefaultFile();
        history().applySound (distinctSound (71, "First Entry"), "One");
        ASSERT_EQ (library.addCurrentProgram ("First Entry", 2), SaveResult::written);
        history().applySound (entrySound, "Two");
        ASSERT_EQ (library.addCurrentProgram ("Lib Entry", 3), SaveResult::written);
        entry = library.getStore().getEntryRecord (1);
    }
    const auto from = distinctSound (1, "From");
    history().applySound (from, "From");

    SoundToolsPanel panel (*processor);
    panel.chooseLibraryMorphTarget (1);
    ASSERT_EQ (panel.getProgramBox().getNumItems(), 2);
    EXPECT_EQ (panel.getProgramBox().getText(), "002  Lib Entry");

    panel.getMorphSlider().setValue (100.0, juce::sendNotificationSync);
    const auto expected = processor->getVariation().morph (from, entry, 1.0f);
    EXPECT_NE (expected, from);
    EXPECT_EQ (bank().getEditBufferRecord(), expected);
    ASSERT_TRUE (pumpUntil ([&] { return synth().getEditBuffer() == expected; }));
    EXPECT_EQ (bank().getEditBufferName(), "From            ");
    EXPECT_EQ (history().getUndoLabel(), "Morph to LIB Lib Entry 100 %");
}

// While the source plays, every edit first gives the edited sound back and then applies to it: a
// knob, a variation, a morph, and the synth's own knobs or a new program from it. Nothing made
// before the comparison is lost, and each undo step holds what really was there before it.
TEST_F (SoundCompareTest, AnEditWhileComparingEndsTheComparisonAndAppliesToTheEditedSound)
{
    goOnline();
    const auto stored = distinctSound (3, "Stored");
    engine().getSynthBank (2)->setProgram (4, stored);
    synth().setProgram (2, 4, stored);
    engine().selectProgram (2, 4, true);
    processor->setParameterFromEditor (20, 99, true, true); // Flt Freq, the edit to keep
    const auto edited = bank().getEditBufferRecord();

    const auto compareSource = [&]
    {
        const auto source = compare().getSource();
        ASSERT_NE (source, bank().getEditBufferRecord());
        compare().toggle();
        ASSERT_TRUE (compare().isComparing());
        ASSERT_EQ (bank().getEditBufferRecord(), source);
    };

    // A knob of the editor.
    compareSource();
    processor->setParameterFromEditor (21, 7, true, true); // Resonance
    EXPECT_FALSE (compare().isComparing());
    auto expected = edited;
    expected[21] = 7;
    EXPECT_EQ (bank().getEditBufferRecord(), expected);
    EXPECT_EQ (synthSound(), expected);
    ASSERT_TRUE (history().undo());
    EXPECT_EQ (bank().getEditBufferRecord(), edited); // the step's before is the edited sound's
    ASSERT_TRUE (history().redo());

    // A variation varies the edited sound, not the one compared with.
    compareSource();
    panelMutate();
    EXPECT_FALSE (compare().isComparing());
    const auto mutated = bank().getEditBufferRecord();
    EXPECT_LE (SoundDiff::between (mutated, expected).size(), 3u); // three mutated
    EXPECT_EQ (synthSound(), mutated);

    // A knob turned on the synth while the sound before the variation plays: the move lands in the
    // varied sound.
    compareSource();
    ASSERT_NE (bank().getEditBufferRecord()[22], 33);
    synth().turnKnob (22, 33);
    ASSERT_TRUE (pumpUntil ([&] { return !compare().isComparing(); }));
    pumpFor (100);
    auto withKnob = mutated;
    withKnob[22] = 33;
    EXPECT_EQ (bank().getEditBufferRecord(), withKnob);
    EXPECT_EQ (synthSound(), withKnob);

    // A program chosen on the synth: its undo gives the edited sound back, not the compared one.
    compareSource();
    const auto other = distinctSound (40, "Other");
    synth().setProgram (1, 9, other);
    engine().getSynthBank (1)->setProgram (9, other);
    synth().selectProgramOnPanel (1, 9);
    ASSERT_TRUE (pumpUntil ([&] { return bank().getEditBufferRecord() == other; }));
    pumpFor (150);
    EXPECT_FALSE (compare().isComparing());
    ASSERT_TRUE (history().undo());
    EXPECT_EQ (bank().getEditBufferRecord(), withKnob);
}

// After a variation, "Compare" plays the sound before it.
TEST_F (SoundCompareTest, AVariationIsComparedWithTheSoundBeforeIt)
{
    goOnline();
    const auto before = distinctSound (5, "Before");
    history().applySound (before, "Before");
    SoundToolsPanel panel (*processor);
    panel.getAmountSlider().setValue (50);
    panel.getRandomizeButton().onClick();
    const auto varied = bank().getEditBufferRecord();
    ASSERT_NE (varied, before);

    EXPECT_EQ (compare().getSourceLabel(), "Before Randomize 50 %");
    EXPECT_EQ (compare().getDifferences().size(), SoundDiff::between (varied, before).size());
    EXPECT_FALSE (compare().getDifferences().empty());
    compare().toggle();
    EXPECT_EQ (synthSound(), before);
    compare().toggle();
    EXPECT_EQ (synthSound(), varied);

    // A morph, however many moves it takes, compares with where it began.
    auto& morph = processor->getMorph();
    morph.begin (distinctSound (80, "Target"), "U1:001 Target");
    morph.setPosition (0.3f);
    morph.setPosition (0.8f);
    EXPECT_EQ (compare().getSource(), varied);
    EXPECT_EQ (compare().getSourceLabel(), "Before Morph to U1:001 Target 80 %");

    // A new sound is a new start.
    history().applySound (distinctSound (81, "Fresh"), "Fresh");
    EXPECT_EQ (compare().getSourceLabel(), "Before Edits");
}

// The morph slider stands where the sound is after an undo or a redo of its moves.
TEST_F (SoundCompareTest, TheMorphSliderFollowsUndoAndRedo)
{
    goOnline();
    history().applySound (distinctSound (1, "From"), "From");
    engine().getSynthBank (0)->setProgram (0, distinctSound (90, "To"));
    SoundToolsPanel panel (*processor);
    panel.chooseMorphTarget (0, 0);
    auto& slider = panel.getMorphSlider();
    slider.setValue (40.0, juce::sendNotificationSync);
    slider.setValue (80.0, juce::sendNotificationSync);
    pumpFor (50);

    const auto sliderAfter = [&] (bool undoing)
    {
        EXPECT_TRUE (undoing ? history().undo() : history().redo());
        pumpFor (50);
        return slider.getValue();
    };
    EXPECT_EQ (sliderAfter (true), 40.0);
    EXPECT_EQ (sliderAfter (true), 0.0);
    EXPECT_EQ (sliderAfter (false), 40.0);
}

// While F1..F4 are not known to be the synth's own, the built-in factory set only stands in for
// them: the source of an F-bank program is asked of the synth itself.
TEST_F (SoundCompareTest, TheSourceOfAFactoryProgramIsWhatTheSynthHolds)
{
    goOnline();
    ASSERT_FALSE (engine().factoryBanksMatchSynth.load());
    const auto onTheSynth = distinctSound (12, "Synth's Own");
    synth().setProgram (5, 4, onTheSynth);
    ASSERT_NE (engine().getSynthBank (5)->getProgramRecord (4), onTheSynth);
    engine().selectProgram (5, 4, true);
    pumpFor (100);
    processor->setParameterFromEditor (21, 9, true, true);
    const auto edited = bank().getEditBufferRecord();

    compare().toggle();
    ASSERT_TRUE (pumpUntil ([&] { return compare().isComparing(); }));
    EXPECT_EQ (bank().getEditBufferRecord(), onTheSynth);
    EXPECT_EQ (synthSound(), onTheSynth);
    EXPECT_EQ (compare().getSourceLabel(), "F2:005 " + engine().getSynthBank (5)->getProgramName (4).trimEnd());
    EXPECT_EQ (engine().getSynthBank (5)->getProgramRecord (4) == onTheSynth, false); // the local copy stays
    compare().toggle();
    EXPECT_EQ (synthSound(), edited);
}
