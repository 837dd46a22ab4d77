#include "model/ParDes.h"
#include "model/ParameterTable.h"
#include "model/ProgramRecord.h"
#include "support/WidgetTestRig.h"
#include "ui/widgets/Artwork.h"
#include "ui/widgets/KnobFrames.h"
#include "ui/widgets/StsCont.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
/** A control whose menu is kept instead of shown (a menu needs a display). */
class MenuCapturingControl final : public StsCont
{
public:
    using StsCont::StsCont;
    void showValueMenu (juce::PopupMenu menu) override
    {
        shownMenu = std::move (menu);
        ++menusShown;
    }
    juce::PopupMenu shownMenu;
    int menusShown = 0;
};

struct CommandRecorder : StsContListener
{
    explicit CommandRecorder (std::vector<std::string>& l, std::string n) : log (l), name (std::move (n)) {}
    void stsContCommand (int code, int index, int section) override
    {
        log.push_back (name + ":" + std::to_string (code) + "/" + std::to_string (index) + "/" +
                       std::to_string (section));
    }
    std::vector<std::string>& log;
    std::string name;
};

struct ControlFixture : ::testing::Test
{
    ProcessorRig rig;

    std::unique_ptr<MenuCapturingControl> make (int kind, int minimum, int maximum, int shown,
                                                int displayKind = kind::plainNumber, int width = 65,
                                                int height = 64, int index = 20)
    {
        auto c = std::make_unique<MenuCapturingControl> (*rig);
        c->setupControl (index, "Test", 100, 50, width, height, minimum, maximum, kind, displayKind);
        c->forgetValue();
        c->showValue (shown, ParDes::valueToText (displayKind, shown));
        return c;
    }

    std::vector<std::pair<int, int>> sent() { return rig.sent(); }
};

using Sent = ProcessorRig::Sent;
} // namespace

TEST (KnobFrame, FollowsTheSweepAndRoundsToNearest)
{
    struct Case
    {
        int value, minimum, maximum, frame;
    };
    const Case cases[] = {
        {30, 30, 250, 0},  {250, 30, 250, 56}, {140, 30, 250, 28}, // tempo: ends and middle
        {0, 0, 127, 0},    {63, 0, 127, 28},   {64, 0, 127, 28},   {127, 0, 127, 56},
        {1, 0, 127, 0},    {2, 0, 127, 1},     {5, 0, 5, 56},      {3, 0, 5, 34},
        {200, 0, 127, 60}, {-50, 0, 127, 0},   {7, 7, 7, 0}, // outside the range: clamped; empty range
    };
    for (const auto& c : cases)
        EXPECT_EQ (StsCont::knobFrameFor (c.value, c.minimum, c.maximum), c.frame)
            << c.value << " in " << c.minimum << ".." << c.maximum;
}

TEST (KnobFrames, PreparesEachSizeAndMakesAnEvictedSizeAgain)
{
    KnobFrames frames;
    const auto native = frames.get (28, art::knobFrameSize).createCopy();
    EXPECT_EQ (native.getBounds(), juce::Rectangle<int> (art::knobFrameSize, art::knobFrameSize));
    EXPECT_NE (native.getPixelAt (23, 23), frames.get (0, art::knobFrameSize).getPixelAt (23, 23))
        << "frames 0 and 28 show the pointer in different places";

    // More sizes than are kept: each comes back at its size, and so does the first one, the same.
    for (int size = 10; size < 10 + 2 * KnobFrames::sizesKept; ++size)
        EXPECT_EQ (frames.get (5, size).getWidth(), size);
    const auto& remade = frames.get (28, art::knobFrameSize);
    for (int y = 0; y < art::knobFrameSize; y += 3)
        for (int x = 0; x < art::knobFrameSize; x += 3)
            ASSERT_EQ (remade.getPixelAt (x, y), native.getPixelAt (x, y)) << x << ", " << y;
    EXPECT_EQ (frames.get (500, 20).getWidth(), 20); // a frame past the strip is clamped
}

TEST_F (ControlFixture, SetupPlacesTheControlSixteenUnitsHigherAndScales)
{
    auto c = make (StsCont::knob, 0, 127, 10);
    EXPECT_EQ (c->getBounds(), juce::Rectangle<int> (100, 34, 65, 64));
    c->setScale (1.5f);
    EXPECT_EQ (c->getBounds(), juce::Rectangle<int> (150, 51, 98, 96));
    // Edges are rounded, not sizes: 10 × 1.5 = 15 and 75 × 1.5 = 112.5, which rounds to even 112.
    c->setPosition (10, 26);
    EXPECT_EQ (c->getBounds(), juce::Rectangle<int> (15, 15, 97, 96));
}

