#include "link/EngineEvents.h"
#include "model/Categories.h"
#include "model/ProgramRecord.h"
#include "support/WidgetTestRig.h"
#include "ui/panels/EditorPanel.h"
#include "ui/panels/FlashPanel.h"
#include "ui/widgets/Envel.h"
#include "ui/widgets/LCD_Comp.h"
#include "ui/widgets/StsBut.h"
#include "ui/widgets/StsCont.h"
#include "ui/widgets/WidgetColours.h"

#include <gtest/gtest.h>

#include <array>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
constexpr int windowWidth = EditorPanel::designWidth;
constexpr int windowHeight = EditorPanel::designHeight;
constexpr int lfoSection = 5;

/**
    Both panels in a window, wired as the main component wires them: parameter events go to both
    panels, a replaced edit buffer refreshes both, and the zoomed view opens and closes the same way.
*/
struct PanelFixture : ::testing::Test
{
    ProcessorRig rig;
    juce::Component window;
    EditorPanel panel{*rig};
    FlashPanel zoomed{*rig};
    ChangeCounter zoomRequests{panel};
    ChangeCounter closeRequests{zoomed};

    PanelFixture()
    {
        window.setSize (windowWidth, windowHeight);
        window.addAndMakeVisible (panel);
        window.addChildComponent (zoomed);
        panel.setScale (1.0f);
        loadProgram (testProgram());
    }

    static ProgramRecord testProgram()
    {
        auto record = initialProgram();
        for (int i = 28; i < 32; ++i)
            record[(size_t) i] = (uint8_t) (40 + i); // filter envelope 68, 69, 70, 71
        record[44] = 50;                             // LFO 1 amount
        record[program::categoryIndex] = 9;
        const auto name = encodeProgramName ("Panel Test");
        std::copy (name.begin(), name.end(), record.begin() + program::nameOffset);
        return record;
    }

    /** Puts a record into synth bank 5, program 9 and selects it, as a program change does. */
    void loadProgram (const ProgramRecord& record)
    {
        auto& engine = rig.processor->getEngine();
        engine.storeProgram (true, 5, 9, record);
        engine.selectProgram (5, 9, false);
        route();
    }

    /** Applies the queued engine events to the panels; returns the parameter values that were sent. */
    ProcessorRig::Sent route()
    {
        ProcessorRig::Sent sent;
        for (auto code : rig.events->take())
        {
            if (event::kindOf (code) == event::kindOf (event::parameterChanged))
            {
                const auto [index, value] = event::parameterOf (code);
                sent.emplace_back (index, value);
                if (index < EditorPanel::numControls)
                {
                    panel.showParameter (index, value);
                    zoomed.showParameter (index, value);
                }
            }
            else if (event::kindOf (code) == event::kindOf (event::editBufferReplaced))
            {
                panel.refreshFromEditBuffer();
                if (zoomed.isVisible())
                    zoomed.refreshSection();
            }
        }
        return sent;
    }

    void openZoom (int section)
    {
        panel.setShowing (false);
        zoomed.setBounds (window.getLocalBounds());
        zoomed.setShowing (true);
        zoomed.showSection (section, window.getWidth());
        zoomed.refreshSection();
        zoomed.toFront (false);
        zoomed.setVisible (true);
    }

    void closeZoom()
    {
        zoomed.setVisible (false);
        zoomed.setShowing (false);
        panel.setShowing (true);
    }

    /** A point in the middle of a control, in the panel's pixels. */
    juce::Point<float> centreOf (int index)
    {
        return panel.getControl (index).getBounds().getCentre().toFloat();
    }
};

bool strictlyInside (juce::Rectangle<int> outer, juce::Rectangle<int> inner)
{
    return outer.contains (inner) && inner.getWidth() > 0;
}
} // namespace

