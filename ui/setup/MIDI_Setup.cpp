#include "ui/setup/MIDI_Setup.h"
#include "link/MidiCntrState.h"
#include "ui/setup/Global_Container.h"
#include "ui/widgets/DarkMenuLook.h"
#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 setupDim = 0x88000000, setupBoxFill = 0xdd15222a, setupBoxOutline = 0xdd457089;
constexpr float setupBoxCorner = 10.0f, boxOutlineThickness = 3.0f;
constexpr int boxX = 40, setupBoxY = 20, boxWidth = 749, setupBoxHeight = 250;

constexpr int listX = 60, listWidth = 290, listHeight = 24;
constexpr int inputListY = 80, outputListY = 130;
constexpr int captionAbove = 6; // the caption's baseline sits this far above its list
constexpr float setupCaptionFontHeight = 14.0f, setupNameFontHeight = 14.0f;
constexpr int hitLeft = 61, hitRight = 349, hitTopInset = 1, hitBottomInset = 1;

constexpr int lightX = 330, lightWidth = 10, lightHeight = 8;
constexpr juce::uint32 listFill = 0xff0a1217, listOutline = 0xff3f6780, nameColour = 0xffe8f1f6;
constexpr juce::uint32 lightOn = 0xff5cff8a, lightOff = 0xff26332b, arrowColour = 0xff8fb4c9;

constexpr int headingX = 40, headingY = 30, headingWidth = 400, headingHeight = 14;
constexpr float headingFontHeight = 13.0f;
constexpr juce::uint32 headingColour = 0xffbfe3ff;

constexpr int hintY = 178, hintWidth = 600, hintHeight = 36;
constexpr juce::uint32 hintColour = 0xff8aa3b3;

constexpr int adviceX = 40, adviceY = 310, adviceWidth = 750, adviceHeight = 160;
constexpr float adviceFontHeight = 14.0f;
constexpr juce::uint32 adviceColour = 0xffd8e2e8, adviceFill = 0xdd000000;

constexpr int buttonX = 690, setupButtonWidth = 74, setupButtonHeight = 18, globalsY = 200, setupOkY = 240;
constexpr int globalPanelX = 38, globalPanelY = 285, globalPanelWidth = 750, globalPanelHeight = 310;
constexpr int closeDelayMs = 100;

const char* const adviceText = "Mopho global settings should be set manually as follows:\n\n"
                               "  MIDI Channel = All channels\n"
                               "  MIDI sysex send/receive = ON\n"
                               "  MIDI Controller Send = ON\n"
                               "  MIDI Controller Receive = ON\n"
                               "  Parameter send = NRPN\n"
                               "  Parameter Receive = ALL\n"
                               "  MIDI Out select = OUT\n";
} // namespace

MIDI_Setup::MIDI_Setup (MidiCntrState& e) : engine (e)
{
    heading.setText ("------", juce::dontSendNotification);
    heading.setFont (arialFont (headingFontHeight));
    heading.setColour (juce::Label::textColourId, juce::Colour (headingColour));
    heading.setBorderSize ({0, listX - headingX, 0, 0});
    heading.setBounds (headingX, headingY, headingWidth, headingHeight);
    heading.setInterceptsMouseClicks (false, false);
    addAndMakeVisible (heading);

    advice.setText (adviceText, juce::dontSendNotification);
    advice.setFont (arialFont (adviceFontHeight));
    advice.setColour (juce::Label::textColourId, juce::Colour (adviceColour));
    advice.setJustificationType (juce::Justification::topLeft);
    advice.setBorderSize ({0, listX - adviceX, 0, 0});
    advice.setBounds (adviceX, adviceY, adviceWidth, adviceHeight);
    advice.setInterceptsMouseClicks (false, false);
    addAndMakeVisible (advice);

    for (auto* b : {&globalsButton, &okButton})
    {
        b->addChangeListener (this);
        addAndMakeVisible (*b);
    }
    globalsButton.setupButton (buttonX, globalsY, setupButtonWidth, setupButtonHeight, true);
    okButton.setupButton (buttonX, setupOkY, setupButtonWidth, setupButtonHeight, true);

    setSize (designWidth, designHeight);
}

