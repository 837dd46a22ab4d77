#include "model/ProgramPacking.h"

namespace kelvo
{
namespace
{
constexpr int groupSize = 7;
} // namespace

PackedProgram packProgramData (const ProgramRecord& record) noexcept
{
    PackedProgram packed {};
    size_t out = 0;
    for (size_t groupStart = 0; groupStart < record.size(); groupStart += groupSize)
    {
        const auto headerPos = out++;
        uint8_t header = 0;
        for (size_t k = 0; k < groupSize && groupStart + k < record.size(); ++k)
        {
            const auto byte = record[groupStart + k];
            header = (uint8_t) (header | ((byte >> 7) << k));
            packed[out++] = (uint8_t) (byte & 0x7f);
        }
        packed[headerPos] = header;
    }
    jassert (out == packed.size());
    return packed;
}

ProgramRecord unpackProgramData (const uint8_t* packed) noexcept
{
    ProgramRecord record {};
    size_t in = 0, outPos = 0;
    while (outPos < record.size() && in < (size_t) sysex::packedSize)
    {
        const auto header = packed[in++];
        for (size_t k = 0; k < groupSize && outPos < record.size() && in < (size_t) sysex::packedSize; ++k)
            record[outPos++] = (uint8_t) ((packed[in++] & 0x7f) | (((header >> k) & 1) << 7));
    }
    return record;
}

juce::MemoryBlock makeEditBufferDump (const ProgramRecord& record)
{
    const auto packed = packProgramData (record);
    juce::MemoryBlock dump;
    const uint8_t head[] = { sysex::start, sysex::manufacturerDsi, sysex::deviceMophoX4, sysex::editBufferDump };
    dump.append (head, sizeof (head));
    dump.append (packed.data(), packed.size());
    dump.append (&sysex::end, 1);
    return dump;
}

juce::MemoryBlock makeProgramDump (int bank, int program, const ProgramRecord& record)
{
    const auto packed = packProgramData (record);
    juce::MemoryBlock dump;
    const uint8_t head[] = { sysex::start, sysex::manufacturerDsi, sysex::deviceMophoX4, sysex::programDump,
                             (uint8_t) (bank & 0x7f), (uint8_t) (program & 0x7f) };
    dump.append (head, sizeof (head));
    dump.append (packed.data(), packed.size());
    dump.append (&sysex::end, 1);
    return dump;
}

juce::MemoryBlock makeDumpRequest (int kind, int bank, int program)
{
    juce::MemoryBlock request;
    const uint8_t head[] = { sysex::start, sysex::manufacturerDsi, sysex::deviceMophoX4, (uint8_t) kind };
    if (kind == sysex::requestProgram)
    {
        const uint8_t place[] = { (uint8_t) (bank & 0x7f), (uint8_t) (program & 0x7f) };
        request.append (head, sizeof (head));
        request.append (place, sizeof (place));
    }
    else if (kind == sysex::requestEditBuffer || kind == sysex::requestGlobals)
    {
        request.append (head, sizeof (head));
    }
    else
    {
        return {};
    }
    request.append (&sysex::end, 1);
    return request;
}

bool isMophoX4Message (const uint8_t* message, size_t size) noexcept
{
    return message != nullptr && size > (size_t) sysex::deviceOffset && message[0] == sysex::start
           && message[sysex::deviceOffset] == sysex::deviceMophoX4;
}

uint8_t deviceOf (const uint8_t* message, size_t size) noexcept
{
    return message != nullptr && size > (size_t) sysex::deviceOffset ? message[sysex::deviceOffset] : (uint8_t) 0;
}

juce::String synthNameOfDevice (uint8_t device)
{
    switch (device)
    {
        case sysex::deviceMophoX4: return "Mopho x4";
        case sysex::deviceMopho: return "Mopho";
        case sysex::deviceMophoKeyboard: return "Mopho Keyboard";
        case sysex::deviceTetra: return "Tetra";
        default: return "another synth";
    }
}

juce::String describeOtherSynthPrograms (uint8_t device, bool several)
{
    const auto known = device == sysex::deviceMopho || device == sysex::deviceMophoKeyboard || device == sysex::deviceTetra;
    const auto name = synthNameOfDevice (device);
    if (several)
        return (known ? name + " programs" : juce::String ("programs of another synth")) + ", not Mopho x4 programs";
    return (known ? "a " + name + " program" : juce::String ("a program of another synth")) + ", not a Mopho x4 program";
}

ProgramDumps splitProgramDumps (const void* data, size_t numBytes)
{
    ProgramDumps result;
    if (data == nullptr)
        return result;

    const auto* bytes = static_cast<const uint8_t*> (data);
    constexpr auto dumpSize = (size_t) sysex::programDumpSize;
    size_t pos = 0;
    while (numBytes >= dumpSize && pos <= numBytes - dumpSize)
    {
        if (bytes[pos] == sysex::start && bytes[pos + dumpSize - 1] == sysex::end)
        {
            result.dumps.append (bytes + pos, dumpSize);
            ++result.count;
            pos += dumpSize;
        }
        else
        {
            ++pos;
        }
    }
    return result;
}

} // namespace kelvo
