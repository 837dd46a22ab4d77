#pragma once

#include <juce_graphics/juce_graphics.h>

namespace kelvo
{

/**
    An image that a widget draws stretched (and perhaps faded) into an area: resampled once to the
    area's pixel size, with the fade applied, then copied without a transform on every paint until
    the area's size changes. Message thread.
*/
class PreparedImage
{
public:
    explicit PreparedImage (juce::Image source, float opacity = 1.0f);

    /** Draws the image filling the area (in the context's coordinates). */
    void draw (juce::Graphics& g, juce::Rectangle<float> area);

private:
    juce::Image source, prepared;
    float opacity;
};

} // namespace kelvo
