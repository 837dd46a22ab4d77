#include "ui/panels/EditorPanel.h"

#include "host/MarvexAudioProcessor.h"
#include "model/Categories.h"
#include "ui/panels/PanelControls.h"
#include "ui/widgets/Artwork.h"
#include "ui/widgets/Envel.h"
#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/LCD_Comp.h"
#include "ui/widgets/StsBut.h"
#include "ui/widgets/StsCont.h"
#include "ui/widgets/WidgetColours.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 panelBase = 0xff525252;
constexpr juce::uint32 panelBoxOutline = 0xff151515;
constexpr juce::uint32 subtitleColour = 0xffaaaaaa;

// The background tile is drawn at half its size whatever the scale, so the texture keeps its grain.
constexpr int tileDrawSize = art::panelTileSize / 2;

// Everything below is in design units and multiplied by the scale.
constexpr float boxCorner = 2.0f;
constexpr float panelCaptionFontHeight = 14.0f;
constexpr int captionInsetX = 8, captionBaseline = 16;
constexpr float subtitleFontHeight = 12.0f;
const juce::Rectangle<int> subtitleArea{672, 135, 228, 20};
const juce::Rectangle<int> logoArea{672, 30, art::logoWidth, art::logoHeight};
const juce::Rectangle<int> badgeArea{387, 580, art::badgeWidth, art::badgeHeight};
constexpr int cheekDrawWidth = 28;
// Below this scale (the sequencer page's thumbnail) the cheeks would be slivers: they are left out.
constexpr float cheeksFromScale = 0.5f;

// The button sits further right once the panel is laid out than at construction.
const juce::Rectangle<int> initialButtonArea{910, 20, 96, 24};
const juce::Rectangle<int> buttonArea{932, 20, 96, 24};
constexpr float buttonFontHeight = 12.0f;
const juce::Rectangle<int> lcdArea{696, 90, LCD_Comp::designWidth, LCD_Comp::designHeight};

const juce::String subtitle = "FOUR-VOICE ANALOG SYNTHESIZER";

juce::Rectangle<int> scaled (juce::Rectangle<int> r, float s)
{
    return (r.toFloat() * s).toNearestInt();
}
} // namespace

EditorPanel::EditorPanel (MarvexAudioProcessor& p)
    : processor (p), backgroundTile (artwork::panelTile().rescaled (tileDrawSize, tileDrawSize,
                                                                    juce::Graphics::highResamplingQuality)),
      logo (artwork::instrumentLogo()), badge (artwork::frontBadge()), leftCheek (artwork::leftCheek()),
      rightCheek (artwork::rightCheek())
{
    setOpaque (true);

    parts = std::make_unique<PanelControls> (processor, *this, *this);
    for (int i = 0; i < numControls; ++i)
        parts->control (i).addListener (this);

    sequencerButton = std::make_unique<StsBut> ("SEQUENCER", sequencerButtonId, StsBut::bevelKind);
    sequencerButton->setupButton (initialButtonArea.getX(), initialButtonArea.getY(),
                                  initialButtonArea.getWidth(), initialButtonArea.getHeight(), true);
    addAndMakeVisible (*sequencerButton);

    lcd = std::make_unique<LCD_Comp>();
    lcd->setBounds (lcdArea);
    addAndMakeVisible (*lcd);

    setSize (designWidth, designHeight);
}

EditorPanel::~EditorPanel()
{
    for (int i = 0; i < numControls; ++i)
        parts->control (i).removeListener (this);
}

void EditorPanel::setScale (float s)
{
    scale = s;
    for (int i = 0; i < numControls; ++i)
        parts->control (i).setScale (s);

    for (int n = 0; n < panelLayout::numEnvelopes; ++n)
    {
        auto& g = parts->graph (n);
        g.setScale (s);
        g.setBounds (scaled (panelLayout::envelopeGraphs()[(size_t) n].bounds, s));
    }

    sequencerButton->setBounds (scaled (buttonArea, s));
    sequencerButton->setCaptionFontHeight (buttonFontHeight * s);
    lcd->setBounds (scaled (lcdArea, s));
    lcd->setScale (s);
    background = {};
    repaint();
}

float EditorPanel::getScale() const noexcept
{
    return scale;
}

void EditorPanel::showParameter (int index, int value)
{
    parts->showParameter (index, value);
}

void EditorPanel::refreshFromEditBuffer()
{
    const auto& engine = processor.getEngine();
    const auto& bank = processor.getPluginBank();
    const auto category = (int) bank.getEditBufferByte (program::categoryIndex);
    // A sound that came from elsewhere (a plug-in program, a restored session) shows no location.
    lcd->showProgram (engine.hasSynthLocation() ? engine.getCurrentSynthBank() : -1, engine.getCurrentSynthProgram(), category,
                      bank.getEditBufferName(), categoryName (category));

    // Forgetting first makes every control take the new value, even one equal to what it shows.
    for (int i = 0; i < numControls; ++i)
    {
        parts->control (i).forgetValue();
        parts->showParameter (i, bank.getEditBufferByte (i));
    }
    repaint();
}

void EditorPanel::setShowing (bool shouldShow)
{
    parts->setShowing (shouldShow);
}

