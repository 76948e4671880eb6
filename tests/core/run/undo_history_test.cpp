// The undo history: the logs of the last operations kept beside the last
// one's, within their bounds, undone newest first, an older one refused while
// a newer one shares its items.
#include "run/undo_history.h"

#include "engine/item_path.h"
#include "platform/clock.h"
#include "run/undo_log.h"
#include "support/test_app.h"
#include "run/single_rename.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace renomiq {
namespace {

using test::TestDir;
using test::changeTo;
using Lines = std::vector<std::string>;

const std::string kData = ".data-home/Corvane/Renomiq/";

class UndoHistoryTest : public ::testing::Test {
protected:
    test::TestApp app;
    test::TestDir &dir = app.dir;

    UndoHistory history() { return UndoHistory(app.fileSystem, app.state.settings.dataFolder()); }

    // One run over files, one second after the one before.
    void runOn(const Lines &files, const EditRequest &request)
    {
        ++app.clock.time;
        app.targetFiles(files);
        app.state.editKind = request.kind;
        app.state.run.renamedCount = 0;
        app.state.run.failedCount = 0;
        app.driver.startRun(request);
    }
    void renameAlone(const std::string &file, const std::string &name)
    {
        ++app.clock.time;
        SingleRename single(app.state.platform, app.state.engine, app.state.settings);
        const std::size_t dot = name.rfind('.');
        ASSERT_EQ(single.rename("", TestDir::win(file), name.substr(0, dot), name.substr(dot)).outcome,
                  SingleRename::Outcome::Renamed);
    }
    // The logs in the data folder.
    Lines logs() const
    {
        Lines found;
        for (const std::string &name : dir.list(kData)) {
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".rbk") == 0)
                found.push_back(name);
        }
        return found;
    }
    UndoHistory::Outcome undoEntry(std::size_t index)
    {
        const std::vector<HistoryEntry> entries = history().entries();
        return history().undo(app.driver, app.prompter, entries, index);
    }
    Lines targets()
    {
        Lines t;
        for (const HistoryEntry &e : history().entries())
            t.push_back(e.info.target);
        return t;
    }
};

TEST_F(UndoHistoryTest, KeepsTheLastTwentyOperationsNewestFirst)
{
    const struct {
        int operations;
        std::size_t kept;
    } rows[] = {{1, 1}, {2, 2}, {19, 19}, {20, 20}, {21, 20}, {25, 20}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.operations);
        for (const std::string &name : dir.list(kData))
            ::unlink(dir.host(kData + name).c_str());
        const std::string folder = "b" + std::to_string(row.operations) + "/";
        for (int k = 1; k <= row.operations; ++k)
            dir.createFiles({folder + "a" + std::to_string(k) + ".txt"});
        for (int k = 1; k <= row.operations; ++k)
            runOn({folder + "a" + std::to_string(k) + ".txt"}, changeTo("c" + std::to_string(k)));
        const std::vector<HistoryEntry> entries = history().entries();
        ASSERT_EQ(entries.size(), row.kept);
        EXPECT_EQ(logs().size(), row.kept);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const int k = row.operations - static_cast<int>(i);
            EXPECT_EQ(entries[i].info.target, TestDir::win(folder + "a" + std::to_string(k) + ".txt"));
            EXPECT_EQ(entries[i].info.kind, "Change");
            EXPECT_EQ(entries[i].info.items, 1u);
            EXPECT_EQ(entries[i].info.time, app.clock.time - static_cast<std::int64_t>(i));
            EXPECT_EQ(entries[i].last, i == 0);
        }
        // The last operation's log is "rollback.rbk", exactly as without a history.
        EXPECT_EQ(entries[0].path, TestDir::win(kData + "rollback.rbk"));
        const std::string last = std::to_string(row.operations);
        EXPECT_EQ(app.undoLog(), TestDir::win(folder + "c" + last + ".txt") + "\r\n"
                                     + TestDir::win(folder + "a" + last + ".txt") + "\r\n");
    }
}

