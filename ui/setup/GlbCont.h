#pragma once

#include "model/GlobalSettings.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace kelvo
{
class MidiCntrState;

/**
    One of the synth's global settings on the global panel: a knob, a drop-down or a switch bound to
    one byte of the engine's global block. A change is stored in the block and sent to the synth at
    once as the global's NRPN.

    Until configure() names a global (0..18) the control reads as 0 and changes nothing. Disabled
    (while the synth's value is not known) it is drawn faintly without its value and changes nothing.
    It is laid out in design units; the panel that holds it is scaled as a whole. Message thread.
*/
class GlbCont final : public juce::Component, public juce::ChangeBroadcaster
{
public:
    explicit GlbCont (MidiCntrState& engine);
    ~GlbCont() override;

    /** Takes the position, size, range, type and value texts of global index 0..18. */
    void configure (int index);

    int getIndex() const noexcept { return index; }
    int getMaximum() const noexcept { return maximum; }
    /** The global's value in the engine's block; 0 while unconfigured. */
    int getValue() const noexcept;
    juce::String getValueText() const;

    /** Clamps to the range; when the value differs, offers it to confirmChange (if set), then
        applies it. Gestures and menus come here. */
    void setValue (int value);
    /** Clamps, and when the value differs stores it, sends the NRPN and repaints. */
    void applyValue (int value);

    /** Asked before a change is applied; false holds it back (the asker applies it later, or not). */
    std::function<bool (GlbCont& control, int newValue)> confirmChange;

    /** The drop-down's menu: one item per value with a text, id = value + 1, the current one ticked. */
    juce::PopupMenu createMenu() const;
    /** Applies a menu result; 0 (dismissed) changes nothing. */
    void menuFinished (int result);

    /** The knob filmstrip frame that shows value of maximum. */
    static int knobFrame (int value, int maximum) noexcept;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;

private:
    void paintKnob (juce::Graphics& g);
    void paintSwitch (juce::Graphics& g);
    void paintDropDown (juce::Graphics& g);
    juce::String shownText() const;

    MidiCntrState& engine;
    const globals::Global* global = nullptr;
    int index = -1;
    int maximum = 0;

    juce::Image knobStrip, knobPlate, switchImage, dropDownBody, dropDownArrow, dropDownFrame;

    int pressX = 0, pressY = 0, valueAtPress = 0;
    bool dragging = false, menuArmed = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GlbCont)
};

} // namespace kelvo
