#include "host/SoundHistory.h"
#include "host/EditBufferChanges.h"
#include "host/MarvexAudioProcessor.h"
#include "link/BankTransfer.h"
#include "link/SynthMemory.h"
#include "model/ProgramPacking.h"

namespace kelvo
{
namespace
{
// The ticks between which a new sound must stay the same to be a step (see timerCallback).
constexpr int settleIntervalMs = 50;
// How long a name given to the next sound waits for it (the answer to "Recv", say).
constexpr juce::uint32 nextSoundLabelMs = 3000;
// Up to this many parameters go back to the synth as NRPN; more as one edit-buffer dump.
constexpr size_t maxNrpnChanges = 12;

juce::String nameOfByte (int index)
{
    return index < program::numHostParameters && index < program::nameOffset ? ParameterTable::getName (index)
                                                                             : juce::String ("Name");
}
} // namespace

SoundHistory::SoundHistory (MarvexAudioProcessor& p, size_t maxSteps)
    : processor (p), engine (p.getEngine()), history (maxSteps)
{
    openOrder.reserve (open.size());
    catchUp();
    runStart = watched;
    seenRestores = processor.getStateRestoreCount();
    processor.getEditBufferChanges().addChangeListener (this);
    engine.addTransferListener (this);
}

SoundHistory::~SoundHistory()
{
    // A write waiting for its backup would come back to a history that is gone.
    if (engine.getTransfer().isBackingUp())
        engine.getTransfer().end();
    engine.removeTransferListener (this);
    processor.getEditBufferChanges().removeChangeListener (this);
    stopTimer();
}

ProgramRecord SoundHistory::currentSound() const
{
    return processor.getPluginBank().getEditBufferRecord();
}

void SoundHistory::catchUp()
{
    watched = currentSound();
    watchedGeneration = processor.getPluginBank().getEditBufferGeneration();
}

void SoundHistory::add (EditHistory::Step step)
{
    history.add (std::move (step));
    sendChangeMessage();
}

//==============================================================================
void SoundHistory::parameterEdited (int index, int before, int after)
{
    if (applying || index < 0 || index >= (int)open.size())
        return;

    if (processor.getPluginBank().getEditBufferGeneration() != watchedGeneration)
        checkForNewSound();

    auto& byte = open[(size_t)index];
    if (!byte.touched)
    {
        byte.touched = true;
        byte.before = (uint8_t)before;
        openOrder.push_back (index);
    }
    byte.latest = (uint8_t)after;
    byte.gestureOpen = true;
}

void SoundHistory::gestureEnded (int index)
{
    if (applying || index < 0 || index >= (int)open.size() || !open[(size_t)index].touched)
        return;

    open[(size_t)index].gestureOpen = false;
    for (auto i : openOrder)
        if (open[(size_t)i].gestureOpen)
            return;
    closeOpenStep();
}

void SoundHistory::closeOpenStep()
{
    if (openOrder.empty())
        return;

    EditHistory::Step step;
    for (auto i : openOrder)
    {
        const auto& byte = open[(size_t)i];
        if (byte.before != byte.latest)
            step.changes.push_back ({(uint8_t)i, byte.before, byte.latest});
    }

    if (!step.changes.empty())
    {
        // Named after what was changed; the name's bytes count as one thing.
        juce::StringArray things;
        for (auto& c : step.changes)
            things.addIfNotAlreadyThere (nameOfByte (c.index));
        step.label = things[0];
        if (things.size() > 1)
            step.label << " and " << (things.size() - 1) << " more";
    }

    for (auto i : openOrder)
        open[(size_t)i] = {};
    openOrder.clear();

    if (!step.changes.empty())
        add (std::move (step));
}

void SoundHistory::forgetAll()
{
    for (auto i : openOrder)
        open[(size_t)i] = {};
    openOrder.clear();
    history.clear();
    catchUp();
    runStart = watched;
    variationSource.reset();
    sendChangeMessage();
}

//==============================================================================
void SoundHistory::nameNextSound (const juce::String& label)
{
    nextSoundLabel = label;
    nextSoundLabelUntil = juce::Time::getMillisecondCounter() + nextSoundLabelMs;
}

bool SoundHistory::aboutToEdit()
{
    return !applying && beforeEdit != nullptr && beforeEdit();
}

std::optional<ProgramRecord> SoundHistory::takeSetAside()
{
    return takeSetAsideSound != nullptr ? takeSetAsideSound() : std::nullopt;
}

void SoundHistory::finishWhatCameBefore()
{
    checkForNewSound();
    closeOpenStep();
}

void SoundHistory::checkForNewSound()
{
    const auto generation = processor.getPluginBank().getEditBufferGeneration();
    const auto now = currentSound();
    if (generation == watchedGeneration)
    {
        if (now != watched)
            if (const auto edited = takeSetAside())
            {
                // The synth's knobs or the host moved something while the compared sound played:
                // the move belongs to the edited sound, which comes back with it.
                const auto moved = EditHistory::applied (*edited, EditHistory::changesBetween (watched, now), false);
                processor.getPluginBank().setEditBuffer (moved);
                engine.postEvent (event::editBufferReplaced);
                engine.sendEditBufferToSynth();
                catchUp();
                return;
            }
        // Host automation and the synth's knobs change bytes without a new sound: keep up with
        // them, so that the next whole-sound step knows what it replaced.
        watched = now;
        return;
    }

    closeOpenStep();

    // A new sound that came while a comparison played replaces the edited sound.
    if (const auto edited = takeSetAside())
        watched = *edited;

    EditHistory::Step step;
    step.wholeSound = true;
    step.changes = EditHistory::changesBetween (watched, now);
    const auto labelled =
        nextSoundLabel.isNotEmpty() && (int)(nextSoundLabelUntil - juce::Time::getMillisecondCounter()) > 0;
    step.label =
        labelled ? nextSoundLabel : "Program " + processor.getPluginBank().getEditBufferName().trimEnd();
    if (labelled)
        nextSoundLabel.clear();

    watched = now;
    watchedGeneration = generation;
    runStart = now;
    variationSource.reset();
    if (!step.changes.empty())
        add (std::move (step));
}

void SoundHistory::recordSoundChange (const juce::String& label, const std::function<void()>& change)
{
    aboutToEdit();
    finishWhatCameBefore();

    const auto before = currentSound();
    change();
    const auto after = currentSound();

    catchUp();
    runStart = after;
    variationSource.reset();
    auto changes = EditHistory::changesBetween (before, after);
    if (!changes.empty())
        add ({label, true, std::move (changes), std::nullopt, {}});
}

void SoundHistory::applySound (const ProgramRecord& sound, const juce::String& label)
{
    recordSoundChange (label,
                       [&]
                       {
                           processor.getPluginBank().setEditBuffer (sound);
                           engine.forgetSynthLocation();
                           engine.postEvent (event::editBufferReplaced);
                           engine.sendEditBufferToSynth();
                       });
}

void SoundHistory::applyVariation (const juce::String& label,
                                   const std::function<ProgramRecord (const ProgramRecord&)>& make)
{
    aboutToEdit();
    const auto before = currentSound();
    applySound (make (before), label);
    variationSource = before;
    variationLabel = label;
}

void SoundHistory::recordPresetSlots (const juce::String& label, const std::function<void()>& change)
{
    aboutToEdit();
    finishWhatCameBefore();

    auto& slots = processor.getPluginBank();
    std::vector<ProgramRecord> slotsBefore;
    slotsBefore.reserve ((size_t)program::programsPerBank);
    for (int n = 0; n < program::programsPerBank; ++n)
        slotsBefore.push_back (slots.getProgramRecord (n));
    const auto before = currentSound();

    change();

    catchUp();
    EditHistory::Step step{label, true, EditHistory::changesBetween (before, watched), std::nullopt, {}};
    for (int n = 0; n < program::programsPerBank; ++n)
        if (const auto now = slots.getProgramRecord (n); now != slotsBefore[(size_t)n])
            step.presetSlots.push_back ({n, slotsBefore[(size_t)n], now});
    if (step.changes.empty() && step.presetSlots.empty())
        return;
    runStart = watched;
    variationSource.reset();
    add (std::move (step));
}

void SoundHistory::recordProgramWrite (int bank, int program, const juce::String& label,
                                       const std::function<void()>& write)
{
    if (engine.getSynthBank (bank) == nullptr || program < 0 || program >= program::programsPerBank)
        return;

    aboutToEdit();
    // What the synth holds there is read first, unless it was read since it was last written: the
    // step keeps that, not the local copy, which is only assumed to match.
    engine.getTransfer().backUp ({{bank, program}},
                                 [this, bank, program, label, write] { writeProgramNow (bank, program, label, write); });
}

void SoundHistory::writeProgramNow (int bank, int program, const juce::String& label,
                                    const std::function<void()>& write)
{
    auto* target = engine.getSynthBank (bank);
    finishWhatCameBefore();

    EditHistory::MemoryWrite memory;
    memory.bank = bank;
    memory.program = program;
    const auto* known = engine.getSynthMemory().getKnownProgram (bank, program);
    memory.replaced = known != nullptr ? *known : target->getProgramRecord (program);
    const auto before = currentSound();

    write();

    memory.written = target->getProgramRecord (program);
    engine.getSynthMemory().setKnownProgram (bank, program, memory.written);
    catchUp();
    add ({label, false, EditHistory::changesBetween (before, watched), memory, {}});
}

void SoundHistory::recordVariationStep (const juce::String& label, const ProgramRecord& before,
                                        const ProgramRecord& variedFrom)
{
    closeOpenStep();
    catchUp();
    runStart = watched;
    variationSource = variedFrom;
    variationLabel = label;
    auto changes = EditHistory::changesBetween (before, watched);
    if (!changes.empty())
        add ({label, true, std::move (changes), std::nullopt, {}});
}

void SoundHistory::replaceQuietly (const ProgramRecord& sound, bool sendToSynth)
{
    finishWhatCameBefore();
    processor.getPluginBank().setEditBuffer (sound);
    engine.postEvent (event::editBufferReplaced);
    if (sendToSynth)
        engine.sendEditBufferToSynth();
    catchUp();
}

//==============================================================================
bool SoundHistory::undo()
{
    if (history.canUndo() || !openOrder.empty())
        aboutToEdit();
    finishWhatCameBefore();
    if (const auto* next = history.nextUndo();
        next != nullptr && !next->transmitted.empty() && engine.getTransferMode() != BankTransfer::idle)
        return false;
    const auto* step = history.undo();
    if (step == nullptr)
        return false;
    apply (*step, true);
    sendChangeMessage();
    return true;
}

bool SoundHistory::redo()
{
    if (history.canRedo())
        aboutToEdit();
    finishWhatCameBefore();
    if (const auto* next = history.nextRedo();
        next != nullptr && !next->transmitted.empty() && engine.getTransferMode() != BankTransfer::idle)
        return false;
    const auto* step = history.redo();
    if (step == nullptr)
        return false;
    apply (*step, false);
    sendChangeMessage();
    return true;
}

void SoundHistory::apply (const EditHistory::Step& step, bool undoing)
{
    const juce::ScopedValueSetter<bool> quiet (applying, true);

    if (step.write.has_value())
    {
        // The synth's program memory first: the program that was there before goes back.
        const auto& memory = *step.write;
        const auto& record = undoing ? memory.replaced : memory.written;
        if (auto* bank = engine.getSynthBank (memory.bank))
        {
            engine.sendSysEx (makeProgramDump (memory.bank, memory.program, record));
            bank->setProgram (memory.program, record);
            engine.bankContentsChanged();
            engine.getSynthMemory().setKnownProgram (memory.bank, memory.program, record);
        }
    }

    if (!step.transmitted.empty())
    {
        // The local banks take the programs back, and the same programs go to the synth again,
        // paced like the transmission was; the synth is known to hold them as each goes out.
        std::vector<BankTransfer::Location> programs;
        programs.reserve (step.transmitted.size());
        for (const auto& w : step.transmitted)
            if (auto* bank = engine.getSynthBank (w.bank))
            {
                bank->setProgram (w.program, undoing ? w.replaced : w.written);
                programs.push_back ({w.bank, w.program});
            }
        engine.bankContentsChanged();
        engine.getTransfer().transmit (std::move (programs));
        if (onTransmissionStarted != nullptr)
            onTransmissionStarted();
    }

    if (!step.presetSlots.empty())
    {
        // The slots first: the sound that follows is the one the current slot held then.
        auto& slots = processor.getPluginBank();
        for (const auto& w : step.presetSlots)
            slots.setProgram (w.slot, undoing ? w.replaced : w.written);
        processor.updateHostDisplay (juce::AudioProcessor::ChangeDetails().withProgramChanged (true));
    }

    const auto valueOf = [undoing] (const EditHistory::ByteChange& c)
    { return undoing ? c.before : c.after; };

    if (step.wholeSound)
    {
        auto sound = EditHistory::applied (currentSound(), step.changes, undoing);
        processor.getPluginBank().setEditBuffer (sound);
        engine.forgetSynthLocation();
        engine.postEvent (event::editBufferReplaced);
        engine.sendEditBufferToSynth();
        runStart = sound;
        variationSource.reset();
        // The host hears every restored value inside a gesture, so its automation follows.
        for (const auto& c : step.changes)
            if (c.index < program::numHostParameters)
                processor.setParameterFromEditor (c.index, valueOf (c), true, false);
    }
    else
    {
        const auto asDump = step.changes.size() > maxNrpnChanges;
        for (const auto& c : step.changes)
            processor.setParameterFromEditor (c.index, valueOf (c), true, !asDump);
        if (asDump)
            engine.sendEditBufferToSynth();
    }

    catchUp();
}

//==============================================================================
const ProgramRecord* SoundHistory::getKnownSynthProgram (int bank, int program) const
{
    return engine.getSynthMemory().getKnownProgram (bank, program);
}

void SoundHistory::transmissionStarting (int firstBank, int lastBank)
{
    pending = {};
    pending.active = true;
    pending.label = firstBank == lastBank ? "Transmit U" + juce::String (firstBank + 1)
                                          : juce::String ("Transmit All Banks");
    for (int b = firstBank; b <= lastBank; ++b)
    {
        const auto* bank = engine.getSynthBank (b);
        for (int n = 0; n < program::programsPerBank && bank != nullptr; ++n)
        {
            const auto* known = getKnownSynthProgram (b, n);
            const auto sent = bank->getProgramRecord (n);
            if (known == nullptr)
                pending.priorKnown = false;
            else if (*known != sent)
                pending.programs.push_back ({b, n, *known, sent});
        }
    }
}

void SoundHistory::transferEventArrived (int32_t code)
{
    if (event::isKind (code, event::bankTransferProgress) || event::isKind (code, event::programDumpArrived))
    {
        // A program the synth sent, on its own or to a receive, is what it holds: read, not assumed.
        const auto [bank, program] = event::bankProgramOf (code);
        const auto read = event::isKind (code, event::programDumpArrived)
                          || (engine.getTransferMode() != BankTransfer::idle
                              && engine.getTransferMode() < BankTransfer::transmitBank);
        engine.getSynthMemory().takeLocalProgramAsKnown (bank, program, read);
    }
    else if (event::isKind (code, event::bankTransferFailed))
    {
        const auto [bank, program] = event::bankProgramOf (code);
        transferFailed (bank, program);
    }
    else if (event::isKind (code, event::bankTransferFinished))
    {
        transferFinished();
    }
}

void SoundHistory::transferFailed (int bank, int program)
{
    pending.failed = true;
    // A transmission that stopped here may have left this program half written.
    if (engine.getTransferMode() >= BankTransfer::transmitBank)
        engine.getSynthMemory().forgetKnownProgram (bank, program);
}

void SoundHistory::transferFinished()
{
    // Only a transmission that reached its end is a step: a part sent is not something to undo
    // as a whole. Nor is one whose earlier contents are not known: its undo could not restore them.
    if (pending.active && !pending.failed && pending.priorKnown && !pending.programs.empty())
    {
        EditHistory::Step step;
        step.label = pending.label;
        step.transmitted = std::move (pending.programs);
        add (std::move (step));
    }
    pending = {};
}

void SoundHistory::transferEnded()
{
    pending = {};
}

bool SoundHistory::forgetAfterRestore()
{
    const auto restores = processor.getStateRestoreCount();
    if (restores == seenRestores)
        return false;
    seenRestores = restores;
    stopTimer();
    forgetAll();
    return true;
}

void SoundHistory::changeListenerCallback (juce::ChangeBroadcaster*)
{
    if (forgetAfterRestore())
        return;

    // Bytes written (host automation, the synth's knobs) are kept up with at once; a new sound
    // waits until it has settled.
    if (processor.getPluginBank().getEditBufferGeneration() == watchedGeneration)
        checkForNewSound();
    else if (! isTimerRunning())
        startTimer (settleIntervalMs);
}

void SoundHistory::timerCallback()
{
    if (forgetAfterRestore())
        return;

    // A sound can arrive in parts: the synth's bank select gives one program, its program change
    // a moment later the one the user chose. A step is made once the edit buffer has stayed the
    // same from one tick to the next, so that the part on the way is no step of its own.
    const auto generation = processor.getPluginBank().getEditBufferGeneration();
    if (generation != watchedGeneration && generation != settlingGeneration)
    {
        settlingGeneration = generation;
        return;
    }
    stopTimer();
    checkForNewSound();
}

} // namespace kelvo
