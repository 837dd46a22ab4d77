#pragma once

#include "ui/widgets/KeyPlayListener.h"
#include "ui/widgets/ListenerArray.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <functional>

namespace kelvo
{
class MidiCntrState;

/**
    Plays the synth from the computer keyboard and shows short messages in a one-line strip.

    Twelve letter keys (Z S X D C V G B H N J M) play an octave from the base note; O and P move the
    base by an octave, U and I the velocity by 5, Space silences every note. Each letter key
    remembers the note it started and its channel, so a release ends that note where it sounds even
    when the octave or the channel changed while it was held; losing the keyboard focus or going
    away ends every note it started. Keys held with Ctrl, Cmd or Alt belong to the host (save, undo,
    copy) and are left alone.

    A window system may repeat a held key as a release followed at once by a press (X11 does): a
    release only ends its note when no press of the same key follows within repeatGapMs, so a held
    key plays one note.

    Notes go straight to the synth on the engine's MIDI channel. Message thread only.
*/
class KeyPlayClass : public juce::Component, private juce::Timer
{
public:
    /** Modes: in the keyboard drawer, in the library window. */
    static constexpr int drawerMode = 100;
    static constexpr int libraryMode = 101;

    static constexpr int numPlayKeys = 12;
    static constexpr int initialBase = 36;
    static constexpr int initialVelocity = 100;
    static constexpr int messageMilliseconds = 750;
    /** A press of the same key this soon after a release is the key repeating, not a new note. */
    static constexpr int repeatGapMs = 30;

    KeyPlayClass (MidiCntrState& engine, int mode);
    ~KeyPlayClass() override;

    void addListener (KeyPlayListener* listener) { listeners.add (listener); }
    void removeListener (KeyPlayListener* listener) { listeners.remove (listener); }

    /** Shows a text for 750 ms. */
    void showMessage (const juce::String& text);
    const juce::String& getMessage() const noexcept { return message; }

    void setColours (juce::Colour background, juce::Colour text);
    void setFontHeight (float height);

    /** Ends every note this player started (note-off for each). */
    void releaseAllNotes();

    int getBase() const noexcept { return base; }
    int getVelocity() const noexcept { return velocity; }
    bool isNoteOn (int note) const noexcept
    {
        return juce::isPositiveAndBelow (note, 128) && noteChannels[(size_t)note] != 0;
    }

    /** The letter keys, in semitone order from the base. */
    static const std::array<char, numPlayKeys>& playKeys();

    /** Handles a key as the focused component would; true when it was used. */
    bool keyPressed (const juce::KeyPress& key) override;
    /** Ends the notes of letter keys that are no longer held down, unless a press of the same key
        follows within repeatGapMs. */
    bool keyStateChanged (bool isKeyDown) override;
    /** Lets a test stand in for the keyboard's state. */
    std::function<bool (int keyCode)> isKeyHeld;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void focusLost (FocusChangeType cause) override;

private:
    struct ReleaseTimer final : juce::Timer
    {
        std::function<void()> callback;
        void timerCallback() override { callback(); }
    };

    void timerCallback() override;
    void noteOn (int keyIndex);
    void noteOff (int note);
    void endReleasedKeys();
    /** A mouse position in the owner's coordinates, for the listeners. */
    juce::Point<int> positionInOwner (const juce::MouseEvent& e) const;

    MidiCntrState& engine;
    const int mode;
    ListenerArray<KeyPlayListener> listeners;
    juce::Colour background{0xff0a0a0a}, textColour{juce::Colours::white};
    int velocity = initialVelocity;
    int base = initialBase;
    float fontHeight = 12.0f;
    juce::String message;
    /** The channel each sounding note started on, 0 for a silent note. */
    std::array<int, 128> noteChannels{};
    /** The note each letter key started and still holds, or -1. */
    std::array<int, numPlayKeys> heldNotes;
    /** Letter keys let go whose note ends unless the key comes back at once. */
    std::array<bool, numPlayKeys> releasePending{};
    ReleaseTimer releaseTimer;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KeyPlayClass)
};

} // namespace kelvo
