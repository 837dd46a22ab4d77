#include "ui/main/AppSetBarBut.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 barColour = 0xffcccccc;
constexpr int barX = 8, barWidth = 20, barHeight = 3;
constexpr int barTops[] = { 8, 14, 20 };
} // namespace

AppSetBarBut::AppSetBarBut()
{
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
}

void AppSetBarBut::paint (juce::Graphics& g)
{
    g.setColour (juce::Colour (barColour));
    for (auto top : barTops)
        g.fillRect (barX, top, barWidth, barHeight);
}

void AppSetBarBut::mouseUp (const juce::MouseEvent& e)
{
    if (! getLocalBounds().contains (e.getPosition()))
        return;
    code = releasedCode;
    sendChangeMessage();
}

} // namespace kelvo
