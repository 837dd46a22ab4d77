#pragma once

#include "ui/setup/Global_Listener.h"
#include "ui/widgets/StsBut.h"
#include "ui/widgets/stsbutChangeListener.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace kelvo
{
class Global_Container;
class MidiCntrState;

/**
    The port setup panel that the app bar's "MIDI" button opens: the input and output lists, a light
    for each open port, the advice on the synth's settings, "GLOBALS" (the global settings panel in
    place of the advice) and "OK".

    It only shows and reports: after each user action it broadcasts a change whose last-action code
    tells the main component what to do (300 input row chosen, 302 output row chosen, 203 "OK").
    Laid out in design units over the whole editor below the app bar. Message thread.
*/
class MIDI_Setup final : public juce::Component,
                         public juce::Timer,
                         public juce::ChangeListener,
                         public juce::ChangeBroadcaster,
                         public stsbutChangeListener,
                         public Global_Listener
{
public:
    static constexpr int inputChosen = 300, outputChosen = 302, okPressed = 203;
    static constexpr int okButtonId = 203, globalsButtonId = 204;
    static constexpr int designWidth = 1191, designHeight = 677;

    explicit MIDI_Setup (MidiCntrState& engine);
    ~MIDI_Setup() override;

    /** The two lists, each "NONE" followed by the device names, and the rows to show as chosen. */
    void setLists (const juce::StringArray& inputs, const juce::StringArray& outputs, int inputRow,
                   int outputRow);
    void setPortsOpen (bool inputOpen, bool outputOpen);
    void setHeading (const juce::String& text);

    const juce::StringArray& getInputList() const noexcept { return inputList; }
    const juce::StringArray& getOutputList() const noexcept { return outputList; }
    int getInputRow() const noexcept { return inputRow; }
    int getOutputRow() const noexcept { return outputRow; }
    bool isInputLit() const noexcept { return inputOpen; }
    bool isOutputLit() const noexcept { return outputOpen; }
    juce::String getHeading() const { return heading.getText(); }
    juce::String getAdvice() const { return advice.getText(); }

    /** What the last broadcast change means, and its row. */
    int getLastAction() const noexcept { return lastAction; }
    int getLastValue() const noexcept { return lastValue; }

    /** A list's menu: its entries as items 1..n (row + 1), only when it holds more than "NONE". */
    juce::PopupMenu createListMenu (bool input) const;
    /** A menu choice: sets the row and broadcasts 300 (input) or 302 (output); 0 changes nothing. */
    void listMenuFinished (bool input, int result);

    /** Shows or hides the global settings panel; showing it first checks the link, so that the
        synth's global values are fresh. */
    void toggleGlobalPanel();
    Global_Container* getGlobalPanel() const noexcept { return globalPanel.get(); }
    /** Repaints a global's control on the global panel, or all of them (Global_Container::allGlobals). */
    void refreshGlobal (int globalIndex);

    StsBut& getOkButton() noexcept { return okButton; }
    StsBut& getGlobalsButton() noexcept { return globalsButton; }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void timerCallback() override;
    void changeListenerCallback (juce::ChangeBroadcaster*) override {}
    void stsbutChanged (StsBut& button) override;
    void globalPanelAction (int code, int value) override;

private:
    void broadcast (int code, int value);
    void showListMenu (bool input);
    void paintList (juce::Graphics& g, int y, const juce::String& caption, const juce::String& name,
                    bool lit);

    MidiCntrState& engine;
    juce::StringArray inputList, outputList;
    int inputRow = 0, outputRow = 0;
    bool inputOpen = false, outputOpen = false;
    int lastAction = 0, lastValue = 0;

    juce::Label heading, advice;
    StsBut okButton{"OK", okButtonId, StsBut::barKind};
    StsBut globalsButton{"GLOBALS", globalsButtonId, StsBut::barKind};
    std::unique_ptr<Global_Container> globalPanel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MIDI_Setup)
};

} // namespace kelvo
