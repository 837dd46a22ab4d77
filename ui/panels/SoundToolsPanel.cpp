#include "ui/panels/SoundToolsPanel.h"
#include "files/SafeFileRead.h"
#include "host/MarvexAudioProcessor.h"
#include "host/SoundCompare.h"
#include "host/SoundHistory.h"
#include "host/SoundMorph.h"
#include "librarian/LibraryFile.h"
#include "librarian/LibraryStore.h"
#include "librarian/ProgramLibrary.h"
#include "model/SoundVariation.h"
#include "model/SynthBanks.h"
#include "ui/common/DialogBox.h"
#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/ProgramLocation.h"
#include "ui/widgets/WidgetColours.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 headingText = colours::valueText, rowText = colours::widgetText;
constexpr juce::uint32 rowDim = 0xffa0a8b0, rowStripe = 0x14ffffff;
constexpr juce::uint32 comparingColour = colours::knobArc;
constexpr int toolRowHeight = 18;
constexpr int mutateCount = 3;
constexpr int defaultAmountPercent = 10;
// Columns of the difference list, as parts of its width.
constexpr float nameColumn = 0.42f, editedColumn = 0.29f;
// The bank box's item for the program library, after the eight banks.
constexpr int libraryItemId = 100;
constexpr const char* libraryItemText = "LIB";

juce::Font textFont (float size, bool bold = false)
{
    return arialFont (size, bold ? juce::Font::bold : juce::Font::plain);
}
} // namespace

SoundToolsPanel::SoundToolsPanel (MarvexAudioProcessor& p) : processor (p)
{
    auto& engine = processor.getEngine();
    setLookAndFeel (&look);

    for (auto* label : {&playingLabel, &differencesLabel, &variationLabel, &morphLabel})
    {
        label->setFont (textFont (13.0f));
        label->setColour (juce::Label::textColourId, juce::Colour (rowText));
        addAndMakeVisible (*label);
    }
    variationLabel.setText ("Variations (each is one step of Undo)", juce::dontSendNotification);
    morphLabel.setText ("Morph from the edited sound towards", juce::dontSendNotification);
    variationLabel.setColour (juce::Label::textColourId, juce::Colour (headingText));
    morphLabel.setColour (juce::Label::textColourId, juce::Colour (headingText));

    compareButton.setTooltip ("Plays the edited sound or the sound it came from on the synth");
    compareButton.onClick = [this] { processor.getCompare().toggle(); };
    closeButton.onClick = [this] { sendChangeMessage(); };

    differenceList.setRowHeight (toolRowHeight);
    differenceList.setOutlineThickness (1);

    amountSlider.setSliderStyle (juce::Slider::LinearHorizontal);
    amountSlider.setRange (1.0, 100.0, 1.0);
    amountSlider.setValue (defaultAmountPercent, juce::dontSendNotification);
    amountSlider.setTextValueSuffix (" %");
    amountSlider.setTextBoxStyle (juce::Slider::TextBoxRight, false, 52, 20);
    amountSlider.setTooltip ("How far Randomize may move each value: 10 % a little, 100 % anywhere");

    randomizeButton.onClick = [this]
    {
        const auto amount = (int)amountSlider.getValue();
        processor.getHistory().applyVariation (
            "Randomize " + juce::String (amount) + " %", [this, amount] (const ProgramRecord& sound)
            { return processor.getVariation().randomize (sound, (float)amount / 100.0f, random); });
    };
    mutateButton.setTooltip ("Gives " + juce::String (mutateCount) +
                             " parameters, chosen at random, a new value");
    mutateButton.onClick = [this]
    {
        processor.getHistory().applyVariation ("Mutate", [this] (const ProgramRecord& sound)
                                               { return processor.getVariation().mutate (sound, mutateCount, random); });
    };

    for (int b = 0; b < synthbanks::numSynthBanks; ++b)
        bankBox.addItem (bankPrefix (b), b + 1);
    bankBox.addItem (libraryItemText, libraryItemId);
    programBox.setTextWhenNoChoicesAvailable ("(the library is empty)");
    bankBox.onChange = [this] { fillProgramBox(); };
    programBox.onChange = [this]
    {
        if (!morphDragging)
            morphSlider.setValue (0.0, juce::dontSendNotification);
    };

    morphSlider.setSliderStyle (juce::Slider::LinearHorizontal);
    morphSlider.setRange (0.0, 100.0, 1.0);
    morphSlider.setTextValueSuffix (" %");
    morphSlider.setTextBoxStyle (juce::Slider::TextBoxRight, false, 52, 20);
    morphSlider.setTooltip ("0 % is the sound the morph began with, 100 % the chosen program");
    morphSlider.onDragStart = [this]
    {
        morphDragging = true;
        morphMoved();
        processor.getMorph().beginMove();
    };
    morphSlider.onValueChange = [this]
    {
        if (!morphDragging)
            morphMoved();
        processor.getMorph().setPosition ((float)morphSlider.getValue() / 100.0f);
    };
    morphSlider.onDragEnd = [this]
    {
        morphDragging = false;
        processor.getMorph().endMove();
    };

    for (auto* c : std::initializer_list<juce::Component*>{&compareButton, &closeButton, &differenceList,
                                                           &amountSlider, &randomizeButton, &mutateButton,
                                                           &bankBox, &programBox, &morphSlider})
        addAndMakeVisible (*c);

    bankBox.setSelectedId (engine.getCurrentSynthBank() + 1, juce::dontSendNotification);
    fillProgramBox();
    programBox.setSelectedId (engine.getCurrentSynthProgram() + 1, juce::dontSendNotification);

    processor.getHistory().addChangeListener (this);
    processor.getCompare().addChangeListener (this);
    setSize (designWidth, designHeight);
    refresh();
}

