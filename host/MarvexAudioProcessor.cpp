#include "host/MarvexAudioProcessor.h"
#include "host/ProgramNamesFile.h"
#include "host/EditBufferChanges.h"
#include "host/HostSync.h"
#include "host/KelvoParameter.h"
#include "host/MarvexAudioProcessorEditor.h"
#include "host/PacedHostReports.h"
#include "host/ProjectRecall.h"
#include "host/SoundCompare.h"
#include "host/SoundHistory.h"
#include "host/SoundMorph.h"
#include "host/Vst3ComponentHandler.h"
#include "model/SoundVariation.h"
#include "instrument/BuiltInSimulator.h"
#include "link/CombinedMidiDevices.h"
#include "link/SystemMidiDevices.h"

namespace kelvo
{
namespace
{
constexpr int largeEditorWidth = 1191, largeEditorHeight = 700;
constexpr int smallEditorWidth = 1012, smallEditorHeight = 595;
constexpr int maxEditorByteIndex = program::recordSize - 1; // the editor may write any record byte
} // namespace

MarvexAudioProcessor::MarvexAudioProcessor()
    : MarvexAudioProcessor (makeUsersPorts (getDefaultSettingsFolder()), getDefaultSettingsFolder())
{
}

MarvexAudioProcessor::MarvexAudioProcessor (std::unique_ptr<MidiDeviceLayer> devices, const juce::File& settingsFolder)
    : AudioProcessor (busesFor (juce::PluginHostType::getPluginLoadedAs())),
      editBufferChanges (std::make_unique<EditBufferChanges>()),
      engine (std::move (devices), settingsFolder),
      vst3Handler (std::make_unique<Vst3ComponentHandler>())
{
    engine.addChangeListener (this);
    setLatencySamples (0);

    // A fresh instance holds the initial program, which is also every parameter's default, and
    // the host reads exactly that. Nothing is sent while the host is only creating an instance (a
    // project opening, a plug-in scan): that would overwrite whatever sound the synth holds,
    // perhaps unsaved work.
    pluginBank = std::make_unique<Bank_Program> ("Program Bank");
    pluginBank->initialise();
    pluginBank->setEditBufferObserver (editBufferChanges.get());
    engine.setPluginBank (pluginBank.get());

    hostParameters.reserve ((size_t) program::numHostParameters);
    for (int i = 0; i < program::numHostParameters; ++i)
    {
        auto param = std::make_unique<KelvoParameter> (*this, i);
        hostParameters.push_back (param.get());
        addParameter (param.release());
        echoGuard.hostWrote (i, asHostSees (i, pluginBank->getEditBufferByte (i)));
    }

    pendingGestureEnds.reserve (program::numHostParameters);

    // When the edit buffer is replaced as a whole (a program chosen here or on the synth, a dump),
    // the host is told the new value of every parameter where its view differs, so that its
    // automation lanes and generic editors show the sound that is really there. No gesture is
    // opened: it is not a user's edit, and hosts do not record it.
    hostSync = std::make_unique<HostSync> ([this] { reportSound (ReportFrom::pluginChange); });
    if (wrapperType == wrapperType_LV2)
        lv2Reports = std::make_unique<PacedHostReports> (program::numHostParameters, [this] (int index)
                                                         { tellHost (index, pluginBank->getEditBufferByte (index)); });
    pluginBank->onEditBufferReplaced = [this] { hostSync->soundReplaced(); };
    variation = std::make_unique<SoundVariation>();
    history = std::make_unique<SoundHistory> (*this);
    compare = std::make_unique<SoundCompare> (*this, *history);
    morph = std::make_unique<SoundMorph> (*this, *history, *variation);
    recall = std::make_unique<ProjectRecall> (engine);
    programNames = std::make_unique<ProgramNamesFile> (engine);
}

MarvexAudioProcessor::~MarvexAudioProcessor()
{
    // Kept until the engine is gone (a sound may still arrive from the MIDI input until then), but
    // tells the host nothing more.
    hostSync->stop();
    if (lv2Reports != nullptr)
        lv2Reports->stop();
    programNames.reset();
    recall.reset();
    morph.reset();
    compare.reset();
    history.reset();
    stopTimer();
    for (int i = 0; i < program::numHostParameters; ++i)
        endGesture (i);
    engine.removeChangeListener (this);
    // The engine goes next (closing its MIDI input before anything else), the plug-in bank last.
}

juce::AudioProcessor::BusesProperties MarvexAudioProcessor::busesFor (WrapperType wrapper)
{
    // In a host the plug-in sits in an audio track and passes its audio through. The standalone
    // application is a MIDI editor: with no audio input it has no feedback loop to warn about, and
    // its audio and MIDI settings stay in its options.
    if (wrapper == wrapperType_Standalone)
        return BusesProperties().withOutput ("Output", juce::AudioChannelSet::stereo(), true);

    return BusesProperties()
        .withInput ("Input", juce::AudioChannelSet::stereo(), true)
        .withOutput ("Output", juce::AudioChannelSet::stereo(), true);
}

std::unique_ptr<MidiDeviceLayer> MarvexAudioProcessor::makeUsersPorts (const juce::File& settingsFolder)
{
    return std::make_unique<CombinedMidiDevices> (std::make_unique<SystemMidiDevices>(),
                                                  std::make_unique<BuiltInSimulator> (settingsFolder));
}

juce::File MarvexAudioProcessor::getDefaultSettingsFolder()
{
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory).getChildFile ("MarvexSettings");
}

