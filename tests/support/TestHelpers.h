#pragma once

#include "link/EngineFiles.h"
#include "link/EngineSettings.h"
#include "link/MidiCntrState.h"
#include "link/VirtualMidiDevices.h"
#include "model/Bank_Program.h"
#include "model/ProgramPacking.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#if JUCE_LINUX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kelvo::test
{

/** The bytes a file holds (none when it cannot be read). */
inline juce::MemoryBlock contentsOf (const juce::File& file)
{
    juce::MemoryBlock data;
    file.loadFileAsData (data);
    return data;
}

/** A program of the factory banks, as the plug-in ships them. */
inline ProgramRecord factoryProgram (int bank, int program)
{
    Bank_Program b ("factory");
    b.loadFactoryBank (bank);
    return b.getProgramRecord (program);
}

/** Runs the message loop until the condition holds or the time is up; returns the condition. */
inline bool pumpUntil (const std::function<bool()>& condition, int timeoutMs = 2000)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
    while (! condition())
    {
        if (juce::Time::getMillisecondCounter() > deadline)
            return false;
        juce::MessageManager::getInstance()->runDispatchLoopUntil (2);
    }
    return true;
}

/** Runs the message loop for a while. */
inline void pumpFor (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

/** What a virtual output received, as raw byte vectors. Thread-safe. */
class RecordingSink
{
public:
    void add (const juce::MidiMessage& m)
    {
        const std::lock_guard<std::mutex> sl (lock);
        messages.emplace_back (m.getRawData(), m.getRawData() + m.getRawDataSize());
    }

    std::vector<std::vector<uint8_t>> take()
    {
        const std::lock_guard<std::mutex> sl (lock);
        return std::exchange (messages, {});
    }

    size_t size() const
    {
        const std::lock_guard<std::mutex> sl (lock);
        return messages.size();
    }

private:
    mutable std::mutex lock;
    std::vector<std::vector<uint8_t>> messages;
};

/** A virtual device layer with one output that records into a sink and one input to inject from. */
struct VirtualRig
{
    RecordingSink sink;
    VirtualMidiDevices* devices = nullptr; // owned by the engine it is given to
    int inputIndex = -1;

    std::unique_ptr<VirtualMidiDevices> makeDevices()
    {
        auto d = std::make_unique<VirtualMidiDevices>();
        d->addOutput ("Test Out", [this] (const juce::MidiMessage& m) { sink.add (m); });
        inputIndex = d->addInput ("Test In");
        devices = d.get();
        return d;
    }
};

/** A device layer that lends out devices the test keeps, so that MIDI can go on arriving while the
    engine that opened them is destroyed, and after. */
struct BorrowedDevices final : MidiDeviceLayer
{
    explicit BorrowedDevices (VirtualMidiDevices& d) : devices (d) {}
    juce::StringArray getInputNames() override { return devices.getInputNames(); }
    juce::StringArray getOutputNames() override { return devices.getOutputNames(); }
    std::unique_ptr<MidiInputDevice> openInput (int index, juce::MidiInputCallback& callback) override
    {
        return devices.openInput (index, callback);
    }
    std::unique_ptr<MidiOutputDevice> openOutput (int index) override { return devices.openOutput (index); }

    VirtualMidiDevices& devices;
};

/** A mix of everything the synth sends that writes into the engine's banks and buffers. */
inline std::vector<juce::MidiMessage> synthTraffic()
{
    auto record = initialProgram();
    record[20] = 99;
    const auto editBufferDump = makeEditBufferDump (record);
    const auto programDump = makeProgramDump (0, 5, record);
    return { juce::MidiMessage::programChange (1, 3),
             juce::MidiMessage::controllerEvent (1, 99, 0),
             juce::MidiMessage::controllerEvent (1, 98, 15),
             juce::MidiMessage::controllerEvent (1, 6, 0),
             juce::MidiMessage::controllerEvent (1, 38, 77),
             juce::MidiMessage (editBufferDump.getData(), (int) editBufferDump.getSize()),
             juce::MidiMessage::controllerEvent (1, 32, 1),
             juce::MidiMessage::programChange (1, 9),
             juce::MidiMessage (programDump.getData(), (int) programDump.getSize()) };
}

/** The synth sending all it can while a test tears the editor down: program changes, edit-buffer
    and program dumps and knob turns, round and round on a thread of its own until it is stopped.
    Counts the messages an open input took, and apart those whose delivery began after the test said
    the input was closed: under load the thread can be held up between a delivery and its count, so
    only a delivery that started after the close tells that the closed input still takes messages. */
class MidiFlood
{
public:
    MidiFlood (VirtualMidiDevices& d, int input, std::vector<juce::MidiMessage> m)
        : devices (d), inputIndex (input), messages (std::move (m)),
          thread ([this] {
              for (size_t n = 0; ! stopping.load(); ++n)
              {
                  const auto seen = rounds.load();
                  if (devices.deliver (inputIndex, messages[n % messages.size()]))
                  {
                      ++taken;
                      if (isClosed (seen))
                          countAfterClose (seen);
                  }
              }
          })
    {
    }

    ~MidiFlood()
    {
        stopping = true;
        thread.join();
    }

    int getTaken() const noexcept { return taken.load(); }

    /** From now on, count the deliveries that still reach the input (see getTakenAfterClose). */
    void inputClosed() noexcept { rounds = (roundOf (rounds.load()) | 1) << 32; }
    /** Starts a new round: the input is open again and nothing has been taken after a close. */
    void inputOpened() noexcept { rounds = ((roundOf (rounds.load()) | 1) + 1) << 32; }
    int getTakenAfterClose() const noexcept { return (int) (rounds.load() & 0xffffffffu); }

private:
    // The round (odd while the input is closed) and the deliveries taken after its close, in one
    // word: a delivery counts only in the round in which the flood saw the input closed, so one
    // that was held up across a reopening (and reached the new input) is not taken for a leak.
    static uint64_t roundOf (uint64_t word) noexcept { return word >> 32; }
    static bool isClosed (uint64_t word) noexcept { return (roundOf (word) & 1) != 0; }
    void countAfterClose (uint64_t seen) noexcept
    {
        auto now = rounds.load();
        while (roundOf (now) == roundOf (seen) && ! rounds.compare_exchange_weak (now, now + 1))
        {
        }
    }

    VirtualMidiDevices& devices;
    const int inputIndex;
    const std::vector<juce::MidiMessage> messages;
    std::atomic<bool> stopping { false };
    std::atomic<int> taken { 0 };
    std::atomic<uint64_t> rounds { 0 };
    std::thread thread;
};

/** A settings folder of its own for each test, removed afterwards. */
struct TempFolder
{
    juce::TemporaryFile temp;
    juce::File folder = temp.getFile();
    TempFolder() { folder.createDirectory(); }
    ~TempFolder() { folder.deleteRecursively(); }
};

/** The settings folder of someone who has used the editor before: it holds a settings file, so an
    editor opened on it is no first start (which looks for the synth on every port pair). */
struct UsedSettingsFolder : TempFolder
{
    UsedSettingsFolder()
    {
        folder.getChildFile (enginefile::settingsFileName).replaceWithText (makeSettingsText (defaultSettings()));
    }
};

/** Puts a named pipe in the file's place; false where the system cannot make one. */
inline bool makeNamedPipe (const juce::File& file)
{
#if JUCE_LINUX
    file.deleteFile();
    return ::mkfifo (file.getFullPathName().toRawUTF8(), 0644) == 0;
#else
    juce::ignoreUnused (file);
    return false;
#endif
}

/** Runs fn and tells whether it returned within the time. A run stuck on opening or reading the
    pipe is set free once the time is up (a writer opens and closes it until fn returns), so that
    a hang fails the test instead of stopping it. */
inline bool returnsWithin (int milliseconds, const juce::File& pipe, const std::function<void()>& fn)
{
    std::mutex lock;
    std::condition_variable cv;
    bool done = false, late = false;
    std::thread watchdog ([&]
    {
        std::unique_lock<std::mutex> l (lock);
        if (cv.wait_for (l, std::chrono::milliseconds (milliseconds), [&] { return done; }))
            return;
        late = true;
        while (! done)
        {
            l.unlock();
#if JUCE_LINUX
            const auto fd = ::open (pipe.getFullPathName().toRawUTF8(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close (fd);
#else
            juce::ignoreUnused (pipe);
#endif
            std::this_thread::sleep_for (std::chrono::milliseconds (10));
            l.lock();
        }
    });
    fn();
    {
        const std::lock_guard<std::mutex> l (lock);
        done = true;
    }
    cv.notify_all();
    watchdog.join();
    return ! late;
}

/** Gives every program of a simulated synth's user banks edits of its own, as a user's synth has,
    so that what the editor receives differs from the factory banks it starts with. */
template <typename Synth>
void personalise (Synth& synth)
{
    for (int b = 0; b < 4; ++b)
        for (int p = 0; p < 128; ++p)
        {
            auto r = synth.getProgram (b, p);
            r[21] = (uint8_t) ((r[21] + 1 + p) % 128);
            r[184] = (uint8_t) ('A' + b);
            synth.setProgram (b, p, r);
        }
}

/** The same SysEx dumps as another of the maker's synths sends them: every message's device byte
    replaced (packed data is 7-bit, so F0 only ever starts a message). */
inline juce::MemoryBlock asOtherSynth (juce::MemoryBlock dumps, uint8_t device)
{
    auto* b = static_cast<uint8_t*> (dumps.getData());
    for (size_t i = 0; i + 2 < dumps.getSize(); ++i)
        if (b[i] == sysex::start)
            b[i + 2] = device;
    return dumps;
}

/** Controller message bytes, for comparisons. */
inline std::vector<uint8_t> cc (int channel, int controller, int value)
{
    return { (uint8_t) (0xb0 + channel - 1), (uint8_t) controller, (uint8_t) value };
}

/** A listener that collects every event the engine posts. */
struct EventCollector : MidiCntrStateListener
{
    explicit EventCollector (MidiCntrState& e) : engine (e) { engine.addListener (this); }
    ~EventCollector() override { engine.removeListener (this); }
    void midiCntrStateChanged (MidiCntrState&) override { ++notifications; }

    std::vector<int32_t> take()
    {
        std::vector<int32_t> codes;
        engine.takeEvents (codes);
        return codes;
    }

    MidiCntrState& engine;
    std::atomic<int> notifications { 0 };
};

} // namespace kelvo::test
