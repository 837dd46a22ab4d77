#include "ui/librarian/TextSetCurCont.h"

#include "model/Bank_Program.h"
#include "ui/widgets/DarkMenuLook.h"
#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 setCurBackground = 0xff191919;
constexpr float titleFontHeight = 24.0f, setCurEditorFontHeight = 16.0f, setCurBoxFontHeight = 20.0f;
constexpr int setCurFieldWidth = 280, setCurEditorY = 64, setCurEditorHeight = 24;
constexpr int titleX = 20, titleY = 24, nameTitleHeight = 30, replaceTitleHeight = 180;
constexpr int setCurBoxY = 140, setCurBoxHeight = 30;
constexpr int setCurButtonsY = 256, setCurTwoButtonsWidth = 220, setCurButtonStep = 120;
constexpr const char* slotGap = "    ";
} // namespace

TextSetCurCont::TextSetCurCont (Bank_Program& b) : bank (b)
{
    editor.setFont (arialFont (setCurEditorFontHeight));
    editor.setMultiLine (false);
    addAndMakeVisible (editor);
    for (auto* button : {&okButton, &cancelButton})
    {
        button->addListener (this);
        addAndMakeVisible (*button);
    }
}

TextSetCurCont::~TextSetCurCont() = default;

juce::String TextSetCurCont::slotText (int slot) const
{
    return juce::String (slot + 1) + slotGap + bank.getProgramName (slot);
}

void TextSetCurCont::setTargetSlot (int slot)
{
    targetSlot = juce::jlimit (0, program::programsPerBank - 1, slot);
    replaceText = slotText (targetSlot);
    repaint();
}

void TextSetCurCont::open (const juce::String& name, int slot)
{
    editor.setText (name, false);
    setTargetSlot (slot);
    resized();
}

juce::Rectangle<int> TextSetCurCont::getReplaceBox() const noexcept
{
    return {(getWidth() - setCurFieldWidth) / 2, setCurBoxY, setCurFieldWidth, setCurBoxHeight};
}

juce::PopupMenu TextSetCurCont::createSlotMenu() const
{
    juce::PopupMenu menu;
    for (int i = 0; i < program::programsPerBank; ++i)
        menu.addItem (firstSlotItem + i, slotText (i));
    return menu;
}

void TextSetCurCont::slotMenuChosen (int itemId)
{
    const auto slot = itemId - firstSlotItem;
    if (slot >= 0 && slot < program::programsPerBank)
        setTargetSlot (slot);
}

//==============================================================================
void TextSetCurCont::resized()
{
    const int w = getWidth();
    editor.setBounds ((w - setCurFieldWidth) / 2, setCurEditorY, setCurFieldWidth, setCurEditorHeight);
    const int x0 = (w - setCurTwoButtonsWidth) / 2;
    okButton.place (x0, setCurButtonsY);
    cancelButton.place (x0 + setCurButtonStep, setCurButtonsY);
}

void TextSetCurCont::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (setCurBackground));
    g.setColour (juce::Colours::white);
    g.setFont (arialFont (titleFontHeight));
    const int w = getWidth();
    g.drawText ("Preset name:", titleX, titleY, w - 2 * titleX, nameTitleHeight,
                juce::Justification::centred);
    g.drawText ("Replace:", titleX, titleY, w - 2 * titleX, replaceTitleHeight, juce::Justification::centred);

    // The box, grown by a pixel left, top and right and by three at the bottom.
    const auto box = getReplaceBox();
    const auto frame =
        box.withTrimmedLeft (-1).withTrimmedTop (-1).withTrimmedRight (-1).withTrimmedBottom (-3);
    g.setColour (juce::Colours::black);
    g.fillRect (frame);
    g.setColour (juce::Colours::white);
    g.drawRect (frame, 1);
    g.setFont (arialFont (setCurBoxFontHeight));
    g.drawText (replaceText, box, juce::Justification::centred, false);
}

void TextSetCurCont::mouseDown (const juce::MouseEvent& e)
{
    if (!getReplaceBox().contains (e.getPosition()))
        return;
    auto menu = createSlotMenu();
    menu.setLookAndFeel (&menuLook.get());
    juce::Component::SafePointer<TextSetCurCont> self (this);
    menu.showMenuAsync (juce::PopupMenu::Options().withTargetScreenArea (localAreaToGlobal (getReplaceBox())),
                        [self] (int result)
                        {
                            if (self != nullptr)
                                self->slotMenuChosen (result);
                        });
}

void TextSetCurCont::libButClicked (LibBut&, int id)
{
    const auto slot = targetSlot;
    listeners.callLastToFirst (*this,
                               [id, slot] (textSetCurListener& l)
                               {
                                   if (id == okId)
                                       l.setCurrentAccepted (slot);
                                   else if (id == cancelId)
                                       l.setCurrentCancelled();
                               });
}

} // namespace kelvo
