#include "ui/librarian/LibBut.h"

#include "ui/widgets/Artwork.h"
#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr int bodyWidth = 100, bodyHeight = 24, capWidth = 5;
constexpr juce::uint32 captionColour = 0xfff7f7f7;
} // namespace

LibBut::LibBut (const juce::String& text, int buttonId, float captionHeight)
    : caption (text), id (buttonId), fontHeight (captionHeight)
{
    setSize (buttonWidth, buttonHeight);
}

LibBut::~LibBut() = default;

void LibBut::place (int x, int y)
{
    setBounds (x, y, buttonWidth, buttonHeight);
    repaint();
}

void LibBut::setCaption (const juce::String& text)
{
    if (caption == text)
        return;
    caption = text;
    repaint();
}

void LibBut::paint (juce::Graphics& g)
{
    const int top = (getHeight() - bodyHeight) / 2;
    g.drawImage (artwork::libButtonBody(), 0, top, bodyWidth, bodyHeight, 0, 0, art::libButtonBodyWidth,
                 art::libButtonBodyHeight);
    g.drawImage (artwork::libButtonCap(), getWidth() - capWidth, top, capWidth, bodyHeight, 0, 0,
                 art::libButtonCapWidth, art::libButtonCapHeight);
    if (caption.isEmpty())
        return;
    g.setColour (juce::Colour (captionColour));
    g.setFont (arialFont (fontHeight));
    g.drawText (caption, getLocalBounds(), juce::Justification::centred, false);
}

void LibBut::mouseDown (const juce::MouseEvent&)
{
    triggerClick();
}

void LibBut::triggerClick()
{
    listeners.callLastToFirst (*this, [this] (LibButListener& l) { l.libButClicked (*this, id); });
}

void LibBut::mouseEnter (const juce::MouseEvent&)
{
    listeners.callLastToFirst (*this, [this] (LibButListener& l) { l.libButEntered (*this, id); });
}

void LibBut::mouseExit (const juce::MouseEvent&)
{
    listeners.callLastToFirst (*this, [this] (LibButListener& l) { l.libButLeft (*this, id); });
}

} // namespace kelvo
