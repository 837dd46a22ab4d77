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
constexpr int requestProgram = sysex::requestProgram, requestEditBuffer = sysex::requestEditBuffer,
              requestGlobals = sysex::requestGlobals;

// Incoming NRPN numbers from globals::firstNrpn on name globals; below, program parameters, the
// indices from here on with an offset.
constexpr int firstHighParameterNrpn = 200;
// A program parameter is one byte; anything larger cannot be stored and would spill into the index
// when queued as index × 4096 + value.
constexpr int maxParameterValue = 255;

constexpr uint8_t universalNonRealtime = 0x7e, identityReply = 0x06;

// A saved port name shorter than this is taken as no port at all.
constexpr int minPortNameLength = 3;

const char* const synthBankNames[] = { "Program Bank U1", "Program Bank U2", "Program Bank U3", "Program Bank U4",
                                       "Program Bank F1", "Program Bank F2", "Program Bank F3", "Program Bank F4" };

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
      settingsFolder (folder),
      devices (std::move (deviceLayer))
{
    jassert (devices != nullptr);
    ports = std::make_unique<MIDI_PORTS_Control> (*devices, *this);
    transfer = std::make_unique<BankTransfer> (*this);
    ports->getSender().setMarkerHandler ([this] (uint32_t series, int32_t code) {
        EngineEventHub::markSenderThread();
        transfer->noteTransmitted (series, code);
    });
    ports->getSender().setOverflowHandler ([this] (int numDropped) {
        postEvent (event::overflowCode (numDropped));
    });

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

    portNames = files->loadPorts();
    openSavedPorts();
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

    ports.reset();
    transfer.reset();
}

void MidiCntrState::buildBanks()
{
    for (size_t i = 0; i < synthBanks.size(); ++i)
    {
        synthBanks[i] = std::make_unique<Bank_Program> (synthBankNames[i]);
        // Whole from the start, whatever the images below hold.
        synthBanks[i]->initialise();
    }

    // U1..U4 come from the saved bank data where it holds them whole, from factory banks 0..3
    // otherwise; F1..F4 are always factory banks 0..3.
    files->loadBanks ({ synthBanks[0].get(), synthBanks[1].get(), synthBanks[2].get(), synthBanks[3].get() });
    for (int n = 0; n < synthbanks::numSynthBanks - synthbanks::numUserBanks; ++n)
        synthBanks[(size_t) (synthbanks::numUserBanks + n)]->loadFactoryBank (n);

    // F1..F4 as the user made them match the synth, or edited them.
    bool fromSynth = false;
    if (files->loadFactoryBanks (factoryBanks(), fromSynth))
        factoryBanksMatchSynth = fromSynth;
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
        reloaded = files->saveBanks ({ synthBanks[0].get(), synthBanks[1].get(), synthBanks[2].get(), synthBanks[3].get() });
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
        reloaded = files->saveFactoryBanks (factoryBanks(), fromSynth);
        factoryBanksMatchSynth = fromSynth;
    }
    if (reloaded)
        postEvent (event::bankContentsChanged);
    hub->announceNotices();
}

std::array<Bank_Program*, 4> MidiCntrState::factoryBanks() const
{
    return { synthBanks[4].get(), synthBanks[5].get(), synthBanks[6].get(), synthBanks[7].get() };
}

juce::StringArray MidiCntrState::getPortNames() const
{
    const std::lock_guard<std::mutex> sl (settingsLock);
    return portNames;
}

void MidiCntrState::savePorts()
{
    {
        const std::lock_guard<std::mutex> fl (fileLock);
        files->savePorts (getPortNames());
    }
    hub->announceNotices();
}

void MidiCntrState::loadPorts()
{
    juce::StringArray names;
    {
        const std::lock_guard<std::mutex> fl (fileLock);
        names = files->loadPorts();
    }
    hub->announceNotices();
    const std::lock_guard<std::mutex> sl (settingsLock);
    portNames = names;
}

//==============================================================================
void MidiCntrState::initialiseSynthBank (int bank)
{
    if (auto* target = getSynthBank (bank))
    {
        const auto& record = initialProgram();
        for (int n = 0; n < program::programsPerBank; ++n)
            target->setProgram (n, record);
        synthBankChanged (bank);
    }
}

