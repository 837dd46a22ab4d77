#include "ui/librarian/Lib_Manager_Win.h"

#include "ui/librarian/Lib_Manager_Comp.h"
#include "ui/main/WinMovCan.h"
#include "ui/widgets/KeyPlayClass.h"

namespace kelvo
{
namespace
{
// What the window manager and task switchers call it; the window draws no title of its own.
constexpr const char* windowName = "Kelvo Library";
} // namespace

Lib_Manager_Win::Lib_Manager_Win (MarvexAudioProcessor& processor)
    : juce::DocumentWindow (windowName, juce::Colours::black, 0, false)
{
    setTitleBarHeight (0);
    setResizable (false, false);
    manager = new Lib_Manager_Comp (processor, *this);
    manager->setSize (Lib_Manager_Comp::contentWidth, Lib_Manager_Comp::contentHeight);
    setContentOwned (manager, true);
    manager->addCloseListener (this);
}

Lib_Manager_Win::~Lib_Manager_Win()
{
    manager->removeCloseListener (this);
    clearContentComponent();
}

bool Lib_Manager_Win::canUseDesktop()
{
    return juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() != nullptr;
}

void Lib_Manager_Win::open()
{
    setAlwaysOnTop (true);
    if (canUseDesktop())
    {
        if (!placed)
            centreWithSize (getWidth(), getHeight());
        if (!isOnDesktop())
            addToDesktop();
    }
    placed = true;
    setVisible (true);
    if (isOnDesktop())
    {
        toFront (true);
        // The keys play the synth here as they do in the editor.
        manager->getPlayer().grabKeyboardFocus();
    }
}

void Lib_Manager_Win::hide()
{
    setVisible (false);
}

void Lib_Manager_Win::winToolPressed (int code)
{
    if (code == WinMovCan::hideCode)
        hide();
}

} // namespace kelvo
