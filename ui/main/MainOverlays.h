#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace kelvo
{
class AboutPanel;
class BankComp;
class FlashPanel;
class MainComp;
class MarvexAudioProcessor;
class MidiCntrState;
class MIDI_Setup;
class MIDI_scan;
class SoundToolsPanel;
class WriteSnd;

/**
    What the main component lays over its pages: the zoomed view of a synth panel section, the bank
    view and the write dialog, the compare and variations panel, and the port setup, scan and about
    panels. It owns them as children of the main component, opens and closes them, places them at
    the editor's scale and carries out what they report. Message thread only.
*/
class MainOverlays final : private juce::ChangeListener
{
public:
    /** Adds the zoomed view and the bank view (both hidden) to main's children. */
    MainOverlays (MainComp& main, MarvexAudioProcessor& processor);
    ~MainOverlays() override;

    /** Places whatever is open for the editor's width, scale, app bar height and keyboard top. */
    void layout (int width, float scale, int barHeight, int keyboardTop);

    //==============================================================================
    /** Opens the zoomed view of a synth panel section (0..9), as a right-click on it does. */
    void openSectionView (int section);
    void closeSectionView();
    bool isSectionViewOpen() const noexcept;
    FlashPanel& getSectionView() noexcept { return *sectionView; }

    /** Shows or hides the bank view ("BANK"); does nothing while the write dialog is open. */
    void toggleBankView();
    bool isBankViewShown() const noexcept { return bankViewShown; }
    BankComp& getBankView() noexcept { return *bankView; }

    /** Opens the write dialog, or closes it if it is open ("WRITE"). */
    void toggleWriteDialog();
    /** Carries out the write dialog's "WRITE" or "CANCEL". */
    void writeDialogFinished();
    WriteSnd* getWriteDialog() noexcept { return writeDialog.get(); }

    /** Opens the compare and variations panel, or closes it. */
    void toggleSoundTools();
    SoundToolsPanel* getSoundTools() noexcept { return soundTools.get(); }

    /** Opens the about panel until it is clicked (no closing timer), unless the write dialog is open. */
    void showAboutPanel();
    /** Opens the about panel; it closes by itself after closeAfterMs, or on a click when that is 0. */
    void openAboutPanel (int closeAfterMs);
    AboutPanel* getAboutPanel() noexcept { return aboutPanel.get(); }

    /** Opens the port setup panel, with the device lists as they are now, or closes it. */
    void toggleSetupPanel();
    /** Shows the device lists as the system has them now, if the setup panel is open. */
    void refreshSetupPanel();
    MIDI_Setup* getSetupPanel() noexcept { return setupPanel.get(); }

    /** Opens the scan panel and starts its scan, giving each port pair answerWaitMs to answer. */
    void showScanPanel (int answerWaitMs);
    MIDI_scan* getScanPanel() noexcept { return scanPanel.get(); }

    /** Carries out what one of its panels reported (a close, a choice); ignores other sources. */
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    void placeOverlay (juce::Component& overlay, juce::Rectangle<int> designBounds, int top);
    /** Shows a panel that has just been made over the pages and listens to what it reports. */
    void addPanel (juce::Component& panel, juce::ChangeBroadcaster& reports);
    void closeAboutPanel();
    void setupPanelAction();
    void closeSetupPanel();
    void closeScanPanel();

    MainComp& main;
    MarvexAudioProcessor& processor;
    MidiCntrState& engine;

    std::unique_ptr<FlashPanel> sectionView;
    std::unique_ptr<BankComp> bankView;
    bool bankViewShown = false;
    std::unique_ptr<WriteSnd> writeDialog;
    std::unique_ptr<SoundToolsPanel> soundTools;
    std::unique_ptr<MIDI_Setup> setupPanel;
    std::unique_ptr<MIDI_scan> scanPanel;
    std::unique_ptr<AboutPanel> aboutPanel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainOverlays)
};

} // namespace kelvo