SoundToolsPanel::~SoundToolsPanel()
{
    setLookAndFeel (nullptr);
    processor.getCompare().removeChangeListener (this);
    processor.getHistory().removeChangeListener (this);
}

void SoundToolsPanel::chooseMorphTarget (int bank, int program)
{
    bankBox.setSelectedId (bank + 1, juce::dontSendNotification);
    fillProgramBox();
    programBox.setSelectedId (program + 1, juce::dontSendNotification);
    morphSlider.setValue (0.0, juce::dontSendNotification);
}

void SoundToolsPanel::chooseLibraryMorphTarget (int entry)
{
    bankBox.setSelectedId (libraryItemId, juce::dontSendNotification);
    fillProgramBox();
    programBox.setSelectedId (entry + 1, juce::dontSendNotification);
    morphSlider.setValue (0.0, juce::dontSendNotification);
}

bool SoundToolsPanel::isLibraryChosen() const
{
    return bankBox.getSelectedId() == libraryItemId;
}

void SoundToolsPanel::readLibrary()
{
    // The library window may be closed (its library goes with it) or changing the file meanwhile:
    // the file is what both agree on.
    libraryPrograms.clear();
    const auto file = ProgramLibrary::defaultFileIn (processor.getEngine().getSettingsFolder());
    const auto found = readFileSafely (file, libraryfile::maxFileSize);
    if (!found.isOk())
        return;
    const auto& content = found.bytes;
    LibraryStore store;
    store.replaceData (libraryfile::readEntries (content.getData(), content.getSize()));
    libraryPrograms.reserve ((size_t)store.getNumEntries());
    for (int i = 0; i < store.getNumEntries(); ++i)
        libraryPrograms.push_back ({store.entryName (i).trimEnd(), store.getEntryRecord (i)});
}

