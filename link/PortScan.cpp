#include "link/PortScan.h"
#include "link/EngineSettings.h"
#include "link/MIDI_PORTS_Control.h"
#include "link/MidiCntrState.h"
#include "link/MidiDevices.h"
#include "link/PortChoice.h"
#include "link/PortWatcher.h"

namespace kelvo
{
namespace
{
// Global block bytes that the editor depends on, and the values it needs there.
constexpr int parameterSendByte = 4, parameterReceiveByte = 5, controllersByte = 6;
constexpr int controllersOn = 1, sendNrpn = 0, receiveAll = 0;
} // namespace

PortScan::PortScan (MidiCntrState& e, Timing t, StandInTest skip)
    : engine (e), timing (t),
      isStandIn (skip ? std::move (skip)
                      : StandInTest ([&e] (const juce::String& name) { return e.getPorts().getDevices().isStandIn (name); }))
{
}

PortScan::~PortScan()
{
    cancel();
}

juce::StringArray PortScan::settingWarnings (const MidiCntrState& engine)
{
    juce::StringArray lines;
    if (engine.getGlobal (controllersByte) != controllersOn)
        lines.add ("- MIDI Controller Send/Receive = ON");
    if (engine.getGlobal (parameterSendByte) != sendNrpn)
        lines.add ("- Parameter send = NRPN");
    if (engine.getGlobal (parameterReceiveByte) != receiveAll)
        lines.add ("- Parameter Receive = ALL");
    return lines;
}

void PortScan::start()
{
    if (state == State::scanning)
        return;

    const auto names = engine.getPortNames();
    previous = {names[0], names[1]};

    auto& devices = engine.getPorts().getDevices();
    pairs.clear();
    for (const auto& in : devices.getInputNames())
        for (const auto& out : devices.getOutputNames())
            if (!isStandIn (in) && !isStandIn (out))
                pairs.push_back ({in, out});

    nextPair = 0;
    state = State::scanning;
    // The scan owns the ports while it runs.
    engine.getPortWatcher().setActive (false);
    startTimer (timing.tickMs);

    // The ports in use may be the right ones: their answer needs no change at all.
    auto& ports = engine.getPorts();
    tryingCurrentPorts = ports.isInputOpen() && ports.isOutputOpen();
    if (tryingCurrentPorts)
    {
        trying = previous;
        ask (Step::waiting);
    }
    else
    {
        tryNextPair();
    }
}

void PortScan::cancel()
{
    if (state != State::scanning)
        return;
    stopTimer();
    state = State::cancelled;
    restorePreviousPorts();
    engine.getPortWatcher().setActive (true);
}

void PortScan::ask (Step s)
{
    step = s;
    deadline = juce::Time::getMillisecondCounter() + (juce::uint32)timing.answerWaitMs;
    engine.checkConnection();
}

void PortScan::tryNextPair()
{
    tryingCurrentPorts = false;
    auto& ports = engine.getPorts();
    auto& devices = ports.getDevices();

    while (nextPair < (int)pairs.size())
    {
        trying = pairs[(size_t)nextPair++];
        // Looked up again by name: the lists may have changed since the scan began.
        const auto in = devices.getInputNames().indexOf (trying.input);
        const auto out = devices.getOutputNames().indexOf (trying.output);
        if (in < 0 || out < 0)
            continue;

        // Only this pair is open while it is asked.
        ports.openInput (in + 1);
        ports.openOutput (out + 1);
        if (!ports.isInputOpen() || !ports.isOutputOpen())
            continue;

        ask (Step::waiting);
        return;
    }

    fail();
}

void PortScan::timerCallback()
{
    if (state != State::scanning)
    {
        stopTimer();
        return;
    }

    if (engine.hasGlobalDumpArrived())
    {
        // An answer to the current ports as they were found needs no proof; for a pair put in use by
        // the scan it may be a late answer to the pair before, so that pair is asked once more.
        if (tryingCurrentPorts || step == Step::confirming)
            succeed();
        else
            ask (Step::confirming);
        return;
    }

    if (juce::Time::getMillisecondCounter() >= deadline)
        tryNextPair();
}

void PortScan::succeed()
{
    stopTimer();

    // The normal path of a user's choice: the ports by name, remembered in the ports file, and the
    // pair's rows in the settings.
    portchoice::selectInputByName (engine, trying.input);
    portchoice::selectOutputByName (engine, trying.output);
    const auto& ports = engine.getPorts();
    engine.setSetting (settings::scanInputPort, juce::String (ports.getInputIndex() + 1));
    engine.setSetting (settings::scanOutputPort, juce::String (ports.getOutputIndex() + 1));
    engine.savePorts();
    engine.saveSettings();
    engine.getPortWatcher().setActive (true);

    state = State::found;
    if (onFinished)
        onFinished();
}

void PortScan::fail()
{
    stopTimer();
    trying = {};
    restorePreviousPorts();
    engine.getPortWatcher().setActive (true);
    // The link as it is again, said at once (a port missing, or no answer on the ports put back).
    engine.checkConnection();
    state = State::notFound;
    if (onFinished)
        onFinished();
}

void PortScan::restorePreviousPorts()
{
    // A port that is gone by now stays closed, and keeps its name for when it comes back.
    if (!portchoice::selectInputByName (engine, previous.input))
        engine.getPorts().closeInput();
    if (!portchoice::selectOutputByName (engine, previous.output))
        engine.getPorts().closeOutput();
}

} // namespace kelvo
