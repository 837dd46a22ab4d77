#include "host/SoundCompare.h"
#include "host/MarvexAudioProcessor.h"
#include "host/SoundHistory.h"

namespace kelvo
{

SoundCompare::SoundCompare (MarvexAudioProcessor& p, SoundHistory& h) : processor (p), history (h)
{
    // Any edit while the source plays belongs to the edited sound: it comes back first.
    history.beforeEdit = [this]
    {
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

void SoundCompare::toggle()
{
    if (comparing)
    {
        end();
        return;
    }

    // Whatever changed the sound just now is taken first, so that it is part of the edited sound.
    history.checkForNewSound();
    source = getSource();
    sourceLabel = getSourceLabel();
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
