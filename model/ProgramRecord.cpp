#include "model/ProgramRecord.h"

#include <algorithm>

namespace kelvo
{
namespace
{
constexpr juce::juce_wchar firstNameCode = 20;
constexpr juce::juce_wchar lastNameCode = 159;
constexpr uint8_t space = 32;

ProgramRecord makeInitialProgram()
{
    ProgramRecord r {};

    static constexpr std::pair<int, uint8_t> nonZero[] = {
        { 0, 24 },   { 1, 49 },   { 2, 1 },    { 4, 1 },    { 6, 24 },   { 7, 51 },   { 8, 1 },    { 10, 1 },
        { 14, 2 },   { 15, 4 },   { 16, 64 },  { 20, 148 }, { 24, 1 },   { 25, 127 }, { 33, 127 }, { 38, 64 },
        { 39, 64 },  { 41, 120 }, { 42, 80 },  { 47, 80 },  { 52, 80 },  { 57, 80 },  { 63, 127 }, { 72, 127 },
        { 75, 127 }, { 78, 127 }, { 81, 127 }, { 83, 127 }, { 85, 127 }, { 87, 127 }, { 89, 127 }, { 91, 127 },
        { 96, 60 },  { 97, 100 }, { 99, 60 },  { 101, 120 }, { 102, 2 }, { 107, 1 },  { 108, 2 },  { 109, 9 },
        { 111, 5 },  { 112, 11 }, { 113, 44 }, { 114, 23 }
    };
    for (auto [offset, value] : nonZero)
        r[(size_t) offset] = value;

    const auto name = encodeProgramName ("Untitled");
    std::copy (name.begin(), name.end(), r.begin() + program::nameOffset);

    static constexpr uint8_t tail[] = { 16, 32, 64, 128, 1, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 8, 0, 0,
                                        0,  16, 0, 0, 0, 32, 0, 0, 0, 64, 0, 0, 0, 128, 0, 0, 0, 0, 1,
                                        0,  0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 8, 0, 0, 0, 16, 0, 0 };
    static_assert (std::size (tail) == program::recordSize - 200);
    std::copy (std::begin (tail), std::end (tail), r.begin() + 200);
    return r;
}
} // namespace

const ProgramRecord& initialProgram() noexcept
{
    static const ProgramRecord record = makeInitialProgram();
    return record;
}

std::array<uint8_t, program::nameLength> encodeProgramName (const juce::String& text)
{
    std::array<uint8_t, program::nameLength> bytes;
    bytes.fill (space);

    auto p = text.getCharPointer();
    for (size_t i = 0; i < bytes.size() && ! p.isEmpty(); ++i)
    {
        const auto c = p.getAndAdvance();
        bytes[i] = (c >= firstNameCode && c <= lastNameCode) ? (uint8_t) c : space;
    }
    return bytes;
}

juce::String decodeProgramName (const uint8_t* nameBytes, size_t numBytes)
{
    juce::String text;
    text.preallocateBytes (numBytes * 2);
    for (size_t i = 0; i < numBytes; ++i)
        if (nameBytes[i] != 0)
            text += juce::String::charToString ((juce::juce_wchar) nameBytes[i]);
    return text;
}

juce::MemoryBlock toBlock (const ProgramRecord& record)
{
    return { record.data(), record.size() };
}

ProgramRecord toRecord (const void* data, size_t numBytes) noexcept
{
    ProgramRecord r {};
    if (data != nullptr)
        std::memcpy (r.data(), data, std::min (numBytes, r.size()));
    return r;
}

void copyNameAndCategory (const ProgramRecord& from, ProgramRecord& to) noexcept
{
    std::copy_n (from.begin() + program::nameOffset, program::nameLength, to.begin() + program::nameOffset);
    to[(size_t) program::categoryIndex] = from[(size_t) program::categoryIndex];
}

} // namespace kelvo
