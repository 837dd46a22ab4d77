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
/** The lit arc of a knob, and whatever else shows a value's extent. */
constexpr juce::uint32 knobArc = 0xffef9a1f;
/** The face of a value box (the menus on the panel, text boxes). */
constexpr juce::uint32 valueBoxFace = 0xff121417;
constexpr juce::uint32 valueBoxOutline = 0xff3a3e42;
/** Dark text on the LCD. */
constexpr juce::uint32 lcdText = 0xff202020;
constexpr juce::uint32 lcdName = 0xff101010;
} // namespace kelvo::colours
