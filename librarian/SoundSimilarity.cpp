#include "librarian/SoundSimilarity.h"

#include "model/ParameterTable.h"

#include <algorithm>
#include <cmath>

namespace kelvo
{
namespace
{
/** How a parameter counts: by how far its values lie apart, or only as equal or not (a menu). */
enum class Measure
{
    scaled,
    choice
};

/** A modulation slot is silent when its amount parameter holds the value that means zero. */
struct Gate
{
    int amountIndex = -1;
    int silentValue = 0;
};

/** What a feature reads of its parameter: the value, or for an oscillator's shape either its kind
    of wave (off, saw, triangle, saw and triangle, pulse) or its pulse width, since saw and triangle
    are neighbours in value and worlds apart to the ear, while widths shade into each other. */
enum class Read
{
    value,
    waveKind,
    pulseWidth
};

struct Feature
{
    int index;
    float weight;
    Measure measure;
    Gate gate;
    Read read = Read::value;
};

constexpr int firstPulseWidth = 4, lastPulseWidth = 103;

// What the ear hears first gets the large weights: a weight is what the largest possible
// difference of that parameter adds to the distance.
namespace weight
{
constexpr float pitch = 6.0f, shape = 4.0f, filter = 5.0f, envelope = 2.5f, level = 2.0f, routing = 2.0f,
                switching = 3.0f, modest = 1.0f, detail = 0.3f, step = 0.05f;
} // namespace weight

constexpr int unipolarZero = 0, bipolarZero = 127;

constexpr int numLfos = 4, lfoFirst = 42, lfoStride = 5;
constexpr int env3First = 62;
constexpr int numModSlots = 4, modFirst = 71, modStride = 3;
constexpr int numControllers = 5, controllerFirst = 83, controllerStride = 2;
constexpr int seqOnIndex = 106, firstSeqDest = 107, numSeqDests = 4;

std::vector<Feature> makeFeatures()
{
    std::vector<Feature> f;
    const auto add = [&f] (int index, float weight, Measure measure = Measure::scaled, Gate gate = {},
                           Read read = Read::value) {
        f.push_back ({index, weight, measure, gate, read});
    };
    const auto choice = Measure::choice;

    // Oscillators: pitch, shape, sub, sync and the mix between them.
    for (const int osc : {0, 6})
    {
        add (osc + 0, weight::pitch);
        add (osc + 1, weight::detail); // fine tune
        add (osc + 2, weight::shape, choice, {}, Read::waveKind);
        add (osc + 2, weight::level, Measure::scaled, {}, Read::pulseWidth);
        add (osc + 3, weight::modest);            // glide
        add (osc + 4, weight::switching, choice); // keyboard on or off
        add (osc + 5, weight::level);             // sub oscillator
    }
    add (12, weight::switching, choice); // sync
    add (13, weight::detail, choice);    // glide mode
    add (14, weight::detail);            // slop
    add (15, weight::detail);            // pitch-bend range
    add (16, weight::level);             // oscillator mix
    add (17, weight::level);             // noise
    add (18, weight::modest);            // feedback volume
    add (19, weight::modest);            // feedback gain

    // Filter and its envelope.
    add (20, weight::filter);            // cutoff
    add (21, weight::filter * 0.7f);     // resonance
    add (22, weight::modest);            // keyboard amount
    add (23, weight::level);             // audio modulation
    add (24, weight::switching, choice); // 2 or 4 poles
    add (25, weight::filter * 0.7f);     // envelope amount
    add (26, weight::detail);            // velocity amount
    add (27, weight::modest);            // delay
    for (int i = 28; i <= 31; ++i)
        add (i, weight::envelope);

    // Amplifier and its envelope.
    add (32, weight::level);
    add (33, weight::level);
    add (34, weight::detail);
    add (35, weight::modest);
    for (int i = 36; i <= 39; ++i)
        add (i, weight::envelope);
    add (40, weight::detail); // pan spread
    add (41, weight::detail); // volume

    // Modulation: a slot counts only while its amount is not zero.
    for (int n = 0; n < numLfos; ++n)
    {
        const int b = lfoFirst + n * lfoStride;
        const Gate g{b + 2, unipolarZero};
        add (b, weight::routing, Measure::scaled, g);   // rate
        add (b + 1, weight::routing, choice, g);        // shape
        add (b + 2, weight::routing);                   // amount
        add (b + 3, weight::routing * 1.5f, choice, g); // destination
        add (b + 4, weight::detail, choice, g);         // key sync
    }
    {
        const Gate g{env3First + 1, bipolarZero};
        add (env3First, weight::routing * 1.5f, choice, g); // destination
        add (env3First + 1, weight::routing);               // amount
        add (env3First + 2, weight::detail, Measure::scaled, g);
        for (int i = env3First + 3; i <= env3First + 7; ++i)
            add (i, weight::modest, Measure::scaled, g);
        add (env3First + 8, weight::modest, choice, g); // repeat
    }
    for (int n = 0; n < numModSlots; ++n)
    {
        const int b = modFirst + n * modStride;
        const Gate g{b + 1, bipolarZero};
        add (b, weight::routing * 1.5f, choice, g); // source
        add (b + 1, weight::routing);               // amount
        add (b + 2, weight::routing * 1.5f, choice, g);
    }
    for (int n = 0; n < numControllers; ++n)
    {
        const int b = controllerFirst + n * controllerStride;
        add (b, weight::modest);
        add (b + 1, weight::modest, choice, Gate{b, bipolarZero});
    }

    // Voices, arpeggiator and sequencer.
    add (93, weight::modest, choice);
    add (94, weight::modest, choice);
    add (95, weight::switching, choice); // unison on or off
    add (96, weight::detail);
    add (97, weight::detail);
    add (98, weight::detail, choice);
    add (101, weight::detail); // tempo
    add (102, weight::detail, choice);
    add (103, weight::modest, choice);
    add (104, weight::switching, choice); // arpeggiator on or off
    add (105, weight::detail, choice);
    add (seqOnIndex, weight::switching, choice);
    const Gate sequencing{seqOnIndex, unipolarZero};
    for (int i = firstSeqDest; i < firstSeqDest + numSeqDests; ++i)
        add (i, weight::routing, choice, sequencing);
    for (int i = program::firstStepIndex; i <= program::lastStepIndex; ++i)
        add (i, weight::step, Measure::scaled, sequencing);
    return f;
}

/** The features split by measure, with what each scaled value is divided by. */
struct Layout
{
    std::vector<Feature> scaled, choices;
    std::vector<float> scale; // weight / range of each scaled feature
    std::vector<float> choiceWeight;

