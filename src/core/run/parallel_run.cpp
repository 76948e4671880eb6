#include "run/parallel_run.h"

#include "engine/edit_request.h"
#include "engine/name_engine.h"
#include "engine/taken_order.h"
#include "platform/file_system.h"
#include "platform/prompter.h"
#include "run/run_observer.h"
#include "run/undo_log.h"
#include "state/run_state.h"
#include "targets/target_set.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace renomiq {

namespace {

using Clocked = std::chrono::steady_clock;

// The coordinator looks at the threads' outcomes and lets the windows see a
// Cancel click this often, as the progress dialog lets its events through.
constexpr auto kServiceInterval = std::chrono::milliseconds(15);
// Folders handed over and not yet done: each holds its folder open.
constexpr std::size_t kMaxPendingFolders = 64;
// A thread hands its outcomes over in groups of this many.
constexpr std::size_t kOutcomeGroup = 32;

bool holdsRandomToken(std::string text)
{
    for (std::size_t at = text.find("%%"); at != std::string::npos; at = text.find("%%"))
        text.erase(at, 2);
    return text.find('%') != std::string::npos;
}

bool holdsRunningNumber(std::string text)
{
    for (std::size_t at = text.find("@$@"); at != std::string::npos; at = text.find("@$@"))
        text.erase(at, 3);
    return text.find('$') != std::string::npos;
}

// The chosen items by folder, each folder's in the list's order, the folders
// in the order of their first item; a folder reached by several paths is one.
// Empty when renaming one chosen item could change the path of another: a
// chosen folder (or link) that another chosen item lies in, however reached.
std::vector<std::vector<std::string>> groupsByFolder(FileSystem &fileSystem, const std::vector<std::string> &items)
{
    std::vector<std::vector<std::string>> groups;
    std::map<std::string, std::size_t> groupOfPath;
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::size_t> groupOfFolder;
    std::set<std::pair<std::uint64_t, std::uint64_t>> lyingAbove; // the folders and every folder above them
    for (const std::string &item : items) {
        const std::string folder = item.substr(0, item.rfind('\\') + 1);
        auto [path, added] = groupOfPath.try_emplace(folder, groups.size());
        if (added) {
            const std::vector<ItemId> chain = fileSystem.folderChain(folder);
            for (const ItemId &id : chain)
                lyingAbove.insert({id.device, id.inode});
            if (!chain.empty())
                path->second = groupOfFolder.try_emplace({chain.front().device, chain.front().inode}, groups.size())
                                   .first->second;
            if (path->second == groups.size())
                groups.emplace_back();
        }
        groups[path->second].push_back(item);
    }
    if (groups.size() < 2)
        return groups; // one thread works them, in the list's order, whatever they hold
    for (const std::string &item : items) {
        const auto inside = groupOfPath.lower_bound(item + '\\');
        if (inside != groupOfPath.end() && inside->first.compare(0, item.size() + 1, item + '\\') == 0)
            return {};
        if (const std::optional<ItemId> id = fileSystem.itemId(item); id && lyingAbove.count({id->device, id->inode}))
            return {};
    }
    return groups;
}

} // namespace

int runThreads(int asked)
{
    if (asked > 0)
        return std::min(asked, kMaxRunThreads);
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(static_cast<int>(cores), 1, kMaxRunThreads);
}

bool suitsParallelRun(const TargetSet &targets, const EditRequest &request)
{
    if (request.preview
        || (!targets.filesMode && targets.folderScope != FolderScope::AllLayers
            && targets.folderScope != FolderScope::OnlySubfolders))
        return false;
    if (!request.useSpecialStrings)
        return true;
    for (const std::string *text : {&request.newString, &request.headText, &request.endText, &request.cursorText,
                                    &request.insertText, &request.newName}) {
        // The chosen items' running number goes on over the whole list, from
        // one folder to the next.
        if (holdsRandomToken(*text) || (targets.filesMode && holdsRunningNumber(*text)))
            return false;
    }
    return true;
}

class ParallelRun::Impl {
public:
    Impl(const ParallelRunContext &context, ParallelRunHooks hooks)
        : m_context(context), m_hooks(std::move(hooks)), m_threads(std::max(1, context.threads))
    {
    }

    ~Impl() { stopThreads(); }

