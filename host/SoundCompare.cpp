#include "host/SoundCompare.h"
#include "host/MarvexAudioProcessor.h"
#include "host/SoundHistory.h"
#include "link/BankTransfer.h"
#include "model/SynthBanks.h"

namespace kelvo
{

SoundCompare::SoundCompare (MarvexAudioProcessor& p, SoundHistory& h) : processor (p), history (h)
{
    // Any edit while the source plays belongs to the edited sound: it comes back first.
    history.beforeEdit = [this]
    {
        editedWhileAsking = editedWhileAsking || asking;
        const auto was = comparing;
        end();
        return was;
    };
    history.takeSetAsideSound = [this]() -> std::optional<ProgramRecord>
    {
        if (!comparing)
            return std::nullopt;
        comparing = false;
        sendChangeMessage();
        return edited;
    };
}

SoundCompare::~SoundCompare()
{
    // A program still asked for of the synth would come back to a compare that is gone.
    ++askTicket;
    if (asking)
        processor.getEngine().getTransfer().end();
    history.beforeEdit = nullptr;
    history.takeSetAsideSound = nullptr;
}

ProgramRecord SoundCompare::getSource() const
{
    if (comparing)
        return source;
    if (const auto* before = history.getVariationSource())
        return *before;
    const auto& engine = processor.getEngine();
    if (engine.hasSynthLocation())
        if (const auto* bank = engine.getSynthBank (engine.getCurrentSynthBank()))
            return bank->getProgramRecord (engine.getCurrentSynthProgram());
    return history.getRunStart();
}

juce::String SoundCompare::getSourceLabel() const
{
    if (comparing)
        return sourceLabel;
    if (history.getVariationSource() != nullptr)
        return "Before " + history.getVariationLabel();
    const auto& engine = processor.getEngine();
    if (engine.hasSynthLocation())
        if (const auto* bank = engine.getSynthBank (engine.getCurrentSynthBank()))
            return bank->getBankName().fromLastOccurrenceOf (" ", false, false) + ":" +
                   juce::String (engine.getCurrentSynthProgram() + 1).paddedLeft ('0', 3) + " " +
                   bank->getProgramName (engine.getCurrentSynthProgram()).trimEnd();
    return "Before Edits";
}

ProgramRecord SoundCompare::getEdited() const
{
    return comparing ? edited : processor.getPluginBank().getEditBufferRecord();
}

std::vector<SoundDiff::Row> SoundCompare::getDifferences() const
{
    return SoundDiff::between (getEdited(), getSource());
}

bool SoundCompare::sourceIsOnlyOnTheSynth() const
{
    // The built-in factory set stands in for F1..F4 until they are received or loaded from the
    // synth's own file: this synth may hold other programs there.
    const auto& engine = processor.getEngine();
    return history.getVariationSource() == nullptr && engine.hasSynthLocation()
           && engine.getCurrentSynthBank() >= synthbanks::numUserBanks && ! engine.factoryBanksMatchSynth.load();
}

void SoundCompare::toggle()
{
    if (comparing)
    {
        end();
        return;
    }
    if (asking)
        return;

    // Whatever changed the sound just now is taken first, so that it is part of the edited sound.
    history.checkForNewSound();
    if (sourceIsOnlyOnTheSynth())
    {
        auto& engine = processor.getEngine();
        const auto bank = engine.getCurrentSynthBank(), program = engine.getCurrentSynthProgram();
        asking = true;
        const auto ticket = ++askTicket;
        engine.getTransfer().readPrograms ({{bank, program}}, false,
                                           [this, ticket, label = getSourceLabel()] (const auto& got)
                                           {
                                               if (ticket != askTicket)
                                                   return;
                                               asking = false;
                                               // An edit made meanwhile has the sound to itself.
                                               if (!got.empty() && !editedWhileAsking)
                                               {
                                                   history.checkForNewSound();
                                                   startComparing (got.front().record, label);
                                               }
                                               editedWhileAsking = false;
                                           });
        return;
    }
    startComparing (getSource(), getSourceLabel());
}

void SoundCompare::startComparing (const ProgramRecord& sourceToPlay, const juce::String& label)
{
    source = sourceToPlay;
    sourceLabel = label;
    edited = processor.getPluginBank().getEditBufferRecord();
    comparing = true;
    history.replaceQuietly (source, true);
    sendChangeMessage();
}

void SoundCompare::end()
{
    if (!comparing)
        return;
    comparing = false;
    history.replaceQuietly (edited, true);
    sendChangeMessage();
}

} // namespace kelvo
