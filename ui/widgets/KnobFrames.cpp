#include "ui/widgets/KnobFrames.h"

#include <algorithm>

namespace kelvo
{

KnobFrames::KnobFrames() : strip (artwork::knobStrip()), plate (artwork::knobPlate()) {}

KnobFrames::~KnobFrames() = default;

const juce::Image& KnobFrames::get (int frameNumber, int sizeInPixels)
{
    frameNumber = juce::jlimit (0, art::knobFrameCount - 1, frameNumber);
    sizeInPixels = juce::jmax (1, sizeInPixels);

    auto found = std::find_if (prepared.begin(), prepared.end(),
                               [sizeInPixels] (const Prepared& p) { return p.pixels == sizeInPixels; });
    if (found == prepared.end())
    {
        if ((int)prepared.size() < sizesKept)
        {
            prepared.emplace_back();
            found = prepared.end() - 1;
        }
        else
        {
            found = std::min_element (prepared.begin(), prepared.end(),
                                      [] (const Prepared& a, const Prepared& b)
                                      { return a.lastUse < b.lastUse; });
            *found = Prepared{};
        }
        found->pixels = sizeInPixels;
    }

    found->lastUse = ++useCounter;
    auto& image = found->frames[(size_t)frameNumber];
    if (image.isNull())
        image = compose (frameNumber, sizeInPixels);
    return image;
}

juce::Image KnobFrames::compose (int frameNumber, int sizeInPixels) const
{
    constexpr auto size = art::knobFrameSize;
    juce::Image face (juce::Image::ARGB, size, size, true);
    {
        juce::Graphics g (face);
        g.drawImage (plate, 0, 0, size, size, 0, 0, size, size);
        g.drawImage (strip, 0, 0, size, size, frameNumber * art::knobFrameStep, 0, size, size);
    }
    return sizeInPixels == size
               ? face
               : face.rescaled (sizeInPixels, sizeInPixels, juce::Graphics::highResamplingQuality);
}

} // namespace kelvo
