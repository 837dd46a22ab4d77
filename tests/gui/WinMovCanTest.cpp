#include "support/WidgetTestRig.h"
#include "ui/common/WinMovCan.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
struct ToolRecorder : winToolListener
{
    ToolRecorder (std::vector<std::string>& l, std::string n) : log (l), name (std::move (n)) {}
    void winToolPressed (int code) override { log.push_back (name + " " + std::to_string (code)); }
    std::vector<std::string>& log;
    std::string name;
};
} // namespace

TEST (WinMovCan, AReleaseInThePressedZoneReportsItsCodeLastListenerFirst)
{
    WinMovCan strip;
    EXPECT_EQ (strip.getWidth(), 54);
    EXPECT_EQ (strip.getHeight(), 15);
    std::vector<std::string> log;
    ToolRecorder a (log, "a"), b (log, "b");
    strip.addListener (&a);
    strip.addListener (&b);

    struct Row
    {
        float pressX, releaseX, releaseY;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {5, 10, 7, {"b 120", "a 120"}},
        {17, 17, 7, {"b 120", "a 120"}},
        {18, 30, 7, {"b 121", "a 121"}},
        {40, 53, 7, {"b 122", "a 122"}},
        {5, 25, 7, {}},
        {40, 40, 20, {}},
    };
    for (const auto& row : rows)
    {
        log.clear();
        MouseDriver mouse (strip);
        mouse.press (row.pressX, 7);
        mouse.release (row.releaseX, row.releaseY);
        EXPECT_EQ (log, row.expected) << row.pressX << " -> " << row.releaseX;
    }

    // The zone under the mouse is drawn highlighted.
    strip.mouseMove (mouseEvent (strip, {45, 7}, {}, {45, 7}));
    EXPECT_EQ (strip.getHighlightedCode(), 122);
    const auto lit = paintComponent (strip);
    strip.mouseExit (mouseEvent (strip, {60, 7}, {}, {60, 7}));
    EXPECT_EQ (strip.getHighlightedCode(), 0);
    EXPECT_NE (paintComponent (strip).getPixelAt (38, 2), lit.getPixelAt (38, 2));
    strip.removeListener (&a);
    strip.removeListener (&b);
}
