#include "ui/main/MainComp.h"
#include "host/MarvexAudioProcessor.h"
#include "host/SoundHistory.h"
#include "link/EngineSettings.h"
#include "link/MIDI_PORTS_Control.h"
#include "link/PortWatcher.h"
#include "model/Categories.h"
#include "ui/main/AppBar.h"
#include "ui/main/BankComp.h"
#include "ui/main/MainOverlays.h"
#include "ui/main/MenuCommands.h"
#include "ui/common/MsgCont.h"
#include "ui/main/WriteSnd.h"
#include "ui/librarian/Lib_Manager_Comp.h"
#include "ui/librarian/Lib_Manager_Win.h"
#include "ui/panels/EditorPanel.h"
#include "ui/panels/FlashPanel.h"
#include "ui/panels/KeyBrd.h"
#include "ui/sequencer/SeqPanel.h"
#include "ui/setup/Global_Container.h"
#include "ui/setup/MIDI_Setup.h"
#include "ui/setup/MIDI_scan.h"
#include "ui/widgets/CategoryMenu.h"
#include "ui/widgets/DarkMenuLook.h"
#include "ui/widgets/KeyPlayClass.h"
#include "ui/widgets/LCD_Comp.h"
#include "ui/widgets/ProgBar.h"
#include "ui/widgets/StsCont.h"
#include "ui/widgets/WheelCnt.h"
#include "ui/widgets/StsGrid.h"

