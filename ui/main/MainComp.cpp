#include "ui/main/MainComp.h"
#include "host/MarvexAudioProcessor.h"
#include "link/BankTransfer.h"
#include "link/EngineSettings.h"
#include "model/Categories.h"
#include "ui/main/AppBar.h"
#include "ui/main/BankComp.h"
#include "ui/main/MenuCommands.h"
#include "ui/main/MsgCont.h"
#include "ui/main/WriteSnd.h"
#include "ui/panels/EditorPanel.h"
#include "ui/panels/FlashPanel.h"
#include "ui/widgets/CategoryMenu.h"
#include "ui/widgets/DarkMenuLook.h"
#include "ui/widgets/LCD_Comp.h"
#include "ui/widgets/ProgBar.h"
#include "ui/widgets/ProgramLocation.h"
#include "ui/widgets/StsCont.h"
#include "ui/widgets/StsGrid.h"

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
constexpr float bankViewPanelHeight = 164.0f; // the synth panel's strip above the bank view

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

    bankView = std::make_unique<BankComp> (engine);
    bankView->addChangeListener (this);
    addChildComponent (*bankView);
    commands = std::make_unique<MenuCommands> (*this, processor);

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
    setStatusText (engine.hasGlobalDumpArrived() ? "DSI:  MOPHO X4 ON-LINE" : "OFF-LINE");

    layout();
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

    if (bankViewShown)
    {
        synthPanel->setBounds (0, AppBar::height, w, juce::roundToInt (bankViewPanelHeight * scale));
        bankView->layoutFor (w, keyboardTop - AppBar::height - 1, scale);
        bankView->setTopLeftPosition (0, AppBar::height);
    }
    if (writeDialog != nullptr)
    {
        writeDialog->layoutFor (w, getHeight() - AppBar::height, scale);
        writeDialog->setTopLeftPosition (0, AppBar::height);
    }

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
        if (bankViewShown)
            bankView->followCurrentProgram();
    }
    else if (kind == kindOf (event::online))
    {
        setStatusText ("DSI:  MOPHO X4 ON-LINE");
    }
    else if (kind == kindOf (event::offline))
    {
        setStatusText ("OFF-LINE");
    }
    else if (kind == kindOf (event::bankContentsChanged))
    {
        bankView->refreshGrid();
        if (writeDialog != nullptr)
            writeDialog->getGrid().repaint();
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
    // Echoes (0xB0, 0xE0), globals (0x20) and the plug-in bank list (0x22)
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
    onMessageOk = nullptr;
    messageBox = std::make_unique<MsgCont> (text);
    messageBox->setBounds (getLocalBounds());
    messageBox->getOkButton().addListener (this);
    messageBox->getCancelButton().addListener (this);
    addAndMakeVisible (*messageBox);
    messageBox->toFront (true);
}

void MainComp::askQuestion (const juce::String& text, std::function<void()> onYes)
{
    showMessage (text);
    messageBox->showCancelButton();
    onMessageOk = std::move (onYes);
}

void MainComp::showAboutPanel()
{
    if (writeDialog != nullptr)
        return;
    // The about panel itself comes with its own component; until then there is nothing to open.
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
        writeDialog->write();
    }
    if (writeDialog->getResult() != WriteSnd::open)
        toggleWriteDialog();
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
                auto onOk = std::exchange (onMessageOk, nullptr);
                removeChildComponent (messageBox.get());
                juce::MessageManager::callAsync ([doomed = std::shared_ptr<MsgCont> (messageBox.release())] {});
                if (buttonId == MsgCont::okCode && onOk != nullptr)
                    onOk();
            }
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
            // MIDI and the sequencer page arrive with their components.
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
    else if (source == bankView.get())
    {
        bankViewAction();
    }
    else if (writeDialog != nullptr && source == writeDialog.get())
    {
        writeDialogFinished();
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
