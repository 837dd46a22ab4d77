#include "ui/librarian/LibFindBar.h"

#include "librarian/LibraryStore.h"
#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 findText = 0xfff2f0f0, findTick = 0xffe8c547, findFill = 0xff272527, findOutline = 0xff5a5f66;
constexpr int favouritesWidth = 100, showHiddenWidth = 112, duplicatesWidth = 104, gap = 4;

// The combo box's item ids are the sort orders, one up (0 means no item).
int itemOf (LibraryStore::SortOrder order) noexcept
{
    return (int)order + 1;
}
} // namespace

LibFindBar::LibFindBar (LibraryStore& s) : store (s)
{
    for (auto* toggle : {&favourites, &showHidden, &duplicates})
    {
        toggle->setColour (juce::ToggleButton::textColourId, juce::Colour (findText));
        toggle->setColour (juce::ToggleButton::tickColourId, juce::Colour (findTick));
        toggle->setColour (juce::ToggleButton::tickDisabledColourId, juce::Colour (findOutline));
        addAndMakeVisible (*toggle);
    }
    favourites.setTooltip ("List only the programs whose sound is starred");
    showHidden.setTooltip ("List hidden programs too");
    duplicates.setTooltip ("List only sounds the library holds more than once, whatever their names");
    favourites.onClick = [this] { store.setFavouritesOnly (favourites.getToggleState()); };
    showHidden.onClick = [this] { store.setShowHidden (showHidden.getToggleState()); };
    duplicates.onClick = [this] { store.setDuplicatesOnly (duplicates.getToggleState()); };

    sortOrder.addItem ("When added", itemOf (LibraryStore::SortOrder::added));
    sortOrder.addItem ("By name", itemOf (LibraryStore::SortOrder::name));
    sortOrder.addItem ("By category", itemOf (LibraryStore::SortOrder::category));
    sortOrder.setColour (juce::ComboBox::backgroundColourId, juce::Colour (findFill));
    sortOrder.setColour (juce::ComboBox::textColourId, juce::Colour (findText));
    sortOrder.setColour (juce::ComboBox::outlineColourId, juce::Colour (findOutline));
    sortOrder.setColour (juce::ComboBox::arrowColourId, juce::Colour (findText));
    sortOrder.setTooltip ("The order of the list");
    sortOrder.onChange = [this]
    {
        if (const auto item = sortOrder.getSelectedId(); item > 0)
            store.setSortOrder ((LibraryStore::SortOrder) (item - 1));
    };
    addAndMakeVisible (sortOrder);
    refresh();
}

LibFindBar::~LibFindBar() = default;

void LibFindBar::refresh()
{
    favourites.setToggleState (store.isFavouritesOnly(), juce::dontSendNotification);
    showHidden.setToggleState (store.isShowingHidden(), juce::dontSendNotification);
    duplicates.setToggleState (store.isDuplicatesOnly(), juce::dontSendNotification);
    sortOrder.setSelectedId (itemOf (store.getSortOrder()), juce::dontSendNotification);
}

void LibFindBar::resized()
{
    auto area = getLocalBounds();
    favourites.setBounds (area.removeFromLeft (favouritesWidth));
    area.removeFromLeft (gap);
    showHidden.setBounds (area.removeFromLeft (showHiddenWidth));
    area.removeFromLeft (gap);
    duplicates.setBounds (area.removeFromLeft (duplicatesWidth));
    area.removeFromLeft (gap);
    sortOrder.setBounds (area);
}

} // namespace kelvo
