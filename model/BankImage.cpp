#include "model/BankImage.h"

#include <FactoryData.h>

#include <cstring>

namespace kelvo
{

juce::MemoryBlock makeBankImage (const char* header, const std::vector<juce::MemoryBlock>& banks)
{
    const auto headerSize = std::strlen (header);
    juce::MemoryBlock image (bankimage::imageSize (headerSize, (int) banks.size()), true);
    auto* dest = static_cast<uint8_t*> (image.getData());

    std::memcpy (dest, header, headerSize);
    for (size_t n = 0; n < banks.size(); ++n)
        std::memcpy (dest + bankimage::blockOffset (headerSize, (int) n), banks[n].getData(),
                     juce::jmin (banks[n].getSize(), (size_t) program::bankSize));
    std::memcpy (dest + bankimage::blockOffset (headerSize, (int) banks.size()), bankimage::trailer,
                 bankimage::trailerSize);
    return image;
}

const uint8_t* factoryImageData() noexcept
{
    return reinterpret_cast<const uint8_t*> (FactoryData::MophoFactory_dat);
}

size_t factoryImageSize() noexcept
{
    return (size_t) FactoryData::MophoFactory_datSize;
}

} // namespace kelvo
