#include "ui/librarian/TextInputCont.h"

#include "model/Categories.h"
#include "ui/widgets/CategoryMenu.h"
#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 inputBackground = 0xff191919;
constexpr juce::uint32 inputBoxFill = 0xff272527, boxText = 0xfff2f0f0;
constexpr float messageFontHeight = 24.0f, inputEditorFontHeight = 16.0f, inputBoxFontHeight = 15.0f;
constexpr int inputFieldWidth = 280, inputEditorHeight = 24, inputEditorY = 64;
constexpr int messageX = 20, messageY = 24, messageHeight = 30;
constexpr int inputBoxY = 94, inputBoxHeight = 30;
constexpr int buttonsYWithBox = 136, inputButtonsY = 116, inputButtonStep = 120;
constexpr int threeButtonsWidth = 340, inputTwoButtonsWidth = 220;
} // namespace

TextInputCont::TextInputCont()
{
    messageLabel.setFont (arialFont (messageFontHeight));
    messageLabel.setJustificationType (juce::Justification::centred);
    messageLabel.setColour (juce::Label::textColourId, juce::Colours::white);
    addAndMakeVisible (messageLabel);

    editor.setFont (arialFont (inputEditorFontHeight));
    editor.setMultiLine (false);
    addChildComponent (editor);

    for (auto* b : {&okButton, &noButton, &cancelButton})
    {
        b->addListener (this);
        addChildComponent (*b);
    }
}

TextInputCont::~TextInputCont() = default;

void TextInputCont::open (const juce::String& message, const juce::String& editorText,
                          const juce::String& cancelCaption, const juce::String& acceptCaption,
                          const juce::String& noCaption, int newCategory, int newAcceptCode, int newTag)
{
    messageLabel.setText (message, juce::dontSendNotification);
    editor.setText (editorText, false);
    category = newCategory;
    categoryShown = newCategory != noCategory;
    acceptCode = newAcceptCode;
    tag = newTag;

    const std::pair<LibBut*, const juce::String*> captions[] = {
        {&okButton, &acceptCaption}, {&noButton, &noCaption}, {&cancelButton, &cancelCaption}};
    for (auto [button, caption] : captions)
    {
        button->setCaption (*caption);
        button->setVisible (caption->isNotEmpty());
    }
    resized();
    repaint();
}

void TextInputCont::showEditor (bool shouldShow)
{
    editor.setVisible (shouldShow);
}

void TextInputCont::categoryMenuChosen (int chosen)
{
    if (chosen < 0 || chosen >= category::count)
        return;
    category = chosen;
    repaint (categoryBox);
}

//==============================================================================
void TextInputCont::resized()
{
    const int w = getWidth();
    editor.setBounds ((w - inputFieldWidth) / 2, inputEditorY, inputFieldWidth, inputEditorHeight);
    messageLabel.setBounds (messageX, messageY, w - 2 * messageX, messageHeight);
    categoryBox = categoryShown ? juce::Rectangle<int> ((w - inputFieldWidth) / 2, inputBoxY, inputFieldWidth, inputBoxHeight)
                                : juce::Rectangle<int>();

    const int y = categoryShown ? buttonsYWithBox : inputButtonsY;
    if (noButton.isVisible())
    {
        const int x0 = (w - threeButtonsWidth) / 2;
        okButton.place (x0, y);
        noButton.place (x0 + inputButtonStep, y);
        cancelButton.place (x0 + 2 * inputButtonStep, y);
    }
    else
    {
        const int x0 = (w - inputTwoButtonsWidth) / 2;
        okButton.place (x0, y);
        cancelButton.place (x0 + inputButtonStep, y);
    }
}

void TextInputCont::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (inputBackground));
    if (!categoryShown)
        return;
    g.setColour (juce::Colour (inputBoxFill));
    g.fillRect (categoryBox);
    g.setColour (juce::Colour (boxText));
    g.setFont (arialFont (inputBoxFontHeight));
    g.drawText (categoryName (category), categoryBox, juce::Justification::centred, false);
}

void TextInputCont::mouseDown (const juce::MouseEvent& e)
{
    const auto p = e.getPosition();
    if (!categoryShown || p.x <= categoryBox.getX() || p.x >= categoryBox.getRight() ||
        p.y <= categoryBox.getY() || p.y >= categoryBox.getBottom())
        return;

    juce::Component::SafePointer<TextInputCont> self (this);
    chooseCategory (juce::PopupMenu::Options().withTargetComponent (&editor),
                    [self] (int chosen)
                    {
                        if (self != nullptr)
                            self->categoryMenuChosen (chosen);
                    });
}

void TextInputCont::libButClicked (LibBut&, int id)
{
    const int code = acceptCode, t = tag;
    listeners.callLastToFirst (*this,
                               [id, code, t] (textmsgListener& l)
                               {
                                   if (id == okId)
                                       l.textAccepted (code, t);
                                   else if (id == noId)
                                       l.textDeclined (code, t);
                                   else if (id == cancelId)
                                       l.textCancelled (code, t);
                               });
}

} // namespace kelvo
