#include "ui/widgets/StsBut.h"

#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 bevelFace = 0xff202d31;
constexpr juce::uint32 bevelPressedFace = 0xff040405;
constexpr float bevelFaceCorner = 1.0f;
constexpr float bevelPressedCorner = 4.0f;
constexpr float bevelFontHeight = 13.0f;

constexpr juce::uint32 tabColour = 0xffababab;
constexpr juce::uint32 tabOnColour = 0xff8b4916;
constexpr float tabFontHeight = 12.0f;
// The inner button reaches past the top and bottom edges, so that its rounded ends are cut off.
constexpr int tabOverhang = 3;

constexpr juce::uint32 buttonBarColour = 0xff5a6163;
constexpr juce::uint32 barOnColour = 0xff8b4916; // lit
constexpr float barFontHeight = 13.0f;
// Cut off at the top; two pixels along the bottom edge stay uncovered.
constexpr int barTopOverhang = 5;
constexpr int barHeightExtra = 3;
} // namespace

StsBut::StsBut (const juce::String& text, int id, int kind) : caption (text), buttonId (id), buttonKind (kind)
{
}

StsBut::~StsBut()
{
    if (innerButton != nullptr)
        innerButton->removeListener (this);
}

bool StsBut::hasInnerButton() const noexcept
{
    return buttonKind == tabKind || buttonKind == openTabKind || buttonKind == barKind;
}

void StsBut::setupButton (int x, int y, int width, int height, bool applyBounds)
{
    switch (buttonKind)
    {
        case bevelKind:
            bevelTopLeft = bevelBottomRight = juce::Colours::black;
            face = juce::Colour (bevelFace);
            pressedFace = juce::Colour (bevelPressedFace);
            captionColour = pressedCaptionColour = juce::Colours::white;
            captionFontHeight = bevelFontHeight;
            break;
        case tabKind:
        case openTabKind:
            face = juce::Colour (tabColour);
            pressedFace = juce::Colour (tabOnColour);
            captionColour = pressedCaptionColour = juce::Colours::black;
            captionFontHeight = tabFontHeight;
            break;
        case barKind:
            face = juce::Colour (buttonBarColour);
            pressedFace = juce::Colour (barOnColour);
            captionColour = pressedCaptionColour = juce::Colours::white;
            captionFontHeight = barFontHeight;
            break;
        default:
            break;
    }

    if (hasInnerButton() && innerButton == nullptr)
    {
        innerButton = std::make_unique<juce::TextButton>();
        innerButton->setColour (juce::TextButton::buttonColourId, face);
        innerButton->setColour (juce::TextButton::buttonOnColourId, pressedFace);
        if (buttonKind == barKind)
            innerButton->setConnectedEdges (juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnRight);
        innerButton->addListener (this);
        addAndMakeVisible (*innerButton);
    }

    if (applyBounds)
        setBounds (x, y, width, height);
    resized();
}

void StsBut::setCaption (const juce::String& text)
{
    caption = text;
    repaint();
}

void StsBut::setLit (bool shouldBeLit)
{
    if (lit == shouldBeLit)
        return;
    lit = shouldBeLit;
    if (innerButton != nullptr)
        innerButton->setToggleState (lit, juce::dontSendNotification);
    repaint();
}

juce::Font StsBut::getCaptionFont() const
{
    return arialFont (captionFontHeight);
}

void StsBut::setCaptionFontHeight (float height)
{
    captionFontHeight = height;
    repaint();
}

void StsBut::resized()
{
    if (innerButton == nullptr)
        return;
    const auto w = getWidth(), h = getHeight();
    if (buttonKind == barKind)
        innerButton->setBounds (0, -barTopOverhang, w, h + barHeightExtra);
    else
        innerButton->setBounds (0, -tabOverhang, w, h + 2 * tabOverhang);
}

void StsBut::paint (juce::Graphics& g)
{
    if (buttonKind != bevelKind)
        return;

    const auto bounds = getLocalBounds();
    if (pressed || lit)
    {
        g.setColour (pressedFace);
        g.fillRoundedRectangle (bounds.toFloat(), bevelPressedCorner);
    }
    else
    {
        g.setColour (face);
        g.fillRoundedRectangle (bounds.reduced (1).toFloat(), bevelFaceCorner);
    }

    // One-pixel bevel: the two colours change sides while pressed.
    const auto topLeft = pressed ? bevelBottomRight : bevelTopLeft;
    const auto bottomRight = pressed ? bevelTopLeft : bevelBottomRight;
    const auto w = getWidth(), h = getHeight();
    g.setColour (topLeft);
    g.fillRect (0, 0, w, 1);
    g.fillRect (0, 0, 1, h);
    g.setColour (bottomRight);
    g.fillRect (0, h - 1, w, 1);
    g.fillRect (w - 1, 0, 1, h);
}

void StsBut::paintOverChildren (juce::Graphics& g)
{
    auto area = getLocalBounds();
    if (buttonKind == bevelKind && pressed)
        area.translate (1, 1);

    g.setColour (pressed ? pressedCaptionColour : captionColour);
    g.setFont (getCaptionFont());
    g.drawText (caption, area, juce::Justification::centred);

    if (buttonKind == tabKind)
    {
        g.setColour (juce::Colours::black);
        g.fillRect (0, getHeight() - 1, getWidth(), 1);
    }
}

void StsBut::mouseDown (const juce::MouseEvent&)
{
    if (buttonKind == bevelKind)
    {
        pressed = true;
        reportClick();
    }
    else if (buttonKind == barKind)
    {
        reportClick();
    }
}

void StsBut::mouseUp (const juce::MouseEvent&)
{
    if (pressed)
    {
        pressed = false;
        repaint();
    }
}

void StsBut::buttonClicked (juce::Button*)
{
    reportClick();
}

void StsBut::reportClick()
{
    // A listener may close the window that owns this button; nothing here touches it afterwards.
    if (! changeListeners.callLastToFirst (*this,
                                           [this] (stsbutChangeListener& l) { l.stsbutChanged (*this); }))
        return;
    if (! buttonListeners.callLastToFirst (*this,
                                           [id = buttonId] (stsbutListener& l) { l.stsbutPressed (id); }))
        return;
    repaint();
}

} // namespace kelvo
