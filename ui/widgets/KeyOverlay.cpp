#include "ui/widgets/KeyOverlay.h"

#include "ui/widgets/Artwork.h"
#include "ui/widgets/PianoKey.h"

namespace kelvo
{

KeyOverlay::KeyOverlay()
{
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
}

void KeyOverlay::setKeys (juce::Array<PianoKey*> newKeys)
{
    keys = std::move (newKeys);
}

PianoKey* KeyOverlay::keyAt (juce::Point<float> p) const
{
    if (keys.isEmpty() || p.x < 0.0f || p.y < 0.0f || p.y > (float)art::whiteKeyHeight)
        return nullptr;
    const auto* last = keys.getLast();
    if (p.x >= last->designLeft + last->designWidth)
        return nullptr;

    // In the upper band a black key owns its own width; below it only the white keys are there.
    const bool upperBand = p.y < (float)art::blackKeyHeight;
    for (int i = keys.size(); --i >= 0;)
    {
        auto* k = keys.getUnchecked (i);
        if (upperBand ? k->upperBandLeft <= p.x : (!k->isBlack() && k->designLeft <= p.x))
            return k;
    }
    return nullptr;
}

void KeyOverlay::releaseAll()
{
    remembered = nullptr;
    for (auto* k : keys)
        k->releaseKey();
}

void KeyOverlay::mouseDown (const juce::MouseEvent& e)
{
    const auto p = toDesign (e.position);
    remembered = keyAt (p);
    if (remembered != nullptr)
        remembered->pressKey (p.y);
}

void KeyOverlay::mouseDrag (const juce::MouseEvent& e)
{
    const auto p = toDesign (e.position);
    auto* k = keyAt (p);
    if (k == remembered)
        return;
    if (remembered != nullptr)
        remembered->releaseKey();
    remembered = k;
    if (k != nullptr)
        k->pressKey (p.y);
}

void KeyOverlay::mouseUp (const juce::MouseEvent&)
{
    releaseAll();
}

} // namespace kelvo
