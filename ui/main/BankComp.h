#pragma once

#include "ui/widgets/stsbutChangeListener.h"
#include "model/SynthBanks.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

namespace kelvo
{
class MidiCntrState;
class StsBut;
class StsGrid;
class SwitchLED;

/**
    The bank view: the local copies of the eight synth banks in a program grid, browsed by bank or
    by category across all banks, with the buttons that open the bank menus.

    Browsing only shows: the synth switches program only when a program is clicked, and with
    "Use Loaded Data" on not even then (the local copy becomes the edit buffer). Menus are the main
    component's: this view sets its action code and broadcasts a change. Message thread only.
*/
class BankComp final : public juce::Component,
                       public stsbutChangeListener,
                       public juce::ChangeListener,
                       public juce::ChangeBroadcaster
{
public:
    /** Action codes, read by the main component after a change message. */
    enum Action
    {
        noAction = 0,
        cellMenu = 90,
        presetsMenu = 201,
        useLoadedDataToggled = 206,
        bankFilesMenu = 890,
        transfersMenu = 891
    };

    static constexpr int numCategories = 26;
    static constexpr int rowHeight = 26;

    explicit BankComp (MidiCntrState& engine);
    ~BankComp() override;

    /** Brings the view up to date as it is shown: the switch, the current bank and program. */
    void showCurrent();
    /** Places the view and its children for the area below the app bar (width w, height h). */
    void layoutFor (int w, int h, float scale);

    /** Lists a bank (0..7) without touching the synth or the edit buffer. */
    void showBank (int bank);
    /** Lists every program of every bank whose category is this one, in bank order. */
    void showCategory (int categoryNumber);
    /** Selects the current synth program when its bank is listed (the synth or a menu changed it). */
    void followCurrentProgram();
    /** Lists again what is listed (after the banks changed), keeping the selection. */
    void refreshGrid();
    bool isShowingCategory() const noexcept;
    /** The bank listed, or the current synth bank in category mode. */
    int getShownBank() const noexcept;

    /** What a click on a program does (see the class comment). */
    void programClicked (int bank, int program);
    /** Sets the category of a program of a local bank. */
    void setProgramCategory (int bank, int program, int categoryNumber);

    int getActionCode() const noexcept { return actionCode; }
    int getCellBank() const noexcept { return cellBank; }
    int getCellProgram() const noexcept { return cellProgram; }

    StsGrid& getGrid() noexcept { return *grid; }
    StsBut& getBankButton (int bank) noexcept { return *bankButtons[(size_t)bank]; }
    StsBut& getCategoryButton (int categoryNumber) noexcept
    {
        return *categoryButtons[(size_t)categoryNumber];
    }
    StsBut& getFileButton() noexcept { return *fileButton; }
    StsBut& getMidiButton() noexcept { return *midiButton; }
    StsBut& getPresetsButton() noexcept { return *presetsButton; }
    SwitchLED& getUseLoadedDataSwitch() noexcept { return *useLoadedDataSwitch; }
    juce::Rectangle<int> getBox() const noexcept { return box; }

    void paint (juce::Graphics& g) override;
    void stsbutChanged (StsBut& button) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    void report (int action);
    /** Lights the button of the bank or category listed, and only that one. */
    void lightListedButton();
    void gridChanged();
    void showCategoryMenu (int bank, int program);

    MidiCntrState& engine;
    std::array<std::unique_ptr<StsBut>, synthbanks::numSynthBanks> bankButtons;
    std::array<std::unique_ptr<StsBut>, numCategories> categoryButtons;
    std::unique_ptr<StsBut> fileButton, midiButton, presetsButton;
    std::unique_ptr<SwitchLED> useLoadedDataSwitch;
    std::unique_ptr<StsGrid> grid;
    juce::Rectangle<int> box;
    int actionCode = noAction, cellBank = 0, cellProgram = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BankComp)
};

} // namespace kelvo
