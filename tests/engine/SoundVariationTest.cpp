#include "model/EditHistory.h"
#include "model/ParDes.h"
#include "model/SoundDiff.h"
#include "model/SoundVariation.h"

#include <gtest/gtest.h>

#include <functional>

using namespace kelvo;

namespace
{
/** Every byte that no variation may touch. */
bool keptBytesEqual (const ProgramRecord& a, const ProgramRecord& b)
{
    for (int i = 0; i < program::recordSize; ++i)
        if (!SoundVariation::isVaried (i) && a[(size_t)i] != b[(size_t)i])
            return false;
    return true;
}

ProgramRecord namedSound (const juce::String& name, int categoryNumber)
{
    auto r = initialProgram();
    const auto bytes = encodeProgramName (name);
    std::copy (bytes.begin(), bytes.end(), r.begin() + program::nameOffset);
    r[(size_t)program::categoryIndex] = (uint8_t)categoryNumber;
    return r;
}
} // namespace

TEST (SoundVariation, ValuesTheSynthHasNoMeaningForAreNeverAccepted)
{
    const SoundVariation variation;
    const ParameterTable table;
    int gaps = 0;
    for (int i = 0; i < program::numHostParameters; ++i)
    {
        if (!SoundVariation::isVaried (i))
        {
            EXPECT_TRUE (variation.acceptedValues (i).empty()) << i;
            continue;
        }
        for (int v = 0; v <= 255; ++v)
        {
            const auto text = ParDes::valueToText (table.getKind (i), v);
            const auto meaningful =
                v >= table.getMin (i) && v <= table.getMax (i) && text != "*/*" && text.isNotEmpty();
            EXPECT_EQ (variation.isAccepted (i, v), meaningful) << ParameterTable::getName (i) << " " << v;
            gaps += v >= table.getMin (i) && v <= table.getMax (i) && !meaningful ? 1 : 0;
        }
    }
    EXPECT_GT (gaps, 0); // the table does have such values: the test looks at something
    EXPECT_FALSE (variation.isAccepted (program::categoryIndex, 3));
    EXPECT_FALSE (variation.isAccepted (program::nameOffset, 'A'));
}

TEST (SoundVariation, AThousandRandomizationsKeepEveryValueValidTheNameAndTheCategory)
{
    const SoundVariation variation;
    juce::Random random (1234);
    const auto start = namedSound ("Keep My Name", 7);
    auto sound = start;
    int changedSomething = 0;
    for (int n = 0; n < 1000; ++n)
    {
        const auto amount = (float)(n % 10 + 1) / 10.0f; // 10 % .. 100 %
        const auto next =
            n % 3 == 2 ? variation.mutate (sound, 3, random) : variation.randomize (sound, amount, random);
        changedSomething += next != sound ? 1 : 0;
        for (int i = 0; i < program::nameOffset; ++i)
        {
            if (SoundVariation::isVaried (i))
            {
                ASSERT_TRUE (variation.isAccepted (i, next[(size_t)i]))
                    << ParameterTable::getName (i) << " = " << (int)next[(size_t)i];
            }
        }
        ASSERT_TRUE (keptBytesEqual (next, start)) << "step " << n;
        sound = next;
    }
    EXPECT_GT (changedSomething, 990);
}

TEST (SoundVariation, TheAmountBoundsHowFarEachValueMoves)
{
    const SoundVariation variation;
    juce::Random random (99);
    const auto start = initialProgram();
    constexpr int cutoff = 20; // 0..164, every value accepted
    int widest = 0;
    for (int n = 0; n < 300; ++n)
    {
        const auto next = variation.randomize (start, 0.1f, random);
        widest = std::max (widest, std::abs ((int)next[cutoff] - (int)start[cutoff]));
    }
    EXPECT_LE (widest, 16); // 10 % of 164, rounded
    EXPECT_GT (widest, 8);

    // At 100 % the whole range is reachable.
    int lowest = 255, highest = 0;
    for (int n = 0; n < 600; ++n)
    {
        const auto v = (int)variation.randomize (start, 1.0f, random)[cutoff];
        lowest = std::min (lowest, v);
        highest = std::max (highest, v);
    }
    EXPECT_LT (lowest, 10);
    EXPECT_GT (highest, 154);
}

