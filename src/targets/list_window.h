#pragma once

#include "engine/edit_kind.h"
#include "run/run_windows.h"
#include "targets/export_choices.h"

#include <QMainWindow>

#include <functional>
#include <optional>
#include <utility>
#include <string>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class QTimer;
class QToolButton;

namespace renomiq {

struct AppState;
struct StartUpPlan;
class FileListModel;
class RunDriver;
class TForm2;
class TForm7;
class TForm9;
class UndoHistoryWindow;

// The list window: the program's main window. Here the user picks a folder or
// files, tidies the list and chooses an edit. Closing it ends the program.
class TForm4 : public QMainWindow, public ListWindow {
    Q_OBJECT

public:
    explicit TForm4(AppState &state, QWidget *parent = nullptr);
    ~TForm4() override;

    // The run context and the dialogs this window opens, once all windows exist.
    void setRunContext(RunWindows &windows, RunDriver &driver);
    void setDialogs(TForm7 &options, TForm2 &rename, TForm9 &folderAdd);
    // The program file that "Rename in another session" starts (host path).
    void setProgramFile(const std::string &hostPath) { m_programFile = hostPath; }
    // The save panel's choices that an export of the chosen files reads.
    void setExportChoices(std::function<ExportChoices()> choices) { m_exportChoices = std::move(choices); }
    // Whether the special string dialog or the preview window is on screen (for the help topic).
    void setHelpContext(std::function<bool()> specialStringShown, std::function<bool()> previewShown);

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
    void showOptions();
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

    // The widgets, for tests and the accessibility names.
    QPushButton *button(const QString &caption) const;
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

    // Commands.
    void folderClicked();
    void filesClicked();
    void startEdit(EditKind kind);
    void saveClicked();
    void undoClicked();
    // "Undo history" (popup menu, Ctrl+Shift+Z): the kept operations.
    void openUndoHistory();
    UndoHistoryWindow *undoHistoryWindow() const { return m_undoHistory; }
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
    // Adds files (full paths) as a drop does: only in files mode, existing files only.
    void dropPaths(const std::vector<std::string> &paths);
    // Fills the list for the folder box's folder, or stops a running fill first.
    void requestListing();
    // Loads the options and the used folders once (the first status tick, or a
    // start straight into the editor).
    void ensureOptionsLoaded();

Q_SIGNALS:
    // The list window closed: the program ends.
    void listWindowClosed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPushButton *addButton(const QString &caption, const QString &hint);
    QWidget *createGuidePanel();
    void createMenus();
    void wireButtons();
    void statusTimerTick();
    void pollTimerTick();
    void handOffTimerTick();
    void fillFolderListing();
    void addFolderFiles();
    void chooseFolder();
    void folderPicked(int index);
    void folderEnter();
    bool folderBoxKey(QKeyEvent *event);
    bool fileListKey(QKeyEvent *event);
    void rowDoubleClicked();
    void selectionChanged();
    void showCountStatus();
    std::vector<int> selectedRows() const;
    // The full path of a row: in folder mode the folder the rows were listed
    // from, whatever the folder box holds now.
    std::string rowPathOf(int row) const;
    std::string selectedRowPath() const;
    bool askClearFiles();
    void checkRows(bool selectedOnly, bool checked);

    AppState &m_state;
    RunWindows *m_windows = nullptr;
    RunDriver *m_driver = nullptr;
    TForm7 *m_options = nullptr;
    TForm2 *m_rename = nullptr;
    TForm9 *m_folderAdd = nullptr;
    UndoHistoryWindow *m_undoHistory = nullptr;
    std::string m_programFile;
    std::function<ExportChoices()> m_exportChoices;
    std::function<bool()> m_specialStringShown;
    std::function<bool()> m_previewShown;

    QList<QPushButton *> m_buttons;
    QLabel *m_modeLabel = nullptr;
    QComboBox *m_folderBox = nullptr;
    QToolButton *m_upperDirectory = nullptr;
    QToolButton *m_checkSettings = nullptr;
    QTableView *m_fileList = nullptr;
    FileListModel *m_model = nullptr;
    QFrame *m_guidePanel = nullptr;
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
