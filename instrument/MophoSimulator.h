#pragma once

#include "model/ParameterTable.h"
#include "model/ProgramRecord.h"
#include "model/SynthBanks.h"
#include "model/SysExAssembler.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace kelvo
{
class VirtualMidiDevices;
struct SimulatorReceiveFilter;

/**
    Our stand-in for a Mopho x4: four user banks of 128 programs, an edit buffer and a global block,
    and the synth's side of the MIDI conversation.

    It answers the requests the editor relies on (global dump, edit-buffer dump, program dumps with
    the requested bank and program), takes NRPN edits, bank select and program change, stores
    program dumps (writes) and edit-buffer dumps, and can act as its own front panel would (turn a
    knob, select a program, send a dump). For tests it can run at the real wire rate, drop or delay
    replies, and answer with a dump of the wrong length.

    Threads: receive() may be called from any thread (normally the editor's sender thread). Replies
    and front-panel messages leave on the simulator's own output thread, as a real synth's would
    arrive on the computer's MIDI input thread. State accessors lock a small mutex.
*/
class MophoSimulator
{
public:
    /** With the wire modelled: how long the synth takes from the end of a request to the first byte
        of its answer. */
    static constexpr int answerLatencyMs = 3;
    /** Length of the synth's global block as its dump carries it. */
    static constexpr int numGlobalBytes = 32;
    /** The name of the simulator's ports wherever they are offered. */
    static constexpr const char* portName = "Mopho x4 Simulator";

    using Output = std::function<void (const juce::MidiMessage&)>;

    MophoSimulator();
    ~MophoSimulator();

    /** Where the synth's MIDI out goes. Set it before anything is received. */
    void setOutput (Output output);
    /** Adds the simulator's input and output ports to a virtual device layer and wires them. */
    void attachTo (VirtualMidiDevices& devices, const juce::String& name = portName);

    /** Bytes arriving at the synth's MIDI in: a whole message or a piece of a SysEx message. */
    void receive (const juce::MidiMessage& message);

    //==============================================================================
    // State (any thread). Banks 0..7; setting a factory program stands for a synth whose factory
    // set differs from ours.
    ProgramRecord getProgram (int bank, int program) const;
    void setProgram (int bank, int program, const ProgramRecord& record);
    ProgramRecord getEditBuffer() const;
    void setEditBuffer (const ProgramRecord& record);
    /** Global block byte. The synth's global MIDI settings (channel, "Param Receive", "MIDI Control",
        "MIDI SysEx") decide what it takes in; they are changed by NRPN as on the synth. */
    uint8_t getGlobal (int index) const;
    void setGlobal (int index, uint8_t value);
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
    static size_t getMemorySize() noexcept;

    //==============================================================================
    // The front panel: what the synth sends on its own.
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
    void setClockInterval (int milliseconds);

    /** Notes as the synth heard them: note-ons (velocity 1 or more), note-offs (0x80, or a note-on
        with velocity 0), and the notes sounding now, so that a test can find a stuck note. */
    struct NoteCounts
    {
        int noteOns = 0, noteOffs = 0, sounding = 0;
        /** The most notes that sounded at once since the counts were last reset. */
        int mostAtOnce = 0;
        /** The last pitch-wheel position received (8192 is the centre). */
        int pitchWheel = 8192;
    };
    NoteCounts getNoteCounts() const;
    /** Whether a note sounds now. */
    bool isNoteSounding (int note) const;
    void resetNoteCounts();

    int getNumProgramRequests() const noexcept { return numProgramRequests.load(); }
    int getNumRequests() const noexcept { return numRequests.load(); }
    /** Replies left out by dropNextReplies so far. */
    int getNumDroppedReplies() const noexcept { return numDroppedReplies.load(); }
    /** Waits until everything queued for output has been delivered. */
    bool waitUntilIdle (int timeoutMilliseconds) const;

private:
    using Clock = std::chrono::steady_clock;

    struct Outgoing
    {
        juce::MemoryBlock bytes;
        Clock::time_point readyAt;
    };

    void handleMessage (const uint8_t* data, int size);
    void handleController (int controller, int value, const SimulatorReceiveFilter& filter);
    void handleNote (int note, bool on);
    void handleSysEx (const juce::MemoryBlock& message);
    void reply (juce::MemoryBlock bytes);
    void send (juce::MemoryBlock bytes, Clock::time_point readyAt);
    void runOutput();
    void sendClockUntil (Clock::time_point until);
    void deliver (const uint8_t* data, int size);
    juce::MemoryBlock makeGlobalDump() const;
    void sendNrpn (int number, int value);
    /** Program of any bank 0..7; stateLock held, bank and program in range. */
    ProgramRecord& programAt (int bank, int program);
    const ProgramRecord& programAt (int bank, int program) const;

    const ParameterTable table;

    mutable std::mutex stateLock;
    std::array<std::array<ProgramRecord, program::programsPerBank>, synthbanks::numUserBanks> banks {};
    // Factory banks F1..F4 follow the user banks as banks 4..7: they can be selected and requested,
    // never written by a dump.
    std::array<std::array<ProgramRecord, program::programsPerBank>, synthbanks::numFactoryBanks> factoryBanks {};
    ProgramRecord editBuffer {};
    std::array<uint8_t, numGlobalBytes> globals {};
    int currentBank = 0, currentProgram = 0, pendingBank = 0;
    std::array<bool, 128> soundingNotes {};
    NoteCounts noteCounts;
    uint8_t nrpnNumberMsb = 0, nrpnNumberLsb = 0, nrpnDataMsb = 0;
    SysExAssembler sysExAssembly;
    Clock::time_point inWireFreeAt {};

    bool modelWire = false, silent = false;
    int dropReplies = 0, wrongLengthReplies = 0, replyDelayMs = 0;
    std::atomic<int> numProgramRequests { 0 }, numRequests { 0 }, numDroppedReplies { 0 };

    Output output;
    mutable std::mutex outputLock;
    mutable std::condition_variable outputChanged;
    std::deque<Outgoing> outgoing;
    bool delivering = false, stopping = false;
    Clock::time_point outWireFreeAt {};
    int clockIntervalMs = 0;
    Clock::time_point nextClockAt {};
    std::thread outputThread;

    JUCE_DECLARE_NON_COPYABLE (MophoSimulator)
};

} // namespace kelvo
