#pragma once

#include "link/MidiCntrState.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

namespace kelvo
{
class MarvexAudioProcessor;

/**
    The component that fills the editor. It registers with the engine while it exists, drains the
    engine's events on the message thread and brings the screen up to date.
*/
class MainComp final : public juce::Component,
                       public MidiCntrStateListener,
                       public stateListener,
                       private juce::AsyncUpdater
{
public:
    explicit MainComp (MarvexAudioProcessor& processor);
    ~MainComp() override;

    void paint (juce::Graphics& g) override;

    void midiCntrStateChanged (MidiCntrState& engine) override;
    void stateChanged (MidiCntrState& engine) override;

    /** Takes every queued event and applies it now (what the asynchronous update does). */
    void drainEvents();

private:
    void handleAsyncUpdate() override;
    void applyEvent (int32_t code);

    MarvexAudioProcessor& processor;
    std::vector<int32_t> pendingEvents;
    juce::String programName;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComp)
};

} // namespace kelvo
