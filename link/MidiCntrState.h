#pragma once

#include "link/ChosenPorts.h"
#include "link/EngineEventHub.h"
#include "link/IncomingMidiDecoder.h"
#include "link/MidiLoopGuard.h"
#include "link/SynthMemory.h"
#include "model/Bank_Program.h"
#include "model/GlobalSettings.h"
#include "model/ParDes.h"
#include "model/ParameterTable.h"
#include "model/SynthBanks.h"

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_events/juce_events.h>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace kelvo
{
class BankTransfer;
class EngineFileStore;
class MidiDeviceLayer;
class MIDI_PORTS_Control;
class PortWatcher;

/**
    The link to the synth, and the one face it shows the rest of the plug-in: the MIDI ports, the
    settings and the engine's files, every message sent to the synth, the MIDI input callback and
    the events that tell the editor what changed. The work lives in its parts, to which many
    operations here only forward: the synth-side data (eight program banks, the global block, the
    current synth bank and program, what the synth is known to hold) in SynthMemory; the reading of
    incoming MIDI in IncomingMidiDecoder, which reports what it decoded back here (this is its
    sink); the events and their listeners in EngineEventHub; bank transfers in BankTransfer; the
    ports the user chose, by name, in ChosenPorts.

    Threads. Host threads (the audio thread among them), the MIDI input thread and the message
    thread all call in. The banks and the edit buffer are atomic byte by byte (see Bank_Program);
    events and the listeners they reach belong to the event hub (EngineEventHub), whose thread
    rules the event operations here follow; outgoing MIDI goes through the sender's lock-free queue;
    the parameter-value queue has a small lock that is never held while a listener runs.
*/
class MidiCntrState : public juce::MidiInputCallback,
                      public juce::ChangeBroadcaster,
                      public IncomingMidiDecoder::Sink
{
    // Made first and gone last: everything else may post while it is built or goes. The memory comes
    // next, since the public state below refers into it.
    std::unique_ptr<EngineEventHub> hub;
    std::unique_ptr<SynthMemory> memory;

public:
    /** Builds the engine: settings, parameter table, the eight banks, the saved ports.
        settingsFolder is where its files live; devices is the MIDI it talks through. */
    MidiCntrState (std::unique_ptr<MidiDeviceLayer> devices, const juce::File& settingsFolder);
    ~MidiCntrState() override;

    //==============================================================================
    // Events

    /** Appends an event and tells the listeners. Any thread; never locks or allocates. */
    void postEvent (int32_t code) noexcept { hub->postEvent (code); }
    /** Appends an event and tells the state listeners. Any thread. */
    void postStateEvent (int32_t code) noexcept { hub->postStateEvent (code); }
    /** Moves every queued event into dest, oldest first; after a flood that lost some, the events
        that bring an editor up to date follow. Message thread. */
    void takeEvents (std::vector<int32_t>& dest);

    /** Keeps a message for the user (a file that could not be read or written, a saved port that is
        gone) and posts 0x23000000. The same text waiting already is not added twice. Any thread
        but the audio thread. */
    void postNotice (const juce::String& text) { hub->postNotice (text); }
    /** Every message waiting for the user, oldest first; each is handed out once. Message thread. */
    juce::StringArray takeNotices() { return hub->takeNotices(); }

    void addListener (MidiCntrStateListener* l) { hub->addListener (l); }
    void removeListener (MidiCntrStateListener* l) { hub->removeListener (l); }
    void addStateListener (stateListener* l) { hub->addStateListener (l); }
    void removeStateListener (stateListener* l) { hub->removeStateListener (l); }

    /** A listener that hears every transfer's news (see TransferListener), whether or not anybody
        takes the events. Message thread. */
    void addTransferListener (TransferListener* l) { hub->addTransferListener (l); }
    void removeTransferListener (TransferListener* l) { hub->removeTransferListener (l); }
    /** A listener told each time the link comes on-line (see ConnectionListener). Message thread. */
    void addConnectionListener (ConnectionListener* l) { hub->addConnectionListener (l); }
    void removeConnectionListener (ConnectionListener* l) { hub->removeConnectionListener (l); }
    /** Tell the transfer listeners, after whatever news is still on its way to them, that a
        transmission of user banks firstBank..lastBank starts, or that the transfer was ended.
        Message thread (the transfer calls them). */
    void announceTransmissionStarting (int first, int last) { hub->announceTransmissionStarting (first, last); }
    void announceTransferEnded() { hub->announceTransferEnded(); }

    //==============================================================================
    // Incoming program-parameter values (index × 4096 + value), applied by the processor.

    /** Queues a value and sends a change message. Any thread but the audio thread. */
    void queueParameterValue (int index, int value);
    /** Takes the whole queue in one step. Message thread. */
    void takeParameterValues (std::vector<int32_t>& dest);

    //==============================================================================
    // Sending to the synth. Each does nothing while the output is closed. Any thread, except
    // where a comment says otherwise.

    void sendParameterNrpn (int nrpn, int value) noexcept;
    void sendGlobalNrpn (int nrpn, int value) noexcept;
    void sendController (int channel, int controller, int value) noexcept;
    void sendNoteOn (int channel, int note, int velocity) noexcept;
    void sendNoteOff (int channel, int note) noexcept;
    void sendPitchWheel (int channel, int value) noexcept;
    void sendProgramChange (int channel, int program) noexcept;
    /** A complete SysEx message, F0 to F7. Not the audio thread. */
    void sendSysEx (const juce::MemoryBlock& message);
    /** Dump requests: kind 5 program (bank, program), 6 edit buffer, 14 globals. Not the audio thread. */
    void requestDump (int kind, int bank, int program);
    /** Marks the link off-line and asks the synth for its globals; the answer puts it on-line. */
    void checkConnection();

    //==============================================================================
    // Programs

    /** Makes bank/program current, copies that program into the edit buffer and posts 0x11000000;
        with sendToSynth, also sends bank select and program change. Does nothing for bank ≥ 8. */
    void selectProgram (int bank, int program, bool sendToSynth);
    /** Copies the current plug-in program into the edit buffer and posts 0x11000000. */
    void loadCurrentPluginProgram();
    /** Stores a record into a synth bank (intoBank; the bank is then saved at once) or the edit
        buffer, and posts the events. Message thread. */
    void storeProgram (bool intoBank, int bank, int program, const ProgramRecord& record);
    /** A synth bank's contents changed: tells the editor (0x19000000) and saves U1..U4 if they
        changed. Any thread but the audio thread. */
    void bankContentsChanged() { memory->bankContentsChanged(); }

    //==============================================================================
    // Deliveries to the synth and bank transfers (message thread)

    /** Sends the edit buffer as an edit-buffer dump: the synth plays it without storing it. */
    void sendEditBufferToSynth();
    /** Stores the edit buffer in the synth as user bank/program (program dump), and in the local copy. */
    void writeProgramToSynth (int bank, int program);
    /** Begins a transfer: mode 0 receive bank 0..3, 7 receive all, 100 transmit bank, 107 transmit all. */
    void startBankTransfer (int mode, int bank);
    /** Ends any transfer at once. */
    void endBankTransfer();
    /** −1 idle, else the mode of the running transfer. */
    int getTransferMode() const noexcept;
    bool isTransferChaining() const noexcept;
    BankTransfer& getTransfer() noexcept { return *transfer; }

    //==============================================================================
    // Connection state

    /** Why the link is off-line, in words: a port that is not chosen or not present, or no answer
        from the synth yet. Message thread. */
    juce::String getOfflineReason() const { return chosenPorts->getOfflineReason(); }

    /** Whether a global dump has arrived since the last connection check. */
    bool hasGlobalDumpArrived() const noexcept { return globalDumpArrived.load(); }
    /** While a device scan runs, a global dump records the pair being tried (1-based) in the settings. */
    void setScan (bool running, int inputPort, int outputPort);

    //==============================================================================
    // Ports (message thread)

    /** Row 0 is "NONE"; row r ≥ 1 is device r − 1 of the system's list. */
    void selectInputRow (int row) { chosenPorts->selectRow (ChosenPorts::Side::input, row); }
    void selectOutputRow (int row) { chosenPorts->selectRow (ChosenPorts::Side::output, row); }
    MIDI_PORTS_Control& getPorts() noexcept { return *ports; }
    /** Follows the chosen ports through the device lists for the engine's whole life. */
    PortWatcher& getPortWatcher() noexcept { return *portWatcher; }
    bool isOutputOpen() const noexcept;
    /** Waits until everything sent so far has reached the output device (tests, shutdown). */
    bool waitUntilSent (int timeoutMilliseconds) const;

    //==============================================================================
    // Accessors

    const ParameterTable& getTable() const noexcept { return table; }
    const ParDes& getParDes() const noexcept { return parDes; }

    int getMidiChannel() const noexcept { return midiChannel.load(); }
    void setMidiChannel (int channel);

    int getCurrentSynthBank() const noexcept { return memory->getCurrentSynthBank(); }
    /** False while the edit buffer holds a sound that did not come from the current synth bank and
        program (a plug-in program, a restored session): the editor then shows no location. */
    bool hasSynthLocation() const noexcept { return memory->hasSynthLocation(); }
    void forgetSynthLocation() noexcept { memory->forgetSynthLocation(); }
    int getCurrentSynthProgram() const noexcept { return memory->getCurrentSynthProgram(); }
    int getCurrentPluginProgram() const noexcept { return currentPluginProgram.load(); }
    void setCurrentPluginProgram (int program) noexcept;

    /** Synth bank 0..7 (U1..U4, F1..F4), or nullptr for any other number. */
    Bank_Program* getSynthBank (int bank) const noexcept { return memory->getSynthBank (bank); }
    /** The banks, the globals, the location and what the synth is known to hold. */
    SynthMemory& getSynthMemory() noexcept { return *memory; }
    Bank_Program* getPluginBank() const noexcept { return pluginBank.load (std::memory_order_acquire); }
    /** The processor's bank. Set once, after the saved ports may have opened: the MIDI thread can
        already be reading it, so it is published atomically. */
    void setPluginBank (Bank_Program* bank) noexcept { pluginBank.store (bank, std::memory_order_release); }

    uint8_t getGlobal (int index) const noexcept { return memory->getGlobal (index); }
    void setGlobal (int index, uint8_t value) noexcept { memory->setGlobal (index, value); }

    /** The settings list (82 entries), a copy taken under the settings lock. Any thread. */
    juce::StringArray getSettings() const;
    juce::String getSetting (int index) const;
    /** Changes an entry and saves the settings at once when it changed (the editor's size, which
        changes while it is dragged, is saved with the next save). */
    void setSetting (int index, const juce::String& value);

    const juce::File& getSettingsFolder() const noexcept { return settingsFolder; }

    //==============================================================================
    // The engine's files in the settings folder. Any thread but the audio thread (a bank receive
    // completes on the MIDI input thread); writes are serialised, and each replaces its file whole.
    // Saves keep on disk what another instance saved and this one did not change (EngineFileStore).

    /** Writes the settings file with the 82 entries. */
    void saveSettings();
    /** Writes the bank data file when U1..U4 changed here; programs that another instance saved
        meanwhile are loaded (and 0x19000000 posted). */
    void saveBankData();
    /** Writes F1..F4 to their own file when they changed here, so that they survive a restart;
        merged like the bank data (programs another instance saved meanwhile are loaded, and
        0x19000000 posted). */
    void saveFactoryBankData();
    /** The port names: input, output and a third entry, "NONE" where no port is chosen. */
    juce::StringArray getPortNames() const { return chosenPorts->getNames(); }
    /** Writes the port names to the ports file. */
    void savePorts() { chosenPorts->save(); }
    /** Reads the port names back from the ports file (written with "NONE" when missing or short). */
    void loadPorts() { chosenPorts->load(); }

    //==============================================================================
    // Whole-bank changes (message thread). Each posts 0x19000000 and, for U1..U4, saves the bank
    // data, so that nothing loaded is lost if the host goes down before the engine is destroyed.
    // A bank number of 8 or more does nothing.

    /** Every program of the synth bank becomes the initial program. */
    void initialiseSynthBank (int bank) { memory->initialiseSynthBank (bank); }
    /** The synth bank takes factory bank 0..3. */
    void loadFactoryBankInto (int bank, int factoryBank) { memory->loadFactoryBankInto (bank, factoryBank); }
    /** The synth bank takes concatenated program dumps (see Bank_Program::loadFromDumps). */
    void loadSynthBankFromDumps (int bank, const juce::MemoryBlock& dumps) { memory->loadSynthBankFromDumps (bank, dumps); }
    /** F1..F4 were replaced as a whole (fromSynth: by what the synth holds): saves them and tells
        the editor. */
    void factoryBanksReplaced (bool fromSynth) { memory->factoryBanksReplaced (fromSynth); }
    /** Sets the category byte of one program of a synth bank, and saves the bank. */
    void setProgramCategory (int bank, int program, int categoryNumber)
    {
        memory->setProgramCategory (bank, program, categoryNumber);
    }
    /** Stores a record as user bank/program, in the synth (program dump, no program change) and in
        the local copy; the edit buffer takes its name and category and that slot becomes the
        current location. Does nothing for a factory bank. */
    void writeProgram (int bank, int program, const ProgramRecord& record);

    // Editor-side state kept for the life of the plug-in instance.
    std::atomic<bool> useLoadedData { false };
    /** Whether F1..F4 are known to be the synth's own (received from it or loaded from its
        factory file), kept between runs: the synth memory's flag. */
    std::atomic<bool>& factoryBanksMatchSynth;
    std::atomic<bool> firstEditorOpened { false };
    std::atomic<float> editorScale { 1.0f };
    std::atomic<int> keyboardOctave { 2 };
    std::atomic<int> keyboardVelocity { 100 };
    std::atomic<bool> settingsWereReset { false };

    //==============================================================================
    /** Whether the calling thread is one of the link's own (the MIDI input, the sender): these
        may post to the message thread, which a host's thread (perhaps the audio thread) may not. */
    static bool isOnLinkThread() noexcept { return EngineEventHub::isOnLinkThread(); }

    /** Everything the synth sends arrives here, on the MIDI input thread. */
    void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override;
    /** A driver passes on the first part of a SysEx message that is still arriving. MIDI input thread. */
    void handlePartialSysexMessage (juce::MidiInput* source, const juce::uint8* data, int numBytesSoFar,
                                    double timestamp) override;

private:
    void buildBanks();

    // What the incoming MIDI says, as the decoder reports it (MIDI input thread).
    void pitchWheelArrived (int channel, int lsb, int msb) override;
    void modWheelArrived (int channel, int value) override;
    void programChangeArrived (int program) override;
    void bankSelectArrived (int bank) override;
    void parameterArrived (int index, int value) override;
    void globalArrived (int index, uint8_t value) override;
    void sysExArriving() override;
    void sysExTooLong() override;
    void programDumpArrived (int bank, int program, const ProgramRecord& record) override;
    void editBufferDumpArrived (const ProgramRecord& record) override;
    void globalBlockArrived (const uint8_t* values, int count) override;

    const ParameterTable table;
    ParDes parDes;
    const juce::File settingsFolder;

    std::unique_ptr<MidiDeviceLayer> devices;
    // Before the ports: the sender tells it what goes out until the ports are gone.
    MidiLoopGuard loopGuard;
    std::unique_ptr<MIDI_PORTS_Control> ports;

    std::atomic<Bank_Program*> pluginBank { nullptr };

    std::atomic<int> midiChannel { 1 };
    std::atomic<int> currentPluginProgram { 0 };

    mutable std::mutex settingsLock;
    juce::StringArray settings;
    std::mutex fileLock; // one writer of the settings folder at a time
    std::unique_ptr<EngineFileStore> files;
    std::unique_ptr<ChosenPorts> chosenPorts;

    std::mutex parameterQueueLock;
    std::vector<int32_t> parameterQueue;

    std::unique_ptr<BankTransfer> transfer;
    std::unique_ptr<PortWatcher> portWatcher;

    // Touched only by the MIDI input thread.
    IncomingMidiDecoder incoming { table, *this };

    std::atomic<bool> globalDumpArrived { false }, scanRunning { false };
    std::atomic<int> scanInputPort { 0 }, scanOutputPort { 0 };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiCntrState)
};

} // namespace kelvo
