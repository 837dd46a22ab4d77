#include "ui/sequencer/SeqClass.h"

#include "host/MarvexAudioProcessor.h"
#include "ui/widgets/Artwork.h"

namespace kelvo
{
namespace
{
const char* const quarterToneNames[24] = {"C",  "C+",  "C#", "C#+", "D",  "D+",  "D#", "D#+",
                                          "E",  "E+",  "F",  "F+",  "F#", "F#+", "G",  "G+",
                                          "G#", "G#+", "A",  "A+",  "A#", "A#+", "B",  "B+"};
constexpr int firstPitchDestination = 1, lastPitchDestination = 3;

// Vertical layout in units of the track's height ÷ 155.
constexpr float stateButtonTop = 2.0f, stateButtonHeight = 13.0f;
constexpr float dragAreaTop = 15.0f; // below this a click is on the state button
constexpr float dragZeroOffset = 23.0f;
constexpr float barAreaTop = 30.0f;
constexpr float barBottomMargin = 5.0f;
constexpr float trackLabelHeight = 13.0f;

constexpr juce::uint32 stateButtonIdle = 0xff007777, stateButtonLit = 0xff00ffff;
constexpr juce::uint32 barFill = 0x252287a0, barEdge = 0xff000000, barCap = 0xff3fd0e6;
constexpr juce::uint32 gridColour = 0x20ffffff, labelColour = 0xffb6fffd;
} // namespace

SeqClass::SeqClass (MarvexAudioProcessor& p, int trackNumber)
    : owner (p), track (trackNumber), background (artwork::trackBackground())
{
    applyGeometry();
}

SeqClass::~SeqClass() = default;

int SeqClass::highestValue() const noexcept
{
    return track == 0 ? restValue : resetValue;
}

//==============================================================================
void SeqClass::setStepFromEngine (int step, int value)
{
    if (!juce::isPositiveAndBelow (step, numSteps))
        return;
    value = juce::jlimit (0, restValue, value);
    if (shown[(size_t)step] == value)
        return;
    shown[(size_t)step] = value;
    repaintStep (step);
}

void SeqClass::setAllSteps (const uint8_t* bytes)
{
    for (size_t s = 0; s < (size_t)numSteps; ++s)
    {
        shown[s] = juce::jmin ((int)bytes[s], restValue);
        dragged[s] = shown[s];
    }
    repaint();
}

void SeqClass::setPitchNames (int destination)
{
    const auto on = destination >= firstPitchDestination && destination <= lastPitchDestination;
    if (on != pitchNames)
    {
        pitchNames = on;
        repaint();
    }
}

juce::String SeqClass::valueText (int value, bool names)
{
    if (!names)
        return juce::String (value);
    return juce::String (quarterToneNames[value % 24]) + juce::String (value / 24);
}

int SeqClass::quantized (int value, bool on)
{
    value = juce::jlimit (0, restValue, value);
    return on ? value - value % 2 : value;
}

//==============================================================================
void SeqClass::setDesignBounds (int x, int y, int w, int h)
{
    designBounds = {x, y, w, h};
    applyGeometry();
}

void SeqClass::setScale (float s)
{
    scale = s;
    applyGeometry();
}

void SeqClass::setViewMode (int mode)
{
    viewMode = mode;
    repaint();
}

void SeqClass::applyGeometry()
{
    setBounds (designBounds.toFloat().transformedBy (juce::AffineTransform::scale (scale)).toNearestInt());
}

float SeqClass::stepWidth() const noexcept
{
    return (float)(getWidth() / numSteps);
}

int SeqClass::stepAt (float x) const noexcept
{
    const auto w = stepWidth();
    if (w <= 0.0f)
        return -1;
    for (int s = 0; s < numSteps; ++s)
        if (w * (float)s < x && x < w * (float)(s + 1))
            return s;
    return -1;
}

int SeqClass::levelAt (float y) const noexcept
{
    const auto v = (float)getHeight() / (float)designUnitsHigh;
    if (v <= 0.0f)
        return 0;
    return juce::jlimit (0, highestLevel, (int)((float)highestLevel - (y / v - dragZeroOffset)));
}

void SeqClass::repaintStep (int step)
{
    const auto w = stepWidth();
    repaint (
        juce::Rectangle<float> (w * (float)step, 0, w, (float)getHeight()).toNearestInt().expanded (1, 0));
}

//==============================================================================
void SeqClass::send (int step, int value, bool endGestureNow)
{
    owner.setParameterFromEditor (program::firstStepIndex + numSteps * track + step, value, endGestureNow, true);
}

//==============================================================================
void SeqClass::mouseDown (const juce::MouseEvent& e)
{
    if (viewMode == thumbnailView)
    {
        listeners.callLastToFirst (*this, [this] (SeqClassListener& l)
                                   { l.seqClassMessage (thumbnailClickCode, track); });
        return;
    }

    dragging = false;
    currentStep = stepAt (e.position.x);
    if (currentStep < 0)
        return;

    // Whatever a drag reaches now is sent, even a value an earlier gesture already reached.
    dragged.fill (-1);

    const auto v = (float)getHeight() / (float)designUnitsHigh;
    if (e.position.y >= dragAreaTop * v)
    {
        dragging = true;
        lastDragPosition = e.position;
        return;
    }

    const auto value = shown[(size_t)currentStep];
    int next;
    if (value == resetValue)
        next = track == 0 ? restValue : saved[(size_t)currentStep];
    else if (value == restValue)
        next = track == 0 ? saved[(size_t)currentStep] : resetValue;
    else
    {
        saved[(size_t)currentStep] = value;
        next = resetValue;
    }
    next = juce::jmin (quantized (next, quantize), highestValue());
    sent[(size_t)currentStep] = next;
    send (currentStep, next, true);
}

void SeqClass::dragStep (int step, int level)
{
    if (!juce::isPositiveAndBelow (step, numSteps) || level == dragged[(size_t)step])
        return;
    dragged[(size_t)step] = level;
    const auto value = quantized (level, quantize);
    sent[(size_t)step] = value;
    send (step, value, false);
}

void SeqClass::mouseDrag (const juce::MouseEvent& e)
{
    if (!dragging)
        return;

    if (drawMode == slidersMode)
    {
        dragStep (currentStep, levelAt (e.position.y));
        return;
    }

    // Pen: every step whose column the stroke crossed since the last event takes the height the
    // stroke had there, so a fast stroke leaves no gaps.
    const auto from = lastDragPosition, to = e.position;
    lastDragPosition = to;
    const auto w = stepWidth();
    if (w <= 0.0f)
        return;
    const auto left = juce::jmin (from.x, to.x), right = juce::jmax (from.x, to.x);
    const auto current = stepAt (to.x);
    for (int s = 0; s < numSteps; ++s)
    {
        const auto columnLeft = w * (float)s, columnRight = w * (float)(s + 1);
        if (s == current)
        {
            dragStep (s, levelAt (to.y));
            continue;
        }
        if (columnRight <= left || columnLeft >= right)
            continue;
        const auto x = juce::jlimit (left, right, (columnLeft + columnRight) * 0.5f);
        const auto t = (x - from.x) / (to.x - from.x);
        dragStep (s, levelAt (from.y + t * (to.y - from.y)));
    }
}

void SeqClass::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    const auto step = stepAt (e.position.x);
    if (step < 0 || wheel.deltaY == 0.0f)
        return;
    const auto d = quantize ? 2 : 1;
    auto& value = shown[(size_t)step];
    const auto next = wheel.deltaY > 0 ? value + d : value - d;
    if (next < 0 || next > highestValue())
        return;
    value = quantized (next, quantize);
    sent[(size_t)step] = value;
    repaintStep (step);
    send (step, value, false);
}

