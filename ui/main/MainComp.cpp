#include "ui/main/MainComp.h"
#include "host/MarvexAudioProcessor.h"
#include "host/ProjectRecall.h"
#include "host/SoundCompare.h"
#include "host/SoundHistory.h"
#include "link/BankTransfer.h"
#include "link/EngineSettings.h"
#include "link/MIDI_PORTS_Control.h"
#include "link/PortChoice.h"
#include "link/PortWatcher.h"
#include "model/Categories.h"
#include "ui/main/AboutPanel.h"
#include "ui/main/AppBar.h"
#include "ui/main/BankComp.h"
#include "ui/main/MenuCommands.h"
#include "ui/main/MsgCont.h"
#include "ui/main/WriteSnd.h"
#include "ui/librarian/Lib_Manager_Comp.h"
#include "ui/librarian/Lib_Manager_Win.h"
#include "ui/panels/EditorPanel.h"
#include "ui/panels/FlashPanel.h"
#include "ui/panels/KeyBrd.h"
#include "ui/panels/SoundToolsPanel.h"
#include "ui/sequencer/SeqPanel.h"
#include "ui/setup/MIDI_Setup.h"
#include "ui/setup/MIDI_scan.h"
#include "ui/widgets/CategoryMenu.h"
#include "ui/widgets/DarkMenuLook.h"
#include "ui/widgets/KeyPlayClass.h"
#include "ui/widgets/LCD_Comp.h"
#include "ui/widgets/ProgBar.h"
#include "ui/widgets/ProgramLocation.h"
#include "ui/widgets/StsCont.h"
#include "ui/widgets/WheelCnt.h"
#include "ui/widgets/StsGrid.h"

namespace kelvo
{
namespace
{
constexpr int numChannels = 16;
constexpr int bankMenuIdBase = 100000;
constexpr int programMenuIdBase = 1000;
constexpr int sendCurrentPreset = 1, sendFxBankPreset = 2;
constexpr int editCopy = 1, editPaste = 2, editUndo = 3, editRedo = 4, editSoundTools = 5,
              editProjectRecall = 6;
constexpr int highestPanelIndex = 114;
constexpr int firstStepIndex = 120, lastStepIndex = 183;
constexpr int firstSequencerIndex = 95;
constexpr int controllerEcho = 0xb0, pitchWheelEcho = 0xe0;
constexpr int modWheelController = 1;
// The synth panel's size and scale as the sequencer page's preview, in design units.
const juce::Rectangle<int> previewArea { 700, 200, 456, 264 };
constexpr float previewScale = 0.38287154f;
constexpr int offScreenX = -2000; // where the synth panel waits while a track is edited
constexpr int firstOpeningAboutMs = 2000;
constexpr int scanAnswerWaitMs = 500;
// Where the scan panel sits, in design units below the app bar.
constexpr int scanPanelX = (MainComp::designWidth - MIDI_scan::designWidth) / 2, scanPanelY = 60;
const char* const onlineText = "DSI:  MOPHO X4 ON-LINE";
const char* const offlineText = "OFF-LINE";
// How long the synth may take to answer a connection check before the status line says it did not.
constexpr int noAnswerDelayMs = 3000;
constexpr float bankViewPanelHeight = 164.0f; // the synth panel's strip above the bank view
// Where the compare and variations panel sits, in design units below the app bar.
constexpr int soundToolsX = MainComp::designWidth - 440, soundToolsY = 8;

int kindOf (int32_t code) { return event::kindOf (code); }

/** Deletes a child once the message that is running now, which may come from inside it, has ended. */
template <typename Child> void retire (juce::Component& parent, std::unique_ptr<Child>& child)
{
    if (child == nullptr)
        return;
    parent.removeChildComponent (child.get());
    juce::MessageManager::callAsync ([doomed = std::shared_ptr<Child> (child.release())] {});
}
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

    sectionView = std::make_unique<FlashPanel> (processor);
    sectionView->addChangeListener (this);
    addChildComponent (*sectionView);

