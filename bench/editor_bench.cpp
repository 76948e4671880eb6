// Times the windows of a run against renomiq-cli: a run of N files under the
// progress dialog, a preview of 1,000 rows in a folder of N files, and the
// opening of the editor on that folder. Prints, never asserts.
//
//   editor_bench [N] [renomiq-cli path]     (N defaults to 100000)
#include "editor/editor_panel.h"
#include "editor/editor_window.h"
#include "editor/string_token_dialog.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/file_registry.h"
#include "platform/help.h"
#include "platform/host_file_system.h"
#include "platform/platform.h"
#include "platform/prompter.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/user_folders.h"
#include "state/app_state.h"
#include "editor/operation_check.h"
#include "run/preview_model.h"
#include "run/preview_window.h"
#include "run/progress_dialog.h"
#include "run/rename_error_dialog.h"
#include "run/run_driver.h"
#include "targets/file_list.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace renomiq;

// Nothing here asks the user anything; a box would be a fault of the benchmark.
class AnswerOk : public Prompter {
public:
    Answer show(const Message &m) override
    {
        std::fprintf(stderr, "box: %s\n", m.text.c_str());
        return Answer::Ok;
    }
};
class NoShell : public Shell {
public:
    std::optional<std::string> browseForFolder(const std::string &) override { return {}; }
    std::vector<std::string> openFiles(const OpenFilesRequest &) override { return {}; }
    std::optional<std::string> saveFile(const SaveFileRequest &) override { return {}; }
    bool open(const std::string &) override { return false; }
    bool showInFileManager(const std::string &) override { return false; }
    bool startProgram(const std::string &, const std::vector<std::string> &) override { return false; }
};
class NoClipboard : public Clipboard {
public:
    std::string text() const override { return {}; }
    void setText(const std::string &) override {}
};
class NoSound : public Sound {
public:
    void play(const std::string &) override {}
};
class NoHelp : public Help {
public:
    void showTopic(const std::string &) override {}
};

// The list window's part, as plain rows.
class RowsListWindow : public ListWindow {
public:
    RowList rows;
    std::string status;
    FileList &fileList() override { return rows; }
    void setStatusPanel(int panel, const std::string &text) override
    {
        if (panel == 1)
            status = text;
    }
    std::string folderBoxText() const override { return "T:\\bench\\"; }
    void refreshListing() override {}
    void refreshFiles() override {}
    void showFolderHistoryEntry(std::size_t) override {}
    void closeListWindow() override {}
};

void makeFiles(const std::string &folder, int count, char first)
{
    std::filesystem::create_directories(folder);
    char name[64];
    for (int i = 0; i < count; ++i) {
        std::snprintf(name, sizeof name, "/%c%06d.jpg", first, i);
        ::close(::open((folder + name).c_str(), O_CREAT | O_WRONLY, 0644));
    }
}

double cliRun(const std::string &cli, const std::string &folder, const char *from, const char *to)
{
    const std::string command = cli + " Replapart oldString=" + from + " newString=" + to + " --yes '" + folder
        + "' > /dev/null";
    QElapsedTimer t;
    t.start();
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "renomiq-cli failed\n");
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const std::string cli = argc > 2 ? argv[2] : "renomiq-cli";
    char pattern[] = "/tmp/renomiq-editor-bench-XXXXXX";
    const std::string work = ::mkdtemp(pattern);
    qputenv("RENOMIQ_DRIVES", ("T=" + work).c_str());
    qputenv("XDG_CONFIG_HOME", (work + "/config").c_str());
    qputenv("XDG_DATA_HOME", (work + "/data").c_str());
    QApplication app(argc, argv);

    HostFileSystem fileSystem;
    FileRegistry registry(UserFolders::registryFile());
    AnswerOk prompter;
    NoShell shell;
    NoClipboard clipboard;
    NoSound sound;
    NoHelp help;
    SystemClock clock;
    Platform platform{fileSystem, registry, prompter, shell, clipboard, sound, help, clock};
    AppState state(platform);
    state.settings.options.endSound = false;
    RowsListWindow list;
    TForm1 editor(state);
    TForm5 progress(platform.prompter);
    TForm6 preview(platform, state.editKind);
    TForm11 renameError;
    WindowSet windows(list, editor, preview, progress, renameError);
    RunDriver driver(state, windows, &windows);
    editor.setRunContext(windows, driver);
    QObject::connect(&preview, &TForm6::renameRequested, &editor, &TForm1::okAction);

    const std::string host = work + "/bench";
    makeFiles(host, count, 'f');
    const auto open = [&] {
        state.editKind = EditKind::Replapart;
        state.targets.targetFolder = "T:\\bench";
        state.targets.folderScope = FolderScope::OneLayer;
        state.targets.filesMode = false;
        state.run.workList.clear();
        QElapsedTimer t;
        t.start();
        state.targets.sampleItem = checkTargets(state);
        editor.showEditor();
        QApplication::processEvents();
        return static_cast<double>(t.nsecsElapsed()) / 1e6;
    };

    std::printf("files: %d\n", count);
    std::printf("open the editor on the folder:      %8.1f ms\n", open());

    state.settings.options.previewLimit = 1000;
    editor.currentPanel()->setBoxText(EditorBox::OldString, QStringLiteral("f"));
    editor.currentPanel()->setBoxText(EditorBox::NewString, QStringLiteral("g"));
    QElapsedTimer t;
    for (int round = 0; round < 3; ++round) {
        t.restart();
        editor.previewAction();
        QApplication::processEvents();
        const double previewMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
        std::printf("preview of %d rows:               %8.1f ms\n", preview.model()->rowCount(), previewMs);
    }
    preview.close();

    // Alternating runs, forth in the windows and back by renomiq-cli; medians.
    std::vector<double> windowsMs, cliMs;
    for (int round = 0; round < 3; ++round) {
        if (round > 0)
            open();
        editor.currentPanel()->setBoxText(EditorBox::OldString, QStringLiteral("f"));
        editor.currentPanel()->setBoxText(EditorBox::NewString, QStringLiteral("g"));
        t.restart();
        editor.okAction();
        windowsMs.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        std::printf("run under the progress dialog:     %8.1f ms  (%s; %d repaints)\n", windowsMs.back(),
                    list.status.c_str(), progress.repaints());
        cliMs.push_back(cliRun(cli, host, "g", "f"));
        std::printf("the same run by renomiq-cli:       %8.1f ms\n", cliMs.back());
    }
    std::sort(windowsMs.begin(), windowsMs.end());
    std::sort(cliMs.begin(), cliMs.end());
    std::printf("ratio windows / renomiq-cli:       %8.2f  (medians %.1f / %.1f ms)\n", windowsMs[1] / cliMs[1],
                windowsMs[1], cliMs[1]);

    std::filesystem::remove_all(work);
    return 0;
}