MIDI_Setup::~MIDI_Setup()
{
    stopTimer();
    if (globalPanel != nullptr)
        globalPanel->removeListener (this);
}

void MIDI_Setup::setLists (const juce::StringArray& inputs, const juce::StringArray& outputs, int in, int out)
{
    inputList = inputs;
    outputList = outputs;
    inputRow = juce::jlimit (0, juce::jmax (0, inputList.size() - 1), in);
    outputRow = juce::jlimit (0, juce::jmax (0, outputList.size() - 1), out);
    repaint();
}

void MIDI_Setup::setPortsOpen (bool in, bool out)
{
    inputOpen = in;
    outputOpen = out;
    repaint();
}

void MIDI_Setup::setHeading (const juce::String& text)
{
    heading.setText (text, juce::dontSendNotification);
}

//==============================================================================
juce::PopupMenu MIDI_Setup::createListMenu (bool input) const
{
    const auto& list = input ? inputList : outputList;
    const auto row = input ? inputRow : outputRow;
    juce::PopupMenu menu;
    if (list.size() < 2)
        return menu;
    for (int r = 0; r < list.size(); ++r)
        menu.addItem (r + 1, list[r], true, r == row);
    return menu;
}

void MIDI_Setup::listMenuFinished (bool input, int result)
{
    const auto& list = input ? inputList : outputList;
    if (result < 1 || result > list.size())
        return;
    (input ? inputRow : outputRow) = result - 1;
    repaint();
    broadcast (input ? inputChosen : outputChosen, result - 1);
}

void MIDI_Setup::showListMenu (bool input)
{
    auto menu = createListMenu (input);
    if (menu.getNumItems() == 0)
        return;
    const juce::SharedResourcePointer<DarkMenuLook> look;
    menu.setLookAndFeel (&look.get());
    const auto y = input ? inputListY : outputListY;
    const auto area = localAreaToGlobal (juce::Rectangle<int> (listX, y, listWidth, listHeight));
    const SafePointer<MIDI_Setup> safeThis (this);
    menu.showMenuAsync (
        juce::PopupMenu::Options().withTargetScreenArea (area).withMinimumWidth (area.getWidth()),
        [safeThis, input, look] (int result)
        {
            if (safeThis != nullptr)
                safeThis->listMenuFinished (input, result);
        });
}

void MIDI_Setup::broadcast (int code, int value)
{
    lastAction = code;
    lastValue = value;
    sendChangeMessage();
}

//==============================================================================
void MIDI_Setup::toggleGlobalPanel()
{
    stopTimer();
    if (globalPanel != nullptr)
    {
        globalPanel->removeListener (this);
        removeChildComponent (globalPanel.get());
        globalPanel.reset();
        advice.setVisible (true);
        return;
    }

    engine.checkConnection();
    globalPanel = std::make_unique<Global_Container> (engine);
    globalPanel->addListener (this);
    globalPanel->setBounds (globalPanelX, globalPanelY, globalPanelWidth, globalPanelHeight);
    advice.setVisible (false);
    addAndMakeVisible (*globalPanel);
}

void MIDI_Setup::refreshGlobal (int globalIndex)
{
    if (globalPanel != nullptr)
        globalPanel->refreshGlobal (globalIndex);
}

void MIDI_Setup::globalPanelAction (int code, int)
{
    // Closed a moment later, not from inside the panel's own mouse handler.
    if (code == Global_Container::closeCode)
        startTimer (closeDelayMs);
}

void MIDI_Setup::timerCallback()
{
    stopTimer();
    if (globalPanel != nullptr)
        toggleGlobalPanel();
}

void MIDI_Setup::stsbutChanged (StsBut& button)
{
    if (&button == &globalsButton)
        toggleGlobalPanel();
    else if (&button == &okButton)
        broadcast (okPressed, 0);
}

