#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <optional>

namespace kelvo
{

/**
    The editor's tooltip window. A tip about a panel control is placed beside the control, clear of
    it and of every value shown by the controls around it (to its right at the knob's height, else
    to its left, above or below); any other tip goes where JUCE puts it, by the mouse.

    A child of the editor, like juce::TooltipWindow with a parent. Message thread only.
*/
class ControlTooltip final : public juce::TooltipWindow
{
public:
    ControlTooltip (juce::Component& parent, int delayMs);
    ~ControlTooltip() override;

    /** Where a tip of a size goes for the control under a point of the parent, in the parent's
        coordinates; nullopt when no control is there. */
    std::optional<juce::Rectangle<int>> placeBesideControl (juce::Point<int> pointInParent, int width,
                                                            int height) const;

private:
    class Placement;
    std::unique_ptr<Placement> placement;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ControlTooltip)
};

} // namespace kelvo
