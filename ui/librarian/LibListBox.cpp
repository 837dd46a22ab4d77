#include "ui/librarian/LibListBox.h"

#include "model/Categories.h"
#include "ui/widgets/Artwork.h"
#include "ui/widgets/KelvoLook.h"

#include <cmath>

namespace kelvo
{
namespace
{
namespace colour
{
constexpr juce::uint32 background = 0xff373535;
constexpr juce::uint32 row = 0xff3b3b43, selectedRow = 0xff7b7f95, rowOutline = 0xff26262c;
constexpr juce::uint32 number = 0xffaaaaaa, selectedNumber = 0xffeeeeee;
constexpr juce::uint32 name = 0xffcccccc, selectedName = 0xffffffff;
constexpr juce::uint32 category = 0xffbbbbbb, selectedCategory = 0xffffffff;
constexpr juce::uint32 star = 0xffe8c547, hiddenMark = 0xff9a9aa4;
constexpr float hiddenNameAlpha = 0.45f;
constexpr juce::uint32 trackFill = 0x50323030, trackOutline = 0x5a4b4f57;
} // namespace colour

constexpr float numberFontHeight = 14.0f, nameFontHeight = 15.0f, categoryFontHeight = 12.0f;
constexpr int numberX = 7, numberBaseline = 18, numberMaxWidth = 36;
constexpr int nameX = 44, nameBaseline = 22;
constexpr int rowImageInset = 4;         // the row image is this much narrower than the row
constexpr int rowTop = 4, rowMargin = 8; // the rounded row inside its 34 pixels
constexpr int trackX = LibListBox::rowWidth + 3, trackDrawnWidth = 24;
constexpr int trackZoneFromRight = 30; // presses right of rowWidth - 30 belong to the scroll bar
constexpr int thumbGrab = 23;          // where the pointer holds the thumb, from its top
constexpr int emptyTextMargin = 12, emptyTextLines = 3;
constexpr float markCentreY = 17.0f, starX = 186.0f, starOuter = 7.0f, starInner = 3.0f, eyeX = 204.0f;
} // namespace

LibListBox::LibListBox (Source& s) : source (s)
{
    setOpaque (true);
}

LibListBox::~LibListBox() = default;

//==============================================================================
bool LibListBox::rowsFit() const noexcept
{
    return getRowsPerPage() >= source.getNumListRows();
}

int LibListBox::lastFirstRow() const noexcept
{
    return juce::jmax (0, source.getNumListRows() - getRowsPerPage());
}

int LibListBox::getThumbTop() const noexcept
{
    const auto hidden = source.getNumListRows() - getRowsPerPage();
    const auto track = getRowsPerPage() * rowHeight - thumbHeight;
    if (hidden <= 0 || track <= 0)
        return 0;
    return firstVisibleRow * track / hidden;
}

void LibListBox::scrollTo (int row)
{
    const auto first = juce::jlimit (0, lastFirstRow(), row);
    if (first == firstVisibleRow)
        return;
    firstVisibleRow = first;
    repaint();
}

void LibListBox::resetScroll()
{
    stopTimer();
    dragMode = DragMode::none;
    firstVisibleRow = 0;
    repaint();
}

//==============================================================================
void LibListBox::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (colour::background));
    const auto rows = source.getNumListRows();
    for (int i = 0; i < getRowsPerPage() && firstVisibleRow + i < rows; ++i)
        paintRow (g, firstVisibleRow + i, i * rowHeight);
    if (!rowsFit())
        paintScrollBar (g);
    if (rows == 0)
    {
        g.setColour (juce::Colour (colour::number));
        g.setFont (arialFont (nameFontHeight));
        g.drawFittedText (source.getEmptyListText(),
                          getLocalBounds().withTrimmedRight (trackWidth).reduced (emptyTextMargin),
                          juce::Justification::centredTop, emptyTextLines);
    }
}

void LibListBox::paintRow (juce::Graphics& g, int row, int y) const
{
    const bool selected = row == source.getSelectedListRow();
    const auto style = selected ? juce::Font::bold : juce::Font::plain;
    const auto body = juce::Rectangle<float> (0.0f, (float)(y + rowTop), (float)(rowWidth - rowImageInset),
                                              (float)(rowHeight - rowMargin))
                          .reduced (1.0f); // keeps the 2-pixel outline inside the row

    g.setColour (juce::Colour (selected ? colour::selectedRow : colour::row));
    g.fillRoundedRectangle (body, 4.0f);
    g.setColour (juce::Colour (colour::rowOutline));
    g.drawRoundedRectangle (body, 4.0f, 2.0f);

    // Large libraries reach five-digit numbers: those are narrowed to stay clear of the name.
    auto numberFont = arialFont (numberFontHeight, style);
    const auto number = juce::String (row + 1);
    if (const auto w = numberFont.getStringWidthFloat (number); w > (float)numberMaxWidth)
        numberFont.setHorizontalScale ((float)numberMaxWidth / w);
    g.setFont (numberFont);
    g.setColour (juce::Colour (selected ? colour::selectedNumber : colour::number));
    g.drawSingleLineText (number, numberX, y + numberBaseline);

    const auto marks = source.getListRowMarks (row);
    const auto nameColour = juce::Colour (selected ? colour::selectedName : colour::name);
    g.setFont (arialFont (nameFontHeight, style));
    g.setColour ((marks & rowHidden) != 0 ? nameColour.withMultipliedAlpha (colour::hiddenNameAlpha)
                                          : nameColour);
    g.drawSingleLineText (source.getListRowName (row), nameX, y + nameBaseline);
    paintMarks (g, marks, (float)y + markCentreY);

    g.setFont (arialFont (categoryFontHeight, style));
    g.setColour (juce::Colour (selected ? colour::selectedCategory : colour::category));
    g.drawText (categoryName (source.getListRowCategory (row)), 0, y + 6, rowWidth - 20, 20,
                juce::Justification::bottomRight, false);
}

