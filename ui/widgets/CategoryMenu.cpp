#include "ui/widgets/CategoryMenu.h"
#include "model/Categories.h"
#include "ui/widgets/DarkMenuLook.h"

namespace kelvo
{
namespace
{
constexpr int firstItemId = 1; // PopupMenu's 0 means dismissed
constexpr int dismissed = -1;
} // namespace

juce::PopupMenu buildCategoryMenu (DarkMenuLook& look)
{
    juce::PopupMenu menu;
    menu.setLookAndFeel (&look);
    for (int c = 0; c < category::count; ++c)
        menu.addItem (firstItemId + c, categoryName (c));
    return menu;
}

int categoryFromMenuResult (int result) noexcept
{
    const auto c = result - firstItemId;
    return c >= 0 && c < category::count ? c : dismissed;
}

void chooseCategory (const juce::PopupMenu::Options& options, std::function<void (int)> onChosen)
{
    JUCE_ASSERT_MESSAGE_THREAD
    // The callback holds the look, so it lives as long as the menu is on screen.
    juce::SharedResourcePointer<DarkMenuLook> look;
    buildCategoryMenu (*look).showMenuAsync (options, [look, onChosen = std::move (onChosen)] (int result)
                                             {
                                                 if (onChosen != nullptr)
                                                     onChosen (categoryFromMenuResult (result));
                                             });
}

} // namespace kelvo
