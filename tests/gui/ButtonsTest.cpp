#include "support/WidgetTestRig.h"
#include "ui/widgets/Artwork.h"
#include "ui/widgets/StsBut.h"
#include "ui/widgets/StsLabel.h"
#include "ui/widgets/SwitchLED.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
/** Writes every report into one log, so that the order across both kinds of listener shows. */
struct ButtonLog : stsbutListener, stsbutChangeListener
{
    ButtonLog (std::vector<std::string>& l, std::string n) : log (l), name (std::move (n)) {}
    void stsbutPressed (int id) override { log.push_back (name + " pressed " + std::to_string (id)); }
    void stsbutChanged (StsBut& b) override
    {
        log.push_back (name + " changed " + b.getCaption().toStdString());
    }
    std::vector<std::string>& log;
    std::string name;
};

struct ButtonFixture : ::testing::Test
{
    juce::SharedResourcePointer<KelvoLook> look;
    std::vector<std::string> log;
    ButtonLog a{log, "a"}, b{log, "b"};

    std::unique_ptr<StsBut> make (int kind, int w = 60, int h = 24)
    {
        auto button = std::make_unique<StsBut> ("GO", 42, kind);
        button->setupButton (5, 6, w, h, true);
        button->setVisible (true);
        for (auto* l : {&a, &b})
        {
            button->addListener (l);
            button->addChangeListener (l);
        }
        button->addListener (&a); // a listener is kept once
        return button;
    }

    /** Clicks the inner text button as the mouse would, and lets its click arrive. */
    static void clickInner (StsBut& button)
    {
        button.getInnerButton()->triggerClick();
        pumpFor (20);
    }

    const std::vector<std::string> oneClick{"b changed GO", "a changed GO", "b pressed 42", "a pressed 42"};
};
} // namespace

TEST_F (ButtonFixture, BevelButtonReportsOnPressAndShowsPressedUntilRelease)
{
    auto button = make (StsBut::bevelKind);
    EXPECT_EQ (button->getBounds(), juce::Rectangle<int> (5, 6, 60, 24));
    EXPECT_EQ (button->getInnerButton(), nullptr);

    MouseDriver mouse (*button);
    mouse.press (59, 23);
    EXPECT_EQ (log, oneClick);
    EXPECT_TRUE (button->isPressed());
    const auto pressedImage = paintComponent (*button);
    mouse.release (59, 23);
    EXPECT_FALSE (button->isPressed());
    EXPECT_EQ (log.size(), 4u) << "the release reports nothing";

    // Pressed, the face is the dark 0xff040405 over the whole button; released, 0xff202d31.
    EXPECT_EQ (pressedImage.getPixelAt (3, 12), juce::Colour (0xff040405));
    EXPECT_EQ (paintComponent (*button).getPixelAt (3, 12), juce::Colour (0xff202d31));
}

TEST_F (ButtonFixture, TextButtonKindsReportTheInnerButtonsClicks)
{
    struct Case
    {
        int kind, innerTop, innerBottom;
    };
    // Kinds 130 and 135 cut off the rounded ends above and below; 140 only above, leaving two pixels.
    const Case cases[] = {
        {StsBut::tabKind, -3, 27}, {StsBut::openTabKind, -3, 27}, {StsBut::barKind, -5, 22}};
    for (const auto& k : cases)
    {
        log.clear();
        auto button = make (k.kind);
        auto* inner = button->getInnerButton();
        ASSERT_NE (inner, nullptr) << k.kind;
        EXPECT_EQ (inner->getY(), k.innerTop) << k.kind;
        EXPECT_EQ (inner->getBottom(), k.innerBottom) << k.kind;

        clickInner (*button);
        EXPECT_EQ (log, oneClick) << k.kind;
    }
}

TEST_F (ButtonFixture, BarButtonAlsoReportsAPressInItsUncoveredBottomStrip)
{
    auto bar = make (StsBut::barKind, 60, 18);
    EXPECT_EQ (bar->getComponentAt (30, 16), bar.get());
    EXPECT_EQ (bar->getComponentAt (30, 17), bar.get());
    EXPECT_EQ (bar->getComponentAt (30, 15), bar->getInnerButton());

    MouseDriver (*bar).click (30, 16);
    EXPECT_EQ (log, oneClick);

    log.clear();
    auto tab = make (StsBut::tabKind, 60, 18);
    EXPECT_EQ (tab->getComponentAt (30, 17), tab->getInnerButton()) << "nothing of a tab is left uncovered";
    MouseDriver (*tab).click (30, 17);
    EXPECT_TRUE (log.empty());
}

TEST_F (ButtonFixture, AListenerMayDeleteTheButtonWhileItReports)
{
    // A dialog that closes itself from its own button deletes the button in the middle of the report.
    struct Closer : stsbutChangeListener
    {
        std::unique_ptr<StsBut> owned;
        void stsbutChanged (StsBut&) override { owned.reset(); }
    } closer;

    closer.owned = make (StsBut::bevelKind);
    auto* button = closer.owned.get();
    button->addChangeListener (&closer); // called first: added last
    MouseDriver (*button).press (10, 10);

    EXPECT_EQ (closer.owned, nullptr);
    EXPECT_TRUE (log.empty()) << "nobody hears from a deleted button";
}

