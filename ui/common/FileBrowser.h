#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

namespace kelvo
{
class MidiCntrState;

/**
    Asks the user for a file without ever blocking the message thread: the chooser opens
    asynchronously and the answer arrives in a callback, which is not called at all when the user
    cancels.

    A chooser starts in the folder last used for its kind (remembered in the engine's settings), the
    user's documents folder the first time (the home folder when there is none). A save completes the picked name's extension first and only then
    asks before replacing an existing file, so a completed name that exists is asked about too.

    Tests replace the chooser with setChooser: it is given the dialog type and start folder and
    answers with a file (or juce::File() for a cancel). Message thread only.
*/
class FileBrowser
{
public:
    using Picked = std::function<void (const juce::File&)>;
    /** Answers a dialog: called with the file chosen, or juce::File() when cancelled. */
    using Chooser = std::function<void (int type, const juce::File& startFolder,
                                        const juce::String& suggestedName, Picked answer)>;
    /** Looks at a file picked for saving, before anything else: true when it refuses it (and has
        told the user why). */
    using Refuse = std::function<bool (const juce::File&)>;
    /** Asks a yes/no question; onYes runs only for yes. */
    using Confirm = std::function<void (const juce::String& question, std::function<void()> onYes)>;

    FileBrowser (MidiCntrState& engine, Confirm confirm);
    ~FileBrowser();

    /** Opens a file of dialog type (below 100); picked is called with an existing file. */
    void browseForOpen (int type, Picked picked);
    /** Saves with dialog type (100 or more), proposing suggestedName; picked is called with the
        completed file, after the user agreed to replace it if it exists. A file that refuse turns
        down is neither asked about nor picked. */
    void browseForSave (int type, const juce::String& suggestedName, Picked picked, Refuse refuse = nullptr);

    /** The folder a chooser of this type starts in. */
    juce::File startFolder (int type) const;

    void setChooser (Chooser c) { chooser = std::move (c); }
    /** The chooser in use (the native one unless replaced), so that an owner can wrap it. */
    const Chooser& getChooser() const noexcept { return chooser; }

private:
    void rememberFolder (int type, const juce::File& file);
    void launchNativeChooser (int type, const juce::File& startFolder, const juce::String& suggestedName,
                              Picked answer);

    MidiCntrState& engine;
    Confirm confirm;
    Chooser chooser;
    std::unique_ptr<juce::FileChooser> nativeChooser;
    std::shared_ptr<bool> alive = std::make_shared<bool> (true);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FileBrowser)
};

} // namespace kelvo
