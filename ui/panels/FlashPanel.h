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
    shows the section alone, enlarged (1.5 times, less when the window is too small for that), with
    working controls. A press outside the enlarged box or the Escape key asks to close it (a change
    message). A resize lays the section out again for the new size. Message thread only.
*/
class FlashPanel : public juce::Component,
                   public StsContListener,
                   public juce::ChangeListener,
                   public juce::ChangeBroadcaster
{
public:
    /** The section is never enlarged more than this. */
    static constexpr float maxZoom = 1.5f;
    /** Pixels kept free around the enlarged box when it has to be made smaller to fit. */
    static constexpr int windowMargin = 10;
    /** The box's top, in pixels, when the window is tall enough. */
    static constexpr int sectionTop = 100;

    explicit FlashPanel (MarvexAudioProcessor& processor);
    ~FlashPanel() override;

    /** Shows section n (0..9) centred for a window of the given width, 100 pixels from the top
        when this panel is tall enough (else centred in its height), at the largest zoom up to 1.5
        that fits, and hides the panel: the window makes it visible. Nothing for 10 or more. */
    void showSection (int section, int windowWidth);
    /** The zoom the current section is shown at. */
    float getZoom() const noexcept { return zoom; }
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
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    /** The zoomed controls' right-clicks lead nowhere: the panel never listens to them. */
    void stsContCommand (int, int, int) override {}
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    juce::Rectangle<float> zoomedArea() const;
    void placeSection (int windowWidth);

    MarvexAudioProcessor& processor;
    std::unique_ptr<PanelControls> parts;
    int currentSection = 0;
    bool sectionPlaced = false;
    float zoom = maxZoom;
    int originX = 0, originY = 0;
    /** The section boxes, each a little larger than on the full panel, so that controls moved into
        them keep a margin. */
    std::array<juce::Rectangle<int>, panelLayout::numSections> boxes;
    std::array<juce::String, panelLayout::numSections> captions;
    std::vector<int> sectionIndices;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FlashPanel)
};

} // namespace kelvo
