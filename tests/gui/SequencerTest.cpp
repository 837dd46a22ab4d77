#include "support/WidgetTestRig.h"
#include "ui/sequencer/SeqClass.h"
#include "ui/sequencer/SeqPanel.h"
#include "ui/widgets/StsBut.h"
#include "ui/widgets/StsCont.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
/** One track editor at its normal size (522 × 155 at scale 1: steps 32 pixels wide, one unit a
    pixel), on a processor that records what it was sent. */
struct TrackFixture : ::testing::Test
{
    ProcessorRig p;
    std::unique_ptr<SeqClass> track;

    void makeTrack (int t)
    {
        track = std::make_unique<SeqClass> (*p, t);
        track->setDesignBounds (149, 2, 522, 155);
        track->setScale (1.0f);
    }

    static float stepCentre (int step) { return 32.0f * (float)step + 16.0f; }
    int index (int step) const { return program::firstStepIndex + 16 * track->getTrack() + step; }

    /** Clicks a step's state button and shows the result as the main window would. */
    int clickState (int step)
    {
        MouseDriver (*track).click (stepCentre (step), 5);
        const auto sent = p.sent();
        if (sent.size() != 1 || sent[0].first != index (step))
            return -1;
        track->setStepFromEngine (step, sent[0].second);
        return sent[0].second;
    }
};
} // namespace

