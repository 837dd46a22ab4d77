#include "instrument/MophoSimulator.h"
#include "instrument/SimulatorReceiveFilter.h"
#include "link/VirtualMidiDevices.h"
#include "model/BankImage.h"
#include "model/GlobalSettings.h"
#include "model/MidiNumbers.h"
#include "model/ProgramPacking.h"
#include "model/SynthBanks.h"

namespace kelvo
{
namespace
{
constexpr int channelOfFrontPanel = 1;
// With the wire modelled, long SysEx arrives in pieces of this size, as a USB-MIDI interface passes
// it on, so that the receiver sees the bytes coming.
constexpr int wirePieceSize = 32;

// The global settings the editor needs: all channels, NRPN send, receive all, controllers and
// SysEx on, local control on; coarse and fine at their centres.
void setUsableGlobals (std::array<uint8_t, MophoSimulator::numGlobalBytes>& g)
{
    g.fill (0);
    g[0] = 12;  // COARSE 0
    g[1] = 50;  // FINE 0
    g[6] = 1;   // MIDI CONTROLLER ENA
    g[7] = 1;   // MIDI SYSEX ENABLE
    g[10] = 1;  // LOCAL CONTROL
}

constexpr const char* memoryHeader = "KelvoMophoSim1";
constexpr size_t memoryHeaderSize = 14;

} // namespace

MophoSimulator::MophoSimulator()
{
    // Like the synth out of its box: the user banks hold the factory programs.
    const auto* image = factoryImageData();
    for (int b = 0; b < synthbanks::numUserBanks; ++b)
        for (int p = 0; p < program::programsPerBank; ++p)
            banks[(size_t) b][(size_t) p] = toRecord (image + bankimage::blockOffset (bankimage::factoryHeaderSize, b)
                                                          + (size_t) (p * program::recordSize),
                                                      (size_t) program::recordSize);
    factoryBanks = banks;
    editBuffer = banks[0][0];
    setUsableGlobals (globals);
    outputThread = std::thread ([this] { runOutput(); });
}

MophoSimulator::~MophoSimulator()
{
    {
        const std::lock_guard<std::mutex> sl (outputLock);
        stopping = true;
    }
    outputChanged.notify_all();
    outputThread.join();
}

void MophoSimulator::setOutput (Output newOutput)
{
    const std::lock_guard<std::mutex> sl (outputLock);
    output = std::move (newOutput);
}

void MophoSimulator::attachTo (VirtualMidiDevices& devices, const juce::String& name)
{
    devices.addOutput (name, [this] (const juce::MidiMessage& m) { receive (m); });
    const auto input = devices.addInput (name);
    setOutput ([&devices, input] (const juce::MidiMessage& m) { devices.deliver (input, m); });
}

//==============================================================================
void MophoSimulator::receive (const juce::MidiMessage& message)
{
    const auto* data = message.getRawData();
    const auto size = message.getRawDataSize();
    if (data == nullptr || size < 1)
        return;
    handleMessage (data, size);
}

void MophoSimulator::handleMessage (const uint8_t* data, int size)
{
    std::unique_lock<std::mutex> sl (stateLock);

    const auto now = Clock::now();
    if (modelWire)
        inWireFreeAt = juce::jmax (now, inWireFreeAt) + std::chrono::microseconds (size * midiwire::microsecondsPerByte);

    const auto status = data[0];
    const auto byteAt = [&] (int i) { return i < size ? (int) (data[i] & 0x7f) : 0; };

    const auto filter = SimulatorReceiveFilter::fromGlobals (globals.data());

    if (status >= 0x80 && status < 0xf0)
    {
        if (! filter.hearsChannel ((status & 0x0f) + 1))
            return;

        switch (status & 0xf0)
        {
            case 0xb0:
                handleController (byteAt (1), byteAt (2), filter);
                return;
            case 0xc0:
                currentBank = pendingBank;
                currentProgram = byteAt (1);
                editBuffer = programAt (currentBank, currentProgram);
                return;
            case 0x90:
                handleNote (byteAt (1), byteAt (2) > 0);
                return;
            case 0x80:
                handleNote (byteAt (1), false);
                return;
            case 0xe0:
                if (filter.takesControllers())
                    noteCounts.pitchWheel = byteAt (2) * 128 + byteAt (1);
                return;
            default:
                return; // aftertouch: the synth plays it
        }
    }

    if (sysExAssembly.add (data, size) == SysExAssembler::Outcome::complete)
    {
        const auto complete = sysExAssembly.takeMessage();
        sl.unlock();
        if (filter.takesSysEx())
            handleSysEx (complete);
    }
}

void MophoSimulator::handleNote (int note, bool on)
{
    auto& sounding = soundingNotes[(size_t) note];
    if (on)
    {
        ++noteCounts.noteOns;
        if (! sounding)
            ++noteCounts.sounding;
        sounding = true;
        noteCounts.mostAtOnce = std::max (noteCounts.mostAtOnce, noteCounts.sounding);
    }
    else
    {
        ++noteCounts.noteOffs;
        if (sounding)
            --noteCounts.sounding;
        sounding = false;
    }
}

MophoSimulator::NoteCounts MophoSimulator::getNoteCounts() const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return noteCounts;
}

