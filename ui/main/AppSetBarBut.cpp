#include "ui/main/AppSetBarBut.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 barColour = 0xffcccccc;
constexpr int setBarX = 8, setBarWidth = 20, setBarHeight = 3;
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
        g.fillRect (setBarX, top, setBarWidth, setBarHeight);
}

void AppSetBarBut::mouseUp (const juce::MouseEvent& e)
{
    if (! getLocalBounds().contains (e.getPosition()))
        return;
    code = releasedCode;
    sendChangeMessage();
}

} // namespace kelvo