//==============================================================================
void MarvexAudioProcessor::prepareToPlay (double sampleRate, int samplesPerBlock)
{
    setLatencySamples (0);
    if (lv2Reports != nullptr)
        lv2Reports->setBlockDuration (sampleRate, samplesPerBlock);
    // An LV2 host shows what it is told, from the first block on.
    if (wrapperType == wrapperType_LV2)
        reportEveryValue();
}

bool MarvexAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto out = layouts.getMainOutputChannelSet();
    const auto in = layouts.getMainInputChannelSet();
    return ! out.isDisabled() && out.size() <= 2 && in.size() <= out.size();
}

void MarvexAudioProcessor::processBlock (juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi)
{
    if (lv2Reports != nullptr)
        lv2Reports->blockRan();

    // Nothing goes to the host's MIDI; the synth is reached through the plug-in's own ports.
    midi.clear();

    if (audio.hasBeenCleared())
        return;

    for (auto channel = getTotalNumInputChannels(); channel < audio.getNumChannels(); ++channel)
        audio.clear (channel, 0, audio.getNumSamples());
}

void MarvexAudioProcessor::processBlockBypassed (juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi)
{
    if (lv2Reports != nullptr)
        lv2Reports->blockRan();
    AudioProcessor::processBlockBypassed (audio, midi);
}

juce::AudioProcessorEditor* MarvexAudioProcessor::createEditor()
{
    initialiseEditorSize();
    return new MarvexAudioProcessorEditor (*this);
}

void MarvexAudioProcessor::initialiseEditorSize()
{
    if (editorWidth > 0 && editorHeight > 0)
        return;

    editorWidth = largeEditorWidth;
    editorHeight = largeEditorHeight;

    // Desktop only exists with a display; without one the large size stands.
    if (auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay())
        if (display->userArea.getWidth() < largeEditorWidth)
        {
            editorWidth = smallEditorWidth;
            editorHeight = smallEditorHeight;
        }
}

void MarvexAudioProcessor::setEditorSize (int width, int height) noexcept
{
    editorWidth = width;
    editorHeight = height;
}

//==============================================================================
void MarvexAudioProcessor::setCurrentProgram (int index)
{
    if (index < 0 || index >= program::programsPerBank)
        return;

    engine.setCurrentPluginProgram (index);
    engine.loadCurrentPluginProgram();
    engine.postEvent (event::pluginProgramChanged);
    // The host reads the new program's values as soon as its call returns.
    reportSound (ReportFrom::hostCall);
}

int MarvexAudioProcessor::getNumPrograms()
{
    return wrapperType == wrapperType_LV2 ? 0 : program::programsPerBank;
}

