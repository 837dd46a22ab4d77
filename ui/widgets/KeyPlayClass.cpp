#include "ui/widgets/KeyPlayClass.h"

#include "link/MidiCntrState.h"
#include "model/ParDes.h"

namespace kelvo
{
namespace
{
constexpr int octaveKeys = 12;
constexpr int lowestBase = 0, highestBase = 120;
constexpr int velocityStep = 5;
constexpr int lowestVelocity = 1; // a note-on of velocity 0 is a note-off
constexpr int highestVelocityBeforeStep = 121;
constexpr int numNotes = 128;
constexpr int messageWidth = 400;

bool isDigitMode (int mode)
{
    return mode == KeyPlayClass::drawerMode || mode == KeyPlayClass::libraryMode || mode == 102;
}

bool isLetter (int keyCode, char letter)
{
    return keyCode == letter ||
           keyCode == (int)juce::CharacterFunctions::toLowerCase ((juce::juce_wchar)letter);
}
} // namespace

KeyPlayClass::KeyPlayClass (MidiCntrState& e, int playerMode) : engine (e), mode (playerMode)
{
    heldNotes.fill (-1);
    releaseTimer.callback = [this] { endReleasedKeys(); };
    setWantsKeyboardFocus (true);
    setSize (10, 10);
    isKeyHeld = [] (int keyCode)
    {
        return juce::KeyPress::isKeyCurrentlyDown (keyCode) ||
               juce::KeyPress::isKeyCurrentlyDown (
                   (int)juce::CharacterFunctions::toLowerCase ((juce::juce_wchar)keyCode));
    };
}

KeyPlayClass::~KeyPlayClass()
{
    releaseAllNotes();
}

const std::array<char, KeyPlayClass::numPlayKeys>& KeyPlayClass::playKeys()
{
    static const std::array<char, numPlayKeys> keys{'Z', 'S', 'X', 'D', 'C', 'V',
                                                    'G', 'B', 'H', 'N', 'J', 'M'};
    return keys;
}

void KeyPlayClass::setColours (juce::Colour newBackground, juce::Colour newText)
{
    background = newBackground;
    textColour = newText;
    repaint();
}

void KeyPlayClass::setFontHeight (float height)
{
    fontHeight = height;
    repaint();
}

void KeyPlayClass::showMessage (const juce::String& text)
{
    message = text;
    repaint();
    startTimer (messageMilliseconds);
}

void KeyPlayClass::timerCallback()
{
    stopTimer();
    message.clear();
    repaint();
}

//==============================================================================
bool KeyPlayClass::keyPressed (const juce::KeyPress& key)
{
    const auto mods = key.getModifiers();
    if (mods.isCtrlDown() || mods.isCommandDown() || mods.isAltDown())
        return false;

    const auto code = key.getKeyCode();
    if (code == juce::KeyPress::leftKey || code == juce::KeyPress::rightKey ||
        code == juce::KeyPress::upKey || code == juce::KeyPress::downKey || code == juce::KeyPress::F7Key ||
        code == juce::KeyPress::F8Key || code == juce::KeyPress::F9Key)
        return true;

    if (code == juce::KeyPress::spaceKey)
    {
        heldNotes.fill (-1);
        releasePending.fill (false);
        releaseTimer.stopTimer();
        const auto channel = engine.getMidiChannel();
        for (int n = 0; n < numNotes; ++n)
        {
            // A note started on another channel ends there too.
            if (const auto started = std::exchange (noteChannels[(size_t)n], 0); started != 0 && started != channel)
                engine.sendNoteOff (started, n);
            engine.sendNoteOff (channel, n);
        }
        showMessage ("All Notes OFF");
        return true;
    }

    const auto& keys = playKeys();
    for (int k = 0; k < numPlayKeys; ++k)
        if (isLetter (code, keys[(size_t)k]))
        {
            // Back at once after its release: the window system repeating a held key.
            releasePending[(size_t)k] = false;
            noteOn (k);
            return true;
        }

    if (isLetter (code, 'I') || isLetter (code, 'U'))
    {
        if (isLetter (code, 'I') && velocity <= highestVelocityBeforeStep)
            velocity += velocityStep;
        else if (isLetter (code, 'U') && velocity > lowestVelocity)
            velocity = juce::jmax (lowestVelocity, velocity - velocityStep);
        showMessage ("Note Velocity: " + juce::String (velocity));
        return true;
    }

    if (isLetter (code, 'O') || isLetter (code, 'P'))
    {
        if (isLetter (code, 'O') && base > lowestBase)
            base -= octaveKeys;
        else if (isLetter (code, 'P') && base < highestBase)
            base += octaveKeys;
        showMessage ("Octave " + juce::String (base / octaveKeys - 2));
        return true;
    }

    if (code >= '0' && code <= '9')
        return isDigitMode (mode);
    return false;
}

bool KeyPlayClass::keyStateChanged (bool)
{
    // Every letter key that has been let go ends its note, two keys released in one event two, once
    // it is clear that the key does not come straight back.
    bool used = false;
    const auto& keys = playKeys();
    for (int k = 0; k < numPlayKeys; ++k)
        if (heldNotes[(size_t)k] >= 0 && !isKeyHeld (keys[(size_t)k]))
        {
            releasePending[(size_t)k] = true;
            used = true;
        }
    if (used)
        releaseTimer.startTimer (repeatGapMs);
    return used;
}

void KeyPlayClass::endReleasedKeys()
{
    releaseTimer.stopTimer();
    const auto& keys = playKeys();
    for (int k = 0; k < numPlayKeys; ++k)
    {
        if (!std::exchange (releasePending[(size_t)k], false))
            continue;
        auto& held = heldNotes[(size_t)k];
        if (held >= 0 && !isKeyHeld (keys[(size_t)k]))
        {
            noteOff (held);
            held = -1;
        }
    }
}

void KeyPlayClass::noteOn (int keyIndex)
{
    const auto note = base + keyIndex;
    if (note >= numNotes || heldNotes[(size_t)keyIndex] >= 0 || noteChannels[(size_t)note] != 0)
        return; // out of range, or key repeat

    const auto channel = engine.getMidiChannel();
    noteChannels[(size_t)note] = channel;
    heldNotes[(size_t)keyIndex] = note;
    engine.sendNoteOn (channel, note, velocity);
    showMessage ("Play Chn: " + juce::String (channel) + " Key: " + noteName (note) +
                 " Vel: " + juce::String (velocity));
}

void KeyPlayClass::noteOff (int note)
{
    if (const auto channel = std::exchange (noteChannels[(size_t)note], 0); channel != 0)
        engine.sendNoteOff (channel, note);
}

void KeyPlayClass::releaseAllNotes()
{
    releaseTimer.stopTimer();
    releasePending.fill (false);
    for (auto& held : heldNotes)
        held = -1;
    for (int n = 0; n < numNotes; ++n)
        noteOff (n);
}

void KeyPlayClass::focusLost (FocusChangeType)
{
    releaseAllNotes();
}

//==============================================================================
void KeyPlayClass::paint (juce::Graphics& g)
{
    g.fillAll (background);
    g.setColour (textColour);
    g.setFont (juce::Font ("Arial", fontHeight, juce::Font::plain));
    g.drawText (message, 0, 0, messageWidth, getHeight(), juce::Justification::centredLeft, false);
}

juce::Point<int> KeyPlayClass::positionInOwner (const juce::MouseEvent& e) const
{
    if (auto* owner = getParentComponent())
        return e.getEventRelativeTo (owner).getPosition();
    return e.getPosition();
}

void KeyPlayClass::mouseDown (const juce::MouseEvent& e)
{
    const auto p = positionInOwner (e);
    listeners.callLastToFirst (*this, [p] (KeyPlayListener& l) { l.keyPlayMouseDown (p.x, p.y); });
}

void KeyPlayClass::mouseDrag (const juce::MouseEvent& e)
{
    const auto p = positionInOwner (e);
    listeners.callLastToFirst (*this, [p] (KeyPlayListener& l) { l.keyPlayMouseDrag (p.x, p.y); });
}

void KeyPlayClass::mouseUp (const juce::MouseEvent& e)
{
    const auto p = positionInOwner (e);
    listeners.callLastToFirst (*this, [p] (KeyPlayListener& l) { l.keyPlayMouseUp (p.x, p.y); });
}

} // namespace kelvo
