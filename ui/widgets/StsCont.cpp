#include "ui/widgets/StsCont.h"

#include "host/MarvexAudioProcessor.h"
#include "model/ParDes.h"
#include "ui/widgets/Artwork.h"
#include "ui/widgets/DarkMenuLook.h"
#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/WidgetColours.h"

#include <cmath>

namespace kelvo
{
namespace
{
// Every control owns a band this high above the y its panel gives it.
constexpr int topBand = 16;

// Value to knob frame: the strip turns 5.35 degrees a frame over a 300-degree sweep.
constexpr double sweepDegrees = 300.0;
constexpr double degreesPerFrame = 5.35;

// Knob drags: controls with few values move one step every 15 pixels, the rest one a pixel.
constexpr int fewValuesBelow = 15;
constexpr int pixelsPerStepFewValues = 15;

// Hot zones, in design units.
constexpr int menuZoneHeight = 18;
constexpr int switchZoneWidth = 25;
constexpr int centredZoneWidth = 20;

// Painting, in design units.
constexpr int knobOffsetFromMiddle = 16; // the knob's centre sits 16 units into its frame
constexpr int knobValueTextTop = 9;
constexpr int knobCaptionTop = 21;
constexpr float valueFontHeight = 11.0f;
constexpr float captionFontHeight = 12.0f;
constexpr int switchCaptionX = 36;
constexpr int centredCaptionTop = 10;
constexpr int dropDownHeight = 18;
constexpr int dropDownTextX = 4;
constexpr int dropDownTextHeight = 20;
constexpr float minimumTextSqueeze = 0.8f;
constexpr juce::uint32 switchOnTint = 0x33814141;
constexpr float centredTintWidth = 36.0f;

const juce::String hiddenValueText = "*/*";
} // namespace

StsCont::StsCont (MarvexAudioProcessor& p) : owner (p) {}

StsCont::~StsCont() = default;

void StsCont::setupControl (int index, const juce::String& text, int x, int y, int width, int height,
                            int minValue, int maxValue, int kindOfControl, int kindOfDisplay)
{
    parameterIndex = index;
    caption = text;
    unscaledX = x;
    unscaledTop = y - topBand;
    unscaledWidth = width;
    unscaledHeight = height;
    minimum = minValue;
    maximum = maxValue;
    controlKind = kindOfControl;
    displayKind = kindOfDisplay;
    setBounds (unscaledX, unscaledTop, unscaledWidth, unscaledHeight);
    value = 0;

    switch (controlKind)
    {
        case knob:
            knobStrip = artwork::knobStrip();
            knobPlate = artwork::knobPlate();
            knobFrame = 0;
            break;
        case toggleSwitch:
        case centredSwitch:
            switchImage = artwork::toggleSwitch();
            break;
        case dropDown:
            bodyImage = artwork::dropDownBody();
            arrowImage = artwork::dropDownArrow();
            frameImage = artwork::dropDownFrame();
            break;
        default:
            break;
    }
}

int StsCont::knobFrameFor (int v, int minValue, int maxValue)
{
    const auto r = maxValue - minValue;
    if (r <= 0)
        return 0;
    const auto frame = (sweepDegrees - (maxValue - v) * (sweepDegrees / r)) / degreesPerFrame;
    // nearbyint rounds half to even under the default rounding mode.
    return (int) std::nearbyint (juce::jlimit (0.0, (double) art::knobFrameCount, frame));
}

void StsCont::showValue (int newValue, const juce::String& text)
{
    newValue = juce::jlimit (minimum, juce::jmax (minimum, maximum), newValue);
    if (newValue == value)
        return;

    value = newValue;
    if (controlKind == knob)
        knobFrame = knobFrameFor (value, minimum, maximum);
    valueText = text;

    if (showing)
        repaint();
    else
        dirty = true;
}

void StsCont::setValueFromUser (int newValue)
{
    newValue = juce::jlimit (minimum, juce::jmax (minimum, maximum), newValue);
    pendingValue = newValue;
    if (newValue != value)
        owner.setParameterFromEditor (parameterIndex, newValue, false, true);
}

void StsCont::toggleValue()
{
    pendingValue = value == 0 ? 1 : 0;
    owner.setParameterFromEditor (parameterIndex, pendingValue, false, true);
}

juce::PopupMenu StsCont::createValueMenu() const
{
    juce::PopupMenu menu;
    for (int i = 0; i <= maximum; ++i)
    {
        const auto text = ParDes::valueToText (displayKind, i);
        if (text != hiddenValueText)
            menu.addItem (i + 1, text, true, i == value);
    }
    return menu;
}

void StsCont::valueMenuFinished (int itemId)
{
    const auto chosen = itemId - 1;
    if (chosen >= 0)
        owner.setParameterFromEditor (parameterIndex, chosen, true, true);
}

void StsCont::showValueMenu (juce::PopupMenu menu)
{
    menu.setLookAndFeel (&menuLook.get());
    menu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (this),
                        [safeThis = juce::Component::SafePointer<StsCont> (this)] (int itemId)
                        {
                            if (safeThis != nullptr)
                                safeThis->valueMenuFinished (itemId);
                        });
}

