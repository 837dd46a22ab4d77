#include "ui/main/MainOverlays.h"

#include "host/MarvexAudioProcessor.h"
#include "host/SoundCompare.h"
#include "host/SoundHistory.h"
#include "link/MIDI_PORTS_Control.h"
#include "link/MidiCntrState.h"
#include "link/PortChoice.h"
#include "ui/common/RetireChild.h"
#include "ui/main/AboutPanel.h"
#include "ui/main/AppBar.h"
#include "ui/main/BankComp.h"
#include "ui/main/MainComp.h"
#include "ui/main/MenuCommands.h"
#include "ui/main/WriteSnd.h"
#include "ui/panels/EditorPanel.h"
#include "ui/panels/FlashPanel.h"
#include "ui/panels/SoundToolsPanel.h"
#include "ui/setup/MIDI_Setup.h"
#include "ui/setup/MIDI_scan.h"
#include "ui/widgets/ProgramLocation.h"

namespace kelvo
{
namespace
{
// Where the scan panel sits, in design units below the app bar.
constexpr int scanPanelX = (MainComp::designWidth - MIDI_scan::designWidth) / 2, scanPanelY = 60;
constexpr float bankViewPanelHeight = 164.0f; // the synth panel's strip above the bank view
// Where the compare and variations panel sits, in design units below the app bar.
constexpr int soundToolsX = MainComp::designWidth - 440, soundToolsY = 8;
} // namespace

MainOverlays::MainOverlays (MainComp& m, MarvexAudioProcessor& p)
    : main (m), processor (p), engine (p.getEngine())
{
    sectionView = std::make_unique<FlashPanel> (processor);
    sectionView->addChangeListener (this);
    main.addChildComponent (*sectionView);

    bankView = std::make_unique<BankComp> (engine);
    bankView->addChangeListener (this);
    main.addChildComponent (*bankView);
}

MainOverlays::~MainOverlays() = default;

//==============================================================================
void MainOverlays::layout (int w, float scale, int barHeight, int keyboardTop)
{
    if (bankViewShown)
    {
        main.getSynthPanel().setBounds (0, barHeight, w, juce::roundToInt (bankViewPanelHeight * scale));
        bankView->layoutFor (w, keyboardTop - barHeight - 1, scale);
        bankView->setTopLeftPosition (0, barHeight);
    }
    if (writeDialog != nullptr)
    {
        writeDialog->layoutFor (w, main.getHeight() - barHeight, scale);
        writeDialog->setTopLeftPosition (0, barHeight);
    }

    if (sectionView->isVisible())
        sectionView->setBounds (main.getLocalBounds());

    const auto belowBar = (int)std::ceil ((float)(main.getHeight() - barHeight) / scale);
    if (setupPanel != nullptr)
        placeOverlay (*setupPanel, {0, 0, MainComp::designWidth, belowBar}, barHeight);
    if (scanPanel != nullptr)
        placeOverlay (*scanPanel, {scanPanelX, scanPanelY, MIDI_scan::designWidth, scanPanel->getHeight()},
                      barHeight);
    if (soundTools != nullptr)
        placeOverlay (*soundTools,
                      juce::Rectangle<int> (SoundToolsPanel::designWidth, SoundToolsPanel::designHeight)
                          .withPosition (soundTools->getUserPosition().value_or (juce::Point<int> (soundToolsX, soundToolsY))),
                      barHeight);
    if (aboutPanel != nullptr)
        placeOverlay (*aboutPanel,
                      {0, 0, MainComp::designWidth, (int)std::ceil ((float)main.getHeight() / scale)}, 0);
}

void MainOverlays::placeOverlay (juce::Component& overlay, juce::Rectangle<int> designBounds, int top)
{
    // Laid out in design units and scaled as a whole, like the panels under it.
    const auto scale = (float)main.getWidth() / (float)MainComp::designWidth;
    overlay.setBounds (designBounds);
    overlay.setTransform (juce::AffineTransform::scale (scale).translated (0.0f, (float)top));
}

void MainOverlays::addPanel (juce::Component& panel, juce::ChangeBroadcaster& reports)
{
    reports.addChangeListener (this);
    main.addAndMakeVisible (panel);
    // The about panel stays over everything while it shows.
    if (aboutPanel != nullptr)
        aboutPanel->toFront (false);
}

void MainOverlays::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == sectionView.get())
        closeSectionView();
    else if (setupPanel != nullptr && source == setupPanel.get())
        setupPanelAction();
    else if (scanPanel != nullptr && source == scanPanel.get())
    {
        const auto choosePorts = scanPanel->wantsPortSetup();
        closeScanPanel();
        if (choosePorts && setupPanel == nullptr)
            toggleSetupPanel();
    }
    else if (aboutPanel != nullptr && source == aboutPanel.get())
        closeAboutPanel();
    else if (source == bankView.get())
        main.bankViewAction();
    else if (writeDialog != nullptr && source == writeDialog.get())
        writeDialogFinished();
    else if (soundTools != nullptr && source == soundTools.get())
        toggleSoundTools();
}

//==============================================================================
void MainOverlays::openSectionView (int section)
{
    if (section < 0 || section >= EditorPanel::lcdSection)
        return;

    main.getSynthPanel().setShowing (false);
    sectionView->setBounds (main.getLocalBounds());
    sectionView->setShowing (true);
    sectionView->showSection (section, main.getWidth());
    // From the edit buffer, as the panel took them: a stored value beyond a control's own range
    // then shows the same text in both.
    sectionView->refreshSection();
    sectionView->toFront (true);
    sectionView->setVisible (true);
    if (sectionView->isShowing())
        sectionView->grabKeyboardFocus();
}

