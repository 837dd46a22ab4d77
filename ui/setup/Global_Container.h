#pragma once

#include "ui/setup/Global_Listener.h"
#include "ui/widgets/ListenerArray.h"
#include "ui/widgets/StsBut.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

namespace kelvo
{
class GlbCont;
class MidiCntrState;

/**
    The panel of the synth's nineteen global settings, inside the port setup panel.

    Until the synth's global dump has arrived its values are not known: the controls are disabled
    and the strip says what the panel waits for; refreshGlobal (allGlobals) shows the values once the
    dump is there.

    A change that would cut the editor off from the synth is held back and explained in a warning
    strip, with "APPLY" and "Keep the current setting"; anything else is sent at once. The settings that cut
   it: the synth listening on a channel the editor does not send on, parameter receive CC or OFF (the editor
   sends NRPN), MIDI controllers off (every NRPN ignored, the one that would switch them back included), SysEx
   off, MIDI out on Thru (the synth's output repeats what it hears instead of answering), and parameter send
   other than NRPN (the synth's knobs no longer reach the editor). The close image tells the listeners code
   2222. Laid out in design units; message thread.
*/
class Global_Container final : public juce::Component, private stsbutListener
{
public:
    static constexpr int closeCode = 2222;
    static constexpr int applyCode = 2231, keepCode = 2232;
    static constexpr int numControls = 40;

    explicit Global_Container (MidiCntrState& engine);
    ~Global_Container() override;

    void addListener (Global_Listener* l) { listeners.add (l); }
    void removeListener (Global_Listener* l) { listeners.remove (l); }

    /** Control n of 40; the first nineteen are globals 0..18, the rest stay hidden and unconfigured. */
    GlbCont& getControl (int n) const { return *controls[(size_t)n]; }
    /** Shows every global anew (the global dump arrived, or the link went off-line). */
    static constexpr int allGlobals = -1;
    /** Repaints the control of a global whose value changed in the block, or all of them. */
    void refreshGlobal (int globalIndex);
    /** Whether the synth's values are known (its global dump has arrived) and the controls work. */
    bool areValuesKnown() const noexcept { return valuesKnown; }

    /** Why changing global index to value would cut the link with an editor sending on
        editorChannel, or empty when it would not. */
    static juce::String linkWarning (int globalIndex, int value, int editorChannel);

    /** The change held back for the user's answer, if any. */
    bool hasHeldChange() const noexcept { return heldIndex >= 0; }
    juce::String getWarningText() const { return warningText; }
    StsBut& getApplyButton() noexcept { return applyButton; }
    StsBut& getKeepButton() noexcept { return keepButton; }

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;

private:
    void stsbutPressed (int buttonId) override;
    bool confirm (GlbCont& control, int value);
    void endHeldChange (bool apply);
    void renderBackground();
    int keepButtonWidth() const;

    MidiCntrState& engine;
    std::array<std::unique_ptr<GlbCont>, numControls> controls;
    ListenerArray<Global_Listener> listeners;
    juce::Image background;

    int heldIndex = -1, heldValue = 0;
    bool valuesKnown = false;
    juce::String warningText;
    StsBut applyButton{"APPLY", applyCode, StsBut::barKind};
    StsBut keepButton{"Keep the current setting", keepCode, StsBut::barKind};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Global_Container)
};

} // namespace kelvo
