#include "ui/widgets/PianoPad.h"

#include "ui/widgets/Artwork.h"
#include "ui/widgets/KeyOverlay.h"
#include "ui/widgets/PianoKey.h"

namespace kelvo
{
namespace
{
// Per semitone of an octave: black or not, and where a black key sits from the octave's C.
constexpr bool blackInOctave[12] = {false, true,  false, true,  false, false,
                                    true,  false, true,  false, true,  false};
constexpr int blackOffset[12] = {0, 15, 0, 44, 0, 0, 90, 0, 116, 0, 142, 0};
constexpr int octaveWidth = 7 * art::whiteKeyWidth;
constexpr float upperBandGap = 2.0f;
constexpr juce::uint32 bedColour = 0xff111111;
} // namespace

PianoPad::PianoPad (MidiCntrState& engine)
{
    juce::Array<PianoKey*> list;
    for (int i = 0; i < numKeys; ++i)
    {
        auto* k = keys.add (std::make_unique<PianoKey> (engine, i, blackInOctave[i % 12]));
        addAndMakeVisible (*k);
        list.add (k);
    }

    overlay = std::make_unique<KeyOverlay>();
    overlay->setKeys (list);
    addAndMakeVisible (*overlay);
    setScale (1.0f);
}

PianoPad::~PianoPad() = default;

void PianoPad::setScale (float s)
{
    scale = s;
    const auto d = (int)((float)art::whiteKeyWidth * s);
    const auto e = (int)((float)art::whiteKeyHeight * s);
    setBounds ((int)((float)designX * s), (int)((float)designY * s), numWhiteKeys * d,
               (int)((float)designHeight * s));

    int whiteX = 0, whiteCount = 0;
    float nextUpperLeft = -1.0f;
    for (int i = 0; i < numKeys; ++i)
    {
        auto& k = *keys[i];
        const auto octave = i / 12;
        if (k.isBlack())
        {
            const auto designLeft = (float)(blackOffset[i % 12] + octave * octaveWidth);
            k.designLeft = k.upperBandLeft = designLeft;
            k.designWidth = (float)art::blackKeyWidth;
            nextUpperLeft = designLeft + (float)art::blackKeyWidth + upperBandGap;
            k.setBounds ((int)((float)blackOffset[i % 12] * s + (float)(octave * 7 * d)), 0,
                         (int)((float)art::blackKeyWidth * s), (int)((float)art::blackKeyHeight * s));
            k.toFront (false);
        }
        else
        {
            k.designLeft = (float)(whiteCount * art::whiteKeyWidth);
            k.designWidth = (float)art::whiteKeyWidth;
            k.upperBandLeft = nextUpperLeft >= 0.0f ? nextUpperLeft : k.designLeft;
            nextUpperLeft = -1.0f;
            k.setBounds (whiteX, 0, d, e);
            whiteX += d;
            ++whiteCount;
        }
    }

    overlay->setScale (s);
    overlay->setBounds (0, 0, getWidth(), e);
    overlay->toFront (false);
}

void PianoPad::releaseAll()
{
    overlay->releaseAll();
}

void PianoPad::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (bedColour));
}

} // namespace kelvo
