#pragma once

#include "link/MidiCntrState.h"
#include "model/DSI_Program.h"
#include "ui/common/MessageSlot.h"
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
    The component that fills the editor: the app bar, the synth panel and its zoomed view, the
    sequencer page, the keyboard drawer, the transfer progress display and the message box, and on
    demand the port setup, scan and about panels.

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
    void startBankTransfer (int mode, int bank);
    /** Ends any transfer and closes the progress display. */
    void endBankTransfer();
    /** The progress display of a transfer (the engine's, or one that an undo started). */
    void showTransferProgress();
    /** Opens a message box over the editor. */
    void showMessage (const juce::String& text);
    /** Opens a message box with "OK" and "CANCEL"; onYes runs only for "OK". */
    void askQuestion (const juce::String& text, std::function<void()> onYes);

    /** Copies the edit buffer to the clipboard; pastes it back into the edit buffer. */
    void copyProgram();
    void pasteProgram();
    bool hasClipboard() const noexcept { return clipboardFull; }
    /** Puts a program on the clipboard (the bank view's cell menu). */
    void copyToClipboard (const ProgramRecord& record);
    ProgramRecord getClipboardRecord() const noexcept { return clipboard.getRecord(); }
    juce::String getClipboardName() const { return clipboard.name; }

    //==============================================================================
    // Menus: each is built by one function and its result applied by another, so that both can be
    // tested without showing anything. A result of 0 (dismissed) does nothing.
    juce::PopupMenu createChannelMenu() const;
    void channelMenuFinished (int result);
    juce::PopupMenu createEditMenu();
    void editMenuFinished (int result);
    juce::PopupMenu createSendMenu();
    void sendMenuFinished (int result);
    juce::PopupMenu createProgramMenu() const;
    void programMenuFinished (int result);
    /** The category menu of the LCD: the choice becomes the program's category (parameter 117). */
    void categoryMenuFinished (int result);

    //==============================================================================
    // The connection panels and the about panel, each over the editor while it is shown.

    /** Opens the about panel until it is clicked (no closing timer), unless the write dialog is open. */
    void showAboutPanel();
    /** Opens the port setup panel, with the device lists as they are now, or closes it. */
    void toggleSetupPanel();
    /** Opens the scan panel and starts its scan, giving each port pair answerWaitMs to answer. */
    void showScanPanel (int answerWaitMs);
    MIDI_Setup* getSetupPanel() noexcept { return setupPanel.get(); }
    MIDI_scan* getScanPanel() noexcept { return scanPanel.get(); }
    AboutPanel* getAboutPanel() noexcept { return aboutPanel.get(); }
    /** Shows or hides the bank view ("BANK"); does nothing while the write dialog is open. */
    void toggleBankView();
    bool isBankViewShown() const noexcept { return bankViewShown; }
    /** Opens the write dialog, or closes it if it is open ("WRITE"). */
    void toggleWriteDialog();
    /** Carries out the bank view's last action (its menus, its switch). */
    void bankViewAction();
    /** Carries out the write dialog's "WRITE" or "CANCEL". */
    void writeDialogFinished();
    /** Opens the library window (the app bar's menu button): made on the first request, then
        shown in front. It lives until the editor closes. */
    void openLibraryWindow();
    Lib_Manager_Win* getLibraryWindow() noexcept { return libraryWindow.get(); }
    /** Opens the compare and variations panel, or closes it. */
    void toggleSoundTools();
    SoundToolsPanel* getSoundTools() noexcept { return soundTools.get(); }

    //==============================================================================
    AppBar& getAppBar() noexcept { return *appBar; }
    EditorPanel& getSynthPanel() noexcept { return *synthPanel; }
    FlashPanel& getSectionView() noexcept { return *sectionView; }
    ProgBar* getProgressDisplay() noexcept { return progress.get(); }
    MsgCont* getMessageBox() noexcept { return messages.get(); }
    SeqPanel& getSequencerPanel() noexcept { return *sequencerPanel; }
    KeyBrd& getKeyboard() noexcept { return *keyboard; }
    BankComp& getBankView() noexcept { return *bankView; }
    WriteSnd* getWriteDialog() noexcept { return writeDialog.get(); }
    MenuCommands& getCommands() noexcept { return *commands; }
    int getView() const noexcept { return view; }

    /** Opens the zoomed view of a synth panel section (0..9), as a right-click on it does. */
    void openSectionView (int section);
    void closeSectionView();

    /** The scale of everything in the editor for a size: width / 1191, unless the height is too
        small for that (a host that ignores the editor's shape), then height / 700. */
    static float scaleForSize (int width, int height);

    //==============================================================================
    void resized() override;
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
    void layout();
    /** The synth panel, or the sequencer page with the synth panel as its preview, above the drawer. */
    void placePages (int w, float scale, int barHeight, int keyboardTop);
    void placeOverlay (juce::Component& overlay, juce::Rectangle<int> designBounds, int top);
    void openAboutPanel (int closeAfterMs);
    void closeAboutPanel();
    void refreshSetupPanel();
    void setupPanelAction();
    void closeSetupPanel();
    void closeScanPanel();

    MarvexAudioProcessor& processor;
    MidiCntrState& engine;

    std::unique_ptr<AppBar> appBar;
    std::unique_ptr<EditorPanel> synthPanel;
    std::unique_ptr<FlashPanel> sectionView;
    std::unique_ptr<SeqPanel> sequencerPanel;
    std::unique_ptr<KeyBrd> keyboard;
    std::unique_ptr<ProgBar> progress;
    MessageSlot messages { *this, *this };
    std::unique_ptr<MIDI_Setup> setupPanel;
    std::unique_ptr<MIDI_scan> scanPanel;
    std::unique_ptr<AboutPanel> aboutPanel;
    std::unique_ptr<BankComp> bankView;
    bool bankViewShown = false;
    std::unique_ptr<WriteSnd> writeDialog;
    std::unique_ptr<MenuCommands> commands;
    std::unique_ptr<Lib_Manager_Win> libraryWindow;
    std::unique_ptr<SoundToolsPanel> soundTools;
    juce::SharedResourcePointer<DarkMenuLook> menuLook;

    DSI_Program clipboard;
    bool clipboardFull = false;
    int view = synthView;
    bool complete = false;
    std::vector<int32_t> pendingEvents;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComp)
};

} // namespace kelvo