    void run();
    void detourNotRecorded(const Error &error);

private:
    // One folder's batch; its subfolders' batches come before it.
    struct Task {
        FolderBatch batch;
        Task *parent = nullptr;
        std::size_t waiting = 0; // subfolders' batches not yet done
        bool done = false;
    };

    class Worker;
    class MarshalledPrompter;

    // The coordinator.
    void take(FolderBatch &&batch);
    // The chosen items of a run over files, one task a folder.
    void takeChosenItems();
    void startThreads();
    void stopThreads();
    // Serves the threads until `finished` (asked under m_lock) holds.
    void serveUntil(const std::function<bool()> &finished);
    void applyOutcomes();
    // Pauses nest: the threads go on once the outermost ends.
    void pause()
    {
        const std::lock_guard lock(m_lock);
        ++m_pauses;
        m_paused.store(true);
    }
    void resume()
    {
        {
            const std::lock_guard lock(m_lock);
            if (m_pauses > 0 && --m_pauses > 0)
                return;
            m_paused.store(false);
        }
        m_gate.notify_all();
    }

    // Any thread.
    // Runs `call` on the coordinator, the other threads paused, and waits for it.
    void onCoordinator(const std::function<void()> &call);
    void hand(std::vector<ItemOutcome> &outcomes);
    void taskDone(Task &task);
    bool stopped() const { return m_stop.load(std::memory_order_relaxed); }
    void waitWhilePaused();
    void countWaiting(int threads)
    {
        if (m_context.run.waitingThreads)
            *m_context.run.waitingThreads += threads;
    }

    const ParallelRunContext m_context; // a copy: the caller's may be a temporary
    ParallelRunHooks m_hooks;
    const int m_threads;

    std::mutex m_lock;
    std::condition_variable m_work;        // a task is ready, or the run ends
    std::condition_variable m_coordinator; // something for the coordinator
    std::condition_variable m_answered;    // a call on the coordinator is done
    std::condition_variable m_gate;        // the threads may go on
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_serveSoon{false}; // a thread saw a stop asked for

    // Under m_lock.
    std::deque<std::unique_ptr<Task>> m_tasks;
    std::vector<Task *> m_unattached; // done or pending, their folder not yet handed over
    std::deque<Task *> m_ready;
    std::size_t m_pending = 0;
    int m_pauses = 0;
    bool m_closing = false;
    struct Call {
        const std::function<void()> *call;
        bool done = false;
    };
    std::deque<Call *> m_calls;
    std::vector<ItemOutcome> m_outcomes;
    std::size_t m_notTried = 0;
    Error m_detourError;

    // The coordinator's own.
    std::vector<std::unique_ptr<Worker>> m_workers;
    std::vector<std::thread> m_running;
    bool m_firstBatch = true;
    std::size_t m_handedItems = 0;
    Clocked::time_point m_lastService = Clocked::now();
};

// A thread's questions and information boxes, asked by the coordinator.
class ParallelRun::Impl::MarshalledPrompter : public Prompter {
public:
    explicit MarshalledPrompter(Impl &run) : m_run(run) {}
    Answer show(const Message &message) override
    {
        Answer answer = Answer::Cancel;
        const std::function<void()> ask = [&] { answer = m_run.m_context.prompter.show(message); };
        m_run.onCoordinator(ask);
        return answer;
    }

private:
    Impl &m_run;
};

// One thread: its own name engine (its own running number), its slot in the
// undo log, and the outcomes it has not handed over yet.
class ParallelRun::Impl::Worker : private OutcomeSink {
public:
    Worker(Impl &run, std::size_t slot)
        : m_run(run), m_slot(slot), m_prompter(run),
          m_engine(run.m_context.fileSystem, m_prompter, run.m_context.clock, run.m_context.engine.codePage())
    {
        m_engine.specialStrings().setDecimalSeparator(run.m_context.engine.specialStrings().decimalSeparator());
    }

    void loop();
    const ItemMetadataCache &metadata() { return m_engine.specialStrings().metadata(); }

private:
    void work(Task &task);
    bool renaming(const std::string &oldPath, const std::string &newPath) override;
    void renameNotMade(const std::string &oldPath, const std::string &newPath) override;
    void report(const ItemOutcome &outcome) override;
    void handOver() { m_run.hand(m_outcomes); }

    Impl &m_run;
    const std::size_t m_slot;
    MarshalledPrompter m_prompter;
    NameEngine m_engine;
    std::pair<std::string, bool> m_folderInData;
    std::vector<ItemOutcome> m_outcomes;
    // The item being worked on, with its identity as the listing read it.
    const std::string *m_currentItem = nullptr;
    ItemId m_currentIdentity;
};

