#pragma once

#include "ui/widgets/PreparedImage.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

namespace kelvo
{

/**
    The graph of one envelope (attack, decay, sustain, release) with three handles to drag: the
    attack peak (attack), the sustain stage (decay sideways, sustain up and down) and the release
    end (release).

    The graph keeps its own copy of the four values, which the panel sets from the parameters; a
    drag changes the copy, repaints and sends a change message with event code 1, after which the
    panel reads the values and sends them through its controls. A right-button press sends event
    code 100. While the mouse is over the graph its three handles show, the one under the mouse
    highlighted. Message thread only.
*/
class Envel : public juce::Component, public juce::ChangeBroadcaster
{
public:
    /** Event codes read by the listener in its change callback. */
    static constexpr int valuesDragged = 1;
    static constexpr int rightClicked = 100;

    /** Handles, in the order of their numbers; none is −1. */
    static constexpr int attackHandle = 0;
    static constexpr int sustainHandle = 1;
    static constexpr int releaseHandle = 2;
    static constexpr int noHandle = -1;

    Envel();
    ~Envel() override;

    void setAttack (int value);
    void setDecay (int value);
    void setSustain (int value);
    void setRelease (int value);
    int getAttack() const noexcept { return (int) attack; }
    int getDecay() const noexcept { return (int) decay; }
    int getSustain() const noexcept { return (int) sustain; }
    int getRelease() const noexcept { return (int) release; }

    int getEventCode() const noexcept { return eventCode; }
    int envelopeNumber = 0;

    /** The panel sets the bounds (226 × 82 design units times the scale) with the scale. */
    void setScale (float factor);
    float getScale() const noexcept { return scale; }

    /** A covered panel stops the graph repainting; showing it again repaints it if it changed. */
    void setShowing (bool shouldShow);
    bool isDirty() const noexcept { return dirty; }

    /** The five corners of the outline in design units: start, peak, decay end, sustain end,
        release end. */
    const std::array<juce::Point<float>, 5>& getCorners() const noexcept { return corners; }
    /** The handle under a point in pixels, or noHandle. */
    int hitTestHandle (juce::Point<float> position) const;
    const juce::String& getValueLabel() const noexcept { return valueLabel; }
    /** Whether the handles are shown (the mouse is over the graph or dragging a handle). */
    bool areHandlesShown() const noexcept { return hovering || dragging; }
    /** The handle under the mouse, highlighted, or noHandle. */
    int getHighlightedHandle() const noexcept { return highlightedHandle; }
    /** Where a handle is drawn, in pixels. */
    juce::Point<float> handlePosition (int handle) const;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseMove (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    void paintHandles (juce::Graphics& g) const;
    void setHighlightedHandle (int handle);

    void setStage (float& stage, int value);
    void updateOutline();
    void valuesChanged();

    int eventCode = 0;
    float attack = 30.0f, decay = 30.0f, sustain = 30.0f, release = 30.0f;
    float scale = 1.0f;
    bool showing = true, dirty = false;
    PreparedImage backdrop, glare;
    juce::Path outline;
    std::array<juce::Point<float>, 5> corners;

    bool dragging = false, hovering = false;
    int dragHandle = noHandle, highlightedHandle = noHandle;
    juce::Point<float> pressPosition, lastPosition;
    float attackAtPress = 0, decayAtPress = 0, sustainAtPress = 0, releaseAtPress = 0;
    juce::String valueLabel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Envel)
};

} // namespace kelvo
