#include "cli/cli_app.h"

#include "cli/cli_options.h"
#include "cli/cli_windows.h"
#include "cli/terminal_prompter.h"
#include "cli/terminal_text.h"
#include "cli/usage.h"
#include "engine/item_path.h"
#include "engine/text_rules.h"
#include "platform/clipboard.h"
#include "platform/file_registry.h"
#include "platform/help.h"
#include "platform/host_file_system.h"
#include "platform/platform.h"
#include "platform/shell.h"
#include "platform/system_sound.h"
#include "platform/user_folders.h"
#include "platform/clock.h"
#include "platform/version.h"
#include "state/app_state.h"
#include "run/run_driver.h"
#include "run/undo_history.h"
#include "run/undo_log.h"
#include "targets/folder_walks.h"
#include "run/name_export.h"

#include <climits>
#include <utility>
#include <cstdio>
#include <unistd.h>

namespace renomiq {

namespace {

// What a terminal has in place of the desktop: no folder or file dialog, no
// clipboard, no help window; the save dialog answers with the --output file,
// once.
class TerminalDesktop : public Shell, public Clipboard, public Help {
public:
    explicit TerminalDesktop(std::string output) : m_output(std::move(output)) {}
    std::optional<std::string> browseForFolder(const std::string &) override { return std::nullopt; }
    std::vector<std::string> openFiles(const OpenFilesRequest &) override { return {}; }
    std::optional<std::string> saveFile(const SaveFileRequest &) override
    {
        if (m_output.empty())
            return std::nullopt;
        return std::exchange(m_output, std::string());
    }
    // A terminal command does not open the written file in another program.
    bool open(const std::string &) override { return true; }
    bool showInFileManager(const std::string &) override { return false; }
    bool startProgram(const std::string &, const std::vector<std::string> &) override { return false; }

    std::string text() const override { return {}; }
    void setText(const std::string &) override {}

    void showTopic(const std::string &) override {}

private:
    std::string m_output;
};

int usageError(const std::string &error)
{
    std::fprintf(stderr, "renomiq-cli: %s\nTry 'renomiq-cli --help' for more information.\n",
                 textFor(stderr, error).c_str());
    return 2;
}

// A target as the program sees it. A Windows-style path starts with a letter
// of the drive table and ':' followed by a separator or nothing ("T:", "T:\x",
// "t:/x"); anything else ("t:y.txt", "q:/x" without a drive Q) is a host path,
// absolute or relative to the current folder, through the drive table.
std::optional<std::string> programPath(const HostFileSystem &fs, const std::string &target)
{
    const bool drivePrefix = target.size() >= 2 && target[1] == ':'
        && ((target[0] >= 'A' && target[0] <= 'Z') || (target[0] >= 'a' && target[0] <= 'z'))
        && (target.size() == 2 || target[2] == '\\' || target[2] == '/');
    if (drivePrefix && fs.drives().toHost(target.substr(0, 2)))
        return withBackslashes(target);
    std::string host = target;
    if (host.empty() || host[0] != '/') {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd))
            return std::nullopt;
        host = std::string(cwd) + "/" + host;
    }
    return fs.fromHostPath(host);
}

std::string sampleNameOf(FileSystem &fs, const TargetSet &targets, const std::string &item)
{
    if (targets.folderScope == FolderScope::ThisFolderOnly && !targets.filesMode) {
        std::string folder = item;
        while (folder.size() > 3 && folder.back() == '\\')
            folder.pop_back();
        return lastComponentOf(folder);
    }
    return splitItemPath(item, fs.folderExists(item)).namePart;
}

// renomiq-cli history: one line an operation, the newest first.
int listHistory(HostFileSystem &fs, const std::string &dataFolder)
{
    const std::vector<HistoryEntry> entries = UndoHistory(fs, dataFolder).entries();
    if (entries.empty())
        std::fputs("renomiq-cli: no operation is kept for undo\n", stderr);
    int number = 0;
    for (const HistoryEntry &entry : entries) {
        const std::string line = std::to_string(++number) + "\t" + localDateTimeText(entry.info.time) + "\t"
            + entry.info.kind + "\t" + itemCountText(entry.info.items) + "\t" + entry.info.target + "\t"
            + fs.toHostPath(entry.path).value_or(entry.path);
        std::fprintf(stdout, "%s\n", textFor(stdout, line).c_str());
    }
    return 0;
}

