#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{
class MidiCntrState;

/**
    One key of the on-screen key bed. Pressing it starts a note at the engine's keyboard octave and
    velocity; releasing it ends the note that the press started, on the channel it started on, even
    if the octave or the channel changed in between. It never handles the mouse itself (the key bed's overlay does) and repaints shortly
    after a change, once, if what it shows differs from what it painted. Message thread only.
*/
class PianoKey : public juce::Component, public juce::ChangeBroadcaster, private juce::Timer
{
public:
    /** Velocities chosen by press position never go below this. */
    static constexpr int lowestPositionVelocity = 5;
    /** Below this engine velocity the press position decides the velocity. */
    static constexpr int positionVelocityBelow = 6;

    PianoKey (MidiCntrState& engine, int keyIndex, bool isBlack);

    /** Starts the key's note; y is the press position from the key's top in design units. */
    void pressKey (float designY);
    /** Ends the note the key started, if any. */
    void releaseKey();

    /** The velocity a press at y (design units from the top) gives with an engine velocity; 0 when
        the press gives no note. */
    static int velocityForPress (int engineVelocity, bool isBlack, float designY);

    int getKeyIndex() const noexcept { return keyIndex; }
    bool isBlack() const noexcept { return black; }
    bool isPressed() const noexcept { return pressed; }
    int getSoundingNote() const noexcept { return soundingNote; }
    int getVelocity() const noexcept { return velocity; }

    /** Geometry in design units relative to the key bed: left edge, width, and the left edge of the
        key's part of the upper band (where the black keys are). */
    float designLeft = 0, designWidth = 0, upperBandLeft = 0;

    void paint (juce::Graphics& g) override;

private:
    void timerCallback() override;

    MidiCntrState& engine;
    const int keyIndex;
    const bool black;
    bool pressed = false, drawn = false;
    int velocity = 0;
    int soundingNote = -1, soundingChannel = 1;
    juce::Image upImage, downImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PianoKey)
};

} // namespace kelvo
