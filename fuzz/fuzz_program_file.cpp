// FileMan: the program in a program file, and the factory set in a factory SysEx file.
#include "FuzzCheck.h"
#include "files/FileMan.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    kelvo::ProgramRecord record{};
    juce::MemoryBlock message;
    if (kelvo::FileMan::programFromBytes (data, size, record, message))
    {
        // Only a whole edit-buffer or program dump is a program, and it was taken from the input.
        FUZZ_CHECK (message.getSize() == 298 || message.getSize() == 300);
        const auto* m = static_cast<const uint8_t*> (message.getData());
        FUZZ_CHECK (m[0] == 0xf0 && m[message.getSize() - 1] == 0xf7);
        FUZZ_CHECK (m[2] == 0x29); // never another synth's
        FUZZ_CHECK (std::search (data, data + size, m, m + message.getSize()) != data + size);
    }

    auto set = std::make_unique<kelvo::FileMan::FactorySet>();
    if (kelvo::FileMan::factorySetFromBytes (data, size, *set))
        FUZZ_CHECK (size >= 512u * 300u);
    return 0;
}
