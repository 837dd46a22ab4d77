#pragma once

#include <array>

namespace kelvo
{

/**
    What the simulated synth plays: which notes sound, what it has heard of note-ons and note-offs,
    and where the pitch wheel stands, so that a test can find a stuck note or a bent pitch.

    Not thread-safe: the simulator calls it under its own lock.
*/
class SimulatorVoice
{
public:
    /** Notes as the synth heard them: note-ons (velocity 1 or more), note-offs (0x80, or a note-on
        with velocity 0), and the notes sounding now. */
    struct NoteCounts
    {
        int noteOns = 0, noteOffs = 0, sounding = 0;
        /** The most notes that sounded at once since the counts were last reset. */
        int mostAtOnce = 0;
        /** The last pitch-wheel position received (8192 is the centre). */
        int pitchWheel = 8192;
    };

    void noteOn (int note);
    void noteOff (int note);
    void pitchWheel (int position) noexcept { counts.pitchWheel = position; }

    const NoteCounts& getCounts() const noexcept { return counts; }
    bool isSounding (int note) const noexcept;
    /** Silence and counts back to the start. */
    void reset() noexcept;

private:
    std::array<bool, 128> sounding {};
    NoteCounts counts;
};

} // namespace kelvo
