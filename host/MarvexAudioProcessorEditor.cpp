#include "host/MarvexAudioProcessorEditor.h"
#include "host/MarvexAudioProcessor.h"
#include "ui/main/MainComp.h"
#include "ui/widgets/KelvoLook.h"

namespace kelvo
{

MarvexAudioProcessorEditor::MarvexAudioProcessorEditor (MarvexAudioProcessor& p)
    : AudioProcessorEditor (p), processor (p)
{
    constrainer.setSizeLimits (minWidth, minHeight, maxWidth, maxHeight);

    mainComp = std::make_unique<MainComp> (processor);
    addAndMakeVisible (*mainComp);

    corner = std::make_unique<juce::ResizableCornerComponent> (this, &constrainer);
    addAndMakeVisible (*corner);

    // Hosts that resize plug-in windows themselves keep to the same limits.
    setResizable (true, false);
    setConstrainer (&constrainer);

    const auto size = processor.getEditorSize();
    setSize (size.getWidth(), size.getHeight());
}

MarvexAudioProcessorEditor::~MarvexAudioProcessorEditor()
{
    setConstrainer (nullptr);
}

void MarvexAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void MarvexAudioProcessorEditor::resized()
{
    mainComp->setBounds (getLocalBounds());
    corner->setBounds (getWidth() - cornerSize, getHeight() - cornerSize, cornerSize, cornerSize);
    corner->toFront (false);
    processor.setEditorSize (getWidth(), getHeight());
}

} // namespace kelvo
