#include "run/run_driver.h"

#include "support/media_files.h"
#include "support/test_app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <map>
#include <set>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace renomiq {
namespace {

using test::TestDir;
using test::changeTo;
using test::insertAtHead;
using Lines = std::vector<std::string>;

class RunDriverTest : public ::testing::Test {
protected:
    test::TestApp app;
    test::TestDir &dir = app.dir;

    void run(const EditRequest &request)
    {
        app.state.editKind = request.kind;
        app.driver.startRun(request);
    }
    // The undo log's pairs as (current, former) with the T:\ prefix dropped.
    std::vector<std::pair<std::string, std::string>> loggedPairs()
    {
        const Lines lines = splitLinesOf(app.undoLog());
        std::vector<std::pair<std::string, std::string>> pairs;
        for (std::size_t i = 0; i + 1 < lines.size(); i += 2)
            pairs.emplace_back(lines[i].substr(3), lines[i + 1].substr(3));
        return pairs;
    }
    static Lines splitLinesOf(const std::string &text)
    {
        Lines lines;
        std::size_t start = 0;
        for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
};

TEST_F(RunDriverTest, AllLayersHandsSubfolderBatchesFirstAndRestartsNumbering)
{
    dir.createFiles({"A/B/x", "A/B/y", "A/z", "A/pics_files/p", "A/Report.FILES/r"});
    app.targetFolder("A", FolderScope::AllLayers);
    run(insertAtHead("$$_"));

    EXPECT_TRUE(dir.exists("A/01_z")); // numbering starts again for A's own batch
    EXPECT_EQ(dir.list("A/B"), (Lines{"01_x", "02_y"})); // numbered in name order
    EXPECT_EQ(dir.list("A/pics_files"), Lines{"p"});
    EXPECT_EQ(dir.list("A/Report.FILES"), Lines{"r"});

    const auto pairs = loggedPairs();
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[2], (std::pair<std::string, std::string>{"A\\01_z", "A\\z"}));
    EXPECT_EQ(app.windows.progressRuns, 1); // all layers always run under the progress dialog
    EXPECT_EQ(app.windows.status[1], "3 renamed successfully, 0 failed.");
    EXPECT_EQ(app.sound.played, Lines{"end.wav"});
}

// Running numbers and "(n)" suffixes follow the name order: upper-case mapping
// first ("_" after the letters, "é" as "É"), then the bytes; neither the byte
// order nor the order of creation.
TEST_F(RunDriverTest, NumbersAndSuffixesFollowTheNameOrder)
{
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    const Lines created = {"cherry.txt", "\xc3\x89" "b.txt", "a_1.txt", "banana.txt", "apple.txt", "Banana.txt",
                           "\xc3\xa9" "a.txt", "az.txt"};
    for (const char *folder : {"N", "X", "R"}) {
        for (const std::string &name : created)
            dir.createFiles({std::string(folder) + "/" + name});
    }
    app.targetFolder("N", FolderScope::OneLayer);
    run(insertAtHead("$$_"));
    EXPECT_EQ(loggedPairs(), (Pairs{{"N\\01_apple.txt", "N\\apple.txt"},
                                    {"N\\02_az.txt", "N\\az.txt"},
                                    {"N\\03_a_1.txt", "N\\a_1.txt"},
                                    {"N\\04_Banana.txt", "N\\Banana.txt"},
                                    {"N\\05_banana.txt", "N\\banana.txt"},
                                    {"N\\06_cherry.txt", "N\\cherry.txt"},
                                    {"N\\07_\xc3\xa9" "a.txt", "N\\\xc3\xa9" "a.txt"},
                                    {"N\\08_\xc3\x89" "b.txt", "N\\\xc3\x89" "b.txt"}}));

    app.targetFolder("X", FolderScope::OneLayer);
    run(changeTo("x", true));
    EXPECT_EQ(app.windows.previewRows, (Pairs{{"apple.txt", "x.txt"},
                                              {"az.txt", "x(1).txt"},
                                              {"a_1.txt", "x(2).txt"},
                                              {"Banana.txt", "x(3).txt"},
                                              {"banana.txt", "x(4).txt"},
                                              {"cherry.txt", "x(5).txt"},
                                              {"\xc3\xa9" "a.txt", "x(6).txt"},
                                              {"\xc3\x89" "b.txt", "x(7).txt"}}));

    // On disk the suffixes accumulate: each taken name gets the next one appended.
    app.targetFolder("R", FolderScope::AllLayers);
    run(changeTo("r"));
    EXPECT_EQ(loggedPairs(), (Pairs{{"R\\r.txt", "R\\apple.txt"},
                                    {"R\\r(1).txt", "R\\az.txt"},
                                    {"R\\r(1)(2).txt", "R\\a_1.txt"},
                                    {"R\\r(1)(2)(3).txt", "R\\Banana.txt"},
                                    {"R\\r(1)(2)(3)(4).txt", "R\\banana.txt"},
                                    {"R\\r(1)(2)(3)(4)(5).txt", "R\\cherry.txt"},
                                    {"R\\r(1)(2)(3)(4)(5)(6).txt", "R\\\xc3\xa9" "a.txt"},
                                    {"R\\r(1)(2)(3)(4)(5)(6)(7).txt", "R\\\xc3\x89" "b.txt"}}));
}

TEST_F(RunDriverTest, OnlySubfoldersRenamesDeepestFirstAndNeverTheFolder)
{
    dir.createFiles({"A/B/C/file"});
    app.targetFolder("A\\", FolderScope::OnlySubfolders);
    run(insertAtHead("n"));
    EXPECT_TRUE(dir.exists("A/nB/nC/file"));
    EXPECT_EQ(dir.list(), Lines{"A"});
    const auto pairs = loggedPairs();
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0], (std::pair<std::string, std::string>{"A\\B\\nC", "A\\B\\C"}));
    EXPECT_EQ(pairs[1], (std::pair<std::string, std::string>{"A\\nB", "A\\B"}));

    // The undo takes the last rename first: the folder comes back, then the
    // subfolder inside it.
    app.prompter.expect(Answer::Yes);
    EXPECT_TRUE(app.driver.undoLast());
    EXPECT_TRUE(dir.exists("A/B/C/file"));
    EXPECT_FALSE(app.undoLogExists());
    EXPECT_EQ(app.windows.status[1], "Undo done.");
}

