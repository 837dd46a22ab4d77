#include "link/FactoryBankFile.h"

#include "model/BankImage.h"
#include "model/Bank_Program.h"

namespace kelvo::factoryfile
{
juce::MemoryBlock makeImage (const std::array<const Bank_Program*, 4>& factoryBanks, bool fromSynth)
{
    std::vector<juce::MemoryBlock> blocks;
    for (const auto* bank : factoryBanks)
        blocks.push_back (bank != nullptr ? bank->getAllPrograms() : juce::MemoryBlock());
    return makeBankImage (fromSynth ? fromSynthHeader : localHeader, blocks);
}

} // namespace kelvo::factoryfile
