#pragma once

#include "engine/edit_request.h"
#include "engine/item_outcome.h"
#include "targets/export_choices.h"
#include "platform/file_system.h"
#include "state/run_state.h"
#include "run/undo_log.h"
#include "targets/folder_walks.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace renomiq {

struct AppState;
class RunObserver;
class WindowChoreography;
class Prompter;
class ParallelRun;

// Carries out one accepted request: a preview that lists old and new names, or
// an execution that renames, counts, logs for undo and reports. Also the undo
// of the last operation.
class RunDriver : private OutcomeSink {
public:
    // windows: the windows' part around a run; none in renomiq-cli.
    RunDriver(AppState &state, RunObserver &observer, WindowChoreography *windows = nullptr);
    ~RunDriver() override;

    // StartRun: a preview when request.preview is set, else an execution.
    void startRun(const EditRequest &request);
    // Writes the list of names the choices ask for (see NameExporter::exportNames).
    std::string exportNames(const ExportChoices &choices);
    // The editor window's close handling as far as it reports the run.
    void reportEditorClosed();
    // The list window's "Undo": reverses the undo log, or the log at
    // `logPath` when one is given, after `question` (the last operation's
    // when empty). False when the user said no.
    bool undoLast(const std::string &logPath = {}, const std::string &question = {});
    // The counts of a run, as the list window's status shows them.
    static std::string resultText(const RunState &run);
    // Tells the user of the logs recovered from runs cut short.
    static void reportRecovery(Prompter &prompter, const UndoLog::Recovery &recovery);
    // Items an undo could not restore (they stay in the log).
    int unrestoredCount() const { return m_unrestored; }
    // The last undo found no undo log it could use (nothing was changed).
    bool undoRefused() const { return m_undoRefused; }
    // The last undo could not rewrite its log with what it left: it failed.
    bool undoLogFailed() const { return m_undoLogFailed; }

    struct PreviewRow {
        std::string oldText;
        std::string newText;
    };
    const std::vector<PreviewRow> &previewRows() const { return m_previewRows; }

    // Whether an execution runs under the progress dialog.
    bool usesProgressDialog() const;

private:
    void report(const ItemOutcome &outcome) override;
    bool renaming(const std::string &oldPath, const std::string &newPath) override;
    void renameNotMade(const std::string &oldPath, const std::string &newPath) override;
    // The message that refuses a rename the undo log could not take back, or
    // empty when it may go ahead.
    std::string refusalOf(const std::string &oldPath, const std::string &newName) const
    {
        return refusalOf(oldPath, newName, m_folderInData);
    }
    // The same with the cache of a thread of its own (folderInData).
    std::string refusalOf(const std::string &oldPath, const std::string &newName,
                          std::pair<std::string, bool> &folderInData) const;
    void refuse(const std::string &oldPath, const std::string &newPath, const std::string &message);
    // The file list's row for a chosen item (its new or its old path).
    void addFileRow(const std::string &item, const std::string &row);
    void visitTargets();
    // Records the folder that the run opens by its path (see
    // UndoLog::recordFolder); false, the run stopped, when the journal fails.
    bool recordFolder(const std::string &folder);
    // The folders of the run worked in parallel (see ParallelRun).
    void visitInParallel(const UnreachableItem &unreachable);
    void processWorkList(bool continued);
    void finishRun();
    void addPreviewRow(const ItemOutcome &outcome);
    void undoJob(bool withDialog);
    // What the history tells of this run, as far as it is known at its start.
    OperationInfo operationOf(const EditRequest &request);

    AppState &m_state;
    RunObserver &m_observer;
    WindowChoreography *m_windows;
    const EditRequest *m_request = nullptr;
    std::vector<PreviewRow> m_previewRows;
    std::unique_ptr<UndoLog> m_log; // during an execution
    Error m_journalError;             // the journal failed: the run stopped
    // During a run: the data folder and the folders above it, by identity, so
    // that they are recognised however the run reaches them (links, bind mounts).
    std::optional<ItemId> m_dataFolder;
    std::vector<ItemId> m_aboveDataFolder;
    // The folder looked at last, and whether it lies in the data folder.
    mutable std::pair<std::string, bool> m_folderInData;
    ParallelRun *m_parallel = nullptr; // while one runs
    // The identities of the work list's items as the walk's listing read them
    // (inode 0 where it did not tell them, none when it read none), and the
    // item being worked on with its identity.
    std::vector<ItemId> m_workIdentities;
    const std::string *m_currentItem = nullptr;
    ItemId m_currentIdentity;
    bool m_reportingForThreads = false;  // an outcome of a parallel run's threads
    // A parallel run over chosen items: each item's places in the list (the
    // first last), and the rows by place, added in the list's order at its end.
    struct HeldRows {
        std::unordered_map<std::string, std::vector<std::size_t>> places;
        std::map<std::size_t, std::string> rows;
    };
    std::unique_ptr<HeldRows> m_heldRows;
    int m_unrestored = 0;
    int m_invalidPairs = 0; // of those: entries no undo can carry out
    bool m_undoRefused = false;
    bool m_undoLogFailed = false;
    OperationInfo m_operation;
};

} // namespace renomiq