void StsCont::setScale (float factor)
{
    scale = factor;
    applyScaledBounds();
}

void StsCont::setPosition (int x, int y)
{
    unscaledX = x;
    unscaledTop = y - topBand;
    applyScaledBounds();
}

void StsCont::applyScaledBounds()
{
    setBounds (juce::roundToInt ((float) unscaledX * scale), juce::roundToInt ((float) unscaledTop * scale),
               juce::roundToInt ((float) unscaledWidth * scale),
               juce::roundToInt ((float) unscaledHeight * scale));
}

void StsCont::setShowing (bool shouldShow)
{
    showing = shouldShow;
    if (showing && dirty)
    {
        dirty = false;
        repaint();
    }
}

void StsCont::setBackgroundFill (bool shouldFill, juce::Colour colour)
{
    fillBackground = shouldFill;
    backgroundColour = colour;
    repaint();
}

//==============================================================================
void StsCont::paint (juce::Graphics& g)
{
    if (fillBackground)
        g.fillAll (backgroundColour);

    // Everything below is laid out in design units.
    g.addTransform (juce::AffineTransform::scale (scale));
    const auto w = unscaledWidth, h = unscaledHeight;

    switch (controlKind)
    {
        case knob:
            paintKnob (g, w, h);
            break;
        case toggleSwitch:
            paintSwitch (g, 0, w, h);
            break;
        case centredSwitch:
            paintSwitch (g, (w - art::switchFrameWidth) / 2, w, h);
            break;
        case dropDown:
            paintDropDown (g, w, h);
            break;
        default:
            break;
    }
}

void StsCont::paintKnob (juce::Graphics& g, int w, int h)
{
    const auto x = w / 2 - knobOffsetFromMiddle;
    constexpr auto size = art::knobFrameSize;
    g.drawImage (knobPlate, x, 0, size, size, 0, 0, size, size);
    g.drawImage (knobStrip, x, 0, size, size, knobFrame * art::knobFrameStep, 0, size, size);

    g.setColour (juce::Colour (colours::widgetText));
    g.setFont (arialFont (valueFontHeight));
    g.drawText (valueText, 0, knobValueTextTop, w, h, juce::Justification::centred);
    g.setFont (arialFont (captionFontHeight));
    g.drawText (caption, 0, knobCaptionTop, w, h, juce::Justification::centred);
}

