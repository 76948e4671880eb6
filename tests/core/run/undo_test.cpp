// The undo log of a run and its undo: what is recorded for items that fail or
// are refused, the order and the care of the undo, and what it never touches.
#include "run/run_driver.h"
#include "run/single_rename.h"

#include "support/test_app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <fcntl.h>
#include <cstring>
#include <iostream>
#include <map>
#include <utility>
#include <sys/file.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace renomiq {
namespace {

using test::TestDir;
using test::changeTo;
using test::insertAtHead;
using Lines = std::vector<std::string>;

const char *const kLog = ".data-home/Corvane/Renomiq/rollback.rbk";

class UndoTest : public ::testing::Test {
protected:
    test::TestApp app;
    test::TestDir &dir = app.dir;

    void run(const EditRequest &request)
    {
        app.state.editKind = request.kind;
        app.state.run.renamedCount = 0;
        app.state.run.failedCount = 0;
        app.driver.startRun(request);
    }
    void undo()
    {
        app.prompter.expect(Answer::Yes);
        app.driver.undoLast();
    }
    std::string log() const { return app.undoLog(); }

public:
    void runRequest(const EditRequest &request) { run(request); }
};

// The deepest recorded folder above an item holds it for the undo.
TEST(UndoFolderIndexTest, FindsTheDeepestRecordedFolderAboveAnItem)
{
    const std::vector<UndoFolder> folders = {
        {"C:\\", {1, 1}},          {"C:\\a\\", {1, 2}},    {"C:\\a\\b\\", {1, 3}},
        {"C:\\a\\b\\", {1, 9}},    {"D:\\x y\\", {2, 4}},  {"C:\\ab\\", {1, 5}},
    };
    const UndoFolderIndex index(folders);
    const struct {
        const char *path;
        const char *folder; // nullptr: none
        std::uint64_t inode;
    } rows[] = {
        {"C:\\a\\b\\c\\IMG_1", "C:\\a\\b\\", 3}, // the first line of a folder recorded twice
        {"C:\\a\\b\\IMG_1", "C:\\a\\b\\", 3},
        {"C:\\a\\b\\", "C:\\a\\", 2},            // a folder is not in itself
        {"C:\\a\\b", "C:\\a\\", 2},
        {"C:\\a\\bc\\IMG_1", "C:\\a\\", 2},      // a name that begins like a recorded one
        {"C:\\ab\\IMG_1", "C:\\ab\\", 5},
        {"C:\\IMG_1", "C:\\", 1},
        {"C:\\", nullptr, 0},
        {"D:\\x y\\IMG_1", "D:\\x y\\", 4},
        {"D:\\x\\IMG_1", nullptr, 0},
        {"E:\\a\\b\\IMG_1", nullptr, 0},
        {"", nullptr, 0},
        {"IMG_1", nullptr, 0},
    };
    for (const auto &row : rows) {
        const UndoFolder *found = index.folderOf(row.path);
        if (!row.folder) {
            EXPECT_EQ(found, nullptr) << row.path;
            continue;
        }
        ASSERT_NE(found, nullptr) << row.path;
        EXPECT_EQ(found->path, row.folder) << row.path;
        EXPECT_EQ(found->identity.inode, row.inode) << row.path;
    }
    EXPECT_EQ(UndoFolderIndex({}).folderOf("C:\\a\\IMG_1"), nullptr);
}

// A folder line with the folders above it reads back as written; one
// without them, or with a list that is none, reads as a plain folder.
TEST(UndoFolderLineTest, TheFoldersAboveAFolderReadBackAsWritten)
{
    const UndoFolder chained{"C:\\a b\\c\\", {1, 3}, {{1, 2}, {1, 1}, {7, 40}}};
    EXPECT_EQ(folderLine(chained), "#folder 1:3 C:\\a b\\c\\\\1:2 1:1 7:40\\");
    EXPECT_EQ(folderLine({"C:\\a\\", {1, 2}}), "#folder 1:2 C:\\a\\");
    const struct {
        const char *line;
        const char *path; // nullptr: no folder line
        std::vector<ItemId> above;
    } rows[] = {
        {"#folder 1:3 C:\\a b\\c\\\\1:2 1:1 7:40\\", "C:\\a b\\c\\", {{1, 2}, {1, 1}, {7, 40}}},
        {"#folder 1:3 C:\\\\1:2\\", "C:\\", {{1, 2}}},
        {"#folder 1:2 C:\\a\\", "C:\\a\\", {}},
        {"#folder 1:2 C:\\", "C:\\", {}},
        {"#folder 1:2 C:\\a\\\\", "C:\\a\\\\", {}},
        {"#folder 1:2 C:\\a\\\\1:2 x\\", "C:\\a\\\\1:2 x\\", {}},
        {"#folder 1:2 C:\\a\\\\1:2  1:3\\", "C:\\a\\\\1:2  1:3\\", {}},
        {"#folder 1:2 C:\\a\\\\1:2 1:3", nullptr, {}},
        {"#folder 1:2 a\\\\1:2\\", nullptr, {}},
    };
    for (const auto &row : rows) {
        const std::optional<UndoFolder> folder = folderOfLine(row.line);
        if (!row.path) {
            EXPECT_FALSE(folder) << row.line;
            continue;
        }
        ASSERT_TRUE(folder) << row.line;
        EXPECT_EQ(folder->path, row.path) << row.line;
        EXPECT_EQ(folder->above, row.above) << row.line;
    }
    // The rewrite of a log after an undo keeps them.
    const std::vector<std::string> lines = undoLinesOf({{"C:\\a b\\c\\y", "C:\\a b\\c\\x", ItemId{1, 9}}}, {chained});
    const std::vector<UndoFolder> read = undoFoldersOf(lines);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].path, chained.path);
    EXPECT_EQ(read[0].above, chained.above);
    EXPECT_EQ(undoEntriesOf(lines).size(), 1u);
}

