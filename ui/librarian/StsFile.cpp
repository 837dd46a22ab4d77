#include "ui/librarian/StsFile.h"

#include "librarian/LibraryStore.h"

namespace kelvo
{
namespace
{
constexpr int noCategory = 255; // shows no category name
} // namespace

StsFile::StsFile (LibraryStore& s) : LibListBox (static_cast<LibListBox::Source&> (*this)), store (s)
{
    store.addListener (this);
}

StsFile::~StsFile()
{
    store.removeListener (this);
}

int StsFile::getNumListRows() const
{
    return store.getNumRows();
}

juce::String StsFile::getListRowName (int row) const
{
    return store.entryName (store.getRowEntry (row));
}

int StsFile::getListRowCategory (int row) const
{
    const auto* entry = store.getEntry (store.getRowEntry (row));
    return entry != nullptr ? entry[program::categoryIndex] : noCategory;
}

int StsFile::getSelectedListRow() const
{
    return store.getSelectedRow();
}

int StsFile::getListRowMarks (int row) const
{
    const auto entry = store.getRowEntry (row);
    return (store.hasMark (entry, LibraryStore::Mark::favourite) ? rowFavourite : 0) |
           (store.hasMark (entry, LibraryStore::Mark::hidden) ? rowHidden : 0);
}

void StsFile::listRowPressed (int row, const juce::MouseEvent&)
{
    store.selectRow (row);
}

void StsFile::listDoubleClicked()
{
    listeners.callLastToFirst (*this, [] (StsFileListener& l) { l.listDoubleClicked(); });
}

juce::String StsFile::getEmptyListText() const
{
    if (store.getNumEntries() == 0)
        return "The library is empty: LOAD programs into it, or ADD CURRENT.";
    return "No program here: choose another category, LIST ALL, or search for another name.";
}

void StsFile::listNotification (int code, int value)
{
    if (code == listcode::listRebuilt)
        resetScroll();
    else
        repaint();
    listeners.callLastToFirst (*this,
                               [code, value] (StsFileListener& l) { l.listNotification (code, value); });
}

} // namespace kelvo
