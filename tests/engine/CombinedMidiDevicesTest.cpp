#include "instrument/BuiltInSimulator.h"
#include "instrument/MophoSimulator.h"
#include "link/CombinedMidiDevices.h"
#include "link/VirtualMidiDevices.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
struct NoCallback final : juce::MidiInputCallback
{
    void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage&) override {}
};
} // namespace

// The plug-in's lists: the machine's ports, then the simulator, each row opening what it names,
// and only the simulator standing in for the synth.
TEST (CombinedMidiDevices, TheSecondLayerFollowsTheFirstInEveryListAndOpensAtItsRows)
{
    TempFolder temp;
    auto machine = std::make_unique<VirtualMidiDevices>();
    int reachedB = 0;
    machine->addOutput ("Port A", [] (const juce::MidiMessage&) {});
    machine->addOutput ("Port B", [&] (const juce::MidiMessage&) { ++reachedB; });
    machine->addInput ("Port A");
    CombinedMidiDevices devices (std::move (machine), std::make_unique<BuiltInSimulator> (temp.folder));

    const juce::StringArray outputs{"Port A", "Port B", MophoSimulator::portName};
    EXPECT_EQ (devices.getOutputNames(), outputs);
    EXPECT_EQ (devices.getInputNames(), juce::StringArray ({"Port A", MophoSimulator::portName}));

    auto b = devices.openOutput (1);
    ASSERT_NE (b, nullptr);
    b->sendMessageNow (juce::MidiMessage::noteOff (1, 60));
    EXPECT_EQ (reachedB, 1);

    NoCallback callback;
    EXPECT_NE (devices.openOutput (2), nullptr);
    EXPECT_NE (devices.openInput (1, callback), nullptr);
    EXPECT_EQ (devices.openOutput (3), nullptr);
    EXPECT_EQ (devices.openInput (2, callback), nullptr);

    for (const auto& name : outputs)
        EXPECT_EQ (devices.isStandIn (name), name == MophoSimulator::portName) << name;
}