void MidiCntrState::loadFactoryBankInto (int bank, int factoryBank)
{
    if (auto* target = getSynthBank (bank))
    {
        target->loadFactoryBank (factoryBank);
        synthBankChanged (bank);
    }
}

void MidiCntrState::loadSynthBankFromDumps (int bank, const juce::MemoryBlock& dumps)
{
    if (auto* target = getSynthBank (bank))
    {
        target->loadFromDumps (dumps);
        synthBankChanged (bank);
    }
}

void MidiCntrState::synthBankChanged (int bank)
{
    postEvent (event::bankContentsChanged);
    if (bank < synthbanks::numUserBanks)
        saveBankData();
    else
        saveFactoryBankData(); // F1..F4 are otherwise rebuilt from the built-in set at the next start
}

void MidiCntrState::factoryBanksReplaced (bool fromSynth)
{
    factoryBanksMatchSynth = fromSynth;
    saveFactoryBankData();
    postEvent (event::bankContentsChanged);
}

void MidiCntrState::setProgramCategory (int bank, int program, int categoryNumber)
{
    auto* target = getSynthBank (bank);
    if (target == nullptr || program < 0 || program >= program::programsPerBank || categoryNumber < 0
        || categoryNumber >= category::count)
        return;
    auto record = target->getProgramRecord (program);
    record[(size_t) program::categoryIndex] = (uint8_t) categoryNumber;
    target->setProgram (program, record);
    synthBankChanged (bank);
}

