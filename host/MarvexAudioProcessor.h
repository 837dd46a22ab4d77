#pragma once

#include "host/HostEchoGuard.h"
#include "link/MidiCntrState.h"
#include "model/Bank_Program.h"
#include "model/PluginChunks.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <memory>
#include <vector>

namespace kelvo
{
class EditBufferChanges;
class HostSync;
class KelvoParameter;
class MidiDeviceLayer;
class PacedHostReports;
class ProgramNamesFile;
class ProjectRecall;
class SoundCompare;
class SoundHistory;
class SoundMorph;
class SoundVariation;
class Vst3ComponentHandler;

/**
    The plug-in as the host sees it: 185 parameters that mirror the synth's edit buffer, 128 host
    programs, the bank and program chunks, and the editor. It passes audio through and sends no MIDI
    to the host; its MIDI goes to the synth, through the link engine that it owns.

    Threads: the host calls the parameter, program and state operations on its own threads (the
    audio thread among them); the parameter path is lock-free and allocation-free. Gestures, the
    change callback and the timer belong to the message thread.
*/
class MarvexAudioProcessor : public juce::AudioProcessor,
                             public juce::VST3ClientExtensions,
                             public juce::ChangeListener,
                             private juce::Timer,
                             public juce::ChangeBroadcaster
{
public:
    /** The plug-in as a host creates it: the system's MIDI devices and the user's settings folder. */
    MarvexAudioProcessor();
    /** The same with other MIDI devices and another settings folder (tests, the simulator). */
    MarvexAudioProcessor (std::unique_ptr<MidiDeviceLayer> devices, const juce::File& settingsFolder);
    ~MarvexAudioProcessor() override;

    /** The ports a user is offered: the system's MIDI devices, then our own simulator, which keeps
        its memory in settingsFolder. */
    static std::unique_ptr<MidiDeviceLayer> makeUsersPorts (const juce::File& settingsFolder);

    /** "MarvexSettings" in the user's application data folder, where every file of the plug-in lives. */
    static juce::File getDefaultSettingsFolder();

    //==============================================================================
    const juce::String getName() const override { return "Kelvo VST"; }
    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override {}
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;
    void processBlock (juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi) override;
    using AudioProcessor::processBlock;
    /** A block the host runs with the plug-in switched off (an LV2 host's "enabled" port). */
    void processBlockBypassed (juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi) override;
    using AudioProcessor::processBlockBypassed;

    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return true; }
    bool producesMidi() const override { return true; }

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override { return true; }

    /** 128, except for LV2, where the host would list the programs as presets with the names they
        had when the plug-in was built (all the initial "Untitled"): there the bank lives in the
        project's state alone, and the host lists no presets. */
    int getNumPrograms() override;
    int getCurrentProgram() override { return engine.getCurrentPluginProgram(); }
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    void getCurrentProgramStateInformation (juce::MemoryBlock& destData) override;
    void setCurrentProgramStateInformation (const void* data, int sizeInBytes) override;

    //==============================================================================
    // The host parameters by index (what the parameter objects forward to).

    /** Edit-buffer byte ÷ max; 0 for 185 or more. Any thread. */
    float getParameterHostValue (int index) const noexcept;
    /** Stores the rounded value, sends it to the synth and posts its event, unless it is unchanged
        or only a value reported to the host coming back after the byte has moved on (see
        HostEchoGuard). Any thread, the audio thread included. */
    void setParameterHostValue (int index, float value) noexcept;
    juce::String getParameterNameText (int index) const;
    juce::String getParameterValueText (int index) const;

    /** The one road by which the editor, the sequencer and incoming NRPN change a parameter: store
        it, keep the host's gesture open (closed 200 ms after the last change unless endGestureNow),
        tell the host, send it to the synth if asked, post its event. Message thread. */
    void setParameterFromEditor (int index, int value, bool endGestureNow, bool sendToSynth);

    /** The program chunk of a record. */
    static juce::MemoryBlock makeProgramChunk (const ProgramRecord& record) { return kelvo::makeProgramChunk (record); }

    MidiCntrState& getEngine() noexcept { return engine; }
    const MidiCntrState& getEngine() const noexcept { return engine; }
    Bank_Program& getPluginBank() noexcept { return *pluginBank; }
    /** Every change of the edit buffer, by whatever path, as a change message on the message
        thread (the undo history listens; so can the host sync). */
    EditBufferChanges& getEditBufferChanges() noexcept { return *editBufferChanges; }

