#include "run/run_driver.h"

#include "engine/item_path.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/prompter.h"
#include "platform/sound.h"
#include "run/app_state.h"
#include "run/run_windows.h"
#include "run/undo_log.h"
#include "targets/file_list.h"
#include "targets/folder_walks.h"

#include <cstring>

namespace renomiq {

namespace {

std::string folderPartOf(const std::string &path)
{
    return splitItemPath(path, true).folderPart;
}

// The system's reason in a failure's message ("Cannot rename 'x': File name
// too long" gives "File name too long").
std::string reasonOf(const Error &error)
{
    const std::size_t cut = error.message.rfind("': ");
    if (cut != std::string::npos)
        return error.message.substr(cut + 3);
    return error.code != 0 ? std::strerror(error.code) : error.message;
}

} // namespace

RunDriver::RunDriver(AppState &state, RunWindows &windows) : m_state(state), m_windows(windows) {}

RunDriver::~RunDriver() = default;

bool RunDriver::usesProgressDialog() const
{
    return m_state.run.workList.size() > 18 || m_state.targets.firstLayerFileCount > 18
        || m_state.targets.folderScope == FolderScope::AllLayers;
}

void RunDriver::startRun(const EditRequest &request)
{
    m_request = &request;
    RunState &run = m_state.run;
    if (request.preview) {
        m_windows.setBusy(true);
        m_windows.clearPreview();
        m_previewRows.clear();
        visitTargets();
        m_windows.showPreview(m_state.settings.options.previewMaximized);
        if (m_previewRows.empty())
            m_windows.addPreviewRow("(No filename will be renamed)", "");
        else if (run.stopRequest)
            m_windows.addPreviewRow("(Others not shown...)", "");
        m_windows.setBusy(false);
        run.stopRequest = false;
        m_request = nullptr;
        return;
    }

    if (request.kind != EditKind::Removpart && request.kind != EditKind::Changexten)
        m_state.names.remember(request);
    m_windows.fileList().clear();
    m_log = std::make_unique<UndoLog>(m_state.platform.fileSystem, m_state.settings.dataFolder());
    m_log->begin();
    if (usesProgressDialog()) {
        run.progressJob = ProgressJob::RenamingJob;
        if (!m_state.handOffMode)
            m_windows.hideEditor();
        m_windows.runWithProgress([this] {
            visitTargets();
            m_state.run.progressJob = ProgressJob::None;
        });
        m_windows.processEvents();
    } else {
        m_windows.setBusy(true);
        visitTargets();
        m_windows.setBusy(false);
        m_windows.processEvents();
    }
    finishRun();
    m_log.reset();
    run.stopRequest = false;
    m_request = nullptr;
}

void RunDriver::renaming(const std::string &oldPath, const std::string &newPath)
{
    if (m_log)
        m_log->recordRename(newPath, oldPath);
}

void RunDriver::renameNotMade(const std::string &, const std::string &)
{
    if (m_log)
        m_log->renameFailed();
}

void RunDriver::visitTargets()
{
    // What the walk cannot reach fails, as a rename that fails does: counted
    // and shown, never passed over in silence.
    const auto unreachable = [this](const std::string &path, const std::string &reason) {
        if (m_request->preview)
            return;
        ++m_state.run.failedCount;
        m_windows.showUnreachable(path, reason);
    };
    renomiq::visitTargets(m_state.platform.fileSystem, m_state.targets, m_state.run.workList, m_state.run.stopRequest,
                          [this] { processWorkList(); }, unreachable);
}

void RunDriver::processWorkList()
{
    RunState &run = m_state.run;
    if (run.workList.empty())
        return;
    m_state.engine.specialStrings().setRunningNumber(m_request->startNumber);
    if (run.progressJob == ProgressJob::RenamingJob) {
        m_windows.setProgressPosition(0);
        m_windows.setProgressMaximum(static_cast<int>(run.workList.size()));
    }
    // The walk knows what it hands over: files, or folders (linked ones too).
    std::optional<bool> isFolder;
    if (!m_state.targets.targetFolder.empty())
        isFolder = m_state.targets.folderScope == FolderScope::OnlySubfolders
            || m_state.targets.folderScope == FolderScope::ThisFolderOnly;
    for (const std::string &path : run.workList) {
        if (run.stopRequest)
            break;
        const int renamedBefore = run.renamedCount;
        m_state.engine.newNameFor(*m_request, path, *this, isFolder);
        // A renamed item has let the dialog see a Cancel click; every other
        // outcome does it here, so that a run of failures stops as well.
        if (run.progressJob == ProgressJob::RenamingJob && run.renamedCount == renamedBefore)
            m_windows.processEvents();
    }
}

void RunDriver::report(const ItemOutcome &outcome)
{
    RunState &run = m_state.run;
    SpecialStrings &special = m_state.engine.specialStrings();
    const bool filesMode = m_state.targets.targetFolder.empty();
    const bool preview = m_request->preview;
    switch (outcome.kind) {
    case OutcomeKind::Renamed:
        if (run.progressJob == ProgressJob::RenamingJob) {
            m_windows.setProgressNames(lastComponentOf(outcome.oldPath), lastComponentOf(outcome.newPath));
            m_windows.setProgressPosition(m_windows.progressPosition() + 1);
            m_windows.processEvents();
        }
        if (filesMode)
            m_windows.fileList().addFileRow(outcome.newPath);
        special.setRunningNumber(special.runningNumber() + 1);
        ++run.renamedCount;
        break;
    case OutcomeKind::RenameFailed:
        if (m_log)
            m_log->renameFailed();
        m_windows.showRenameError(outcome.oldPath, outcome.newPath, reasonOf(outcome.error));
        if (filesMode)
            m_windows.fileList().addFileRow(outcome.oldPath);
        ++run.failedCount;
        break;
    case OutcomeKind::EmptyName:
    case OutcomeKind::Refused:
        if (filesMode && !preview)
            m_windows.fileList().addFileRow(outcome.oldPath);
        ++run.failedCount;
        break;
    case OutcomeKind::Unchanged:
        if (filesMode && !preview
            && (outcome.byExtensionRule || m_state.targets.folderScope != FolderScope::ThisFolderOnly))
            m_windows.fileList().addFileRow(outcome.oldPath);
        break;
    case OutcomeKind::Previewed:
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
    m_windows.addPreviewRow(oldText, candidate);
    SpecialStrings &special = m_state.engine.specialStrings();
    special.setRunningNumber(special.runningNumber() + 1);
}

void RunDriver::finishRun()
{
    RunState &run = m_state.run;
    const bool renamed = m_log->pairCount() > 0;
    Status written = m_log->commit();
    if (!renamed) {
        m_windows.showEditor();
        m_state.platform.prompter.information(
            "No filename had been changed,please check input text and \nmake sure that the targeted files can be "
            "renamed.");
        return;
    }
    m_windows.hideEditor();
    m_windows.processEvents();
    if (!written)
        m_state.platform.prompter.show({"Error", "The undo log could not be written: " + written.error().message,
                                        MessageIcon::Error, MessageButtons::Ok});
    if (m_state.settings.options.exitAfterOperation) {
        m_windows.closeListWindow();
    } else {
        run.operationRan = true;
        m_windows.closeEditor();
    }
    if (m_state.settings.options.endSound)
        m_state.platform.sound.play("end.wav");
}

void RunDriver::reportEditorClosed()
{
    RunState &run = m_state.run;
    if (run.operationRan) {
        if (!m_state.settings.options.displayResult)
            m_windows.fileList().clear();
        if (m_state.editKind != EditKind::Savealls)
            m_windows.setStatusPanel(1, std::to_string(run.renamedCount) + " renamed successfully, "
                                            + std::to_string(run.failedCount) + " failed.");
    }
    m_windows.closePreview();
    m_windows.processEvents();
    run.workList.clear();
    if (!m_state.targets.filesMode) {
        if (run.operationRan || m_state.handOffMode)
            m_windows.refreshListing();
        if (run.operationRan && !m_state.targets.targetFolder.empty())
            m_windows.showFolderHistoryEntry(m_state.folders.add(m_state.targets.targetFolder));
    } else {
        m_windows.setStatusPanel(0, std::to_string(m_windows.fileList().rowCount()) + " Files");
    }
}

bool RunDriver::undoLast()
{
    Prompter &prompter = m_state.platform.prompter;
    if (prompter.show({"Undo Confirmation", "Do you want to UNDO the last rename operation ?", MessageIcon::Question,
                       MessageButtons::YesNo})
        != Answer::Yes)
        return false;
    UndoLog log(m_state.platform.fileSystem, m_state.settings.dataFolder());
    auto lines = log.read();
    if (!lines) {
        prompter.show({"Error", "The undo log could not be read: " + lines.error().message, MessageIcon::Error,
                       MessageButtons::Ok});
        return true;
    }
    RunState &run = m_state.run;
    run.workList = std::move(*lines);
    if (run.workList.size() <= 60) {
        run.progressJob = ProgressJob::UndoQuick;
        undoJob(false);
    } else {
        run.progressJob = ProgressJob::UndoWithDialog;
        m_windows.runWithProgress([this] { undoJob(true); });
    }
    run.progressJob = ProgressJob::None;
    run.stopRequest = false;
    if (m_state.targets.filesMode) {
        m_windows.refreshFiles();
    } else {
        m_state.targets.listingAbort = false;
        m_windows.refreshListing();
    }
    m_windows.setStatusPanel(1, "Undo done.");
    return true;
}

void RunDriver::undoJob(bool withDialog)
{
    RunState &run = m_state.run;
    FileSystem &fs = m_state.platform.fileSystem;
    FileList &list = m_windows.fileList();
    const std::vector<std::string> &lines = run.workList;
    m_windows.setBusy(true);
    m_windows.setProgressPosition(0);
    if (withDialog)
        m_windows.setProgressMaximum(static_cast<int>(lines.size()));
    // A pair whose two paths lie in different folders comes only from a
    // hand-edited log: an undo never moves an item to another folder. An odd
    // last line has no partner and is left alone.
    const auto sameFolder = [](const std::string &a, const std::string &b) {
        const std::size_t slash = a.rfind('\\');
        return slash == b.rfind('\\') && a.compare(0, slash, b, 0, slash) == 0;
    };
    const std::string box = m_windows.folderBoxText();
    for (std::size_t i = 0; i + 1 < lines.size() && !run.stopRequest; i += 2) {
        const std::string &current = lines[i];
        const std::string &former = lines[i + 1];
        if (!sameFolder(current, former) || !fs.renameBack(current, former))
            continue;
        for (std::size_t row = list.rowCount(); row-- > 0;) {
            const std::string text = list.rowText(row);
            if (m_state.targets.filesMode ? text == current : box + text == current) {
                list.setRowText(row, m_state.targets.filesMode ? former : lastComponentOf(former));
                break;
            }
        }
        if (withDialog) {
            m_windows.setProgressNames(lastComponentOf(current), lastComponentOf(former));
            m_windows.setProgressPosition(m_windows.progressPosition() + 2);
        }
        m_windows.processEvents();
    }
    m_windows.setBusy(false);
    run.workList.clear();
    if (!run.stopRequest)
        UndoLog(fs, m_state.settings.dataFolder()).remove();
    if (!m_state.settings.options.displayResult)
        list.clear();
    // The undo plays the sound when the option is off, the reverse of a run.
    if (!m_state.settings.options.endSound)
        m_state.platform.sound.play("end.wav");
}

} // namespace renomiq
