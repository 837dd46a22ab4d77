#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/** Colours that recur across the editor, in one place. */
namespace colours
{
constexpr juce::uint32 menuBackground = 0xff000000;
constexpr juce::uint32 menuText = 0xffffffff;
constexpr juce::uint32 menuHighlight = 0xff808080;
} // namespace colours

/**
    The one look of every popup menu in the editor: black background, white text and headers,
    grey highlight with white text.

    Components that show menus hold a juce::SharedResourcePointer<DarkMenuLook>, so one instance
    serves the whole editor and goes away with it; apply it with PopupMenu::setLookAndFeel.
*/
class DarkMenuLook final : public juce::LookAndFeel_V2
{
public:
    DarkMenuLook();

    /** Gives another look the menu colours (for a look whose combo boxes open menus). */
    static void applyMenuColours (juce::LookAndFeel& look);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DarkMenuLook)
};

} // namespace kelvo
