#include "link/MidiCntrState.h"
#include "link/EngineFiles.h"
#include "link/EngineSettings.h"
#include "link/MIDI_PORTS_Control.h"
#include "link/MidiDevices.h"

namespace kelvo
{
namespace
{
// Enough for any burst the editor could fall behind on; past it the editor reloads everything.
constexpr size_t eventQueueCapacity = 8192;

// How often events posted on host threads reach the listeners.
constexpr int deferredNotifyIntervalMs = 15;

constexpr uint8_t sysExStart = 0xf0, sysExEnd = 0xf7;
constexpr uint8_t manufacturerDsi = 0x01, deviceMophoX4 = 0x29;
constexpr int requestProgram = 5, requestEditBuffer = 6, requestGlobals = 14;

constexpr int ccBankSelect = 32;

const char* const synthBankNames[] = { "Program Bank U1", "Program Bank U2", "Program Bank U3", "Program Bank U4",
                                       "Program Bank F1", "Program Bank F2", "Program Bank F3", "Program Bank F4" };

// Set on the thread that delivers incoming MIDI, which may call listeners directly.
thread_local bool onLinkInputThread = false;

bool isValidChannel (int channel) noexcept { return channel >= 1 && channel <= 16; }
} // namespace

//==============================================================================
// Brings events posted on host threads to the listeners, on the message thread.
class MidiCntrState::Notifier final : private juce::Timer
{
public:
    explicit Notifier (MidiCntrState& e) : engine (e) {}
    ~Notifier() override { stopTimer(); }

    void setActive (bool shouldRun)
    {
        if (shouldRun)
            startTimer (deferredNotifyIntervalMs);
        else
            stopTimer();
    }

private:
    void timerCallback() override
    {
        if (engine.listenersPending.exchange (false))
            engine.notifyListeners();
        if (engine.stateListenersPending.exchange (false))
            engine.notifyStateListeners();
    }

