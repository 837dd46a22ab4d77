#include "instrument/SimulatorMemoryFile.h"
#include "files/SafeFileRead.h"
#include "files/SafeFileWrite.h"
#include "instrument/MophoSimulator.h"

namespace kelvo
{

SimulatorMemoryFile::SimulatorMemoryFile (const juce::File& f) : file (f) {}

juce::String SimulatorMemoryFile::load (MophoSimulator& simulator)
{
    const auto found = readFileSafely (file, maxFileSize);
    if (found.status == FileReadResult::Status::missing)
        return {};

    const auto loaded = simulator.loadMemory (found.bytes.getData(), found.bytes.getSize());
    if (found.isOk() && loaded)
        return {};

    const auto problem =
        found.isDamaged() ? describeReadProblem (found) : FileProblem{"is damaged", "damaged"};
    const auto told =
        "The simulator's memory file " + problem.words + "; " +
        (loaded ? "its memory was read from the file's start." : "it starts with the factory banks.");

    const auto aside = setFileAside (file, problem.nameTag);
    if (aside == juce::File())
    {
        keepAsItIs = true;
        return told + " It could not be moved aside, so it is not written over.";
    }
    return told + " The old file was kept as \"" + aside.getFullPathName() + "\".";
}

juce::String SimulatorMemoryFile::save (const MophoSimulator& simulator)
{
    if (keepAsItIs)
        return "the old memory file could not be moved aside";
    juce::String whyNot;
    writeFileSafely (file, simulator.saveMemory(), &whyNot);
    return whyNot;
}

} // namespace kelvo
