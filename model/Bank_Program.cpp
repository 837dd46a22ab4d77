#include "model/Bank_Program.h"
#include "model/BankImage.h"
#include "model/DSI_Program.h"
#include "model/ProgramPacking.h"
#include "model/SynthBanks.h"

namespace kelvo
{
namespace
{
constexpr auto relaxed = std::memory_order_relaxed;

// Byte position of program n, kept inside 0..bankSize so that no index can overflow.
int programStart (int n) noexcept
{
    return juce::jlimit (0, program::programsPerBank, n) * program::recordSize;
}
} // namespace

Bank_Program::Bank_Program (const juce::String& name)
    : bankName (name),
      programs (new std::atomic<uint8_t>[(size_t) program::bankSize])
{
    for (int i = 0; i < program::bankSize; ++i)
        programs[(size_t) i].store (0, relaxed);
    for (auto& b : editBuffer)
        b.store (0, relaxed);
}

Bank_Program::~Bank_Program() = default;

void Bank_Program::initialise()
{
    const auto& record = initialProgram();
    for (int n = 0; n < program::programsPerBank; ++n)
        for (int i = 0; i < program::recordSize; ++i)
            programs[(size_t) (n * program::recordSize + i)].store (record[(size_t) i], relaxed);
    size.store (program::bankSize, std::memory_order_release);
    setEditBuffer (record);
}

juce::MemoryBlock Bank_Program::getProgram (int n) const
{
    const auto start = programStart (n);
    const auto end = juce::jmin (getSize(), start + program::recordSize);
    juce::MemoryBlock block ((size_t) juce::jmax (0, end - start));
    auto* dest = static_cast<uint8_t*> (block.getData());
    for (int i = start; i < end; ++i)
        dest[i - start] = programs[(size_t) i].load (relaxed);
    return block;
}

ProgramRecord Bank_Program::getProgramRecord (int n) const noexcept
{
    ProgramRecord r {};
    const auto start = programStart (n);
    const auto end = juce::jmin (getSize(), start + program::recordSize);
    for (int i = start; i < end; ++i)
        r[(size_t) (i - start)] = programs[(size_t) i].load (relaxed);
    return r;
}

void Bank_Program::setProgram (int n, const void* bytes, size_t numBytes) noexcept
{
    if (bytes == nullptr || n < 0)
        return;

    const auto* src = static_cast<const uint8_t*> (bytes);
    auto currentSize = getSize();
    auto pos = programStart (n);

    for (size_t i = 0; i < numBytes; ++i, ++pos)
    {
        if (pos < currentSize)
        {
            programs[(size_t) pos].store (src[i], relaxed);
        }
        else if (currentSize < program::bankSize)
        {
            // Past the end: the byte is appended, so a bank being rebuilt grows program by program.
            programs[(size_t) currentSize].store (src[i], relaxed);
            ++currentSize;
        }
    }
    size.store (currentSize, std::memory_order_release);
}

juce::String Bank_Program::getProgramName (int n) const
{
    const auto r = getProgramRecord (n);
    return decodeProgramName (r.data() + program::nameOffset, program::nameLength);
}

void Bank_Program::setProgramName (int n, const juce::String& text) noexcept
{
    if (n < 0 || n >= program::programsPerBank)
        return;
    const auto bytes = encodeProgramName (text);
    const auto start = n * program::recordSize + program::nameOffset;
    for (size_t i = 0; i < bytes.size(); ++i)
        programs[(size_t) start + i].store (bytes[i], relaxed);
    if (getSize() < start + program::nameLength)
        size.store (juce::jmax (getSize(), start + program::nameLength), std::memory_order_release);
}

int Bank_Program::getProgramByte (int n, int offset) const noexcept
{
    if (n < 0 || offset < 0 || offset >= program::recordSize)
        return 0;
    const auto pos = programStart (n) + offset;
    return pos < getSize() ? programs[(size_t) pos].load (relaxed) : 0;
}

juce::MemoryBlock Bank_Program::getAllPrograms() const
{
    juce::MemoryBlock block ((size_t) program::bankSize, true);
    auto* dest = static_cast<uint8_t*> (block.getData());
    const auto end = getSize();
    for (int i = 0; i < end; ++i)
        dest[i] = programs[(size_t) i].load (relaxed);
    return block;
}

juce::MemoryBlock Bank_Program::getEditBuffer() const
{
    return toBlock (getEditBufferRecord());
}

ProgramRecord Bank_Program::getEditBufferRecord() const noexcept
{
    ProgramRecord r;
    for (size_t i = 0; i < r.size(); ++i)
        r[i] = editBuffer[i].load (relaxed);
    return r;
}

void Bank_Program::setEditBuffer (const void* bytes, size_t numBytes) noexcept
{
    const auto* src = static_cast<const uint8_t*> (bytes);
    for (size_t i = 0; i < editBuffer.size(); ++i)
        editBuffer[i].store (src != nullptr && i < numBytes ? src[i] : 0, relaxed);
    editBufferGeneration.fetch_add (1, std::memory_order_release);
    if (onEditBufferReplaced)
        onEditBufferReplaced();
    if (auto* o = observer.load (std::memory_order_acquire))
        o->editBufferChanged();
}

juce::String Bank_Program::getEditBufferName() const
{
    const auto r = getEditBufferRecord();
    return decodeProgramName (r.data() + program::nameOffset, program::nameLength);
}

uint8_t Bank_Program::getEditBufferByte (int offset) const noexcept
{
    return offset >= 0 && offset < program::recordSize ? editBuffer[(size_t) offset].load (relaxed) : 0;
}

void Bank_Program::setEditBufferByte (int offset, uint8_t value) noexcept
{
    if (offset < 0 || offset >= program::recordSize)
        return;
    editBuffer[(size_t) offset].store (value, relaxed);
    if (auto* o = observer.load (std::memory_order_acquire))
        o->editBufferChanged();
}

juce::MemoryBlock Bank_Program::storeEditBuffer (int n)
{
    const auto record = getEditBufferRecord();
    setProgram (n, record);
    return toBlock (record);
}

//==============================================================================
void Bank_Program::loadFactoryBank (int n)
{
    if (n < 0 || n >= synthbanks::numFactoryBanks)
        return;
    loadFromImageBlock (factoryImageData(), factoryImageSize(), bankimage::blockOffset (bankimage::factoryHeaderSize, n));
}

void Bank_Program::loadFromDataImage (int n, const void* image, size_t numBytes)
{
    if (n < 0 || n >= synthbanks::numUserBanks)
        return;
    loadFromImageBlock (image, numBytes, bankimage::blockOffset (bankimage::dataFileHeaderSize, n));
}

void Bank_Program::loadFromImageBlock (const void* image, size_t numBytes, size_t offset) noexcept
{
    if (image == nullptr || numBytes < offset + (size_t) program::bankSize)
        return;
    const auto* block = static_cast<const uint8_t*> (image) + offset;
    for (int n = 0; n < program::programsPerBank; ++n)
        setProgram (n, block + n * program::recordSize, (size_t) program::recordSize);
}

void Bank_Program::loadFromDumps (const void* block, size_t numBytes)
{
    if (block == nullptr)
        return;

    const auto* bytes = static_cast<const uint8_t*> (block);
    const auto count = juce::jmin (numBytes / (size_t) sysex::programDumpSize, (size_t) program::programsPerBank);

    DSI_Program scratch;
    for (size_t i = 0; i < count; ++i)
    {
        if (scratch.setFromBlock (bytes + i * (size_t) sysex::programDumpSize, (size_t) sysex::programDumpSize))
            setProgram ((int) i, scratch.getRecord());
        else if ((int) i * program::recordSize >= getSize())
            setProgram ((int) i, initialProgram()); // a refused dump keeps its place: the next stay at their numbers
    }
}

juce::MemoryBlock Bank_Program::makeEditBufferDumpOf (int n) const
{
    return makeEditBufferDump (getProgramRecord (n));
}

} // namespace kelvo
