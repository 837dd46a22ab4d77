#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{
class LibBut;
class LibButListener;

/** What the library window and its two pages share: colours, the hint line, the button column and
    the hidden place of pages and dialogs. Message thread. */
namespace libpage
{
constexpr juce::uint32 background = 0xff373535;
constexpr juce::uint32 darkLine = 0xff0a0a0a;
constexpr juce::uint32 hintColour = 0xffcebdbd;
constexpr int hintWidth = 400, hintHeight = 24;
constexpr int listX = 20, listY = 10, listWidth = 334, listRows = 15;
/** The button column stands this far from the right edge. */
constexpr int buttonColumnFromRight = 120;

/** A page's button: caption, id and the hint its page shows while the pointer is over it. */
struct ButtonDef
{
    const char* caption;
    int id;
    const char* hint;
};

/** Makes a page's buttons, in order, shown, each reporting to the page. */
void makeButtons (juce::Component& page, juce::OwnedArray<LibBut>& buttons, const ButtonDef* defs,
                  size_t count, LibButListener& listener);
template <size_t N>
void makeButtons (juce::Component& page, juce::OwnedArray<LibBut>& buttons, const ButtonDef (&defs)[N],
                  LibButListener& listener)
{
    makeButtons (page, buttons, defs, N, listener);
}
/** The button with an id (there must be one). */
LibBut& findButton (const juce::OwnedArray<LibBut>& buttons, int id);

/** The hint line: font height 15, left-aligned, vertically centred. */
void setUpHintLabel (juce::Label& label);
/** A page's background with its dark line at y = 4. */
void paintPageBackground (juce::Graphics& g, int width);
/** Shows or hides a button only when that changes. */
void showButton (LibBut& button, bool shouldShow);
/** Hides a page or dialog: invisible and moved off the page. */
void putAway (juce::Component& c, juce::Rectangle<int> hiddenBounds);
} // namespace libpage

} // namespace kelvo
