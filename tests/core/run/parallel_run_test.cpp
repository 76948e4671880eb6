// Runs over several folders worked by several threads: the same names on disk,
// the same pairs in the undo log (in an order that undoes), the same counts as
// a run in one thread; questions and dialogs asked from the thread that
// started the run, the others pausing meanwhile; a stop seen within one item
// a thread.
#include "run/parallel_run.h"
#include "run/undo_log.h"

#include "support/test_app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <map>
#include <optional>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

namespace renomiq {
namespace {

using test::TestDir;
using Lines = std::vector<std::string>;
using Pair = std::pair<std::string, std::string>;

// Every name under a folder, as relative paths, sorted.
std::set<std::string> treeOf(const TestDir &dir, const std::string &relative)
{
    std::set<std::string> names;
    for (const std::string &name : dir.list(relative)) {
        const std::string path = relative + "/" + name;
        names.insert(path);
        if (std::filesystem::is_directory(dir.host(path))) {
            for (const std::string &inner : treeOf(dir, path))
                names.insert(inner);
        }
    }
    return names;
}

// Whether `condition` comes to hold within five seconds.
bool waitUntil(const std::function<bool()> &condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

Lines linesOf(const std::string &log)
{
    Lines lines;
    std::size_t start = 0;
    for (std::size_t end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(log.substr(start, end - start));
    return lines;
}

// The log's pairs, void ones left out; `withoutIdentity` counts those
// recorded without the identity of their item.
std::vector<Pair> pairsOf(const std::string &log, int *withoutIdentity = nullptr)
{
    std::vector<Pair> pairs;
    for (const UndoEntry &entry : undoEntriesOf(linesOf(log))) {
        pairs.emplace_back(entry.current, entry.former);
        if (withoutIdentity)
            *withoutIdentity += !entry.identity;
    }
    return pairs;
}

std::string folderOf(const std::string &path)
{
    return path.substr(0, path.rfind('\\') + 1);
}

// The pairs of each folder, in the log's order.
std::map<std::string, std::vector<Pair>> byFolder(const std::vector<Pair> &pairs)
{
    std::map<std::string, std::vector<Pair>> folders;
    for (const Pair &pair : pairs)
        folders[folderOf(pair.second)].push_back(pair);
    return folders;
}

// A tree of folders of three layers with files whose new names collide (so
// that "(n)" suffixes come out) and running numbers per folder.
void makeTree(const TestDir &dir)
{
    std::vector<std::string> paths;
    for (int a = 0; a < 6; ++a) {
        const std::string top = "t/d" + std::to_string(a);
        for (int f = 0; f < 12; ++f)
            paths.push_back(top + "/IMG_" + std::to_string(f) + ".jpg");
        paths.push_back(top + "/Photo_3.jpg"); // taken: IMG_3 gets "(1)"
        for (int b = 0; b < 3; ++b) {
            const std::string mid = top + "/s" + std::to_string(b);
            for (int f = 0; f < 7; ++f)
                paths.push_back(mid + "/IMG_" + std::to_string(f) + ".jpg");
            paths.push_back(mid + "/deep/IMG_0.jpg");
            paths.push_back(mid + "/deep2/");
        }
    }
    paths.push_back("t/IMG_top.jpg");
    dir.createFiles(paths);
}

EditRequest replaceRequest(const std::string &from, const std::string &to)
{
    EditRequest r;
    r.kind = EditKind::Replapart;
    r.oldString = from;
    r.newString = to;
    return r;
}

// What one run left: the tree, the undo log's pairs, the counts.
struct Outcome {
    std::set<std::string> tree;
    std::vector<Pair> pairs;
    int renamed = 0;
    int failed = 0;
    std::string status;
    int withoutIdentity = 0;      // pairs recorded without their item's identity
    std::set<std::string> undone; // the tree after an undo
    int callsOffThread = 0;       // windows or prompter called from another thread
};

// The windows and the prompter, noting a call from any thread but the one
// that started the run.
struct CheckedWindows : test::RecordingWindows {
    std::thread::id owner = std::this_thread::get_id();
    std::atomic<int> offThread{0};
    void note() { offThread += std::this_thread::get_id() != owner; }
    void itemDone(ItemStatus, const std::string &, const std::string &) override { note(); }
    void setProgressPosition(int p) override
    {
        note();
        RecordingWindows::setProgressPosition(p);
    }
    void processEvents() override
    {
        note();
        RecordingWindows::processEvents();
    }
    void showRenameError(const std::string &oldPath, const std::string &newPath, const std::string &reason) override
    {
        note();
        RecordingWindows::showRenameError(oldPath, newPath, reason);
    }
};

struct ParallelApp : test::TestPlatform {
    AppState state{platform};
    CheckedWindows windows;
    RunDriver driver{state, windows};

    ParallelApp() { windows.onCloseEditor = [this] { driver.reportEditorClosed(); }; }

    // t/f0 ... t/f<folders - 1>, each holding IMG_0 ... IMG_<files - 1>.
    void makeFolders(int folders, int files)
    {
        std::vector<std::string> paths;
        for (int folder = 0; folder < folders; ++folder) {
            for (int f = 0; f < files; ++f)
                paths.push_back("t/f" + std::to_string(folder) + "/IMG_" + std::to_string(f));
        }
        dir.createFiles(paths);
    }
    // The folders of makeFolders that hold a renamed item.
    int foldersBegun(int folders) const
    {
        int begun = 0;
        for (int folder = 0; folder < folders; ++folder) {
            const std::vector<std::string> names = dir.list("t/f" + std::to_string(folder));
            begun += std::any_of(names.begin(), names.end(),
                                 [](const std::string &name) { return name.rfind("Photo_", 0) == 0; });
        }
        return begun;
    }
    void target(const std::string &relative, FolderScope scope)
    {
        state.targets.filesMode = false;
        state.targets.targetFolder = TestDir::win(relative);
        state.targets.folderScope = scope;
        windows.folderBox = state.targets.targetFolder;
    }
    std::string undoLog() const { return dir.readFile(".data-home/Corvane/Renomiq/rollback.rbk"); }
};

Outcome runWith(int jobs, FolderScope scope, const EditRequest &request)
{
    ParallelApp app;
    makeTree(app.dir);
    const std::set<std::string> before = treeOf(app.dir, "t");
    app.target("t", scope);
    app.state.run.jobs = jobs;
    app.state.editKind = request.kind;
    app.driver.startRun(request);
    Outcome outcome;
    outcome.tree = treeOf(app.dir, "t");
    outcome.pairs = pairsOf(app.undoLog(), &outcome.withoutIdentity);
    outcome.renamed = app.state.run.renamedCount;
    outcome.failed = app.state.run.failedCount;
    outcome.status = app.windows.status[1];
    outcome.callsOffThread = app.windows.offThread;
    app.prompter.expect(Answer::Yes);
    app.driver.undoLast();
    outcome.undone = treeOf(app.dir, "t");
    EXPECT_EQ(outcome.undone, before) << "jobs " << jobs;
    return outcome;
}

TEST(ParallelRun, ResultsUndoLogsAndCountsAreThoseOfOneThread)
{
    const struct {
        const char *name;
        FolderScope scope;
        EditRequest request;
    } rows[] = {
        {"all layers, numbers restarting per folder", FolderScope::AllLayers, test::insertAtHead("$$_")},
        {"all layers, \"(n)\" suffixes", FolderScope::AllLayers, replaceRequest("IMG_", "Photo_")},
        {"only subfolders, every one the same name", FolderScope::OnlySubfolders, test::changeTo("dir")},
    };
    for (const auto &row : rows) {
        const Outcome one = runWith(1, row.scope, row.request);
        ASSERT_GT(one.renamed, 20) << row.name;
        ASSERT_EQ(one.pairs.size(), static_cast<std::size_t>(one.renamed)) << row.name;
        EXPECT_EQ(one.withoutIdentity, 0) << row.name;
        for (const int jobs : {2, 8}) {
            const Outcome many = runWith(jobs, row.scope, row.request);
            EXPECT_EQ(many.tree, one.tree) << row.name << ", jobs " << jobs;
            EXPECT_EQ(many.renamed, one.renamed) << row.name << ", jobs " << jobs;
            EXPECT_EQ(many.failed, one.failed) << row.name << ", jobs " << jobs;
            EXPECT_EQ(many.status, one.status) << row.name << ", jobs " << jobs;
            EXPECT_EQ(many.callsOffThread, 0) << row.name << ", jobs " << jobs;
            EXPECT_EQ(many.withoutIdentity, 0) << row.name << ", jobs " << jobs;
            // The same pairs, each folder's in the same order.
            EXPECT_EQ(byFolder(many.pairs), byFolder(one.pairs)) << row.name << ", jobs " << jobs;
            // A folder's rename comes after those of everything inside it.
            for (std::size_t k = 0; k < many.pairs.size(); ++k) {
                const std::string inside = many.pairs[k].second + "\\";
                for (std::size_t later = k + 1; later < many.pairs.size(); ++later)
                    EXPECT_NE(many.pairs[later].second.rfind(inside, 0), 0u)
                        << row.name << ", jobs " << jobs << ": " << many.pairs[later].second << " after "
                        << many.pairs[k].second;
            }
        }
    }
    // The suffixes and numbers as a run in one thread makes them.
    const Outcome numbered = runWith(8, FolderScope::AllLayers, test::insertAtHead("$$_"));
    EXPECT_EQ(numbered.tree.count("t/d0/s1/07_IMG_6.jpg"), 1u);
    EXPECT_EQ(numbered.tree.count("t/d0/s1/deep/01_IMG_0.jpg"), 1u);
    EXPECT_EQ(numbered.tree.count("t/01_IMG_top.jpg"), 1u);
    const Outcome suffixed = runWith(8, FolderScope::AllLayers, replaceRequest("IMG_", "Photo_"));
    EXPECT_EQ(suffixed.tree.count("t/d5/Photo_3(1).jpg"), 1u);
}

// A rename that fails in one thread takes back only its own record, also when
// another thread's record follows it in the journal: the undo log holds what
// was renamed, the failure is shown once, from the thread that started the run.
TEST(ParallelRun, AFailedRenameTakesBackOnlyItsOwnRecord)
{
    for (const int jobs : {1, 2, 8}) {
        ParallelApp app;
        makeTree(app.dir);
        app.fileSystem.refuseRenameOf = {TestDir::win("t/d2/IMG_5.jpg"), TestDir::win("t/d4/s0/IMG_1.jpg")};
        app.target("t", FolderScope::AllLayers);
        app.state.run.jobs = jobs;
        app.state.editKind = EditKind::Replapart;
        app.driver.startRun(replaceRequest("IMG_", "Photo_"));
        EXPECT_EQ(app.state.run.failedCount, 2) << jobs;
        EXPECT_EQ(app.windows.renameErrors.size(), 2u) << jobs;
        EXPECT_EQ(app.windows.offThread, 0) << jobs;
        const std::vector<Pair> pairs = pairsOf(app.undoLog());
        EXPECT_EQ(pairs.size(), static_cast<std::size_t>(app.state.run.renamedCount)) << jobs;
        for (const Pair &pair : pairs)
            EXPECT_TRUE(pair.second != TestDir::win("t/d2/IMG_5.jpg") && pair.second != TestDir::win("t/d4/s0/IMG_1.jpg"))
                << jobs;
        app.prompter.expect(Answer::Yes);
        app.driver.undoLast();
        EXPECT_EQ(app.driver.unrestoredCount(), 0) << jobs;
        EXPECT_EQ(app.windows.status[1], "Undo done.") << jobs;
    }
}

// Slots of the undo log: a record taken back with another thread's after it
// becomes a void pair as long as the record with its identity line, which the
// undo passes over.
TEST(ParallelRun, ARecordTakenBackInTheMiddleIsVoidAndUndoPassesOverIt)
{
    test::TestApp app;
    app.dir.createFiles({"a/x1", "b/y1", ".data-home/Corvane/Renomiq/"});
    UndoLog log(app.fileSystem, app.state.settings.dataFolder());
    ASSERT_TRUE(log.begin().ok());
    log.beginSlots(2);
    const std::optional<ItemId> x = app.fileSystem.itemId(TestDir::win("a/x1"));
    const std::optional<ItemId> y = app.fileSystem.itemId(TestDir::win("b/y1"));
    ASSERT_TRUE(x && y);
    ASSERT_TRUE(log.recordRename(0, TestDir::win("a/x2"), TestDir::win("a/x1"), x).ok());
    ASSERT_TRUE(log.recordRename(1, TestDir::win("b/y2"), TestDir::win("b/y1"), y).ok());
    log.renameFailed(0, TestDir::win("a/x1")); // not the journal's end
    ASSERT_TRUE(app.fileSystem.rename(TestDir::win("b/y1"), TestDir::win("b/y2")).ok());
    log.renameDone(1);
    EXPECT_EQ(log.pairCount(), 1u);
    ASSERT_TRUE(log.commit().ok());
    const std::string text = app.undoLogFile();
    const std::string taken = identityLine(*x) + "\r\n" + TestDir::win("a/x2") + "\r\n" + TestDir::win("a/x1") + "\r\n";
    const std::string real = identityLine(*y) + "\r\n" + TestDir::win("b/y2") + "\r\n" + TestDir::win("b/y1") + "\r\n";
    ASSERT_EQ(text.size(), taken.size() + real.size()); // the void pair as long as the record it replaces
    EXPECT_EQ(text.substr(taken.size()), real);
    const std::string voided = text.substr(0, taken.size());
    EXPECT_EQ(voided.find_first_not_of("X:\\\r\n"), std::string::npos) << voided;
    EXPECT_EQ(linesOf(voided).size(), 2u) << voided;
    EXPECT_EQ(pairsOf(text), (std::vector<Pair>{{TestDir::win("b/y2"), TestDir::win("b/y1")}}));

    app.prompter.expect(Answer::Yes);
    app.driver.undoLast();
    EXPECT_EQ(app.driver.unrestoredCount(), 0);
    EXPECT_EQ(app.dir.list("a"), Lines{"x1"});
    EXPECT_EQ(app.dir.list("b"), Lines{"y1"});
    EXPECT_FALSE(app.undoLogExists());
}

// A journal left by a run in several threads: the item in flight in one
// folder lies before the records of another thread, a few or thousands
// (the threads may run that far apart). Its rename was never made (its new
// name is another item's): recovery leaves it out, so that once its old name
// is free no undo renames that other item, and the rest is undone. Journals
// with the items' identities and older ones without.
TEST(ParallelRun, RecoveryLeavesOutARenameNeverMadeThatOthersFollow)
{
    for (const int others : {3, 3000}) {
        for (const bool identities : {false, true}) {
            const std::string row = std::to_string(others) + (identities ? " with identities" : "");
            test::TestApp app;
            std::vector<std::string> files{"a/x1.txt", "a/y1.txt", ".data-home/Corvane/Renomiq/"};
            Lines formers;
            for (int n = 1; n <= others; ++n) {
                files.push_back("b/n" + std::to_string(n));
                formers.push_back("o" + std::to_string(n));
            }
            app.dir.createFiles(files);
            const auto record = [&](const std::string &current, const std::string &former, const std::string &item) {
                std::string text;
                if (identities)
                    text = identityLine(*app.fileSystem.itemId(TestDir::win(item))) + "\r\n";
                return text + TestDir::win(current) + "\r\n" + TestDir::win(former) + "\r\n";
            };
            std::string journal = record("b/n1", "b/o1", "b/n1")
                + record("a/y1.txt", "a/x1.txt", "a/x1.txt"); // in flight when the run died
            for (int n = 2; n <= others; ++n)
                journal += record("b/n" + std::to_string(n), "b/o" + std::to_string(n), "b/n" + std::to_string(n));
            journal.append(4096, '\0');
            app.dir.writeFile(".data-home/Corvane/Renomiq/rollback.jnl", journal);

            const UndoLog::Recovery recovery =
                UndoLog(app.fileSystem, app.state.settings.dataFolder()).recoverAbandonedJournals();
            EXPECT_EQ(recovery.recovered, 1) << row;
            const std::vector<Pair> pairs = pairsOf(app.undoLogFile());
            EXPECT_EQ(pairs.size(), static_cast<std::size_t>(others)) << row;
            EXPECT_TRUE(std::none_of(pairs.begin(), pairs.end(),
                                     [&](const Pair &pair) { return pair.second == TestDir::win("a/x1.txt"); }))
                << row;
            ::unlink(app.dir.host("a/x1.txt").c_str()); // the item goes; its old name is free
            app.prompter.expect(Answer::Yes);
            app.driver.undoLast();
            EXPECT_EQ(app.dir.list("a"), Lines{"y1.txt"}) << row;
            Lines undone = app.dir.list("b");
            std::sort(undone.begin(), undone.end());
            std::sort(formers.begin(), formers.end());
            EXPECT_EQ(undone, formers) << row;
            EXPECT_EQ(app.driver.unrestoredCount(), 0) << row;
        }
    }
}

// A stop asked for while the threads rename: each ends within the item it is
// at; the undo log holds exactly what was renamed.
TEST(ParallelRun, AStopIsSeenWithinOneItemAThread)
{
    for (const int jobs : {2, 8}) {
        ParallelApp app;
        app.makeFolders(8, 300);
        std::atomic<int> started{0};
        std::atomic<int> startedAtStop{-1};
        // Half way the threads wait for the stop, so that the run cannot end
        // before the windows see events.
        app.fileSystem.beforeRename = [&](const std::string &) {
            if (++started < 1200)
                return;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (startedAtStop < 0 && std::chrono::steady_clock::now() < deadline)
                std::this_thread::yield();
            EXPECT_GE(startedAtStop.load(), 0);
        };
        app.windows.onProcessEvents = [&] {
            if (startedAtStop < 0 && app.state.run.renamedCount >= 100) {
                startedAtStop = started.load();
                app.state.run.stopRequest = true;
                app.state.run.stoppedByUser = true;
            }
        };
        app.target("t", FolderScope::AllLayers);
        app.state.run.jobs = jobs;
        app.state.editKind = EditKind::Replapart;
        app.driver.startRun(replaceRequest("IMG_", "Photo_"));
        ASSERT_GE(startedAtStop.load(), 100) << jobs;
        EXPECT_LE(started.load() - startedAtStop.load(), jobs) << jobs;
        EXPECT_LT(app.state.run.renamedCount, 2400) << jobs;
        // Not tried: the rest of each folder begun (a stop between two
        // folders leaves none).
        EXPECT_EQ(app.state.run.renamedCount + app.state.run.notTriedCount, 300 * app.foldersBegun(8)) << jobs;
        EXPECT_EQ(pairsOf(app.undoLog()).size(), static_cast<std::size_t>(app.state.run.renamedCount)) << jobs;
    }
}

// After a stop the items not tried are, whatever the threads, those of the
// work lists in hand: of each folder begun (not of those listed ahead), or of
// all the chosen items.
TEST(ParallelRun, TheItemsNotTriedAfterAStopAreThoseOfOneThread)
{
    const struct {
        const char *name;
        bool chosen;
    } rows[] = {{"all layers", false}, {"chosen items", true}};
    for (const auto &row : rows) {
        for (const int jobs : {1, 2, 8}) {
            ParallelApp app;
            app.makeFolders(8, 300);
            app.windows.onProcessEvents = [&] {
                if (app.state.run.renamedCount >= 100 && !app.state.run.stopRequest) {
                    app.state.run.stopRequest = true;
                    app.state.run.stoppedByUser = true;
                }
            };
            if (row.chosen) {
                app.state.targets.filesMode = true;
                for (int f = 0; f < 300; ++f) {
                    for (int folder = 0; folder < 8; ++folder)
                        app.state.run.workList.push_back(
                            TestDir::win("t/f" + std::to_string(folder) + "/IMG_" + std::to_string(f)));
                }
            } else {
                app.target("t", FolderScope::AllLayers);
            }
            app.state.run.jobs = jobs;
            app.state.editKind = EditKind::Replapart;
            app.driver.startRun(replaceRequest("IMG_", "Photo_"));
            const RunState &run = app.state.run;
            ASSERT_TRUE(run.stoppedByUser) << row.name << ", jobs " << jobs;
            EXPECT_GE(run.renamedCount, 100) << row.name << ", jobs " << jobs;
            EXPECT_EQ(run.failedCount, 0) << row.name << ", jobs " << jobs;
            EXPECT_EQ(run.renamedCount + run.notTriedCount, row.chosen ? 2400 : 300 * app.foldersBegun(8))
                << row.name << ", jobs " << jobs << ": " << run.renamedCount << " renamed";
        }
    }
}

// A run over all layers of a folder without subfolders takes the path of a
// run in one thread whatever the threads asked for: a stop is seen after the
// item at which it was asked, as there.
TEST(ParallelRun, AFolderWithoutSubfoldersSeesAStopAfterEachItem)
{
    std::optional<int> inOneThread;
    for (const int jobs : {1, 2, 8}) {
        ParallelApp app;
        std::vector<std::string> paths;
        for (int f = 0; f < 300; ++f)
            paths.push_back("t/IMG_" + std::to_string(f));
        app.dir.createFiles(paths);
        app.windows.onProcessEvents = [&] {
            if (app.state.run.renamedCount >= 100 && !app.state.run.stopRequest) {
                app.state.run.stopRequest = true;
                app.state.run.stoppedByUser = true;
            }
        };
        app.target("t", FolderScope::AllLayers);
        app.state.run.jobs = jobs;
        app.state.editKind = EditKind::Replapart;
        app.driver.startRun(replaceRequest("IMG_", "Photo_"));
        const int renamed = app.state.run.renamedCount;
        EXPECT_EQ(renamed + app.state.run.notTriedCount, 300) << jobs;
        if (!inOneThread)
            inOneThread = renamed;
        EXPECT_EQ(renamed, *inOneThread) << jobs;
        EXPECT_LE(renamed, 101) << jobs;
    }
}

// While a dialog is open (here the rename error dialog), the other threads
// do not start another item: the dialog stays open until each of them waits
// (paused, or with nothing left to do), which they reach at once when they
// pause, and only once all their folders are done when they do not.
TEST(ParallelRun, TheOtherThreadsPauseWhileADialogIsOpen)
{
    for (const int jobs : {2, 8}) {
        ParallelApp app;
        app.makeFolders(8, 200);
        app.fileSystem.refuseRenameOf = {TestDir::win("t/f3/IMG_50")};
        std::atomic<int> started{0};
        app.fileSystem.beforeRename = [&](const std::string &) { ++started; };
        std::atomic<int> waiting{0};
        app.state.run.waitingThreads = &waiting;
        int duringDialog = -1;
        bool othersWaited = false;
        struct Windows : CheckedWindows {
            std::function<void()> onError;
            void showRenameError(const std::string &o, const std::string &n, const std::string &r) override
            {
                CheckedWindows::showRenameError(o, n, r);
                onError();
            }
        };
        const auto whileOpen = [&] {
            const int atOpen = started;
            // The thread that failed waits for the dialog, not between items.
            othersWaited = waitUntil([&] { return waiting == jobs - 1; });
            duringDialog = started - atOpen;
        };
        Windows windows;
        windows.onError = whileOpen;
        RunDriver driver(app.state, windows);
        app.target("t", FolderScope::AllLayers);
        windows.folderBox = app.state.targets.targetFolder;
        app.state.run.jobs = jobs;
        app.state.editKind = EditKind::Replapart;
        driver.startRun(replaceRequest("IMG_", "Photo_"));
        EXPECT_TRUE(othersWaited) << jobs;
        ASSERT_GE(duringDialog, 0) << jobs;
        EXPECT_LT(duringDialog, jobs) << jobs; // each other thread ends the item it is at
        EXPECT_EQ(app.state.run.renamedCount, 1599) << jobs;
        EXPECT_EQ(windows.offThread, 0) << jobs;
    }
}

// The undo log cannot grow (a file size limit): every thread stops before its
// next rename; the log holds exactly what was renamed, and the run says how
// many items it did not try.
TEST(ParallelRun, AJournalThatCannotGrowStopsEveryThread)
{
    for (const int jobs : {1, 2, 8}) {
        ParallelApp app;
        std::vector<std::string> paths;
        for (int folder = 0; folder < 5; ++folder) {
            for (int f = 0; f < 50; ++f) {
                char name[32];
                std::snprintf(name, sizeof name, "t/f%d/f%03d", folder, f);
                paths.push_back(name);
            }
        }
        app.dir.createFiles(paths);
        app.target("t", FolderScope::AllLayers);
        app.state.run.jobs = jobs;
        app.state.editKind = EditKind::Addnewnum;
        app.prompter.expect(5, Answer::Ok);
        // Files of at most a page: the journal holds what fits of records of
        // 29 bytes and an identity line each.
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit old {};
        ::getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 4096;
        ::setrlimit(RLIMIT_FSIZE, &small);
        app.driver.startRun(test::insertAtHead("x"));
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        const RunState &run = app.state.run;
        const std::string undoLog = app.undoLog();
        const std::vector<Pair> pairs = pairsOf(undoLog);
        EXPECT_GT(run.renamedCount, 50) << jobs;
        // The page is full: no room was left for several more records.
        EXPECT_LE(undoLog.size(), 4096u) << jobs;
        EXPECT_GT(undoLog.size(), 4096u - 3 * 60) << jobs;
        EXPECT_TRUE(run.stoppedByError) << jobs;
        EXPECT_GT(run.notTriedCount, 0) << jobs;
        EXPECT_LE(run.renamedCount + run.notTriedCount, 250) << jobs;
        EXPECT_EQ(app.windows.status[1], "The run was stopped (the undo log could not be written): "
                                             + std::to_string(run.renamedCount) + " renamed successfully, 0 failed, "
                                             + std::to_string(run.notTriedCount) + " not tried.")
            << jobs;
        EXPECT_EQ(pairs.size(), static_cast<std::size_t>(run.renamedCount)) << jobs;
        app.prompter.clear();
        app.prompter.expect(Answer::Yes);
        app.driver.undoLast();
        EXPECT_EQ(treeOf(app.dir, "t").size(), 255u) << jobs; // 5 folders and their 250 files
        for (const std::string &path : treeOf(app.dir, "t"))
            EXPECT_EQ(path.find("/x"), std::string::npos) << path;
    }
}

// The data folder is deleted while the threads rename: its journal goes with
// it, so every thread stops before its next rename, and what was renamed is
// still written as the undo log.
TEST(ParallelRun, ARunWhoseDataFolderIsDeletedStopsEveryThreadAndKeepsWhatWasRenamed)
{
    for (const int jobs : {1, 2, 8}) {
        ParallelApp app;
        app.makeFolders(8, 200);
        const std::set<std::string> before = treeOf(app.dir, "t");
        // The folder goes at the tenth rename, at once for every thread: a
        // thread that looked at the journal before may still end its rename.
        int renames = 0;
        std::mutex renaming;
        app.fileSystem.beforeRename = [&](const std::string &) {
            const std::lock_guard lock(renaming);
            if (++renames == 10)
                std::filesystem::remove_all(app.dir.dataHome());
        };
        app.target("t", FolderScope::AllLayers);
        app.state.run.jobs = jobs;
        app.state.editKind = EditKind::Replapart;
        app.prompter.expect(Answer::Ok);
        app.driver.startRun(replaceRequest("IMG_", "Photo_"));
        app.fileSystem.beforeRename = nullptr;
        const RunState &run = app.state.run;
        // Those that had looked at the journal before it went end their rename.
        EXPECT_GE(run.renamedCount, 10) << jobs;
        EXPECT_LE(run.renamedCount, 9 + jobs) << jobs;
        EXPECT_TRUE(run.stoppedByError) << jobs;
        ASSERT_EQ(app.prompter.texts().size(), 1u) << jobs;
        EXPECT_EQ(app.prompter.texts()[0].rfind("The undo log could not be written: The journal ", 0), 0u)
            << app.prompter.texts()[0];
        EXPECT_EQ(pairsOf(app.undoLog()).size(), static_cast<std::size_t>(run.renamedCount)) << jobs;
        app.prompter.clear();
        app.prompter.expect(Answer::Yes);
        app.driver.undoLast();
        EXPECT_EQ(treeOf(app.dir, "t"), before) << jobs;
    }
}

// Chosen items spread over folders: t/a, t/b, t/b/n (inside t/b, whose
// items do not hold it) and t/c, each with IMG_0 ... IMG_9 and a Photo_3 the
// new names collide with, and two chosen folders, t/a/IMG_d and t/c/IMG_d,
// with files of their own. t/link leads to t/a.
struct ChosenRun {
    std::set<std::string> tree;
    std::vector<Pair> pairs;
    std::set<std::string> folders; // the folders the log says the run opened
    int renamed = 0;
    int failed = 0;
    std::string status;
    std::vector<std::string> rows; // the file list after the run
    std::set<std::thread::id> renamers; // the threads that renamed
    int callsOffThread = 0;
};

void makeChosenTree(const TestDir &dir)
{
    std::vector<std::string> paths;
    for (const char *folder : {"t/a", "t/b", "t/b/n", "t/c"}) {
        for (int f = 0; f < 10; ++f)
            paths.push_back(std::string(folder) + "/IMG_" + std::to_string(f) + ".jpg");
        paths.push_back(std::string(folder) + "/Photo_3.jpg");
    }
    paths.push_back("t/a/IMG_d/IMG_in.jpg");
    paths.push_back("t/c/IMG_d/IMG_in.jpg");
    dir.createFiles(paths);
    std::filesystem::create_directory_symlink(dir.host("t/a"), dir.host("t/link"));
}

// Every file of the four folders, a folder after the other item by item, and
// the two chosen folders, followed by `more`.
std::vector<std::string> chosenItems(const std::vector<std::string> &more)
{
    std::vector<std::string> items;
    for (int f = 0; f < 10; ++f) {
        for (const char *folder : {"t/a", "t/b", "t/b/n", "t/c"})
            items.push_back(std::string(folder) + "/IMG_" + std::to_string(f) + ".jpg");
        if (f == 4)
            items.push_back("t/c/IMG_d");
    }
    items.push_back("t/a/IMG_d");
    items.insert(items.end(), more.begin(), more.end());
    return items;
}

// inParallel: the first rename waits (a while at most) until another thread
// renames, so that each thread has its part however fast one of them is.
ChosenRun runChosen(int jobs, const EditRequest &request, const std::vector<std::string> &items, bool inParallel)
{
    test::TestApp app;
    makeChosenTree(app.dir);
    const std::set<std::string> before = treeOf(app.dir, "t");
    app.targetFiles(items);
    for (const std::string &item : app.state.run.workList)
        app.windows.fileList().addFileRow(item);
    app.state.run.jobs = jobs;
    app.state.editKind = request.kind;
    ChosenRun outcome;
    std::mutex renaming;
    bool first = true;
    app.fileSystem.beforeRename = [&](const std::string &) {
        std::unique_lock lock(renaming);
        outcome.renamers.insert(std::this_thread::get_id());
        if (!inParallel || jobs == 1 || !std::exchange(first, false))
            return;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (outcome.renamers.size() < 2 && std::chrono::steady_clock::now() < deadline) {
            lock.unlock();
            std::this_thread::yield();
            lock.lock();
        }
    };
    const std::thread::id owner = std::this_thread::get_id();
    std::atomic<int> offThread{0};
    app.windows.onProcessEvents = [&] { offThread += std::this_thread::get_id() != owner; };
    app.prompter.expect(5, Answer::Ok);
    app.driver.startRun(request);
    app.fileSystem.beforeRename = nullptr;
    outcome.tree = treeOf(app.dir, "t");
    outcome.pairs = pairsOf(app.undoLog());
    for (const std::string &line : linesOf(app.undoLogFile()))
        if (const auto folder = folderOfLine(line))
            outcome.folders.insert(folder->path); // each run has a tree of its own
    outcome.renamed = app.state.run.renamedCount;
    outcome.failed = app.state.run.failedCount;
    outcome.status = app.windows.status[1];
    outcome.callsOffThread = offThread;
    for (std::size_t row = 0; row < app.windows.fileList().rowCount(); ++row)
        outcome.rows.push_back(app.windows.fileList().rowText(row));
    app.prompter.clear();
    app.prompter.expect(Answer::Yes);
    app.driver.undoLast();
    EXPECT_EQ(treeOf(app.dir, "t"), before) << "jobs " << jobs;
    return outcome;
}

TEST(ParallelRun, ChosenItemsInSeveralFoldersGiveTheResultsOfOneThread)
{
    const struct {
        const char *name;
        EditRequest request;
        std::vector<std::string> more; // chosen after the others
        bool inParallel;
        std::vector<std::string> expected; // some of the names after the run
    } rows[] = {
        {"\"(n)\" suffixes", replaceRequest("IMG_", "Photo_"), {}, true,
         {"t/a/Photo_3(1).jpg", "t/b/n/Photo_3(1).jpg", "t/c/Photo_d/IMG_in.jpg", "t/a/Photo_d"}},
        {"every one the same name", test::changeTo("same"), {}, true,
         {"t/b/n/same(1)(2).jpg", "t/c/same(1)(2)(3)(4)(5)(6)(7)(8)(9).jpg", "t/c/same/IMG_in.jpg",
          "t/a/same/IMG_in.jpg"}},
        {"a folder reached by two paths", replaceRequest("IMG_", "Photo_"), {"t/link/IMG_7.jpg", "t/link/IMG_8.jpg"},
         true, {"t/a/Photo_7.jpg", "t/b/Photo_7.jpg"}},
        {"a chosen folder and an item inside it", replaceRequest("IMG_", "Photo_"), {"t/c/IMG_d/IMG_in.jpg"}, false,
         {"t/c/Photo_d/IMG_in.jpg"}},
        {"a running number over the whole list", test::insertAtHead("$$_"), {}, false,
         {"t/a/01_IMG_0.jpg", "t/c/04_IMG_0.jpg", "t/c/21_IMG_d", "t/a/42_IMG_d"}},
    };
    for (const auto &row : rows) {
        const std::vector<std::string> items = chosenItems(row.more);
        const ChosenRun one = runChosen(1, row.request, items, row.inParallel);
        ASSERT_GT(one.renamed, 30) << row.name;
        EXPECT_GE(one.folders.size(), 4u) << row.name;
        EXPECT_EQ(one.renamers.size(), 1u) << row.name;
        for (const std::string &name : row.expected)
            EXPECT_EQ(one.tree.count(name), 1u) << row.name << ": " << name;
        for (const int jobs : {2, 8}) {
            const ChosenRun many = runChosen(jobs, row.request, items, row.inParallel);
            EXPECT_EQ(many.tree, one.tree) << row.name << ", jobs " << jobs;
            EXPECT_EQ(many.renamed, one.renamed) << row.name << ", jobs " << jobs;
            EXPECT_EQ(many.failed, one.failed) << row.name << ", jobs " << jobs;
            EXPECT_EQ(many.status, one.status) << row.name << ", jobs " << jobs;
            EXPECT_EQ(many.rows, one.rows) << row.name << ", jobs " << jobs;
            EXPECT_EQ(byFolder(many.pairs), byFolder(one.pairs)) << row.name << ", jobs " << jobs;
            EXPECT_EQ(many.folders, one.folders) << row.name << ", jobs " << jobs;
            EXPECT_EQ(many.pairs.size(), static_cast<std::size_t>(many.renamed)) << row.name << ", jobs " << jobs;
            EXPECT_EQ(many.callsOffThread, 0) << row.name << ", jobs " << jobs;
            if (row.inParallel)
                EXPECT_GT(many.renamers.size(), 1u) << row.name << ", jobs " << jobs;
            else
                EXPECT_EQ(many.renamers.size(), 1u) << row.name << ", jobs " << jobs;
        }
    }
}

TEST(ParallelRun, ThreadsFollowTheCoresUpToEight)
{
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    EXPECT_EQ(runThreads(0), std::clamp(cores, 1, 8));
    EXPECT_EQ(runThreads(3), 3);
    EXPECT_EQ(runThreads(12), 8);
    TargetSet folder;
    folder.filesMode = false;
    folder.targetFolder = "T:\\t\\";
    folder.folderScope = FolderScope::AllLayers;
    EXPECT_TRUE(suitsParallelRun(folder, test::insertAtHead("%%_$$_")));
    EXPECT_FALSE(suitsParallelRun(folder, test::insertAtHead("%3%_"))); // random strings: one sequence
    EXPECT_FALSE(suitsParallelRun(folder, test::insertAtHead("x", true))); // a preview
    folder.folderScope = FolderScope::OneLayer;
    EXPECT_FALSE(suitsParallelRun(folder, test::insertAtHead("x")));
    TargetSet chosen;
    chosen.filesMode = true;
    EXPECT_TRUE(suitsParallelRun(chosen, test::insertAtHead("%%_@$@_")));
    EXPECT_FALSE(suitsParallelRun(chosen, test::insertAtHead("%%_$_"))); // numbers over the whole list
    EXPECT_FALSE(suitsParallelRun(chosen, test::insertAtHead("%2%_")));
}

} // namespace
} // namespace renomiq
