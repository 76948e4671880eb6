#pragma once

#include "run/app_state.h"
#include "run/run_driver.h"
#include "settings/name_list_dialog.h"
#include "settings/options_dialog.h"
#include "stand_ins/editor_side_stand_ins.h"
#include "support/gui_test_platform.h"
#include "targets/folder_add_dialog.h"
#include "targets/list_window.h"
#include "targets/rename_dialog.h"

#include <QApplication>
#include <QTimer>

#include <functional>

namespace renomiq::test {

// One program instance with its real windows over the test platform, wired as
// main() wires them (the editor side stands in).
struct GuiApp : TestPlatform {
    AppState state{platform};
    TForm4 list{state};
    EditorStandIn editor;
    ProgressStandIn progress;
    PreviewStandIn preview;
    TForm7 options{state, &list};
    TForm8 nameList{state, &options};
    TForm2 rename{state, &list};
    TForm9 folderAdd{state, &list};
    RenameErrorStandIn renameError;
    WindowSet windows{list, editor, preview, progress, renameError};
    RunDriver driver{state, windows};

    GuiApp()
    {
        editor.onClose = [this] { driver.reportEditorClosed(); };
        list.setRunContext(windows, driver);
        list.setDialogs(options, rename, folderAdd);
        options.setNameListEditor(nameList);
        options.setCheckBoxHandler([this](bool shown, bool checkAll) { list.applyCheckBoxOption(shown, checkAll); });
        options.setFoldersClearedHandler([this] { list.reloadFolderBox(); });
        nameList.setMaximumChangedHandler([this] { options.nameListMaxChanged(); });
    }
};

// Runs `act` on the next modal dialog once it is on screen (for exec()-shown dialogs).
inline void whenModal(std::function<void(QWidget *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

} // namespace renomiq::test
