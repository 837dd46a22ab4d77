#include "ui/widgets/PianoKey.h"

#include "link/MidiCntrState.h"
#include "ui/widgets/Artwork.h"

namespace kelvo
{
namespace
{
constexpr int pressRepaintMs = 20, releaseRepaintMs = 30;
constexpr float whiteSilentTop = 52.0f; // the top of a white key lies under the black keys' rail
constexpr float velocityPerUnit = 1.27f;
} // namespace

PianoKey::PianoKey (MidiCntrState& e, int index, bool isBlackKey)
    : engine (e), keyIndex (index), black (isBlackKey)
{
    upImage = black ? artwork::blackKeyUp() : artwork::whiteKeyUp();
    downImage = black ? artwork::blackKeyDown() : artwork::whiteKeyDown();
    setInterceptsMouseClicks (false, false);
}

int PianoKey::velocityForPress (int engineVelocity, bool isBlack, float y)
{
    if (engineVelocity >= positionVelocityBelow)
        return engineVelocity;
    if (y > (float)art::whiteKeyHeight)
        return 0;
    float depth;
    if (isBlack)
        depth = y <= (float)art::blackKeyHeight ? y : 127.0f;
    else
        depth = juce::jmax (0.0f, y - whiteSilentTop);
    return juce::jlimit (lowestPositionVelocity, 127, (int)(depth * velocityPerUnit));
}

void PianoKey::pressKey (float designY)
{
    if (pressed)
        return;
    const auto v = velocityForPress (engine.keyboardVelocity.load(), black, designY);
    const auto note = keyIndex + 12 * engine.keyboardOctave.load();
    if (v <= 0 || note > 127)
        return;

    velocity = v;
    soundingNote = note;
    soundingChannel = engine.getMidiChannel();
    engine.sendNoteOn (soundingChannel, note, v);
    pressed = true;
    startTimer (pressRepaintMs);
    sendChangeMessage();
}

void PianoKey::releaseKey()
{
    if (!pressed)
        return;
    engine.sendNoteOff (soundingChannel, soundingNote);
    soundingNote = -1;
    pressed = false;
    startTimer (releaseRepaintMs);
    sendChangeMessage();
}

void PianoKey::timerCallback()
{
    stopTimer();
    if (pressed != drawn)
        repaint();
}

void PianoKey::paint (juce::Graphics& g)
{
    drawn = pressed;
    g.drawImage (pressed ? downImage : upImage, getLocalBounds().toFloat());
}

} // namespace kelvo
