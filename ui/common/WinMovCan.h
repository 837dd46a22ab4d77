#pragma once

#include "ui/common/winToolListener.h"
#include "ui/widgets/ListenerArray.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/**
    Three window controls in a 54 × 15 strip: minimise, full screen and hide. The control under the
    mouse is highlighted; a release inside the control where the press began tells every listener
    its code, the last registered first. Message thread only.
*/
class WinMovCan final : public juce::Component
{
public:
    static constexpr int minimiseCode = 120;
    static constexpr int fullScreenCode = 121;
    static constexpr int hideCode = 122;
    static constexpr int stripWidth = 54, stripHeight = 15;
    /** The x positions where the zones meet. */
    static constexpr int firstSplit = 18, secondSplit = 36;

    WinMovCan();
    ~WinMovCan() override;

    void addListener (winToolListener* l) { listeners.add (l); }
    void removeListener (winToolListener* l) { listeners.remove (l); }

    /** The code of the zone at x. */
    static int codeAt (int x) noexcept;
    /** Offers the hide action alone, over the whole strip (a window that cannot be minimised or
        made full screen). */
    void offerOnlyHide();
    bool offersOnlyHide() const noexcept { return onlyHide; }
    /** The zone drawn highlighted, or 0. */
    int getHighlightedCode() const noexcept { return highlighted; }

    void paint (juce::Graphics& g) override;
    void mouseMove (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    void setHighlighted (int code);
    int zoneAt (int x) const noexcept { return onlyHide ? hideCode : codeAt (x); }

    ListenerArray<winToolListener> listeners;
    int highlighted = 0, pressedCode = 0;
    bool onlyHide = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WinMovCan)
};

} // namespace kelvo