TEST_F(RunDriverTest, ThisFolderOnlyAndTrailingSeparators)
{
    dir.createFiles({"Work/a.txt", "Other/b.txt"});
    app.targetFolder("Work\\", FolderScope::ThisFolderOnly);
    run(changeTo("Job"));
    EXPECT_EQ(dir.list(), (Lines{"Job", "Other"}));
    EXPECT_EQ(loggedPairs()[0], (std::pair<std::string, std::string>{"Job", "Work"}));

    for (const char *folder : {"Other", "Other\\"}) {
        app.targetFolder(folder, FolderScope::OneLayer);
        run(insertAtHead("x", true));
        ASSERT_EQ(app.windows.previewRows.size(), 1u) << folder;
        EXPECT_EQ(app.windows.previewRows[0], (std::pair<std::string, std::string>{"b.txt", "xb.txt"})) << folder;
    }
    app.targetFolder("Other", FolderScope::AllLayers);
    run(insertAtHead("x", true));
    EXPECT_EQ(app.windows.previewRows[0], (std::pair<std::string, std::string>{"T:\\Other\\b.txt", "T:\\Other\\xb.txt"}));
}

TEST_F(RunDriverTest, PreviewRowsLimitsAndDuplicates)
{
    for (int i = 0; i < 25; ++i)
        dir.createFiles({"P/f" + std::to_string(100 + i) + ".txt"});
    app.targetFolder("P", FolderScope::OneLayer);
    run(insertAtHead("x", true));
    ASSERT_EQ(app.windows.previewRows.size(), 21u);
    EXPECT_EQ(app.windows.previewRows.back().first, "(Others not shown...)");
    EXPECT_EQ(std::count(app.windows.events.begin(), app.windows.events.end(), "previewTruncated"), 1);
    EXPECT_FALSE(app.state.run.stopRequest);

    app.state.settings.options.previewLimit = 25;
    run(insertAtHead("x", true));
    EXPECT_EQ(app.windows.previewRows.size(), 25u);

    dir.createFiles({"D/1.txt", "D/2.txt", "D/3.txt", "D/a(1).txt"});
    app.targetFolder("D", FolderScope::OneLayer);
    app.state.settings.options.previewLimit = 20;
    run(changeTo("a", true));
    // Each is made unique against the rows before it, in name order.
    EXPECT_EQ(app.windows.previewRows,
              (std::vector<std::pair<std::string, std::string>>{
                  {"1.txt", "a.txt"}, {"2.txt", "a(1).txt"}, {"3.txt", "a(2).txt"}, {"a(1).txt", "a(3).txt"}}));
    Lines newNames;

    dir.createFiles({"E/1.txt", "E/2.txt", "E/3.txt"});
    app.targetFolder("E", FolderScope::OneLayer);
    run(changeTo("a", true));
    newNames.clear();
    for (const auto &row : app.windows.previewRows)
        newNames.push_back(row.second);
    EXPECT_EQ(newNames, (Lines{"a.txt", "a(1).txt", "a(2).txt"}));
    EXPECT_TRUE(dir.exists("E/1.txt")); // a preview renames nothing

    app.prompter.expect(3, Answer::Ok); // one EMPTY message per item
    run(changeTo("", true));
    ASSERT_EQ(app.windows.previewRows.size(), 1u);
    EXPECT_EQ(app.windows.previewRows[0].first, "(No filename will be renamed)");
    EXPECT_EQ(app.windows.events.back(), "previewEmpty");
}

TEST_F(RunDriverTest, CancelAfterSomeItemsLogsExactlyThoseItems)
{
    for (int i = 0; i < 30; ++i)
        dir.createFiles({"C/f" + std::to_string(i)});
    app.targetFolder("C", FolderScope::OneLayer);
    app.state.targetCounts.firstLayerFileCount = 30; // as the target check leaves it
    int seen = 0;
    app.windows.onProcessEvents = [&] {
        if (++seen == 7)
            app.state.run.stopRequest = true; // Cancel, confirmed
    };
    run(insertAtHead("z"));
    EXPECT_EQ(app.windows.progressRuns, 1);
    EXPECT_EQ(loggedPairs().size(), 7u);
    int renamed = 0;
    for (const std::string &name : dir.list("C"))
        renamed += name[0] == 'z';
    EXPECT_EQ(renamed, 7);
    EXPECT_FALSE(app.state.run.stopRequest);

    // The next run starts clear and processes everything left.
    app.windows.onProcessEvents = nullptr;
    run(insertAtHead("z"));
    EXPECT_EQ(loggedPairs().size(), 30u);
}

