#include "ui/widgets/OctaveKeyClass.h"

#include "link/MidiCntrState.h"
#include "ui/widgets/Artwork.h"
#include "ui/widgets/WidgetColours.h"

namespace kelvo
{
namespace
{
constexpr int whiteSemitone[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr float windowEndExtra = 11.0f; // the window's last octave has 5 notes, C to E
constexpr juce::uint32 windowOutline = 0xffef9a1f;
} // namespace

OctaveKeyClass::OctaveKeyClass (MidiCntrState& e) : engine (e), keyboard (artwork::octaveKeyboard())
{
    setMouseCursor (juce::MouseCursor::LeftRightResizeCursor);
    setWindowStart (engine.keyboardOctave.load() * 12);
}

void OctaveKeyClass::setScale (float k)
{
    scale = k;
    repaint();
}

void OctaveKeyClass::setWindowStart (int note)
{
    const auto start = note < 12 ? 0 : juce::jmin (highestStart, note - note % 12);
    if (start != windowStart)
    {
        windowStart = start;
        repaint();
        sendChangeMessage();
    }
    engine.keyboardOctave = windowStart / 12;
}

int OctaveKeyClass::startForClick (float x) const
{
    // The clicked note lands in the window's second octave, so the window follows the mouse.
    const auto p = juce::jlimit (0.0f, (float)art::octaveKeyboardWidth, x / scale) - unitsPerOctave;
    if (p < 0.0f)
        return 0;
    const auto w = p / unitsPerWhiteKey;
    const auto o = (int)(w / 7.0f);
    const auto r = juce::jlimit (0, 6, (int)(w - 7.0f * (float)o));
    return 12 * o + whiteSemitone[r];
}

void OctaveKeyClass::paint (juce::Graphics& g)
{
    const auto k = scale;
    const auto w = (float)getWidth();
    g.drawImage (keyboard, juce::Rectangle<float> (0, 0, (float)art::octaveKeyboardWidth * k,
                                                   (float)art::octaveKeyboardHeight * k));
    g.setColour (juce::Colour (colours::overlayDim));
    const auto octave = (float)(windowStart / 12);
    g.fillRect (juce::Rectangle<float> (0, 0, unitsPerOctave * octave * k, (float)getHeight()));
    const auto end = (unitsPerOctave * (octave + 5.0f) + windowEndExtra) * k;
    g.fillRect (juce::Rectangle<float> (end, 0, juce::jmax (0.0f, w - end), (float)getHeight()));
    // The window itself, outlined, so it reads at a glance.
    const auto start = unitsPerOctave * octave * k;
    g.setColour (juce::Colour (windowOutline));
    g.drawRect (juce::Rectangle<float> (start, 0, end - start, (float)getHeight()), 1.2f);
}

void OctaveKeyClass::mouseDown (const juce::MouseEvent& e)
{
    setWindowStart (startForClick ((float)e.x));
}

void OctaveKeyClass::mouseDrag (const juce::MouseEvent& e)
{
    setWindowStart (startForClick ((float)e.x));
}

} // namespace kelvo
