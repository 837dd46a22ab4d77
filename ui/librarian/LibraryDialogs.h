#pragma once

#include <juce_core/juce_core.h>

namespace kelvo
{
class TextInputCont;

/** The questions and prompts of the library page, each with its message, buttons, and the
    (code, tag) its answers come back with. */
enum class LibraryDialog
{
    appendPrograms,   // "Append Programs?" YES / NO / CANCEL
    saveBeforeImport, // "Save the Current Library?" before an import replaces it
    saveBeforeClear,  // "Save Current Library?" before CLEAR ALL
    deleteEntry,      // "Delete <name> ?"
    renameEntry,      // "Rename <name>:" with the editor and the category box
    programName,      // "Program name:" for ADD CURRENT, with the editor and the category box
    alreadyInLibrary, // "<name> Program already exists in the library." with a single OK
    keepOneOfEach     // "Keep one of each sound?" naming how many copies go, OK / CANCEL
};

namespace librarydialog
{
constexpr int appendCode = 256, appendTag = 5;
constexpr int saveTag = 6;
constexpr int saveBeforeClearCode = 768;
constexpr int deleteCode = 1024;
constexpr int renameCode = 1280;
constexpr int programNameCode = 1536;
constexpr int messageCode = 0;
constexpr int keepOneCode = 1792;
} // namespace librarydialog

/** Opens the dialog for a use: its message (with the entry's name where it has one), captions,
    editor and category box. name is the 16-character stored name or the edit buffer's name;
    category is shown by the uses that ask for one. Message thread. */
void openLibraryDialog (TextInputCont& dialog, LibraryDialog use, const juce::String& name = {},
                        int category = 0);

} // namespace kelvo
