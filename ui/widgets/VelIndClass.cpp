#include "ui/widgets/VelIndClass.h"

#include "link/MidiCntrState.h"
#include "ui/widgets/Artwork.h"

namespace kelvo
{
namespace
{
constexpr float barTop = 16.0f, velBarWidth = 15.0f, velBarHeight = 103.0f;
constexpr float armedWidth = 40.0f;
constexpr juce::uint32 velBarFill = 0x66374c53, barEmpty = 0xff101010, barOutline = 0xff4d5051,
                       numberColour = 0xff76bdd2;
} // namespace

VelIndClass::VelIndClass (MidiCntrState& e) : engine (e), display (artwork::velocityDisplay())
{
    setScale (1.0f);
}

void VelIndClass::setScale (float s)
{
    scale = s;
    repaint();
}

int VelIndClass::velocityAt (float y)
{
    return juce::jlimit (0, 127, juce::roundToInt (127.0f * (1.0f - (y - barTop) / velBarHeight)));
}

void VelIndClass::setVelocity (int v)
{
    v = juce::jlimit (0, 127, v);
    if (v == velocity)
        return;
    velocity = v;
    engine.keyboardVelocity = v;
    repaint (0, (int)(barTop * scale), (int)(60.0f * scale), (int)(102.0f * scale) + 2);
}

void VelIndClass::paint (juce::Graphics& g)
{
    const auto s = scale;
    const auto v = juce::jmax (0, velocity);
    g.setColour (juce::Colours::white);
    g.setFont (juce::Font ("Arial", 10.0f * s, juce::Font::plain));
    g.drawText ("Note Velocity", juce::Rectangle<float> (0, 0, 80.0f * s, 13.0f * s),
                juce::Justification::centredLeft, false);

    const auto bar = juce::Rectangle<float> (0, barTop * s, velBarWidth * s, velBarHeight * s).reduced (0.8f * s);
    g.setColour (juce::Colour (velBarFill));
    g.fillRoundedRectangle (bar, 3.0f * s);
    g.setColour (juce::Colour (barEmpty));
    g.fillRoundedRectangle (bar.withHeight (bar.getHeight() * (float)(127 - v) / 127.0f), 3.0f * s);
    g.setColour (juce::Colour (barOutline));
    g.drawRoundedRectangle (bar, 3.0f * s, 1.6f * s);
    // The level as a lit line, so the bar reads at a glance.
    g.setColour (juce::Colour (numberColour));
    g.fillRect (bar.reduced (2.0f * s, 0)
                    .withY (bar.getY() + bar.getHeight() * (float)(127 - v) / 127.0f)
                    .withHeight (1.5f * s));

    const auto readout = juce::Rectangle<float> (26.0f * s, barTop * s, 27.0f * s, 13.0f * s);
    g.drawImage (display, readout);
    g.setColour (juce::Colour (numberColour));
    g.setFont (juce::Font ("Arial", 11.0f * s, juce::Font::plain));
    g.drawText (juce::String (v), readout, juce::Justification::centred, false);
}

void VelIndClass::mouseDown (const juce::MouseEvent& e)
{
    armed = (float)e.x < armedWidth * scale;
    if (armed)
        setVelocity (velocityAt ((float)e.y / scale));
}

void VelIndClass::mouseDrag (const juce::MouseEvent& e)
{
    if (armed)
        setVelocity (velocityAt ((float)e.y / scale));
}

void VelIndClass::mouseUp (const juce::MouseEvent&)
{
    armed = false;
}

} // namespace kelvo
