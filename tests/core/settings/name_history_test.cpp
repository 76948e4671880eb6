#include "settings/name_history.h"

#include "engine/edit_request.h"
#include "platform/host_file_system.h"
#include "platform/text_lines.h"
#include "support/scripted_prompter.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace renomiq {
namespace {

using test::TestDir;
using Lines = std::vector<std::string>;

class NameHistoryTest : public ::testing::Test {
protected:
    TestDir dir;
    HostFileSystem fs{dir.drives()};
    int maximum = 20;
    NameHistory history{fs, TestDir::win("data\\"), maximum};
    int notifications = 0;

    void SetUp() override
    {
        dir.createFiles({"data/"});
        history.setChangeNotification([this] { ++notifications; });
    }
    std::string file() const { return dir.readFile("data/Newname.txt"); }
};

TEST(TextLines, SplitAndJoin)
{
    const struct {
        std::string content;
        Lines lines;
    } rows[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"\n", {""}},
        {"", {}},
        {"caf\xc3\xa9\xff\r\n", {"caf\xc3\xa9\xff"}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(splitLines(row.content), row.lines) << row.content;
    EXPECT_EQ(joinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(joinLines({}), "");
}

TEST_F(NameHistoryTest, AddRemovesEqualEntriesWithoutRegardToCase)
{
    dir.writeFile("data/Newname.txt", "photo\r\nTrip\r\nPHOTO\r\n");
    history.load();
    EXPECT_TRUE(history.add("Photo"));
    EXPECT_EQ(history.entries(), (Lines{"Photo", "Trip"}));
    EXPECT_EQ(file(), "Photo\r\nTrip\r\n");
    EXPECT_TRUE(history.add("\xc3\xa9t\xc3\xa9"));
    EXPECT_TRUE(history.add("\xc3\x89T\xc3\x89"));
    EXPECT_EQ(history.entries(), (Lines{"\xc3\x89T\xc3\x89", "Photo", "Trip"}));
    EXPECT_GT(notifications, 0);
}

TEST_F(NameHistoryTest, MaximumCutsTheListAndZeroDeletesTheFile)
{
    maximum = 3;
    dir.writeFile("data/Newname.txt", "a\r\nb\r\nc\r\n");
    EXPECT_TRUE(history.add("d"));
    EXPECT_EQ(file(), "d\r\na\r\nb\r\n");

    maximum = 0;
    EXPECT_TRUE(history.add("e"));
    EXPECT_FALSE(dir.exists("data/Newname.txt"));
    EXPECT_TRUE(history.entries().empty());
}

TEST_F(NameHistoryTest, LoadKeepsTheListWithoutAFileAndReadsDamagedFiles)
{
    EXPECT_TRUE(history.add("x"));
    ::unlink(dir.host("data/Newname.txt").c_str());
    history.load();
    EXPECT_EQ(history.entries(), (Lines{"x"}));

    dir.writeFile("data/Newname.txt", std::string("a\0b\rc\n\xff", 7));
    history.load();
    EXPECT_EQ(history.entries(), (Lines{std::string("a\0b", 3), "c", "\xff"}));
}

TEST_F(NameHistoryTest, RememberTakesTheTextsOfTheRunInBoxOrder)
{
    EditRequest insert;
    insert.kind = EditKind::Addnewnum;
    insert.atHead = insert.atEnd = true;
    insert.headText = "x";
    insert.endText = "y";
    insert.cursorText = "not ticked";
    EXPECT_TRUE(history.remember(insert));
    EXPECT_EQ(history.entries(), (Lines{"y", "x"}));

    const struct {
        EditKind kind;
        bool preview;
    } ignored[] = {{EditKind::Removpart, false}, {EditKind::Changexten, false}, {EditKind::Replapart, true}};
    for (const auto &row : ignored) {
        EditRequest r;
        r.kind = row.kind;
        r.preview = row.preview;
        r.newString = r.newName = r.headText = "ignored";
        r.atHead = true;
        EXPECT_TRUE(history.remember(r));
    }
    EXPECT_EQ(history.entries(), (Lines{"y", "x"}));

    EditRequest change;
    change.kind = EditKind::Changnew;
    change.changeMode = ChangeMode::ConvertCase;
    change.newName = "New";
    EXPECT_TRUE(history.remember(change));
    EditRequest toString;
    toString.kind = EditKind::Addnewnum;
    toString.insertMode = InsertMode::ToString;
    toString.insertText = "ins";
    EXPECT_TRUE(history.remember(toString));
    EditRequest replace;
    replace.kind = EditKind::Replapart;
    replace.newString = "";
    EXPECT_TRUE(history.remember(replace));
    EXPECT_EQ(history.entries(), (Lines{"ins", "New", "y", "x"}));
}

TEST_F(NameHistoryTest, TrimOnlyWhenTheMaximumWentDown)
{
    for (const char *t : {"1", "2", "3", "4", "5", "6", "7"})
        EXPECT_TRUE(history.add(t));
    maximum = 25;
    EXPECT_TRUE(history.trim(20));
    EXPECT_EQ(history.entries().size(), 7u);
    maximum = 5;
    EXPECT_TRUE(history.trim(20));
    EXPECT_EQ(file(), "7\r\n6\r\n5\r\n4\r\n3\r\n");
    maximum = 0;
    EXPECT_TRUE(history.trim(5));
    EXPECT_EQ(file(), "");
}

TEST_F(NameHistoryTest, ClearAsksFirst)
{
    EXPECT_TRUE(history.add("a"));
    test::ScriptedPrompter prompter;
    prompter.expect(Answer::No);
    EXPECT_FALSE(history.clear(prompter));
    EXPECT_TRUE(dir.exists("data/Newname.txt"));
    prompter.expect(Answer::Yes);
    EXPECT_TRUE(history.clear(prompter));
    EXPECT_FALSE(dir.exists("data/Newname.txt"));
    EXPECT_TRUE(history.entries().empty());
    EXPECT_EQ(prompter.shown()[0], (Message{"Clear Confirmation", "Do you want to clear the new name list ?",
                                            MessageIcon::Question, MessageButtons::YesNo}));
}

TEST_F(NameHistoryTest, EditorSaveDropsEmptyLinesAndSetsTheMaximum)
{
    std::string thirty;
    for (int i = 0; i < 30; ++i)
        thirty += "n" + std::to_string(i) + "\r\n\r\n";
    EXPECT_TRUE(history.saveEditedText(thirty + "  \r\n").maximumChanged);
    EXPECT_EQ(maximum, 31); // the line of blanks stays
    EXPECT_EQ(history.entries().size(), 31u);
    EXPECT_EQ(history.entries().back(), "  ");

    EXPECT_FALSE(history.saveEditedText(thirty + "x").maximumChanged);
    std::string many;
    for (int i = 0; i < 150; ++i)
        many += "m\n";
    EXPECT_TRUE(history.saveEditedText(many).maximumChanged);
    EXPECT_EQ(maximum, 100);
    EXPECT_EQ(history.entries().size(), 150u);

    EXPECT_TRUE(history.saveEditedText("\r\n\r\n").maximumChanged);
    EXPECT_EQ(maximum, 0);
    EXPECT_FALSE(dir.exists("data/Newname.txt"));
}

TEST_F(NameHistoryTest, TwoProcessesAddingAtOnceLoseNothing)
{
    maximum = 100;
    constexpr int kEach = 30;
    pid_t children[2];
    for (int p = 0; p < 2; ++p) {
        children[p] = ::fork();
        ASSERT_GE(children[p], 0);
        if (children[p] == 0) {
            HostFileSystem ownFs(dir.drives());
            int ownMax = 100;
            NameHistory own(ownFs, TestDir::win("data\\"), ownMax);
            for (int i = 0; i < kEach; ++i)
                (void)own.add("p" + std::to_string(p) + "-" + std::to_string(i)); // the parent checks the file
            ::_exit(0);
        }
    }
    for (pid_t child : children)
        ::waitpid(child, nullptr, 0);
    history.load();
    EXPECT_EQ(history.entries().size(), 2u * kEach);
}

} // namespace
} // namespace renomiq
