#include "ui/librarian/LibSearchField.h"

#include "librarian/LibraryStore.h"
#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr float fontHeight = 15.0f;
constexpr juce::uint32 fill = 0xff272527, text = 0xfff2f0f0, outline = 0xff5a5f66, hint = 0xff8c8a8a;
} // namespace

LibSearchField::LibSearchField (LibraryStore& s) : store (s)
{
    setMultiLine (false);
    setFont (arialFont (fontHeight));
    setTextToShowWhenEmpty ("Search names", juce::Colour (hint));
    setColour (juce::TextEditor::backgroundColourId, juce::Colour (fill));
    setColour (juce::TextEditor::textColourId, juce::Colour (text));
    setColour (juce::TextEditor::outlineColourId, juce::Colour (outline));
    setText (store.getSearchText(), false);
    onTextChange = [this] { store.setSearchText (getText()); };
}

LibSearchField::~LibSearchField() = default;

} // namespace kelvo
