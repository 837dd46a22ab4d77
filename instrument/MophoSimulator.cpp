#include "instrument/MophoSimulator.h"
#include "link/VirtualMidiDevices.h"
#include "model/GlobalSettings.h"
#include "model/MidiNumbers.h"
#include "model/ProgramPacking.h"
#include "model/SynthBanks.h"

namespace kelvo
{
namespace
{
juce::MemoryBlock bytesOf (const juce::MidiMessage& m)
{
    return { m.getRawData(), (size_t) m.getRawDataSize() };
}
} // namespace

MophoSimulator::MophoSimulator() = default;
MophoSimulator::~MophoSimulator() = default;

void MophoSimulator::setOutput (Output newOutput)
{
    output.setOutput (std::move (newOutput));
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
    if (output.isWireModelled())
        inWireFreeAt = juce::jmax (now, inWireFreeAt) + std::chrono::microseconds (size * midiwire::microsecondsPerByte);

    // MIDI Out on Thru: the output carries what comes in, and the synth still acts on it.
    if (memory.globals.repeatsInput())
        output.send ({ data, (size_t) size }, now);

    if (data[0] >= 0x80 && data[0] < 0xf0)
    {
        handleChannelMessage (data, size);
        return;
    }

    if (sysExAssembly.add (data, size) == SysExAssembler::Outcome::complete)
    {
        const auto complete = sysExAssembly.takeMessage();
        sl.unlock();
        handleSysEx (complete);
    }
}

void MophoSimulator::handleChannelMessage (const uint8_t* data, int size)
{
    const auto status = data[0];
    const auto filter = memory.globals.receiveFilter();
    if (! filter.hearsChannel ((status & 0x0f) + 1))
        return;

    const auto byteAt = [&] (int i) { return i < size ? (int) (data[i] & 0x7f) : 0; };
    switch (status & 0xf0)
    {
        case 0xb0:
            handleController (byteAt (1), byteAt (2), filter);
            return;
        case 0xe0:
            if (filter.takesControllers())
                voice.pitchWheel (byteAt (2) * 128 + byteAt (1));
            return;
        case 0xc0:
            memory.currentBank = pendingBank;
            memory.currentProgram = byteAt (1);
            memory.editBuffer = memory.programAt (memory.currentBank, memory.currentProgram);
            return;
        case 0x90:
            if (byteAt (2) > 0)
                voice.noteOn (byteAt (1));
            else
                voice.noteOff (byteAt (1));
            return;
        case 0x80:
            voice.noteOff (byteAt (1));
            return;
        default:
            return; // aftertouch: the synth plays it
    }
}

void MophoSimulator::handleController (int controller, int value, const SimulatorReceiveFilter& filter)
{
    const auto isNrpnController = controller == midicc::nrpnMsb || controller == midicc::nrpnLsb
                                  || controller == midicc::dataMsb || controller == midicc::dataLsb;
    // Bank select goes with the program change, which "MIDI Control" does not stop.
    if (isNrpnController ? ! filter.takesNrpn() : (controller != midicc::bankSelect && ! filter.takesControllers()))
        return;

    switch (controller)
    {
        case midicc::nrpnMsb: nrpnNumberMsb = (uint8_t) value; break;
        case midicc::nrpnLsb: nrpnNumberLsb = (uint8_t) value; break;
        case midicc::dataMsb: nrpnDataMsb = (uint8_t) value; break;
        case midicc::dataLsb: completeNrpn (value); break;
        case midicc::bankSelect:
            if (value < synthbanks::numSynthBanks)
                pendingBank = value;
            break;
        default:
            break;
    }
}

void MophoSimulator::completeNrpn (int dataLsb)
{
    // The number and the data MSB are the last ones received: a sender may leave out what it sent
    // before, as the maker allows.
    const auto number = nrpnNumberMsb * 128 + nrpnNumberLsb;
    const auto value = nrpnDataMsb * 128 + dataLsb;
    if (number >= globals::firstNrpn)
    {
        const auto index = globalIndexForNrpn (number);
        if (index >= 0)
            memory.globals.set (index, (uint8_t) value);
    }
    else if (number < program::numTableRows)
    {
        const auto index = table.nrpnToIndex (number);
        if (index < program::recordSize)
            memory.editBuffer[(size_t) index] = (uint8_t) value;
    }
}

void MophoSimulator::handleSysEx (const juce::MemoryBlock& message)
{
    const auto* b = static_cast<const uint8_t*> (message.getData());
    const auto size = (int) message.getSize();
    if (size < 5 || b[1] != sysex::manufacturerDsi || b[2] != sysex::deviceMophoX4)
        return;

    {
        const std::lock_guard<std::mutex> sl (stateLock);
        if (! memory.globals.receiveFilter().takesSysEx())
            return;
    }

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
        {
            ++numRequests;
            juce::MemoryBlock dump;
            {
                const std::lock_guard<std::mutex> sl (stateLock);
                dump = memory.globals.makeDump();
            }
            reply (std::move (dump));
            return;
        }
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
        if (output.isWireModelled())
            readyAt += std::chrono::milliseconds (answerLatencyMs);
    }
    sendOwn (std::move (bytes), readyAt);
}

