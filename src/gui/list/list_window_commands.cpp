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

void TForm4::wireButtons()
{
    connect(m_folderButton, &QPushButton::clicked, this, &TForm4::folderClicked);
    connect(m_filesButton, &QPushButton::clicked, this, &TForm4::filesClicked);
    connect(m_deleteButton, &QPushButton::clicked, this, &TForm4::deleteSelected);
    connect(m_optionsButton, &QPushButton::clicked, this, &TForm4::showOptions);
    connect(m_helpButton, &QPushButton::clicked, this, &TForm4::showHelp);
    const std::pair<QPushButton *, EditKind> edits[] = {{m_removeButton, EditKind::Removpart},
                                                        {m_replaceButton, EditKind::Replapart},
                                                        {m_insertButton, EditKind::Addnewnum},
                                                        {m_changeButton, EditKind::Changnew},
                                                        {m_extensionButton, EditKind::Changexten}};
    for (const auto &[button, kind] : edits) {
        const EditKind k = kind;
        connect(button, &QPushButton::clicked, this, [this, k] { startEdit(k); });
    }
    connect(m_saveButton, &QPushButton::clicked, this, &TForm4::saveClicked);
    connect(m_undoButton, &QPushButton::clicked, this, &TForm4::undoClicked);
    connect(m_exitButton, &QPushButton::clicked, this, &QWidget::close);
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

std::optional<std::size_t> TForm4::firstSelectedRow() const
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return std::nullopt;
    return static_cast<std::size_t>(rows[0]);
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

void TForm4::showFileCount()
{
    setStatusPanel(0, ListController::countStatus(m_model->rowCount()));
}

void TForm4::clearRows()
{
    m_model->clear();
}

void TForm4::selectionChanged()
{
    const std::size_t selected = selectedRows().size();
    m_deleteButton->setEnabled(m_controller.deleteEnabled(selected));
    if (selected > 0)
        showCountStatus();
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
        showFileCount();
}

void TForm4::chooseFolder()
{
    const ListController::Switch step = m_controller.toFolder(m_model->rowCount());
    if (step == ListController::Switch::Stay)
        return;
    if (step == ListController::Switch::ClearAndGo)
        clearRows();
    const auto folder = m_state.platform.shell.browseForFolder("Select a folder to \n  edit its included files together:");
    if (!folder)
        return;
    setFolderBoxText(*folder);
    m_controller.enterFolderMode();
    requestListing();
}

void TForm4::addFolderFiles()
{
    const ListController::Switch step =
        m_controller.toFiles(fromQt(m_folderBox->currentText()), ListController::FilesFrom::FolderOfFiles);
    if (step == ListController::Switch::Stay)
        return;
    if (step == ListController::Switch::ClearAndGo) {
        setFolderBoxText("");
        clearRows();
    }
    m_controller.enterFilesMode();
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
    const ListController::Switch step =
        m_controller.toFiles(fromQt(m_folderBox->currentText()), ListController::FilesFrom::FilesDialog);
    if (step == ListController::Switch::Stay)
        return;
    if (step == ListController::Switch::ClearAndGo) {
        setFolderBoxText("");
        clearRows();
    }
    const std::vector<std::string> files =
        m_state.platform.shell.openFiles(ListController::filesRequest(m_state.settings.readLastDir()));
    if (files.empty())
        return;
    m_guidePanel->hide();
    m_model->appendRows(files, true);
    showCountStatus();
    m_state.settings.writeLastDir(m_controller.filesChosen(files));
}

void TForm4::dropPaths(const std::vector<std::string> &paths)
{
    const auto files = m_controller.droppedFiles(paths);
    if (!files)
        return;
    m_model->appendRows(*files, true);
    showFileCount();
}

// --- edits, save, undo ------------------------------------------------------

void TForm4::startEdit(EditKind kind)
{
    // The box shows its trimmed text before any message comes.
    setFolderBoxText(trimmedBox(folderBoxText()));
    const ListController::EditStart start =
        m_controller.startEdit(kind, folderBoxText(), *m_model, firstSelectedRow());
    if (start.clearRows)
        clearRows();
    switch (start.step) {
    case ListController::EditStep::Refused:
        return;
    case ListController::EditStep::ExportNames:
        exportChosenFiles();
        return;
    case ListController::EditStep::ShowEditor:
        if (m_windows)
            m_windows->showEditor();
        return;
    }
}

void TForm4::saveClicked()
{
    startEdit(ListController::saveKind(fromQt(m_folderBox->currentText())));
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
    m_controller.enterFolderMode();
    setFolderBoxText(fromQt(m_folderBox->itemText(index)));
    requestListing();
}

void TForm4::folderEnter()
{
    const ListController::Switch step = m_controller.toFolder(m_model->rowCount());
    if (step == ListController::Switch::Stay)
        return;
    if (step == ListController::Switch::ClearAndGo)
        clearRows();
    m_controller.enterFolderMode();
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
    const std::string box = m_controller.folderOfBox(folderBoxText());
    setFolderBoxText(box);
    const std::optional<std::string> parent = m_controller.upperFolder(box);
    if (!parent) {
        folderClicked();
        return;
    }
    setFolderBoxText(*parent);
    m_controller.enterFolderMode();
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
    TargetSet &targets = m_state.targets;
    const std::string box = m_controller.folderOfBox(folderBoxText());
    setFolderBoxText(box);
    const bool listable = m_controller.listable(box);
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
    const FolderListing listing = listFolder(m_state.platform.fileSystem, m_state.platform.prompter, targets, box, afterEntry,
                                             [this] { m_guidePanel->hide(); });
    if (!listable)
        return;
    QApplication::restoreOverrideCursor();
    m_controller.enterFolderMode();
    if (listing.status == FolderListing::Listed) {
        setFolderBoxText(listing.boxText);
        m_listedFolder = listing.boxText;
        m_model->setListing(listing.folders, listing.files);
        setStatusPanel(0, listing.statusText());
    } else {
        // Stopped for another folder, which the box now names: leave it be.
        clearRows();
    }
    if (!m_closing)
        startStatusTimer();
}

void TForm4::refreshFiles()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_model->removeRows(m_controller.goneRows(*m_model));
    QApplication::restoreOverrideCursor();
    showCountStatus();
}

