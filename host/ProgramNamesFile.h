#pragma once

#include "files/MidnamFile.h"

#include <juce_events/juce_events.h>

namespace kelvo
{
class MidiCntrState;

/**
    The synth's program names as a MIDNAM file for hosts: written once on request ("Export Program
    Names"), and, when the user asked for it, kept up to date in a file of their choosing whenever a
    name in the eight banks changes (a receive, a write, a paste, a bank file loaded), with or
    without an editor open.

    The kept file's path is a settings entry, so that the choice lasts from one run to the next.
    Whether anything changed is told by a fingerprint of the 1024 names, taken when the engine
    posts news (coalesced). Message thread only.
*/
class ProgramNamesFile final : private juce::AsyncUpdater
{
public:
    /** The settings entries: the export dialog's folder and the file kept up to date. */
    static constexpr int keptFileSetting = 36;

    explicit ProgramNamesFile (MidiCntrState& engine);
    ~ProgramNamesFile() override;

    /** The names of the eight banks as the engine knows them now. */
    midnam::BankNames currentNames() const;

    /** Writes the names into file now; false with the system's reason when it could not. */
    bool exportTo (const juce::File& file, juce::String* whyNot = nullptr) const;

    /** Keeps file up to date from now on (written at once); juce::File() stops it. */
    bool keepUpToDate (const juce::File& file, juce::String* whyNot = nullptr);
    juce::File getKeptFile() const;

    /** The engine posted news: look again, soon, whether a name changed. */
    void enginePosted() { triggerAsyncUpdate(); }
    /** Looks now (what the async update does). */
    void refreshNow();

private:
    void handleAsyncUpdate() override { refreshNow(); }
    juce::int64 fingerprint() const;
    void listen (bool shouldListen);

    struct Listener;
    MidiCntrState& engine;
    std::unique_ptr<Listener> listener;
    juce::int64 writtenFingerprint = 0;
    bool failureReported = false;
    bool listening = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProgramNamesFile)
};

} // namespace kelvo