    bankView = std::make_unique<BankComp> (engine);
    bankView->addChangeListener (this);
    addChildComponent (*bankView);
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
        openAboutPanel (firstOpeningAboutMs);

    engine.checkConnection();
    engine.addListener (this);
    // The connection check's "OFF-LINE" was posted before we listened for it.
    setStatusText (engine.hasGlobalDumpArrived() ? onlineText : offlineStatusText());

    engine.getPortWatcher().onPortsChanged = [this] { refreshSetupPanel(); };
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
    if (scanPanel != nullptr)
        scanPanel->getScan().cancel();
    engine.removeListener (this);
    engine.removeStateListener (this);
    cancelPendingUpdate();
    if (progress != nullptr && progress->isCurrentlyModal())
        progress->exitModalState (0);
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

    if (bankViewShown)
    {
        synthPanel->setBounds (0, barHeight, w, juce::roundToInt (bankViewPanelHeight * scale));
        bankView->layoutFor (w, keyboardTop - barHeight - 1, scale);
        bankView->setTopLeftPosition (0, barHeight);
    }
    if (writeDialog != nullptr)
    {
        writeDialog->layoutFor (w, getHeight() - barHeight, scale);
        writeDialog->setTopLeftPosition (0, barHeight);
    }

    if (sectionView->isVisible())
        sectionView->setBounds (getLocalBounds());
    if (progress != nullptr)
        progress->setBounds (getLocalBounds());
    messages.layout();

