#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{
class LibraryStore;

/** The name search above the library list: each keystroke narrows the list to the entries whose
    name contains the text, in any case, within the chosen category. Message thread only. */
class LibSearchField : public juce::TextEditor
{
public:
    explicit LibSearchField (LibraryStore& store);
    ~LibSearchField() override;

private:
    LibraryStore& store;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LibSearchField)
};

} // namespace kelvo
