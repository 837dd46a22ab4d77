#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

namespace kelvo
{
class MidiCntrState;

/**
    A scrolling list of synth programs in three columns (location, name, category), filled with one
    synth bank or with every program of one category across the eight banks.

    A press on a row selects it and sends a change message with event code 91; a right-button press
    then also sets code 90, or 88 in the category column. Change messages arrive asynchronously and
    coalesce, so the owner sees the last code with the new selection. Message thread only.
*/
class StsGrid : public juce::Component, public juce::ChangeBroadcaster
{
public:
    static constexpr int rowSelected = 91;
    static constexpr int rightClickedRow = 90;
    static constexpr int rightClickedCategory = 88;

    static constexpr int fillByBank = 0;
    static constexpr int fillByCategory = 1;

    explicit StsGrid (MidiCntrState& engine);
    ~StsGrid() override;

    /** Column widths in pixels (the owners give three); clears the selection and scrolls to the top. */
    void setColumns (const juce::Array<int>& widths);
    void setRowHeight (int height);
    void setFontHeight (float height);
    /** The colour behind unselected rows and the scrollbar; transparent unless set. */
    void setRowBackground (juce::Colour colour);

    /** Fills the list with bank value (fillByBank) or category value (fillByCategory); clears the
        selection and scrolls to the top. */
    void fillList (int mode, int value);
    /** Makes the bank current on the synth (at the current program) and lists it. */
    void showBank (int bank);

    /** Selects a row without telling anyone (the owner showing the current program) and scrolls it
        into view; −1 selects nothing. */
    void setSelectedRow (int row);

    int getSelectedRow() const noexcept { return selectedRow; }
    int getSelectedProgram() const noexcept { return selectedProgram; }
    int getSelectedBank() const noexcept { return selectedBank; }
    int getEventCode() const noexcept { return eventCode; }
    int getPressedColumn() const noexcept { return pressedColumn; }
    int getNumRows() const noexcept { return (int) rowPrograms.size(); }
    int getRowProgram (int row) const;
    int getRowBank (int row) const;
    int getFillMode() const noexcept { return fillMode; }
    int getFillValue() const noexcept { return fillValue; }

    int getVisibleRows() const noexcept;
    int getFirstVisibleRow() const noexcept { return firstVisibleRow; }
    void setFirstVisibleRow (int row);

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;

private:
    void paintRow (juce::Graphics& g, int viewRow, int listRow);
    void paintScrollbar (juce::Graphics& g);
    int columnAt (int x) const;
    int columnsWidth() const;
    int columnWidth (int column) const;

    MidiCntrState& engine;
    int width = 0, height = 0;
    int selectedRow = -1;
    int pressedColumn = -1;
    int numColumns = 0;
    int selectedProgram = 0, selectedBank = 0;
    int eventCode = 0;
    std::vector<int> rowPrograms, rowBanks;
    int fillMode = fillByBank, fillValue = 0;
    juce::Image background, thumb;
    juce::Colour rowBackground{juce::Colours::transparentBlack};
    int rowHeight = 26;
    float fontHeight = 15.0f;
    int firstVisibleRow = 0;
    juce::Array<int> columnWidths;
    bool draggingRows = false, draggingScrollbar = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StsGrid)
};

} // namespace kelvo