    const auto belowBar = (int) std::ceil ((float) (getHeight() - barHeight) / scale);
    if (setupPanel != nullptr)
        placeOverlay (*setupPanel, { 0, 0, designWidth, belowBar }, barHeight);
    if (scanPanel != nullptr)
        placeOverlay (*scanPanel, { scanPanelX, scanPanelY, MIDI_scan::designWidth, scanPanel->getHeight() },
                      barHeight);
    if (soundTools != nullptr)
        placeOverlay (*soundTools,
                      {soundToolsX, soundToolsY, SoundToolsPanel::designWidth, SoundToolsPanel::designHeight},
                      barHeight);
    if (aboutPanel != nullptr)
        placeOverlay (*aboutPanel, { 0, 0, designWidth, (int) std::ceil ((float) getHeight() / scale) }, 0);

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
            if (! sectionView->isVisible())
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
        if (! sectionView->isVisible())
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
    auto text = waiting.joinIntoString ("\n");
    if (auto* shown = messages.get())
        text = shown->getText() + "\n" + text;
    showMessage (text);
}

juce::String MainComp::offlineStatusText()
{
    // A missing port is the reason at once; with both ports open the synth gets its moment to answer.
    if (engine.isOutputOpen() && engine.getPorts().isInputOpen())
    {
        juce::Timer::callAfterDelay (noAnswerDelayMs, [safeThis = juce::Component::SafePointer<MainComp> (this)] {
            if (safeThis != nullptr && ! safeThis->engine.hasGlobalDumpArrived()
                && safeThis->appBar->getStatusLabel().getText() == offlineText)
                safeThis->setStatusText (juce::String (offlineText) + ": " + safeThis->engine.getOfflineReason());
        });
        return offlineText;
    }
    return juce::String (offlineText) + ": " + engine.getOfflineReason();
}

void MainComp::applyEvent (int32_t code)
{
    const auto kind = kindOf (code);
    const auto low16 = code & 0xffff;

    if (kind == kindOf (event::parameterChanged))
    {
        const auto index = (code >> 8) & 0xff;
        const auto value = code & 0xff;
        if (index <= highestPanelIndex)
        {
            synthPanel->showParameter (index, value);
            if (sectionView->isVisible())
                sectionView->showParameter (index, value);
            if (index >= firstSequencerIndex)
                sequencerPanel->updateControl (index, value);
        }
        else if (index == program::categoryIndex)
        {
            // A category chosen here or sent by the synth shows on the LCD at once.
            synthPanel->getLcd().showCategory (value, categoryName (value));
        }
        else if (index >= firstStepIndex && index <= lastStepIndex)
        {
            sequencerPanel->updateStep (index, value);
        }
    }
    else if (kind == controllerEcho)
    {
        if (((code >> 7) & 0x7f) == modWheelController)
            keyboard->getModWheel().setWheelValue (code & 0x7f, false);
    }
    else if (kind == pitchWheelEcho)
    {
        keyboard->getPitchWheel().setWheelValue ((code >> 7) & 0x7f, false);
    }
    else if (kind == kindOf (event::editBufferReplaced))
    {
        reloadEverything();
        if (bankViewShown)
            bankView->followCurrentProgram();
    }
    else if (kind == kindOf (event::online))
    {
        setStatusText (onlineText);
    }
    else if (kind == kindOf (event::offline))
    {
        setStatusText (offlineStatusText());
    }
    else if (kind == kindOf (event::globalChanged))
    {
        if (setupPanel != nullptr)
            setupPanel->refreshGlobal (code - event::globalChanged);
    }
    else if (kind == kindOf (event::bankContentsChanged))
    {
        bankView->refreshGrid();
        if (writeDialog != nullptr)
            writeDialog->getGrid().repaint();
    }
    else if (kind == kindOf (event::bankTransferFinished))
    {
        processor.getHistory().transferFinished();
        endBankTransfer();
    }
    else if (kind == kindOf (event::programDumpArrived))
    {
        // The synth holds what it sent, and so does the local bank now.
        processor.getHistory().transferProgress ((low16 >> 8) & 0xff, low16 & 0xff);
    }
    else if (kind == kindOf (event::bankTransferProgress))
    {
        processor.getHistory().transferProgress ((low16 >> 8) & 0xff, low16 & 0xff);
        if (progress != nullptr)
            progress->setProgress ((low16 >> 8) & 0xff, low16 & 0xff);
    }
    else if (kind == kindOf (event::bankTransferFailed))
    {
        const auto bank = (low16 >> 8) & 0xff;
        const auto programNumber = low16 & 0xff;
        const auto transmitting = engine.getTransferMode() >= BankTransfer::transmitBank;
        processor.getHistory().transferFailed (bank, programNumber);
        showMessage (transmitting ? "Transfer stopped: no MIDI output for " + programLocation (bank, programNumber)
                                  : "No answer from the synth for " + programLocation (bank, programNumber));
    }
    else if (kind == kindOf (event::pluginProgramChanged))
    {
        if (libraryWindow != nullptr)
            libraryWindow->getManager().showCurrentProgram();
    }
}

void MainComp::reloadEverything()
{
    synthPanel->refreshFromEditBuffer();
    if (sectionView->isVisible())
        sectionView->refreshSection();
    sequencerPanel->refreshAll();
}

void MainComp::setStatusText (const juce::String& text)
{
    appBar->getStatusLabel().setText (text);
    if (setupPanel != nullptr)
        setupPanel->setHeading (text);
}

//==============================================================================
void MainComp::placeOverlay (juce::Component& overlay, juce::Rectangle<int> designBounds, int top)
{
    // Laid out in design units and scaled as a whole, like the panels under it.
    const auto scale = (float) getWidth() / (float) designWidth;
    overlay.setBounds (designBounds);
    overlay.setTransform (juce::AffineTransform::scale (scale).translated (0.0f, (float) top));
}

void MainComp::showAboutPanel()
{
    if (writeDialog == nullptr)
        openAboutPanel (0);
}

void MainComp::openAboutPanel (int closeAfterMs)
{
    retire (*this, aboutPanel);
    aboutPanel = std::make_unique<AboutPanel> (closeAfterMs);
    aboutPanel->addChangeListener (this);
    addAndMakeVisible (*aboutPanel);
    aboutPanel->toFront (false);
    layout();
}

void MainComp::closeAboutPanel()
{
    if (aboutPanel != nullptr)
        aboutPanel->removeChangeListener (this);
    retire (*this, aboutPanel);
}

void MainComp::toggleSetupPanel()
{
    if (setupPanel != nullptr)
    {
        closeSetupPanel();
        return;
    }

    closeScanPanel();
    setupPanel = std::make_unique<MIDI_Setup> (engine);
    setupPanel->addChangeListener (this);
    addAndMakeVisible (*setupPanel);
    if (aboutPanel != nullptr)
        aboutPanel->toFront (false);
    refreshSetupPanel();
    setupPanel->setHeading (appBar->getStatusLabel().getText());
    layout();
    engine.checkConnection();
}

void MainComp::refreshSetupPanel()
{
    if (setupPanel == nullptr)
        return;

    // The lists as the system has them now; each port's row found by the name that was chosen.
    const auto inputs = portchoice::inputRows (engine);
    const auto outputs = portchoice::outputRows (engine);
    const auto names = engine.getPortNames();
    const auto& ports = engine.getPorts();
    // An open port is named by its device's name: a device plugged in ahead of it moves it down.
    const auto rowOf = [] (const juce::StringArray& list, const juce::String& name) {
        return juce::jmax (0, list.indexOf (name));
    };
    setupPanel->setLists (inputs, outputs, rowOf (inputs, ports.isInputOpen() ? ports.getInputName() : names[0]),
                          rowOf (outputs, ports.isOutputOpen() ? ports.getOutputName() : names[1]));
    setupPanel->setPortsOpen (ports.isInputOpen(), ports.isOutputOpen());
}

void MainComp::setupPanelAction()
{
    const auto action = setupPanel->getLastAction();
    if (action == MIDI_Setup::inputChosen || action == MIDI_Setup::outputChosen)
    {
        // Chosen by name: the lists may have changed since the panel showed them.
        const auto input = action == MIDI_Setup::inputChosen;
        const auto& list = input ? setupPanel->getInputList() : setupPanel->getOutputList();
        const auto name = list[setupPanel->getLastValue()];
        const auto chosen = input ? portchoice::selectInputByName (engine, name)
                                  : portchoice::selectOutputByName (engine, name);
        refreshSetupPanel();
        if (! chosen)
            return;
        engine.checkConnection();
        // Saved at once: closing the host now must not lose the choice.
        engine.saveSettings();
        engine.savePorts();
    }
    else if (action == MIDI_Setup::okPressed)
    {
        engine.checkConnection();
        engine.saveSettings();
        closeSetupPanel();
    }
}

void MainComp::closeSetupPanel()
{
    if (setupPanel == nullptr)
        return;
    engine.savePorts();
    setupPanel->removeChangeListener (this);
    retire (*this, setupPanel);
}

void MainComp::showScanPanel (int answerWaitMs)
{
    closeScanPanel();
    scanPanel = std::make_unique<MIDI_scan> (engine, PortScan::Timing { answerWaitMs });
    scanPanel->addChangeListener (this);
    addAndMakeVisible (*scanPanel);
    if (aboutPanel != nullptr)
        aboutPanel->toFront (false);
    layout();
    scanPanel->start();
}

void MainComp::closeScanPanel()
{
    if (scanPanel == nullptr)
        return;
    scanPanel->getScan().cancel();
    scanPanel->removeChangeListener (this);
    retire (*this, scanPanel);
}

//==============================================================================
void MainComp::startBankTransfer (int mode, int bank)
{
    showTransferProgress();
    if (mode == BankTransfer::transmitBank)
        processor.getHistory().transmissionStarting (bank, bank);
    else if (mode == BankTransfer::transmitAllBanks)
        processor.getHistory().transmissionStarting (0, BankTransfer::numUserBanks - 1);
    engine.startBankTransfer (mode, bank);
}

void MainComp::showTransferProgress()
{
    if (progress != nullptr)
        return;
    progress = std::make_unique<ProgBar> (getWidth(), getHeight());
    progress->setBounds (getLocalBounds());
    progress->getCancelButton().addListener (this);
    addAndMakeVisible (*progress);
    progress->toFront (false);
    progress->enterModalState (false);
}

void MainComp::endBankTransfer()
{
    engine.endBankTransfer();
    processor.getHistory().transferEnded();
    if (progress != nullptr)
    {
        if (progress->isCurrentlyModal())
            progress->exitModalState (0);
        removeChildComponent (progress.get());
        // The cancel button may be reporting to us right now: let it finish before it goes.
        juce::MessageManager::callAsync ([doomed = std::shared_ptr<ProgBar> (progress.release())] {});
    }
}

void MainComp::showMessage (const juce::String& text)
{
    messages.show (text);
}

void MainComp::askQuestion (const juce::String& text, std::function<void()> onYes)
{
    messages.ask (text, std::move (onYes));
}

//==============================================================================
void MainComp::toggleBankView()
{
    if (writeDialog != nullptr)
        return;
    bankViewShown = ! bankViewShown;
    if (bankViewShown)
    {
        bankView->showCurrent();
        bankView->setVisible (true);
        bankView->toFront (false);
    }
    else
    {
        bankView->setVisible (false);
    }
    layout();
}

void MainComp::toggleWriteDialog()
{
    if (writeDialog != nullptr)
    {
        removeChildComponent (writeDialog.get());
        // Its button may be reporting to us right now: let it finish before it goes.
        juce::MessageManager::callAsync ([doomed = std::shared_ptr<WriteSnd> (writeDialog.release())] {});
        return;
    }
    writeDialog = std::make_unique<WriteSnd> (engine);
    writeDialog->addChangeListener (this);
    addAndMakeVisible (*writeDialog);
    writeDialog->toFront (true);
    layout();
}

void MainComp::writeDialogFinished()
{
    if (writeDialog == nullptr)
        return;
    if (writeDialog->getResult() == WriteSnd::writeChosen)
    {
        // The dialog stays open when nothing can be written, so that the choice is not lost.
        if (! commands->checkSynthReachable())
            return;
        const auto bank = writeDialog->getDestinationBank(),
                   programNumber = writeDialog->getDestinationProgram();
        processor.getHistory().recordProgramWrite (bank, programNumber,
                                                   "Write " + programLocation (bank, programNumber),
                                                   [this] { writeDialog->write(); });
    }
    if (writeDialog->getResult() != WriteSnd::open)
        toggleWriteDialog();
}

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
    switch (bankView->getActionCode())
    {
        case BankComp::transfersMenu:
            showMenu (commands->createTransfersMenu(), bankView->getMidiButton(),
                      [] (MainComp& m, int r) { m.commands->transfersMenuFinished (r); });
            break;
        case BankComp::bankFilesMenu:
            showMenu (commands->createBankFilesMenu(), bankView->getFileButton(),
                      [] (MainComp& m, int r) { m.commands->bankFilesMenuFinished (r); });
            break;
        case BankComp::presetsMenu:
        {
            const auto bank = bankView->getShownBank();
            if (commands->canOpenPresetsMenu (bank, bankView->isShowingCategory()))
                showMenu (commands->createPresetsMenu (bank), bankView->getPresetsButton(),
                          [bank] (MainComp& m, int r) { m.commands->presetsMenuFinished (r, bank); });
            break;
        }
        case BankComp::cellMenu:
        {
            const auto bank = bankView->getCellBank(), programNumber = bankView->getCellProgram();
            showMenu (commands->createCellMenu (bank, programNumber), bankView->getGrid(),
                      [bank, programNumber] (MainComp& m, int r) { m.commands->cellMenuFinished (r, bank, programNumber); });
            break;
        }
        default:
            break; // the switch has already set the engine's flag
    }
}

