#include "run/run_driver.h"

#include "support/test_app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sys/stat.h>

namespace renomiq {
namespace {

using test::TestDir;
using Lines = std::vector<std::string>;

EditRequest insertAtHead(const std::string &text, bool preview = false)
{
    EditRequest r;
    r.kind = EditKind::Addnewnum;
    r.atHead = true;
    r.headText = text;
    r.preview = preview;
    return r;
}

EditRequest changeTo(const std::string &name, bool preview = false)
{
    EditRequest r;
    r.kind = EditKind::Changnew;
    r.newName = name;
    r.preview = preview;
    return r;
}

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
    Lines b = dir.list("A/B");
    EXPECT_TRUE((b == Lines{"01_x", "02_y"}) || (b == Lines{"01_y", "02_x"})) << b[0] << " " << b[1];
    EXPECT_EQ(dir.list("A/pics_files"), Lines{"p"});
    EXPECT_EQ(dir.list("A/Report.FILES"), Lines{"r"});

    const auto pairs = loggedPairs();
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[2], (std::pair<std::string, std::string>{"A\\01_z", "A\\z"}));
    EXPECT_EQ(app.windows.progressRuns, 1); // all layers always run under the progress dialog
    EXPECT_EQ(app.windows.status[1], "3 renamed successfully, 0 failed.");
    EXPECT_EQ(app.sound.played, Lines{"end.wav"});
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
    EXPECT_FALSE(app.state.run.stopRequest);

    app.state.settings.options.previewLimit = 25;
    run(insertAtHead("x", true));
    EXPECT_EQ(app.windows.previewRows.size(), 25u);

    dir.createFiles({"D/1.txt", "D/2.txt", "D/3.txt", "D/a(1).txt"});
    app.targetFolder("D", FolderScope::OneLayer);
    app.state.settings.options.previewLimit = 20;
    run(changeTo("a", true));
    Lines newNames;
    for (const auto &row : app.windows.previewRows)
        newNames.push_back(row.second);
    std::sort(newNames.begin(), newNames.end());
    // a(1).txt exists on disk, so one item gets a(1)(1)… from the disk check;
    // the others are made unique against the rows before them.
    EXPECT_EQ(newNames.size(), 4u);
    EXPECT_EQ(std::set<std::string>(newNames.begin(), newNames.end()).size(), 4u);

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
}

TEST_F(RunDriverTest, CancelAfterSomeItemsLogsExactlyThoseItems)
{
    for (int i = 0; i < 30; ++i)
        dir.createFiles({"C/f" + std::to_string(i)});
    app.targetFolder("C", FolderScope::OneLayer);
    app.state.targets.firstLayerFileCount = 30; // as the target check leaves it
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
    app.state.settings.options.endSound = false;
    EXPECT_TRUE(app.driver.undoLast());
    EXPECT_EQ(app.windows.list.rows, (Lines{TestDir::win("f/a.txt"), TestDir::win("f/keep.doc"), TestDir::win("f/b.txt")}));
    EXPECT_EQ(app.windows.progressRuns, 0);
    EXPECT_FALSE(app.undoLogExists());
    // The undo plays the sound only when the option is off.
    EXPECT_EQ(app.sound.played, Lines{"end.wav"});
    EXPECT_EQ(app.prompter.shown()[0], (Message{"Undo Confirmation", "Do you want to UNDO the last rename operation ?",
                                                MessageIcon::Question, MessageButtons::YesNo}));
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
    app.state.targets.firstLayerFileCount = 18;
    app.state.settings.options.exitAfterOperation = true;
    run(insertAtHead("_"));
    EXPECT_EQ(app.windows.progressRuns, 0);
    EXPECT_EQ(std::count(app.windows.events.begin(), app.windows.events.end(), "closeListWindow"), 1);
    EXPECT_EQ(app.windows.status[1], "");
    EXPECT_TRUE(app.undoLogExists());

    dir.createFiles({"e/f18"});
    app.state.targets.firstLayerFileCount = 19;
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

} // namespace
} // namespace renomiq
