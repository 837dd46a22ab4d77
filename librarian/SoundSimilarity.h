#pragma once

#include <cstdint>
#include <vector>

namespace kelvo
{

/**
    How close two library sounds are to the ear, and the nearest sounds of a library to a given one.

    The distance runs over the sound parameters only (never the name or the category), weighted by
    what the ear hears: the oscillators' pitch and shape, the filter, the envelopes and the
    modulation routing count far more than fine tuning, slop, pan spread or a sequencer step. A
    modulation slot whose amount is zero is silent, so what it would route where does not count;
    menu values (a shape of the LFO, a modulation source or destination) count as equal or not,
    never by how far apart they stand in the menu.

    build takes a copy of the features of every entry; nearest then reads only that copy. Neither
    is thread-safe: the owner (the library store, message thread) serialises them.
*/
class SoundSimilarity
{
public:
    struct Neighbour
    {
        int entry = -1;
        float distance = 0.0f;
    };

    /** The distance between two 256-byte entries: 0 for the same sound, symmetric. */
    static float distance (const uint8_t* first, const uint8_t* second);

    /** Takes the features of numEntries entries of 256 bytes back to back. */
    void build (const uint8_t* entries, int numEntries);
    int getNumEntries() const noexcept { return numEntries; }

    /** The count entries nearest to a sound, nearest first (equal distances in entry order),
        leaving out the entry excluded (the sound's own entry, or -1). */
    std::vector<Neighbour> nearest (const uint8_t* sound, int count, int excluded = -1) const;

private:
    std::vector<float> scaled;    // numScaled values an entry
    std::vector<uint8_t> choices; // numChoices values an entry
    int numEntries = 0;
};

} // namespace kelvo
