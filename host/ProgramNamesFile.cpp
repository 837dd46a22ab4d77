#include "host/ProgramNamesFile.h"
#include "link/EngineEventHub.h"
#include "link/MidiCntrState.h"
#include "model/Bank_Program.h"
#include "model/ParameterTable.h"

namespace kelvo
{
struct ProgramNamesFile::Listener final : MidiCntrStateListener
{
    explicit Listener (ProgramNamesFile& o) : owner (o) {}
    void midiCntrStateChanged (MidiCntrState&) override { owner.enginePosted(); }
    ProgramNamesFile& owner;
};

ProgramNamesFile::ProgramNamesFile (MidiCntrState& e)
    : engine (e), listener (std::make_unique<Listener> (*this))
{
    if (getKeptFile() != juce::File())
    {
        listen (true);
        triggerAsyncUpdate(); // the names may have changed since the last run wrote the file
    }
}

ProgramNamesFile::~ProgramNamesFile()
{
    listen (false);
    cancelPendingUpdate();
}

void ProgramNamesFile::listen (bool shouldListen)
{
    // Only while a file is kept: an engine listener keeps the engine's news timer running.
    if (shouldListen == listening)
        return;
    listening = shouldListen;
    if (listening)
        engine.addListener (listener.get());
    else
        engine.removeListener (listener.get());
}

midnam::BankNames ProgramNamesFile::currentNames() const
{
    midnam::BankNames names;
    for (int b = 0; b < synthbanks::numSynthBanks; ++b)
        if (const auto* bank = engine.getSynthBank (b))
            for (int p = 0; p < program::programsPerBank; ++p)
                names[(size_t) b].add (bank->getProgramName (p));
    return names;
}

juce::int64 ProgramNamesFile::fingerprint() const
{
    juce::int64 hash = 0;
    for (const auto& bank : currentNames())
        hash = hash * 1000003 + bank.joinIntoString ("\n").hashCode64();
    return hash;
}

bool ProgramNamesFile::exportTo (const juce::File& file, juce::String* whyNot) const
{
    return midnam::writeFile (file, currentNames(), whyNot);
}

juce::File ProgramNamesFile::getKeptFile() const
{
    const auto path = engine.getSetting (keptFileSetting);
    return juce::File::isAbsolutePath (path) ? juce::File (path) : juce::File();
}

bool ProgramNamesFile::keepUpToDate (const juce::File& file, juce::String* whyNot)
{
    engine.setSetting (keptFileSetting, file == juce::File() ? juce::String ("0") : file.getFullPathName());
    engine.saveSettings();
    failureReported = false;
    listen (file != juce::File());
    if (file == juce::File())
        return true;
    writtenFingerprint = fingerprint();
    return exportTo (file, whyNot);
}

void ProgramNamesFile::refreshNow()
{
    const auto file = getKeptFile();
    if (file == juce::File())
        return;
    const auto now = fingerprint();
    if (now == writtenFingerprint && file.existsAsFile())
        return;

    juce::String why;
    if (exportTo (file, &why))
    {
        writtenFingerprint = now;
        failureReported = false;
    }
    else if (! std::exchange (failureReported, true))
    {
        engine.postNotice ("Could not update the program names in " + file.getFullPathName() + ": " + why);
    }
}

} // namespace kelvo
