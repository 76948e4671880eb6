#include "editor/list_controller.h"

#include "platform/file_system.h"
#include "platform/prompter.h"
#include "platform/shell.h"
#include "run/undo_log.h"
#include "targets/file_list.h"
#include "targets/folder_walks.h"
#include "targets/list_rules.h"
#include "targets/target_set.h"

namespace renomiq {

namespace {

bool askOkCancel(Prompter &prompter, const std::string &caption, const std::string &text)
{
    return prompter.show({caption, text, MessageIcon::Question, MessageButtons::OkCancel}) == Answer::Ok;
}

} // namespace

// --- edits -----------------------------------------------------------------

ListController::EditStart ListController::startEdit(EditKind kind, const std::string &boxText, const FileList &rows,
                                                    std::optional<std::size_t> firstSelected)
{
    TargetSet &targets = m_c.targets;
    m_c.editKind = kind;
    m_c.handOffMode = false;
    EditStart start;
    start.boxText = trimmedBox(boxText);
    const auto refuse = [&](const char *text) {
        m_c.editKind = EditKind::Browsefile;
        m_c.prompter.information(text);
        start.step = EditStep::Refused;
        return start;
    };
    const char *noTarget =
        "You have not selected a folder or some files,\nplease click 'Folder' or 'Files' button to proceed.";
    if (start.boxText.empty() && rows.rowCount() == 0)
        return refuse(noTarget);
    if (!targets.filesMode) {
        if (!m_c.fileSystem.folderExists(start.boxText)) {
            start.clearRows = true;
            return refuse("The sepecified folder does not exist, please select another.");
        }
        targets.targetFolder = start.boxText;
        if (firstSelected)
            targets.sampleItem = withTrailingBackslash(start.boxText) + rows.rowText(*firstSelected);
        else
            targets.sampleItem = m_c.firstTargetItem ? m_c.firstTargetItem() : std::string();
    } else {
        if (rows.rowCount() == 0)
            return refuse(noTarget);
        collectFilesForRun(rows, targets, m_c.workList);
        targets.sampleItem = rows.rowText(firstSelected.value_or(0));
        if (kind == EditKind::Savesomes) {
            start.step = EditStep::ExportNames;
            return start;
        }
    }
    start.step = EditStep::ShowEditor;
    return start;
}

EditKind ListController::saveKind(const std::string &boxText)
{
    return boxText.empty() ? EditKind::Savesomes : EditKind::Savealls;
}

void ListController::exportDone()
{
    m_c.editKind = EditKind::Browsefile;
}

ListController::EditStep ListController::handOffStep()
{
    if (m_c.editKind != EditKind::Savesomes)
        return EditStep::ShowEditor;
    // The handed-off files, straight into the export.
    m_c.targets.targetFolder.clear();
    m_c.targets.filesMode = true;
    return EditStep::ExportNames;
}

// --- undo --------------------------------------------------------------------

bool ListController::undoAvailable(const std::string &dataFolder) const
{
    return UndoLog(m_c.fileSystem, dataFolder).exists();
}

// --- folder mode and files mode ----------------------------------------------

ListController::Switch ListController::toFolder(std::size_t rows)
{
    if (!m_c.targets.filesMode || rows == 0)
        return Switch::Go;
    return askOkCancel(m_c.prompter, "Select folder Confirmation",
                       "You had selected some files, so can not edit a folder at the same time.\nDo you want to "
                       "clear the selected files in order to select A folder?")
               ? Switch::ClearAndGo
               : Switch::Stay;
}

ListController::Switch ListController::toFiles(const std::string &boxText, FilesFrom from)
{
    if (boxText.empty())
        return Switch::Go;
    const char *text = from == FilesFrom::FilesDialog
                           ? "You had selected a folder, so can not add another files at the same time.\nDo you want "
                             "to clear the folder in order to select another files?"
                           : "You had selected to edit a folder, so can not add another files at the same time.\nDo "
                             "you want to cancel the folder in order to select another files?";
    return askOkCancel(m_c.prompter, "Select files Confirmation", text) ? Switch::ClearAndGo : Switch::Stay;
}

void ListController::enterFolderMode()
{
    m_c.targets.filesMode = false;
}

void ListController::enterFilesMode()
{
    m_c.targets.filesMode = true;
}

OpenFilesRequest ListController::filesRequest(const std::optional<std::string> &lastFolder)
{
    OpenFilesRequest request;
    request.title = "Select files ";
    request.initialFolder = lastFolder.value_or(std::string());
    for (const FileTypeFilter &f : filesDialogFilters())
        request.filters.push_back({f.text, f.patterns});
    return request;
}

std::string ListController::filesChosen(const std::vector<std::string> &files)
{
    m_c.targets.filesMode = true;
    m_c.targets.firstLayerFileCount = 0;
    if (files.empty())
        return {};
    const std::size_t slash = files.front().rfind('\\');
    return files.front().substr(0, slash + 1);
}

std::optional<std::vector<std::string>> ListController::droppedFiles(const std::vector<std::string> &paths) const
{
    if (!m_c.targets.filesMode)
        return std::nullopt;
    std::vector<std::string> files;
    for (const std::string &path : paths) {
        if (m_c.fileSystem.fileExists(path))
            files.push_back(path);
    }
    return files;
}

// --- the folder box and the listing ------------------------------------------

std::string ListController::folderOfBox(const std::string &boxText) const
{
    const std::string box = trimmedBox(boxText);
    if (box.empty() || box.front() != '/')
        return box;
    return m_c.fileSystem.fromHostPath(box).value_or(box);
}

bool ListController::listable(const std::string &folder) const
{
    return m_c.fileSystem.folderExists(folder) || (folder.size() == 1 && m_c.fileSystem.folderExists(folder + ":"));
}

std::optional<std::string> ListController::upperFolder(const std::string &folder) const
{
    const std::string parent = parentFolderOf(folder);
    if (parent.size() < 3 || !m_c.fileSystem.folderExists(parent))
        return std::nullopt;
    return parent;
}

ListController::RowOpen ListController::rowOpen(const std::string &path) const
{
    if (m_c.fileSystem.folderExists(path))
        return RowOpen::ListFolder;
    if (m_c.fileSystem.fileExists(path))
        return RowOpen::Rename;
    return RowOpen::Nothing;
}

// --- delete, clear, refresh --------------------------------------------------

bool ListController::confirmClear(std::size_t rows)
{
    return rows > 0 && askOkCancel(m_c.prompter, "Clear Confirmation", "Do you want to clear all files in the box?");
}

std::optional<std::string> ListController::statusAfterClear() const
{
    if (!m_c.targets.filesMode)
        return std::nullopt;
    return countStatus(0);
}

bool ListController::refreshLists() const
{
    return !m_c.targets.filesMode;
}

std::vector<int> ListController::goneRows(const FileList &rows) const
{
    std::vector<int> gone;
    for (std::size_t row = rows.rowCount(); row-- > 0;) {
        if (!m_c.fileSystem.exists(rows.rowText(row)))
            gone.push_back(static_cast<int>(row));
    }
    return gone;
}

bool ListController::sentRowsLeave() const
{
    return m_c.targets.filesMode;
}

bool ListController::deleteEnabled(std::size_t selected) const
{
    return m_c.targets.filesMode && selected > 0;
}

// --- keys of the file list ---------------------------------------------------

bool ListController::keyAllowed(ListKey key, std::size_t selected) const
{
    switch (key) {
    case ListKey::Refresh:
        return !m_c.targets.filesMode;
    case ListKey::Rename:
    case ListKey::CopyName:
        return selected == 1;
    case ListKey::SelectAll:
        return m_c.targets.filesMode;
    case ListKey::Delete:
        return selected > 0;
    }
    return false;
}

// --- status ------------------------------------------------------------------

std::string ListController::countStatus(std::size_t rows)
{
    return std::to_string(rows) + " Files";
}

ListController::FirstTick ListController::firstTick() const
{
    return {!m_c.handOffMode, m_c.editKind == EditKind::Savesomes};
}

ListController::Tick ListController::tick(std::size_t rows, std::size_t selected, bool boxHasText) const
{
    const bool filesMode = m_c.targets.filesMode;
    Tick t;
    t.modeLabel = listModeLabel(filesMode);
    t.caption = listWindowCaption(filesMode, rows, boxHasText);
    t.deleteOff = !filesMode || selected == 0;
    return t;
}

} // namespace renomiq
