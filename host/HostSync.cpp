#include "host/HostSync.h"

namespace kelvo
{

HostSync::HostSync (std::function<void()> reportChanges)
    : juce::Thread ("Kelvo host reports"), report (std::move (reportChanges))
{
}

HostSync::~HostSync()
{
    stop();
}

bool HostSync::isHostsMessageThread() noexcept
{
    return juce::MessageManager::existsAndIsCurrentThread() && juce::Thread::getCurrentThread() == nullptr;
}

void HostSync::soundReplaced()
{
    if (juce::MessageManager::existsAndIsCurrentThread())
        reportOnThisThreadOrWakeReporter();
    else if (!stopped.load())
        triggerAsyncUpdate();
}

void HostSync::changedOnPluginsMessageThread()
{
    reportOnThisThreadOrWakeReporter();
}

void HostSync::handleAsyncUpdate()
{
    reportOnThisThreadOrWakeReporter();
}

void HostSync::stop()
{
    stopped = true;
    cancelPendingUpdate();
    while (busy.load() > 0)
        juce::Thread::yield();
    signalThreadShouldExit();
    notify();
    stopThread (-1);
}

void HostSync::reportOnThisThreadOrWakeReporter()
{
    ++busy;
    if (!stopped.load())
    {
        if (isHostsMessageThread())
        {
            report();
        }
        else
        {
            // Started on first need: with the host's own message thread it never is.
            if (!isThreadRunning())
                startThread();
            notify();
        }
    }
    --busy;
}

void HostSync::run()
{
    while (!threadShouldExit())
    {
        wait (-1);
        if (!threadShouldExit())
            report();
    }
}

} // namespace kelvo