TEST_F(RunDriverTest, StopIsSeenBetweenEveryTwoItemsAlsoWhenRenamesFail)
{
    for (int i = 0; i < 30; ++i)
        dir.createFiles({"S/f" + std::to_string(i)});
    const struct {
        const char *name;
        bool refuse;     // every rename fails
        bool unchanged;  // every new name equals the old one
    } rows[] = {{"failing", true, false}, {"unchanged", false, true}};
    for (const auto &row : rows) {
        app.fileSystem.refuseRenameOf.clear();
        if (row.refuse)
            app.fileSystem.refuseRenameOf = {"*"};
        app.targetFolder("S", FolderScope::OneLayer);
        app.state.targetCounts.firstLayerFileCount = 30;
        app.windows.suppressRenameErrors = true;
        int seen = 0;
        app.windows.onProcessEvents = [&] {
            if (app.state.run.progressJob == ProgressJob::RenamingJob && ++seen == 5)
                app.state.run.stopRequest = true; // Cancel, confirmed
        };
        app.prompter.expect(Answer::Ok); // nothing renamed
        app.state.run.failedCount = 0;
        run(row.unchanged ? insertAtHead("") : insertAtHead("z"));
        EXPECT_EQ(seen, 5) << row.name;
        EXPECT_EQ(app.state.run.failedCount, row.refuse ? 5 : 0) << row.name;
        app.windows.onProcessEvents = nullptr;
    }
}

// A walk over folders without files sees a stop between folders.
TEST_F(RunDriverTest, StopIsSeenBetweenFoldersWithoutItems)
{
    for (int i = 10; i < 50; ++i)
        dir.createFiles({"E/e" + std::to_string(i) + "/"});
    dir.createFiles({"E/zz"});
    app.targetFolder("E", FolderScope::AllLayers);
    int seen = 0;
    app.windows.onProcessEvents = [&] {
        if (++seen == 5)
            app.state.run.stopRequest = true; // Cancel, confirmed
    };
    app.prompter.expect(Answer::Ok); // nothing renamed
    app.state.run.jobs = 1; // in one thread: each call where it comes
    run(insertAtHead("n"));
    EXPECT_EQ(seen, 7); // five empty folders, E's own batch (cut short at the stop), the end of the run
    EXPECT_EQ(dir.list("E").back(), "zz");
    EXPECT_EQ(app.state.run.renamedCount, 0);

    // In several threads the walk sees it between folders all the same.
    for (const int jobs : {2, 8}) {
        seen = 0;
        app.state.run = RunState{};
        app.state.run.jobs = jobs;
        app.prompter.expect(Answer::Ok);
        run(insertAtHead("n"));
        EXPECT_GE(seen, 5) << jobs;
        EXPECT_EQ(dir.list("E").back(), "zz") << jobs;
        EXPECT_EQ(app.state.run.renamedCount, 0) << jobs;
    }
}

TEST_F(RunDriverTest, ItemsTheWalkCannotReachFailAndAreShown)
{
    dir.createFiles({"W/a", "W/b\\c", "W/locked/x", "W/open/y"});
    app.fileSystem.refuseListOf = {TestDir::win("W/locked/")};
    app.targetFolder("W", FolderScope::AllLayers);
    run(insertAtHead("z"));
    EXPECT_EQ(app.windows.unreachable,
              (std::vector<std::pair<std::string, std::string>>{
                  {"T:\\W\\b\\c", "the name holds '\\', which a Windows-style path cannot hold"},
                  {"T:\\W\\locked", "Permission denied"}}));
    EXPECT_EQ(app.windows.status[1], "2 renamed successfully, 2 failed.");
    EXPECT_EQ(dir.list("W"), (Lines{"b\\c", "locked", "open", "za"}));
    EXPECT_EQ(dir.list("W/open"), Lines{"zy"});

    // A preview lists what it can and counts nothing.
    app.windows.unreachable.clear();
    app.state.run.failedCount = 0;
    run(insertAtHead("q", true));
    EXPECT_TRUE(app.windows.unreachable.empty());
    EXPECT_EQ(app.state.run.failedCount, 0);
}

// A subfolder swapped for a link to a folder outside while the run goes on:
// the walk goes on through the folders it holds, never through the link.
TEST_F(RunDriverTest, AFolderSwappedForALinkDuringTheRunLeadsNoRenameOutside)
{
    const struct {
        const char *swapAfter; // the swap comes once this item is there
        const char *swapped;   // the subfolder moved to "away" and replaced by a link to "outside"
        Lines away;
        std::vector<std::pair<std::string, std::string>> unreachable;
        const char *status;
    } rows[] = {
        // Not entered yet: it is never entered, and fails.
        {"t/a/Photo_1.jpg", "c", {"IMG_4.jpg"}, {{"T:\\t\\c", "Too many levels of symbolic links"}},
         "4 renamed successfully, 1 failed."},
        // Entered already: its items are renamed where the folder is now.
        {"t/b/Photo_2.jpg", "b", {"Photo_2.jpg", "Photo_3.jpg"}, {}, "5 renamed successfully, 0 failed."},
    };
    for (const auto &row : rows) {
        std::filesystem::remove_all(dir.host("t"));
        std::filesystem::remove_all(dir.host("away"));
        std::filesystem::remove_all(dir.host("outside"));
        dir.createFiles({"t/IMG_0.jpg", "t/a/IMG_1.jpg", "t/b/IMG_2.jpg", "t/b/IMG_3.jpg", "t/c/IMG_4.jpg",
                         "outside/IMG_private.key", "outside/IMG_2.jpg"});
        bool swapped = false;
        app.windows.onProcessEvents = [&] {
            if (swapped || !dir.exists(row.swapAfter))
                return;
            swapped = true;
            const std::string folder = dir.host(std::string("t/") + row.swapped);
            ASSERT_EQ(::rename(folder.c_str(), dir.host("away").c_str()), 0);
            ASSERT_EQ(::symlink(dir.host("outside").c_str(), folder.c_str()), 0);
        };
        app.windows.unreachable.clear();
        app.state.run = RunState{};
        app.state.run.jobs = 1; // the swap comes between two renames of one thread
        app.targetFolder("t", FolderScope::AllLayers);
        EditRequest r;
        r.kind = EditKind::Replapart;
        r.oldString = "IMG_";
        r.newString = "Photo_";
        run(r);
        app.windows.onProcessEvents = nullptr;
        EXPECT_TRUE(swapped) << row.swapped;
        EXPECT_EQ(dir.list("outside"), (Lines{"IMG_2.jpg", "IMG_private.key"})) << row.swapped;
        EXPECT_EQ(dir.list("away"), row.away) << row.swapped;
        EXPECT_EQ(app.windows.unreachable, row.unreachable) << row.swapped;
        EXPECT_EQ(app.windows.status[1], row.status) << row.swapped;
    }
}

