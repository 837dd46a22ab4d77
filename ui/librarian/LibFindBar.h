#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{
class LibraryStore;

/**
    The library's finding filters under the name search: "Favourites" lists only starred sounds,
    "Show hidden" lists hidden ones too, "Duplicates" lists only sounds the library holds more than
    once, and the sort order. Each works with the category and the search. Message thread only.
*/
class LibFindBar : public juce::Component
{
public:
    explicit LibFindBar (LibraryStore& store);
    ~LibFindBar() override;

    juce::ToggleButton& getFavourites() noexcept { return favourites; }
    juce::ToggleButton& getShowHidden() noexcept { return showHidden; }
    juce::ToggleButton& getDuplicates() noexcept { return duplicates; }
    juce::ComboBox& getSortOrder() noexcept { return sortOrder; }

    /** Shows what the store's view is set to. */
    void refresh();

    void resized() override;

private:
    LibraryStore& store;
    juce::ToggleButton favourites{"Favourites"}, showHidden{"Show hidden"}, duplicates{"Duplicates"};
    juce::ComboBox sortOrder;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LibFindBar)
};

} // namespace kelvo
