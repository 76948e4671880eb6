#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace renomiq {

class FileSystem;

// The list window's rules that need no window: status texts, captions, the
// popup menu's enabling and the paths its commands work on.

// "Select 2, total 10" with rows selected, else "10 Files".
std::string selectionStatus(std::size_t selected, std::size_t total);

// The caption the status timer gives the window.
std::string listWindowCaption(bool filesMode, std::size_t rows, bool folderBoxHasText);

// The label under the edit buttons.
std::string listModeLabel(bool filesMode);

// "Upper directory": the parent of the folder box text (trimmed, trailing '\'
// removed), up to and including its last '\' or ':'; empty when there is none.
std::string parentFolderOf(const std::string &boxText);

// "Copy filename": the row's name without its folder and without its extension.
std::string nameWithoutExtension(const std::string &rowText);

// Leading and trailing blanks and control characters removed.
std::string trimmedBox(const std::string &text);

// The full path of a row: the listed folder and the row's name in folder
// mode, the row's text in files mode.
std::string rowPath(bool filesMode, const std::string &folder, const std::string &rowText);

// Which items of the file list's popup menu are enabled.
struct PopupMenuState {
    bool addMore = false;
    bool deleteRows = false;
    bool anotherSession = false;
    bool selectAll = false; // also "Inverse select"
    bool clear = false;
    bool refresh = false;
    bool sortByName = false;
    bool oneSelected = false; // "Copy filename", "Open file", "Open folder", "Rename"
};
PopupMenuState popupMenuState(bool filesMode, std::size_t selected, std::size_t rows);

// The type list of the "Files" dialog, in its order: display text, then patterns.
struct FileTypeFilter {
    std::string text;
    std::string patterns;
};
const std::vector<FileTypeFilter> &filesDialogFilters();

} // namespace renomiq
