#pragma once

#include "instrument/MophoSimulator.h"
#include "link/VirtualMidiDevices.h"
#include "support/TestHelpers.h"

#include <memory>
#include <set>
#include <vector>

namespace kelvo::test
{

/**
    A machine's MIDI as a port scan meets it: silent ports, and simulated synths behind ports of any
    name (one may be offered under the built-in simulator's name). A name can be hidden and shown
    again, as a USB interface unplugged and plugged back. Message thread, like every device layer.
*/
class ScanDevices final : public MidiDeviceLayer
{
public:
    ScanDevices() = default;
    ~ScanDevices() override { synths.clear(); } // the synths go before the ports they answer on

    /** A port pair that nothing answers on. */
    void addSilent (const juce::String& name)
    {
        ports.addOutput (name, [] (const juce::MidiMessage&) {});
        ports.addInput (name);
    }

    /** A synth behind a port pair of this name; what reaches it is also recorded in sentToSynths. */
    MophoSimulator& addSynth (const juce::String& name)
    {
        synths.push_back (std::make_unique<MophoSimulator>());
        auto* synth = synths.back().get();
        ports.addOutput (name,
                         [this, synth] (const juce::MidiMessage& m)
                         {
                             sentToSynths.add (m);
                             synth->receive (m);
                         });
        const auto input = ports.addInput (name);
        synth->setOutput ([this, input] (const juce::MidiMessage& m) { ports.deliver (input, m); });
        return *synth;
    }

    RecordingSink sentToSynths;

    void hide (const juce::String& name) { hidden.insert (name); }
    void show (const juce::String& name) { hidden.erase (name); }

    juce::StringArray getInputNames() override { return visible (ports.getInputNames()); }
    juce::StringArray getOutputNames() override { return visible (ports.getOutputNames()); }

    std::unique_ptr<MidiInputDevice> openInput (int index, juce::MidiInputCallback& callback) override
    {
        const auto all = ports.getInputNames();
        const auto real = all.indexOf (getInputNames()[index]);
        return real < 0 ? nullptr : ports.openInput (real, callback);
    }

    /** The ports offered under the built-in simulator's name stand in for the synth, as in the
        plug-in's own lists. */
    bool isStandIn (const juce::String& name) override { return name == MophoSimulator::portName; }

    std::unique_ptr<MidiOutputDevice> openOutput (int index) override
    {
        const auto all = ports.getOutputNames();
        const auto real = all.indexOf (getOutputNames()[index]);
        return real < 0 ? nullptr : ports.openOutput (real);
    }

private:
    juce::StringArray visible (juce::StringArray names) const
    {
        for (const auto& h : hidden)
            names.removeString (h);
        return names;
    }

    VirtualMidiDevices ports;
    std::vector<std::unique_ptr<MophoSimulator>> synths;
    std::set<juce::String> hidden;
};

} // namespace kelvo::test
