#include "instrument/SimulatorMemory.h"
#include "model/BankImage.h"

namespace kelvo
{
namespace
{
constexpr const char* imageHeader = "KelvoMophoSim1";
constexpr size_t imageHeaderSize = 14;
} // namespace

SimulatorMemory::SimulatorMemory()
{
    const auto* image = factoryImageData();
    for (int b = 0; b < synthbanks::numUserBanks; ++b)
        for (int p = 0; p < program::programsPerBank; ++p)
            userBanks[(size_t) b][(size_t) p] =
                toRecord (image + bankimage::blockOffset (bankimage::factoryHeaderSize, b) + (size_t) (p * program::recordSize),
                          (size_t) program::recordSize);
    factoryBanks = userBanks;
    editBuffer = userBanks[0][0];
}

bool SimulatorMemory::isProgram (int bank, int program) noexcept
{
    return bank >= 0 && bank < synthbanks::numSynthBanks && program >= 0 && program < program::programsPerBank;
}

ProgramRecord& SimulatorMemory::programAt (int bank, int program) noexcept
{
    return bank < synthbanks::numUserBanks ? userBanks[(size_t) bank][(size_t) program]
                               : factoryBanks[(size_t) (bank - synthbanks::numUserBanks)][(size_t) program];
}

const ProgramRecord& SimulatorMemory::programAt (int bank, int program) const noexcept
{
    return bank < synthbanks::numUserBanks ? userBanks[(size_t) bank][(size_t) program]
                               : factoryBanks[(size_t) (bank - synthbanks::numUserBanks)][(size_t) program];
}

juce::MemoryBlock SimulatorMemory::saveImage() const
{
    juce::MemoryBlock image;
    image.append (imageHeader, imageHeaderSize);
    for (const auto& bank : userBanks)
        for (const auto& record : bank)
            image.append (record.data(), record.size());
    image.append (editBuffer.data(), editBuffer.size());
    image.append (globals.bytes().data(), globals.bytes().size());
    return image;
}

size_t SimulatorMemory::getImageSize() noexcept
{
    return imageHeaderSize + (size_t) (synthbanks::numUserBanks * program::bankSize) + (size_t) program::recordSize
           + (size_t) SimulatorGlobals::numBytes;
}

bool SimulatorMemory::loadImage (const void* data, size_t size)
{
    if (data == nullptr || size < getImageSize() || std::memcmp (data, imageHeader, imageHeaderSize) != 0)
        return false;

    const auto* b = static_cast<const uint8_t*> (data) + imageHeaderSize;
    for (auto& bank : userBanks)
        for (auto& record : bank)
        {
            std::memcpy (record.data(), b, record.size());
            b += record.size();
        }
    std::memcpy (editBuffer.data(), b, editBuffer.size());
    b += editBuffer.size();
    std::memcpy (globals.bytes().data(), b, globals.bytes().size());
    return true;
}

} // namespace kelvo
