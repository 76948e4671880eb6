#include "run/start_up.h"

#include "state/app_state.h"
#include "support/bounded_call.h"
#include "support/test_platform.h"
#include "targets/list_rules.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace renomiq {
namespace {

using test::TestDir;
using Lines = std::vector<std::string>;

struct StartCase {
    const char *name;
    const char *keyword;   // nullptr: no argument
    const char *handOff;   // nullptr: no hand-off file
    Answer answer;         // to the empty-folder question
    bool plain, handOff_, showList, handOffTimer, closeSoon;
    EditKind kind;
    FolderScope scope;
    const char *message;
};

TEST(StartUp, KeywordsAndHandOffContent)
{
    const StartCase cases[] = {
        {"plain", nullptr, nullptr, Answer::Ok, true, false, true, false, false, EditKind::Browsefile,
         FolderScope::OneLayer, ""},
        {"unknown word", "Hello", nullptr, Answer::Ok, true, false, true, false, false, EditKind::Browsefile,
         FolderScope::OneLayer, ""},
        {"three files", "Changnew", "T:\\d\\a.txt\r\nT:\\d\\b.txt\r\nT:\\d\\c.txt\r\n", Answer::Ok, false, true, false,
         true, false, EditKind::Changnew, FolderScope::OneLayer, ""},
        {"empty hand-off", "Removpart", "", Answer::Ok, false, true, false, false, true, EditKind::Removpart,
         FolderScope::OneLayer, ""},
        {"no hand-off file", "Replapart", nullptr, Answer::Ok, false, true, false, true, false, EditKind::Replapart,
         FolderScope::OneLayer, ""},
        {"empty folder, yes", "Removpart", "T:\\empty\r\n", Answer::Yes, false, true, false, true, false,
         EditKind::Removpart, FolderScope::ThisFolderOnly,
         "There is no file in this folder, do you want to edit this folder name?"},
        {"empty folder, no", "Addnewnum", "T:\\empty\r\n", Answer::No, false, true, false, false, true,
         EditKind::Addnewnum, FolderScope::OneLayer,
         "There is no file in this folder, do you want to edit this folder name?"},
        {"empty folder, Savealls", "Savealls", "T:\\empty\r\n", Answer::Ok, false, true, false, false, true,
         EditKind::Savealls, FolderScope::OneLayer, "There is no file in this folder."},
        {"Savesomes", "Savesomes", "T:\\d\\a.txt\nT:\\d\\b.txt\n", Answer::Ok, false, false, true, true, false,
         EditKind::Savesomes, FolderScope::OneLayer, ""},
    };
    for (const StartCase &c : cases) {
        test::TestPlatform t;
        t.dir.createFiles({"d/a.txt", "d/b.txt", "d/c.txt", "empty/"});
        AppState state(t.platform);
        if (c.handOff)
            t.dir.writeFile(".data-home/Corvane/Renomiq/fn000.tmp", c.handOff);
        if (*c.message)
            t.prompter.expect(c.answer);
        const StartUpPlan plan =
            planStartUp(state, c.keyword ? std::optional<std::string>(c.keyword) : std::nullopt);
        EXPECT_EQ(plan.plain, c.plain) << c.name;
        EXPECT_EQ(plan.handOff, c.handOff_) << c.name;
        EXPECT_EQ(state.handOffMode, c.handOff_) << c.name;
        EXPECT_EQ(plan.showList, c.showList) << c.name;
        EXPECT_EQ(plan.handOffTimer, c.handOffTimer) << c.name;
        EXPECT_EQ(plan.closeSoon, c.closeSoon) << c.name;
        EXPECT_EQ(state.editKind, c.kind) << c.name;
        EXPECT_EQ(state.targets.folderScope, c.scope) << c.name;
        EXPECT_EQ(t.prompter.texts(), *c.message ? Lines{c.message} : Lines{}) << c.name;
        EXPECT_FALSE(t.dir.exists(".data-home/Corvane/Renomiq/fn000.tmp")) << c.name;
    }
}

TEST(StartUp, HandOffTargets)
{
    test::TestPlatform t;
    t.dir.createFiles({"d/a.txt", "d/b.txt", "f/x.jpg", "f/sub/"});
    {
        AppState state(t.platform);
        t.dir.writeFile(".data-home/Corvane/Renomiq/fn000.tmp", "T:\\d\\a.txt\r\nT:\\d\\b.txt\r\n");
        planStartUp(state, std::string("Changnew"));
        EXPECT_EQ(state.run.workList, (Lines{"T:\\d\\a.txt", "T:\\d\\b.txt"}));
        EXPECT_EQ(state.targets.sampleItem, "T:\\d\\a.txt");
        EXPECT_TRUE(state.targets.targetFolder.empty());
    }
    {
        AppState state(t.platform);
        t.dir.writeFile(".data-home/Corvane/Renomiq/fn000.tmp", "T:\\f\r\n");
        planStartUp(state, std::string("Replapart"));
        EXPECT_TRUE(state.run.workList.empty());
        EXPECT_EQ(state.targets.targetFolder, "T:\\f\\");
        EXPECT_EQ(state.targets.sampleItem, "T:\\f\\x.jpg");
        EXPECT_FALSE(state.targets.filesMode);
    }
}

TEST(StartUp, AHandOffThatIsNoRegularFileEndsTheStartWithAMessage)
{
    const char *const kinds[] = {"FIFO", "link to /dev/zero"};
    for (const std::string kind : kinds) {
        test::TestPlatform t;
        t.dir.createFiles({".data-home/Corvane/Renomiq/"});
        const std::string file = t.dir.host(".data-home/Corvane/Renomiq/fn000.tmp");
        if (kind == "FIFO")
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        else
            ASSERT_EQ(::symlink("/dev/zero", file.c_str()), 0);
        AppState state(t.platform);
        t.prompter.expect(Answer::Ok);
        StartUpPlan plan;
        ASSERT_TRUE(test::endsWithin(
            std::chrono::seconds(20), [&] { plan = planStartUp(state, std::string("Changnew")); }, file))
            << kind;
        EXPECT_TRUE(plan.closeSoon) << kind;
        EXPECT_FALSE(plan.handOffTimer) << kind;
        EXPECT_TRUE(state.run.workList.empty()) << kind;
        EXPECT_EQ(t.prompter.texts(),
                  (Lines{"The hand-off file could not be read: Cannot read '" + file + "': it is not a regular file"}))
            << kind;
    }
}

TEST(ListRules, TextsAndPaths)
{
    const struct {
        std::size_t selected, total;
        const char *text;
    } statuses[] = {{0, 10, "10 Files"}, {2, 10, "Select 2, total 10"}, {0, 0, "0 Files"}};
    for (const auto &s : statuses)
        EXPECT_EQ(selectionStatus(s.selected, s.total), s.text);

    const struct {
        const char *box;
        const char *parent;
    } parents[] = {{"C:\\Data\\Sub\\", "C:\\Data\\"}, {"  C:\\Data\\Sub  ", "C:\\Data\\"}, {"C:\\", "C:"},
                   {"C:\\Data\\\\", "C:\\"}, {"nothing", ""}};
    for (const auto &p : parents)
        EXPECT_EQ(parentFolderOf(p.box), p.parent) << p.box;

    const struct {
        const char *row;
        const char *name;
    } names[] = {{"T:\\a\\b.tar.gz", "b.tar"}, {"readme", "readme"}, {"T:\\x.y\\z", "z"}, {".bashrc", ""}};
    for (const auto &n : names)
        EXPECT_EQ(nameWithoutExtension(n.row), n.name) << n.row;

    EXPECT_EQ(rowPath(false, "T:\\a", "b.txt"), "T:\\a\\b.txt");
    EXPECT_EQ(rowPath(false, "T:\\a\\", "b.txt"), "T:\\a\\b.txt");
    EXPECT_EQ(rowPath(true, "T:\\a\\", "T:\\c\\d"), "T:\\c\\d");

    EXPECT_EQ(listWindowCaption(true, 0, false), "Renomiq");
    EXPECT_EQ(listWindowCaption(true, 3, false), "Renomiq - rename some files");
    EXPECT_EQ(listWindowCaption(false, 0, true), "Renomiq - rename folder's files");
    EXPECT_EQ(listWindowCaption(false, 5, false), "Renomiq");

}

// A FIFO or a link where the undo history's list should be: the start names
// it in one box, without waiting on it, and leaves it as it is.
TEST(StartUp, NamesAnUndoHistoryListThatIsNoRegularFile)
{
    const struct {
        const char *name;
        bool fifo; // else a link to /dev/zero
    } rows[] = {
        {"FIFO", true},
        {"link to /dev/zero", false},
    };
    for (const auto &row : rows) {
        test::TestPlatform t;
        t.dir.createFiles({".data-home/Corvane/Renomiq/"});
        const std::string list = t.dir.host(".data-home/Corvane/Renomiq/rollback.lst");
        ASSERT_EQ(row.fifo ? ::mkfifo(list.c_str(), 0600) : ::symlink("/dev/zero", list.c_str()), 0);
        AppState state(t.platform);
        t.prompter.expect(Answer::Ok);
        recoverAtStartUp(state);
        EXPECT_EQ(t.prompter.texts(),
                  Lines{"The list of the undo history '" + TestDir::win(".data-home/Corvane/Renomiq/rollback.lst")
                        + "' is not a regular file: nothing was read from it, and it was left as it is. No run can "
                          "start until it is removed."})
            << row.name;
        struct stat st {};
        EXPECT_EQ(::lstat(list.c_str(), &st), 0) << row.name;
        EXPECT_TRUE(row.fifo ? S_ISFIFO(st.st_mode) : S_ISLNK(st.st_mode)) << row.name;
    }
}

} // namespace
} // namespace renomiq
