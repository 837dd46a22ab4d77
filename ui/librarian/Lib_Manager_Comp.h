#pragma once

#include "ui/librarian/LibBut.h"
#include "ui/librarian/LibPageHost.h"
#include "ui/common/MessageSlot.h"
#include "ui/common/winToolListener.h"
#include "ui/widgets/KeyPlayListener.h"
#include "ui/widgets/ListenerArray.h"
#include "ui/widgets/stsbutListener.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

namespace kelvo
{
class MarvexAudioProcessor;
class DarkMenuLook;
class FileBrowser;
class KeyPlayClass;
class LibClass;
class MsgCont;
class Plugin_Bank;
class WinMovCan;

/**
    The content of the library window: a caption bar that drags the window, the "PRESET BANK" and
    "LIBRARY" page buttons, a close control, a computer-keyboard player (which drags the window
    too), a hint line, and one page at a time. Each page is made the first time it is shown and kept,
    so its selection, scrolling and an open dialog survive a switch; the library is not read from its
    file until its page is first shown.

    A click on the close control or on either page's DONE tells the close listeners 122 (the window
    hides itself). File dialogs, questions and messages of the pages stay with the window.
    Message thread only.
*/
class Lib_Manager_Comp : public juce::Component,
                         public LibPageHost,
                         private LibButListener,
                         private KeyPlayListener,
                         private winToolListener,
                         private stsbutListener
{
public:
    static constexpr int libraryPageId = 1217;
    static constexpr int presetPageId = 1218;
    static constexpr int contentWidth = 1000, contentHeight = 620;
    /** The caption bar, where a press starts dragging the window. */
    static constexpr int dragZoneHeight = 20;

    /** window is what the caption bar and the player strip move. */
    Lib_Manager_Comp (MarvexAudioProcessor& processor, juce::Component& window);
    ~Lib_Manager_Comp() override;

    /** Shows the library page (1217) or the preset bank page (1218). */
    void showPage (int pageId);
    int getShownPage() const noexcept { return shownPage; }
    const juce::String& getPageName() const noexcept { return pageName; }
    Plugin_Bank* getPresetPage() noexcept { return presetPage.get(); }
    LibClass* getLibraryPage() noexcept { return libraryPage.get(); }

    /** The host changed the current program: the preset bank list follows, silently. */
    void showCurrentProgram();

    LibBut& getPageButton (int pageId) noexcept;
    WinMovCan& getCloseControl() noexcept { return *closeControl; }
    KeyPlayClass& getPlayer() noexcept { return *player; }
    juce::Label& getHintLabel() noexcept { return hintLabel; }
    MsgCont* getMessageBox() noexcept { return messages.get(); }

    /** Told 122 when the window is to be hidden. */
    void addCloseListener (winToolListener* l) { closeListeners.add (l); }
    void removeCloseListener (winToolListener* l) { closeListeners.remove (l); }

    // LibPageHost
    FileBrowser& getFileBrowser() override { return *files; }
    void showMessage (const juce::String& text) override;
    /** A question over the window with "OK" and "CANCEL"; onYes runs only for "OK". */
    void askQuestion (const juce::String& text, std::function<void()> onYes) override;
    void showMenu (juce::PopupMenu menu, juce::Component& target, std::function<void (int)> chosen) override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseMove (const juce::MouseEvent& e) override;

private:
    void libButClicked (LibBut& button, int id) override;
    void libButEntered (LibBut& button, int id) override;
    void libButLeft (LibBut& button, int id) override;
    void keyPlayMouseDown (int x, int y) override;
    void keyPlayMouseUp (int x, int y) override;
    void keyPlayMouseDrag (int x, int y) override;
    void winToolPressed (int code) override;
    void stsbutPressed (int buttonId) override;

    void startDrag (juce::Point<int> at);
    void dragTo (juce::Point<int> at);
    void reportClose();
    juce::Component* shownPageComponent() const noexcept;

    MarvexAudioProcessor& processor;
    juce::Component& window;
    juce::SharedResourcePointer<DarkMenuLook> menuLook;
    std::unique_ptr<FileBrowser> files;
    LibBut presetButton{"PRESET BANK", presetPageId, 12.0f};
    LibBut libraryButton{"LIBRARY", libraryPageId, 12.0f};
    std::unique_ptr<WinMovCan> closeControl;
    std::unique_ptr<KeyPlayClass> player;
    juce::Label hintLabel;
    juce::String pageName;
    int shownPage = 0;
    std::unique_ptr<LibClass> libraryPage;
    std::unique_ptr<Plugin_Bank> presetPage;
    MessageSlot messages { *this, *this };
    ListenerArray<winToolListener> closeListeners;
    juce::Point<int> dragStart;
    bool dragging = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Lib_Manager_Comp)
};

} // namespace kelvo
