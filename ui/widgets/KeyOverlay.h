#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{
class PianoKey;

/**
    The transparent layer over the key bed that takes all its mouse input: a press plays the key
    under the mouse, a drag glides from key to key (the old key ends before the new one starts, so
    two notes never sound at once), leaving the key bed ends the note, and the release ends every
    note. Positions are turned into design units first, so the whole key plays at every scale.
    Message thread only.
*/
class KeyOverlay : public juce::Component
{
public:
    KeyOverlay();

    void setKeys (juce::Array<PianoKey*> keys);
    void setScale (float s) noexcept { scale = s; }

    /** The key under a point in design units, or nullptr. */
    PianoKey* keyAt (juce::Point<float> designPosition) const;
    /** The key the current gesture holds, or nullptr. */
    PianoKey* getRememberedKey() const noexcept { return remembered; }

    /** Ends the gesture's note and every other pressed key. */
    void releaseAll();

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    juce::Point<float> toDesign (juce::Point<float> p) const noexcept { return p / scale; }

    juce::Array<PianoKey*> keys;
    PianoKey* remembered = nullptr;
    float scale = 1.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KeyOverlay)
};

} // namespace kelvo