    Layout()
    {
        const ParameterTable table;
        for (const auto& f : makeFeatures())
            if (f.measure == Measure::scaled)
            {
                scaled.push_back (f);
                const auto range =
                    f.read == Read::pulseWidth ? lastPulseWidth - firstPulseWidth : table.getMax (f.index);
                scale.push_back (f.weight / (float)std::max (1, range));
            }
            else
            {
                choices.push_back (f);
                choiceWeight.push_back (f.weight);
            }
    }
};

const Layout& layout()
{
    static const Layout l;
    return l;
}

/** A value no parameter holds: what a silent slot's menus read, so two silent slots agree. */
constexpr uint8_t silentChoice = 0xff;

bool isSilent (const uint8_t* entry, const Gate& g) noexcept
{
    return g.amountIndex >= 0 && entry[g.amountIndex] == g.silentValue;
}

int readValue (const uint8_t* entry, const Feature& f) noexcept
{
    const int v = entry[f.index];
    switch (f.read)
    {
    case Read::waveKind:
        return std::min (v, firstPulseWidth);
    case Read::pulseWidth:
        return v >= firstPulseWidth ? v - firstPulseWidth : 0;
    case Read::value:
    default:
        return v;
    }
}

void featuresOf (const uint8_t* entry, float* scaled, uint8_t* choices)
{
    const auto& l = layout();
    for (size_t k = 0; k < l.scaled.size(); ++k)
        scaled[k] =
            isSilent (entry, l.scaled[k].gate) ? 0.0f : (float)readValue (entry, l.scaled[k]) * l.scale[k];
    for (size_t k = 0; k < l.choices.size(); ++k)
        choices[k] =
            isSilent (entry, l.choices[k].gate) ? silentChoice : (uint8_t)readValue (entry, l.choices[k]);
}

float distanceBetween (const float* s1, const uint8_t* c1, const float* s2, const uint8_t* c2)
{
    const auto& l = layout();
    float d = 0.0f;
    for (size_t k = 0, n = l.scaled.size(); k < n; ++k)
        d += std::abs (s1[k] - s2[k]);
    for (size_t k = 0, n = l.choices.size(); k < n; ++k)
        d += c1[k] != c2[k] ? l.choiceWeight[k] : 0.0f;
    return d;
}
} // namespace

float SoundSimilarity::distance (const uint8_t* first, const uint8_t* second)
{
    const auto& l = layout();
    std::vector<float> s1 (l.scaled.size()), s2 (l.scaled.size());
    std::vector<uint8_t> c1 (l.choices.size()), c2 (l.choices.size());
    featuresOf (first, s1.data(), c1.data());
    featuresOf (second, s2.data(), c2.data());
    return distanceBetween (s1.data(), c1.data(), s2.data(), c2.data());
}

void SoundSimilarity::build (const uint8_t* entries, int n)
{
    const auto& l = layout();
    numEntries = std::max (0, n);
    scaled.resize ((size_t)numEntries * l.scaled.size());
    choices.resize ((size_t)numEntries * l.choices.size());
    for (int i = 0; i < numEntries; ++i)
        featuresOf (entries + (size_t)i * program::recordSize, scaled.data() + (size_t)i * l.scaled.size(),
                    choices.data() + (size_t)i * l.choices.size());
}

std::vector<SoundSimilarity::Neighbour> SoundSimilarity::nearest (const uint8_t* sound, int count,
                                                                  int excluded) const
{
    const auto& l = layout();
    const auto ns = l.scaled.size(), nc = l.choices.size();
    std::vector<float> target (ns);
    std::vector<uint8_t> targetChoices (nc);
    featuresOf (sound, target.data(), targetChoices.data());

    std::vector<Neighbour> all;
    all.reserve ((size_t)numEntries);
    for (int i = 0; i < numEntries; ++i)
        if (i != excluded)
            all.push_back (
                {i, distanceBetween (scaled.data() + (size_t)i * ns, choices.data() + (size_t)i * nc,
                                     target.data(), targetChoices.data())});

    const auto k = (size_t)std::clamp (count, 0, (int)all.size());
    std::partial_sort (all.begin(), all.begin() + (std::ptrdiff_t)k, all.end(),
                       [] (const Neighbour& a, const Neighbour& b) {
                           return a.distance < b.distance || (a.distance == b.distance && a.entry < b.entry);
                       });
    all.resize (k);
    return all;
}

} // namespace kelvo
