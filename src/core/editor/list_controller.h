#pragma once

#include "engine/edit_kind.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace renomiq {

class FileList;
class FileSystem;
class Prompter;
struct OpenFilesRequest;
struct TargetSet;

// What the list window's decisions read and change.
struct ListContext {
    FileSystem &fileSystem;
    Prompter &prompter;
    TargetSet &targets;
    EditKind &editKind;                 // the edit chosen
    bool &handOffMode;                  // the program started straight into the editor
    std::vector<std::string> &workList; // the files a files-mode edit works on
    // The first item of the target folder in its scope, or empty after its
    // message when there is nothing to edit.
    std::function<std::string()> firstTargetItem;
};

// The list window without a window: what each button, key and menu item
// decides (the questions and refusals it shows, the mode it leaves the
// targets in, the texts of the status bar). The window does the widget work
// and starts what the answers ask for.
class ListController {
public:
    explicit ListController(ListContext context) : m_c(std::move(context)) {}

    // --- edits -------------------------------------------------------------
    enum class EditStep {
        Refused,     // a message said why; the edit kind is back to browsing
        ShowEditor,  // the targets are set: the editor window follows
        ExportNames, // "Save" of the chosen files: the names are written at once, then exportDone()
    };
    struct EditStart {
        EditStep step = EditStep::Refused;
        std::string boxText;    // the folder box as it stays (trimmed)
        bool clearRows = false; // the folder named is gone: the list empties
    };
    // An edit button: the folder box's text, the list, its first selected row.
    EditStart startEdit(EditKind kind, const std::string &boxText, const FileList &rows,
                        std::optional<std::size_t> firstSelected);
    // "Save": the chosen files with an empty folder box, else the folder.
    static EditKind saveKind(const std::string &boxText);
    // The export of the chosen files is over: back to browsing.
    void exportDone();
    // A start straight into an edit, once the list window is up: the export
    // of the handed-off files at once, or the editor.
    EditStep handOffStep();

    // --- undo --------------------------------------------------------------
    // "Undo" is enabled while the undo log of the data folder is there.
    bool undoAvailable(const std::string &dataFolder) const;

    // --- folder mode and files mode ---------------------------------------
    enum class Switch {
        Stay,       // the user kept what is listed
        Go,         // nothing to give up
        ClearAndGo, // the user agreed: the list (and the folder box) empties first
    };
    // Before a folder is listed over chosen files.
    Switch toFolder(std::size_t rows);
    enum class FilesFrom { FilesDialog, FolderOfFiles };
    // Before files are added while the folder box names a folder.
    Switch toFiles(const std::string &boxText, FilesFrom from);
    void enterFolderMode();
    void enterFilesMode();
    // The "Files" dialog, opening where the last files were chosen.
    static OpenFilesRequest filesRequest(const std::optional<std::string> &lastFolder);
    // Files chosen in the dialog: files mode; the folder the dialog opens in next time.
    std::string filesChosen(const std::vector<std::string> &files);
    // Dropped paths: the existing files among them; nothing in folder mode (the drop is ignored).
    std::optional<std::vector<std::string>> droppedFiles(const std::vector<std::string> &paths) const;

    // --- the folder box and the listing -----------------------------------
    // The folder box's text, trimmed; a host path becomes the path of the
    // drive that holds it (outside every drive it stays as typed).
    std::string folderOfBox(const std::string &boxText) const;
    // Whether the folder (or the bare drive letter) can be read.
    bool listable(const std::string &folder) const;
    // "Upper directory": the folder to list, or nothing when there is no
    // parent to go to (the "Folder" button's question comes instead).
    std::optional<std::string> upperFolder(const std::string &folder) const;
    enum class RowOpen { Nothing, ListFolder, Rename };
    // A double-click on a row of this full path.
    RowOpen rowOpen(const std::string &path) const;

    // --- delete, clear, refresh -------------------------------------------
    // "Clear": the question; true when the list empties.
    bool confirmClear(std::size_t rows);
    // The count panel after "Clear": "0 Files" in files mode, else unchanged.
    std::optional<std::string> statusAfterClear() const;
    // "Refresh" lists the folder again in folder mode; in files mode it drops
    // the rows whose items are gone.
    bool refreshLists() const;
    // The rows (last first) whose items are gone.
    std::vector<int> goneRows(const FileList &rows) const;
    // After sending rows to another session they leave the list (files mode).
    bool sentRowsLeave() const;
    // "Delete" with rows selected (files mode only).
    bool deleteEnabled(std::size_t selected) const;

    // --- keys of the file list --------------------------------------------
    enum class ListKey { Refresh, Rename, CopyName, SelectAll, Delete };
    bool keyAllowed(ListKey key, std::size_t selected) const;

    // --- status ------------------------------------------------------------
    // "12 Files".
    static std::string countStatus(std::size_t rows);
    struct FirstTick {
        bool loadOptions = false; // the options and used folders are read now
        bool showWorkList = false; // the handed-off files fill the list
    };
    FirstTick firstTick() const;
    struct Tick {
        std::string modeLabel;
        std::string caption;
        bool deleteOff = false; // "Delete" is disabled (else it stays as it is)
    };
    Tick tick(std::size_t rows, std::size_t selected, bool boxHasText) const;

private:
    ListContext m_c;
};

} // namespace renomiq
