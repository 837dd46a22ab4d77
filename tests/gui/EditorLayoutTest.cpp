#include "host/MarvexAudioProcessorEditor.h"
#include "model/ParDes.h"
#include "model/ParameterTable.h"
#include "support/WidgetTestRig.h"
#include "ui/main/AppBar.h"
#include "ui/main/MainComp.h"
#include "ui/panels/EditorPanel.h"
#include "ui/panels/FlashPanel.h"
#include "ui/panels/KeyBrd.h"
#include "ui/panels/PanelLayout.h"
#include "ui/widgets/Artwork.h"
#include "ui/widgets/Envel.h"
#include "ui/widgets/KeyPlayClass.h"
#include "ui/widgets/ProgBar.h"
#include "ui/widgets/StsCont.h"
#include "ui/widgets/WidgetColours.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
using Editor = MarvexAudioProcessorEditor;

/** The smallest and largest widths and three between, each at the height of the design's shape. */
const int widths[] = {Editor::minWidth, 600, 900, 1191, Editor::maxWidth};

struct EditorFixture : ::testing::Test
{
    ProcessorRig rig;
    // The about panel of an editor's first opening would cover what these tests look at.
    bool aboutShown = rig.processor->getEngine().firstEditorOpened.exchange (true);
    std::unique_ptr<Editor> editor{dynamic_cast<Editor*> (rig.processor->createEditor())};

    MainComp& main() { return editor->getMainComp(); }

    void resizeTo (int width) { editor->setSize (width, Editor::heightForWidth (width)); }

    /** A component's bounds in the main component's pixels, whatever lies between. */
    juce::Rectangle<int> inMain (juce::Component& c) { return main().getLocalArea (&c, c.getLocalBounds()); }

    /** A section box of the synth panel in the main component's pixels. */
    juce::Rectangle<int> sectionInMain (int section)
    {
        auto& panel = main().getSynthPanel();
        const auto box =
            (panel.getSectionBox (section).toFloat() * panel.getScale()).getSmallestIntegerContainer();
        return main().getLocalArea (&panel, box);
    }
};
} // namespace

TEST (EditorShape, EverySizeKeepsTheDesignsShapeWithinTheLimits)
{
    struct Case
    {
        int width, expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        {1191, 1191, 700}, {1012, 1012, 595}, {893, 893, 525}, {1429, 1429, 840},
        {100, 893, 525},   {5000, 1429, 840}, {700, 893, 525}, {1000, 1000, 588},
    };
    for (const auto& c : cases)
        EXPECT_EQ (Editor::sizeForWidth (c.width), juce::Rectangle<int> (c.expectedWidth, c.expectedHeight))
            << c.width;
}

TEST_F (EditorFixture, ACornerDragKeepsTheShapeAndTheLimits)
{
    // The sizes the first users tried, and the far ends, as asked of the editor's constrainer by a
    // corner drag (the Standalone's window asks the same constrainer).
    const juce::Rectangle<int> asked[] = {{1429, 700},  {700, 600},   {300, 100},
                                          {3000, 3000}, {1000, 1000}, {460, 900}};
    auto& constrainer = *editor->getConstrainer();
    for (const auto& size : asked)
    {
        auto bounds = size;
        constrainer.checkBounds (bounds, editor->getBounds(), {0, 0, 10000, 10000}, false, false, true, true);
        SCOPED_TRACE (size.toString() + " became " + bounds.toString());
        EXPECT_GE (bounds.getWidth(), Editor::minWidth);
        EXPECT_LE (bounds.getWidth(), Editor::maxWidth);
        EXPECT_NEAR (bounds.getHeight(), Editor::heightForWidth (bounds.getWidth()), 1);
    }
}

TEST_F (EditorFixture, ARememberedSizeOfAnotherShapeOpensInTheDesignsShape)
{
    editor.reset();
    rig.processor->setEditorSize (1429, 700);
    editor.reset (dynamic_cast<Editor*> (rig.processor->createEditor()));
    EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (1429, 840));
}

