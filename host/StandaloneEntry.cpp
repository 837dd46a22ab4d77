#include "host/StandaloneApp.h"

// The standalone application's entry point (the plug-in wrapper's main() asks for it). In a file of
// its own, so that only the standalone application links it.
juce::JUCEApplicationBase* juce_CreateApplication();
juce::JUCEApplicationBase* juce_CreateApplication()
{
    return new kelvo::KelvoStandaloneApp();
}
