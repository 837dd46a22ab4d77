#include "ui/widgets/ProgBar.h"

#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/ProgramLocation.h"
#include "ui/widgets/WidgetColours.h"

namespace kelvo
{
namespace
{
constexpr int areaWidth = 400, areaHeight = 40;
constexpr int progressTrackWidth = 384, progressBarHeight = 24;
constexpr int pixelsPerProgram = 3;
constexpr int progressLabelWidth = 88, progressLabelHeight = 24;
constexpr int cancelX = 319, cancelWidth = 60, cancelHeight = 24;
constexpr float trackBackCorner = 10.0f, labelBackCorner = 5.0f;
constexpr int backingMargin = 6; // the dark plates show around the bar and the label

constexpr juce::uint32 backing = 0xff050606;
constexpr juce::uint32 trackColour = 0xff767681, trackOnColour = 0xff9b9ba6;
constexpr juce::uint32 fillColour = 0xff37a6c8, fillOnColour = 0xff113f48;
constexpr juce::uint32 progressLabelText = 0xfffcf5f5;
constexpr float progressLabelFontHeight = 18.0f;
} // namespace

ProgBar::ProgBar (int width, int height)
{
    track.setColour (juce::TextButton::buttonColourId, juce::Colour (trackColour));
    track.setColour (juce::TextButton::buttonOnColourId, juce::Colour (trackOnColour));
    track.setInterceptsMouseClicks (false, false);
    addAndMakeVisible (track);

    fill.setColour (juce::TextButton::buttonColourId, juce::Colour (fillColour));
    fill.setColour (juce::TextButton::buttonOnColourId, juce::Colour (fillOnColour));
    fill.setConnectedEdges (juce::Button::ConnectedOnRight);
    fill.setInterceptsMouseClicks (false, false);
    addAndMakeVisible (fill);

    label.setFont (arialFont (progressLabelFontHeight, juce::Font::bold));
    label.setJustificationType (juce::Justification::centred);
    label.setColour (juce::Label::textColourId, juce::Colour (progressLabelText));
    label.setText ("-", juce::dontSendNotification);
    addAndMakeVisible (label);

    cancelButton.setupButton (0, 0, cancelWidth, cancelHeight, true);
    addAndMakeVisible (cancelButton);

    setBounds (0, 0, width, height);
    resized();
}

void ProgBar::resized()
{
    const auto area = barArea();
    track.setBounds (area.getX(), area.getY(), progressTrackWidth, progressBarHeight);
    fill.setBounds (area.getX(), area.getY(), pixelsPerProgram * value, progressBarHeight);
    // Wider when it says what is being done, up to the cancel button.
    const auto textWidth = juce::roundToInt (label.getFont().getStringWidthFloat (label.getText())) + 16;
    label.setBounds (area.getX(), area.getY() + areaHeight, juce::jlimit (progressLabelWidth, cancelX - 2 * backingMargin, textWidth),
                     progressLabelHeight);
    cancelButton.setTopLeftPosition (area.getX() + cancelX, area.getY() + areaHeight);
}

ProgBar::~ProgBar() = default;

juce::Rectangle<int> ProgBar::barArea() const
{
    return {(getWidth() - areaWidth) / 2, (getHeight() - areaHeight) / 2, areaWidth, areaHeight};
}

void ProgBar::setProgress (int bank, int program, const juce::String& doing)
{
    value = juce::jlimit (minimum, maximum, program);
    fill.setSize (pixelsPerProgram * value, progressBarHeight);
    const auto where = bankPrefix (bank) + ":" + juce::String (value + 1);
    label.setText (doing.isEmpty() ? where : doing + " " + where, juce::dontSendNotification);
    resized();
    repaint();
}

void ProgBar::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (colours::overlayDim));
    g.setColour (juce::Colour (backing));
    g.fillRoundedRectangle (track.getBounds().expanded (backingMargin).toFloat(), trackBackCorner);
    g.fillRoundedRectangle (label.getBounds().expanded (backingMargin).toFloat(), labelBackCorner);
}

} // namespace kelvo