void ParallelRun::Impl::Worker::loop()
{
    for (;;) {
        Task *task = nullptr;
        {
            std::unique_lock lock(m_run.m_lock);
            m_run.countWaiting(1);
            m_run.m_work.wait(lock, [&] { return !m_run.m_ready.empty() || m_run.m_closing; });
            m_run.countWaiting(-1);
            if (m_run.m_ready.empty())
                return;
            task = m_run.m_ready.front();
            m_run.m_ready.pop_front();
        }
        work(*task);
        handOver();
        m_run.taskDone(*task);
    }
}

void ParallelRun::Impl::Worker::work(Task &task)
{
    const ParallelRunContext &context = m_run.m_context;
    std::vector<std::string> &items = task.batch.items;
    // Each folder's numbers start afresh, as in a run in one thread.
    SpecialStrings &special = m_engine.specialStrings();
    special.setRunningNumber(context.request.startNumber);
    special.metadata().clear();
    if (context.request.numbersInTakenOrder())
        orderByTaken(
            items, [&special](const std::string &path) { return special.takenTime(path); }, &task.batch.identities);
    // The walk knows what it hands over; a chosen item is looked at.
    std::optional<bool> isFolder;
    if (!context.targets.filesMode)
        isFolder = context.targets.folderScope == FolderScope::OnlySubfolders;
    const std::vector<ItemId> &identities = task.batch.identities;
    const bool withIdentities = identities.size() == items.size();
    for (std::size_t i = 0; i < items.size(); ++i) {
        m_run.waitWhilePaused();
        if (!m_run.stopped() && context.run.stopSignal && context.run.stopSignal->load()) {
            m_run.m_stop.store(true);
            m_run.m_serveSoon.store(true);
            m_run.m_coordinator.notify_one();
        }
        if (m_run.stopped()) {
            // Not tried, as in a run in one thread: the rest of the work list
            // in hand, that is of a folder begun, or of the chosen items. The
            // folders listed ahead and not begun are not counted, as that run
            // never lists them.
            if (i > 0 || context.targets.filesMode) {
                const std::lock_guard lock(m_run.m_lock);
                m_run.m_notTried += items.size() - i;
            }
            return;
        }
        m_currentItem = &items[i];
        m_currentIdentity = withIdentities ? identities[i] : ItemId{};
        m_engine.newNameFor(context.request, items[i], *this, isFolder);
        m_currentItem = nullptr;
        if (m_outcomes.size() >= kOutcomeGroup)
            handOver();
    }
}

bool ParallelRun::Impl::Worker::renaming(const std::string &oldPath, const std::string &newPath)
{
    const std::string newName = newPath.substr(newPath.rfind('\\') + 1);
    if (const std::string refusal = m_run.m_hooks.refusal(oldPath, newName, m_folderInData); !refusal.empty()) {
        handOver();
        const std::function<void()> refuse = [&] { m_run.m_hooks.refuse(oldPath, newPath, refusal); };
        m_run.onCoordinator(refuse);
        return false;
    }
    UndoLog *log = m_run.m_context.log;
    if (!log)
        return true;
    // With the item's identity, as a run in one thread records it.
    const bool listed = m_currentIdentity.inode != 0 && m_currentItem && *m_currentItem == oldPath;
    Status recorded = log->recordRename(m_slot, newPath, oldPath,
                                        listed ? std::optional<ItemId>(m_currentIdentity)
                                               : m_run.m_context.fileSystem.itemId(oldPath));
    if (!recorded) {
        // Nothing is renamed that the undo log could not take back.
        m_run.m_stop.store(true);
        handOver();
        const std::function<void()> failed = [&] { m_run.m_hooks.journalFailed(recorded.error(), true); };
        m_run.onCoordinator(failed);
        return false;
    }
    return true;
}

void ParallelRun::Impl::Worker::renameNotMade(const std::string &oldPath, const std::string &)
{
    if (UndoLog *log = m_run.m_context.log)
        log->renameFailed(m_slot, oldPath);
}

