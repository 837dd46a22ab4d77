#pragma once

#include "model/ProgramRecord.h"
#include "model/SynthBanks.h"
#include "ui/widgets/stsbutChangeListener.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

namespace kelvo
{
class MidiCntrState;
class LCD_Comp;
class RenameCnt;
class StsBut;
class StsGrid;

/**
    The write dialog: where in the synth's user banks the edit buffer is stored, under which name
    and category.

    Browsing its banks only fills its grid: the edit buffer and the synth's current program are
    left alone until "WRITE". It offers U1..U4 only and opens on a user bank. "WRITE" and "CANCEL"
    set the result and broadcast a change; the main component then writes (write()) and closes the
    dialog. Message thread only.
*/
class WriteSnd final : public juce::Component,
                       public stsbutChangeListener,
                       public juce::ChangeListener,
                       public juce::ChangeBroadcaster
{
public:
    enum Result
    {
        open = 0,
        writeChosen = 1,
        cancelled = 2
    };


    explicit WriteSnd (MidiCntrState& engine);
    ~WriteSnd() override;

    /** Places the dialog for the area below the app bar. */
    void layoutFor (int w, int h, float scale);

    /** Lists user bank 0..3; the destination keeps its program number. */
    void showBank (int bank);
    /** Chooses the destination program in the bank listed. */
    void chooseProgram (int program);
    /** The name written (16 characters: cut or padded with spaces). */
    void setProgramName (const juce::String& text);
    void setCategory (int categoryNumber);

    int getDestinationBank() const noexcept { return destinationBank; }
    int getDestinationProgram() const noexcept { return destinationProgram; }
    const juce::String& getProgramName() const noexcept { return name; }
    int getCategory() const noexcept { return categoryNumber; }
    /** The edit buffer with the dialog's name and category. */
    ProgramRecord makeRecord() const;
    /** Stores the record at the destination (in the synth and the local copy). */
    void write();

    int getResult() const noexcept { return result; }

    StsGrid& getGrid() noexcept { return *grid; }
    LCD_Comp& getDisplay() noexcept { return *display; }
    StsBut& getBankButton (int bank) noexcept { return *bankButtons[(size_t)bank]; }
    StsBut& getWriteButton() noexcept { return *writeButton; }
    StsBut& getCancelButton() noexcept { return *cancelButton; }
    RenameCnt* getRenameBox() noexcept { return renameBox.get(); }
    /** Opens the rename box with the current name (a click on the display's name does this). */
    void openRenameBox();

    void paint (juce::Graphics& g) override;
    void stsbutChanged (StsBut& button) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    void showOnDisplay();
    void closeRenameBox();
    /** Takes the rename box's text as the name and closes the box (its OK, Return, or WRITE). */
    void takeTypedName();
    void finish (Result r);

    MidiCntrState& engine;
    std::array<std::unique_ptr<StsBut>, synthbanks::numUserBanks> bankButtons;
    std::unique_ptr<StsBut> writeButton, cancelButton;
    std::unique_ptr<StsGrid> grid;
    std::unique_ptr<LCD_Comp> display;
    std::unique_ptr<RenameCnt> renameBox;
    juce::Rectangle<int> box;

    juce::String name;
    int categoryNumber = 0;
    int destinationBank = 0, destinationProgram = 0;
    int result = open;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WriteSnd)
};

} // namespace kelvo
