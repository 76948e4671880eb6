#pragma once

#include "editor/editor_window.h"
#include "editor/string_token_dialog.h"
#include "list/folder_add_dialog.h"
#include "list/list_window.h"
#include "list/rename_dialog.h"
#include "run/preview_window.h"
#include "run/progress_dialog.h"
#include "run/rename_error_dialog.h"
#include "run/run_driver.h"
#include "run/window_set.h"
#include "settings/name_list_dialog.h"
#include "settings/options_dialog.h"

#include <QObject>

namespace renomiq {

struct AppState;
class Help;
struct RunState;

// All windows of the program, created once in their order and wired to each
// other, by Qt signals, and to the run driver. The program and the window
// tests build the same set; main() adds only the platform, the start-up and
// the event loop.
//
// Ownership: the windows without a parent window (list, editor, progress,
// preview) are members here; every dialog with a parent window is created on
// the heap as that window's child and deleted with it, never also a member.
class ProgramWindows : public QObject {
    Q_OBJECT

public:
    explicit ProgramWindows(AppState &state);
    ~ProgramWindows() override;

    TForm4 &list() { return m_list; }
    TForm1 &editor() { return m_editor; }
    TForm3 &specialString() { return m_editor.specialStringDialog(); }
    TForm5 &progress() { return m_progress; }
    TForm6 &preview() { return m_preview; }
    TForm7 &options() { return *m_options; }
    TForm8 &nameList() { return *m_nameList; }
    TForm2 &rename() { return m_list.renameDialog(); }
    TForm9 &folderAdd() { return m_list.folderAddDialog(); }
    TForm11 &renameError() { return *m_renameError; }
    WindowSet &windows() { return m_windows; }
    RunDriver &driver() { return m_driver; }

Q_SIGNALS:
    // The list window was closed: the program ends.
    void programClosed();

private:
    void wireListWindow();
    void wireEditor();
    void wireDialogs();
    // Help from the list window or the options dialog: the topic of the
    // dialog in front.
    void showListHelp();

    Help &m_help;
    RunState &m_run;
    // The creation order of the windows.
    TForm4 m_list;
    TForm1 m_editor;
    TForm5 m_progress;
    TForm6 m_preview;
    TForm7 *m_options;      // child of the list window
    TForm8 *m_nameList;     // child of the options dialog
    TForm11 *m_renameError; // child of the list window
    WindowSet m_windows;
    RunDriver m_driver;
};

} // namespace renomiq
