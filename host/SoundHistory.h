#pragma once

#include "link/TransferListener.h"
#include "model/EditHistory.h"

#include <juce_events/juce_events.h>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace kelvo
{
class MarvexAudioProcessor;
class MidiCntrState;

/**
    Undo and redo for one plug-in instance.

    Every edit that goes through the processor's editor path is recorded: the parameters touched
    while their host gestures are open make one step (a drag is one step, an envelope handle that
    moves two parameters too), named after what was changed. A sound that replaces the edit buffer as
    a whole (a program chosen here or on the synth, "Recv", paste, a library entry, a variation) is
    one step, found from the edit buffer's changes when nobody recorded it first. A store into the
    synth's program memory keeps the program it replaced, so that its undo puts that back in the
    synth and in the local bank. So does a transmission of local banks: it keeps what the synth was
    known to hold (the local banks as loaded, then what was received, written or transmitted), and
    its undo transmits that back. It hears of every transfer from the engine, with or without an
    editor open.

    Undoing sends what it restores to the synth (the parameters as NRPN, a whole sound as an
    edit-buffer dump) and tells the host, each parameter inside a gesture of its own.

    Threads: message thread only. Host automation and the MIDI thread write the edit buffer without
    coming here; every change reaches the history as a change message (EditBufferChanges), which
    keeps its copy of the edit buffer fresh so that a whole-sound step knows what was there before.
    A timer runs only while a new sound settles.
*/
class SoundHistory final : public juce::ChangeBroadcaster,
                           private TransferListener,
                           private juce::ChangeListener,
                           private juce::Timer
{
public:
    explicit SoundHistory (MarvexAudioProcessor& processor, size_t maxSteps = EditHistory::defaultMaxSteps);
    ~SoundHistory() override;

    //==============================================================================
    // What the processor reports

    /** A parameter is about to change on the editor path (the edit buffer still holds before);
        its gesture is open until gestureEnded. */
    void parameterEdited (int index, int before, int after);
    /** The gesture of a parameter closed: when none of the step's gestures is left open, the step is done. */
    void gestureEnded (int index);
    /** The host restored a state: the steps before it belong to another sound. */
    void forgetAll();

    //==============================================================================
    // Whole-sound changes

    /** The name the next whole-sound change found from the edit buffer gets (one that arrives later,
        such as the answer to "Recv"). It is forgotten after a few seconds. */
    void nameNextSound (const juce::String& label);
    /** An edit from the editor is about to be made: whatever plays in place of the edited sound
        (a comparison) gives it back first, so that the edit applies to it. True when it did. */
    bool aboutToEdit();
    /** Runs a change that replaces the edit buffer as one step with this name. */
    void recordSoundChange (const juce::String& label, const std::function<void()>& change);
    /** Makes a variation of the edited sound (made by `make` from it) the edit buffer, sends it
        to the synth and tells the host; one step. "Compare" then plays the sound before it. */
    void applyVariation (const juce::String& label, const std::function<ProgramRecord (const ProgramRecord&)>& make);
    /** Makes a sound the edit buffer, sends it to the synth as an edit-buffer dump and tells the
        host; one step. */
    void applySound (const ProgramRecord& sound, const juce::String& label);
    /** Runs a change of the plug-in's preset bank (slots loaded, a slot overwritten) as one step
        that keeps the slots it replaced as well as the sound before it. */
    void recordPresetSlots (const juce::String& label, const std::function<void()>& change);
    /** Runs a store into program memory of the synth (user bank, program) as one step that keeps
        what it replaced: read from the synth first (the write then follows when it has arrived, and
        never when it does not come), unless it was read since it was last written there. write
        may run later, so it must hold what it writes. */
    void recordProgramWrite (int bank, int program, const juce::String& label,
                             const std::function<void()>& write);
    //==============================================================================
    // Transmissions of local banks into the synth's program memory, as the engine tells them.

    /** Called when an undo or redo has started a transmission (for the editor's progress display). */
    std::function<void()> onTransmissionStarted;
    /** What the synth is known to hold at a program of a user bank (kept by the synth memory);
        nullptr when that is not known. */
    const ProgramRecord* getKnownSynthProgram (int bank, int program) const;

    /** Records a step for a variation that was applied already, from its first sound to the
        current edit buffer (a move of a morph, made of many small moves); variedFrom is the sound
        the variation began from, which "Compare" then plays. */
    void recordVariationStep (const juce::String& label, const ProgramRecord& before,
                              const ProgramRecord& variedFrom);
    /** Replaces the edit buffer without a step (comparing, the moves of a morph), sending the sound
        as an edit-buffer dump when asked. */
    void replaceQuietly (const ProgramRecord& sound, bool sendToSynth);

    /** Looks for a whole-sound change that nobody recorded (what a change of the edit buffer
        leads to once it has settled). */
    void checkForNewSound();

    //==============================================================================
    bool canUndo() const noexcept { return history.canUndo(); }
    bool canRedo() const noexcept { return history.canRedo(); }
    juce::String getUndoLabel() const { return history.getUndoLabel(); }
    juce::String getRedoLabel() const { return history.getRedoLabel(); }
    /** Takes the next step back or forward; false when there is none, or when it is a transmission
        and a transfer is running (the synth cannot take two at once). */
    bool undo();
    bool redo();
    const EditHistory& getSteps() const noexcept { return history; }
    /** Called before an edit, an undo or a redo changes anything (a comparison gives the edited
        sound back); true when the edit buffer was given back. */
    std::function<bool()> beforeEdit;
    /** Called when the sound changed from elsewhere (a program chosen on the synth or by the host,
        the synth's knobs, host automation): a comparison that set the edited sound aside ends and
        returns it, since that, and not the sound compared with, is what the change applies to. */
    std::function<std::optional<ProgramRecord>()> takeSetAsideSound;

    /** The sound as it was after the last whole-sound change: what the current run of edits started from. */
    const ProgramRecord& getRunStart() const noexcept { return runStart; }
    /** The sound before the last variation (randomize, mutate, a morph) and its step's name, while
        the sound still comes from that variation; nullptr otherwise. */
    const ProgramRecord* getVariationSource() const noexcept { return variationSource ? &*variationSource : nullptr; }
    juce::String getVariationLabel() const { return variationLabel; }

private:
    /** Transmitting user banks firstBank..lastBank starts: what the synth held there is kept for
        the step that the transmission makes when it completes. */
    void transmissionStarting (int firstBank, int lastBank) override;
    void transferEventArrived (int32_t code) override;
    /** The transfer ended (completed or cancelled): a transmission not complete by now is no step. */
    void transferEnded() override;
    /** A transfer stopped at this program: whether the synth got it is not known. */
    void transferFailed (int bank, int program);
    /** A transfer completed; a transmission started by the user becomes one step. */
    void transferFinished();

    /** The edit buffer changed (EditBufferChanges). */
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    /** A restored project is another sound with a history of its own: true when one came. */
    bool forgetAfterRestore();
    void timerCallback() override;
    void closeOpenStep();
    /** Before a step of its own: a new sound that came meanwhile, and the open edit, become steps first. */
    void finishWhatCameBefore();
    void writeProgramNow (int bank, int program, const juce::String& label, const std::function<void()>& write);
    /** Ends a comparison that set the edited sound aside, and returns that sound. */
    std::optional<ProgramRecord> takeSetAside();
    void add (EditHistory::Step step);
    void apply (const EditHistory::Step& step, bool undoing);
    /** The edit buffer and the history's copy of it agree again (after a change made here). */
    void catchUp();
    ProgramRecord currentSound() const;

    MarvexAudioProcessor& processor;
    MidiCntrState& engine;
    EditHistory history;

    // The step whose gestures are still open: each touched byte with its first and latest value.
    struct OpenByte
    {
        bool touched = false, gestureOpen = false;
        uint8_t before = 0, latest = 0;
    };
    std::array<OpenByte, 256> open{};
    std::vector<int> openOrder; // touched bytes, in the order they were first touched

    ProgramRecord watched{}, runStart{};
    std::optional<ProgramRecord> variationSource;
    juce::String variationLabel;
    uint32_t watchedGeneration = 0, seenRestores = 0, settlingGeneration = 0;
    juce::String nextSoundLabel;
    juce::uint32 nextSoundLabelUntil = 0;
    bool applying = false;

    // A transmission started by the editor and not yet complete: the step it will make.
    struct PendingTransmission
    {
        bool active = false, failed = false, priorKnown = true;
        juce::String label;
        std::vector<EditHistory::MemoryWrite> programs;
    } pending;

    JUCE_DECLARE_NON_COPYABLE (SoundHistory)
};

} // namespace kelvo
