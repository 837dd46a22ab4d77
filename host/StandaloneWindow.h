#pragma once

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_audio_utils/juce_audio_utils.h>

#include <memory>

namespace kelvo
{
class MarvexAudioProcessor;

/**
    The standalone application's window: the plug-in's editor in a window of its own, with the
    processor playing through the audio device, and an "Options" button in the title bar.

    "Options" offers the audio device settings alone. The synth's MIDI ports are the editor's own
    to choose (its "MIDI" panel, the one place that lists the simulator); a second MIDI setup here
    would open ports that lead nowhere.

    The processor's state, the audio settings and the window's place are kept in the given
    properties under the keys JUCE's own standalone wrapper used, so that an earlier run's state
    carries over. The window paints its editor once before it shows, so that it never shows an
    empty frame. Message thread only.
*/
class KelvoStandaloneWindow final : public juce::DocumentWindow
{
public:
    /** The items of the "Options" menu. */
    enum OptionsItem
    {
        audioSettingsItem = 1
    };

    KelvoStandaloneWindow (const juce::String& title, std::unique_ptr<MarvexAudioProcessor> processor,
                           juce::PropertySet& settings);
    ~KelvoStandaloneWindow() override;

    MarvexAudioProcessor& getProcessor() noexcept { return *processor; }
    juce::AudioProcessorEditor* getEditor() noexcept { return editor.get(); }
    juce::AudioDeviceManager& getDeviceManager() noexcept { return deviceManager; }
    juce::Button& getOptionsButton() noexcept { return optionsButton; }

    /** The "Options" menu, built apart from showing it. */
    juce::PopupMenu createOptionsMenu() const;
    void optionsMenuFinished (int result);
    /** The audio settings: output device, sample rate and buffer size; no MIDI. Returns the
        component that the dialog shows (owned by the dialog). */
    juce::Component* showAudioSettings();
    /** The settings panel of the audio settings dialog, made apart from the dialog. */
    std::unique_ptr<juce::Component> createAudioSettingsPanel();

    /** Saves the processor's state and the audio settings into the properties. */
    void saveState();

    void closeButtonPressed() override;
    void resized() override;

private:
    /** The window's bounds through the editor's own constrainer, the title bar aside. */
    struct EditorConstrainer final : juce::ComponentBoundsConstrainer
    {
        explicit EditorConstrainer (KelvoStandaloneWindow& w) : window (w) {}
        void checkBounds (juce::Rectangle<int>& bounds, const juce::Rectangle<int>& previous,
                          const juce::Rectangle<int>& limits, bool stretchingTop, bool stretchingLeft,
                          bool stretchingBottom, bool stretchingRight) override;
        KelvoStandaloneWindow& window;
    };

    void restoreState();
    void placeOnScreen();

    juce::PropertySet& settings;
    std::unique_ptr<MarvexAudioProcessor> processor;
    juce::AudioDeviceManager deviceManager;
    juce::AudioProcessorPlayer player;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
    juce::TextButton optionsButton { "Options" };
    EditorConstrainer constrainer { *this };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KelvoStandaloneWindow)
};

} // namespace kelvo
