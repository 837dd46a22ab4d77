#include "ui/widgets/StsLabel.h"

namespace kelvo
{
namespace
{
constexpr float labelOutlineThickness = 1.0f;
}

StsLabel::StsLabel() = default;
StsLabel::~StsLabel() = default;

void StsLabel::setup (const juce::String& newText, const juce::String& face, float height,
                      juce::Justification just)
{
    text = newText;
    typefaceName = face;
    fontHeight = height;
    justification = just;
    textColour = juce::Colours::white;
    fontStyleFlags = juce::Font::plain;
}

void StsLabel::setText (const juce::String& newText)
{
    text = newText;
    repaint();
}

void StsLabel::paint (juce::Graphics& g)
{
    if (borderMode >= filled)
        g.fillAll (fillColour);
    if (borderMode == filledAndOutlined)
    {
        g.setColour (outlineColour);
        g.drawRect (getLocalBounds().toFloat(), labelOutlineThickness);
    }

    g.setColour (textColour);
    g.setFont (juce::Font (typefaceName, fontHeight, fontStyleFlags));
    g.drawText (text, getLocalBounds(), justification);
}

void StsLabel::mouseDown (const juce::MouseEvent& e)
{
    if (e.x > 0 && e.y > 0 && e.x < getWidth() && e.y < getHeight())
        sendChangeMessage();
}

} // namespace kelvo
