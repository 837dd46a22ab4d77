#include "support/WidgetTestRig.h"
#include "model/SynthBanks.h"
#include "ui/widgets/ProgBar.h"
#include "ui/widgets/RenameCnt.h"
#include "ui/widgets/StsGrid.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
constexpr int rowHeight = 26;

struct GridFixture : ::testing::Test
{
    ProcessorRig rig;
    MidiCntrState& engine = rig.processor->getEngine();
    StsGrid grid{engine};
    ChangeCounter changes{grid};

    /** As the bank view sets it up: columns 50, 140, 100 and rows 26 high. */
    void SetUp() override
    {
        // Every bank starts with the basic program (category 0), so the categories set below are
        // the only ones.
        for (int b = 0; b < synthbanks::numSynthBanks; ++b)
            engine.getSynthBank (b)->initialise();
        grid.setColumns ({50, 140, 100});
        grid.setRowHeight (rowHeight);
        grid.setFontHeight (15.0f);
        grid.setBounds (0, 0, 350, 260);
    }

    void setCategory (int bank, int programNumber, int category)
    {
        auto record = engine.getSynthBank (bank)->getProgramRecord (programNumber);
        record[program::categoryIndex] = (uint8_t) category;
        engine.getSynthBank (bank)->setProgram (programNumber, record);
    }

    std::vector<std::pair<int, int>> rows() const
    {
        std::vector<std::pair<int, int>> r;
        for (int i = 0; i < grid.getNumRows(); ++i)
            r.emplace_back (grid.getRowBank (i), grid.getRowProgram (i));
        return r;
    }
};
} // namespace

TEST_F (GridFixture, FillsWithABankOrWithACategoryAcrossAllBanks)
{
    grid.fillList (StsGrid::fillByBank, 5);
    ASSERT_EQ (grid.getNumRows(), 128);
    EXPECT_EQ (grid.getRowBank (0), 5);
    EXPECT_EQ (grid.getRowProgram (127), 127);

    setCategory (6, 3, 12);
    setCategory (1, 100, 12);
    setCategory (1, 7, 12);
    setCategory (1, 8, 11);
    grid.fillList (StsGrid::fillByCategory, 12);
    EXPECT_EQ (rows(), (std::vector<std::pair<int, int>>{{1, 7}, {1, 100}, {6, 3}}));

    // A bank being received holds only its first programs; the missing ones are in no category.
    engine.getSynthBank (6)->clear();
    engine.getSynthBank (6)->setProgram (0, engine.getSynthBank (1)->getProgramRecord (8));
    grid.fillList (StsGrid::fillByCategory, 11);
    EXPECT_EQ (rows(), (std::vector<std::pair<int, int>>{{1, 8}, {6, 0}}));
    grid.fillList (StsGrid::fillByCategory, 0);
    EXPECT_EQ (grid.getNumRows(), 6 * 128 + 125);
}

TEST_F (GridFixture, AnEmptyCategorySelectsNothingAndTellsNobody)
{
    grid.fillList (StsGrid::fillByCategory, 25);
    EXPECT_EQ (grid.getNumRows(), 0);
    MouseDriver mouse (grid);
    mouse.click (60, 10);
    mouse.click (60, 10, rightButton);
    EXPECT_EQ (grid.getSelectedRow(), -1);
    EXPECT_EQ (changes.take(), 0);
    paintComponent (grid); // and paints without rows
}

