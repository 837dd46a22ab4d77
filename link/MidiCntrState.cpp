#include "link/MidiCntrState.h"
#include "link/BankTransfer.h"
#include "link/EngineFileStore.h"
#include "link/EngineFiles.h"
#include "link/EngineSettings.h"
#include "link/MIDI_PORTS_Control.h"
#include "link/MidiDevices.h"
#include "link/PortWatcher.h"
#include "model/Categories.h"
#include "model/GlobalSettings.h"
#include "model/MidiNumbers.h"
#include "model/ProgramPacking.h"
#include "model/SynthBanks.h"

namespace kelvo
{
namespace
{
constexpr int requestGlobals = sysex::requestGlobals;
constexpr uint8_t firstRealTimeStatus = 0xf8;

bool isValidChannel (int channel) noexcept { return channel >= 1 && channel <= 16; }

// A full output queue makes the message thread and the MIDI input thread wait for room; a host
// thread, which may be the audio thread, drops the message and has it reported instead.
MidiSender::Overflow overflowPolicy() noexcept
{
    return EngineEventHub::isOnInputThread() || juce::MessageManager::existsAndIsCurrentThread() ? MidiSender::Overflow::wait
                                                                                 : MidiSender::Overflow::report;
}
} // namespace

//==============================================================================
MidiCntrState::MidiCntrState (std::unique_ptr<MidiDeviceLayer> deviceLayer, const juce::File& folder)
    : hub (std::make_unique<EngineEventHub> (*this)),
      memory (std::make_unique<SynthMemory> (*hub,
                                             [this] (SynthMemory::Banks banks) {
                                                 if (banks == SynthMemory::Banks::user)
                                                     saveBankData();
                                                 else
                                                     saveFactoryBankData();
                                             })),
      factoryBanksMatchSynth (memory->factoryBanksMatchSynth),
      settingsFolder (folder),
      devices (std::move (deviceLayer))
{
    jassert (devices != nullptr);
    ports = std::make_unique<MIDI_PORTS_Control> (*devices, *this);
    transfer = std::make_unique<BankTransfer> (*memory, *hub, ports->getSender());
    ports->getSender().setMarkerHandler ([this] (uint32_t series, int32_t code) {
        EngineEventHub::markSenderThread();
        transfer->noteTransmitted (series, code);
    });
    ports->getSender().setOverflowHandler ([this] (int numDropped) {
        postEvent (event::overflowCode (numDropped));
    });
    loopGuard.onLoopFound = [this]
    {
        postNotice ("The editor's own MIDI messages come back to it from the synth's port (a MIDI thru in the "
                    "interface or the host, or the synth's \"MIDI Out Select\" on THRU). They are ignored now; "
                    "to edit from the synth's panel too, set MIDI Out Select to OUT and turn any MIDI thru off.");
    };
    ports->getSender().setLoopGuard (&loopGuard);
    incoming.setLoopGuard (&loopGuard);

    // The store meets problems under the file lock: what it has to tell is kept there, and the event
    // that announces it is posted once the lock is released (see EngineEventHub::announceNotices).
    files = std::make_unique<EngineFileStore> (settingsFolder, [this] (const juce::String& text) { hub->keepNotice (text); });
    files->removeStaleTemporaryFiles();

    auto loaded = files->loadSettings();
    settings = std::move (loaded.entries);
    settingsWereReset = loaded.wereReset;
    while (settings.size() < settings::numEntries)
        settings.add ("0");

    if (const auto channel = channelFromSetting (settings[settings::midiChannel]); channel != 0)
    {
        midiChannel = channel;
    }
    else
    {
        // Saved at once, so that the repair never counts later as a change of this instance's own
        // (which would undo a channel that another instance sets meanwhile).
        settings.set (settings::midiChannel, "1");
        saveSettings();
    }

    buildBanks();

    chosenPorts = std::make_unique<ChosenPorts> (*ports, *hub, *files, fileLock);
    chosenPorts->openSaved();
    portWatcher = std::make_unique<PortWatcher> (*this);
}

MidiCntrState::~MidiCntrState()
{
    // The watcher first, so that no port is reopened behind our back. Then the input: once it is
    // closed no callback runs, so nothing from the synth writes into the banks (the plug-in bank
    // included, which the processor keeps until the engine is gone) while they are saved and
    // destroyed. Then the sender, whose thread posts events and steps the transfer: give what is
    // still queued a moment to reach the synth, and stop it. Each save writes only what this
    // instance changed and has not saved yet.
    portWatcher.reset();
    ports->closeInput();
    ports->getSender().waitUntilSent (200);
    ports->closeOutput();

    saveSettings();
    saveBankData();

    transfer.reset();
    ports.reset();
}

void MidiCntrState::buildBanks()
{
    // U1..U4 come from the saved bank data where it holds them whole, from factory banks 0..3
    // otherwise; F1..F4 are always factory banks 0..3.
    files->loadBanks (memory->getUserBanks());
    const auto factoryBanks = memory->getFactoryBanks();
    for (size_t n = 0; n < factoryBanks.size(); ++n)
        factoryBanks[n]->loadFactoryBank ((int) n);

    // F1..F4 as the user made them match the synth, or edited them.
    bool fromSynth = false;
    if (files->loadFactoryBanks (factoryBanks, fromSynth))
        factoryBanksMatchSynth = fromSynth;

    // What the synth holds is taken to be what was loaded, until something is received or sent.
    memory->takeUserBanksAsKnown();
}

//==============================================================================
// Each save takes what it writes under the file lock, so that of two saves racing, the later
// contents are the ones left on disk. The file lock is taken before the settings lock, never after.
void MidiCntrState::saveSettings()
{
    {
        const std::lock_guard<std::mutex> fl (fileLock);
        files->saveSettings (getSettings());
    }
    hub->announceNotices();
}

void MidiCntrState::saveBankData()
{
    bool reloaded;
    {
        const std::lock_guard<std::mutex> fl (fileLock);
        reloaded = files->saveBanks (memory->getUserBanks());
    }
    if (reloaded)
        postEvent (event::bankContentsChanged);
    hub->announceNotices();
}

void MidiCntrState::saveFactoryBankData()
{
    bool reloaded;
    {
        const std::lock_guard<std::mutex> fl (fileLock);
        auto fromSynth = factoryBanksMatchSynth.load();
        reloaded = files->saveFactoryBanks (memory->getFactoryBanks(), fromSynth);
        factoryBanksMatchSynth = fromSynth;
    }
    if (reloaded)
        postEvent (event::bankContentsChanged);
    hub->announceNotices();
}

//==============================================================================
void MidiCntrState::writeProgram (int bank, int program, const ProgramRecord& record)
{
    auto* plugin = getPluginBank();
    if (plugin == nullptr || bank < 0 || bank >= synthbanks::numUserBanks || program < 0 || program >= program::programsPerBank)
        return;

    sendSysEx (makeProgramDump (bank, program, record));
    memory->storeProgram (bank, program, record);

    // The sound stays as it is; what it is called, its category and where it lives follow the write.
    auto editBuffer = plugin->getEditBufferRecord();
    copyNameAndCategory (record, editBuffer);
    plugin->setEditBuffer (editBuffer);
    memory->setCurrentSynthBank (bank);
    memory->setCurrentSynthProgram (program);
    postEvent (event::editBufferReplaced);
}

//==============================================================================
void MidiCntrState::takeEvents (std::vector<int32_t>& dest)
{
    if (! hub->takeEvents (dest))
        return;

    // Some events were lost: have the editor reload everything, and tell it again where the link
    // and a running transfer stand, so that no status or progress display is left behind.
    dest.push_back (event::editBufferReplaced);
    dest.push_back (event::bankContentsChanged);
    if (globalDumpArrived.load())
        dest.push_back (event::online);
    transfer->appendStateEvents (dest);
}

//==============================================================================
void MidiCntrState::queueParameterValue (int index, int value)
{
    {
        const std::lock_guard<std::mutex> sl (parameterQueueLock);
        parameterQueue.push_back (index * 4096 + value);
    }
    sendChangeMessage();
}

void MidiCntrState::takeParameterValues (std::vector<int32_t>& dest)
{
    const std::lock_guard<std::mutex> sl (parameterQueueLock);
    dest.insert (dest.end(), parameterQueue.begin(), parameterQueue.end());
    parameterQueue.clear();
}

//==============================================================================
bool MidiCntrState::isOutputOpen() const noexcept
{
    return ports->isOutputOpen();
}

bool MidiCntrState::waitUntilSent (int timeoutMilliseconds) const
{
    return ports->getSender().waitUntilSent (timeoutMilliseconds);
}

void MidiCntrState::sendParameterNrpn (int nrpn, int value) noexcept
{
    ports->getSender().sendParameterNrpn (getMidiChannel(), nrpn, value, overflowPolicy());
}

void MidiCntrState::sendGlobalNrpn (int nrpn, int value) noexcept
{
    ports->getSender().sendGlobalNrpn (getMidiChannel(), nrpn, value, overflowPolicy());
}

void MidiCntrState::sendController (int channel, int controller, int value) noexcept
{
    if (isValidChannel (channel))
        ports->getSender().sendShort (juce::MidiMessage::controllerEvent (channel, controller & 0x7f, value & 0x7f),
                                      overflowPolicy());
}

void MidiCntrState::sendNoteOn (int channel, int note, int velocity) noexcept
{
    if (isValidChannel (channel) && note >= 0 && note < 128)
        ports->getSender().sendShort (
            juce::MidiMessage::noteOn (channel, note, (juce::uint8) juce::jlimit (0, 127, velocity)), overflowPolicy());
}

void MidiCntrState::sendNoteOff (int channel, int note) noexcept
{
    if (isValidChannel (channel) && note >= 0 && note < 128)
        ports->getSender().sendShort (juce::MidiMessage::noteOff (channel, note, (juce::uint8) 0), overflowPolicy());
}

void MidiCntrState::sendPitchWheel (int channel, int value) noexcept
{
    if (isValidChannel (channel))
        ports->getSender().sendShort (juce::MidiMessage::pitchWheel (channel, juce::jlimit (0, 16383, value)),
                                      overflowPolicy());
}

void MidiCntrState::sendProgramChange (int channel, int program) noexcept
{
    if (isValidChannel (channel) && program >= 0 && program < 128)
        ports->getSender().sendShort (juce::MidiMessage::programChange (channel, program), overflowPolicy());
}

void MidiCntrState::sendSysEx (const juce::MemoryBlock& message)
{
    ports->getSender().sendSysEx (message);
}

void MidiCntrState::requestDump (int kind, int bank, int program)
{
    if (const auto request = makeDumpRequest (kind, bank, program); ! request.isEmpty())
        sendSysEx (request);
}

void MidiCntrState::checkConnection()
{
    globalDumpArrived = false;
    postEvent (event::offline);
    requestDump (requestGlobals, 0, 0);
}

//==============================================================================
void MidiCntrState::selectProgram (int bank, int program, bool sendToSynth)
{
    auto* source = getSynthBank (bank);
    auto* plugin = getPluginBank();
    if (source == nullptr || plugin == nullptr)
        return;

    memory->setCurrentSynthBank (bank);
    memory->setCurrentSynthProgram (program);
    memory->markSynthLocationKnown();
    plugin->setEditBuffer (source->getProgramRecord (program));
    postEvent (event::editBufferReplaced);

    if (sendToSynth)
    {
        sendController (getMidiChannel(), midicc::bankSelect, bank);
        sendProgramChange (getMidiChannel(), program);
    }
}

void MidiCntrState::loadCurrentPluginProgram()
{
    auto* plugin = getPluginBank();
    if (plugin == nullptr)
        return;
    plugin->setEditBuffer (plugin->getProgramRecord (getCurrentPluginProgram()));
    forgetSynthLocation();
    postEvent (event::editBufferReplaced);
}

void MidiCntrState::storeProgram (bool intoBank, int bank, int program, const ProgramRecord& record)
{
    if (intoBank)
    {
        if (! memory->storeProgram (bank, program, record))
            return;
    }
    else
    {
        auto* plugin = getPluginBank();
        if (plugin == nullptr)
            return;
        plugin->setEditBuffer (record);
    }
    postEvent (event::editBufferReplaced);
}

//==============================================================================
void MidiCntrState::sendEditBufferToSynth()
{
    if (auto* plugin = getPluginBank())
        sendSysEx (makeEditBufferDump (plugin->getEditBufferRecord()));
}

void MidiCntrState::writeProgramToSynth (int bank, int program)
{
    auto* plugin = getPluginBank();
    if (plugin == nullptr || bank < 0 || bank >= synthbanks::numUserBanks || program < 0 || program >= program::programsPerBank)
        return;

    const auto record = plugin->getEditBufferRecord();
    sendSysEx (makeProgramDump (bank, program, record));
    memory->storeProgram (bank, program, record);
}

void MidiCntrState::startBankTransfer (int mode, int bank)
{
    transfer->start (mode, bank);
}

void MidiCntrState::endBankTransfer()
{
    transfer->end();
}

int MidiCntrState::getTransferMode() const noexcept
{
    return transfer->getMode();
}

bool MidiCntrState::isTransferChaining() const noexcept
{
    return transfer->isChaining();
}

void MidiCntrState::setScan (bool running, int inputPort, int outputPort)
{
    scanInputPort = inputPort;
    scanOutputPort = outputPort;
    scanRunning = running;
}

//==============================================================================
void MidiCntrState::setMidiChannel (int channel)
{
    if (! isValidChannel (channel))
        return;
    if (midiChannel.exchange (channel) != channel)
        ports->getSender().resetNrpnCache();
    setSetting (settings::midiChannel, juce::String (channel));
}

void MidiCntrState::setCurrentPluginProgram (int program) noexcept
{
    if (program >= 0 && program < program::programsPerBank)
        currentPluginProgram = program;
}

juce::StringArray MidiCntrState::getSettings() const
{
    const std::lock_guard<std::mutex> sl (settingsLock);
    return settings;
}

juce::String MidiCntrState::getSetting (int index) const
{
    const std::lock_guard<std::mutex> sl (settingsLock);
    return settings[index];
}

void MidiCntrState::setSetting (int index, const juce::String& value)
{
    {
        const std::lock_guard<std::mutex> sl (settingsLock);
        if (index < 0 || index >= settings.size() || settings[index] == value)
            return;
        settings.set (index, value);
    }
    // The editor's size changes with every step of a drag: it is saved with the next save.
    if (index != settings::editorWidth && index != settings::editorHeight)
        saveSettings();
}

//==============================================================================
void MidiCntrState::handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message)
{
    EngineEventHub::markInputThread();
    // Whatever the synth sends but its clock may come with a change of its NRPN registers.
    if (message.getRawDataSize() > 0 && message.getRawData()[0] < firstRealTimeStatus)
        ports->getSender().heardFromSynth();
    incoming.decode (message.getRawData(), message.getRawDataSize());
}

