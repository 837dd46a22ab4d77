#include "ui/librarian/Plugin_File.h"

#include "model/Bank_Program.h"

namespace kelvo
{

Plugin_File::Plugin_File (Bank_Program& b) : LibListBox (static_cast<LibListBox::Source&> (*this)), bank (b)
{
}

Plugin_File::~Plugin_File() = default;

int Plugin_File::getNumListRows() const
{
    return program::programsPerBank;
}

juce::String Plugin_File::getListRowName (int row) const
{
    return bank.getProgramName (row);
}

int Plugin_File::getListRowCategory (int row) const
{
    return bank.getProgramByte (row, program::categoryIndex);
}

void Plugin_File::selectSilently (int row)
{
    if (row < 0 || row >= program::programsPerBank || row == selectedRow)
        return;
    selectedRow = selectedPreset = row;
    scrollTo (row);
    repaint();
}

void Plugin_File::listRowPressed (int row, const juce::MouseEvent& e)
{
    selectedRow = selectedPreset = row;
    repaint();
    if (!listeners.callLastToFirst (*this,
                                    [] (PlugFileListener& l) { l.plugFileNotification (rowClickedCode, 0); }))
        return;
    if (e.mods.isRightButtonDown())
        notify (e.x < nearEdgeWidth ? rightClickNearCode : rightClickFarCode);
}

void Plugin_File::listDoubleClicked()
{
    listeners.callLastToFirst (*this, [] (PlugFileListener& l) { l.plugFileDoubleClicked(); });
}

void Plugin_File::notify (int code)
{
    listeners.callLastToFirst (*this, [code] (PlugFileListener& l) { l.plugFileNotification (code, 0); });
}

} // namespace kelvo
