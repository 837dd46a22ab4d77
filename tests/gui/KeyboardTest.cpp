#include "support/MidiText.h"
#include "support/WidgetTestRig.h"
#include "ui/panels/KeyBrd.h"
#include "ui/widgets/KeyOverlay.h"
#include "ui/widgets/KeyPlayClass.h"
#include "ui/widgets/OctaveKeyClass.h"
#include "ui/widgets/PianoKey.h"
#include "ui/widgets/PianoPad.h"
#include "ui/widgets/VelIndClass.h"
#include "ui/widgets/WheelCnt.h"

#include <gtest/gtest.h>

#include <set>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
using Texts = std::vector<std::string>;

/** A processor whose output records what would reach the synth. */
struct PlayFixture : ::testing::Test
{
    ProcessorRig p;
    MidiCntrState& engine = p.processor->getEngine();

    void SetUp() override
    {
        engine.selectOutputRow (1);
        midi();
    }

    /** What went out since the last call, as texts. */
    Texts midi()
    {
        EXPECT_TRUE (engine.waitUntilSent (2000));
        return midiText (p.rig.sink.take());
    }
};

//==============================================================================
// The computer-keyboard player

struct PlayerFixture : PlayFixture
{
    KeyPlayClass player{engine, KeyPlayClass::drawerMode};
    std::set<int> held;

    PlayerFixture()
    {
        player.isKeyHeld = [this] (int code) { return held.count (code) > 0; };
    }

    /** "Z" presses Z (and holds it), "-Z" lets Z go, "-ZX" lets both go in one event, "^Z" is Ctrl+Z,
        "@S" is Alt+S, "space", "left", "f8" and "7" are keys without a held state. */
    bool act (const std::string& a)
    {
        if (a == "space")
            return player.keyPressed (juce::KeyPress (juce::KeyPress::spaceKey));
        if (a == "left")
            return player.keyPressed (juce::KeyPress (juce::KeyPress::leftKey));
        if (a == "f8")
            return player.keyPressed (juce::KeyPress (juce::KeyPress::F8Key));
        if (a[0] == '-')
        {
            for (size_t i = 1; i < a.size(); ++i)
                held.erase (a[i]);
            const auto used = player.keyStateChanged (false);
            pumpFor (2 * KeyPlayClass::repeatGapMs); // no press follows: a release
            return used;
        }
        if (a[0] == '^')
            return player.keyPressed (juce::KeyPress (a[1], juce::ModifierKeys::ctrlModifier, 0));
        if (a[0] == '@')
            return player.keyPressed (juce::KeyPress (a[1], juce::ModifierKeys::altModifier, 0));
        held.insert (a[0]);
        return player.keyPressed (juce::KeyPress (a[0]));
    }
};
} // namespace

TEST_F (PlayerFixture, KeyGestures)
{
    struct Case
    {
        const char* what;
        std::vector<std::string> actions;
        Texts sent;
    };
    const Case cases[] = {
        {"Z plays the base note", {"Z", "-Z"}, {"on 36 100", "off 36"}},
        {"V plays F", {"V", "-V"}, {"on 41 100", "off 41"}},
        {"key repeat sends one note-on", {"Z", "Z", "Z", "-Z"}, {"on 36 100", "off 36"}},
        {"two keys released in one event both end",
         {"Z", "X", "-ZX"},
         {"on 36 100", "on 38 100", "off 36", "off 38"}},
        {"an octave change while held ends the note that sounds",
         {"Z", "P", "-Z", "Z", "-Z"},
         {"on 36 100", "off 36", "on 48 100", "off 48"}},
        {"velocity steps",
         {"I", "Z", "-Z", "U", "U", "X", "-X"},
         {"on 36 105", "off 36", "on 38 95", "off 38"}},
        {"host shortcuts are left alone", {"^Z", "^S", "@C", "-ZSC"}, {}},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        for (const auto& a : c.actions)
            act (a);
        EXPECT_EQ (midi(), c.sent);
        act ("space");
        midi();
        while (player.getBase() != KeyPlayClass::initialBase)
            player.keyPressed (juce::KeyPress (player.getBase() > KeyPlayClass::initialBase ? 'O' : 'P'));
        while (player.getVelocity() != KeyPlayClass::initialVelocity)
            player.keyPressed (
                juce::KeyPress (player.getVelocity() > KeyPlayClass::initialVelocity ? 'U' : 'I'));
        midi();
    }
}

