#include "ui/setup/Global_Container.h"
#include "link/MidiCntrState.h"
#include "model/GlobalSettings.h"
#include "ui/setup/GlbCont.h"
#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr int designWidth = 600, designHeight = 400;

constexpr juce::uint32 panelFill = 0xdd000000, panelOutline = 0xdd457089;
constexpr float panelCornerRadius = 10.0f, panelOutlineThickness = 3.0f;
constexpr int panelTitleX = 14, panelTitleY = 4, titleWidth = 200, titleHeight = 30;
constexpr float panelTitleFontHeight = 16.0f, settingCaptionFontHeight = 12.0f, warningFontHeight = 11.5f;
constexpr int dropDownCaptionOffset = 120, switchCaptionOffset = 150;
constexpr int settingCaptionWidth = 200, settingCaptionHeight = 18;
constexpr int firstCaptioned = 2; // the knobs draw their own captions

constexpr int closeSize = 15, closeInset = 25, closeTop = 10;
constexpr int closeHitLeft = 27, closeHitRight = 10, closeHitTop = 9, closeHitBottom = 24;
constexpr juce::uint32 closeColour = 0xffa9c4d6;

// The warning strip across the top right, clear of the title, the close image and the controls.
constexpr int stripX = 230, stripY = 6, stripHeight = 38, stripRightGap = 36;
constexpr int stripButtonWidth = 56, stripButtonHeight = 18, stripButtonGap = 6;
// The keep button says what it keeps, so it is as wide as its words; the warning then takes three lines.
constexpr int keepCaptionMargin = 16;
constexpr int warningLines = 3;
constexpr juce::uint32 stripFill = 0xf0382810, stripOutline = 0xffe0a040, stripText = 0xffffe2b0;

const char* const waitingText = "Waiting for the synth's global settings: they show once the synth answers.";
} // namespace

Global_Container::Global_Container (MidiCntrState& e) : engine (e)
{
    for (size_t n = 0; n < controls.size(); ++n)
    {
        controls[n] = std::make_unique<GlbCont> (engine);
        if (n < (size_t)globals::numEdited)
        {
            controls[n]->configure ((int)n);
            controls[n]->confirmChange = [this] (GlbCont& c, int v) { return confirm (c, v); };
            addAndMakeVisible (*controls[n]);
        }
        else
        {
            addChildComponent (*controls[n]);
        }
    }

    applyButton.addListener (this);
    keepButton.addListener (this);
    addChildComponent (applyButton);
    addChildComponent (keepButton);

    setSize (designWidth, designHeight);
    refreshGlobal (allGlobals);
}

Global_Container::~Global_Container() = default;

void Global_Container::refreshGlobal (int globalIndex)
{
    if (juce::isPositiveAndBelow (globalIndex, globals::numEdited))
        controls[(size_t)globalIndex]->repaint();
    if (globalIndex != allGlobals)
        return;

    valuesKnown = engine.hasGlobalDumpArrived();
    for (int i = 0; i < globals::numEdited; ++i)
    {
        controls[(size_t)i]->setEnabled (valuesKnown);
        controls[(size_t)i]->repaint();
    }
    repaint();
}

juce::String Global_Container::linkWarning (int globalIndex, int value, int editorChannel)
{
    const auto caption = globalCaption (globalIndex).trimCharactersAtEnd (":") + " ";
    const auto shown = [&] { return caption + globalValueText (globals::find (globalIndex)->rule, value) + ": "; };
    switch (globalIndex)
    {
    case globals::sysEx:
        if (value == globals::off)
            return shown() + "the synth stops answering the editor (no dumps, no connection check).";
        break;
    case globals::parameterReceive:
        if (value == globals::receiveCc || value == globals::receiveOff)
            return shown() + "the synth ignores the editor's NRPN edits, and the one that would set this back.";
        break;
    case globals::midiControl:
        if (value == globals::off)
            return shown() + "the synth ignores every controller: the editor's edits, and the one that "
                             "would switch this back on.";
        break;
    case globals::midiOutSelect:
        if (value == globals::outSelectThru)
            return shown() + "the synth's output repeats what it hears instead of answering the editor.";
        break;
    case globals::parameterSend:
        if (value != globals::sendNrpn)
            return shown() + "the synth's own knobs no longer reach the editor.";
        break;
    case globals::midiChannel:
        if (value != globals::allChannels && value != editorChannel)
            return "MIDI CHANNEL " + juce::String (value) + ": the synth no longer hears the editor, which sends on channel " +
                   juce::String (editorChannel) + ".";
        break;
    default:
        break;
    }
    return {};
}

bool Global_Container::confirm (GlbCont& control, int value)
{
    warningText = linkWarning (control.getIndex(), value, engine.getMidiChannel());
    if (warningText.isEmpty())
    {
        endHeldChange (false);
        return true;
    }
    heldIndex = control.getIndex();
    heldValue = value;
    applyButton.setVisible (true);
    keepButton.setVisible (true);
    repaint();
    return false;
}