// The same in several threads: the walk, ahead of the renames, meets the link
// where the folder was and never enters it.
TEST_F(RunDriverTest, AFolderSwappedForALinkLeadsNoRenameOutsideAlsoInSeveralThreads)
{
    for (const int jobs : {2, 8}) {
        std::filesystem::remove_all(dir.host("t"));
        std::filesystem::remove_all(dir.host("away"));
        std::filesystem::remove_all(dir.host("outside"));
        dir.createFiles({"t/IMG_0.jpg", "t/a/IMG_1.jpg", "t/b/IMG_2.jpg", "t/b/IMG_3.jpg", "t/c/IMG_4.jpg",
                         "outside/IMG_private.key", "outside/IMG_2.jpg"});
        // The third entry the walk meets is a's IMG_1.jpg: c is not entered yet.
        int entries = 0;
        app.fileSystem.beforeEntry = [&] {
            if (++entries != 3)
                return;
            ASSERT_EQ(::rename(dir.host("t/c").c_str(), dir.host("away").c_str()), 0);
            ASSERT_EQ(::symlink(dir.host("outside").c_str(), dir.host("t/c").c_str()), 0);
        };
        app.windows.unreachable.clear();
        app.state.run = RunState{};
        app.state.run.jobs = jobs;
        app.targetFolder("t", FolderScope::AllLayers);
        EditRequest r;
        r.kind = EditKind::Replapart;
        r.oldString = "IMG_";
        r.newString = "Photo_";
        run(r);
        app.fileSystem.beforeEntry = nullptr;
        EXPECT_EQ(dir.list("outside"), (Lines{"IMG_2.jpg", "IMG_private.key"})) << jobs;
        EXPECT_EQ(dir.list("away"), Lines{"IMG_4.jpg"}) << jobs;
        EXPECT_EQ(app.windows.unreachable,
                  (std::vector<std::pair<std::string, std::string>>{{"T:\\t\\c", "Too many levels of symbolic links"}}))
            << jobs;
        EXPECT_EQ(app.windows.status[1], "4 renamed successfully, 1 failed.") << jobs;
    }
}

TEST_F(RunDriverTest, AFolderBeyondThePathLengthLimitFails)
{
    // A chain of folders longer than the system's path limit, made one level
    // at a time relative to the one above.
    dir.createFiles({"deep/"});
    std::vector<int> fds{::open(dir.host("deep").c_str(), O_RDONLY | O_DIRECTORY)};
    const std::string level(250, 'd');
    for (int i = 0; i < 18; ++i) {
        ASSERT_EQ(::mkdirat(fds.back(), level.c_str(), 0755), 0);
        fds.push_back(::openat(fds.back(), level.c_str(), O_RDONLY | O_DIRECTORY));
        ASSERT_GE(fds.back(), 0);
    }
    app.targetFolder("deep", FolderScope::AllLayers);
    app.prompter.expect(Answer::Ok); // nothing renamed
    run(insertAtHead("z"));
    ASSERT_FALSE(app.windows.unreachable.empty());
    EXPECT_EQ(app.windows.unreachable[0].second, "File name too long");
    EXPECT_EQ(app.state.run.failedCount, 1);
    for (std::size_t i = fds.size() - 1; i > 0; --i) { // clean up from the deepest
        ::close(fds[i]);
        ::unlinkat(fds[i - 1], level.c_str(), AT_REMOVEDIR);
    }
    ::close(fds[0]);
}

TEST_F(RunDriverTest, AnExecutionRenamesBeforeAnyExistenceTestWithTheSameNames)
{
    const struct {
        const char *name;
        Lines files;
        Lines items; // files mode; empty: the folder's files
        EditRequest request;
        Lines after;
        std::size_t pairs;
    } rows[] = {
        {"no clash", {"a.txt", "b.txt"}, {}, insertAtHead("x"), {"xa.txt", "xb.txt"}, 2},
        {"taken twice", {"1.txt", "a.txt", "a(1).txt"}, {"1.txt"}, changeTo("a"), {"a(1)(2).txt", "a(1).txt", "a.txt"}, 1},
        {"one name for two", {"p.txt", "q.txt"}, {}, changeTo("n"), {"n(1).txt", "n.txt"}, 2},
        {"case only", {"abc.txt"}, {}, changeTo("ABC"), {"ABC.txt"}, 1},
    };
    int folder = 0;
    for (const auto &row : rows) {
        const std::string f = "X" + std::to_string(folder++);
        for (const std::string &file : row.files)
            dir.createFiles({f + "/" + file});
        if (row.items.empty()) {
            app.targetFolder(f, FolderScope::OneLayer);
        } else {
            Lines items;
            for (const std::string &item : row.items)
                items.push_back(f + "/" + item);
            app.targetFiles(items);
        }
        app.fileSystem.existenceTests = 0;
        run(row.request);
        EXPECT_EQ(dir.list(f), row.after) << row.name;
        EXPECT_EQ(loggedPairs().size(), row.pairs) << row.name;
    }
    // Where no name is taken, the walk's items need no look-up at all.
    dir.createFiles({"Y/c.txt", "Y/d.txt", "Y/e.txt"});
    app.targetFolder("Y", FolderScope::OneLayer);
    app.fileSystem.existenceTests = 0;
    run(insertAtHead("y"));
    EXPECT_EQ(dir.list("Y"), (Lines{"yc.txt", "yd.txt", "ye.txt"}));
    EXPECT_EQ(app.fileSystem.existenceTests, 0);
}

