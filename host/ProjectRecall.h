#pragma once

#include "link/ConnectionListener.h"

#include <juce_events/juce_events.h>

#include <atomic>

namespace kelvo
{
class MidiCntrState;

/**
    Brings the synth back to the sound of a reopened project: after a host restored a state that
    carries the edited sound, that sound goes to the synth once as an edit-buffer dump, as soon as
    the link is on-line (at once when it already is). It never writes into the synth's program
    memory. The user can turn it off; the choice is kept in the settings.

    The other way round, a fresh instance (no restored sound) shows the synth's: the first time the
    link comes on-line, while the edit buffer still holds the initial program it started with, it
    asks the synth for its edit buffer, so that the first knob turned edits what the synth plays. It
    hears of the connection from the engine, with or without an editor open.

    Threads: restored() may be called on any host thread (it sets a flag and starts the timer, both
    safe there); everything else runs on the message thread, where the timer watches for the link to
    come on-line until the sound has gone, and then stops.
*/
class ProjectRecall final : private juce::Timer, private ConnectionListener
{
public:
    /** The settings entry that holds the choice: "1" when the restored sound stays in the editor. */
    static constexpr int settingsEntry = 47;

    explicit ProjectRecall (MidiCntrState& engine);
    ~ProjectRecall() override;

    /** A state with an edited sound was restored: send it once the link is on-line. Any thread. */
    void restored() noexcept;
    /** Whether a restored sound still waits for the link. */
    bool isPending() const noexcept { return pending.load(); }

    /** Whether restored sounds are sent (on unless the user turned it off). Message thread. */
    bool isEnabled() const;
    void setEnabled (bool shouldSend);

private:
    void timerCallback() override;
    /** The first time, a fresh instance asks the synth for the sound it plays. */
    void linkCameOnline() override;

    MidiCntrState& engine;
    std::atomic<bool> pending{false}, anyRestored{false};
    bool firstConnectionSeen = false;
    bool askedForAnswer = false;

    JUCE_DECLARE_NON_COPYABLE (ProjectRecall)
};

} // namespace kelvo