void ParallelRun::Impl::Worker::report(const ItemOutcome &outcome)
{
    UndoLog *log = m_run.m_context.log;
    if (outcome.kind == OutcomeKind::Renamed) {
        if (log)
            log->renameDone(m_slot);
        SpecialStrings &special = m_engine.specialStrings();
        special.setRunningNumber(special.runningNumber() + 1);
    } else if (outcome.kind == OutcomeKind::RenameFailed) {
        if (log)
            log->renameFailed(m_slot, outcome.oldPath);
        // The rename error dialog: the others pause while it is open.
        handOver();
        const std::function<void()> show = [&] { m_run.m_hooks.report(outcome); };
        m_run.onCoordinator(show);
        return;
    }
    m_outcomes.push_back(outcome);
}

ParallelRun::ParallelRun(const ParallelRunContext &context, ParallelRunHooks hooks)
    : m_impl(std::make_unique<Impl>(context, std::move(hooks)))
{
}

ParallelRun::~ParallelRun() = default;

void ParallelRun::run()
{
    m_impl->run();
}

void ParallelRun::detourNotRecorded(const Error &error)
{
    m_impl->detourNotRecorded(error);
}

void ParallelRun::Impl::detourNotRecorded(const Error &error)
{
    m_stop.store(true);
    const std::lock_guard lock(m_lock);
    if (m_detourError.message.empty())
        m_detourError = error;
}

void ParallelRun::Impl::run()
{
    RunState &run = m_context.run;
    UnreachableItem unreachable;
    if (m_hooks.unreachable) {
        unreachable = [this](const std::string &path, const std::string &reason) {
            pause();
            m_hooks.unreachable(path, reason);
            resume();
        };
    }
    if (m_context.targets.filesMode)
        takeChosenItems();
    else
        visitFolderBatches(
            m_context.fileSystem, m_context.targets, run.stopRequest,
            [this](FolderBatch &&batch) { take(std::move(batch)); }, unreachable);
    if (m_running.empty())
        return; // one folder, worked as a run in one thread works it
    serveUntil([this] { return m_pending == 0; });
    stopThreads();
    applyOutcomes();
    for (const auto &worker : m_workers)
        m_context.engine.specialStrings().metadata().countReadsOf(worker->metadata());
    const std::lock_guard lock(m_lock);
    if (!m_detourError.message.empty())
        m_hooks.journalFailed(m_detourError, false);
    if (run.stoppedByError || run.stoppedByUser)
        run.notTriedCount += static_cast<int>(m_notTried);
}

void ParallelRun::Impl::take(FolderBatch &&batch)
{
    if (m_firstBatch && batch.depth == 0) {
        // The target folder came first: it holds no subfolder.
        m_firstBatch = false;
        const std::shared_ptr<FolderHold> hold = std::move(batch.hold);
        m_hooks.workHere(std::move(batch.items), std::move(batch.identities));
        return;
    }
    m_firstBatch = false;
    if (m_running.empty())
        startThreads();
    RunState &run = m_context.run;
    const bool empty = batch.items.empty();
    if (run.progressJob == ProgressJob::RenamingJob) {
        m_handedItems += batch.items.size();
        m_context.progress.setProgressMaximum(static_cast<int>(m_handedItems));
    }
    {
        const std::lock_guard lock(m_lock);
        auto task = std::make_unique<Task>();
        task->batch = std::move(batch);
        Task *folder = task.get();
        m_tasks.push_back(std::move(task));
        // Its subfolders' batches are the ones deeper than it handed over since.
        while (!m_unattached.empty() && m_unattached.back()->batch.depth > folder->batch.depth) {
            Task *child = m_unattached.back();
            m_unattached.pop_back();
            child->parent = folder;
            folder->waiting += !child->done;
        }
        m_unattached.push_back(folder);
        ++m_pending;
        if (folder->waiting == 0) {
            m_ready.push_back(folder);
            m_work.notify_one();
        }
    }
    // A folder without items: a Cancel (or Ctrl+C) is still seen here, so a
    // walk over many empty folders stops as one over items does.
    if (empty)
        applyOutcomes();
    serveUntil([this] { return m_pending < kMaxPendingFolders; });
}

