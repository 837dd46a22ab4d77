// Draws the widget artwork from code and writes it as PNG files.
//
//     make_artwork <output folder>        (the repository's resources/art)
//
// The sizes and frame layouts are what the widgets expect (see ui/widgets/Artwork.h); the look is
// decided here. Change a drawing, run the tool, look at the PNGs, commit them: the build embeds
// whatever is in resources/art.

#include "ui/widgets/Artwork.h"

#include <juce_graphics/juce_graphics.h>

#include <cmath>
#include <functional>
#include <iostream>

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
    };

    bool ok = true;
    for (const auto& [name, make] : images)
        ok = writePng (make(), folder.getChildFile (name)) && ok;
    return ok ? 0 : 1;
}