bool MophoSimulator::isNoteSounding (int note) const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return juce::isPositiveAndBelow (note, 128) && soundingNotes[(size_t) note];
}

void MophoSimulator::resetNoteCounts()
{
    const std::lock_guard<std::mutex> sl (stateLock);
    soundingNotes.fill (false);
    noteCounts = {};
}

void MophoSimulator::handleController (int controller, int value, const SimulatorReceiveFilter& filter)
{
    const auto isNrpnController = controller == midicc::nrpnMsb || controller == midicc::nrpnLsb || controller == midicc::dataMsb
                                  || controller == midicc::dataLsb;
    if (isNrpnController ? ! filter.takesNrpn() : (controller != midicc::bankSelect && ! filter.takesControllers()))
        return;

    switch (controller)
    {
        case midicc::nrpnMsb: nrpnNumberMsb = (uint8_t) value; break;
        case midicc::nrpnLsb: nrpnNumberLsb = (uint8_t) value; break;
        case midicc::dataMsb: nrpnDataMsb = (uint8_t) value; break;
        case midicc::bankSelect:
            if (value < synthbanks::numSynthBanks)
                pendingBank = value;
            break;
        case midicc::dataLsb:
        {
            const auto number = nrpnNumberMsb * 128 + nrpnNumberLsb;
            const auto v = nrpnDataMsb * 128 + value;
            if (number >= globals::firstNrpn)
            {
                const auto index = globalIndexForNrpn (number);
                if (index >= 0)
                    globals[(size_t) index] = (uint8_t) v;
            }
            else if (number < program::numTableRows)
            {
                const auto index = table.nrpnToIndex (number);
                if (index < program::recordSize)
                    editBuffer[(size_t) index] = (uint8_t) v;
            }
            break;
        }
        default:
            break;
    }
}

void MophoSimulator::handleSysEx (const juce::MemoryBlock& message)
{
    const auto* b = static_cast<const uint8_t*> (message.getData());
    const auto size = (int) message.getSize();
    if (size < 5 || b[1] != sysex::manufacturerDsi || b[2] != sysex::deviceMophoX4)
        return;

    switch (b[3])
    {
        case sysex::requestProgram:
        {
            ++numRequests;
            ++numProgramRequests;
            if (size < 7 || b[4] >= synthbanks::numSynthBanks)
                return;
            reply (makeProgramDump (b[4], b[5], getProgram (b[4], b[5])));
            return;
        }
        case sysex::requestEditBuffer:
            ++numRequests;
            reply (makeEditBufferDump (getEditBuffer()));
            return;
        case sysex::requestGlobals:
            ++numRequests;
            reply (makeGlobalDump());
            return;
        case sysex::programDump:
            if (size == sysex::programDumpSize && b[4] < synthbanks::numUserBanks)
                setProgram (b[4], b[5], unpackProgramData (b + sysex::programDataOffset));
            return;
        case sysex::editBufferDump:
            if (size == sysex::editBufferDumpSize)
                setEditBuffer (unpackProgramData (b + sysex::editBufferDataOffset));
            return;
        default:
            return;
    }
}