    MidiCntrState& engine;
};

//==============================================================================
MidiCntrState::MidiCntrState (std::unique_ptr<MidiDeviceLayer> deviceLayer, const juce::File& folder)
    : settingsFolder (folder),
      devices (std::move (deviceLayer)),
      events (eventQueueCapacity),
      notifier (std::make_unique<Notifier> (*this))
{
    jassert (devices != nullptr);
    ports = std::make_unique<MIDI_PORTS_Control> (*devices, *this);

    auto loaded = loadSettingsFile (settingsFolder);
    settings = std::move (loaded.entries);
    settingsWereReset = loaded.wereReset;
    while (settings.size() < settings::numEntries)
        settings.add ("0");

    if (const auto channel = channelFromSetting (settings[settings::midiChannel]); channel != 0)
        midiChannel = channel;
    else
        settings.set (settings::midiChannel, "1");

    buildBanks();

    portNames = loadPortsFile (settingsFolder);
}

MidiCntrState::~MidiCntrState()
{
    saveSettings();
    saveBankData();

    notifier.reset();
    // Give what is still queued a moment to reach the synth, then close both ports.
    ports->getSender().waitUntilSent (200);
    ports.reset();
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
    const auto image = loadBankDataFile (settingsFolder);
    loadUserBanks ({ synthBanks[0].get(), synthBanks[1].get(), synthBanks[2].get(), synthBanks[3].get() },
                   image.getData(), image.getSize());
    for (int n = 0; n < numSynthBanks - numUserBanks; ++n)
        synthBanks[(size_t) (numUserBanks + n)]->loadFactoryBank (n);
}

//==============================================================================
// Each save takes what it writes under the file lock, so that of two saves racing, the later
// contents are the ones left on disk. The file lock is taken before the settings lock, never after.
void MidiCntrState::saveSettings()
{
    const std::lock_guard<std::mutex> fl (fileLock);
    saveSettingsFile (settingsFolder, getSettings());
}

void MidiCntrState::saveBankData()
{
    const std::lock_guard<std::mutex> fl (fileLock);
    saveBankDataFile (settingsFolder, makeBankDataImage ({ synthBanks[0].get(), synthBanks[1].get(),
                                                           synthBanks[2].get(), synthBanks[3].get() }));
}

juce::StringArray MidiCntrState::getPortNames() const
{
    const std::lock_guard<std::mutex> sl (settingsLock);
    return portNames;
}

void MidiCntrState::savePorts()
{
    const std::lock_guard<std::mutex> fl (fileLock);
    savePortsFile (settingsFolder, getPortNames());
}

void MidiCntrState::loadPorts()
{
    juce::StringArray names;
    {
        const std::lock_guard<std::mutex> fl (fileLock);
        names = loadPortsFile (settingsFolder);
    }
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
    if (bank < numUserBanks)
        saveBankData();
}

//==============================================================================
bool MidiCntrState::canCallListenersNow() const noexcept
{
    return onLinkInputThread || juce::MessageManager::existsAndIsCurrentThread();
}

void MidiCntrState::postEvent (int32_t code) noexcept
{
    // Nobody to show it: an editor that opens later reloads everything anyway.
    if (numListeners.load (std::memory_order_acquire) == 0)
        return;

    if (! events.push (code))
        eventsOverflowed = true;

    if (canCallListenersNow())
        notifyListeners();
    else
        listenersPending = true;
}

void MidiCntrState::postStateEvent (int32_t code) noexcept
{
    if (numListeners.load (std::memory_order_acquire) == 0)
        return;

    if (! events.push (code))
        eventsOverflowed = true;

    if (canCallListenersNow())
        notifyStateListeners();
    else
        stateListenersPending = true;
}

void MidiCntrState::takeEvents (std::vector<int32_t>& dest)
{
    if (eventsOverflowed.exchange (false))
    {
        // Some events were lost: have the editor reload everything instead.
        dest.push_back (event::editBufferReplaced);
        dest.push_back (event::bankContentsChanged);
    }

    int32_t code;
    while (events.pop (code))
        dest.push_back (code);
}

void MidiCntrState::notifyListeners()
{
    juce::Array<MidiCntrStateListener*> copy;
    {
        const std::lock_guard<std::mutex> sl (listenerLock);
        copy = listeners;
    }
    for (int i = copy.size(); --i >= 0;)
        copy.getUnchecked (i)->midiCntrStateChanged (*this);
}

void MidiCntrState::notifyStateListeners()
{
    juce::Array<stateListener*> copy;
    {
        const std::lock_guard<std::mutex> sl (listenerLock);
        copy = stateListeners;
    }
    for (int i = copy.size(); --i >= 0;)
        copy.getUnchecked (i)->stateChanged (*this);
}

void MidiCntrState::addListener (MidiCntrStateListener* l)
{
    JUCE_ASSERT_MESSAGE_THREAD
    {
        const std::lock_guard<std::mutex> sl (listenerLock);
        listeners.addIfNotAlreadyThere (l);
        numListeners = listeners.size() + stateListeners.size();
    }
    notifier->setActive (true);
}

void MidiCntrState::removeListener (MidiCntrStateListener* l)
{
    JUCE_ASSERT_MESSAGE_THREAD
    bool anyLeft;
    {
        const std::lock_guard<std::mutex> sl (listenerLock);
        listeners.removeAllInstancesOf (l);
        numListeners = listeners.size() + stateListeners.size();
        anyLeft = numListeners > 0;
    }
    notifier->setActive (anyLeft);
}

void MidiCntrState::addStateListener (stateListener* l)
{
    JUCE_ASSERT_MESSAGE_THREAD
    {
        const std::lock_guard<std::mutex> sl (listenerLock);
        stateListeners.addIfNotAlreadyThere (l);
        numListeners = listeners.size() + stateListeners.size();
    }
    notifier->setActive (true);
}

void MidiCntrState::removeStateListener (stateListener* l)
{
    JUCE_ASSERT_MESSAGE_THREAD
    bool anyLeft;
    {
        const std::lock_guard<std::mutex> sl (listenerLock);
        stateListeners.removeAllInstancesOf (l);
        numListeners = listeners.size() + stateListeners.size();
        anyLeft = numListeners > 0;
    }
    notifier->setActive (anyLeft);
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
    ports->getSender().sendParameterNrpn (getMidiChannel(), nrpn, value);
}

void MidiCntrState::sendGlobalNrpn (int nrpn, int value) noexcept
{
    ports->getSender().sendGlobalNrpn (getMidiChannel(), nrpn, value);
}

void MidiCntrState::sendController (int channel, int controller, int value) noexcept
{
    if (isValidChannel (channel))
        ports->getSender().sendShort (juce::MidiMessage::controllerEvent (channel, controller & 0x7f, value & 0x7f));
}

void MidiCntrState::sendNoteOn (int channel, int note, int velocity) noexcept
{
    if (isValidChannel (channel) && note >= 0 && note < 128)
        ports->getSender().sendShort (
            juce::MidiMessage::noteOn (channel, note, (juce::uint8) juce::jlimit (0, 127, velocity)));
}

void MidiCntrState::sendNoteOff (int channel, int note) noexcept
{
    if (isValidChannel (channel) && note >= 0 && note < 128)
        ports->getSender().sendShort (juce::MidiMessage::noteOff (channel, note, (juce::uint8) 0));
}

void MidiCntrState::sendPitchWheel (int channel, int value) noexcept
{
    if (isValidChannel (channel))
        ports->getSender().sendShort (juce::MidiMessage::pitchWheel (channel, juce::jlimit (0, 16383, value)));
}

void MidiCntrState::sendProgramChange (int channel, int program) noexcept
{
    if (isValidChannel (channel) && program >= 0 && program < 128)
        ports->getSender().sendShort (juce::MidiMessage::programChange (channel, program));
}

void MidiCntrState::sendSysEx (const juce::MemoryBlock& message)
{
    ports->getSender().sendSysEx (message);
}

void MidiCntrState::requestDump (int kind, int bank, int program)
{
    juce::MemoryOutputStream out;
    out.writeByte ((char) sysExStart);
    out.writeByte ((char) manufacturerDsi);
    out.writeByte ((char) deviceMophoX4);
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
    out.writeByte ((char) sysExEnd);
    sendSysEx (out.getMemoryBlock());
}

void MidiCntrState::checkConnection()
{
    postEvent (event::offline);
    requestDump (requestGlobals, 0, 0);
}

//==============================================================================
void MidiCntrState::selectProgram (int bank, int program, bool sendToSynth)
{
    auto* source = getSynthBank (bank);
    if (source == nullptr || pluginBank == nullptr)
        return;

    currentSynthBank = bank;
    currentSynthProgram = program;
    pluginBank->setEditBuffer (source->getProgramRecord (program));
    postEvent (event::editBufferReplaced);

    if (sendToSynth)
    {
        sendController (getMidiChannel(), ccBankSelect, bank);
        sendProgramChange (getMidiChannel(), program);
    }
}

void MidiCntrState::loadCurrentPluginProgram()
{
    if (pluginBank == nullptr)
        return;
    pluginBank->setEditBuffer (pluginBank->getProgramRecord (getCurrentPluginProgram()));
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
        postEvent (event::bankContentsChanged);
    }
    else
    {
        if (pluginBank == nullptr)
            return;
        pluginBank->setEditBuffer (record);
    }
    postEvent (event::editBufferReplaced);
}

//==============================================================================
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
    return bank >= 0 && bank < numSynthBanks ? synthBanks[(size_t) bank].get() : nullptr;
}

uint8_t MidiCntrState::getGlobal (int index) const noexcept
{
    return index >= 0 && index < numGlobals ? globals[(size_t) index].load (std::memory_order_relaxed) : 0;
}

void MidiCntrState::setGlobal (int index, uint8_t value) noexcept
{
    if (index >= 0 && index < numGlobals)
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
    const std::lock_guard<std::mutex> sl (settingsLock);
    if (index >= 0 && index < settings.size())
        settings.set (index, value);
}

//==============================================================================
void MidiCntrState::handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage&)
{
    onLinkInputThread = true;
}

} // namespace kelvo
