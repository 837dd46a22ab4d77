#pragma once

#include "instrument/SimulatorGlobals.h"
#include "model/ParameterTable.h"
#include "model/ProgramRecord.h"
#include "model/SynthBanks.h"

#include <juce_core/juce_core.h>

#include <array>

namespace kelvo
{

/**
    What the simulated synth remembers: four user banks and four factory banks of 128 programs, the
    edit buffer, the global settings, and the program that is playing. The user banks, the edit
    buffer and the globals make its memory image, which a real synth keeps when switched off and the
    simulator offered to users keeps in a file.

    Not thread-safe: the simulator reads and writes it under its own lock.
*/
class SimulatorMemory
{
public:
    /** Like the synth out of its box: every bank holds the factory programs, U1 001 plays. */
    SimulatorMemory();

    static bool isProgram (int bank, int program) noexcept;
    /** Program of any bank 0..7; bank and program must be in range (see isProgram). */
    ProgramRecord& programAt (int bank, int program) noexcept;
    const ProgramRecord& programAt (int bank, int program) const noexcept;

    ProgramRecord editBuffer {};
    SimulatorGlobals globals;
    int currentBank = 0, currentProgram = 0;

    /** The user banks, the edit buffer and the globals as bytes, behind a header. */
    juce::MemoryBlock saveImage() const;
    /** False, and nothing changed, when the bytes do not begin with an image; bytes after a whole
        image are ignored. */
    bool loadImage (const void* data, size_t size);
    static size_t getImageSize() noexcept;

private:
    using Bank = std::array<ProgramRecord, program::programsPerBank>;
    std::array<Bank, synthbanks::numUserBanks> userBanks {};
    std::array<Bank, synthbanks::numFactoryBanks> factoryBanks {};
};

} // namespace kelvo
