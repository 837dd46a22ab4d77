#include "ui/librarian/Lib_Manager_Win.h"

#include "ui/librarian/Lib_Manager_Comp.h"
#include "ui/common/WinMovCan.h"
#include "ui/widgets/KeyPlayClass.h"

namespace kelvo
{
namespace
{
// What the window manager and task switchers call it; the window draws no title of its own.
constexpr const char* windowName = "Kelvo Library";
} // namespace

/** Hears the editor and each of its parents change visibility (the editor is visible when all of
    them are), whether or not it is on a desktop. */
class Lib_Manager_Win::EditorFollower final : public juce::ComponentMovementWatcher
{
public:
    EditorFollower (juce::Component& editorToFollow, Lib_Manager_Win& windowToMove)
        : juce::ComponentMovementWatcher (&editorToFollow), editor (editorToFollow), window (windowToMove)
    {
    }

    using juce::ComponentMovementWatcher::componentMovedOrResized;
    using juce::ComponentMovementWatcher::componentVisibilityChanged;

    void componentVisibilityChanged (juce::Component& changed) override
    {
        juce::ComponentMovementWatcher::componentVisibilityChanged (changed);
        auto visible = true;
        for (auto* c = &editor; c != nullptr && visible; c = c->getParentComponent())
            visible = c->isVisible();
        window.editorVisibilityChanged (visible);
    }

    void componentMovedOrResized (bool, bool) override {}
    const juce::Component& getEditor() const noexcept { return editor; }
    void componentPeerChanged() override {}
    void componentVisibilityChanged() override {}

private:
    juce::Component& editor;
    Lib_Manager_Win& window;
};

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
    editorFollower.reset();
    manager->removeCloseListener (this);
    clearContentComponent();
}

bool Lib_Manager_Win::canUseDesktop()
{
    return juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() != nullptr;
}

void Lib_Manager_Win::open()
{
    hiddenWithEditor = false;
    setAlwaysOnTop (true);
    // Nothing of its place is kept: each opening (and each run) finds it over the editor.
    if (!isVisible())
        placeOverEditor();
    if (canUseDesktop() && !isOnDesktop())
        addToDesktop();
    setVisible (true);
    if (isOnDesktop())
    {
        toFront (true);
        // The keys play the synth here as they do in the editor.
        manager->getPlayer().grabKeyboardFocus();
    }
}

void Lib_Manager_Win::placeOverEditor()
{
    const auto* editor = editorFollower != nullptr ? &editorFollower->getEditor() : nullptr;
    const auto* displays = canUseDesktop() ? &juce::Desktop::getInstance().getDisplays() : nullptr;
    if (editor == nullptr)
    {
        if (displays != nullptr)
            centreWithSize (getWidth(), getHeight());
        return;
    }
    const auto centre = editor->getScreenBounds().getCentre();
    auto bounds = getBounds().withCentre (centre);
    // Kept whole on the screen the editor's middle is on, caption bar first.
    if (const auto* display = displays != nullptr ? displays->getDisplayForPoint (centre) : nullptr)
        bounds = bounds.constrainedWithin (display->userArea);
    setBounds (bounds);
}

void Lib_Manager_Win::hide()
{
    setVisible (false);
}

void Lib_Manager_Win::followEditor (juce::Component& editor)
{
    editorFollower = std::make_unique<EditorFollower> (editor, *this);
}

void Lib_Manager_Win::editorVisibilityChanged (bool editorVisible)
{
    if (!editorVisible && isVisible())
    {
        hide();
        hiddenWithEditor = true;
    }
    else if (editorVisible && hiddenWithEditor)
    {
        open();
    }
}

void Lib_Manager_Win::winToolPressed (int code)
{
    if (code == WinMovCan::hideCode)
        hide();
}

} // namespace kelvo