void MidiCntrState::writeProgram (int bank, int program, const ProgramRecord& record)
{
    auto* plugin = getPluginBank();
    if (plugin == nullptr || bank < 0 || bank >= synthbanks::numUserBanks || program < 0 || program >= program::programsPerBank)
        return;

    sendSysEx (makeProgramDump (bank, program, record));
    synthBanks[(size_t) bank]->setProgram (program, record);
    synthBankChanged (bank);

    // The sound stays as it is; what it is called, its category and where it lives follow the write.
    auto editBuffer = plugin->getEditBufferRecord();
    copyNameAndCategory (record, editBuffer);
    plugin->setEditBuffer (editBuffer);
    currentSynthBank = bank;
    currentSynthProgram = program;
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
    juce::MemoryOutputStream out;
    out.writeByte ((char) sysex::start);
    out.writeByte ((char) sysex::manufacturerDsi);
    out.writeByte ((char) sysex::deviceMophoX4);
    out.writeByte ((char) kind);
    if (kind == requestProgram)
    {
        out.writeByte ((char) (bank & 0x7f));
        out.writeByte ((char) (program & 0x7f));
    }
    else if (kind != requestEditBuffer && kind != requestGlobals)
    {
        return;
    }
    out.writeByte ((char) sysex::end);
    sendSysEx (out.getMemoryBlock());
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

    currentSynthBank = bank;
    currentSynthProgram = program;
    synthLocationKnown = true;
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
        auto* target = getSynthBank (bank);
        if (target == nullptr || program < 0 || program >= program::programsPerBank)
            return;
        target->setProgram (program, record);
        synthBankChanged (bank);
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

void MidiCntrState::bankContentsChanged()
{
    postEvent (event::bankContentsChanged);
    saveBankData();
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
    synthBanks[(size_t) bank]->setProgram (program, record);
    synthBankChanged (bank);
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
void MidiCntrState::openSavedPorts()
{
    juce::StringArray names;
    {
        const std::lock_guard<std::mutex> sl (settingsLock);
        while (portNames.size() < 3)
            portNames.add ("NONE");
        names = portNames;
    }

    // Each side opens the first device whose name matches exactly, or nothing.
    auto rowOf = [] (const juce::String& name, const juce::StringArray& devicesNow) {
        return name.length() >= minPortNameLength ? devicesNow.indexOf (name) + 1 : 0;
    };
    const auto inputRow = rowOf (names[0], devices->getInputNames());
    const auto outputRow = rowOf (names[1], devices->getOutputNames());
    ports->openInput (inputRow);
    ports->openOutput (outputRow);

    // A port saved last time that is not there now is told by name: the link cannot come on-line.
    if (inputRow == 0 && names[0].length() >= minPortNameLength && names[0] != "NONE")
        postNotice ("The MIDI input \"" + names[0] + "\" chosen last time is not present now.");
    if (outputRow == 0 && names[1].length() >= minPortNameLength && names[1] != "NONE")
        postNotice ("The MIDI output \"" + names[1] + "\" chosen last time is not present now.");
    takeDeviceNotices();
}

void MidiCntrState::takeDeviceNotices()
{
    for (const auto& text : devices->takeNotices())
        postNotice (text);
}

juce::String MidiCntrState::getOfflineReason() const
{
    const auto names = getPortNames();
    const auto describe = [] (const char* side, const juce::String& name) {
        return name.length() < minPortNameLength || name == "NONE"
                   ? juce::String ("no MIDI ") + side + " chosen"
                   : juce::String ("MIDI ") + side + " \"" + name + "\" not present";
    };
    if (! ports->isOutputOpen())
        return describe ("output", names[1]);
    if (! ports->isInputOpen())
        return describe ("input", names[0]);
    return "no answer from the synth";
}

void MidiCntrState::selectInputRow (int row)
{
    const auto names = devices->getInputNames();
    if (row < 0 || row > names.size())
        return;
    {
        const std::lock_guard<std::mutex> sl (settingsLock);
        portNames.set (0, row == 0 ? juce::String ("NONE") : names[row - 1]);
    }
    ports->openInput (row);
    savePorts();
    takeDeviceNotices();
}

void MidiCntrState::selectOutputRow (int row)
{
    const auto names = devices->getOutputNames();
    if (row < 0 || row > names.size())
        return;
    {
        const std::lock_guard<std::mutex> sl (settingsLock);
        portNames.set (1, row == 0 ? juce::String ("NONE") : names[row - 1]);
    }
    ports->openOutput (row);
    savePorts();
    takeDeviceNotices();
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

Bank_Program* MidiCntrState::getSynthBank (int bank) const noexcept
{
    return bank >= 0 && bank < synthbanks::numSynthBanks ? synthBanks[(size_t) bank].get() : nullptr;
}

uint8_t MidiCntrState::getGlobal (int index) const noexcept
{
    return index >= 0 && index < globals::blockSize ? globals[(size_t) index].load (std::memory_order_relaxed) : 0;
}

void MidiCntrState::setGlobal (int index, uint8_t value) noexcept
{
    if (index >= 0 && index < globals::blockSize)
        globals[(size_t) index].store (value, std::memory_order_relaxed);
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

    const auto* data = message.getRawData();
    const auto size = message.getRawDataSize();
    if (data == nullptr || size < 1)
        return;

    const auto status = data[0];
    const auto channel = (status & 0x0f) + 1;
    const auto dataByte = [&] (int i) { return i < size ? (int) (data[i] & 0x7f) : 0; };

    if (status < 0xf0)
    {
        switch (status & 0xf0)
        {
            case 0x80:
            case 0x90:
                return;
            case 0xe0:
                postEvent (event::echoCode (event::pitchWheelEcho, channel, dataByte (2), dataByte (1)));
                return;
            case 0xc0:
                currentSynthProgram = dataByte (1);
                selectProgram (currentSynthBank.load(), dataByte (1), false);
                return;
            case 0xb0:
                handleController (channel, dataByte (1), dataByte (2));
                return;
            default:
                break;
        }
    }

    // SysEx, whole or in pieces. Only its bytes count as the synth answering a request.
    switch (sysExAssembly.add (data, size))
    {
        case SysExAssembler::Outcome::collecting:
            transfer->noteSysExArriving();
            return;
        case SysExAssembler::Outcome::complete:
            transfer->noteSysExArriving();
            handleSysEx (sysExAssembly.takeMessage());
            return;
        case SysExAssembler::Outcome::tooLong:
            postEvent (event::sysExTooLong);
            return;
        case SysExAssembler::Outcome::ignored:
            return;
    }
}

void MidiCntrState::handlePartialSysexMessage (juce::MidiInput*, const juce::uint8*, int, double)
{
    // The whole message follows through handleIncomingMidiMessage; this only says it is on its way.
    transfer->noteSysExArriving();
}

void MidiCntrState::handleController (int channel, int controller, int value)
{
    switch (controller)
    {
        case midicc::modWheel:
            postEvent (event::echoCode (event::controllerEcho, channel, midicc::modWheel, value));
            break;
        case midicc::dataMsb:
            nrpnDataMsb = (uint8_t) value;
            break;
        case midicc::bankSelect:
            if (value != currentSynthBank.load() && value < synthbanks::numSynthBanks)
            {
                currentSynthBank = value;
                selectProgram (value, currentSynthProgram.load(), false);
            }
            break;
        case midicc::dataLsb:
            nrpnDataLsb = (uint8_t) value;
            completeNrpn();
            break;
        case midicc::nrpnLsb:
            nrpnNumberLsb = (uint8_t) value;
            break;
        case midicc::nrpnMsb:
            nrpnNumberMsb = (uint8_t) value;
            break;
        default:
            break;
    }
}

void MidiCntrState::completeNrpn()
{
    const auto number = nrpnNumberMsb * 128 + nrpnNumberLsb;
    const auto value = nrpnDataMsb * 128 + nrpnDataLsb;

    if (number >= globals::firstNrpn)
    {
        const auto index = globalIndexForNrpn (number);
        if (index >= 0 && index < globals::blockSize)
        {
            setGlobal (index, (uint8_t) value);
            postEvent (event::globalCode (index));
        }
        return;
    }

    if (value > maxParameterValue)
        return;

    const auto index = number >= firstHighParameterNrpn
                           ? table.nrpnToIndex (number - firstHighParameterNrpn) + firstHighParameterNrpn
                           : table.nrpnToIndex (number);
    queueParameterValue (index, value);
}

void MidiCntrState::handleSysEx (const juce::MemoryBlock& message)
{
    const auto* b = static_cast<const uint8_t*> (message.getData());
    const auto size = (int) message.getSize();
    const auto byteAt = [&] (int i) { return i < size ? b[i] : (uint8_t) 0; };

    if (byteAt (3) == identityReply && byteAt (1) == universalNonRealtime)
        return;
    if (byteAt (2) != sysex::deviceMophoX4)
        return;

    switch (byteAt (3))
    {
        case sysex::programDump:
        {
            const auto bank = byteAt (sysex::programDumpBankOffset);
            const auto programNumber = byteAt (sysex::programDumpProgramOffset);
            // A dump for a bank we do not have, or of the wrong length, is not ours to store.
            if (size != sysex::programDumpSize || bank >= synthbanks::numSynthBanks || programNumber >= program::programsPerBank)
                return;

            const auto record = unpackProgramData (b + sysex::programDataOffset);
            if (transfer->takeProgramDump (bank, programNumber, record))
                return;

            // Sent by the synth on its own: it is now the current program there.
            currentSynthBank = bank;
            currentSynthProgram = programNumber;
            synthBanks[bank]->setProgram (programNumber, record);
            postEvent (event::bankProgramCode (event::programDumpArrived, bank, programNumber));
            bankContentsChanged();
            if (auto* plugin = getPluginBank())
                plugin->setEditBuffer (record);
            postEvent (event::editBufferReplaced);
            return;
        }

        case sysex::editBufferDump:
        {
            auto* plugin = getPluginBank();
            if (size != sysex::editBufferDumpSize || plugin == nullptr)
                return;
            plugin->setEditBuffer (unpackProgramData (b + sysex::editBufferDataOffset));
            postEvent (event::editBufferReplaced);
            return;
        }

        case sysex::globalDump:
            handleGlobalDump (b, size);
            return;

        default:
            return;
    }
}

void MidiCntrState::handleGlobalDump (const uint8_t* data, int size)
{
    constexpr int firstPair = 4;
    // A pair counts only when both its bytes come before the final F7.
    for (int k = 0; k < globals::blockSize && firstPair + 2 * k + 1 < size - 1; ++k)
    {
        const auto low = data[firstPair + 2 * k];
        const auto high = data[firstPair + 2 * k + 1];
        setGlobal (k, (uint8_t) (low + 16 * high));
    }

    globalDumpArrived = true;

    if (scanRunning.load())
    {
        setSetting (settings::scanInputPort, juce::String (scanInputPort.load()));
        setSetting (settings::scanOutputPort, juce::String (scanOutputPort.load()));
    }

    postEvent (event::online);
}

} // namespace kelvo
