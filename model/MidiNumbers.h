#pragma once

namespace kelvo
{

/** The controller numbers that the synth and the editor use. */
namespace midicc
{
constexpr int modWheel = 1;
constexpr int dataMsb = 6;
constexpr int bankSelect = 32;
constexpr int dataLsb = 38;
constexpr int nrpnLsb = 98;
constexpr int nrpnMsb = 99;
} // namespace midicc

/** The MIDI wire at 31 250 baud. */
namespace midiwire
{
/** One byte: 10 bits of 32 µs. */
constexpr int microsecondsPerByte = 320;
} // namespace midiwire

} // namespace kelvo
