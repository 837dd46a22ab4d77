#pragma once

#include "ui/librarian/LibListBox.h"
#include "ui/librarian/PlugFileListener.h"
#include "ui/widgets/ListenerArray.h"

namespace kelvo
{
class Bank_Program;

/**
    The preset bank's list: the 128 slots of the plug-in's bank, read from the bank each time it is
    painted. A click selects a row and tells the listeners; the owner may also select a row silently
    (the host changed the current program). Message thread only.
*/
class Plugin_File : public LibListBox, private LibListBox::Source
{
public:
    static constexpr int rowClickedCode = 65;
    static constexpr int rightClickNearCode = 90, rightClickFarCode = 88;
    /** A right-click closer than this to the left edge is "near". */
    static constexpr int nearEdgeWidth = 180;

    explicit Plugin_File (Bank_Program& bank);
    ~Plugin_File() override;

    int getSelectedRow() const noexcept { return selectedRow; }
    /** The selected slot, or -1. */
    int getSelectedPreset() const noexcept { return selectedPreset; }

    /** Selects a row and shows it first, as far as the list allows, without telling anyone. A row
        outside 0..127, or the one already selected, changes nothing. */
    void selectSilently (int row);

    void addListener (PlugFileListener* l) { listeners.add (l); }
    void removeListener (PlugFileListener* l) { listeners.remove (l); }

private:
    int getNumListRows() const override;
    juce::String getListRowName (int row) const override;
    int getListRowCategory (int row) const override;
    int getSelectedListRow() const override { return selectedRow; }
    void listRowPressed (int row, const juce::MouseEvent& e) override;
    void listDoubleClicked() override;

    void notify (int code);

    Bank_Program& bank;
    int selectedRow = -1, selectedPreset = -1;
    ListenerArray<PlugFileListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Plugin_File)
};

} // namespace kelvo
