#include "ui/common/WinMovCan.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 buttonFace = 0xff2a2c30, symbolColour = 0xffcccccc, highlightFill = 0xff55585e,
                       closeHighlightFill = 0xffb03030;
constexpr float symbolInset = 4.5f, strokeWidth = 1.5f;
} // namespace

WinMovCan::WinMovCan()
{
    setSize (stripWidth, stripHeight);
}

WinMovCan::~WinMovCan() = default;

int WinMovCan::codeAt (int x) noexcept
{
    return x < firstSplit ? minimiseCode : (x >= secondSplit ? hideCode : fullScreenCode);
}

void WinMovCan::offerOnlyHide()
{
    onlyHide = true;
    repaint();
}

void WinMovCan::setHighlighted (int code)
{
    if (highlighted != code)
    {
        highlighted = code;
        repaint();
    }
}

void WinMovCan::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (buttonFace));
    const int lefts[] = {0, firstSplit, secondSplit};
    const int rights[] = {firstSplit, secondSplit, getWidth()};
    for (int zone = onlyHide ? 2 : 0; zone < 3; ++zone)
    {
        const auto code = minimiseCode + zone;
        const auto left = onlyHide ? 0 : lefts[zone];
        const auto area = juce::Rectangle<int> (left, 0, rights[zone] - left, getHeight()).toFloat();
        if (code == highlighted)
        {
            g.setColour (juce::Colour (code == hideCode ? closeHighlightFill : highlightFill));
            g.fillRect (area);
        }
        g.setColour (juce::Colour (symbolColour));
        const auto s = area.withSizeKeepingCentre (area.getHeight() - 2 * symbolInset,
                                                   area.getHeight() - 2 * symbolInset);
        if (code == minimiseCode)
            g.drawLine (s.getX(), s.getBottom(), s.getRight(), s.getBottom(), strokeWidth);
        else if (code == fullScreenCode)
            g.drawRect (s, strokeWidth);
        else
        {
            g.drawLine (s.getX(), s.getY(), s.getRight(), s.getBottom(), strokeWidth);
            g.drawLine (s.getX(), s.getBottom(), s.getRight(), s.getY(), strokeWidth);
        }
    }
}

void WinMovCan::mouseMove (const juce::MouseEvent& e)
{
    setHighlighted (zoneAt (e.x));
}

void WinMovCan::mouseExit (const juce::MouseEvent&)
{
    setHighlighted (0);
}

void WinMovCan::mouseDown (const juce::MouseEvent& e)
{
    pressedCode = zoneAt (e.x);
    setHighlighted (pressedCode);
}

void WinMovCan::mouseUp (const juce::MouseEvent& e)
{
    const auto code = std::exchange (pressedCode, 0);
    if (code == 0 || !getLocalBounds().contains (e.getPosition()) || zoneAt (e.x) != code)
        return;
    listeners.callLastToFirst (*this, [code] (winToolListener& l) { l.winToolPressed (code); });
}

} // namespace kelvo
