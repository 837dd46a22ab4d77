#include "librarian/LibraryStore.h"
#include "librarian/ProgramLibrary.h"
#include "model/Categories.h"
#include "support/WidgetTestRig.h"
#include "ui/librarian/CatContainer.h"
#include "ui/librarian/LibBut.h"
#include "ui/librarian/LibSearchField.h"
#include "ui/librarian/LibraryDialogs.h"
#include "ui/librarian/SimpleLabel.h"
#include "ui/librarian/StBut.h"
#include "ui/librarian/StsFile.h"
#include "ui/librarian/TextInputCont.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
ProgramRecord programWith (int seed, int category = 0)
{
    auto r = initialProgram();
    r[20] = (uint8_t)(seed % 165);
    r[21] = (uint8_t)(seed / 165);
    r[program::categoryIndex] = (uint8_t)category;
    return r;
}

void fill (LibraryStore& store, int count)
{
    for (int i = 0; i < count; ++i)
        store.addProgram ("Program " + juce::String (i + 1), programWith (i, i % 26));
    store.rebuildView (LibraryStore::FilterMode::all);
}

struct ListRecorder : StsFileListener
{
    void listNotification (int code, int value) override { calls.push_back ({code, value}); }
    void listDoubleClicked() override { ++doubleClicks; }
    std::vector<std::pair<int, int>> calls;
    int doubleClicks = 0;
};

/** The library list as the library page places it: 334 x 510, 15 rows. */
struct ListRig
{
    juce::SharedResourcePointer<KelvoLook> look;
    LibraryStore store;
    StsFile list{store};
    ListRecorder recorder;
    MouseDriver mouse{list};

    explicit ListRig (int rows)
    {
        fill (store, rows);
        list.setBounds (20, 10, 334, 510);
        list.addListener (&recorder);
    }
    ~ListRig() { list.removeListener (&recorder); }
};
} // namespace

//==============================================================================
TEST (LibraryList, Gestures)
{
    enum class Gesture
    {
        press,
        wheelDown,
        wheelUp,
        thumbDragToBottom,
        trackPressBelowThumb,
        dragBelowBottomEdge,
        doubleClick
    };
    struct Case
    {
        const char* what;
        int rows;
        int firstRow; // scrolled to before the gesture
        Gesture gesture;
        float x, y;
        int selectedRow; // afterwards; -1 for none
        int firstRowAfter;
    };
    const Case cases[] = {
        {"press on a row", 40, 0, Gesture::press, 100, 40, 1, 0},
        {"press on a scrolled row", 40, 10, Gesture::press, 100, 40, 11, 10},
        {"press below the last row", 5, 0, Gesture::press, 100, 400, 4, 0},
        {"press at the scroll zone's edge", 40, 0, Gesture::press, 272, 40, -1, 0},
        {"press at the left edge", 40, 0, Gesture::press, 0, 40, -1, 0},
        {"press on an empty list", 0, 0, Gesture::press, 100, 40, -1, 0},
        {"wheel with 15 rows", 15, 0, Gesture::wheelDown, 100, 40, -1, 0},
        {"wheel down with 16 rows", 16, 0, Gesture::wheelDown, 100, 40, -1, 1},
        {"wheel down at the end", 16, 1, Gesture::wheelDown, 100, 40, -1, 1},
        {"wheel up", 40, 5, Gesture::wheelUp, 100, 40, -1, 4},
        {"thumb to the bottom of 128 rows", 128, 0, Gesture::thumbDragToBottom, 310, 20, -1, 113},
        {"track below the thumb", 128, 0, Gesture::trackPressBelowThumb, 310, 300, -1, 1},
        {"drag past the bottom while selecting", 40, 0, Gesture::dragBelowBottomEdge, 100, 40, 1, 1},
        {"double-click", 40, 0, Gesture::doubleClick, 100, 40, 1, 0},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        ListRig rig (c.rows);
        rig.list.scrollTo (c.firstRow);
        rig.recorder.calls.clear();

        switch (c.gesture)
        {
        case Gesture::press:
            rig.mouse.press (c.x, c.y);
            break;
        case Gesture::wheelDown:
            rig.mouse.wheel (-0.5f);
            break;
        case Gesture::wheelUp:
            rig.mouse.wheel (0.5f);
            break;
        case Gesture::thumbDragToBottom:
            rig.mouse.press (c.x, c.y);
            rig.mouse.drag (c.x, 2000);
            break;
        case Gesture::trackPressBelowThumb:
            rig.mouse.press (c.x, c.y);
            EXPECT_TRUE (rig.list.isRepeating());
            break;
        case Gesture::dragBelowBottomEdge:
            rig.mouse.press (c.x, c.y);
            rig.mouse.drag (c.x, 530);
            break;
        case Gesture::doubleClick:
            rig.mouse.press (c.x, c.y);
            rig.list.mouseDoubleClick (mouseEvent (rig.list, {c.x, c.y}, leftButton, {c.x, c.y}));
            EXPECT_EQ (rig.recorder.doubleClicks, 1);
            break;
        }
        rig.mouse.release (c.x, c.y);
        EXPECT_FALSE (rig.list.isRepeating());

        EXPECT_EQ (rig.store.getSelectedRow(), c.selectedRow);
        EXPECT_EQ (rig.list.getFirstVisibleRow(), c.firstRowAfter);
        if (c.selectedRow >= 0)
        {
            EXPECT_EQ (rig.recorder.calls.back(),
                       std::make_pair (201, rig.store.getRowEntry (c.selectedRow)));
        }
        else
        {
            EXPECT_TRUE (rig.recorder.calls.empty());
        }
    }
}

