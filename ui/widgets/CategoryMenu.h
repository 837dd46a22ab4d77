#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace kelvo
{
class DarkMenuLook;

/** The category menu: the 26 category names in number order as items 1..26, in the shared dark look.
    The look must outlive the menu while it is shown. */
juce::PopupMenu buildCategoryMenu (DarkMenuLook& look);

/** The category a result of that menu names (id − 1), or −1 when it was dismissed. */
int categoryFromMenuResult (int result) noexcept;

/** Shows the category menu without blocking, then calls onChosen with the category chosen, or −1
    when the menu was dismissed (the caller then changes nothing). Message thread. */
void chooseCategory (const juce::PopupMenu::Options& options, std::function<void (int)> onChosen);

} // namespace kelvo
