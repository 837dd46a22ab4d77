#include "ui/panels/KeyBrd.h"

#include "link/MidiCntrState.h"
#include "ui/widgets/Artwork.h"
#include "ui/widgets/KeyPlayClass.h"
#include "ui/widgets/OctaveKeyClass.h"
#include "ui/widgets/PianoPad.h"
#include "ui/widgets/VelIndClass.h"
#include "ui/widgets/WheelCnt.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 drawerColour = 0xff252525;
constexpr juce::uint32 stripBackground = 0x000a0a0a;
constexpr float stripFontHeight = 10.0f;
const juce::Rectangle<int> pitchWheelBounds{90, 45, 31, 112}, modWheelBounds{140, 45, 31, 112};
const juce::Rectangle<float> pitchWellBounds{89, 43, 43, 116}, modWellBounds{139, 43, 43, 116};
const juce::Rectangle<int> velocityBounds{20, 38, 70, 120};
const juce::Rectangle<int> stripBounds{400, 4, 200, 12}; // never scaled
const juce::Rectangle<int> octaveBounds{20, 37, 269, 16};
constexpr float octaveScale = 0.7f;
} // namespace

KeyBrd::KeyBrd (MidiCntrState& e)
    : engine (e), handleBand (artwork::handleBand()), wheelWell (artwork::wheelWell())
{
    modWheel = std::make_unique<WheelCnt> (engine, 0, false);
    pitchWheel = std::make_unique<WheelCnt> (engine, WheelCnt::pitchCentre, true);
    addAndMakeVisible (*modWheel);
    addAndMakeVisible (*pitchWheel);

    player = std::make_unique<KeyPlayClass> (engine, KeyPlayClass::drawerMode);
    player->setColours (juce::Colour (stripBackground), juce::Colours::white);
    player->setFontHeight (stripFontHeight);
    player->setBounds (stripBounds);
    player->setMouseCursor (juce::MouseCursor::UpDownResizeCursor);
    player->addListener (this);
    addAndMakeVisible (*player);

    velocity = std::make_unique<VelIndClass> (engine);
    velocity->setVelocity (engine.keyboardVelocity.load());
    addAndMakeVisible (*velocity);

    keyBed = std::make_unique<PianoPad> (engine);
    addAndMakeVisible (*keyBed);

    octave = std::make_unique<OctaveKeyClass> (engine);
    addAndMakeVisible (*octave);

    setOpaque (true);
    setScale (1.0f);
}

KeyBrd::~KeyBrd()
{
    releaseEverything();
    player->removeListener (this);
}

void KeyBrd::releaseEverything()
{
    keyBed->releaseAll();
    player->releaseAllNotes();
    pitchWheel->springBack();
}

int KeyBrd::bottomEdge() const noexcept
{
    if (const auto* parent = getParentComponent())
        return parent->getHeight();
    return (int)((float)editorDesignHeight * scale);
}

void KeyBrd::setScale (float s)
{
    scale = s;
    const auto scaled = [s] (juce::Rectangle<int> r)
    { return r.toFloat().transformedBy (juce::AffineTransform::scale (s)).toNearestInt(); };
    setBounds (0, bottomEdge() - (int)(raised * s), (int)((float)designWidth * s),
               (int)((float)designHeight * s));

    pitchWheel->setDesignBounds (pitchWheelBounds, s);
    modWheel->setDesignBounds (modWheelBounds, s);
    velocity->setBounds (scaled (velocityBounds));
    velocity->setScale (s);
    keyBed->setScale (s);
    const auto k = octaveScale * s;
    octave->setBounds (
        octaveBounds.toFloat().transformedBy (juce::AffineTransform::scale (k)).toNearestInt());
    octave->setScale (k);
    player->setBounds (stripBounds);
    player->toFront (false);
}

bool KeyBrd::isClosed() const noexcept
{
    return raised <= (float)handleHeight + 0.5f;
}

int KeyBrd::closedY() const noexcept
{
    return bottomEdge() - (int)((float)handleHeight * scale);
}

int KeyBrd::snapTop (int y) const
{
    const auto s = scale;
    const auto bottom = (float)bottomEdge();
    const auto closed = closedY();
    const auto halfDrawer = (float)(designHeight / 2) * s;
    if (y > closed)
        return closed;
    if ((float)y > (float)closed - halfDrawer) // raised by less than half the drawer
        return closed;
    const auto open = (int)(bottom - (float)designHeight * s);
    if ((float)y > (float)open - halfDrawer)
        return open;
    return y;
}

void KeyBrd::moveTop (int y)
{
    raised = (float)(bottomEdge() - y) / scale;
    setTopLeftPosition (0, y);
}

void KeyBrd::beginDrag (int y)
{
    dragging = true;
    pressY = y;
}

void KeyBrd::dragTo (int y)
{
    if (!dragging)
        return;
    const auto top = juce::jlimit (highestTop, closedY(), getY() + y - pressY);
    moveTop (top);
}

void KeyBrd::endDrag()
{
    dragging = false;
    moveTop (snapTop (getY()));
    if (isClosed())
        releaseEverything();
    sendChangeMessage();
}

//==============================================================================
void KeyBrd::paint (juce::Graphics& g)
{
    const auto s = scale;
    g.fillAll (juce::Colour (drawerColour));
    g.drawImage (handleBand, juce::Rectangle<float> (0, 0, (float)designWidth * s, (float)handleHeight * s));
    const auto scaled = juce::AffineTransform::scale (s);
    g.drawImage (wheelWell, pitchWellBounds.transformedBy (scaled));
    g.drawImage (wheelWell, modWellBounds.transformedBy (scaled));

    // Grip ridges at the handle's right end say "pull here".
    g.setColour (juce::Colour (0x40ffffff));
    for (int i = 0; i < 3; ++i)
        g.fillRoundedRectangle ((float)(designWidth - 90) * s, (5.0f + 4.0f * (float)i) * s, 40.0f * s,
                                1.2f * s, 0.6f * s);
}

void KeyBrd::mouseMove (const juce::MouseEvent& e)
{
    setMouseCursor ((float)e.y < (float)handleHeight * scale ? juce::MouseCursor::UpDownResizeCursor
                                                             : juce::MouseCursor::NormalCursor);
}

void KeyBrd::mouseDown (const juce::MouseEvent& e)
{
    if ((float)e.y < (float)handleHeight * scale)
        beginDrag (e.y);
}

void KeyBrd::mouseDrag (const juce::MouseEvent& e)
{
    dragTo (e.y);
}

void KeyBrd::mouseUp (const juce::MouseEvent&)
{
    endDrag();
}

void KeyBrd::keyPlayMouseDown (int, int y)
{
    toFront (false);
    beginDrag (y);
}

void KeyBrd::keyPlayMouseUp (int, int)
{
    if (dragging)
        endDrag();
}

void KeyBrd::keyPlayMouseDrag (int, int y)
{
    dragTo (y);
}

} // namespace kelvo