TEST_F (TrackFixture, StateButtonCycle)
{
    struct Case
    {
        const char* what;
        int track;
        bool quantize;
        int start;
        std::vector<int> clicks;
    };
    const Case cases[] = {
        {"track 1: reset, rest, back", 0, false, 60, {126, 127, 60}},
        {"track 1 quantized: rest becomes reset", 0, true, 60, {126, 126, 126}},
        {"track 2 never sends 127", 1, false, 60, {126, 60, 126}},
        {"track 4 quantized returns a whole semitone", 3, true, 61, {126, 60, 126}},
        {"track 3 holding a rest from the synth", 2, false, 127, {126, 0, 126}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        makeTrack (c.track);
        track->setQuantize (c.quantize);
        track->setStepFromEngine (5, c.start);
        std::vector<int> got;
        for (size_t i = 0; i < c.clicks.size(); ++i)
            got.push_back (clickState (5));
        EXPECT_EQ (got, c.clicks);
    }
}

TEST_F (TrackFixture, SliderDrags)
{
    makeTrack (0);
    struct Case
    {
        const char* what;
        bool quantize;
        std::vector<juce::Point<float>> drags;
        ProcessorRig::Sent sent;
    };
    const Case cases[] = {
        {"the very top gives 125, never a reset", false, {{112, 0}}, {{123, 125}}},
        {"below the bottom gives 0", false, {{112, 300}}, {{123, 0}}},
        {"a value is sent once while it holds",
         false,
         {{112, 50}, {112, 50.5f}, {112, 51}},
         {{123, 98}, {123, 97}}},
        {"quantized: 61 sends 60", true, {{112, 87}}, {{123, 60}}},
        {"sliders: moving over other steps still sets the first", false, {{400, 48}}, {{123, 100}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        track->setQuantize (c.quantize);
        MouseDriver mouse (*track);
        mouse.press (stepCentre (3), 100);
        for (const auto& d : c.drags)
            mouse.drag (d.x, d.y);
        mouse.release (c.drags.back().x, c.drags.back().y);
        EXPECT_EQ (p.sent(), c.sent);
    }

    // The synth's own panel changed the step since; the same drag sends again.
    MouseDriver mouse (*track);
    mouse.press (stepCentre (3), 100);
    mouse.drag (stepCentre (3), 48);
    EXPECT_EQ (p.sent(), (ProcessorRig::Sent{{123, 100}}));
    p.processor->setParameterFromEditor (123, 50, true, false);
    track->setStepFromEngine (3, 50);
    p.sent();
    mouse.press (stepCentre (3), 100);
    mouse.drag (stepCentre (3), 48);
    EXPECT_EQ (p.sent(), (ProcessorRig::Sent{{123, 100}}));
}

TEST_F (TrackFixture, PenFillsEveryStepAFastStrokeCrossed)
{
    makeTrack (0);
    track->setDrawMode (SeqClass::penMode);
    MouseDriver mouse (*track);
    mouse.press (stepCentre (0), 148);
    mouse.drag (stepCentre (15), 23); // one event from level 0 on step 0 to level 125 on step 15
    const auto sent = p.sent();
    ASSERT_EQ (sent.size(), 16u);
    for (int s = 0; s < 16; ++s)
    {
        EXPECT_EQ (sent[(size_t)s].first, 120 + s);
        EXPECT_NEAR (sent[(size_t)s].second, 125.0 * s / 15.0, 1.0) << s;
    }

    // Back over the same steps in the same stroke: only the steps whose value changes are sent.
    mouse.drag (stepCentre (13), 23);
    EXPECT_EQ (p.sent(), (ProcessorRig::Sent{{133, 125}, {134, 125}}));
}

TEST_F (TrackFixture, BoundariesAndOutside)
{
    makeTrack (0);
    MouseDriver mouse (*track);
    for (const auto x : {0.0f, 32.0f, 64.0f, 512.0f, 600.0f, -5.0f})
    {
        mouse.press (x, 100);
        mouse.drag (x, 20);
        mouse.click (x, 5);
        mouse.wheel (1.0f);
    }
    EXPECT_EQ (p.sent(), ProcessorRig::Sent{});
    EXPECT_EQ (track->stepAt (31.9f), 0);
    EXPECT_EQ (track->stepAt (32.1f), 1);
}

TEST_F (TrackFixture, MouseWheel)
{
    struct Case
    {
        int track;
        bool quantize;
        int start;
        float delta;
        ProcessorRig::Sent sent;
    };
    const Case cases[] = {
        {0, false, 126, 1.0f, {{120, 127}}}, {1, false, 126, 1.0f, {}},
        {0, true, 60, 1.0f, {{120, 62}}},    {0, false, 0, -1.0f, {}},
        {2, false, 1, -1.0f, {{152, 0}}},    {0, true, 127, 1.0f, {}},
    };
    for (const auto& c : cases)
    {
        makeTrack (c.track);
        track->setQuantize (c.quantize);
        track->setStepFromEngine (0, c.start);
        MouseDriver mouse (*track);
        mouse.press (stepCentre (0), 200); // only to place the mouse; below the bars a press does nothing
        p.sent();
        mouse.wheel (c.delta);
        EXPECT_EQ (p.sent(), c.sent) << c.track << " " << c.start;
    }
}

TEST_F (TrackFixture, LabelsAndIncomingValues)
{
    const std::tuple<int, bool, const char*> labels[] = {
        {48, true, "C2"}, {49, true, "C+2"},  {48, false, "48"},
        {0, true, "C0"},  {125, true, "D+5"}, {70, true, "B2"},
    };
    for (const auto& [value, names, text] : labels)
        EXPECT_EQ (SeqClass::valueText (value, names), text);

    makeTrack (1);
    const std::pair<int, bool> destinations[] = {{1, true}, {0, false}, {3, true}, {4, false}, {2, true}};
    for (const auto& [destination, names] : destinations)
    {
        track->setPitchNames (destination);
        EXPECT_EQ (track->hasPitchNames(), names) << destination;
    }

    uint8_t bytes[16] = {200, 127, 126, 0, 60};
    track->setAllSteps (bytes);
    EXPECT_EQ (track->getShownValue (0), 127);
    EXPECT_EQ (track->getShownValue (4), 60);
    track->setStepFromEngine (3, 300);
    EXPECT_EQ (track->getShownValue (3), 127);
    EXPECT_EQ (SeqClass::quantized (-3, true), 0);
    EXPECT_EQ (SeqClass::quantized (127, true), 126);
    EXPECT_EQ (SeqClass::quantized (127, false), 127);
}

//==============================================================================
namespace
{
struct SeqPanelFixture : ::testing::Test
{
    ProcessorRig p;
    SeqPanel panel{*p};
    ChangeCounter changes{panel};

    SeqPanelFixture() { panel.setScale (1.0f); }
};
} // namespace

TEST_F (SeqPanelFixture, EditingViewAndBack)
{
    MouseDriver (panel.getEditButton (2)).click (5, 5);
    EXPECT_EQ (changes.take(), 1);
    EXPECT_EQ (panel.getMessageCode(), SeqPanel::editTrackCode);
    EXPECT_EQ (panel.getMessageValue(), 2);

    panel.showTrackEditor (2);
    EXPECT_TRUE (panel.isEditingTrack());
    EXPECT_EQ (panel.getTrack (2).getViewMode(), SeqClass::enlargedView);
    EXPECT_EQ (panel.getTrack (2).getBounds(), juce::Rectangle<int> (88, 100, 976, 522));
    for (int t : {0, 1, 3})
    {
        EXPECT_EQ (panel.getTrack (t).getViewMode(), SeqClass::thumbnailView);
        EXPECT_EQ (panel.getTrack (t).getBounds(), juce::Rectangle<int> (220 + t * 143, 20, 136, 60));
    }
    EXPECT_FALSE (panel.getProgramButton().isVisible());
    EXPECT_TRUE (panel.getOkButton().isVisible());
    EXPECT_EQ (panel.getControl (2).getX(), 91);
    EXPECT_LT (panel.getControl (0).getX(), 0);
    EXPECT_EQ (panel.getControl (7).getCaption(), "");

    // A thumbnail click asks for that track.
    MouseDriver (panel.getTrack (0)).click (10, 10);
    EXPECT_EQ (changes.take(), 1);
    EXPECT_EQ (panel.getMessageValue(), 0);

    MouseDriver (panel.getOkButton()).click (5, 5);
    EXPECT_EQ (changes.take(), 1);
    EXPECT_EQ (panel.getMessageCode(), SeqPanel::backToPageCode);
    EXPECT_FALSE (panel.isEditingTrack());
    EXPECT_EQ (panel.getTrack (2).getBounds(), juce::Rectangle<int> (149, 332, 522, 155));
    EXPECT_EQ (panel.getControl (7).getCaption(), "Sequencer");
    EXPECT_EQ (panel.getControl (0).getX(), 41);
}

TEST_F (SeqPanelFixture, DrawModeMenuSetsAllTracks)
{
    const auto menuTicks = [this]
    {
        std::vector<bool> ticks;
        const auto menu = panel.createDrawModeMenu();
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            if (!it.getItem().isSeparator)
                ticks.push_back (it.getItem().isTicked);
        return ticks;
    };
    EXPECT_EQ (menuTicks(), (std::vector<bool>{true, false, false}));
    panel.drawModeMenuFinished (SeqPanel::penItem);
    panel.drawModeMenuFinished (SeqPanel::quantizeItem);
    EXPECT_EQ (menuTicks(), (std::vector<bool>{false, true, true}));
    for (int t = 0; t < 4; ++t)
    {
        EXPECT_EQ (panel.getTrack (t).getDrawMode(), SeqClass::penMode);
        EXPECT_TRUE (panel.getTrack (t).isQuantizing());
    }
    panel.drawModeMenuFinished (0);
    panel.drawModeMenuFinished (SeqPanel::quantizeItem);
    panel.drawModeMenuFinished (SeqPanel::slidersItem);
    EXPECT_EQ (menuTicks(), (std::vector<bool>{true, false, false}));
}

TEST_F (SeqPanelFixture, ControlsFollowTheEditBuffer)
{
    panel.updateControl (101, 128);
    panel.updateControl (108, 1);
    panel.updateStep (130, 5);
    panel.updateStep (183, 126);
    EXPECT_EQ (panel.getControl (4).getValue(), 128);
    EXPECT_TRUE (panel.getTrack (1).hasPitchNames());
    EXPECT_EQ (panel.getTrack (0).getShownValue (10), 5);
    EXPECT_EQ (panel.getTrack (3).getShownValue (15), 126);

    // A knob turned on the page goes through the processor like any other edit.
    panel.getControl (6).setValueFromUser (3);
    EXPECT_EQ (p.sent(), (ProcessorRig::Sent{{105, 3}}));
}
