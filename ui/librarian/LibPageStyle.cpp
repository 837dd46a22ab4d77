#include "ui/librarian/LibPageStyle.h"

#include "ui/librarian/LibBut.h"
#include "ui/widgets/KelvoLook.h"

namespace kelvo::libpage
{
namespace
{
constexpr float hintFontHeight = 15.0f, buttonFontHeight = 12.0f;
constexpr int lineY = 4, lineThickness = 2;
} // namespace

void makeButtons (juce::Component& page, juce::OwnedArray<LibBut>& buttons, const ButtonDef* defs,
                  size_t count, LibButListener& listener)
{
    for (size_t i = 0; i < count; ++i)
    {
        const auto& def = defs[i];
        auto* button = buttons.add (new LibBut (def.caption, def.id, buttonFontHeight));
        button->setHint (def.hint);
        button->addListener (&listener);
        page.addAndMakeVisible (button);
    }
}

LibBut& findButton (const juce::OwnedArray<LibBut>& buttons, int id)
{
    for (auto* b : buttons)
        if (b->getId() == id)
            return *b;
    jassertfalse;
    return *buttons.getFirst();
}

void setUpHintLabel (juce::Label& label)
{
    label.setFont (arialFont (hintFontHeight));
    label.setColour (juce::Label::textColourId, juce::Colour (hintColour));
    label.setJustificationType (juce::Justification::centredLeft);
    label.setInterceptsMouseClicks (false, false);
}

void paintPageBackground (juce::Graphics& g, int width)
{
    g.fillAll (juce::Colour (background));
    g.setColour (juce::Colour (darkLine));
    g.fillRect (0, lineY, width, lineThickness);
}

void showButton (LibBut& button, bool shouldShow)
{
    if (button.isVisible() != shouldShow)
        button.setVisible (shouldShow);
}

void putAway (juce::Component& c, juce::Rectangle<int> hiddenBounds)
{
    c.setVisible (false);
    c.setBounds (hiddenBounds);
}

} // namespace kelvo::libpage
