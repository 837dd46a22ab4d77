#pragma once

#include "ui/panels/PanelLayout.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

namespace kelvo
{
class MarvexAudioProcessor;
class StsCont;
class Envel;

/**
    The parameter controls and envelope graphs that both synth panels are made of, configured from
    the one panel layout: 115 controls (the array position is the parameter index) and the three
    graphs, all children of the panel that owns this set.

    It turns values into texts on the controls, mirrors envelope parameters into the graphs and
    sends a graph's drag back through the controls. Message thread only.
*/
class PanelControls
{
public:
    /** Creates and configures every control and graph as a child of parent. The graphs report their
        change messages to graphListener; the controls have no listener yet. */
    PanelControls (MarvexAudioProcessor& processor, juce::Component& parent,
                   juce::ChangeListener& graphListener);
    ~PanelControls();

    StsCont& control (int index) { return *controls.getUnchecked (index); }
    Envel& graph (int envelopeNumber) { return *graphs[(size_t) envelopeNumber]; }

    /** The envelope number of a graph of this set, or −1 for any other broadcaster. */
    int envelopeNumberOf (const juce::ChangeBroadcaster* source) const;

    /** Shows a value and its text on control index (0..114; others are ignored) and, for an
        envelope stage, in its graph. */
    void showParameter (int index, int value);

    /** Sends a graph's dragged values through the controls of its four parameters; only the values
        that differ from what the controls show reach the processor. */
    void sendDraggedEnvelope (int envelopeNumber);

    /** Gives every control and graph the flag; those changed while hidden repaint now. */
    void setShowing (bool shouldShow);

private:
    juce::OwnedArray<StsCont> controls;
    std::array<std::unique_ptr<Envel>, panelLayout::numEnvelopes> graphs;
    juce::ChangeListener& graphListener;

    JUCE_DECLARE_NON_COPYABLE (PanelControls)
};

} // namespace kelvo
