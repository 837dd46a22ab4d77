#include "model/Categories.h"

namespace kelvo
{

juce::String categoryName (int number)
{
    static const char* const names[category::count] = {
        "- Not Assigned -", "Keys", "Organs", "Strings", "Soft Lead", "Bright Lead", "Res Lead", "Sync",
        "Soft Bass", "Bright Bass", "Res Bass", "Sub Bass", "Brass", "Instruments", "Evolution", "Motion",
        "Synth", "Vox", "Bells", "Harmonics", "Sequence", "Percussion", "Noise", "Sound FX", "Pads", "Arpeggiator"
    };
    return number >= 0 && number < category::count ? juce::String (names[number]) : juce::String();
}

} // namespace kelvo
