#include "ui/panels/FlashPanel.h"

#include "host/MarvexAudioProcessor.h"
#include "ui/panels/PanelControls.h"
#include "ui/widgets/Envel.h"
#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/StsCont.h"
#include "ui/widgets/WidgetColours.h"

#include <algorithm>

namespace kelvo
{
namespace
{
constexpr juce::uint32 dimming = 0x77000000;
constexpr juce::uint32 flashBoxOutline = 0xffaaaaaa;

// In design units, multiplied by the zoom.
constexpr int boxGrowth = 5;
constexpr int frameInsetX = 4, frameInsetY = 2;
constexpr float flashBoxCorner = 2.0f;
constexpr float flashCaptionFontHeight = 14.0f;
constexpr float flashCaptionInsetX = 8.0f, flashCaptionBaseline = 18.0f;
const juce::Rectangle<int> graphInFrame{330, 4, 226, 82};

constexpr int initialOrigin = 10;

/** Where a control of the layout sits inside its section's frame, in design units. */
juce::Point<int> framePosition (const panelLayout::ControlRow& row)
{
    const auto box = panelLayout::sections()[(size_t) row.section].box;
    return {row.x - box.getX() + frameInsetX, row.y - panelLayout::controlTopBand - box.getY() + frameInsetY};
}

} // namespace

FlashPanel::FlashPanel (MarvexAudioProcessor& p) : processor (p)
{
    setWantsKeyboardFocus (true);
    parts = std::make_unique<PanelControls> (processor, *this, *this);

    originX = originY = initialOrigin;
    for (size_t n = 0; n < boxes.size(); ++n)
    {
        const auto& section = panelLayout::sections()[n];
        boxes[n] =
            section.box.withSize (section.box.getWidth() + boxGrowth, section.box.getHeight() + boxGrowth);
        captions[n] = section.caption;
    }
    captions[(size_t) panelLayout::sequencerSection] = "SEQUENCER";

    // Every control moves into its section's frame once; showSection only places the frame.
    for (int i = 0; i < panelLayout::numControls; ++i)
    {
        auto& c = parts->control (i);
        c.setVisible (false);
        if (const auto* row = panelLayout::controlRow (i); row != nullptr && row->section >= 0)
        {
            const auto position = framePosition (*row);
            c.setPosition (position.x, position.y + panelLayout::controlTopBand);
            if (row->section == currentSection)
                sectionIndices.push_back (i);
        }
        c.setScale (zoom);
    }
    for (int n = 0; n < panelLayout::numEnvelopes; ++n)
        parts->graph (n).setVisible (false);

    setShowing (false);
}

FlashPanel::~FlashPanel() = default;

void FlashPanel::showSection (int section, int windowWidth)
{
    if (!juce::isPositiveAndBelow (section, panelLayout::numSections) || section == panelLayout::lcdSection)
        return;

    setVisible (false);
    currentSection = section;

    for (auto index : sectionIndices)
        parts->control (index).setVisible (false);
    for (int n = 0; n < panelLayout::numEnvelopes; ++n)
        parts->graph (n).setVisible (false);
    sectionIndices.clear();

    for (int i = 0; i < panelLayout::numControls; ++i)
        if (parts->control (i).getSectionIndex() == section)
            sectionIndices.push_back (i);

    placeSection (windowWidth);
    for (auto index : sectionIndices)
        parts->control (index).setVisible (true);
    if (section < panelLayout::numEnvelopes)
        parts->graph (section).setVisible (true);
}

void FlashPanel::placeSection (int windowWidth)
{
    // The largest zoom up to 1.5 at which the box fits the window's width and this panel's height
    // (before the window has given it a height, only the width counts).
    const auto box = boxes[(size_t)currentSection];
    const auto fitWidth = (float)(windowWidth - 2 * windowMargin) / (float)box.getWidth();
    const auto fitHeight =
        getHeight() > 0 ? (float)(getHeight() - 2 * windowMargin) / (float)box.getHeight() : maxZoom;
    zoom = juce::jlimit (0.01f, maxZoom, juce::jmin (fitWidth, fitHeight));

    const auto zoomedHeight = (float)box.getHeight() * zoom;
    originX = (int)(((float)windowWidth - (float)box.getWidth() * zoom) * 0.5f);
    originY = getHeight() <= 0 || (float)sectionTop + zoomedHeight <= (float)(getHeight() - windowMargin)
                  ? sectionTop
                  : (int)(((float)getHeight() - zoomedHeight) * 0.5f);

    for (auto index : sectionIndices)
    {
        auto& c = parts->control (index);
        c.setScale (zoom);
        c.setTopLeftPosition (c.getX() + originX, c.getY() + originY);
    }

    if (currentSection < panelLayout::numEnvelopes)
    {
        auto& g = parts->graph (currentSection);
        const auto zoomedEdge = [this] (int designUnits)
        { return juce::roundToInt ((float)designUnits * zoom); };
        g.setScale (zoom);
        g.setBounds (originX + zoomedEdge (graphInFrame.getX()), originY + zoomedEdge (graphInFrame.getY()),
                     zoomedEdge (graphInFrame.getWidth()), zoomedEdge (graphInFrame.getHeight()));
    }
    sectionPlaced = true;
    repaint();
}

void FlashPanel::resized()
{
    if (sectionPlaced)
        placeSection (getWidth());
}

int FlashPanel::getCurrentSection() const noexcept
{
    return currentSection;
}

const std::vector<int>& FlashPanel::getSectionIndices() const noexcept
{
    return sectionIndices;
}

void FlashPanel::showParameter (int index, int value)
{
    if (std::find (sectionIndices.begin(), sectionIndices.end(), index) != sectionIndices.end())
        parts->showParameter (index, value);
}

void FlashPanel::refreshSection()
{
    const auto& bank = processor.getPluginBank();
    for (auto index : sectionIndices)
    {
        parts->control (index).forgetValue();
        parts->showParameter (index, bank.getEditBufferByte (index));
    }
}

void FlashPanel::setShowing (bool shouldShow)
{
    parts->setShowing (shouldShow);
}

StsCont& FlashPanel::getControl (int index)
{
    jassert (juce::isPositiveAndBelow (index, panelLayout::numControls));
    return parts->control (index);
}

Envel& FlashPanel::getGraph (int envelopeNumber)
{
    jassert (juce::isPositiveAndBelow (envelopeNumber, panelLayout::numEnvelopes));
    return parts->graph (envelopeNumber);
}

juce::Rectangle<float> FlashPanel::zoomedArea() const
{
    const auto box = boxes[(size_t) currentSection];
    return {(float) originX, (float) originY, (float) box.getWidth() * zoom, (float) box.getHeight() * zoom};
}

juce::Rectangle<int> FlashPanel::getZoomedBox() const
{
    return zoomedArea().getSmallestIntegerContainer();
}

juce::String FlashPanel::getSectionCaption (int section) const
{
    return juce::isPositiveAndBelow (section, panelLayout::numSections) ? captions[(size_t) section] : "";
}

//==============================================================================
void FlashPanel::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (dimming));

    const auto area = zoomedArea();
    g.setColour (juce::Colour (colours::panelFace));
    g.fillRoundedRectangle (area, flashBoxCorner * zoom);
    g.setColour (juce::Colour (flashBoxOutline));
    g.drawRoundedRectangle (area, flashBoxCorner * zoom, zoom);

    g.setColour (juce::Colours::white);
    g.setFont (arialFont (flashCaptionFontHeight * zoom, juce::Font::bold));
    g.drawSingleLineText (captions[(size_t) currentSection],
                          juce::roundToInt (area.getX() + flashCaptionInsetX * zoom),
                          juce::roundToInt (area.getY() + flashCaptionBaseline * zoom));
}

void FlashPanel::mouseDown (const juce::MouseEvent& e)
{
    // Presses on the controls never get here; one on the box's own face does nothing.
    if (!zoomedArea().contains (e.position))
        sendChangeMessage();
}

bool FlashPanel::keyPressed (const juce::KeyPress& key)
{
    if (key != juce::KeyPress::escapeKey)
        return false;
    sendChangeMessage();
    return true;
}

void FlashPanel::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    // A right-click on a zoomed graph asks for nothing: the view is already zoomed.
    const auto n = parts->envelopeNumberOf (source);
    if (n >= 0 && parts->graph (n).getEventCode() == Envel::valuesDragged)
        parts->sendDraggedEnvelope (n);
}

} // namespace kelvo
