#include "app/program_window.h"
#include "platform/clock.h"
#include "platform/file_registry.h"
#include "platform/host_file_system.h"
#include "platform/platform.h"
#include "services/qt_clipboard.h"
#include "services/qt_help.h"
#include "services/qt_prompter.h"
#include "services/qt_shell.h"
#include "platform/system_sound.h"
#include "platform/user_folders.h"
#include "platform/version.h"
#include "state/app_state.h"
#include "run/run_driver.h"
#include "run/undo_log.h"
#include "targets/hand_off.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>

namespace {

using namespace renomiq;

int run(int argc, char *argv[])
{
    HostFileSystem fileSystem;
    FileRegistry registry(UserFolders::registryFile());
    QtPrompter prompter;
    QtShell shell(fileSystem);
    QtClipboard clipboard;
    // The settings name the install folder that help and sound are read from.
    SettingsStore settings(registry, fileSystem);
    settings.fixFolders();
    SystemSound sound(settings.installHostFolder());
    QtHelp help(settings.installHostFolder() + "help/", prompter);
    SystemClock clock;
    Platform platform{fileSystem, registry, prompter, shell, clipboard, sound, help, clock};
    AppState state(platform);

    // A run that a crash cut short can still be undone.
    std::signal(SIGXFSZ, SIG_IGN); // a file at the size limit is a failed write, reported
    const UndoLog::Recovery recovery = UndoLog(fileSystem, state.settings.dataFolder()).recoverAbandonedJournals();
    RunDriver::reportRecovery(prompter, recovery);
    // The file managers' menu follows the program when it has moved.
    state.settings.refreshFileManagerMenus();

    // The windows, created once, in their order, and never destroyed.
    ProgramWindows program(state);
    QObject::connect(&program, &ProgramWindows::programClosed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);

    const char *const *args = argv;
    program.list().startUp(commandLineKeyword(argc, args));
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    // Answered before any window system is needed.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("renomiq %s\n", renomiq::kVersion);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Renomiq"));
    // No display name: the platform would append it to every caption.
    // The desktop finds the program's menu entry, and with it its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.corvane.Renomiq"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.corvane.Renomiq")));
    QApplication::setQuitOnLastWindowClosed(false);
    try {
        return run(argc, argv);
    } catch (const std::exception &e) {
        // The message may hold a path: shown as it is, never as markup.
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Renomiq"), QString::fromLocal8Bit(e.what()));
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return 1;
    }
}
