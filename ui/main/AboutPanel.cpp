#include "ui/main/AboutPanel.h"
#include "model/ProductVersion.h"
#include "ui/widgets/Artwork.h"
#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 aboutDim = 0xc8000000;
constexpr int versionX = 36, versionY = 110, versionWidth = 200, versionHeight = 30;
constexpr float versionFontHeight = 15.0f;
constexpr int logoX = 34, logoY = 300, logoWidth = 389, logoHeight = 162;
constexpr float aboutDensity = 2.0f; // images drawn at twice the design size stay sharp when enlarged

constexpr juce::uint32 aboutBoxOutline = 0xdd457089, aboutBoxShade = 0xe0101a20, aboutBoxGlow = 0x30457089;
constexpr juce::uint32 quietText = 0xff9fb6c4, accent = 0xffd9a441;

juce::Image makeImage (int w, int h, const std::function<void (juce::Graphics&)>& draw)
{
    juce::Image image (juce::Image::ARGB, (int)(w * aboutDensity), (int)(h * aboutDensity), true);
    juce::Graphics g (image);
    g.addTransform (juce::AffineTransform::scale (aboutDensity));
    draw (g);
    return image;
}

/** The box: brushed metal under a dark glass, the badge, and the lines around the version. */
juce::Image makeBackground()
{
    return makeImage (
        AboutPanel::boxWidth, AboutPanel::boxHeight,
        [] (juce::Graphics& g)
        {
            const juce::Rectangle<float> box (0.0f, 0.0f, (float)AboutPanel::boxWidth,
                                              (float)AboutPanel::boxHeight);
            juce::Path shape;
            shape.addRoundedRectangle (box.reduced (1.5f), 10.0f);
            g.saveState();
            g.reduceClipRegion (shape);
            const auto tile = artwork::panelTile();
            const auto tileSize = art::panelTileSize / 2;
            for (int y = 0; y < AboutPanel::boxHeight; y += tileSize)
                for (int x = 0; x < AboutPanel::boxWidth; x += tileSize)
                    g.drawImage (tile, x, y, tileSize, tileSize, 0, 0, art::panelTileSize,
                                 art::panelTileSize);
            g.setGradientFill (juce::ColourGradient (juce::Colour (aboutBoxShade).withMultipliedAlpha (0.82f),
                                                     0.0f, 0.0f, juce::Colour (aboutBoxShade), 0.0f,
                                                     box.getBottom(), false));
            g.fillRect (box);
            g.restoreState();

            g.setColour (juce::Colour (aboutBoxGlow));
            g.strokePath (shape, juce::PathStrokeType (6.0f));
            g.setColour (juce::Colour (aboutBoxOutline));
            g.strokePath (shape, juce::PathStrokeType (2.0f));

            const auto badge = artwork::frontBadge();
            g.drawImage (badge, (AboutPanel::boxWidth - art::badgeWidth) / 2, 28, art::badgeWidth,
                         art::badgeHeight, 0, 0, art::badgeWidth, art::badgeHeight);

            g.setColour (juce::Colour (accent).withAlpha (0.7f));
            g.fillRect (36.0f, 104.0f, (float)AboutPanel::boxWidth - 72.0f, 1.0f);

            g.setColour (juce::Colour (quietText));
            g.setFont (arialFont (13.0f));
            g.drawText ("Editor and librarian for the DSI Mopho x4", 36, 146, 388, 20,
                        juce::Justification::centredLeft);
            g.drawText ("Programs, sequencer, global settings, banks and library", 36, 166, 388, 20,
                        juce::Justification::centredLeft);
            g.setFont (arialFont (11.0f));
            g.drawText ("Text set in Liberation Sans (SIL Open Font License)", 36, 214, 388, 16,
                        juce::Justification::centredLeft);
            g.drawText ("Click anywhere to close", 36, 230, 388, 16, juce::Justification::centredLeft);
        });
}

/** The instrument's wordmark, large, under the box. */
juce::Image makeLogo()
{
    return makeImage (logoWidth, logoHeight,
                      [] (juce::Graphics& g)
                      {
                          const auto mark = artwork::instrumentLogo();
                          const auto w = (float)logoWidth - 40.0f;
                          const auto h = w * (float)art::logoHeight / (float)art::logoWidth;
                          g.setOpacity (0.9f);
                          g.drawImage (mark, {20.0f, ((float)logoHeight - h) / 2.0f, w, h});
                      });
}
} // namespace

AboutPanel::AboutPanel (int closeAfterMs) : background (makeBackground()), logo (makeLogo())
{
    setSize (designWidth, designHeight);
    if (closeAfterMs > 0)
    {
        closingTimer = true;
        startTimer (closeAfterMs);
    }
}

AboutPanel::~AboutPanel()
{
    stopTimer();
}

juce::String AboutPanel::versionText()
{
    return juce::String ("Version: ") + productVersion + " JAN 14, 2021";
}

void AboutPanel::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (aboutDim));
    background.draw (g, juce::Rectangle<float> ((float)boxX, (float)boxY, (float)boxWidth, (float)boxHeight));

    g.setColour (juce::Colours::white);
    g.setFont (arialFont (versionFontHeight));
    g.drawText (versionText(), boxX + versionX, boxY + versionY, versionWidth + 150, versionHeight,
                juce::Justification::centredLeft);

    logo.draw (g, juce::Rectangle<float> ((float)(boxX + logoX), (float)(boxY + logoY), (float)logoWidth,
                                          (float)logoHeight));
}

void AboutPanel::mouseDown (const juce::MouseEvent&)
{
    sendChangeMessage();
}

void AboutPanel::timerCallback()
{
    stopTimer();
    closingTimer = false;
    sendChangeMessage();
}

} // namespace kelvo