TEST_F (GridFixture, PressSelectsTheRowUnderTheMouseAndReportsCode91)
{
    grid.fillList (StsGrid::fillByBank, 2);
    grid.setFirstVisibleRow (40);
    MouseDriver mouse (grid);
    mouse.click (60, 3 * rowHeight + 5);
    EXPECT_EQ (grid.getSelectedRow(), 43);
    EXPECT_EQ (grid.getSelectedProgram(), 43);
    EXPECT_EQ (grid.getSelectedBank(), 2);
    EXPECT_EQ (grid.getEventCode(), StsGrid::rowSelected);
    EXPECT_EQ (changes.take(), 1);

    // A short list: a press below its last row selects the last row.
    setCategory (3, 9, 4);
    setCategory (4, 1, 4);
    grid.fillList (StsGrid::fillByCategory, 4);
    mouse.click (60, 200);
    EXPECT_EQ (grid.getSelectedRow(), 1);
    EXPECT_EQ (grid.getSelectedBank(), 4);
    EXPECT_EQ (grid.getSelectedProgram(), 1);

    // The scrollbar strip selects nothing.
    changes.take();
    mouse.click (340, 10);
    EXPECT_EQ (grid.getSelectedRow(), 1);
    EXPECT_EQ (changes.take(), 0);
}

TEST_F (GridFixture, RightPressReports88InTheCategoryColumnAnd90Elsewhere)
{
    grid.fillList (StsGrid::fillByBank, 0);
    struct Case
    {
        int x, column, code;
    };
    const Case cases[] = {{10, 0, StsGrid::rightClickedRow},
                          {120, 1, StsGrid::rightClickedRow},
                          {250, 2, StsGrid::rightClickedCategory},
                          {300, -1, StsGrid::rightClickedRow}}; // past the columns, still a row
    for (const auto& k : cases)
    {
        MouseDriver (grid).click ((float) k.x, 30, rightButton);
        EXPECT_EQ (grid.getPressedColumn(), k.column) << k.x;
        EXPECT_EQ (grid.getSelectedRow(), 1) << k.x;
        EXPECT_EQ (changes.take(), 1) << "the two messages coalesce";
        EXPECT_EQ (grid.getEventCode(), k.code) << k.x;
    }
}

TEST_F (GridFixture, ScrollingStaysWithinTheRowsThatAreHidden)
{
    grid.fillList (StsGrid::fillByBank, 0);
    ASSERT_EQ (grid.getVisibleRows(), 10);
    grid.setFirstVisibleRow (500);
    EXPECT_EQ (grid.getFirstVisibleRow(), 118);
    grid.setFirstVisibleRow (-3);
    EXPECT_EQ (grid.getFirstVisibleRow(), 0);

    MouseDriver mouse (grid);
    mouse.wheel (1.0f);
    EXPECT_EQ (grid.getFirstVisibleRow(), 0);
    mouse.wheel (-1.0f);
    mouse.wheel (-0.1f);
    EXPECT_EQ (grid.getFirstVisibleRow(), 2);

    // Scrollbar: travel 26 × 10 − 31 = 229 pixels; the thumb is grabbed 31 pixels above its top.
    mouse.press (340, 0);
    mouse.drag (340, 31 + 229);
    EXPECT_EQ (grid.getFirstVisibleRow(), 118);
    mouse.drag (340, 31 + 100);
    EXPECT_EQ (grid.getFirstVisibleRow(), 100 * 118 / 229);
    mouse.drag (340, -50);
    EXPECT_EQ (grid.getFirstVisibleRow(), 0);
    mouse.release (340, 0);

    // Dragging a row past the list's edges scrolls one row per event.
    mouse.press (60, 100);
    mouse.drag (60, 300);
    mouse.drag (60, 301);
    EXPECT_EQ (grid.getFirstVisibleRow(), 2);
    mouse.drag (60, 100);
    EXPECT_EQ (grid.getFirstVisibleRow(), 2);
    mouse.drag (60, -1);
    EXPECT_EQ (grid.getFirstVisibleRow(), 1);
    mouse.release (60, 100);

    // A list that fits never scrolls.
    setCategory (2, 2, 9);
    grid.fillList (StsGrid::fillByCategory, 9);
    grid.setFirstVisibleRow (3);
    EXPECT_EQ (grid.getFirstVisibleRow(), 0);
}

