// The list window's popup menus and what their items do.
#include "list/list_window.h"

#include "platform/clipboard.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/prompter.h"
#include "services/qt_text.h"
#include "platform/shell.h"
#include "state/app_state.h"
#include "run/undo_history_window.h"
#include "targets/folder_walks.h"
#include "targets/list_rules.h"
#include "list/list_window_model.h"
#include "run/start_up.h"

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QUrl>

namespace renomiq {

namespace {

QAction *addItem(QMenu *menu, const char *caption, const QString &name)
{
    QAction *action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(name);
    return action;
}

} // namespace

void TForm4::createMenus()
{
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("popupMenu"));
    m_popup->setAccessibleName(QStringLiteral("File list menu"));
    QAction *rename = addItem(m_popup, "Rename                    F2", QStringLiteral("renameItem"));
    m_popup->setDefaultAction(rename);
    connect(rename, &QAction::triggered, this, &TForm4::openRenameDialog);
    connect(addItem(m_popup, "Delete                       Del", QStringLiteral("deleteItem")), &QAction::triggered,
            this, &TForm4::deleteSelected);
    connect(addItem(m_popup, "Clear", QStringLiteral("clearItem")), &QAction::triggered, this, &TForm4::clearList);
    connect(addItem(m_popup, "Refresh                     F5", QStringLiteral("refreshItem")), &QAction::triggered,
            this, &TForm4::refresh);
    connect(addItem(m_popup, "Sort by Name", QStringLiteral("sortItem")), &QAction::triggered, this,
            &TForm4::sortByName);
    m_popup->addSeparator();
    connect(addItem(m_popup, "Copy filename         Ctrl+C", QStringLiteral("copyItem")), &QAction::triggered, this,
            &TForm4::copyFilename);
    connect(addItem(m_popup, "Open file", QStringLiteral("openFileItem")), &QAction::triggered, this,
            &TForm4::openFile);
    connect(addItem(m_popup, "Open folder", QStringLiteral("openFolderItem")), &QAction::triggered, this,
            &TForm4::openFolder);
    m_popup->addSeparator();
    connect(addItem(m_popup, "Check All", QStringLiteral("checkAllItem")), &QAction::triggered, this,
            [this] { checkRows(false, true); });
    connect(addItem(m_popup, "Uncheck All", QStringLiteral("uncheckAllItem")), &QAction::triggered, this,
            [this] { checkRows(false, false); });
    connect(addItem(m_popup, "Check selected", QStringLiteral("checkSelectedItem")), &QAction::triggered, this,
            [this] { checkRows(true, true); });
    connect(addItem(m_popup, "Uncheck selected", QStringLiteral("uncheckSelectedItem")), &QAction::triggered, this,
            [this] { checkRows(true, false); });
    connect(addItem(m_popup, "Select All                   Ctrl+A", QStringLiteral("selectAllItem")),
            &QAction::triggered, this, &TForm4::selectAll);
    connect(addItem(m_popup, "Inverse select", QStringLiteral("inverseItem")), &QAction::triggered, this,
            &TForm4::inverseSelect);
    m_popup->addSeparator();
    connect(addItem(m_popup, "Undo history          Ctrl+Shift+Z", QStringLiteral("undoHistoryItem")),
            &QAction::triggered, this, &TForm4::openUndoHistory);
    m_popup->addSeparator();
    connect(addItem(m_popup, "Add More", QStringLiteral("addMoreItem")), &QAction::triggered, this,
            &TForm4::filesClicked);
    m_sessionMenu = m_popup->addMenu(QStringLiteral("Rename in another session"));
    m_sessionMenu->setObjectName(QStringLiteral("sessionMenu"));
    m_sessionMenu->menuAction()->setObjectName(QStringLiteral("sessionItem"));
    for (const char *sub : {"Remove", "Replace", "Insert", "Change", "Extension", "Save"}) {
        const std::string subItem = sub;
        connect(m_sessionMenu->addAction(QString::fromLatin1(sub)), &QAction::triggered, this,
                [this, subItem] { sendToNewInstance(subItem); });
    }
    connect(m_fileList, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        preparePopupMenu();
        m_popup->popup(m_fileList->viewport()->mapToGlobal(pos));
    });

    m_checkMenu = new QMenu(this);
    m_checkMenu->setObjectName(QStringLiteral("checkMenu"));
    m_checkMenu->setAccessibleName(QStringLiteral("File list Check Settings"));
    connect(m_checkMenu->addAction(QStringLiteral("Check All")), &QAction::triggered, this,
            [this] { checkRows(false, true); });
    connect(m_checkMenu->addAction(QStringLiteral("Uncheck All")), &QAction::triggered, this,
            [this] { checkRows(false, false); });
    connect(m_checkMenu->addAction(QStringLiteral("Check selected")), &QAction::triggered, this,
            [this] { checkRows(true, true); });
    connect(m_checkMenu->addAction(QStringLiteral("Uncheck selected")), &QAction::triggered, this,
            [this] { checkRows(true, false); });
    connect(m_checkMenu->addAction(QStringLiteral("Inverse select")), &QAction::triggered, this,
            &TForm4::inverseSelect);
    m_checkMenu->addSeparator();
    m_checkMenu->addAction(QStringLiteral("Specific filter"))->setEnabled(false);
    connect(m_checkSettings, &QToolButton::clicked, this, [this] { m_checkMenu->popup(QCursor::pos()); });

    // F1 anywhere in the window.
    auto *help = new QAction(this);
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::WindowShortcut);
    connect(help, &QAction::triggered, this, &TForm4::showHelp);
    addAction(help);

    // Ctrl+Z anywhere in the window does what "Undo" does (text boxes keep
    // their own undo of typing).
    auto *undo = new QAction(this);
    undo->setShortcut(QKeySequence::Undo);
    undo->setShortcutContext(Qt::WindowShortcut);
    connect(undo, &QAction::triggered, m_undoButton, &QPushButton::click);
    addAction(undo);

    auto *history = new QAction(this);
    history->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    history->setShortcutContext(Qt::WindowShortcut);
    connect(history, &QAction::triggered, this, &TForm4::openUndoHistory);
    addAction(history);
}

