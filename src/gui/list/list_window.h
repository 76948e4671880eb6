#pragma once

#include "editor/list_controller.h"
#include "engine/edit_kind.h"
#include "run/window_set.h"
#include "targets/export_choices.h"

#include <QMainWindow>

#include <functional>
#include <optional>
#include <utility>
#include <string>
#include <vector>

class QComboBox;
class QFrame;
class QGridLayout;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class QTimer;
class QToolButton;
class QVBoxLayout;

namespace renomiq {

struct AppState;
struct StartUpPlan;
class FileListModel;
class RunDriver;
class TForm2;
class TForm9;
class UndoHistoryWindow;

// The list window's push buttons.
enum class ListButton { Folder, Files, Delete, Options, Help, Remove, Replace, Insert, Change, Extension, Save, Undo, Exit };

// The list window: the program's main window. Here the user picks a folder or
// files, tidies the list and chooses an edit. Closing it ends the program.
class TForm4 : public QMainWindow, public ListWindow {
    Q_OBJECT

public:
    explicit TForm4(AppState &state, QWidget *parent = nullptr);
    ~TForm4() override;

    // The run context, once all windows exist.
    void setRunContext(WindowSet &windows, RunDriver &driver);
    // The program file that "Rename in another session" starts (host path).
    void setProgramFile(const std::string &hostPath) { m_programFile = hostPath; }
    // Its own dialogs, owned as children.
    TForm2 &renameDialog() const { return *m_rename; }
    TForm9 &folderAddDialog() const { return *m_folderAdd; }

    // Start-up: the placement, then the plan for the command line's keyword.
    void startUp(const std::optional<std::string> &keyword);

    // ListWindow
    FileList &fileList() override;
    void setStatusPanel(int panel, const std::string &text) override;
    std::string folderBoxText() const override;
    void refreshListing() override;
    void refreshFiles() override;
    void showFolderHistoryEntry(std::size_t index) override;
    void closeListWindow() override;

    // For the editor window and the options dialog.
    void showHelp();
    void stopStatusTimer();
    void startStatusTimer();
    void setFolderBoxText(const std::string &text);
    // After an editor window that ran alone: back to the remembered top, shown.
    void returnFromHandOff();
    // The check-box option: check boxes and the "File list Check Settings" button; checkAll ticks every row.
    void applyCheckBoxOption(bool shown, bool checkAll);
    // The used-folder list changed (loaded or cleared): the folder box follows it.
    void reloadFolderBox();
    // Loads the options and the used folders once (the first status tick, or a
    // start straight into the editor).
    void ensureOptionsLoaded();

    // The widgets, for tests and the accessibility names.
    QPushButton *button(ListButton which) const;
    QLabel *statusPanel(int index) const;
    QComboBox *folderBox() const { return m_folderBox; }
    QTableView *fileListView() const { return m_fileList; }
    FileListModel &model() const { return *m_model; }
    QFrame *guidePanel() const { return m_guidePanel; }
    QMenu *popupMenu() const { return m_popup; }
    QMenu *checkMenu() const { return m_checkMenu; }
    QToolButton *checkSettingsButton() const { return m_checkSettings; }
    QToolButton *upperDirectoryButton() const { return m_upperDirectory; }
    // Prepares the popup menu as a right click would (enabling), without showing it.
    void preparePopupMenu();
    // The "Undo history" window, once opened.
    UndoHistoryWindow *undoHistoryWindow() const { return m_undoHistory; }

Q_SIGNALS:
    // The list window closed: the program ends.
    void listWindowClosed();
    // The options dialog, on the tab last shown.
    void optionsRequested();
    // The options and the used folders were loaded (once).
    void optionsLoaded();
    // Help, on the topic of the dialog in front.
    void helpRequested();
    // An export of the chosen files reads the save panel's choices: the
    // receiver fills them in.
    void exportChoicesWanted(ExportChoices *choices);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    // What the buttons, the menus and the keys do.
    void folderClicked();
    void filesClicked();
    void startEdit(EditKind kind);
    void saveClicked();
    void undoClicked();
    void showOptions();
    // "Undo history" (popup menu, Ctrl+Shift+Z): the kept operations.
    void openUndoHistory();
    void upperDirectory();
    void openRenameDialog();
    void deleteSelected();
    void clearList();
    void refresh();
    void sortByName();
    void copyFilename();
    void openFile();
    void openFolder();
    void selectAll();
    void inverseSelect();
    void sendToNewInstance(const std::string &subItem);

private:
    // The constructor's parts, in order.
    void createButtons(QGridLayout *grid);
    void createFolderRow(QVBoxLayout *content);
    void createFileList(QVBoxLayout *content);
    void createStatusBar();
    void setKeyboardOrder();
    void createTimers();
    QPushButton *addButton(const QString &caption, const QString &hint);
    QWidget *createGuidePanel();
    void createMenus();
    void wireButtons();