void MidiCntrState::handlePartialSysexMessage (juce::MidiInput*, const juce::uint8*, int, double)
{
    // The whole message follows through handleIncomingMidiMessage; this only says it is on its way.
    transfer->noteSysExArriving();
}

void MidiCntrState::pitchWheelArrived (int channel, int lsb, int msb)
{
    postEvent (event::echoCode (event::pitchWheelEcho, channel, msb, lsb));
}

void MidiCntrState::modWheelArrived (int channel, int value)
{
    postEvent (event::echoCode (event::controllerEcho, channel, midicc::modWheel, value));
}

void MidiCntrState::programChangeArrived (int program)
{
    memory->setCurrentSynthProgram (program);
    selectProgram (memory->getCurrentSynthBank(), program, false);
}

void MidiCntrState::bankSelectArrived (int bank)
{
    if (bank != memory->getCurrentSynthBank())
    {
        memory->setCurrentSynthBank (bank);
        selectProgram (bank, memory->getCurrentSynthProgram(), false);
    }
}

void MidiCntrState::parameterArrived (int index, int value)
{
    queueParameterValue (index, value);
}

void MidiCntrState::globalArrived (int index, uint8_t value)
{
    setGlobal (index, value);
    postEvent (event::globalCode (index));
}

void MidiCntrState::sysExArriving()
{
    transfer->noteSysExArriving();
}

