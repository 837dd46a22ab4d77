#pragma once

#include "ui/panels/PanelLayout.h"
#include "ui/widgets/StsContListener.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace kelvo
{
class MarvexAudioProcessor;
class StsCont;
class StsBut;
class Envel;
class LCD_Comp;
class PanelControls;

/**
    The face of the synth: every program parameter of the edit buffer as a knob, switch or
    drop-down in eleven boxed sections, three envelope graphs, the LCD and the "SEQUENCER" button.
    1191 × 700 design units, drawn at one scale.

    A right-click on a section, a control or a graph asks for the zoomed view of that section: the
    panel stores 100 + section as its command code and sends a change message. Message thread only.
*/
class EditorPanel : public juce::Component,
                    public StsContListener,
                    public juce::ChangeListener,
                    public juce::ChangeBroadcaster
{
public:
    static constexpr int designWidth = 1191;
    static constexpr int designHeight = 700;
    static constexpr int numControls = panelLayout::numControls;
    static constexpr int numSections = panelLayout::numSections;
    static constexpr int lcdSection = panelLayout::lcdSection;
    static constexpr int sequencerButtonId = 98;
    static constexpr int zoomCommandBase = 100;

    explicit EditorPanel (MarvexAudioProcessor& processor);
    ~EditorPanel() override;

    void setScale (float scale);
    float getScale() const noexcept;

    /** Shows a value on the control of parameter index (0..114) and mirrors envelope values into
        the graphs. */
    void showParameter (int index, int value);
    /** Reloads the LCD and all 115 controls from the edit buffer, as after a program load. */
    void refreshFromEditBuffer();
    /** While not showing, controls and graphs only store values; they repaint once when shown again. */
    void setShowing (bool shouldShow);

    /** 100 + section after a request for the zoomed view. */
    int getCommandCode() const noexcept;

    StsCont& getControl (int index);
    Envel& getGraph (int envelopeNumber);
    LCD_Comp& getLcd();
    StsBut& getSequencerButton();
    /** The section box (design units) and caption of a section 0..10. */
    juce::Rectangle<int> getSectionBox (int section) const;
    juce::String getSectionCaption (int section) const;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;
    void stsContCommand (int commandCode, int parameterIndex, int sectionIndex) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    void requestZoom (int section);
    void paintBackground (juce::Graphics& g) const;

    MarvexAudioProcessor& processor;
    juce::Image backgroundTile, logo, badge, leftCheek, rightCheek;
    std::unique_ptr<PanelControls> parts;
    std::unique_ptr<StsBut> sequencerButton;
    std::unique_ptr<LCD_Comp> lcd;
    float scale = 1.0f;
    int commandCode = 0;

    // Everything behind the controls (tile, boxes, captions, logo, badge, cheeks) only changes with
    // the size and the scale: it is drawn once into this image and copied on every paint.
    juce::Image background;
    float backgroundPixelScale = 0.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EditorPanel)
};

} // namespace kelvo
