#pragma once

#include "link/PortScan.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{
class MidiCntrState;

/**
    The scan panel: shown over the editor when the settings were reset and the synth does not
    answer. It runs a port scan (PortScan) and shows its progress, then either asks to be removed
    (the synth answered and is set up well), lists the synth's settings that stop the editor from
    working ("WARNING!"), or says "NOT CONNECTED!" with a "Host settings" link to a help page.

    A press anywhere on it stops the scan (putting back the ports in use before) and asks to be
    removed; its owner removes it on the change message. Once nothing answered, the press also asks
    for the port setup panel (wantsPortSetup), where the ports are chosen by hand. Laid out in design
    units. Message thread.
*/
class MIDI_scan final : public juce::Component, public juce::ChangeBroadcaster, private juce::Timer
{
public:
    static constexpr int designWidth = 560, designHeight = 95;
    /** The help page that "Host settings" opens, in the settings folder. */
    static constexpr const char* helpFileName = "KelvoHostSettings.html";

    MIDI_scan (MidiCntrState& engine, PortScan::Timing timing = {}, PortScan::StandInTest skip = {});
    ~MIDI_scan() override;

    /** Begins the scan. */
    void start();

    PortScan& getScan() noexcept { return scan; }
    bool isNotConnected() const noexcept { return notConnected; }
    /** Whether the press that asked to remove the panel asked for the port setup panel too. */
    bool wantsPortSetup() const noexcept { return portSetupWanted; }
    const juce::StringArray& getWarnings() const noexcept { return warnings; }
    juce::HyperlinkButton& getHostSettingsLink() noexcept { return hostSettings; }

    /** Writes the help page on the synth's MIDI settings and on giving a plug-in its own MIDI ports
        in common hosts into folder; returns the file, or an invalid one when it cannot be written. */
    static juce::File writeHostSettingsHelp (const juce::File& folder);

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;

private:
    void timerCallback() override { repaint(); }
    void scanFinished();
    void openHostSettings();

    MidiCntrState& engine;
    PortScan scan;
    bool notConnected = false;
    bool portSetupWanted = false;
    juce::StringArray warnings;
    juce::Rectangle<int> savedBounds;
    juce::HyperlinkButton hostSettings;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MIDI_scan)
};

} // namespace kelvo
