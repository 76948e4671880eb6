#pragma once

#include "app/program_window.h"
#include "state/app_state.h"
#include "support/gui_test_platform.h"

#include <QApplication>
#include <QTimer>

#include <functional>

namespace renomiq::test {

// One program instance over the test platform: all its real windows, wired
// as the program wires them.
struct GuiApp : TestPlatform {
    AppState state{platform};
    ProgramWindows program{state};
    TForm4 &list = program.list();
    TForm1 &editor = program.editor();
    TForm3 &special = program.specialString();
    TForm5 &progress = program.progress();
    TForm6 &preview = program.preview();
    TForm7 &options = program.options();
    TForm8 &nameList = program.nameList();
    TForm2 &rename = program.rename();
    TForm9 &folderAdd = program.folderAdd();
    TForm11 &renameError = program.renameError();
    WindowSet &windows = program.windows();
    RunDriver &driver = program.driver();
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