void MidiCntrState::sysExTooLong()
{
    postEvent (event::sysExTooLong);
}

void MidiCntrState::programDumpArrived (int bank, int program, const ProgramRecord& record)
{
    if (transfer->takeProgramDump (bank, program, record))
        return;

    // Sent by the synth on its own: it is now the current program there.
    memory->setCurrentSynthBank (bank);
    memory->setCurrentSynthProgram (program);
    memory->getSynthBank (bank)->setProgram (program, record);
    postEvent (event::bankProgramCode (event::programDumpArrived, bank, program));
    memory->synthBankChanged (bank); // F1..F4 too are kept in their file
    if (auto* plugin = getPluginBank())
        plugin->setEditBuffer (record);
    postEvent (event::editBufferReplaced);
}

void MidiCntrState::editBufferDumpArrived (const ProgramRecord& record)
{
    if (auto* plugin = getPluginBank())
    {
        plugin->setEditBuffer (record);
        postEvent (event::editBufferReplaced);
    }
}

void MidiCntrState::globalBlockArrived (const uint8_t* values, int count)
{
    for (int k = 0; k < count; ++k)
        setGlobal (k, values[k]);

    globalDumpArrived = true;

    if (scanRunning.load())
    {
        setSetting (settings::scanInputPort, juce::String (scanInputPort.load()));
        setSetting (settings::scanOutputPort, juce::String (scanOutputPort.load()));
    }

    postEvent (event::online);
}

} // namespace kelvo
