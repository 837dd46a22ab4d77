#include "host/StandaloneWindow.h"
#include "host/MarvexAudioProcessor.h"

namespace kelvo
{
namespace
{
// The keys JUCE's own standalone wrapper kept them under.
const char* const stateKey = "filterState";
const char* const audioSetupKey = "audioSetup";
const char* const windowXKey = "windowX";
const char* const windowYKey = "windowY";
constexpr int unknownPosition = -100;

constexpr int outputChannels = 2;
constexpr int optionsX = 8, optionsY = 6, optionsWidth = 60, optionsInset = 8;
constexpr int settingsPanelWidth = 500, settingsPanelHeight = 360;
const char* const audioSettingsTitle = "Audio Settings";
} // namespace

KelvoStandaloneWindow::KelvoStandaloneWindow (const juce::String& title, std::unique_ptr<MarvexAudioProcessor> p,
                                              juce::PropertySet& s)
    : DocumentWindow (title, juce::Colours::black, DocumentWindow::minimiseButton | DocumentWindow::closeButton),
      settings (s), processor (std::move (p))
{
    setTitleBarButtonsRequired (DocumentWindow::minimiseButton | DocumentWindow::closeButton, false);
    Component::addAndMakeVisible (optionsButton);
    optionsButton.setTriggeredOnMouseDown (true);
    optionsButton.onClick = [this] {
        createOptionsMenu().showMenuAsync (juce::PopupMenu::Options().withTargetComponent (&optionsButton),
                                           [safeThis = juce::Component::SafePointer<KelvoStandaloneWindow> (this)] (int r) {
                                               if (safeThis != nullptr)
                                                   safeThis->optionsMenuFinished (r);
                                           });
    };

    // The editor is a MIDI editor: the audio side only passes silence to an output.
    processor->disableNonMainBuses();
    processor->setRateAndBufferSizeDetails (44100, 512);
    const auto savedAudio = settings.getXmlValue (audioSetupKey);
    deviceManager.initialise (0, outputChannels, savedAudio.get(), true);
    restoreState();
    player.setProcessor (processor.get());
    deviceManager.addAudioCallback (&player);

    editor.reset (processor->createEditorIfNeeded());
    setContentNonOwned (editor.get(), true);
    setConstrainer (&constrainer);
    setResizable (editor->isResizable(), false);
    placeOnScreen();

    // Everything the first frame draws (artwork, knob strips, fonts) is made now, while the window
    // is not shown yet: the first frame on screen is then the panel, not an empty window.
    editor->createComponentSnapshot (editor->getLocalBounds(), false);
}

KelvoStandaloneWindow::~KelvoStandaloneWindow()
{
    settings.setValue (windowXKey, getX());
    settings.setValue (windowYKey, getY());

    deviceManager.removeAudioCallback (&player);
    player.setProcessor (nullptr);
    setConstrainer (nullptr);
    clearContentComponent();
    editor.reset();
    deviceManager.closeAudioDevice();
    processor.reset();
}

void KelvoStandaloneWindow::restoreState()
{
    juce::MemoryBlock state;
    if (state.fromBase64Encoding (settings.getValue (stateKey)) && state.getSize() > 0)
        processor->setStateInformation (state.getData(), (int)state.getSize());
}

void KelvoStandaloneWindow::saveState()
{
    juce::MemoryBlock state;
    processor->getStateInformation (state);
    settings.setValue (stateKey, state.toBase64Encoding());
    if (const auto audio = deviceManager.createStateXml())
        settings.setValue (audioSetupKey, audio.get());
}

void KelvoStandaloneWindow::placeOnScreen()
{
    const auto& displays = juce::Desktop::getInstance().getDisplays();
    const auto x = settings.getIntValue (windowXKey, unknownPosition);
    const auto y = settings.getIntValue (windowYKey, unknownPosition);
    const auto* display = x != unknownPosition && y != unknownPosition
                              ? displays.getDisplayForRect ({x, y, getWidth(), getHeight()})
                              : displays.getPrimaryDisplay();
    if (display == nullptr)
        return;
    const auto area = display->userArea;
    if (x != unknownPosition && y != unknownPosition)
        setBoundsConstrained ({juce::jlimit (area.getX(), juce::jmax (area.getX(), area.getRight() - getWidth()), x),
                               juce::jlimit (area.getY(), juce::jmax (area.getY(), area.getBottom() - getHeight()), y),
                               getWidth(), getHeight()});
    else
        setBoundsConstrained (getBounds().withCentre (area.getCentre()));
}

juce::PopupMenu KelvoStandaloneWindow::createOptionsMenu() const
{
    juce::PopupMenu menu;
    menu.addItem (audioSettingsItem, "Audio Settings...");
    return menu;
}

void KelvoStandaloneWindow::optionsMenuFinished (int result)
{
    if (result == audioSettingsItem)
        showAudioSettings();
}

std::unique_ptr<juce::Component> KelvoStandaloneWindow::createAudioSettingsPanel()
{
    // No MIDI inputs, no MIDI output: the synth's ports are chosen in the editor.
    auto panel = std::make_unique<juce::AudioDeviceSelectorComponent> (deviceManager, 0, 0, 0, outputChannels,
                                                                       false, false, true, false);
    panel->setSize (settingsPanelWidth, settingsPanelHeight);
    return panel;
}

juce::Component* KelvoStandaloneWindow::showAudioSettings()
{
    juce::DialogWindow::LaunchOptions options;
    auto panel = createAudioSettingsPanel();
    auto* shown = panel.get();
    options.content.setOwned (panel.release());
    options.dialogTitle = audioSettingsTitle;
    options.dialogBackgroundColour = getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId);
    options.escapeKeyTriggersCloseButton = true;
    options.useNativeTitleBar = true;
    options.resizable = false;
    options.componentToCentreAround = this;
    options.launchAsync();
    return shown;
}

void KelvoStandaloneWindow::closeButtonPressed()
{
    saveState();
    juce::JUCEApplicationBase::quit();
}

void KelvoStandaloneWindow::resized()
{
    DocumentWindow::resized();
    optionsButton.setBounds (optionsX, optionsY, optionsWidth, getTitleBarHeight() - optionsInset);
}

void KelvoStandaloneWindow::EditorConstrainer::checkBounds (juce::Rectangle<int>& bounds,
                                                            const juce::Rectangle<int>& previous,
                                                            const juce::Rectangle<int>& limits, bool stretchingTop,
                                                            bool stretchingLeft, bool stretchingBottom,
                                                            bool stretchingRight)
{
    auto* editorConstrainer = window.editor != nullptr ? window.editor->getConstrainer() : nullptr;
    if (editorConstrainer == nullptr)
    {
        ComponentBoundsConstrainer::checkBounds (bounds, previous, limits, stretchingTop, stretchingLeft,
                                                 stretchingBottom, stretchingRight);
        return;
    }

    // The editor's limits and shape hold for the editor; the title bar and borders come on top.
    const auto border = window.getContentComponentBorder();
    const auto requested = bounds;
    border.subtractFrom (bounds);
    editorConstrainer->checkBounds (bounds, border.subtractedFrom (previous), limits, stretchingTop, stretchingLeft,
                                    stretchingBottom, stretchingRight);
    border.addTo (bounds);
    bounds = bounds.withPosition (requested.getPosition());
    // The edge that is not dragged stays where it was.
    if (stretchingTop && !stretchingBottom)
        bounds = bounds.withBottomY (previous.getBottom());
    if (stretchingLeft && !stretchingRight)
        bounds = bounds.withRightX (previous.getRight());
}

} // namespace kelvo
