#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{
class MidiCntrState;

/** The drawer's note-velocity slider: a bar and a readout; dragging on the bar sets the engine's
    keyboard velocity. Message thread only. */
class VelIndClass : public juce::Component
{
public:
    static constexpr int designWidth = 70, designHeight = 120;

    explicit VelIndClass (MidiCntrState& engine);

    /** Clamps to 0..127 and, when it changes, stores it as the engine's keyboard velocity. */
    void setVelocity (int v);
    int getVelocity() const noexcept { return velocity; }

    void setScale (float s);

    /** The velocity a point on the bar stands for (y in design units from the slider's top). */
    static int velocityAt (float designY);

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    MidiCntrState& engine;
    bool armed = false;
    float scale = 1.0f;
    int velocity = -1;
    juce::Image display;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VelIndClass)
};

} // namespace kelvo
