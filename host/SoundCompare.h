#pragma once

#include "model/ProgramRecord.h"
#include "model/SoundDiff.h"

#include <juce_events/juce_events.h>

#include <vector>

namespace kelvo
{
class MarvexAudioProcessor;
class SoundHistory;

/**
    "Compare": the synth plays either the sound being edited or the sound it came from (the sound
    before the last variation while the sound comes from one, else the stored program when the edit
    buffer came from one (asked of the synth itself for F1..F4 while they are not known to be its
    own), otherwise the sound before the current run of edits), each sent as an
    edit-buffer dump. Switching neither adds an undo step nor loses the edited sound; a change
    message goes out at every switch. Any edit while the source plays ends the comparison first and
    applies to the edited sound; so does a sound that arrives from the synth or the host.

    Message thread only.
*/
class SoundCompare final : public juce::ChangeBroadcaster
{
public:
    SoundCompare (MarvexAudioProcessor& processor, SoundHistory& history);
    ~SoundCompare() override;

    /** Whether the synth plays the source now. */
    bool isComparing() const noexcept { return comparing; }
    /** Whether the source is being asked of the synth (an F-bank program that only it knows). */
    bool isAsking() const noexcept { return asking; }
    /** Sends the source to the synth, or the edited sound back. */
    void toggle();
    /** Back to the edited sound, if the source is playing. */
    void end();

    /** The sound the edit came from, and what to call it ("U1:005 Name" or "Before Edits"). */
    ProgramRecord getSource() const;
    juce::String getSourceLabel() const;
    /** The sound being edited (kept aside while the source plays). */
    ProgramRecord getEdited() const;
    /** The parameters in which the edited sound and its source differ, with both value texts. */
    std::vector<SoundDiff::Row> getDifferences() const;

private:
    bool sourceIsOnlyOnTheSynth() const;
    void startComparing (const ProgramRecord& sourceToPlay, const juce::String& label);

    MarvexAudioProcessor& processor;
    SoundHistory& history;
    bool comparing = false, asking = false, editedWhileAsking = false;
    uint32_t askTicket = 0;
    ProgramRecord edited{}, source{};
    juce::String sourceLabel;

    JUCE_DECLARE_NON_COPYABLE (SoundCompare)
};

} // namespace kelvo
