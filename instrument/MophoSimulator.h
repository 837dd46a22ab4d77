#pragma once

#include "instrument/SimulatorMemory.h"
#include "instrument/SimulatorOutput.h"
#include "instrument/SimulatorVoice.h"
#include "model/ParameterTable.h"
#include "model/ProgramRecord.h"
#include "model/SysExAssembler.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>

namespace kelvo
{
class VirtualMidiDevices;

/**
    Our stand-in for a Mopho x4: four user banks of 128 programs, an edit buffer and a global block,
    and the synth's side of the MIDI conversation.

    It answers the requests the editor relies on (global dump, edit-buffer dump, program dumps with
    the requested bank and program), takes NRPN edits of programs and globals, bank select and
    program change, stores program dumps (writes) and edit-buffer dumps, and can act as its own
    front panel would (turn a knob, select a program, send a dump). What it hears and what it sends
    follow its global MIDI settings as the maker documents the synth's (SimulatorGlobals): set them
    to stop it hearing the editor, as a real synth would. It keeps the last NRPN number and data
    MSB it received, as the synth does, so that a data byte alone applies to that number. For tests
    it can run at the real wire rate, drop or delay replies, and answer with a dump of the wrong
    length.

    Threads: receive() may be called from any thread (normally the editor's sender thread). Replies
    and front-panel messages leave on the simulator's own output thread (SimulatorOutput). State
    accessors lock a small mutex.
*/
class MophoSimulator
{
public:
    /** With the wire modelled: how long the synth takes from the end of a request to the first byte
        of its answer. */
    static constexpr int answerLatencyMs = 3;
    /** Length of the synth's global block as its dump carries it. */
    static constexpr int numGlobalBytes = SimulatorGlobals::numBytes;
    /** The name of the simulator's ports wherever they are offered. */
    static constexpr const char* portName = "Mopho x4 Simulator";

    using Output = SimulatorOutput::Output;
    using NoteCounts = SimulatorVoice::NoteCounts;

    MophoSimulator();
    ~MophoSimulator();

    /** Where the synth's MIDI out goes. Set it before anything is received. */
    void setOutput (Output output);
    /** Adds the simulator's input and output ports to a virtual device layer and wires them. */
    void attachTo (VirtualMidiDevices& devices, const juce::String& name = portName);

    /** Bytes arriving at the synth's MIDI in: a whole message or a piece of a SysEx message. */
    void receive (const juce::MidiMessage& message);

    //==============================================================================
    // State (any thread). Banks 0..7: factory banks F1..F4 follow the user banks, can be selected and
    // requested, never written by a dump; setting a factory program stands for a synth whose factory
    // set differs from ours.
    ProgramRecord getProgram (int bank, int program) const;
    void setProgram (int bank, int program, const ProgramRecord& record);
    ProgramRecord getEditBuffer() const;
    void setEditBuffer (const ProgramRecord& record);
    /** A global setting as the synth's own panel sets it (no MIDI involved). */
    uint8_t getGlobal (int index) const;
    void setGlobal (int index, uint8_t value);
    /** Sets every global to what the editor needs (SimulatorGlobals::cooperative), for tests that
        rely on a synth that hears and answers everything. */
    void makeCooperative();
    int getCurrentBank() const;
    int getCurrentProgram() const;
    /** The NRPN number last received: the synth keeps it, so data entry alone changes it again. */
    int getNrpnNumber() const;
    /** Everything of a bank as 128 records back to back. */
    juce::MemoryBlock getBank (int bank) const;

    /** The synth's memory (banks, edit buffer, globals) as bytes, and back: a real synth keeps its
        memory when switched off, and so does the simulator offered to users. */
    juce::MemoryBlock saveMemory() const;
    /** False, and nothing changed, when the bytes do not begin with a memory image of this
        simulator; bytes after a whole image are ignored. */
    bool loadMemory (const void* data, size_t size);
    /** The size of the image that saveMemory makes. */
    static size_t getMemorySize() noexcept { return SimulatorMemory::getImageSize(); }

    //==============================================================================
    // The front panel: what the synth sends on its own (on its global channel, 1 when it listens on
    // all), as far as its MIDI settings let it.
    void turnKnob (int parameterIndex, int value);
    void selectProgramOnPanel (int bank, int program);
    void sendEditBufferDumpFromPanel();
    void sendProgramDumpFromPanel (int bank, int program);

    //==============================================================================
    // Behaviour for tests
    /** Deliver each message when its last byte would have arrived at 31 250 baud, in both
        directions, and start each answer answerLatencyMs after its request has arrived. */
    void setWireRate (bool shouldModelWire);
    /** Ignore the next n requests (the reply is lost). */
    void dropNextReplies (int n);
    /** Never answer a request again (until set false). */
    void setSilent (bool shouldBeSilent);
    /** Wait this long before each reply. */
    void setReplyDelay (int milliseconds);
    /** Cut the next n replies short by one byte. */
    void sendWrongLengthReplies (int n);
    /** Send MIDI clock (F8) every so many milliseconds, 0 to stop: as a synth whose clock is set to
        send does, also between the pieces of its SysEx. */
    void setClockInterval (int milliseconds) { output.setClockInterval (milliseconds); }

    NoteCounts getNoteCounts() const;
    /** Whether a note sounds now. */
    bool isNoteSounding (int note) const;
    void resetNoteCounts();

    /** Requests taken (SysEx on), answered or not. */
    int getNumProgramRequests() const noexcept { return numProgramRequests.load(); }
    int getNumRequests() const noexcept { return numRequests.load(); }
    /** Replies left out by dropNextReplies so far. */
    int getNumDroppedReplies() const noexcept { return numDroppedReplies.load(); }
    /** Waits until everything queued for output has been delivered. */
    bool waitUntilIdle (int timeoutMilliseconds) const { return output.waitUntilIdle (timeoutMilliseconds); }

private:
    using Clock = SimulatorOutput::Clock;

    void handleMessage (const uint8_t* data, int size);
    void handleChannelMessage (const uint8_t* data, int size);
    void handleController (int controller, int value, const SimulatorReceiveFilter& filter);
    void completeNrpn (int dataLsb);
    void handleSysEx (const juce::MemoryBlock& message);
    void reply (juce::MemoryBlock bytes);
    /** Sends one of the synth's own messages, unless its output repeats its input. */
    void sendOwn (juce::MemoryBlock bytes, Clock::time_point readyAt);
    void sendOwn (const juce::MidiMessage& message);

    const ParameterTable table;

    mutable std::mutex stateLock;
    SimulatorMemory memory;
    SimulatorVoice voice;
    int pendingBank = 0;
    uint8_t nrpnNumberMsb = 0, nrpnNumberLsb = 0, nrpnDataMsb = 0;
    SysExAssembler sysExAssembly;
    Clock::time_point inWireFreeAt {};

    bool silent = false;
    int dropReplies = 0, wrongLengthReplies = 0, replyDelayMs = 0;
    std::atomic<int> numProgramRequests { 0 }, numRequests { 0 }, numDroppedReplies { 0 };

    SimulatorOutput output;

    JUCE_DECLARE_NON_COPYABLE (MophoSimulator)
};

} // namespace kelvo