void StsCont::paintSwitch (juce::Graphics& g, int frameX, int w, int h)
{
    const auto on = value == 1;
    g.drawImage (switchImage, frameX, 0, art::switchFrameWidth, art::switchImageHeight,
                 on ? art::switchOnFrameX : 0, 0, art::switchFrameWidth, art::switchImageHeight);

    const auto centred = controlKind == centredSwitch;
    if (on)
    {
        g.setColour (juce::Colour (switchOnTint));
        g.fillEllipse ((float) frameX, 0.0f, centred ? centredTintWidth : (float) art::switchFrameWidth,
                       (float) art::switchImageHeight);
    }

    g.setColour (juce::Colour (colours::widgetText));
    g.setFont (arialFont (captionFontHeight));
    if (centred)
        g.drawText (caption, 0, centredCaptionTop, w, h, juce::Justification::centred);
    else
        g.drawText (caption, switchCaptionX, 0, w, h, juce::Justification::centredLeft);
}

void StsCont::paintDropDown (juce::Graphics& g, int w, int h)
{
    g.drawImage (bodyImage, 0, 0, art::dropDownBodyWidth, art::dropDownBodyHeight, 0, 0,
                 art::dropDownBodyWidth, art::dropDownBodyHeight);
    g.drawImage (arrowImage, w - art::dropDownArrowWidth, 0, art::dropDownArrowWidth,
                 art::dropDownArrowHeight, 0, 0, art::dropDownArrowWidth, art::dropDownArrowHeight);
    g.drawImage (frameImage, 0, 0, w, dropDownHeight, 0, 0, art::dropDownFrameWidth,
                 art::dropDownFrameHeight);

    // The value stays clear of the arrow: long texts are squeezed a little rather than run under it.
    g.setFont (arialFont (captionFontHeight));
    g.setColour (juce::Colour (colours::valueText));
    g.drawFittedText (valueText, dropDownTextX, 0, w - dropDownTextX - art::dropDownArrowWidth,
                      dropDownTextHeight, juce::Justification::centred, 1, minimumTextSqueeze);
    g.setColour (juce::Colour (colours::widgetText));
    g.drawText (caption, 0, centredCaptionTop, w, h, juce::Justification::centred);
}

//==============================================================================
bool StsCont::isInSwitchHotZone (float x) const
{
    const auto left = (unscaledWidth - centredZoneWidth) / 2;
    return (float) left * scale < x && x < (float) (left + centredZoneWidth) * scale;
}

void StsCont::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
    {
        listeners.callLastToFirst (*this, [this] (StsContListener& l)
                                   { l.stsContCommand (rightClickCommand, parameterIndex, sectionIndex); });
        return;
    }

    switch (controlKind)
    {
        case dropDown:
            menuArmed = e.position.y < (float) menuZoneHeight * scale;
            break;
        case toggleSwitch:
            if (e.position.x < (float) switchZoneWidth * scale)
                toggleValue();
            break;
        case knob:
            dragging = true;
            valueAtPress = value;
            pressX = e.x;
            pressY = e.y;
            break;
        case centredSwitch:
            if (isInSwitchHotZone (e.position.x))
                toggleValue();
            break;
        default:
            break;
    }
}

void StsCont::mouseDrag (const juce::MouseEvent& e)
{
    if (controlKind != knob || ! dragging)
        return;

    // Integer divisions truncate towards zero, so small moves back and forth never creep.
    const auto pixelsPerStep = maximum < fewValuesBelow ? pixelsPerStepFewValues : 1;
    setValueFromUser ((e.x - pressX) / pixelsPerStep - (e.y - pressY) / pixelsPerStep + valueAtPress);
}

void StsCont::mouseUp (const juce::MouseEvent& e)
{
    const auto wasArmed = menuArmed;
    menuArmed = false;
    dragging = false;

    if (controlKind == dropDown && wasArmed && e.position.y < (float) menuZoneHeight * scale)
        showValueMenu (createValueMenu());
}

void StsCont::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    if (wheel.deltaY > 0.0f)
        setValueFromUser (value + 1);
    else if (wheel.deltaY < 0.0f)
        setValueFromUser (value - 1);
}

} // namespace kelvo
