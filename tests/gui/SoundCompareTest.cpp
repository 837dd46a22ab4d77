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
