#include "host/StandaloneApp.h"
#include "host/MarvexAudioProcessor.h"
#include "host/StandaloneWindow.h"
#include "link/MidiDevices.h"

namespace kelvo
{
namespace
{
constexpr int quitRetryMs = 100;
}

KelvoStandaloneApp::KelvoStandaloneApp()
{
    juce::PropertiesFile::Options options;
    options.applicationName = getApplicationName();
    options.filenameSuffix = ".settings";
    options.osxLibrarySubFolder = "Application Support";
#if JUCE_LINUX || JUCE_BSD
    options.folderName = "~/.config";
#endif
    properties.setStorageParameters (options);
}

KelvoStandaloneApp::~KelvoStandaloneApp() = default;

const juce::String KelvoStandaloneApp::getApplicationName()
{
    return JucePlugin_Name;
}

const juce::String KelvoStandaloneApp::getApplicationVersion()
{
    return JucePlugin_VersionString;
}

std::unique_ptr<MarvexAudioProcessor> KelvoStandaloneApp::makeStandaloneProcessor (std::unique_ptr<MidiDeviceLayer> devices)
{
    // As the plug-in wrappers announce themselves to the processor they create.
    juce::PluginHostType::jucePlugInClientCurrentWrapperType = juce::AudioProcessor::wrapperType_Standalone;
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Standalone);
    auto processor = std::make_unique<MarvexAudioProcessor> (std::move (devices),
                                                             MarvexAudioProcessor::getDefaultSettingsFolder());
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
    return processor;
}

std::unique_ptr<MarvexAudioProcessor> KelvoStandaloneApp::createProcessor()
{
    return makeStandaloneProcessor (MarvexAudioProcessor::makeUsersPorts (MarvexAudioProcessor::getDefaultSettingsFolder()));
}

void KelvoStandaloneApp::initialise (const juce::String&)
{
    window = std::make_unique<KelvoStandaloneWindow> (getApplicationName(), createProcessor(),
                                                      *properties.getUserSettings());
    window->setVisible (true);
}

void KelvoStandaloneApp::shutdown()
{
    window.reset();
    properties.saveIfNeeded();
}

void KelvoStandaloneApp::systemRequestedQuit()
{
    if (window != nullptr)
        window->saveState();
    // A modal dialog (the audio settings, a file chooser) closes first; then the quit is asked again.
    if (juce::ModalComponentManager::getInstance()->cancelAllModalComponents())
        juce::Timer::callAfterDelay (quitRetryMs, [] {
            if (auto* app = juce::JUCEApplicationBase::getInstance())
                app->systemRequestedQuit();
        });
    else
        quit();
}

} // namespace kelvo