//==============================================================================
TEST_F (PanelFixture, EveryControlSitsInItsSectionOnBothPanels)
{
    const auto& table = rig.processor->getEngine().getTable();
    int perSection[EditorPanel::numSections] = {};

    for (int i = 0; i < EditorPanel::numControls; ++i)
    {
        auto& c = panel.getControl (i);
        SCOPED_TRACE ("index " + std::to_string (i));
        if (c.getControlKind() < 0)
            continue; // never configured: checked below
        EXPECT_EQ (c.getParameterIndex(), i);
        EXPECT_EQ (zoomed.getControl (i).getParameterIndex(), i);

        const auto section = c.getSectionIndex();
        if (section < 0)
            continue;
        ++perSection[section];

        EXPECT_TRUE (c.isVisible());
        EXPECT_TRUE (strictlyInside (panel.getSectionBox (section), c.getBounds()));
        // The layout and the parameter table were written apart: the control's range must lie in
        // the parameter's, or the control would send values the synth does not have.
        EXPECT_EQ (c.getMinimum(), table.getMin (i));
        EXPECT_LE (c.getMaximum(), table.getMax (i));
        EXPECT_EQ (c.getNrpnNumber(), table.getNrpn (i));
    }

    const int expected[EditorPanel::numSections] = {12, 10, 9, 12, 10, 20, 7, 19, 3, 3, 0};
    for (int n = 0; n < EditorPanel::numSections; ++n)
        EXPECT_EQ (perSection[n], expected[n]) << "section " << n;

    // Values only: no size, no caption, no section.
    for (int i : {99, 100, 111, 112, 113, 114})
    {
        auto& c = panel.getControl (i);
        EXPECT_TRUE (c.getControlKind() < 0 && c.getBounds().isEmpty() && c.getCaption().isEmpty() &&
                     c.getSectionIndex() < 0)
            << i;
    }
    // The sequencer destinations: far above the panel, three of them never visible.
    for (int i = 107; i <= 110; ++i)
    {
        EXPECT_EQ (panel.getControl (i).getY(), -2016) << i;
        EXPECT_EQ (panel.getControl (i).isVisible(), i == 107) << i;
    }

    // Every section, zoomed: its controls inside the enlarged box.
    for (int n = 0; n < EditorPanel::lcdSection; ++n)
    {
        zoomed.showSection (n, windowWidth);
        for (auto index : zoomed.getSectionIndices())
            EXPECT_TRUE (strictlyInside (zoomed.getZoomedBox(), zoomed.getControl (index).getBounds()))
                << "section " << n << " index " << index;
    }
}

TEST_F (PanelFixture, ScaleMovesEveryPartAndKeepsTheDesignGeometry)
{
    // Before the first layout the button sits where it was built.
    EXPECT_EQ (EditorPanel (*rig).getSequencerButton().getBounds(), juce::Rectangle<int> (910, 20, 96, 24));
    panel.setScale (2.0f);
    EXPECT_EQ (panel.getControl (20).getBounds(), juce::Rectangle<int> (84, 378, 130, 128));
    EXPECT_EQ (panel.getGraph (1).getBounds(), juce::Rectangle<int> (724, 666, 452, 164));
    EXPECT_FLOAT_EQ (panel.getGraph (1).getScale(), 2.0f);
    EXPECT_EQ (panel.getLcd().getBounds(), juce::Rectangle<int> (1392, 180, 360, 86));
    EXPECT_EQ (panel.getSequencerButton().getBounds(), juce::Rectangle<int> (1864, 40, 192, 48));
    for (int i = 0; i < EditorPanel::numControls; ++i)
        EXPECT_FLOAT_EQ (panel.getControl (i).getScale(), 2.0f) << i;
}

//==============================================================================
TEST_F (PanelFixture, RightPressOnTheBackgroundAsksForTheSectionUnderIt)
{
    struct Case
    {
        float scale, x, y;
        juce::ModifierKeys buttons;
        int expectedCode; // 0: no request
    };
    const Case cases[] = {
        {1.0f, 40.0f, 170.0f, rightButton, 100},   // low pass filter, near its top left corner
        {1.0f, 1155.0f, 643.0f, rightButton, 105}, // LFO, near its bottom right corner
        {1.0f, 600.0f, 10.0f, rightButton, 107},   // oscillators, right of the knobs
        {0.5f, 520.0f, 235.0f, rightButton, 109},  // assign, at half scale (1040, 470 in design units)
        {1.0f, 680.0f, 150.0f, rightButton, 0},    // the LCD's frame is never zoomed
        {1.0f, 35.0f, 200.0f, rightButton, 0},     // on the filter box's left edge: not strictly inside
        {1.0f, 20.0f, 200.0f, rightButton, 0},     // between the cheek and the boxes
        {1.0f, 40.0f, 170.0f, leftButton, 0},      // a left press asks for nothing
        {0.5f, 40.0f, 161.5f, rightButton, 0},     // 80, 323 in design units: between two boxes
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.x) + ", " + juce::String (c.y) + " at " + juce::String (c.scale));
        panel.setScale (c.scale);
        panel.setSize (juce::roundToInt (windowWidth * c.scale), juce::roundToInt (windowHeight * c.scale));
        // The press must land on the panel itself, not on a child.
        ASSERT_EQ (panel.getComponentAt (juce::Point<float> (c.x, c.y).toInt()), &panel);

        MouseDriver (panel).press (c.x, c.y, c.buttons);
        EXPECT_EQ (zoomRequests.take(), c.expectedCode != 0 ? 1 : 0);
        if (c.expectedCode != 0)
        {
            EXPECT_EQ (panel.getCommandCode(), c.expectedCode);
        }
    }
}