// One item in each of many recorded folders: a look-up does not go through
// them all (which would take minutes here).
TEST(UndoFolderIndexTest, ALookUpAmongManyFoldersIsQuick)
{
    constexpr int kFolders = 300000;
    std::vector<UndoFolder> folders;
    folders.reserve(kFolders);
    for (int i = 0; i < kFolders; ++i)
        folders.push_back({"C:\\photos\\day " + std::to_string(i) + "\\", {1, static_cast<std::uint64_t>(i + 1)}});
    const auto start = std::chrono::steady_clock::now();
    const UndoFolderIndex index(folders);
    std::size_t found = 0;
    for (int i = 0; i < kFolders; ++i) {
        const UndoFolder *folder = index.folderOf("C:\\photos\\day " + std::to_string(i) + "\\IMG_1");
        found += folder && folder->identity.inode == static_cast<std::uint64_t>(i + 1);
    }
    EXPECT_EQ(found, static_cast<std::size_t>(kFolders));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST_F(UndoTest, AFailedItemTakesBackOnlyWhatWasRecordedForIt)
{
    // A '/' inside a Windows-style path makes the engine refuse the item
    // before it is recorded; the record of the item before it must stay.
    const struct {
        Lines items;
        const char *log;
        const char *status;
    } rows[] = {
        {{"T:\\w\\a1.txt", "T:\\w/a2.txt", "T:\\w\\a3.txt"},
         "T:\\w\\b1.txt\r\nT:\\w\\a1.txt\r\nT:\\w\\b3.txt\r\nT:\\w\\a3.txt\r\n", "2 renamed successfully, 1 failed."},
        {{"T:\\w\\a1.txt", "T:\\w/a2.txt"}, "T:\\w\\b1.txt\r\nT:\\w\\a1.txt\r\n", "1 renamed successfully, 1 failed."},
    };
    for (const auto &row : rows) {
        dir.createFiles({"w/a1.txt", "w/a2.txt", "w/a3.txt"});
        app.state.targets.filesMode = true;
        app.state.targets.targetFolder.clear();
        app.state.run.workList = row.items;
        EditRequest r;
        r.kind = EditKind::Replapart;
        r.oldString = "a";
        r.newString = "b";
        run(r);
        EXPECT_EQ(log(), row.log);
        EXPECT_EQ(app.windows.status[1], row.status);
        undo();
        EXPECT_EQ(dir.list("w"), (Lines{"a1.txt", "a2.txt", "a3.txt"}));
    }
}

TEST_F(UndoTest, FailuresAcrossTheJournalsWindowEdgeNeitherCrashNorLoseRecords)
{
    // Records of about 500 bytes cross the edge of the journal's first MiB
    // while every second rename fails (refused as a read-only folder refuses
    // it) and its record is taken back.
    const std::string folder = "w" + std::string(119, 'f');
    Lines names;
    app.state.targets.filesMode = true;
    app.state.targets.targetFolder.clear();
    app.state.run.workList.clear();
    for (int i = 0; i < 4400; ++i) {
        char name[160];
        std::snprintf(name, sizeof name, "%05d_%s", i, std::string(112 + i % 7, 'n').c_str());
        const std::string path = TestDir::win(folder + "/" + name);
        if (i % 2 == 0) {
            names.push_back(name);
            dir.createFiles({folder + "/" + name});
        } else {
            app.fileSystem.refuseRenameOf.insert(path);
        }
        app.state.run.workList.push_back(path);
    }
    app.windows.suppressRenameErrors = true;
    run(insertAtHead("x"));
    EXPECT_EQ(app.state.run.renamedCount, 2200);
    EXPECT_EQ(app.state.run.failedCount, 2200);
    Lines logged;
    const std::string text = log();
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        logged.push_back(text.substr(start, end - start));
    ASSERT_EQ(logged.size(), 4400u);
    for (std::size_t i = 0; i < logged.size(); i += 2)
        ASSERT_EQ(logged[i], TestDir::win(folder + "/x" + logged[i + 1].substr(logged[i + 1].rfind('\\') + 1)));
    undo();
    EXPECT_EQ(dir.list(folder), names);
}

TEST_F(UndoTest, NamesTheLogOrAPathCannotHoldAreRefused)
{
    const std::string refusedNew = "The new filename: 'a\nb.txt' can not be renamed, because it holds a control "
                                   "character (such as a line break), which Windows filenames can not hold.";
    const struct {
        const char *file;
        std::string newName;
        bool preview;
        std::string message; // empty: renamed, or listed by a preview
        const char *after;   // the folder's item afterwards (a preview: the new name it lists)
    } rows[] = {
        {"p.txt", "a\nb", false, refusedNew, "p.txt"},
        {"p.txt", "a\nb", true, refusedNew, "p.txt"},
        {"p.txt", "a\rb", false,
         "The new filename: 'a\rb.txt' can not be renamed, because it holds a control character (such as a line "
         "break), which Windows filenames can not hold.",
         "p.txt"},
        {"p.txt", "a\tb", false,
         "The new filename: 'a\tb.txt' can not be renamed, because it holds a control character (such as a line "
         "break), which Windows filenames can not hold.",
         "p.txt"},
        {"l\nx.txt", "clean", false,
         "'T:\\c4\\l\nx.txt' can not be renamed, because its name holds a line break, which the undo log can not hold.",
         "l\nx.txt"},
        {"t\tx.txt", "clean", false, "", "clean.txt"},
        {"l\nf/x.txt", "clean", false,
         "'T:\\c6\\l\nf\\x.txt' can not be renamed, because the name of a folder it lies in holds a line break, "
         "which the undo log can not hold.",
         "l\nf"},
        // What this file system holds in a name is renamed, and previewed as renamed.
        {"p.txt", "a:b", false, "", "a:b.txt"},
        {"p.txt", "a*?\"<>|", false, "", "a*?\"<>|.txt"},
        {"p.txt", "a:b", true, "", "a:b.txt"},
        {"p.txt", "a*?\"<>|", true, "", "a*?\"<>|.txt"},
        // A preview shows what the rename would refuse as refused: a separator
        // would put the item into another folder.
        {"p.txt", "a/b", true,
         "The new filename: 'a/b.txt' can not be renamed, because it holds \\ or /, which separate the folders of a "
         "path.",
         "p.txt"},
        {"p.txt", "a\\b", true,
         "The new filename: 'a\\b.txt' can not be renamed, because it holds \\ or /, which separate the folders of a "
         "path.",
         "p.txt"},
    };
    int n = 0;
    for (const auto &row : rows) {
        const std::string c = "c" + std::to_string(n++);
        dir.createFiles({c + "/" + row.file});
        app.targetFiles({c + "/" + row.file});
        app.prompter.clear();
        app.prompter.expect(3, Answer::Ok);
        run(changeTo(row.newName, row.preview));
        const Lines texts = app.prompter.texts();
        if (row.message.empty() && row.preview) {
            EXPECT_TRUE(texts.empty()) << row.newName;
            EXPECT_EQ(app.windows.previewRows,
                      (std::vector<std::pair<std::string, std::string>>{
                          {row.file, row.after}}))
                << row.newName;
            EXPECT_EQ(dir.list(c), Lines{row.file});
        } else if (row.message.empty()) {
            EXPECT_TRUE(texts.empty()) << row.file;
            EXPECT_EQ(dir.list(c), Lines{row.after}) << row.newName;
            EXPECT_EQ(log(), "T:\\" + c + "\\" + row.after + "\r\nT:\\" + c + "\\" + row.file + "\r\n");
            app.prompter.clear();
            undo();
            EXPECT_EQ(dir.list(c), Lines{row.file});
        } else {
            ASSERT_FALSE(texts.empty()) << row.file;
            EXPECT_EQ(texts[0], row.message);
            EXPECT_EQ(app.state.run.failedCount, 1) << row.file;
            EXPECT_EQ(dir.list(c), Lines{row.after});
            if (row.preview) {
                EXPECT_EQ(app.windows.previewRows,
                          (std::vector<std::pair<std::string, std::string>>{{"(No filename will be renamed)", ""}}));
            } else {
                EXPECT_FALSE(app.undoLogExists()) << row.file;
            }
        }
    }
}

const std::string kOwnFile = "' can not be renamed, because it is one of the program's own files (the undo log "
                             "and lists).";
const std::string kHolds = "' can not be renamed, because it holds the program's own files (the undo log and "
                           "lists).";

struct OwnFolderRow {
    const char *folder;
    FolderScope scope;
    Lines messages; // among those shown
    Lines renamed;  // under .data-home afterwards
};

// Runs an insertion of "x" on each row's folder: the data folder and what
// holds it are refused, with their messages, and keep their names and files.
void expectOwnFolderKept(UndoTest &t, test::TestApp &app, TestDir &dir, const std::vector<OwnFolderRow> &rows);

TEST_F(UndoTest, TheProgramsOwnDataFolderIsNeverRenamed)
{
    const std::string &ownFile = kOwnFile;
    const std::string &holds = kHolds;
    dir.createFiles({".data-home/Corvane/Renomiq/Newname.txt", ".data-home/other.txt"});
    ASSERT_EQ(::symlink(dir.dataHome().c_str(), dir.host("via").c_str()), 0);
    expectOwnFolderKept(*this, app, dir,
                        {
                            {".data-home", FolderScope::OnlySubfolders,
                             {"'T:\\.data-home\\Corvane\\Renomiq" + holds, "'T:\\.data-home\\Corvane" + holds},
                             {"Corvane", "other.txt"}},
                            // Its files, the run's own journal among them.
                            {".data-home", FolderScope::AllLayers,
                             {"'T:\\.data-home\\Corvane\\Renomiq\\Newname.txt" + ownFile}, {"Corvane", "xother.txt"}},
                            {".data-home/Corvane/Renomiq", FolderScope::ThisFolderOnly,
                             {"'T:\\.data-home\\Corvane\\Renomiq" + holds}, {"Corvane", "xother.txt"}},
                            // Reached through a link to the data home: the same folders.
                            {"via", FolderScope::OnlySubfolders,
                             {"'T:\\via\\Corvane\\Renomiq" + holds, "'T:\\via\\Corvane" + holds},
                             {"Corvane", "xother.txt"}},
                            {"via/Corvane/Renomiq", FolderScope::ThisFolderOnly,
                             {"'T:\\via\\Corvane\\Renomiq" + holds}, {"Corvane", "xother.txt"}},
                        });
    // The run that renamed other.txt last could still write its undo log.
    EXPECT_EQ(log(), "T:\\.data-home\\xother.txt\r\nT:\\.data-home\\other.txt\r\n");
}

// The same folders under another path that no link resolves to: a bind mount,
// made in a mount namespace of this test's own, so that no other process sees
// it.
TEST_F(UndoTest, TheProgramsOwnDataFolderReachedThroughABindMountIsNeverRenamed)
{
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        GTEST_SKIP() << "no mount namespace of its own here: " << std::strerror(errno);
    dir.createFiles({".data-home/Corvane/Renomiq/Newname.txt", ".data-home/other.txt", "bound/"});
    if (::mount(dir.dataHome().c_str(), dir.host("bound").c_str(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "bind mounts are not permitted here: " << std::strerror(errno);
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{dir.host("bound")};
    expectOwnFolderKept(*this, app, dir,
                        {
                            {"bound", FolderScope::OnlySubfolders,
                             {"'T:\\bound\\Corvane\\Renomiq" + kHolds, "'T:\\bound\\Corvane" + kHolds},
                             {"Corvane", "other.txt"}},
                            {"bound/Corvane/Renomiq", FolderScope::ThisFolderOnly,
                             {"'T:\\bound\\Corvane\\Renomiq" + kHolds}, {"Corvane", "other.txt"}},
                            {"bound", FolderScope::AllLayers, {"'T:\\bound\\Corvane\\Renomiq\\Newname.txt" + kOwnFile},
                             {"Corvane", "xother.txt"}},
                        });
    EXPECT_EQ(log(), "T:\\bound\\xother.txt\r\nT:\\bound\\other.txt\r\n");
}

void expectOwnFolderKept(UndoTest &t, test::TestApp &app, TestDir &dir, const std::vector<OwnFolderRow> &rows)
{
    for (const auto &row : rows) {
        Lines data = dir.list(".data-home/Corvane/Renomiq");
        app.targetFolder(row.folder, row.scope);
        app.prompter.clear();
        app.prompter.expect(8, Answer::Ok);
        t.runRequest(insertAtHead("x"));
        Lines texts = app.prompter.texts();
        // The messages, without the end's "No filename had been changed" box.
        std::erase_if(texts, [](const std::string &text) { return text.rfind("No filename", 0) == 0; });
        for (const std::string &text : texts) {
            const bool refusal = text.size() > kOwnFile.size()
                && (text.compare(text.size() - kOwnFile.size(), kOwnFile.size(), kOwnFile) == 0
                    || text.compare(text.size() - kHolds.size(), kHolds.size(), kHolds) == 0);
            EXPECT_TRUE(refusal) << text;
        }
        for (const std::string &message : row.messages)
            EXPECT_NE(std::find(texts.begin(), texts.end(), message), texts.end()) << message;
        if (row.scope != FolderScope::AllLayers) {
            EXPECT_EQ(texts, row.messages);
        }
        EXPECT_EQ(dir.list(".data-home"), row.renamed) << row.folder;
        Lines dataNow = dir.list(".data-home/Corvane/Renomiq");
        for (Lines *names : {&dataNow, &data}) {
            // The undo logs and their history change with each run.
            std::erase_if(*names, [](const std::string &name) {
                return name == "rollback.lst" || (name.rfind("rollback.", 0) == 0 && name.ends_with(".rbk"));
            });
            std::erase(*names, "Newname.lock");
        }
        EXPECT_EQ(dataNow, data) << row.folder;
    }
}

TEST_F(UndoTest, UndoGoesFromTheLastRenameBackAndKeepsWhatItCannotRestore)
{
    const struct {
        const char *name;
        Lines before;      // files in u/ when the undo starts
        const char *log;   // pairs under T:\u\ (a line per path)
        Lines after;       // files in u/ afterwards
        const char *left;  // the undo log afterwards, or "" when deleted
        const char *status;
    } rows[] = {
        {"a chain of names", {"f1", "f1x"}, "f1|f1x|f1x|f1xx", {"f1x", "f1xx"}, "", "Undo done."},
        {"a pair restored by an undo cut short", {"a", "d"}, "b|a|d|c", {"a", "c"}, "", "Undo done."},
        {"a former name taken by another item", {"b", "x", "y"}, "b|a|y|x", {"a", "x", "y"}, "y|x",
         "Undo done. 1 item could not be restored."},
        {"an item gone", {"b"}, "b|a|gone|g", {"a"}, "gone|g", "Undo done. 1 item could not be restored."},
        {"a chain restored by an undo killed before its end", {"f1x", "f1xx", "k"}, "f1|f1x|f1x|f1xx|k2|k",
         {"f1x", "f1xx", "k"}, "", "Undo done."},
        // a1 -> b1 and a2 -> b2, then another a2 made and b1 moved back by hand.
        {"an earlier pair restored by hand, a later one blocked", {"a1", "a2", "b2"}, "b1|a1|b2|a2",
         {"a1", "a2", "b2"}, "b2|a2", "Undo done. 1 item could not be restored."},
        {"both paths taken behind a pair restored by hand", {"a", "b", "c", "d", "y"}, "x|y|d|c|b|a",
         {"a", "b", "c", "d", "y"}, "d|c|b|a", "Undo done. 2 items could not be restored."},
    };
    int n = 0;
    for (const auto &row : rows) {
        const std::string u = "u" + std::to_string(n++);
        dir.createFiles({u + "/"});
        for (const std::string &f : row.before)
            dir.createFiles({u + "/" + f});
        const auto asLog = [&](const std::string &pipes) {
            std::string text;
            std::size_t start = 0;
            while (start <= pipes.size() && !pipes.empty()) {
                const std::size_t end = std::min(pipes.find('|', start), pipes.size());
                text += "T:\\" + u + "\\" + pipes.substr(start, end - start) + "\r\n";
                start = end + 1;
            }
            return text;
        };
        dir.writeFile(kLog, asLog(row.log));
        app.prompter.clear();
        app.prompter.expect(Answer::Yes);
        app.prompter.expect(Answer::Ok);
        app.driver.undoLast();
        EXPECT_EQ(dir.list(u), row.after) << row.name;
        EXPECT_EQ(app.undoLogExists() ? log() : "", asLog(row.left)) << row.name;
        EXPECT_EQ(app.windows.status[1], row.status) << row.name;
        EXPECT_EQ(app.prompter.shown().size(), std::string(row.left).empty() ? 1u : 2u) << row.name;
    }
}

// The log cannot be rewritten with what the undo left: the error is all the
// windows show, no "Undo done.".
TEST_F(UndoTest, AnUndoWhoseLogCannotBeRewrittenShowsTheErrorOnly)
{
    dir.createFiles({"u/b", "u/keep"});
    dir.writeFile(kLog, "T:\\u\\b\r\nT:\\u\\a\r\nT:\\u\\gone\r\nT:\\u\\g\r\n");
    app.fileSystem.refuseWriteOf = {TestDir::win(kLog)};
    app.windows.status[1] = "before";
    app.prompter.expect(Answer::Yes);
    app.prompter.expect(Answer::Ok);
    app.driver.undoLast();
    EXPECT_EQ(dir.list("u"), (Lines{"a", "keep"}));
    const Lines texts = app.prompter.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].rfind("The undo log could not be written: Cannot write ", 0), 0u) << texts[1];
    EXPECT_EQ(app.windows.status[1], "before");
    EXPECT_EQ(log(), "T:\\u\\b\r\nT:\\u\\a\r\nT:\\u\\gone\r\nT:\\u\\g\r\n");
}

TEST_F(UndoTest, HandEditedPairsNeverMoveAnItemOutOfItsFolder)
{
    dir.createFiles({"a/x", "a/y", "a/z", "a/sub/", "a/ok", "a/IMG_f", "a/g"});
    using namespace std::string_literals;
    dir.writeFile(kLog, "T:\\a\\x\r\nT:\\a\\../x\r\n"      // would land in T:\x
                        "T:\\a\\y\r\nT:\\a\\sub/y\r\n"     // would land in a\sub
                        "T:\\a\\z\r\nT:\\a\\.\r\n"
                        "T:\\a\\..\r\nT:\\a\\w\r\n"
                        // a zero byte would cut the path short: IMG_f would become IMG_f2
                        "T:\\a\\IMG_f\0.jpg\r\nT:\\a\\IMG_f2\r\n"s
                        "T:\\a\\g\r\nT:\\a\\g2\0.jpg\r\n"s
                        "T:\\a\\ok\r\nT:\\a\\fine\r\n");
    app.prompter.expect(Answer::Yes);
    app.prompter.expect(Answer::Ok);
    app.driver.undoLast();
    EXPECT_EQ(dir.list("a"), (Lines{"IMG_f", "fine", "g", "sub", "x", "y", "z"}));
    EXPECT_EQ(dir.list("a/sub").size(), 0u);
    EXPECT_FALSE(dir.exists("x"));
    EXPECT_EQ(app.windows.status[1], "Undo done. 6 items could not be restored.");
    EXPECT_EQ(app.prompter.texts().back(),
              "6 entries of the undo log are invalid (a path that is no full path in its partner's folder, or holds a "
              "zero byte): they were not undone, and the undo log keeps them.");
}

// A subfolder of the run's target swapped for a link to a folder elsewhere
// that holds a file with the new name, after the run or while the undo goes
// on: the undo renames nothing there and reports the item as not restored,
// with or without the identities of the items in its log. The target itself
// is reached through a link, which the undo follows as the run did.
TEST_F(UndoTest, AFolderSwappedForALinkNeverLeadsTheUndoOutside)
{
    enum class Swap { None, AfterTheRun, DuringTheUndo };
    const struct {
        const char *name;
        bool identities; // the log as written, else without its identity lines (an older log)
        Swap swap;
    } rows[] = {
        {"identities, swapped after the run", true, Swap::AfterTheRun},
        {"no identities, swapped after the run", false, Swap::AfterTheRun},
        {"identities, swapped during the undo", true, Swap::DuringTheUndo},
        {"no identities, swapped during the undo", false, Swap::DuringTheUndo},
        {"identities, nothing swapped", true, Swap::None},
        {"no identities, nothing swapped", false, Swap::None},
    };
    int n = 0;
    for (const auto &row : rows) {
        const std::string real = "real" + std::to_string(n);
        const std::string via = "via" + std::to_string(n);
        const std::string outside = "outside" + std::to_string(n++);
        dir.createFiles({real + "/tree/IMG_b.txt", real + "/tree/sub/IMG_a.txt", outside + "/"});
        dir.writeFile(outside + "/Photo_a.txt", "outside");
        ASSERT_EQ(::symlink(dir.host(real).c_str(), dir.host(via).c_str()), 0);
        app.targetFolder(via + "/tree", FolderScope::AllLayers);
        EditRequest r;
        r.kind = EditKind::Replapart;
        r.oldString = "IMG_";
        r.newString = "Photo_";
        run(r);
        ASSERT_EQ(dir.list(real + "/tree/sub"), Lines{"Photo_a.txt"}) << row.name;
        if (!row.identities)
            dir.writeFile(kLog, test::TestApp::withoutIdentities(app.undoLogFile()));
        const auto swap = [&] {
            ASSERT_EQ(::rename(dir.host(real + "/tree/sub").c_str(), dir.host(real + "/moved").c_str()), 0);
            ASSERT_EQ(::symlink(dir.host(outside).c_str(), dir.host(real + "/tree/sub").c_str()), 0);
        };
        if (row.swap == Swap::AfterTheRun)
            swap();
        bool swapped = false;
        app.fileSystem.beforeRenameBack = [&] {
            if (row.swap == Swap::DuringTheUndo && !std::exchange(swapped, true))
                swap();
        };
        app.prompter.clear();
        app.prompter.expect(Answer::Yes);
        if (row.swap != Swap::None)
            app.prompter.expect(Answer::Ok);
        app.driver.undoLast();
        app.fileSystem.beforeRenameBack = nullptr;
        EXPECT_EQ(dir.list(outside), Lines{"Photo_a.txt"}) << row.name;
        EXPECT_EQ(dir.readFile(outside + "/Photo_a.txt"), "outside") << row.name;
        EXPECT_EQ(dir.list(real + "/tree"), (Lines{"IMG_b.txt", "sub"})) << row.name;
        if (row.swap == Swap::None) {
            EXPECT_EQ(dir.list(real + "/tree/sub"), Lines{"IMG_a.txt"}) << row.name;
            EXPECT_EQ(app.windows.status[1], "Undo done.") << row.name;
            EXPECT_FALSE(app.undoLogExists()) << row.name;
        } else {
            // Not restored where it went either: it is not at its path.
            EXPECT_EQ(dir.list(real + "/moved"), Lines{"Photo_a.txt"}) << row.name;
            EXPECT_EQ(app.windows.status[1], "Undo done. 1 item could not be restored.") << row.name;
            EXPECT_EQ(log(), "T:\\" + via + "\\tree\\sub\\Photo_a.txt\r\nT:\\" + via + "\\tree\\sub\\IMG_a.txt\r\n")
                << row.name;
        }
        EXPECT_EQ(app.prompter.unanswered(), 0u) << row.name;
    }
}

// A folder of the run swapped for a link after the run, where the item's
// identity still matches behind the link (a hard link of the renamed file, or
// the folder itself moved out of the target): the undo renames nothing
// through the link. A file chosen through a link of the user's own is still
// restored through it.
TEST_F(UndoTest, ALinkInPlaceOfARenamedItemsFolderIsNeverFollowedEvenWhenTheItemMatches)
{
    enum class Swap {
        None,
        HardLinkBehindALink,
        FolderMovedOutAndLinked,
        HigherFolderMovedOutAndLinked, // the folder "p" above the item's folder
        TopMovedOutAndLinked,          // the folder "t..." itself
    };
    enum class Way { Folder, Files, Single }; // the folder "t" with all its layers, files mode, the rename dialog
    const struct {
        const char *name;
        Way way;
        bool viaLink; // the file chosen through a link to its folder
        Swap swap;
    } rows[] = {
        {"folder, hard link behind a link", Way::Folder, false, Swap::HardLinkBehindALink},
        {"folder, folder moved out and linked", Way::Folder, false, Swap::FolderMovedOutAndLinked},
        {"folder, higher folder moved out and linked", Way::Folder, false, Swap::HigherFolderMovedOutAndLinked},
        {"folder, target moved out and linked", Way::Folder, false, Swap::TopMovedOutAndLinked},
        {"folder, nothing swapped", Way::Folder, false, Swap::None},
        {"files, hard link behind a link", Way::Files, false, Swap::HardLinkBehindALink},
        {"files, folder moved out and linked", Way::Files, false, Swap::FolderMovedOutAndLinked},
        {"files, higher folder moved out and linked", Way::Files, false, Swap::HigherFolderMovedOutAndLinked},
        {"files, chosen through a link, nothing swapped", Way::Files, true, Swap::None},
        {"files, nothing swapped", Way::Files, false, Swap::None},
        {"single, folder moved out and linked", Way::Single, false, Swap::FolderMovedOutAndLinked},
        {"single, higher folder moved out and linked", Way::Single, false, Swap::HigherFolderMovedOutAndLinked},
        {"single, chosen through a link, nothing swapped", Way::Single, true, Swap::None},
        {"single, nothing swapped", Way::Single, false, Swap::None},
    };
    int n = 0;
    for (const auto &row : rows) {
        const std::string top = "t" + std::to_string(n);
        const std::string outside = "outside" + std::to_string(n++);
        // The item's folder, below "p" when a folder above it is swapped.
        const std::string sub = row.swap == Swap::HigherFolderMovedOutAndLinked ? "p/d" : "d";
        const std::string folder = top + "/" + sub;
        dir.createFiles({folder + "/IMG_1", outside + "/"});
        std::string chosen = folder;
        if (row.viaLink) {
            chosen = top + "/via";
            ASSERT_EQ(::symlink(dir.host(folder).c_str(), dir.host(chosen).c_str()), 0);
        }
        if (row.way == Way::Single) {
            SingleRename single(app.state.platform, app.state.engine, app.state.settings);
            ASSERT_EQ(single.rename(std::string(), TestDir::win(chosen + "/IMG_1"), "Photo_1", "").outcome,
                      SingleRename::Outcome::Renamed)
                << row.name;
        } else {
            if (row.way == Way::Files)
                app.targetFiles({chosen + "/IMG_1"});
            else
                app.targetFolder(top, FolderScope::AllLayers);
            EditRequest r;
            r.kind = EditKind::Replapart;
            r.oldString = "IMG_";
            r.newString = "Photo_";
            run(r);
        }
        ASSERT_EQ(dir.list(folder), Lines{"Photo_1"}) << row.name;
        std::string kept; // where the renamed item is after the swap
        const auto moveOutAndLink = [&](const std::string &moved) {
            ASSERT_EQ(::rename(dir.host(moved).c_str(), dir.host(outside + "/" + moved).c_str()), 0);
            ASSERT_EQ(::symlink(dir.host(outside + "/" + moved).c_str(), dir.host(moved).c_str()), 0);
            kept = outside + "/" + folder;
        };
        if (row.swap == Swap::HardLinkBehindALink) {
            ASSERT_EQ(::link(dir.host(folder + "/Photo_1").c_str(), dir.host(outside + "/Photo_1").c_str()), 0);
            ASSERT_EQ(::rename(dir.host(folder).c_str(), dir.host(top + "/gone").c_str()), 0);
            ASSERT_EQ(::symlink(dir.host(outside).c_str(), dir.host(folder).c_str()), 0);
            kept = outside;
        } else if (row.swap == Swap::FolderMovedOutAndLinked) {
            ASSERT_EQ(::mkdir(dir.host(outside + "/" + top).c_str(), 0755), 0);
            moveOutAndLink(folder);
        } else if (row.swap == Swap::HigherFolderMovedOutAndLinked) {
            ASSERT_EQ(::mkdir(dir.host(outside + "/" + top).c_str(), 0755), 0);
            moveOutAndLink(top + "/p");
        } else if (row.swap == Swap::TopMovedOutAndLinked) {
            moveOutAndLink(top);
        }
        app.prompter.clear();
        app.prompter.expect(Answer::Yes);
        if (row.swap != Swap::None)
            app.prompter.expect(Answer::Ok);
        app.driver.undoLast();
        if (row.swap == Swap::None) {
            EXPECT_EQ(dir.list(folder), Lines{"IMG_1"}) << row.name;
            EXPECT_EQ(app.windows.status[1], "Undo done.") << row.name;
        } else {
            EXPECT_EQ(dir.list(kept), Lines{"Photo_1"}) << row.name;
            EXPECT_EQ(app.windows.status[1], "Undo done. 1 item could not be restored.") << row.name;
        }
        EXPECT_EQ(app.prompter.unanswered(), 0u) << row.name;
    }
}

// The rename dialog's rename of one item, then that item replaced by another
// file of the same name: the undo leaves the other file as it is.
TEST_F(UndoTest, TheUndoOfASingleRenameRenamesOnlyTheItemItRenamed)
{
    const struct {
        const char *name;
        bool folderMode; // the folder box holds the item's folder, else files mode
        bool replaced;
    } rows[] = {
        {"files mode, replaced", false, true},
        {"folder mode, replaced", true, true},
        {"files mode, as it was", false, false},
        {"folder mode, as it was", true, false},
    };
    int n = 0;
    for (const auto &row : rows) {
        const std::string folder = "s" + std::to_string(n++);
        dir.createFiles({folder + "/IMG_1.txt"});
        SingleRename single(app.state.platform, app.state.engine, app.state.settings);
        ASSERT_EQ(single.rename(row.folderMode ? TestDir::win(folder) + "\\" : std::string(),
                                TestDir::win(folder + "/IMG_1.txt"), "Photo_1", ".txt")
                      .outcome,
                  SingleRename::Outcome::Renamed)
            << row.name;
        if (row.replaced) {
            // Kept elsewhere, so that the other file cannot get its inode.
            ASSERT_EQ(::rename(dir.host(folder + "/Photo_1.txt").c_str(), dir.host(folder + ".away").c_str()), 0);
            dir.writeFile(folder + "/Photo_1.txt", "other");
        }
        app.prompter.clear();
        app.prompter.expect(Answer::Yes);
        if (row.replaced)
            app.prompter.expect(Answer::Ok);
        app.driver.undoLast();
        if (row.replaced) {
            EXPECT_EQ(dir.list(folder), Lines{"Photo_1.txt"}) << row.name;
            EXPECT_EQ(dir.readFile(folder + "/Photo_1.txt"), "other") << row.name;
            EXPECT_EQ(app.windows.status[1], "Undo done. 1 item could not be restored.") << row.name;
        } else {
            EXPECT_EQ(dir.list(folder), Lines{"IMG_1.txt"}) << row.name;
            EXPECT_EQ(app.windows.status[1], "Undo done.") << row.name;
        }
        EXPECT_EQ(app.prompter.unanswered(), 0u) << row.name;
    }
}

// An entry no undo can carry out is told as invalid, not as an item missing.
TEST_F(UndoTest, InvalidEntriesAreToldApartFromMissingItems)
{
    using namespace std::string_literals;
    const std::string missing = "1 item could not be restored: the item is missing, or another item has its former "
                                "name. The undo log keeps them, so that Undo can try them again.";
    const std::string invalid = "1 entry of the undo log is invalid (a path that is no full path in its partner's "
                                "folder, or holds a zero byte): it was not undone, and the undo log keeps it.";
    const struct {
        const char *name;
        std::string log;
        std::string told;
    } rows[] = {
        {"a zero byte", "T:\\z\\IMG_f\0.jpg\r\nT:\\z\\IMG_f2\r\n"s, invalid},
        {"an item gone", "T:\\z\\gone\r\nT:\\z\\was\r\n", missing},
        {"both", "T:\\z\\gone\r\nT:\\z\\was\r\nT:\\z\\IMG_f\r\nT:\\z\\IMG_f2\0\r\n"s,
         missing + "\n" + invalid},
    };
    for (const auto &row : rows) {
        // Each log holds a pair that is undone besides.
        dir.createFiles({"z/IMG_f", "z/b"});
        ::unlink(dir.host("z/a").c_str());
        dir.writeFile(kLog, "T:\\z\\b\r\nT:\\z\\a\r\n" + row.log);
        app.prompter.clear();
        app.prompter.expect(Answer::Yes);
        app.prompter.expect(Answer::Ok);
        app.driver.undoLast();
        EXPECT_EQ(app.prompter.texts().back(), row.told) << row.name;
        EXPECT_EQ(dir.list("z"), (Lines{"IMG_f", "a"})) << row.name;
    }
}

// The data folder is deleted while a run renames: its journal goes with it,
// so the run stops as when the journal cannot grow, and what was renamed is
// still written as the undo log.
TEST_F(UndoTest, ARunWhoseDataFolderIsDeletedStopsAndKeepsWhatItRenamed)
{
    Lines names;
    for (int i = 0; i < 3000; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%05d.jpg", i);
        names.push_back(name);
        dir.createFiles({std::string("w/") + name});
    }
    int renames = 0;
    app.fileSystem.beforeRename = [&](const std::string &) {
        if (++renames == 10)
            std::filesystem::remove_all(dir.dataHome());
    };
    app.targetFolder("w", FolderScope::OneLayer);
    app.prompter.expect(Answer::Ok);
    EditRequest r;
    r.kind = EditKind::Replapart;
    r.oldString = "IMG_";
    r.newString = "Photo_";
    run(r);
    app.fileSystem.beforeRename = nullptr;
    const int renamed = app.state.run.renamedCount;
    // The journal went before rename 10 was made: rename 11 is never tried.
    EXPECT_EQ(renamed, 10);
    EXPECT_TRUE(app.state.run.stoppedByError);
    const Lines texts = app.prompter.texts();
    ASSERT_EQ(texts.size(), 1u);
    const std::string end = " was deleted (its folder is gone). The run was stopped before the next rename; what was "
                            "renamed can be undone.";
    EXPECT_EQ(texts[0].rfind("The undo log could not be written: The journal ", 0), 0u) << texts[0];
    EXPECT_EQ(texts[0].substr(texts[0].size() - std::min(texts[0].size(), end.size())), end) << texts[0];
    const std::string text = log();
    EXPECT_EQ(static_cast<int>(std::count(text.begin(), text.end(), '\n')), 2 * renamed);
    undo();
    EXPECT_EQ(dir.list("w"), names);
}

// The log the undo took over is deleted and the next run's log put in its
// place; a file system hands freed inodes out again at once, so the new log
// may get the old one's number: it is still not the undo's to delete.
TEST_F(UndoTest, ALogPutInPlaceWithTheTakenLogsInodeStaysTheLastOperation)
{
    const std::string data = ".data-home/Corvane/Renomiq/";
    const std::string small = "T:\\s\\B_1\r\nT:\\s\\b_1\r\n";
    dir.createFiles({"u/b1"});
    dir.writeFile(kLog, "T:\\u\\b1\r\nT:\\u\\a1\r\n");
    struct stat taken {};
    ASSERT_EQ(::stat(dir.host(kLog).c_str(), &taken), 0);
    bool ended = false;
    app.fileSystem.beforeRenameBack = [&] {
        if (std::exchange(ended, true))
            return;
        ASSERT_EQ(::unlink(dir.host(kLog).c_str()), 0);
        // Runs end one after another until a log gets the taken log's inode,
        // or a good many have ended.
        for (int run = 0; run < 200; ++run) {
            dir.writeFile(data + "other.tmp", small);
            ASSERT_EQ(::rename(dir.host(data + "other.tmp").c_str(), dir.host(kLog).c_str()), 0);
            struct stat now {};
            ASSERT_EQ(::stat(dir.host(kLog).c_str(), &now), 0);
            if (now.st_ino == taken.st_ino)
                break;
        }
    };
    app.prompter.expect(Answer::Yes);
    app.prompter.expect(Answer::Ok);
    app.driver.undoLast();
    app.fileSystem.beforeRenameBack = nullptr;
    EXPECT_EQ(dir.list("u"), (Lines{"a1"}));
    EXPECT_EQ(log(), small);
}

// Another instance ends a run while the undo works: its log, put in place of
// the one the undo took over, stays the last operation.
TEST_F(UndoTest, ALogThatARunPutInPlaceDuringTheUndoStaysTheLastOperation)
{
    const std::string data = ".data-home/Corvane/Renomiq/";
    const std::string small = "T:\\s\\B_1\r\nT:\\s\\b_1\r\n";
    const struct {
        const char *name;
        Lines before;      // files in u/
        const char *log;   // the log the undo takes over
        Lines after;       // files in u/ afterwards
        const char *left;  // the pairs the undo could not restore, in a log of their own
    } rows[] = {
        {"every item restored", {"b1", "b2"}, "T:\\u0\\b1\r\nT:\\u0\\a1\r\nT:\\u0\\b2\r\nT:\\u0\\a2\r\n",
         {"a1", "a2"}, ""},
        {"an item left", {"b1", "b2", "a1"}, "T:\\u1\\b1\r\nT:\\u1\\a1\r\nT:\\u1\\b2\r\nT:\\u1\\a2\r\n",
         {"a1", "a2", "b1"}, "T:\\u1\\b1\r\nT:\\u1\\a1\r\n"},
    };
    int n = 0;
    for (const auto &row : rows) {
        const std::string u = "u" + std::to_string(n++);
        for (const std::string &name : dir.list(data))
            ::unlink(dir.host(data + name).c_str());
        for (const std::string &f : row.before)
            dir.createFiles({u + "/" + f});
        dir.writeFile(kLog, row.log);
        // The other run's log takes the place of the log, as a run's end puts it there.
        bool ended = false;
        app.fileSystem.beforeRenameBack = [&] {
            if (std::exchange(ended, true))
                return;
            dir.writeFile(data + "other.tmp", small);
            ASSERT_EQ(::rename(dir.host(data + "other.tmp").c_str(), dir.host(kLog).c_str()), 0);
        };
        app.prompter.clear();
        app.prompter.expect(Answer::Yes);
        app.prompter.expect(2, Answer::Ok);
        app.driver.undoLast();
        app.fileSystem.beforeRenameBack = nullptr;
        EXPECT_EQ(dir.list(u), row.after) << row.name;
        EXPECT_EQ(log(), small) << row.name;
        Lines kept;
        for (const std::string &name : dir.list(data)) {
            if (name != "rollback.rbk")
                kept.push_back(name);
        }
        if (std::string(row.left).empty()) {
            EXPECT_TRUE(kept.empty()) << row.name;
            continue;
        }
        ASSERT_EQ(kept.size(), 1u) << row.name;
        EXPECT_EQ(kept[0].rfind("rollback.left-", 0), 0u) << kept[0];
        EXPECT_EQ(dir.readFile(data + kept[0]), row.left) << row.name;
        const std::string keptPath = TestDir::win(data + kept[0]);
        const Lines texts = app.prompter.texts();
        ASSERT_GE(texts.size(), 2u) << row.name;
        EXPECT_EQ(texts[texts.size() - 2],
                  "Another run ended during the undo; its undo log stays the last operation. What this undo could not "
                  "restore is kept in an undo log of its own: "
                      + keptPath + "\nTo undo it: renomiq-cli undo --log \"" + keptPath + "\"")
            << row.name;
    }
}

TEST_F(UndoTest, UndoOfALogKeptBesideTheLastOne)
{
    dir.createFiles({"k/new", "k/other"});
    dir.writeFile(".data-home/Corvane/Renomiq/rollback.1-2.rbk", "T:\\k\\new\r\nT:\\k\\old\r\n");
    dir.writeFile(kLog, "T:\\k\\other\r\nT:\\k\\first\r\n");
    app.prompter.expect(Answer::Yes);
    app.driver.undoLast(TestDir::win(".data-home/Corvane/Renomiq/rollback.1-2.rbk"));
    EXPECT_EQ(dir.list("k"), (Lines{"old", "other"}));
    EXPECT_FALSE(dir.exists(".data-home/Corvane/Renomiq/rollback.1-2.rbk"));
    EXPECT_TRUE(app.undoLogExists()); // the last operation's log is left alone
}

// Journals left by runs that died, as the next start finds them: every record
// is kept, whatever the paths hold and however close in time the runs were.
TEST_F(UndoTest, RecoveryKeepsTheRecordsOfEveryJournal)
{
    const std::string data = ".data-home/Corvane/Renomiq/";
    struct File {
        std::string name;
        std::string content;
        long nanoseconds; // last written at 1700000000 s and this
    };
    const struct {
        const char *name;
        std::vector<File> before;
        std::map<std::string, std::string> after; // the data folder's files
        int kept;
        int setAside;
    } rows[] = {
        {"paths holding a tab, an escape and other control characters",
         {{"rollback.1-a.jnl", std::string("T:\\k\\c_1\r\nT:\\k\\c\t1\r\nT:\\k\\e_\r\nT:\\k\\e\x1b\x01\x7f\r\n\0\0", 42), 0}},
         {{"rollback.rbk", "T:\\k\\c_1\r\nT:\\k\\c\t1\r\nT:\\k\\e_\r\nT:\\k\\e\x1b\x01\x7f\r\n"}},
         0, 0},
        {"a first pair that cannot be read",
         {{"rollback.1-a.jnl", "T:\\k\\b\r\nT:\\k\\a\nb\r\n", 0}},
         {{"rollback.1-a.jnl.damaged", "T:\\k\\b\r\nT:\\k\\a\nb\r\n"}}, 0, 1},
        {"whole pairs, then damage",
         {{"rollback.1-a.jnl", "T:\\k\\b\r\nT:\\k\\a\r\nT:\\k\\x\ny", 0}},
         {{"rollback.rbk", "T:\\k\\b\r\nT:\\k\\a\r\n"},
          {"rollback.1-a.jnl.damaged", "T:\\k\\b\r\nT:\\k\\a\r\nT:\\k\\x\ny"}},
         0, 1},
        {"two runs in the same second",
         {{"rollback.1-old.jnl", "T:\\k\\o\r\nT:\\k\\p\r\n", 100000000},
          {"rollback.2-new.jnl", "T:\\k\\n\r\nT:\\k\\m\r\n", 900000000}},
         {{"rollback.rbk", "T:\\k\\n\r\nT:\\k\\m\r\n"}, {"rollback.1-old.rbk", "T:\\k\\o\r\nT:\\k\\p\r\n"}},
         1, 0},
        {"two runs at the same moment",
         {{"rollback.1-old.jnl", "T:\\k\\o\r\nT:\\k\\p\r\n", 500000000},
          {"rollback.2-new.jnl", "T:\\k\\n\r\nT:\\k\\m\r\n", 500000000}},
         {{"rollback.rbk", "T:\\k\\o\r\nT:\\k\\p\r\n"}, {"rollback.2-new.rbk", "T:\\k\\n\r\nT:\\k\\m\r\n"}},
         1, 0},
        {"a run no later than the undo log",
         {{"rollback.rbk", "T:\\k\\l\r\nT:\\k\\k\r\n", 500000000},
          {"rollback.3-x.jnl", "T:\\k\\n\r\nT:\\k\\m\r\n", 500000000}},
         {{"rollback.rbk", "T:\\k\\l\r\nT:\\k\\k\r\n"}, {"rollback.3-x.rbk", "T:\\k\\n\r\nT:\\k\\m\r\n"}},
         1, 0},
    };
    for (const auto &row : rows) {
        for (const std::string &name : dir.list(data))
            ::unlink(dir.host(data + name).c_str());
        for (const File &file : row.before) {
            dir.writeFile(data + file.name, file.content);
            const timespec times[2] = {{1700000000, file.nanoseconds}, {1700000000, file.nanoseconds}};
            ASSERT_EQ(::utimensat(AT_FDCWD, dir.host(data + file.name).c_str(), times, 0), 0);
        }
        const UndoLog::Recovery recovery =
            UndoLog(app.fileSystem, app.state.settings.dataFolder()).recoverAbandonedJournals();
        std::map<std::string, std::string> after;
        for (const std::string &name : dir.list(data))
            after[name] = dir.readFile(data + name);
        EXPECT_EQ(after, row.after) << row.name;
        EXPECT_EQ(static_cast<int>(recovery.keptLogs.size()), row.kept) << row.name;
        EXPECT_EQ(static_cast<int>(recovery.setAside.size()), row.setAside) << row.name;
    }
}

// The undo log records which item each pair renamed: an item put at a new
// name since is never renamed by the undo, while the item itself, moved away
// and back, still is.
TEST_F(UndoTest, TheUndoRenamesOnlyTheItemsTheRunRenamed)
{
    const struct {
        const char *name;
        std::function<void(TestDir &)> meanwhile; // done to u/b1.txt between the run and the undo
        Lines after;
        const char *status;
    } rows[] = {
        {"replaced by another file",
         [](TestDir &d) {
             d.writeFile("new.txt", "other");
             ::rename(d.host("new.txt").c_str(), d.host("u/b1.txt").c_str());
         },
         {"a2.txt", "b1.txt"}, "Undo done. 1 item could not be restored."},
        {"moved away and back",
         [](TestDir &d) {
             ::rename(d.host("u/b1.txt").c_str(), d.host("away").c_str());
             ::rename(d.host("away").c_str(), d.host("u/b1.txt").c_str());
         },
         {"a1.txt", "a2.txt"}, "Undo done."},
    };
    for (const auto &row : rows) {
        std::filesystem::remove_all(dir.host("u"));
        dir.createFiles({"u/a1.txt", "u/a2.txt"});
        app.targetFolder("u", FolderScope::OneLayer);
        EditRequest r;
        r.kind = EditKind::Replapart;
        r.oldString = "a";
        r.newString = "b";
        run(r);
        ASSERT_EQ(dir.list("u"), (Lines{"b1.txt", "b2.txt"})) << row.name;
        struct stat st {};
        ASSERT_EQ(::stat(dir.host("u/b1.txt").c_str(), &st), 0);
        const std::string identity =
            "#item " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + "\r\n";
        const std::string folder = dir.folderLine("u", "T:\\u\\") + "\r\n";
        EXPECT_EQ(app.undoLogFile().rfind(folder + identity + "T:\\u\\b1.txt\r\nT:\\u\\a1.txt\r\n#item ", 0), 0u)
            << app.undoLogFile();
        row.meanwhile(dir);
        app.prompter.clear();
        app.prompter.expect(Answer::Yes);
        app.prompter.expect(Answer::Ok);
        app.driver.undoLast();
        EXPECT_EQ(dir.list("u"), row.after) << row.name;
        EXPECT_EQ(app.windows.status[1], row.status) << row.name;
        if (row.after[1] == "b1.txt") {
            EXPECT_EQ(dir.readFile("u/b1.txt"), "other") << row.name;
            // The pair stays, with the identity of the item it renamed.
            EXPECT_EQ(app.undoLogFile(), folder + identity + "T:\\u\\b1.txt\r\nT:\\u\\a1.txt\r\n") << row.name;
        } else {
            EXPECT_FALSE(app.undoLogExists()) << row.name;
        }
    }
}

// A journal's last record was never carried out unless the item it names is
// at its new name: an item put there since is another one.
TEST_F(UndoTest, RecoveryKeepsTheLastRecordOnlyWhenItsItemIsAtTheNewName)
{
    const std::string data = ".data-home/Corvane/Renomiq/";
    dir.createFiles({"k/b1", "k/b2", data});
    const auto identityOf = [&](const std::string &path) {
        struct stat st {};
        ::lstat(dir.host(path).c_str(), &st);
        return "#item " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + "\r\n";
    };
    const std::string first = identityOf("k/b1") + "T:\\k\\b1\r\nT:\\k\\a1\r\n";
    const struct {
        const char *name;
        std::string last; // the last record
        std::string kept; // the undo log made of the journal
    } rows[] = {
        {"its item at the new name", identityOf("k/b2") + "T:\\k\\b2\r\nT:\\k\\a2\r\n",
         first + identityOf("k/b2") + "T:\\k\\b2\r\nT:\\k\\a2\r\n"},
        // Its former name is free, as after a rename; b2 is another item.
        {"another item at the new name", identityOf("k/b1") + "T:\\k\\b2\r\nT:\\k\\a2\r\n", first},
        {"nothing at the new name", identityOf("k/b2") + "T:\\k\\b3\r\nT:\\k\\a3\r\n", first},
        {"a record without identity, its old name free", "T:\\k\\b2\r\nT:\\k\\a2\r\n",
         first + "T:\\k\\b2\r\nT:\\k\\a2\r\n"},
        {"an identity cut off", "#item 12", first},
    };
    for (const auto &row : rows) {
        for (const std::string &name : dir.list(data))
            ::unlink(dir.host(data + name).c_str());
        dir.writeFile(data + "rollback.9-a.jnl", first + row.last + std::string(64, '\0'));
        UndoLog(app.fileSystem, app.state.settings.dataFolder()).recoverAbandonedJournals();
        EXPECT_EQ(dir.list(data), Lines{"rollback.rbk"}) << row.name;
        EXPECT_EQ(app.undoLogFile(), row.kept) << row.name;
    }
}

TEST_F(UndoTest, LeftoversOfAnUndoLogWriteAreCleanedUnlessALiveProcessHoldsThem)
{
    const std::string data = ".data-home/Corvane/Renomiq/";
    dir.writeFile(data + "rollback.rbk.tmp-a1B2c3", "T:\\k\\b\r\n");
    dir.writeFile(data + "rollback.7-1f.rbk.tmp-Zz9yX8", "T:\\k\\b\r\n");
    dir.writeFile(data + "rollback.rbk.tmp-held00", "T:\\k\\b\r\n");
    dir.writeFile(data + "other.tmp-a1B2c3", "x");
    ::chmod(dir.host(data + "rollback.rbk.tmp-a1B2c3").c_str(), 0444);
    const int held = ::open(dir.host(data + "rollback.rbk.tmp-held00").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    UndoLog(app.fileSystem, app.state.settings.dataFolder()).recoverAbandonedJournals();
    ::close(held);
    EXPECT_EQ(dir.list(data), (Lines{"other.tmp-a1B2c3", "rollback.rbk.tmp-held00"}));
}

TEST_F(UndoTest, ARunTellsOfTheLogsItKeptFromRunsCutShort)
{
    const std::string data = ".data-home/Corvane/Renomiq/";
    dir.createFiles({"r/a.txt"});
    dir.writeFile(kLog, "T:\\q\\n\r\nT:\\q\\m\r\n");
    dir.writeFile(data + "rollback.5-e.jnl", "T:\\q\\y\r\nT:\\q\\x\r\n");
    const timespec old[2] = {{1600000000, 0}, {1600000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, dir.host(data + "rollback.5-e.jnl").c_str(), old, 0), 0);
    app.targetFiles({"r/a.txt"});
    app.prompter.expect(3, Answer::Ok);
    run(changeTo("b"));
    EXPECT_EQ(dir.list("r"), Lines{"b.txt"});
    EXPECT_EQ(app.prompter.texts(),
              Lines{"A run that was cut short ended before the last operation; its renames are kept in their own undo "
                    "log: T:\\.data-home\\Corvane\\Renomiq\\rollback.5-e.rbk\nTo undo them: renomiq-cli undo --log "
                    "\"T:\\.data-home\\Corvane\\Renomiq\\rollback.5-e.rbk\""});
    EXPECT_EQ(dir.readFile(data + "rollback.5-e.rbk"), "T:\\q\\y\r\nT:\\q\\x\r\n");
}

// Without a journal, a log that cannot be written must not leave an older log
// standing for the run unsaid: Undo would reverse that operation instead.
TEST_F(UndoTest, AnOlderLogThatCannotBeRemovedAfterAFailedWriteIsSaid)
{
    const std::string data = app.state.settings.dataFolder();
    dir.createFiles({".data-home/Corvane/Renomiq/rollback.rbk"});
    app.fileSystem.refuseJournals = true;
    app.fileSystem.refuseWriteOf.insert(data + "rollback.rbk");
    app.fileSystem.refuseRemoveOf.insert(data + "rollback.rbk");
    // Nor can it move into the history.
    app.fileSystem.refuseRenameOf.insert(data + "rollback.rbk");
    UndoLog undoLog(app.fileSystem, data);
    EXPECT_FALSE(undoLog.begin());
    EXPECT_TRUE(undoLog.recordRename("T:\\b", "T:\\a"));
    undoLog.renameDone();
    const Status committed = undoLog.commit();
    ASSERT_FALSE(committed);
    EXPECT_EQ(committed.error().message,
              "Cannot write '" + data + "rollback.rbk': No space left on device. The undo log of the operation before "
              "could not be removed (Cannot delete '" + data + "rollback.rbk': Permission denied): Undo would "
              "reverse that operation, not this one");
}

} // namespace
} // namespace renomiq
