#include "ui/librarian/SimpleLabel.h"

#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr int textAreaHeight = 20;
} // namespace

SimpleLabel::SimpleLabel (float height, int style, juce::Colour back, juce::Justification j)
    : fontHeight (height), fontStyle (style), background (back), justification (j)
{
}

SimpleLabel::~SimpleLabel() = default;

void SimpleLabel::setText (const juce::String& newText)
{
    if (text == newText)
        return;
    text = newText;
    repaint();
}

void SimpleLabel::paint (juce::Graphics& g)
{
    g.fillAll (background);
    if (text.isEmpty())
        return;
    g.setColour (juce::Colours::white);
    g.setFont (arialFont (fontHeight, fontStyle));
    g.drawText (text, 0, 0, getWidth(), textAreaHeight, justification, false);
}

} // namespace kelvo
