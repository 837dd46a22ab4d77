#include "link/SynthMemory.h"
#include "link/EngineEventHub.h"
#include "model/Categories.h"

namespace kelvo
{
namespace
{
const char* const synthBankNames[] = {"Program Bank U1", "Program Bank U2", "Program Bank U3",
                                      "Program Bank U4", "Program Bank F1", "Program Bank F2",
                                      "Program Bank F3", "Program Bank F4"};

bool isProgram (int program) noexcept
{
    return program >= 0 && program < program::programsPerBank;
}
} // namespace

SynthMemory::SynthMemory (EngineEventHub& eventHub, Save saveBanks)
    : hub (eventHub), save (std::move (saveBanks)),
      known ((size_t)(synthbanks::numUserBanks * program::programsPerBank)),
      readBack (known.size(), false)
{
    for (size_t i = 0; i < synthBanks.size(); ++i)
    {
        synthBanks[i] = std::make_unique<Bank_Program> (synthBankNames[i]);
        // Whole from the start, whatever is loaded into it later.
        synthBanks[i]->initialise();
    }
}

SynthMemory::~SynthMemory() = default;

Bank_Program* SynthMemory::getSynthBank (int bank) const noexcept
{
    return bank >= 0 && bank < synthbanks::numSynthBanks ? synthBanks[(size_t)bank].get() : nullptr;
}

std::array<Bank_Program*, synthbanks::numUserBanks> SynthMemory::getUserBanks() const noexcept
{
    std::array<Bank_Program*, synthbanks::numUserBanks> banks{};
    for (size_t i = 0; i < banks.size(); ++i)
        banks[i] = synthBanks[i].get();
    return banks;
}

std::array<Bank_Program*, synthbanks::numSynthBanks - synthbanks::numUserBanks>
SynthMemory::getFactoryBanks() const noexcept
{
    std::array<Bank_Program*, synthbanks::numSynthBanks - synthbanks::numUserBanks> banks{};
    for (size_t i = 0; i < banks.size(); ++i)
        banks[i] = synthBanks[(size_t)synthbanks::numUserBanks + i].get();
    return banks;
}

//==============================================================================
uint8_t SynthMemory::getGlobal (int index) const noexcept
{
    return index >= 0 && index < globals::blockSize ? globals[(size_t)index].load (std::memory_order_relaxed)
                                                    : 0;
}

void SynthMemory::setGlobal (int index, uint8_t value) noexcept
{
    if (index >= 0 && index < globals::blockSize)
        globals[(size_t)index].store (value, std::memory_order_relaxed);
}

//==============================================================================
void SynthMemory::initialiseSynthBank (int bank)
{
    if (auto* target = getSynthBank (bank))
    {
        const auto& record = initialProgram();
        for (int n = 0; n < program::programsPerBank; ++n)
            target->setProgram (n, record);
        synthBankChanged (bank);
    }
}

void SynthMemory::loadFactoryBankInto (int bank, int factoryBank)
{
    if (auto* target = getSynthBank (bank))
    {
        target->loadFactoryBank (factoryBank);
        synthBankChanged (bank);
    }
}

void SynthMemory::loadSynthBankFromDumps (int bank, const juce::MemoryBlock& dumps)
{
    if (auto* target = getSynthBank (bank))
    {
        target->loadFromDumps (dumps);
        synthBankChanged (bank);
    }
}

bool SynthMemory::storeProgram (int bank, int program, const ProgramRecord& record)
{
    auto* target = getSynthBank (bank);
    if (target == nullptr || !isProgram (program))
        return false;
    target->setProgram (program, record);
    synthBankChanged (bank);
    return true;
}

void SynthMemory::setProgramCategory (int bank, int program, int categoryNumber)
{
    auto* target = getSynthBank (bank);
    if (target == nullptr || !isProgram (program) || categoryNumber < 0 || categoryNumber >= category::count)
        return;
    auto record = target->getProgramRecord (program);
    record[(size_t)program::categoryIndex] = (uint8_t)categoryNumber;
    target->setProgram (program, record);
    synthBankChanged (bank);
}

void SynthMemory::synthBankChanged (int bank)
{
    hub.postEvent (event::bankContentsChanged);
    // F1..F4 are otherwise rebuilt from the built-in set at the next start.
    save (bank < synthbanks::numUserBanks ? Banks::user : Banks::factory);
}

void SynthMemory::bankContentsChanged()
{
    hub.postEvent (event::bankContentsChanged);
    save (Banks::user);
}

void SynthMemory::factoryBanksReplaced (bool fromSynth)
{
    factoryBanksMatchSynth = fromSynth;
    save (Banks::factory);
    hub.postEvent (event::bankContentsChanged);
}

//==============================================================================
int SynthMemory::knownIndex (int bank, int program) noexcept
{
    return bank >= 0 && bank < synthbanks::numUserBanks && isProgram (program)
               ? bank * program::programsPerBank + program
               : -1;
}

void SynthMemory::takeUserBanksAsKnown()
{
    for (int b = 0; b < synthbanks::numUserBanks; ++b)
        for (int n = 0; n < program::programsPerBank; ++n)
            takeLocalProgramAsKnown (b, n);
}

bool SynthMemory::wasReadFromSynth (int bank, int program) const
{
    const auto i = knownIndex (bank, program);
    return i >= 0 && known[(size_t)i].has_value() && readBack[(size_t)i];
}

const ProgramRecord* SynthMemory::getKnownProgram (int bank, int program) const
{
    const auto i = knownIndex (bank, program);
    return i >= 0 && known[(size_t)i].has_value() ? &known[(size_t)i].value() : nullptr;
}

void SynthMemory::setKnownProgram (int bank, int program, const ProgramRecord& record, bool readFromSynth)
{
    if (const auto i = knownIndex (bank, program); i >= 0)
    {
        known[(size_t)i] = record;
        readBack[(size_t)i] = readFromSynth;
    }
}

void SynthMemory::takeLocalProgramAsKnown (int bank, int program, bool readFromSynth)
{
    if (const auto i = knownIndex (bank, program); i >= 0)
    {
        known[(size_t)i] = synthBanks[(size_t)bank]->getProgramRecord (program);
        readBack[(size_t)i] = readFromSynth;
    }
}

void SynthMemory::forgetKnownProgram (int bank, int program)
{
    if (const auto i = knownIndex (bank, program); i >= 0)
    {
        known[(size_t)i].reset();
        readBack[(size_t)i] = false;
    }
}

} // namespace kelvo
