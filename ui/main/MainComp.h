#pragma once

#include "link/MidiCntrState.h"
#include "ui/common/MessageSlot.h"
#include "ui/main/MainOverlays.h"
#include "ui/main/MenuCommands.h"
#include "ui/main/TransferDisplay.h"
#include "ui/widgets/stsbutChangeListener.h"
#include "ui/widgets/stsbutListener.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <vector>

namespace kelvo
{
class MarvexAudioProcessor;
class AppBar;
class EditorPanel;
class FlashPanel;
class ProgBar;
class MsgCont;
class DarkMenuLook;
class SeqPanel;
class KeyBrd;
class MIDI_Setup;
class MIDI_scan;
class AboutPanel;
class BankComp;
class WriteSnd;
class MenuCommands;
class Lib_Manager_Win;
class SoundToolsPanel;

/**
    The component that fills the editor: the app bar, the synth panel, the sequencer page, the
    keyboard drawer, the transfer progress display and the message box. What it lays over them on
    demand (the zoomed section, the bank view, the write dialog, the compare panel, the port setup,
    scan and about panels) is MainOverlays' to manage, its menus are MenuCommands', and the
    transfer progress display with what the transfer events make of it is TransferDisplay's.

    It is the only listener of the engine. Engine events are only queued by the engine; the
    asynchronous update takes them all at once on the message thread and brings the screen up to
    date. It also carries out the commands of the app bar. Message thread only.
*/
class MainComp final : public juce::Component,
                       public stsbutListener,
                       public stsbutChangeListener,
                       public stateListener,
                       public juce::ChangeListener,
                       public juce::ChangeBroadcaster,
                       public MidiCntrStateListener,
                       private juce::AsyncUpdater
{
public:
    static constexpr int designWidth = 1191;
    static constexpr int designHeight = 700;

    /** The two views. */
    static constexpr int synthView = 97;
    static constexpr int sequencerView = 98;

    /** Codes of its own commands. */
    static constexpr int restoreEditBufferCode = 70;

    explicit MainComp (MarvexAudioProcessor& processor);
    ~MainComp() override;

    //==============================================================================
    /** Takes every queued engine event and applies it now (what the asynchronous update does). */
    void drainEvents();
    /** Applies one engine event. */
    void applyEvent (int32_t code);

    /** Opens the transfer progress display and starts a transfer (mode 0/7 receive, 100/107 transmit). */
    void startBankTransfer (int mode, int bank) { transfers->start (mode, bank); }
    /** Ends any transfer and closes the progress display. */
    void endBankTransfer() { transfers->end(); }
    /** The progress display of a transfer (the engine's, or one that an undo started). */
    void showTransferProgress() { transfers->show(); }
    /** Opens a message box over the editor. */
    void showMessage (const juce::String& text);
    /** Opens a message box with "OK" and "CANCEL"; onYes runs only for "OK". */
    void askQuestion (const juce::String& text, std::function<void()> onYes);

    /** The clipboard (MenuCommands'): copy the edit buffer, paste into it, put a program on it. */
    void copyProgram() { commands->copyProgram(); }
    void pasteProgram() { commands->pasteProgram(); }
    bool hasClipboard() const noexcept { return commands->hasClipboard(); }
    void copyToClipboard (const ProgramRecord& record) { commands->copyToClipboard (record); }

    //==============================================================================
    // Menus (MenuCommands): each is built by one function and its result applied by another, so
    // that both can be tested without showing anything. A result of 0 (dismissed) does nothing.
    juce::PopupMenu createChannelMenu() const { return commands->createChannelMenu(); }
    void channelMenuFinished (int result) { commands->channelMenuFinished (result); }
    juce::PopupMenu createEditMenu() { return commands->createEditMenu(); }
    void editMenuFinished (int result) { commands->editMenuFinished (result); }
    juce::PopupMenu createSendMenu() { return commands->createSendMenu(); }
    void sendMenuFinished (int result) { commands->sendMenuFinished (result); }
    juce::PopupMenu createProgramMenu() const { return commands->createProgramMenu(); }
    void programMenuFinished (int result) { commands->programMenuFinished (result); }
    void categoryMenuFinished (int result) { commands->categoryMenuFinished (result); }

    //==============================================================================
    // What lies over the pages (MainOverlays): the zoomed section, the bank view, the write
    // dialog, the compare panel, and the port setup, scan and about panels.
    MainOverlays& getOverlays() noexcept { return *overlays; }
    void showAboutPanel() { overlays->showAboutPanel(); }
    void toggleSetupPanel() { overlays->toggleSetupPanel(); }
    void showScanPanel (int answerWaitMs) { overlays->showScanPanel (answerWaitMs); }
    MIDI_Setup* getSetupPanel() noexcept { return overlays->getSetupPanel(); }
    MIDI_scan* getScanPanel() noexcept { return overlays->getScanPanel(); }
    AboutPanel* getAboutPanel() noexcept { return overlays->getAboutPanel(); }
    void toggleBankView() { overlays->toggleBankView(); }
    bool isBankViewShown() const noexcept { return overlays->isBankViewShown(); }
    void toggleWriteDialog() { overlays->toggleWriteDialog(); }
    void writeDialogFinished() { overlays->writeDialogFinished(); }
    /** Carries out the bank view's last action (its menus, its switch). */
    void bankViewAction();
    /** Opens the library window (the app bar's menu button): made on the first request, then
        shown in front. It lives until the editor closes. */
    void openLibraryWindow();
    Lib_Manager_Win* getLibraryWindow() noexcept { return libraryWindow.get(); }
    void toggleSoundTools() { overlays->toggleSoundTools(); }
    SoundToolsPanel* getSoundTools() noexcept { return overlays->getSoundTools(); }

    //==============================================================================
    AppBar& getAppBar() noexcept { return *appBar; }
    EditorPanel& getSynthPanel() noexcept { return *synthPanel; }
    FlashPanel& getSectionView() noexcept { return overlays->getSectionView(); }
    ProgBar* getProgressDisplay() noexcept { return transfers->getProgressDisplay(); }
    MsgCont* getMessageBox() noexcept { return messages.get(); }
    SeqPanel& getSequencerPanel() noexcept { return *sequencerPanel; }
    KeyBrd& getKeyboard() noexcept { return *keyboard; }
    BankComp& getBankView() noexcept { return overlays->getBankView(); }
    WriteSnd* getWriteDialog() noexcept { return overlays->getWriteDialog(); }
    MenuCommands& getCommands() noexcept { return *commands; }
    int getView() const noexcept { return view; }

    void openSectionView (int section) { overlays->openSectionView (section); }
    void closeSectionView() { overlays->closeSectionView(); }

    /** The scale of everything in the editor for a size: width / 1191, unless the height is too
        small for that (a host that ignores the editor's shape), then height / 700. */
    static float scaleForSize (int width, int height);

    //==============================================================================
    void resized() override;
    /** Lays out everything for the current size (after an overlay opened or a page changed). */
    void layout();
    void paint (juce::Graphics& g) override;
    /** A click anywhere in the editor (children included) gives the computer-keyboard player the
        focus, unless the clicked component takes keys itself (a text box). */
    void mouseDown (const juce::MouseEvent& e) override;
    /** Ctrl+Z undoes, Ctrl+Shift+Z redoes (Cmd on macOS), wherever the focus is in the editor. */
    bool keyPressed (const juce::KeyPress& key) override;

    void stsbutPressed (int buttonId) override;
    void stsbutChanged (StsBut& button) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void midiCntrStateChanged (MidiCntrState& engine) override;
    void stateChanged (MidiCntrState& engine) override;

private:
    void handleAsyncUpdate() override;
    void reloadEverything();
    void setStatusText (const juce::String& text);
    /** "OFF-LINE" and why: a missing port at once, no answer from the synth after a while. */
    juce::String offlineStatusText();
    /** Shows the engine's waiting messages for the user in the message box. */
    void showNotices();
    void showMenu (juce::PopupMenu menu, juce::Component& target, std::function<void (MainComp&, int)> finished);
    /** The synth panel, or the sequencer page with the synth panel as its preview, above the drawer. */
    void placePages (int w, float scale, int barHeight, int keyboardTop);

    MarvexAudioProcessor& processor;
    MidiCntrState& engine;

    std::unique_ptr<AppBar> appBar;
    std::unique_ptr<EditorPanel> synthPanel;
    std::unique_ptr<SeqPanel> sequencerPanel;
    std::unique_ptr<KeyBrd> keyboard;
    std::unique_ptr<TransferDisplay> transfers;
    MessageSlot messages { *this, *this };
    std::unique_ptr<MainOverlays> overlays;
    std::unique_ptr<MenuCommands> commands;
    std::unique_ptr<Lib_Manager_Win> libraryWindow;
    juce::SharedResourcePointer<DarkMenuLook> menuLook;

    int view = synthView;
    bool complete = false;
    std::vector<int32_t> pendingEvents;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComp)
};

} // namespace kelvo
