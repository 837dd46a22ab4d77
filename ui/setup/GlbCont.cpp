#include "ui/setup/GlbCont.h"
#include "link/MidiCntrState.h"
#include "ui/widgets/Artwork.h"
#include "ui/widgets/DarkMenuLook.h"
#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/WidgetColours.h"

#include <cmath>

namespace kelvo
{
namespace
{
struct Placement
{
    int x, y, width, height;
};

// Where each global sits on the panel, in design units, by index.
constexpr Placement placements[globals::numEdited] = {
    {44, 50, 64, 65},    {114, 50, 64, 65},   {340, 50, 100, 30},  {142, 128, 100, 30}, {142, 162, 100, 30},
    {142, 196, 100, 30}, {172, 230, 40, 30},  {172, 264, 40, 30},  {384, 128, 100, 30}, {384, 162, 100, 30},
    {370, 78, 40, 30},   {626, 230, 100, 30}, {626, 128, 100, 30}, {626, 162, 100, 30}, {626, 196, 100, 30},
    {414, 196, 40, 30},  {384, 230, 100, 30}, {384, 264, 100, 30}, {626, 264, 100, 30},
};

// Knob: the filmstrip turns 300 degrees, 5.35 degrees a frame.
constexpr double sweepDegrees = 300.0, degreesPerFrame = 5.35;
constexpr int knobOffsetFromMiddle = 16;
constexpr int knobValueTextTop = 9, knobCaptionTop = 26;
constexpr float knobValueFontHeight = 11.0f, globalCaptionFontHeight = 12.0f;

// Drag: ranges below 30 values move a step every 15 pixels, larger ones every 2.
constexpr int fewValuesBelow = 30, pixelsPerStepFewValues = 15, pixelsPerStepManyValues = 2;

constexpr juce::uint32 dropDownText = 0xfff7d8d2;
constexpr int dropDownTextX = 4;
constexpr float minimumTextSqueeze = 0.8f;
constexpr juce::uint32 switchOnTint = 0x33814141;
constexpr float unknownOpacity = 0.35f;
constexpr const char* unknownText = "--";
} // namespace

GlbCont::GlbCont (MidiCntrState& e) : engine (e) {}

GlbCont::~GlbCont() = default;

void GlbCont::configure (int newIndex)
{
    global = globals::find (newIndex);
    if (global == nullptr)
        return;

    index = newIndex;
    maximum = global->max;
    const auto& p = placements[index];
    setBounds (p.x, p.y, p.width, p.height);

    switch (global->type)
    {
    case globals::ControlType::knob:
        knobStrip = artwork::knobStrip();
        knobPlate = artwork::knobPlate();
        break;
    case globals::ControlType::toggle:
        switchImage = artwork::toggleSwitch();
        break;
    case globals::ControlType::dropDown:
        dropDownBody = artwork::dropDownBody();
        dropDownArrow = artwork::dropDownArrow();
        dropDownFrame = artwork::dropDownFrame();
        break;
    }
    repaint();
}

int GlbCont::getValue() const noexcept
{
    return global != nullptr ? (int)engine.getGlobal (index) : 0;
}

juce::String GlbCont::getValueText() const
{
    return global != nullptr ? globalValueText (global->rule, getValue()) : juce::String();
}

void GlbCont::setValue (int value)
{
    // Disabled while the synth's value is not known: a change would start from a value it never had.
    if (global == nullptr || !isEnabled())
        return;
    value = juce::jlimit (0, maximum, value);
    if (value == getValue())
        return;
    if (confirmChange && !confirmChange (*this, value))
        return;
    applyValue (value);
}

void GlbCont::applyValue (int value)
{
    if (global == nullptr)
        return;
    value = juce::jlimit (0, maximum, value);
    if (value == getValue())
        return;
    engine.setGlobal (index, (uint8_t)value);
    engine.sendGlobalNrpn (global->nrpn, value);
    repaint();
    sendChangeMessage();
}

int GlbCont::knobFrame (int value, int max) noexcept
{
    if (max <= 0)
        return 0;
    // In floating point: an integer step of 300 / max would be wrong for most maxima.
    const auto frame = (sweepDegrees - (max - value) * (sweepDegrees / max)) / degreesPerFrame;
    return juce::jlimit (0, art::knobFrameCount - 1, (int)std::nearbyint (frame));
}

//==============================================================================
juce::PopupMenu GlbCont::createMenu() const
{
    juce::PopupMenu menu;
    if (global == nullptr)
        return menu;
    const auto current = getValue();
    for (int v = 0; v <= maximum; ++v)
        if (const auto text = globalValueText (global->rule, v); text.isNotEmpty())
            menu.addItem (v + 1, text, true, v == current);
    return menu;
}

void GlbCont::menuFinished (int result)
{
    if (result > 0)
        setValue (result - 1);
}

//==============================================================================
void GlbCont::paint (juce::Graphics& g)
{
    if (global == nullptr)
        return;
    // Not known yet: drawn faintly, without a value.
    const auto known = isEnabled();
    if (!known)
        g.beginTransparencyLayer (unknownOpacity);
    switch (global->type)
    {
    case globals::ControlType::knob:
        paintKnob (g);
        break;
    case globals::ControlType::toggle:
        paintSwitch (g);
        break;
    case globals::ControlType::dropDown:
        paintDropDown (g);
        break;
    }
    if (!known)
        g.endTransparencyLayer();
}

juce::String GlbCont::shownText() const
{
    return isEnabled() ? getValueText() : juce::String (unknownText);
}

void GlbCont::paintKnob (juce::Graphics& g)
{
    const auto w = getWidth(), h = getHeight();
    const auto x = w / 2 - knobOffsetFromMiddle;
    constexpr auto size = art::knobFrameSize;
    g.drawImage (knobPlate, x, 0, size, size, 0, 0, size, size);
    g.drawImage (knobStrip, x, 0, size, size, knobFrame (getValue(), maximum) * art::knobFrameStep, 0, size,
                 size);

    g.setColour (juce::Colour (colours::widgetText));
    g.setFont (arialFont (knobValueFontHeight));
    g.drawText (shownText(), 0, knobValueTextTop, w, h, juce::Justification::centred);
    g.setFont (arialFont (globalCaptionFontHeight));
    g.drawText (global->caption, 0, knobCaptionTop, w, h, juce::Justification::centred);
}

void GlbCont::paintSwitch (juce::Graphics& g)
{
    const auto value = isEnabled() ? getValue() : 0;
    if (value != 0 && value != 1)
        return;
    g.drawImage (switchImage, 0, 0, art::switchFrameWidth, art::switchImageHeight,
                 value == 1 ? art::switchOnFrameX : 0, 0, art::switchFrameWidth, art::switchImageHeight);
    if (value == 1)
    {
        g.setColour (juce::Colour (switchOnTint));
        g.fillEllipse (0.0f, 0.0f, (float)art::switchFrameWidth, (float)art::switchImageHeight);
    }
}

void GlbCont::paintDropDown (juce::Graphics& g)
{
    const auto w = getWidth();
    constexpr auto h = art::dropDownBodyHeight;
    g.drawImage (dropDownBody, 0, 0, art::dropDownBodyWidth, h, 0, 0, art::dropDownBodyWidth, h);
    g.drawImage (dropDownArrow, w - art::dropDownArrowWidth, 0, art::dropDownArrowWidth,
                 art::dropDownArrowHeight, 0, 0, art::dropDownArrowWidth, art::dropDownArrowHeight);
    g.drawImage (dropDownFrame, 0, 0, w, h, 0, 0, art::dropDownFrameWidth, art::dropDownFrameHeight);

    g.setFont (arialFont (globalCaptionFontHeight));
    g.setColour (juce::Colour (dropDownText));
    g.drawFittedText (shownText(), dropDownTextX, 0, w - dropDownTextX - art::dropDownArrowWidth, h,
                      juce::Justification::centred, 1, minimumTextSqueeze);
}

//==============================================================================
void GlbCont::mouseDown (const juce::MouseEvent& e)
{
    if (global == nullptr)
        return;
    pressX = e.x;
    pressY = e.y;
    switch (global->type)
    {
    case globals::ControlType::dropDown:
        menuArmed = true;
        break;
    case globals::ControlType::toggle:
        setValue (getValue() == 0 ? 1 : 0);
        break;
    case globals::ControlType::knob:
        dragging = true;
        valueAtPress = getValue();
        break;
    }
}

void GlbCont::mouseDrag (const juce::MouseEvent& e)
{
    if (!dragging)
        return;
    // Each quotient truncated towards zero, so small moves back and forth never creep.
    const auto step = maximum < fewValuesBelow ? pixelsPerStepFewValues : pixelsPerStepManyValues;
    setValue (valueAtPress + (e.x - pressX) / step - (e.y - pressY) / step);
}

void GlbCont::mouseUp (const juce::MouseEvent&)
{
    const auto wasArmed = menuArmed;
    menuArmed = dragging = false;
    if (!wasArmed)
        return;

    auto menu = createMenu();
    const juce::SharedResourcePointer<DarkMenuLook> look;
    menu.setLookAndFeel (&look.get());
    const SafePointer<GlbCont> safeThis (this);
    menu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (this),
                        [safeThis, look] (int result)
                        {
                            if (safeThis != nullptr)
                                safeThis->menuFinished (result);
                        });
}

void GlbCont::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    if (wheel.deltaY > 0.0f)
        setValue (getValue() + 1);
    else if (wheel.deltaY < 0.0f)
        setValue (getValue() - 1);
}

} // namespace kelvo