//==============================================================================
void MIDI_Setup::mouseDown (const juce::MouseEvent& e)
{
    if (e.x < hitLeft || e.x > hitRight)
        return;
    if (e.y >= inputListY + hitTopInset && e.y <= inputListY + listHeight - hitBottomInset - 1)
        showListMenu (true);
    else if (e.y >= outputListY + hitTopInset && e.y <= outputListY + listHeight - hitBottomInset - 1)
        showListMenu (false);
}

void MIDI_Setup::paintList (juce::Graphics& g, int y, const juce::String& caption, const juce::String& name,
                            bool lit)
{
    g.setColour (juce::Colours::white);
    g.setFont (arialFont (setupCaptionFontHeight));
    g.drawSingleLineText (caption, listX, y - captionAbove);

    const juce::Rectangle<float> box ((float)listX, (float)y, (float)listWidth, (float)listHeight);
    g.setColour (juce::Colour (listFill));
    g.fillRoundedRectangle (box, 4.0f);
    g.setColour (juce::Colour (listOutline));
    g.drawRoundedRectangle (box.reduced (0.5f), 4.0f, 1.0f);

    g.setColour (juce::Colour (nameColour));
    g.setFont (arialFont (setupNameFontHeight));
    g.drawFittedText (name, listX + 8, y, lightX - listX - 34, listHeight, juce::Justification::centredLeft,
                      1, 0.85f);

    // A small down arrow says the box opens a list.
    juce::Path arrow;
    const auto ax = (float)lightX - 16.0f, ay = (float)y + listHeight / 2.0f - 2.0f;
    arrow.addTriangle (ax, ay, ax + 8.0f, ay, ax + 4.0f, ay + 5.0f);
    g.setColour (juce::Colour (arrowColour));
    g.fillPath (arrow);

    const juce::Rectangle<float> light ((float)lightX, (float)y + (listHeight - lightHeight) / 2.0f,
                                        (float)lightWidth, (float)lightHeight);
    if (lit)
    {
        g.setColour (juce::Colour (lightOn).withAlpha (0.25f));
        g.fillRoundedRectangle (light.expanded (2.5f), 4.0f);
    }
    g.setColour (juce::Colour (lit ? lightOn : lightOff));
    g.fillRoundedRectangle (light, 2.0f);
}

void MIDI_Setup::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (setupDim));

    const juce::Rectangle<float> box ((float)boxX, (float)setupBoxY, (float)boxWidth, (float)setupBoxHeight);
    g.setColour (juce::Colour (setupBoxFill));
    g.fillRoundedRectangle (box, setupBoxCorner);
    g.setColour (juce::Colour (setupBoxOutline));
    g.drawRoundedRectangle (box, setupBoxCorner, boxOutlineThickness);

    paintList (g, inputListY, "MIDI In Port", inputList[inputRow], inputOpen);
    paintList (g, outputListY, "MIDI Out Port", outputList[outputRow], outputOpen);

    // The advice sits in the frame that the global settings panel takes when it is shown.
    if (advice.isVisible())
    {
        const juce::Rectangle<float> frame ((float)globalPanelX, (float)globalPanelY, (float)globalPanelWidth,
                                            (float)globalPanelHeight);
        g.setColour (juce::Colour (adviceFill));
        g.fillRoundedRectangle (frame, setupBoxCorner);
        g.setColour (juce::Colour (setupBoxOutline));
        g.drawRoundedRectangle (frame.reduced (boxOutlineThickness / 2.0f), setupBoxCorner, boxOutlineThickness);
    }

    g.setColour (juce::Colour (hintColour));
    g.setFont (arialFont (12.0f));
    g.drawFittedText ("Choose the ports your Mopho x4 is connected to. The link is checked and the choice "
                      "saved at once; \"Mopho x4 Simulator\" stands in for the synth.",
                      listX, hintY, hintWidth, hintHeight, juce::Justification::topLeft, 2, 1.0f);
}

} // namespace kelvo
