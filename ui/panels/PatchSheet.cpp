#include "ui/panels/PatchSheet.h"

#include "files/SafeFileWrite.h"
#include "host/MarvexAudioProcessor.h"
#include "model/Bank_Program.h"
#include "model/Categories.h"
#include "model/ParDes.h"
#include "model/ParameterTable.h"
#include "ui/panels/EditorPanel.h"
#include "ui/panels/PanelLayout.h"
#include "ui/widgets/KelvoLook.h"

#include <algorithm>
#include <vector>

namespace kelvo
{
namespace
{
// Sections whose tops lie within this many design units read as one row of the panel.
constexpr int rowBand = 50;
constexpr int sheetNameColumn = 30;
const juce::String sequencerCaption = "SEQUENCER", otherCaption = "OTHER";
const juce::String newLine = "\n";

/** The panel's sections in reading order (rows from the top, left to right in a row), the name
    display's frame left out. */
std::vector<int> sectionsInReadingOrder()
{
    std::vector<int> order;
    for (int n = 0; n < panelLayout::numSections; ++n)
        if (n != panelLayout::lcdSection)
            order.push_back (n);
    const auto& sections = panelLayout::sections();
    std::stable_sort (order.begin(), order.end(),
                      [&sections] (int a, int b)
                      {
                          const auto boxA = sections[(size_t)a].box, boxB = sections[(size_t)b].box;
                          const auto rowA = boxA.getY() / rowBand, rowB = boxB.getY() / rowBand;
                          return rowA != rowB ? rowA < rowB : boxA.getX() < boxB.getX();
                      });
    return order;
}

juce::String captionOf (int section)
{
    if (section == panelLayout::sequencerSection)
        return sequencerCaption;
    return juce::String (panelLayout::sections()[(size_t)section].caption).trim();
}

juce::String line (int index, int displayKind, const ProgramRecord& sound)
{
    return "  " + ParameterTable::getName (index).paddedRight (' ', sheetNameColumn) +
           ParDes::valueToText (displayKind, sound[(size_t)index]) + newLine;
}
} // namespace

juce::String PatchSheet::describe (const ProgramRecord& sound)
{
    const ParameterTable table;
    std::array<bool, program::numHostParameters> listed{};
    const auto nameBytes = sound.begin() + program::nameOffset;
    const auto name = juce::String (
        juce::CharPointer_ASCII (std::string (nameBytes, nameBytes + program::nameLength).c_str()));

    juce::String text;
    text << "Mopho x4 sound: " << name.trimEnd() << newLine;
    text << "Category: " << categoryName (sound[(size_t)program::categoryIndex]) << newLine;
    listed[(size_t)program::categoryIndex] = true;
    for (int i = program::nameOffset; i < program::numHostParameters; ++i)
        listed[(size_t)i] = true;

    for (const auto section : sectionsInReadingOrder())
    {
        juce::String lines;
        for (int i = 0; i < panelLayout::numControls; ++i)
            if (const auto* row = panelLayout::controlRow (i); row != nullptr && row->section == section)
            {
                lines << line (i, row->displayKind, sound);
                listed[(size_t)i] = true;
            }
        if (section == panelLayout::sequencerSection)
            for (int i = program::firstStepIndex; i <= program::lastStepIndex; ++i)
            {
                lines << line (i, table.getKind (i), sound);
                listed[(size_t)i] = true;
            }
        if (lines.isNotEmpty())
            text << newLine << captionOf (section) << newLine << lines;
    }

    juce::String rest;
    for (int i = 0; i < program::numHostParameters; ++i)
        if (!listed[(size_t)i] && ParameterTable::isSentToSynth (i))
            rest << line (i, table.getKind (i), sound);
    if (rest.isNotEmpty())
        text << newLine << otherCaption << newLine << rest;
    return text;
}

juce::Image PatchSheet::paintPanel (MarvexAudioProcessor& processor, int width)
{
    const juce::SharedResourcePointer<KelvoLook> look; // the panel's font, with or without an editor
    const auto scale = (float)width / (float)EditorPanel::designWidth;
    EditorPanel panel (processor);
    panel.setScale (scale);
    panel.setSize (width, juce::roundToInt ((float)EditorPanel::designHeight * scale));
    panel.refreshFromEditBuffer();
    return panel.createComponentSnapshot (panel.getLocalBounds(), true, 1.0f);
}

juce::File PatchSheet::textFileFor (const juce::File& png)
{
    return png.withFileExtension (".txt");
}

bool PatchSheet::write (MarvexAudioProcessor& processor, const juce::File& png, int width,
                        juce::String* whyNot)
{
    juce::MemoryOutputStream picture;
    juce::PNGImageFormat format;
    if (!format.writeImageToStream (paintPanel (processor, width), picture))
    {
        if (whyNot != nullptr)
            *whyNot = "the picture could not be made";
        return false;
    }
    if (!writeFileSafely (png, picture.getData(), picture.getDataSize(), whyNot))
        return false;
    const auto text = describe (processor.getPluginBank().getEditBufferRecord()).toStdString();
    return writeFileSafely (textFileFor (png), text.data(), text.size(), whyNot);
}

} // namespace kelvo