TEST_F(RunDriverTest, EveryRenameFailingLeavesTheOldLog)
{
    dir.createFiles({"ro/a.txt", "ro/b.txt", "old.txt"});
    app.targetFiles({"old.txt"});
    run(changeTo("new"));
    const std::string oldLog = app.undoLog();
    ASSERT_NE(oldLog, "<missing>");

    app.fileSystem.refuseRenameOf = {"*"};
    app.targetFiles({"ro/a.txt", "ro/b.txt"});
    app.prompter.expect(Answer::Ok);
    run(changeTo("c"));
    EXPECT_EQ(app.windows.renameErrors.size(), 2u);
    EXPECT_EQ(app.prompter.texts().back(),
              "No filename had been changed,please check input text and \nmake sure that the targeted files can be "
              "renamed.");
    EXPECT_EQ(app.undoLog(), oldLog);
    EXPECT_EQ(app.state.run.failedCount, 2);
    EXPECT_EQ(app.windows.events.back(), "showEditor");
    // The failed files are listed again.
    EXPECT_EQ(app.windows.list.rows, (Lines{TestDir::win("ro/a.txt"), TestDir::win("ro/b.txt")}));
}

TEST_F(RunDriverTest, TheLogHoldsOnlyTheRenamesThatSucceeded)
{
    dir.createFiles({"m/a", "m/b", "m/c"});
    app.fileSystem.refuseRenameOf = {TestDir::win("m/b")};
    app.targetFiles({"m/a", "m/b", "m/c"});
    run(insertAtHead("x"));
    EXPECT_EQ(app.undoLog(), "T:\\m\\xa\r\nT:\\m\\a\r\nT:\\m\\xc\r\nT:\\m\\c\r\n");
    EXPECT_EQ(app.windows.status[1], "2 renamed successfully, 1 failed.");
    EXPECT_FALSE(dir.exists(".data-home/Corvane/Renomiq/rollback.jnl"));
}

TEST_F(RunDriverTest, ARunStoppedByTheUndoLogSaysSoAndHowManyItemsWereNotTried)
{
    std::vector<std::string> names;
    for (int i = 0; i < 250; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "s/f%03d", i);
        names.push_back(name);
    }
    dir.createFiles(names);
    app.targetFolder("s", FolderScope::OneLayer);
    app.prompter.expect(3, Answer::Ok);
    // Files of at most a page: the journal holds the line of the folder and
    // the records that fit, each its item's identity line and a pair of 23 bytes.
    std::size_t used = (dir.folderLine("s", "T:\\s\\") + "\r\n").size();
    int fit = 0;
    for (const std::string &name : names) {
        struct stat st {};
        ASSERT_EQ(::stat(dir.host(name).c_str(), &st), 0);
        used += 23 + ("#item " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + "\r\n").size();
        if (used > 4096)
            break;
        ++fit;
    }
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    run(insertAtHead("x"));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(app.windows.status[1], "The run was stopped (the undo log could not be written): " + std::to_string(fit)
                                         + " renamed successfully, 0 failed, " + std::to_string(250 - fit)
                                         + " not tried.");
    const std::vector<std::string> after = dir.list("s");
    EXPECT_EQ(std::count_if(after.begin(), after.end(), [](const std::string &n) { return n[0] == 'x'; }), fit);
}

// A journal that reaches its bound stops the run before the next rename, as
// a full disk does, in one thread or several; what was renamed is undone.
TEST_F(RunDriverTest, AJournalAtItsBoundStopsTheRunBeforeTheNextRename)
{
    const struct {
        const char *name;
        int jobs;
    } rows[] = {
        {"one thread", 1},
        {"four threads", 4},
    };
    int n = 0;
    for (const auto &row : rows) {
        const std::string top = "b" + std::to_string(n++);
        Lines names;
        for (int i = 0; i < 120; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "/d%d/f%03d", i % 4, i);
            names.push_back(top + name);
        }
        dir.createFiles(names);
        const std::map<std::string, Lines> before = {{"d0", dir.list(top + "/d0")}, {"d1", dir.list(top + "/d1")},
                                                     {"d2", dir.list(top + "/d2")}, {"d3", dir.list(top + "/d3")}};
        app.targetFolder(top, FolderScope::AllLayers);
        app.state.run.jobs = row.jobs;
        app.state.run.renamedCount = 0;
        app.state.run.failedCount = 0;
        app.state.run.notTriedCount = 0;
        // Room for a few dozen records, each some 70 bytes.
        constexpr std::size_t kBound = 2048;
        app.fileSystem.setJournalLimit(kBound);
        app.prompter.clear();
        app.prompter.expect(3, Answer::Ok);
        run(insertAtHead("x"));
        app.fileSystem.setJournalLimit(std::size_t{1} << 30);
        const int renamed = app.state.run.renamedCount;
        EXPECT_GT(renamed, 5) << row.name;
        EXPECT_LT(renamed, 40) << row.name;
        EXPECT_EQ(app.windows.status[1].rfind("The run was stopped (the undo log could not be written): "
                                                  + std::to_string(renamed) + " renamed successfully, 0 failed, ",
                                              0),
                  0u)
            << row.name << ": " << app.windows.status[1];
        EXPECT_LE(app.undoLogFile().size(), kBound) << row.name;
        int onDisk = 0;
        for (const auto &[folder, list] : before) {
            for (const std::string &name : dir.list(top + "/" + folder))
                onDisk += name[0] == 'x';
        }
        EXPECT_EQ(onDisk, renamed) << row.name;

        app.prompter.clear();
        app.prompter.expect(Answer::Yes);
        EXPECT_TRUE(app.driver.undoLast()) << row.name;
        EXPECT_EQ(app.windows.status[1], "Undo done.") << row.name;
        for (const auto &[folder, list] : before)
            EXPECT_EQ(dir.list(top + "/" + folder), list) << row.name << " " << folder;
    }
    app.state.run.jobs = 1;
}

