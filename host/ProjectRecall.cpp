#include "host/ProjectRecall.h"
#include "link/MidiCntrState.h"
#include "model/Bank_Program.h"
#include "model/ProgramRecord.h"
#include "model/ProgramPacking.h"

namespace kelvo
{
namespace
{
constexpr int watchIntervalMs = 50;
const char* const keptLocal = "1";
} // namespace

ProjectRecall::ProjectRecall (MidiCntrState& e) : engine (e)
{
    engine.addConnectionListener (this);
}

ProjectRecall::~ProjectRecall()
{
    engine.removeConnectionListener (this);
    stopTimer();
}

bool ProjectRecall::isEnabled() const
{
    return engine.getSetting (settingsEntry) != keptLocal;
}

void ProjectRecall::setEnabled (bool shouldSend)
{
    engine.setSetting (settingsEntry, shouldSend ? "0" : keptLocal);
}

void ProjectRecall::restored() noexcept
{
    anyRestored.store (true);
    pending.store (true);
    startTimer (watchIntervalMs);
}

void ProjectRecall::linkCameOnline()
{
    if (std::exchange (firstConnectionSeen, true) || anyRestored.load())
        return;
    // Untouched since the instance began: nothing of the user's would be replaced.
    const auto* plugin = engine.getPluginBank();
    if (plugin != nullptr && plugin->getEditBufferRecord() == initialProgram())
        engine.requestDump (sysex::requestEditBuffer, 0, 0);
}

void ProjectRecall::timerCallback()
{
    if (!pending.load())
    {
        // A restore on a host thread may come in between: it starts the timer after its flag.
        stopTimer();
        if (pending.load())
            startTimer (watchIntervalMs);
        return;
    }

    if (!isEnabled())
    {
        pending = false;
        stopTimer();
        return;
    }

    // Until the output is open there is nobody to tell; the port watcher opens it when it comes.
    if (!engine.isOutputOpen())
    {
        askedForAnswer = false;
        return;
    }

    if (engine.hasGlobalDumpArrived())
    {
        pending = false;
        askedForAnswer = false;
        stopTimer();
        engine.sendEditBufferToSynth();
        return;
    }

    // A project may open with no editor shown, and then nothing else asks whether the synth is
    // there: ask once, and its answer puts the link on-line.
    if (!askedForAnswer)
    {
        askedForAnswer = true;
        engine.requestDump (sysex::requestGlobals, 0, 0);
    }
}

} // namespace kelvo
