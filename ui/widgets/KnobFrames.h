#pragma once

#include "ui/widgets/Artwork.h"

#include <juce_graphics/juce_graphics.h>

#include <array>
#include <vector>

namespace kelvo
{

/**
    The knob's face for every frame of the knob strip, already laid over the backplate and resampled
    to the pixel size a panel draws it at, so that painting a knob is one unscaled image copy.

    A few sizes are kept at once (the panel, the zoomed view, the sequencer page's thumbnail); the
    least recently used goes when another is asked for. Frames are made on first use. Hold it through
    a juce::SharedResourcePointer. Message thread.
*/
class KnobFrames
{
public:
    KnobFrames();
    ~KnobFrames();

    /** Frame number (clamped to the strip) over the backplate, sizeInPixels square. */
    const juce::Image& get (int frameNumber, int sizeInPixels);

    static constexpr int sizesKept = 6;

private:
    struct Prepared
    {
        int pixels = 0;
        juce::uint32 lastUse = 0;
        std::array<juce::Image, art::knobFrameCount> frames;
    };

    juce::Image compose (int frameNumber, int sizeInPixels) const;

    juce::Image strip, plate;
    std::vector<Prepared> prepared;
    juce::uint32 useCounter = 0;

    JUCE_DECLARE_NON_COPYABLE (KnobFrames)
};

} // namespace kelvo