// X11 repeats a held key as a release and a press at once, some 25 times a second.
TEST_F (PlayerFixture, AHeldKeyThatTheWindowSystemRepeatsPlaysOneNote)
{
    act ("Z");
    for (int i = 0; i < 250; ++i)
    {
        held.erase ('Z');
        player.keyStateChanged (false);
        held.insert ('Z');
        player.keyPressed (juce::KeyPress ('Z'));
        player.keyStateChanged (true);
        pumpFor (1);
    }
    pumpFor (2 * KeyPlayClass::repeatGapMs);
    EXPECT_EQ (midi(), (Texts{"on 36 100"}));
    EXPECT_TRUE (player.isNoteOn (36));

    act ("-Z");
    EXPECT_EQ (midi(), (Texts{"off 36"}));
    // Let go, then struck again: a new note.
    act ("Z");
    act ("-Z");
    EXPECT_EQ (midi(), (Texts{"on 36 100", "off 36"}));
}

TEST_F (PlayerFixture, NotesEndOnTheChannelTheyStartedOn)
{
    act ("Z");
    engine.setMidiChannel (5);
    act ("X");
    act ("-ZX");
    EXPECT_EQ (midi(), (Texts{"on 36 100", "on 38 100 ch5", "off 36", "off 38 ch5"}));

    act ("C");
    engine.setMidiChannel (2);
    player.focusLost (juce::Component::focusChangedByMouseClick);
    EXPECT_EQ (midi(), (Texts{"on 40 100 ch5", "off 40 ch5"}));

    act ("C");
    engine.setMidiChannel (1);
    act ("space");
    const auto offs = midi();
    EXPECT_EQ (offs.front(), "on 40 100 ch2");
    EXPECT_NE (std::find (offs.begin(), offs.end(), "off 40 ch2"), offs.end());
    EXPECT_EQ (std::count_if (offs.begin(), offs.end(), [] (const std::string& t) { return t.rfind ("off", 0) == 0; }), 129);
}

TEST_F (PlayerFixture, WhatIsConsumed)
{
    const std::pair<std::string, bool> cases[] = {
        {"left", true}, {"f8", true}, {"7", true}, {"Q", false}, {"^Z", false}, {"@S", false}, {"O", true},
    };
    for (const auto& [key, consumed] : cases)
        EXPECT_EQ (act (key), consumed) << key;
}

TEST_F (PlayerFixture, MessagesAndLimits)
{
    act ("Z");
    EXPECT_EQ (player.getMessage(), "Play Chn: 1 Key: C3 Vel: 100");
    act ("-Z");

    for (int i = 0; i < 5; ++i)
        act ("P");
    EXPECT_EQ (player.getBase(), 96);
    EXPECT_EQ (player.getMessage(), "Octave 6");
    for (int i = 0; i < 4; ++i)
        act ("P");
    EXPECT_EQ (player.getBase(), 120);
    EXPECT_EQ (player.getMessage(), "Octave 8");
    act ("H"); // note 128
    act ("G"); // note 126
    EXPECT_EQ (midi(), (Texts{"on 36 100", "off 36", "on 126 100"}));

    // Velocity never reaches 0: a note-on of velocity 0 would be a note-off.
    for (int i = 0; i < 25; ++i)
        act ("U");
    EXPECT_EQ (player.getVelocity(), 1);
    EXPECT_EQ (player.getMessage(), "Note Velocity: 1");

    act ("space");
    EXPECT_EQ (player.getMessage(), "All Notes OFF");
    const auto offs = midi();
    EXPECT_EQ (offs.size(), 128u);
    EXPECT_EQ (offs.front(), "off 0");
    EXPECT_FALSE (player.isNoteOn (126));

    // The message goes after 750 ms.
    EXPECT_TRUE (pumpUntil ([&] { return player.getMessage().isEmpty(); }, 2000));
}