juce::MemoryBlock MophoSimulator::makeGlobalDump() const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    juce::MemoryBlock dump;
    const uint8_t head[] = { sysex::start, sysex::manufacturerDsi, sysex::deviceMophoX4, sysex::globalDump };
    dump.append (head, sizeof (head));
    for (auto g : globals)
    {
        const uint8_t pair[] = { (uint8_t) (g & 0x0f), (uint8_t) (g >> 4) };
        dump.append (pair, 2);
    }
    dump.append (&sysex::end, 1);
    return dump;
}

void MophoSimulator::reply (juce::MemoryBlock bytes)
{
    Clock::time_point readyAt;
    {
        const std::lock_guard<std::mutex> sl (stateLock);
        if (silent)
            return;
        if (dropReplies > 0)
        {
            --dropReplies;
            ++numDroppedReplies;
            return;
        }
        if (wrongLengthReplies > 0)
        {
            --wrongLengthReplies;
            bytes.removeSection (bytes.getSize() - 2, 1); // one byte short, still ending in F7
        }
        readyAt = juce::jmax (Clock::now(), inWireFreeAt) + std::chrono::milliseconds (replyDelayMs);
        if (modelWire)
            readyAt += std::chrono::milliseconds (answerLatencyMs);
    }
    send (std::move (bytes), readyAt);
}

//==============================================================================
void MophoSimulator::send (juce::MemoryBlock bytes, Clock::time_point readyAt)
{
    {
        const std::lock_guard<std::mutex> sl (outputLock);
        outgoing.push_back ({ std::move (bytes), readyAt });
    }
    outputChanged.notify_all();
}

void MophoSimulator::runOutput()
{
    std::unique_lock<std::mutex> sl (outputLock);
    for (;;)
    {
        if (stopping)
            return;

        if (outgoing.empty())
        {
            if (clockIntervalMs > 0)
            {
                if (! outputChanged.wait_until (sl, nextClockAt, [this] { return stopping || ! outgoing.empty(); }))
                {
                    sl.unlock();
                    sendClockUntil (Clock::now());
                    sl.lock();
                }
            }
            else
            {
                outputChanged.wait (sl, [this] { return stopping || ! outgoing.empty() || clockIntervalMs > 0; });
            }
            continue;
        }

        auto next = std::move (outgoing.front());
        outgoing.pop_front();
        delivering = true;

        bool wire;
        {
            const std::lock_guard<std::mutex> stateSl (stateLock);
            wire = modelWire;
        }

        const auto* data = static_cast<const uint8_t*> (next.bytes.getData());
        const auto size = (int) next.bytes.getSize();
        auto start = next.readyAt;
        if (wire)
            start = juce::jmax (start, outWireFreeAt);

        sl.unlock();
        if (! wire)
        {
            sendClockUntil (start);
            deliver (data, size);
        }
        else
        {
            // Each piece is handed over when its last byte would have arrived; clock bytes that
            // fall due meanwhile go out between the pieces, as a synth puts them inside its SysEx.
            for (int pos = 0; pos < size;)
            {
                auto pieceEnd = juce::jmin (size, pos + (data[0] == sysex::start ? wirePieceSize : size));
                if (size - pieceEnd < 4)
                    pieceEnd = size; // keep the last piece from being a lone byte or two
                sendClockUntil (start + std::chrono::microseconds (pieceEnd * midiwire::microsecondsPerByte));
                deliver (data + pos, pieceEnd - pos);
                pos = pieceEnd;
            }
        }
        sl.lock();

        if (wire)
            outWireFreeAt = start + std::chrono::microseconds (size * midiwire::microsecondsPerByte);
        delivering = false;
        outputChanged.notify_all();
    }
}

