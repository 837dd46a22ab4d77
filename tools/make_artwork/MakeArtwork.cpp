// Draws the widget artwork from code and writes it as PNG files.
//
//     make_artwork <output folder>        (the repository's resources/art; the lettering takes its
//                                          font from the sibling folder fonts/)
//
// The sizes and frame layouts are what the widgets expect (see ui/widgets/Artwork.h); the look is
// decided here. Change a drawing, run the tool, look at the PNGs, commit them: the build embeds
// whatever is in resources/art.

#include "ui/widgets/Artwork.h"

#include <juce_graphics/juce_graphics.h>

#include <cmath>
#include <functional>
#include <iostream>
#include <vector>

namespace
{
using juce::Colour;
using juce::Graphics;
using juce::Image;

//==============================================================================
// Palette: dark anodised metal with an amber accent.
namespace palette
{
const Colour shadow{0xff000000};
const Colour bezelTop{0xff111315};
const Colour bezelBottom{0xff34383c};
const Colour groove{0xff0b0c0d};
const Colour accent{0xffef9a1f};
const Colour capTop{0xff6b7076};
const Colour capBottom{0xff222427};
const Colour faceTop{0xff4c5157};
const Colour faceBottom{0xff2a2d31};
const Colour pointer{0xfff4f4f2};
const Colour slotDark{0xff0c0d0e};
const Colour slotOn{0xff6e420c};
const Colour thumbLight{0xff9aa0a6};
const Colour thumbDark{0xff43474c};
const Colour fieldTop{0xff0f1113};
const Colour fieldBottom{0xff1c1f22};
const Colour fieldEdge{0xff4b5157};
const Colour arrow{0xff9fe6e3};
const Colour ledOffRim{0xff2a1a16};
const Colour ledOff{0xff4a1e16};
const Colour ledOn{0xffff5a2a};
const Colour ledCore{0xffffd2a0};
const Colour scopeBack{0xff121517};
const Colour scopeLine{0xff23282c};
const Colour scopeAxis{0xff31373c};
const Colour lcdBack{0xffaebfc6};
const Colour lcdLine{0xffa3b5bc};
const Colour listTint{0xff071114};
} // namespace palette

using namespace kelvo::art;

// The knob's look inside its frame.
constexpr float knobCentre = 16.5f; // the widgets place the frame so that this is the control's middle
constexpr float knobStartDegrees = -150.0f;
constexpr float knobDegreesPerFrame = 5.35f; // the control's value-to-frame rule uses the same step
constexpr float trackRadius = 14.4f;
constexpr float capRadius = 11.2f;

Image newImage (int w, int h)
{
    return Image (Image::ARGB, w, h, true);
}

juce::Point<float> onCircle (juce::Point<float> centre, float radius, float degrees)
{
    const auto a = juce::degreesToRadians (degrees);
    return {centre.x + radius * std::sin (a), centre.y - radius * std::cos (a)};
}

/** A soft shadow, as stacked ellipses of falling opacity. */
void softShadow (Graphics& g, juce::Rectangle<float> area, float spread, float opacity)
{
    constexpr int steps = 6;
    for (int i = steps; i > 0; --i)
    {
        const auto grow = spread * (float) i / steps;
        g.setColour (palette::shadow.withAlpha (opacity / steps));
        g.fillEllipse (area.expanded (grow));
    }
}

void verticalGradient (Graphics& g, juce::Rectangle<float> area, Colour top, Colour bottom)
{
    g.setGradientFill (
        juce::ColourGradient (top, area.getX(), area.getY(), bottom, area.getX(), area.getBottom(), false));
}

//==============================================================================
void drawKnobPlate (Graphics& g)
{
    const juce::Point<float> c{knobCentre, knobCentre};
    const auto bezel = juce::Rectangle<float> (0, 0, 2 * 16.2f, 2 * 16.2f).withCentre (c);

    softShadow (g, bezel.translated (0.8f, 1.4f), 1.6f, 0.55f);

    // A recessed collar: dark at the top, catching light at the bottom.
    verticalGradient (g, bezel, palette::bezelTop, palette::bezelBottom);
    g.fillEllipse (bezel);

    const auto inner = bezel.reduced (1.2f);
    verticalGradient (g, inner, Colour (0xff1d2023), Colour (0xff17191b));
    g.fillEllipse (inner);

    // The value track the strip's arc lights up.
    juce::Path track;
    track.addCentredArc (c.x, c.y, trackRadius, trackRadius, 0.0f, juce::degreesToRadians (knobStartDegrees),
                         juce::degreesToRadians (-knobStartDegrees), true);
    g.setColour (palette::groove);
    g.strokePath (track,
                  juce::PathStrokeType (2.2f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void drawKnobFrame (Graphics& g, int frame)
{
    const juce::Point<float> c{knobCentre, knobCentre};
    const auto angle = knobStartDegrees + knobDegreesPerFrame * (float) frame;

    // The lit part of the track, with a faint glow.
    if (frame > 0)
    {
        juce::Path arc;
        arc.addCentredArc (c.x, c.y, trackRadius, trackRadius, 0.0f,
                           juce::degreesToRadians (knobStartDegrees), juce::degreesToRadians (angle), true);
        g.setColour (palette::accent.withAlpha (0.25f));
        g.strokePath (
            arc, juce::PathStrokeType (3.4f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
        g.setColour (palette::accent);
        g.strokePath (
            arc, juce::PathStrokeType (1.8f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    }

    const auto cap = juce::Rectangle<float> (0, 0, 2 * capRadius, 2 * capRadius).withCentre (c);
    softShadow (g, cap.translated (0.7f, 1.3f), 1.4f, 0.7f);

    // The skirt: brushed metal, light from above.
    verticalGradient (g, cap, palette::capTop, palette::capBottom);
    g.fillEllipse (cap);

    // Knurling turns with the knob, so motion reads even where the pointer is hidden by a finger.
    constexpr int ridges = 28;
    for (int i = 0; i < ridges; ++i)
    {
        const auto a = angle + 360.0f * (float) i / ridges;
        g.setColour (Colour (0x50000000));
        g.drawLine (juce::Line<float> (onCircle (c, capRadius - 1.7f, a), onCircle (c, capRadius - 0.2f, a)),
                    0.8f);
    }

    const auto face = cap.reduced (2.2f);
    verticalGradient (g, face, palette::faceTop, palette::faceBottom);
    g.fillEllipse (face);
    g.setColour (Colour (0x30ffffff));
    g.drawEllipse (face.reduced (0.4f), 0.7f);

    // Fixed highlight: the light does not turn with the knob.
    g.setGradientFill (
        juce::ColourGradient (Colour (0x38ffffff), c.x, face.getY(), Colour (0x00ffffff), c.x, c.y, false));
    g.fillEllipse (face.reduced (1.0f).withHeight (face.getHeight() * 0.55f));

    // The pointer, outlined so it stays clear on the light part of the cap.
    const juce::Line<float> pointerLine (onCircle (c, 2.8f, angle), onCircle (c, capRadius - 0.6f, angle));
    g.setColour (Colour (0xa0000000));
    g.drawLine (pointerLine, 3.4f);
    g.setColour (palette::pointer);
    g.drawLine (pointerLine, 2.0f);
}

Image makeKnobStrip()
{
    auto image = newImage (knobStripWidth, knobStripHeight);
    Graphics g (image);
    for (int f = 0; f < knobFrameCount; ++f)
    {
        Graphics::ScopedSaveState save (g);
        g.reduceClipRegion (f * knobFrameStep, 0, knobFrameSize, knobFrameSize);
        g.setOrigin (f * knobFrameStep, 0);
        drawKnobFrame (g, f);
    }
    return image;
}

Image makeKnobPlate()
{
    auto image = newImage (knobPlateSize, knobPlateSize);
    Graphics g (image);
    drawKnobPlate (g);
    return image;
}

//==============================================================================
// Each switch frame keeps its first and last column clear, because the two 37-pixel frames share
// column 36 of the image.
void drawSwitchFrame (Graphics& g, bool on)
{
    const juce::Rectangle<float> slot (3.0f, 4.5f, 31.0f, 11.0f);
    g.setColour (Colour (0x50ffffff));
    g.drawRoundedRectangle (slot.expanded (0.6f).translated (0, 0.6f), 5.5f, 0.8f);
    verticalGradient (g, slot, palette::slotDark, on ? palette::slotOn : Colour (0xff1a1c1e));
    g.fillRoundedRectangle (slot, 5.5f);
    g.setColour (Colour (0xc0000000));
    g.drawRoundedRectangle (slot, 5.5f, 1.0f);

    const auto thumb = juce::Rectangle<float> (15.0f, 14.0f).withCentre ({on ? 26.0f : 11.0f, 10.0f});
    softShadow (g, thumb.translated (0.5f, 1.0f).reduced (2.0f), 1.5f, 0.6f);
    verticalGradient (g, thumb, palette::thumbLight, palette::thumbDark);
    g.fillRoundedRectangle (thumb, 3.5f);
    g.setColour (Colour (0x60ffffff));
    g.drawRoundedRectangle (thumb.reduced (0.5f), 3.0f, 0.6f);

    // The lamp in the thumb.
    const auto lamp = juce::Rectangle<float> (5.0f, 5.0f).withCentre (thumb.getCentre());
    if (on)
    {
        g.setColour (palette::accent.withAlpha (0.35f));
        g.fillEllipse (lamp.expanded (1.5f));
    }
    g.setColour (on ? palette::accent : Colour (0xff2b2e31));
    g.fillEllipse (lamp);
    g.setColour (Colour (0x80000000));
    g.drawEllipse (lamp, 0.6f);
}

Image makeSwitch()
{
    auto image = newImage (switchImageWidth, switchImageHeight);
    Graphics g (image);
    for (auto on : {false, true})
    {
        Graphics::ScopedSaveState save (g);
        const auto x = on ? switchOnFrameX : 0;
        g.reduceClipRegion (x + 1, 0, switchFrameWidth - 2, switchImageHeight);
        g.setOrigin (x, 0);
        drawSwitchFrame (g, on);
    }
    return image;
}

//==============================================================================
Image makeDropDownBody()
{
    auto image = newImage (dropDownBodyWidth, dropDownBodyHeight);
    Graphics g (image);
    const juce::Rectangle<float> area (0, 0, 200, 18);
    verticalGradient (g, area, palette::fieldTop, palette::fieldBottom);
    g.fillRect (area);
    // Inner shadow along the top: the field sits below the panel surface.
    g.setGradientFill (juce::ColourGradient (Colour (0x90000000), 0, 0, Colour (0x00000000), 0, 4, false));
    g.fillRect (area.withHeight (4));
    return image;
}

Image makeDropDownArrow()
{
    auto image = newImage (dropDownArrowWidth, dropDownArrowHeight);
    Graphics g (image);
    verticalGradient (g, {0, 0, 14, 18}, Colour (0xff24282b), Colour (0xff181a1c));
    g.fillRect (1, 1, 12, 16);
    g.setColour (Colour (0xff050606));
    g.fillRect (0, 1, 1, 16);
    g.setColour (Colour (0x30ffffff));
    g.fillRect (1, 1, 1, 16);

    juce::Path triangle;
    triangle.addTriangle (3.5f, 7.0f, 10.5f, 7.0f, 7.0f, 11.5f);
    g.setColour (palette::arrow);
    g.fillPath (triangle);
    return image;
}

Image makeDropDownFrame()
{
    auto image = newImage (dropDownFrameWidth, dropDownFrameHeight);
    Graphics g (image);
    const juce::Rectangle<float> area (0.5f, 0.5f, 99.0f, 16.0f);
    g.setGradientFill (juce::ColourGradient (Colour (0xff050607), 0, 0, palette::fieldEdge, 0, 17, false));
    g.drawRoundedRectangle (area, 2.0f, 1.0f);
    return image;
}

//==============================================================================
void drawLed (Graphics& g, bool on)
{
    const juce::Rectangle<float> body (1.0f, 1.0f, 12.0f, 7.0f);
    g.setColour (Colour (0xff050505));
    g.fillRoundedRectangle (body.expanded (0.5f), 2.0f);
    if (on)
    {
        g.setGradientFill (juce::ColourGradient (palette::ledCore, body.getCentreX(), body.getCentreY(),
                                                 palette::ledOn, body.getX(), body.getY(), true));
    }
    else
    {
        verticalGradient (g, body, palette::ledOff, palette::ledOffRim);
    }
    g.fillRoundedRectangle (body.reduced (0.5f), 1.5f);
    g.setColour (Colour (on ? 0x70ffffff : 0x28ffffff));
    g.fillRoundedRectangle (body.reduced (1.5f).withHeight (1.5f), 0.7f);
}

Image makeLed()
{
    auto image = newImage (ledImageWidth, ledImageHeight);
    Graphics g (image);
    for (auto on : {false, true})
    {
        Graphics::ScopedSaveState save (g);
        g.setOrigin (on ? ledOnFrameX : 0, 0);
        drawLed (g, on);
    }
    return image;
}

//==============================================================================
// The envelope backdrop is drawn at (4, 5) in the graph; its grid meets the graph's origin (16, 16)
// and base line (y 70).
Image makeEnvelopeGrid()
{
    constexpr int w = envelopeGridWidth, h = envelopeGridHeight;
    constexpr float originX = 12.0f, topY = 11.0f, baseY = 65.0f;
    auto image = newImage (w, h);
    Graphics g (image);
    const juce::Rectangle<float> area (0, 0, (float) w, (float) h);

    verticalGradient (g, area, palette::scopeBack.brighter (0.08f), palette::scopeBack);
    g.fillRoundedRectangle (area, 3.0f);

    g.setColour (palette::scopeLine);
    for (float x = originX; x < (float) w - 2; x += 12.0f)
        g.drawVerticalLine ((int) x, 2.0f, (float) h - 2);
    for (int i = 0; i <= 4; ++i)
        g.drawHorizontalLine ((int) (topY + (baseY - topY) * (float) i / 4.0f), 2.0f, (float) w - 2);

    g.setColour (palette::scopeAxis);
    g.drawHorizontalLine ((int) baseY, originX, (float) w - 2);
    g.drawVerticalLine ((int) originX, topY, baseY);

    g.setColour (Colour (0xff060708));
    g.drawRoundedRectangle (area.reduced (0.5f), 3.0f, 1.0f);
    g.setGradientFill (juce::ColourGradient (Colour (0x80000000), 0, 1, Colour (0x00000000), 0, 6, false));
    g.fillRect (area.reduced (1.0f).withHeight (5.0f));
    return image;
}

/** The glass reflection laid over the envelope graph and the LCD at partial opacity. */
Image makeGlare()
{
    constexpr auto w = (float) glareWidth, h = (float) glareHeight;
    auto image = newImage ((int) w, (int) h);
    Graphics g (image);

    juce::Path sheen;
    sheen.startNewSubPath (0, 0);
    sheen.lineTo (w, 0);
    sheen.lineTo (w, h * 0.18f);
    sheen.quadraticTo (w * 0.55f, h * 0.30f, 0, h * 0.55f);
    sheen.closeSubPath();
    g.setGradientFill (
        juce::ColourGradient (Colour (0x70ffffff), 0, 0, Colour (0x08ffffff), 0, h * 0.55f, false));
    g.fillPath (sheen);

    // A thin bright rim along the top edge of the glass.
    g.setColour (Colour (0x50ffffff));
    g.fillRect (2.0f, 0.0f, w - 4.0f, 1.0f);
    return image;
}

Image makeLcdGrid()
{
    constexpr int w = lcdGridWidth, h = lcdGridHeight;
    auto image = newImage (w, h);
    Graphics g (image);
    g.fillAll (palette::lcdBack);

    // A faint pixel matrix, as on a real character display.
    g.setColour (palette::lcdLine);
    for (int x = 2; x < w; x += 3)
        g.drawVerticalLine (x, 0.0f, (float) h);
    for (int y = 2; y < h; y += 3)
        g.drawHorizontalLine (y, 0.0f, (float) w);

    // Recessed behind the bezel: darker towards the edges.
    g.setGradientFill (
        juce::ColourGradient (Colour (0x00000000), w * 0.5f, h * 0.5f, Colour (0x38102028), 0, 0, true));
    g.fillAll();
    g.setColour (Colour (0xff46555b));
    g.drawRect (0, 0, w, h, 1);
    g.setColour (Colour (0x40000000));
    g.drawHorizontalLine (1, 1.0f, (float) w - 1);
    return image;
}

//==============================================================================
/** Drawn under and over the program list at low opacity: the list fades at the top and bottom. */
Image makeGridBackground()
{
    constexpr int w = listBackgroundWidth, h = listBackgroundHeight;
    auto image = newImage (w, h);
    Graphics g (image);
    juce::ColourGradient fade (palette::listTint, 0, 0, palette::listTint, 0, (float) h, false);
    fade.addColour (0.18, palette::listTint.withAlpha (0.35f));
    fade.addColour (0.5, palette::listTint.withAlpha (0.15f));
    fade.addColour (0.82, palette::listTint.withAlpha (0.35f));
    g.setGradientFill (fade);
    g.fillAll();

    // A soft vertical sheen, like light across a curved screen.
    juce::ColourGradient sheen (Colour (0x00ffffff), 0, 0, Colour (0x00ffffff), (float) w, 0, false);
    sheen.addColour (0.3, Colour (0x14ffffff));
    g.setGradientFill (sheen);
    g.fillAll();
    return image;
}

Image makeGridThumb()
{
    constexpr int w = listThumbWidth, h = listThumbHeight;
    auto image = newImage (w, h);
    Graphics g (image);
    const juce::Rectangle<float> body (1.0f, 1.0f, (float) w - 2, (float) h - 2);

    juce::ColourGradient metal (palette::thumbDark, body.getX(), 0, palette::thumbDark.darker (0.4f),
                                body.getRight(), 0, false);
    metal.addColour (0.35, palette::thumbLight);
    g.setGradientFill (metal);
    g.fillRoundedRectangle (body, 4.0f);
    g.setColour (Colour (0xff0a0b0c));
    g.drawRoundedRectangle (body, 4.0f, 1.0f);

    // Grip ridges across the middle.
    for (int i = -2; i <= 2; ++i)
    {
        const auto y = (float) h * 0.5f + (float) i * 4.0f;
        g.setColour (Colour (0x90000000));
        g.fillRect (5.0f, y, (float) w - 10, 1.0f);
        g.setColour (Colour (0x50ffffff));
        g.fillRect (5.0f, y + 1.0f, (float) w - 10, 1.0f);
    }
    return image;
}

//==============================================================================
// Librarian buttons: a long body whose right end is a separate cap, so a button of any width is the
// body cut to length plus the cap; and the light keys of the category chooser.

void drawLibButtonShape (Graphics& g, juce::Rectangle<float> body, float radius)
{
    verticalGradient (g, body, Colour (0xff5a5f66), Colour (0xff25282c));
    g.fillRoundedRectangle (body, radius);
    g.setGradientFill (juce::ColourGradient (Colour (0x40ffffff), 0, body.getY(), Colour (0x00ffffff), 0,
                                             body.getCentreY(), false));
    g.fillRoundedRectangle (body.reduced (2.0f).withHeight (body.getHeight() * 0.5f), radius - 2.0f);
    g.setColour (Colour (0xff0b0c0d));
    g.drawRoundedRectangle (body, radius, 2.0f);
}

Image makeLibButtonBody()
{
    auto image = newImage (libButtonBodyWidth, libButtonBodyHeight);
    Graphics g (image);
    // Drawn wider than the image so that its right end is cut off square; the cap closes it, and
    // the body leaves the cap's place empty so that nothing shows beside the cap's rounded corners.
    g.reduceClipRegion (0, 0, libButtonBodyWidth - libButtonCapWidth, libButtonBodyHeight);
    drawLibButtonShape (g, {1.0f, 1.0f, (float) libButtonBodyWidth + 20.0f, (float) libButtonBodyHeight - 2}, 10.0f);
    return image;
}

Image makeLibButtonCap()
{
    auto image = newImage (libButtonCapWidth, libButtonCapHeight);
    Graphics g (image);
    drawLibButtonShape (g, {-30.0f, 1.0f, 39.0f, (float) libButtonCapHeight - 2}, 10.0f);
    return image;
}

Image makeCatButtonBody()
{
    auto image = newImage (catButtonWidth, catButtonHeight);
    Graphics g (image);
    const juce::Rectangle<float> body (1.0f, 1.0f, (float) catButtonWidth - 2, (float) catButtonHeight - 2);
    verticalGradient (g, body, Colour (0xffd9dcdf), Colour (0xff9ea3a8));
    g.fillRoundedRectangle (body, 6.0f);
    g.setColour (Colour (0x80ffffff));
    g.drawHorizontalLine (2, 6.0f, (float) catButtonWidth - 6);
    g.setColour (Colour (0xff1c1e20));
    g.drawRoundedRectangle (body, 6.0f, 2.0f);
    return image;
}

//==============================================================================
// Panel artwork. Textures are made pixel by pixel from seeded noise, so every run gives the same
// images and a diff of resources/art shows only deliberate changes.

/** Smooth one-dimensional noise with a fixed period: the tile and the grain repeat without seams. */
class PeriodicNoise
{
public:
    PeriodicNoise (int period, juce::int64 seed) : values ((size_t) period)
    {
        juce::Random random (seed);
        for (auto& v : values)
            v = random.nextFloat() * 2.0f - 1.0f;
    }

    /** -1..1 at a position measured in lattice steps. */
    float at (float position) const
    {
        const auto n = (int) values.size();
        const auto base = (int) std::floor (position);
        const auto t = position - (float) base;
        const auto smooth = t * t * (3.0f - 2.0f * t);
        const auto a = values[(size_t) (((base % n) + n) % n)];
        const auto b = values[(size_t) ((((base + 1) % n) + n) % n)];
        return a + (b - a) * smooth;
    }

private:
    std::vector<float> values;
};

juce::uint8 channel (float v)
{
    return (juce::uint8) juce::jlimit (0, 255, juce::roundToInt (v));
}

/** Dark brushed metal, the panel's face. The panel draws it at half size, so the fine grain of the
    brushing survives as a soft sheen rather than noise. */
Image makePanelTile()
{
    constexpr int size = panelTileSize;
    constexpr float base = 71.0f;
    auto image = Image (Image::ARGB, size, size, true);
    juce::Random random (0x6b656c76);

    // Each row is one brush stroke; long streaks wrap around so the tile repeats seamlessly.
    std::vector<float> rowShade ((size_t) size);
    for (auto& r : rowShade)
        r = random.nextFloat() * 7.0f - 3.5f;

    struct Streak
    {
        int y, x, length;
        float shade;
    };
    std::vector<Streak> streaks;
    for (int i = 0; i < 260; ++i)
        streaks.push_back ({random.nextInt (size), random.nextInt (size), 20 + random.nextInt (150),
                            random.nextFloat() * 10.0f - 5.0f});

    std::vector<float> shade ((size_t) (size * size), 0.0f);
    for (const auto& s : streaks)
        for (int i = 0; i < s.length; ++i)
        {
            // Streaks fade in and out along their length.
            const auto envelope = std::sin (juce::MathConstants<float>::pi * (float) i / (float) s.length);
            shade[(size_t) (s.y * size + (s.x + i) % size)] += s.shade * envelope;
        }

    const PeriodicNoise cloud (8, 17);
    const Image::BitmapData pixels (image, Image::BitmapData::writeOnly);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const auto broad = 3.0f * cloud.at ((float) x / 25.0f + (float) y / 50.0f);
            const auto fine = random.nextFloat() * 4.0f - 2.0f;
            const auto v = base + rowShade[(size_t) y] + shade[(size_t) (y * size + x)] + broad + fine;
            // A faint cool cast, as anodised aluminium has.
            pixels.setPixelColour (x, y, Colour (channel (v - 1.0f), channel (v + 1.0f), channel (v + 3.5f)));
        }
    return image;
}

juce::Typeface::Ptr boldTypeface (const juce::File& fonts)
{
    juce::MemoryBlock data;
    if (!fonts.getChildFile ("LiberationSans-Bold.ttf").loadFileAsData (data))
        return nullptr;
    return juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());
}

/** Text as a path, so it can be filled with gradients and embossed. */
juce::Path textPath (const juce::Font& font, const juce::String& text, float x, float baseline)
{
    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (font, text, x, baseline);
    juce::Path path;
    glyphs.createPath (path);
    return path;
}

/** Engraved lettering: a dark cut above, a lit lower edge, then the face. */
void engrave (Graphics& g, const juce::Path& letters, Colour top, Colour bottom)
{
    const auto bounds = letters.getBounds();
    g.setColour (Colour (0xa0000000));
    g.fillPath (letters, juce::AffineTransform::translation (0.0f, -0.8f));
    g.setColour (Colour (0x38ffffff));
    g.fillPath (letters, juce::AffineTransform::translation (0.0f, 1.0f));
    g.setGradientFill (juce::ColourGradient (top, 0, bounds.getY(), bottom, 0, bounds.getBottom(), false));
    g.fillPath (letters);
}

/** The instrument's name as our own wordmark: wide-set capitals in satin silver, the voice count in
    the panel's amber. */
Image makeLogo (const juce::Typeface::Ptr& bold)
{
    auto image = newImage (logoWidth, logoHeight);
    Graphics g (image);

    auto font = juce::Font (bold).withHeight (30.0f);
    font.setExtraKerningFactor (0.14f);
    constexpr float baseline = 25.0f;
    const auto name = textPath (font, "MOPHO", 2.0f, baseline);
    engrave (g, name, Colour (0xfff2f3f4), Colour (0xffa9afb5));

    auto small = juce::Font (bold).withHeight (22.0f);
    small.setExtraKerningFactor (0.05f);
    const auto count = textPath (small, "x4", name.getBounds().getRight() + 12.0f, baseline);
    engrave (g, count, palette::accent.brighter (0.25f), palette::accent.darker (0.25f));

    // A hairline that runs out from the name to the right edge, under the voice count.
    const auto lineX = count.getBounds().getRight() + 8.0f;
    g.setGradientFill (juce::ColourGradient (palette::accent.withAlpha (0.9f), lineX, 0,
                                             palette::accent.withAlpha (0.0f), (float) logoWidth, 0, false));
    g.fillRect (lineX, baseline - 1.5f, (float) logoWidth - lineX, 1.5f);
    return image;
}

void drawScrew (Graphics& g, juce::Point<float> centre, float radius, float slotDegrees)
{
    const auto head = juce::Rectangle<float> (2 * radius, 2 * radius).withCentre (centre);
    g.setColour (Colour (0x90000000));
    g.fillEllipse (head.expanded (0.8f).translated (0.3f, 0.6f));
    g.setGradientFill (juce::ColourGradient (Colour (0xffb8bec4), head.getX(), head.getY(),
                                             Colour (0xff4a4f55), head.getRight(), head.getBottom(), false));
    g.fillEllipse (head);
    const auto a = juce::degreesToRadians (slotDegrees);
    const juce::Point<float> d (std::cos (a) * radius * 0.75f, std::sin (a) * radius * 0.75f);
    g.setColour (Colour (0xff1a1c1e));
    g.drawLine (juce::Line<float> (centre - d, centre + d), 1.2f);
}

/** Our own name plate, screwed to the panel. */
Image makeBadge (const juce::Typeface::Ptr& bold)
{
    auto image = newImage (badgeWidth, badgeHeight);
    Graphics g (image);
    const juce::Rectangle<float> plate (1.5f, 1.5f, badgeWidth - 3.0f, badgeHeight - 3.5f);

    // Drop shadow onto the section face.
    g.setColour (Colour (0x70000000));
    g.fillRoundedRectangle (plate.translated (0.5f, 1.5f), 5.0f);

    juce::ColourGradient metal (Colour (0xff3d4146), 0, plate.getY(), Colour (0xff1f2225), 0,
                                plate.getBottom(), false);
    metal.addColour (0.45, Colour (0xff2e3135));
    g.setGradientFill (metal);
    g.fillRoundedRectangle (plate, 5.0f);

    // Bevel: lit top edge, dark rim.
    g.setColour (Colour (0xff0b0c0d));
    g.drawRoundedRectangle (plate, 5.0f, 1.0f);
    g.setColour (Colour (0x40ffffff));
    g.drawHorizontalLine ((int) plate.getY() + 1, plate.getX() + 4, plate.getRight() - 4);

    // An inset field for the lettering.
    const auto field = plate.reduced (18.0f, 6.0f);
    g.setColour (Colour (0x55000000));
    g.fillRoundedRectangle (field, 3.0f);
    g.setColour (Colour (0x24ffffff));
    g.drawRoundedRectangle (field.translated (0, 0.6f), 3.0f, 0.8f);
    g.setColour (Colour (0x90000000));
    g.drawRoundedRectangle (field, 3.0f, 0.8f);

    auto font = juce::Font (bold).withHeight (23.0f);
    font.setExtraKerningFactor (0.32f);
    auto word = textPath (font, "KELVO", 0.0f, 0.0f);
    word.applyTransform (juce::AffineTransform::translation (
        field.getCentreX() - word.getBounds().getCentreX(), field.getY() + 22.0f));
    engrave (g, word, Colour (0xffeef0f2), Colour (0xff9ea5ac));

    auto small = juce::Font (bold).withHeight (7.5f);
    small.setExtraKerningFactor (0.38f);
    auto line = textPath (small, "PROGRAM  EDITOR", 0.0f, 0.0f);
    line.applyTransform (juce::AffineTransform::translation (
        field.getCentreX() - line.getBounds().getCentreX(), field.getBottom() - 4.0f));
    g.setColour (palette::accent);
    g.fillPath (line);

    drawScrew (g, {plate.getX() + 9.0f, plate.getCentreY()}, 3.6f, 30.0f);
    drawScrew (g, {plate.getRight() - 9.0f, plate.getCentreY()}, 3.6f, 115.0f);
    return image;
}

/** A dark walnut end cheek; the left one, whose outer side is its left edge. */
Image makeLeftCheek()
{
    constexpr int w = cheekWidth, h = cheekHeight;
    auto image = Image (Image::ARGB, w, h, true);

    const PeriodicNoise wander (16, 3), ripple (64, 5), pores (512, 11);
    juce::Random random (0x77616c6e);
    {
        const Image::BitmapData pixels (image, Image::BitmapData::writeOnly);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                // Long vertical grain that wanders sideways and ripples a little.
                const auto fy = (float) y;
                const auto u = (float) x + 5.0f * wander.at (fy / 120.0f) + 1.2f * ripple.at (fy / 14.0f);
                const auto rings = 0.5f + 0.5f * std::sin (u * 0.95f + 2.5f * wander.at (fy / 60.0f + 7.0f));
                const auto figure = std::pow (rings, 3.0f);
                const auto pore = pores.at ((float) x * 3.0f + fy * 0.7f) > 0.82f ? -10.0f : 0.0f;
                const auto grain = random.nextFloat() * 5.0f;
                const auto r = 62.0f + 34.0f * figure + pore + grain;
                pixels.setPixelColour (x, y, Colour (channel (r), channel (r * 0.62f), channel (r * 0.42f)));
            }
    }

    Graphics g (image);
    // Rounded over on both long edges: light from the upper left, the inner edge in the panel's shade.
    juce::ColourGradient form (Colour (0x50000000), 0, 0, Colour (0x00000000), 7, 0, false);
    g.setGradientFill (form);
    g.fillRect (0, 0, 7, h);
    g.setGradientFill (juce::ColourGradient (Colour (0x00000000), (float) w - 9, 0, Colour (0x90000000),
                                             (float) w, 0, false));
    g.fillRect (w - 9, 0, 9, h);
    g.setColour (Colour (0x30ffe0c0));
    g.drawVerticalLine (2, 0.0f, (float) h);

    // Lacquer: a soft sheen down the middle.
    g.setGradientFill (juce::ColourGradient (Colour (0x00ffffff), 6, 0, Colour (0x00ffffff), 22, 0, false));
    juce::ColourGradient sheen (Colour (0x00ffffff), 6, 0, Colour (0x00ffffff), 24, 0, false);
    sheen.addColour (0.4, Colour (0x1cffffff));
    g.setGradientFill (sheen);
    g.fillRect (6, 0, 18, h);

    // End grain shading at the top and bottom.
    g.setGradientFill (juce::ColourGradient (Colour (0x70000000), 0, 0, Colour (0x00000000), 0, 10, false));
    g.fillRect (0, 0, w, 10);
    g.setGradientFill (juce::ColourGradient (Colour (0x00000000), 0, (float) h - 10, Colour (0x80000000), 0,
                                             (float) h, false));
    g.fillRect (0, h - 10, w, 10);
    return image;
}

Image makeRightCheek()
{
    auto left = makeLeftCheek();
    auto image = newImage (cheekWidth, cheekHeight);
    Graphics g (image);
    g.drawImageTransformed (left,
                            juce::AffineTransform::scale (-1.0f, 1.0f).translated ((float) cheekWidth, 0));
    return image;
}


//==============================================================================
// The keyboard drawer: keys, wheels, the drawer's handle, the wheel wells, the octave map and the
// velocity readout.

/** An ivory key, pressed or not: a pressed key sinks, so its top shadow is deeper and its front
    lip shorter. */
Image makeWhiteKey (bool down)
{
    constexpr int w = whiteKeyWidth, h = whiteKeyHeight;
    auto image = newImage (w, h);
    Graphics g (image);
    const auto body = juce::Rectangle<float> (0.5f, 0.0f, (float) w - 1.5f, (float) h - 0.5f);

    juce::Path shape;
    shape.addRoundedRectangle (body.getX(), body.getY(), body.getWidth(), body.getHeight(), 2.5f, 2.5f, false,
                               false, true, true);
    verticalGradient (g, body, down ? Colour (0xffd8d6cf) : Colour (0xfff4f2ec),
                      down ? Colour (0xffc9c6bd) : Colour (0xffe6e3da));
    g.fillPath (shape);

    // The front lip: a lighter band at the bottom that a pressed key hides in part.
    const auto lip = down ? 4.0f : 8.0f;
    g.setGradientFill (juce::ColourGradient (Colour (0xfffdfcf8), 0, body.getBottom() - lip, Colour (0xffbfbbb0), 0,
                                             body.getBottom(), false));
    g.fillRect (body.withTop (body.getBottom() - lip).reduced (1.0f, 0.0f));

    // Shadow under the key bed's rail; deeper when the key is down.
    g.setGradientFill (juce::ColourGradient (Colour (down ? 0x90000000 : 0x50000000), 0, 0, Colour (0x00000000), 0,
                                             down ? 14.0f : 7.0f, false));
    g.fillRect (body.withHeight (down ? 14.0f : 7.0f));

    // A pressed key glows with the panel's accent, so a held note is plain to see.
    if (down)
    {
        g.setGradientFill (juce::ColourGradient (palette::accent.withAlpha (0.10f), 0, 0,
                                                 palette::accent.withAlpha (0.55f), 0, (float) h, false));
        g.fillPath (shape);
    }

    // Gaps between keys.
    g.setColour (Colour (0xff6e6b64));
    g.strokePath (shape, juce::PathStrokeType (1.0f));
    g.setColour (Colour (0x60ffffff));
    g.drawVerticalLine (1, 2.0f, (float) h - lip - 1.0f);
    return image;
}

/** An ebony key with a rounded top face and side bevels. */
Image makeBlackKey (bool down)
{
    constexpr int w = blackKeyWidth, h = blackKeyHeight;
    auto image = newImage (w, h);
    Graphics g (image);
    const auto body = juce::Rectangle<float> (0.0f, 0.0f, (float) w, (float) h);

    g.setColour (Colour (0xff050505));
    g.fillRoundedRectangle (body, 1.5f);

    // The top face: shorter front slope when pressed.
    const auto front = down ? 4.0f : 9.0f;
    const auto face = body.reduced (2.0f, 0.0f).withTrimmedBottom (front);
    verticalGradient (g, face, down ? Colour (0xff1a1b1d) : Colour (0xff2a2c2f),
                      down ? Colour (0xff101112) : Colour (0xff141516));
    g.fillRoundedRectangle (face, 1.5f);
    g.setGradientFill (juce::ColourGradient (Colour (down ? 0x10ffffff : 0x28ffffff), face.getX(), 0,
                                             Colour (0x00ffffff), face.getCentreX(), 0, false));
    g.fillRect (face.withWidth (face.getWidth() * 0.5f));

    if (down)
    {
        g.setColour (palette::accent.withAlpha (0.75f));
        g.drawRoundedRectangle (face.reduced (0.5f), 1.5f, 1.0f);
    }

    // Front slope catching the light.
    g.setGradientFill (juce::ColourGradient (Colour (0xff3a3d41), 0, face.getBottom(), Colour (0xff111213), 0,
                                             body.getBottom(), false));
    g.fillRect (body.reduced (1.0f, 0.0f).withTop (face.getBottom()).withTrimmedBottom (1.0f));
    return image;
}

/** A ribbed rubber wheel seen edge-on, turned through its travel over the frames. A white marker
    shows the position at a glance. */
Image makeWheelStrip()
{
    auto image = newImage (wheelStripWidth, wheelFrameHeight);
    Graphics g (image);
    constexpr float radius = 118.0f;
    constexpr float travelDegrees = 100.0f;
    constexpr int ribs = 48;

    for (int f = 0; f < wheelFrameCount; ++f)
    {
        const auto x0 = (float) (f * wheelFrameStep);
        const auto frame = juce::Rectangle<float> (x0 + 4.0f, 2.0f, wheelFrameWidth - 8.0f, wheelFrameHeight - 4.0f);
        const auto centreY = frame.getCentreY();
        const auto turn = juce::degreesToRadians (((float) f / (wheelFrameCount - 1) - 0.5f) * travelDegrees);

        // The cylinder: dark at the top and bottom where it turns away, lit across the middle.
        juce::ColourGradient body (Colour (0xff060606), 0, frame.getY(), Colour (0xff060606), 0, frame.getBottom(),
                                   false);
        body.addColour (0.35, Colour (0xff3c3f43));
        body.addColour (0.5, Colour (0xff46494e));
        body.addColour (0.65, Colour (0xff2e3034));
        g.setGradientFill (body);
        g.fillRoundedRectangle (frame, 5.0f);

        for (int r = 0; r < ribs; ++r)
        {
            const auto phi = juce::MathConstants<float>::twoPi * (float) r / ribs + turn;
            if (std::cos (phi) < 0.15f)
                continue;
            const auto y = centreY - radius * 0.8f * std::sin (phi);
            if (y < frame.getY() + 3.0f || y > frame.getBottom() - 3.0f)
                continue;
            const auto light = 0.15f + 0.45f * std::cos (phi);
            g.setColour (Colour (0xff000000).withAlpha (0.8f));
            g.fillRect (frame.getX() + 3.0f, y, frame.getWidth() - 6.0f, 1.4f);
            g.setColour (Colour (0xffffffff).withAlpha (light * 0.35f));
            g.fillRect (frame.getX() + 3.0f, y + 1.4f, frame.getWidth() - 6.0f, 0.8f);
        }

        // The marker at the wheel's centre position.
        const auto markerY = centreY - radius * 0.8f * std::sin (turn);
        if (markerY > frame.getY() + 6.0f && markerY < frame.getBottom() - 6.0f)
        {
            g.setColour (palette::pointer.withAlpha (0.9f));
            g.fillRoundedRectangle (frame.getX() + 5.0f, markerY - 2.5f, frame.getWidth() - 10.0f, 5.0f, 2.0f);
        }

        // Side walls.
        g.setGradientFill (juce::ColourGradient (Colour (0x90000000), frame.getX(), 0, Colour (0x00000000),
                                                 frame.getX() + 9.0f, 0, false));
        g.fillRect (frame.withWidth (9.0f));
        g.setGradientFill (juce::ColourGradient (Colour (0x00000000), frame.getRight() - 9.0f, 0, Colour (0x90000000),
                                                 frame.getRight(), 0, false));
        g.fillRect (frame.withLeft (frame.getRight() - 9.0f));
    }
    return image;
}

/** The drawer's handle: a brushed rail, profiled top to bottom only, so that it stretches. */
Image makeHandleBand()
{
    auto image = newImage (handleBandWidth, handleBandHeight);
    Graphics g (image);
    const auto area = juce::Rectangle<float> (0, 0, handleBandWidth, handleBandHeight);
    juce::ColourGradient rail (Colour (0xff4a4e53), 0, 0, Colour (0xff1b1d20), 0, handleBandHeight, false);
    rail.addColour (0.15, Colour (0xff393c40));
    rail.addColour (0.7, Colour (0xff25282b));
    g.setGradientFill (rail);
    g.fillRect (area);
    g.setColour (Colour (0x50ffffff));
    g.drawHorizontalLine (0, 0.0f, (float) handleBandWidth);
    g.setColour (palette::accent.withAlpha (0.55f));
    g.drawHorizontalLine (handleBandHeight - 2, 0.0f, (float) handleBandWidth);
    g.setColour (Colour (0xff000000));
    g.drawHorizontalLine (handleBandHeight - 1, 0.0f, (float) handleBandWidth);
    return image;
}

/** The slot a wheel turns in. */
Image makeWheelWell()
{
    auto image = newImage (wheelWellWidth, wheelWellHeight);
    Graphics g (image);
    const auto area = juce::Rectangle<float> (1, 1, wheelWellWidth - 2, wheelWellHeight - 2);
    verticalGradient (g, area, palette::bezelTop, palette::bezelBottom);
    g.fillRoundedRectangle (area, 9.0f);
    const auto hole = area.reduced (5.0f);
    g.setColour (Colour (0xff050506));
    g.fillRoundedRectangle (hole, 7.0f);
    g.setGradientFill (juce::ColourGradient (Colour (0xa0000000), 0, hole.getY(), Colour (0x00000000), 0,
                                             hole.getY() + 18.0f, false));
    g.fillRoundedRectangle (hole.withHeight (18.0f), 7.0f);
    g.setColour (Colour (0x30ffffff));
    g.drawRoundedRectangle (area.reduced (0.5f), 9.0f, 1.0f);
    return image;
}

/** All 128 notes as a miniature keyboard: 25 units an octave. */
Image makeOctaveKeyboard()
{
    auto image = newImage (octaveKeyboardWidth, octaveKeyboardHeight);
    Graphics g (image);
    constexpr float whiteWidth = 25.0f / 7.0f;
    constexpr float h = octaveKeyboardHeight;
    g.setColour (Colour (0xff0b0c0d));
    g.fillAll();
    constexpr int numWhite = 75; // C0 .. G10
    for (int k = 0; k < numWhite; ++k)
    {
        const auto x = (float) k * whiteWidth;
        const bool isC = k % 7 == 0;
        g.setColour (isC ? Colour (0xffd8d3c6) : Colour (0xffeeebe3));
        g.fillRect (x + 0.3f, 0.0f, whiteWidth - 0.6f, h - 1.0f);
    }
    static constexpr int blackAfter[] = {0, 1, 3, 4, 5}; // white keys followed by a black one
    for (int octave = 0; octave < 11; ++octave)
        for (auto b : blackAfter)
        {
            const auto note = octave * 12 + (b < 3 ? 2 * b + 1 : 2 * b);
            if (note > 127)
                continue;
            const auto x = ((float) (octave * 7 + b) + 0.68f) * whiteWidth;
            g.setColour (Colour (0xff141516));
            g.fillRect (x, 0.0f, whiteWidth * 0.64f, h * 0.6f);
        }
    g.setColour (palette::accent);
    g.fillRect (0.0f, h - 1.0f, (float) octaveKeyboardWidth, 1.0f);
    return image;
}

/** The little readout behind the velocity number. */
Image makeVelocityDisplay()
{
    auto image = newImage (velocityDisplayWidth, velocityDisplayHeight);
    Graphics g (image);
    const auto area = juce::Rectangle<float> (0, 0, velocityDisplayWidth, velocityDisplayHeight);
    verticalGradient (g, area, palette::fieldTop, palette::fieldBottom);
    g.fillRoundedRectangle (area, 2.0f);
    g.setColour (palette::fieldEdge);
    g.drawRoundedRectangle (area.reduced (0.5f), 2.0f, 1.0f);
    return image;
}

/** Behind a sequencer track: a dark screen with every other group of four steps a shade lighter and
    a strip along the top for the state buttons. */
Image makeTrackBackground()
{
    constexpr int w = trackBackgroundWidth, h = trackBackgroundHeight;
    auto image = newImage (w, h);
    Graphics g (image);
    verticalGradient (g, {0, 0, (float) w, (float) h}, Colour (0xff15191b), Colour (0xff0c0e0f));
    g.fillAll();
    const auto step = (float) w / 16.0f;
    for (int group = 1; group < 4; group += 2)
    {
        g.setColour (Colour (0x0cffffff));
        g.fillRect ((float) group * 4.0f * step, 0.0f, 4.0f * step, (float) h);
    }
    g.setColour (Colour (0xff080909));
    g.fillRect (0.0f, 0.0f, (float) w, 16.0f);
    g.setColour (Colour (0x18ffffff));
    g.drawHorizontalLine (16, 0.0f, (float) w);
    g.setColour (Colour (0xff2d3236));
    g.drawRect (0, 0, w, h, 1);
    return image;
}

//==============================================================================
bool writePng (const Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat png;
    const auto ok = out.openedOk() && png.writeImageToStream (image, out);
    std::cout << (ok ? "wrote " : "FAILED ") << file.getFullPathName() << " (" << image.getWidth() << " x "
              << image.getHeight() << ")\n";
    return ok;
}

} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: make_artwork <output folder>\n";
        return 2;
    }

    const juce::File folder = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);
    folder.createDirectory();

    // The lettering uses the editor's own embedded font, next to the artwork in resources/.
    const auto bold = boldTypeface (folder.getSiblingFile ("fonts"));
    if (bold == nullptr)
    {
        std::cerr << "no LiberationSans-Bold.ttf in " << folder.getSiblingFile ("fonts").getFullPathName()
                  << "\n";
        return 1;
    }

    const std::pair<const char*, std::function<Image()>> images[] = {
        {"knob_strip.png", makeKnobStrip},
        {"knob_plate.png", makeKnobPlate},
        {"switch.png", makeSwitch},
        {"dropdown_body.png", makeDropDownBody},
        {"dropdown_arrow.png", makeDropDownArrow},
        {"dropdown_frame.png", makeDropDownFrame},
        {"led.png", makeLed},
        {"envelope_grid.png", makeEnvelopeGrid},
        {"glare.png", makeGlare},
        {"lcd_grid.png", makeLcdGrid},
        {"grid_background.png", makeGridBackground},
        {"grid_thumb.png", makeGridThumb},
        {"panel_tile.png", makePanelTile},
        {"logo.png", [&bold] { return makeLogo (bold); }},
        {"badge.png", [&bold] { return makeBadge (bold); }},
        {"cheek_left.png", makeLeftCheek},
        {"cheek_right.png", makeRightCheek},
        {"key_white_up.png", [] { return makeWhiteKey (false); }},
        {"key_white_down.png", [] { return makeWhiteKey (true); }},
        {"key_black_up.png", [] { return makeBlackKey (false); }},
        {"key_black_down.png", [] { return makeBlackKey (true); }},
        {"wheel_strip.png", makeWheelStrip},
        {"handle_band.png", makeHandleBand},
        {"wheel_well.png", makeWheelWell},
        {"octave_keyboard.png", makeOctaveKeyboard},
        {"velocity_display.png", makeVelocityDisplay},
        {"track_background.png", makeTrackBackground},
        {"lib_button.png", makeLibButtonBody},
        {"lib_button_cap.png", makeLibButtonCap},
        {"cat_button.png", makeCatButtonBody},
    };

    bool ok = true;
    for (const auto& [name, make] : images)
        ok = writePng (make(), folder.getChildFile (name)) && ok;
    return ok ? 0 : 1;
}
