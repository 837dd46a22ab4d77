#pragma once

#include "model/ParameterTable.h"
#include "model/SynthBanks.h"

#include <juce_core/juce_core.h>

#include <vector>

namespace kelvo
{

/**
    Whole banks stored as one byte image: a text header, 32768-byte bank blocks back to back, then a
    text trailer. The embedded factory image and the saved bank data file share the layout and differ
    only in their header. Readers never compare the texts.
*/
namespace bankimage
{
constexpr const char* factoryHeader = "Mopho  Data >"; // two spaces after the model word
constexpr const char* dataFileHeader = "*Mopho  Data >";
constexpr const char* trailer = "< Mopho  Data";
constexpr size_t factoryHeaderSize = 13;
constexpr size_t dataFileHeaderSize = 14;
constexpr size_t trailerSize = 13;


constexpr size_t blockOffset (size_t headerSize, int n) noexcept
{
    return headerSize + (size_t) n * (size_t) program::bankSize;
}
constexpr size_t imageSize (size_t headerSize, int numBanks) noexcept
{
    return blockOffset (headerSize, numBanks) + trailerSize;
}

constexpr size_t factoryImageSize = imageSize (factoryHeaderSize, synthbanks::numFactoryBanks);    // 131098
constexpr size_t dataFileImageSize = imageSize (dataFileHeaderSize, synthbanks::numUserBanks); // 131099
} // namespace bankimage

/** An image of the given banks: header, each bank's 32768 bytes (shorter ones padded with zeros),
    trailer. */
juce::MemoryBlock makeBankImage (const char* header, const std::vector<juce::MemoryBlock>& banks);

/** The factory image embedded in the program (read-only, lives as long as the program). */
const uint8_t* factoryImageData() noexcept;
size_t factoryImageSize() noexcept;

} // namespace kelvo
