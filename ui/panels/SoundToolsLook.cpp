#include "ui/panels/SoundToolsLook.h"

#include "ui/widgets/DarkMenuLook.h"
#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/WidgetColours.h"

namespace kelvo
{
namespace
{
// The bar buttons' face (the bank view's and the write dialog's buttons).
constexpr juce::uint32 toolButtonFace = 0xff5a6163;
constexpr juce::uint32 trackBackground = 0xff0b0c0d;
constexpr juce::uint32 thumbFace = 0xfff4f4f2;
constexpr float toolButtonFontHeight = 13.0f, toolBoxFontHeight = 13.0f, menuFontHeight = 14.0f;
} // namespace

SoundToolsLook::SoundToolsLook()
{
    const juce::Colour white (colours::widgetText), value (colours::valueText);
    const juce::Colour boxFace (colours::valueBoxFace), boxOutline (colours::valueBoxOutline);

    setColour (juce::TextButton::buttonColourId, juce::Colour (toolButtonFace));
    setColour (juce::TextButton::buttonOnColourId, juce::Colour (colours::knobArc));
    setColour (juce::TextButton::textColourOffId, white);
    setColour (juce::TextButton::textColourOnId, juce::Colours::black);

    setColour (juce::Slider::backgroundColourId, juce::Colour (trackBackground));
    setColour (juce::Slider::trackColourId, juce::Colour (colours::knobArc));
    setColour (juce::Slider::thumbColourId, juce::Colour (thumbFace));
    setColour (juce::Slider::textBoxTextColourId, value);
    setColour (juce::Slider::textBoxBackgroundColourId, boxFace);
    setColour (juce::Slider::textBoxOutlineColourId, boxOutline);
    setColour (juce::Slider::textBoxHighlightColourId, juce::Colour (colours::knobArc).withAlpha (0.5f));

    setColour (juce::ComboBox::backgroundColourId, boxFace);
    setColour (juce::ComboBox::textColourId, value);
    setColour (juce::ComboBox::outlineColourId, boxOutline);
    setColour (juce::ComboBox::arrowColourId, value);
    setColour (juce::ComboBox::focusedOutlineColourId, boxOutline.brighter (0.4f));

    // The combo boxes' menus are the editor's dark menus.
    DarkMenuLook::applyMenuColours (*this);

    setColour (juce::Label::textColourId, white);
    setColour (juce::Label::textWhenEditingColourId, value);
    setColour (juce::TextEditor::textColourId, value);
    setColour (juce::TextEditor::backgroundColourId, boxFace);
    setColour (juce::TextEditor::highlightColourId, juce::Colour (colours::knobArc).withAlpha (0.5f));
    setColour (juce::CaretComponent::caretColourId, value);

    setColour (juce::ListBox::backgroundColourId, juce::Colours::transparentBlack);
    setColour (juce::ListBox::outlineColourId, boxOutline);
    setColour (juce::ScrollBar::thumbColourId, juce::Colour (toolButtonFace));
    setColour (juce::TooltipWindow::backgroundColourId, juce::Colour (colours::menuBackground));
    setColour (juce::TooltipWindow::textColourId, white);
}

juce::Font SoundToolsLook::getTextButtonFont (juce::TextButton&, int)
{
    return arialFont (toolButtonFontHeight);
}

juce::Font SoundToolsLook::getComboBoxFont (juce::ComboBox&)
{
    return arialFont (toolBoxFontHeight);
}

juce::Font SoundToolsLook::getPopupMenuFont()
{
    return arialFont (menuFontHeight);
}

juce::Label* SoundToolsLook::createSliderTextBox (juce::Slider& slider)
{
    auto* label = LookAndFeel_V4::createSliderTextBox (slider);
    label->setFont (arialFont (toolBoxFontHeight));
    return label;
}

} // namespace kelvo