TEST_F(RunDriverTest, FilesModeRelistsAndUndoRestoresRows)
{
    dir.createFiles({"f/a.txt", "f/b.txt", "f/keep.doc"});
    app.targetFiles({"f/a.txt", "f/keep.doc", "f/b.txt"});
    EditRequest r;
    r.kind = EditKind::Changexten;
    r.oldExtension = ".txt";
    r.newExtension = ".md";
    run(r);
    EXPECT_EQ(app.windows.list.rows, (Lines{TestDir::win("f/a.md"), TestDir::win("f/keep.doc"), TestDir::win("f/b.md")}));
    EXPECT_EQ(app.windows.status[1], "2 renamed successfully, 0 failed.");
    EXPECT_EQ(app.windows.status[0], "3 Files");
    EXPECT_EQ(app.undoLog(), "T:\\f\\a.md\r\nT:\\f\\a.txt\r\nT:\\f\\b.md\r\nT:\\f\\b.txt\r\n");
    struct stat st {};
    ::stat(dir.host(".data-home/Corvane/Renomiq/rollback.rbk").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0222, 0u); // read-only

    EXPECT_EQ(app.sound.played, Lines{"end.wav"});
    app.sound.played.clear();
    app.prompter.expect(Answer::No);
    EXPECT_FALSE(app.driver.undoLast());
    EXPECT_TRUE(dir.exists("f/a.md"));
    app.prompter.expect(Answer::Yes);
    EXPECT_TRUE(app.driver.undoLast());
    EXPECT_EQ(app.windows.list.rows, (Lines{TestDir::win("f/a.txt"), TestDir::win("f/keep.doc"), TestDir::win("f/b.txt")}));
    EXPECT_EQ(app.windows.progressRuns, 0);
    EXPECT_FALSE(app.undoLogExists());
    EXPECT_EQ(app.prompter.shown()[0], (Message{"Undo Confirmation", "Do you want to UNDO the last rename operation ?",
                                                MessageIcon::Question, MessageButtons::YesNo}));
}

TEST(RunDriverSound, TheEndSoundFollowsTheOptionForRunAndUndoAlike)
{
    const struct {
        bool endSound;
        Lines played;
    } cases[] = {
        {true, {"end.wav", "end.wav"}},
        {false, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.endSound ? "sound on" : "sound off");
        test::TestApp app;
        app.dir.createFiles({"f/a.txt"});
        app.targetFiles({"f/a.txt"});
        app.state.settings.options.endSound = c.endSound;
        app.state.editKind = EditKind::Addnewnum;
        app.driver.startRun(insertAtHead("n"));
        ASSERT_TRUE(app.dir.exists("f/na.txt"));
        app.prompter.expect(Answer::Yes);
        ASSERT_TRUE(app.driver.undoLast());
        ASSERT_TRUE(app.dir.exists("f/a.txt"));
        EXPECT_EQ(app.sound.played, c.played);
    }
}

TEST_F(RunDriverTest, UndoOfSixtyLinesRunsDirectlyAndSixtyTwoUnderTheDialog)
{
    for (int lines : {60, 62}) {
        const std::string folder = "u" + std::to_string(lines);
        Lines log;
        for (int i = 0; i < lines / 2; ++i) {
            dir.createFiles({folder + "/new" + std::to_string(i)});
            log.push_back(TestDir::win(folder + "/new" + std::to_string(i)));
            log.push_back(TestDir::win(folder + "/old" + std::to_string(i)));
        }
        std::string content;
        for (const std::string &l : log)
            content += l + "\r\n";
        dir.writeFile(".data-home/Corvane/Renomiq/rollback.rbk", content);
        app.windows.progressRuns = 0;
        app.prompter.expect(Answer::Yes);
        app.driver.undoLast();
        EXPECT_EQ(app.windows.progressRuns, lines == 60 ? 0 : 1) << lines;
        EXPECT_EQ(dir.list(folder).size(), static_cast<std::size_t>(lines / 2)) << lines;
        EXPECT_TRUE(dir.exists(folder + "/old0")) << lines;
        EXPECT_FALSE(app.undoLogExists()) << lines;
    }
}

TEST_F(RunDriverTest, HandEditedLogsNeverMoveItemsBetweenFolders)
{
    dir.createFiles({"a/x", "b/", "a/y", "a/last"});
    dir.writeFile(".data-home/Corvane/Renomiq/rollback.rbk",
                  "T:\\a\\x\nT:\\b\\x\r\nT:\\a\\y\rT:\\a\\y0\r\nT:\\a\\last\r\n");
    app.prompter.expect(Answer::Yes);
    app.prompter.expect(Answer::Ok);
    app.driver.undoLast();
    EXPECT_TRUE(dir.exists("a/x"));      // cross-folder pair skipped
    EXPECT_EQ(dir.list("b").size(), 0u);
    EXPECT_TRUE(dir.exists("a/y0"));     // a sound pair is restored
    EXPECT_TRUE(dir.exists("a/last"));   // the odd last line has no partner
    // The pair that could not be undone stays in the log, and the user is told.
    EXPECT_EQ(app.undoLog(), "T:\\a\\x\r\nT:\\b\\x\r\n");
    EXPECT_EQ(app.windows.status[1], "Undo done. 1 item could not be restored.");
}

