// renomiq-send's library part: the items a file manager hands over, and the
// hand-off file they become.
#include "send/hand_off_sender.h"

#include "platform/host_file_system.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

namespace renomiq {
namespace {

using test::TestDir;

TEST(HandOffSender, ItemsBecomeAbsoluteHostPaths)
{
    const struct {
        const char *item;
        const char *currentFolder;
        std::optional<std::string> expected;
    } cases[] = {
        {"/home/ann/a.txt", "/x", "/home/ann/a.txt"},
        {"a b.txt", "/home/ann", "/home/ann/a b.txt"},
        {"../b", "/home/ann/pics", "/home/ann/b"},
        {"/home/ann/./pics//trip/../x/", "/", "/home/ann/pics/x"},
        {"/", "/x", "/"},
        {"/..", "/x", "/"},
        {"file:///home/ann/caf%C3%A9%20x.txt", "/x", "/home/ann/caf\xc3\xa9 x.txt"},
        {"file:///home/ann/100%25.txt", "/x", "/home/ann/100%.txt"},
        {"file://localhost/tmp/a", "/x", "/tmp/a"},
        {"file:/tmp/a", "/x", "/tmp/a"},
        {"file:///tmp/a%3Fb?query#part", "/x", "/tmp/a?b"},
        {"file://server/share/a", "/x", std::nullopt},
        {"smb://server/share/a", "/x", std::nullopt},
        {"trash:///a", "/x", std::nullopt},
        {"file:///tmp/bad%2", "/x", std::nullopt},
        {"file:///tmp/bad%zz", "/x", std::nullopt},
        {"file:///tmp/nul%00", "/x", std::nullopt},
        {"file:relative", "/x", std::nullopt},
        {"", "/x", std::nullopt},
        {"a:b", "/x", "/x/a:b"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.item);
        EXPECT_EQ(HandOffSender::hostPathOf(c.item, c.currentFolder), c.expected);
    }
}

TEST(HandOffSender, WritesTheHandOffFileAndNamesTheKeyword)
{
    TestDir dir;
    dir.createFiles({"data/", "pics/a.jpg", "pics/b c.jpg", "pics/trip/"});
    HostFileSystem fs(dir.drives());
    HandOffSender sender(fs, TestDir::win("data\\"));
    std::vector<HandOffSender::LeftOut> skipped;

    auto sent = sender.send("Changnew", {dir.host("pics/a.jpg"), "file://" + dir.host("pics/b%20c.jpg"), "smb://nas/x", "trip"},
                            dir.host("pics"), skipped);
    ASSERT_TRUE(sent) << sent.error().message;
    EXPECT_EQ(*sent, "Changnew");
    EXPECT_EQ(skipped, (std::vector<HandOffSender::LeftOut>{{"smb://nas/x", "not a local path"}}));
    EXPECT_EQ(dir.readFile("data/fn000.tmp"), "T:\\pics\\a.jpg\r\nT:\\pics\\b c.jpg\r\nT:\\pics\\trip\r\n");

    // "Save names of folder" stays so for exactly one folder only.
    const struct {
        const char *keyword;
        std::vector<std::string> items;
        const char *expected;
    } saves[] = {
        {"Savealls", {"pics/trip"}, "Savealls"},
        {"Savealls", {"pics/a.jpg"}, "Savesomes"},
        {"Savealls", {"pics/trip", "pics"}, "Savesomes"},
        {"Savesomes", {"pics/trip"}, "Savesomes"},
    };
    for (const auto &s : saves) {
        SCOPED_TRACE(s.keyword + std::string(" ") + s.items[0]);
        sent = sender.send(s.keyword, s.items, dir.host(""), skipped);
        ASSERT_TRUE(sent);
        EXPECT_EQ(*sent, s.expected);
    }
    EXPECT_EQ(dir.readFile("data/fn000.tmp"), "T:\\pics\\trip\r\n");
}

TEST(HandOffSender, Refusals)
{
    TestDir dir;
    dir.createFiles({"data/"});
    HostFileSystem fs(dir.drives());
    std::vector<HandOffSender::LeftOut> skipped;
    HandOffSender sender(fs, TestDir::win("data\\"));

    auto sent = sender.send("Browsefile", {dir.host("a")}, "/", skipped);
    ASSERT_FALSE(sent);
    EXPECT_EQ(sent.error().message, "unknown keyword 'Browsefile'");

    HandOffSender nowhere(fs, TestDir::win("missing\\"));
    sent = nowhere.send("Removpart", {dir.host("data")}, "/", skipped);
    ASSERT_FALSE(sent);
    EXPECT_EQ(sent.error().message, "cannot write T:\\missing\\fn000.tmp");
}

// Items that have no path in the program are left out with their reason; a
// line break would split one path into two lines of the hand-off file.
TEST(HandOffSender, ItemsLeftOutAndWhy)
{
    TestDir dir;
    dir.createFiles({"data/", "d/", "c/"});
    // Drive C: moved off the host root, so that some paths lie on no drive.
    DriveTable drives = dir.drives();
    drives.setDrive('C', dir.host("c"));
    HostFileSystem fs(drives);
    const struct {
        const char *name;
        std::string item;
        const char *reason;
    } cases[] = {
        {"another scheme", "sftp://host/a", "not a local path"},
        {"another host", "file://elsewhere/b", "not a local path"},
        {"a backslash", dir.host("d/a\\b"), "its path holds a '\\'"},
        {"a line feed", dir.host("d/a\nb"), "its path holds a line break"},
        {"a carriage return", dir.host("d/a\rb"), "its path holds a line break"},
        {"a line feed in a URI", "file://" + dir.host("d/a%0Ab"), "its path holds a line break"},
        {"outside every drive", "/", "on no drive"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        dir.writeFile("data/fn000.tmp", "T:\\old\r\n");
        std::vector<HandOffSender::LeftOut> skipped;
        HandOffSender sender(fs, TestDir::win("data\\"));
        auto sent = sender.send("Removpart", {c.item}, "/", skipped);
        ASSERT_FALSE(sent);
        EXPECT_EQ(sent.error().message, "no item to hand over");
        EXPECT_EQ(skipped, (std::vector<HandOffSender::LeftOut>{{c.item, c.reason}}));
        EXPECT_EQ(dir.readFile("data/fn000.tmp"), "T:\\old\r\n");

        // Beside a good item, only the good one is handed over.
        skipped.clear();
        sent = sender.send("Removpart", {c.item, dir.host("d/a")}, "/", skipped);
        ASSERT_TRUE(sent);
        EXPECT_EQ(skipped.size(), 1u);
        EXPECT_EQ(dir.readFile("data/fn000.tmp"), "T:\\d\\a\r\n");
    }
}

} // namespace
} // namespace renomiq
