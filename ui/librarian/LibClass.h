#pragma once

#include "librarian/StsFileListener.h"
#include "ui/librarian/CatListener.h"
#include "ui/librarian/LibBut.h"
#include "ui/librarian/textmsgListener.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

namespace kelvo
{
class MarvexAudioProcessor;
class CatContainer;
class LibPageHost;
class LibFindBar;
class LibSearchField;
class ProgramLibrary;
class SimpleLabel;
class StsFile;
class TextInputCont;
enum class LibraryDialog;
enum class SaveResult;

/**
    The library page: the program library's list, the category chooser with its counts, a name
    search, and the buttons and questions that load, save, clear, rename, delete and add programs.
    Choosing a row makes that program the current program at once (nothing is sent to the synth).

    A question that asks to save the library first replaces or clears it only once the save has
    succeeded: a cancelled or failed save leaves the library and the staged import as they were.
    Message thread only.
*/
class LibClass : public juce::Component,
                 private juce::ChangeListener,
                 private StsFileListener,
                 private CatListener,
                 private LibButListener,
                 private textmsgListener
{
public:
    /** Button ids, in the order the page holds them. */
    enum ButtonId
    {
        loadButton = 1319,
        saveButton = 1209,
        clearAllButton = 1205,
        applyButton = 1206,
        renameButton = 1203,
        deleteButton = 1204,
        addCurrentButton = 1207,
        doneButton = 1201,
        starButton = 1221,
        hideButton = 1222,
        similarButton = 1223,
        keepOneButton = 1224
    };
    /** How many entries SIMILAR lists. */
    static constexpr int similarCount = 20;
    /** LOAD menu items; synth bank b (0..7) is fromSynthBankItem + b. */
    enum LoadItem
    {
        fromLibraryFileItem = 200,
        fromProgramBankFileItem = 300,
        fromSynthBankItem = 100,
        fromPresetBankItem = 777
    };

    LibClass (MarvexAudioProcessor& processor, LibPageHost& host);
    ~LibClass() override;

    ProgramLibrary& getLibrary() noexcept { return *library; }
    StsFile& getList() noexcept { return *list; }
    CatContainer& getChooser() noexcept { return *chooser; }
    SimpleLabel& getFilterLabel() noexcept { return *filterLabel; }
    LibSearchField& getSearchField() noexcept { return *searchField; }
    LibFindBar& getFindBar() noexcept { return *findBar; }
    LibBut& getButton (int id) const;
    juce::Label& getHintLabel() noexcept { return hintLabel; }
    /** The question and prompt dialog, once it was first opened. */
    TextInputCont* getDialog() noexcept { return dialog.get(); }
    bool isDialogOpen() const noexcept;

    /** Lists the entries that sound nearest to the sound being edited: the selected entry, left
        out of the list, unless nothing is selected or the sound was edited since it was chosen. */
    void listSimilarSounds();
    /** Selects and shows the entry that holds the sound being edited, when the library has it and
        it is not the selected one already; lists every category when its own is not listed.
        Nothing is applied: the sound is already the current program. Called whenever the edit
        buffer changes (a program chosen on the synth, here or by the host). */
    void followEditBuffer();

    /** Reads the library kept between sessions (the first time the page is shown). */
    void loadDefaultFile();
    /** Shows the buttons that apply: SAVE and CLEAR ALL with rows, RENAME and DELETE with a
        selection; APPLY never. */
    void refreshButtons();

    juce::PopupMenu createLoadMenu() const;
    void loadMenuFinished (int result);

    /** Asks for a library file and saves the library there; afterSaving runs only when the library
        is safe on disk (or there was nothing to save). */
    void saveLibrary (std::function<void()> afterSaving);

    void paint (juce::Graphics& g) override;
    void resized() override;
    /** A press on the page itself lists the chosen category again. */
    void mouseDown (const juce::MouseEvent& e) override;

private:
    void changeListenerCallback (juce::ChangeBroadcaster*) override;
    void listNotification (int code, int value) override;
    void listDoubleClicked() override;
    void categoryChosen (int index) override;
    void libButClicked (LibBut& button, int id) override;
    void libButEntered (LibBut& button, int id) override;
    void libButLeft (LibBut& button, int id) override;
    void textAccepted (int code, int tag) override;
    void textDeclined (int code, int tag) override;
    void textCancelled (int code, int tag) override;

    void openDialog (LibraryDialog use, const juce::String& name = {}, int category = 0);
    void hideDialog();
    /** Replaces an empty library at once; otherwise asks whether to append. */
    void decideImport();
    void stageFromFile (int item, const juce::File& file);
    void report (SaveResult result);
    /** report, and how many staged programs an append left out as already in the library. */
    void reportImport (SaveResult result);
    /** "Untitled" for SAVE; a new, dated file for the copy kept before a replace or a clear. */
    juce::String suggestedSaveName (bool beforeReplacing) const;
    void refreshLabels();

    MarvexAudioProcessor& processor;
    LibPageHost& host;
    std::unique_ptr<ProgramLibrary> library;
    std::unique_ptr<StsFile> list;
    std::unique_ptr<CatContainer> chooser;
    std::unique_ptr<SimpleLabel> filterLabel;
    std::unique_ptr<LibSearchField> searchField;
    std::unique_ptr<LibFindBar> findBar;
    juce::String similarCaption; // the filter label while similar sounds are listed
    bool following = false;      // a selection made to follow the synth applies nothing
    juce::OwnedArray<LibBut> buttons;
    juce::Label hintLabel;
    std::unique_ptr<TextInputCont> dialog;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LibClass)
};

} // namespace kelvo