TEST_F (ControlFixture, ShowValueClampsKeepsTextOfAnUnchangedValueAndDefersWhileHidden)
{
    auto c = make (StsCont::knob, 30, 250, 120, kind::bpm);
    EXPECT_EQ (c->getValueText(), "120 bpm");

    c->showValue (120, "other");
    EXPECT_EQ (c->getValueText(), "120 bpm");

    c->showValue (400, "400 bpm");
    EXPECT_EQ (c->getValue(), 250);
    EXPECT_EQ (c->getKnobFrame(), 56);
    c->showValue (3, "3 bpm");
    EXPECT_EQ (c->getValue(), 30);
    EXPECT_EQ (c->getKnobFrame(), 0);

    c->setShowing (false);
    c->showValue (140, "140 bpm");
    EXPECT_TRUE (c->isDirty());
    EXPECT_EQ (c->getValue(), 140);
    EXPECT_EQ (c->getKnobFrame(), 28);
    c->setShowing (true);
    EXPECT_FALSE (c->isDirty());
    EXPECT_TRUE (sent().empty()); // showing a value never sends it
}

TEST_F (ControlFixture, KnobDragsStepByPixelsAndAddBothDirections)
{
    struct Case
    {
        const char* what;
        int maximum, start, dx, dy;
        Sent expected;
    };
    const Case cases[] = {
        {"few values: 15 px a step", 5, 2, 15, 0, {{20, 3}}},
        {"few values: 14 px is not a step", 5, 2, 14, 0, {}},
        {"few values: truncates towards zero going down", 5, 2, -14, 0, {}},
        {"few values: 15 px up", 5, 2, 0, -15, {{20, 3}}},
        {"many values: right and up add", 127, 50, 10, -10, {{20, 70}}},
        {"many values: right and down cancel", 127, 50, 10, 10, {}},
        {"many values: left", 127, 50, -7, 0, {{20, 43}}},
        {"past the maximum sends the maximum", 127, 120, 30, 0, {{20, 127}}},
        {"past the minimum sends the minimum", 127, 5, 0, 30, {{20, 0}}},
    };
    for (const auto& k : cases)
    {
        auto c = make (StsCont::knob, 0, k.maximum, k.start);
        MouseDriver mouse (*c);
        mouse.press (30, 30);
        mouse.drag (30.0f + (float) k.dx, 30.0f + (float) k.dy);
        mouse.release (30.0f + (float) k.dx, 30.0f + (float) k.dy);
        EXPECT_EQ (sent(), k.expected) << k.what;
        EXPECT_EQ (c->getValue(), k.start) << k.what << ": the control waits for the echo";
    }
}

TEST_F (ControlFixture, KnobDragKeepsTheGestureOpenAndStopsSendingAtTheEnd)
{
    auto c = make (StsCont::knob, 0, 127, 125);
    c->setScale (2.0f); // mouse distances are not scaled
    MouseDriver mouse (*c);
    mouse.press (10, 10);
    mouse.drag (11, 10);
    EXPECT_EQ (sent(), (Sent{{20, 126}}));
    EXPECT_TRUE (rig.processor->isGestureOpen (20));

    // The panel echoes each value back; once the maximum shows, more travel sends nothing.
    c->showValue (126, "126");
    mouse.drag (15, 10);
    EXPECT_EQ (sent(), (Sent{{20, 127}}));
    c->showValue (127, "127");
    mouse.drag (30, 10);
    mouse.drag (40, 10);
    EXPECT_TRUE (sent().empty());

    mouse.release (40, 10);
    mouse.drag (0, 10); // no drag without a press
    EXPECT_TRUE (sent().empty());
}

