#include "ui/main/MsgCont.h"
#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 dim = 0x66000000, shadow = 0x56000000, outline = 0xff777777, textColour = 0xfffcf5f5;
constexpr float cornerRadius = 10.0f, outlineThickness = 2.0f;
constexpr int shadowOffset = 10;
constexpr int labelTop = 10, labelHeight = 24;
constexpr float labelFontHeight = 18.0f;
constexpr int okX = 368, okY = 64, okWidth = 60, okHeight = 24;
} // namespace

MsgCont::MsgCont (const juce::String& text)
{
    label.setText (text, juce::dontSendNotification);
    label.setFont (arialFont (labelFontHeight));
    label.setJustificationType (juce::Justification::centred);
    label.setColour (juce::Label::textColourId, juce::Colour (textColour));
    label.setColour (juce::Label::backgroundColourId, juce::Colours::black);
    addAndMakeVisible (label);

    addAndMakeVisible (okButton);
    addChildComponent (cancelButton);
}

MsgCont::~MsgCont() = default;

juce::Rectangle<int> MsgCont::getBox() const
{
    return { (getWidth() - boxWidth) / 2, (getHeight() - boxHeight) / 2, boxWidth, boxHeight };
}

void MsgCont::resized()
{
    const auto box = getBox();
    label.setBounds (box.getX(), box.getY() + labelTop, boxWidth, labelHeight);
    okButton.setupButton (box.getX() + okX, box.getY() + okY, okWidth, okHeight, true);
    cancelButton.setupButton (box.getX() + okX - okWidth - 8, box.getY() + okY, okWidth, okHeight, true);
}

void MsgCont::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (dim));
    const auto box = getBox().toFloat();
    g.setColour (juce::Colour (shadow));
    g.fillRoundedRectangle (box.translated ((float) shadowOffset, (float) shadowOffset), cornerRadius);
    g.setColour (juce::Colours::black);
    g.fillRoundedRectangle (box, cornerRadius);
    g.setColour (juce::Colour (outline));
    g.drawRoundedRectangle (box, cornerRadius, outlineThickness);
}

} // namespace kelvo