void LibListBox::paintMarks (juce::Graphics& g, int marks, float centreY)
{
    if ((marks & rowFavourite) != 0)
    {
        juce::Path star;
        star.addStar ({starX, centreY}, 5, starInner, starOuter, 0.0f);
        g.setColour (juce::Colour (colour::star));
        g.fillPath (star);
    }
    if ((marks & rowHidden) != 0)
    {
        // A closed eye: the lid's curve and its lashes.
        juce::Path eye;
        eye.startNewSubPath (eyeX - 6.0f, centreY - 1.0f);
        eye.quadraticTo (eyeX, centreY + 5.0f, eyeX + 6.0f, centreY - 1.0f);
        for (const float dx : {-4.0f, 0.0f, 4.0f})
        {
            eye.startNewSubPath (eyeX + dx, centreY + (dx == 0.0f ? 2.0f : 1.0f));
            eye.lineTo (eyeX + dx * 1.3f, centreY + 5.0f);
        }
        g.setColour (juce::Colour (colour::hiddenMark));
        g.strokePath (
            eye, juce::PathStrokeType (1.5f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    }
}

void LibListBox::paintScrollBar (juce::Graphics& g) const
{
    const auto track =
        juce::Rectangle<float> ((float)trackX, 0.0f, (float)trackDrawnWidth, (float)getHeight());
    g.setColour (juce::Colour (colour::trackFill));
    g.fillRoundedRectangle (track, 3.0f);
    g.setColour (juce::Colour (colour::trackOutline));
    g.drawRoundedRectangle (track.reduced (0.5f), 3.0f, 1.0f);

    const auto thumb = artwork::listThumb();
    g.drawImageAt (thumb, trackX + (trackDrawnWidth - thumb.getWidth()) / 2, getThumbTop());
}

//==============================================================================
void LibListBox::mouseDown (const juce::MouseEvent& e)
{
    stopTimer();
    dragMode = DragMode::none;
    const auto rows = source.getNumListRows();

    if (e.x > 0 && e.x < rowWidth - trackZoneFromRight)
    {
        if (rows == 0)
            return;
        dragMode = DragMode::selecting;
        source.listRowPressed (juce::jlimit (0, rows - 1, e.y / rowHeight + firstVisibleRow), e);
        repaint();
        return;
    }

    if (e.x <= rowWidth - trackZoneFromRight || rowsFit())
        return;

    const auto thumbTop = getThumbTop();
    if (e.y > thumbTop && e.y < thumbTop + thumbHeight)
    {
        dragMode = DragMode::thumb;
        return;
    }
    repeatStep = e.y <= thumbTop ? -1 : 1;
    scrollTo (firstVisibleRow + repeatStep);
    startTimer (repeatIntervalMs);
}

void LibListBox::mouseDrag (const juce::MouseEvent& e)
{
    if (dragMode == DragMode::thumb)
    {
        const auto track = getRowsPerPage() * rowHeight - thumbHeight;
        const auto hidden = source.getNumListRows() - getRowsPerPage();
        if (track <= 0 || hidden <= 0)
            return;
        const auto grabbed = juce::jmin (juce::jmax (0, e.y - thumbGrab), track + 1);
        scrollTo ((int)std::floor ((double)grabbed * hidden / track));
    }
    else if (dragMode == DragMode::selecting)
    {
        if (e.y > getHeight())
            scrollTo (firstVisibleRow + 1);
        else if (e.y < 0)
            scrollTo (firstVisibleRow - 1);
    }
}

void LibListBox::mouseUp (const juce::MouseEvent&)
{
    stopTimer();
}

void LibListBox::timerCallback()
{
    scrollTo (firstVisibleRow + repeatStep);
}

void LibListBox::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    if (rowsFit() || wheel.deltaY == 0.0f)
        return;
    scrollTo (firstVisibleRow + (wheel.deltaY < 0.0f ? 1 : -1));
}

void LibListBox::mouseDoubleClick (const juce::MouseEvent& e)
{
    // Only on a row: two quick clicks on the scroll bar or below the last row are no choice.
    const bool inRowZone = e.x > 0 && e.x < rowWidth - trackZoneFromRight;
    if (inRowZone && e.y >= 0 && e.y / rowHeight + firstVisibleRow < source.getNumListRows())
        source.listDoubleClicked();
}

} // namespace kelvo
