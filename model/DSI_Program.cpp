#include "model/DSI_Program.h"
#include "model/ProgramPacking.h"

namespace kelvo
{

DSI_Program::DSI_Program()
    : data (toBlock (initialProgram()))
{
    getName();
}

void DSI_Program::setData (const juce::MemoryBlock& bytes)
{
    data.replaceAll (bytes.getData(), juce::jmin (bytes.getSize(), (size_t) program::recordSize));
}

juce::MemoryBlock DSI_Program::getData() const
{
    return toBlock (getRecord());
}

ProgramRecord DSI_Program::getRecord() const noexcept
{
    return toRecord (data);
}

bool DSI_Program::setFromBlock (const juce::MemoryBlock& block)
{
    return setFromBlock (block.getData(), block.getSize());
}

bool DSI_Program::setFromBlock (const void* bytes, size_t numBytes)
{
    const auto* b = static_cast<const uint8_t*> (bytes);
    if (b == nullptr)
        return false;

    const auto isDump = numBytes == (size_t) sysex::editBufferDumpSize || numBytes == (size_t) sysex::programDumpSize;
    if (isDump && ! isMophoX4Message (b, numBytes))
        return false; // another synth's program: its bytes mean other parameters

    switch (numBytes)
    {
        case (size_t) program::recordSize:
            data.replaceAll (b, numBytes);
            break;
        case (size_t) sysex::editBufferDumpSize:
            data = toBlock (unpackProgramData (b + sysex::editBufferDataOffset));
            break;
        case (size_t) sysex::programDumpSize:
            data = toBlock (unpackProgramData (b + sysex::programDataOffset));
            break;
        default:
            return false;
    }
    getName();
    return true;
}

juce::MemoryBlock DSI_Program::makeEditBufferDump()
{
    dump = kelvo::makeEditBufferDump (getRecord());
    return dump;
}

void DSI_Program::setName (const juce::String& text)
{
    auto record = getRecord();
    const auto bytes = encodeProgramName (text);
    std::copy (bytes.begin(), bytes.end(), record.begin() + program::nameOffset);
    data = toBlock (record);
    name = decodeProgramName (bytes.data(), bytes.size());
}

juce::String DSI_Program::getName()
{
    const auto record = getRecord();
    name = decodeProgramName (record.data() + program::nameOffset, program::nameLength);
    return name;
}

} // namespace kelvo