namespace kelvo
{
namespace
{
constexpr int highestPanelIndex = 114;
constexpr int firstSequencerIndex = 95;
constexpr int modWheelController = 1;
// The synth panel's size and scale as the sequencer page's preview, in design units.
const juce::Rectangle<int> previewArea { 700, 200, 456, 264 };
constexpr float previewScale = 0.38287154f;
constexpr int offScreenX = -2000; // where the synth panel waits while a track is edited
constexpr int firstOpeningAboutMs = 2000;
constexpr int scanAnswerWaitMs = 500;
const char* const onlineText = "DSI:  MOPHO X4 ON-LINE";
const char* const offlineStatus = "OFF-LINE";
// How long the synth may take to answer a connection check before the status line says it did not.
constexpr int noAnswerDelayMs = 3000;

} // namespace

MainComp::MainComp (MarvexAudioProcessor& p)
    : processor (p),
      engine (p.getEngine())
{
    setOpaque (true);
    engine.addStateListener (this);
    engine.endBankTransfer();

    synthPanel = std::make_unique<EditorPanel> (processor);
    synthPanel->addChangeListener (this);
    synthPanel->getSequencerButton().addListener (this);
    synthPanel->getLcd().addChangeListener (this);
    addAndMakeVisible (*synthPanel);

    overlays = std::make_unique<MainOverlays> (*this, processor);
    transfers = std::make_unique<TransferDisplay> (*this, *this, engine, [this] (const juce::String& text) { showMessage (text); });
    commands = std::make_unique<MenuCommands> (*this, processor);

    // Behind the synth panel, which is its preview.
    sequencerPanel = std::make_unique<SeqPanel> (processor);
    sequencerPanel->addChangeListener (this);
    sequencerPanel->getProgramButton().addListener (this);
    addChildComponent (*sequencerPanel, 0);

    keyboard = std::make_unique<KeyBrd> (engine);
    keyboard->addChangeListener (this);
    addAndMakeVisible (*keyboard);

    appBar = std::make_unique<AppBar>();
    appBar->setBounds (0, 0, designWidth, AppBar::height);
    for (auto* b : appBar->getButtons())
    {
        b->addListener (this);
        b->addChangeListener (this);
    }
    appBar->getMenuButton().addChangeListener (this);
    appBar->getChannelLabel().addChangeListener (this);
    appBar->getStatusLabel().addChangeListener (this);
    addAndMakeVisible (*appBar);

    appBar->getChannelLabel().setText ("Chan: " + juce::String (engine.getMidiChannel()));

    view = synthView;
    reloadEverything();
    setSize (designWidth, designHeight);

    if (! engine.firstEditorOpened.load())
        overlays->openAboutPanel (firstOpeningAboutMs);

    engine.checkConnection();
    engine.addListener (this);
    // The connection check's "OFF-LINE" was posted before we listened for it.
    setStatusText (engine.hasGlobalDumpArrived() ? onlineText : offlineStatusText());

    engine.getPortWatcher().onPortsChanged = [this] { overlays->refreshSetupPanel(); };
    // An undone or redone transmission shows its progress like any other.
    processor.getHistory().onTransmissionStarted = [this] { showTransferProgress(); };

    layout();
    // What the engine met before any editor was there to tell (damaged files, ports gone).
    showNotices();

    // Once per reset: a later opening of the editor does not scan again.
    if (engine.settingsWereReset.exchange (false) && ! engine.hasGlobalDumpArrived())
        showScanPanel (scanAnswerWaitMs);

    engine.firstEditorOpened = true;
    complete = true;
    addMouseListener (this, true);
}

MainComp::~MainComp()
{
    // The library window goes with the editor (its library is saved as it goes).
    libraryWindow.reset();
    removeMouseListener (this);
    // No note that the editor started outlives it, and a held pitch wheel goes back to centre.
    keyboard->releaseEverything();
    engine.getPortWatcher().onPortsChanged = nullptr;
    processor.getHistory().onTransmissionStarted = nullptr;
    if (auto* scanPanel = getScanPanel())
        scanPanel->getScan().cancel();
    engine.removeListener (this);
    engine.removeStateListener (this);
    cancelPendingUpdate();
}

//==============================================================================
void MainComp::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void MainComp::mouseDown (const juce::MouseEvent& e)
{
    if (e.eventComponent != nullptr && e.eventComponent->getWantsKeyboardFocus())
        return;
    keyboard->getPlayer().grabKeyboardFocus();
}

void MainComp::resized()
{
    layout();
}

float MainComp::scaleForSize (int width, int height)
{
    // The editor keeps the design's shape, so the width sets the scale. A host that forces another
    // shape gets the whole design, with a band beside it, rather than a panel cut off at the bottom.
    const auto byWidth = (float)width / (float)designWidth;
    const auto byHeight = (float)height / (float)designHeight;
    return (float)height + 1.0f < byWidth * (float)designHeight ? byHeight : byWidth;
}

void MainComp::layout()
{
    const auto w = getWidth();
    const auto scale = scaleForSize (w, getHeight());
    engine.editorScale = scale;

    // The bar scales with everything else, labels included: it is laid out in design units and
    // drawn through the scale.
    appBar->setTransform (juce::AffineTransform::scale (scale));
    appBar->setBounds (0, 0, designWidth, AppBar::height);
    const auto barHeight = juce::roundToInt ((float)AppBar::height * scale);

    // The keyboard drawer lies along the bottom edge; the pages end at its top.
    keyboard->setScale (scale);
    const auto keyboardTop = keyboard->getY();
    placePages (w, scale, barHeight, keyboardTop);

    overlays->layout (w, scale, barHeight, keyboardTop);
    transfers->layout();
    messages.layout();

    if (complete)
    {
        engine.setSetting (settings::editorWidth, juce::String (getWidth()));
        engine.setSetting (settings::editorHeight, juce::String (getHeight()));
    }
}

void MainComp::placePages (int w, float scale, int barHeight, int keyboardTop)
{
    const auto below = [scale, barHeight] (juce::Rectangle<int> r) {
        return r.toFloat().transformedBy (juce::AffineTransform::scale (scale)).toNearestInt().translated (0, barHeight);
    };
    if (view == sequencerView)
    {
        sequencerPanel->setBounds (0, barHeight, w, keyboardTop - barHeight);
        sequencerPanel->setScale (scale);
        sequencerPanel->setVisible (true);
        if (sequencerPanel->isEditingTrack())
        {
            synthPanel->setShowing (false);
            synthPanel->setVisible (false);
            synthPanel->setTopLeftPosition (offScreenX, synthPanel->getY());
        }
        else
        {
            synthPanel->setBounds (below (previewArea));
            synthPanel->setScale (scale * previewScale);
            if (! overlays->isSectionViewOpen())
                synthPanel->setShowing (true);
            synthPanel->setVisible (true);
        }
    }
    else
    {
        sequencerPanel->setVisible (false);
        const auto panelWidth = juce::jmin (w, juce::roundToInt ((float)designWidth * scale));
        synthPanel->setBounds (0, barHeight, panelWidth, keyboardTop - barHeight);
        synthPanel->setScale (scale);
        if (! overlays->isSectionViewOpen())
            synthPanel->setShowing (true);
        synthPanel->setVisible (true);
    }
}

//==============================================================================
void MainComp::midiCntrStateChanged (MidiCntrState&)
{
    triggerAsyncUpdate();
}

void MainComp::stateChanged (MidiCntrState&)
{
    triggerAsyncUpdate();
}

void MainComp::handleAsyncUpdate()
{
    drainEvents();
}

void MainComp::drainEvents()
{
    pendingEvents.clear();
    engine.takeEvents (pendingEvents);
    for (auto code : pendingEvents)
        applyEvent (code);
    // Also after a flood of events, which may have lost the notice's own event.
    showNotices();
}

void MainComp::showNotices()
{
    const auto waiting = engine.takeNotices();
    if (waiting.isEmpty())
        return;
    showMessage (waiting.joinIntoString ("\n"));
}

juce::String MainComp::offlineStatusText()
{
    // A missing port is the reason at once; with both ports open the synth gets its moment to answer.
    if (engine.isOutputOpen() && engine.getPorts().isInputOpen())
    {
        juce::Timer::callAfterDelay (noAnswerDelayMs, [safeThis = juce::Component::SafePointer<MainComp> (this)] {
            if (safeThis != nullptr && ! safeThis->engine.hasGlobalDumpArrived()
                && safeThis->appBar->getStatusLabel().getText() == offlineStatus)
                safeThis->setStatusText (juce::String (offlineStatus) + ": " + safeThis->engine.getOfflineReason());
        });
        return offlineStatus;
    }
    return juce::String (offlineStatus) + ": " + engine.getOfflineReason();
}

void MainComp::applyEvent (int32_t code)
{
    if (event::isKind (code, event::parameterChanged))
    {
        const auto [index, value] = event::parameterOf (code);
        if (index <= highestPanelIndex)
        {
            synthPanel->showParameter (index, value);
            if (overlays->isSectionViewOpen())
                getSectionView().showParameter (index, value);
            if (index >= firstSequencerIndex)
                sequencerPanel->updateControl (index, value);
        }
        else if (index == program::categoryIndex)
        {
            // A category chosen here or sent by the synth shows on the LCD at once.
            synthPanel->getLcd().showCategory (value, categoryName (value));
        }
        else if (index >= program::firstStepIndex && index <= program::lastStepIndex)
        {
            sequencerPanel->updateStep (index, value);
        }
    }
    else if (event::isEcho (code))
    {
        const auto echo = event::echoOf (code);
        if (echo.status == event::pitchWheelEcho)
            keyboard->getPitchWheel().setWheelValue (echo.high, false);
        else if (echo.high == modWheelController)
            keyboard->getModWheel().setWheelValue (echo.low, false);
    }
    else if (event::isKind (code, event::editBufferReplaced))
    {
        reloadEverything();
        if (isBankViewShown())
            getBankView().followCurrentProgram();
    }
    else if (event::isKind (code, event::online) || event::isKind (code, event::offline))
    {
        const auto online = event::isKind (code, event::online);
        setStatusText (online ? onlineText : offlineStatusText());
        // The global panel shows the synth's values only while they are known.
        if (auto* setupPanel = getSetupPanel())
            setupPanel->refreshGlobal (Global_Container::allGlobals);
    }
    else if (event::isKind (code, event::globalChanged))
    {
        if (auto* setupPanel = getSetupPanel())
            setupPanel->refreshGlobal (event::globalIndexOf (code));
    }
    else if (event::isKind (code, event::bankContentsChanged))
    {
        getBankView().refreshGrid();
        if (auto* writeDialog = getWriteDialog())
            writeDialog->getGrid().repaint();
    }
    else if (event::isKind (code, event::pluginProgramChanged))
    {
        if (libraryWindow != nullptr)
            libraryWindow->getManager().showCurrentProgram();
    }
    else
    {
        transfers->applyEvent (code);
    }
}

void MainComp::reloadEverything()
{
    synthPanel->refreshFromEditBuffer();
    if (overlays->isSectionViewOpen())
        getSectionView().refreshSection();
    sequencerPanel->refreshAll();
}

void MainComp::setStatusText (const juce::String& text)
{
    appBar->showStatus (text, text == onlineText ? AppBar::online : AppBar::offline);
    if (auto* setupPanel = getSetupPanel())
        setupPanel->setHeading (text);
}

//==============================================================================
void MainComp::showMessage (const juce::String& text)
{
    messages.show (text);
}

void MainComp::askQuestion (const juce::String& text, std::function<void()> onYes)
{
    messages.ask (text, std::move (onYes));
}

//==============================================================================
void MainComp::openLibraryWindow()
{
    if (libraryWindow == nullptr)
    {
        libraryWindow = std::make_unique<Lib_Manager_Win> (processor);
        libraryWindow->followEditor (*this);
    }
    libraryWindow->open();
}

void MainComp::bankViewAction()
{
    auto& bankView = getBankView();
    switch (bankView.getActionCode())
    {
        case BankComp::transfersMenu:
            showMenu (commands->createTransfersMenu(), bankView.getMidiButton(),
                      [] (MainComp& m, int r) { m.commands->transfersMenuFinished (r); });
            break;
        case BankComp::bankFilesMenu:
            showMenu (commands->createBankFilesMenu(), bankView.getFileButton(),
                      [] (MainComp& m, int r) { m.commands->bankFilesMenuFinished (r); });
            break;
        case BankComp::presetsMenu:
        {
            const auto bank = bankView.getShownBank();
            if (commands->canOpenPresetsMenu (bank, bankView.isShowingCategory()))
                showMenu (commands->createPresetsMenu (bank), bankView.getPresetsButton(),
                          [bank] (MainComp& m, int r) { m.commands->presetsMenuFinished (r, bank); });
            break;
        }
        case BankComp::cellMenu:
        {
            const auto bank = bankView.getCellBank(), programNumber = bankView.getCellProgram();
            showMenu (commands->createCellMenu (bank, programNumber), bankView.getGrid(),
                      [bank, programNumber] (MainComp& m, int r) { m.commands->cellMenuFinished (r, bank, programNumber); });
            break;
        }
        default:
            break; // the switch has already set the engine's flag
    }
}

bool MainComp::keyPressed (const juce::KeyPress& key)
{
    // A press on a zoomed control hands the keys to the player, outside the zoomed view: the key
    // comes up here, not through the view.
    if (key == juce::KeyPress::escapeKey && overlays->isSectionViewOpen())
    {
        overlays->closeSectionView();
        return true;
    }
    const auto mods = key.getModifiers();
    if (!mods.isCommandDown() ||
        juce::CharacterFunctions::toUpperCase ((juce::juce_wchar)key.getKeyCode()) != 'Z')
        return false;
    if (mods.isShiftDown())
        processor.getHistory().redo();
    else
        processor.getHistory().undo();
    return true;
}

//==============================================================================
void MainComp::stsbutPressed (int buttonId)
{
    switch (buttonId)
    {
        case AppBar::recv:
            processor.getHistory().nameNextSound ("Recv");
            engine.requestDump (6, 0, 0);
            break;
        case AppBar::edit:
            if (auto* b = appBar->findButton (AppBar::edit))
                showMenu (commands->createEditMenu(), *b, [] (MainComp& m, int r) { m.commands->editMenuFinished (r); });
            break;
        case AppBar::send:
            if (auto* b = appBar->findButton (AppBar::send))
                showMenu (commands->createSendMenu(), *b, [] (MainComp& m, int r) { m.commands->sendMenuFinished (r); });
            break;
        case synthView:
        case sequencerView:
            view = buttonId;
            layout();
            break;
        case AppBar::midi:
            toggleSetupPanel();
            break;
        case restoreEditBufferCode:
            engine.storeProgram (false, 0, 0, processor.getPluginBank().getEditBufferRecord());
            break;
        case ProgBar::cancelButtonId:
            if (engine.isTransferChaining())
                endBankTransfer();
            break;
        case MsgCont::okCode:
        case MsgCont::cancelCode:
            messages.answer (buttonId);
            break;
        case AppBar::file:
            if (auto* b = appBar->findButton (AppBar::file))
                showMenu (commands->createFileMenu(), *b, [] (MainComp& m, int r) { m.commands->fileMenuFinished (r); });
            break;
        case AppBar::bank:
            toggleBankView();
            break;
        case AppBar::write:
            toggleWriteDialog();
            break;
        default:
            break;
    }
}

void MainComp::stsbutChanged (StsBut&) {}

void MainComp::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == synthPanel.get())
    {
        openSectionView (synthPanel->getCommandCode() - EditorPanel::zoomCommandBase);
    }
    else if (source == sequencerPanel.get())
    {
        if (sequencerPanel->getMessageCode() == SeqPanel::editTrackCode)
            sequencerPanel->showTrackEditor (sequencerPanel->getMessageValue());
        layout();
    }
    else if (source == keyboard.get())
    {
        layout();
    }
    else if (source == &appBar->getMenuButton())
    {
        openLibraryWindow();
    }
    else if (source == &appBar->getStatusLabel())
    {
        // While off-line the status line says what is missing, and a click leads to where it is mended.
        if (appBar->getStatusLabel().getText() != onlineText && getSetupPanel() == nullptr)
            toggleSetupPanel();
    }
    else if (source == &appBar->getChannelLabel())
    {
        showMenu (commands->createChannelMenu(), appBar->getChannelLabel(), [] (MainComp& m, int r) { m.commands->channelMenuFinished (r); });
    }
    else if (source == &synthPanel->getLcd())
    {
        const auto region = synthPanel->getLcd().getClickRegion();
        if (region == LCD_Comp::locationRegion)
            showMenu (commands->createProgramMenu(), synthPanel->getLcd(), [] (MainComp& m, int r) { m.commands->programMenuFinished (r); });
        else if (region == LCD_Comp::categoryRegion)
            showMenu (buildCategoryMenu (menuLook.get()), synthPanel->getLcd(),
                      [] (MainComp& m, int r) { m.commands->categoryMenuFinished (r); });
    }
    else
    {
        // The overlays' panels report to the overlays; what reaches us from them is theirs too.
        overlays->changeListenerCallback (source);
    }
}

//==============================================================================
void MainComp::showMenu (juce::PopupMenu menu, juce::Component& target, std::function<void (MainComp&, int)> finished)
{
    menu.setLookAndFeel (&menuLook.get());
    juce::Component::SafePointer<MainComp> safeThis (this);
    menu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (&target),
                        [safeThis, finished] (int result) {
                            if (safeThis != nullptr && result != 0)
                                finished (*safeThis, result);
                        });
}

} // namespace kelvo
