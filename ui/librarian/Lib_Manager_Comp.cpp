#include "ui/librarian/Lib_Manager_Comp.h"

#include "host/MarvexAudioProcessor.h"
#include "ui/librarian/LibClass.h"
#include "ui/librarian/LibPageStyle.h"
#include "ui/librarian/Plugin_Bank.h"
#include "ui/common/FileBrowser.h"
#include "ui/common/MsgCont.h"
#include "ui/common/WinMovCan.h"
#include "ui/widgets/DarkMenuLook.h"
#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/KeyPlayClass.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 captionTextColour = 0xffede9e9;
constexpr juce::uint32 playerBackground = 0x000a0a0a; // fully transparent: the caption bar shows through
constexpr float captionFontHeight = 15.0f;
constexpr int captionY = 4, captionHeight = 20;
constexpr int closeFromRight = 20, closeY = 6, closeWidth = 18, closeHeight = 22;
constexpr int pageY = 50, pageBottomMargin = 42;
const juce::Rectangle<int> playerBounds{100, 4, 200, 20};
const juce::Rectangle<int> hiddenPage{-1000, -1000, 20, 20};
const char* const libraryPageName = "LIBRARY";
const char* const presetPageName = "PRESET BANK";
} // namespace

Lib_Manager_Comp::Lib_Manager_Comp (MarvexAudioProcessor& p, juce::Component& w) : processor (p), window (w)
{
    auto& engine = processor.getEngine();
    files = std::make_unique<FileBrowser> (engine,
                                           [this] (const juce::String& question, std::function<void()> onYes)
                                           { askQuestion (question, std::move (onYes)); });
    // The window stays in front of everything while it is shown; a file chooser opened from it
    // has to come in front of it, so the window steps back until the chooser has answered.
    files->setChooser (
        [safe = juce::Component::SafePointer<juce::Component> (&window), native = files->getChooser()] (
            int type, const juce::File& start, const juce::String& name, FileBrowser::Picked answer)
        {
            if (safe != nullptr)
                safe->setAlwaysOnTop (false);
            native (type, start, name,
                    [safe, answer] (const juce::File& file)
                    {
                        if (safe != nullptr)
                            safe->setAlwaysOnTop (true);
                        answer (file);
                    });
        });

    for (auto* b : {&presetButton, &libraryButton})
    {
        b->addListener (this);
        addAndMakeVisible (*b);
    }

    closeControl = std::make_unique<WinMovCan>();
    closeControl->offerOnlyHide();
    closeControl->addListener (this);
    addAndMakeVisible (*closeControl);

    setSize (contentWidth / 2, contentHeight);
    showPage (presetPageId);

    player = std::make_unique<KeyPlayClass> (engine, KeyPlayClass::libraryMode);
    player->setColours (juce::Colour (playerBackground), juce::Colours::white);
    player->setMouseCursor (juce::MouseCursor::DraggingHandCursor);
    player->setBounds (playerBounds);
    player->addListener (this);
    addAndMakeVisible (*player);

    libpage::setUpHintLabel (hintLabel);
    hintLabel.setSize (libpage::hintWidth, libpage::hintHeight);
    addAndMakeVisible (hintLabel);
}

Lib_Manager_Comp::~Lib_Manager_Comp()
{
    player->removeListener (this);
    closeControl->removeListener (this);
    // The pages report to the message box and the file browser: they go first.
    libraryPage.reset();
    presetPage.reset();
}

LibBut& Lib_Manager_Comp::getPageButton (int pageId) noexcept
{
    return pageId == libraryPageId ? libraryButton : presetButton;
}

juce::Component* Lib_Manager_Comp::shownPageComponent() const noexcept
{
    if (shownPage == libraryPageId)
        return libraryPage.get();
    if (shownPage == presetPageId)
        return presetPage.get();
    return nullptr;
}

//==============================================================================
void Lib_Manager_Comp::showPage (int pageId)
{
    if (pageId == libraryPageId)
    {
        if (presetPage != nullptr)
            libpage::putAway (*presetPage, hiddenPage);
        pageName = libraryPageName;
        if (libraryPage == nullptr)
        {
            libraryPage = std::make_unique<LibClass> (processor, *this);
            addChildComponent (*libraryPage, 0); // behind the page buttons, which reach into it
            libraryPage->getButton (LibClass::doneButton).addListener (this);
            libraryPage->loadDefaultFile();
        }
    }
    else if (pageId == presetPageId)
    {
        if (libraryPage != nullptr)
            libpage::putAway (*libraryPage, hiddenPage);
        pageName = presetPageName;
        if (presetPage == nullptr)
        {
            presetPage = std::make_unique<Plugin_Bank> (processor, *this);
            addChildComponent (*presetPage, 0);
            presetPage->getButton (Plugin_Bank::doneButton).addListener (this);
        }
    }
    else
    {
        return;
    }

    shownPage = pageId;
    resized();
    if (auto* page = shownPageComponent())
        page->setVisible (true);
    if (pageId == presetPageId)
        presetPage->showCurrentProgram();
    repaint();
}