TEST_F (PanelFixture, RightClickOnAnLfoKnobOpensTheLfoSectionCentredAndEnlarged)
{
    auto& knob = panel.getControl (44);
    MouseDriver (knob).press (20.0f, 20.0f, rightButton);
    ASSERT_EQ (zoomRequests.take(), 1);
    ASSERT_EQ (panel.getCommandCode(), EditorPanel::zoomCommandBase + lfoSection);
    EXPECT_EQ (rig.sent(), ProcessorRig::Sent{}); // the knob did not move

    openZoom (panel.getCommandCode() - EditorPanel::zoomCommandBase);

    EXPECT_EQ (zoomed.getCurrentSection(), lfoSection);
    const auto& indices = zoomed.getSectionIndices();
    ASSERT_EQ (indices.size(), 20u);
    EXPECT_TRUE (std::is_sorted (indices.begin(), indices.end()));

    // (1191 − (549 + 5) × 1.5) / 2 = 180; the box is 831 × 238.5.
    EXPECT_EQ (zoomed.getZoomedBox(), juce::Rectangle<int> (180, 100, 831, 239));
    EXPECT_EQ (zoomed.getZoomedBox().getCentreX(), windowWidth / 2);

    for (auto index : indices)
    {
        const auto full = panel.getControl (index).getBounds();
        const auto big = zoomed.getControl (index).getBounds();
        EXPECT_TRUE (zoomed.getControl (index).isVisible());
        EXPECT_NEAR (big.getWidth(), full.getWidth() * 1.5f, 1.0f) << index;
        EXPECT_NEAR (big.getHeight(), full.getHeight() * 1.5f, 1.0f) << index;
        EXPECT_EQ (zoomed.getControl (index).getValue(), panel.getControl (index).getValue()) << index;
    }
    // The first LFO's frequency knob: 611 − 609 + 4 = 6 and 529 − 16 − 491 + 2 = 24 in the frame.
    EXPECT_EQ (zoomed.getControl (42).getPosition(), juce::Point<int> (180 + 9, 100 + 36));
    for (int n = 0; n < 3; ++n)
        EXPECT_FALSE (zoomed.getGraph (n).isVisible());

    // What the user sees: the window dimmed around a box of the section's face, outlined light.
    const auto image = paintComponent (zoomed);
    EXPECT_EQ (image.getPixelAt (50, 50), juce::Colour (0x77000000));
    EXPECT_EQ (image.getPixelAt (185, 330), juce::Colour (colours::panelFace));
    float edge = 0.0f;
    for (int x = 178; x <= 182; ++x)
        edge = juce::jmax (edge, image.getPixelAt (x, 250).getBrightness());
    EXPECT_GT (edge, 0.5f);
}

TEST_F (PanelFixture, RightClicksOnControlsAndGraphsAskForTheirSection)
{
    struct Case
    {
        juce::Component* target;
        int expectedCode; // 0: none
    };
    const Case cases[] = {
        {&panel.getControl (20), 100}, {&panel.getControl (62), 102}, {&panel.getControl (15), 106},
        {&panel.getControl (96), 108}, {&panel.getControl (107), 0}, // no section
        {&panel.getControl (99), 0},   {&panel.getGraph (0), 100},    {&panel.getGraph (2), 102},
    };
    for (const auto& c : cases)
    {
        MouseDriver (*c.target).press (5.0f, 5.0f, rightButton);
        if (auto* graph = dynamic_cast<Envel*> (c.target))
            graph->dispatchPendingMessages();
        EXPECT_EQ (zoomRequests.take(), c.expectedCode != 0 ? 1 : 0) << c.expectedCode;
        if (c.expectedCode != 0)
        {
            EXPECT_EQ (panel.getCommandCode(), c.expectedCode);
        }
    }

    // Zoomed controls and graphs ask for nothing: a right-click there neither closes nor reopens.
    openZoom (0);
    MouseDriver (zoomed.getControl (20)).press (5.0f, 5.0f, rightButton);
    MouseDriver (zoomed.getGraph (0)).press (5.0f, 5.0f, rightButton);
    zoomed.getGraph (0).dispatchPendingMessages();
    EXPECT_EQ (closeRequests.take(), 0);
    EXPECT_EQ (zoomRequests.take(), 0);
}

