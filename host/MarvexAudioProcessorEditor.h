#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace kelvo
{
class KelvoLook;
class MarvexAudioProcessor;
class MainComp;
class ControlTooltip;

/**
    The plug-in window: a black frame around the main component, a tooltip window and a corner to
    resize it by. The processor remembers its size, so the next editor opens at the same size.

    The window keeps the design's shape (1191 : 700, the app bar included) between its smallest and
    largest width, in a host and in the Standalone (whose window asks the editor's constrainer).
*/
class MarvexAudioProcessorEditor final : public juce::AudioProcessorEditor,
                                         public juce::ChangeListener
{
public:
    // At the smallest width (scale 0.75) the smallest text of the panel, the knobs' 11-point values and
    // labels, is still 8 pixels high; below it, labels, the port setup and the compare panel blur.
    static constexpr int minWidth = 893, maxWidth = 1429;
    static constexpr int minHeight = 150, maxHeight = 1046;
    static constexpr int designWidth = 1191, designHeight = 700;

    /** The height that keeps the design's shape at a width. */
    static int heightForWidth (int width);
    /** A size of the design's shape within the limits, as close to a width as they allow. */
    static juce::Rectangle<int> sizeForWidth (int width);
    static constexpr int tooltipDelayMs = 700;
    static constexpr int cornerSize = 16;

    explicit MarvexAudioProcessorEditor (MarvexAudioProcessor& processor);
    ~MarvexAudioProcessorEditor() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void changeListenerCallback (juce::ChangeBroadcaster*) override {}

    MainComp& getMainComp() noexcept { return *mainComp; }
    juce::TooltipWindow& getTooltipWindow() noexcept;

private:
    MarvexAudioProcessor& processor;
    // First in, last out: while the editor exists, this look (and its embedded font) is the default.
    juce::SharedResourcePointer<KelvoLook> look;
    std::unique_ptr<ControlTooltip> tooltipWindow;
    juce::ComponentBoundsConstrainer constrainer;
    std::unique_ptr<MainComp> mainComp;
    std::unique_ptr<juce::ResizableCornerComponent> corner;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MarvexAudioProcessorEditor)
};

} // namespace kelvo