TEST_F(UndoHistoryTest, OlderLogsBeyondTheDiskBoundGoFirst)
{
    // Two older logs described as the history describes them, sparse: they
    // take no room, yet count by their size.
    const struct {
        const char *name;
        std::uint64_t megabytes;
        int number;
    } older[] = {{"rollback.h1.rbk", 150, 1}, {"rollback.h2.rbk", 100, 2}};
    std::string index;
    for (const auto &log : older) {
        const std::string path = dir.host(kData + log.name);
        dir.writeFile(kData + log.name, "");
        ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(log.megabytes << 20)), 0);
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        index += std::to_string(st.st_dev) + "\t" + std::to_string(st.st_ino) + "\t" + std::to_string(st.st_size)
            + "\t" + std::to_string(log.number) + "\t" + std::to_string(1000 + log.number) + "\t1\tReplace\tT:\\o"
            + std::to_string(log.number) + "\\\r\n";
    }
    dir.writeFile(kData + "rollback.lst", index);
    EXPECT_EQ(targets(), (Lines{"T:\\o2\\", "T:\\o1\\"}));
    const struct {
        const char *name;
        Lines runs;
        Lines logs;
    } rows[] = {
        // 100 + 150 MiB and a few bytes more: within 256 MiB.
        {"one run", {"d/a.txt"}, {"rollback.h1.rbk", "rollback.h2.rbk", "rollback.rbk"}},
        // A sparse log of 10 MiB moves into the history: the oldest goes.
        {"one more", {"d/e.txt"}, {"rollback.h2.rbk", "rollback.h4.rbk", "rollback.rbk"}},
    };
    dir.createFiles({"d/a.txt", "d/e.txt"});
    bool first = true;
    for (const auto &row : rows) {
        if (!first) {
            const std::string last = dir.host(kData + "rollback.rbk");
            ::chmod(last.c_str(), 0644);
            ASSERT_EQ(::truncate(last.c_str(), static_cast<off_t>(10) << 20), 0);
        }
        first = false;
        runOn(row.runs, changeTo("z" + row.runs[0].substr(2, 1)));
        EXPECT_EQ(logs(), row.logs) << row.name;
    }
}

TEST_F(UndoHistoryTest, UndoesTheNewestThenTheNextInOrder)
{
    dir.createFiles({"u/a.txt", "u/b.txt", "v/c.txt"});
    runOn({"u/a.txt"}, changeTo("a1"));
    runOn({"u/a1.txt", "u/b.txt"}, test::insertAtHead("x_"));
    renameAlone("v/c.txt", "d.txt");
    EXPECT_EQ(dir.list("u"), (Lines{"x_a1.txt", "x_b.txt"}));
    const struct {
        Lines u;
        Lines v;
        std::size_t left;
    } steps[] = {
        {{"x_a1.txt", "x_b.txt"}, {"c.txt"}, 2},
        {{"a1.txt", "b.txt"}, {"c.txt"}, 1},
        {{"a.txt", "b.txt"}, {"c.txt"}, 0},
    };
    for (const auto &step : steps) {
        app.prompter.expect(Answer::Yes);
        EXPECT_EQ(undoEntry(0), UndoHistory::Outcome::Undone);
        EXPECT_EQ(dir.list("u"), step.u);
        EXPECT_EQ(dir.list("v"), step.v);
        EXPECT_EQ(history().entries().size(), step.left);
        EXPECT_EQ(app.windows.status[1], "Undo done.");
    }
    EXPECT_TRUE(logs().empty());
    // The first undo is the list window's: the last operation's question.
    const Lines texts = app.prompter.texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "Do you want to UNDO the last rename operation ?");
    EXPECT_EQ(texts[1], "Do you want to UNDO the Insert of " + localDateTimeText(app.clock.time - 1)
                            + " (2 items, T:\\u\\a1.txt and 1 more) ?");
}

