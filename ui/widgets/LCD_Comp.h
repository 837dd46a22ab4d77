#pragma once

#include "ui/widgets/PreparedImage.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/**
    The LCD of the synth panel: where the current program lives (bank and number), its category and
    its name. A press sends a change message after which getClickRegion() tells which of the three
    areas was clicked. 180 × 43 design units, drawn at its scale. Message thread only.
*/
class LCD_Comp : public juce::Component, public juce::ChangeBroadcaster
{
public:
    static constexpr int locationRegion = 1;
    static constexpr int nameRegion = 2;
    static constexpr int categoryRegion = 3;

    static constexpr int designWidth = 180;
    static constexpr int designHeight = 43;

    LCD_Comp();
    ~LCD_Comp() override;

    void showProgram (int bank, int program, int categoryNumber, const juce::String& name,
                      const juce::String& categoryText);
    void showLocation (int bank, int program);
    void showCategory (int categoryNumber, const juce::String& categoryText);

    /** The owner sets the bounds (its own placement times the scale) together with the scale. */
    void setScale (float factor);

    int getClickRegion() const noexcept { return clickRegion; }
    int getCategoryNumber() const noexcept { return categoryNumber; }
    const juce::String& getLocationText() const noexcept { return locationText; }
    const juce::String& getCategoryText() const noexcept { return categoryText; }
    const juce::String& getProgramName() const noexcept { return programName; }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;

private:
    juce::String locationText, categoryText, programName;
    int categoryNumber = 0;
    int clickRegion = 0;
    float scale = 1.0f;
    PreparedImage background, glare;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LCD_Comp)
};

} // namespace kelvo