void Lib_Manager_Comp::showCurrentProgram()
{
    if (presetPage != nullptr)
        presetPage->showCurrentProgram();
}

//==============================================================================
void Lib_Manager_Comp::libButClicked (LibBut&, int id)
{
    if (id == libraryPageId || id == presetPageId)
        showPage (id);
    else if (id == Plugin_Bank::doneButton)
        reportClose();
}

void Lib_Manager_Comp::libButEntered (LibBut& button, int)
{
    hintLabel.setText (button.getHint(), juce::dontSendNotification);
}

void Lib_Manager_Comp::libButLeft (LibBut&, int)
{
    hintLabel.setText ({}, juce::dontSendNotification);
}

void Lib_Manager_Comp::winToolPressed (int code)
{
    if (code == WinMovCan::hideCode)
        reportClose();
}

void Lib_Manager_Comp::reportClose()
{
    player->releaseAllNotes();
    closeListeners.callLastToFirst (*this,
                                    [] (winToolListener& l) { l.winToolPressed (WinMovCan::hideCode); });
}

//==============================================================================
void Lib_Manager_Comp::showMessage (const juce::String& text)
{
    messages.show (text);
}

void Lib_Manager_Comp::askQuestion (const juce::String& text, std::function<void()> onYes)
{
    messages.ask (text, std::move (onYes));
}

void Lib_Manager_Comp::stsbutPressed (int buttonId)
{
    messages.answer (buttonId);
}

void Lib_Manager_Comp::showMenu (juce::PopupMenu menu, juce::Component& target,
                                 std::function<void (int)> chosen)
{
    menu.setLookAndFeel (&menuLook.get());
    menu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (&target),
                        [chosen] (int result)
                        {
                            if (result != 0)
                                chosen (result);
                        });
}

//==============================================================================
void Lib_Manager_Comp::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (libpage::background));
    g.setColour (juce::Colour (libpage::darkLine));
    g.fillRect (0, captionY, getWidth(), captionHeight);
    g.setColour (juce::Colour (captionTextColour));
    g.setFont (arialFont (captionFontHeight));
    g.drawText ("MOPHO : " + pageName, 0, captionY, getWidth(), captionHeight, juce::Justification::centred);
}

void Lib_Manager_Comp::resized()
{
    const int w = getWidth(), h = getHeight();
    closeControl->setBounds (w - closeFromRight, closeY, closeWidth, closeHeight);
    presetButton.place (20, 22);
    libraryButton.place (130, 22);
    hintLabel.setTopLeftPosition (w - libpage::hintWidth, h - 30);
    if (auto* page = shownPageComponent())
        page->setBounds (0, pageY, w, h - pageY - pageBottomMargin);
    messages.layout();
}

//==============================================================================
void Lib_Manager_Comp::startDrag (juce::Point<int> at)
{
    dragging = true;
    dragStart = at;
}

void Lib_Manager_Comp::dragTo (juce::Point<int> at)
{
    // The content moves with the window, so the distance from the press stays what is left to move.
    if (dragging)
        window.setTopLeftPosition (window.getPosition() + (at - dragStart));
}

void Lib_Manager_Comp::mouseDown (const juce::MouseEvent& e)
{
    dragging = false;
    if (e.y < dragZoneHeight)
        startDrag (e.getPosition());
}

void Lib_Manager_Comp::mouseDrag (const juce::MouseEvent& e)
{
    dragTo (e.getPosition());
}

void Lib_Manager_Comp::mouseUp (const juce::MouseEvent&)
{
    dragging = false;
}

void Lib_Manager_Comp::mouseMove (const juce::MouseEvent& e)
{
    setMouseCursor (e.y < dragZoneHeight ? juce::MouseCursor::DraggingHandCursor
                                         : juce::MouseCursor::NormalCursor);
}

void Lib_Manager_Comp::keyPlayMouseDown (int x, int y)
{
    startDrag ({x, y});
}

void Lib_Manager_Comp::keyPlayMouseDrag (int x, int y)
{
    dragTo ({x, y});
}

void Lib_Manager_Comp::keyPlayMouseUp (int, int)
{
    dragging = false;
}

} // namespace kelvo
