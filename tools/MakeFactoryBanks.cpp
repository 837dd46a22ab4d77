// Writes the factory image: four banks of 128 programs made from hand-written archetypes (basses,
// leads, pads, keys, brass, strings, percussion, effects, sequences, arpeggios…), each varied by a
// fixed-seed generator, so the same image comes out on every machine.
//
//   MakeFactoryBanks <output file>
//
// Every program starts from the instrument's initial program, so the bytes that hold no parameter
// (99, 100, 111..119 but the category, 200..255) are those of the initial program. The tool checks
// every value against the parameter table and refuses to write an image that breaks a range, holds
// a name that is not printable or holds two equal programs.

#include "files/SafeFileWrite.h"
#include "model/BankImage.h"
#include "model/Categories.h"
#include "model/ParameterTable.h"
#include "model/ProgramRecord.h"
#include "model/SynthBanks.h"

#include <cstdio>
#include <functional>
#include <set>
#include <stdexcept>
#include <vector>

using namespace kelvo;

namespace
{
//==============================================================================
// What the parameter indices mean.
namespace par
{
constexpr int oscFreq[] = { 0, 6 }, oscFine[] = { 1, 7 }, oscShape[] = { 2, 8 }, oscGlide[] = { 3, 9 };
constexpr int subOsc[] = { 5, 11 };
constexpr int sync = 12, glideMode = 13, slop = 14, bendRange = 15, oscMix = 16, noise = 17;
constexpr int feedbackVol = 18, feedbackGain = 19;
constexpr int cutoff = 20, resonance = 21, filterKeyAmt = 22, audioMod = 23, fourPole = 24;
constexpr int filterEnvAmt = 25, filterVelAmt = 26, filterEnv = 27; // delay, attack, decay, sustain, release
constexpr int vcaVelAmt = 34, ampEnv = 35;
constexpr int panSpread = 40;
constexpr int lfoFirst = 42, lfoStride = 5; // frequency, shape, amount, destination, key sync
constexpr int env3Dest = 62, env3Amt = 63, env3 = 65, env3Repeat = 70;
constexpr int modFirst = 71, modStride = 3; // source, amount, destination
constexpr int modWheelAmt = 83, pressureAmt = 85, velocityAmt = 89; // each followed by its destination
constexpr int unisonMode = 93, keyAssign = 94, unison = 95;
constexpr int bpm = 101, clockDivide = 102, arpMode = 103, arpOn = 104, seqTrigger = 105, seqOn = 106;
constexpr int seqDest = 107; // four tracks
constexpr int seqSteps = 120; // 4 tracks × 16 steps
} // namespace par

namespace shape
{
constexpr int off = 0, saw = 1, tri = 2, sawTri = 3;
constexpr int pulse (int width) { return 4 + width; } // width 0..99; 50 is square
constexpr int square = pulse (50);
} // namespace shape

namespace lfoShape
{
constexpr int triangle = 0, reverseSaw = 1, saw = 2, square = 3, random = 4;
}

namespace dest
{
constexpr int off = 0, osc2 = 2, oscAll = 3, oscMix = 4, pwAll = 8, cutoff = 9;
constexpr int resonance = 10, audioMod = 11, vca = 12, pan = 13, lfo1Freq = 14, lfo1Amt = 19, lfo2Amt = 20;
constexpr int filterEnvAmt = 24, feedbackGain = 47;
} // namespace dest

namespace source
{
constexpr int lfo1 = 5, pressure = 14, velocity = 18, noise = 20;
} // namespace source

// LFO frequencies: 0..150 free-running, 151..166 locked to the clock ("32 st" .. "1/16 st").
constexpr int lfoSyncFirst = 151, lfoSyncLast = 166;
constexpr int clockEighth = 2, clockEighthTriplet = 5, clockSixteenth = 6, clockSixteenthTriplet = 9;
constexpr int seqRest = 127;  // track 1 only
constexpr int seqReset = 126; // ends a track early
constexpr int bankTotal = program::programsPerBank;

constexpr uint64_t seed = 0x4b656c766f4d6f70; // fixed: the image must come out the same every time

//==============================================================================
/** A small, fully specified generator (splitmix64), so the output does not depend on a library's
    distributions. */
class Rng
{
public:
    explicit Rng (uint64_t s) : state (s) {}

    uint64_t next()
    {
        auto z = (state += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }

    /** lo..hi inclusive. */
    int range (int lo, int hi) { return lo + (int) (next() % (uint64_t) (hi - lo + 1)); }
    bool chance (int percent) { return range (1, 100) <= percent; }

    template <typename T, size_t N>
    const T& pick (const T (&items)[N])
    {
        return items[(size_t) range (0, (int) N - 1)];
    }

private:
    uint64_t state;
};

//==============================================================================
/** One program being written, by the meaning of its parameters. */
struct Patch
{
    ProgramRecord record = initialProgram();

    void set (int index, int value) { record[(size_t) index] = (uint8_t) value; }
    /** A signed amount, 0 in the middle of 0..254. */
    void setAmount (int index, int amount) { set (index, 127 + amount); }

    void osc (int n, int note, int fineOffset, int oscShape, int glide = 0)
    {
        set (par::oscFreq[n], note);
        set (par::oscFine[n], 50 + fineOffset);
        set (par::oscShape[n], oscShape);
        set (par::oscGlide[n], glide);
    }

    void filter (int cut, int reso, int envAmount, int keyAmount, bool fourPoles, int velAmount)
    {
        set (par::cutoff, cut);
        set (par::resonance, reso);
        setAmount (par::filterEnvAmt, envAmount);
        set (par::filterKeyAmt, keyAmount);
        set (par::fourPole, fourPoles ? 1 : 0);
        set (par::filterVelAmt, velAmount);
    }

    /** Delay, attack, decay, sustain, release from the given index on. */
    void envelope (int first, int delay, int attack, int decay, int sustain, int release)
    {
        for (auto v : { delay, attack, decay, sustain, release })
            set (first++, v);
    }
    void filterEnv (int a, int d, int s, int r, int delay = 0) { envelope (par::filterEnv, delay, a, d, s, r); }
    void ampEnv (int a, int d, int s, int r, int delay = 0) { envelope (par::ampEnv, delay, a, d, s, r); }
    void env3 (int destination, int amount, int a, int d, int s, int r, bool repeat = false)
    {
        set (par::env3Dest, destination);
        setAmount (par::env3Amt, amount);
        envelope (par::env3, 0, a, d, s, r);
        set (par::env3Repeat, repeat ? 1 : 0);
    }

