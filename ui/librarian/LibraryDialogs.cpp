#include "ui/librarian/LibraryDialogs.h"

#include "ui/librarian/TextInputCont.h"

namespace kelvo
{

void openLibraryDialog (TextInputCont& dialog, LibraryDialog use, const juce::String& name, int category)
{
    using namespace librarydialog;
    const auto none = TextInputCont::noCategory;
    bool prompt = false;
    // A name padded to its sixteen characters would leave a gap in the question; the editor keeps it whole.
    const auto shownName = name.trimEnd();

    switch (use)
    {
    case LibraryDialog::appendPrograms:
        dialog.open ("Append Programs?", {}, "CANCEL", "YES", "NO", none, appendCode, appendTag);
        break;
    case LibraryDialog::saveBeforeImport:
        dialog.open ("Save the Current Library?", {}, "CANCEL", "YES", "NO", none, appendCode, saveTag);
        break;
    case LibraryDialog::saveBeforeClear:
        dialog.open ("Save Current Library?", {}, "CANCEL", "YES", "NO", none, saveBeforeClearCode, saveTag);
        break;
    case LibraryDialog::deleteEntry:
        dialog.open ("Delete " + shownName + " ?", {}, "CANCEL", "OK", {}, none, deleteCode, 0);
        break;
    case LibraryDialog::renameEntry:
        dialog.open ("Rename " + shownName + ":", name, "CANCEL", "OK", {}, category, renameCode, 0);
        prompt = true;
        break;
    case LibraryDialog::programName:
        dialog.open ("Program name:", name, "CANCEL", "OK", {}, category, programNameCode, 0);
        prompt = true;
        break;
    case LibraryDialog::alreadyInLibrary:
        // The single OK is the NO button, so that it stands in the middle.
        dialog.open (shownName + " Program already exists in the library.", {}, {}, {}, "OK", none,
                     messageCode, 0);
        break;
    case LibraryDialog::keepOneOfEach:
        // name: how many copies a keep would delete, in words.
        dialog.open ("Keep one of each sound? " + name + " will be deleted.", {}, "CANCEL", "OK", {}, none,
                     keepOneCode, 0);
        break;
    }
    dialog.showEditor (prompt);
}

} // namespace kelvo