void Global_Container::endHeldChange (bool apply)
{
    const auto index = std::exchange (heldIndex, -1);
    warningText.clear();
    applyButton.setVisible (false);
    keepButton.setVisible (false);
    repaint();
    if (apply && index >= 0)
        controls[(size_t)index]->applyValue (heldValue);
}

void Global_Container::stsbutPressed (int buttonId)
{
    if (buttonId == applyCode || buttonId == keepCode)
        endHeldChange (buttonId == applyCode);
}

//==============================================================================
int Global_Container::keepButtonWidth() const
{
    return juce::roundToInt (keepButton.getCaptionFont().getStringWidthFloat (keepButton.getCaption())) +
           keepCaptionMargin;
}

void Global_Container::resized()
{
    const auto right = getWidth() - stripRightGap;
    const auto buttonY = stripY + (stripHeight - stripButtonHeight) / 2;
    keepButton.setupButton (right - stripButtonGap - keepButtonWidth(), buttonY, keepButtonWidth(),
                            stripButtonHeight, true);
    applyButton.setupButton (keepButton.getX() - stripButtonGap - stripButtonWidth, buttonY, stripButtonWidth,
                             stripButtonHeight, true);
    renderBackground();
}

void Global_Container::renderBackground()
{
    if (getWidth() <= 0 || getHeight() <= 0)
        return;

    // Drawn at twice the design size, so that it stays sharp when the editor is enlarged.
    constexpr float density = 2.0f;
    background =
        juce::Image (juce::Image::ARGB, (int)(getWidth() * density), (int)(getHeight() * density), true);
    juce::Graphics g (background);
    g.addTransform (juce::AffineTransform::scale (density));

    const auto box = getLocalBounds().toFloat().reduced (panelOutlineThickness / 2.0f);
    g.setColour (juce::Colour (panelFill));
    g.fillRoundedRectangle (box, panelCornerRadius);
    g.setColour (juce::Colour (panelOutline));
    g.drawRoundedRectangle (box, panelCornerRadius, panelOutlineThickness);

    g.setColour (juce::Colours::white);
    g.setFont (arialFont (panelTitleFontHeight, juce::Font::bold));
    g.drawText ("Global Settings:", panelTitleX, panelTitleY, titleWidth, titleHeight,
                juce::Justification::centredLeft);

    g.setFont (arialFont (settingCaptionFontHeight));
    for (int i = firstCaptioned; i < globals::numEdited; ++i)
    {
        const auto& c = *controls[(size_t)i];
        const auto isSwitch = globals::find (i)->type == globals::ControlType::toggle;
        const auto x = c.getX() - (isSwitch ? switchCaptionOffset : dropDownCaptionOffset);
        g.drawText (globalCaption (i), x, c.getY() + 1, settingCaptionWidth, settingCaptionHeight,
                    juce::Justification::centredLeft);
    }

    const juce::Rectangle<float> close ((float)(getWidth() - closeInset), (float)closeTop, (float)closeSize,
                                        (float)closeSize);
    g.setColour (juce::Colour (closeColour));
    g.drawEllipse (close.reduced (0.75f), 1.5f);
    const auto cross = close.reduced (4.5f);
    g.drawLine ({cross.getTopLeft(), cross.getBottomRight()}, 1.6f);
    g.drawLine ({cross.getBottomLeft(), cross.getTopRight()}, 1.6f);
}

void Global_Container::paint (juce::Graphics& g)
{
    if (background.isValid())
        g.drawImage (background, getLocalBounds().toFloat());

    const auto shownText = warningText.isNotEmpty() || valuesKnown ? warningText : juce::String (waitingText);
    if (shownText.isNotEmpty())
    {
        const juce::Rectangle<float> strip ((float)stripX, (float)stripY,
                                            (float)(getWidth() - stripRightGap - stripX), (float)stripHeight);
        g.setColour (juce::Colour (stripFill));
        g.fillRoundedRectangle (strip, 5.0f);
        g.setColour (juce::Colour (stripOutline));
        g.drawRoundedRectangle (strip, 5.0f, 1.2f);
        g.setColour (juce::Colour (stripText));
        g.setFont (arialFont (warningFontHeight));
        const auto textWidth =
            (int)strip.getWidth() - (stripButtonWidth + keepButtonWidth() + 2 * stripButtonGap) - 20;
        g.drawFittedText (shownText, stripX + 8, stripY, textWidth, stripHeight,
                          juce::Justification::centredLeft, warningLines, 0.9f);
    }
}

void Global_Container::mouseDown (const juce::MouseEvent& e)
{
    const auto w = getWidth();
    if (e.x > w - closeHitLeft && e.x < w - closeHitRight && e.y >= closeHitTop && e.y <= closeHitBottom)
        listeners.callLastToFirst (*this, [] (Global_Listener& l) { l.globalPanelAction (closeCode, 0); });
}

} // namespace kelvo
