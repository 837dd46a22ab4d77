#include "ui/widgets/StsCont.h"

#include "host/MarvexAudioProcessor.h"
#include "model/ParDes.h"
#include "model/ParameterTable.h"
#include "model/ProgramRecord.h"
#include "ui/widgets/Artwork.h"
#include "ui/widgets/DarkMenuLook.h"
#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/KnobFrames.h"
#include "ui/widgets/WidgetColours.h"

#include <cmath>

namespace kelvo
{
namespace
{
// Every control owns a band this high above the y its panel gives it.
constexpr int topBand = 16;

// Value to knob frame: the strip turns 5.35 degrees a frame over a 300-degree sweep.
constexpr double knobSweepDegrees = 300.0;
constexpr double knobDegreesPerFrame = 5.35;

// What a smooth wheel (a touchpad) must add up to before it counts as one notch.
constexpr float smoothWheelNotch = 0.2f;

// Hot zones, in design units.
constexpr int menuZoneHeight = 18;
constexpr int switchZoneWidth = 25;
constexpr int centredZoneWidth = 20;

// Painting, in design units.
constexpr int contKnobOffsetFromMiddle = 16; // the knob's centre sits 16 units into its frame
constexpr int contKnobValueTextTop = 9;
constexpr int contKnobCaptionTop = 21;
constexpr float valueFontHeight = 11.0f;
constexpr float contCaptionFontHeight = 12.0f;
constexpr int switchCaptionX = 36;
constexpr int centredCaptionTop = 10;
constexpr int dropDownHeight = 18;
constexpr int contDropDownTextX = 4;
constexpr int dropDownTextHeight = 20;
constexpr float contMinimumTextSqueeze = 0.8f;
constexpr juce::uint32 contSwitchOnTint = 0x33814141;
constexpr float centredTintWidth = 36.0f;

const juce::String hiddenValueText = "*/*";

// Shift or Ctrl; Cmd too, since on a Mac Ctrl with a click is the right button.
bool wantsFineSteps (juce::ModifierKeys mods)
{
    return mods.isShiftDown() || mods.isCtrlDown() || mods.isCommandDown();
}
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
    staticLayer = {};

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
    const auto frame = (knobSweepDegrees - (maxValue - v) * (knobSweepDegrees / r)) / knobDegreesPerFrame;
    // nearbyint rounds half to even under the default rounding mode.
    return (int) std::nearbyint (juce::jlimit (0.0, (double) art::knobFrameCount, frame));
}

int StsCont::wheelStepFor (int minValue, int maxValue, bool fine)
{
    const auto range = maxValue - minValue;
    if (fine || range <= 0)
        return 1;
    return juce::jmax (1, (range + wheelNotchesForFullTurn / 2) / wheelNotchesForFullTurn);
}

int StsCont::initialValue() const
{
    return juce::isPositiveAndBelow (parameterIndex, program::recordSize)
               ? (int)initialProgram()[(size_t)parameterIndex]
               : minimum;
}

juce::Rectangle<int> StsCont::getValueArea() const
{
    // In design units, as painted: a knob's value line is centred in the band below its top, a
    // drop-down's value fills its body.
    juce::Rectangle<float> area;
    if (controlKind == knob)
    {
        const auto middle = (float)contKnobValueTextTop + (float)unscaledHeight * 0.5f;
        area = {0.0f, middle - valueFontHeight * 0.5f - 1.0f, (float)unscaledWidth, valueFontHeight + 2.0f};
    }
    else if (controlKind == dropDown)
    {
        area = {0.0f, 0.0f, (float)unscaledWidth, (float)dropDownTextHeight};
    }
    return (area * scale).getSmallestIntegerContainer();
}

juce::String StsCont::getTooltip()
{
    if (caption.isEmpty() && unscaledWidth == 0)
        return {};
    return ParameterTable::getName (parameterIndex) + ": " + valueText;
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
    staticLayer = {}; // the bounds may keep their size while the drawing inside them changes
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
    // Both edges are rounded, not the width: controls that touch in design units touch on screen.
    const auto edge = [this] (int designUnits) { return juce::roundToInt ((float)designUnits * scale); };
    const auto left = edge (unscaledX), top = edge (unscaledTop);
    setBounds (left, top, edge (unscaledX + unscaledWidth) - left, edge (unscaledTop + unscaledHeight) - top);
}

void StsCont::resized()
{
    staticLayer = {};
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
    staticLayer = {};
    repaint();
}

//==============================================================================
void StsCont::paint (juce::Graphics& g)
{
    const auto w = unscaledWidth, h = unscaledHeight;
    if (getWidth() <= 0 || getHeight() <= 0)
        return;

    // The parts that never change with the value come from one prepared image, at the resolution of
    // the screen the control is drawn on.
    const auto pixelScale = g.getInternalContext().getPhysicalPixelScaleFactor();
    if (staticLayer.isNull() || staticLayerPixelScale != pixelScale)
    {
        staticLayerPixelScale = pixelScale;
        // With its background filled the layer is opaque, and copying it needs no blending.
        staticLayer = juce::Image (fillBackground ? juce::Image::RGB : juce::Image::ARGB,
                                   juce::roundToInt ((float)getWidth() * pixelScale),
                                   juce::roundToInt ((float)getHeight() * pixelScale), true);
        juce::Graphics layer (staticLayer);
        layer.addTransform (juce::AffineTransform::scale (pixelScale));
        paintStaticLayer (layer, w, h);
    }
    if (pixelScale == 1.0f)
        g.drawImageAt (staticLayer, 0, 0);
    else
        g.drawImage (staticLayer, getLocalBounds().toFloat());

    if (controlKind == knob)
    {
        paintKnob (g, w, h, pixelScale);
        return;
    }

    // Everything below is laid out in design units.
    g.addTransform (juce::AffineTransform::scale (scale));
    switch (controlKind)
    {
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

void StsCont::paintStaticLayer (juce::Graphics& g, int w, int h)
{
    if (fillBackground)
        g.fillAll (backgroundColour);

    g.addTransform (juce::AffineTransform::scale (scale));
    g.setColour (juce::Colour (colours::widgetText));
    g.setFont (arialFont (contCaptionFontHeight));

    switch (controlKind)
    {
        case knob:
            g.drawText (caption, 0, contKnobCaptionTop, w, h, juce::Justification::centred);
            break;
        case toggleSwitch:
            g.drawText (caption, switchCaptionX, 0, w, h, juce::Justification::centredLeft);
            break;
        case centredSwitch:
            g.drawText (caption, 0, centredCaptionTop, w, h, juce::Justification::centred);
            break;
        case dropDown:
            g.drawImage (bodyImage, 0, 0, art::dropDownBodyWidth, art::dropDownBodyHeight, 0, 0,
                         art::dropDownBodyWidth, art::dropDownBodyHeight);
            g.drawImage (arrowImage, w - art::dropDownArrowWidth, 0, art::dropDownArrowWidth,
                         art::dropDownArrowHeight, 0, 0, art::dropDownArrowWidth, art::dropDownArrowHeight);
            g.drawImage (frameImage, 0, 0, w, dropDownHeight, 0, 0, art::dropDownFrameWidth,
                         art::dropDownFrameHeight);
            g.setColour (juce::Colour (colours::widgetText));
            g.drawText (caption, 0, centredCaptionTop, w, h, juce::Justification::centred);
            break;
        default:
            break;
    }
}

void StsCont::paintKnob (juce::Graphics& g, int w, int h, float pixelScale)
{
    // The face comes ready-made at the size it is drawn: no resampling while painting.
    const auto left = (float)(w / 2 - contKnobOffsetFromMiddle) * scale;
    const auto size = (float)art::knobFrameSize * scale;
    const auto& face = knobFrames->get (knobFrame, juce::roundToInt (size * pixelScale));
    if (pixelScale == 1.0f)
        g.drawImageAt (face, juce::roundToInt (left), 0);
    else
        g.drawImage (face, {std::round (left), 0.0f, size, size});

    g.addTransform (juce::AffineTransform::scale (scale));
    g.setColour (juce::Colour (colours::widgetText));
    g.setFont (arialFont (valueFontHeight));
    g.drawText (valueText, 0, contKnobValueTextTop, w, h, juce::Justification::centred);
}

void StsCont::paintSwitch (juce::Graphics& g, int frameX, int w, int h)
{
    juce::ignoreUnused (h);
    const auto on = value == 1;

    // A control smaller than the switch image shows the whole switch, made smaller.
    const auto fit =
        juce::jmin (1.0f, (float)w / (float)art::switchFrameWidth, (float)h / (float)art::switchImageHeight);
    const juce::Rectangle<float> area ((float)juce::jmax (0, frameX), 0.0f,
                                       (float)art::switchFrameWidth * fit,
                                       (float)art::switchImageHeight * fit);
    g.drawImage (switchImage.getClippedImage (
                     {on ? art::switchOnFrameX : 0, 0, art::switchFrameWidth, art::switchImageHeight}),
                 area);

    if (on)
    {
        const auto centred = controlKind == centredSwitch;
        g.setColour (juce::Colour (contSwitchOnTint));
        g.fillEllipse (area.withWidth ((centred ? centredTintWidth : (float)art::switchFrameWidth) * fit));
    }
}

void StsCont::paintDropDown (juce::Graphics& g, int w, int h)
{
    juce::ignoreUnused (h);
    // The value stays clear of the arrow: long texts are squeezed a little rather than run under it.
    g.setFont (arialFont (contCaptionFontHeight));
    g.setColour (juce::Colour (colours::valueText));
    g.drawFittedText (valueText, contDropDownTextX, 0, w - contDropDownTextX - art::dropDownArrowWidth,
                      dropDownTextHeight, juce::Justification::centred, 1, contMinimumTextSqueeze);
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
            valueAtPress = lastDragValue = value;
            pressX = e.x;
            pressY = e.y;
            fineDrag = wantsFineSteps (e.mods);
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

    const auto fine = wantsFineSteps (e.mods);
    if (fine != fineDrag)
    {
        fineDrag = fine;
        valueAtPress = lastDragValue;
        pressX = e.x;
        pressY = e.y;
    }

    // Integer divisions truncate towards zero, so small moves back and forth never creep.
    const auto step = maximum < fewValuesBelow ? pixelsPerStepFewValues
                      : fine                   ? finePixelsPerStep
                                               : pixelsPerStep;
    const auto dragged = juce::jlimit (minimum, juce::jmax (minimum, maximum),
                                       (e.x - pressX) / step - (e.y - pressY) / step + valueAtPress);
    // A drag event that lands on the value already sent sends it no second time.
    if (dragged != lastDragValue)
    {
        lastDragValue = dragged;
        setValueFromUser (dragged);
    }
}

void StsCont::mouseUp (const juce::MouseEvent& e)
{
    const auto wasArmed = menuArmed;
    menuArmed = false;
    dragging = false;

    if (controlKind == dropDown && wasArmed && e.position.y < (float) menuZoneHeight * scale)
        showValueMenu (createValueMenu());
}

void StsCont::mouseDoubleClick (const juce::MouseEvent& e)
{
    if (controlKind == knob && !e.mods.isPopupMenu())
    {
        dragging = false;
        setValueFromUser (initialValue());
    }
}

void StsCont::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    auto notches = 0;
    if (wheel.isSmooth)
    {
        smoothWheelDelta += wheel.deltaY;
        notches = (int)(smoothWheelDelta / smoothWheelNotch);
        smoothWheelDelta -= (float)notches * smoothWheelNotch;
    }
    else if (wheel.deltaY != 0.0f)
    {
        notches = wheel.deltaY > 0.0f ? 1 : -1;
    }
    if (notches == 0)
        return;

    // Switches and drop-downs step one value a notch; knobs cross their range in a fixed number of notches.
    const auto fine = wantsFineSteps (e.mods);
    const auto step = controlKind == knob ? wheelStepFor (minimum, maximum, fine) : 1;
    setValueFromUser (value + notches * step);
}

} // namespace kelvo
