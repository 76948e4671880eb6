// The list window's commands: targets, edits, the folder box, the listing.
#include "list/list_window.h"

#include "platform/file_system.h"
#include "platform/help.h"
#include "platform/platform.h"
#include "platform/prompter.h"
#include "services/qt_text.h"
#include "platform/shell.h"
#include "state/app_state.h"
#include "editor/operation_check.h"
#include "run/run_driver.h"
#include "list/folder_add_dialog.h"
#include "targets/folder_walks.h"
#include "targets/list_rules.h"
#include "list/list_window_model.h"
#include "run/name_export.h"
#include "list/rename_dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

namespace renomiq {

namespace {

// The folder box's text, trimmed. A host path (typed or pasted from a file
// manager) is taken as renomiq-cli takes it: as the path of the drive that
// holds it. Outside every drive it stays as typed, and so is refused as an
// invalid folder.
std::string folderOfBox(const FileSystem &fs, const std::string &text)
{
    const std::string box = trimmedBox(text);
    if (box.empty() || box.front() != '/')
        return box;
    return fs.fromHostPath(box).value_or(box);
}

} // namespace

namespace {

const char *const kSelectFolderQuestion = "You had selected some files, so can not edit a folder at the same "
                                          "time.\nDo you want to clear the selected files in order to select A "
                                          "folder?";

bool askOkCancel(Prompter &prompter, const std::string &caption, const std::string &text)
{
    return prompter.show({caption, text, MessageIcon::Question, MessageButtons::OkCancel}) == Answer::Ok;
}

} // namespace

void TForm4::wireButtons()
{
    connect(button(QStringLiteral("Folder")), &QPushButton::clicked, this, &TForm4::folderClicked);
    connect(button(QStringLiteral("Files")), &QPushButton::clicked, this, &TForm4::filesClicked);
    connect(button(QStringLiteral("Delete")), &QPushButton::clicked, this, &TForm4::deleteSelected);
    connect(button(QStringLiteral("Options")), &QPushButton::clicked, this, &TForm4::showOptions);
    connect(button(QStringLiteral(" Help")), &QPushButton::clicked, this, &TForm4::showHelp);
    const std::pair<const char *, EditKind> edits[] = {{"Remove", EditKind::Removpart},
                                                       {"Replace", EditKind::Replapart},
                                                       {"Insert", EditKind::Addnewnum},
                                                       {"Change", EditKind::Changnew},
                                                       {"Extension", EditKind::Changexten}};
    for (const auto &[caption, kind] : edits) {
        const EditKind k = kind;
        connect(button(QString::fromLatin1(caption)), &QPushButton::clicked, this, [this, k] { startEdit(k); });
    }
    connect(button(QStringLiteral("Save")), &QPushButton::clicked, this, &TForm4::saveClicked);
    connect(button(QStringLiteral("Undo")), &QPushButton::clicked, this, &TForm4::undoClicked);
    connect(button(QStringLiteral("Exit")), &QPushButton::clicked, this, &QWidget::close);
    connect(m_upperDirectory, &QToolButton::clicked, this, &TForm4::upperDirectory);
    connect(m_folderBox, &QComboBox::activated, this, &TForm4::folderPicked);
    // Keys reach the box's edit field directly or through the box.
    m_folderBox->installEventFilter(this);
    m_folderBox->lineEdit()->installEventFilter(this);
    m_folderBox->view()->installEventFilter(this);
    connect(m_fileList, &QAbstractItemView::doubleClicked, this, &TForm4::rowDoubleClicked);
    connect(m_fileList->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TForm4::selectionChanged);
    connect(m_model, &FileListModel::rowsChanged, this, [this] {
        if (m_model->rowCount() > 0)
            m_guidePanel->hide();
    });
}

std::vector<int> TForm4::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex &i : m_fileList->selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::string TForm4::rowPathOf(int row) const
{
    return rowPath(m_state.targets.filesMode, m_listedFolder, m_model->rowText(static_cast<std::size_t>(row)));
}

std::string TForm4::selectedRowPath() const
{
    const std::vector<int> rows = selectedRows();
    return rows.empty() ? std::string() : rowPathOf(rows[0]);
}

void TForm4::showCountStatus()
{
    setStatusPanel(0, selectionStatus(selectedRows().size(), m_model->rowCount()));
}

void TForm4::selectionChanged()
{
    const std::size_t selected = selectedRows().size();
    button(QStringLiteral("Delete"))->setEnabled(m_state.targets.filesMode && selected > 0);
    if (selected > 0)
        showCountStatus();
}

bool TForm4::askClearFiles()
{
    if (!askOkCancel(m_state.platform.prompter, "Select folder Confirmation", kSelectFolderQuestion))
        return false;
    m_model->clear();
    return true;
}

// --- "Folder", "Files", dropping -------------------------------------------

void TForm4::folderClicked()
{
    if (!m_folderAdd)
        return;
    switch (m_folderAdd->ask()) {
    case TForm9::Cancelled:
        return;
    case TForm9::ChooseFolder:
        chooseFolder();
        break;
    case TForm9::AddFiles:
        addFolderFiles();
        break;
    }
    if (!m_state.targets.listingRunning)
        setStatusPanel(0, std::to_string(m_model->rowCount()) + " Files");
}

void TForm4::chooseFolder()
{
    const bool wasFilesMode = m_state.targets.filesMode;
    if (wasFilesMode && m_model->rowCount() > 0 && !askClearFiles())
        return;
    const auto folder = m_state.platform.shell.browseForFolder("Select a folder to \n  edit its included files together:");
    if (!folder)
        return;
    setFolderBoxText(*folder);
    m_state.targets.filesMode = false;
    requestListing();
}

void TForm4::addFolderFiles()
{
    Prompter &prompter = m_state.platform.prompter;
    if (!m_folderBox->currentText().isEmpty()) {
        if (!askOkCancel(prompter, "Select files Confirmation",
                         "You had selected to edit a folder, so can not add another files at the same time.\nDo you "
                         "want to cancel the folder in order to select another files?"))
            return;
        setFolderBoxText("");
        m_model->clear();
    }
    m_state.targets.filesMode = true;
    const auto folder = m_state.platform.shell.browseForFolder("Add all files of a folder to the list:");
    if (!folder)
        return;
    stopStatusTimer();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::string p = withTrailingBackslash(*folder);
    std::vector<std::string> files;
    const Status listed = m_state.platform.fileSystem.enumerateNames(p, [&](const FileSystem::NameEntry &entry) {
        if (!entry.isDirectory)
            files.push_back(p + entry.name);
        return true;
    });
    m_model->appendRows(files, true);
    QApplication::restoreOverrideCursor();
    if (!listed)
        m_state.platform.prompter.show({"Error", "The folder could not be read: " + listed.error().message,
                                        MessageIcon::Error, MessageButtons::Ok});
    startStatusTimer();
}

void TForm4::filesClicked()
{
    Prompter &prompter = m_state.platform.prompter;
    if (!m_folderBox->currentText().isEmpty()) {
        if (askOkCancel(prompter, "Select files Confirmation",
                        "You had selected a folder, so can not add another files at the same time.\nDo you want to "
                        "clear the folder in order to select another files?")) {
            setFolderBoxText("");
            m_model->clear();
        }
        if (!m_folderBox->currentText().isEmpty())
            return;
    }
    OpenFilesRequest request;
    request.title = "Select files ";
    request.initialFolder = m_state.settings.readLastDir().value_or(std::string());
    for (const FileTypeFilter &f : filesDialogFilters())
        request.filters.push_back({f.text, f.patterns});
    const std::vector<std::string> files = m_state.platform.shell.openFiles(request);
    if (files.empty())
        return;
    m_guidePanel->hide();
    m_model->appendRows(files, true);
    showCountStatus();
    const std::size_t slash = files.front().rfind('\\');
    m_state.settings.writeLastDir(files.front().substr(0, slash + 1));
    m_state.targets.filesMode = true;
    m_state.targets.firstLayerFileCount = 0;
}

void TForm4::dropPaths(const std::vector<std::string> &paths)
{
    if (!m_state.targets.filesMode)
        return;
    std::vector<std::string> files;
    for (const std::string &path : paths) {
        if (m_state.platform.fileSystem.fileExists(path))
            files.push_back(path);
    }
    m_model->appendRows(files, true);
    setStatusPanel(0, std::to_string(m_model->rowCount()) + " Files");
}

// --- edits, save, undo ------------------------------------------------------

void TForm4::startEdit(EditKind kind)
{
    Prompter &prompter = m_state.platform.prompter;
    FileSystem &fs = m_state.platform.fileSystem;
    TargetSet &targets = m_state.targets;
    m_state.editKind = kind;
    m_state.handOffMode = false;
    setFolderBoxText(trimmedBox(folderBoxText()));
    const auto noTarget = [&] {
        m_state.editKind = EditKind::Browsefile;
        prompter.information(
            "You have not selected a folder or some files,\nplease click 'Folder' or 'Files' button to proceed.");
    };
    if (m_folderBox->currentText().isEmpty() && m_model->rowCount() == 0)
        return noTarget();
    const std::vector<int> rows = selectedRows();
    if (!targets.filesMode) {
        const std::string box = folderBoxText();
        if (!fs.folderExists(box)) {
            m_state.editKind = EditKind::Browsefile;
            prompter.information("The sepecified folder does not exist, please select another.");
            m_model->clear();
            return;
        }
        targets.targetFolder = box;
        if (!rows.empty())
            targets.sampleItem = withTrailingBackslash(box) + m_model->rowText(static_cast<std::size_t>(rows[0]));
        else
            targets.sampleItem = checkTargets(m_state);
    } else {
        if (m_model->rowCount() == 0)
            return noTarget();
        collectFilesForRun(*m_model, targets, m_state.run.workList);
        targets.sampleItem = m_model->rowText(rows.empty() ? 0 : static_cast<std::size_t>(rows[0]));
        if (kind == EditKind::Savesomes) {
            if (m_windows)
                NameExporter(m_state, *m_windows).exportNames(m_exportChoices ? m_exportChoices() : ExportChoices{});
            m_state.editKind = EditKind::Browsefile;
            return;
        }
    }
    if (m_windows)
        m_windows->showEditor();
}

void TForm4::saveClicked()
{
    startEdit(m_folderBox->currentText().isEmpty() ? EditKind::Savesomes : EditKind::Savealls);
}

void TForm4::undoClicked()
{
    if (m_driver)
        m_driver->undoLast();
}

// --- the folder box, "Upper directory", the listing ------------------------

void TForm4::folderPicked(int index)
{
    if (index < 0)
        return;
    m_folderPicked = true;
    m_state.targets.filesMode = false;
    setFolderBoxText(fromQt(m_folderBox->itemText(index)));
    requestListing();
}

void TForm4::folderEnter()
{
    TargetSet &targets = m_state.targets;
    if (targets.filesMode && m_model->rowCount() > 0 && !askClearFiles())
        return;
    targets.filesMode = false;
    m_folderPicked = true;
    requestListing();
}

bool TForm4::folderBoxKey(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        folderEnter();
        return true;
    }
    // Delete where it would not change the text removes the current entry from the list.
    QLineEdit *edit = m_folderBox->lineEdit();
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier && !edit->hasSelectedText()
        && edit->cursorPosition() == edit->text().length()) {
        const int index = m_folderBox->currentIndex();
        if (index >= 0) {
            const QString text = edit->text();
            m_state.folders.removeAt(static_cast<std::size_t>(index));
            reloadFolderBox();
            setFolderBoxText(fromQt(text));
        }
        return true;
    }
    return false;
}