void MophoSimulator::sendOwn (juce::MemoryBlock bytes, Clock::time_point readyAt)
{
    {
        const std::lock_guard<std::mutex> sl (stateLock);
        if (memory.globals.repeatsInput())
            return;
    }
    output.send (std::move (bytes), readyAt);
}

void MophoSimulator::sendOwn (const juce::MidiMessage& message)
{
    sendOwn (bytesOf (message), Clock::now());
}

//==============================================================================
MophoSimulator::NoteCounts MophoSimulator::getNoteCounts() const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return voice.getCounts();
}

bool MophoSimulator::isNoteSounding (int note) const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return voice.isSounding (note);
}

void MophoSimulator::resetNoteCounts()
{
    const std::lock_guard<std::mutex> sl (stateLock);
    voice.reset();
}

ProgramRecord MophoSimulator::getProgram (int bank, int programNumber) const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return SimulatorMemory::isProgram (bank, programNumber) ? memory.programAt (bank, programNumber) : ProgramRecord {};
}

void MophoSimulator::setProgram (int bank, int programNumber, const ProgramRecord& record)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    if (SimulatorMemory::isProgram (bank, programNumber))
        memory.programAt (bank, programNumber) = record;
}

ProgramRecord MophoSimulator::getEditBuffer() const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return memory.editBuffer;
}

void MophoSimulator::setEditBuffer (const ProgramRecord& record)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    memory.editBuffer = record;
}

uint8_t MophoSimulator::getGlobal (int index) const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return memory.globals.get (index);
}

void MophoSimulator::setGlobal (int index, uint8_t value)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    memory.globals.set (index, value);
}

void MophoSimulator::makeCooperative()
{
    const std::lock_guard<std::mutex> sl (stateLock);
    memory.globals.bytes() = SimulatorGlobals::cooperative();
}

int MophoSimulator::getCurrentBank() const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return memory.currentBank;
}

int MophoSimulator::getCurrentProgram() const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return memory.currentProgram;
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
    return memory.saveImage();
}

bool MophoSimulator::loadMemory (const void* data, size_t size)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return memory.loadImage (data, size);
}

//==============================================================================
void MophoSimulator::turnKnob (int parameterIndex, int value)
{
    int channel;
    {
        const std::lock_guard<std::mutex> sl (stateLock);
        if (parameterIndex < 0 || parameterIndex >= program::recordSize)
            return;
        memory.editBuffer[(size_t) parameterIndex] = (uint8_t) value;
        // Param Send on CC or Off: the editor, which follows NRPN only, hears nothing of it.
        if (! memory.globals.sendsNrpn())
            return;
        channel = memory.globals.sendChannel();
    }
    const auto number = table.getNrpn (parameterIndex);
    for (const auto& m : { juce::MidiMessage::controllerEvent (channel, midicc::nrpnMsb, number / 128),
                           juce::MidiMessage::controllerEvent (channel, midicc::nrpnLsb, number % 128),
                           juce::MidiMessage::controllerEvent (channel, midicc::dataMsb, value / 128),
                           juce::MidiMessage::controllerEvent (channel, midicc::dataLsb, value % 128) })
        sendOwn (m);
}

void MophoSimulator::selectProgramOnPanel (int bank, int programNumber)
{
    int channel;
    {
        const std::lock_guard<std::mutex> sl (stateLock);
        if (! SimulatorMemory::isProgram (bank, programNumber))
            return;
        memory.currentBank = pendingBank = bank;
        memory.currentProgram = programNumber;
        memory.editBuffer = memory.programAt (bank, programNumber);
        channel = memory.globals.sendChannel();
    }
    sendOwn (juce::MidiMessage::controllerEvent (channel, midicc::bankSelect, bank));
    sendOwn (juce::MidiMessage::programChange (channel, programNumber));
}

void MophoSimulator::sendEditBufferDumpFromPanel()
{
    if (getGlobal (globals::sysEx) != globals::off)
        sendOwn (makeEditBufferDump (getEditBuffer()), Clock::now());
}

void MophoSimulator::sendProgramDumpFromPanel (int bank, int programNumber)
{
    if (getGlobal (globals::sysEx) != globals::off)
        sendOwn (makeProgramDump (bank, programNumber, getProgram (bank, programNumber)), Clock::now());
}

//==============================================================================
void MophoSimulator::setWireRate (bool shouldModelWire)
{
    output.setWireRate (shouldModelWire);
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
