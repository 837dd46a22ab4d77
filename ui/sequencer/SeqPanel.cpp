#include "ui/sequencer/SeqPanel.h"

#include "host/MarvexAudioProcessor.h"
#include "model/ParDes.h"
#include "ui/sequencer/SeqClass.h"
#include "ui/widgets/Artwork.h"
#include "ui/widgets/DarkMenuLook.h"
#include "ui/widgets/StsBut.h"
#include "ui/widgets/StsCont.h"

namespace kelvo
{
namespace
{
constexpr int hiddenX = -1500;

struct ControlRow
{
    int index;
    const char* caption;
    int minimum, maximum, displayKind, controlKind;
    int width, height;
    juce::Point<int> normal, editing;
};

// clang-format off
const ControlRow controlRows[SeqPanel::numControls] = {
    { 107, "Seq 1 Destination", 0, 47, kind::modDestination, StsCont::dropDown, 102, 32, { 41, 56 }, { 91, 62 } },
    { 108, "Seq 2 Destination", 0, 48, kind::seq2Destination, StsCont::dropDown, 102, 32, { 41, 224 }, { 91, 62 } },
    { 109, "Seq 3 Destination", 0, 47, kind::modDestination, StsCont::dropDown, 102, 32, { 41, 390 }, { 91, 62 } },
    { 110, "Seq 4 Destination", 0, 48, kind::seq4Destination, StsCont::dropDown, 102, 32, { 41, 550 }, { 91, 62 } },
    { 101, "Tempo", 30, 250, kind::bpm, StsCont::knob, 65, 64, { 811, 33 }, { 926, 33 } },
    { 102, "Clock Divide", 0, 12, kind::clockDivide, StsCont::dropDown, 110, 32, { 691, 132 }, { 806, 25 } },
    // The trigger offers 0..4 only, although the parameter's range reaches 5.
    { 105, "Sequencer Trigger", 0, 4, kind::seqTrigger, StsCont::dropDown, 110, 32, { 691, 92 }, { 806, 62 } },
    { 106, "Sequencer", 0, 1, kind::onOff, StsCont::toggleSwitch, 110, 16, { 691, 68 }, { 91, 40 } },
};
// clang-format on
constexpr int firstDestinationIndex = 107;
constexpr int onOffControl = 7;

constexpr int seqTrackX = 149, trackTop = 2, trackPitch = 165, trackWidth = 522, trackHeight = 155;
constexpr int seqFrameX = 34, seqFrameTop = 1, seqFrameWidth = 850, seqFrameHeight = 158;
constexpr int previewFrameWidth = 656;
const juce::Rectangle<int> programButtonArea{936, 20, 96, 24};
const juce::Rectangle<int> drawModeNormalArea{811, 117, 60, 18}, drawModeEditingArea{992, 16, 64, 24};
const juce::Rectangle<int> okArea{992, 50, 64, 24};
constexpr int editButtonX = 66, editButtonTop = 91, editButtonWidth = 60, editButtonHeight = 18;
constexpr int thumbnailX = 220, thumbnailStep = 143, thumbnailY = 20, thumbnailWidth = 136,
              thumbnailHeight = 60;
const juce::Rectangle<int> enlargedArea{88, 100, 976, 522};
const juce::Rectangle<float> thumbnailFrame{205, 4, 595, 84}, enlargedFrame{76, 92, 1000, 538};

constexpr int sideWidth = 28, sideHeight = 700;
constexpr float sidesFromScale = 0.5f;
constexpr float seqButtonFontHeight = 12.0f;

constexpr juce::uint32 pageColour = 0xff525252, ringColour = 0xff404040, frameFill = 0xff303030,
                       frameEdge = 0xff151515;
const juce::Point<float> ringCentre{740.0f, 500.0f};
constexpr float firstRingWidth = 170.0f, firstRingHeight = 25.5f, ringGrowth = 1.7f;
constexpr int numRings = 5;
} // namespace

SeqPanel::SeqPanel (MarvexAudioProcessor& p)
    : processor (p), leftSide (artwork::leftCheek()), rightSide (artwork::rightCheek())
{
    for (int t = 0; t < numTracks; ++t)
    {
        auto& track = tracks[(size_t)t];
        track = std::make_unique<SeqClass> (processor, t);
        track->addListener (this);
        addAndMakeVisible (*track);
    }

    for (int i = 0; i < numControls; ++i)
    {
        const auto& row = controlRows[i];
        auto& c = controls[(size_t)i];
        c = std::make_unique<StsCont> (processor);
        c->setupControl (row.index, row.caption, row.normal.x, row.normal.y, row.width, row.height,
                         row.minimum, row.maximum, row.controlKind, row.displayKind);
        addAndMakeVisible (*c);
    }

    const auto makeButton = [this] (const juce::String& caption, int id)
    {
        auto b = std::make_unique<StsBut> (caption, id, StsBut::bevelKind);
        b->setupButton (0, 0, 10, 10, false);
        b->addChangeListener (this);
        addAndMakeVisible (*b);
        return b;
    };
    programButton = makeButton ("PROGRAM", programButtonId);
    okButton = makeButton ("OK", okButtonId);
    drawModeButton = makeButton ("Draw Mode", drawModeButtonId);
    for (int t = 0; t < numTracks; ++t)
        editButtons[(size_t)t] = makeButton ("Edit", editButtonIdBase + t);

    setOpaque (true);
    showAllTracks();
}

SeqPanel::~SeqPanel()
{
    for (auto& t : tracks)
        t->removeListener (this);
}

//==============================================================================
void SeqPanel::setScale (float s)
{
    scale = s;
    placeAll();
}

void SeqPanel::placeControl (int i, int x, int y)
{
    controls[(size_t)i]->setPosition (x, y);
}

void SeqPanel::setControlCaption (int i, const juce::String& caption)
{
    auto& c = *controls[(size_t)i];
    if (c.getCaption() == caption)
        return;
    const auto& row = controlRows[i];
    const auto value = c.getValue();
    c.setupControl (row.index, caption, row.normal.x, row.normal.y, row.width, row.height, row.minimum,
                    row.maximum, row.controlKind, row.displayKind);
    c.forgetValue();
    c.showValue (value, ParDes::valueToText (row.displayKind, value));
}

void SeqPanel::placeAll()
{
    const auto s = scale;
    const auto scaled = [s] (juce::Rectangle<int> r)
    { return r.toFloat().transformedBy (juce::AffineTransform::scale (s)).toNearestInt(); };
    const auto editing = editedTrack >= 0;

    for (int t = 0; t < numTracks; ++t)
    {
        auto& track = *tracks[(size_t)t];
        if (!editing)
        {
            track.setViewMode (SeqClass::normalView);
            track.setDesignBounds (seqTrackX, trackTop + trackPitch * t, trackWidth, trackHeight);
        }
        else if (t == editedTrack)
        {
            track.setViewMode (SeqClass::enlargedView);
            track.setDesignBounds (enlargedArea.getX(), enlargedArea.getY(), enlargedArea.getWidth(),
                                   enlargedArea.getHeight());
        }
        else
        {
            track.setViewMode (SeqClass::thumbnailView);
            track.setDesignBounds (thumbnailX + t * thumbnailStep, thumbnailY, thumbnailWidth,
                                   thumbnailHeight);
        }
        track.setScale (s);
    }

    for (int i = 0; i < numControls; ++i)
    {
        const auto& row = controlRows[i];
        const auto isDestination = i < numTracks;
        setControlCaption (i, editing && i == onOffControl ? juce::String() : juce::String (row.caption));
        if (!editing)
            placeControl (i, row.normal.x, row.normal.y);
        else if (isDestination && i != editedTrack)
            placeControl (i, hiddenX, row.editing.y);
        else
            placeControl (i, row.editing.x, row.editing.y);
        controls[(size_t)i]->setScale (s);
    }

    programButton->setVisible (!editing);
    programButton->setBounds (scaled (programButtonArea));
    okButton->setVisible (editing);
    okButton->setBounds (scaled (okArea));
    drawModeButton->setBounds (scaled (editing ? drawModeEditingArea : drawModeNormalArea));
    for (int t = 0; t < numTracks; ++t)
    {
        auto& b = *editButtons[(size_t)t];
        b.setVisible (!editing);
        b.setBounds (
            scaled ({editButtonX, editButtonTop + trackPitch * t, editButtonWidth, editButtonHeight}));
    }
    for (auto* b : {programButton.get(), okButton.get(), drawModeButton.get()})
        b->setCaptionFontHeight (seqButtonFontHeight * s);
    for (auto& b : editButtons)
        b->setCaptionFontHeight (seqButtonFontHeight * s);
    repaint();
}

void SeqPanel::showTrackEditor (int track)
{
    if (!juce::isPositiveAndBelow (track, numTracks))
        return;
    editedTrack = track;
    placeAll();
}

void SeqPanel::showAllTracks()
{
    editedTrack = -1;
    placeAll();
}

//==============================================================================
void SeqPanel::updateControl (int index, int value)
{
    for (int i = 0; i < numControls; ++i)
        if (controlRows[i].index == index)
            controls[(size_t)i]->showValue (value, ParDes::valueToText (controlRows[i].displayKind, value));

    const auto t = index - firstDestinationIndex;
    if (juce::isPositiveAndBelow (t, numTracks))
        tracks[(size_t)t]->setPitchNames (value);
}

void SeqPanel::updateStep (int index, int value)
{
    const auto step = index - program::firstStepIndex;
    if (juce::isPositiveAndBelow (step, numTracks * SeqClass::numSteps))
        tracks[(size_t)(step / SeqClass::numSteps)]->setStepFromEngine (step % SeqClass::numSteps, value);
}

void SeqPanel::refreshAll()
{
    const auto& bank = processor.getPluginBank();
    for (int i = 0; i < numControls; ++i)
    {
        controls[(size_t)i]->forgetValue();
        updateControl (controlRows[i].index, bank.getEditBufferByte (controlRows[i].index));
    }
    for (int t = 0; t < numTracks; ++t)
    {
        std::array<uint8_t, SeqClass::numSteps> steps{};
        for (int s = 0; s < SeqClass::numSteps; ++s)
            steps[(size_t)s] = bank.getEditBufferByte (program::firstStepIndex + SeqClass::numSteps * t + s);
        tracks[(size_t)t]->setAllSteps (steps.data());
    }
}

//==============================================================================
void SeqPanel::post (int code, int value)
{
    messageCode = code;
    messageValue = value;
    sendChangeMessage();
}

void SeqPanel::seqClassMessage (int code, int value)
{
    if (code == SeqClass::thumbnailClickCode)
        post (editTrackCode, value);
}

void SeqPanel::stsbutChanged (StsBut& button)
{
    const auto id = button.getButtonId();
    if (id >= editButtonIdBase && id < editButtonIdBase + numTracks)
    {
        post (editTrackCode, id - editButtonIdBase);
    }
    else if (id == okButtonId)
    {
        showAllTracks();
        post (backToPageCode, 0);
    }
    else if (id == drawModeButtonId)
    {
        auto menu = createDrawModeMenu();
        menu.setLookAndFeel (&menuLook.get());
        const juce::Component::SafePointer<SeqPanel> safeThis (this);
        menu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (drawModeButton.get()),
                            [safeThis] (int result)
                            {
                                if (safeThis != nullptr)
                                    safeThis->drawModeMenuFinished (result);
                            });
    }
}

