#include "run/run_driver.h"

#include "engine/item_path.h"
#include "engine/taken_order.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/new_name_check.h"
#include "platform/platform.h"
#include "platform/prompter.h"
#include "platform/sound.h"
#include "state/app_state.h"
#include "run/name_export.h"
#include "run/parallel_run.h"
#include "run/run_observer.h"
#include "run/undo_history.h"
#include "run/undo_log.h"
#include "targets/file_list.h"
#include "targets/folder_walks.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_set>

namespace renomiq {

namespace {

std::string folderPartOf(const std::string &path)
{
    return splitItemPath(path, true).folderPart;
}

} // namespace

RunDriver::RunDriver(AppState &state, RunObserver &observer, WindowChoreography *windows)
    : m_state(state), m_observer(observer), m_windows(windows)
{
}

RunDriver::~RunDriver() = default;

std::string RunDriver::exportNames(const ExportChoices &choices)
{
    return NameExporter(m_state, m_observer, m_windows).exportNames(choices);
}

bool RunDriver::usesProgressDialog() const
{
    return m_state.run.workList.size() > 18 || m_state.targetCounts.firstLayerFileCount > 18
        || m_state.targets.folderScope == FolderScope::AllLayers;
}

void RunDriver::startRun(const EditRequest &request)
{
    m_request = &request;
    RunState &run = m_state.run;
    // By identity: however it is reached, through links, bind mounts or not.
    const std::vector<ItemId> dataChain = m_state.platform.fileSystem.folderChain(m_state.settings.dataFolder());
    m_dataFolder = dataChain.empty() ? std::nullopt : std::optional<ItemId>(dataChain.front());
    m_aboveDataFolder.assign(dataChain.begin() + (dataChain.empty() ? 0 : 1), dataChain.end());
    m_folderInData = {};
    if (request.preview) {
        if (m_windows)
            m_windows->setBusy(true);
        m_observer.clearPreview();
        m_previewRows.clear();
        visitTargets();
        if (m_windows)
            m_windows->showPreview(m_state.settings.options.previewMaximized);
        if (m_previewRows.empty())
            m_observer.previewEmpty();
        else if (run.stopRequest)
            m_observer.previewTruncated();
        if (m_windows)
            m_windows->setBusy(false);
        run.stopRequest = false;
        m_request = nullptr;
        return;
    }

    if (request.kind != EditKind::Removpart && request.kind != EditKind::Changexten) {
        const Status remembered = m_state.names.remember(request);
        if (!remembered)
            m_state.platform.prompter.show({"Error", NameHistory::failureText(remembered.error()), MessageIcon::Error,
                                            MessageButtons::Ok});
    }
    FileSystem &fs = m_state.platform.fileSystem;
    // The history's list could not describe this run, and what stands at its
    // name is never replaced: the run does not start.
    if (const auto list = UndoHistory::unusableList(fs, m_state.settings.dataFolder())) {
        m_state.platform.prompter.show({"Error",
                                        "The list of the undo history '" + *list
                                            + "' is not a regular file and cannot be replaced. Nothing was renamed; "
                                              "remove it to run again.",
                                        MessageIcon::Error, MessageButtons::Ok});
        if (m_windows)
            m_windows->showEditor();
        m_request = nullptr;
        return;
    }
    m_log = std::make_unique<UndoLog>(fs, m_state.settings.dataFolder());
    m_log->describeAs(operationOf(request));
    Status journal = m_log->begin();
    reportRecovery(m_state.platform.prompter, m_log->recoveryBeforeRun());
    if (!journal) {
        // Asked before anything is renamed, not reported afterwards.
        const Answer answer = m_state.platform.prompter.show(
            {"Confirmation",
             "The undo log cannot be written: " + journal.error().message
                 + ". Rename without the possibility to undo?",
             MessageIcon::Question, MessageButtons::YesNo, {}, true});
        // Without a journal the run's log is written at its end, if at all:
        // the log of the operation before goes first, or Undo would reverse
        // that one instead of this run.
        Status removed;
        if (answer == Answer::Yes && m_log->exists()) {
            removed = UndoHistory(fs, m_state.settings.dataFolder()).keepLast();
            if (!removed)
                m_state.platform.prompter.show(
                    {"Error",
                     "The undo log of the last operation cannot be removed: " + removed.error().message
                         + ". Nothing was renamed, so that Undo cannot reverse the wrong operation.",
                     MessageIcon::Error, MessageButtons::Ok});
        }
        if (answer != Answer::Yes || !removed) {
            m_log.reset();
            if (m_windows)
                m_windows->showEditor();
            m_request = nullptr;
            return;
        }
    }
    m_journalError = Error{};
    fs.setDetourObserver([this](const std::string &from, const std::string &temporary) {
        if (!m_log)
            return true;
        if (m_parallel && m_log->usesSlots()) {
            Status recorded = m_log->recordDetourOfSlot(temporary, from);
            if (!recorded)
                m_parallel->detourNotRecorded(recorded.error());
            return recorded.ok();
        }
        Status recorded = m_log->recordDetour(temporary, from);
        if (!recorded && m_journalError.message.empty()) {
            m_journalError = recorded.error();
            m_state.run.stopRequest = true;
            m_state.run.stoppedByError = true;
        }
        return recorded.ok();
    });
    m_observer.fileList().clear();
    // A walk opens its target by the path given; a run over files, each
    // file's folder (recorded with its first item).
    if (!m_state.targets.filesMode) {
        std::string target = m_state.targets.targetFolder;
        if (m_state.targets.folderScope == FolderScope::ThisFolderOnly) {
            if (target.size() > 3 && target.back() == '\\')
                target.pop_back();
            target = folderPartOf(target);
        }
        recordFolder(target);
    }
    if (usesProgressDialog()) {
        run.progressJob = ProgressJob::RenamingJob;
        if (!m_state.handOffMode)
            if (m_windows)
                m_windows->hideEditor();
        m_observer.runWithProgress([this] {
            visitTargets();
            m_state.run.progressJob = ProgressJob::None;
        });
        m_observer.processEvents();
    } else {
        if (m_windows)
            m_windows->setBusy(true);
        visitTargets();
        if (m_windows)
            m_windows->setBusy(false);
        m_observer.processEvents();
    }
    fs.setDetourObserver(nullptr);
    std::vector<ItemId>().swap(m_workIdentities);
    finishRun();
    m_log.reset();
    run.stopRequest = false;
    m_request = nullptr;
}

bool RunDriver::renaming(const std::string &oldPath, const std::string &newPath)
{
    if (const std::string refusal = refusalOf(oldPath, lastComponentOf(newPath)); !refusal.empty()) {
        refuse(oldPath, newPath, refusal);
        return false;
    }
    if (!m_log)
        return true;
    if (m_state.targets.filesMode && !recordFolder(folderPartOf(oldPath))) {
        ++m_state.run.notTriedCount;
        return false;
    }
    // The item's identity goes with its pair: recovery and undo act only on
    // the item this run renamed (as the held folder's listing read it, or
    // one look-up).
    const bool listed = m_currentIdentity.inode != 0 && m_currentItem && *m_currentItem == oldPath;
    Status recorded = m_log->recordRename(newPath, oldPath,
                                          listed ? std::optional<ItemId>(m_currentIdentity)
                                                 : m_state.platform.fileSystem.itemId(oldPath));
    if (!recorded) {
        // Nothing is renamed that the undo log could not take back.
        m_journalError = recorded.error();
        m_state.run.stopRequest = true;
        m_state.run.stoppedByError = true;
        ++m_state.run.notTriedCount;
        return false;
    }
    return true;
}

std::string RunDriver::refusalOf(const std::string &oldPath, const std::string &newName,
                                 std::pair<std::string, bool> &folderInData) const
{
    switch (newNameFault(newName)) {
    case NewNameFault::ControlCharacter:
        return "The new filename: '" + newName
            + "' can not be renamed, because it holds a control character (such as a line break), which "
              "Windows filenames can not hold.";
    case NewNameFault::Separator:
        // A run never gets here: the engine fails such an item before its rename.
        return "The new filename: '" + newName
            + "' can not be renamed, because it holds \\ or /, which separate the folders of a path.";
    case NewNameFault::None:
        break;
    }
    if (const std::size_t lineBreak = oldPath.find_first_of("\r\n"); lineBreak != std::string::npos) {
        if (oldPath.find('\\', lineBreak) != std::string::npos)
            return "'" + oldPath + "' can not be renamed, because the name of a folder it lies in holds a line break, "
                                   "which the undo log can not hold.";
        return "'" + oldPath + "' can not be renamed, because its name holds a line break, which the undo log can "
                               "not hold.";
    }
    // The data folder, what it holds, and the folders it lies in stay where they are.
    if (m_dataFolder) {
        FileSystem &files = m_state.platform.fileSystem;
        const std::string folder = folderPartOf(oldPath);
        if (folderInData.first != folder) {
            const std::vector<ItemId> chain = files.folderChain(folder);
            folderInData = {folder, std::find(chain.begin(), chain.end(), *m_dataFolder) != chain.end()};
        }
        if (folderInData.second)
            return "'" + oldPath + "' can not be renamed, because it is one of the program's own files (the undo log "
                                   "and lists).";
        // Only a folder can be the data folder or hold it: the files of a
        // walk over files need no look-up of their own.
        const FolderScope scope = m_state.targets.folderScope;
        const bool mayBeFolder = m_state.targets.filesMode || scope == FolderScope::OnlySubfolders
            || scope == FolderScope::ThisFolderOnly;
        if (mayBeFolder) {
            const std::optional<ItemId> item = files.itemId(oldPath);
            if (item
                && (*item == *m_dataFolder
                    || std::find(m_aboveDataFolder.begin(), m_aboveDataFolder.end(), *item) != m_aboveDataFolder.end()))
                return "'" + oldPath + "' can not be renamed, because it holds the program's own files (the undo "
                                       "log and lists).";
        }
    }
    return {};
}

bool RunDriver::recordFolder(const std::string &folder)
{
    if (!m_log || folder.empty() || m_log->folderRecorded(folder))
        return true;
    // The folder as the host opens it by this path now: the one the run renames in.
    const std::vector<ItemId> chain = m_state.platform.fileSystem.folderChain(folder);
    if (chain.empty())
        return true; // its items fail
    Status recorded = m_log->recordFolder(folder, chain);
    if (!recorded) {
        m_journalError = recorded.error();
        m_state.run.stopRequest = true;
        m_state.run.stoppedByError = true;
        return false;
    }
    return true;
}

void RunDriver::refuse(const std::string &oldPath, const std::string &newPath, const std::string &message)
{
    m_state.platform.prompter.informationAbout(message, {oldPath, lastComponentOf(newPath)});
    m_observer.itemDone(ItemStatus::Refused, oldPath, newPath);
    if (m_state.targets.filesMode && !m_request->preview)
        addFileRow(oldPath, oldPath);
    ++m_state.run.failedCount;
}

void RunDriver::addFileRow(const std::string &item, const std::string &row)
{
    if (!m_heldRows) {
        m_observer.fileList().addFileRow(row);
        return;
    }
    std::vector<std::size_t> &places = m_heldRows->places[item];
    if (places.empty()) {
        m_observer.fileList().addFileRow(row);
        return;
    }
    m_heldRows->rows.emplace(places.back(), row);
    places.pop_back();
}

void RunDriver::renameNotMade(const std::string &oldPath, const std::string &)
{
    if (m_log)
        m_log->renameFailed(oldPath);
}

void RunDriver::visitTargets()
{
    // What the walk cannot reach fails, as a rename that fails does: counted
    // and shown, never passed over in silence.
    const auto unreachable = [this](const std::string &path, const std::string &reason) {
        if (m_request->preview)
            return;
        ++m_state.run.failedCount;
        m_observer.showUnreachable(path, reason);
        m_observer.itemDone(ItemStatus::Failed, path, std::string());
    };
    if (!m_request->preview && m_state.run.jobs != 1 && runThreads(m_state.run.jobs) > 1
        && suitsParallelRun(m_state.targets, *m_request)) {
        visitInParallel(unreachable);
        return;
    }
    // A preview stops after its rows: it takes each folder in stretches.
    std::size_t batchEntries = 0;
    const auto handedOver = [this, &batchEntries](bool continued) {
        if (m_request->preview && !m_state.run.workList.empty())
            m_state.run.previewBatchEntries = batchEntries;
        processWorkList(continued);
    };
    renomiq::visitTargets(m_state.platform.fileSystem, m_state.targets, m_state.run.workList, m_state.run.stopRequest,
                          handedOver, unreachable,
                          // Numbers in taken order need each folder's batch whole.
                          m_request->preview && !m_request->numbersInTakenOrder() ? WalkExtent::UntilStopped
                                                                                   : WalkExtent::Full,
                          &batchEntries, &m_workIdentities);
}

void RunDriver::visitInParallel(const UnreachableItem &unreachable)
{
    RunState &run = m_state.run;
    ParallelRunHooks hooks;
    hooks.refusal = [this](const std::string &oldPath, const std::string &newName,
                           std::pair<std::string, bool> &cache) { return refusalOf(oldPath, newName, cache); };
    hooks.refuse = [this](const std::string &oldPath, const std::string &newPath, const std::string &message) {
        refuse(oldPath, newPath, message);
    };
    hooks.report = [this](const ItemOutcome &outcome) {
        m_reportingForThreads = true;
        report(outcome);
        m_reportingForThreads = false;
    };
    hooks.journalFailed = [this](const Error &error, bool itemNotTried) {
        if (m_journalError.message.empty())
            m_journalError = error;
        m_state.run.stopRequest = true;
        m_state.run.stoppedByError = true;
        m_state.run.notTriedCount += itemNotTried;
    };
    hooks.workHere = [this](std::vector<std::string> &&items, std::vector<ItemId> &&identities) {
        m_heldRows.reset(); // in one thread, the rows come in the list's order
        m_state.run.workList = std::move(items);
        m_workIdentities = std::move(identities);
        processWorkList(false);
    };
    hooks.recordFolder = [this](const std::string &folder) { return recordFolder(folder); };
    hooks.unreachable = unreachable;
    Platform &platform = m_state.platform;
    ParallelRun parallel({platform.fileSystem, platform.prompter, platform.clock, m_state.engine, *m_request,
                          m_state.targets, run, m_observer, m_log.get(), runThreads(run.jobs)},
                         std::move(hooks));
    // The threads finish the chosen items' folders in any order: their rows
    // come in the list's order, as a run in one thread adds them.
    if (m_state.targets.filesMode) {
        m_heldRows = std::make_unique<HeldRows>();
        for (std::size_t place = run.workList.size(); place-- > 0;)
            m_heldRows->places[run.workList[place]].push_back(place);
    }
    m_parallel = &parallel;
    parallel.run();
    m_parallel = nullptr;
    if (m_heldRows) {
        std::unique_ptr<HeldRows> held = std::move(m_heldRows);
        for (const auto &[place, row] : held->rows)
            m_observer.fileList().addFileRow(row);
    }
}

void RunDriver::processWorkList(bool continued)
{
    RunState &run = m_state.run;
    if (run.workList.empty()) {
        // A folder without items: a Cancel (or Ctrl+C) is still seen here, so a
        // walk over many empty folders stops as soon as one over items does.
        m_observer.processEvents();
        return;
    }
    if (!continued) {
        SpecialStrings &special = m_state.engine.specialStrings();
        special.setRunningNumber(m_request->startNumber);
        special.metadata().clear();
        if (m_request->numbersInTakenOrder())
            orderByTaken(
                run.workList, [&special](const std::string &path) { return special.takenTime(path); },
                &m_workIdentities);
    }
    if (run.progressJob == ProgressJob::RenamingJob && !continued) {
        m_observer.setProgressPosition(0);
        m_observer.setProgressMaximum(static_cast<int>(run.workList.size()));
    }
    // The walk knows what it hands over: files, or folders (linked ones too).
    std::optional<bool> isFolder;
    if (!m_state.targets.filesMode)
        isFolder = m_state.targets.folderScope == FolderScope::OnlySubfolders
            || m_state.targets.folderScope == FolderScope::ThisFolderOnly;
    const bool withIdentities = m_workIdentities.size() == run.workList.size();
    for (std::size_t i = 0; i < run.workList.size(); ++i) {
        const std::string &path = run.workList[i];
        if (run.stopRequest) {
            if (run.stoppedByError || run.stoppedByUser)
                run.notTriedCount += static_cast<int>(run.workList.size() - i);
            break;
        }
        const int renamedBefore = run.renamedCount;
        m_currentItem = &path;
        m_currentIdentity = withIdentities ? m_workIdentities[i] : ItemId{};
        m_state.engine.newNameFor(*m_request, path, *this, isFolder);
        m_currentItem = nullptr;
        // A renamed item has let the dialog see a Cancel click; every other
        // outcome does it here, so that a run of failures stops as well.
        if (run.progressJob == ProgressJob::RenamingJob && run.renamedCount == renamedBefore)
            m_observer.processEvents();
    }
}

void RunDriver::report(const ItemOutcome &outcome)
{
    RunState &run = m_state.run;
    SpecialStrings &special = m_state.engine.specialStrings();
    const bool filesMode = m_state.targets.filesMode;
    const bool preview = m_request->preview;
    switch (outcome.kind) {
    case OutcomeKind::Renamed:
        if (m_log)
            m_log->renameDone();
        if (run.progressJob == ProgressJob::RenamingJob) {
            m_observer.setProgressNames(lastComponentOf(outcome.oldPath), lastComponentOf(outcome.newPath));
            m_observer.setProgressPosition(m_observer.progressPosition() + 1);
            if (!m_reportingForThreads) // those let the windows see events once for all they report
                m_observer.processEvents();
        }
        if (filesMode)
            addFileRow(outcome.oldPath, outcome.newPath);
        special.setRunningNumber(special.runningNumber() + 1);
        ++run.renamedCount;
        m_observer.itemDone(ItemStatus::Renamed, outcome.oldPath, outcome.newPath);
        break;
    case OutcomeKind::RenameFailed:
        if (m_log)
            m_log->renameFailed(outcome.oldPath);
        m_observer.showRenameError(outcome.oldPath, outcome.newPath, reasonOf(outcome.error));
        if (filesMode)
            addFileRow(outcome.oldPath, outcome.oldPath);
        ++run.failedCount;
        m_observer.itemDone(ItemStatus::Failed, outcome.oldPath, outcome.newPath);
        break;
    case OutcomeKind::EmptyName:
    case OutcomeKind::Refused:
        if (filesMode && !preview)
            addFileRow(outcome.oldPath, outcome.oldPath);
        ++run.failedCount;
        m_observer.itemDone(ItemStatus::Refused, outcome.oldPath, outcome.newPath);
        break;
    case OutcomeKind::Unchanged:
        if (filesMode && !preview
            && (outcome.byExtensionRule || m_state.targets.folderScope != FolderScope::ThisFolderOnly))
            addFileRow(outcome.oldPath, outcome.oldPath);
        if (!preview)
            m_observer.itemDone(ItemStatus::Unchanged, outcome.oldPath, outcome.oldPath);
        break;
    case OutcomeKind::Previewed:
        // The new name as made, which a '\\' in it would split in the path.
        if (const std::string refusal = refusalOf(outcome.oldPath, outcome.namePart + outcome.extensionPart);
            !refusal.empty())
            refuse(outcome.oldPath, outcome.newPath, refusal);
        else
            addPreviewRow(outcome);
        break;
    }
}

void RunDriver::addPreviewRow(const ItemOutcome &outcome)
{
    if (m_previewRows.size() >= static_cast<std::size_t>(m_state.settings.options.previewLimit)) {
        m_state.run.stopRequest = true;
        return;
    }
    const bool names = m_state.targets.folderScope == FolderScope::OneLayer;
    const std::string prefix = names ? std::string() : folderPartOf(outcome.newPath);
    std::string oldText = names ? lastComponentOf(outcome.oldPath) : outcome.oldPath;
    std::string candidate = names ? lastComponentOf(outcome.newPath) : outcome.newPath;
    int n = outcome.suffixCount;
    for (const PreviewRow &row : m_previewRows) {
        if (row.newText == candidate)
            candidate = prefix + outcome.namePart + "(" + std::to_string(++n) + ")" + outcome.extensionPart;
    }
    m_previewRows.push_back({oldText, candidate});
    m_observer.addPreviewRow(oldText, candidate);
    SpecialStrings &special = m_state.engine.specialStrings();
    special.setRunningNumber(special.runningNumber() + 1);
}

void RunDriver::finishRun()
{
    RunState &run = m_state.run;
    Prompter &prompter = m_state.platform.prompter;
    const bool renamed = m_log->pairCount() > 0;
    m_operation.time = m_state.platform.clock.now();
    m_operation.items = static_cast<std::size_t>(run.renamedCount);
    m_log->describeAs(m_operation);
    Status written = m_log->commit();
    if (!m_journalError.message.empty())
        prompter.show({"Error",
                       "The undo log could not be written: " + m_journalError.message
                           + ". The run was stopped before the next rename; what was renamed can be undone.",
                       MessageIcon::Error, MessageButtons::Ok});
    if (!renamed) {
        if (m_windows)
            m_windows->showEditor();
        prompter.information(
            "No filename had been changed,please check input text and \nmake sure that the targeted files can be "
            "renamed.");
        return;
    }
    if (m_windows)
        m_windows->hideEditor();
    m_observer.processEvents();
    if (!written)
        prompter.show({"Error", "The undo log could not be written: " + written.error().message, MessageIcon::Error,
                       MessageButtons::Ok});
    if (m_state.settings.options.exitAfterOperation) {
        if (m_windows)
            m_windows->closeListWindow();
    } else {
        run.operationRan = true;
        // Closing the editor reports the run; without windows it is reported at once.
        if (m_windows)
            m_windows->closeEditor();
        else
            reportEditorClosed();
    }
    if (m_state.settings.options.endSound)
        m_state.platform.sound.play("end.wav");
}

OperationInfo RunDriver::operationOf(const EditRequest &request)
{
    OperationInfo info;
    info.kind = operationKindName(request.kind);
    const TargetSet &targets = m_state.targets;
    const std::vector<std::string> &items = m_state.run.workList;
    if (!targets.filesMode || items.empty())
        info.target = targets.targetFolder;
    else if (items.size() == 1)
        info.target = items.front();
    else
        info.target = items.front() + " and " + std::to_string(items.size() - 1) + " more";
    m_operation = info;
    return info;
}

void RunDriver::reportEditorClosed()
{
    RunState &run = m_state.run;
    if (run.operationRan) {
        if (!m_state.settings.options.displayResult)
            m_observer.fileList().clear();
        if (m_state.editKind != EditKind::Savealls)
            m_observer.setStatusPanel(1, resultText(run));
    }
    if (m_windows)
        m_windows->closePreview();
    m_observer.processEvents();
    run.workList.clear();
    if (!m_state.targets.filesMode) {
        if ((run.operationRan || m_state.handOffMode) && m_windows)
            m_windows->refreshListing();
        if (run.operationRan && !m_state.targets.filesMode) {
            const std::size_t entry = m_state.folders.add(m_state.targets.targetFolder);
            if (m_windows)
                m_windows->showFolderHistoryEntry(entry);
        }
    } else {
        m_observer.setStatusPanel(0, std::to_string(m_observer.fileList().rowCount()) + " Files");
    }
}

std::string RunDriver::resultText(const RunState &run)
{
    const std::string counts = std::to_string(run.renamedCount) + " renamed successfully, "
        + std::to_string(run.failedCount) + " failed";
    if (!run.stoppedByError)
        return counts + ".";
    return "The run was stopped (the undo log could not be written): " + counts + ", "
        + std::to_string(run.notTriedCount) + " not tried.";
}

void RunDriver::reportRecovery(Prompter &prompter, const UndoLog::Recovery &recovery)
{
    for (const std::string &kept : recovery.keptLogs)
        prompter.informationAbout(keptLogNotice(kept), {kept});
    for (const std::string &aside : recovery.setAside)
        prompter.informationAbout("A damaged journal of a run was set aside: " + aside, {aside});
}

bool RunDriver::undoLast(const std::string &logPath, const std::string &question)
{
    Prompter &prompter = m_state.platform.prompter;
    FileSystem &fs = m_state.platform.fileSystem;
    const std::string &dataFolder = m_state.settings.dataFolder();
    // A log given by name need not be the last operation's; the history
    // window asks its own question.
    const bool lastOperation = logPath.empty() || logPath == UndoLog(fs, dataFolder).path();
    const std::string asked = !question.empty() ? question
        : lastOperation ? std::string("Do you want to UNDO the last rename operation ?")
                        : "Do you want to UNDO the rename operation recorded in '" + logPath + "' ?";
    if (prompter.show({"Undo Confirmation", asked, MessageIcon::Question, MessageButtons::YesNo}) != Answer::Yes)
        return false;
    m_log = std::make_unique<UndoLog>(logPath.empty() ? UndoLog(fs, dataFolder)
                                                      : UndoLog::atFile(fs, dataFolder, logPath));
    const std::optional<ItemId> taken = fs.itemId(m_log->path());
    auto lines = m_log->read();
    m_unrestored = 0;
    m_invalidPairs = 0;
    m_undoRefused = false;
    m_undoLogFailed = false;
    // A file that holds no pair is no undo log: it is left as it is.
    const auto holdsAPair = [](const std::vector<std::string> &log) {
        for (const UndoEntry &entry : undoEntriesOf(log)) {
            if (isSoundUndoPair(entry.current, entry.former))
                return true;
        }
        return false;
    };
    if (!lines || !holdsAPair(*lines)) {
        const std::string reason = lines ? "'" + m_log->path() + "' holds no pair of names to undo; it is left as it is"
                                         : lines.error().message;
        prompter.show({"Error", "The undo log could not be read: " + reason, MessageIcon::Error, MessageButtons::Ok});
        m_log.reset();
        m_undoRefused = true;
        return true;
    }
    RunState &run = m_state.run;
    run.workList = std::move(*lines);
    // Its pairs' lines, without the items' identities, tell how long it takes.
    if (2 * undoEntriesOf(run.workList).size() <= 60) {
        run.progressJob = ProgressJob::UndoQuick;
        undoJob(false);
    } else {
        run.progressJob = ProgressJob::UndoWithDialog;
        m_observer.runWithProgress([this] { undoJob(true); });
    }
    // The undo history follows the log to what is left of it.
    if (taken)
        UndoHistory::followUndo(fs, dataFolder, *taken, m_log->path());
    m_log.reset();
    run.progressJob = ProgressJob::None;
    run.stopRequest = false;
    if (m_state.targets.filesMode) {
        if (m_windows)
            m_windows->refreshFiles();
    } else {
        m_state.listing.abort = false;
        if (m_windows)
            m_windows->refreshListing();
    }
    if (m_undoLogFailed) {
        // Its error has been shown: the undo is not reported done.
    } else if (m_unrestored == 0) {
        m_observer.setStatusPanel(1, "Undo done.");
    } else {
        const std::string count = std::to_string(m_unrestored) + (m_unrestored == 1 ? " item" : " items");
        m_observer.setStatusPanel(1, "Undo done. " + count + " could not be restored.");
        const int missing = m_unrestored - m_invalidPairs;
        std::string text;
        if (missing > 0)
            text = std::to_string(missing) + (missing == 1 ? " item" : " items")
                + " could not be restored: the item is missing, or another item has its former name. The undo log "
                  "keeps them, so that Undo can try them again.";
        if (m_invalidPairs > 0)
            text += (text.empty() ? "" : "\n") + std::to_string(m_invalidPairs)
                + (m_invalidPairs == 1 ? " entry of the undo log is invalid" : " entries of the undo log are invalid")
                + " (a path that is no full path in its partner's folder, or holds a zero byte): "
                + (m_invalidPairs == 1 ? "it was" : "they were") + " not undone, and the undo log keeps "
                + (m_invalidPairs == 1 ? "it." : "them.");
        prompter.show({"Information", text, MessageIcon::Information, MessageButtons::Ok});
    }
    return true;
}

namespace {

// The deepest folder holding every item of a log, with its trailing '\' (""
// when they lie on different drives). A run renames within its target, and
// its walk never enters a link: no folder below this one was a link when the
// run renamed there. The links on the way to it (to the target) were.
std::string commonFolderOf(const std::vector<UndoEntry> &entries)
{
    std::optional<std::string> common;
    for (const UndoEntry &entry : entries) {
        if (!isSoundUndoPair(entry.current, entry.former))
            continue;
        const std::string_view folder = std::string_view(entry.current).substr(0, entry.current.rfind('\\') + 1);
        if (!common) {
            common = std::string(folder);
            continue;
        }
        std::size_t same = 0;
        while (same < common->size() && same < folder.size() && (*common)[same] == folder[same])
            ++same;
        const std::size_t cut = same == 0 ? std::string::npos : common->rfind('\\', same - 1);
        common->resize(cut == std::string::npos ? 0 : cut + 1);
    }
    return common.value_or(std::string());
}

} // namespace

void RunDriver::undoJob(bool withDialog)
{
    RunState &run = m_state.run;
    FileSystem &fs = m_state.platform.fileSystem;
    FileList &list = m_observer.fileList();
    const std::vector<UndoEntry> entries = undoEntriesOf(run.workList);
    if (m_windows)
        m_windows->setBusy(true);
    m_observer.setProgressPosition(0);
    if (withDialog)
        m_observer.setProgressMaximum(static_cast<int>(2 * entries.size()));
    // The last rename is undone first, so that renames that depend on each
    // other (a folder and what it holds, chains of names) come back. An odd
    // last line has no partner and is left alone.
    const std::size_t pairs = entries.size();
    std::vector<bool> kept(pairs, false);
    std::size_t next = pairs; // pairs before it have not been tried
    // Pairs whose two paths are both taken: not restored, or restored by an
    // undo cut short before an earlier item took back its former name there.
    std::vector<bool> bothTaken(pairs, false);
    const std::string box = m_observer.folderBoxText();
    const std::string trusted = commonFolderOf(entries);
    const std::vector<UndoFolder> folders = undoFoldersOf(run.workList);
    const UndoFolderIndex folderIndex(folders);
    // Whether the host goes up from a folder at its path through the same
    // folders as at the run: once found so, not looked at again (an undo
    // that renames a folder back may make a path lead there again).
    std::unordered_set<const UndoFolder *> sameWayUp;
    const auto goesUpAsAtTheRun = [&](const UndoFolder &folder) {
        if (folder.above.empty() || sameWayUp.count(&folder))
            return true;
        const std::vector<ItemId> chain = fs.folderChain(folder.path);
        const bool same = chain.size() == folder.above.size() + 1 && chain.front() == folder.identity
            && std::equal(folder.above.begin(), folder.above.end(), chain.begin() + 1);
        if (same)
            sameWayUp.insert(&folder);
        return same;
    };
    while (next > 0 && !run.stopRequest) {
        const std::size_t k = --next;
        const std::string &current = entries[k].current;
        const std::string &former = entries[k].former;
        const std::optional<ItemId> &identity = entries[k].identity;
        // A pair from a hand-edited log that would move an item to another
        // folder is never undone.
        const bool sound = isSoundUndoPair(current, former);
        // With the renamed item's identity recorded, only that item is
        // renamed back: another one put at its name since stays as it is.
        // Without it, no link is followed below the folder holding all the
        // log's items: a folder swapped for one leads nowhere else. With the
        // folders the run opened recorded, the item's is entered from the
        // one that holds it, only while that is still the same folder, and
        // never through a link below it; an item in none of them stays, and
        // so do those of a folder whose path now leads through other
        // folders than at the run (one moved away, a link in its place).
        FileSystem::BackGuard guard{identity, identity ? std::string() : trusted};
        const UndoFolder *folder = folderIndex.folderOf(current);
        if (folder)
            guard = {identity, folder->path, folder->identity};
        if (sound && (folders.empty() || (folder && goesUpAsAtTheRun(*folder)))
            && fs.renameBack(current, former, guard)) {
            for (std::size_t row = list.rowCount(); row-- > 0;) {
                const std::string text = list.rowText(row);
                if (m_state.targets.filesMode ? text == current : box + text == current) {
                    list.setRowText(row, m_state.targets.filesMode ? former : lastComponentOf(former));
                    break;
                }
            }
            if (withDialog)
                m_observer.setProgressNames(lastComponentOf(current), lastComponentOf(former));
        } else if (!sound) {
            kept[k] = true;
            ++m_invalidPairs;
        } else if (identity) {
            // Restored already (by an undo cut short) only when the item
            // itself is at its former name.
            kept[k] = fs.itemId(former) != identity;
        } else if (!fs.exists(former)) {
            kept[k] = true;
        } else if (fs.exists(current)) {
            kept[k] = true;
            bothTaken[k] = true;
        }
        // Otherwise gone from its current path while its former path exists:
        // an undo cut short has restored it already.
        if (withDialog)
            m_observer.setProgressPosition(m_observer.progressPosition() + 2);
        m_observer.processEvents();
    }
    // A pair with both paths taken was restored only when a pair before it
    // in the log, itself restored, gave an item back its former name at this
    // pair's current path: that rename could not have been made over an item
    // still there.
    std::unordered_set<std::string> restoredFormers;
    for (std::size_t k = next; k < pairs; ++k) {
        if (bothTaken[k] && restoredFormers.count(entries[k].current))
            kept[k] = false;
        if (!kept[k])
            restoredFormers.insert(entries[k].former);
    }
    for (std::size_t k = next; k < pairs; ++k)
        m_unrestored += kept[k];
    if (m_windows)
        m_windows->setBusy(false);
    // What is left in the log: the pairs not tried and those not restored.
    std::vector<UndoEntry> leftEntries;
    for (std::size_t k = 0; k < pairs; ++k) {
        if (k < next || kept[k])
            leftEntries.push_back(entries[k]);
    }
    // The folders go with the pairs left, and only with them.
    const std::vector<std::string> left = leftEntries.empty() ? std::vector<std::string>()
                                                              : undoLinesOf(leftEntries, folders);
    run.workList.clear();
    if (leftEntries.size() < pairs) {
        auto kept = m_log->keepOnly(left);
        if (!kept) {
            m_undoLogFailed = true;
            m_state.platform.prompter.show({"Error", "The undo log could not be written: " + kept.error().message,
                                            MessageIcon::Error, MessageButtons::Ok});
        } else if (!kept->empty())
            m_state.platform.prompter.information(
                "Another run ended during the undo; its undo log stays the last operation. What this undo could not "
                "restore is kept in an undo log of its own: "
                + *kept + "\nTo undo it: renomiq-cli undo --log \"" + *kept + "\"");
    }
    if (!m_state.settings.options.displayResult)
        list.clear();
    if (m_state.settings.options.endSound)
        m_state.platform.sound.play("end.wav");
}

} // namespace renomiq