TEST (LibraryList, ScrollingStaysInsideTheListAndARebuildReturnsToTheTop)
{
    ListRig rig (128);
    rig.list.scrollTo (1000);
    EXPECT_EQ (rig.list.getFirstVisibleRow(), 113);
    EXPECT_EQ (rig.list.getThumbTop(), 510 - 43);
    rig.list.scrollTo (-5);
    EXPECT_EQ (rig.list.getThumbTop(), 0);

    rig.list.scrollTo (40);
    rig.store.rebuildView (LibraryStore::FilterMode::all);
    EXPECT_EQ (rig.list.getFirstVisibleRow(), 0);
    rig.list.scrollTo (40); // the same request again moves the view after a rebuild
    EXPECT_EQ (rig.list.getFirstVisibleRow(), 40);

    // Fewer rows after a rebuild: the view cannot stay past the end.
    rig.store.setFilterCategory (3);
    rig.store.rebuildView (LibraryStore::FilterMode::category);
    rig.list.scrollTo (40);
    EXPECT_EQ (rig.list.getFirstVisibleRow(), 0);

    // Holding the track below the thumb keeps scrolling, a row every 200 ms, until the release.
    rig.store.rebuildView (LibraryStore::FilterMode::all);
    rig.mouse.press (310, 400);
    EXPECT_EQ (rig.list.getFirstVisibleRow(), 1);
    EXPECT_TRUE (pumpUntil ([&] { return rig.list.getFirstVisibleRow() >= 3; }, 3000));
    rig.mouse.release (310, 400);
    const auto stoppedAt = rig.list.getFirstVisibleRow();
    pumpFor (450);
    EXPECT_EQ (rig.list.getFirstVisibleRow(), stoppedAt);

    // A list too short for the thumb scrolls by the wheel and never divides by zero.
    rig.list.setSize (334, 34);
    rig.list.scrollTo (3);
    rig.mouse.press (310, 10);
    rig.mouse.drag (310, 30);
    rig.mouse.release (310, 30);
    EXPECT_EQ (rig.list.getThumbTop(), 0);
}

TEST (LibraryList, PaintsRowsSelectionAndTheScrollBarOnlyWhenNeeded)
{
    for (const int rows : {15, 16})
    {
        ListRig rig (rows);
        rig.store.selectRow (2);
        const auto image = paintComponent (rig.list);
        const auto background = juce::Colour (0xff373535);
        EXPECT_EQ (image.getPixelAt (150, 2 * 34 + 17), juce::Colour (0xff7b7f95)) << rows;
        EXPECT_EQ (image.getPixelAt (150, 1 * 34 + 6), juce::Colour (0xff3b3b43)) << rows;
        EXPECT_EQ (image.getPixelAt (150, 1), background) << rows;
        const bool trackDrawn = image.getPixelAt (305 + 12, 300) != background;
        EXPECT_EQ (trackDrawn, rows > 15);
    }
}