TEST_F(RunDriverTest, CancelledUndoKeepsTheLogAndARepeatFinishes)
{
    Lines log;
    std::string content;
    for (int i = 0; i < 40; ++i) {
        dir.createFiles({"c/n" + std::to_string(i)});
        content += TestDir::win("c/n" + std::to_string(i)) + "\r\n" + TestDir::win("c/o" + std::to_string(i)) + "\r\n";
    }
    dir.writeFile(".data-home/Corvane/Renomiq/rollback.rbk", content);
    int seen = 0;
    app.windows.onProcessEvents = [&] {
        if (++seen == 5)
            app.state.run.stopRequest = true;
    };
    app.prompter.expect(Answer::Yes);
    app.driver.undoLast();
    EXPECT_EQ(app.windows.progressRuns, 1);
    // The last five renames are undone; the log keeps the pairs not yet tried.
    EXPECT_TRUE(dir.exists("c/o35"));
    EXPECT_TRUE(dir.exists("c/n34"));
    EXPECT_EQ(splitLinesOf(app.undoLog()).size(), 70u);
    EXPECT_EQ(splitLinesOf(app.undoLog()).back(), TestDir::win("c/o34"));
    app.windows.onProcessEvents = nullptr;
    app.prompter.expect(Answer::Yes);
    app.driver.undoLast();
    EXPECT_TRUE(dir.exists("c/o39"));
    EXPECT_EQ(dir.list("c").size(), 40u);
    EXPECT_FALSE(app.undoLogExists());
}

TEST_F(RunDriverTest, ExitAutomaticallyAndTheChoiceOfTheWayOfRunning)
{
    for (int i = 0; i < 18; ++i)
        dir.createFiles({"e/f" + std::to_string(i)});
    app.targetFolder("e", FolderScope::OneLayer);
    app.state.targetCounts.firstLayerFileCount = 18;
    app.state.settings.options.exitAfterOperation = true;
    run(insertAtHead("_"));
    EXPECT_EQ(app.windows.progressRuns, 0);
    EXPECT_EQ(std::count(app.windows.events.begin(), app.windows.events.end(), "closeListWindow"), 1);
    EXPECT_EQ(app.windows.status[1], "");
    EXPECT_TRUE(app.undoLogExists());

    dir.createFiles({"e/f18"});
    app.state.targetCounts.firstLayerFileCount = 19;
    run(insertAtHead("_"));
    EXPECT_EQ(app.windows.progressRuns, 1);
}

TEST_F(RunDriverTest, FolderModeReportsIntoTheFolderHistory)
{
    dir.createFiles({"h/a"});
    app.targetFolder("h\\", FolderScope::OneLayer);
    app.state.folders.add("T:\\other\\");
    run(insertAtHead("1"));
    EXPECT_EQ(app.state.folders.entries(), (Lines{"T:\\h\\", "T:\\other\\"}));
    EXPECT_NE(std::find(app.windows.events.begin(), app.windows.events.end(), "refreshListing"), app.windows.events.end());
    EXPECT_EQ(app.windows.events.back(), "folderEntry0");

    // Remember: the texts of a renaming run join the new-name history.
    EXPECT_EQ(app.state.names.entries(), Lines{"1"});
}

// Numbers in taken order: each folder's items in the order they were taken,
// the same time by name, items without a time last; every file read once.
TEST_F(RunDriverTest, NumbersInTakenOrderFollowEachFoldersShootingOrder)
{
    const auto photo = [this](const std::string &name, const std::string &taken) {
        test::ExifFields fields;
        fields.dateTimeOriginal = taken;
        dir.writeFile(name, test::jpegWithExif(fields));
    };
    dir.createFiles({"A/S/", "B/"});
    photo("A/a.jpg", "2024:07:14 10:00:00");
    photo("A/c.jpg", "2024:07:14 09:00:00");
    photo("A/b.jpg", "2024:07:14 09:00:00");
    photo("A/e.jpg", "2024:07:13 23:59:59");
    dir.writeFile("A/d.txt", "no photo");
    photo("A/S/x.jpg", "2020:01:01 12:00:00");
    photo("A/S/y.jpg", "2020:01:01 11:00:00");
    app.targetFolder("A", FolderScope::AllLayers);
    EditRequest request = changeTo("{taken;yyyy-MM-dd}_$$");
    request.numberOrder = NumberOrder::Taken;
    run(request);

    EXPECT_EQ(dir.list("A"), (Lines{"2024-07-13_01.jpg", "2024-07-14_02.jpg", "2024-07-14_03.jpg",
                                    "2024-07-14_04.jpg", "S", "_05.txt"}));
    EXPECT_EQ(dir.list("A/S"), (Lines{"2020-01-01_01.jpg", "2020-01-01_02.jpg"}));
    const auto pairs = loggedPairs();
    ASSERT_EQ(pairs.size(), 7u);
    EXPECT_EQ(pairs[0], (std::pair<std::string, std::string>{"A\\S\\2020-01-01_01.jpg", "A\\S\\y.jpg"}));
    EXPECT_EQ(pairs[3], (std::pair<std::string, std::string>{"A\\2024-07-14_02.jpg", "A\\b.jpg"}));
    EXPECT_EQ(pairs[4], (std::pair<std::string, std::string>{"A\\2024-07-14_03.jpg", "A\\c.jpg"}));
    EXPECT_EQ(pairs[5], (std::pair<std::string, std::string>{"A\\2024-07-14_04.jpg", "A\\a.jpg"}));
    EXPECT_EQ(app.state.engine.specialStrings().metadata().filesRead(), 7u);

    // Without the order, the names' order; the switched-off tokens leave both.
    dir.writeFile("B/b.jpg", dir.readFile("A/2024-07-14_02.jpg"));
    dir.writeFile("B/a.jpg", dir.readFile("A/2024-07-14_04.jpg"));
    app.targetFolder("B", FolderScope::OneLayer);
    run(changeTo("{taken;HH}_$$"));
    EXPECT_EQ(dir.list("B"), (Lines{"09_02.jpg", "10_01.jpg"}));
}

