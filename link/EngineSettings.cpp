#include "link/EngineSettings.h"
#include "model/ProductVersion.h"

namespace kelvo
{

juce::StringArray defaultSettings()
{
    juce::StringArray list { productVersion, "-1", "-1", "-1", "100", "0", "", "", "1" };
    while (list.size() < settings::numStored)
        list.add ("0");
    return list;
}

int channelFromSetting (const juce::String& text)
{
    const auto trimmed = text.trim();
    if (trimmed.isEmpty() || ! trimmed.containsOnly ("0123456789") || trimmed.length() > 2)
        return 0;
    const auto channel = trimmed.getIntValue();
    return channel >= 1 && channel <= 16 ? channel : 0;
}

} // namespace kelvo