void SoundToolsPanel::fillProgramBox()
{
    const auto selected = juce::jmax (1, programBox.getSelectedId());
    programBox.clear (juce::dontSendNotification);
    const auto numbered = [] (int n, const juce::String& name)
    { return juce::String (n + 1).paddedLeft ('0', 3) + "  " + name; };

    if (isLibraryChosen())
    {
        readLibrary();
        for (size_t i = 0; i < libraryPrograms.size(); ++i)
            programBox.addItem (numbered ((int)i, libraryPrograms[i].name), (int)i + 1);
    }
    else if (const auto* bank = processor.getEngine().getSynthBank (bankBox.getSelectedId() - 1))
    {
        for (int p = 0; p < program::programsPerBank; ++p)
            programBox.addItem (numbered (p, bank->getProgramName (p).trimEnd()), p + 1);
    }
    // An empty library says so in the box itself, not only when the box is opened.
    programBox.setTextWhenNothingSelected (programBox.getNumItems() == 0 ? "(the library is empty)" : juce::String());
    if (programBox.getNumItems() > 0)
        programBox.setSelectedId (juce::jmin (selected, programBox.getNumItems()),
                                  juce::dontSendNotification);
    morphSlider.setValue (0.0, juce::dontSendNotification);
}

void SoundToolsPanel::morphMoved()
{
    // A morph begins anew when the target changed or someone else changed the sound meanwhile;
    // the slider then starts from the sound as it is now.
    auto& morph = processor.getMorph();
    const auto bankNumber = bankBox.getSelectedId() - 1, programNumber = programBox.getSelectedId() - 1;
    if (programNumber < 0)
        return;

    ProgramRecord target;
    juce::String label;
    if (isLibraryChosen())
    {
        if ((size_t)programNumber >= libraryPrograms.size())
            return;
        target = libraryPrograms[(size_t)programNumber].record;
        label = juce::String (libraryItemText) + " " + libraryPrograms[(size_t)programNumber].name;
    }
    else if (const auto* bank = processor.getEngine().getSynthBank (bankNumber))
    {
        target = bank->getProgramRecord (programNumber);
        label = programLocation (bankNumber, programNumber) + " " +
                bank->getProgramName (programNumber).trimEnd();
    }
    else
    {
        return;
    }
    if (morph.isCurrent() && morph.getTarget() == target)
        return;
    morph.begin (target, label);
}

//==============================================================================
void SoundToolsPanel::refresh()
{
    auto& compare = processor.getCompare();
    const auto comparing = compare.isComparing();
    compareButton.setToggleState (comparing, juce::dontSendNotification);
    const auto sourceLabel = compare.getSourceLabel();
    playingLabel.setText (comparing ? "Playing: " + sourceLabel : juce::String ("Playing: the edited sound"),
                          juce::dontSendNotification);
    playingLabel.setColour (juce::Label::textColourId, juce::Colour (comparing ? comparingColour : rowText));

    rows.clear();
    for (const auto& d : compare.getDifferences())
        rows.push_back ({d.name, d.first, d.second});
    differencesLabel.setText (
        rows.empty() ? "No differences from " + sourceLabel
                     : juce::String ((int)rows.size()) +
                           (rows.size() == 1 ? " difference from " : " differences from ") + sourceLabel,
        juce::dontSendNotification);
    differenceList.updateContent();
    differenceList.repaint();

    // The slider stands where the sound is: an undo of a move takes it back to where that began.
    if (!morphDragging)
    {
        auto& morph = processor.getMorph();
        if (morph.followEditBuffer())
            morphSlider.setValue (morph.getPosition() * 100.0f, juce::dontSendNotification);
        else if (!morph.isCurrent())
            morphSlider.setValue (0.0, juce::dontSendNotification);
    }
}

void SoundToolsPanel::changeListenerCallback (juce::ChangeBroadcaster*)
{
    refresh();
}

juce::StringArray SoundToolsPanel::getDifferenceRow (int row) const
{
    if (row < 0 || row >= (int)rows.size())
        return {};
    const auto& r = rows[(size_t)row];
    return {r.name, r.edited, r.source};
}

int SoundToolsPanel::getNumRows()
{
    return (int)rows.size();
}