const juce::String MarvexAudioProcessor::getProgramName (int index)
{
    if (index < 0 || index >= program::programsPerBank)
        return {};
    // Hosts list names without the padding that the stored 16 characters carry.
    return pluginBank->getProgramName (index).trimEnd();
}

void MarvexAudioProcessor::changeProgramName (int index, const juce::String& newName)
{
    if (index < 0 || index >= program::programsPerBank)
        return;

    pluginBank->setProgramName (index, newName);
    engine.setCurrentPluginProgram (index);
    engine.loadCurrentPluginProgram();
    reportSound (ReportFrom::hostCall);
}

void MarvexAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    SessionState session;
    session.currentProgram = engine.getCurrentPluginProgram();
    session.editBuffer = pluginBank->getEditBufferRecord();
    destData = makeBankChunk (pluginBank->getAllPrograms(), &session);
}

void MarvexAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    auto bank = readBankChunk (data, (size_t) juce::jmax (0, sizeInBytes));
    if (! bank.has_value())
        return;

    // A damaged state must not hand the host values outside 0..1, which it would save again.
    const auto& table = engine.getTable();
    auto* programs = static_cast<uint8_t*> (bank->programs.getData());
    for (int n = 0; n < program::programsPerBank; ++n)
    {
        table.bringIntoRange (programs + n * program::recordSize);
        pluginBank->setProgram (n, programs + n * program::recordSize, (size_t) program::recordSize);
    }
    if (bank->session.has_value())
        table.bringIntoRange (bank->session->editBuffer.data());

    // A state saved by this version also brings back the sound that was being edited.
    if (bank->session.has_value())
    {
        // Counted before and after, so that the undo history, which looks on the message thread,
        // cannot take the new sound for a step of the old one.
        ++stateRestores;
        engine.setCurrentPluginProgram (bank->session->currentProgram);
        pluginBank->setEditBuffer (bank->session->editBuffer);
        ++stateRestores;
        if (recall != nullptr)
            recall->restored();
        engine.forgetSynthLocation();
        engine.postEvent (event::editBufferReplaced);
        engine.postEvent (event::pluginProgramChanged);

        // A VST3 host reads every value from the controller itself right after the state
        // (setComponentState); any other host is told them before its call returns.
        if (vst3Handler->isSet())
            for (int i = 0; i < program::numHostParameters; ++i)
                echoGuard.reported (i, asHostSees (i, pluginBank->getEditBufferByte (i)));
        else if (wrapperType != wrapperType_LV2)
            reportSound (ReportFrom::hostCall);

        // Elsewhere JUCE's wrapper would pass the program number on later from a thread of the
        // plug-in's own; a VST3 host reads it with the values.
        if (HostSync::isHostsMessageThread())
            updateHostDisplay (ChangeDetails().withProgramChanged (true));
    }

    // An LV2 host (a project loaded, a preset chosen) is told every value, changed or not.
    if (wrapperType == wrapperType_LV2)
        reportEveryValue();
}

void MarvexAudioProcessor::getCurrentProgramStateInformation (juce::MemoryBlock& destData)
{
    const auto editBuffer = pluginBank->getEditBufferRecord();
    pluginBank->setProgram (engine.getCurrentPluginProgram(), editBuffer);
    destData = makeProgramChunk (editBuffer);
}

void MarvexAudioProcessor::setCurrentProgramStateInformation (const void* data, int sizeInBytes)
{
    auto record = readProgramChunk (data, (size_t) juce::jmax (0, sizeInBytes));
    if (! record.has_value())
        return;
    engine.getTable().bringIntoRange (record->data());

    const auto load = [&]
    {
        pluginBank->setProgram (engine.getCurrentPluginProgram(), *record);
        pluginBank->setEditBuffer (*record);
        engine.loadCurrentPluginProgram();
    };

    // A program applied from the editor (the library, the preset page) is one named undo step that
    // gives back the slot it overwrote too; a host's call on another thread is found as a new sound
    // from the edit buffer's changes.
    if (history != nullptr && juce::MessageManager::existsAndIsCurrentThread())
        history->recordPresetSlots (
            "Load " + decodeProgramName (record->data() + program::nameOffset, program::nameLength).trimEnd(),
            load);
    else
        load();
    reportSound (ReportFrom::hostCall);
}

