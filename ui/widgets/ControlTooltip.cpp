#include "ui/widgets/ControlTooltip.h"

#include "ui/widgets/StsCont.h"

#include <algorithm>
#include <vector>

namespace kelvo
{
namespace
{
// Pixels between the tip and what it keeps clear of.
constexpr int tipGap = 2;
// How far from the control's middle a clear place is looked for, and in what steps, in pixels.
constexpr int searchRadius = 240, searchStep = 6;
/** Offsets from a control's middle, nearest first. */
const std::vector<juce::Point<int>>& searchOffsets()
{
    static const auto offsets = []
    {
        std::vector<juce::Point<int>> all;
        for (int dy = -searchRadius; dy <= searchRadius; dy += searchStep)
            for (int dx = -searchRadius; dx <= searchRadius; dx += searchStep)
                all.emplace_back (dx, dy);
        std::stable_sort (all.begin(), all.end(),
                          [] (juce::Point<int> a, juce::Point<int> b)
                          { return a.x * a.x + a.y * a.y < b.x * b.x + b.y * b.y; });
        return all;
    }();
    return offsets;
}
} // namespace

/** The tooltip window's own look: JUCE's size for a tip, our place for it. */
class ControlTooltip::Placement final : public juce::LookAndFeel_V4
{
public:
    explicit Placement (ControlTooltip& w) : window (w) {}

    juce::Rectangle<int> getTooltipBounds (const juce::String& tip, juce::Point<int> position,
                                           juce::Rectangle<int> parentArea) override
    {
        const auto near = juce::LookAndFeel_V4::getTooltipBounds (tip, position, parentArea);
        return window.placeBesideControl (position, near.getWidth(), near.getHeight()).value_or (near);
    }

private:
    ControlTooltip& window;
};

ControlTooltip::ControlTooltip (juce::Component& parent, int delayMs)
    : juce::TooltipWindow (&parent, delayMs), placement (std::make_unique<Placement> (*this))
{
    setLookAndFeel (placement.get());
}

ControlTooltip::~ControlTooltip()
{
    setLookAndFeel (nullptr);
}

std::optional<juce::Rectangle<int>> ControlTooltip::placeBesideControl (juce::Point<int> point, int width,
                                                                        int height) const
{
    auto* parent = getParentComponent();
    if (parent == nullptr)
        return std::nullopt;
    const StsCont* control = nullptr;
    for (auto* c = parent->getComponentAt (point); c != nullptr && c != parent && control == nullptr;
         c = c->getParentComponent())
        control = dynamic_cast<const StsCont*> (c);
    if (control == nullptr || control->getParentComponent() == nullptr)
        return std::nullopt;

    const auto* row = control->getParentComponent();
    const auto area = parent->getLocalArea (row, control->getBounds());
    std::vector<juce::Rectangle<int>> keepClear{area};
    for (auto* sibling : row->getChildren())
        if (const auto* other = dynamic_cast<const StsCont*> (sibling);
            other != nullptr && other->isVisible())
            if (const auto value = other->getValueArea(); !value.isEmpty())
                keepClear.push_back (parent->getLocalArea (other, value));

    const auto within = parent->getLocalBounds();
    const auto isClear = [&] (const juce::Rectangle<int>& tip)
    {
        if (!within.contains (tip))
            return false;
        for (const auto& r : keepClear)
            if (r.intersects (tip))
                return false;
        return true;
    };

    // Beside the control first; where the controls stand close (a column of menus), the nearest
    // place that is clear.
    std::vector<juce::Rectangle<int>> candidates{
        {area.getRight() + tipGap, area.getY(), width, height},
        {area.getX() - tipGap - width, area.getY(), width, height},
        {area.getCentreX() - width / 2, area.getY() - tipGap - height, width, height},
        {area.getCentreX() - width / 2, area.getBottom() + tipGap, width, height},
    };
    for (const auto offset : searchOffsets())
        candidates.push_back (juce::Rectangle<int> (width, height).withCentre (area.getCentre() + offset));

    for (const auto& tip : candidates)
        if (isClear (tip))
            return tip;
    return std::nullopt;
}

} // namespace kelvo