TEST_F(UndoHistoryTest, AnOlderOperationSharingItemsWithANewerOneIsRefused)
{
    const struct {
        const char *name;
        Lines files;
        Lines first;  // the older run's items, renamed to "n"
        Lines second; // the newer run's items, renamed to "m"
        bool refused;
    } rows[] = {
        {"the same item", {"s1/a.txt"}, {"s1/a.txt"}, {"s1/n.txt"}, true},
        {"an item inside a folder it renamed", {"s2/f/a.txt"}, {"s2/f"}, {"s2/n/a.txt"}, true},
        {"the folder holding its item", {"s3/f/a.txt"}, {"s3/f/a.txt"}, {"s3/f"}, true},
        {"other items", {"s4/a.txt", "s4/b.txt"}, {"s4/a.txt"}, {"s4/b.txt"}, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        for (const std::string &name : dir.list(kData))
            ::unlink(dir.host(kData + name).c_str());
        dir.createFiles(row.files);
        const std::string top = row.files[0].substr(0, 3);
        const Lines before = dir.list(top);
        runOn(row.first, changeTo("n"));
        runOn(row.second, changeTo("m"));
        const Lines between = dir.list(top);
        const std::vector<HistoryEntry> entries = history().entries();
        ASSERT_EQ(entries.size(), 2u);
        app.prompter.clear();
        if (row.refused) {
            app.prompter.expect(Answer::Ok);
            EXPECT_EQ(history().undo(app.driver, app.prompter, entries, 1), UndoHistory::Outcome::Refused);
            EXPECT_EQ(dir.list(top), between);
            ASSERT_EQ(app.prompter.texts().size(), 1u);
            EXPECT_EQ(app.prompter.texts()[0], historyRefusal(entries[1], entries[0]));
            EXPECT_EQ(app.prompter.texts()[0].rfind("The Change of " + localDateTimeText(app.clock.time - 1), 0), 0u);
            EXPECT_NE(app.prompter.texts()[0].find("the Change of " + localDateTimeText(app.clock.time)),
                      std::string::npos);
            // Newest first, then it goes.
            app.prompter.expect(2, Answer::Yes);
            EXPECT_EQ(undoEntry(0), UndoHistory::Outcome::Undone);
            EXPECT_EQ(undoEntry(0), UndoHistory::Outcome::Undone);
        } else {
            app.prompter.expect(2, Answer::Yes);
            EXPECT_EQ(history().undo(app.driver, app.prompter, entries, 1), UndoHistory::Outcome::Undone);
            EXPECT_EQ(history().entries().size(), 1u);
            EXPECT_EQ(undoEntry(0), UndoHistory::Outcome::Undone);
        }
        EXPECT_EQ(dir.list(top), before);
        EXPECT_TRUE(history().entries().empty());
    }
}

TEST_F(UndoHistoryTest, SingleRenamesAndRunsCutShortTakeTheirPlaces)
{
    dir.createFiles({"r/a.txt", "r/b.txt", "r/c.txt"});
    runOn({"r/a.txt"}, changeTo("a1"));
    renameAlone("r/b.txt", "b1.txt");
    renameAlone("r/c.txt", "c1.txt");
    // A run cut short by a crash, kept beside the last operation's log.
    dir.writeFile(kData + "rollback.5-e.rbk", "T:\\q\\y\r\nT:\\q\\x\r\nT:\\q\\z\r\nT:\\q\\w\r\n");
    const timespec old[2] = {{100, 0}, {100, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, dir.host(kData + "rollback.5-e.rbk").c_str(), old, 0), 0);
    const std::vector<HistoryEntry> entries = history().entries();
    ASSERT_EQ(entries.size(), 4u);
    const struct {
        const char *kind;
        const char *target;
        std::size_t items;
    } expected[] = {{"Rename", "T:\\r\\c.txt", 1}, {"Rename", "T:\\r\\b.txt", 1}, {"Change", "T:\\r\\a.txt", 1},
                    {"Run", "T:\\q\\", 2}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(entries[i].info.kind, expected[i].kind) << i;
        EXPECT_EQ(entries[i].info.target, expected[i].target) << i;
        EXPECT_EQ(entries[i].info.items, expected[i].items) << i;
    }
    EXPECT_EQ(entries[3].info.time, 100);
    EXPECT_EQ(app.undoLog(), "T:\\r\\c1.txt\r\nT:\\r\\c.txt\r\n");
    app.prompter.expect(2, Answer::Yes);
    EXPECT_EQ(undoEntry(0), UndoHistory::Outcome::Undone);
    EXPECT_EQ(undoEntry(0), UndoHistory::Outcome::Undone);
    EXPECT_EQ(dir.list("r"), (Lines{"a1.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(targets(), (Lines{"T:\\r\\a.txt", "T:\\q\\"}));
}

TEST_F(UndoHistoryTest, APartialUndoKeepsTheEntryWithTheItemsLeft)
{
    dir.createFiles({"p/a.txt", "p/b.txt", "p/z.txt"});
    runOn({"p/a.txt", "p/b.txt"}, test::insertAtHead("x_"));
    runOn({"p/z.txt"}, changeTo("y"));
    // Another item takes a former name: that item cannot come back.
    dir.createFiles({"p/a.txt"});
    app.prompter.expect(Answer::Yes);
    app.prompter.expect(Answer::Ok);
    EXPECT_EQ(undoEntry(1), UndoHistory::Outcome::Partial);
    EXPECT_EQ(dir.list("p"), (Lines{"a.txt", "b.txt", "x_a.txt", "y.txt"}));
    std::vector<HistoryEntry> entries = history().entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].info.kind, "Insert");
    EXPECT_EQ(entries[1].info.items, 1u);
    EXPECT_EQ(entries[1].info.time, app.clock.time - 1);
    EXPECT_EQ(test::TestApp::withoutIdentities(dir.readFile(kData + lastComponentOf(entries[1].path))),
              "T:\\p\\x_a.txt\r\nT:\\p\\a.txt\r\n");
    // Once the way is free, the rest comes back and the entry goes.
    ::unlink(dir.host("p/a.txt").c_str());
    app.prompter.expect(Answer::Yes);
    EXPECT_EQ(undoEntry(1), UndoHistory::Outcome::Undone);
    EXPECT_EQ(dir.list("p"), (Lines{"a.txt", "b.txt", "y.txt"}));
    EXPECT_EQ(history().entries().size(), 1u);
}

// A journal of a run that died after the last operation ended becomes the
// last operation at the next start: the log it replaces stays in the history.
TEST_F(UndoHistoryTest, ARecoveredRunKeepsTheLogItReplacesInTheHistory)
{
    dir.writeFile(kData + "rollback.rbk", "T:\\k\\l\r\nT:\\k\\k\r\n");
    const timespec older[2] = {{1600000000, 0}, {1600000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, dir.host(kData + "rollback.rbk").c_str(), older, 0), 0);
    dir.writeFile(kData + "rollback.3-x.jnl", "T:\\k\\n\r\nT:\\k\\m\r\n");
    UndoLog(app.fileSystem, app.state.settings.dataFolder()).recoverAbandonedJournals();
    EXPECT_EQ(logs(), (Lines{"rollback.h1.rbk", "rollback.rbk"}));
    EXPECT_EQ(app.undoLog(), "T:\\k\\n\r\nT:\\k\\m\r\n");
    EXPECT_EQ(dir.readFile(kData + "rollback.h1.rbk"), "T:\\k\\l\r\nT:\\k\\k\r\n");
    EXPECT_EQ(targets(), (Lines{"T:\\k\\", "T:\\k\\"}));
}

// The list window's Undo of the last operation, which leaves an item: the
// operation keeps its description with the item left.
TEST_F(UndoHistoryTest, AnUndoOfTheLastOperationThatLeavesItemsKeepsItsDescription)
{
    dir.createFiles({"q/a.txt", "q/b.txt"});
    runOn({"q/a.txt", "q/b.txt"}, test::insertAtHead("x_"));
    dir.createFiles({"q/b.txt"});
    app.prompter.expect(Answer::Yes);
    app.prompter.expect(Answer::Ok);
    app.driver.undoLast();
    EXPECT_EQ(dir.list("q"), (Lines{"a.txt", "b.txt", "x_b.txt"}));
    const std::vector<HistoryEntry> entries = history().entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].last);
    EXPECT_EQ(entries[0].info.kind, "Insert");
    EXPECT_EQ(entries[0].info.target, "T:\\q\\a.txt and 1 more");
    EXPECT_EQ(entries[0].info.items, 1u);
    EXPECT_EQ(entries[0].info.time, app.clock.time);
}

