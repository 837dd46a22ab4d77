#pragma once

#include "ui/sequencer/SeqClassListener.h"
#include "ui/widgets/stsbutChangeListener.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

namespace kelvo
{
class MarvexAudioProcessor;
class SeqClass;
class StsCont;
class StsBut;
class DarkMenuLook;

/**
    The sequencer page: four track editors with their destinations, the tempo, clock divide,
    trigger and on/off controls, "PROGRAM" (back to the synth panel), an "Edit" button a track and
    "Draw Mode". Editing one track enlarges it and shows the others as thumbnails; "OK" returns.

    It tells the main window what to do by a change message with a code: 501 with a track (open
    that track's editing view), 500 (back to the normal page). "PROGRAM" reports its own button id
    (97) to the button's listeners, which the main window is. 1148 × 684 design units.
    Message thread only.
*/
class SeqPanel : public juce::Component,
                 public SeqClassListener,
                 public stsbutChangeListener,
                 public juce::ChangeBroadcaster
{
public:
    static constexpr int designWidth = 1148, designHeight = 684;
    static constexpr int numTracks = 4;
    static constexpr int numControls = 8;

    /** Codes of the change message. */
    static constexpr int backToPageCode = 500;
    static constexpr int editTrackCode = 501;

    /** Button ids. */
    static constexpr int programButtonId = 97;
    static constexpr int okButtonId = 502;
    static constexpr int drawModeButtonId = 503;
    static constexpr int editButtonIdBase = 510; // + track

    /** Items of the Draw Mode menu. */
    static constexpr int slidersItem = 1, penItem = 2, quantizeItem = 3;

    explicit SeqPanel (MarvexAudioProcessor& processor);
    ~SeqPanel() override;

    void setScale (float scale);
    float getScale() const noexcept { return scale; }

    /** A parameter 95..110 changed: shows it on its control (and pitch names for 107..110). */
    void updateControl (int index, int value);
    /** A step parameter 120..183 changed. */
    void updateStep (int index, int value);
    /** Reloads every control and track from the edit buffer. */
    void refreshAll();

    void showTrackEditor (int track);
    void showAllTracks();
    /** True while a track is edited: the page then takes the whole area (no synth panel preview). */
    bool isEditingTrack() const noexcept { return editedTrack >= 0; }
    int getEditedTrack() const noexcept { return editedTrack; }

    int getMessageCode() const noexcept { return messageCode; }
    int getMessageValue() const noexcept { return messageValue; }

    juce::PopupMenu createDrawModeMenu() const;
    void drawModeMenuFinished (int result);

    SeqClass& getTrack (int t) { return *tracks[(size_t)t]; }
    StsCont& getControl (int i) { return *controls[(size_t)i]; }
    StsBut& getProgramButton() { return *programButton; }
    StsBut& getOkButton() { return *okButton; }
    StsBut& getDrawModeButton() { return *drawModeButton; }
    StsBut& getEditButton (int t) { return *editButtons[(size_t)t]; }

    void paint (juce::Graphics& g) override;
    void seqClassMessage (int code, int value) override;
    void stsbutChanged (StsBut& button) override;

private:
    void placeAll();
    void placeControl (int i, int x, int y);
    void setControlCaption (int i, const juce::String& caption);
    void post (int code, int value);

    MarvexAudioProcessor& processor;
    std::array<std::unique_ptr<SeqClass>, numTracks> tracks;
    std::array<std::unique_ptr<StsCont>, numControls> controls;
    std::unique_ptr<StsBut> programButton, okButton, drawModeButton;
    std::array<std::unique_ptr<StsBut>, numTracks> editButtons;
    juce::Image leftSide, rightSide;
    juce::SharedResourcePointer<DarkMenuLook> menuLook;
    float scale = 1.0f;
    int editedTrack = -1;
    int messageCode = 0, messageValue = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SeqPanel)
};

} // namespace kelvo