//==============================================================================
float MarvexAudioProcessor::getParameterHostValue (int index) const noexcept
{
    if (index < 0 || index >= program::numHostParameters)
        return 0.0f;
    return engine.getTable().toHostValue (index, pluginBank->getEditBufferByte (index));
}

void MarvexAudioProcessor::setParameterHostValue (int index, float value) noexcept
{
    if (index < 0 || index >= program::numHostParameters)
        return;

    const auto& table = engine.getTable();
    const auto raw = table.fromHostValue (index, value);
    const auto current = (int) pluginBank->getEditBufferByte (index);
    if (echoGuard.isStaleEcho (index, raw, current) || raw == current)
        return;

    // The reporter thread may pass the new byte on to the host before the write is recorded; that
    // report can still come back after a newer sound replaced it, and must then be known as stale.
    const auto arrival = echoGuard.lastReport();
    pluginBank->setEditBufferByte (index, (uint8_t) raw);
    echoGuard.hostWrote (index, raw, arrival);

    if (ParameterTable::isSentToSynth (index))
        engine.sendParameterNrpn (table.getNrpn (index), raw);

    engine.postEvent (event::parameterCode (index, raw));
}

juce::String MarvexAudioProcessor::getParameterNameText (int index) const
{
    return ParameterTable::getName (index);
}

juce::String MarvexAudioProcessor::getParameterValueText (int index) const
{
    if (index < 0 || index >= program::numHostParameters)
        return {};
    return ParDes::valueToText (engine.getTable().getKind (index), pluginBank->getEditBufferByte (index));
}

void MarvexAudioProcessor::setParameterFromEditor (int index, int value, bool endGestureNow, bool sendToSynth)
{
    // Record bytes past 255 do not exist; the gesture flags and tables are never indexed past it.
    if (index < 0 || index > maxEditorByteIndex)
        return;

    JUCE_ASSERT_MESSAGE_THREAD

    const auto isHostParameter = index < program::numHostParameters;
    const auto& table = engine.getTable();

    // The history hears of the edit before the byte changes: a new sound that came just before it
    // is then recorded as its own step, without this edit in it.
    if (history != nullptr)
    {
        // A comparison gives the edited sound back before the byte is read; the synth then plays
        // that, so a value that came from the synth's own knob goes back to it as well.
        if (history->aboutToEdit())
            sendToSynth = true;
        history->parameterEdited (index, pluginBank->getEditBufferByte (index), value);
    }
    pluginBank->setEditBufferByte (index, (uint8_t) value);

    // Only the host's own message thread may call into the host; on a message thread of the
    // plug-in's own the value reaches the host without a gesture (see HostSync).
    const auto toHostHere = isHostParameter && HostSync::isHostsMessageThread();
    if (gestureFlags[(size_t) index] == gestureClosed)
    {
        gestureFlags[(size_t) index] = toHostHere ? gestureOpenWithHost : gestureOpenHere;
        if (toHostHere)
            hostParameters[(size_t) index]->beginChangeGesture();
    }

    if (toHostHere)
        reportToHost (index, value);
    else if (isHostParameter)
        hostSync->changedOnPluginsMessageThread();

    // Bytes past the host parameters (the name) and the indices without an instrument parameter
    // have no NRPN of their own on the synth.
    if (sendToSynth && isHostParameter && ParameterTable::isSentToSynth (index))
        engine.sendParameterNrpn (table.getNrpn (index), value);

    engine.postEvent (event::parameterCode (index, value));

    if (endGestureNow)
    {
        endGesture (index);
    }
    else if (gestureFlags[(size_t) index] != gestureClosed)
    {
        if (std::find (pendingGestureEnds.begin(), pendingGestureEnds.end(), (int16_t) index) == pendingGestureEnds.end())
            pendingGestureEnds.push_back ((int16_t) index);
        startTimer (gestureCloseDelayMs);
    }
}

