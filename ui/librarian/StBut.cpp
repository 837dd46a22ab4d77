#include "ui/librarian/StBut.h"

#include "ui/widgets/Artwork.h"
#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 hoverWash = 0x11000000, pressedWash = 0x22000000;
} // namespace

StBut::StBut (const juce::String& text, int buttonId, float height, juce::Colour normal,
              juce::Colour pressedColour)
    : caption (text), id (buttonId), fontHeight (height), normalText (normal), pressedText (pressedColour)
{
}

StBut::~StBut() = default;

void StBut::setCaption (const juce::String& text)
{
    caption = text;
    repaint();
}

void StBut::paint (juce::Graphics& g)
{
    g.drawImage (artwork::catButtonBody(), getLocalBounds().toFloat());
    if (hovered)
        g.fillAll (juce::Colour (hoverWash));
    if (pressed)
        g.fillAll (juce::Colour (pressedWash));
    g.setColour (pressed ? pressedText : normalText);
    g.setFont (arialFont (fontHeight));
    g.drawText (caption, getLocalBounds(), juce::Justification::centred, false);
}

void StBut::mouseDown (const juce::MouseEvent&)
{
    pressed = true;
    repaint();
    report (StButListener::pressed);
}

void StBut::mouseUp (const juce::MouseEvent& e)
{
    if (!pressed)
        return;
    pressed = false;
    if (!getLocalBounds().contains (e.getPosition()))
    {
        repaint(); // the pressed look must go in any case
        return;
    }
    repaint();
    sendChangeMessage();
    report (StButListener::released);
}

void StBut::mouseEnter (const juce::MouseEvent&)
{
    hovered = true;
    repaint();
}

void StBut::mouseExit (const juce::MouseEvent&)
{
    hovered = false;
    repaint();
}

void StBut::report (int code)
{
    listeners.callLastToFirst (*this, [this, code] (StButListener& l) { l.stButEvent (code, id); });
}

} // namespace kelvo
