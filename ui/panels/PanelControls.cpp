#include "ui/panels/PanelControls.h"

#include "host/MarvexAudioProcessor.h"
#include "model/ParDes.h"
#include "ui/widgets/Envel.h"
#include "ui/widgets/StsCont.h"
#include "ui/widgets/WidgetColours.h"

#include <iterator>

namespace kelvo
{

PanelControls::PanelControls (MarvexAudioProcessor& processor, juce::Component& parent,
                              juce::ChangeListener& listener)
    : graphListener (listener)
{
    const auto& table = processor.getEngine().getTable();
    for (int index = 0; index < panelLayout::numControls; ++index)
    {
        auto* c = controls.add (std::make_unique<StsCont> (processor));
        parent.addChildComponent (*c);

        // The indices without a row keep a control of zero size that only stores values.
        if (const auto* row = panelLayout::controlRow (index))
        {
            c->setupControl (index, row->caption, row->x, row->y, row->width, row->height, row->minimum,
                             row->maximum, row->kind, row->displayKind);
            c->setSectionIndex (row->section);
            c->setNrpnNumber (table.parNrpn[(size_t) index]);
            c->setBackgroundFill (true, juce::Colour (colours::panelFace));
            c->setVisible (row->visible);
        }
    }

    for (int n = 0; n < panelLayout::numEnvelopes; ++n)
    {
        auto& g = graphs[(size_t) n];
        g = std::make_unique<Envel>();
        g->envelopeNumber = n;
        g->setBounds (panelLayout::envelopeGraphs()[(size_t) n].bounds);
        g->addChangeListener (&graphListener);
        parent.addAndMakeVisible (*g);
    }
}

PanelControls::~PanelControls()
{
    for (auto& g : graphs)
        g->removeChangeListener (&graphListener);
}

int PanelControls::envelopeNumberOf (const juce::ChangeBroadcaster* source) const
{
    for (int n = 0; n < panelLayout::numEnvelopes; ++n)
        if (source == graphs[(size_t) n].get())
            return n;
    return -1;
}

void PanelControls::showParameter (int index, int value)
{
    if (!juce::isPositiveAndBelow (index, panelLayout::numControls))
        return;

    auto& c = control (index);
    c.showValue (value, ParDes::valueToText (c.getDisplayKind(), value));

    const auto n = panelLayout::envelopeOfParameter (index);
    if (n < 0)
        return;
    auto& g = graph (n);
    switch (index - panelLayout::envelopeGraphs()[(size_t) n].firstIndex)
    {
        case 0:
            g.setAttack (value);
            break;
        case 1:
            g.setDecay (value);
            break;
        case 2:
            g.setSustain (value);
            break;
        default:
            g.setRelease (value);
            break;
    }
}

void PanelControls::sendDraggedEnvelope (int envelopeNumber)
{
    if (!juce::isPositiveAndBelow (envelopeNumber, panelLayout::numEnvelopes))
        return;

    const auto& g = graph (envelopeNumber);
    const auto first = panelLayout::envelopeGraphs()[(size_t) envelopeNumber].firstIndex;
    const int stages[] = {g.getAttack(), g.getDecay(), g.getSustain(), g.getRelease()};
    for (size_t i = 0; i < std::size (stages); ++i)
        control (first + (int) i).setValueFromUser (stages[i]);
}

void PanelControls::setShowing (bool shouldShow)
{
    for (auto* c : controls)
        c->setShowing (shouldShow);
    for (auto& g : graphs)
        g->setShowing (shouldShow);
}

} // namespace kelvo
