#include "editor/editor_host.h"
#include "editor/editor_window.h"
#include "editor/special_string_dialog.h"
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
#include "run/app_state.h"
#include "run/preview_window.h"
#include "run/progress_dialog.h"
#include "run/rename_error_dialog.h"
#include "run/run_driver.h"
#include "run/run_windows.h"
#include "run/undo_log.h"
#include "settings/name_list_dialog.h"
#include "settings/options_dialog.h"
#include "targets/folder_add_dialog.h"
#include "targets/hand_off.h"
#include "targets/list_window.h"
#include "targets/rename_dialog.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <csignal>
#include <exception>

namespace {

using namespace renomiq;

// What the editor window asks of the list window and the options dialog.
class EditorHostOfList : public EditorHost {
public:
    EditorHostOfList(AppState &state, TForm4 &list, TForm7 &options) : m_state(state), m_list(list), m_options(options)
    {
    }
    void showOptionsDialog(int page) override { m_options.showOptions(page == 2); }
    void stopStatusTimer() override { m_list.stopStatusTimer(); }
    void startStatusTimer() override { m_list.startStatusTimer(); }
    void handOffShowing(const std::string &targetFolder) override
    {
        m_state.settings.loadOptions();
        m_options.optionsLoaded();
        m_list.setFolderBoxText(targetFolder);
    }
    void showListWindowAgain() override { m_list.returnFromHandOff(); }
    void setFolderBoxText(const std::string &folder) override { m_list.setFolderBoxText(folder); }

private:
    AppState &m_state;
    TForm4 &m_list;
    TForm7 &m_options;
};

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

    // The windows, created once, in this order, and never destroyed.
    TForm4 listWindow(state);
    TForm1 editorWindow(state);
    TForm3 specialStringDialog(state, &editorWindow);
    TForm5 progressDialog(state);
    TForm6 previewWindow(state);
    TForm7 optionsDialog(state, &listWindow);
    TForm8 nameListEditor(state, &optionsDialog);
    TForm2 renameDialog(state, &listWindow);
    TForm9 folderAddDialog(state, &listWindow);
    TForm11 renameErrorDialog(state, &listWindow);

    WindowSet windows(listWindow, editorWindow, previewWindow, progressDialog, renameErrorDialog);
    RunDriver driver(state, windows);
    EditorHostOfList editorHost(state, listWindow, optionsDialog);

    editorWindow.setRunContext(windows, driver);
    editorWindow.setHost(&editorHost);
    editorWindow.setSpecialStringDialog(&specialStringDialog);
    editorWindow.attachPreview(previewWindow);
    previewWindow.onOptions = [&optionsDialog] { optionsDialog.showOptions(true); };
    listWindow.setHelpContext([&specialStringDialog] { return specialStringDialog.isVisible(); },
                              [&previewWindow] { return previewWindow.isVisible(); });
    listWindow.setRunContext(windows, driver);
    listWindow.setDialogs(optionsDialog, renameDialog, folderAddDialog);
    listWindow.setProgramFile(QCoreApplication::applicationFilePath().toStdString());
    optionsDialog.setNameListEditor(nameListEditor);
    optionsDialog.setCheckBoxHandler([&listWindow](bool shown, bool checkAll) {
        listWindow.applyCheckBoxOption(shown, checkAll);
    });
    optionsDialog.setFoldersClearedHandler([&listWindow] { listWindow.reloadFolderBox(); });
    optionsDialog.setHelpHandler([&listWindow] { listWindow.showHelp(); });
    nameListEditor.setMaximumChangedHandler([&optionsDialog] { optionsDialog.nameListMaxChanged(); });
    QObject::connect(&listWindow, &TForm4::listWindowClosed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);

    const char *const *args = argv;
    listWindow.startUp(commandLineKeyword(argc, args));
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
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
        QMessageBox::critical(nullptr, QStringLiteral("Renomiq"), QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
