#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace kelvo
{
class MarvexAudioProcessor;

/**
    One of the 185 host parameters. It holds no value of its own: value, text and name all go
    through the processor to the edit buffer and the parameter table, so the host, the panels and
    the synth always agree. Its ID is made from its index (see idFor), which keeps saved automation
    valid; VST3 hosts see the index itself as the ID.
*/
class KelvoParameter final : public juce::AudioProcessorParameterWithID
{
public:
    KelvoParameter (MarvexAudioProcessor& processor, int index);

    int getIndex() const noexcept { return index; }

    /** "p" and the index in three digits ("p020"): text order is table order, which is the order in
        which LV2 hosts list parameters. Kept forever, like the index a VST3 host sees. */
    static juce::String idFor (int index);

    float getValue() const override;
    void setValue (float newValue) override;
    /** The parameter's value in the initial program, which a fresh instance holds. */
    float getDefaultValue() const override;
    /** Switches and menus are discrete, with one step per entry; the host value of a step is the
        same as for any other parameter (value ÷ max), so saved automation keeps its meaning. */
    bool isDiscrete() const override;
    bool isBoolean() const override;
    int getNumSteps() const override;
    juce::String getName (int maximumStringLength) const override;
    juce::String getLabel() const override { return {}; }
    juce::String getText (float normalisedValue, int maximumStringLength) const override;
    float getValueForText (const juce::String& text) const override;
    bool isAutomatable() const override { return true; }
    bool isMetaParameter() const override { return false; }

private:
    MarvexAudioProcessor& owner;
    const int index;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KelvoParameter)
};

} // namespace kelvo
