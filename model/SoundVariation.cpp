#include "model/SoundVariation.h"
#include "model/ParDes.h"

#include <algorithm>
#include <cmath>

namespace kelvo
{
namespace
{
// The texts with which the formatter marks a value that has no meaning for the synth: past the end
// of a value list, or in the gaps of the modulation destinations.
bool isMeaningless (const juce::String& text)
{
    return text.isEmpty() || text == "*/*";
}
} // namespace

SoundVariation::SoundVariation()
{
    for (int i = 0; i < program::numHostParameters; ++i)
    {
        if (!isVaried (i))
            continue;
        for (int v = table.getMin (i); v <= table.getMax (i); ++v)
            if (!isMeaningless (ParDes::valueToText (table.getKind (i), v)))
                accepted[(size_t)i].push_back ((uint8_t)v);
    }
}

bool SoundVariation::isVaried (int index) noexcept
{
    return index >= 0 && index < program::nameOffset && index != program::categoryIndex &&
           ParameterTable::isSentToSynth (index);
}

bool SoundVariation::isAccepted (int index, int value) const noexcept
{
    if (index < 0 || index >= program::numHostParameters || !isVaried (index))
        return false;
    const auto& list = accepted[(size_t)index];
    return std::binary_search (list.begin(), list.end(), (uint8_t)juce::jlimit (0, 255, value)) &&
           value >= 0 && value <= 255;
}

const std::vector<uint8_t>& SoundVariation::acceptedValues (int index) const noexcept
{
    static const std::vector<uint8_t> none;
    return index >= 0 && index < program::numHostParameters ? accepted[(size_t)index] : none;
}

int SoundVariation::positionOf (int index, int value) const noexcept
{
    const auto& list = accepted[(size_t)index];
    const auto at = std::lower_bound (list.begin(), list.end(), (uint8_t)juce::jlimit (0, 255, value));
    if (at == list.end())
        return (int)list.size() - 1;
    if (at != list.begin() && *at != value && value - *(at - 1) < *at - value)
        return (int)(at - list.begin()) - 1;
    return (int)(at - list.begin());
}

ProgramRecord SoundVariation::randomize (const ProgramRecord& sound, float amount, juce::Random& random) const
{
    auto result = sound;
    amount = juce::jlimit (0.0f, 1.0f, amount);
    for (int i = 0; i < program::numHostParameters; ++i)
    {
        const auto& list = accepted[(size_t)i];
        if (list.empty())
            continue;
        const auto last = (int)list.size() - 1;
        const auto here = positionOf (i, sound[(size_t)i]);
        // The reach grows with the amount; at its full amount any accepted value can come out.
        const auto reach = (int)std::lround (amount * (float)last);
        const auto low = juce::jmax (0, here - reach), high = juce::jmin (last, here + reach);
        result[(size_t)i] = list[(size_t)(low + random.nextInt (high - low + 1))];
    }
    return result;
}

ProgramRecord SoundVariation::mutate (const ProgramRecord& sound, int count, juce::Random& random) const
{
    std::vector<int> candidates;
    for (int i = 0; i < program::numHostParameters; ++i)
        if (accepted[(size_t)i].size() > 1)
            candidates.push_back (i);

    auto result = sound;
    count = juce::jlimit (0, (int)candidates.size(), count);
    for (int n = 0; n < count; ++n)
    {
        // Each parameter once: swap the chosen one out of the part still to choose from.
        const auto pick = n + random.nextInt ((int)candidates.size() - n);
        std::swap (candidates[(size_t)n], candidates[(size_t)pick]);
        const auto index = candidates[(size_t)n];
        const auto& list = accepted[(size_t)index];
        const auto here = positionOf (index, sound[(size_t)index]);
        // Always a different value: one of the others, evenly.
        auto other = random.nextInt ((int)list.size() - 1);
        if (other >= here)
            ++other;
        result[(size_t)index] = list[(size_t)other];
    }
    return result;
}

bool SoundVariation::switchesHalfway (int index, int fromValue, int toValue) const noexcept
{
    // Entries of a list lie side by side without being near in sound: the way between two of them
    // would pass through entries that neither sound uses. A sequencer step that restarts its track
    // or rests is no note either.
    const auto kindCode = table.getKind (index);
    return kind::isList (kindCode)
           || (kindCode == kind::sequencerStep && juce::jmax (fromValue, toValue) >= seqstep::reset);
}

ProgramRecord SoundVariation::morph (const ProgramRecord& from, const ProgramRecord& to, float position) const
{
    auto result = from;
    position = juce::jlimit (0.0f, 1.0f, position);
    for (int i = 0; i < program::numHostParameters; ++i)
    {
        const auto& list = accepted[(size_t)i];
        if (list.empty())
            continue;
        const auto a = positionOf (i, from[(size_t)i]), b = positionOf (i, to[(size_t)i]);
        // The ends are the two sounds themselves, wherever they hold a value the synth accepts.
        const auto fromEnd = isAccepted (i, from[(size_t)i]) ? from[(size_t)i] : list[(size_t)a];
        const auto toEnd = isAccepted (i, to[(size_t)i]) ? to[(size_t)i] : list[(size_t)b];
        if (position <= 0.0f)
            result[(size_t)i] = fromEnd;
        else if (position >= 1.0f || (switchesHalfway (i, fromEnd, toEnd) && position >= 0.5f))
            result[(size_t)i] = toEnd;
        else if (switchesHalfway (i, fromEnd, toEnd))
            result[(size_t)i] = fromEnd;
        else
            result[(size_t)i] = list[(size_t)std::lround ((float)a + position * (float)(b - a))];
    }
    return result;
}

} // namespace kelvo
