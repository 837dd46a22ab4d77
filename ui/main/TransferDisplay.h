#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

namespace kelvo
{
class MidiCntrState;
class ProgBar;
class stsbutListener;

/**
    The progress display of a bank transfer over the editor, and what the transfer's events make
    of it: the bar's progress, the tally of the banks and programs reached, and the messages that
    say how the transfer ended or why it stopped. The display exists only while a transfer is on
    show. Message thread only.
*/
class TransferDisplay final
{
public:
    /** Shows a message over the editor. */
    using Tell = std::function<void (const juce::String&)>;

    /** The display covers editor, as its child, while shown; its cancel button reports to
        cancelListener. */
    TransferDisplay (juce::Component& editor, stsbutListener& cancelListener, MidiCntrState& engine,
                     Tell tell);
    /** Takes the display out of its modal state. */
    ~TransferDisplay();

    /** Opens the display and starts a transfer (mode 0/7 receive, 100/107 transmit). */
    void start (int mode, int bank);
    /** Opens the display (of the engine's transfer, or one that an undo started), unless it is open. */
    void show();
    /** Ends any transfer and closes the display. */
    void end();

    /** Applies an engine event if it is a transfer's (progress, finished, failed); any other does nothing. */
    void applyEvent (int32_t code);
    /** Covers the editor again after its size changed. */
    void layout();

    ProgBar* getProgressDisplay() noexcept { return progress.get(); }

private:
    /** What a transfer that reached its end says: "U2 transmitted: 128 programs". */
    juce::String describeFinished() const;

    juce::Component& editor;
    stsbutListener& cancelListener;
    MidiCntrState& engine;
    const Tell tell;

    std::unique_ptr<ProgBar> progress;
    // The transfer on show: the banks and programs it has reached, and whether it failed.
    struct Tally
    {
        int programs = 0, firstBank = -1, lastBank = -1;
        bool failed = false;
    } tally;

    JUCE_DECLARE_NON_COPYABLE (TransferDisplay)
};

} // namespace kelvo
