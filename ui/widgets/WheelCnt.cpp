#include "ui/widgets/WheelCnt.h"

#include "link/MidiCntrState.h"
#include "ui/widgets/Artwork.h"

namespace kelvo
{
namespace
{
constexpr float frameFactor = 34.0f / 127.0f;
constexpr int pitchWheelStep = 128; // 7-bit value to 14-bit position
} // namespace

WheelCnt::WheelCnt (MidiCntrState& e, int initialValue, bool isPitchWheel)
    : engine (e), pitch (isPitchWheel), value (juce::jlimit (0, maximumValue, initialValue)),
      frame ((int)((float)value * frameFactor)), strip (artwork::wheelStrip())
{
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
    setSize (designWidth, designHeight);
}

void WheelCnt::setWheelValue (int v, bool send)
{
    v = juce::jlimit (0, maximumValue, v);
    if (v == value)
        return;
    value = v;
    frame = (int)((float)v * frameFactor);
    if (send)
    {
        const auto channel = engine.getMidiChannel();
        const auto rest = pitch ? pitchCentre : 0;
        if (channelAwayFromRest != 0 && channelAwayFromRest != channel)
            sendOn (channelAwayFromRest, rest);
        sendOn (channel, v);
        channelAwayFromRest = v == rest ? 0 : channel;
    }
    repaint();
    sendChangeMessage();
}

void WheelCnt::sendOn (int channel, int v)
{
    if (pitch)
        engine.sendPitchWheel (channel, v * pitchWheelStep);
    else
        engine.sendController (channel, modulationController, v);
}

void WheelCnt::springBack()
{
    if (pitch)
        setWheelValue (pitchCentre, true);
}

void WheelCnt::setDesignBounds (juce::Rectangle<int> b, float s)
{
    setBounds (b.toFloat().transformedBy (juce::AffineTransform::scale (s)).toNearestInt());
}

void WheelCnt::paint (juce::Graphics& g)
{
    g.drawImage (strip, 0, 0, getWidth(), getHeight(), frame * art::wheelFrameStep, 0, art::wheelFrameWidth,
                 art::wheelFrameHeight);
}

void WheelCnt::mouseDown (const juce::MouseEvent& e)
{
    pressY = e.y;
    valueAtPress = value;
}

void WheelCnt::mouseDrag (const juce::MouseEvent& e)
{
    const auto v = valueAtPress + pressY - e.y;
    if (v != value)
        setWheelValue (v, true);
}

void WheelCnt::mouseUp (const juce::MouseEvent&)
{
    springBack();
}

void WheelCnt::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    if (wheel.deltaY > 0)
        setWheelValue (value + 1, true);
    else if (wheel.deltaY < 0)
        setWheelValue (value - 1, true);
}

} // namespace kelvo