TEST_F (EditorFixture, AtEverySizeEveryControlIsInsideTheWindowAndItsSectionAndNothingOverlaps)
{
    for (auto width : widths)
    {
        resizeTo (width);
        SCOPED_TRACE ("width " + juce::String (width));
        const auto window = main().getLocalBounds();
        ASSERT_EQ (window, editor->getLocalBounds());
        const auto scale = (float)width / 1191.0f;

        // The bar and everything on it scale with the rest: inside the window, text not clipped.
        auto& bar = main().getAppBar();
        const auto barArea = inMain (bar);
        const auto barHeight = juce::roundToInt (AppBar::height * scale);
        EXPECT_NEAR (barArea.getHeight(), barHeight, 1);
        EXPECT_TRUE (window.contains (barArea));
        std::vector<juce::Component*> onTheBar{&bar.getChannelLabel(), &bar.getStatusLabel()};
        for (auto* b : bar.getButtons())
            if (b->getButtonId() != AppBar::pref) // "PREF" has a place above the bar, never seen
                onTheBar.push_back (b);
        for (auto* child : onTheBar)
            EXPECT_TRUE (barArea.contains (inMain (*child))) << inMain (*child).toString();
        auto& status = bar.getStatusLabel();
        EXPECT_LE (arialFont (13.0f).getStringWidthFloat ("DSI:  MOPHO X4 ON-LINE"),
                   (float)status.getWidth());

        // The panel fills the window between the bar and the closed keyboard drawer: no band left
        // empty, no section cut off or hidden behind the drawer.
        auto& panel = main().getSynthPanel();
        const auto drawerTop = inMain (main().getKeyboard()).getY();
        EXPECT_EQ (inMain (panel), window.withTrimmedTop (barHeight).withBottom (drawerTop));
        for (int n = 0; n < panelLayout::numSections; ++n)
            EXPECT_TRUE (window.withBottom (drawerTop).contains (sectionInMain (n))) << "section " << n;

        std::vector<std::pair<int, juce::Rectangle<int>>> placed;
        for (int i = 0; i < EditorPanel::numControls; ++i)
        {
            auto& c = panel.getControl (i);
            const auto* row = panelLayout::controlRow (i);
            if (row == nullptr || row->section < 0 || !c.isVisible())
                continue;
            const auto bounds = inMain (c);
            EXPECT_TRUE (window.contains (bounds)) << i << " " << bounds.toString();
            // The box is drawn with a rounded edge; a control may touch it, to the pixel.
            EXPECT_TRUE (sectionInMain (row->section).expanded (1).contains (bounds))
                << i << " " << bounds.toString();
            for (const auto& [other, otherBounds] : placed)
                EXPECT_FALSE (bounds.intersects (otherBounds)) << i << " overlaps " << other;
            placed.emplace_back (i, bounds);
        }
        for (int n = 0; n < panelLayout::numEnvelopes; ++n)
        {
            const auto graph = inMain (panel.getGraph (n));
            EXPECT_TRUE (sectionInMain (n).contains (graph)) << "graph " << n;
            for (const auto& [other, otherBounds] : placed)
                EXPECT_FALSE (graph.intersects (otherBounds)) << "graph " << n << " overlaps " << other;
        }
    }
}

TEST_F (EditorFixture, TheZoomedViewFitsTheWindowAndIsCentredAgainAfterAResize)
{
    auto& zoomed = main().getSectionView();
    for (int section = 0; section < EditorPanel::lcdSection; ++section)
    {
        resizeTo (Editor::minWidth);
        main().openSectionView (section);
        SCOPED_TRACE ("section " + juce::String (section));
        ASSERT_TRUE (zoomed.isVisible());

        const auto check = [&] (float expectedZoom)
        {
            const auto window = main().getLocalBounds();
            const auto box = zoomed.getZoomedBox();
            EXPECT_TRUE (window.reduced (FlashPanel::windowMargin - 1).contains (box)) << box.toString();
            EXPECT_NEAR (box.getCentreX(), window.getCentreX(), 1);
            if (expectedZoom > 0.0f)
            {
                EXPECT_FLOAT_EQ (zoomed.getZoom(), expectedZoom);
            }
            for (auto index : zoomed.getSectionIndices())
                EXPECT_TRUE (box.contains (zoomed.getControl (index).getBounds())) << index;
            if (section < panelLayout::numEnvelopes)
            {
                EXPECT_TRUE (box.contains (zoomed.getGraph (section).getBounds()));
            }
        };

        check (-1.0f);
        EXPECT_LE (zoomed.getZoom(), FlashPanel::maxZoom);
        EXPECT_GT (zoomed.getZoom(), main().getSynthPanel().getScale()); // it still enlarges

        resizeTo (1191); // the zoomed view stays open and is laid out for the new size
        ASSERT_TRUE (zoomed.isVisible());
        check (FlashPanel::maxZoom);
        main().closeSectionView();
    }
}