void TForm4::openUndoHistory()
{
    if (!m_driver)
        return;
    if (!m_undoHistory)
        m_undoHistory = new UndoHistoryWindow(m_state, *m_driver, this);
    m_undoHistory->showHistory();
}

void TForm4::preparePopupMenu()
{
    const PopupMenuState s = popupMenuState(m_state.targets.filesMode, selectedRows().size(), m_model->rowCount());
    const auto enable = [this](const char *name, bool on) {
        m_popup->findChild<QAction *>(QString::fromLatin1(name))->setEnabled(on);
    };
    enable("addMoreItem", s.addMore);
    enable("deleteItem", s.deleteRows);
    m_sessionMenu->setEnabled(s.anotherSession);
    enable("selectAllItem", s.selectAll);
    enable("inverseItem", s.selectAll);
    enable("clearItem", s.clear);
    enable("refreshItem", s.refresh);
    enable("sortItem", s.sortByName);
    for (const char *name : {"copyItem", "openFileItem", "openFolderItem", "renameItem"})
        enable(name, s.oneSelected);
}

void TForm4::deleteSelected()
{
    m_model->removeRows(selectedRows());
    m_deleteButton->setEnabled(false);
    showFileCount();
}

void TForm4::clearList()
{
    if (!m_controller.confirmClear(m_model->rowCount()))
        return;
    clearRows();
    m_deleteButton->setEnabled(false);
    if (const auto status = m_controller.statusAfterClear())
        setStatusPanel(0, *status);
}

void TForm4::refresh()
{
    if (m_controller.refreshLists()) {
        requestListing();
        return;
    }
    m_fileList->setUpdatesEnabled(false);
    refreshFiles();
    m_fileList->setUpdatesEnabled(true);
}

void TForm4::sortByName()
{
    m_model->reorderRows(nameOrderIgnoringCase(m_model->rowTexts()));
}

void TForm4::copyFilename()
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    m_state.platform.clipboard.setText(nameWithoutExtension(m_model->rowText(static_cast<std::size_t>(rows[0]))));
}

void TForm4::openFile()
{
    if (selectedRows().size() == 1)
        m_state.platform.shell.open(selectedRowPath());
}

void TForm4::openFolder()
{
    if (selectedRows().size() == 1)
        m_state.platform.shell.showInFileManager(selectedRowPath());
}

void TForm4::checkRows(bool selectedOnly, bool checked)
{
    if (selectedOnly)
        m_model->setChecked(selectedRows(), checked);
    else
        m_model->setAllChecked(checked);
}

void TForm4::selectAll()
{
    m_fileList->selectAll();
    showCountStatus();
}

void TForm4::inverseSelect()
{
    const int rows = static_cast<int>(m_model->rowCount());
    if (rows == 0)
        return;
    QItemSelection all(m_model->index(0), m_model->index(rows - 1));
    m_fileList->selectionModel()->select(all, QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
    showCountStatus();
}

void TForm4::sendToNewInstance(const std::string &subItem)
{
    SessionSender sender(m_state.platform, m_state.settings, m_programFile);
    if (!sender.programPresent())
        return;
    const bool rowsLeave = m_controller.sentRowsLeave();
    const std::vector<int> rows = selectedRows();
    std::vector<std::string> targets;
    for (int row : rows)
        targets.push_back(rowPathOf(row));
    if (targets.empty())
        return;
    if (!sender.send(targets, subItem))
        return;
    if (rowsLeave) {
        m_fileList->setUpdatesEnabled(false);
        m_model->removeRows(rows);
        m_fileList->setUpdatesEnabled(true);
        showFileCount();
    }
}

void TForm4::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TForm4::dropEvent(QDropEvent *event)
{
    std::vector<std::string> paths;
    for (const QUrl &url : event->mimeData()->urls()) {
        if (!url.isLocalFile())
            continue;
        if (auto path = m_state.platform.fileSystem.fromHostPath(fromQt(url.toLocalFile())))
            paths.push_back(*path);
    }
    dropPaths(paths);
    event->acceptProposedAction();
}

} // namespace renomiq