// renomiq-cli undo --steps N: the N newest operations, one after the other;
// the first that is not undone whole stops it.
int undoSteps(AppState &state, RunDriver &driver, int steps)
{
    FileSystem &fs = state.platform.fileSystem;
    UndoHistory history(fs, state.settings.dataFolder());
    const std::size_t kept = history.entries().size();
    if (kept == 0) {
        std::fputs("renomiq-cli: there is no operation to undo\n", stderr);
        return 1;
    }
    if (kept < static_cast<std::size_t>(steps)) {
        std::fprintf(stderr, "renomiq-cli: the undo history holds only %zu operation%s\n", kept, kept == 1 ? "" : "s");
        return 1;
    }
    for (int step = 0; step < steps; ++step) {
        const std::vector<HistoryEntry> entries = history.entries();
        if (entries.empty())
            return 1;
        if (history.undo(driver, state.platform.prompter, entries, 0) != UndoHistory::Outcome::Undone)
            return 1;
    }
    return 0;
}

} // namespace

int runCli(const std::vector<std::string> &arguments)
{
    std::string error;
    auto parsed = parseCliArguments(arguments, error);
    if (!parsed)
        return usageError(error);
    CliCommand &command = *parsed;
    if (command.mode == CliCommand::Help) {
        std::fputs(kCliUsage, stdout);
        return 0;
    }
    if (command.mode == CliCommand::Version) {
        std::printf("renomiq-cli %s\n", kVersion);
        return 0;
    }

    HostFileSystem fileSystem;
    FileRegistry registry(UserFolders::registryFile());
    TerminalPrompter prompter(command.yes, stdin, stderr, command.noUndo);
    std::string output;
    if (!command.output.empty()) {
        auto path = programPath(fileSystem, command.output);
        if (!path)
            return usageError("no drive holds '" + command.output + "'");
        output = *path;
    }
    TerminalDesktop desktop(output);
    SystemSound sound(UserFolders::installFolder());
    SystemClock clock;
    Platform platform{fileSystem, registry, prompter, desktop, desktop, sound, desktop, clock};
    AppState state(platform);
    const UndoLog::Recovery recovery = UndoLog(fileSystem, state.settings.dataFolder()).recoverAbandonedJournals();
    for (const std::string &kept : recovery.keptLogs) {
        const std::string host = textFor(stderr, fileSystem.toHostPath(kept).value_or(kept));
        std::fprintf(stderr,
                     "renomiq-cli: a run that was cut short ended before the last operation; its renames are kept "
                     "in their own undo log: %s (renomiq-cli undo --log %s)\n",
                     host.c_str(), host.c_str());
    }
    for (const std::string &aside : recovery.setAside)
        std::fprintf(stderr, "renomiq-cli: a damaged journal was set aside: %s\n",
                     textFor(stderr, fileSystem.toHostPath(aside).value_or(aside)).c_str());
    // What it could not read of its own files, each named.
    const auto notice = [](std::string text) {
        if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
            text[0] = static_cast<char>(text[0] - 'A' + 'a');
        std::fprintf(stderr, "renomiq-cli: %s\n", textFor(stderr, text).c_str());
    };
    for (const std::string &text : registry.takeNotices())
        notice(text);
    const auto host = [&](const std::string &path) {
        return path.empty() ? path : fileSystem.toHostPath(path).value_or(path);
    };
    if (const std::string &blocker = state.settings.dataFolderBlocker(); !blocker.empty()) {
        const std::string &data = state.settings.dataFolder();
        notice(SettingsStore::dataFolderNotice(host(data.substr(0, data.size() - 1)), host(blocker)));
    }
    if (const auto list = UndoHistory::unusableList(fileSystem, state.settings.dataFolder()))
        notice(UndoHistory::unusableListNotice(host(*list)));
    for (const UndoLog::Unread &unread : recovery.unread)
        notice(unreadNotice(host(unread.journal), unread.problem, host(unread.setAsideAs)));
    state.folders.load();

    CliWindows windows(state.run);
    RunDriver driver(state, windows);
    // An export ends as a run does: its end is reported (there is no editor
    // window whose closing would report it).
    const auto exportNames = [&](const ExportChoices &choices) {
        const bool written = !NameExporter(state, windows).exportNames(choices).empty();
        if (written && state.run.operationRan)
            driver.reportEditorClosed();
        return written;
    };

    if (command.mode == CliCommand::History)
        return listHistory(fileSystem, state.settings.dataFolder());
    if (command.mode == CliCommand::Undo && command.steps > 0) {
        state.targets.filesMode = true;
        return undoSteps(state, driver, command.steps);
    }
    if (command.mode == CliCommand::Undo) {
        std::string log;
        if (!command.log.empty()) {
            auto path = programPath(fileSystem, command.log);
            if (!path)
                return usageError("no drive holds '" + command.log + "'");
            log = *path;
        }
        const UndoLog undoLog = log.empty() ? UndoLog(fileSystem, state.settings.dataFolder())
                                            : UndoLog::atFile(fileSystem, state.settings.dataFolder(), log);
        if (!undoLog.exists()) {
            if (log.empty())
                std::fputs("renomiq-cli: there is no operation to undo\n", stderr);
            else
                std::fprintf(stderr, "renomiq-cli: no such undo log: %s\n", textFor(stderr, command.log).c_str());
            return 1;
        }
        state.targets.filesMode = true;
        if (!driver.undoLast(log) || driver.undoRefused() || driver.undoLogFailed())
            return 1;
        return driver.unrestoredCount() == 0 ? 0 : 1;
    }

    // The targets: one folder with its scope, or a list of items.
    std::vector<std::string> targets;
    for (const std::string &t : command.targets) {
        auto path = programPath(fileSystem, t);
        if (!path)
            return usageError("no drive holds '" + t + "'");
        if (!fileSystem.exists(*path))
            return usageError("no such file or folder: " + t);
        targets.push_back(*path);
    }
    EditorInputs &inputs = command.inputs;
    EditRequest &request = inputs.request;
    const EditKind kind = request.kind;
    state.editKind = kind;
    TargetSet &set = state.targets;
    set.folderScope = command.scope;
    request.folderScope = command.scope;
    if (targets.size() == 1 && kind != EditKind::Savesomes && fileSystem.folderExists(targets[0])) {
        set.filesMode = false;
        set.targetFolder = withTrailingBackslash(targets[0]);
        windows.folderBox = set.targetFolder;
        if (set.folderScope == FolderScope::ThisFolderOnly && set.targetFolder.size() <= 3) {
            prompter.information("Can not rename root directory !");
            return 1;
        }
    } else {
        if (kind == EditKind::Savealls)
            return usageError("Savealls takes one folder");
        set.filesMode = true;
        for (const std::string &t : targets)
            windows.fileList().appendRow(t);
        collectFilesForRun(windows.fileList(), set, state.run.workList);
    }

    // Options that the options dialog would have set, unless given here.
    if (command.fieldsGiven.count("previewLimit"))
        state.settings.options.previewLimit = request.previewLimit;
    else
        request.previewLimit = state.settings.options.previewLimit;
    if (!command.fieldsGiven.count("excludeSmallWords"))
        request.excludeSmallWords = state.settings.options.excludeSmallWords;
    // --limit: this preview's rows, the stored number left as it is.
    if (command.limit == CliCommand::kAllRows)
        state.settings.options.previewLimit = INT_MAX;
    else if (command.limit > 0)
        state.settings.options.previewLimit = command.limit;
    windows.json = command.json;
    state.run.jobs = command.jobs;
    state.run.stopSignal = &CliWindows::interrupted;
    windows.preview = request.preview;
    windows.previewPaths = command.scope != FolderScope::OneLayer;
    windows.hostPath = [&fileSystem](const std::string &path) {
        return fileSystem.toHostPath(path).value_or(path);
    };

    int status = 1;
    if (kind == EditKind::Savesomes) {
        status = exportNames(inputs.save) ? 0 : 1;
    } else {
        bool targetsChecked = false;
        if (!command.fieldsGiven.count("sampleName")) {
            const std::string item = set.filesMode ? state.run.workList.front() : checkTargets(state);
            if (item.empty())
                return 1;
            targetsChecked = !set.filesMode;
            request.sampleName = sampleNameOf(fileSystem, set, item);
        }
        inputs.scopeCaption = scopeCaption(command.scope);
        inputs.selectedText = bytesFromTo(request.sampleName, request.selectionStart + 1,
                                          request.selectionStart + request.selectionLength);
        inputs.cursorPicked = request.cursorPosition > 0;
        const CheckResult check = checkAndStart(state, inputs, targetsChecked);
        if (check.action == CheckResult::Export) {
            status = exportNames(inputs.save) ? 0 : 1;
        } else if (check.action == CheckResult::Run) {
            driver.startRun(request);
            status = request.preview ? (windows.previewRowCount() > 0 ? 0 : 1) : (state.run.renamedCount > 0 && !state.run.stoppedByError ? 0 : 1);
            if (!request.preview && state.run.stoppedByUser && !state.run.stoppedByError) {
                const RunState &run = state.run;
                std::FILE *stream = command.json ? stderr : stdout;
                std::fprintf(stream, "The run was stopped: %d renamed successfully, %d failed, %d not tried.\n",
                             run.renamedCount, run.failedCount, run.notTriedCount);
                status = 130; // as a shell reports a program ended by Ctrl+C
            }
        }
    }
    state.settings.saveFolders(state.folders.entries());
    return status;
}

} // namespace renomiq
