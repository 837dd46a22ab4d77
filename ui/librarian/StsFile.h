#pragma once

#include "librarian/StsFileListener.h"
#include "ui/librarian/LibListBox.h"
#include "ui/widgets/ListenerArray.h"

namespace kelvo
{
class LibraryStore;

/**
    The library's list: the rows of a LibraryStore. A press selects the row in the store; the
    store's rebuilds (which bring the list back to its top) and selections, and the list's
    double-clicks, reach this list's own listeners. Message thread only.
*/
class StsFile : public LibListBox, private LibListBox::Source, private StsFileListener
{
public:
    explicit StsFile (LibraryStore& store);
    ~StsFile() override;

    LibraryStore& getStore() noexcept { return store; }

    void addListener (StsFileListener* l) { listeners.add (l); }
    void removeListener (StsFileListener* l) { listeners.remove (l); }

private:
    int getNumListRows() const override;
    juce::String getListRowName (int row) const override;
    int getListRowCategory (int row) const override;
    int getSelectedListRow() const override;
    int getListRowMarks (int row) const override;
    void listRowPressed (int row, const juce::MouseEvent&) override;
    void listDoubleClicked() override;
    juce::String getEmptyListText() const override;

    void listNotification (int code, int value) override;

    LibraryStore& store;
    ListenerArray<StsFileListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StsFile)
};

} // namespace kelvo
