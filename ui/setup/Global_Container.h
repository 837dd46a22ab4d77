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

    A change that would cut the editor off from the synth (SysEx off, parameter receive other than
    "ALL", the synth listening on a channel the editor does not send on) is held back and explained
    in a warning strip, with "APPLY" and "KEEP"; anything else is sent at once. The close image
    tells the listeners code 2222. Laid out in design units; message thread.
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
    /** Repaints the control of a global whose value changed in the block. */
    void refreshGlobal (int globalIndex);

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

    MidiCntrState& engine;
    std::array<std::unique_ptr<GlbCont>, numControls> controls;
    ListenerArray<Global_Listener> listeners;
    juce::Image background;

    int heldIndex = -1, heldValue = 0;
    juce::String warningText;
    StsBut applyButton{"APPLY", applyCode, StsBut::barKind};
    StsBut keepButton{"KEEP", keepCode, StsBut::barKind};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Global_Container)
};

} // namespace kelvo
