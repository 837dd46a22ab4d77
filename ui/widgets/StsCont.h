#pragma once

#include "ui/widgets/ListenerArray.h"
#include "ui/widgets/StsContListener.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{
class DarkMenuLook;
class KnobFrames;
class MarvexAudioProcessor;

/**
    One parameter control of the panels: a knob, a switch, a centred switch or a drop-down, bound
    to a program parameter by its index.

    The control never changes what it shows by itself: a gesture goes to the processor's
    setParameterFromEditor, and the value comes back through showValue when the panel handles the
    parameter's event. So it always shows the edit buffer, whoever changed it.

    Geometry is kept in design units and multiplied by the scale; the top of the control lies 16
    units above the y given to setupControl. Message thread only.

    Besides the drag, the wheel and the menu, a knob returns to its value in the initial program on a
    double-click, moves in fine steps while Shift (or Ctrl) is held during a drag or a wheel turn, and
    every control tells its parameter's name and value in a tooltip. Every gesture ends in the same
    call as a drag, so the host sees the same values and change gestures.
*/
class StsCont : public juce::Component, public juce::TooltipClient
{
public:
    /** Control kinds. */
    static constexpr int dropDown = 0;
    static constexpr int toggleSwitch = 1;
    static constexpr int knob = 3;
    static constexpr int centredSwitch = 101;

    /** The command a right-button press reports to the listeners. */
    static constexpr int rightClickCommand = 100;

    /** Knob drags: pixels a step, coarse and with Shift or Ctrl held. Controls with few values
        always move one step every 15 pixels. */
    static constexpr int pixelsPerStep = 1, finePixelsPerStep = 4, pixelsPerStepFewValues = 15;
    static constexpr int fewValuesBelow = 15;
    /** A wheel notch moves a knob by its range over this many notches (at least one step). */
    static constexpr int wheelNotchesForFullTurn = 32;

    explicit StsCont (MarvexAudioProcessor& owner);
    ~StsCont() override;

    /** Binds the control to a parameter, places it at (x, y − 16) and loads the images of its kind. */
    void setupControl (int parameterIndex, const juce::String& caption, int x, int y, int width, int height,
                       int minimum, int maximum, int controlKind, int displayKind);

    /** Shows a value (clamped to the control's range) with its text; a value already shown keeps
        the old text. While not showing, only remembers it and marks the control dirty. */
    void showValue (int value, const juce::String& text);
    /** Makes the next showValue count as a change, whatever value it brings. */
    void forgetValue() noexcept { value = -1; }

    /** Sends a value (clamped) to the processor unless the control shows it already. */
    void setValueFromUser (int newValue);
    /** Sends 1 when the control shows 0, else 0. */
    void toggleValue();

    /** The drop-down's menu: every value from 0 to the maximum whose text is not "*\/\*", as item
        value + 1, the shown value ticked. */
    juce::PopupMenu createValueMenu() const;
    /** What choosing an item of the value menu does (0: dismissed, nothing). */
    void valueMenuFinished (int itemId);

    void setScale (float factor);
    /** Moves the unscaled origin; y is taken as in setupControl. */
    void setPosition (int x, int y);

    /** A covered panel stops its controls repainting; showing them again repaints the dirty ones. */
    void setShowing (bool shouldShow);
    bool isDirty() const noexcept { return dirty; }

    void setSectionIndex (int section) noexcept { sectionIndex = section; }
    int getSectionIndex() const noexcept { return sectionIndex; }
    void setNrpnNumber (int nrpn) noexcept { nrpnNumber = nrpn; }
    int getNrpnNumber() const noexcept { return nrpnNumber; }
    void setBackgroundFill (bool shouldFill, juce::Colour colour);

    int getParameterIndex() const noexcept { return parameterIndex; }
    int getValue() const noexcept { return value; }
    int getPendingValue() const noexcept { return pendingValue; }
    const juce::String& getValueText() const noexcept { return valueText; }
    const juce::String& getCaption() const noexcept { return caption; }
    int getControlKind() const noexcept { return controlKind; }
    int getDisplayKind() const noexcept { return displayKind; }
    int getMinimum() const noexcept { return minimum; }
    int getMaximum() const noexcept { return maximum; }
    int getKnobFrame() const noexcept { return knobFrame; }
    float getScale() const noexcept { return scale; }

    /** The frame of the knob strip that shows a value of a range (0 for an empty range). */
    static int knobFrameFor (int value, int minimum, int maximum);
    /** How far one wheel notch moves a knob of a range, coarse or fine. */
    static int wheelStepFor (int minimum, int maximum, bool fine);
    /** The value a double-click returns the control to: its parameter's in the initial program. */
    int initialValue() const;

    /** Where the control shows its value's text, in its own pixels (empty for a switch). */
    juce::Rectangle<int> getValueArea() const;

    /** The parameter's full name and the shown value's text. */
    juce::String getTooltip() override;

    void addListener (StsContListener* listener) { listeners.add (listener); }
    void removeListener (StsContListener* listener) { listeners.remove (listener); }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseDoubleClick (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    void resized() override;

protected:
    /** Shows the value menu at the control without blocking; the choice arrives in
        valueMenuFinished. Virtual so that a test can stand in for the menu, which needs a display. */
    virtual void showValueMenu (juce::PopupMenu menu);

private:
    void applyScaledBounds();
    void paintStaticLayer (juce::Graphics& g, int w, int h);
    void paintKnob (juce::Graphics& g, int w, int h, float physicalScale);
    void paintSwitch (juce::Graphics& g, int frameX, int w, int h);
    void paintDropDown (juce::Graphics& g, int w, int h);
    bool isInSwitchHotZone (float x) const;

    MarvexAudioProcessor& owner;
    ListenerArray<StsContListener> listeners;
    juce::SharedResourcePointer<DarkMenuLook> menuLook;
    juce::SharedResourcePointer<KnobFrames> knobFrames;

    int displayKind = 0;
    int value = -1;
    int parameterIndex = 0;
    int pendingValue = 0;
    int minimum = 0, maximum = 0;
    int nrpnNumber = 0;
    int sectionIndex = -1;
    bool fillBackground = false;
    juce::Colour backgroundColour;
    juce::String caption;
    int unscaledX = 0, unscaledTop = 0, unscaledWidth = 0, unscaledHeight = 0;
    bool showing = true;
    bool dirty = false;
    juce::Image knobStrip, knobPlate, switchImage, bodyImage, arrowImage, frameImage;
    int valueAtPress = 0;
    int controlKind = -1;
    juce::String valueText;
    bool dragging = false, menuArmed = false;
    int knobFrame = 0;
    int pressY = 0, pressX = 0;
    float scale = 1.0f;

    // A fine drag restarts from where the mouse is when Shift or Ctrl changes, so nothing jumps.
    bool fineDrag = false;
    int lastDragValue = 0;
    // Smooth wheels (touchpads) send many small deltas; they add up to notches.
    float smoothWheelDelta = 0.0f;

    // Everything that does not change with the value (fill, caption, drop-down body), prepared for
    // the current size; made again after a resize or a new scale.
    juce::Image staticLayer;
    float staticLayerPixelScale = 0.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StsCont)
};

} // namespace kelvo
