#include "link/SystemMidiDevices.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

// A machine without an ALSA sequencer (this one, and many a build server) says so on stderr each
// time the device lists are read.
#if JUCE_LINUX
#include <fcntl.h>
#include <unistd.h>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
/** Everything written to the process's stderr while it lives: ALSA's library and JUCE's log write there. */
class CapturedStderr
{
public:
    CapturedStderr() : file (juce::File::createTempFile ("stderr"))
    {
        std::fflush (stderr);
        saved = ::dup (2);
        const auto fd = ::open (file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2 (fd, 2);
        ::close (fd);
    }
    ~CapturedStderr()
    {
        restore();
        file.deleteFile();
    }

    juce::String take()
    {
        restore();
        return file.loadFileAsString();
    }

private:
    void restore()
    {
        if (saved < 0)
            return;
        std::fflush (stderr);
        ::dup2 (saved, 2);
        ::close (saved);
        saved = -1;
    }

    juce::File file;
    int saved = -1;
};

int occurrences (const juce::String& text, const juce::String& part)
{
    int n = 0;
    for (auto at = text.indexOf (part); at >= 0; at = text.indexOf (at + 1, part))
        ++n;
    return n;
}
} // namespace

TEST (SystemMidiDevices, OnASystemWithoutMidiTheListsAreReadRarelyAndTheFailureLoggedOnce)
{
    if (juce::File ("/dev/snd/seq").exists())
        GTEST_SKIP() << "this machine has an ALSA sequencer";

    SystemMidiDevices devices;
    CapturedStderr err;

    // Four seconds of a port watcher that looks ten times a second.
    for (int i = 0; i < 40; ++i)
    {
        EXPECT_TRUE (devices.getInputNames().isEmpty());
        EXPECT_TRUE (devices.getOutputNames().isEmpty());
        juce::Thread::sleep (100);
    }
    // Nothing opens on such a system.
    EXPECT_EQ (devices.openOutput (0), nullptr);

    const auto written = err.take();
    EXPECT_LE (occurrences (written, "/dev/snd/seq failed"), 4) << written;
    EXPECT_EQ (occurrences (written, "offers no MIDI ports"), 1) << written;
}

#endif
