#pragma once

#include <juce_graphics/juce_graphics.h>

namespace kelvo::colours
{
/** The face of the panel sections and of the controls and graphs on them. */
constexpr juce::uint32 panelFace = 0xff303030;
constexpr juce::uint32 widgetText = 0xffffffff;
/** Dims whatever lies under an overlay (transfer progress, dialogs). */
constexpr juce::uint32 overlayDim = 0x66000000;
/** The text of a value on a control. */
constexpr juce::uint32 valueText = 0xffb6fffd;
/** Dark text on the LCD. */
constexpr juce::uint32 lcdText = 0xff202020;
constexpr juce::uint32 lcdName = 0xff101010;
} // namespace kelvo::colours
