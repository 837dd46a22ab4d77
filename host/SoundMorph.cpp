#include "host/SoundMorph.h"
#include "host/MarvexAudioProcessor.h"
#include "host/SoundHistory.h"
#include "model/SoundVariation.h"

namespace kelvo
{
namespace
{
// Up to this many changed parameters go as NRPN (four controllers each); more as one dump.
constexpr size_t maxMorphNrpnChanges = 8;
} // namespace

SoundMorph::SoundMorph (MarvexAudioProcessor& p, SoundHistory& h, const SoundVariation& v)
    : processor (p), history (h), variation (v)
{
}

SoundMorph::~SoundMorph()
{
    stopTimer();
}

void SoundMorph::begin (const ProgramRecord& newTarget, const juce::String& name)
{
    if (moving)
        endMove();
    history.aboutToEdit();
    history.checkForNewSound();
    from = processor.getPluginBank().getEditBufferRecord();
    sent = from;
    made = from;
    target = newTarget;
    targetName = name;
    position = 0.0f;
    running = true;
    unsent = false;
    stops.assign (1, {0.0f, from});
}

bool SoundMorph::followEditBuffer()
{
    if (!running || moving)
        return false;
    const auto& now = processor.getPluginBank().getEditBufferRecord();
    for (auto it = stops.rbegin(); it != stops.rend(); ++it)
        if (it->sound == now)
        {
            position = it->position;
            made = it->sound;
            return true;
        }
    return false;
}

bool SoundMorph::isCurrent() const
{
    return running && processor.getPluginBank().getEditBufferRecord() == made;
}

void SoundMorph::beginMove()
{
    if (!running)
        return;
    if (moving)
        endMove();
    history.aboutToEdit();
    history.checkForNewSound();
    moveStart = processor.getPluginBank().getEditBufferRecord();
    moving = true;
}

void SoundMorph::setPosition (float newPosition)
{
    if (!running)
        return;
    const auto single = !moving;
    if (single)
        beginMove();

    position = juce::jlimit (0.0f, 1.0f, newPosition);
    made = variation.morph (from, target, position);
    history.replaceQuietly (made, false);
    unsent = true;

    const auto sinceLast = juce::Time::getMillisecondCounter() - lastSendAt;
    if (numSends == 0 || sinceLast >= (juce::uint32)sendIntervalMs)
        sendNow();
    else if (!isTimerRunning())
        startTimer ((int)((juce::uint32)sendIntervalMs - sinceLast));

    if (single)
        endMove();
}

void SoundMorph::endMove()
{
    if (!moving)
        return;
    moving = false;
    // The synth ends on the sound the slider was let go at: sent now, or when the pause is over.
    const auto sinceLast = juce::Time::getMillisecondCounter() - lastSendAt;
    if (sinceLast >= (juce::uint32)sendIntervalMs)
        sendNow();
    else if (unsent && !isTimerRunning())
        startTimer ((int)((juce::uint32)sendIntervalMs - sinceLast));
    if (stops.size() >= maxStops)
        stops.erase (stops.begin() + 1); // the start stays
    stops.push_back ({position, made});
    history.recordVariationStep ("Morph to " + targetName + " " +
                                     juce::String (juce::roundToInt (position * 100.0f)) + " %",
                                 moveStart, from);
}

void SoundMorph::timerCallback()
{
    stopTimer();
    sendNow();
}

void SoundMorph::sendNow()
{
    if (!unsent)
        return;
    unsent = false;

    auto& engine = processor.getEngine();
    const auto now = processor.getPluginBank().getEditBufferRecord();
    std::vector<int> changed;
    for (int i = 0; i < program::numHostParameters; ++i)
        if (now[(size_t)i] != sent[(size_t)i])
            changed.push_back (i);
    if (changed.empty())
        return;

    const auto& table = engine.getTable();
    if (changed.size() <= maxMorphNrpnChanges)
    {
        for (auto i : changed)
            if (ParameterTable::isSentToSynth (i))
                engine.sendParameterNrpn (table.getNrpn (i), now[(size_t)i]);
    }
    else
    {
        engine.sendEditBufferToSynth();
    }
    sent = now;
    lastSendAt = juce::Time::getMillisecondCounter();
    ++numSends;
}

} // namespace kelvo
