#include "ui/librarian/Plugin_Bank.h"

#include "files/FileMan.h"
#include "files/SafeFileRead.h"
#include "files/SafeFileWrite.h"
#include "host/MarvexAudioProcessor.h"
#include "host/SoundHistory.h"
#include "librarian/PresetFiles.h"
#include "model/SynthBanks.h"
#include "ui/librarian/LibPageHost.h"
#include "ui/librarian/LibPageStyle.h"
#include "ui/librarian/Plugin_File.h"
#include "ui/librarian/TextInputCont.h"
#include "ui/librarian/TextSetCurCont.h"
#include "ui/common/FileBrowser.h"

namespace kelvo
{
namespace
{
// In the page's order. The hints are the page's own texts, as the user has always read them.
const libpage::ButtonDef bankButtonDefs[] = {
    {"LOAD", Plugin_Bank::loadButton, "Load preset or preset bank from files."},
    {"SAVE", Plugin_Bank::saveButton, "Save th current preset or preset bank."},
    {"APPLY", Plugin_Bank::applyButton, "Apply the current preset from the preset bank."},
    {"RENAME", Plugin_Bank::renameButton, "Rename the current preset."},
    {"SET CURRENT", Plugin_Bank::setCurrentButton, "Import current preset to the preset bank."},
    {"DONE", Plugin_Bank::doneButton, ""},
};

using synthbanks::firstFactoryBank;
using synthbanks::numSynthBanks;
constexpr const char* untitledBankName = "Untitled";
constexpr const char* presetBankFileName = "Mopho X4 Preset Bank";
const juce::Rectangle<int> hiddenBankDialog{-100, -100, 50, 50};

} // namespace

Plugin_Bank::Plugin_Bank (MarvexAudioProcessor& p, LibPageHost& h) : processor (p), host (h)
{
    list = std::make_unique<Plugin_File> (processor.getPluginBank());
    list->addListener (this);
    addAndMakeVisible (*list);

    libpage::makeButtons (*this, buttons, bankButtonDefs, *this);
    getButton (applyButton).setVisible (false);

    libpage::setUpHintLabel (hintLabel);
    addAndMakeVisible (hintLabel);
    refreshButtons();
}

Plugin_Bank::~Plugin_Bank()
{
    list->removeListener (this);
}

LibBut& Plugin_Bank::getButton (int id) const
{
    return libpage::findButton (buttons, id);
}

int Plugin_Bank::currentSlot() const
{
    // The engine never holds a negative program; the clamp keeps it that way whatever a host does.
    return juce::jlimit (0, program::programsPerBank - 1, processor.getCurrentProgram());
}

//==============================================================================
void Plugin_Bank::showCurrentProgram()
{
    list->selectSilently (processor.getCurrentProgram());
    list->repaint();
    refreshButtons();
}

void Plugin_Bank::refreshButtons()
{
    libpage::showButton (getButton (loadButton), true);
    libpage::showButton (getButton (saveButton), true); // the list always has its 128 rows
    libpage::showButton (getButton (applyButton), false);
    libpage::showButton (getButton (renameButton), list->getSelectedPreset() >= 0);
    libpage::showButton (getButton (setCurrentButton), true);
    libpage::showButton (getButton (doneButton), true);
}

void Plugin_Bank::plugFileNotification (int, int)
{
    refreshButtons();
    applySelected();
}

void Plugin_Bank::applySelected()
{
    if (list->getSelectedPreset() < 0)
        return;
    processor.setCurrentProgram (list->getSelectedPreset());
    // The host shows the program chosen here as its current one.
    processor.updateHostDisplay (juce::AudioProcessor::ChangeDetails().withProgramChanged (true));
}

void Plugin_Bank::plugFileDoubleClicked()
{
    // As DONE: the manager's listener on the DONE button closes the window.
    getButton (doneButton).triggerClick();
}

//==============================================================================
void Plugin_Bank::libButClicked (LibBut&, int id)
{
    switch (id)
    {
    case loadButton:
        host.showMenu (createLoadMenu(), getButton (loadButton),
                       [safe = juce::Component::SafePointer<Plugin_Bank> (this)] (int r)
                       {
                           if (safe != nullptr)
                               safe->loadMenuFinished (r);
                       });
        break;
    case saveButton:
        host.showMenu (createSaveMenu(), getButton (saveButton),
                       [safe = juce::Component::SafePointer<Plugin_Bank> (this)] (int r)
                       {
                           if (safe != nullptr)
                               safe->saveMenuFinished (r);
                       });
        break;
    case applyButton:
        applySelected();
        break;
    case renameButton:
        openRenameDialog();
        break;
    case setCurrentButton:
        openSlotDialog();
        break;
    case doneButton:
        messageCode = doneMessageCode;
        sendChangeMessage();
        break;
    default:
        break;
    }
}

void Plugin_Bank::libButEntered (LibBut& button, int)
{
    hintLabel.setText (button.getHint(), juce::dontSendNotification);
}

void Plugin_Bank::libButLeft (LibBut&, int)
{
    hintLabel.setText ({}, juce::dontSendNotification);
}

//==============================================================================
void Plugin_Bank::cover (juce::Component& dialog)
{
    dialog.setBounds (getLocalBounds());
    dialog.setVisible (true);
    dialog.toFront (true);
}

void Plugin_Bank::hide (juce::Component& dialog)
{
    libpage::putAway (dialog, hiddenBankDialog);
}

void Plugin_Bank::openRenameDialog()
{
    const auto slot = list->getSelectedPreset();
    if (slot < 0)
        return;
    if (renameDialog == nullptr)
    {
        renameDialog = std::make_unique<TextInputCont>();
        renameDialog->addListener (this);
        addChildComponent (*renameDialog);
    }
    auto& bank = processor.getPluginBank();
    const auto name = bank.getProgramName (slot);
    renameDialog->open ("Rename " + name.trimEnd() + ":", name, "CANCEL", "OK", {},
                        bank.getProgramByte (slot, program::categoryIndex), renameButton, slot);
    renameDialog->showEditor (true);
    cover (*renameDialog);
}

void Plugin_Bank::textAccepted (int code, int slot)
{
    if (code != renameButton || renameDialog == nullptr || slot < 0 || slot >= program::programsPerBank)
        return;
    hide (*renameDialog);

    auto& bank = processor.getPluginBank();
    const auto text = renameDialog->getText();
    if (text.isNotEmpty())
        bank.setProgramName (slot, text);
    auto record = bank.getProgramRecord (slot);
    record[program::categoryIndex] = (uint8_t)renameDialog->getCategory();
    bank.setProgram (slot, record);

    // Renaming the slot being edited renames the sound too, or the next save of the edit buffer
    // would bring the old name and category back.
    if (slot == processor.getCurrentProgram())
    {
        auto edit = bank.getEditBufferRecord();
        copyNameAndCategory (record, edit);
        processor.getEngine().storeProgram (false, 0, 0, edit);
    }
    programsChanged();
}

void Plugin_Bank::textCancelled (int, int)
{
    if (renameDialog != nullptr)
        hide (*renameDialog);
}

void Plugin_Bank::openSlotDialog()
{
    if (slotDialog == nullptr)
    {
        slotDialog = std::make_unique<TextSetCurCont> (processor.getPluginBank());
        slotDialog->addListener (this);
        addChildComponent (*slotDialog);
    }
    auto name = processor.getPluginBank().getEditBufferName().trimEnd();
    if (name.isEmpty() || name.startsWith ("---"))
        name = untitledBankName;
    cover (*slotDialog);
    slotDialog->open (name, currentSlot());
}

void Plugin_Bank::setCurrentAccepted (int slot)
{
    if (slotDialog == nullptr)
        return;
    hide (*slotDialog);
    auto& bank = processor.getPluginBank();
    const auto name = slotDialog->getName().trim();
    bank.setProgram (slot, bank.getEditBufferRecord());
    bank.setProgramName (slot, name.isEmpty() ? juce::String (untitledBankName) : name);
    processor.setCurrentProgram (slot);
    programsChanged();
}

void Plugin_Bank::setCurrentCancelled()
{
    if (slotDialog != nullptr)
        hide (*slotDialog);
}

//==============================================================================
juce::PopupMenu Plugin_Bank::createLoadMenu() const
{
    auto& engine = processor.getEngine();
    juce::PopupMenu menu;
    menu.addItem (loadPresetItem, "Load Single Preset File");
    menu.addItem (loadPresetBankItem, "Load Preset Bank File");
    menu.addSeparator();
    menu.addItem (loadProgramBankItem, "Load Program Bank From File");
    for (int b = 0; b < numSynthBanks; ++b)
    {
        if (b == 0 || b == firstFactoryBank)
            menu.addSeparator();
        menu.addItem (loadSynthBankItem + b, "Load From " + engine.getSynthBank (b)->getBankName());
    }
    return menu;
}

void Plugin_Bank::loadMenuFinished (int result)
{
    using Load = bool (Plugin_Bank::*) (const juce::File&);
    const struct
    {
        int item, dialogType;
        Load load;
    } fileLoads[] = {{loadPresetItem, filedialog::fxPreset, &Plugin_Bank::loadPresetFile},
                     {loadPresetBankItem, filedialog::fxBank, &Plugin_Bank::loadPresetBankFile},
                     {loadProgramBankItem, filedialog::bank, &Plugin_Bank::loadProgramBankFile}};

    for (const auto& f : fileLoads)
        if (f.item == result)
            host.getFileBrowser().browseForOpen (f.dialogType,
                                                 [safe = juce::Component::SafePointer<Plugin_Bank> (this),
                                                  load = f.load] (const juce::File& file)
                                                 {
                                                     if (safe != nullptr)
                                                         (safe.getComponent()->*load) (file);
                                                 });
    if (result >= loadSynthBankItem && result < loadSynthBankItem + numSynthBanks)
        loadSynthBank (result - loadSynthBankItem);
    list->repaint();
    refreshButtons();
}

bool Plugin_Bank::loadPresetFile (const juce::File& file)
{
    const auto record = readChosenFile (file, presetfile::readPresetFile, "No Mopho preset in ");
    if (!record.has_value())
        return false;
    const auto chunk = makeProgramChunk (*record);
    processor.setCurrentProgramStateInformation (chunk.getData(), (int)chunk.getSize());
    programsChanged();
    return true;
}

bool Plugin_Bank::loadPresetBankFile (const juce::File& file)
{
    const auto programs = readChosenFile (file, presetfile::readBankFile, "No Mopho preset bank in ");
    if (!programs.has_value())
        return false;
    replaceSlots (*programs);
    return true;
}

bool Plugin_Bank::loadProgramBankFile (const juce::File& file)
{
    FileMan fileMan;
    const auto status = fileMan.loadProgramBank (file);
    if (status != FileMan::ReadStatus::ok)
    {
        host.showMessage (fileMan.describeProblem (status, file, "No Mopho programs in " + file.getFileName()));
        return false;
    }
    const auto& dumps = fileMan.getLoadedDumps();
    Bank_Program loaded ("Loaded");
    loaded.initialise();
    loaded.loadFromDumps (dumps.dumps);
    const auto all = loaded.getAllPrograms();
    replaceSlots (juce::MemoryBlock (all.getData(), (size_t)dumps.count * (size_t)program::recordSize),
                  FileMan::describeFirstBankTaken (file, fileMan.getAllDumps().count));
    return true;
}

void Plugin_Bank::loadSynthBank (int bank)
{
    if (const auto* source = processor.getEngine().getSynthBank (bank))
        replaceSlots (source->getAllPrograms());
}

template <typename Reader>
auto Plugin_Bank::readChosenFile (const juce::File& file, Reader read, const juce::String& notFound)
    -> decltype (read (nullptr, 0))
{
    // Anything far larger than a preset file is refused unread.
    const auto found = readFileSafely (file, presetfile::maxFileSize);
    if (!found.isOk())
    {
        host.showMessage (describeUnreadFile (file, found));
        return std::nullopt;
    }
    auto result = read (found.bytes.getData(), found.bytes.getSize());
    if (!result.has_value())
        host.showMessage (notFound + file.getFileName());
    return result;
}

void Plugin_Bank::replaceSlots (const juce::MemoryBlock& programs, const juce::String& note)
{
    const auto count =
        (int)juce::jmin ((size_t)program::programsPerBank, programs.getSize() / (size_t)program::recordSize);
    if (count == 0)
        return;
    auto question = "Replace " + juce::String (count) + (count == 1 ? " preset?" : " presets?");
    if (note.isNotEmpty())
        question << "\n" << note;
    host.askQuestion (question,
                      [safe = juce::Component::SafePointer<Plugin_Bank> (this), programs, count]
                      {
                          if (safe == nullptr)
                              return;
                          auto& owner = safe->processor;
                          owner.getHistory().recordPresetSlots (
                              "Load " + juce::String (count) + " presets",
                              [&]
                              {
                                  auto& bank = owner.getPluginBank();
                                  const auto* bytes = static_cast<const uint8_t*> (programs.getData());
                                  for (int n = 0; n < count; ++n)
                                      bank.setProgram (n, bytes + (size_t)n * (size_t)program::recordSize,
                                                       (size_t)program::recordSize);
                                  // The sound being edited follows its slot, so that saving it cannot
                                  // copy the old sound back over what was just loaded. Nothing is sent
                                  // to the synth.
                                  owner.getEngine().loadCurrentPluginProgram();
                              });
                          safe->programsChanged();
                      });
}

void Plugin_Bank::programsChanged()
{
    processor.updateHostDisplay (juce::AudioProcessor::ChangeDetails().withProgramChanged (true));
    list->repaint();
    refreshButtons();
}

//==============================================================================
juce::PopupMenu Plugin_Bank::createSaveMenu() const
{
    const auto name = processor.getPluginBank().getProgramName (currentSlot()).trimEnd();
    juce::PopupMenu menu;
    menu.addItem (savePresetItem, "Save " + name + " Preset as");
    menu.addItem (savePresetBankItem, "Save Preset Bank as");
    return menu;
}

void Plugin_Bank::saveMenuFinished (int result)
{
    auto& bank = processor.getPluginBank();
    if (result == savePresetItem)
    {
        // The host's program chunk: it also stores the edit buffer into the current slot.
        juce::MemoryBlock chunk;
        processor.getCurrentProgramStateInformation (chunk);
        saveFile (filedialog::saveFxPreset, FileMan::suggestedFileName (bank.getProgramName (currentSlot())),
                  chunk);
        list->repaint();
    }
    else if (result == savePresetBankItem)
    {
        saveFile (filedialog::saveFxBank, presetBankFileName,
                  presetfile::makeBankFile (bank.getAllPrograms()));
    }
    refreshButtons();
}

void Plugin_Bank::saveFile (int dialogType, const juce::String& suggestedName,
                            const juce::MemoryBlock& content)
{
    juce::Component::SafePointer<Plugin_Bank> safe (this);
    host.getFileBrowser().browseForSave (dialogType, suggestedName,
                                         [safe, content] (const juce::File& file)
                                         {
                                             juce::String why;
                                             if (!writeFileSafely (file, content, &why) && safe != nullptr)
                                                 safe->host.showMessage (
                                                     "Could not write " + file.getFileName() +
                                                     (why.isNotEmpty() ? ": " + why : juce::String()));
                                         });
}

//==============================================================================
void Plugin_Bank::paint (juce::Graphics& g)
{
    libpage::paintPageBackground (g, getWidth());
}

void Plugin_Bank::resized()
{
    const int w = getWidth(), h = getHeight();
    list->setBounds (libpage::listX, libpage::listY, libpage::listWidth,
                     libpage::listRows * LibListBox::rowHeight);
    const int x = w - libpage::buttonColumnFromRight;
    getButton (loadButton).place (x, 10);
    getButton (saveButton).place (x, 50);
    getButton (setCurrentButton).place (x, h - 170);
    getButton (renameButton).place (x, h - 130);
    getButton (doneButton).place (x, h - 40);
    getButton (applyButton).place (-x, h - 90);
    hintLabel.setBounds (400, h - 30, libpage::hintWidth, libpage::hintHeight);
    for (juce::Component* dialog : {(juce::Component*)renameDialog.get(), (juce::Component*)slotDialog.get()})
        if (dialog != nullptr && dialog->isVisible())
            dialog->setBounds (getLocalBounds());
    refreshButtons();
}

} // namespace kelvo