void MainOverlays::closeSectionView()
{
    sectionView->setVisible (false);
    sectionView->setShowing (false);
    main.getSynthPanel().setShowing (true);
}

bool MainOverlays::isSectionViewOpen() const noexcept
{
    return sectionView->isVisible();
}

//==============================================================================
void MainOverlays::toggleBankView()
{
    if (writeDialog != nullptr)
        return;
    bankViewShown = !bankViewShown;
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
    main.layout();
}

void MainOverlays::toggleWriteDialog()
{
    if (writeDialog != nullptr)
    {
        // Its button may be reporting to us right now.
        retireChild (main, writeDialog);
        return;
    }
    writeDialog = std::make_unique<WriteSnd> (engine);
    writeDialog->addChangeListener (this);
    main.addAndMakeVisible (*writeDialog);
    writeDialog->toFront (true);
    main.layout();
}

void MainOverlays::writeDialogFinished()
{
    if (writeDialog == nullptr)
        return;
    if (writeDialog->getResult() == WriteSnd::writeChosen)
    {
        // The dialog stays open when nothing can be written, so that the choice is not lost.
        if (!main.getCommands().checkSynthReachable())
            return;
        const auto bank = writeDialog->getDestinationBank(),
                   programNumber = writeDialog->getDestinationProgram();
        // The write waits for the program it replaces to be read from the synth; the dialog is
        // gone by then, so it takes what it writes along.
        processor.getHistory().recordProgramWrite (bank, programNumber,
                                                   "Write " + programLocation (bank, programNumber),
                                                   [&link = engine, bank, programNumber, record = writeDialog->makeRecord()]
                                                   { link.writeProgram (bank, programNumber, record); });
    }
    if (writeDialog->getResult() != WriteSnd::open)
        toggleWriteDialog();
}

//==============================================================================
void MainOverlays::toggleSoundTools()
{
    if (soundTools != nullptr)
    {
        // The synth never keeps playing the source once nothing shows that it does.
        processor.getCompare().end();
        soundTools->removeChangeListener (this);
        retireChild (main, soundTools);
        return;
    }
    soundTools = std::make_unique<SoundToolsPanel> (processor);
    addPanel (*soundTools, *soundTools);
    main.layout();
}

//==============================================================================
void MainOverlays::showAboutPanel()
{
    if (writeDialog == nullptr)
        openAboutPanel (0);
}

void MainOverlays::openAboutPanel (int closeAfterMs)
{
    retireChild (main, aboutPanel);
    aboutPanel = std::make_unique<AboutPanel> (closeAfterMs);
    aboutPanel->addChangeListener (this);
    main.addAndMakeVisible (*aboutPanel);
    aboutPanel->toFront (false);
    main.layout();
}

void MainOverlays::closeAboutPanel()
{
    if (aboutPanel != nullptr)
        aboutPanel->removeChangeListener (this);
    retireChild (main, aboutPanel);
}

//==============================================================================
void MainOverlays::toggleSetupPanel()
{
    if (setupPanel != nullptr)
    {
        closeSetupPanel();
        return;
    }

    closeScanPanel();
    setupPanel = std::make_unique<MIDI_Setup> (engine);
    addPanel (*setupPanel, *setupPanel);
    refreshSetupPanel();
    setupPanel->setHeading (main.getAppBar().getStatusLabel().getText());
    main.layout();
    engine.checkConnection();
}

void MainOverlays::refreshSetupPanel()
{
    if (setupPanel == nullptr)
        return;

    // The lists as the system has them now; each port's row found by the name that was chosen.
    const auto inputs = portchoice::inputRows (engine);
    const auto outputs = portchoice::outputRows (engine);
    const auto names = engine.getPortNames();
    const auto& ports = engine.getPorts();
    // An open port is named by its device's name: a device plugged in ahead of it moves it down.
    const auto rowOf = [] (const juce::StringArray& list, const juce::String& name) { return juce::jmax (0, list.indexOf (name)); };
    setupPanel->setLists (inputs, outputs, rowOf (inputs, ports.isInputOpen() ? ports.getInputName() : names[0]),
                          rowOf (outputs, ports.isOutputOpen() ? ports.getOutputName() : names[1]));
    setupPanel->setPortsOpen (ports.isInputOpen(), ports.isOutputOpen());
}

void MainOverlays::setupPanelAction()
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
        if (!chosen)
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

void MainOverlays::closeSetupPanel()
{
    if (setupPanel == nullptr)
        return;
    engine.savePorts();
    setupPanel->removeChangeListener (this);
    retireChild (main, setupPanel);
}

void MainOverlays::showScanPanel (int answerWaitMs)
{
    closeScanPanel();
    scanPanel = std::make_unique<MIDI_scan> (engine, PortScan::Timing{answerWaitMs});
    addPanel (*scanPanel, *scanPanel);
    main.layout();
    scanPanel->start();
}

void MainOverlays::closeScanPanel()
{
    if (scanPanel == nullptr)
        return;
    scanPanel->getScan().cancel();
    scanPanel->removeChangeListener (this);
    retireChild (main, scanPanel);
}

} // namespace kelvo
