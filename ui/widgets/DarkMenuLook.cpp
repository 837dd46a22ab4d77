#include "ui/widgets/DarkMenuLook.h"

namespace kelvo
{

DarkMenuLook::DarkMenuLook()
{
    applyMenuColours (*this);
}

void DarkMenuLook::applyMenuColours (juce::LookAndFeel& look)
{
    look.setColour (juce::PopupMenu::backgroundColourId, juce::Colour (colours::menuBackground));
    look.setColour (juce::PopupMenu::textColourId, juce::Colour (colours::menuText));
    look.setColour (juce::PopupMenu::headerTextColourId, juce::Colour (colours::menuText));
    look.setColour (juce::PopupMenu::highlightedBackgroundColourId, juce::Colour (colours::menuHighlight));
    look.setColour (juce::PopupMenu::highlightedTextColourId, juce::Colour (colours::menuText));
}

} // namespace kelvo