TEST (LibraryList, SearchFieldNarrowsTheList)
{
    ListRig rig (30);
    LibSearchField search (rig.store);
    rig.list.scrollTo (10);
    search.setText ("program 2", true); // the change arrives through the message loop
    EXPECT_TRUE (pumpUntil ([&] { return rig.store.getNumRows() == 11; })); // 2 and 20..29
    EXPECT_EQ (rig.list.getFirstVisibleRow(), 0);
    search.setText ({}, true);
    EXPECT_TRUE (pumpUntil ([&] { return rig.store.getNumRows() == 30; }));
}

//==============================================================================
struct ButtonRecorder : LibButListener
{
    void libButClicked (LibBut&, int id) override { events.add ("clicked " + juce::String (id)); }
    void libButEntered (LibBut&, int id) override { events.add ("entered " + juce::String (id)); }
    void libButLeft (LibBut&, int id) override { events.add ("left " + juce::String (id)); }
    juce::StringArray events;
};

TEST (LibBut, ReportsOnThePressAndPlacesItselfAtItsSize)
{
    juce::SharedResourcePointer<KelvoLook> look;
    LibBut button ("LOAD", 1319, 12.0f);
    button.setSize (30, 10);
    button.place (5, 7);
    EXPECT_EQ (button.getBounds(), juce::Rectangle<int> (5, 7, 100, 34));

    ButtonRecorder recorder;
    button.addListener (&recorder);
    button.addListener (&recorder);
    MouseDriver mouse (button);
    button.mouseEnter (mouseEvent (button, {10, 10}, {}, {10, 10}));
    mouse.press (10, 10);
    EXPECT_EQ (recorder.events, juce::StringArray ({"entered 1319", "clicked 1319"}));
    mouse.release (500, 500); // released elsewhere: the click stands
    button.mouseExit (mouseEvent (button, {500, 500}, {}, {10, 10}));
    EXPECT_EQ (recorder.events, juce::StringArray ({"entered 1319", "clicked 1319", "left 1319"}));
    button.removeListener (&recorder);

    const auto image = paintComponent (button);
    EXPECT_NE (image.getPixelAt (50, 17), image.getPixelAt (50, 2)); // the body, not the clear margin
}

//==============================================================================
struct CategoryRecorder : CatListener, StButListener
{
    void categoryChosen (int index) override { chosen.push_back (index); }
    void stButEvent (int code, int id) override { keyEvents.push_back ({code, id}); }
    std::vector<int> chosen;
    std::vector<std::pair<int, int>> keyEvents;
};