//==============================================================================
void SeqClass::paint (juce::Graphics& g)
{
    const auto w = (float)getWidth(), h = (float)getHeight();
    const auto hu = w / (float)designUnitsWide, vu = h / (float)designUnitsHigh;
    const auto sw = stepWidth();
    g.drawImage (background, getLocalBounds().toFloat());

    const auto barTop = barAreaTop * vu;
    const auto barBottom = h - barBottomMargin * vu;
    const auto gridLeft = 3.0f * hu, gridRight = w - 6.0f * hu;
    g.setColour (juce::Colour (gridColour));
    if (viewMode == enlargedView)
    {
        for (int u = 12; u <= 177; u += 3)
        {
            const auto y = (float)(u + 4) * vu;
            if (y >= barTop && y <= barBottom)
                g.drawHorizontalLine ((int)y, gridLeft, gridRight);
        }
        for (int s = 0; s < numSteps; ++s)
            g.drawVerticalLine ((int)((float)s * sw + sw / 2.0f + 2.0f * hu), 30.0f * hu, barBottom);
    }
    else
    {
        for (int u = 24; u <= 144; u += 24)
        {
            // One line an octave of pitch (24 value steps), from the bottom of the bar range.
            const auto y =
                barTop + (float)(int)((float)(highestLevel - u) * (barBottom - barTop) / (float)highestLevel);
            g.drawHorizontalLine ((int)y, gridLeft, gridRight);
        }
    }

    const bool small = viewMode == thumbnailView;
    // Labels grow with the track but stay inside their column.
    const auto fontHeight = juce::jmax (6.0f, 10.0f * juce::jmin (hu, vu));
    g.setFont (juce::Font ("Arial", fontHeight, juce::Font::bold));
    for (int s = 0; s < numSteps; ++s)
    {
        const auto value = shown[(size_t)s];
        const auto x = (float)s * sw;

        // The state button.
        const auto button =
            juce::Rectangle<float> (x + 1.0f, stateButtonTop * vu, sw - 2.0f * hu, stateButtonHeight * vu);
        const auto lit = value >= resetValue;
        g.setColour (juce::Colour (lit ? stateButtonLit : stateButtonIdle));
        g.fillRoundedRectangle (button, 2.0f * vu);
        if (!small)
        {
            g.setColour (lit ? juce::Colours::black : juce::Colour (0xffb0e8e8));
            g.drawText (value == restValue ? "OFF" : "RST", button, juce::Justification::centred, false);
        }

        if (value > highestLevel)
            continue;
        const auto top =
            barTop + (float)(int)((float)(highestLevel - value) * (barBottom - barTop) / (float)highestLevel);
        const auto bar =
            juce::Rectangle<float> (x + hu, top, sw - 2.0f * hu, juce::jmax (1.0f, barBottom - top));
        g.setGradientFill (juce::ColourGradient (juce::Colour (0x702287a0), 0, top, juce::Colour (barFill), 0,
                                                 barBottom, false));
        g.fillRect (bar);
        g.setColour (juce::Colour (barEdge));
        g.drawRect (bar, 1.0f);
        g.setColour (juce::Colour (barCap));
        g.fillRect (bar.withHeight (juce::jmax (1.5f, 2.0f * vu)).reduced (1.0f, 0.0f));

        if (!small)
        {
            g.setColour (juce::Colour (labelColour));
            g.drawText (valueText (value, pitchNames),
                        juce::Rectangle<float> (x, top - trackLabelHeight * vu, sw, trackLabelHeight * vu),
                        juce::Justification::centred, false);
        }
    }
}

} // namespace kelvo