TEST_F (PlayerFixture, LosingFocusOrGoingAwayEndsItsNotes)
{
    act ("Z");
    act ("M");
    player.focusLost (juce::Component::focusChangedByMouseClick);
    EXPECT_EQ (midi(), (Texts{"on 36 100", "on 47 100", "off 36", "off 47"}));
    act ("-ZM");
    EXPECT_EQ (midi(), Texts{});

    {
        KeyPlayClass other (engine, KeyPlayClass::libraryMode);
        other.keyPressed (juce::KeyPress ('C'));
    }
    EXPECT_EQ (midi(), (Texts{"on 40 100", "off 40"}));
}

//==============================================================================
// The drawer

namespace
{
struct DrawerFixture : PlayFixture
{
    std::unique_ptr<KeyBrd> drawer = std::make_unique<KeyBrd> (engine);

    PianoPad& bed() { return drawer->getKeyBed(); }
    KeyOverlay& overlay() { return bed().getOverlay(); }
};
} // namespace

TEST_F (DrawerFixture, SnapPositions)
{
    struct Case
    {
        float scale;
        int releasedAt, restsAt;
    };
    const Case cases[] = {
        {1.0f, 700, 680}, {1.0f, 600, 680}, {1.0f, 595, 680}, {1.0f, 593, 528}, {1.0f, 500, 528},
        {1.0f, 443, 528}, {1.0f, 400, 400}, {0.5f, 300, 340}, {0.5f, 250, 264}, {0.5f, 200, 200},
    };
    for (const auto& c : cases)
    {
        drawer->setScale (c.scale);
        EXPECT_EQ (drawer->snapTop (c.releasedAt), c.restsAt) << c.scale << " " << c.releasedAt;
    }
}

TEST_F (DrawerFixture, PullingTheHandleOpensAndClosesTheDrawer)
{
    ChangeCounter changes (*drawer);
    EXPECT_EQ (drawer->getY(), 680);
    MouseDriver mouse (*drawer);
    mouse.press (300, 10);
    mouse.drag (300, 10 - 180); // the top to 500
    EXPECT_EQ (drawer->getY(), 500);
    mouse.release (300, 10);
    EXPECT_EQ (drawer->getY(), 528);
    EXPECT_EQ (changes.take(), 1);

    // The same with the message strip as the handle; the drawer keeps its place across a rescale.
    drawer->keyPlayMouseDown (450, 8);
    drawer->keyPlayMouseDrag (450, 8 + 100);
    drawer->keyPlayMouseUp (450, 108);
    EXPECT_EQ (drawer->getY(), 680);
    EXPECT_TRUE (drawer->isClosed());
    drawer->keyPlayMouseDown (450, 8);
    drawer->keyPlayMouseDrag (450, 8 - 300);
    drawer->keyPlayMouseUp (450, 8 - 300);
    EXPECT_EQ (drawer->getY(), 380);
    drawer->setScale (0.5f);
    EXPECT_EQ (drawer->getY(), 190);

    // Real mouse events on the strip reach the drawer in its own coordinates.
    drawer->setScale (1.0f);
    MouseDriver strip (drawer->getPlayer());
    strip.press (50, 5);
    strip.drag (50, 5 + 200); // from 380 to 580: less than half-way closed
    strip.release (50, 5 + 200);
    EXPECT_EQ (drawer->getY(), 528);
}