void SoundToolsPanel::paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool)
{
    if (row < 0 || row >= (int)rows.size())
        return;
    if (row % 2 == 1)
        g.fillAll (juce::Colour (rowStripe));

    const auto& r = rows[(size_t)row];
    const auto nameWidth = juce::roundToInt ((float)width * nameColumn);
    const auto editedWidth = juce::roundToInt ((float)width * editedColumn);
    g.setFont (textFont (12.0f));
    g.setColour (juce::Colour (rowDim));
    g.drawFittedText (r.name, 6, 0, nameWidth - 8, height, juce::Justification::centredLeft, 1);
    g.setColour (juce::Colour (rowText));
    g.drawFittedText (r.edited, nameWidth, 0, editedWidth - 6, height, juce::Justification::centredLeft, 1);
    g.drawFittedText (r.source, nameWidth + editedWidth, 0, width - nameWidth - editedWidth - 6, height,
                      juce::Justification::centredLeft, 1);
}

//==============================================================================
void SoundToolsPanel::mouseDown (const juce::MouseEvent& e)
{
    dragger.startDraggingComponent (this, e);
}

void SoundToolsPanel::mouseDrag (const juce::MouseEvent& e)
{
    // Kept inside the parent, at least partly: the title stays where it can be taken again.
    if (auto* parent = getParentComponent())
    {
        dragger.dragComponent (this, e, nullptr);
        const auto scale = juce::jmax (0.01f, getTransform().mat00);
        const auto limitX = juce::roundToInt ((float)parent->getWidth() / scale) - 60;
        const auto limitY = juce::roundToInt ((float)parent->getHeight() / scale) - 40;
        setTopLeftPosition (juce::jlimit (60 - getWidth(), juce::jmax (0, limitX), getX()),
                            juce::jlimit (0, juce::jmax (0, limitY), getY()));
        userPosition = getPosition();
    }
}

//==============================================================================
void SoundToolsPanel::paint (juce::Graphics& g)
{
    // The box of the bank view and the write dialog, without dimming the editor beside it.
    const auto box = getLocalBounds().toFloat().reduced (dialogbox::outlineThickness);
    g.setColour (juce::Colour (dialogbox::boxFill));
    g.fillRoundedRectangle (box, dialogbox::cornerRadius);
    g.setColour (juce::Colour (dialogbox::boxOutline));
    g.drawRoundedRectangle (box, dialogbox::cornerRadius, dialogbox::outlineThickness);

    g.setColour (juce::Colours::white);
    g.setFont (textFont (16.0f, true));
    g.drawText ("Compare and Vary", 14, 6, 300, 26, juce::Justification::centredLeft);

    // Column headings above the difference list.
    const auto list = differenceList.getBounds();
    const auto nameWidth = juce::roundToInt ((float)list.getWidth() * nameColumn);
    const auto editedWidth = juce::roundToInt ((float)list.getWidth() * editedColumn);
    g.setFont (textFont (12.0f, true));
    g.setColour (juce::Colour (headingText));
    const auto y = list.getY() - toolRowHeight;
    g.drawText ("Parameter", list.getX() + 6, y, nameWidth, toolRowHeight, juce::Justification::centredLeft);
    g.drawText ("Edited", list.getX() + nameWidth, y, editedWidth, toolRowHeight,
                juce::Justification::centredLeft);
    g.drawText ("Source", list.getX() + nameWidth + editedWidth, y, list.getWidth() - nameWidth - editedWidth,
                toolRowHeight, juce::Justification::centredLeft);
}

void SoundToolsPanel::resized()
{
    closeButton.setBounds (designWidth - 34, 8, 22, 20);
    compareButton.setBounds (14, 38, 100, 24);
    playingLabel.setBounds (120, 38, designWidth - 134, 24);
    differencesLabel.setBounds (10, 66, designWidth - 24, 20);
    differenceList.setBounds (14, 106, designWidth - 28, 216);

    variationLabel.setBounds (10, 332, designWidth - 24, 20);
    amountSlider.setBounds (14, 356, 210, 24);
    randomizeButton.setBounds (232, 356, 90, 24);
    mutateButton.setBounds (328, 356, designWidth - 342, 24);

    morphLabel.setBounds (10, 396, designWidth - 24, 20);
    bankBox.setBounds (14, 420, 70, 24);
    programBox.setBounds (90, 420, designWidth - 104, 24);
    morphSlider.setBounds (14, 454, designWidth - 28, 28);
}

} // namespace kelvo