//==============================================================================
TEST_F (PanelFixture, DraggingTheSustainHandleSendsOnlyTheSustain)
{
    for (const bool inZoomedView : {false, true})
    {
        SCOPED_TRACE (inZoomedView ? "zoomed" : "full size");
        if (inZoomedView)
            openZoom (0);
        auto& graph = inZoomedView ? zoomed.getGraph (0) : panel.getGraph (0);
        ASSERT_EQ (graph.getSustain(), 70);
        ASSERT_EQ (graph.getAttack(), 68);

        // The sustain stage, halfway along, dragged 15 pixels down: ten units lower.
        const auto& corners = graph.getCorners();
        const auto handle = (corners[2] + corners[3]) * 0.5f * graph.getScale();
        MouseDriver mouse (graph);
        mouse.press (handle.x, handle.y);
        mouse.drag (handle.x, handle.y + 15.0f);
        mouse.release (handle.x, handle.y + 15.0f);
        graph.dispatchPendingMessages();

        EXPECT_EQ (route(), (ProcessorRig::Sent{{30, 60}}));
        EXPECT_EQ (panel.getControl (30).getValue(), 60);
        EXPECT_EQ (rig.processor->getPluginBank().getEditBufferByte (30), 60);

        loadProgram (testProgram());
    }
}

TEST_F (PanelFixture, ModSourceAboveTheControlsRangeShowsItsMaximumWithTheValuesText)
{
    panel.showParameter (71, 22);
    EXPECT_EQ (panel.getControl (71).getValue(), 20);
    EXPECT_EQ (panel.getControl (71).getValueText(), "Audio In Peak Hold");

    panel.showParameter (71, 3);
    EXPECT_EQ (panel.getControl (71).getValue(), 3);
    EXPECT_NE (panel.getControl (71).getValueText(), "*/*");
}

TEST_F (PanelFixture, EnvelopeParametersAreMirroredIntoTheirGraphOnly)
{
    const auto stagesOf = [this]
    {
        std::array<std::array<int, 4>, 3> all{};
        for (int n = 0; n < 3; ++n)
        {
            const auto& g = panel.getGraph (n);
            all[(size_t) n] = {g.getAttack(), g.getDecay(), g.getSustain(), g.getRelease()};
        }
        return all;
    };

    constexpr int firstIndex[] = {28, 36, 66};
    for (int graph = 0; graph < 3; ++graph)
        for (int stage = 0; stage < 4; ++stage)
        {
            const auto index = firstIndex[graph] + stage;
            auto expected = stagesOf();
            expected[(size_t) graph][(size_t) stage] = 11;
            panel.showParameter (index, 11);
            EXPECT_EQ (stagesOf(), expected) << index;
        }

    // Neighbours of the envelope stages (delays, amounts, levels) move no graph.
    const auto before = stagesOf();
    for (int index : {27, 32, 35, 40, 65, 70})
        panel.showParameter (index, 3);
    EXPECT_EQ (stagesOf(), before);
}

//==============================================================================
TEST_F (PanelFixture, AKnobTurnedInTheZoomedViewReachesTheHiddenPanelWhichRepaintsOnClose)
{
    openZoom (lfoSection);
    auto& hidden = panel.getControl (44);
    ASSERT_EQ (hidden.getValue(), 50);

    // 12 pixels right on the zoomed knob: 50 → 62, sent by the zoomed control.
    MouseDriver mouse (zoomed.getControl (44));
    mouse.press (30.0f, 30.0f);
    mouse.drag (42.0f, 30.0f);
    mouse.release (42.0f, 30.0f);
    EXPECT_EQ (route(), (ProcessorRig::Sent{{44, 62}}));

    EXPECT_EQ (zoomed.getControl (44).getValue(), 62);
    EXPECT_EQ (hidden.getValue(), 62);
    EXPECT_TRUE (hidden.isDirty()); // stored, not painted while covered

    // A press outside the box closes; one inside does not.
    MouseDriver (zoomed).press (zoomed.getZoomedBox().getX() + 5.0f, 105.0f);
    EXPECT_EQ (closeRequests.take(), 0);
    MouseDriver (zoomed).press (10.0f, 650.0f, rightButton);
    ASSERT_EQ (closeRequests.take(), 1);
    closeZoom();

    EXPECT_FALSE (hidden.isDirty());
    EXPECT_EQ (hidden.getValueText(), "62");
}