void MainComp::toggleSoundTools()
{
    if (soundTools != nullptr)
    {
        // The synth never keeps playing the source once nothing shows that it does.
        processor.getCompare().end();
        soundTools->removeChangeListener (this);
        retire (*this, soundTools);
        return;
    }
    soundTools = std::make_unique<SoundToolsPanel> (processor);
    soundTools->addChangeListener (this);
    addAndMakeVisible (*soundTools);
    if (aboutPanel != nullptr)
        aboutPanel->toFront (false);
    layout();
}

bool MainComp::keyPressed (const juce::KeyPress& key)
{
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
void MainComp::copyToClipboard (const ProgramRecord& record)
{
    clipboard.setData (toBlock (record));
    clipboard.getName();
    clipboardFull = true;
}

void MainComp::copyProgram()
{
    clipboard.setData (processor.getPluginBank().getEditBuffer());
    clipboard.getName();
    clipboardFull = true;
    engine.storeProgram (false, 0, 0, processor.getPluginBank().getEditBufferRecord());
}

void MainComp::pasteProgram()
{
    if (clipboardFull)
        processor.getHistory().recordSoundChange (
            "Paste " + clipboard.getName().trimEnd(),
            [this] { engine.storeProgram (false, 0, 0, clipboard.getRecord()); });
}

//==============================================================================
void MainComp::openSectionView (int section)
{
    if (section < 0 || section >= EditorPanel::lcdSection)
        return;

    synthPanel->setShowing (false);
    sectionView->setBounds (getLocalBounds());
    sectionView->setShowing (true);
    sectionView->showSection (section, getWidth());
    // From the edit buffer, as the panel took them: a stored value beyond a control's own range
    // then shows the same text in both.
    sectionView->refreshSection();
    sectionView->toFront (true);
    sectionView->setVisible (true);
    if (sectionView->isShowing())
        sectionView->grabKeyboardFocus();
}

void MainComp::closeSectionView()
{
    sectionView->setVisible (false);
    sectionView->setShowing (false);
    synthPanel->setShowing (true);
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
                showMenu (createEditMenu(), *b, [] (MainComp& m, int r) { m.editMenuFinished (r); });
            break;
        case AppBar::send:
            if (auto* b = appBar->findButton (AppBar::send))
                showMenu (createSendMenu(), *b, [] (MainComp& m, int r) { m.sendMenuFinished (r); });
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
    else if (source == sectionView.get())
    {
        closeSectionView();
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
    else if (setupPanel != nullptr && source == setupPanel.get())
    {
        setupPanelAction();
    }
    else if (scanPanel != nullptr && source == scanPanel.get())
    {
        closeScanPanel();
    }
    else if (aboutPanel != nullptr && source == aboutPanel.get())
    {
        closeAboutPanel();
    }
    else if (source == bankView.get())
    {
        bankViewAction();
    }
    else if (writeDialog != nullptr && source == writeDialog.get())
    {
        writeDialogFinished();
    }
    else if (source == &appBar->getMenuButton())
    {
        openLibraryWindow();
    }
    else if (soundTools != nullptr && source == soundTools.get())
    {
        toggleSoundTools();
    }
    else if (source == &appBar->getChannelLabel())
    {
        showMenu (createChannelMenu(), appBar->getChannelLabel(), [] (MainComp& m, int r) { m.channelMenuFinished (r); });
    }
    else if (source == &synthPanel->getLcd())
    {
        const auto region = synthPanel->getLcd().getClickRegion();
        if (region == LCD_Comp::locationRegion)
            showMenu (createProgramMenu(), synthPanel->getLcd(), [] (MainComp& m, int r) { m.programMenuFinished (r); });
        else if (region == LCD_Comp::categoryRegion)
            showMenu (buildCategoryMenu (menuLook.get()), synthPanel->getLcd(),
                      [] (MainComp& m, int r) { m.categoryMenuFinished (r); });
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

juce::PopupMenu MainComp::createChannelMenu() const
{
    juce::PopupMenu menu;
    for (int channel = 1; channel <= numChannels; ++channel)
        menu.addItem (channel, "Channel " + juce::String (channel), true, channel == engine.getMidiChannel());
    return menu;
}

void MainComp::channelMenuFinished (int result)
{
    if (result < 1 || result > numChannels)
        return;
    engine.setMidiChannel (result);
    appBar->getChannelLabel().setText ("Chan: " + juce::String (result));
}

juce::PopupMenu MainComp::createEditMenu()
{
    juce::PopupMenu menu;
    menu.addItem (editCopy, "Copy Program: " + processor.getPluginBank().getEditBufferName());
    menu.addItem (editPaste, clipboardFull ? "Paste " + clipboard.getName() : juce::String ("Paste "), clipboardFull);
    menu.addSeparator();
    const auto& history = processor.getHistory();
    menu.addItem (editUndo, history.canUndo() ? "Undo " + history.getUndoLabel() : juce::String ("Undo"),
                  history.canUndo());
    menu.addItem (editRedo, history.canRedo() ? "Redo " + history.getRedoLabel() : juce::String ("Redo"),
                  history.canRedo());
    menu.addSeparator();
    menu.addItem (editSoundTools, "Compare and Vary...", true, soundTools != nullptr);
    menu.addItem (editProjectRecall, "Send The Project's Sound To The Synth On Load", true,
                  processor.getProjectRecall().isEnabled());
    return menu;
}

void MainComp::editMenuFinished (int result)
{
    if (result == editCopy)
        copyProgram();
    else if (result == editPaste)
        pasteProgram();
    else if (result == editUndo)
        processor.getHistory().undo();
    else if (result == editRedo)
        processor.getHistory().redo();
    else if (result == editSoundTools)
        toggleSoundTools();
    else if (result == editProjectRecall)
        processor.getProjectRecall().setEnabled (!processor.getProjectRecall().isEnabled());
}

juce::PopupMenu MainComp::createSendMenu()
{
    juce::PopupMenu menu;
    auto& bank = processor.getPluginBank();
    menu.addItem (sendCurrentPreset, "Current Preset: " + bank.getEditBufferName());
    menu.addItem (sendFxBankPreset, "FX Bank Preset: " + bank.getProgramName (engine.getCurrentPluginProgram()));
    return menu;
}

void MainComp::sendMenuFinished (int result)
{
    if (result == sendCurrentPreset)
    {
        if (! commands->checkSynthReachable())
            return;
        engine.sendEditBufferToSynth();
        engine.storeProgram (false, 0, 0, processor.getPluginBank().getEditBufferRecord());
    }
    else if (result == sendFxBankPreset)
    {
        engine.loadCurrentPluginProgram();
    }
}

void MainComp::categoryMenuFinished (int result)
{
    const auto categoryNumber = categoryFromMenuResult (result);
    if (categoryNumber >= 0)
        processor.setParameterFromEditor (program::categoryIndex, categoryNumber, true, true);
}

juce::PopupMenu MainComp::createProgramMenu() const
{
    juce::PopupMenu menu;
    const auto currentBank = engine.getCurrentSynthBank();
    for (int b = 0; b < MidiCntrState::numSynthBanks; ++b)
        menu.addItem (bankMenuIdBase + b, engine.getSynthBank (b)->getBankName(), true, b == currentBank);
    menu.addSeparator();
    const auto* bank = engine.getSynthBank (currentBank);
    for (int p = 0; p < program::programsPerBank; ++p)
        menu.addItem (programMenuIdBase + p, bank->getProgramName (p), true, p == engine.getCurrentSynthProgram());
    return menu;
}

void MainComp::programMenuFinished (int result)
{
    auto bank = engine.getCurrentSynthBank();
    auto programNumber = engine.getCurrentSynthProgram();
    if (result >= bankMenuIdBase && result < bankMenuIdBase + MidiCntrState::numSynthBanks)
        bank = result - bankMenuIdBase;
    else if (result >= programMenuIdBase && result < programMenuIdBase + program::programsPerBank)
        programNumber = result - programMenuIdBase;
    else
        return;
    engine.selectProgram (bank, programNumber, true);
}

} // namespace kelvo