int MarvexAudioProcessor::asHostSees (int index, int value) const noexcept
{
    // A byte past the parameter's maximum (a name character, say) reaches the host as 1.0.
    const auto& table = engine.getTable();
    return table.fromHostValue (index, table.toHostValue (index, value));
}

void MarvexAudioProcessor::reportToHost (int index, int value, ReportFrom from)
{
    if (engine.getTable().getMax (index) <= 0)
        return;

    // An LV2 host hears the value when its turn comes, in a block with room for it.
    if (lv2Reports != nullptr)
    {
        lv2Reports->post (index);
        return;
    }
    tellHost (index, value, from);
}

void MarvexAudioProcessor::tellHost (int index, int value, ReportFrom from)
{
    const auto& table = engine.getTable();
    const auto hostValue = juce::jlimit (0.0f, 1.0f, table.toHostValue (index, value));
    const auto seen = asHostSees (index, value);

    // In a VST3 host's call on a thread that JUCE does not take for its message thread, the wrapper
    // would only queue the value for the next audio block (see Vst3ComponentHandler). The VST3
    // parameter ids are the indices. The guard is told first: a host may hand the value straight
    // back while it is being told.
    if (from == ReportFrom::hostCall && ! juce::MessageManager::existsAndIsCurrentThread() && vst3Handler->isSet())
    {
        echoGuard.reported (index, seen);
        if (vst3Handler->performEdit (index, hostValue))
            return;
    }

    // Off the host's own message thread JUCE's wrappers hand the value to a later audio block.
    echoGuard.reported (index, seen, HostSync::isHostsMessageThread());
    hostParameters[(size_t) index]->sendValueChangedMessageToListeners (hostValue);
}

void MarvexAudioProcessor::reportSound (ReportFrom from)
{
    for (int i = 0; i < program::numHostParameters; ++i)
    {
        // A host's call is answered at once, also where the reporter thread queued the same value
        // for a later block a moment ago (it runs after every replaced sound, the host's own too).
        // The byte is read again for the report: a host's call on another thread may have replaced
        // the sound meanwhile, and what reaches the host last must be the newest.
        const auto seen = asHostSees (i, pluginBank->getEditBufferByte (i));
        if (from == ReportFrom::hostCall ? echoGuard.mayDifferFromHostNow (i, seen) : echoGuard.differsFromHost (i, seen))
            reportToHost (i, pluginBank->getEditBufferByte (i), from);
    }
}

void MarvexAudioProcessor::reportEveryValue()
{
    for (int i = 0; i < program::numHostParameters; ++i)
        reportToHost (i, pluginBank->getEditBufferByte (i), ReportFrom::hostCall);
}

void MarvexAudioProcessor::setIComponentHandler (Steinberg::FUnknown* handler)
{
    vst3Handler->set (handler);
}

void MarvexAudioProcessor::endGesture (int index)
{
    if (index < 0 || index >= numGestureFlags || gestureFlags[(size_t) index] == gestureClosed)
        return;

    // A gesture the host heard begin ends where the host can hear it; once the plug-in runs its
    // own message thread again (the host's editor closed meanwhile) nothing may tell it.
    const auto withHost = gestureFlags[(size_t) index] == gestureOpenWithHost;
    gestureFlags[(size_t) index] = gestureClosed;
    if (withHost && HostSync::isHostsMessageThread())
        hostParameters[(size_t) index]->endChangeGesture();
    if (history != nullptr)
        history->gestureEnded (index);
}

bool MarvexAudioProcessor::isGestureOpen (int index) const noexcept
{
    return index >= 0 && index < numGestureFlags && gestureFlags[(size_t) index] != gestureClosed;
}

void MarvexAudioProcessor::timerCallback()
{
    for (auto index : pendingGestureEnds)
        endGesture (index);
    pendingGestureEnds.clear();
    stopTimer();
}

void MarvexAudioProcessor::changeListenerCallback (juce::ChangeBroadcaster*)
{
    incomingValues.clear();
    engine.takeParameterValues (incomingValues);
    for (auto entry : incomingValues)
        setParameterFromEditor (entry / 4096, entry % 4096, false, false);
}

} // namespace kelvo
