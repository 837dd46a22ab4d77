#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{
class MidiCntrState;

/**
    The pitch wheel or the modulation wheel of the keyboard drawer: 0..127, one unit a pixel of
    drag (up raises), the mouse wheel steps by one. The pitch wheel springs back to its centre (64)
    when let go. Message thread only.
*/
class WheelCnt : public juce::Component, public juce::ChangeBroadcaster
{
public:
    static constexpr int pitchCentre = 64;
    static constexpr int maximumValue = 127;
    static constexpr int modulationController = 1;
    static constexpr int designWidth = 31, designHeight = 112;

    /** Sets the value without sending it. */
    WheelCnt (MidiCntrState& engine, int initialValue, bool isPitchWheel);

    /** Clamps v to 0..127; when it differs, shows it and, with send, sends it to the synth (pitch
        wheel v × 128, modulation wheel controller 1) on the engine's channel. A wheel left away from
        its rest (pitch centre, modulation 0) on another channel is first put back to rest there. */
    void setWheelValue (int v, bool send);
    /** Sends the pitch wheel back to its centre if it is away from it (the modulation wheel stays). */
    void springBack();

    int getValue() const noexcept { return value; }
    int getFrame() const noexcept { return frame; }
    bool isPitchWheel() const noexcept { return pitch; }

    /** Places the wheel at its design position scaled by s. */
    void setDesignBounds (juce::Rectangle<int> designBounds, float s);

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;

private:
    void sendOn (int channel, int v);

    MidiCntrState& engine;
    const bool pitch;
    /** The channel on which the wheel was last sent away from its rest, 0 when it rests. */
    int channelAwayFromRest = 0;
    int value = 0;
    int frame = 0;
    int pressY = 0, valueAtPress = 0;
    juce::Image strip;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WheelCnt)
};

} // namespace kelvo
