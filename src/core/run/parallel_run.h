#pragma once

#include "engine/item_outcome.h"
#include "platform/result.h"
#include "targets/folder_walks.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace renomiq {

class FileSystem;
class NameEngine;
class Prompter;
class Clock;
class RunObserver;
class UndoLog;
struct EditRequest;
struct RunState;
struct TargetSet;

// The threads an execution over several folders uses at most.
constexpr int kMaxRunThreads = 8;

// The threads for `asked` (0: one a core, at most kMaxRunThreads).
int runThreads(int asked);

// Whether an execution may work its folders in parallel: a walk over a target
// folder's layers or its subfolders, or chosen items (then without a running
// number, which goes on from one folder to the next), whose new names depend
// on nothing that the items of other folders change (random strings draw from
// one sequence).
bool suitsParallelRun(const TargetSet &targets, const EditRequest &request);

// What the run driver does for a parallel run: on the thread that started the
// run (the coordinator), unless said otherwise.
struct ParallelRunHooks {
    // The message that refuses a rename, or empty. Any thread, each with a
    // cache of its own (the folder looked at last, and whether it lies in the
    // data folder).
    std::function<std::string(const std::string &oldPath, const std::string &newName,
                              std::pair<std::string, bool> &cache)>
        refusal;
    std::function<void(const std::string &oldPath, const std::string &newPath, const std::string &message)> refuse;
    // One item's outcome, as a run in one thread reports it, but without
    // letting the windows see their events (the run does that after a group).
    std::function<void(const ItemOutcome &outcome)> report;
    // The undo log could not record an item's rename: the run stops.
    std::function<void(const Error &error, bool itemNotTried)> journalFailed;
    // The batch of a walk that found only the target folder: worked here, as a
    // run in one thread does, with no thread started.
    std::function<void(std::vector<std::string> &&items, std::vector<ItemId> &&identities)> workHere;
    // Records the folder of chosen items as the run opens it, before any of
    // them is renamed; false when the undo log could not (the run stops).
    std::function<bool(const std::string &folder)> recordFolder;
    // A folder or item the walk could not reach.
    UnreachableItem unreachable;
};

struct ParallelRunContext {
    FileSystem &fileSystem;
    Prompter &prompter;
    const Clock &clock;
    NameEngine &engine; // its code page and decimal separator
    const EditRequest &request;
    const TargetSet &targets;
    RunState &run;
    RunObserver &progress;
    UndoLog *log; // none without an undo log
    int threads;
};

// Works the folders of an execution on a small pool of threads, one folder a
// thread at a time, each folder's batch only once those of its subfolders are
// done. The coordinator walks the folders and is the only thread that calls
// the hooks, the windows and the prompter: the threads hand it their outcomes
// and questions, and while it shows a question or a dialog (or lets the
// windows see a Cancel click) the threads pause between items.
class ParallelRun {
public:
    ParallelRun(const ParallelRunContext &context, ParallelRunHooks hooks);
    ~ParallelRun();
    ParallelRun(const ParallelRun &) = delete;
    ParallelRun &operator=(const ParallelRun &) = delete;

    void run();

    // The undo log could not record the detour of an item being renamed:
    // called on the thread that renames it.
    void detourNotRecorded(const Error &error);

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace renomiq
