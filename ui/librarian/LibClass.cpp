#include "ui/librarian/LibClass.h"

#include "files/FileMan.h"
#include "host/MarvexAudioProcessor.h"
#include "librarian/LibraryStore.h"
#include "librarian/ProgramLibrary.h"
#include "model/SynthBanks.h"
#include "ui/librarian/CatContainer.h"
#include "host/EditBufferChanges.h"
#include "ui/librarian/LibFindBar.h"
#include "ui/librarian/LibPageHost.h"
#include "ui/librarian/LibPageStyle.h"
#include "ui/librarian/LibSearchField.h"
#include "ui/librarian/LibraryDialogs.h"
#include "ui/librarian/SimpleLabel.h"
#include "ui/librarian/StsFile.h"
#include "ui/librarian/TextInputCont.h"
#include "ui/common/FileBrowser.h"

namespace kelvo
{
namespace
{
const libpage::ButtonDef buttonDefs[] = {
    {"LOAD", LibClass::loadButton, "Load Library or Bank Files"},
    {"SAVE", LibClass::saveButton, "Save Library File"},
    {"CLEAR ALL", LibClass::clearAllButton, "Remove all items from Library"},
    {"APPLY", LibClass::applyButton, "Apply selected program and set as the current program"},
    {"RENAME", LibClass::renameButton, "Rename selected program in the Library"},
    {"DELETE", LibClass::deleteButton, "Delete selected program from the Library"},
    {"ADD CURRENT", LibClass::addCurrentButton, "Add the current program to the Library"},
    {"DONE", LibClass::doneButton, ""},
    {"STAR", LibClass::starButton, "Star the selected sound as a favourite, or take its star away"},
    {"HIDE", LibClass::hideButton, "Hide the selected sound from the list, or show it again"},
    {"SIMILAR", LibClass::similarButton,
     "List the sounds nearest to the selected one, or to the current program when none is selected"},
    {"KEEP ONE", LibClass::keepOneButton, "Keep one of each sound the library holds more than once"},
};

constexpr float filterFontHeight = 16.0f;
using synthbanks::firstFactoryBank;
using synthbanks::numSynthBanks;
constexpr const char* untitledName = "Untitled";
const juce::Rectangle<int> hiddenDialog{-100, -100, 50, 50};
const juce::Rectangle<int> filterLabelBounds{400, 16, 200, 20};
const juce::Rectangle<int> searchFieldBounds{400, 60, 280, 24};
const juce::Rectangle<int> findBarBounds{400, 98, 440, 26};
const juce::Rectangle<int> chooserBounds{400, 140, 440, 380};
constexpr int starY = 150, hideY = 190, similarY = 230, keepOneY = 270;

juce::String copiesText (int n)
{
    return n == 1 ? juce::String ("1 copy") : juce::String (n) + " copies";
}
} // namespace

LibClass::LibClass (MarvexAudioProcessor& p, LibPageHost& h) : processor (p), host (h)
{
    // The library is read from its file only when the page is first shown (loadDefaultFile).
    library = std::make_unique<ProgramLibrary> (
        ProgramLibrary::defaultFileIn (processor.getEngine().getSettingsFolder()), processor.getPluginBank(),
        [&p] (const juce::MemoryBlock& chunk)
        {
            p.setCurrentProgramStateInformation (chunk.getData(), (int)chunk.getSize());
            // The current slot now holds the entry: the host lists its name.
            p.updateHostDisplay (juce::AudioProcessor::ChangeDetails().withProgramChanged (true));
        },
        [&h] (const juce::String& text) { h.showMessage (text); });

    list = std::make_unique<StsFile> (library->getStore());
    list->addListener (this);
    addAndMakeVisible (*list);

    filterLabel =
        std::make_unique<SimpleLabel> (filterFontHeight, juce::Font::bold, juce::Colour (libpage::background),
                                       juce::Justification::centredLeft);
    addAndMakeVisible (*filterLabel);

    searchField = std::make_unique<LibSearchField> (library->getStore());
    addAndMakeVisible (*searchField);

    findBar = std::make_unique<LibFindBar> (library->getStore());
    addAndMakeVisible (*findBar);

    chooser = std::make_unique<CatContainer>();
    chooser->addListener (this);
    addAndMakeVisible (*chooser);

    libpage::makeButtons (*this, buttons, buttonDefs, *this);
    getButton (applyButton).setVisible (false);

    libpage::setUpHintLabel (hintLabel);
    addAndMakeVisible (hintLabel);
    refreshLabels();
    refreshButtons();
    processor.getEditBufferChanges().addChangeListener (this);
}

LibClass::~LibClass()
{
    processor.getEditBufferChanges().removeChangeListener (this);
    chooser->removeListener (this);
    list->removeListener (this);
    list.reset();
    searchField.reset();
    findBar.reset();
    // The library writes anything not yet on disk as it goes.
    library.reset();
}

LibBut& LibClass::getButton (int id) const
{
    return libpage::findButton (buttons, id);
}

bool LibClass::isDialogOpen() const noexcept
{
    return dialog != nullptr && dialog->isVisible();
}

void LibClass::loadDefaultFile()
{
    library->loadDefaultFile();
}

//==============================================================================
void LibClass::refreshButtons()
{
    const auto& store = library->getStore();
    const bool hasRows = store.getNumRows() > 0;
    const bool selected = store.hasValidSelection();
    libpage::showButton (getButton (loadButton), true);
    libpage::showButton (getButton (saveButton), hasRows);
    libpage::showButton (getButton (clearAllButton), hasRows);
    libpage::showButton (getButton (applyButton), false);
    libpage::showButton (getButton (renameButton), selected);
    libpage::showButton (getButton (deleteButton), selected);
    libpage::showButton (getButton (addCurrentButton), true);
    libpage::showButton (getButton (doneButton), true);

    const auto entry = store.getSelectedEntry();
    getButton (starButton)
        .setCaption (selected && store.hasMark (entry, LibraryStore::Mark::favourite) ? "UNSTAR" : "STAR");
    getButton (hideButton)
        .setCaption (selected && store.hasMark (entry, LibraryStore::Mark::hidden) ? "UNHIDE" : "HIDE");
    libpage::showButton (getButton (starButton), selected);
    libpage::showButton (getButton (hideButton), selected);
    libpage::showButton (getButton (similarButton), store.getNumEntries() > 0);
    libpage::showButton (getButton (keepOneButton), store.isDuplicatesOnly() && hasRows);
}

void LibClass::refreshLabels()
{
    const auto& store = library->getStore();
    for (int i = 0; i < CatContainer::listAllKey; ++i)
    {
        const auto count = store.getCategoryCount (i);
        chooser->setLabelText (i, count > 0 ? juce::String (count) : juce::String());
    }
    chooser->setLabelText (CatContainer::listAllKey, "Size: " + juce::String (store.getNumEntries()));
    filterLabel->setText (store.isListingSimilar() ? similarCaption : library->getFilterLabel());
}

void LibClass::changeListenerCallback (juce::ChangeBroadcaster*)
{
    followEditBuffer();
}

void LibClass::followEditBuffer()
{
    auto& store = library->getStore();
    const auto sound = processor.getPluginBank().getEditBufferRecord();
    const auto key = LibraryMarks::soundKey (sound.data());
    if (store.hasValidSelection() && store.soundKeyOf (store.getSelectedEntry()) == key)
        return;
    const auto entry = store.findSound (sound.data());
    if (entry < 0)
        return;

    const juce::ScopedValueSetter<bool> quietly (following, true);
    if (!store.selectEntry (entry))
    {
        library->chooseCategory (ProgramLibrary::listAllButton);
        refreshLabels();
        if (!store.selectEntry (entry))
            return; // the search or a mark keeps it out of the list
    }
    list->scrollTo (juce::jmax (0, store.getSelectedRow() - list->getRowsPerPage() / 2));
}

void LibClass::listSimilarSounds()
{
    auto& store = library->getStore();
    if (store.getNumEntries() == 0)
        return;
    // A chosen entry is the sound being edited until the user edits it: then the edits count.
    const auto edited = processor.getPluginBank().getEditBufferRecord();
    if (store.hasValidSelection() &&
        store.soundKeyOf (store.getSelectedEntry()) == LibraryMarks::soundKey (edited.data()))
    {
        const auto entry = store.getSelectedEntry();
        similarCaption = "Like " + store.entryName (entry).trimEnd();
        store.listSimilar (store.getEntry (entry), similarCount, entry);
    }
    else
    {
        similarCaption = "Like the current program";
        store.listSimilar (edited.data(), similarCount);
    }
    refreshLabels();
}

void LibClass::listNotification (int code, int)
{
    if (code == listcode::marksChanged || following)
    {
        refreshButtons(); // the rows and the sound stay as they are
        return;
    }
    if (code == listcode::listRebuilt)
        refreshLabels();
    refreshButtons();
    // A chosen row becomes the current program at once; after a rebuild nothing is selected.
    library->applySelected();
}

void LibClass::listDoubleClicked()
{
    getButton (doneButton).triggerClick();
}

void LibClass::categoryChosen (int index)
{
    library->chooseCategory (index);
    refreshLabels();
}

void LibClass::mouseDown (const juce::MouseEvent& e)
{
    if (e.eventComponent != this)
        return;
    library->showFilterCategory();
    refreshLabels();
}

void LibClass::report (SaveResult)
{
    // A failed save of the default file has been told by the library, with the system's reason.
    refreshButtons();
}

void LibClass::reportImport (SaveResult result)
{
    report (result);
    if (const auto skipped = library->getNumSkippedByLastImport(); skipped > 0)
        host.showMessage ("Added " + juce::String (library->getStore().getNumStaged() - skipped) + " programs; " +
                          juce::String (skipped) + " already in the library were not added again");
}

//==============================================================================
void LibClass::libButClicked (LibBut&, int id)
{
    auto& store = library->getStore();
    switch (id)
    {
    case loadButton:
        host.showMenu (createLoadMenu(), getButton (loadButton),
                       [safe = juce::Component::SafePointer<LibClass> (this)] (int r)
                       {
                           if (safe != nullptr)
                               safe->loadMenuFinished (r);
                       });
        break;
    case saveButton:
        saveLibrary (nullptr);
        break;
    case clearAllButton:
        if (store.getNumEntries() > 0)
            openDialog (LibraryDialog::saveBeforeClear);
        else
            report (library->clearAll());
        break;
    case applyButton:
        library->applySelected();
        break;
    case renameButton:
        if (store.hasValidSelection())
            openDialog (LibraryDialog::renameEntry, store.entryName (store.getSelectedEntry()),
                        store.getEntry (store.getSelectedEntry())[program::categoryIndex]);
        break;
    case deleteButton:
        if (store.hasValidSelection())
            openDialog (LibraryDialog::deleteEntry, store.entryName (store.getSelectedEntry()));
        break;
    case addCurrentButton:
    {
        const auto& bank = processor.getPluginBank();
        const auto name = bank.getEditBufferName().trimEnd();
        if (library->isCurrentProgramInLibrary())
            openDialog (LibraryDialog::alreadyInLibrary, name);
        else
            openDialog (LibraryDialog::programName, name, bank.getEditBufferByte (program::categoryIndex));
        break;
    }
    case starButton:
    case hideButton:
        if (store.hasValidSelection())
            library->toggleMark (store.getSelectedEntry(), id == starButton ? LibraryStore::Mark::favourite
                                                                            : LibraryStore::Mark::hidden);
        break;
    case similarButton:
        listSimilarSounds();
        break;
    case keepOneButton:
    {
        int copies = 0;
        for (const auto& group : store.findDuplicateGroups())
            copies += (int)group.size() - 1;
        if (copies > 0)
            openDialog (LibraryDialog::keepOneOfEach, copiesText (copies));
        break;
    }
    default:
        break; // DONE belongs to the window
    }
    refreshButtons();
}

void LibClass::libButEntered (LibBut& button, int)
{
    hintLabel.setText (button.getHint(), juce::dontSendNotification);
}

void LibClass::libButLeft (LibBut&, int)
{
    hintLabel.setText ({}, juce::dontSendNotification);
}

//==============================================================================
juce::PopupMenu LibClass::createLoadMenu() const
{
    auto& engine = processor.getEngine();
    juce::PopupMenu menu;
    menu.addItem (fromLibraryFileItem, "From Library File");
    menu.addItem (fromProgramBankFileItem, "From Program Bank File");
    for (int b = 0; b < numSynthBanks; ++b)
    {
        if (b == 0 || b == firstFactoryBank)
            menu.addSeparator();
        menu.addItem (fromSynthBankItem + b, engine.getSynthBank (b)->getBankName());
    }
    menu.addSeparator();
    menu.addItem (fromPresetBankItem, "Import from FX Preset Bank");
    return menu;
}

void LibClass::loadMenuFinished (int result)
{
    auto& engine = processor.getEngine();
    if (result == fromLibraryFileItem || result == fromProgramBankFileItem)
    {
        library->getStore().clearImport();
        juce::Component::SafePointer<LibClass> safe (this);
        host.getFileBrowser().browseForOpen (result == fromLibraryFileItem ? filedialog::library
                                                                           : filedialog::bank,
                                             [safe, result] (const juce::File& file)
                                             {
                                                 if (safe != nullptr)
                                                     safe->stageFromFile (result, file);
                                             });
    }
    else if (result == fromPresetBankItem)
    {
        library->stageBank (processor.getPluginBank());
        decideImport();
    }
    else if (result >= fromSynthBankItem && result < fromSynthBankItem + numSynthBanks)
    {
        library->stageBank (*engine.getSynthBank (result - fromSynthBankItem));
        decideImport();
    }
    refreshButtons();
}

void LibClass::stageFromFile (int item, const juce::File& file)
{
    if (item == fromLibraryFileItem)
    {
        const auto result = library->stageLibraryFile (file);
        if (result != ProgramLibrary::ImportResult::staged)
        {
            host.showMessage (ProgramLibrary::describe (result, file));
            return;
        }
    }
    else
    {
        FileMan fileMan;
        const auto status = fileMan.loadProgramBank (file);
        const auto staged =
            status == FileMan::ReadStatus::ok
                ? library->stageProgramDumps (fileMan.getAllDumps().dumps, fileMan.getAllDumps().count)
                : ProgramLibrary::ImportResult::unreadable;
        if (staged != ProgramLibrary::ImportResult::staged)
        {
            const auto noPrograms = "No Mopho programs in " + file.getFileName();
            host.showMessage (status == FileMan::ReadStatus::ok ? noPrograms
                                                                : fileMan.describeProblem (status, file, noPrograms));
            return;
        }
    }
    decideImport();
}

void LibClass::decideImport()
{
    if (library->getStore().getNumStaged() == 0)
        return;
    if (library->getStore().getNumEntries() == 0)
        reportImport (library->commitImport (false));
    else
        openDialog (LibraryDialog::appendPrograms);
    refreshButtons();
}

juce::String LibClass::suggestedSaveName (bool beforeReplacing) const
{
    if (!beforeReplacing)
        return untitledName;
    // A copy kept before the library is replaced gets a new file of its own, named by the day.
    const auto folder = host.getFileBrowser().startFolder (filedialog::saveLibrary);
    const auto dated = "Library " + juce::Time::getCurrentTime().formatted ("%Y-%m-%d");
    auto name = dated;
    for (int n = 2; FileMan::completeExtension (folder.getChildFile (name), filedialog::saveLibrary).exists(); ++n)
        name = dated + " (" + juce::String (n) + ")";
    return name;
}

void LibClass::saveLibrary (std::function<void()> afterSaving)
{
    juce::Component::SafePointer<LibClass> safe (this);
    const auto refuseDefaultFile = [safe] (const juce::File& file)
    {
        if (safe == nullptr || !safe->library->isDefaultFile (file))
            return false;
        safe->host.showMessage (file.getFileName() + " is the library itself: save the copy under another name. "
                                                     "The library was not changed");
        return true;
    };
    host.getFileBrowser().browseForSave (filedialog::saveLibrary, suggestedSaveName (afterSaving != nullptr),
                                         [safe, afterSaving] (const juce::File& file)
                                         {
                                             if (safe == nullptr)
                                                 return;
                                             juce::String whyNot;
                                             if (safe->library->saveToFile (file, &whyNot) == SaveResult::failed)
                                             {
                                                 safe->host.showMessage ("Could not write " + file.getFileName() +
                                                                         " (" + whyNot +
                                                                         "): the library was not changed");
                                                 return;
                                             }
                                             if (afterSaving != nullptr)
                                                 afterSaving();
                                             safe->refreshButtons();
                                         },
                                         refuseDefaultFile);
}

//==============================================================================
void LibClass::openDialog (LibraryDialog use, const juce::String& name, int category)
{
    if (dialog == nullptr)
    {
        dialog = std::make_unique<TextInputCont>();
        dialog->addListener (this);
        addChildComponent (*dialog);
    }
    dialog->setBounds (getLocalBounds());
    openLibraryDialog (*dialog, use, name, category);
    dialog->setVisible (true);
    dialog->toFront (true);
}

void LibClass::hideDialog()
{
    if (dialog != nullptr)
        libpage::putAway (*dialog, hiddenDialog);
}

void LibClass::textAccepted (int code, int tag)
{
    using namespace librarydialog;
    juce::Component::SafePointer<LibClass> safe (this);
    if (code == programNameCode)
    {
        report (library->addCurrentProgram (dialog->getText(), dialog->getCategory()));
        hideDialog();
        return;
    }

    hideDialog();
    if (code == appendCode && tag == appendTag)
        reportImport (library->commitImport (true));
    else if (code == appendCode && tag == saveTag)
        saveLibrary (
            [safe]
            {
                if (safe != nullptr)
                    safe->reportImport (safe->library->commitImport (false));
            });
    else if (code == saveBeforeClearCode)
        saveLibrary (
            [safe]
            {
                if (safe != nullptr)
                    safe->report (safe->library->clearAll());
            });
    else if (code == deleteCode)
        report (library->deleteSelected());
    else if (code == renameCode)
        report (library->renameSelected (dialog->getText(), dialog->getCategory()));
    else if (code == keepOneCode)
    {
        library->keepOneOfEachSound();
        refreshButtons();
    }
    refreshLabels();
}

void LibClass::textDeclined (int code, int tag)
{
    using namespace librarydialog;
    hideDialog();
    if (code == appendCode && tag == appendTag)
        openDialog (LibraryDialog::saveBeforeImport);
    else if (code == appendCode && tag == saveTag)
        reportImport (library->commitImport (false));
    else if (code == saveBeforeClearCode)
        report (library->clearAll());
    refreshLabels();
}

void LibClass::textCancelled (int, int)
{
    hideDialog();
}

//==============================================================================
void LibClass::paint (juce::Graphics& g)
{
    libpage::paintPageBackground (g, getWidth());
}

void LibClass::resized()
{
    const int w = getWidth(), h = getHeight();
    list->setBounds (libpage::listX, libpage::listY, libpage::listWidth,
                     libpage::listRows * LibListBox::rowHeight);
    filterLabel->setBounds (filterLabelBounds);
    searchField->setBounds (searchFieldBounds);
    findBar->setBounds (findBarBounds);
    chooser->setBounds (chooserBounds);

    const int x = w - libpage::buttonColumnFromRight;
    getButton (loadButton).place (x, 10);
    getButton (saveButton).place (x, 50);
    getButton (clearAllButton).place (x, 90);
    getButton (addCurrentButton).place (x, h - 210);
    getButton (deleteButton).place (x, h - 170);
    getButton (renameButton).place (x, h - 130);
    getButton (doneButton).place (x, h - 40);
    getButton (starButton).place (x, starY);
    getButton (hideButton).place (x, hideY);
    getButton (similarButton).place (x, similarY);
    getButton (keepOneButton).place (x, keepOneY);
    getButton (applyButton).place (-x, h - 90);
    hintLabel.setBounds (400, h - 30, libpage::hintWidth, libpage::hintHeight);
    if (isDialogOpen())
        dialog->setBounds (getLocalBounds());
    refreshButtons();
}

} // namespace kelvo
