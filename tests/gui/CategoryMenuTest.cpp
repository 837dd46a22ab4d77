#include "model/Categories.h"
#include "ui/widgets/CategoryMenu.h"
#include "ui/widgets/DarkMenuLook.h"

#include <gtest/gtest.h>

using namespace kelvo;

// The menu is built and its results mapped without ever showing it: there is no display here.
TEST (CategoryMenu, TwentySixCategoriesInNumberOrder)
{
    DarkMenuLook look;
    const auto menu = buildCategoryMenu (look);

    int n = 0;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();
        EXPECT_EQ (item.itemID, n + 1);
        EXPECT_EQ (item.text, categoryName (n));
        EXPECT_TRUE (item.isEnabled);
        EXPECT_FALSE (item.isTicked);
        EXPECT_EQ (item.subMenu, nullptr);
        ++n;
    }
    EXPECT_EQ (n, 26);
}

TEST (CategoryMenu, ResultsMapToCategories)
{
    const std::pair<int, int> cases[] = { { 0, -1 }, { 1, 0 }, { 25, 24 }, { 26, 25 }, { 27, -1 }, { -5, -1 } };
    for (auto [result, expected] : cases)
        EXPECT_EQ (categoryFromMenuResult (result), expected) << result;
    EXPECT_EQ (categoryName (categoryFromMenuResult (25)), "Pads");
}
