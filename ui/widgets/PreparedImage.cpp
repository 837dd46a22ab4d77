#include "ui/widgets/PreparedImage.h"

namespace kelvo
{

PreparedImage::PreparedImage (juce::Image image, float fade)
    : source (image.convertedToFormat (juce::Image::ARGB)), opacity (fade)
{
}

void PreparedImage::draw (juce::Graphics& g, juce::Rectangle<float> area)
{
    const auto pixelScale = g.getInternalContext().getPhysicalPixelScaleFactor();
    const auto width = juce::roundToInt (area.getWidth() * pixelScale);
    const auto height = juce::roundToInt (area.getHeight() * pixelScale);
    if (width <= 0 || height <= 0 || source.isNull())
        return;

    if (prepared.getWidth() != width || prepared.getHeight() != height)
    {
        prepared = width == source.getWidth() && height == source.getHeight()
                       ? source.createCopy()
                       : source.rescaled (width, height, juce::Graphics::highResamplingQuality);
        if (opacity < 1.0f)
            prepared.multiplyAllAlphas (opacity);
    }

    if (pixelScale == 1.0f)
        g.drawImageAt (prepared, juce::roundToInt (area.getX()), juce::roundToInt (area.getY()));
    else
        g.drawImage (prepared, area);
}

} // namespace kelvo