    void statusTimerTick();
    void pollTimerTick();
    void handOffTimerTick();
    void exportChosenFiles();
    // The save panel's choices for an export of the chosen files.
    ExportChoices exportChoices();
    // Fills the list for the folder box's folder, or stops a running fill first.
    void requestListing();
    void fillFolderListing();
    void addFolderFiles();
    void chooseFolder();
    void folderPicked(int index);
    void folderEnter();
    bool folderBoxKey(QKeyEvent *event);
    bool fileListKey(QKeyEvent *event);
    // Adds files (full paths) as a drop does: only in files mode, existing files only.
    void dropPaths(const std::vector<std::string> &paths);
    void rowDoubleClicked();
    void selectionChanged();
    void showCountStatus();
    void showFileCount();
    void clearRows();
    std::vector<int> selectedRows() const;
    std::optional<std::size_t> firstSelectedRow() const;
    // The full path of a row: in folder mode the folder the rows were listed
    // from, whatever the folder box holds now.
    std::string rowPathOf(int row) const;
    std::string selectedRowPath() const;
    void checkRows(bool selectedOnly, bool checked);

    AppState &m_state;
    ListController m_controller;
    WindowSet *m_windows = nullptr;
    RunDriver *m_driver = nullptr;
    TForm2 *m_rename = nullptr;
    TForm9 *m_folderAdd = nullptr;
    UndoHistoryWindow *m_undoHistory = nullptr;
    std::string m_programFile;

    QPushButton *m_folderButton = nullptr;
    QPushButton *m_filesButton = nullptr;
    QPushButton *m_deleteButton = nullptr;
    QPushButton *m_optionsButton = nullptr;
    QPushButton *m_helpButton = nullptr;
    QPushButton *m_removeButton = nullptr;
    QPushButton *m_replaceButton = nullptr;
    QPushButton *m_insertButton = nullptr;
    QPushButton *m_changeButton = nullptr;
    QPushButton *m_extensionButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_undoButton = nullptr;
    QPushButton *m_exitButton = nullptr;
    QLabel *m_modeLabel = nullptr;
    QComboBox *m_folderBox = nullptr;
    QToolButton *m_upperDirectory = nullptr;
    QToolButton *m_checkSettings = nullptr;
    QTableView *m_fileList = nullptr;
    FileListModel *m_model = nullptr;
    QFrame *m_guidePanel = nullptr;
    QLabel *m_guideLink = nullptr;
    QLabel *m_status[2] = {nullptr, nullptr};
    QMenu *m_popup = nullptr;
    QMenu *m_checkMenu = nullptr;
    QMenu *m_sessionMenu = nullptr;

    QTimer *m_statusTimer = nullptr;
    QTimer *m_pollTimer = nullptr;
    QTimer *m_handOffTimer = nullptr;
    QTimer *m_closeTimer = nullptr;
    bool m_firstTick = true;
    bool m_optionsLoaded = false;
    bool m_folderPicked = false;
    bool m_maximizeOnShow = false;
    bool m_closing = false;
    int m_rememberedTop = 0;
    // The folder of the folder-mode rows, ending with '\'.
    std::string m_listedFolder;
};

} // namespace renomiq