void MophoSimulator::sendClockUntil (Clock::time_point until)
{
    static constexpr uint8_t timingClock = 0xf8;
    for (;;)
    {
        Clock::time_point tick;
        {
            const std::lock_guard<std::mutex> sl (outputLock);
            if (clockIntervalMs <= 0 || nextClockAt > until)
                break;
            tick = nextClockAt;
            nextClockAt += std::chrono::milliseconds (clockIntervalMs);
        }
        std::this_thread::sleep_until (tick);
        deliver (&timingClock, 1);
    }
    std::this_thread::sleep_until (until);
}

void MophoSimulator::setClockInterval (int milliseconds)
{
    {
        const std::lock_guard<std::mutex> sl (outputLock);
        clockIntervalMs = juce::jmax (0, milliseconds);
        nextClockAt = Clock::now() + std::chrono::milliseconds (clockIntervalMs);
    }
    outputChanged.notify_all();
}

void MophoSimulator::deliver (const uint8_t* data, int size)
{
    Output out;
    {
        const std::lock_guard<std::mutex> sl (outputLock);
        out = output;
    }
    if (out)
        out (juce::MidiMessage (data, size));
}

bool MophoSimulator::waitUntilIdle (int timeoutMilliseconds) const
{
    std::unique_lock<std::mutex> sl (outputLock);
    return outputChanged.wait_for (sl, std::chrono::milliseconds (timeoutMilliseconds),
                                   [this] { return outgoing.empty() && ! delivering; });
}

//==============================================================================
ProgramRecord& MophoSimulator::programAt (int bank, int programNumber)
{
    return bank < synthbanks::numUserBanks ? banks[(size_t) bank][(size_t) programNumber]
                           : factoryBanks[(size_t) (bank - synthbanks::numUserBanks)][(size_t) programNumber];
}

const ProgramRecord& MophoSimulator::programAt (int bank, int programNumber) const
{
    return bank < synthbanks::numUserBanks ? banks[(size_t) bank][(size_t) programNumber]
                           : factoryBanks[(size_t) (bank - synthbanks::numUserBanks)][(size_t) programNumber];
}

ProgramRecord MophoSimulator::getProgram (int bank, int programNumber) const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    if (bank < 0 || bank >= synthbanks::numSynthBanks || programNumber < 0 || programNumber >= program::programsPerBank)
        return {};
    return programAt (bank, programNumber);
}

void MophoSimulator::setProgram (int bank, int programNumber, const ProgramRecord& record)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    if (bank >= 0 && bank < synthbanks::numSynthBanks && programNumber >= 0 && programNumber < program::programsPerBank)
        programAt (bank, programNumber) = record;
}

ProgramRecord MophoSimulator::getEditBuffer() const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return editBuffer;
}

void MophoSimulator::setEditBuffer (const ProgramRecord& record)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    editBuffer = record;
}

uint8_t MophoSimulator::getGlobal (int index) const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return index >= 0 && index < numGlobalBytes ? globals[(size_t) index] : 0;
}

void MophoSimulator::setGlobal (int index, uint8_t value)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    if (index >= 0 && index < numGlobalBytes)
        globals[(size_t) index] = value;
}

int MophoSimulator::getCurrentBank() const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return currentBank;
}

int MophoSimulator::getCurrentProgram() const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return currentProgram;
}

int MophoSimulator::getNrpnNumber() const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return nrpnNumberMsb * 128 + nrpnNumberLsb;
}

juce::MemoryBlock MophoSimulator::getBank (int bank) const
{
    juce::MemoryBlock block;
    for (int p = 0; p < program::programsPerBank; ++p)
    {
        const auto r = getProgram (bank, p);
        block.append (r.data(), r.size());
    }
    return block;
}

juce::MemoryBlock MophoSimulator::saveMemory() const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    juce::MemoryBlock image;
    image.append (memoryHeader, memoryHeaderSize);
    for (const auto& bank : banks)
        for (const auto& record : bank)
            image.append (record.data(), record.size());
    image.append (editBuffer.data(), editBuffer.size());
    image.append (globals.data(), globals.size());
    return image;
}