TEST_F (ButtonFixture, LabelReportsPressesStrictlyInsideAndPaintsItsBorder)
{
    StsLabel label;
    label.setup ("CH 1", KelvoLook::arialName, 12.0f, juce::Justification::centred);
    label.setBounds (0, 0, 62, 15);
    ChangeCounter changes (label);

    MouseDriver mouse (label);
    mouse.click (1, 1);
    EXPECT_EQ (changes.take(), 1);
    mouse.click (0, 7);
    mouse.click (30, 0);
    EXPECT_EQ (changes.take(), 0);

    label.borderMode = StsLabel::filledAndOutlined;
    label.fillColour = juce::Colour (0xff404040);
    label.outlineColour = juce::Colour (0xff9f9f9f);
    const auto image = paintComponent (label);
    EXPECT_EQ (image.getPixelAt (0, 7), juce::Colour (0xff9f9f9f));
    EXPECT_EQ (image.getPixelAt (2, 2), juce::Colour (0xff404040));

    label.borderMode = StsLabel::noBorder;
    EXPECT_TRUE (paintComponent (label).getPixelAt (2, 2).isTransparent());
}

TEST_F (ButtonFixture, SwitchLedTogglesOnEveryPressAndShowsItsFrame)
{
    SwitchLED led ("Use loaded data", 12.0f);
    EXPECT_EQ (led.getBounds(), juce::Rectangle<int> (10, 10, 100, 30));
    ChangeCounter changes (led);

    const auto ledPixel = [&led] { return paintComponent (led).getPixelAt (7, 9); };
    const auto offColour = ledPixel();

    MouseDriver (led).click (50, 10);
    EXPECT_TRUE (led.isOn());
    EXPECT_EQ (changes.take(), 1);
    const auto onColour = ledPixel();
    EXPECT_GT (onColour.getRed(), offColour.getRed() + 80) << "the on frame is lit";

    MouseDriver (led).click (50, 10);
    EXPECT_FALSE (led.isOn());
    EXPECT_EQ (changes.take(), 1);

    led.setOn (true);
    EXPECT_EQ (changes.take(), 0) << "the owner showing a setting is not a click";
}

TEST (Artwork, EveryImageHasItsSizeAndTheFontIsEmbedded)
{
    const juce::SharedResourcePointer<KelvoLook> look;
    struct Case
    {
        const char* name;
        juce::Image image;
        int w, h;
    };
    const Case cases[] = {
        {"knob strip", artwork::knobStrip(), 2939, 48},
        {"knob plate", artwork::knobPlate(), 48, 48},
        {"switch", artwork::toggleSwitch(), 74, 20},
        {"drop-down body", artwork::dropDownBody(), 200, 18},
        {"drop-down arrow", artwork::dropDownArrow(), 14, 18},
        {"drop-down frame", artwork::dropDownFrame(), 100, 17},
        {"led", artwork::led(), 28, 9},
        {"envelope grid", artwork::envelopeGrid(), 218, 73},
        {"glare", artwork::glare(), 210, 66},
        {"lcd grid", artwork::lcdGrid(), 164, 43},
        {"list background", artwork::listBackground(), 246, 360},
        {"list thumb", artwork::listThumb(), 25, 43},
        {"library button body", artwork::libButtonBody(), 200, 48},
        {"library button cap", artwork::libButtonCap(), 10, 48},
        {"category key", artwork::catButtonBody(), 200, 36},
    };
    for (const auto& c : cases)
    {
        ASSERT_TRUE (c.image.isValid()) << c.name;
        EXPECT_EQ (c.image.getWidth(), c.w) << c.name;
        EXPECT_EQ (c.image.getHeight(), c.h) << c.name;
    }

    // Frame 0 points down to the left (-150 degrees); frame 56 has turned away from there. The gap
    // between frames stays clear.
    const auto strip = artwork::knobStrip();
    EXPECT_GT (strip.getPixelAt (11, 25).getBrightness(), 0.8f);
    EXPECT_LT (strip.getPixelAt (art::knobFrameStep * 56 + 11, 25).getBrightness(), 0.6f);
    EXPECT_TRUE (strip.getPixelAt (art::knobFrameSize + 1, 20).isTransparent());

    for (auto style : {juce::Font::plain, juce::Font::bold})
    {
        const auto face = arialFont (12.0f, style).getTypefacePtr();
        EXPECT_EQ (face->getName(), "Liberation Sans");
        EXPECT_EQ (face->getStyle(), style == juce::Font::bold ? "Bold" : "Regular");
    }
    EXPECT_EQ (juce::Font (12.0f).getTypefacePtr()->getName(), "Liberation Sans")
        << "the default sans-serif too";
}
