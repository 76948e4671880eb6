#pragma once

#include "editor/editor_window.h"
#include "editor/string_token_dialog.h"
#include "state/app_state.h"
#include "run/preview_window.h"
#include "run/progress_dialog.h"
#include "run/rename_error_dialog.h"
#include "run/run_driver.h"
#include "run/window_set.h"
#include "support/gui_app.h"
#include "support/gui_test_platform.h"
#include "support/recording_windows.h"
#include "targets/folder_walks.h"
#include "editor/operation_check.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace renomiq::test {

// Records what the editor asks of the list window and its dialogs, as the
// list window would receive it.
struct RecordingHost {
    std::vector<std::string> events;
    void listenTo(TForm1 &editor)
    {
        QObject::connect(&editor, &TForm1::optionsRequested, &editor,
                         [this](bool previewTab) { events.push_back(previewTab ? "options2" : "options0"); });
        QObject::connect(&editor, &TForm1::statusTimerStopRequested, &editor,
                         [this] { events.push_back("stopTimer"); });
        QObject::connect(&editor, &TForm1::statusTimerStartRequested, &editor,
                         [this] { events.push_back("startTimer"); });
        QObject::connect(&editor, &TForm1::handOffShowing, &editor,
                         [this](const std::string &folder) { events.push_back("handOff " + folder); });
        QObject::connect(&editor, &TForm1::listWindowAgainRequested, &editor,
                         [this] { events.push_back("listAgain"); });
        QObject::connect(&editor, &TForm1::folderBoxTextChosen, &editor,
                         [this](const std::string &folder) { events.push_back("folderBox " + folder); });
    }
};

// The list window's part, recorded.
struct RecordingListWindow : RecordingWindows, ListWindow {
    FileList &fileList() override { return RecordingWindows::fileList(); }
    void setStatusPanel(int panel, const std::string &text) override { RecordingWindows::setStatusPanel(panel, text); }
    std::string folderBoxText() const override { return RecordingWindows::folderBoxText(); }
    void refreshListing() override { RecordingWindows::refreshListing(); }
    void refreshFiles() override { RecordingWindows::refreshFiles(); }
    void showFolderHistoryEntry(std::size_t index) override { RecordingWindows::showFolderHistoryEntry(index); }
    void closeListWindow() override { RecordingWindows::closeListWindow(); }
};

// The editor, its dialogs and the run windows over the test platform; the
// list window is the recording stand-in.
struct EditorApp : TestPlatform {
    AppState state{platform};
    RecordingListWindow list;
    RecordingHost host;
    TForm1 editor{state};
    TForm3 &special{editor.specialStringDialog()};
    TForm5 progress{platform.prompter};
    TForm6 preview{platform, state.editKind};
    TForm11 renameError;
    WindowSet windows{list, editor, preview, progress, renameError};
    RunDriver driver{state, windows, &windows};

    EditorApp()
    {
        editor.setRunContext(windows, driver);
        host.listenTo(editor);
        QObject::connect(&progress, &TForm5::cancelRequested, &progress, [this] { state.run.stopRequest = true; });
        // As the program wires them.
        QObject::connect(&preview, &TForm6::renameRequested, &editor, &TForm1::okAction);
        QObject::connect(&preview, &TForm6::showOnRequested, &editor, &TForm1::showOnSample);
    }

    // What the list window does before it shows the editor on a folder.
    void openFolder(EditKind kind, const std::string &relative, FolderScope scope = FolderScope::OneLayer)
    {
        state.editKind = kind;
        state.targets.targetFolder = TestDir::win(relative);
        state.targets.folderScope = scope;
        state.targets.filesMode = false;
        state.run.workList.clear();
        list.folderBox = state.targets.targetFolder;
        state.targets.sampleItem = checkTargets(state);
        editor.showEditor();
    }
    // ... and on a list of files.
    void openFiles(EditKind kind, const std::vector<std::string> &relatives)
    {
        state.editKind = kind;
        state.targets.targetFolder.clear();
        state.run.workList.clear();
        for (const std::string &r : relatives)
            state.run.workList.push_back(TestDir::win(r));
        state.targets.sampleItem = state.run.workList.front();
        editor.showEditor();
    }
};

// The visible child of `root` of type T with this accessible name.
template <class T>
T *findNamed(QWidget *root, const QString &name)
{
    for (T *w : root->findChildren<T *>()) {
        if (w->accessibleName() == name && w->isVisibleTo(root))
            return w;
    }
    return nullptr;
}

} // namespace renomiq::test