    void lfo (int n, int freq, int lfoShapeValue, int amount, int destination, bool keySync = false)
    {
        const auto first = par::lfoFirst + n * par::lfoStride;
        set (first, freq);
        set (first + 1, lfoShapeValue);
        set (first + 2, amount);
        set (first + 3, destination);
        set (first + 4, keySync ? 1 : 0);
    }

    void mod (int slot, int src, int amount, int destination)
    {
        const auto first = par::modFirst + slot * par::modStride;
        set (first, src);
        setAmount (first + 1, amount);
        set (first + 2, destination);
    }

    void route (int amountIndex, int amount, int destination)
    {
        setAmount (amountIndex, amount);
        set (amountIndex + 1, destination);
    }
    void modWheel (int amount, int destination) { route (par::modWheelAmt, amount, destination); }
    void pressure (int amount, int destination) { route (par::pressureAmt, amount, destination); }
    void velocity (int amount, int destination) { route (par::velocityAmt, amount, destination); }

    void vibratoOnWheel (Rng& rng)
    {
        lfo (0, rng.range (74, 88), lfoShape::triangle, 0, dest::oscAll);
        modWheel (rng.range (50, 100), dest::lfo1Amt);
    }

    void category (int c) { set (program::categoryIndex, c); }

    void name (const juce::String& text)
    {
        const auto bytes = encodeProgramName (text);
        std::copy (bytes.begin(), bytes.end(), record.begin() + program::nameOffset);
    }