// The identity recorded with each pair is the renamed item's own, whatever
// order the items are renamed in (by name, in taken order, by several threads
// folder by folder), and the undo takes every item back.
TEST_F(RunDriverTest, EachPairRecordsTheIdentityOfTheItemItRenamed)
{
    const struct {
        const char *name;
        FolderScope scope;
        int jobs;
        NumberOrder order;
    } rows[] = {
        {"one folder, by name", FolderScope::OneLayer, 1, NumberOrder::Name},
        {"one folder, taken order", FolderScope::OneLayer, 1, NumberOrder::Taken},
        {"all layers, one thread, taken order", FolderScope::AllLayers, 1, NumberOrder::Taken},
        {"all layers, two threads, taken order", FolderScope::AllLayers, 2, NumberOrder::Taken},
    };
    for (const auto &row : rows) {
        const std::string root = std::string("I") + std::to_string(&row - rows);
        // Taken the later, the earlier the name: taken order is the names' reverse.
        std::vector<std::string> made;
        dir.createFiles({root + "/S/", root + "/T/"});
        for (const std::string &folder : {root + "/", root + "/S/", root + "/T/"}) {
            for (int i = 0; i < 6; ++i) {
                test::ExifFields fields;
                fields.dateTimeOriginal = "2024:07:14 10:0" + std::to_string(5 - i) + ":00";
                dir.writeFile(folder + "p" + std::to_string(i) + ".jpg", test::jpegWithExif(fields));
                made.push_back(folder + "p" + std::to_string(i) + ".jpg");
            }
        }
        app.targetFolder(root, row.scope);
        app.state.run.jobs = row.jobs;
        EditRequest request = changeTo("n$$");
        request.numberOrder = row.order;
        run(request);
        const std::size_t expected = row.scope == FolderScope::OneLayer ? 6 : 18;

        const Lines lines = splitLinesOf(app.undoLogFile());
        std::size_t checked = 0;
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
            if (lines[i].rfind("#item ", 0) != 0)
                continue;
            std::string host = dir.host(lines[i + 1].substr(3));
            std::replace(host.begin(), host.end(), '\\', '/');
            struct stat st {};
            ASSERT_EQ(::lstat(host.c_str(), &st), 0) << row.name << ": " << host;
            EXPECT_EQ(lines[i], "#item " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino))
                << row.name << ": " << lines[i + 1];
            ++checked;
        }
        EXPECT_EQ(checked, expected) << row.name;

        app.prompter.expect(Answer::Yes);
        app.driver.undoLast();
        EXPECT_EQ(app.driver.unrestoredCount(), 0) << row.name;
        std::vector<std::string> missing;
        for (const std::string &item : made) {
            if (!dir.exists(item))
                missing.push_back(item);
        }
        EXPECT_EQ(missing, Lines{}) << row.name;
    }
}

// A preview in taken order sees a folder's whole batch: the item taken first
// may have the last name.
TEST_F(RunDriverTest, APreviewInTakenOrderStartsWithTheFirstTakenOfTheWholeFolder)
{
    test::ExifFields fields;
    fields.dateTimeOriginal = "2024:01:01 00:00:00";
    const std::string early = test::jpegWithExif(fields);
    fields.dateTimeOriginal = "2024:06:01 00:00:00";
    const std::string late = test::jpegWithExif(fields);
    dir.createFiles({"P/"});
    for (int i = 0; i < 150; ++i)
        dir.writeFile("P/p" + std::to_string(1000 + i) + ".jpg", late);
    dir.writeFile("P/zz.jpg", early);
    app.targetFolder("P", FolderScope::OneLayer);
    EditRequest request = changeTo("{taken;MM}_$$$", true);
    request.numberOrder = NumberOrder::Taken;
    run(request);
    ASSERT_EQ(app.windows.previewRows.size(), 21u);
    EXPECT_EQ(app.windows.previewRows[0], (std::pair<std::string, std::string>{"zz.jpg", "01_001.jpg"}));
    EXPECT_EQ(app.windows.previewRows[1], (std::pair<std::string, std::string>{"p1000.jpg", "06_002.jpg"}));
}

// A new-name history that cannot be written is said, and the run goes on.
TEST_F(RunDriverTest, ANameHistoryThatCannotBeWrittenIsReported)
{
    dir.createFiles({"w/a"});
    app.targetFolder("w\\", FolderScope::OneLayer);
    app.fileSystem.refuseWriteOf.insert(app.state.settings.dataFolder() + "Newname.txt");
    app.prompter.expect(Answer::Ok);
    run(insertAtHead("1"));
    EXPECT_EQ(app.prompter.texts(),
              Lines{"The new name list could not be saved: Cannot write '" + app.state.settings.dataFolder()
                    + "Newname.txt': No space left on device"});
    EXPECT_EQ(dir.list("w"), Lines{"1a"});
}

} // namespace
} // namespace renomiq
