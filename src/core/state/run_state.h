#pragma once

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
};

} // namespace renomiq
