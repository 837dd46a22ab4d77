#include "support/WidgetTestRig.h"
#include "ui/widgets/Envel.h"
#include "ui/widgets/LCD_Comp.h"
#include "ui/widgets/ProgramLocation.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
constexpr float unit = 48.0f / 127.0f;

struct EnvelFixture : ::testing::Test
{
    juce::SharedResourcePointer<KelvoLook> look;
    Envel env;

    void set (int a, int d, int s, int r)
    {
        env.setAttack (a);
        env.setDecay (d);
        env.setSustain (s);
        env.setRelease (r);
    }

    void place (float scale)
    {
        env.setScale (scale);
        env.setBounds (0, 0, juce::roundToInt (226 * scale), juce::roundToInt (82 * scale));
    }
};
} // namespace

TEST_F (EnvelFixture, OutlineCornersFollowTheFourValues)
{
    const auto& c = env.getCorners();
    EXPECT_EQ (c[0], juce::Point<float> (16, 70));
    EXPECT_FLOAT_EQ (c[1].x, 16 + unit * 30); // every value starts at 30
    EXPECT_FLOAT_EQ (c[2].y, 70 - unit * 30);

    set (127, 127, 0, 127);
    EXPECT_FLOAT_EQ (c[1].x, 64.0f);
    EXPECT_FLOAT_EQ (c[1].y, 16.0f);
    EXPECT_FLOAT_EQ (c[2].x, 112.0f);
    EXPECT_FLOAT_EQ (c[2].y, 70.0f);
    EXPECT_NEAR (c[3].x, 112.0f + 37.795f, 0.001f); // the sustain stage is always 100 units long
    EXPECT_NEAR (c[4].x, 197.795f, 0.001f);
    EXPECT_LT (c[4].x, 4.0f + 218.0f) << "inside the backdrop";
    EXPECT_FLOAT_EQ (c[4].y, 70.0f);

    set (300, -4, 500, 0); // clamped to 0..127
    EXPECT_EQ (env.getAttack(), 127);
    EXPECT_EQ (env.getDecay(), 0);
    EXPECT_EQ (env.getSustain(), 127);
    EXPECT_FLOAT_EQ (c[2].y, 22.0f); // full sustain stays 48 units above the base line
}

TEST_F (EnvelFixture, HandlesAreHitWithinSevenUnitsScaled)
{
    set (30, 20, 64, 40);
    const auto peakX = 16 + unit * 30, decayEnd = peakX + unit * 20, sustainEnd = decayEnd + unit * 100;
    const auto sustainY = 70 - unit * 64, releaseX = sustainEnd + unit * 40;

    struct Case
    {
        float scale, x, y;
        int handle;
    };
    const Case cases[] = {
        {1.0f, peakX, 16, Envel::attackHandle},
        {1.0f, peakX + 6.9f, 16 - 6.9f, Envel::attackHandle},
        {1.0f, peakX, 16 - 7, Envel::noHandle},
        {1.0f, peakX + 7, 16, Envel::noHandle},
        {1.0f, releaseX, 70, Envel::releaseHandle},
        {1.0f, releaseX - 6.9f, 63.1f, Envel::releaseHandle},
        {1.0f, decayEnd - 6.9f, sustainY, Envel::sustainHandle},
        {1.0f, sustainEnd + 6.9f, sustainY + 6.9f, Envel::sustainHandle},
        {1.0f, decayEnd - 7, sustainY, Envel::noHandle},
        {1.0f, (decayEnd + sustainEnd) / 2, sustainY - 7, Envel::noHandle},
        {1.5f, 1.5f * releaseX, 1.5f * 70 - 10.4f, Envel::releaseHandle},
        {1.5f, 1.5f * releaseX, 1.5f * 70 + 10.4f, Envel::releaseHandle},
        {1.5f, 1.5f * releaseX, 1.5f * 70 - 10.5f, Envel::noHandle},
        {1.5f, 1.5f * releaseX, 1.5f * 70 + 10.5f, Envel::noHandle},
        {1.5f, 1.5f * peakX, 1.5f * 16, Envel::attackHandle},
    };
    for (const auto& k : cases)
    {
        place (k.scale);
        EXPECT_EQ (env.hitTestHandle ({k.x, k.y}), k.handle)
            << "scale " << k.scale << " at " << k.x << ", " << k.y;
    }

    // The attack handle wins where it overlaps the release handle (attack 0, decay 0, sustain 127).
    set (0, 0, 127, 0);
    place (1.0f);
    EXPECT_EQ (env.hitTestHandle ({16, 16}), Envel::attackHandle);
}

