#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{
class MidiCntrState;

/**
    The octave selector: all 128 notes in miniature with the key bed's 65-note window marked.
    Clicking or dragging moves the window; its start (a C) sets the engine's keyboard octave.
    Message thread only.
*/
class OctaveKeyClass : public juce::Component, public juce::ChangeBroadcaster
{
public:
    static constexpr int windowLength = 65;
    static constexpr int highestStart = 72;
    static constexpr float unitsPerOctave = 25.0f;
    static constexpr float unitsPerWhiteKey = 3.573f;

    explicit OctaveKeyClass (MidiCntrState& engine);

    /** Snaps a note to the C that starts its octave (0..72) and makes it the window's start. */
    void setWindowStart (int note);
    int getWindowStart() const noexcept { return windowStart; }

    /** k: the selector's own scale (0.7 of the drawer's). */
    void setScale (float k);

    /** The window start a click at x (pixels) asks for. */
    int startForClick (float x) const;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;

private:
    MidiCntrState& engine;
    float scale = 0.7f;
    int windowStart = 24;
    juce::Image keyboard;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OctaveKeyClass)
};

} // namespace kelvo
