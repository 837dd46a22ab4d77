#include "ui/common/FileBrowser.h"

#include "files/FileMan.h"
#include "link/MidiCntrState.h"

namespace kelvo
{
FileBrowser::FileBrowser (MidiCntrState& e, Confirm c) : engine (e), confirm (std::move (c))
{
    chooser = [this] (int type, const juce::File& start, const juce::String& name, Picked answer)
    { launchNativeChooser (type, start, name, std::move (answer)); };
}

FileBrowser::~FileBrowser()
{
    *alive = false;
}

juce::File FileBrowser::startFolder (int type) const
{
    const auto setting = FileMan::folderSetting (type);
    if (setting >= 0)
    {
        const auto remembered = engine.getSetting (setting);
        if (juce::File::isAbsolutePath (remembered) && juce::File (remembered).isDirectory())
            return juce::File (remembered);
    }
    // Never the settings folder, which is hidden and holds the files the editor keeps for itself.
    const auto documents = juce::File::getSpecialLocation (juce::File::userDocumentsDirectory);
    return documents.isDirectory() ? documents : juce::File::getSpecialLocation (juce::File::userHomeDirectory);
}

void FileBrowser::rememberFolder (int type, const juce::File& file)
{
    const auto setting = FileMan::folderSetting (type);
    if (setting >= 0)
        engine.setSetting (setting, file.getParentDirectory().getFullPathName());
}

void FileBrowser::browseForOpen (int type, Picked picked)
{
    std::weak_ptr<bool> weakAlive = alive;
    chooser (type, startFolder (type), {},
             [this, weakAlive, type, picked] (const juce::File& file)
             {
                 if (weakAlive.expired() || !file.existsAsFile())
                     return;
                 rememberFolder (type, file);
                 picked (file);
             });
}

void FileBrowser::browseForSave (int type, const juce::String& suggestedName, Picked picked, Refuse refuse)
{
    std::weak_ptr<bool> weakAlive = alive;
    chooser (type, startFolder (type), suggestedName,
             [this, weakAlive, type, picked, refuse] (const juce::File& chosen)
             {
                 if (weakAlive.expired() || chosen == juce::File())
                     return;
                 const auto file = FileMan::completeExtension (chosen, type);
                 rememberFolder (type, file);
                 if (refuse != nullptr && refuse (file))
                     return;
                 if (file.exists())
                     confirm ("Replace \"" + file.getFileName() + "\"?", [picked, file] { picked (file); });
                 else
                     picked (file);
             });
}

void FileBrowser::launchNativeChooser (int type, const juce::File& start, const juce::String& suggestedName,
                                       Picked answer)
{
    const auto isSave = type >= filedialog::saveOffset;
    const auto kind = FileMan::dialogType (type);
    nativeChooser = std::make_unique<juce::FileChooser> (
        kind.title, isSave ? start.getChildFile (suggestedName) : start, FileMan::filterText (type));
    // The overwrite question comes after the extension is completed, so the chooser does not ask it.
    const auto flags = juce::FileBrowserComponent::canSelectFiles |
                       (isSave ? juce::FileBrowserComponent::saveMode : juce::FileBrowserComponent::openMode);
    nativeChooser->launchAsync (flags, [answer] (const juce::FileChooser& fc) { answer (fc.getResult()); });
}

} // namespace kelvo
