#include "files/MidnamFile.h"
#include "files/SafeFileWrite.h"

namespace kelvo::midnam
{
namespace
{
constexpr int numChannels = 16;
constexpr int programsPerBank = 128;
constexpr int bankSelectController = 32;
const char* const nameSetName = "Programs";
const char* const bankLetters[] = { "U1", "U2", "U3", "U4", "F1", "F2", "F3", "F4" };

juce::String location (int bank, int program)
{
    return juce::String (bankLetters[bank]) + ":" + juce::String (program + 1).paddedLeft ('0', 3);
}

juce::XmlElement* addTextChild (juce::XmlElement& parent, const char* tag, const juce::String& text)
{
    auto* child = parent.createNewChildElement (tag);
    child->addTextElement (text);
    return child;
}
} // namespace

juce::String makeDocument (const BankNames& names)
{
    juce::XmlElement document ("MIDINameDocument");
    addTextChild (document, "Author", "Kelvo");

    auto& device = *document.createNewChildElement ("MasterDeviceNames");
    addTextChild (device, "Manufacturer", manufacturerName);
    addTextChild (device, "Model", modelName);

    auto& mode = *device.createNewChildElement ("CustomDeviceMode");
    mode.setAttribute ("Name", "Default");
    auto& assignments = *mode.createNewChildElement ("ChannelNameSetAssignments");
    for (int channel = 1; channel <= numChannels; ++channel)
    {
        auto* assign = assignments.createNewChildElement ("ChannelNameSetAssign");
        assign->setAttribute ("Channel", channel);
        assign->setAttribute ("NameSet", nameSetName);
    }

    auto& nameSet = *device.createNewChildElement ("ChannelNameSet");
    nameSet.setAttribute ("Name", nameSetName);
    auto& available = *nameSet.createNewChildElement ("AvailableForChannels");
    for (int channel = 1; channel <= numChannels; ++channel)
    {
        auto* entry = available.createNewChildElement ("AvailableChannel");
        entry->setAttribute ("Channel", channel);
        entry->setAttribute ("Available", "true");
    }

    for (int bank = 0; bank < synthbanks::numSynthBanks; ++bank)
    {
        auto& patchBank = *nameSet.createNewChildElement ("PatchBank");
        patchBank.setAttribute ("Name", juce::String ("Bank ") + bankLetters[bank]);
        auto* select = patchBank.createNewChildElement ("MIDICommands")->createNewChildElement ("ControlChange");
        select->setAttribute ("Control", bankSelectController);
        select->setAttribute ("Value", bank);

        auto& list = *patchBank.createNewChildElement ("PatchNameList");
        list.setAttribute ("Name", juce::String ("Bank ") + bankLetters[bank]);
        for (int program = 0; program < programsPerBank; ++program)
        {
            // Names are as the synth shows them: trailing blanks are padding, not part of the name.
            const auto name = names[(size_t) bank][program].trimEnd();
            auto* patch = list.createNewChildElement ("Patch");
            patch->setAttribute ("Number", location (bank, program));
            patch->setAttribute ("Name", name.isEmpty() ? location (bank, program) : location (bank, program) + " " + name);
            patch->setAttribute ("ProgramChange", program);
        }
    }

    juce::XmlElement::TextFormat format;
    format.dtd = "<!DOCTYPE MIDINameDocument PUBLIC \"-//MIDI Manufacturers Association//DTD MIDINameDocument 1.0//EN\" "
                 "\"http://www.midi.org/dtds/MIDINameDocument10.dtd\">";
    return document.toString (format);
}

bool writeFile (const juce::File& file, const BankNames& names, juce::String* whyNot)
{
    const auto text = makeDocument (names);
    const auto utf8 = text.toUTF8();
    return writeFileSafely (file, utf8.getAddress(), utf8.sizeInBytes() - 1, whyNot);
}

} // namespace kelvo::midnam
