#include "ui/main/MainComp.h"
#include "host/MarvexAudioProcessor.h"
#include "link/BankTransfer.h"
#include "link/EngineSettings.h"
#include "link/MIDI_PORTS_Control.h"
#include "model/Categories.h"
#include "ui/main/AppBar.h"
#include "ui/main/MsgCont.h"
#include "ui/panels/EditorPanel.h"
#include "ui/panels/FlashPanel.h"
#include "ui/widgets/CategoryMenu.h"
#include "ui/widgets/DarkMenuLook.h"
#include "ui/widgets/LCD_Comp.h"
#include "ui/widgets/ProgBar.h"
#include "ui/widgets/ProgramLocation.h"
#include "ui/widgets/StsCont.h"

namespace kelvo
{
namespace
{
constexpr int numChannels = 16;
constexpr int bankMenuIdBase = 100000;
constexpr int programMenuIdBase = 1000;
constexpr int sendCurrentPreset = 1, sendFxBankPreset = 2;
constexpr int editCopy = 1, editPaste = 2;
constexpr int highestPanelIndex = 114;
constexpr int firstStepIndex = 120, lastStepIndex = 183;
// How long the synth may take to answer a connection check before the status line says it did not.
constexpr int noAnswerDelayMs = 3000;

int kindOf (int32_t code) { return event::kindOf (code); }
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
    engine.resetIncomingNrpn();

    view = synthView;
    reloadEverything();
    setSize (designWidth, designHeight);

    engine.checkConnection();
    engine.addListener (this);
    // The connection check's "OFF-LINE" was posted before we listened for it.
    setStatusText (engine.hasGlobalDumpArrived() ? "DSI:  MOPHO X4 ON-LINE" : offlineStatusText());

    layout();
    // What the engine met before any editor was there to tell (damaged files, ports gone).
    showNotices();
    engine.firstEditorOpened = true;
    complete = true;
}

MainComp::~MainComp()
{
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

void MainComp::resized()
{
    layout();
}

void MainComp::layout()
{
    const auto w = getWidth();
    const auto scale = (float) w / (float) designWidth;
    engine.editorScale = scale;

    appBar->setBounds (appBar->getX(), appBar->getY(), w, AppBar::height);

    // The keyboard drawer will take the bottom edge; until then the panel reaches it.
    const auto keyboardTop = getHeight();
    synthPanel->setBounds (0, AppBar::height, w, keyboardTop - AppBar::height);
    synthPanel->setScale (scale);

    if (sectionView->isVisible())
        sectionView->setBounds (getLocalBounds());
    if (progress != nullptr)
        progress->setBounds (getLocalBounds());
    if (messageBox != nullptr)
        messageBox->setBounds (getLocalBounds());

    if (complete)
    {
        engine.setSetting (settings::editorWidth, juce::String (getWidth()));
        engine.setSetting (settings::editorHeight, juce::String (getHeight()));
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
    if (messageBox != nullptr)
        text = messageBox->getText() + "\n" + text;
    showMessage (text);
}

juce::String MainComp::offlineStatusText()
{
    // A missing port is the reason at once; with both ports open the synth gets its moment to answer.
    if (engine.isOutputOpen() && engine.getPorts().isInputOpen())
    {
        juce::Timer::callAfterDelay (noAnswerDelayMs, [safeThis = juce::Component::SafePointer<MainComp> (this)] {
            if (safeThis != nullptr && ! safeThis->engine.hasGlobalDumpArrived()
                && safeThis->appBar->getStatusLabel().getText() == "OFF-LINE")
                safeThis->setStatusText ("OFF-LINE: " + safeThis->engine.getOfflineReason());
        });
        return "OFF-LINE";
    }
    return "OFF-LINE: " + engine.getOfflineReason();
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
        }
        else if (index == program::categoryIndex)
        {
            // A category chosen here or sent by the synth shows on the LCD at once.
            synthPanel->getLcd().showCategory (value, categoryName (value));
        }
        // Steps 120..183 go to the sequencer page once it exists.
        juce::ignoreUnused (firstStepIndex, lastStepIndex);
    }
    else if (kind == kindOf (event::editBufferReplaced))
    {
        reloadEverything();
    }
    else if (kind == kindOf (event::online))
    {
        setStatusText ("DSI:  MOPHO X4 ON-LINE");
    }
    else if (kind == kindOf (event::offline))
    {
        setStatusText (offlineStatusText());
    }
    else if (kind == kindOf (event::bankTransferFinished))
    {
        endBankTransfer();
    }
    else if (kind == kindOf (event::bankTransferProgress))
    {
        if (progress != nullptr)
            progress->setProgress ((low16 >> 8) & 0xff, low16 & 0xff);
    }
    else if (kind == kindOf (event::bankTransferFailed))
    {
        const auto bank = (low16 >> 8) & 0xff;
        const auto programNumber = low16 & 0xff;
        const auto transmitting = engine.getTransferMode() >= BankTransfer::transmitBank;
        showMessage (transmitting ? juce::String ("Transfer stopped: no MIDI output")
                                  : "No answer from the synth for " + programLocation (bank, programNumber));
    }
    // Echoes (0xB0, 0xE0), bank redraws (0x19), globals (0x20) and the plug-in bank list (0x22)
    // have no component here yet.
}

void MainComp::reloadEverything()
{
    synthPanel->refreshFromEditBuffer();
    if (sectionView->isVisible())
        sectionView->refreshSection();
}

void MainComp::setStatusText (const juce::String& text)
{
    appBar->getStatusLabel().setText (text);
}

//==============================================================================
void MainComp::startBankTransfer (int mode, int bank)
{
    progress = std::make_unique<ProgBar> (getWidth(), getHeight());
    progress->setBounds (getLocalBounds());
    progress->getCancelButton().addListener (this);
    addAndMakeVisible (*progress);
    progress->toFront (false);
    progress->enterModalState (false);

    engine.startBankTransfer (mode, bank);
}

void MainComp::endBankTransfer()
{
    engine.endBankTransfer();
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
    if (messageBox != nullptr)
        removeChildComponent (messageBox.get());
    messageBox = std::make_unique<MsgCont> (text);
    messageBox->setBounds (getLocalBounds());
    messageBox->getOkButton().addListener (this);
    messageBox->getCancelButton().addListener (this);
    addAndMakeVisible (*messageBox);
    messageBox->toFront (true);
}

//==============================================================================
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
        engine.storeProgram (false, 0, 0, clipboard.getRecord());
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
    for (auto index : sectionView->getSectionIndices())
    {
        sectionView->getControl (index).forgetValue();
        sectionView->showParameter (index, synthPanel->getControl (index).getValue());
    }
    sectionView->toFront (true);
    sectionView->setVisible (true);
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
        case restoreEditBufferCode:
            engine.storeProgram (false, 0, 0, processor.getPluginBank().getEditBufferRecord());
            break;
        case ProgBar::cancelButtonId:
            if (engine.isTransferChaining())
                endBankTransfer();
            break;
        case MsgCont::okCode:
        case MsgCont::cancelCode:
            if (messageBox != nullptr)
            {
                removeChildComponent (messageBox.get());
                juce::MessageManager::callAsync ([doomed = std::shared_ptr<MsgCont> (messageBox.release())] {});
            }
            break;
        default:
            // FILE, MIDI, BANK, WRITE and the sequencer page arrive with their components.
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
    return menu;
}

void MainComp::editMenuFinished (int result)
{
    if (result == editCopy)
        copyProgram();
    else if (result == editPaste)
        pasteProgram();
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
