#pragma once

#include "ui/widgets/PreparedImage.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/**
    The plug-in's name and version over the whole editor. With a closing time it closes itself
    after that long (the first opening of an editor); without one it stays until clicked. It only
    asks to be closed, by a change message, on its timer or on a mouse press; its owner removes it.
    Laid out in design units. Message thread.
*/
class AboutPanel final : public juce::Component, public juce::ChangeBroadcaster, private juce::Timer
{
public:
    static constexpr int designWidth = 1191, designHeight = 700;
    static constexpr int boxX = 365, boxY = 100, boxWidth = 460, boxHeight = 260;

    /** closeAfterMs 0: no closing timer. */
    explicit AboutPanel (int closeAfterMs);
    ~AboutPanel() override;

    bool hasClosingTimer() const noexcept { return closingTimer; }
    static juce::String versionText();

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;

private:
    void timerCallback() override;

    // Drawn at twice the design size and resampled once for the size they are shown at, so that a
    // repaint under the panel (a program change while it shows) only copies them.
    PreparedImage background, logo;
    bool closingTimer = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AboutPanel)
};

} // namespace kelvo