TEST_F (EditorFixture, EscapeClosesTheZoomedViewWhicheverComponentHasTheKeys)
{
    // As the window delivers a key: to the component with the keyboard focus, then up its parents
    // until one takes it. Opening the view gives it the focus; a press on one of its controls (which
    // take no focus) gives it to the player, as a press anywhere on the editor does.
    const auto deliver = [] (juce::Component& focused, const juce::KeyPress& key)
    {
        for (auto* c = &focused; c != nullptr; c = c->getParentComponent())
            if (c->keyPressed (key))
                return true;
        return false;
    };
    auto& zoomed = main().getSectionView();
    juce::Component* const holders[] = {&zoomed, &main().getKeyboard().getPlayer()};
    for (auto* holder : holders)
    {
        SCOPED_TRACE (holder == &zoomed ? "the zoomed view" : "the player");
        main().openSectionView (5);
        deliver (*holder, juce::KeyPress ('a'));
        zoomed.dispatchPendingMessages();
        ASSERT_TRUE (zoomed.isVisible());

        EXPECT_TRUE (deliver (*holder, juce::KeyPress (juce::KeyPress::escapeKey)));
        zoomed.dispatchPendingMessages();
        EXPECT_FALSE (zoomed.isVisible());
        main().closeSectionView();
    }
    // With nothing zoomed, Escape is not the editor's: the host may use it.
    EXPECT_FALSE (deliver (main().getKeyboard().getPlayer(), juce::KeyPress (juce::KeyPress::escapeKey)));
}

TEST_F (EditorFixture, ATooltipCoversNoValueOfTheControlItDescribesOrOfItsNeighbours)
{
    auto& tips = editor->getTooltipWindow();
    auto& panel = main().getSynthPanel();
    editor->setVisible (true); // as a host shows it: what lies under the mouse is found among the visible
    for (const auto width : {Editor::minWidth, 1191})
    {
        resizeTo (width);
        // Every value shown on the panel, in the editor's pixels.
        std::vector<std::pair<int, juce::Rectangle<int>>> values;
        for (int i = 0; i < panelLayout::numControls; ++i)
            if (auto& c = panel.getControl (i); c.isVisible() && !c.getValueArea().isEmpty())
                values.emplace_back (i, editor->getLocalArea (&c, c.getValueArea()));
        ASSERT_GT (values.size(), 80u);

        for (int i = 0; i < panelLayout::numControls; ++i)
        {
            auto& c = panel.getControl (i);
            if (!c.isVisible())
                continue;
            // The mouse resting in the middle of the control, as the tip appears.
            tips.displayTip (c.localPointToGlobal (c.getLocalBounds().getCentre()), c.getTooltip());
            const auto tip = tips.getBounds();
            EXPECT_TRUE (editor->getLocalBounds().contains (tip)) << width << " " << c.getCaption();
            for (const auto& [index, value] : values)
                EXPECT_FALSE (tip.intersects (value))
                    << width << ": the tip of " << ParameterTable::getName (i) << " covers the value of "
                    << ParameterTable::getName (index);
            tips.hideTip();
        }
    }
}

TEST_F (EditorFixture, PanelAndZoomedViewShowTheSameTextForAValueBeyondAControlsRange)
{
    struct Case
    {
        int index, value, section;
    };
    // Modulation source 22 (the control stops at 20), push-it mode 2 (stops at 1), trigger 5 (stops at 4).
    const Case cases[] = {{71, 22, 3}, {98, 2, 8}, {105, 5, 6}};
    for (const auto& c : cases)
    {
        rig.processor->setParameterFromEditor (c.index, c.value, true, false);
        main().drainEvents();
        main().openSectionView (c.section);
        auto& full = main().getSynthPanel().getControl (c.index);
        auto& zoomed = main().getSectionView().getControl (c.index);
        EXPECT_EQ (full.getValueText(), ParDes::valueToText (full.getDisplayKind(), c.value)) << c.index;
        EXPECT_EQ (zoomed.getValueText(), full.getValueText()) << c.index;
        EXPECT_EQ (zoomed.getValue(), full.getValue()) << c.index;
        main().closeSectionView();
    }
}

