#pragma once

#include <cstdint>

namespace kelvo
{

/** The engine's 32-bit event codes. The kind of a code is (code >> 20) with its low four bits
    cleared; the rest is payload. Each payload has its encoder and, beside it, its decoder: nothing
    else takes a code apart. */
namespace event
{
constexpr int32_t parameterChanged = 0x10000000; // + index × 256 + value
constexpr int32_t editBufferReplaced = 0x11000000;
constexpr int32_t online = 0x12000000;
constexpr int32_t offline = 0x13000000;
constexpr int32_t bankTransferFinished = 0x16000000;
constexpr int32_t bankTransferProgress = 0x17000000; // + bank × 256 + program
constexpr int32_t bankTransferFailed = 0x18000000;   // + bank × 256 + program that never came
constexpr int32_t bankContentsChanged = 0x19000000;
constexpr int32_t midiOutputOverflow = 0x1a000000; // + messages dropped so far (at most 0xfffff)
constexpr int32_t sysExTooLong = 0x1b000000;       // an incoming SysEx message was dropped unfinished
constexpr int32_t programDumpArrived = 0x1c000000; // + bank × 256 + program: sent by the synth on its own, stored
constexpr int32_t bankBackupProgress = 0x1d000000; // + bank × 256 + program: read from the synth before a write there
constexpr int32_t globalChanged = 0x20000000; // + global index
constexpr int32_t pluginProgramChanged = 0x22000000;
constexpr int32_t noticePosted = 0x23000000; // a message for the user waits in takeNotices

/** The echo kinds: a controller or a pitch wheel received from the synth (see echoCode). */
constexpr int32_t controllerEcho = 0xb0, pitchWheelEcho = 0xe0;

constexpr int payloadMask = 0xfffff;

constexpr int32_t kindOf (int32_t code) noexcept { return (int32_t) (((uint32_t) code >> 20) & ~0xfu); }

/** Whether code is of the same kind as base (an event constant or another code), whatever either carries. */
constexpr bool isKind (int32_t code, int32_t base) noexcept { return kindOf (code) == kindOf (base); }

/** The events that tell how a bank transfer goes, which the engine also hands to its transfer
    listeners: progress, failure, the end, and a program the synth sent on its own (which it then
    holds, as the local bank does). */
constexpr bool isTransferNews (int32_t code) noexcept
{
    return isKind (code, bankTransferProgress) || isKind (code, bankTransferFailed)
           || isKind (code, bankTransferFinished) || isKind (code, programDumpArrived);
}

//==============================================================================
/** A bank and program, carried by the progress, failure and dump-arrived codes. */
struct BankProgram
{
    int bank = 0, program = 0;
};

constexpr int32_t bankProgramCode (int32_t base, int bank, int program) noexcept
{
    return base + (int32_t) ((bank & 0xff) * 256 + (program & 0xff));
}

constexpr BankProgram bankProgramOf (int32_t code) noexcept { return { (code >> 8) & 0xff, code & 0xff }; }

//==============================================================================
/** A program parameter's index and value, carried by parameterChanged. */
struct ParameterValue
{
    int index = 0, value = 0;
};

constexpr int32_t parameterCode (int index, int value) noexcept
{
    return parameterChanged + (int32_t) ((index & 0xff) * 256 + (value & 0xff));
}

constexpr ParameterValue parameterOf (int32_t code) noexcept { return { (code >> 8) & 0xff, code & 0xff }; }

//==============================================================================
constexpr int32_t globalCode (int index) noexcept { return globalChanged + (int32_t) (index & payloadMask); }

constexpr int globalIndexOf (int32_t code) noexcept { return code & payloadMask; }

//==============================================================================
/** The overflow code counts at most 0xfffff dropped messages; more read as that many. */
constexpr int32_t overflowCode (int numDropped) noexcept
{
    return midiOutputOverflow + (int32_t) (numDropped < 0 ? 0 : numDropped > payloadMask ? payloadMask : numDropped);
}

constexpr int droppedCountOf (int32_t code) noexcept { return code & payloadMask; }

//==============================================================================
/** A controller or pitch wheel received on channel 1..16: its status (controllerEcho or
    pitchWheelEcho, also the code's kind), channel and two data bytes (controller and value, or the
    wheel's high and low seven bits). */
struct Echo
{
    int status = 0, channel = 1, high = 0, low = 0;
};

/** Echo of a control change or pitch wheel received on channel 1..16, for the editor's wheels. */
constexpr int32_t echoCode (int status, int channel, int high, int low) noexcept
{
    return (int32_t) (((uint32_t) (status + channel - 1) << 20) + (uint32_t) ((high & 0x7f) << 7) + (uint32_t) (low & 0x7f));
}

constexpr Echo echoOf (int32_t code) noexcept
{
    return { kindOf (code), (int) (((uint32_t) code >> 20) & 0xfu) + 1, (code >> 7) & 0x7f, code & 0x7f };
}

constexpr bool isEcho (int32_t code) noexcept
{
    return kindOf (code) == controllerEcho || kindOf (code) == pitchWheelEcho;
}
} // namespace event

} // namespace kelvo
