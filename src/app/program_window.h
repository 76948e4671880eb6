#pragma once

#include "editor/editor_host.h"
#include "editor/editor_window.h"
#include "editor/string_token_dialog.h"
#include "run/preview_window.h"
#include "run/progress_dialog.h"
#include "run/rename_error_dialog.h"
#include "run/run_driver.h"
#include "run/window_set.h"
#include "settings/name_list_dialog.h"
#include "settings/options_dialog.h"
#include "list/folder_add_dialog.h"
#include "list/list_window.h"
#include "list/rename_dialog.h"

#include <QObject>

namespace renomiq {

struct AppState;

// All windows of the program, created once in their order and wired to each
// other and to the run driver. The program and the window tests build the
// same set; main() adds only the platform, the start-up and the event loop.
class ProgramWindows : public QObject, private EditorHost {
    Q_OBJECT

public:
    explicit ProgramWindows(AppState &state);
    ~ProgramWindows() override;

    TForm4 &list() { return m_list; }
    TForm1 &editor() { return m_editor; }
    TForm3 &specialString() { return m_specialString; }
    TForm5 &progress() { return m_progress; }
    TForm6 &preview() { return m_preview; }
    TForm7 &options() { return m_options; }
    TForm8 &nameList() { return m_nameList; }
    TForm2 &rename() { return m_rename; }
    TForm9 &folderAdd() { return m_folderAdd; }
    TForm11 &renameError() { return m_renameError; }
    WindowSet &windows() { return m_windows; }
    RunDriver &driver() { return m_driver; }

Q_SIGNALS:
    // The list window was closed: the program ends.
    void programClosed();

private:
    // EditorHost: what the editor asks of the list window and the options dialog.
    void showOptionsDialog(int page) override;
    void stopStatusTimer() override;
    void startStatusTimer() override;
    void handOffShowing(const std::string &targetFolder) override;
    void showListWindowAgain() override;
    void setFolderBoxText(const std::string &folder) override;

    AppState &m_state;
    // The creation order of the windows.
    TForm4 m_list;
    TForm1 m_editor;
    TForm3 m_specialString;
    TForm5 m_progress;
    TForm6 m_preview;
    TForm7 m_options;
    TForm8 m_nameList;
    TForm2 m_rename;
    TForm9 m_folderAdd;
    TForm11 m_renameError;
    WindowSet m_windows;
    RunDriver m_driver;
};

} // namespace renomiq
