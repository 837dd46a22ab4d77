#pragma once

#include "model/ParDes.h"
#include "ui/sequencer/SeqClassListener.h"
#include "ui/widgets/ListenerArray.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

namespace kelvo
{
class MarvexAudioProcessor;

/**
    One track of the step sequencer: sixteen steps drawn as bars, each a program parameter
    (120 + 16 × track + step). A drag on the bars sets values (the first step clicked in "Sliders"
    mode, every step the stroke crosses in "Pen" mode), a click on a step's state button cycles it
    through reset and rest, the mouse wheel nudges a step. Every edit goes through the processor's
    setParameterFromEditor; the bars show what comes back from the edit buffer.

    Track 1 takes 0..127; tracks 2 to 4 stop at 126 (reset), as the synth's own range does.
    Message thread only.
*/
class SeqClass : public juce::Component
{
public:
    static constexpr int numSteps = 16;
    static constexpr int highestLevel = 125;
    static constexpr int resetValue = seqstep::reset;
    static constexpr int restValue = seqstep::rest;
    /** The code a click on a thumbnail reports, with the track number. */
    static constexpr int thumbnailClickCode = 69;

    static constexpr int normalView = 0, enlargedView = 1, thumbnailView = 2;
    static constexpr int slidersMode = 0, penMode = 1;
    static constexpr int designUnitsWide = 522, designUnitsHigh = 155;

    SeqClass (MarvexAudioProcessor& owner, int track);
    ~SeqClass() override;

    /** A value from the edit buffer (clamped to 0..127) for one step. */
    void setStepFromEngine (int step, int value);
    /** All sixteen steps at once; a byte of 128 or more shows as 127. */
    void setAllSteps (const uint8_t* bytes);
    /** Note names for destinations 1 to 3 (oscillator pitches), numbers for any other. */
    void setPitchNames (int destination);

    void setDesignBounds (int x, int y, int w, int h);
    void setScale (float scale);
    void setViewMode (int mode);
    void setDrawMode (int mode) noexcept { drawMode = mode; }
    void setQuantize (bool on) noexcept { quantize = on; }

    int getTrack() const noexcept { return track; }
    int getShownValue (int step) const noexcept { return shown[(size_t)step]; }
    int getSentValue (int step) const noexcept { return sent[(size_t)step]; }
    bool hasPitchNames() const noexcept { return pitchNames; }
    int getViewMode() const noexcept { return viewMode; }
    int getDrawMode() const noexcept { return drawMode; }
    bool isQuantizing() const noexcept { return quantize; }
    /** The highest value this track sends: 127 on track 1, 126 on the others. */
    int highestValue() const noexcept;

    /** The step strictly inside whose column x (pixels) lies, or −1 (on a boundary or outside). */
    int stepAt (float x) const noexcept;
    /** The level a drag at y (pixels) asks for, 0..125. */
    int levelAt (float y) const noexcept;

    /** The label of a value: a quarter-tone note name ("C+2") or the number. */
    static juce::String valueText (int value, bool pitchNames);
    /** Clamps to 0..127 and, when quantizing, keeps whole semitones (even values). */
    static int quantized (int value, bool quantize);

    /** Adding a listener already there does nothing. */
    void addListener (SeqClassListener* listener) { listeners.add (listener); }
    void removeListener (SeqClassListener* listener) { listeners.remove (listener); }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;

private:
    void applyGeometry();
    void send (int step, int value, bool endGestureNow);
    void dragStep (int step, int level);
    void repaintStep (int step);
    float stepWidth() const noexcept;

    MarvexAudioProcessor& owner;
    const int track;
    std::array<int, numSteps> shown{}, sent{}, dragged{}, saved{};
    int currentStep = -1;
    bool pitchNames = false, quantize = false;
    int drawMode = slidersMode, viewMode = normalView;
    bool dragging = false;
    juce::Point<float> lastDragPosition;
    juce::Rectangle<int> designBounds{0, 0, designUnitsWide, designUnitsHigh};
    float scale = 1.0f;
    juce::Image background;

    ListenerArray<SeqClassListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SeqClass)
};

} // namespace kelvo
