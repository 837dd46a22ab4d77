#pragma once

#include "ui/common/winToolListener.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{
class MarvexAudioProcessor;
class Lib_Manager_Comp;

/**
    The library window: a borderless top-level window, in front of every other window while it is
    shown, whose content (Lib_Manager_Comp) draws its own caption bar. Its owner, the editor's main
    component, makes it on the first request and keeps it until the editor closes; closing it (the
    close control, either page's DONE) only hides it.

    Without a display (headless tests) it is built and painted like any component but never put
    on the desktop. Message thread only.
*/
class Lib_Manager_Win final : public juce::DocumentWindow, private winToolListener
{
public:
    explicit Lib_Manager_Win (MarvexAudioProcessor& processor);
    ~Lib_Manager_Win() override;

    Lib_Manager_Comp& getManager() noexcept { return *manager; }

    /** Shows the window in front of everything; a hidden window comes back centred on the editor
        it follows (on the screen when it follows none), kept within the editor's screen. */
    void open();
    /** Hides the window; it and its pages stay as they are for the next open. */
    void hide();

    /** Keeps the window with the editor it was opened from: while the editor is hidden (a host
        that hides a plug-in's window without closing it), so is this window, and it comes back
        when the editor does. */
    void followEditor (juce::Component& editor);

    void closeButtonPressed() override { hide(); }

private:
    class EditorFollower;

    void winToolPressed (int code) override;
    void editorVisibilityChanged (bool editorVisible);
    void placeOverEditor();
    static bool canUseDesktop();

    Lib_Manager_Comp* manager = nullptr; // owned as the window's content
    std::unique_ptr<EditorFollower> editorFollower;
    bool hiddenWithEditor = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Lib_Manager_Win)
};

} // namespace kelvo