void TForm4::upperDirectory()
{
    const std::string box = folderOfBox(m_state.platform.fileSystem, folderBoxText());
    setFolderBoxText(box);
    const std::string parent = parentFolderOf(box);
    if (parent.size() < 3 || !m_state.platform.fileSystem.folderExists(parent)) {
        folderClicked();
        return;
    }
    setFolderBoxText(parent);
    m_state.targets.filesMode = false;
    requestListing();
}

void TForm4::requestListing()
{
    TargetSet &targets = m_state.targets;
    if (targets.listingRunning) {
        targets.listingAbort = true;
        m_pollTimer->start();
        return;
    }
    fillFolderListing();
}

void TForm4::fillFolderListing()
{
    FileSystem &fs = m_state.platform.fileSystem;
    TargetSet &targets = m_state.targets;
    const std::string box = folderOfBox(m_state.platform.fileSystem, folderBoxText());
    setFolderBoxText(box);
    const bool listable = fs.folderExists(box) || (box.size() == 1 && fs.folderExists(box + ":"));
    if (listable) {
        stopStatusTimer();
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    // Pending messages are processed while the folder is read, often enough to
    // keep the window alive and let another folder choice stop this listing.
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    const auto afterEntry = [&] {
        if (sinceEvents.elapsed() >= 15) {
            QApplication::processEvents();
            sinceEvents.restart();
        }
    };
    const FolderListing listing = listFolder(fs, m_state.platform.prompter, targets, box, afterEntry,
                                             [this] { m_guidePanel->hide(); });
    if (!listable)
        return;
    QApplication::restoreOverrideCursor();
    targets.filesMode = false;
    if (listing.status == FolderListing::Listed) {
        setFolderBoxText(listing.boxText);
        m_listedFolder = listing.boxText;
        m_model->setListing(listing.folders, listing.files);
        setStatusPanel(0, listing.statusText());
    } else {
        // Stopped for another folder, which the box now names: leave it be.
        m_model->clear();
    }
    if (!m_closing)
        startStatusTimer();
}

void TForm4::refreshFiles()
{
    FileSystem &fs = m_state.platform.fileSystem;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::vector<int> gone;
    for (std::size_t row = m_model->rowCount(); row-- > 0;) {
        if (!fs.exists(m_model->rowText(row)))
            gone.push_back(static_cast<int>(row));
    }
    m_model->removeRows(gone);
    QApplication::restoreOverrideCursor();
    showCountStatus();
}

// --- the file list ----------------------------------------------------------

void TForm4::rowDoubleClicked()
{
    if (selectedRows().empty())
        return;
    const std::string path = selectedRowPath();
    FileSystem &fs = m_state.platform.fileSystem;
    if (fs.folderExists(path)) {
        setFolderBoxText(path);
        m_state.targets.filesMode = false;
        requestListing();
    } else if (fs.fileExists(path)) {
        openRenameDialog();
    }
}

void TForm4::openRenameDialog()
{
    const std::vector<int> rows = selectedRows();
    if (rows.size() != 1 || !m_rename)
        return;
    const std::string oldPath = selectedRowPath();
    const std::string newText =
        m_rename->renameItem(oldPath, m_state.targets.filesMode ? std::string() : m_listedFolder);
    if (!newText.empty())
        m_model->setRowText(static_cast<std::size_t>(rows[0]), newText);
    m_fileList->setFocus();
}

bool TForm4::fileListKey(QKeyEvent *event)
{
    const bool filesMode = m_state.targets.filesMode;
    const std::size_t selected = selectedRows().size();
    if (event->key() == Qt::Key_F5 && event->modifiers() == Qt::NoModifier) {
        if (!filesMode)
            refresh();
        return true;
    }
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        // The keyboard's other way to the pop-up menu, as the Menu key: at the current row.
        const QModelIndex current = m_fileList->currentIndex();
        const QPoint at = current.isValid() ? m_fileList->visualRect(current).center() : QPoint(0, 0);
        Q_EMIT m_fileList->customContextMenuRequested(at);
        return true;
    }
    if (m_model->rowCount() == 0)
        return false;
    if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
        if (selected == 1)
            openRenameDialog();
        return true;
    }
    if (event->matches(QKeySequence::Copy)) {
        if (selected == 1)
            copyFilename();
        return true;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        if (filesMode)
            selectAll();
        return true;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        if (selected > 0)
            deleteSelected();
        return true;
    }
    return false;
}

bool TForm4::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (watched == m_fileList)
            return fileListKey(key);
        if (watched->objectName() == QStringLiteral("guideLink")
            && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space)) {
            m_state.platform.help.showTopic("How to use.htm");
            return true;
        }
        if (watched == m_folderBox || watched == m_folderBox->lineEdit())
            return folderBoxKey(key);
        if (watched == m_folderBox->view() && key->key() == Qt::Key_Delete) {
            const int index = m_folderBox->view()->currentIndex().row();
            if (index >= 0) {
                const QString text = m_folderBox->currentText();
                m_state.folders.removeAt(static_cast<std::size_t>(index));
                m_folderBox->removeItem(index);
                m_folderBox->setEditText(text);
            }
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace renomiq