int EditorPanel::getCommandCode() const noexcept
{
    return commandCode;
}

StsCont& EditorPanel::getControl (int index)
{
    jassert (juce::isPositiveAndBelow (index, numControls));
    return parts->control (index);
}

Envel& EditorPanel::getGraph (int envelopeNumber)
{
    jassert (juce::isPositiveAndBelow (envelopeNumber, panelLayout::numEnvelopes));
    return parts->graph (envelopeNumber);
}

LCD_Comp& EditorPanel::getLcd()
{
    return *lcd;
}

StsBut& EditorPanel::getSequencerButton()
{
    return *sequencerButton;
}

juce::Rectangle<int> EditorPanel::getSectionBox (int section) const
{
    return juce::isPositiveAndBelow (section, numSections) ? panelLayout::sections()[(size_t) section].box
                                                           : juce::Rectangle<int>();
}

juce::String EditorPanel::getSectionCaption (int section) const
{
    return juce::isPositiveAndBelow (section, numSections) ? panelLayout::sections()[(size_t) section].caption
                                                           : "";
}

//==============================================================================
void EditorPanel::resized()
{
    background = {};
}

void EditorPanel::paint (juce::Graphics& g)
{
    const auto pixelScale = g.getInternalContext().getPhysicalPixelScaleFactor();
    if (background.isNull() || backgroundPixelScale != pixelScale)
    {
        backgroundPixelScale = pixelScale;
        background =
            juce::Image (juce::Image::RGB, juce::jmax (1, juce::roundToInt ((float)getWidth() * pixelScale)),
                         juce::jmax (1, juce::roundToInt ((float)getHeight() * pixelScale)), false);
        juce::Graphics layer (background);
        layer.addTransform (juce::AffineTransform::scale (pixelScale));
        paintBackground (layer);
    }

    if (pixelScale == 1.0f)
        g.drawImageAt (background, 0, 0);
    else
        g.drawImage (background, getLocalBounds().toFloat());
}

void EditorPanel::paintBackground (juce::Graphics& g) const
{
    const auto s = scale;
    g.fillAll (juce::Colour (panelBase));
    g.setTiledImageFill (backgroundTile, 0, 0, 1.0f);
    g.fillAll();

    for (const auto& section : panelLayout::sections())
    {
        const auto box = section.box.toFloat() * s;
        g.setColour (juce::Colour (colours::panelFace));
        g.fillRoundedRectangle (box, boxCorner * s);
        g.setColour (juce::Colour (panelBoxOutline));
        g.drawRoundedRectangle (box, boxCorner * s, s);
    }

    g.setColour (juce::Colour (subtitleColour));
    g.setFont (arialFont (subtitleFontHeight * s, juce::Font::bold));
    g.drawText (subtitle, subtitleArea.toFloat() * s, juce::Justification::centred, false);

    g.setColour (juce::Colours::white);
    g.setFont (arialFont (panelCaptionFontHeight * s, juce::Font::bold));
    for (const auto& section : panelLayout::sections())
        g.drawSingleLineText (section.caption,
                              juce::roundToInt ((float) (section.box.getX() + captionInsetX) * s),
                              juce::roundToInt ((float) (section.box.getY() + captionBaseline) * s));

    g.drawImage (logo, logoArea.toFloat() * s);
    g.drawImage (badge, badgeArea.toFloat() * s);

    if (s >= cheeksFromScale)
    {
        const auto cheekWidth = (float) cheekDrawWidth * s;
        const auto cheekHeight = (float) designHeight * s;
        g.drawImage (leftCheek, {0.0f, 0.0f, cheekWidth, cheekHeight});
        g.drawImage (rightCheek, {(float) getWidth() - cheekWidth, 0.0f, cheekWidth, cheekHeight});
    }
}

void EditorPanel::mouseDown (const juce::MouseEvent& e)
{
    if (!e.mods.isPopupMenu())
        return;

    // Strictly inside: a press on a box's edge belongs to no section.
    const auto inside = [&e, this] (juce::Rectangle<int> box)
    {
        const auto b = box.toFloat() * scale;
        return b.getX() < e.position.x && e.position.x < b.getRight() && b.getY() < e.position.y &&
               e.position.y < b.getBottom();
    };

    for (int n = 0; n < numSections; ++n)
    {
        if (inside (panelLayout::sections()[(size_t) n].box))
        {
            requestZoom (n);
            return;
        }
    }
}

void EditorPanel::stsContCommand (int code, int, int section)
{
    if (code == StsCont::rightClickCommand)
        requestZoom (section);
}

void EditorPanel::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    const auto n = parts->envelopeNumberOf (source);
    if (n < 0)
        return;

    const auto code = parts->graph (n).getEventCode();
    if (code == Envel::valuesDragged)
        parts->sendDraggedEnvelope (n);
    else if (code == Envel::rightClicked)
        requestZoom (n); // each graph sits in the section of its own number
}

void EditorPanel::requestZoom (int section)
{
    // The LCD's frame is a section box like the others, but has nothing to enlarge.
    if (!juce::isPositiveAndBelow (section, numSections) || section == lcdSection)
        return;

    commandCode = zoomCommandBase + section;
    sendChangeMessage();
}

} // namespace kelvo
