#include "ui/widgets/ProgramLocation.h"
#include "model/SynthBanks.h"

namespace kelvo
{
namespace
{
constexpr int userBanks = synthbanks::numUserBanks;
constexpr int synthBanks = synthbanks::numSynthBanks;
constexpr int programDigits = 3;
} // namespace

juce::String bankPrefix (int bank)
{
    if (bank < 0 || bank >= synthBanks)
        return {};
    return bank < userBanks ? "U" + juce::String (bank + 1) : "F" + juce::String (bank - userBanks + 1);
}

juce::String programLocation (int bank, int program)
{
    if (bank < 0 || bank >= synthBanks)
        return {};
    return bankPrefix (bank) + ":" + juce::String (program + 1).paddedLeft ('0', programDigits);
}

} // namespace kelvo