void ParallelRun::Impl::takeChosenItems()
{
    const std::vector<std::string> &items = m_context.run.workList;
    std::vector<std::vector<std::string>> groups = groupsByFolder(m_context.fileSystem, items);
    if (groups.size() < 2) {
        // One folder, or items that depend on each other: in one thread.
        m_hooks.workHere(std::vector<std::string>(items), {});
        return;
    }
    // Here, before the threads rename in them: an undo enters each folder only
    // as the run opened it.
    for (const std::string &item : items) {
        if (!m_hooks.recordFolder(item.substr(0, item.rfind('\\') + 1))) {
            m_context.run.notTriedCount += static_cast<int>(items.size());
            return;
        }
    }
    startThreads();
    if (m_context.run.progressJob == ProgressJob::RenamingJob)
        m_context.progress.setProgressMaximum(static_cast<int>(items.size()));
    {
        const std::lock_guard lock(m_lock);
        for (std::vector<std::string> &group : groups) {
            auto task = std::make_unique<Task>();
            task->batch.items = std::move(group);
            m_ready.push_back(task.get());
            m_tasks.push_back(std::move(task));
            ++m_pending;
        }
    }
    m_work.notify_all();
}

void ParallelRun::Impl::taskDone(Task &task)
{
    // Its folder is let go before the folder above it may rename it.
    task.batch.hold.reset();
    std::vector<std::string>().swap(task.batch.items);
    std::vector<ItemId>().swap(task.batch.identities);
    {
        const std::lock_guard lock(m_lock);
        task.done = true;
        --m_pending;
        if (task.parent && --task.parent->waiting == 0) {
            m_ready.push_back(task.parent);
            m_work.notify_one();
        }
    }
    m_coordinator.notify_one();
}

void ParallelRun::Impl::startThreads()
{
    if (m_context.log)
        m_context.log->beginSlots(static_cast<std::size_t>(m_threads));
    for (int i = 0; i < m_threads; ++i)
        m_workers.push_back(std::make_unique<Worker>(*this, static_cast<std::size_t>(i)));
    for (auto &worker : m_workers)
        m_running.emplace_back([w = worker.get()] { w->loop(); });
}

void ParallelRun::Impl::stopThreads()
{
    {
        const std::lock_guard lock(m_lock);
        m_closing = true;
    }
    m_work.notify_all();
    resume();
    for (std::thread &thread : m_running) {
        if (thread.joinable())
            thread.join();
    }
}

void ParallelRun::Impl::serveUntil(const std::function<bool()> &finished)
{
    std::unique_lock lock(m_lock);
    for (;;) {
        while (!m_calls.empty()) {
            Call *call = m_calls.front();
            m_calls.pop_front();
            lock.unlock();
            pause();
            applyOutcomes();
            (*call->call)();
            if (m_context.run.stopRequest)
                m_stop.store(true);
            lock.lock();
            call->done = true;
            m_answered.notify_all();
            lock.unlock();
            resume();
            lock.lock();
        }
        if (Clocked::now() - m_lastService >= kServiceInterval || m_serveSoon.exchange(false)) {
            lock.unlock();
            applyOutcomes();
            lock.lock();
            m_lastService = Clocked::now();
            continue;
        }
        if (finished())
            return;
        m_coordinator.wait_for(lock, kServiceInterval);
    }
}

void ParallelRun::Impl::applyOutcomes()
{
    std::vector<ItemOutcome> outcomes;
    {
        const std::lock_guard lock(m_lock);
        outcomes.swap(m_outcomes);
    }
    // The threads go on while the outcomes are counted and shown; only
    // while the windows see their events, where a Cancel click may ask a
    // question, they pause.
    for (const ItemOutcome &outcome : outcomes)
        m_hooks.report(outcome);
    pause();
    m_context.progress.processEvents();
    if (m_context.run.stopRequest)
        m_stop.store(true);
    resume();
}

void ParallelRun::Impl::onCoordinator(const std::function<void()> &call)
{
    Call waiting{&call};
    std::unique_lock lock(m_lock);
    m_calls.push_back(&waiting);
    m_coordinator.notify_one();
    m_answered.wait(lock, [&] { return waiting.done; });
}

void ParallelRun::Impl::hand(std::vector<ItemOutcome> &outcomes)
{
    if (outcomes.empty())
        return;
    const std::lock_guard lock(m_lock);
    if (m_outcomes.empty())
        m_outcomes.swap(outcomes);
    else
        std::move(outcomes.begin(), outcomes.end(), std::back_inserter(m_outcomes));
    outcomes.clear();
}

void ParallelRun::Impl::waitWhilePaused()
{
    if (!m_paused.load())
        return;
    std::unique_lock lock(m_lock);
    countWaiting(1);
    m_gate.wait(lock, [&] { return !m_paused.load(); });
    countWaiting(-1);
}

} // namespace renomiq
