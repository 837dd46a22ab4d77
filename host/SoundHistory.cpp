#include "host/SoundHistory.h"
#include "host/MarvexAudioProcessor.h"
#include "model/ProgramPacking.h"

namespace kelvo
{
namespace
{
constexpr int watchIntervalMs = 50;
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
    startTimer (watchIntervalMs);
}

SoundHistory::~SoundHistory()
{
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
    sendChangeMessage();
}

//==============================================================================
void SoundHistory::nameNextSound (const juce::String& label)
{
    nextSoundLabel = label;
    nextSoundLabelUntil = juce::Time::getMillisecondCounter() + nextSoundLabelMs;
}

void SoundHistory::checkForNewSound()
{
    const auto generation = processor.getPluginBank().getEditBufferGeneration();
    const auto now = currentSound();
    if (generation == watchedGeneration)
    {
        // Host automation and the synth's knobs change bytes without a new sound: keep up with
        // them, so that the next whole-sound step knows what it replaced.
        watched = now;
        return;
    }

    closeOpenStep();

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
    if (!step.changes.empty())
        add (std::move (step));
}

void SoundHistory::recordSoundChange (const juce::String& label, const std::function<void()>& change)
{
    checkForNewSound();
    closeOpenStep();

    const auto before = currentSound();
    change();
    const auto after = currentSound();

    catchUp();
    runStart = after;
    auto changes = EditHistory::changesBetween (before, after);
    if (!changes.empty())
        add ({label, true, std::move (changes), std::nullopt});
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

void SoundHistory::recordProgramWrite (int bank, int program, const juce::String& label,
                                       const std::function<void()>& write)
{
    auto* target = engine.getSynthBank (bank);
    if (target == nullptr || program < 0 || program >= program::programsPerBank)
        return;

    checkForNewSound();
    closeOpenStep();

    EditHistory::MemoryWrite memory;
    memory.bank = bank;
    memory.program = program;
    memory.replaced = target->getProgramRecord (program);
    const auto before = currentSound();

    write();

    memory.written = target->getProgramRecord (program);
    catchUp();
    add ({label, false, EditHistory::changesBetween (before, watched), memory});
}

void SoundHistory::recordSoundStep (const juce::String& label, const ProgramRecord& before)
{
    closeOpenStep();
    catchUp();
    runStart = watched;
    auto changes = EditHistory::changesBetween (before, watched);
    if (!changes.empty())
        add ({label, true, std::move (changes), std::nullopt});
}

void SoundHistory::replaceQuietly (const ProgramRecord& sound, bool sendToSynth)
{
    checkForNewSound();
    closeOpenStep();
    processor.getPluginBank().setEditBuffer (sound);
    engine.postEvent (event::editBufferReplaced);
    if (sendToSynth)
        engine.sendEditBufferToSynth();
    catchUp();
}

//==============================================================================
bool SoundHistory::undo()
{
    if (beforeUndoOrRedo != nullptr && (history.canUndo() || !openOrder.empty()))
        beforeUndoOrRedo();
    checkForNewSound();
    closeOpenStep();
    const auto* step = history.undo();
    if (step == nullptr)
        return false;
    apply (*step, true);
    sendChangeMessage();
    return true;
}

bool SoundHistory::redo()
{
    if (beforeUndoOrRedo != nullptr && history.canRedo())
        beforeUndoOrRedo();
    checkForNewSound();
    closeOpenStep();
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
        }
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

void SoundHistory::timerCallback()
{
    // A restored project is another sound with a history of its own, which we do not have.
    const auto restores = processor.getStateRestoreCount();
    if (restores != seenRestores)
    {
        seenRestores = restores;
        forgetAll();
        return;
    }
    checkForNewSound();
}

} // namespace kelvo
