#include "host/KelvoParameter.h"
#include "host/MarvexAudioProcessor.h"
#include "model/ParDes.h"
#include "model/ProgramRecord.h"

namespace kelvo
{

KelvoParameter::KelvoParameter (MarvexAudioProcessor& p, int i)
    : AudioProcessorParameterWithID (juce::ParameterID (idFor (i)), ParameterTable::getName (i)),
      owner (p),
      index (i)
{
}

juce::String KelvoParameter::idFor (int index)
{
    return "p" + juce::String (index).paddedLeft ('0', 3);
}

float KelvoParameter::getValue() const
{
    return owner.getParameterHostValue (index);
}

void KelvoParameter::setValue (float newValue)
{
    owner.setParameterHostValue (index, newValue);
}

float KelvoParameter::getDefaultValue() const
{
    return juce::jlimit (0.0f, 1.0f, owner.getEngine().getTable().toHostValue (index, initialProgram()[(size_t) index]));
}

bool KelvoParameter::isDiscrete() const
{
    return kind::isList (owner.getEngine().getTable().getKind (index));
}

bool KelvoParameter::isBoolean() const
{
    const auto& table = owner.getEngine().getTable();
    return table.getKind (index) == kind::onOff && table.getMax (index) == 1;
}

int KelvoParameter::getNumSteps() const
{
    return isDiscrete() ? owner.getEngine().getTable().getMax (index) + 1 : AudioProcessorParameter::getNumSteps();
}

juce::String KelvoParameter::getName (int maximumStringLength) const
{
    return owner.getParameterNameText (index).substring (0, juce::jmax (0, maximumStringLength));
}

juce::String KelvoParameter::getText (float normalisedValue, int maximumStringLength) const
{
    const auto& table = owner.getEngine().getTable();
    const auto raw = table.fromHostValue (index, normalisedValue);
    return ParDes::valueToText (table.getKind (index), raw).substring (0, juce::jmax (0, maximumStringLength));
}

float KelvoParameter::getValueForText (const juce::String& text) const
{
    const auto& table = owner.getEngine().getTable();
    const auto kindCode = table.getKind (index);
    const auto wanted = text.trim();

    // A text the formatter itself produces names its value exactly; anything else is read as a number.
    for (int raw = 0; raw <= table.getMax (index); ++raw)
        if (ParDes::valueToText (kindCode, raw).trim().equalsIgnoreCase (wanted))
            return table.toHostValue (index, raw);

    return table.toHostValue (index, juce::jlimit (0, table.getMax (index), wanted.getIntValue()));
}

} // namespace kelvo
