#pragma once

#include "model/ProgramRecord.h"
#include "ui/panels/SoundToolsLook.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>

namespace kelvo
{
class MarvexAudioProcessor;

/**
    "Compare and Vary": the compare switch with the list of the parameters in which the edited
    sound and its source differ, randomize and mutate, and the morph slider towards a program of
    the banks or an entry of the program library ("LIB" in the bank box). Laid out in design units
   (designWidth × designHeight); the main component scales it. Dragged by its background, it moves
    away from the controls it changes.

    Message thread only.
*/
class SoundToolsPanel final : public juce::Component,
                              public juce::ChangeBroadcaster,
                              private juce::ListBoxModel,
                              private juce::ChangeListener
{
public:
    static constexpr int designWidth = 430;
    static constexpr int designHeight = 520;

    explicit SoundToolsPanel (MarvexAudioProcessor& processor);
    ~SoundToolsPanel() override;

    /** Reads the compare state and the differences again. */
    void refresh();

    /** The morph's target: a program of the banks (bank 0..7, program 0..127). */
    void chooseMorphTarget (int bank, int program);
    /** The morph's target: an entry of the program library, as its file holds it now. */
    void chooseLibraryMorphTarget (int entry);
    /** The choices of the program box as shown. */
    juce::ComboBox& getProgramBox() noexcept { return programBox; }

    juce::TextButton& getCompareButton() noexcept { return compareButton; }
    juce::TextButton& getRandomizeButton() noexcept { return randomizeButton; }
    juce::TextButton& getMutateButton() noexcept { return mutateButton; }
    juce::TextButton& getCloseButton() noexcept { return closeButton; }
    juce::Slider& getAmountSlider() noexcept { return amountSlider; }
    juce::Slider& getMorphSlider() noexcept { return morphSlider; }
    juce::ListBox& getDifferenceList() noexcept { return differenceList; }
    juce::String getPlayingText() const { return playingLabel.getText(); }
    /** The rows of the difference list as shown: name, edited value, source value. */
    int getNumDifferenceRows() const noexcept { return (int)rows.size(); }
    juce::StringArray getDifferenceRow (int row) const;

    /** Where the user has dragged the panel (by its background), in the parent's design units. */
    std::optional<juce::Point<int>> getUserPosition() const noexcept { return userPosition; }

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;

private:
    int getNumRows() override;
    void paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool selected) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void fillProgramBox();
    void readLibrary();
    bool isLibraryChosen() const;
    void morphMoved();

    MarvexAudioProcessor& processor;
    juce::ComponentDragger dragger;
    std::optional<juce::Point<int>> userPosition;
    SoundToolsLook look; // before the children, which use it until they go

    juce::TextButton compareButton{"Compare"}, closeButton{"X"};
    juce::Label playingLabel, differencesLabel;
    juce::ListBox differenceList{"Differences", this};
    juce::Label variationLabel, morphLabel;
    juce::Slider amountSlider, morphSlider;
    juce::TextButton randomizeButton{"Randomize"}, mutateButton{"Mutate 3"};
    juce::ComboBox bankBox, programBox;
    juce::Random random;

    struct Row
    {
        juce::String name, edited, source;
    };
    std::vector<Row> rows;
    struct LibraryProgram
    {
        juce::String name;
        ProgramRecord record{};
    };
    std::vector<LibraryProgram> libraryPrograms; // read from the library's file when "LIB" is chosen
    bool morphDragging = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SoundToolsPanel)
};

} // namespace kelvo