TEST_F (ControlFixture, WheelStepsEveryKindAndClampsFirst)
{
    struct Case
    {
        int kind, maximum, shown;
        float delta;
        Sent expected;
        juce::ModifierKeys keys = {};
    };
    const Case cases[] = {
        {StsCont::toggleSwitch, 1, 1, 1.0f, {}}, // 2 clamps to 1, already shown
        {StsCont::toggleSwitch, 1, 1, -1.0f, {{20, 0}}},
        {StsCont::centredSwitch, 1, 0, 0.5f, {{20, 1}}},
        {StsCont::dropDown, 4, 2, -0.2f, {{20, 1}}},
        {StsCont::dropDown, 47, 2, 0.2f, {{20, 3}}}, // drop-downs always step one entry
        // Knobs cross their range in about 32 notches, one step a notch with Shift or Ctrl.
        {StsCont::knob, 127, 60, 0.1f, {{20, 64}}},
        {StsCont::knob, 254, 60, 0.1f, {{20, 68}}},
        {StsCont::knob, 254, 60, -0.1f, {{20, 52}}},
        {StsCont::knob, 254, 60, 0.1f, {{20, 61}}, shiftKey},
        {StsCont::knob, 254, 60, -0.1f, {{20, 59}}, ctrlKey},
        {StsCont::knob, 5, 2, 0.1f, {{20, 3}}},
        {StsCont::knob, 254, 250, 0.1f, {{20, 254}}},
        {StsCont::knob, 127, 60, 0.0f, {}},
        {StsCont::knob, 127, 0, -1.0f, {}},
    };
    for (const auto& k : cases)
    {
        auto c = make (k.kind, 0, k.maximum, k.shown);
        MouseDriver (*c).wheel (k.delta, k.keys);
        EXPECT_EQ (sent(), k.expected) << "kind " << k.kind << " shown " << k.shown << " delta " << k.delta;
    }
}

TEST_F (ControlFixture, SmoothWheelDeltasAddUpToNotches)
{
    auto c = make (StsCont::knob, 0, 254, 100);
    MouseDriver mouse (*c);
    mouse.wheel (0.08f, {}, true);
    mouse.wheel (0.08f, {}, true);
    EXPECT_TRUE (sent().empty()); // 0.16: not yet a notch
    mouse.wheel (0.08f, {}, true);
    EXPECT_EQ (sent(), (Sent{{20, 108}}));
}

namespace
{
/** What the host hears: values, gesture begins ('b') and ends ('e'). */
struct GestureLog : juce::AudioProcessorListener
{
    std::string log;
    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override {}
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override
    {
        log += 'b';
        log += std::to_string (index);
    }
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override
    {
        log += 'e';
        log += std::to_string (index);
    }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
};
} // namespace

TEST_F (ControlFixture, EveryGestureSendsWhatADragSendsWithAHostGesture)
{
    // The filter envelope amount (0-254), showing 100; in the initial program it is 127.
    constexpr int index = 25, shown = 100;
    const int initial = initialProgram()[(size_t)index];
    ASSERT_NE (initial, shown);

    struct Case
    {
        const char* what;
        std::function<void (MouseDriver&)> gesture;
        Sent expected;
    };
    const Case cases[] = {
        {"drag 3 px right",
         [] (MouseDriver& m)
         {
             m.press (30, 30);
             m.drag (33, 30);
             m.release (33, 30);
         },
         {{index, 103}}},
        {"Shift drag 8 px right: a step every 4 px",
         [] (MouseDriver& m)
         {
             m.press (30, 30, leftButton.withFlags (juce::ModifierKeys::shiftModifier));
             m.drag (34, 30);
             m.drag (38, 30);
             m.release (38, 30);
         },
         {{index, 101}, {index, 102}}},
        {"Ctrl drag 8 px up",
         [] (MouseDriver& m)
         {
             m.press (30, 30, leftButton.withFlags (juce::ModifierKeys::ctrlModifier));
             m.drag (30, 22);
             m.release (30, 22);
         },
         {{index, 102}}},
        {"Shift pressed halfway carries on from where the drag is",
         [] (MouseDriver& m)
         {
             m.press (30, 30);
             m.drag (40, 30);
             m.drag (40, 30, leftButton.withFlags (juce::ModifierKeys::shiftModifier));
             m.drag (48, 30, leftButton.withFlags (juce::ModifierKeys::shiftModifier));
             m.release (48, 30);
         },
         {{index, 110}, {index, 112}}},
        {"wheel notch", [] (MouseDriver& m) { m.wheel (0.2f); }, {{index, 108}}},
        {"Shift wheel notch", [] (MouseDriver& m) { m.wheel (-0.2f, shiftKey); }, {{index, 99}}},
        {"double-click: the initial program's value",
         [] (MouseDriver& m) { m.doubleClick (30, 30); },
         {{index, initial}}},
    };

    GestureLog host;
    rig.processor->addListener (&host);
    for (const auto& k : cases)
    {
        auto c = make (StsCont::knob, 0, 254, shown, kind::signedAmount, 65, 64, index);
        MouseDriver mouse (*c);
        host.log.clear();
        k.gesture (mouse);
        EXPECT_EQ (sent(), k.expected) << k.what;
        // Like a drag: the gesture opens at the first value and closes 200 ms after the last.
        EXPECT_EQ (host.log, "b25") << k.what;
        EXPECT_TRUE (pumpUntil ([&] { return host.log == "b25e25"; })) << k.what << ": " << host.log;
    }
    rig.processor->removeListener (&host);
}