TEST_F (EnvelFixture, HandlesShowWhileTheMouseIsOverTheGraph)
{
    set (30, 20, 64, 40);
    place (1.5f);
    const auto before = paintComponent (env);
    EXPECT_FALSE (env.areHandlesShown());

    // Entering over the sustain stage shows all three handles and highlights that one.
    const auto sustain = env.handlePosition (Envel::sustainHandle);
    env.mouseEnter (mouseEvent (env, sustain, {}, sustain));
    EXPECT_TRUE (env.areHandlesShown());
    EXPECT_EQ (env.getHighlightedHandle(), Envel::sustainHandle);
    const auto hovered = paintComponent (env);
    for (auto handle : {Envel::attackHandle, Envel::sustainHandle, Envel::releaseHandle})
    {
        const auto at = env.handlePosition (handle).toInt();
        EXPECT_NE (hovered.getPixelAt (at.x, at.y), before.getPixelAt (at.x, at.y)) << "handle " << handle;
    }

    const juce::Point<float> empty (5.0f, 5.0f);
    env.mouseMove (mouseEvent (env, empty, {}, empty));
    EXPECT_EQ (env.getHighlightedHandle(), Envel::noHandle);
    EXPECT_TRUE (env.areHandlesShown());

    env.mouseExit (mouseEvent (env, {-1.0f, -1.0f}, {}, {-1.0f, -1.0f}));
    EXPECT_FALSE (env.areHandlesShown());
    const auto after = paintComponent (env);
    const auto at = env.handlePosition (Envel::attackHandle).toInt();
    EXPECT_EQ (after.getPixelAt (at.x, at.y), before.getPixelAt (at.x, at.y));
}

TEST_F (EnvelFixture, DragsMoveOneValueUnitPerPixelAndAHalf)
{
    place (1.0f);
    ChangeCounter changes (env);
    // A whole-pixel press, so that the half-unit cases below are exact.
    const juce::Point<float> peak (std::round (env.getCorners()[1].x), 16.0f);

    MouseDriver mouse (env);
    mouse.press (peak.x, peak.y);
    mouse.drag (peak.x + 1, peak.y);
    EXPECT_EQ (env.getAttack(), 31) << "1 / 1.5 rounds to 1";
    EXPECT_EQ (env.getValueLabel(), "31");
    EXPECT_EQ (changes.take(), 1);
    EXPECT_EQ (env.getEventCode(), Envel::valuesDragged);

    mouse.drag (peak.x + 15, peak.y + 40); // sideways only counts for the attack
    EXPECT_EQ (env.getAttack(), 40);
    EXPECT_EQ (env.getSustain(), 30);
    mouse.drag (peak.x + 0.75f, peak.y); // 0.5 rounds to even: 0
    EXPECT_EQ (env.getAttack(), 30);
    mouse.drag (peak.x + 2.25f, peak.y); // 1.5 rounds to even: 2
    EXPECT_EQ (env.getAttack(), 32);
    mouse.drag (peak.x + 400, peak.y);
    EXPECT_EQ (env.getAttack(), 127);
    mouse.drag (peak.x + 400, peak.y + 3); // nothing changed: no message
    changes.take();
    mouse.drag (peak.x + 401, peak.y + 3);
    EXPECT_EQ (changes.take(), 0);
    EXPECT_EQ (env.getValueLabel(), " ");
    mouse.release (peak.x, peak.y);

    // The sustain handle straight up changes only the sustain.
    const auto stage = (env.getCorners()[2] + env.getCorners()[3]) / 2.0f;
    mouse.press (stage.x, stage.y);
    mouse.drag (stage.x, stage.y - 15);
    EXPECT_EQ (env.getSustain(), 40);
    EXPECT_EQ (env.getDecay(), 30);
    EXPECT_EQ (env.getValueLabel(), "  , 40");
    mouse.drag (stage.x - 3, stage.y - 15); // and sideways the decay
    EXPECT_EQ (env.getDecay(), 28);
    EXPECT_EQ (env.getValueLabel(), "28");

    // The release handle, at scale 1.5: the distance in pixels is not scaled.
    place (1.5f);
    const auto end = env.getCorners()[4] * 1.5f;
    mouse.press (end.x, end.y);
    mouse.drag (end.x - 15, end.y - 30);
    EXPECT_EQ (env.getRelease(), 20);
    EXPECT_EQ (env.getSustain(), 40);
}

