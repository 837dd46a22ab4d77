#pragma once

#include "ui/panels/PanelLayout.h"
#include "ui/widgets/StsContListener.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>
#include <vector>

namespace kelvo
{
class MarvexAudioProcessor;
class StsCont;
class Envel;
class PanelControls;

/**
    The zoomed view of one section of the synth panel: laid over the whole window, it dims it and
    shows the section alone, enlarged 1.5 times, with working controls. A press outside the
    enlarged box asks to close it (a change message). Message thread only.
*/
class FlashPanel : public juce::Component,
                   public StsContListener,
                   public juce::ChangeListener,
                   public juce::ChangeBroadcaster
{
public:
    static constexpr float zoom = 1.5f;

    explicit FlashPanel (MarvexAudioProcessor& processor);
    ~FlashPanel() override;

    /** Shows section n (0..9) centred for a window of the given width, 100 pixels from the top, and
        hides the panel: the window makes it visible. Nothing for 10 or more. */
    void showSection (int section, int windowWidth);
    int getCurrentSection() const noexcept;
    /** The parameter indices of the controls of the current section, in index order. */
    const std::vector<int>& getSectionIndices() const noexcept;

    /** Shows a value, for a control of the current section only. */
    void showParameter (int index, int value);
    /** Reloads the current section's controls from the edit buffer. */
    void refreshSection();
    void setShowing (bool shouldShow);

    StsCont& getControl (int index);
    Envel& getGraph (int envelopeNumber);
    /** The enlarged box of the current section, in this component's coordinates. */
    juce::Rectangle<int> getZoomedBox() const;
    /** The caption of a section 0..10 as the zoomed view shows it. */
    juce::String getSectionCaption (int section) const;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    /** The zoomed controls' right-clicks lead nowhere: the panel never listens to them. */
    void stsContCommand (int, int, int) override {}
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    juce::Rectangle<float> zoomedArea() const;

    MarvexAudioProcessor& processor;
    std::unique_ptr<PanelControls> parts;
    int currentSection = 0;
    int originX = 0, originY = 0;
    /** The section boxes, each a little larger than on the full panel, so that controls moved into
        them keep a margin. */
    std::array<juce::Rectangle<int>, panelLayout::numSections> boxes;
    std::array<juce::String, panelLayout::numSections> captions;
    std::vector<int> sectionIndices;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FlashPanel)
};

} // namespace kelvo
