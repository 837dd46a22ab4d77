#include "model/ParDes.h"
#include "model/ParameterTable.h"

namespace kelvo
{
namespace
{
const char* const outOfList = "*/*";

template <size_t N>
juce::String fromList (const char* const (&list)[N], int value, const char* fallback = outOfList)
{
    return value >= 0 && value < (int) N ? juce::String (list[value]) : juce::String (fallback);
}

const char* const noteNames[] = { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" };

const char* const glideModes[] = { "Fixed Rate", "Fixed Rate Auto", "Fixed Time", "Fixed Time Auto" };

const char* const lfoShapes[] = { "Triangle", "Reverse Sawtooth", "Sawtooth", "Pulse (square)", "Random" };

const char* const lfoSyncTexts[] = { "32 st", "16 st", "8 st", "6 st", "4 st", "3 st", "2 st", "1.5 st",
                                     "1 st", "2/3 st", "1/2 st", "1/3 st", "1/4 st", "1/6 st", "1/8 st", "1/16 st" };
constexpr int firstLfoSyncValue = 151;

const char* const modSources[] = { "OFF", "Sequence Track 1", "Sequence Track 2", "Sequence Track 3",
                                   "Sequence Track 4", "LFO 1", "LFO 2", "LFO 3", "LFO 4", "Filter Envelope",
                                   "Amp Envelope", "Envelope 3", "Pitch Bend", "Mod Wheel", "Pressure",
                                   "MIDI Breath", "MIDI Foot", "MIDI Expression", "Velocity", "Note Number",
                                   "Noise", "Audio In Envelope Follower", "Audio In Peak Hold" };

const char* const modDestinations[] = {
    "OFF", "Osc 1 Freq", "Osc 2 Freq", "Osc All Freq", "Osc Mix", "Noise Level", "Osc 1 Pulse Width",
    "Osc 2 Pulse Width", "Osc All PW", "Low Pass", "Resonance", "Audio Mod", "VCA Level", "Output Pan",
    "LFO 1 Freq", "LFO 2 Freq", "LFO 3 Freq", "LFO 4 Freq", "LFO All Freq", "LFO 1 Amt", "LFO 2 Amt",
    "LFO 3 Amt", "LFO 4 Amt", "LFO All Amt", "Env 1 Amt", "Env 2 Amt", "Env 3 Amt", "Env All Amounts",
    "Env 1 Attack", "Env 2 Attack", "Env 3 Attack", "Env All Attacks", "Env 1 Decay", "Env 2 Decay",
    "Env 3 Decay", "Env All Decays", "Env 1 Release", "Env 2 Release", "Env 3 Release", "Env All Releases",
    "Mod 1 Amt", "Mod 2 Amt", "Mod 3 Amt", "Mod 4 Amt", "Feedback Vol", "Sub Osc 1", "Sub Osc 2",
    "Feedback Gain"
};
constexpr int seqSlewValue = 48;

const char* const clockDivides[] = { "Half Note", "Quarter Note", "8th Note", "8th N 1/2S", "8th N FS",
                                     "8th N T", "16th N", "16th N 1/2S", "16th N S", "16th N T",
                                     "32nd N", "32nd N T", "64th N T" };

const char* const seqTriggers[] = { "Normal", "No Reset", "No Gate", "No G/R", "Key Step", "Audio In" };

const char* const unisonModes[] = { "1 voice", "All voice", "All detune 1", "All detune 2", "All detune 3" };

const char* const keyAssigns[] = { "Low Note ", "Low Note RT", "High Note ", "High Note RT", "Last Note Hit",
                                   "Last Note Hit RT" };

const char* const arpModes[] = { "Up", "Down", "Up/Down", "Assign", "Random", "2 Oct Up", "2 Oct Down",
                                 "2 Oct Up/Down", "2 Oct Assign", "2 Oct Random", "3 Oct Up", "3 Oct Down",
                                 "3 Oct Up/Down", "3 Oct Assign", "3 Oct Random" };

const char* const pushItModes[] = { "NORMAL", "TOGGLE" };

const char* const oscShapes[] = { "OFF", "SAW", "TRI", "SAW/TRI" };
constexpr int firstPulseWidthValue = 4;

juce::String oscShapeText (int value)
{
    if (value < firstPulseWidthValue)
        return fromList (oscShapes, value);

    const auto width = value - firstPulseWidthValue;
    return width < 10 ? "PW 0" + juce::String (width) : "PW " + juce::String (width);
}

juce::String lfoFrequencyText (int value)
{
    const auto syncIndex = value - firstLfoSyncValue;
    if (syncIndex >= 0 && syncIndex < (int) std::size (lfoSyncTexts))
        return lfoSyncTexts[syncIndex];
    return juce::String (value);
}

juce::String destinationText (int value, const char* slewText)
{
    if (slewText != nullptr && value == seqSlewValue)
        return slewText;
    return fromList (modDestinations, value, "");
}
} // namespace

juce::String noteName (int value)
{
    // Negative values never come from a parameter byte; keep them in the table anyway.
    const auto octave = value / 12;
    const auto note = ((value % 12) + 12) % 12;
    return juce::String (noteNames[note]) + juce::String (octave);
}

juce::String ParDes::valueToText (int kindCode, int value)
{
    switch (kindCode)
    {
        case kind::oscShape:         return oscShapeText (value);
        case kind::glideMode:        return fromList (glideModes, value);
        case kind::lfoFrequency:     return lfoFrequencyText (value);
        case kind::lfoShape:         return fromList (lfoShapes, value);
        case kind::modSource:        return fromList (modSources, value);
        case kind::clockDivide:      return fromList (clockDivides, value);
        case kind::bendRange:        return "Range   " + juce::String (value);
        case kind::seqTrigger:       return fromList (seqTriggers, value);
        case kind::unisonMode:       return fromList (unisonModes, value);
        case kind::keyAssign:        return fromList (keyAssigns, value);
        case kind::arpMode:          return fromList (arpModes, value);
        case kind::noteName:
        case kind::oscFrequency:     return noteName (value);
        case kind::pushItMode:       return fromList (pushItModes, value);
        case kind::onOff:            return value != 0 ? "ON" : "OFF";
        case kind::modDestination:   return destinationText (value, nullptr);
        case kind::bpm:              return juce::String (value) + " bpm";
        case kind::signedAmount:     return juce::String (value - 127);
        case kind::fineTune:         return juce::String (value - 50);
        case kind::seq2Destination:  return destinationText (value, "Sequencer 1 Slew");
        case kind::seq4Destination:  return destinationText (value, "Sequencer 2 Slew");
        case kind::plainNumber:
        case kind::sequencerStep:
        default:                     return juce::String (value);
    }
}

bool kind::isList (int kindCode) noexcept
{
    switch (kindCode)
    {
        case oscShape:
        case glideMode:
        case lfoShape:
        case modSource:
        case clockDivide:
        case bendRange:
        case seqTrigger:
        case unisonMode:
        case keyAssign:
        case arpMode:
        case pushItMode:
        case onOff:
        case modDestination:
        case seq2Destination:
        case seq4Destination:
            return true;
        default:
            return false;
    }
}

juce::String ParDes::parameterName (int index)
{
    return ParameterTable::getName (index);
}

} // namespace kelvo