TEST_F (GridFixture, ShowBankMakesItCurrentOnTheSynthAndListsIt)
{
    rig.processor->getEngine().selectProgram (0, 17, false);
    grid.showBank (6);
    EXPECT_EQ (engine.getCurrentSynthBank(), 6);
    EXPECT_EQ (engine.getCurrentSynthProgram(), 17);
    EXPECT_EQ (grid.getFillMode(), StsGrid::fillByBank);
    EXPECT_EQ (grid.getRowBank (0), 6);

    grid.setSelectedRow (100);
    EXPECT_EQ (grid.getSelectedProgram(), 100);
    EXPECT_LE (grid.getFirstVisibleRow(), 100);
    EXPECT_GT (grid.getFirstVisibleRow() + grid.getVisibleRows(), 100) << "scrolled into view";
    EXPECT_EQ (changes.take(), 0) << "the owner selecting tells nobody";
}

TEST_F (GridFixture, PaintsTheThumbWhereTheListIsScrolled)
{
    grid.fillList (StsGrid::fillByBank, 0);
    const auto thumbAt = [this] (int y)
    {
        const auto p = paintComponent (grid).getPixelAt (350 - 18 + 8, y);
        return p.getBrightness() > 0.25f;
    };
    EXPECT_TRUE (thumbAt (5));
    EXPECT_FALSE (thumbAt (240));
    grid.setFirstVisibleRow (118); // thumb top at 118 × 229 / 118
    EXPECT_FALSE (thumbAt (5));
    EXPECT_TRUE (thumbAt (234));
}

TEST (TransferProgress, BarLengthLabelAndCancelButton)
{
    const juce::SharedResourcePointer<KelvoLook> look;
    ProgBar bar (1191, 700);
    EXPECT_EQ (bar.getBounds(), juce::Rectangle<int> (0, 0, 1191, 700));
    EXPECT_EQ (bar.getLabelText(), "-");
    EXPECT_EQ (bar.getFillWidth(), 0);

    bar.setProgress (1, 63);
    EXPECT_EQ (bar.getFillWidth(), 189);
    EXPECT_EQ (bar.getLabelText(), "U2:64");
    bar.setProgress (7, 400);
    EXPECT_EQ (bar.getValue(), 127);
    EXPECT_EQ (bar.getFillWidth(), 381);
    EXPECT_EQ (bar.getLabelText(), "F4:128");

    auto& cancel = bar.getCancelButton();
    EXPECT_EQ (cancel.getButtonId(), 999);
    EXPECT_EQ (cancel.getButtonKind(), StsBut::barKind);
    EXPECT_EQ (cancel.getBounds(),
               juce::Rectangle<int> ((1191 - 400) / 2 + 319, (700 - 40) / 2 + 40, 60, 24));

    // It dims what it covers.
    const auto image = paintComponent (bar);
    EXPECT_EQ (image.getPixelAt (5, 5), juce::Colour (0x66000000));
}

TEST (RenameBox, HoldsSixteenCharactersAndReportsItsButtons)
{
    const juce::SharedResourcePointer<KelvoLook> look;
    RenameCnt box (30, 40, "A name far longer than sixteen");
    EXPECT_EQ (box.getBounds(), juce::Rectangle<int> (30, 40, 180, 43));
    EXPECT_EQ (box.getText(), "A name far longe");

    box.getEditor().setText ("");
    box.getEditor().insertTextAtCaret ("Seventeen letters");
    EXPECT_EQ (box.getText(), "Seventeen letter");
    EXPECT_TRUE (box.getEditor().getWantsKeyboardFocus());

    struct Recorder : stsbutListener
    {
        std::vector<int> ids;
        void stsbutPressed (int id) override { ids.push_back (id); }
    } owner;
    box.getOkButton().addListener (&owner);
    box.getCancelButton().addListener (&owner);
    EXPECT_EQ (box.getOkButton().getBounds(), juce::Rectangle<int> (130, 26, 50, 18));
    box.getOkButton().getInnerButton()->triggerClick();
    box.getCancelButton().getInnerButton()->triggerClick();
    pumpFor (20);
    EXPECT_EQ (owner.ids, (std::vector<int>{1111, 1113}));
}
