#include "host/MarvexAudioProcessor.h"

// The plug-in's entry point: the host creates one processor per instance.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new kelvo::MarvexAudioProcessor();
}
