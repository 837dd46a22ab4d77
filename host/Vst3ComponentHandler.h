#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>

namespace kelvo
{

/**
    The component handler that a VST3 host gives the plug-in's controller, kept so that the
    processor can tell the host a value inside one of the host's own calls on its UI thread (a
    program chosen, a program chunk loaded). JUCE's wrapper tells the host directly only on what it
    takes for the message thread; on Linux, until the host hands it a run loop (an editor opens), that
    is a thread of the plug-in's own, and from the host's UI thread the wrapper only queues the value
    for the next audio block, so the host would go on showing the old value until it plays.

    Threads: set() and performEdit() run on the host's UI thread (the wrapper's controller calls).
*/
class Vst3ComponentHandler
{
public:
    Vst3ComponentHandler() = default;
    ~Vst3ComponentHandler();

    /** Keeps a reference to the host's handler; nullptr lets it go. */
    void set (Steinberg::FUnknown* componentHandler);
    bool isSet() const noexcept { return handler.load() != nullptr; }

    /** Tells the host a parameter's new value (VST3 performEdit, no gesture); false when no
        handler is known. */
    bool performEdit (int parameterId, double normalisedValue);

private:
    std::atomic<Steinberg::FUnknown*> handler{nullptr};

    JUCE_DECLARE_NON_COPYABLE (Vst3ComponentHandler)
};

} // namespace kelvo