TEST (SoundVariation, MutateChangesExactlyTheGivenNumberOfParameters)
{
    const SoundVariation variation;
    juce::Random random (5);
    const auto start = namedSound ("Mutant", 3);
    for (int count : {1, 3, 8})
        for (int n = 0; n < 50; ++n)
            EXPECT_EQ (
                (int)EditHistory::changesBetween (start, variation.mutate (start, count, random)).size(),
                count);
}

TEST (SoundVariation, AMorphRunsFromOneSoundToTheOtherThroughAcceptedValuesOnly)
{
    const SoundVariation variation;
    juce::Random random (7);
    const auto a = variation.randomize (namedSound ("Sound A", 2), 1.0f, random);
    auto b = variation.randomize (namedSound ("Sound B", 9), 1.0f, random);

    EXPECT_EQ (variation.morph (a, b, 0.0f), a);
    const auto end = variation.morph (a, b, 1.0f);
    EXPECT_TRUE (keptBytesEqual (end, a)); // name and category stay those of the edited sound
    for (int i = 0; i < program::nameOffset; ++i)
    {
        if (SoundVariation::isVaried (i))
        {
            EXPECT_EQ (end[(size_t)i], b[(size_t)i]) << i;
        }
    }

    for (float t = 0.0f; t <= 1.0f; t += 0.05f)
    {
        const auto m = variation.morph (a, b, t);
        for (int i = 0; i < program::nameOffset; ++i)
        {
            if (SoundVariation::isVaried (i))
            {
                ASSERT_TRUE (variation.isAccepted (i, m[(size_t)i])) << i << " at " << t;
            }
        }
    }

    // Halfway between two values of a numeric parameter lies their middle.
    auto c = a, d = a;
    c[20] = 0;
    d[20] = 100;
    EXPECT_EQ (variation.morph (c, d, 0.5f)[20], 50);
}

// A menu's neighbouring entries are not neighbouring sounds, nor is a step's reset or rest a note:
// between two sounds they switch once, halfway, and never pass through an entry neither sound uses.
TEST (SoundVariation, AMorphSwitchesMenusAndRestsHalfwayInsteadOfWalkingThroughThem)
{
    const SoundVariation variation;
    const ParameterTable table;
    int destination = -1;
    for (int i = 0; i < program::nameOffset && destination < 0; ++i)
        if (table.getKind (i) == kind::modDestination && SoundVariation::isVaried (i))
            destination = i;
    ASSERT_GE (destination, 0);
    const auto lfoShape = 43;
    ASSERT_EQ (table.getKind (lfoShape), kind::lfoShape);
    const auto step = program::firstStepIndex;

    struct Case
    {
        int index, from, to;
    };
    const auto destinations = variation.acceptedValues (destination);
    for (const auto& c : {Case{lfoShape, 0, 4}, Case{destination, destinations.front(), destinations.back()},
                          Case{step, 10, seqstep::rest}, Case{step, seqstep::reset, 60}})
    {
        auto a = namedSound ("A", 1), b = a;
        a[(size_t)c.index] = (uint8_t)c.from;
        b[(size_t)c.index] = (uint8_t)c.to;
        for (const auto t : {0.1f, 0.3f, 0.49f})
            EXPECT_EQ (variation.morph (a, b, t)[(size_t)c.index], c.from) << c.index << " at " << t;
        for (const auto t : {0.5f, 0.7f, 0.95f})
            EXPECT_EQ (variation.morph (a, b, t)[(size_t)c.index], c.to) << c.index << " at " << t;
    }

    // Two notes of a step are amounts: the way between them passes through the notes between.
    auto a = namedSound ("A", 1), b = a;
    a[(size_t)step] = 20;
    b[(size_t)step] = 60;
    EXPECT_EQ (variation.morph (a, b, 0.5f)[(size_t)step], 40);
}

