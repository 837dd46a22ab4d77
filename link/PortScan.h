#pragma once

#include <juce_events/juce_events.h>

#include <functional>
#include <vector>

namespace kelvo
{
class MidiCntrState;

/**
    Looks for the synth behind the system's MIDI ports: puts each input/output pair in use in turn,
    asks for the global dump and waits a short time for it; the first pair that answers twice in a
    row (the second answer to a request sent while only that pair was open) becomes the link's
    ports, chosen by name and saved with the settings, so that the next start opens them.

    The ports in use when the scan starts are tried first, as they are. Ports that a stand-in test
    names (the built-in simulator) are skipped: the scan looks for hardware. When nothing answers,
    or the scan is cancelled, the ports that were in use before are put back. The engine's port
    watcher rests while the scan runs.

    Stepped by its own timer on the message thread; every call is on the message thread.
*/
class PortScan final : private juce::Timer
{
public:
    struct Timing
    {
        /** How long a pair has to answer one request. */
        int answerWaitMs = 500;
        /** How often the scan looks for the answer. */
        int tickMs = 20;
    };

    enum class State
    {
        idle,
        scanning,
        found,
        notFound,
        cancelled
    };

    using StandInTest = std::function<bool (const juce::String& portName)>;

    /** skip names the ports that are not hardware; by default the built-in simulator's. */
    PortScan (MidiCntrState& engine, Timing timing, StandInTest skip = {});
    ~PortScan() override;

    /** Begins with the ports in use, then the pairs of the device lists as they are now. */
    void start();
    /** Stops a running scan and puts back the ports that were in use before it. */
    void cancel();

    State getState() const noexcept { return state; }
    /** Called once when the scan ends by itself (found or not found). */
    std::function<void()> onFinished;

    /** Where it stands while scanning: names of the pair being tried, pairs tried, pairs in all. */
    juce::String getInputBeingTried() const { return trying.input; }
    juce::String getOutputBeingTried() const { return trying.output; }
    int getPairsTried() const noexcept { return nextPair; }
    int getNumPairs() const noexcept { return (int)pairs.size(); }

    /** The synth's settings, read from the engine's global block, that stop the editor from working,
        one line each; empty when all is well. */
    static juce::StringArray settingWarnings (const MidiCntrState& engine);

private:
    struct Pair
    {
        juce::String input, output;
    };

    enum class Step
    {
        waiting,
        confirming
    };

    void timerCallback() override;
    void tryNextPair();
    void ask (Step step);
    void succeed();
    void fail();
    void restorePreviousPorts();

    MidiCntrState& engine;
    const Timing timing;
    const StandInTest isStandIn;

    State state = State::idle;
    Step step = Step::waiting;
    std::vector<Pair> pairs;
    Pair previous, trying;
    bool tryingCurrentPorts = false;
    int nextPair = 0;
    juce::uint32 deadline = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PortScan)
};

} // namespace kelvo
