#include "ui/librarian/LibSearchField.h"

#include "librarian/LibraryStore.h"
#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr float fieldFontHeight = 15.0f;
constexpr juce::uint32 fieldFill = 0xff272527, fieldText = 0xfff2f0f0, fieldOutline = 0xff5a5f66, fieldHint = 0xff8c8a8a;
} // namespace

LibSearchField::LibSearchField (LibraryStore& s) : store (s)
{
    setMultiLine (false);
    setFont (arialFont (fieldFontHeight));
    setTextToShowWhenEmpty ("Search names", juce::Colour (fieldHint));
    setColour (juce::TextEditor::backgroundColourId, juce::Colour (fieldFill));
    setColour (juce::TextEditor::textColourId, juce::Colour (fieldText));
    setColour (juce::TextEditor::outlineColourId, juce::Colour (fieldOutline));
    setText (store.getSearchText(), false);
    onTextChange = [this] { store.setSearchText (getText()); };
}

LibSearchField::~LibSearchField() = default;

} // namespace kelvo
