#include "link/ChosenPorts.h"
#include "link/EngineEventHub.h"
#include "link/EngineFileStore.h"
#include "link/MIDI_PORTS_Control.h"
#include "link/PortChoice.h"

namespace kelvo
{
namespace
{
// A saved port name shorter than this is taken as no port at all.
constexpr int minPortNameLength = 3;

int nameIndex (ChosenPorts::Side side) noexcept
{
    return side == ChosenPorts::Side::input ? 0 : 1;
}

const char* sideWord (ChosenPorts::Side side) noexcept
{
    return side == ChosenPorts::Side::input ? "input" : "output";
}

bool namesAPort (const juce::String& name)
{
    return name.length() >= minPortNameLength && name != portchoice::noneName;
}
} // namespace

ChosenPorts::ChosenPorts (MIDI_PORTS_Control& p, EngineEventHub& h, EngineFileStore& f, std::mutex& fl)
    : ports (p), hub (h), files (f), fileLock (fl)
{
}

ChosenPorts::~ChosenPorts() = default;

juce::StringArray ChosenPorts::deviceNames (Side side) const
{
    auto& devices = ports.getDevices();
    return side == Side::input ? devices.getInputNames() : devices.getOutputNames();
}

void ChosenPorts::open (Side side, int row)
{
    if (side == Side::input)
        ports.openInput (row);
    else
        ports.openOutput (row);
}

void ChosenPorts::openSaved()
{
    // Like the engine's other files read while it is built, nothing is announced here: what the
    // store kept to tell goes out with the next notice or save.
    // The file store gives all three names, "NONE" where none is kept.
    const auto saved = readSaved();
    {
        const std::lock_guard<std::mutex> nl (nameLock);
        names = saved;
    }

    // Each side opens the first device whose name matches exactly, or nothing. A port saved last
    // time that is not there now is told by name: the link cannot come on-line.
    for (const auto side : {Side::input, Side::output})
    {
        const auto& name = saved[nameIndex (side)];
        const auto row = name.length() >= minPortNameLength ? deviceNames (side).indexOf (name) + 1 : 0;
        open (side, row);
        if (row == 0 && namesAPort (name))
            hub.postNotice (juce::String ("The MIDI ") + sideWord (side) + " \"" + name +
                            "\" chosen last time is not present now.");
    }
    takeDeviceNotices();
}

juce::StringArray ChosenPorts::readSaved()
{
    const std::lock_guard<std::mutex> fl (fileLock);
    return files.loadPorts();
}

void ChosenPorts::takeDeviceNotices()
{
    for (const auto& text : ports.getDevices().takeNotices())
        hub.postNotice (text);
}

void ChosenPorts::selectRow (Side side, int row)
{
    const auto devicesNow = deviceNames (side);
    if (row < 0 || row > devicesNow.size())
        return;
    {
        const std::lock_guard<std::mutex> nl (nameLock);
        names.set (nameIndex (side), row == 0 ? juce::String (portchoice::noneName) : devicesNow[row - 1]);
    }
    open (side, row);
    save();
    takeDeviceNotices();
}

juce::String ChosenPorts::getOfflineReason() const
{
    const auto chosen = getNames();
    // What the user can do about it: a port never chosen is to be chosen, one chosen but gone to
    // be plugged in again (or another chosen).
    const auto describe = [&chosen] (Side side)
    {
        const auto& name = chosen[nameIndex (side)];
        return namesAPort (name) ? juce::String ("MIDI ") + sideWord (side) + " \"" + name + "\" not present"
                                 : juce::String ("Choose the synth's MIDI ports");
    };
    if (!ports.isOutputOpen())
        return describe (Side::output);
    if (!ports.isInputOpen())
        return describe (Side::input);
    return "no answer from the synth";
}

juce::StringArray ChosenPorts::getNames() const
{
    const std::lock_guard<std::mutex> nl (nameLock);
    return names;
}

// The names are taken under the file lock, so that of two saves racing, the later names are the
// ones left on disk.
void ChosenPorts::save()
{
    {
        const std::lock_guard<std::mutex> fl (fileLock);
        files.savePorts (getNames());
    }
    hub.announceNotices();
}

void ChosenPorts::load()
{
    auto read = readSaved();
    hub.announceNotices();
    const std::lock_guard<std::mutex> nl (nameLock);
    names = std::move (read);
}

} // namespace kelvo
