#include "files/MidnamFile.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <set>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
midnam::BankNames someNames()
{
    midnam::BankNames names;
    for (int b = 0; b < synthbanks::numSynthBanks; ++b)
        for (int p = 0; p < 128; ++p)
            names[(size_t) b].add ("B" + juce::String (b) + " P" + juce::String (p) + "   ");
    return names;
}

/** Every element path and attribute that a document uses, as "A/B/C" and "A/B/C@attr". */
void collectShape (const juce::XmlElement& e, const juce::String& parent, std::set<juce::String>& shape)
{
    const auto path = parent.isEmpty() ? e.getTagName() : parent + "/" + e.getTagName();
    shape.insert (path);
    for (int i = 0; i < e.getNumAttributes(); ++i)
        shape.insert (path + "@" + e.getAttributeName (i));
    for (auto* child : e.getChildIterator())
        if (! child->isTextElement())
            collectShape (*child, path, shape);
}
} // namespace

TEST (MidnamFile, ListsEveryProgramOfTheEightBanksWithItsBankSelectAndProgramChange)
{
    auto names = someNames();
    names[0].set (5, "Arp & <Bass> \"1\"");
    names[6].set (127, {}); // a factory program whose name is not known

    const auto xml = juce::parseXML (midnam::makeDocument (names));
    ASSERT_NE (xml, nullptr);
    ASSERT_EQ (xml->getTagName(), "MIDINameDocument");
    auto* device = xml->getChildByName ("MasterDeviceNames");
    ASSERT_NE (device, nullptr);
    EXPECT_EQ (device->getChildElementAllSubText ("Model", {}), "Mopho x4");

    auto* nameSet = device->getChildByName ("ChannelNameSet");
    ASSERT_NE (nameSet, nullptr);
    int bank = 0;
    for (auto* patchBank : nameSet->getChildWithTagNameIterator ("PatchBank"))
    {
        auto* select = patchBank->getChildByName ("MIDICommands")->getChildByName ("ControlChange");
        ASSERT_NE (select, nullptr);
        EXPECT_EQ (select->getIntAttribute ("Control"), 32);
        EXPECT_EQ (select->getIntAttribute ("Value"), bank);

        int program = 0;
        for (auto* patch : patchBank->getChildByName ("PatchNameList")->getChildWithTagNameIterator ("Patch"))
        {
            EXPECT_EQ (patch->getIntAttribute ("ProgramChange", -1), program);
            ++program;
        }
        EXPECT_EQ (program, 128);
        ++bank;
    }
    EXPECT_EQ (bank, 8);

    auto patchAt = [&] (int b, int p)
    {
        auto* patchBank = nameSet->getChildElement (1 + b); // after AvailableForChannels
        return patchBank->getChildByName ("PatchNameList")->getChildElement (p)->getStringAttribute ("Name");
    };
    EXPECT_EQ (patchAt (0, 5), "U1:006 Arp & <Bass> \"1\""); // escaped on the way out, whole on the way in
    EXPECT_EQ (patchAt (2, 0), "U3:001 B2 P0");               // the padding is not part of the name
    EXPECT_EQ (patchAt (6, 127), "F3:128");
}

// Hosts read the format their own files use: whatever our file uses, some MIDNAM file that a host
// installs uses too (Ardour's, where it is installed).
TEST (MidnamFile, UsesOnlyElementsAndAttributesThatAHostsOwnFilesUse)
{
    const juce::File folder ("/usr/share/ardour7/patchfiles");
    const auto theirs = folder.findChildFiles (juce::File::findFiles, false, "*.midnam");
    if (theirs.isEmpty())
        GTEST_SKIP() << "no MIDNAM files of a host are installed here";

    std::set<juce::String> known;
    for (const auto& f : theirs)
        if (auto xml = juce::parseXML (f))
            collectShape (*xml, {}, known);

    std::set<juce::String> ours;
    collectShape (*juce::parseXML (midnam::makeDocument (someNames())), {}, ours);
    for (const auto& s : ours)
        EXPECT_TRUE (known.count (s) > 0) << s.toStdString();
}

TEST (MidnamFile, WritesTheDocumentSafely)
{
    TempFolder t;
    const auto file = t.folder.getChildFile (midnam::defaultFileName);
    juce::String why;
    ASSERT_TRUE (midnam::writeFile (file, someNames(), &why)) << why;
    EXPECT_EQ (file.loadFileAsString(), midnam::makeDocument (someNames()));

    // A folder where the file should be: the write fails with a reason and leaves it alone.
    const auto blocked = t.folder.getChildFile ("blocked.midnam");
    blocked.createDirectory();
    EXPECT_FALSE (midnam::writeFile (blocked, someNames(), &why));
    EXPECT_TRUE (why.isNotEmpty());
    EXPECT_TRUE (blocked.isDirectory());
}