juce::PopupMenu SeqPanel::createDrawModeMenu() const
{
    const auto& t = *tracks[0];
    juce::PopupMenu menu;
    menu.addItem (slidersItem, "Sliders", true, t.getDrawMode() == SeqClass::slidersMode);
    menu.addItem (penItem, "Pen", true, t.getDrawMode() == SeqClass::penMode);
    menu.addSeparator();
    menu.addItem (quantizeItem, "Quantize", true, t.isQuantizing());
    return menu;
}

void SeqPanel::drawModeMenuFinished (int result)
{
    const auto quantize = !tracks[0]->isQuantizing();
    for (auto& t : tracks)
    {
        if (result == slidersItem)
            t->setDrawMode (SeqClass::slidersMode);
        else if (result == penItem)
            t->setDrawMode (SeqClass::penMode);
        else if (result == quantizeItem)
            t->setQuantize (quantize);
    }
}

//==============================================================================
void SeqPanel::paint (juce::Graphics& g)
{
    const auto s = scale;
    g.fillAll (juce::Colour (pageColour));

    g.setColour (juce::Colour (ringColour));
    auto w = firstRingWidth, h = firstRingHeight;
    for (int i = 0; i < numRings; ++i, w *= ringGrowth, h *= ringGrowth)
        g.drawEllipse (juce::Rectangle<float> (w * s, h * s).withCentre (ringCentre * s), 1.0f);

    const auto frame = [&g, s] (juce::Rectangle<float> r)
    {
        const auto area = r * s;
        g.setColour (juce::Colour (frameFill));
        g.fillRoundedRectangle (area, 2.0f * s);
        g.setColour (juce::Colour (frameEdge));
        g.drawRoundedRectangle (area, 2.0f * s, 1.0f);
    };
    const auto caption = [&g, s] (const juce::String& text, float x, float baseline, float height)
    {
        g.setColour (juce::Colours::white);
        g.setFont (juce::Font ("Arial", height * s, juce::Font::bold));
        g.drawSingleLineText (text, juce::roundToInt (x * s), juce::roundToInt (baseline * s));
    };

    if (editedTrack < 0)
    {
        for (int t = 0; t < numTracks; ++t)
        {
            // Below the first track the frames stop short of the synth panel's preview.
            const auto width = t == 0 ? seqFrameWidth : previewFrameWidth;
            frame (juce::Rectangle<int> (seqFrameX, seqFrameTop + trackPitch * t, width, seqFrameHeight).toFloat());
            caption ("SEQUENCER  " + juce::String (t + 1), 47.0f, (float)(18 + trackPitch * t) + 8.0f, 13.0f);
        }
    }
    else
    {
        frame (thumbnailFrame);
        frame (enlargedFrame);
        caption ("SEQUENCER  " + juce::String (editedTrack + 1), 91.0f, 19.0f, 14.0f);
        for (int t = 0; t < numTracks; ++t)
            if (t != editedTrack)
                caption ("SEQUENCER " + juce::String (t + 1), (float)(thumbnailX + t * thumbnailStep),
                         (float)thumbnailY - 4.0f, 9.0f);
    }

    if (s >= sidesFromScale)
    {
        g.drawImage (leftSide, juce::Rectangle<float> (0, 0, (float)sideWidth * s, (float)sideHeight * s));
        g.drawImage (rightSide, juce::Rectangle<float> ((float)getWidth() - (float)sideWidth * s, 0,
                                                        (float)sideWidth * s, (float)sideHeight * s));
    }
}

} // namespace kelvo
