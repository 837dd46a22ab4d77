#include "host/MarvexAudioProcessorEditor.h"
#include "host/MarvexAudioProcessor.h"
#include "ui/main/MainComp.h"
#include "ui/widgets/ControlTooltip.h"
#include "ui/widgets/KelvoLook.h"

namespace kelvo
{

int MarvexAudioProcessorEditor::heightForWidth (int width)
{
    return juce::roundToInt ((double)width * designHeight / designWidth);
}

juce::Rectangle<int> MarvexAudioProcessorEditor::sizeForWidth (int width)
{
    // The shape holds inside both limits: the widths whose heights stay within the height limits.
    const auto lowest =
        juce::jmax (minWidth, juce::roundToInt ((double)minHeight * designWidth / designHeight));
    const auto highest =
        juce::jmin (maxWidth, juce::roundToInt ((double)maxHeight * designWidth / designHeight));
    const auto w = juce::jlimit (lowest, highest, width);
    return {w, heightForWidth (w)};
}

MarvexAudioProcessorEditor::MarvexAudioProcessorEditor (MarvexAudioProcessor& p)
    : AudioProcessorEditor (p), processor (p)
{
    // Limits that agree with the shape, so that a corner drag never meets a limit of one side only.
    const auto smallest = sizeForWidth (minWidth), largest = sizeForWidth (maxWidth);
    constrainer.setSizeLimits (smallest.getWidth(), smallest.getHeight(), largest.getWidth(),
                               largest.getHeight());
    constrainer.setFixedAspectRatio ((double)designWidth / designHeight);

    tooltipWindow = std::make_unique<ControlTooltip> (*this, tooltipDelayMs);
    mainComp = std::make_unique<MainComp> (processor);
    addAndMakeVisible (*mainComp);

    corner = std::make_unique<juce::ResizableCornerComponent> (this, &constrainer);
    addAndMakeVisible (*corner);

    // Hosts that resize plug-in windows themselves keep to the same limits.
    setResizable (true, false);
    setConstrainer (&constrainer);

    // A size remembered from before (or chosen for a small screen) is brought to the shape.
    const auto remembered = processor.getEditorSize();
    const auto size = sizeForWidth (remembered.getWidth());
    setSize (size.getWidth(), size.getHeight());
}

MarvexAudioProcessorEditor::~MarvexAudioProcessorEditor()
{
    setConstrainer (nullptr);
}

juce::TooltipWindow& MarvexAudioProcessorEditor::getTooltipWindow() noexcept
{
    return *tooltipWindow;
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
