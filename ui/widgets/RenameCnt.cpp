#include "ui/widgets/RenameCnt.h"

#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr int renameBoxWidth = 180, renameBoxHeight = 43;
constexpr int renameEditorHeight = 24;
constexpr int renameButtonY = 26, renameButtonWidth = 50, renameButtonHeight = 18;
constexpr int renameOkX = 130, renameCancelX = 0;
constexpr float renameEditorFontHeight = 14.0f;
constexpr juce::uint32 renameBackground = 0xff221414;
constexpr juce::uint32 selectionColour = 0x40ffffff;
} // namespace

RenameCnt::RenameCnt (int x, int y, const juce::String& text)
{
    setBounds (x, y, renameBoxWidth, renameBoxHeight);

    editor.setFont (arialFont (renameEditorFontHeight));
    editor.setColour (juce::TextEditor::highlightColourId, juce::Colour (selectionColour));
    editor.setInputRestrictions (maxLength);
    editor.setWantsKeyboardFocus (true);
    // The restriction only filters typing; a longer text given here is cut the same way.
    editor.setText (text.substring (0, maxLength), juce::dontSendNotification);
    editor.setBounds (0, 0, renameBoxWidth, renameEditorHeight);
    addAndMakeVisible (editor);

    okButton.setupButton (renameOkX, renameButtonY, renameButtonWidth, renameButtonHeight, true);
    cancelButton.setupButton (renameCancelX, renameButtonY, renameButtonWidth, renameButtonHeight, true);
    addAndMakeVisible (okButton);
    addAndMakeVisible (cancelButton);
}

RenameCnt::~RenameCnt() = default;

void RenameCnt::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (renameBackground));
}

} // namespace kelvo
