#include "ui/widgets/Envel.h"

#include "ui/widgets/Artwork.h"
#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/WidgetColours.h"

#include <cmath>

namespace kelvo
{
namespace
{
// The graph's frame in design units: origin (16, 16), 54 high, so the base line lies at y 70.
constexpr float originX = 16.0f;
constexpr float topY = 16.0f;
constexpr float graphHeight = 54.0f;
constexpr float baseY = topY + graphHeight;
constexpr float unit = 48.0f / 127.0f;  // design units per value unit
constexpr float sustainLength = 100.0f; // the sustain stage is drawn 100 value units long
constexpr float envMaxValue = 127.0f;

constexpr float handleReach = 7.0f;   // design units around a handle that still catch it
constexpr float pixelsPerStep = 1.5f; // drag distance per value unit, not scaled

constexpr juce::uint32 outlineFill = 0xff5f4405;
constexpr juce::uint32 outlineStroke = 0xffc9910e;
constexpr float envOutlineThickness = 1.1f;
constexpr float envLabelFontHeight = 11.0f;
constexpr float labelOffsetX = 5.0f;
constexpr float labelMinY = 15.0f;
constexpr float labelWidth = 200.0f, envLabelHeight = 20.0f;
constexpr float backdropX = 4.0f, backdropY = 5.0f;
constexpr float glareOpacity = 0.3f;

constexpr float handleRadius = 3.5f; // design units
constexpr float handleOutline = 1.0f;
constexpr juce::uint32 handleFill = 0xff303030;
constexpr juce::uint32 handleHighlight = 0xffffd060;

const juce::String labelSeparator = " , ";
const juce::String emptyLabel = " ";

float roundHalfEven (float v)
{
    return std::nearbyint (v);
}
} // namespace

Envel::Envel() : backdrop (artwork::envelopeGrid()), glare (artwork::glare(), glareOpacity)
{
    updateOutline();
}

Envel::~Envel() = default;

void Envel::setAttack (int v)
{
    setStage (attack, v);
}
void Envel::setDecay (int v)
{
    setStage (decay, v);
}
void Envel::setSustain (int v)
{
    setStage (sustain, v);
}
void Envel::setRelease (int v)
{
    setStage (release, v);
}

void Envel::setStage (float& stage, int v)
{
    stage = (float) juce::jlimit (0, (int) envMaxValue, v);
    valuesChanged();
}

void Envel::valuesChanged()
{
    updateOutline();
    if (showing)
        repaint();
    else
        dirty = true;
}

void Envel::setScale (float factor)
{
    scale = factor;
    updateOutline();
    repaint();
}

void Envel::setShowing (bool shouldShow)
{
    showing = shouldShow;
    if (showing && dirty)
    {
        dirty = false;
        repaint();
    }
}

void Envel::resized()
{
    updateOutline();
}

void Envel::updateOutline()
{
    const auto sustainY = baseY - unit * sustain;
    corners[0] = {originX, baseY};
    corners[1] = {originX + unit * attack, topY};
    corners[2] = {corners[1].x + unit * decay, sustainY};
    corners[3] = {corners[2].x + unit * sustainLength, sustainY};
    corners[4] = {corners[3].x + unit * release, baseY};

    outline.clear();
    outline.startNewSubPath (corners[0] * scale);
    for (size_t i = 1; i < corners.size(); ++i)
        outline.lineTo (corners[i] * scale);
    outline.closeSubPath();
}

int Envel::hitTestHandle (juce::Point<float> p) const
{
    const auto reach = handleReach * scale;
    const auto near = [reach] (float a, float b) { return std::abs (a - b) < reach; };

    if (near (p.x, scale * corners[1].x) && near (p.y, scale * topY))
        return attackHandle;
    if (near (p.x, scale * corners[4].x) && near (p.y, scale * baseY))
        return releaseHandle;
    if (scale * (corners[2].x - handleReach) < p.x && p.x < scale * (corners[3].x + handleReach) &&
        near (p.y, scale * corners[2].y))
        return sustainHandle;
    return noHandle;
}

//==============================================================================
void Envel::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (colours::panelFace));
    const juce::Rectangle<float> backdropArea (backdropX * scale, backdropY * scale,
                                               (float) art::envelopeGridWidth * scale,
                                               (float) art::envelopeGridHeight * scale);
    backdrop.draw (g, backdropArea);

    g.setColour (juce::Colour (outlineFill));
    g.fillPath (outline);
    g.setColour (juce::Colour (outlineStroke));
    g.strokePath (outline, juce::PathStrokeType (envOutlineThickness * scale));

    if (dragging)
    {
        g.setColour (juce::Colour (colours::widgetText));
        g.setFont (arialFont (envLabelFontHeight * scale));
        g.drawText (valueLabel,
                    juce::Rectangle<float> (lastPosition.x + labelOffsetX,
                                            juce::jmax (lastPosition.y, labelMinY), labelWidth * scale,
                                            envLabelHeight * scale),
                    juce::Justification::centredLeft);
    }

    if (areHandlesShown())
        paintHandles (g);

    glare.draw (g, backdropArea);
}

