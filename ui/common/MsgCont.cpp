#include "ui/common/MsgCont.h"
#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 msgDim = 0x66000000, shadow = 0x56000000, boxOutlineColour = 0xff777777, textColour = 0xfffcf5f5;
constexpr float cornerRadius = 10.0f, outlineThickness = 2.0f;
constexpr int shadowOffset = 10;
constexpr int labelTop = 10, labelHeight = 24;
constexpr float labelFontHeight = 18.0f;
constexpr int okX = 368, okY = 64, okWidth = 60, okHeight = 24;

// The box for a long text: wider, a smaller font, and a line of space for each line of text.
constexpr int wideBoxWidth = 760, textMargin = 16, wideLineHeight = 19, okGap = 12, okMarginRight = 32;
constexpr float wideFontHeight = 15.0f;

// Breaks a text into lines no wider than width: at its own line breaks, then between words; a word
// longer than a line (a file's path) has a line of its own.
juce::StringArray wrap (const juce::String& text, const juce::Font& font, float width)
{
    juce::StringArray result;
    for (const auto& paragraph : juce::StringArray::fromLines (text))
    {
        juce::String line;
        for (const auto& word : juce::StringArray::fromTokens (paragraph, " ", {}))
        {
            const auto candidate = line.isEmpty() ? word : line + " " + word;
            if (line.isNotEmpty() && font.getStringWidthFloat (candidate) > width)
            {
                result.add (line);
                line = word;
            }
            else
            {
                line = candidate;
            }
        }
        result.add (line);
    }
    return result;
}
} // namespace

MsgCont::MsgCont (const juce::String& text) : message (text)
{
    lines.add (text);
    auto font = arialFont (labelFontHeight);
    if (text.containsChar ('\n') || font.getStringWidthFloat (text) > (float) boxWidth)
    {
        font = arialFont (wideFontHeight);
        lines = wrap (text, font, (float) (wideBoxWidth - 2 * textMargin));
        label.setMinimumHorizontalScale (0.5f); // an overlong path is narrowed, never cut
    }
    label.setText (text, juce::dontSendNotification);
    label.setFont (font);
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
    if (lines.size() <= 1)
        return { (getWidth() - boxWidth) / 2, (getHeight() - boxHeight) / 2, boxWidth, boxHeight };

    const auto height = labelTop + lines.size() * wideLineHeight + okGap + okHeight + okGap;
    return { (getWidth() - wideBoxWidth) / 2, (getHeight() - height) / 2, wideBoxWidth, height };
}

void MsgCont::resized()
{
    const auto box = getBox();
    if (lines.size() <= 1)
    {
        label.setBounds (box.getX(), box.getY() + labelTop, boxWidth, labelHeight);
        okButton.setupButton (box.getX() + okX, box.getY() + okY, okWidth, okHeight, true);
    }
    else
    {
        label.setText (lines.joinIntoString ("\n"), juce::dontSendNotification);
        label.setBorderSize ({});
        label.setBounds (box.getX() + textMargin, box.getY() + labelTop, box.getWidth() - 2 * textMargin,
                         lines.size() * wideLineHeight);
        okButton.setupButton (box.getRight() - okMarginRight - okWidth, box.getBottom() - okGap - okHeight, okWidth,
                              okHeight, true);
    }
    cancelButton.setupButton (okButton.getX() - okWidth - 8, okButton.getY(), okWidth, okHeight, true);
}

void MsgCont::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (msgDim));
    const auto box = getBox().toFloat();
    g.setColour (juce::Colour (shadow));
    g.fillRoundedRectangle (box.translated ((float) shadowOffset, (float) shadowOffset), cornerRadius);
    g.setColour (juce::Colours::black);
    g.fillRoundedRectangle (box, cornerRadius);
    g.setColour (juce::Colour (boxOutlineColour));
    g.drawRoundedRectangle (box, cornerRadius, outlineThickness);
}

} // namespace kelvo
