#include "targets/hand_off.h"

#include "platform/host_file_system.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

namespace renomiq {
namespace {

using test::TestDir;

TEST(HandOffFile, RoundTripAndTake)
{
    TestDir dir;
    dir.createFiles({"data/", "one/", "a.txt"});
    HostFileSystem fs(dir.drives());
    HandOffFile handOff(fs, TestDir::win("data\\"));
    EXPECT_FALSE(handOff.read().has_value());
    EXPECT_TRUE(handOff.take().empty());

    const std::vector<std::string> paths{"C:\\a b\\x.txt", "C:\\caf\xc3\xa9", "C:\\y"};
    ASSERT_TRUE(handOff.write(paths));
    EXPECT_EQ(dir.readFile("data/fn000.tmp"), "C:\\a b\\x.txt\r\nC:\\caf\xc3\xa9\r\nC:\\y\r\n");
    ASSERT_TRUE(handOff.write({"C:\\z"})); // replaces
    EXPECT_EQ(handOff.read().value(), (std::vector<std::string>{"C:\\z"}));
    // A line break in a path would read back as two paths: nothing is written.
    for (const char *broken : {"C:\\d\\a\nb", "C:\\d\\a\rb", "C:\\d\\a\r\n"}) {
        SCOPED_TRACE(broken);
        EXPECT_FALSE(handOff.write({"C:\\y", broken}));
        EXPECT_EQ(dir.readFile("data/fn000.tmp"), "C:\\z\r\n");
    }

    dir.writeFile("data/fn000.tmp", "C:\\1\nC:\\2\rC:\\3\r\n\r\n");
    EXPECT_EQ(handOff.take(), (std::vector<std::string>{"C:\\1", "C:\\2", "C:\\3"}));
    // Windows takes '/' as a separator: the paths are read with '\'.
    dir.writeFile("data/fn000.tmp", "C:\\w/a2.txt\r\nC:/x/y\r\n");
    EXPECT_EQ(handOff.take(), (std::vector<std::string>{"C:\\w\\a2.txt", "C:\\x\\y"}));
    EXPECT_FALSE(dir.exists("data/fn000.tmp"));

    EXPECT_EQ(saveKeywordFor(fs, {TestDir::win("one")}), EditKind::Savealls);
    EXPECT_EQ(saveKeywordFor(fs, {TestDir::win("a.txt")}), EditKind::Savesomes);
    EXPECT_EQ(saveKeywordFor(fs, {TestDir::win("one"), TestDir::win("one")}), EditKind::Savesomes);
    EXPECT_EQ(saveKeywordFor(fs, {}), EditKind::Savesomes);
}

TEST(HandOffFile, CommandLineKeyword)
{
    const char *none[] = {"renomiq"};
    const char *empty[] = {"renomiq", ""};
    const char *kind[] = {"renomiq", "Changnew", "ignored"};
    const char *other[] = {"renomiq", "whatever"};
    EXPECT_FALSE(commandLineKeyword(1, none).has_value());
    EXPECT_FALSE(commandLineKeyword(2, empty).has_value());
    EXPECT_EQ(commandLineKeyword(3, kind).value_or(""), "Changnew");
    EXPECT_EQ(commandLineKeyword(2, other).value_or(""), "whatever");
    EXPECT_EQ(editKindFromKeyword("Changnew"), EditKind::Changnew);
    EXPECT_FALSE(editKindFromKeyword("changnew").has_value());
    EXPECT_EQ(keywordOf(EditKind::Savesomes), "Savesomes");
}

} // namespace
} // namespace renomiq
