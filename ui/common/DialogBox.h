#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo::dialogbox
{
/** The look the bank view and the write dialog share: the editor dimmed behind a dark box with a
    light rounded outline. */
constexpr juce::uint32 dim = 0x66000000, boxFill = 0xff212326, boxOutline = 0xffe4e4e4;
constexpr float cornerRadius = 10.0f, outlineThickness = 2.0f;

/** Dims the whole area and draws the box. Message thread. */
inline void paint (juce::Graphics& g, juce::Rectangle<int> box)
{
    g.fillAll (juce::Colour (dim));
    const auto b = box.toFloat();
    g.setColour (juce::Colour (boxFill));
    g.fillRoundedRectangle (b, cornerRadius);
    g.setColour (juce::Colour (boxOutline));
    g.drawRoundedRectangle (b, cornerRadius, outlineThickness);
}
} // namespace kelvo::dialogbox