// Another instance ends a run while an undo of the last operation works: the
// log the undo took over moves into the history, and the undo takes only
// that same file out, wherever it is now.
TEST_F(UndoHistoryTest, AnUndoFollowsItsLogIntoTheHistory)
{
    const std::string other = "T:\\s\\B_1\r\nT:\\s\\b_1\r\n";
    const struct {
        const char *name;
        Lines before;
        Lines after;
        const char *left; // what stays of the log undone, in the history
    } rows[] = {
        {"every item restored", {"b1", "b2"}, {"a1", "a2"}, nullptr},
        {"an item left", {"b1", "b2", "a1"}, {"a1", "a2", "b1"}, "T:\\u1\\b1\r\nT:\\u1\\a1\r\n"},
    };
    int n = 0;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const std::string u = "u" + std::to_string(n++);
        for (const std::string &name : dir.list(kData))
            ::unlink(dir.host(kData + name).c_str());
        for (const std::string &f : row.before)
            dir.createFiles({u + "/" + f});
        const std::string w = "T:\\" + u + "\\";
        dir.writeFile(kData + "rollback.rbk", w + "b1\r\n" + w + "a1\r\n" + w + "b2\r\n" + w + "a2\r\n");
        bool ended = false;
        app.fileSystem.beforeRenameBack = [&] {
            if (std::exchange(ended, true))
                return;
            const auto lock = app.fileSystem.lockFolder(app.state.settings.dataFolder());
            ASSERT_TRUE(UndoHistory::keepReplaced(app.fileSystem, app.state.settings.dataFolder()));
            dir.writeFile(kData + "rollback.rbk", other);
        };
        app.prompter.clear();
        app.prompter.expect(Answer::Yes);
        app.prompter.expect(Answer::Ok);
        app.driver.undoLast();
        app.fileSystem.beforeRenameBack = nullptr;
        EXPECT_EQ(dir.list(u), row.after);
        EXPECT_EQ(app.undoLog(), other);
        const Lines kept = logs();
        if (!row.left) {
            EXPECT_EQ(kept, Lines{"rollback.rbk"});
            continue;
        }
        ASSERT_EQ(kept.size(), 2u);
        EXPECT_EQ(kept[0].rfind("rollback.h", 0), 0u) << kept[0];
        EXPECT_EQ(dir.readFile(kData + kept[0]), row.left);
    }
}

} // namespace
} // namespace renomiq
