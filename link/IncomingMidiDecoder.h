#pragma once

#include "model/ProgramRecord.h"
#include "model/SysExAssembler.h"

#include <cstdint>

namespace kelvo
{
class MidiLoopGuard;
class ParameterTable;

/**
    Reads what the synth sends: controllers, NRPNs completed on their data LSB, program changes,
    SysEx put together from its pieces and dispatched by kind, and the global dump taken apart. It
    changes nothing itself; every message it understands becomes one call of its Sink, whose
    arguments are already checked against what the synth can hold (a bank 0..7, a program 0..127, a
    parameter value of one byte, a global index inside the block).

    Threads: one thread feeds it (the MIDI input thread); it keeps the NRPN registers and the SysEx
    being collected between messages, and the Sink is called on that thread.
*/
class IncomingMidiDecoder
{
public:
    /** What the decoder reports. Each call is made on the thread that feeds the decoder. */
    class Sink
    {
    public:
        virtual ~Sink() = default;

        /** The pitch wheel moved on channel 1..16 (lsb and msb 0..127). */
        virtual void pitchWheelArrived (int channel, int lsb, int msb) = 0;
        /** The modulation wheel (controller 1) moved on channel 1..16. */
        virtual void modWheelArrived (int channel, int value) = 0;
        /** A program change, program 0..127, on any channel. */
        virtual void programChangeArrived (int program) = 0;
        /** A bank select naming a synth bank 0..7; whether it is a change is the sink's to judge. */
        virtual void bankSelectArrived (int bank) = 0;
        /** An NRPN below the globals completed: the program parameter's index and its value 0..255. */
        virtual void parameterArrived (int index, int value) = 0;
        /** A global NRPN completed: block index 0..99 and the value as a byte. */
        virtual void globalArrived (int index, uint8_t value) = 0;
        /** SysEx bytes are arriving: a message is being collected, or has just been completed. */
        virtual void sysExArriving() = 0;
        /** A SysEx message outgrew the assembly buffer and was dropped. */
        virtual void sysExTooLong() = 0;
        /** A program dump of the right length for synth bank 0..7, program 0..127. */
        virtual void programDumpArrived (int bank, int program, const ProgramRecord& record) = 0;
        /** An edit-buffer dump of the right length. */
        virtual void editBufferDumpArrived (const ProgramRecord& record) = 0;
        /** A global dump: the first count bytes of the global block (count ≤ the block's size). */
        virtual void globalBlockArrived (const uint8_t* values, int count) = 0;
    };

    /** The table maps NRPN numbers back to parameter indices; both must outlive the decoder. */
    IncomingMidiDecoder (const ParameterTable& parameterTable, Sink& reportsTo) noexcept
        : table (parameterTable), sink (reportsTo)
    {
    }

    /** One message as the input delivers it: a short message, a whole SysEx or a piece of one. */
    void decode (const uint8_t* data, int size);

    /** Asked about every NRPN and SysEx message: what it takes for our own coming back through a
        loop is not reported. Set it before MIDI flows. */
    void setLoopGuard (MidiLoopGuard* guard) noexcept { loopGuard = guard; }

private:
    void handleController (int channel, int controller, int value);
    void completeNrpn();
    void dispatchSysEx (const juce::MemoryBlock& message);
    void decodeGlobalDump (const uint8_t* data, int size);

    const ParameterTable& table;
    Sink& sink;
    MidiLoopGuard* loopGuard = nullptr;

    // Never reset: a data LSB that arrives alone completes an NRPN with the registers' old contents.
    uint8_t nrpnNumberMsb = 0, nrpnNumberLsb = 0, nrpnDataMsb = 0, nrpnDataLsb = 0;
    SysExAssembler sysExAssembly;
};

} // namespace kelvo
