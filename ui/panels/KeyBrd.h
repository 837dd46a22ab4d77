#pragma once

#include "ui/widgets/KeyPlayListener.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace kelvo
{
class MidiCntrState;
class WheelCnt;
class KeyPlayClass;
class VelIndClass;
class PianoPad;
class OctaveKeyClass;

/**
    The keyboard drawer along the editor's bottom edge: a handle band to pull it up by, the pitch
    and modulation wheels, the velocity slider, the octave selector, a 65-key bed and the
    computer-keyboard player's message strip (a second handle).

    Released, it snaps shut, open, or stays where it was pulled above open. Every note that the
    drawer started ends when it closes or goes away, and a pitch wheel held then returns to centre.
    After each snap it sends a change message, so the main window can lay out around it.
    Message thread only.
*/
class KeyBrd : public juce::Component,
               public juce::ChangeListener,
               public KeyPlayListener,
               public juce::ChangeBroadcaster
{
public:
    static constexpr int designWidth = 1191, designHeight = 172;
    static constexpr int handleHeight = 20;
    /** The editor's design height: without a parent the drawer's bottom edge rests on it. */
    static constexpr int editorDesignHeight = 700;
    static constexpr int highestTop = 23; // just below the app bar

    explicit KeyBrd (MidiCntrState& engine);
    ~KeyBrd() override;

    /** Scales the drawer and its children and lays it along the parent's bottom edge; the drawer
        keeps how far it was pulled up, in design units. Does not take the keyboard focus. */
    void setScale (float s);
    float getScale() const noexcept { return scale; }

    /** Where a drawer released with its top at y (pixels) comes to rest. */
    int snapTop (int y) const;
    bool isClosed() const noexcept;

    /** Ends every note the drawer and its player started, and centres a pitch wheel away from centre. */
    void releaseEverything();

    WheelCnt& getPitchWheel() { return *pitchWheel; }
    WheelCnt& getModWheel() { return *modWheel; }
    KeyPlayClass& getPlayer() { return *player; }
    VelIndClass& getVelocitySlider() { return *velocity; }
    PianoPad& getKeyBed() { return *keyBed; }
    OctaveKeyClass& getOctaveSelector() { return *octave; }

    void paint (juce::Graphics& g) override;
    void mouseMove (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

    void changeListenerCallback (juce::ChangeBroadcaster*) override {}
    void keyPlayMouseDown (int x, int y) override;
    void keyPlayMouseUp (int x, int y) override;
    void keyPlayMouseDrag (int x, int y) override;

private:
    void beginDrag (int y);
    void dragTo (int y);
    void endDrag();
    /** The editor's bottom edge: the parent's height, or 700 × s without a parent. */
    int bottomEdge() const noexcept;
    int closedY() const noexcept;
    void moveTop (int y);

    MidiCntrState& engine;
    std::unique_ptr<WheelCnt> modWheel, pitchWheel;
    std::unique_ptr<KeyPlayClass> player;
    std::unique_ptr<VelIndClass> velocity;
    std::unique_ptr<PianoPad> keyBed;
    std::unique_ptr<OctaveKeyClass> octave;
    juce::Image handleBand, wheelWell;
    float scale = 1.0f;
    /** How far the drawer is pulled up from the editor's bottom edge, in design units. */
    float raised = (float)handleHeight;
    bool dragging = false;
    int pressY = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KeyBrd)
};

} // namespace kelvo