size_t MophoSimulator::getMemorySize() noexcept
{
    return memoryHeaderSize + (size_t) (synthbanks::numUserBanks * program::bankSize) + (size_t) program::recordSize + (size_t) numGlobalBytes;
}

bool MophoSimulator::loadMemory (const void* data, size_t size)
{
    const auto expected = getMemorySize();
    // Bytes past the image are ignored: a longer file still holds a whole memory.
    if (data == nullptr || size < expected || std::memcmp (data, memoryHeader, memoryHeaderSize) != 0)
        return false;

    const std::lock_guard<std::mutex> sl (stateLock);
    const auto* b = static_cast<const uint8_t*> (data) + memoryHeaderSize;
    for (auto& bank : banks)
        for (auto& record : bank)
        {
            std::memcpy (record.data(), b, record.size());
            b += record.size();
        }
    std::memcpy (editBuffer.data(), b, editBuffer.size());
    b += editBuffer.size();
    std::memcpy (globals.data(), b, globals.size());
    return true;
}

//==============================================================================
void MophoSimulator::sendNrpn (int number, int value)
{
    const auto ch = channelOfFrontPanel;
    for (const auto& m : { juce::MidiMessage::controllerEvent (ch, midicc::nrpnMsb, number / 128),
                           juce::MidiMessage::controllerEvent (ch, midicc::nrpnLsb, number % 128),
                           juce::MidiMessage::controllerEvent (ch, midicc::dataMsb, value / 128),
                           juce::MidiMessage::controllerEvent (ch, midicc::dataLsb, value % 128) })
        send (juce::MemoryBlock (m.getRawData(), (size_t) m.getRawDataSize()), Clock::now());
}

void MophoSimulator::turnKnob (int parameterIndex, int value)
{
    {
        const std::lock_guard<std::mutex> sl (stateLock);
        if (parameterIndex < 0 || parameterIndex >= program::recordSize)
            return;
        editBuffer[(size_t) parameterIndex] = (uint8_t) value;
    }
    sendNrpn (table.getNrpn (parameterIndex), value);
}

void MophoSimulator::selectProgramOnPanel (int bank, int programNumber)
{
    if (bank < 0 || bank >= synthbanks::numSynthBanks || programNumber < 0 || programNumber >= program::programsPerBank)
        return;
    {
        const std::lock_guard<std::mutex> sl (stateLock);
        currentBank = pendingBank = bank;
        currentProgram = programNumber;
        editBuffer = programAt (bank, programNumber);
    }
    const auto bankSelect = juce::MidiMessage::controllerEvent (channelOfFrontPanel, midicc::bankSelect, bank);
    const auto programChange = juce::MidiMessage::programChange (channelOfFrontPanel, programNumber);
    send (juce::MemoryBlock (bankSelect.getRawData(), 3), Clock::now());
    send (juce::MemoryBlock (programChange.getRawData(), 2), Clock::now());
}

void MophoSimulator::sendEditBufferDumpFromPanel()
{
    send (makeEditBufferDump (getEditBuffer()), Clock::now());
}

void MophoSimulator::sendProgramDumpFromPanel (int bank, int programNumber)
{
    send (makeProgramDump (bank, programNumber, getProgram (bank, programNumber)), Clock::now());
}

//==============================================================================
void MophoSimulator::setWireRate (bool shouldModelWire)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    modelWire = shouldModelWire;
}

void MophoSimulator::dropNextReplies (int n)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    dropReplies = n;
}

void MophoSimulator::setSilent (bool shouldBeSilent)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    silent = shouldBeSilent;
}

void MophoSimulator::setReplyDelay (int milliseconds)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    replyDelayMs = milliseconds;
}

void MophoSimulator::sendWrongLengthReplies (int n)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    wrongLengthReplies = n;
}

} // namespace kelvo