TEST_F (DrawerFixture, KeyUnderTheMouse)
{
    struct Case
    {
        float x, y;
        int key; // -1: none
    };
    const Case cases[] = {
        {5, 120, 0},    {20, 50, 1},  {20, 120, 0},  {32, 50, 1},    {34, 50, 2},   {30, 120, 2},
        {949, 140, 64}, {-3, 50, -1}, {960, 50, -1}, {100, 160, -1}, {176, 10, 12},
    };
    for (const auto& c : cases)
    {
        const auto* k = overlay().keyAt ({c.x, c.y});
        EXPECT_EQ (k == nullptr ? -1 : k->getKeyIndex(), c.key) << c.x << ", " << c.y;
    }
}

TEST_F (DrawerFixture, VelocityByPressPosition)
{
    struct Case
    {
        int engineVelocity;
        bool black;
        float y;
        int velocity;
    };
    const Case cases[] = {
        {100, false, 10, 100}, {6, true, 10, 6},     {0, false, 52, 5},   {0, false, 30, 5},
        {0, false, 152, 127},  {0, false, 140, 111}, {0, true, 100, 127}, {0, true, 50, 63},
        {0, true, 101, 127},   {0, false, 153, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ (PianoKey::velocityForPress (c.engineVelocity, c.black, c.y), c.velocity) << c.y;

    // Through the mouse at two scales: the same place on the key gives the same velocity.
    engine.keyboardVelocity = 0;
    for (const auto scale : {1.0f, 2.0f})
    {
        drawer->setScale (scale);
        MouseDriver mouse (overlay());
        mouse.click (10 * scale, 140 * scale);
        mouse.click (20 * scale, 50 * scale);
        EXPECT_EQ (midi(), (Texts{"on 24 111", "off 24", "on 25 63", "off 25"})) << scale;
    }
}

TEST_F (DrawerFixture, Glissando)
{
    MouseDriver mouse (overlay());
    mouse.press (10, 140);
    mouse.drag (12, 140);
    mouse.drag (60, 140); // key 4 (E) over key 2: each key ends before the next starts
    mouse.drag (35, 140);
    mouse.drag (-20, 140); // off the key bed
    mouse.drag (10, 140);
    mouse.release (10, 140);
    EXPECT_EQ (midi(), (Texts{"on 24 100", "off 24", "on 28 100", "off 28", "on 26 100", "off 26",
                              "on 24 100", "off 24"}));
}

TEST_F (DrawerFixture, OctaveWindow)
{
    auto& octave = drawer->getOctaveSelector();
    const std::pair<int, int> starts[] = {{5, 0}, {30, 24}, {36, 36}, {83, 72}, {100, 72}, {-4, 0}};
    for (const auto& [note, start] : starts)
    {
        octave.setWindowStart (note);
        EXPECT_EQ (octave.getWindowStart(), start) << note;
        EXPECT_EQ (engine.keyboardOctave.load(), start / 12);
    }

    MouseDriver mouse (octave);
    mouse.click ((float)octave.getWidth(), 5);
    EXPECT_EQ (octave.getWindowStart(), 72);
    EXPECT_EQ (engine.keyboardOctave.load(), 6);

    // Key 55 plays 127; the keys above would be 128 and more: nothing.
    MouseDriver keys (overlay());
    keys.click (bed().getKey (55).designLeft + 3, 140);
    keys.click (bed().getKey (57).designLeft + 3, 140);
    EXPECT_EQ (midi(), (Texts{"on 127 100", "off 127"}));

    mouse.click (0, 5);
    EXPECT_EQ (octave.getWindowStart(), 0);

    // The octave changes while a key is held: the release ends the note the key started.
    keys.press (10, 140);
    octave.setWindowStart (36);
    keys.release (10, 140);
    EXPECT_EQ (midi(), (Texts{"on 0 100", "off 0"}));
}

TEST_F (DrawerFixture, Wheels)
{
    auto& pitch = drawer->getPitchWheel();
    auto& mod = drawer->getModWheel();
    EXPECT_EQ (pitch.getValue(), 64);
    EXPECT_EQ (mod.getValue(), 0);

    MouseDriver pw (pitch);
    pw.press (10, 50);
    pw.drag (10, 30);
    pw.drag (10, -500);
    pw.release (10, -500);
    pw.click (10, 50); // resting at the centre: nothing more
    MouseDriver m (mod);
    m.press (10, 50);
    m.drag (10, 40);
    m.release (10, 40);
    m.wheel (1.0f);
    m.wheel (-1.0f);
    EXPECT_EQ (midi(), (Texts{"pw 10752", "pw 16256", "pw 8192", "cc 1 10", "cc 1 11", "cc 1 10"}));
    EXPECT_EQ (mod.getValue(), 10);
    EXPECT_EQ (mod.getFrame(), 2);

    // The synth's own wheels move ours without an echo.
    pitch.setWheelValue (127, false);
    EXPECT_EQ (pitch.getFrame(), 34);
    EXPECT_EQ (midi(), Texts{});
}

TEST_F (DrawerFixture, KeysAndWheelsEndOnTheChannelTheyWereMovedOn)
{
    MouseDriver keys (overlay());
    keys.press (10, 140);
    engine.setMidiChannel (3);
    keys.release (10, 140);
    keys.click (10, 140);
    EXPECT_EQ (midi(), (Texts{"on 24 100", "off 24", "on 24 100 ch3", "off 24 ch3"}));

    // A wheel away from its rest on one channel goes back to rest there before it moves on another.
    engine.setMidiChannel (1);
    MouseDriver pw (drawer->getPitchWheel());
    pw.press (10, 50);
    pw.drag (10, 30);
    engine.setMidiChannel (3);
    pw.drag (10, 20);
    pw.release (10, 20);
    MouseDriver m (drawer->getModWheel());
    engine.setMidiChannel (4);
    m.wheel (1.0f);
    engine.setMidiChannel (5);
    m.wheel (1.0f);
    EXPECT_EQ (midi(), (Texts{"pw 10752", "pw 8192", "pw 12032 ch3", "pw 8192 ch3", "cc 1 1 ch4", "cc 1 0 ch4",
                              "cc 1 2 ch5"}));
}

TEST_F (DrawerFixture, VelocitySlider)
{
    auto& slider = drawer->getVelocitySlider();
    EXPECT_EQ (slider.getVelocity(), 100);
    drawer->setScale (2.0f);
    MouseDriver mouse (slider);
    const std::pair<float, int> cases[] = {{16, 127}, {119, 0}, {67.5f, 64}, {-50, 127}, {300, 0}};
    for (const auto& [y, velocity] : cases)
    {
        mouse.press (10, y * 2.0f);
        EXPECT_EQ (engine.keyboardVelocity.load(), velocity) << y;
    }
    mouse.press (50 * 2.0f, 80);
    mouse.drag (50 * 2.0f, 40);
    EXPECT_EQ (engine.keyboardVelocity.load(), 0); // not armed right of the bar
}

TEST_F (DrawerFixture, ClosingEndsEveryNoteAndCentresThePitchWheel)
{
    MouseDriver handle (*drawer);
    handle.press (300, 5);
    handle.drag (300, 5 - 160);
    handle.release (300, 5 - 160);
    ASSERT_FALSE (drawer->isClosed());

    MouseDriver keys (overlay());
    keys.press (10, 140);
    MouseDriver pw (drawer->getPitchWheel());
    pw.press (5, 50);
    pw.drag (5, 40);
    drawer->getPlayer().keyPressed (juce::KeyPress ('C'));
    midi();

    // Closing the drawer (the key is still held under the mouse).
    handle.press (300, 5);
    handle.drag (300, 5 + 160);
    handle.release (300, 5 + 160);
    EXPECT_TRUE (drawer->isClosed());
    EXPECT_EQ (midi(), (Texts{"off 24", "off 40", "pw 8192"}));
    keys.release (10, 140);
    EXPECT_EQ (midi(), Texts{});

    // The editor closing with a key and the pitch wheel held.
    keys.press (10, 140);
    pw.press (5, 50);
    pw.drag (5, 70);
    midi();
    drawer.reset();
    EXPECT_EQ (midi(), (Texts{"off 24", "pw 8192"}));
}