    /** One sequencer track: destination and up to 16 steps (a shorter list ends with a reset). */
    void track (int t, int destination, const std::vector<int>& steps)
    {
        set (par::seqDest + t, destination);
        for (int i = 0; i < 16; ++i)
            set (par::seqSteps + t * 16 + i, i < (int) steps.size() ? steps[(size_t) i] : (i == (int) steps.size() ? seqReset : 0));
    }
};

//==============================================================================
/** Names like a factory set's: a word for the character and one for the sound, never twice. */
class Namer
{
public:
    template <size_t A, size_t B>
    juce::String make (Rng& rng, const char* const (&first)[A], const char* const (&second)[B])
    {
        for (int attempt = 0; attempt < 200; ++attempt)
        {
            const juce::String word (rng.pick (first)), sound (rng.pick (second));
            const auto text = word + " " + sound;
            const auto repeatsItself = sound.containsWholeWord (word.fromLastOccurrenceOf (" ", false, false));
            if (! repeatsItself && text.length() <= program::nameLength && used.insert (text).second)
                return text;
        }
        // Every pairing is taken: number the sound instead.
        for (int n = 2;; ++n)
        {
            const auto text = juce::String (rng.pick (second)).substring (0, program::nameLength - 3) + " " + juce::String (n);
            if (used.insert (text).second)
                return text;
        }
    }

private:
    std::set<juce::String> used;
};

struct Context
{
    Rng& rng;
    Namer& namer;
    Patch& p;
};

//==============================================================================
// The archetypes. Each writes one program: its sound, its category and its name.

void softBass (Context& c)
{
    static const char* const a[] = { "Round", "Warm", "Soft", "Velvet", "Deep", "Mellow", "Smooth", "Felt", "Plush", "Woody", "Dark", "Cushion" };
    static const char* const b[] = { "Bass", "Low End", "Finger Bass", "Bottom", "Pluck Bass", "Bass Tone" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, r.pick ({ 12, 24 }), 0, r.pick ({ shape::saw, shape::tri, shape::sawTri, shape::pulse (30) }), r.range (0, 8));
    p.osc (1, 12, r.range (-3, 3), r.pick ({ shape::tri, shape::saw, shape::pulse (40) }), r.range (0, 8));
    p.set (par::subOsc[0], r.range (40, 100));
    p.set (par::oscMix, r.range (40, 80));
    p.filter (r.range (35, 70), r.range (0, 30), r.range (15, 45), r.range (20, 64), true, r.range (10, 40));
    p.filterEnv (r.range (0, 5), r.range (35, 65), r.range (10, 50), r.range (20, 40));
    p.ampEnv (r.range (0, 3), r.range (50, 80), r.range (80, 127), r.range (15, 30));
    p.set (par::bendRange, 2);
    p.category (8);
    p.name (c.namer.make (r, a, b));
}

void brightBass (Context& c)
{
    static const char* const a[] = { "Punch", "Bright", "Snappy", "Biting", "Hard", "Edge", "Buzz", "Rubber", "Funk", "Brass", "Saw", "Raw" };
    static const char* const b[] = { "Bass", "Bass", "Low", "Pick Bass", "Slap", "Bass Line" };
    auto& r = c.rng;
    auto& p = c.p;
    const auto second = r.pick ({ shape::saw, shape::pulse (r.range (10, 40)), shape::sawTri });
    p.osc (0, r.pick ({ 12, 24 }), 0, shape::saw);
    p.osc (1, r.pick ({ 12, 24 }), r.range (3, 9), second);
    p.set (par::oscMix, r.range (50, 74));
    p.set (par::subOsc[0], r.range (0, 60));
    p.filter (r.range (55, 90), r.range (10, 45), r.range (50, 90), r.range (30, 70), r.chance (60), r.range (30, 70));
    p.filterEnv (r.range (0, 3), r.range (30, 55), r.range (10, 40), r.range (15, 30));
    p.ampEnv (0, r.range (50, 70), r.range (100, 127), r.range (10, 25));
    p.set (par::bendRange, 2);
    p.category (9);
    p.name (c.namer.make (r, a, b));
}

void resBass (Context& c)
{
    static const char* const a[] = { "Acid", "Squelch", "Res", "Rubber", "Wobble", "Quack", "Liquid", "Chirp", "Zappy", "Bubble", "Wet", "Tweak" };
    static const char* const b[] = { "Bass", "Line", "Bass", "Low", "Bass Seq", "Squelch" };
    auto& r = c.rng;
    auto& p = c.p;
    const auto wave = r.pick ({ shape::saw, shape::square });
    const auto glide = r.chance (50) ? r.range (20, 45) : 0;
    p.osc (0, 12, 0, wave, glide);
    p.osc (1, 12, r.range (0, 4), wave, glide);
    p.set (par::glideMode, glide > 0 ? 3 : 0);
    p.set (par::oscMix, r.range (0, 50));
    p.filter (r.range (15, 40), r.range (85, 115), r.range (60, 110), r.range (20, 60), true, r.range (20, 60));
    p.filterEnv (0, r.range (20, 50), r.range (0, 20), r.range (15, 30));
    p.ampEnv (0, r.range (40, 70), r.range (60, 110), r.range (10, 25));
    p.set (par::bendRange, 2);
    p.category (10);
    p.name (c.namer.make (r, a, b));
}

void subBass (Context& c)
{
    static const char* const a[] = { "Sub", "Deep", "Floor", "Boom", "Low", "Ground", "Under", "Dub", "Rumble", "Heavy", "Sine", "Earth" };
    static const char* const b[] = { "Sub", "Bass", "Subs", "808 Sub", "Drop", "Quake" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, 12, 0, shape::tri, r.range (0, 12));
    p.osc (1, 12, 0, r.chance (50) ? shape::off : shape::tri);
    p.set (par::subOsc[0], r.range (100, 127));
    p.set (par::oscMix, r.range (0, 20));
    p.filter (r.range (30, 60), r.range (0, 15), r.range (5, 25), r.range (0, 40), true, r.range (0, 30));
    p.filterEnv (0, r.range (40, 70), r.range (40, 90), r.range (20, 40));
    p.ampEnv (r.range (0, 4), r.range (60, 90), 127, r.range (10, 25));
    p.set (par::bendRange, r.pick ({ 2, 5, 12 }));
    p.set (par::slop, r.range (0, 1));
    p.category (11);
    p.name (c.namer.make (r, a, b));
}

void softLead (Context& c)
{
    static const char* const a[] = { "Soft", "Sweet", "Mellow", "Flute", "Silk", "Airy", "Calm", "Dreamy", "Smooth", "Gentle", "Pure", "Hollow" };
    static const char* const b[] = { "Lead", "Solo", "Whistle", "Melody", "Lead", "Line" };
    auto& r = c.rng;
    auto& p = c.p;
    const auto glide = r.range (10, 35);
    p.osc (0, r.pick ({ 24, 36 }), 0, r.pick ({ shape::tri, shape::sawTri, shape::pulse (r.range (20, 45)) }), glide);
    p.osc (1, p.record[par::oscFreq[0]], r.range (3, 8), shape::tri, glide);
    p.set (par::oscMix, r.range (40, 70));
    p.filter (r.range (70, 105), r.range (10, 40), r.range (10, 35), r.range (40, 90), true, r.range (10, 40));
    p.filterEnv (r.range (5, 20), r.range (40, 70), r.range (50, 90), r.range (25, 45));
    p.ampEnv (r.range (2, 15), r.range (50, 80), r.range (110, 127), r.range (25, 45));
    p.vibratoOnWheel (r);
    p.pressure (r.range (20, 50), dest::cutoff);
    p.set (par::bendRange, 2);
    p.category (4);
    p.name (c.namer.make (r, a, b));
}

void brightLead (Context& c)
{
    static const char* const a[] = { "Bright", "Big", "Screamer", "Hero", "Fat", "Power", "Loud", "Stadium", "Classic", "Saw", "Razor", "Blazing" };
    static const char* const b[] = { "Lead", "Solo", "Lead", "Synth Lead", "Leader", "Mono" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, r.pick ({ 24, 36 }), 0, shape::saw, r.range (0, 20));
    p.osc (1, r.pick ({ 24, 36, 31 }), r.range (4, 12), r.pick ({ shape::saw, shape::pulse (r.range (15, 45)) }), r.range (0, 20));
    p.set (par::oscMix, r.range (50, 74));
    p.filter (r.range (100, 145), r.range (0, 30), r.range (20, 50), r.range (50, 100), r.chance (70), r.range (20, 50));
    p.filterEnv (0, r.range (40, 70), r.range (70, 110), r.range (20, 40));
    p.ampEnv (r.range (0, 4), r.range (50, 80), r.range (110, 127), r.range (20, 40));
    p.vibratoOnWheel (r);
    if (r.chance (35))
    {
        p.set (par::unison, 1);
        p.set (par::unisonMode, r.range (2, 4));
        p.set (par::keyAssign, 5);
    }
    p.set (par::bendRange, r.pick ({ 2, 2, 7, 12 }));
    p.set (par::slop, r.range (2, 4));
    p.category (5);
    p.name (c.namer.make (r, a, b));
}

void resLead (Context& c)
{
    static const char* const a[] = { "Res", "Peaky", "Whistle", "Squeal", "Singing", "Nasal", "Tight", "Vowel", "Wah", "Acid", "Howl", "Sharp" };
    static const char* const b[] = { "Lead", "Solo", "Lead", "Tone", "Voice", "Line" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, r.pick ({ 24, 36 }), 0, r.pick ({ shape::saw, shape::square }), r.range (0, 25));
    p.osc (1, p.record[par::oscFreq[0]], r.range (2, 7), shape::saw, r.range (0, 25));
    p.filter (r.range (50, 85), r.range (90, 120), r.range (40, 80), r.range (60, 110), true, r.range (20, 50));
    p.filterEnv (r.range (0, 10), r.range (40, 70), r.range (30, 60), r.range (25, 45));
    p.ampEnv (r.range (0, 6), r.range (50, 80), r.range (100, 127), r.range (20, 40));
    p.lfo (1, r.range (20, 60), lfoShape::triangle, r.range (5, 20), dest::cutoff);
    p.vibratoOnWheel (r);
    p.set (par::bendRange, 2);
    p.category (6);
    p.name (c.namer.make (r, a, b));
}

void syncLead (Context& c)
{
    static const char* const a[] = { "Sync", "Tear", "Hard Sync", "Rip", "Sweep", "Metal", "Scream", "Laser", "Slice", "Cutting", "Grind", "Chrome" };
    static const char* const b[] = { "Lead", "Sync", "Lead", "Solo", "Tone", "Sweep" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, r.pick ({ 24, 36 }), 0, shape::saw);
    p.osc (1, r.range (36, 55), 0, r.pick ({ shape::saw, shape::pulse (r.range (20, 50)) }));
    p.set (par::sync, 1);
    p.set (par::oscMix, r.range (80, 127));
    p.filter (r.range (100, 140), r.range (0, 30), r.range (10, 40), r.range (50, 100), true, r.range (10, 40));
    p.filterEnv (0, r.range (40, 70), r.range (60, 100), r.range (20, 40));
    p.ampEnv (0, r.range (50, 80), r.range (110, 127), r.range (20, 40));
    p.env3 (dest::osc2, r.range (30, 80), 0, r.range (40, 80), r.range (0, 30), r.range (20, 40));
    p.modWheel (r.range (30, 70), dest::osc2);
    p.mod (0, source::pressure, r.range (20, 50), dest::osc2);
    p.set (par::bendRange, 2);
    p.category (7);
    p.name (c.namer.make (r, a, b));
}

void pad (Context& c)
{
    static const char* const a[] = { "Warm", "Glass", "Dream", "Silk", "Velvet", "Cloud", "Halo", "Ocean", "Dusk", "Aurora", "Soft", "Wide", "Choir", "Frozen", "Misty", "Golden" };
    static const char* const b[] = { "Pad", "Pad", "Sweep", "Haze", "Wash", "Air", "Drift", "Strings Pad" };
    auto& r = c.rng;
    auto& p = c.p;
    const auto usePulse = r.chance (50);
    const auto wave = usePulse ? shape::pulse (r.range (20, 45)) : shape::saw;
    p.osc (0, 24, 0, wave);
    p.osc (1, r.pick ({ 24, 24, 31, 36 }), r.range (4, 12), r.pick ({ shape::saw, wave, shape::sawTri }));
    p.set (par::oscMix, r.range (50, 74));
    p.set (par::slop, r.range (3, 5));
    p.filter (r.range (60, 100), r.range (10, 40), r.range (10, 40), r.range (30, 70), r.chance (60), r.range (0, 30));
    p.filterEnv (r.range (50, 90), r.range (60, 100), r.range (60, 100), r.range (70, 100));
    p.ampEnv (r.range (50, 95), r.range (60, 100), r.range (100, 127), r.range (70, 110));
    p.lfo (0, r.range (15, 40), lfoShape::triangle, r.range (20, 50), usePulse ? dest::pwAll : dest::cutoff);
    p.lfo (1, r.range (5, 25), lfoShape::triangle, r.range (30, 70), dest::pan);
    p.set (par::panSpread, r.range (40, 100));
    p.modWheel (r.range (30, 70), dest::lfo1Amt);
    p.category (24);
    p.name (c.namer.make (r, a, b));
}

void strings (Context& c)
{
    static const char* const a[] = { "Analog", "Lush", "Slow", "Bowed", "Silver", "Chamber", "Poly", "Warm", "Vintage", "Soft", "Solina", "Wide" };
    static const char* const b[] = { "Strings", "Strings", "Ensemble", "Violins", "Cellos", "Orchestra" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, r.pick ({ 24, 36 }), 0, shape::saw);
    p.osc (1, p.record[par::oscFreq[0]], r.range (5, 12), shape::saw);
    p.set (par::oscMix, 64);
    p.set (par::slop, r.range (2, 5));
    p.filter (r.range (75, 110), r.range (0, 15), r.range (5, 25), r.range (50, 90), r.chance (30), r.range (10, 40));
    p.filterEnv (r.range (30, 60), r.range (60, 90), r.range (80, 110), r.range (50, 80));
    p.ampEnv (r.range (35, 65), r.range (60, 90), r.range (100, 127), r.range (50, 80));
    p.lfo (0, r.range (70, 85), lfoShape::triangle, r.range (2, 6), dest::oscAll);
    p.set (par::panSpread, r.range (60, 110));
    p.modWheel (r.range (20, 50), dest::lfo1Amt);
    p.category (3);
    p.name (c.namer.make (r, a, b));
}

void brass (Context& c)
{
    static const char* const a[] = { "Synth", "Poly", "Big", "Fanfare", "Soft", "Bright", "Stab", "Regal", "Royal", "Funky", "Tight", "Warm" };
    static const char* const b[] = { "Brass", "Brass", "Horns", "Section", "Trumpets", "Brass Hit" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, 24, 0, shape::saw);
    p.osc (1, r.pick ({ 24, 24, 36 }), r.range (3, 8), shape::saw);
    p.set (par::oscMix, 64);
    p.filter (r.range (35, 65), r.range (0, 20), r.range (45, 80), r.range (40, 80), true, r.range (20, 60));
    p.filterEnv (r.range (8, 25), r.range (40, 65), r.range (55, 85), r.range (20, 40));
    p.ampEnv (r.range (3, 15), r.range (50, 80), r.range (110, 127), r.range (20, 35));
    p.pressure (r.range (20, 50), dest::cutoff);
    p.mod (0, source::velocity, r.range (15, 40), dest::filterEnvAmt);
    p.vibratoOnWheel (r);
    p.category (12);
    p.name (c.namer.make (r, a, b));
}

void keys (Context& c)
{
    static const char* const a[] = { "Electric", "Soft", "Funky", "Bell", "Vintage", "Glass", "Tine", "Reed", "Pluck", "Hammer", "Stage", "Dyno" };
    static const char* const b[] = { "Piano", "Keys", "EP", "Clavi", "Keys", "Harpsi" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, 24, 0, r.pick ({ shape::tri, shape::pulse (r.range (10, 40)) }));
    p.osc (1, r.pick ({ 36, 43, 24 }), r.range (0, 4), r.pick ({ shape::saw, shape::pulse (r.range (5, 25)), shape::tri }));
    p.set (par::oscMix, r.range (30, 70));
    p.filter (r.range (50, 90), r.range (0, 30), r.range (30, 70), r.range (50, 90), r.chance (50), r.range (30, 70));
    p.filterEnv (0, r.range (50, 80), r.range (0, 30), r.range (30, 50));
    p.ampEnv (0, r.range (65, 90), r.range (0, 25), r.range (30, 50));
    p.set (par::vcaVelAmt, r.range (40, 80));
    p.mod (0, source::velocity, r.range (20, 50), dest::filterEnvAmt);
    p.lfo (0, r.range (78, 92), lfoShape::triangle, 0, dest::vca);
    p.modWheel (r.range (20, 60), dest::lfo1Amt);
    p.category (1);
    p.name (c.namer.make (r, a, b));
}

void organ (Context& c)
{
    static const char* const a[] = { "Rock", "Drawbar", "Perc", "Church", "Jazz", "Gospel", "Combo", "Full", "Soft", "Tonewheel" };
    static const char* const b[] = { "Organ", "Organ", "Organ", "Pipes", "B Organ" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, 24, 0, shape::square);
    p.osc (1, r.pick ({ 36, 31, 43 }), r.range (0, 3), r.pick ({ shape::square, shape::saw, shape::tri }));
    p.set (par::subOsc[0], r.range (40, 90));
    p.set (par::oscMix, r.range (40, 70));
    p.filter (r.range (100, 140), 0, r.range (0, 20), r.range (60, 100), false, 0);
    p.filterEnv (0, r.range (20, 40), r.range (0, 40), r.range (5, 15));
    p.ampEnv (0, 0, 127, r.range (4, 12));
    const auto tremolo = r.chance (40);
    p.lfo (0, r.range (85, 95), lfoShape::triangle, r.range (3, 8), tremolo ? dest::vca : dest::oscAll);
    p.modWheel (r.range (40, 80), dest::lfo1Amt);
    p.category (2);
    p.name (c.namer.make (r, a, b));
}

void bells (Context& c)
{
    static const char* const a[] = { "Glass", "Crystal", "Chime", "Temple", "Tubular", "Ice", "Metal", "Music Box", "Silver", "Toy", "Tiny", "Church" };
    static const char* const b[] = { "Bells", "Bell", "Chimes", "Ring", "Tines", "Gong" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, 36, 0, shape::tri);
    p.osc (1, 36 + r.pick ({ 19, 24, 28, 31 }), r.range (-8, 8), shape::tri);
    p.set (par::oscMix, r.range (40, 70));
    p.set (par::audioMod, r.range (30, 80));
    p.filter (r.range (110, 150), r.range (0, 20), r.range (10, 40), r.range (60, 110), false, r.range (20, 50));
    p.filterEnv (0, r.range (70, 90), 0, r.range (60, 90));
    p.ampEnv (0, r.range (80, 110), 0, r.range (60, 90));
    p.set (par::vcaVelAmt, r.range (30, 60));
    p.velocity (r.range (20, 50), dest::audioMod);
    p.category (18);
    p.name (c.namer.make (r, a, b));
}

void percussion (Context& c)
{
    struct Drum
    {
        const char* name;
        std::function<void (Patch&, Rng&)> make;
    };
    static const Drum drums[] = {
        { "Kick", [] (Patch& p, Rng& r) {
              p.osc (0, 12, 0, shape::tri);
              p.osc (1, 12, 0, shape::off);
              p.set (par::oscMix, 0);
              p.filter (r.range (60, 90), r.range (0, 30), 20, 0, true, 20);
              p.env3 (dest::oscAll, r.range (40, 70), 0, r.range (20, 35), 0, 20);
              p.ampEnv (0, r.range (30, 45), 0, r.range (20, 35));
          } },
        { "Snare", [] (Patch& p, Rng& r) {
              p.osc (0, 36, 0, shape::tri);
              p.osc (1, 43, 0, shape::tri);
              p.set (par::noise, r.range (80, 127));
              p.filter (r.range (90, 130), r.range (0, 30), r.range (20, 40), 0, false, 40);
              p.filterEnv (0, r.range (25, 40), 0, r.range (25, 40));
              p.env3 (dest::oscAll, r.range (15, 35), 0, r.range (10, 25), 0, 10);
              p.ampEnv (0, r.range (25, 40), 0, r.range (25, 40));
          } },
        { "Hat", [] (Patch& p, Rng& r) {
              p.osc (0, 24, 0, shape::off);
              p.osc (1, 24, 0, shape::off);
              p.set (par::noise, 127);
              p.filter (r.range (140, 164), r.range (40, 80), 0, 0, false, 30);
              p.ampEnv (0, r.range (10, 25), 0, r.range (10, 25));
          } },
        { "Tom", [] (Patch& p, Rng& r) {
              p.osc (0, r.pick ({ 24, 29, 31, 36 }), 0, shape::tri);
              p.osc (1, 24, 0, shape::off);
              p.set (par::oscMix, 0);
              p.filter (r.range (70, 100), r.range (10, 40), 20, 60, true, 30);
              p.env3 (dest::oscAll, r.range (20, 40), 0, r.range (35, 55), 0, 30);
              p.ampEnv (0, r.range (40, 55), 0, r.range (35, 50));
          } },
        { "Clap", [] (Patch& p, Rng& r) {
              p.osc (0, 24, 0, shape::off);
              p.osc (1, 24, 0, shape::off);
              p.set (par::noise, 127);
              p.filter (r.range (100, 125), r.range (30, 60), r.range (10, 30), 0, false, 30);
              p.env3 (dest::vca, r.range (40, 70), 0, 8, 0, 8, true);
              p.ampEnv (0, r.range (30, 45), 0, r.range (25, 40));
          } },
        { "Cowbell", [] (Patch& p, Rng& r) {
              p.osc (0, 48, 0, shape::square);
              p.osc (1, 55, r.range (0, 6), shape::square);
              p.set (par::oscMix, 64);
              p.filter (r.range (90, 120), r.range (40, 70), 20, 60, false, 30);
              p.ampEnv (0, r.range (30, 45), 0, r.range (25, 40));
          } },
        { "Zap Perc", [] (Patch& p, Rng& r) {
              p.osc (0, 36, 0, shape::saw);
              p.osc (1, 36, 0, shape::off);
              p.set (par::oscMix, 0);
              p.filter (r.range (60, 100), r.range (70, 110), r.range (60, 100), 60, true, 40);
              p.filterEnv (0, r.range (15, 30), 0, r.range (15, 30));
              p.env3 (dest::oscAll, r.range (60, 100), 0, r.range (15, 30), 0, 15);
              p.ampEnv (0, r.range (30, 45), 0, r.range (25, 40));
          } },
    };
    static const char* const a[] = { "Analog", "Tight", "Deep", "Noisy", "Short", "Punchy", "Electro", "Boom", "Vintage", "Dry" };
    auto& r = c.rng;
    auto& p = c.p;
    const auto& drum = r.pick (drums);
    drum.make (p, r);
    p.set (par::vcaVelAmt, r.range (40, 80));
    p.set (par::slop, 0);
    p.category (21);
    const char* const b[] = { drum.name };
    p.name (c.namer.make (r, a, b));
}

void soundEffect (Context& c)
{
    static const char* const a[] = { "Space", "Alien", "Robot", "Sci-Fi", "Falling", "Rising", "Broken", "Radio", "Tape", "Storm", "Lost", "Orbit" };
    static const char* const b[] = { "Siren", "Laser", "Zap", "Beeps", "Alarm", "UFO", "Signal", "Drone", "Bubbles", "Dive" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, r.range (24, 48), 0, r.pick ({ shape::saw, shape::square, shape::tri }));
    p.osc (1, r.range (24, 60), r.range (-20, 20), r.pick ({ shape::saw, shape::square, shape::tri }));
    p.set (par::oscMix, r.range (20, 100));
    p.set (par::feedbackVol, r.range (0, 80));
    p.set (par::feedbackGain, r.range (0, 100));
    p.set (par::audioMod, r.range (0, 60));
    p.filter (r.range (60, 130), r.range (30, 100), r.range (-40, 60), r.range (0, 80), r.chance (50), 0);
    p.filterEnv (r.range (0, 60), r.range (40, 100), r.range (20, 80), r.range (40, 90));
    p.ampEnv (r.range (0, 40), r.range (60, 100), r.range (80, 127), r.range (40, 90));
    p.lfo (0, r.range (40, 140), r.pick ({ lfoShape::random, lfoShape::square, lfoShape::saw }), r.range (40, 100), dest::oscAll);
    p.lfo (1, r.range (5, 40), lfoShape::triangle, r.range (30, 80), dest::lfo1Freq);
    p.env3 (r.pick ({ dest::cutoff, dest::oscAll, dest::feedbackGain }), r.range (-60, 60), r.range (10, 40), r.range (20, 60), 0,
            r.range (20, 60), r.chance (40));
    p.mod (0, source::noise, r.range (10, 40), dest::cutoff);
    p.category (23);
    p.name (c.namer.make (r, a, b));
}

void noiseSound (Context& c)
{
    static const char* const a[] = { "Wind", "Surf", "Steam", "Rain", "White", "Breath", "Static", "Jet", "Sea", "Cosmic" };
    static const char* const b[] = { "Noise", "Sweep", "Wash", "Hiss", "Waves", "Gust" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, 24, 0, shape::off);
    p.osc (1, 24, 0, r.chance (30) ? shape::tri : shape::off);
    p.set (par::noise, 127);
    p.filter (r.range (40, 90), r.range (70, 110), r.range (0, 30), r.range (30, 90), true, 0);
    p.filterEnv (r.range (30, 80), r.range (60, 100), r.range (50, 100), r.range (60, 100));
    p.ampEnv (r.range (40, 90), r.range (60, 100), 127, r.range (60, 110));
    p.lfo (0, r.range (5, 30), r.pick ({ lfoShape::triangle, lfoShape::random }), r.range (30, 70), dest::cutoff);
    p.lfo (1, r.range (3, 20), lfoShape::triangle, r.range (40, 90), dest::pan);
    p.set (par::panSpread, r.range (60, 127));
    p.category (22);
    p.name (c.namer.make (r, a, b));
}

/** Notes of a scale, in semitones from the key played, for sequences and riffs. */
std::vector<int> scaleNotes (Rng& r)
{
    static const std::vector<int> scales[] = { { 0, 3, 5, 7, 10, 12, 15 },    // minor pentatonic
                                                { 0, 2, 4, 7, 9, 12, 14 },    // major pentatonic
                                                { 0, 2, 3, 5, 7, 8, 10, 12 }, // natural minor
                                                { 0, 7, 12, 19, 24 } };       // fifths and octaves
    return r.pick (scales);
}

void sequence (Context& c)
{
    static const char* const a[] = { "Seq", "Pulse", "Motor", "Techno", "Berlin", "Drive", "Night", "Run", "Clock", "Loop", "Tempo", "Step" };
    static const char* const b[] = { "Seq", "Sequence", "Pattern", "Groove", "Runner", "Machine" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, r.pick ({ 12, 24 }), 0, r.pick ({ shape::saw, shape::square }));
    p.osc (1, r.pick ({ 12, 24 }), r.range (3, 8), shape::saw);
    p.set (par::oscMix, r.range (40, 80));
    p.filter (r.range (30, 70), r.range (40, 100), r.range (30, 80), r.range (30, 70), true, r.range (0, 40));
    p.filterEnv (0, r.range (20, 45), r.range (0, 30), r.range (15, 30));
    p.ampEnv (0, r.range (30, 55), r.range (0, 60), r.range (15, 30));

    // Track 1 plays notes of a scale (with a rest now and then), track 2 accents the cutoff,
    // track 3 moves the filter envelope amount; a shorter track 2 or 3 makes the pattern shift.
    const auto notes = scaleNotes (r);
    const auto length = r.pick ({ 16, 16, 16, 12, 8 });
    std::vector<int> pitch, accent, envelope;
    for (int i = 0; i < length; ++i)
    {
        const auto rest = i > 0 && r.chance (12);
        pitch.push_back (rest ? seqRest : 24 + notes[(size_t) r.range (0, (int) notes.size() - 1)]);
        accent.push_back (i % 4 == 0 ? r.range (70, 110) : r.range (0, 60));
        envelope.push_back (r.range (20, 100));
    }
    if (r.chance (50))
        accent.resize ((size_t) r.pick ({ 5, 7, 11 }));
    p.track (0, dest::oscAll, pitch);
    p.track (1, dest::cutoff, accent);
    p.track (2, dest::filterEnvAmt, envelope);
    p.track (3, dest::off, {});
    p.set (par::seqOn, 1);
    p.set (par::seqTrigger, r.pick ({ 0, 0, 1 }));
    p.set (par::bpm, r.range (90, 140));
    p.set (par::clockDivide, r.pick ({ clockSixteenth, clockSixteenth, clockEighth }));
    p.category (20);
    p.name (c.namer.make (r, a, b));
}

void arpeggio (Context& c)
{
    static const char* const a[] = { "Arp", "Crystal", "Bouncy", "Spiral", "Sparkle", "Cascade", "Rain", "Tick", "Up Down", "Glide", "Trance", "Pluck" };
    static const char* const b[] = { "Arp", "Arp", "Arpeggio", "Steps", "Chords", "Ripple" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, r.pick ({ 24, 36 }), 0, r.pick ({ shape::saw, shape::pulse (r.range (10, 45)), shape::tri }));
    p.osc (1, r.pick ({ 24, 36, 31 }), r.range (3, 9), r.pick ({ shape::saw, shape::square }));
    p.set (par::oscMix, r.range (40, 80));
    p.filter (r.range (50, 100), r.range (20, 70), r.range (30, 70), r.range (40, 90), r.chance (60), r.range (20, 60));
    p.filterEnv (0, r.range (25, 50), r.range (0, 30), r.range (20, 40));
    p.ampEnv (0, r.range (40, 70), r.range (0, 40), r.range (25, 50));
    p.set (par::arpOn, 1);
    p.set (par::arpMode, r.range (0, 14));
    p.set (par::bpm, r.range (90, 150));
    p.set (par::clockDivide, r.pick ({ clockEighth, clockSixteenth, clockEighthTriplet, clockSixteenthTriplet }));
    p.set (par::panSpread, r.range (30, 90));
    p.category (25);
    p.name (c.namer.make (r, a, b));
}

void evolution (Context& c)
{
    static const char* const a[] = { "Evolving", "Shifting", "Slow", "Morph", "Tidal", "Living", "Breathing", "Drifting", "Turning", "Endless" };
    static const char* const b[] = { "Pad", "Texture", "Tides", "Motion", "Spaces", "Waves" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, 24, 0, shape::pulse (r.range (20, 40)));
    p.osc (1, r.pick ({ 31, 36 }), r.range (4, 10), shape::saw);
    p.set (par::slop, 5);
    p.filter (r.range (50, 90), r.range (30, 70), r.range (10, 40), r.range (30, 60), true, 0);
    p.filterEnv (r.range (70, 110), r.range (80, 120), r.range (60, 100), r.range (80, 110));
    p.ampEnv (r.range (60, 100), r.range (80, 110), 127, r.range (80, 120));
    p.lfo (0, r.range (3, 15), lfoShape::triangle, r.range (20, 50), dest::cutoff);
    p.lfo (1, r.range (5, 20), lfoShape::triangle, r.range (30, 60), dest::pwAll);
    p.lfo (2, r.range (2, 12), lfoShape::triangle, r.range (30, 80), dest::oscMix);
    p.lfo (3, r.range (4, 16), lfoShape::random, r.range (20, 60), dest::pan);
    p.env3 (dest::resonance, r.range (20, 50), r.range (80, 120), r.range (80, 120), r.range (40, 80), r.range (80, 110));
    p.mod (0, source::lfo1, r.range (10, 30), dest::lfo2Amt); // the sweeps breathe at their own pace
    p.set (par::panSpread, r.range (60, 120));
    p.category (14);
    p.name (c.namer.make (r, a, b));
}

void motion (Context& c)
{
    static const char* const a[] = { "Gated", "Pulsing", "Tremolo", "Chopped", "Rhythm", "Stutter", "Synced", "Trance", "Wobble", "Throb" };
    static const char* const b[] = { "Pad", "Gate", "Pulse", "Chords", "Motion", "Wobble" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, 24, 0, shape::saw);
    p.osc (1, r.pick ({ 24, 31, 36 }), r.range (4, 10), shape::saw);
    p.filter (r.range (40, 80), r.range (30, 80), r.range (10, 40), r.range (30, 70), true, 0);
    p.ampEnv (r.range (5, 30), r.range (60, 90), 127, r.range (40, 70));
    p.lfo (0, r.range (lfoSyncFirst + 4, lfoSyncLast - 2), r.pick ({ lfoShape::square, lfoShape::reverseSaw, lfoShape::triangle }),
           r.range (40, 90), r.pick ({ dest::cutoff, dest::vca }), true);
    p.lfo (1, r.range (lfoSyncFirst, lfoSyncFirst + 6), lfoShape::triangle, r.range (10, 30), dest::resonance, true);
    p.set (par::bpm, r.range (100, 130));
    p.modWheel (r.range (30, 70), dest::lfo1Amt);
    p.category (15);
    p.name (c.namer.make (r, a, b));
}

void polySynth (Context& c)
{
    static const char* const a[] = { "Poly", "Classic", "Vintage", "Analog", "Eighties", "Juno", "Warm", "Bright", "Stab", "Hollow" };
    static const char* const b[] = { "Synth", "Poly", "Chords", "Stab", "Keys", "Synth" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, 24, 0, r.pick ({ shape::saw, shape::pulse (r.range (15, 45)) }));
    p.osc (1, r.pick ({ 24, 36 }), r.range (4, 10), shape::saw);
    p.filter (r.range (60, 100), r.range (10, 40), r.range (20, 60), r.range (40, 80), r.chance (50), r.range (20, 50));
    p.filterEnv (r.range (0, 10), r.range (40, 70), r.range (30, 70), r.range (30, 50));
    p.ampEnv (r.range (0, 10), r.range (50, 80), r.range (90, 127), r.range (30, 50));
    p.lfo (1, r.range (20, 40), lfoShape::triangle, r.range (10, 30), dest::pwAll);
    p.vibratoOnWheel (r);
    p.category (16);
    p.name (c.namer.make (r, a, b));
}

void vox (Context& c)
{
    static const char* const a[] = { "Vox", "Choir", "Human", "Angel", "Ghost", "Talking", "Robot", "Breathy" };
    static const char* const b[] = { "Ahh", "Oohs", "Voices", "Choir", "Vox", "Vowels" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, 24, 0, shape::saw);
    p.osc (1, 24, r.range (4, 8), shape::pulse (r.range (5, 20)));
    p.set (par::noise, r.range (5, 20));
    p.filter (r.range (60, 90), r.range (60, 90), r.range (10, 30), r.range (40, 80), false, 0);
    p.filterEnv (r.range (20, 50), r.range (60, 90), r.range (60, 100), r.range (50, 80));
    p.ampEnv (r.range (30, 60), r.range (60, 90), 127, r.range (50, 80));
    p.lfo (0, r.range (10, 30), lfoShape::triangle, r.range (10, 30), dest::cutoff);
    p.lfo (1, r.range (75, 85), lfoShape::triangle, r.range (2, 5), dest::oscAll);
    p.category (17);
    p.name (c.namer.make (r, a, b));
}

void harmonics (Context& c)
{
    static const char* const a[] = { "Overtone", "Harmonic", "Partial", "Feedback", "Resonant", "Spectral", "Hollow", "Tube" };
    static const char* const b[] = { "Tone", "Series", "Drone", "Ring", "Flutes", "Harmonics" };
    auto& r = c.rng;
    auto& p = c.p;
    p.osc (0, 24, 0, shape::tri);
    p.osc (1, 24 + r.pick ({ 12, 19, 24, 28 }), 0, shape::tri);
    p.set (par::feedbackVol, r.range (30, 90));
    p.set (par::feedbackGain, r.range (40, 110));
    p.set (par::audioMod, r.range (10, 50));
    p.filter (r.range (90, 130), r.range (20, 60), r.range (0, 30), r.range (60, 100), false, 0);
    p.ampEnv (r.range (5, 40), r.range (60, 100), 127, r.range (40, 80));
    p.lfo (0, r.range (5, 20), lfoShape::triangle, r.range (20, 60), dest::feedbackGain);
    p.modWheel (r.range (30, 80), dest::audioMod);
    p.category (19);
    p.name (c.namer.make (r, a, b));
}

void instrument (Context& c)
{
    static const char* const a[] = { "Analog", "Wooden", "Bamboo", "Soft", "Bright", "Mellow", "Pan", "Dulcet" };
    static const char* const b[] = { "Flute", "Marimba", "Harp", "Clarinet", "Oboe", "Kalimba" };
    auto& r = c.rng;
    auto& p = c.p;
    const auto plucked = r.chance (50);
    p.osc (0, 36, 0, plucked ? shape::tri : shape::pulse (r.range (5, 30)));
    p.osc (1, 36, r.range (2, 5), shape::tri);
    p.set (par::noise, plucked ? 0 : r.range (10, 25));
    p.filter (r.range (60, 100), r.range (0, 30), r.range (10, 40), r.range (60, 110), r.chance (50), r.range (20, 50));
    if (plucked)
        p.ampEnv (0, r.range (55, 75), 0, r.range (40, 60));
    else
        p.ampEnv (r.range (10, 20), r.range (50, 70), 120, r.range (25, 40));
    p.filterEnv (0, r.range (40, 70), r.range (20, 60), r.range (30, 50));
    p.vibratoOnWheel (r);
    p.category (13);
    p.name (c.namer.make (r, a, b));
}

//==============================================================================
struct Archetype
{
    void (*make) (Context&);
    int perBank;
};

const Archetype archetypes[] = {
    { softBass, 5 },   { brightBass, 6 }, { resBass, 6 },     { subBass, 4 },     { softLead, 5 },  { brightLead, 6 },
    { resLead, 5 },    { syncLead, 5 },   { pad, 12 },        { strings, 6 },     { brass, 7 },     { keys, 8 },
    { organ, 4 },      { bells, 5 },      { percussion, 8 },  { soundEffect, 6 }, { noiseSound, 2 }, { sequence, 8 },
    { arpeggio, 8 },   { evolution, 3 },  { motion, 3 },      { polySynth, 3 },   { vox, 1 },       { harmonics, 1 },
    { instrument, 1 },
};

/** Where the program breaks a range or holds an unprintable name, or empty. */
juce::String findFault (const ProgramRecord& record, const ParameterTable& table)
{
    for (int i = 0; i < program::nameOffset; ++i)
        if (record[(size_t) i] < table.getMin (i) || record[(size_t) i] > table.getMax (i))
            return "parameter " + juce::String (i) + " = " + juce::String (record[(size_t) i]);
    if (record[program::categoryIndex] >= category::count)
        return "category";
    for (int i = 0; i < program::nameLength; ++i)
        if (const auto ch = record[(size_t) (program::nameOffset + i)]; ch < 0x20 || ch > 0x7e)
            return "name";
    return {};
}

std::vector<juce::MemoryBlock> makeBanks()
{
    Rng rng (seed);
    Namer namer;
    const ParameterTable table;
    std::set<ProgramRecord> seen;
    std::vector<juce::MemoryBlock> banks;

    for (int bank = 0; bank < synthbanks::numFactoryBanks; ++bank)
    {
        std::vector<const Archetype*> slots;
        for (const auto& archetype : archetypes)
            for (int i = 0; i < archetype.perBank; ++i)
                slots.push_back (&archetype);
        if ((int) slots.size() != bankTotal)
            throw std::runtime_error ("the archetypes fill " + std::to_string (slots.size()) + " programs, not 128");

        // Shuffled, so each bank mixes its sounds as a factory set does.
        for (auto i = slots.size(); i > 1; --i)
            std::swap (slots[i - 1], slots[(size_t) rng.range (0, (int) i - 1)]);

        juce::MemoryBlock block;
        for (const auto* archetype : slots)
        {
            Patch patch;
            Context context { rng, namer, patch };
            archetype->make (context);

            if (const auto fault = findFault (patch.record, table); fault.isNotEmpty())
                throw std::runtime_error ("\"" + decodeProgramName (patch.record.data() + program::nameOffset, program::nameLength).toStdString()
                                          + "\" breaks a range: " + fault.toStdString());
            if (! seen.insert (patch.record).second)
                throw std::runtime_error ("two equal programs");
            block.append (patch.record.data(), patch.record.size());
        }
        banks.push_back (std::move (block));
    }
    return banks;
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: %s <factory image to write>\n", argv[0]);
        return 2;
    }

    try
    {
        const auto image = makeBankImage (bankimage::factoryHeader, makeBanks());
        if (! writeFileSafely (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]), image))
        {
            std::fprintf (stderr, "cannot write %s\n", argv[1]);
            return 1;
        }
    }
    catch (const std::exception& e)
    {
        std::fprintf (stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
