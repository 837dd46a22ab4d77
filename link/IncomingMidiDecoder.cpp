#include "link/IncomingMidiDecoder.h"
#include "link/MidiLoopGuard.h"
#include "model/GlobalSettings.h"
#include "model/MidiNumbers.h"
#include "model/ParameterTable.h"
#include "model/ProgramPacking.h"
#include "model/SynthBanks.h"

#include <array>

namespace kelvo
{
namespace
{
// Incoming NRPN numbers from globals::firstNrpn on name globals; below, program parameters, the
// indices from here on with an offset.
constexpr int firstHighParameterNrpn = 200;
// A program parameter is one byte; anything larger cannot be stored and would spill into the index
// when queued as index × 4096 + value.
constexpr int maxParameterValue = 255;

constexpr uint8_t universalNonRealtime = 0x7e, identityReply = 0x06;

// The global dump's nibble pairs start after F0 01 29 0F.
constexpr int firstGlobalPair = 4;
} // namespace

void IncomingMidiDecoder::decode (const uint8_t* data, int size)
{
    if (data == nullptr || size < 1)
        return;

    const auto status = data[0];
    const auto channel = (status & 0x0f) + 1;
    const auto dataByte = [&] (int i) { return i < size ? (int)(data[i] & 0x7f) : 0; };

    if (status < 0xf0)
    {
        switch (status & 0xf0)
        {
        case 0x80:
        case 0x90:
            return;
        case 0xe0:
            sink.pitchWheelArrived (channel, dataByte (1), dataByte (2));
            return;
        case 0xc0:
            sink.programChangeArrived (dataByte (1));
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
        sink.sysExArriving();
        return;
    case SysExAssembler::Outcome::complete:
        sink.sysExArriving();
        dispatchSysEx (sysExAssembly.takeMessage());
        return;
    case SysExAssembler::Outcome::tooLong:
        sink.sysExTooLong();
        return;
    case SysExAssembler::Outcome::ignored:
        return;
    }
}

void IncomingMidiDecoder::handleController (int channel, int controller, int value)
{
    switch (controller)
    {
    case midicc::modWheel:
        sink.modWheelArrived (channel, value);
        break;
    case midicc::dataMsb:
        nrpnDataMsb = (uint8_t)value;
        break;
    case midicc::bankSelect:
        if (value < synthbanks::numSynthBanks)
            sink.bankSelectArrived (value);
        break;
    case midicc::dataLsb:
        nrpnDataLsb = (uint8_t)value;
        completeNrpn();
        break;
    case midicc::nrpnLsb:
        nrpnNumberLsb = (uint8_t)value;
        break;
    case midicc::nrpnMsb:
        nrpnNumberMsb = (uint8_t)value;
        break;
    default:
        break;
    }
}

void IncomingMidiDecoder::completeNrpn()
{
    const auto number = nrpnNumberMsb * 128 + nrpnNumberLsb;
    const auto value = nrpnDataMsb * 128 + nrpnDataLsb;
    if (loopGuard != nullptr && loopGuard->isOwnEchoNrpn (number, value))
        return;

    if (number >= globals::firstNrpn)
    {
        const auto index = globalIndexForNrpn (number);
        if (index >= 0 && index < globals::blockSize)
            sink.globalArrived (index, (uint8_t)value);
        return;
    }

    if (value > maxParameterValue)
        return;

    const auto index = number >= firstHighParameterNrpn
                           ? table.nrpnToIndex (number - firstHighParameterNrpn) + firstHighParameterNrpn
                           : table.nrpnToIndex (number);
    sink.parameterArrived (index, value);
}

void IncomingMidiDecoder::dispatchSysEx (const juce::MemoryBlock& message)
{
    const auto* b = static_cast<const uint8_t*> (message.getData());
    const auto size = (int)message.getSize();
    const auto byteAt = [&] (int i) { return i < size ? b[i] : (uint8_t)0; };

    if (byteAt (3) == identityReply && byteAt (1) == universalNonRealtime)
        return;
    if (loopGuard != nullptr && loopGuard->isOwnEchoSysEx (b, (size_t) size))
        return;
    // Another synth's dump on the port: its programs mean other parameters here.
    if (! isMophoX4Message (b, (size_t) size))
        return;

    switch (byteAt (3))
    {
    case sysex::programDump:
    {
        const auto bank = byteAt (sysex::programDumpBankOffset);
        const auto programNumber = byteAt (sysex::programDumpProgramOffset);
        // A dump for a bank we do not have, or of the wrong length, is not ours to store.
        if (size != sysex::programDumpSize || bank >= synthbanks::numSynthBanks ||
            programNumber >= program::programsPerBank)
            return;
        sink.programDumpArrived (bank, programNumber, unpackProgramData (b + sysex::programDataOffset));
        return;
    }

    case sysex::editBufferDump:
        if (size == sysex::editBufferDumpSize)
            sink.editBufferDumpArrived (unpackProgramData (b + sysex::editBufferDataOffset));
        return;

    case sysex::globalDump:
        decodeGlobalDump (b, size);
        return;

    default:
        return;
    }
}

void IncomingMidiDecoder::decodeGlobalDump (const uint8_t* data, int size)
{
    std::array<uint8_t, globals::blockSize> values{};
    int count = 0;
    // A pair counts only when both its bytes come before the final F7.
    for (; count < globals::blockSize && firstGlobalPair + 2 * count + 1 < size - 1; ++count)
    {
        const auto low = data[firstGlobalPair + 2 * count];
        const auto high = data[firstGlobalPair + 2 * count + 1];
        values[(size_t)count] = (uint8_t)(low + 16 * high);
    }
    sink.globalBlockArrived (values.data(), count);
}

} // namespace kelvo
