#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/** The square menu button at the left end of the app bar (three bars); a release broadcasts a
    change with code 128, on which the main component opens the library window. */
class AppSetBarBut final : public juce::Component,
                           public juce::ChangeBroadcaster
{
public:
    static constexpr int releasedCode = 128;

    AppSetBarBut();

    int getCode() const noexcept { return code; }

    void paint (juce::Graphics& g) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    int code = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AppSetBarBut)
};

} // namespace kelvo