TEST_F (PanelFixture, TheZoomedViewOnlyTakesValuesForItsOwnSection)
{
    openZoom (lfoSection);
    const auto filterBefore = zoomed.getControl (20).getValue();
    zoomed.showParameter (20, filterBefore + 1);
    zoomed.showParameter (44, 77);
    EXPECT_EQ (zoomed.getControl (20).getValue(), filterBefore);
    EXPECT_EQ (zoomed.getControl (44).getValue(), 77);

    // Sections that do not exist or have nothing to show leave the view as it is.
    for (int section : {EditorPanel::lcdSection, EditorPanel::numSections, -1, 1000})
    {
        zoomed.showSection (section, windowWidth);
        EXPECT_EQ (zoomed.getCurrentSection(), lfoSection) << section;
        EXPECT_EQ (zoomed.getSectionIndices().size(), 20u) << section;
        EXPECT_TRUE (zoomed.isVisible()) << section;
    }
}

TEST_F (PanelFixture, AProgramLoadedWhileZoomedRefreshesBothPanels)
{
    openZoom (0);
    ASSERT_EQ (zoomed.getControl (28).getValue(), 68);

    auto record = testProgram();
    record[20] = 3;
    record[28] = 7;
    record[44] = 99;
    record[program::categoryIndex] = 12;
    const auto name = encodeProgramName ("Second");
    std::copy (name.begin(), name.end(), record.begin() + program::nameOffset);
    loadProgram (record);

    EXPECT_EQ (zoomed.getControl (20).getValue(), 3);
    EXPECT_EQ (zoomed.getControl (28).getValue(), 7);
    EXPECT_EQ (zoomed.getGraph (0).getAttack(), 7);
    EXPECT_EQ (panel.getControl (20).getValue(), 3);
    EXPECT_EQ (panel.getControl (44).getValue(), 99);
    EXPECT_EQ (panel.getGraph (0).getAttack(), 7);
    EXPECT_TRUE (panel.getControl (20).isDirty());

    auto& lcd = panel.getLcd();
    EXPECT_EQ (lcd.getLocationText(), "F2:010");
    EXPECT_EQ (lcd.getCategoryNumber(), 12);
    EXPECT_EQ (lcd.getCategoryText(), categoryName (12));
    EXPECT_TRUE (lcd.getProgramName().startsWith ("Second"));
}

TEST_F (PanelFixture, ARefreshRewritesTextsEvenWhenValuesAreUnchanged)
{
    // A value already shown keeps its old text unless the panel forgets it first.
    auto& c = panel.getControl (20);
    const auto shown = c.getValue();
    c.forgetValue();
    c.showValue (shown, "stale");
    ASSERT_EQ (c.getValueText(), "stale");
    panel.refreshFromEditBuffer();
    EXPECT_EQ (c.getValueText(), juce::String (shown));
}

//==============================================================================
TEST_F (PanelFixture, CheeksAreDrawnFromHalfScaleUp)
{
    struct Case
    {
        float scale;
        bool cheeks;
    };
    for (const auto& c : {Case{0.38287154f, false}, Case{0.49f, false}, Case{0.5f, true}, Case{1.0f, true}})
    {
        panel.setScale (c.scale);
        panel.setSize (juce::roundToInt (windowWidth * c.scale), juce::roundToInt (windowHeight * c.scale));
        const auto image = paintComponent (panel);
        for (const auto x : {3, panel.getWidth() - 4})
        {
            // Walnut is clearly red-brown; the panel's brushed metal is grey with a cool cast.
            const auto pixel = image.getPixelAt (x, panel.getHeight() / 2);
            EXPECT_EQ (pixel.getRed() > pixel.getBlue() + 15, c.cheeks)
                << "scale " << c.scale << " x " << x << " " << pixel.toDisplayString (true);
        }
    }
}

TEST_F (PanelFixture, SectionBoxesAndTheirCaptionsArePainted)
{
    const auto image = paintComponent (panel);
    // Inside the filter box, right of its graph; outside every box, below the sections.
    EXPECT_EQ (image.getPixelAt (592, 200), juce::Colour (colours::panelFace));
    EXPECT_NE (image.getPixelAt (300, 672), juce::Colour (colours::panelFace));

    // "LOW PASS FILTER" in white from (43, 181) on: its first letters leave white pixels.
    int white = 0;
    for (int x = 43; x < 80; ++x)
        for (int y = 170; y < 182; ++y)
            white += image.getPixelAt (x, y).getBrightness() > 0.9f ? 1 : 0;
    EXPECT_GT (white, 10);

    EXPECT_EQ (panel.getSectionCaption (6), "");
    EXPECT_EQ (zoomed.getSectionCaption (6), "SEQUENCER");
    EXPECT_EQ (zoomed.getSectionCaption (8), " PUSH IT!");
}
