#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace kelvo
{
class FileBrowser;

/** What a page of the library window asks of the window: file dialogs, messages and menus that
    stay with the window (in front of it, not behind in the editor). Message thread. */
class LibPageHost
{
public:
    virtual ~LibPageHost() = default;
    virtual FileBrowser& getFileBrowser() = 0;
    /** A message over the window, closed with "OK". */
    virtual void showMessage (const juce::String& text) = 0;
    /** A question over the window: onYes runs on "OK" only. */
    virtual void askQuestion (const juce::String& text, std::function<void()> onYes) = 0;
    /** Shows a menu at a component; chosen is called with a result other than 0 (not on a dismissal). */
    virtual void showMenu (juce::PopupMenu menu, juce::Component& target,
                           std::function<void (int)> chosen) = 0;
};

} // namespace kelvo
