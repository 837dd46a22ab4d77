#include "ui/widgets/SwitchLED.h"

#include "ui/widgets/Artwork.h"
#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr int ledY = 5;
constexpr int ledCaptionX = 20, ledCaptionWidth = 140, ledCaptionHeight = 18;
const juce::Rectangle<int> defaultBounds{10, 10, 100, 30};
} // namespace

SwitchLED::SwitchLED (const juce::String& text, float height)
    : caption (text), fontHeight (height), ledImage (artwork::led())
{
    setBounds (defaultBounds);
}

SwitchLED::~SwitchLED() = default;

void SwitchLED::setOn (bool shouldBeOn)
{
    if (on != shouldBeOn)
    {
        on = shouldBeOn;
        repaint();
    }
}

void SwitchLED::paint (juce::Graphics& g)
{
    g.drawImage (ledImage, 0, ledY, art::ledFrameWidth, art::ledImageHeight, on ? art::ledOnFrameX : 0, 0,
                 art::ledFrameWidth, art::ledImageHeight);
    g.setColour (captionColour);
    g.setFont (arialFont (fontHeight));
    g.drawText (caption, ledCaptionX, 0, ledCaptionWidth, ledCaptionHeight, juce::Justification::centredLeft);
}

void SwitchLED::mouseDown (const juce::MouseEvent&)
{
    on = ! on;
    sendChangeMessage();
    repaint();
}

} // namespace kelvo
