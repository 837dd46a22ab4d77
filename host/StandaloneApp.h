#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace kelvo
{
class KelvoStandaloneWindow;
class MarvexAudioProcessor;
class MidiDeviceLayer;

/**
    The standalone application: one editor window (KelvoStandaloneWindow) around one processor, with
    its settings in "Kelvo VST.settings" in the user's configuration folder, where JUCE's own
    standalone wrapper kept them. Message thread only.
*/
class KelvoStandaloneApp : public juce::JUCEApplication
{
public:
    KelvoStandaloneApp();
    ~KelvoStandaloneApp() override;

    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override;
    bool moreThanOneInstanceAllowed() override { return true; }
    void anotherInstanceStarted (const juce::String&) override {}

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void systemRequestedQuit() override;

protected:
    /** The processor the window edits, made as the standalone wrapper makes it: with the user's
        MIDI ports and settings folder. */
    virtual std::unique_ptr<MarvexAudioProcessor> createProcessor();

    /** A processor on these MIDI devices with the user's settings folder, made as the standalone
        application's (what it reports to the processor as its wrapper). */
    static std::unique_ptr<MarvexAudioProcessor> makeStandaloneProcessor (std::unique_ptr<MidiDeviceLayer> devices);

private:
    juce::ApplicationProperties properties;
    std::unique_ptr<KelvoStandaloneWindow> window;
};

} // namespace kelvo
