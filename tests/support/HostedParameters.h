#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace kelvo::test
{

/** The parameters of ours that a host lists: everything but the wrapper's own program and bypass. */
inline juce::Array<juce::AudioProcessorParameter*> kelvoParameters (juce::AudioPluginInstance& p)
{
    juce::Array<juce::AudioProcessorParameter*> ours;
    for (auto* param : p.getParameters())
        if (param != p.getBypassParameter() && param->getName (100) != "Program")
            ours.add (param);
    return ours;
}

/** One of ours, found by the name a host shows; nullptr when there is none. */
inline juce::AudioProcessorParameter* byName (juce::AudioPluginInstance& p, const juce::String& name)
{
    for (auto* param : kelvoParameters (p))
        if (param->getName (100) == name)
            return param;
    return nullptr;
}

} // namespace kelvo::test
