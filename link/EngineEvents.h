#pragma once

#include <cstdint>

namespace kelvo
{

/** The engine's 32-bit event codes. The kind of a code is (code >> 20) with its low four bits
    cleared; the rest is payload. */
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
constexpr int32_t globalChanged = 0x20000000; // + global index
constexpr int32_t pluginProgramChanged = 0x22000000;
constexpr int32_t noticePosted = 0x23000000; // a message for the user waits in takeNotices

constexpr int32_t bankProgramCode (int32_t base, int bank, int program) noexcept
{
    return base + (int32_t) ((bank & 0xff) * 256 + (program & 0xff));
}

constexpr int32_t kindOf (int32_t code) noexcept { return (int32_t) (((uint32_t) code >> 20) & ~0xfu); }

constexpr int32_t parameterCode (int index, int value) noexcept
{
    return parameterChanged + (int32_t) ((index & 0xff) * 256 + (value & 0xff));
}

/** Echo of a control change or pitch wheel received on channel 1..16, for the editor's wheels. */
constexpr int32_t echoCode (int status, int channel, int high, int low) noexcept
{
    return (int32_t) (((uint32_t) (status + channel - 1) << 20) + (uint32_t) ((high & 0x7f) << 7) + (uint32_t) (low & 0x7f));
}
} // namespace event

} // namespace kelvo
