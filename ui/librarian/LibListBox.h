#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/**
    The librarian's scrolling list of program rows (number, name, category), with a scroll bar
    whose track scrolls a row at a time and repeats while held, a draggable thumb, the wheel,
    drag-scrolling past the top or bottom edge while selecting, and double-clicks. The library and
    the preset bank show their programs through it, each as a Source.

    The first visible row is the one scroll position: it is always kept within the list, and the
    thumb always shows it. Message thread only.
*/
class LibListBox : public juce::Component, private juce::Timer
{
public:
    /** What the list shows and what its gestures do. */
    class Source
    {
    public:
        virtual ~Source() = default;
        virtual int getNumListRows() const = 0;
        virtual juce::String getListRowName (int row) const = 0;
        /** A category number; a number above the last category shows no category. */
        virtual int getListRowCategory (int row) const = 0;
        /** The selected row, or -1. */
        virtual int getSelectedListRow() const = 0;
        /** A press on a listed row (its index is within the list). */
        virtual void listRowPressed (int row, const juce::MouseEvent& e) = 0;
        /** A double-click on a listed row. */
        virtual void listDoubleClicked() = 0;
        /** The marks a row shows: rowFavourite and rowHidden or'ed (none by default). */
        virtual int getListRowMarks (int) const { return 0; }
        /** What an empty list says instead of rows (nothing by default). */
        virtual juce::String getEmptyListText() const { return {}; }
    };

    /** Marks a row shows: a star, and a hidden row's name dimmed with a closed eye. */
    enum RowMark
    {
        rowFavourite = 1,
        rowHidden = 2
    };

    static constexpr int rowHeight = 34;
    static constexpr int rowWidth = 302;
    static constexpr int thumbHeight = 43;
    static constexpr int trackWidth = 36;
    static constexpr int repeatIntervalMs = 200;

    explicit LibListBox (Source& source);
    ~LibListBox() override;

    int getRowsPerPage() const noexcept { return getHeight() / rowHeight; }
    /** Whether every row fits (then there is no scroll bar and the wheel does nothing). */
    bool rowsFit() const noexcept;
    int getFirstVisibleRow() const noexcept { return firstVisibleRow; }
    /** The top of the thumb in the list's coordinates. */
    int getThumbTop() const noexcept;

    /** Shows the given row first, as far as the list allows. */
    void scrollTo (int row);
    /** Back to the top, as after the list was rebuilt. */
    void resetScroll();
    bool isRepeating() const noexcept { return isTimerRunning(); }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    void mouseDoubleClick (const juce::MouseEvent& e) override;

private:
    enum class DragMode
    {
        none,
        selecting,
        thumb
    };

    void timerCallback() override;
    int lastFirstRow() const noexcept;
    void paintRow (juce::Graphics& g, int row, int y) const;
    void paintScrollBar (juce::Graphics& g) const;
    static void paintMarks (juce::Graphics& g, int marks, float centreY);

    Source& source;
    int firstVisibleRow = 0;
    DragMode dragMode = DragMode::none;
    int repeatStep = 0; // -1 up, +1 down

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LibListBox)
};

} // namespace kelvo
