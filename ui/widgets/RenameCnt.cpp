#include "ui/widgets/RenameCnt.h"

#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr int boxWidth = 180, boxHeight = 43;
constexpr int editorHeight = 24;
constexpr int buttonY = 26, buttonWidth = 50, buttonHeight = 18;
constexpr int okX = 130, cancelX = 0;
constexpr float editorFontHeight = 14.0f;
constexpr juce::uint32 background = 0xff221414;
constexpr juce::uint32 selectionColour = 0x40ffffff;
} // namespace

RenameCnt::RenameCnt (int x, int y, const juce::String& text)
{
    setBounds (x, y, boxWidth, boxHeight);

    editor.setFont (arialFont (editorFontHeight));
    editor.setColour (juce::TextEditor::highlightColourId, juce::Colour (selectionColour));
    editor.setInputRestrictions (maxLength);
    editor.setWantsKeyboardFocus (true);
    // The restriction only filters typing; a longer text given here is cut the same way.
    editor.setText (text.substring (0, maxLength), juce::dontSendNotification);
    editor.setBounds (0, 0, boxWidth, editorHeight);
    addAndMakeVisible (editor);

    okButton.setupButton (okX, buttonY, buttonWidth, buttonHeight, true);
    cancelButton.setupButton (cancelX, buttonY, buttonWidth, buttonHeight, true);
    addAndMakeVisible (okButton);
    addAndMakeVisible (cancelButton);
}

RenameCnt::~RenameCnt() = default;

void RenameCnt::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (background));
}

} // namespace kelvo