TEST_F (ControlFixture, DoubleClickOnlyResetsKnobs)
{
    // A switch's double-click is two clicks: two toggles and nothing more.
    auto sw = make (StsCont::toggleSwitch, 0, 1, 0, kind::onOff, 60, 20, 24);
    MouseDriver (*sw).doubleClick (5, 5);
    EXPECT_EQ (sent(), (Sent{{24, 1}, {24, 1}})); // the switch waits for the echo, so both send 1

    // A knob that already shows its initial value sends nothing.
    auto knob = make (StsCont::knob, 0, 254, initialProgram()[25], kind::signedAmount, 65, 64, 25);
    MouseDriver (*knob).doubleClick (30, 30);
    EXPECT_TRUE (sent().empty());
}

TEST_F (ControlFixture, TooltipNamesTheParameterAndItsValue)
{
    auto c = make (StsCont::knob, 30, 250, 120, kind::bpm, 65, 64, 101);
    EXPECT_EQ (c->getTooltip(), ParameterTable::getName (101) + ": 120 bpm");
    c->showValue (121, "121 bpm");
    EXPECT_EQ (c->getTooltip(), ParameterTable::getName (101) + ": 121 bpm");
}

TEST_F (ControlFixture, SwitchesToggleOnlyInsideTheirHotZone)
{
    struct Case
    {
        int kind, width;
        float scale, x;
        bool toggles;
    };
    const Case cases[] = {
        {StsCont::toggleSwitch, 66, 1.0f, 24.0f, true},   {StsCont::toggleSwitch, 66, 1.0f, 25.0f, false},
        {StsCont::toggleSwitch, 66, 2.0f, 49.0f, true},   {StsCont::toggleSwitch, 66, 2.0f, 50.0f, false},
        {StsCont::centredSwitch, 65, 1.0f, 22.0f, false}, {StsCont::centredSwitch, 65, 1.0f, 23.0f, true},
        {StsCont::centredSwitch, 65, 1.0f, 41.0f, true},  {StsCont::centredSwitch, 65, 1.0f, 42.0f, false},
        {StsCont::centredSwitch, 65, 1.5f, 33.0f, false}, {StsCont::centredSwitch, 65, 1.5f, 62.0f, true},
    };
    for (const auto& k : cases)
    {
        auto c = make (k.kind, 0, 1, 1, kind::onOff, k.width, 32);
        c->setScale (k.scale);
        MouseDriver (*c).click (k.x, 5);
        EXPECT_EQ (sent(), (k.toggles ? Sent{{20, 0}} : Sent{}))
            << "kind " << k.kind << " scale " << k.scale << " x " << k.x;
    }

    auto off = make (StsCont::toggleSwitch, 0, 1, 0, kind::onOff, 66, 20);
    MouseDriver (*off).click (3, 5);
    EXPECT_EQ (sent(), (Sent{{20, 1}}));
}

TEST_F (ControlFixture, RightClickReportsCommand100ToEveryListenerLastFirstAndChangesNothing)
{
    std::vector<std::string> log;
    CommandRecorder first (log, "first"), second (log, "second");

    for (auto kind : {StsCont::knob, StsCont::toggleSwitch, StsCont::centredSwitch, StsCont::dropDown})
    {
        log.clear();
        auto c = make (kind, 0, 1, 0, kind::onOff, 65, 32, 46);
        c->setSectionIndex (5);
        c->addListener (&first);
        c->addListener (&second);
        c->addListener (&first); // once only

        MouseDriver mouse (*c);
        mouse.press (30, 5, rightButton);
        mouse.drag (60, 5);
        mouse.release (30, 5);

        EXPECT_EQ (log, (std::vector<std::string>{"second:100/46/5", "first:100/46/5"})) << "kind " << kind;
        EXPECT_TRUE (sent().empty()) << "kind " << kind;
        EXPECT_EQ (c->menusShown, 0);
        c->removeListener (&first);
        c->removeListener (&second);
    }
}

