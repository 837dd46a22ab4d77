#pragma once

namespace kelvo
{

/** The synth's program memory as the engine mirrors it: user banks U1..U4 (0..3), then factory
    banks F1..F4 (4..7), each of program::programsPerBank programs. */
namespace synthbanks
{
constexpr int numUserBanks = 4;
constexpr int numFactoryBanks = 4;
constexpr int numSynthBanks = numUserBanks + numFactoryBanks;
constexpr int firstFactoryBank = numUserBanks;
} // namespace synthbanks

} // namespace kelvo
