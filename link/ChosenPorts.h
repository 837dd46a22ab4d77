#pragma once

#include <juce_core/juce_core.h>

#include <mutex>

namespace kelvo
{
class EngineEventHub;
class EngineFileStore;
class MIDI_PORTS_Control;

/**
    The MIDI ports the user chose, by name: the three names kept in the ports file (input, output
    and a third entry, "NONE" where none is chosen), the opening of the saved ports when the engine
    starts, the choice of a port by its row in a device list, and why the link is off-line in words.

    The ports file is read and written through the engine's file store, under the engine's file
    lock (one writer of the settings folder at a time), which is taken before the lock of the
    names, never after. Notices (a saved port that is gone, what the device layer or the file store
    has to say) go to the event hub.

    Threads. The names are kept under a lock of their own, so getNames() may be called on any
    thread but the audio thread; everything else runs on the message thread.
*/
class ChosenPorts
{
public:
    enum class Side
    {
        input,
        output
    };

    /** ports opens the ports and holds the device lists; hub takes the notices; files and
        fileLock are the engine's. */
    ChosenPorts (MIDI_PORTS_Control& ports, EngineEventHub& hub, EngineFileStore& files,
                 std::mutex& fileLock);
    ~ChosenPorts();

    /** Reads the names from the ports file and opens, on each side, the first device of that
        name; a saved port that is not there now is told by name. Once, when the engine starts. */
    void openSaved();

    /** Row 0 is "NONE"; row r ≥ 1 is device r − 1 of the system's list for that side. The name is
        kept and saved, and the port opened. A row outside the list does nothing. */
    void selectRow (Side side, int row);

    /** Why the link is off-line, in words: a port that is not chosen or not present, or no answer
        from the synth yet. */
    juce::String getOfflineReason() const;

    /** The names: input, output and a third entry, "NONE" where no port is chosen. */
    juce::StringArray getNames() const;
    /** Writes the names to the ports file. */
    void save();
    /** Reads the names back from the ports file. */
    void load();

private:
    /** The device names of one side as the system lists them now. */
    juce::StringArray deviceNames (Side side) const;
    void open (Side side, int row);
    void takeDeviceNotices();
    /** The names in the ports file, read under the file lock. */
    juce::StringArray readSaved();

    MIDI_PORTS_Control& ports;
    EngineEventHub& hub;
    EngineFileStore& files;
    std::mutex& fileLock;

    mutable std::mutex nameLock;
    juce::StringArray names;

    JUCE_DECLARE_NON_COPYABLE (ChosenPorts)
};

} // namespace kelvo
