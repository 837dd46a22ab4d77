#pragma once

#include "ui/widgets/StsBut.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/**
    The overlay shown during a bank transfer: it dims what it covers and shows a progress bar, the
    location of the last program received and a "CANCEL" button (id 999) that its owner listens
    to. Message thread only.
*/
class ProgBar : public juce::Component
{
public:
    static constexpr int cancelButtonId = 999;
    static constexpr int minimum = 0, maximum = 127;

    /** Covers (0, 0, width, height) of its parent. */
    ProgBar (int width, int height);
    ~ProgBar() override;

    /** Shows that program (0-127) of a bank has arrived: the bar's length and the location, after
        what is being done when that is not the transfer itself ("Backing up"). */
    void setProgress (int bank, int program, const juce::String& doing = {});

    int getValue() const noexcept { return value; }
    juce::String getLabelText() const { return label.getText(); }
    int getFillWidth() const noexcept { return fill.getWidth(); }
    StsBut& getCancelButton() noexcept { return cancelButton; }

    void paint (juce::Graphics& g) override;
    /** Keeps the bar, the label and the button centred in whatever it covers. */
    void resized() override;

private:
    juce::Rectangle<int> barArea() const;

    int value = minimum;
    juce::Label label;
    StsBut cancelButton{"CANCEL", cancelButtonId, StsBut::barKind};
    juce::TextButton track, fill;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProgBar)
};

} // namespace kelvo