TEST_F (EditorFixture, TheArpeggiatorSwitchShowsTheWholeSwitch)
{
    // A 28 × 16 control for a 37 × 20 switch: the whole switch, drawn smaller in its own
    // proportions (28 × 15), not its left three quarters.
    resizeTo (1191);
    auto& arp = main().getSynthPanel().getControl (104);
    ASSERT_EQ (arp.getBounds().getWidth(), 28);
    rig.processor->setParameterFromEditor (104, 0, true, false);
    main().drainEvents();
    ASSERT_EQ (arp.getValue(), 0);
    const auto painted = paintComponent (arp);
    const auto whole = artwork::toggleSwitch()
                           .getClippedImage ({0, 0, art::switchFrameWidth, art::switchImageHeight})
                           .rescaled (28, 15, juce::Graphics::highResamplingQuality);

    // Compared over the switch's own pixels (the transparent corners show the control's face).
    double difference = 0.0;
    int counted = 0;
    for (int y = 0; y < whole.getHeight(); ++y)
        for (int x = 0; x < whole.getWidth(); ++x)
        {
            const auto expected = whole.getPixelAt (x, y);
            if (expected.getAlpha() < 250)
                continue;
            const auto actual = painted.getPixelAt (x, y);
            difference += std::abs (expected.getBrightness() - actual.getBrightness());
            ++counted;
        }
    ASSERT_GT (counted, 100);
    EXPECT_LT (difference / counted, 0.05) << "mean brightness difference over " << counted << " pixels";
}

TEST_F (EditorFixture, TheProgressDisplayStaysCentredWhenTheWindowIsResized)
{
    resizeTo (Editor::minWidth);
    main().startBankTransfer (0, 4);
    auto* progress = main().getProgressDisplay();
    ASSERT_NE (progress, nullptr);
    progress->setProgress (4, 9);

    for (auto width : {1191, Editor::maxWidth, 700})
    {
        resizeTo (width);
        EXPECT_EQ (progress->getBounds(), main().getLocalBounds());
        const auto cancel = progress->getCancelButton().getBounds();
        // The 400 × 40 bar area is centred; CANCEL sits 319 from its left, 40 below its top.
        EXPECT_EQ (cancel.getPosition(),
                   juce::Point<int> ((width - 400) / 2 + 319, (main().getHeight() - 40) / 2 + 40))
            << width;
        EXPECT_EQ (progress->getFillWidth(), 27); // three pixels a program, kept through the resize
    }
    main().endBankTransfer();
}

TEST_F (EditorFixture, PreparedPaintingFollowsSizesAndValues)
{
    // The panel paints from images prepared for its size: after a resize it must paint what an
    // editor opened at that size paints, and a new value must show at once.
    const auto countDifferences = [] (const juce::Image& a, const juce::Image& b, juce::Rectangle<int> area)
    {
        int differing = 0;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                differing += a.getPixelAt (x, y) != b.getPixelAt (x, y) ? 1 : 0;
        return differing;
    };

    resizeTo (1191);
    paintComponent (*editor);
    resizeTo (Editor::minWidth);
    const auto resized = paintComponent (*editor);
    editor.reset();
    editor.reset (dynamic_cast<Editor*> (rig.processor->createEditor()));
    ASSERT_EQ (editor->getWidth(), Editor::minWidth);
    const auto again = paintComponent (*editor);
    EXPECT_EQ (countDifferences (resized, again, again.getBounds()), 0);

    auto& cutoff = main().getSynthPanel().getControl (20);
    const auto knob = inMain (cutoff);
    rig.processor->setParameterFromEditor (20, cutoff.getValue() == 0 ? 100 : 0, true, false);
    main().drainEvents();
    const auto turned = paintComponent (*editor);
    EXPECT_GT (countDifferences (turned, again, knob), 20); // the knob's face and its value text
}
