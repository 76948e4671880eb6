#include "platform/clock.h"
#include "platform/file_registry.h"
#include "platform/host_file_system.h"
#include "platform/platform.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_help.h"
#include "platform/qt/qt_prompter.h"
#include "platform/qt/qt_shell.h"
#include "platform/system_sound.h"
#include "platform/user_folders.h"
#include "run/undo_log.h"
#include "settings/settings_store.h"
#include "targets/list_window.h"

#include <QApplication>
#include <QIcon>

#include <csignal>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Renomiq"));
    QApplication::setApplicationDisplayName(QStringLiteral("Renomiq"));
    // The desktop finds the program's menu entry, and with it its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.corvane.Renomiq"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.corvane.Renomiq")));

    using namespace renomiq;
    HostFileSystem fileSystem;
    FileRegistry registry(UserFolders::registryFile());
    QtPrompter prompter;
    QtShell shell(fileSystem);
    QtClipboard clipboard;
    SystemSound sound(UserFolders::installFolder());
    QtHelp help(UserFolders::installFolder() + "help/", prompter);
    SystemClock clock;
    Platform platform{fileSystem, registry, prompter, shell, clipboard, sound, help, clock};

    // A run that a crash cut short can still be undone.
    SettingsStore settings(registry, fileSystem);
    settings.fixFolders();
    std::signal(SIGXFSZ, SIG_IGN); // a file at the size limit is a failed write, reported
    const UndoLog::Recovery recovery = UndoLog(fileSystem, settings.dataFolder()).recoverAbandonedJournals();
    for (const std::string &kept : recovery.keptLogs)
        prompter.information("A run that was cut short ended before the last operation; its renames are kept in "
                             "their own undo log: "
                             + kept);
    // The file managers' menu follows the program when it has moved.
    settings.refreshFileManagerMenus();

    TForm4 listWindow(platform);
    listWindow.show();
    return QApplication::exec();
}