juce::Point<float> Envel::handlePosition (int handle) const
{
    switch (handle)
    {
    case attackHandle:
        return corners[1] * scale;
    case sustainHandle:
        return (corners[2] + corners[3]) * 0.5f * scale;
    case releaseHandle:
        return corners[4] * scale;
    default:
        return {};
    }
}

void Envel::paintHandles (juce::Graphics& g) const
{
    const auto radius = handleRadius * scale;
    for (auto handle : {attackHandle, sustainHandle, releaseHandle})
    {
        const auto active = handle == highlightedHandle || (dragging && handle == dragHandle);
        const auto circle =
            juce::Rectangle<float> (2.0f * radius, 2.0f * radius).withCentre (handlePosition (handle));
        g.setColour (juce::Colour (active ? handleHighlight : handleFill));
        g.fillEllipse (circle);
        g.setColour (juce::Colour (active ? handleHighlight : outlineStroke));
        g.drawEllipse (circle, handleOutline * scale);
    }
}

void Envel::setHighlightedHandle (int handle)
{
    if (handle != highlightedHandle)
    {
        highlightedHandle = handle;
        repaint();
    }
}

//==============================================================================
void Envel::mouseEnter (const juce::MouseEvent& e)
{
    hovering = true;
    repaint();
    mouseMove (e);
}

void Envel::mouseExit (const juce::MouseEvent&)
{
    hovering = false;
    highlightedHandle = noHandle;
    repaint();
}

void Envel::mouseMove (const juce::MouseEvent& e)
{
    const auto handle = hitTestHandle (e.position);
    setMouseCursor (handle != noHandle ? juce::MouseCursor::CrosshairCursor
                                       : juce::MouseCursor::NormalCursor);
    setHighlightedHandle (handle);
}

void Envel::mouseUp (const juce::MouseEvent& e)
{
    if (!dragging)
        return;
    dragging = false;
    hovering = contains (e.position);
    repaint();
}

void Envel::mouseDown (const juce::MouseEvent& e)
{
    dragging = false;
    if (e.mods.isPopupMenu())
    {
        eventCode = rightClicked;
        sendChangeMessage();
        return;
    }

    dragHandle = hitTestHandle (e.position);
    if (dragHandle == noHandle)
        return;

    pressPosition = lastPosition = e.position;
    attackAtPress = attack;
    decayAtPress = decay;
    sustainAtPress = sustain;
    releaseAtPress = release;
    dragging = true;
}

void Envel::mouseDrag (const juce::MouseEvent& e)
{
    if (! dragging)
        return;

    valueLabel = emptyLabel;
    auto changed = false;

    if (e.position.x != lastPosition.x)
    {
        lastPosition.x = e.position.x;
        const auto dx = roundHalfEven ((e.position.x - pressPosition.x) / pixelsPerStep);
        auto& stage = dragHandle == attackHandle ? attack : dragHandle == sustainHandle ? decay : release;
        const auto atPress = dragHandle == attackHandle    ? attackAtPress
                             : dragHandle == sustainHandle ? decayAtPress
                                                           : releaseAtPress;
        const auto newValue = juce::jlimit (0.0f, envMaxValue, roundHalfEven (atPress + dx));
        if (newValue != stage)
        {
            stage = newValue;
            valueLabel = juce::String ((int) newValue);
            changed = true;
        }
    }

    if (e.position.y != lastPosition.y)
    {
        lastPosition.y = e.position.y;
        if (dragHandle == sustainHandle)
        {
            const auto dy = roundHalfEven ((pressPosition.y - e.position.y) / pixelsPerStep);
            const auto newSustain = juce::jlimit (0.0f, envMaxValue, roundHalfEven (sustainAtPress + dy));
            if (newSustain != sustain)
            {
                sustain = newSustain;
                valueLabel += labelSeparator + juce::String ((int) newSustain);
                changed = true;
            }
        }
    }

    if (changed)
    {
        updateOutline();
        repaint();
        eventCode = valuesDragged;
        sendChangeMessage();
    }
}

} // namespace kelvo
