#include "link/FactoryBankFile.h"

#include "files/SafeFileWrite.h"
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

bool load (const juce::File& folder, const std::array<Bank_Program*, 4>& factoryBanks, bool& fromSynth)
{
    const auto file = folder.getChildFile (fileName);
    if (file.getSize() != (juce::int64)bankimage::dataFileImageSize)
        return false;
    juce::MemoryBlock image;
    if (!file.loadFileAsData (image) || image.getSize() != bankimage::dataFileImageSize)
        return false;

    const auto header = juce::String::fromUTF8 (static_cast<const char*> (image.getData()),
                                                (int)bankimage::dataFileHeaderSize);
    if (header != fromSynthHeader && header != localHeader)
        return false;

    fromSynth = header == fromSynthHeader;
    for (int n = 0; n < (int)factoryBanks.size(); ++n)
        if (factoryBanks[(size_t)n] != nullptr)
            factoryBanks[(size_t)n]->loadFromDataImage (n, image);
    return true;
}

bool save (const juce::File& folder, const juce::MemoryBlock& image)
{
    return writeFileSafely (folder.getChildFile (fileName), image);
}
} // namespace kelvo::factoryfile