TEST (EditHistory, KeepsItsBoundAndANewStepEndsTheRedos)
{
    EditHistory history (3);
    for (int n = 0; n < 5; ++n)
        history.add (
            {"step " + juce::String (n), false, {{20, (uint8_t)n, (uint8_t)(n + 1)}}, std::nullopt, {}});
    EXPECT_EQ (history.getNumUndoSteps(), 3u);
    EXPECT_EQ (history.getUndoLabel(), "step 4");

    ASSERT_NE (history.undo(), nullptr);
    ASSERT_NE (history.undo(), nullptr);
    EXPECT_EQ (history.getRedoLabel(), "step 3");
    ASSERT_NE (history.undo(), nullptr);
    EXPECT_EQ (history.undo(), nullptr); // step 0 and 1 are gone
    ASSERT_NE (history.redo(), nullptr);
    history.add ({"new", false, {}, std::nullopt, {}});
    EXPECT_FALSE (history.canRedo());
    EXPECT_EQ (history.getUndoLabel(), "new");
}

// Transmissions and loads of preset slots hold whole programs: past their own bound the oldest go,
// with every step before them. A step of one slot (a library entry chosen) is small and stays.
TEST (EditHistory, KeepsFewStepsThatHoldBanksAndTheStepsBeforeThemGo)
{
    const auto transmission = [] (int n)
    { return EditHistory::Step{"Transmit", false, {}, std::nullopt, {{0, n, {}, {}}}}; };
    const auto presetLoad = [] (int n)
    {
        EditHistory::Step step{"Load presets", true, {}, std::nullopt, {}};
        step.presetSlots = {{n, {}, {}}, {n + 1, {}, {}}};
        return step;
    };
    for (const auto& bankStep : {std::function<EditHistory::Step (int)> (transmission), std::function<EditHistory::Step (int)> (presetLoad)})
    {
        EditHistory history;
        history.add ({"edit first", false, {{20, 1, 2}}, std::nullopt, {}});
        for (size_t n = 0; n <= EditHistory::maxTransmissionSteps; ++n)
        {
            history.add (bankStep ((int)n));
            history.add ({"edit " + juce::String (n), false, {{20, 1, 2}}, std::nullopt, {}});
        }
        // The first such step and the edit before it are gone; the edit after it stays.
        EXPECT_EQ (history.getNumUndoSteps(), 2 * EditHistory::maxTransmissionSteps + 1);
        while (history.getNumUndoSteps() > 1)
            ASSERT_NE (history.undo(), nullptr);
        EXPECT_EQ (history.getUndoLabel(), "edit 0");
    }

    EditHistory history;
    for (size_t n = 0; n <= 2 * EditHistory::maxTransmissionSteps; ++n)
    {
        EditHistory::Step oneSlot{"Load entry", true, {}, std::nullopt, {}};
        oneSlot.presetSlots = {{5, {}, {}}};
        history.add (oneSlot);
    }
    EXPECT_EQ (history.getNumUndoSteps(), 2 * EditHistory::maxTransmissionSteps + 1);
}

TEST (SoundDiff, ListsExactlyTheDifferingParametersWithBothTexts)
{
    auto a = namedSound ("First", 1);
    auto b = a;
    b[20] = (uint8_t)(a[20] + 5);       // Flt Freq
    b[43] = (uint8_t)((a[43] + 1) % 5); // LFO 1 Shape, a list
    b[(size_t)program::categoryIndex] = 2;
    b[100] = (uint8_t)(a[100] + 1); // holds no instrument parameter: not listed
    const auto newName = encodeProgramName ("Second");
    std::copy (newName.begin(), newName.end(), b.begin() + program::nameOffset);

    const auto rows = SoundDiff::between (a, b);
    ASSERT_EQ (rows.size(), 4u);
    EXPECT_EQ (rows[0].name, "Flt Freq");
    EXPECT_EQ (rows[0].first, juce::String (a[20]));
    EXPECT_EQ (rows[0].second, juce::String (b[20]));
    EXPECT_EQ (rows[1].name, "LFO 1 Shape");
    EXPECT_EQ (rows[1].second, ParDes::valueToText (38, b[43]));
    EXPECT_EQ (rows[2].name, ParameterTable::getName (program::categoryIndex));
    EXPECT_EQ (rows[3].index, SoundDiff::nameRow);
    EXPECT_EQ (rows[3].first, "First");
    EXPECT_EQ (rows[3].second, "Second");
    EXPECT_TRUE (SoundDiff::between (a, a).empty());
}
