#pragma once

#include <juce_graphics/juce_graphics.h>

namespace kelvo
{

/** The sizes and frame layouts of the widget artwork: the generator in tools/ draws to them and the
    widgets cut frames out by them. */
namespace art
{
constexpr int knobFrameCount = 60;
constexpr int knobFrameSize = 47; // each frame is square
constexpr int knobFrameStep = 49; // frame f starts at x = 49 f
constexpr int knobStripWidth = 2939, knobStripHeight = 48;
constexpr int knobPlateSize = 48;

constexpr int switchImageWidth = 74, switchImageHeight = 20;
constexpr int switchFrameWidth = 37;
constexpr int switchOnFrameX = 36; // the off frame starts at x 0

constexpr int dropDownBodyWidth = 200, dropDownBodyHeight = 18;
constexpr int dropDownArrowWidth = 14, dropDownArrowHeight = 18;
constexpr int dropDownFrameWidth = 100, dropDownFrameHeight = 17;

constexpr int ledImageWidth = 28, ledImageHeight = 9;
constexpr int ledFrameWidth = 14, ledOnFrameX = 15;

constexpr int envelopeGridWidth = 218, envelopeGridHeight = 73;
constexpr int glareWidth = 210, glareHeight = 66;
constexpr int lcdGridWidth = 164, lcdGridHeight = 43;
constexpr int listBackgroundWidth = 246, listBackgroundHeight = 360;
constexpr int listThumbWidth = 25, listThumbHeight = 43;

constexpr int panelTileSize = 200; // square, drawn at half size
constexpr int logoWidth = 226, logoHeight = 31;
constexpr int badgeWidth = 179, badgeHeight = 52;
constexpr int cheekWidth = 33, cheekHeight = 682;

constexpr int whiteKeyWidth = 25, whiteKeyHeight = 152;
constexpr int blackKeyWidth = 16, blackKeyHeight = 100;
constexpr int wheelFrameCount = 35;
constexpr int wheelFrameWidth = 55, wheelFrameHeight = 200;
constexpr int wheelFrameStep = 54; // frame f starts at x = 54 f
constexpr int wheelStripWidth = (wheelFrameCount - 1) * wheelFrameStep + wheelFrameWidth;
constexpr int handleBandWidth = 100, handleBandHeight = 20;
constexpr int wheelWellWidth = 81, wheelWellHeight = 206;
constexpr int octaveKeyboardWidth = 269, octaveKeyboardHeight = 18;
constexpr int velocityDisplayWidth = 27, velocityDisplayHeight = 13;
constexpr int trackBackgroundWidth = 522, trackBackgroundHeight = 155;
constexpr int libButtonBodyWidth = 200, libButtonBodyHeight = 48; // drawn at half size
constexpr int libButtonCapWidth = 10, libButtonCapHeight = 48;
constexpr int catButtonWidth = 200, catButtonHeight = 36;
} // namespace art

/** The embedded images, each decoded once and then shared through juce::ImageCache. Message thread. */
namespace artwork
{
juce::Image knobStrip();
juce::Image knobPlate();
juce::Image toggleSwitch();
juce::Image dropDownBody();
juce::Image dropDownArrow();
juce::Image dropDownFrame();
juce::Image led();
juce::Image envelopeGrid();
juce::Image glare();
juce::Image lcdGrid();
juce::Image listBackground();
juce::Image listThumb();
juce::Image panelTile();
juce::Image instrumentLogo();
juce::Image frontBadge();
juce::Image leftCheek();
juce::Image rightCheek();
juce::Image whiteKeyUp();
juce::Image whiteKeyDown();
juce::Image blackKeyUp();
juce::Image blackKeyDown();
juce::Image wheelStrip();
juce::Image handleBand();
juce::Image wheelWell();
juce::Image octaveKeyboard();
juce::Image velocityDisplay();
juce::Image trackBackground();
juce::Image libButtonBody();
juce::Image libButtonCap();
juce::Image catButtonBody();
} // namespace artwork

} // namespace kelvo
