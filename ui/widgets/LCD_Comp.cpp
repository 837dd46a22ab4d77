#include "ui/widgets/LCD_Comp.h"

#include "ui/widgets/Artwork.h"
#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/ProgramLocation.h"
#include "ui/widgets/WidgetColours.h"

namespace kelvo
{
namespace
{
// Click regions: the name is the lower line; on the line above it the category lies right of the
// location.
constexpr float nameLineTop = 22.0f;
constexpr float categoryLeft = 62.0f;

constexpr float smallFontHeight = 13.0f;
constexpr float lcdNameFontHeight = 18.0f;
const juce::Rectangle<float> locationArea{10.0f, 5.0f, 104.0f, 14.0f};
const juce::Rectangle<float> categoryArea{62.0f, 5.0f, 108.0f, 13.0f};
const juce::Rectangle<float> nameArea{10.0f, 22.0f, 170.0f, 12.0f};
constexpr float lcdGlareOpacity = 0.5f;
} // namespace

LCD_Comp::LCD_Comp() : background (artwork::lcdGrid()), glare (artwork::glare(), lcdGlareOpacity)
{
    setSize (designWidth, designHeight);
}

LCD_Comp::~LCD_Comp() = default;

void LCD_Comp::showProgram (int bank, int program, int category, const juce::String& name,
                            const juce::String& text)
{
    locationText = programLocation (bank, program);
    categoryNumber = category;
    programName = name;
    categoryText = text;
    repaint();
}

void LCD_Comp::showLocation (int bank, int program)
{
    locationText = programLocation (bank, program);
    repaint();
}

void LCD_Comp::showCategory (int category, const juce::String& text)
{
    categoryNumber = category;
    categoryText = text;
    repaint();
}

void LCD_Comp::setScale (float factor)
{
    scale = factor;
    repaint();
}

void LCD_Comp::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);
    const juce::Rectangle<float> whole (0.0f, 0.0f, (float) designWidth * scale,
                                        (float) designHeight * scale);
    background.draw (g, whole);

    const auto scaled = [this] (juce::Rectangle<float> r) { return r * scale; };
    g.setColour (juce::Colour (colours::lcdText));
    g.setFont (arialFont (smallFontHeight * scale));
    g.drawText (locationText, scaled (locationArea), juce::Justification::centredLeft, true);
    g.drawText (categoryText, scaled (categoryArea), juce::Justification::centredLeft, true);
    g.setColour (juce::Colour (colours::lcdName));
    g.setFont (arialFont (lcdNameFontHeight * scale, juce::Font::bold));
    g.drawText (programName, scaled (nameArea), juce::Justification::centredLeft, true);

    glare.draw (g, whole);
}

void LCD_Comp::mouseDown (const juce::MouseEvent& e)
{
    if (e.position.y >= nameLineTop * scale)
        clickRegion = nameRegion;
    else if (e.position.x > categoryLeft * scale)
        clickRegion = categoryRegion;
    else
        clickRegion = locationRegion;
    sendChangeMessage();
}

} // namespace kelvo
