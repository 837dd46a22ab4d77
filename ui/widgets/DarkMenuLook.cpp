#include "ui/widgets/DarkMenuLook.h"

namespace kelvo
{

DarkMenuLook::DarkMenuLook()
{
    setColour (juce::PopupMenu::backgroundColourId, juce::Colour (colours::menuBackground));
    setColour (juce::PopupMenu::textColourId, juce::Colour (colours::menuText));
    setColour (juce::PopupMenu::headerTextColourId, juce::Colour (colours::menuText));
    setColour (juce::PopupMenu::highlightedBackgroundColourId, juce::Colour (colours::menuHighlight));
    setColour (juce::PopupMenu::highlightedTextColourId, juce::Colour (colours::menuText));
}

} // namespace kelvo
