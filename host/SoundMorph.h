#pragma once

#include "model/ProgramRecord.h"

#include <juce_events/juce_events.h>

#include <vector>

namespace kelvo
{
class MarvexAudioProcessor;
class SoundHistory;
class SoundVariation;

/**
    A morph between the edit buffer and another sound, moved by a slider: each move changes the
    edit buffer at once, while the synth gets the sound at most once every sendIntervalMs (a few
    parameters as NRPN, more as an edit-buffer dump), so that it keeps up however fast the slider
    moves. The way runs from the sound that was there when the morph began to the target; each move
    of the slider, from press to release, is one undo step.

    Message thread only.
*/
class SoundMorph final : private juce::Timer
{
public:
    /** About the time an edit-buffer dump takes on the wire, and some room for the synth. */
    static constexpr int sendIntervalMs = 120;

    SoundMorph (MarvexAudioProcessor& processor, SoundHistory& history, const SoundVariation& variation);
    ~SoundMorph() override;

    /** Starts a morph from the edit buffer to target (named targetName in the undo steps). */
    void begin (const ProgramRecord& target, const juce::String& targetName);
    /** A move of the slider starts (its undo step begins here). */
    void beginMove();
    /** Moves to position 0..1 of the way. */
    void setPosition (float position);
    /** The move ends: sends what is still unsent and records the step. */
    void endMove();

    /** Whether a morph was begun and the edit buffer still holds what it made (nobody else changed
        the sound since). */
    bool isCurrent() const;
    bool isRunning() const noexcept { return running; }
    /** After an undo or redo: when the edit buffer holds a sound where a move of this morph ended (or
        its start), the morph stands there again; false otherwise. */
    bool followEditBuffer();
    float getPosition() const noexcept { return position; }
    const ProgramRecord& getTarget() const noexcept { return target; }
    juce::String getTargetName() const { return targetName; }
    /** Edit-buffer dumps and NRPN sends made so far (for tests of the pacing). */
    int getNumSends() const noexcept { return numSends; }

private:
    void timerCallback() override;
    void sendNow();

    MarvexAudioProcessor& processor;
    SoundHistory& history;
    const SoundVariation& variation;

    bool running = false, moving = false, unsent = false;
    float position = 0.0f;
    ProgramRecord from{}, target{}, sent{}, moveStart{}, made{};
    juce::String targetName;
    // Where the moves of this morph ended, so that the slider can follow undo and redo.
    struct Stop
    {
        float position;
        ProgramRecord sound;
    };
    std::vector<Stop> stops;
    static constexpr size_t maxStops = 64;
    juce::uint32 lastSendAt = 0;
    int numSends = 0;

    JUCE_DECLARE_NON_COPYABLE (SoundMorph)
};

} // namespace kelvo
