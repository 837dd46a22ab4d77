#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/**
    The look of the compare and variations panel's stock JUCE widgets (buttons, sliders, combo
    boxes and their menus, the list), drawn in the editor's colours: the bar buttons' grey, the
    knobs' orange, the value boxes' dark face with light-cyan text, the dark menus.

    Held by the panel and set on it, so that its children take it. Message thread.
*/
class SoundToolsLook final : public juce::LookAndFeel_V4
{
public:
    SoundToolsLook();

    juce::Font getTextButtonFont (juce::TextButton&, int buttonHeight) override;
    juce::Font getComboBoxFont (juce::ComboBox&) override;
    juce::Font getPopupMenuFont() override;
    juce::Label* createSliderTextBox (juce::Slider&) override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SoundToolsLook)
};

} // namespace kelvo