TEST_F (ControlFixture, DropDownMenuListsValueTextsFromZeroWithoutTheHiddenOnes)
{
    // Push-it mode: 2 has no text; every modulation source has one.
    struct Case
    {
        int displayKind, maximum, shown;
        std::vector<int> ids;
        const char* lastText;
    };
    std::vector<int> sources (23);
    std::iota (sources.begin(), sources.end(), 1);
    const Case cases[] = {
        {kind::modSource, 22, 3, sources, "Audio In Peak Hold"},
        {kind::pushItMode, 2, 1, {1, 2}, "TOGGLE"},
        {kind::seq2Destination, 48, 0, {}, "Sequencer 1 Slew"},
    };
    for (const auto& k : cases)
    {
        auto c = make (StsCont::dropDown, 0, k.maximum, k.shown, k.displayKind, 115, 32);
        std::vector<int> ids;
        juce::String lastText;
        int ticked = -1;
        const auto menu = c->createValueMenu();
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        {
            const auto& item = it.getItem();
            ids.push_back (item.itemID);
            lastText = item.text;
            EXPECT_EQ (item.text, ParDes::valueToText (k.displayKind, item.itemID - 1));
            if (item.isTicked)
                ticked = item.itemID;
        }
        if (! k.ids.empty())
            EXPECT_EQ (ids, k.ids) << k.displayKind;
        else
            EXPECT_EQ ((int) ids.size(), k.maximum + 1) << k.displayKind;
        EXPECT_EQ (lastText, k.lastText);
        EXPECT_EQ (ticked, k.shown + 1);
    }
}

TEST_F (ControlFixture, DropDownOpensOnAClickInItsBodyAndSendsTheChoiceClosingTheGesture)
{
    auto c = make (StsCont::dropDown, 0, 4, 0, kind::lfoShape, 120, 32, 43);
    c->setScale (1.5f);
    MouseDriver mouse (*c);

    mouse.click (60, 26.9f); // inside 18 × 1.5
    ASSERT_EQ (c->menusShown, 1);
    EXPECT_EQ (c->shownMenu.getNumItems(), 5);

    c->valueMenuFinished (4); // "Pulse (square)"
    EXPECT_EQ (sent(), (Sent{{43, 3}}));
    EXPECT_FALSE (rig.processor->isGestureOpen (43));

    c->valueMenuFinished (0); // dismissed
    EXPECT_TRUE (sent().empty());

    mouse.click (60, 27.0f); // the caption, below the body
    mouse.press (60, 5);
    mouse.release (60, 30); // released outside the body
    EXPECT_EQ (c->menusShown, 1);
}

TEST_F (ControlFixture, PaintsTheKnobFrameOfItsValue)
{
    // The value arc of the strip passes the knob's right side (90 degrees) from frame 28 on; the knob
    // sits at (w / 2 - 16, 0) with its centre 16.5 units into the frame.
    const int w = 65;
    const int arcX = w / 2 - 16 + 16 + 14, arcY = 16;
    for (auto [value, lit] : {std::pair{0, false}, std::pair{127, true}})
    {
        auto c = make (StsCont::knob, 0, 127, value, kind::plainNumber, w, 64);
        c->setBackgroundFill (true, juce::Colour (0xff303030));
        const auto image = paintComponent (*c);
        const auto arc = image.getPixelAt (arcX, arcY);
        EXPECT_EQ (arc.getRed() > 150 && arc.getRed() > arc.getBlue() + 80, lit)
            << "value " << value << ": " << arc.toDisplayString (true);
        EXPECT_EQ (image.getPixelAt (w - 1, 63), juce::Colour (0xff303030));
    }
}

TEST_F (ControlFixture, PaintsTheSwitchFrameOfItsValueAndTheDropDownText)
{
    // The lamp in the switch's thumb sits at (26, 10) of the on frame and is amber.
    for (auto [value, lit] : {std::pair{0, false}, std::pair{1, true}})
    {
        auto c = make (StsCont::toggleSwitch, 0, 1, value, kind::onOff, 66, 20);
        const auto lamp = paintComponent (*c).getPixelAt (26, 10);
        EXPECT_EQ (lamp.getRed() > 150 && lamp.getGreen() > 60 && lamp.getBlue() < 100, lit)
            << "value " << value << ": " << lamp.toDisplayString (true);
    }

    auto menu = make (StsCont::dropDown, 0, 4, 2, kind::lfoShape, 120, 32);
    const auto image = paintComponent (*menu);
    int valueTextPixels = 0;
    for (int y = 2; y < 16; ++y)
        for (int x = 4; x < 106; ++x)
            if (auto p = image.getPixelAt (x, y); p.getBlue() > 150 && p.getGreen() > p.getRed() + 40)
                ++valueTextPixels;
    EXPECT_GT (valueTextPixels, 20) << "the value text is drawn in its light cyan";
}