TEST_F (EnvelFixture, RightPressReportsCode100AndNeverDrags)
{
    place (1.0f);
    ChangeCounter changes (env);
    const auto peak = env.getCorners()[1];
    MouseDriver mouse (env);
    mouse.press (peak.x, peak.y, rightButton);
    EXPECT_EQ (changes.take(), 1);
    EXPECT_EQ (env.getEventCode(), Envel::rightClicked);
    mouse.drag (peak.x + 30, peak.y);
    EXPECT_EQ (env.getAttack(), 30);

    mouse.press (1, 1); // a left press off the handles starts nothing
    mouse.drag (100, 1);
    EXPECT_EQ (changes.take(), 0);
}

TEST_F (EnvelFixture, PaintsTheOutlineAndDefersWhileHidden)
{
    place (1.0f);
    set (0, 0, 127, 0);
    const auto full = paintComponent (env);
    set (0, 0, 0, 0);
    const auto empty = paintComponent (env);

    // Inside the sustain stage, near the base line: the amber fill, or the backdrop when sustain is 0.
    const auto filled = full.getPixelAt (40, 66);
    EXPECT_GT (filled.getRed(), filled.getBlue() + 40) << filled.toDisplayString (true);
    EXPECT_LT (empty.getPixelAt (40, 66).getRed(), 60);
    EXPECT_EQ (full.getPixelAt (1, 1), juce::Colour (0xff303030));

    env.setShowing (false);
    env.setSustain (64);
    EXPECT_TRUE (env.isDirty());
    EXPECT_EQ (env.getSustain(), 64);
    env.setShowing (true);
    EXPECT_FALSE (env.isDirty());
}

TEST (ProgramLocation, BankPrefixAndThreeDigitNumber)
{
    struct Case
    {
        int bank, program;
        const char* text;
    };
    const Case cases[] = {
        {0, 0, "U1:001"}, {0, 99, "U1:100"}, {3, 5, "U4:006"}, {4, 0, "F1:001"}, {7, 127, "F4:128"}, {-1, 0, ""}};
    for (const auto& c : cases)
        EXPECT_EQ (programLocation (c.bank, c.program), c.text);
    EXPECT_EQ (bankPrefix (8), "") << "no such synth bank";
}

TEST (LcdDisplay, ShowsTheProgramAndReportsTheClickedRegion)
{
    const juce::SharedResourcePointer<KelvoLook> look;
    LCD_Comp lcd;
    EXPECT_EQ (lcd.getBounds(), juce::Rectangle<int> (0, 0, 180, 43));
    lcd.showProgram (7, 127, 3, "Fat Pad", "Pads");
    EXPECT_EQ (lcd.getLocationText(), "F4:128");
    EXPECT_EQ (lcd.getProgramName(), "Fat Pad");
    lcd.showLocation (0, 99);
    lcd.showCategory (5, "Leads");
    EXPECT_EQ (lcd.getLocationText(), "U1:100");
    EXPECT_EQ (lcd.getCategoryText(), "Leads");
    EXPECT_EQ (lcd.getCategoryNumber(), 5);
    EXPECT_EQ (lcd.getProgramName(), "Fat Pad");

    ChangeCounter changes (lcd);
    struct Case
    {
        float scale, x, y;
        int region;
    };
    const Case cases[] = {
        {1.0f, 30, 10, LCD_Comp::locationRegion},  {1.0f, 62, 10, LCD_Comp::locationRegion},
        {1.0f, 63, 10, LCD_Comp::categoryRegion},  {1.0f, 63, 22, LCD_Comp::nameRegion},
        {1.0f, 10, 40, LCD_Comp::nameRegion},      {2.0f, 120, 40, LCD_Comp::locationRegion},
        {2.0f, 130, 40, LCD_Comp::categoryRegion}, {2.0f, 20, 50, LCD_Comp::nameRegion},
    };
    for (const auto& k : cases)
    {
        lcd.setScale (k.scale);
        MouseDriver (lcd).click (k.x, k.y);
        EXPECT_EQ (lcd.getClickRegion(), k.region) << "scale " << k.scale << " at " << k.x << ", " << k.y;
        EXPECT_EQ (changes.take(), 1);
    }

    // The name is drawn dark on the light glass, on the lower line.
    lcd.setScale (1.0f);
    lcd.showProgram (0, 0, 0, "WWWWWWWWWWWWWWWW", "");
    const auto image = paintComponent (lcd);
    int dark = 0;
    for (int x = 10; x < 170; ++x)
        if (image.getPixelAt (x, 28).getBrightness() < 0.3f)
            ++dark;
    EXPECT_GT (dark, 40);
    EXPECT_GT (image.getPixelAt (5, 40).getBrightness(), 0.5f);
}
