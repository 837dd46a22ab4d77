#include "ui/main/MainComp.h"
#include "host/MarvexAudioProcessor.h"

namespace kelvo
{

MainComp::MainComp (MarvexAudioProcessor& p) : processor (p)
{
    setOpaque (true);
    auto& engine = processor.getEngine();
    engine.addListener (this);
    engine.addStateListener (this);
    programName = processor.getPluginBank().getEditBufferName();
}

MainComp::~MainComp()
{
    auto& engine = processor.getEngine();
    engine.removeStateListener (this);
    engine.removeListener (this);
    cancelPendingUpdate();
}

void MainComp::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
    g.setColour (juce::Colours::white);
    g.setFont (juce::Font (20.0f));
    g.drawText (programName, getLocalBounds(), juce::Justification::centred);
}

void MainComp::midiCntrStateChanged (MidiCntrState&)
{
    triggerAsyncUpdate();
}

void MainComp::stateChanged (MidiCntrState&)
{
    triggerAsyncUpdate();
}

void MainComp::handleAsyncUpdate()
{
    drainEvents();
}

void MainComp::drainEvents()
{
    pendingEvents.clear();
    processor.getEngine().takeEvents (pendingEvents);
    for (auto code : pendingEvents)
        applyEvent (code);
}

void MainComp::applyEvent (int32_t code)
{
    const auto kindOfCode = event::kindOf (code);
    if (kindOfCode == event::kindOf (event::editBufferReplaced)
        || kindOfCode == event::kindOf (event::parameterChanged))
    {
        programName = processor.getPluginBank().getEditBufferName();
        repaint();
    }
}

} // namespace kelvo
