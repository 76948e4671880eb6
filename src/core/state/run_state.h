#pragma once

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace renomiq {

// The job the progress dialog runs.
enum class ProgressJob { None, RenamingJob, SaveNames, UndoQuick, UndoWithDialog };

// The state of the one run in progress (there is at most one at a time).
struct RunState {
    bool stopRequest = false;
    ProgressJob progressJob = ProgressJob::None;
    int renamedCount = 0;
    int failedCount = 0;
    // A run stopped by a failure of the undo log: the items left untried.
    bool stoppedByError = false;
    int notTriedCount = 0;
    // A run that the user stopped where it was (renomiq-cli's Ctrl+C).
    bool stoppedByUser = false;
    // The items to process now: the chosen files, or one folder's batch.
    std::vector<std::string> workList;
    // The entries of the last batch a preview was handed (whole, though a
    // preview reads a folder in stretches); none before a preview since the
    // editor window opened.
    std::optional<std::size_t> previewBatchEntries;
    bool operationRan = false;
    // The threads of an execution over several folders; 0: one a core, at most 8.
    int jobs = 0;
    // A stop asked for outside the windows (renomiq-cli's Ctrl+C), which the
    // threads of a parallel run look at between items; processEvents turns
    // it into stopRequest.
    const std::atomic<bool> *stopSignal = nullptr;
    // Where the threads of a parallel run count those of them that wait
    // between items, paused or with nothing to do (none: not counted).
    std::atomic<int> *waitingThreads = nullptr;
};

} // namespace renomiq