// --- the file list ----------------------------------------------------------

void TForm4::rowDoubleClicked()
{
    if (selectedRows().empty())
        return;
    const std::string path = selectedRowPath();
    switch (m_controller.rowOpen(path)) {
    case ListController::RowOpen::ListFolder:
        setFolderBoxText(path);
        m_controller.enterFolderMode();
        requestListing();
        break;
    case ListController::RowOpen::Rename:
        openRenameDialog();
        break;
    case ListController::RowOpen::Nothing:
        break;
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
    using Key = ListController::ListKey;
    const std::size_t selected = selectedRows().size();
    if (event->key() == Qt::Key_F5 && event->modifiers() == Qt::NoModifier) {
        if (m_controller.keyAllowed(Key::Refresh, selected))
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
    const std::pair<Key, void (TForm4::*)()> commands[] = {{Key::Rename, &TForm4::openRenameDialog},
                                                          {Key::CopyName, &TForm4::copyFilename},
                                                          {Key::SelectAll, &TForm4::selectAll},
                                                          {Key::Delete, &TForm4::deleteSelected}};
    const auto keyOf = [event]() -> std::optional<Key> {
        if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier)
            return Key::Rename;
        if (event->matches(QKeySequence::Copy))
            return Key::CopyName;
        if (event->matches(QKeySequence::SelectAll))
            return Key::SelectAll;
        if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier)
            return Key::Delete;
        return std::nullopt;
    };
    const std::optional<Key> key = keyOf();
    if (!key)
        return false;
    for (const auto &[k, command] : commands) {
        if (k == *key && m_controller.keyAllowed(k, selected))
            (this->*command)();
    }
    return true;
}

bool TForm4::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (watched == m_fileList)
            return fileListKey(key);
        if (watched == m_guideLink
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