    /** Size the next editor opens at; the editor keeps it up to date. Message thread. */
    juce::Rectangle<int> getEditorSize() const noexcept { return { editorWidth, editorHeight }; }
    void setEditorSize (int width, int height) noexcept;

    /** Undo and redo, comparing, variations, and sending a restored project's sound. Message thread. */
    SoundHistory& getHistory() noexcept { return *history; }
    SoundCompare& getCompare() noexcept { return *compare; }
    SoundMorph& getMorph() noexcept { return *morph; }
    const SoundVariation& getVariation() const noexcept { return *variation; }
    ProjectRecall& getProjectRecall() noexcept { return *recall; }
    /** The synth's program names as a MIDNAM file for hosts. */
    ProgramNamesFile& getProgramNamesFile() noexcept { return *programNames; }
    /** Counts the restored states that brought an edited sound. Any thread. */
    uint32_t getStateRestoreCount() const noexcept { return stateRestores.load(); }

    /** Whether a host change gesture is open for a parameter (for tests and the editor). */
    bool isGestureOpen (int index) const noexcept;

    //==============================================================================
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    /** Keeps the VST3 host's component handler, for telling the host values inside its own calls. */
    void setIComponentHandler (Steinberg::FUnknown* handler) override;

    /** The buses the plug-in offers when loaded as the given format. */
    static BusesProperties busesFor (WrapperType wrapper);

private:
    void timerCallback() override;
    /** The byte that the host's value for a byte maps back to. */
    int asHostSees (int index, int value) const noexcept;
    /** Where a report to the host is made from. */
    enum class ReportFrom
    {
        pluginChange, // the editor, the synth's knobs, a sound replaced by the engine (see HostSync)
        hostCall,     // one of the host's own calls that replaced the sound, on its thread
    };
    /** Tells the host a parameter's new value, without a gesture (an LV2 host: when its turn comes). */
    void reportToHost (int index, int value, ReportFrom from = ReportFrom::pluginChange);
    /** Tells the host a parameter's value now. */
    void tellHost (int index, int value, ReportFrom from = ReportFrom::pluginChange);
    /** Tells the host every parameter where its view differs from the edit buffer. */
    void reportSound (ReportFrom from);
    /** Tells the host every parameter's value, for hosts that cannot ask for them (JUCE's LV2
        wrapper answers no patch:Get). In a host's call. */
    void reportEveryValue();
    void endGesture (int index);
    void initialiseEditorSize();

    static constexpr int numGestureFlags = 1000;
    static constexpr uint8_t gestureClosed = 0, gestureOpenHere = 1, gestureOpenWithHost = 2;
    static constexpr int gestureCloseDelayMs = 200;

    // The plug-in bank outlives the engine: until the engine has closed its MIDI input, a program
    // change or dump from the synth may write into the edit buffer.
    std::unique_ptr<Bank_Program> pluginBank;
    HostEchoGuard echoGuard;
    // Outlives the engine too: the plug-in bank calls it whenever the edit buffer is replaced.
    std::unique_ptr<HostSync> hostSync;
    // LV2 only: what the host is to be told goes out a batch at a time, in step with its blocks.
    std::unique_ptr<PacedHostReports> lv2Reports;
    // Told by the plug-in bank of each edit-buffer change, the MIDI input thread's too: it goes
    // after the engine, which closes that input.
    std::unique_ptr<EditBufferChanges> editBufferChanges;
    MidiCntrState engine;
    std::vector<KelvoParameter*> hostParameters; // owned by the base class

    std::array<uint8_t, numGestureFlags> gestureFlags {};
    std::vector<int16_t> pendingGestureEnds;
    std::vector<int32_t> incomingValues; // reused by the change callback

    std::unique_ptr<Vst3ComponentHandler> vst3Handler;
    std::atomic<uint32_t> stateRestores{0};
    std::unique_ptr<SoundVariation> variation;
    std::unique_ptr<SoundHistory> history;
    std::unique_ptr<SoundCompare> compare;
    std::unique_ptr<SoundMorph> morph;
    std::unique_ptr<ProjectRecall> recall;
    std::unique_ptr<ProgramNamesFile> programNames;
    int editorWidth = 0, editorHeight = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MarvexAudioProcessor)
};

} // namespace kelvo