TEST (CatContainer, LayoutCaptionsAndChoices)
{
    juce::SharedResourcePointer<KelvoLook> look;
    CatContainer chooser;
    chooser.setBounds (400, 140, 440, 380);

    struct Case
    {
        int key;
        juce::Rectangle<int> bounds;
        juce::String caption;
    };
    const Case cases[] = {
        {0, {0, 0, 100, 18}, "-----"},
        {5, {110, 46, 100, 18}, categoryName (5)},
        {25, {110, 276, 100, 18}, categoryName (25)},
        {26, {330, 276, 100, 18}, "LIST ALL"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ (chooser.getKey (c.key).getBounds(), c.bounds) << c.key;
        EXPECT_EQ (chooser.getKey (c.key).getCaption(), c.caption) << c.key;
        EXPECT_EQ (chooser.getLabel (c.key).getBounds(), c.bounds.translated (0, 18)) << c.key;
    }
    chooser.setVisible (true);
    EXPECT_EQ (chooser.getComponentAt (225, 280), &chooser); // the cell before LIST ALL stays empty

    CategoryRecorder recorder;
    chooser.addListener (&recorder);
    auto& key = chooser.getKey (7);
    key.addListener (&recorder);
    MouseDriver mouse (key);

    mouse.press (50, 9);
    EXPECT_TRUE (key.isPressed());
    mouse.release (150, 9); // outside the key: no choice
    EXPECT_FALSE (key.isPressed());
    mouse.click (50, 9);
    EXPECT_TRUE (recorder.chosen.empty()); // reported later, on the message thread
    ASSERT_TRUE (pumpUntil ([&] { return !recorder.chosen.empty(); }));
    pumpFor (20);
    EXPECT_EQ (recorder.chosen, std::vector<int>{7});
    EXPECT_EQ (recorder.keyEvents, (std::vector<std::pair<int, int>>{{1215, 7}, {1215, 7}, {1216, 7}}));
    key.removeListener (&recorder);
    chooser.removeListener (&recorder);

    chooser.setLabelText (26, "Size: 12");
    EXPECT_EQ (chooser.getLabel (26).getText(), "Size: 12");
}

//==============================================================================
struct AnswerRecorder : textmsgListener
{
    void textAccepted (int code, int tag) override { answers.push_back ({"accepted", code, tag}); }
    void textDeclined (int code, int tag) override { answers.push_back ({"declined", code, tag}); }
    void textCancelled (int code, int tag) override { answers.push_back ({"cancelled", code, tag}); }
    struct Answer
    {
        juce::String what;
        int code, tag;
        bool operator== (const Answer&) const = default;
    };
    std::vector<Answer> answers;
};

TEST (TextInputCont, LaysOutEachUseAndReportsItsAnswers)
{
    juce::SharedResourcePointer<KelvoLook> look;
    TextInputCont dialog;
    dialog.setBounds (0, 0, 1000, 528);
    constexpr int w = 1000;

    struct Case
    {
        const char* cancel;
        const char* accept;
        const char* no;
        int category;
        int okX, noX, cancelX; // -1: hidden
        int buttonsY;
    };
    const Case cases[] = {
        {"CANCEL", "YES", "NO", -1, (w - 340) / 2, (w - 340) / 2 + 120, (w - 340) / 2 + 240, 116},
        {"CANCEL", "OK", "", 4, (w - 220) / 2, -1, (w - 220) / 2 + 120, 136},
        {"", "", "OK", -1, -1, (w - 100) / 2, -1, 116}, // a lone button stands in the middle
    };
    for (const auto& c : cases)
    {
        dialog.open ("Question", "Name", c.cancel, c.accept, c.no, c.category, 256, 5);
        const std::pair<LibBut*, int> expected[] = {{&dialog.getOkButton(), c.okX},
                                                    {&dialog.getNoButton(), c.noX},
                                                    {&dialog.getCancelButton(), c.cancelX}};
        for (auto [button, x] : expected)
        {
            EXPECT_EQ (button->isVisible(), x >= 0) << button->getId();
            if (x >= 0)
            {
                EXPECT_EQ (button->getBounds(), juce::Rectangle<int> (x, c.buttonsY, 100, 34))
                    << button->getId();
            }
        }
        EXPECT_EQ (dialog.isCategoryBoxShown(), c.category >= 0);
    }
    EXPECT_EQ (dialog.getOkButton().getCaption(), "");
    EXPECT_EQ (dialog.getNoButton().getCaption(), "OK");

    dialog.open ("Rename Fat Bass:", "Fat Bass", "CANCEL", "OK", "", 4, 1280, 0);
    dialog.showEditor (true);
    EXPECT_EQ (dialog.getCategoryBox(), juce::Rectangle<int> ((w - 280) / 2, 94, 280, 30));
    EXPECT_EQ (dialog.getEditor().getBounds(), juce::Rectangle<int> ((w - 280) / 2, 64, 280, 24));
    EXPECT_EQ (dialog.getText(), "Fat Bass");
    dialog.categoryMenuChosen (-1);
    EXPECT_EQ (dialog.getCategory(), 4);
    dialog.categoryMenuChosen (9);
    EXPECT_EQ (dialog.getCategory(), 9);

    AnswerRecorder recorder;
    dialog.addListener (&recorder);
    dialog.setVisible (true);
    for (auto* b : {&dialog.getOkButton(), &dialog.getNoButton(), &dialog.getCancelButton()})
        MouseDriver (*b).press (10, 10);
    EXPECT_EQ (recorder.answers, (std::vector<AnswerRecorder::Answer>{
                                     {"accepted", 1280, 0}, {"declined", 1280, 0}, {"cancelled", 1280, 0}}));
    EXPECT_TRUE (dialog.isVisible()); // the listener hides it, not the dialog
    dialog.removeListener (&recorder);
}

TEST (TextInputCont, TheLibraryPageUses)
{
    juce::SharedResourcePointer<KelvoLook> look;
    TextInputCont dialog;
    dialog.setBounds (0, 0, 1000, 528);

    struct Case
    {
        LibraryDialog use;
        const char* message;
        const char* ok;
        const char* no;
        const char* cancel;
        int code, tag;
        bool prompt;
    };
    const Case cases[] = {
        {LibraryDialog::appendPrograms, "Append Programs?", "YES", "NO", "CANCEL", 256, 5, false},
        {LibraryDialog::saveBeforeImport, "Save the Current Library?", "YES", "NO", "CANCEL", 256, 6, false},
        {LibraryDialog::saveBeforeClear, "Save Current Library?", "YES", "NO", "CANCEL", 768, 6, false},
        {LibraryDialog::deleteEntry, "Delete Fat Bass ?", "OK", "", "CANCEL", 1024, 0, false},
        {LibraryDialog::renameEntry, "Rename Fat Bass:", "OK", "", "CANCEL", 1280, 0, true},
        {LibraryDialog::programName, "Program name:", "OK", "", "CANCEL", 1536, 0, true},
        {LibraryDialog::alreadyInLibrary, "Fat Bass Program already exists in the library.", "", "OK", "", 0,
         0, false},
    };
    for (const auto& c : cases)
    {
        openLibraryDialog (dialog, c.use, "Fat Bass        ", 11);
        SCOPED_TRACE (c.message);
        EXPECT_EQ (dialog.getMessageLabel().getText(), c.message);
        const std::pair<LibBut*, const char*> buttons[] = {{&dialog.getOkButton(), c.ok},
                                                           {&dialog.getNoButton(), c.no},
                                                           {&dialog.getCancelButton(), c.cancel}};
        for (auto [button, caption] : buttons)
        {
            EXPECT_EQ (button->isVisible(), *caption != 0) << button->getId();
            EXPECT_EQ (button->getCaption(), caption) << button->getId();
        }
        EXPECT_EQ (dialog.getAcceptCode(), c.code);
        EXPECT_EQ (dialog.getTag(), c.tag);
        EXPECT_EQ (dialog.getEditor().isVisible(), c.prompt);
        EXPECT_EQ (dialog.isCategoryBoxShown(), c.prompt);
        if (c.prompt)
        {
            EXPECT_EQ (dialog.getText(), "Fat Bass        ");
            EXPECT_EQ (dialog.getCategory(), 11);
        }
    }
}

//==============================================================================
TEST (ProgramLibraryApply, TheEntryBecomesTheCurrentProgramAndNothingIsSent)
{
    ProcessorRig p;
    auto& processor = *p;
    processor.getEngine().selectOutputRow (1);
    ASSERT_TRUE (processor.getEngine().isOutputOpen());
    processor.setCurrentProgram (5);
    ASSERT_TRUE (processor.getEngine().waitUntilSent (2000));
    p.rig.sink.take();

    ProgramLibrary library (
        ProgramLibrary::defaultFileIn (p.temp.folder), processor.getPluginBank(),
        [&processor] (const juce::MemoryBlock& chunk)
        { processor.setCurrentProgramStateInformation (chunk.getData(), (int)chunk.getSize()); });
    library.loadDefaultFile();
    library.getStore().addProgram ("From Library", programWith (77, 6));
    const auto entry = library.getStore().getEntryRecord (0);
    ASSERT_NE (processor.getPluginBank().getEditBufferRecord(), entry);

    library.applySelected();
    EXPECT_EQ (processor.getPluginBank().getEditBufferRecord(), entry);
    EXPECT_EQ (processor.getPluginBank().getProgramRecord (5), entry);
    EXPECT_EQ (processor.getProgramName (5).trimEnd(), "From Library");
    EXPECT_TRUE (processor.getEngine().waitUntilSent (2000));
    EXPECT_EQ (p.rig.sink.size(), 0u);

    // The port is live: a parameter sent to the synth does arrive.
    processor.setParameterFromEditor (20, 10, true, true);
    EXPECT_TRUE (processor.getEngine().waitUntilSent (2000));
    EXPECT_GT (p.rig.sink.size(), 0u);
}
