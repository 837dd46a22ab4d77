#include "ui/widgets/StsGrid.h"

#include "link/MidiCntrState.h"
#include "model/Categories.h"
#include "model/SynthBanks.h"
#include "ui/widgets/Artwork.h"
#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/ProgramLocation.h"

namespace kelvo
{
namespace
{
constexpr int scrollbarWidth = 18;
constexpr int thumbHeight = 31; // what the scroll arithmetic counts with
constexpr int thumbDrawnWidth = 16, thumbDrawnHeight = 33;
constexpr float thumbOpacity = 0.9f;
constexpr int scrollTrackWidth = 16;
constexpr float scrollTrackCorner = 2.0f;
constexpr juce::uint32 scrollTrackColour = 0xff1f2224;
constexpr juce::uint32 scrollTrackOutline = 0x55808040;

constexpr int backgroundRightMargin = scrollbarWidth + 15;
constexpr float backgroundOpacity = 0.25f;

constexpr int rowExtraWidth = 4;       // rows reach this far past the columns
constexpr int selectedExtraHeight = 3; // the selection fill reaches into the next row's separator
constexpr juce::uint32 separatorColour = 0xff555555;
constexpr juce::uint32 selectedFill = 0x22038fbe;
constexpr juce::uint32 locationColour = 0xff00bbbb, gridNameColour = 0xff80ffff, categoryColour = 0xffcccccc;
constexpr juce::uint32 selectedLocationColour = 0xff00cccc, selectedNameColour = 0xff80ffff,
                       selectedCategoryColour = 0xffbbbbbb;
constexpr int locationX = 7;
constexpr int textInset = 6;
constexpr int baselineBelowFont = 4;

constexpr int locationColumn = 0, gridNameColumn = 1, categoryColumn = 2;
} // namespace

StsGrid::StsGrid (MidiCntrState& e)
    : engine (e), background (artwork::listBackground()), thumb (artwork::listThumb())
{
}

StsGrid::~StsGrid() = default;

void StsGrid::setColumns (const juce::Array<int>& widths)
{
    selectedRow = -1;
    firstVisibleRow = 0;
    columnWidths = widths;
    numColumns = widths.size();
    repaint();
}

void StsGrid::setRowHeight (int h)
{
    rowHeight = juce::jmax (1, h);
    repaint();
}

void StsGrid::setFontHeight (float h)
{
    fontHeight = h;
    repaint();
}

void StsGrid::setRowBackground (juce::Colour colour)
{
    rowBackground = colour;
    repaint();
}

void StsGrid::fillList (int mode, int value)
{
    rowPrograms.clear();
    rowBanks.clear();
    fillMode = mode;
    fillValue = value;

    if (mode == fillByBank)
    {
        if (engine.getSynthBank (value) != nullptr)
        {
            for (int p = 0; p < program::programsPerBank; ++p)
            {
                rowPrograms.push_back (p);
                rowBanks.push_back (value);
            }
        }
    }
    else if (mode == fillByCategory)
    {
        for (int b = 0; b < synthbanks::numSynthBanks; ++b)
        {
            const auto* bank = engine.getSynthBank (b);
            // A bank being received holds fewer programs; the missing ones belong to no category.
            const auto programsHeld = bank->getSize() / program::recordSize;
            for (int p = 0; p < juce::jmin (programsHeld, program::programsPerBank); ++p)
            {
                if (bank->getProgramByte (p, program::categoryIndex) == value)
                {
                    rowPrograms.push_back (p);
                    rowBanks.push_back (b);
                }
            }
        }
    }

    selectedRow = -1;
    firstVisibleRow = 0;
    repaint();
}

void StsGrid::showBank (int bank)
{
    engine.selectProgram (bank, engine.getCurrentSynthProgram(), true);
    fillList (fillByBank, bank);
}

void StsGrid::setSelectedRow (int row)
{
    selectedRow = juce::isPositiveAndBelow (row, getNumRows()) ? row : -1;
    if (selectedRow >= 0)
    {
        selectedProgram = rowPrograms[(size_t) selectedRow];
        selectedBank = rowBanks[(size_t) selectedRow];
        const auto visible = juce::jmax (1, getVisibleRows());
        if (selectedRow < firstVisibleRow || selectedRow >= firstVisibleRow + visible)
            setFirstVisibleRow (selectedRow - visible / 2);
    }
    repaint();
}

int StsGrid::getRowProgram (int row) const
{
    return juce::isPositiveAndBelow (row, getNumRows()) ? rowPrograms[(size_t) row] : -1;
}

int StsGrid::getRowBank (int row) const
{
    return juce::isPositiveAndBelow (row, getNumRows()) ? rowBanks[(size_t) row] : -1;
}

int StsGrid::getVisibleRows() const noexcept
{
    return height / rowHeight;
}

void StsGrid::setFirstVisibleRow (int row)
{
    firstVisibleRow = juce::jlimit (0, juce::jmax (0, getNumRows() - getVisibleRows()), row);
    repaint();
}

void StsGrid::resized()
{
    width = getWidth();
    height = getHeight();
    setFirstVisibleRow (firstVisibleRow);
}

int StsGrid::columnWidth (int column) const
{
    return juce::isPositiveAndBelow (column, columnWidths.size()) ? columnWidths[column] : 0;
}

int StsGrid::columnsWidth() const
{
    return columnWidth (locationColumn) + columnWidth (gridNameColumn) + columnWidth (categoryColumn);
}

int StsGrid::columnAt (int x) const
{
    auto left = 0;
    for (int c = 0; c < numColumns; ++c)
    {
        if (left < x && x < left + columnWidths[c])
            return c;
        left += columnWidths[c];
    }
    return -1;
}

//==============================================================================
void StsGrid::paint (juce::Graphics& g)
{
    const juce::Rectangle<float> backgroundArea (0.0f, 0.0f, (float) (width - backgroundRightMargin),
                                                 (float) height);
    g.setOpacity (backgroundOpacity);
    g.drawImage (background, backgroundArea);
    g.setOpacity (1.0f);

    const auto visible = getVisibleRows();
    for (int i = 0; i < visible && firstVisibleRow + i < getNumRows(); ++i)
        paintRow (g, i, firstVisibleRow + i);

    paintScrollbar (g);

    g.setOpacity (backgroundOpacity);
    g.drawImage (background, backgroundArea);
}

void StsGrid::paintRow (juce::Graphics& g, int viewRow, int listRow)
{
    const auto y = viewRow * rowHeight;
    const auto rowWidth = columnsWidth() + rowExtraWidth;
    const auto selected = listRow == selectedRow;

    g.setColour (juce::Colour (separatorColour));
    g.fillRect (0, y, rowWidth, 1);

    if (selected)
    {
        g.setColour (juce::Colour (selectedFill));
        g.fillRect (0, y, rowWidth, rowHeight + selectedExtraHeight);
    }
    else if (! rowBackground.isTransparent())
    {
        g.setColour (rowBackground);
        g.fillRect (0, y + 1, rowWidth, rowHeight - 1);
    }

    const auto bank = rowBanks[(size_t) listRow];
    const auto programNumber = rowPrograms[(size_t) listRow];
    const auto* source = engine.getSynthBank (bank);
    const auto baseline = y + juce::roundToInt (fontHeight) + baselineBelowFont;

    g.setFont (arialFont (fontHeight, selected ? juce::Font::bold : juce::Font::plain));
    g.setColour (juce::Colour (selected ? selectedLocationColour : locationColour));
    g.drawSingleLineText (programLocation (bank, programNumber), locationX, baseline);
    g.setColour (juce::Colour (selected ? selectedNameColour : gridNameColour));
    g.drawSingleLineText (source->getProgramName (programNumber), columnWidth (locationColumn) + textInset,
                          baseline);
    g.setColour (juce::Colour (selected ? selectedCategoryColour : categoryColour));
    g.drawSingleLineText (categoryName (source->getProgramByte (programNumber, program::categoryIndex)),
                          columnWidth (locationColumn) + columnWidth (gridNameColumn) + textInset, baseline);
}

void StsGrid::paintScrollbar (juce::Graphics& g)
{
    const auto visible = getVisibleRows();
    const juce::Rectangle<int> strip (width - scrollbarWidth, 0, scrollTrackWidth, visible * rowHeight);
    g.setColour (rowBackground);
    g.fillRect (strip);

    const auto hiddenRows = getNumRows() - visible;
    if (hiddenRows <= 0)
        return;

    g.setColour (juce::Colour (scrollTrackColour));
    g.fillRoundedRectangle (strip.toFloat(), scrollTrackCorner);
    g.setColour (juce::Colour (scrollTrackOutline));
    g.drawRoundedRectangle (strip.toFloat(), scrollTrackCorner, 1.0f);

    // A list too short for the thumb keeps it at the top rather than dividing by nothing.
    const auto thumbTravel = juce::jmax (0, height - thumbHeight);
    const auto thumbTop = (float) firstVisibleRow * (float) thumbTravel / (float) hiddenRows;
    g.setOpacity (thumbOpacity);
    g.drawImage (thumb, juce::Rectangle<float> ((float) strip.getX(), thumbTop, (float) thumbDrawnWidth,
                                                (float) thumbDrawnHeight));
}

//==============================================================================
void StsGrid::mouseDown (const juce::MouseEvent& e)
{
    pressedColumn = columnAt (e.x);
    draggingRows = draggingScrollbar = false;

    if (0 < e.x && e.x < width - scrollbarWidth)
    {
        draggingRows = true;
        const auto rows = getNumRows();
        if (rows == 0)
            return; // nothing to select, nothing to report

        selectedRow = juce::jlimit (0, rows - 1, e.y / rowHeight + firstVisibleRow);
        selectedProgram = rowPrograms[(size_t) selectedRow];
        selectedBank = rowBanks[(size_t) selectedRow];
        eventCode = rowSelected;
        sendChangeMessage();
        repaint();

        if (e.mods.isPopupMenu())
        {
            eventCode = pressedColumn == categoryColumn ? rightClickedCategory : rightClickedRow;
            sendChangeMessage();
        }
    }
    else if (e.x > width - scrollbarWidth)
    {
        draggingScrollbar = true;
    }
}

void StsGrid::mouseDrag (const juce::MouseEvent& e)
{
    if (draggingScrollbar)
    {
        const auto visible = getVisibleRows();
        const auto travel = rowHeight * visible - thumbHeight;
        if (travel <= 0)
            return;
        const auto thumbPosition = juce::jmin (travel + 1, juce::jmax (0, e.y - thumbHeight));
        setFirstVisibleRow (thumbPosition * (getNumRows() - visible) / travel);
    }
    else if (draggingRows)
    {
        if (e.y > height)
            setFirstVisibleRow (firstVisibleRow + 1);
        else if (e.y < 0)
            setFirstVisibleRow (firstVisibleRow - 1);
    }
}

void StsGrid::mouseUp (const juce::MouseEvent&)
{
    draggingRows = draggingScrollbar = false;
}

void StsGrid::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    if (wheel.deltaY < 0.0f)
        setFirstVisibleRow (firstVisibleRow + 1);
    else if (wheel.deltaY > 0.0f)
        setFirstVisibleRow (firstVisibleRow - 1);
}

} // namespace kelvo
