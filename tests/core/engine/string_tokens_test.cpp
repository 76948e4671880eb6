#include "engine/string_tokens.h"

#include "engine/edit_request.h"
#include "platform/host_file_system.h"
#include "support/scripted_prompter.h"
#include "support/test_dir.h"
#include "support/test_doubles.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

namespace renomiq {
namespace {

using test::TestDir;

class SpecialStringsTest : public ::testing::Test {
protected:
    TestDir dir;
    HostFileSystem fs{dir.drives()};
    test::ScriptedPrompter prompter;
    test::FixedClock clock;
    SpecialStrings special{fs, prompter, clock};
    EditRequest request;
    const std::string item = TestDir::win("Music/Rock/song.mp3");

    void SetUp() override
    {
        dir.createFiles({"Music/Rock/song.mp3"});
        special.setDecimalSeparator(".");
    }
};

TEST_F(SpecialStringsTest, RunningNumbersAndEscapedDollar)
{
    const struct {
        std::int64_t number;
        const char *text, *expected;
    } rows[] = {
        {7, "a$$$c", "a007c"},
        {7, "a$c", "a7c"},
        {7, "$$-$", "07-7"},
        {1234, "$$", "1234"},
        {5, "Price@$@$$", "Price$05"},
        {5, "@$@", "$"},
        {5, "a?b$", "a?b5"},
        {0, "$$$$$", "00000"},
        {5, "no tokens", "no tokens"},
    };
    for (const auto &row : rows) {
        special.setRunningNumber(row.number);
        EXPECT_EQ(special.expandSpecial(request, row.text, item), row.expected) << row.text;
    }
}

TEST_F(SpecialStringsTest, FolderNameAndNonTokens)
{
    const struct {
        std::string text, path, expected;
    } rows[] = {
        {"%%", item, "Rock"},
        {"[%%]-%%", item, "[Rock]-Rock"},
        {"%%", "D:\\song.mp3", "D:"},
        {"%100%", item, "%100%"},
        {"%abc%", item, "%abc%"},
        {"50%", item, "50%"},
        {"%", item, "%"},
        {"a?%100%?", item, "a?%100%?"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(special.expandSpecial(request, row.text, row.path), row.expected) << row.text;

    // A folder name that brings a token-like text of its own.
    dir.createFiles({"x%ab%y/f.txt", "what?/f.txt"});
    EXPECT_EQ(special.expandSpecial(request, "%%", TestDir::win("x%ab%y/f.txt")), "x%ab%y");
    EXPECT_EQ(special.expandSpecial(request, "%%-$", TestDir::win("what?/f.txt")), "what?-1");
}

TEST_F(SpecialStringsTest, RandomStringsUseTheEnabledClassesAndDiffer)
{
    const std::string a = special.expandSpecial(request, "%6%", item);
    const std::string b = special.expandSpecial(request, "%6%", item);
    ASSERT_EQ(a.size(), 6u);
    ASSERT_EQ(b.size(), 6u);
    EXPECT_NE(a, b);
    const std::string two = special.expandSpecial(request, "%9%-%9%", item);
    ASSERT_EQ(two.size(), 19u);
    EXPECT_NE(two.substr(0, 9), two.substr(10));
    EXPECT_EQ(special.expandSpecial(request, "x%0%y%-3%z", item), "xyz");

    const struct {
        bool upper, lower, digits;
        int (*isClass)(int);
    } rows[] = {
        {true, false, false, ::isupper},
        {false, true, false, ::islower},
        {false, false, true, ::isdigit},
    };
    for (const auto &row : rows) {
        request.randomUpper = row.upper;
        request.randomLower = row.lower;
        request.randomDigits = row.digits;
        const std::string s = special.expandSpecial(request, "%40%", item);
        ASSERT_EQ(s.size(), 40u);
        for (char c : s)
            EXPECT_TRUE(row.isClass(static_cast<unsigned char>(c))) << s;
    }
}

TEST_F(SpecialStringsTest, TheSeedCounterStartsAtTheClock)
{
    test::FixedClock same(clock.time);
    SpecialStrings other(fs, prompter, same);
    EXPECT_EQ(special.randomString(request, 12), other.randomString(request, 12));
    test::FixedClock later(clock.time + 1);
    SpecialStrings third(fs, prompter, later);
    // The third starts where the others' second string will.
    EXPECT_EQ(third.randomString(request, 12), special.randomString(request, 12));
}

TEST_F(SpecialStringsTest, EveryRandomTokenMovesTheSeedCounter)
{
    // Two engines with the same clock draw the same strings; a token that
    // gives the empty text still uses up one seed.
    test::FixedClock same(clock.time);
    const struct {
        const char *before; // tokens before "%3%"
        int seedsUsed;
    } rows[] = {{"%0%", 1}, {"%-3%", 1}, {"", 0}};
    for (const auto &row : rows) {
        SpecialStrings a(fs, prompter, same);
        SpecialStrings b(fs, prompter, same);
        const std::string text = a.expandSpecial(request, std::string(row.before) + "x%3%", item);
        for (int i = 0; i < row.seedsUsed; ++i)
            b.randomString(request, 3);
        EXPECT_EQ(text, "x" + b.randomString(request, 3)) << row.before;
    }
}

TEST_F(SpecialStringsTest, DateAndSize)
{
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    const struct timeval times[2] = {{1178000000, 0}, {1178000000, 0}}; // 2007-05-01
    ::utimes(dir.host("Music/Rock/song.mp3").c_str(), times);
    dir.writeFile("Music/Rock/song.mp3", std::string(1536, 'x'));
    ::utimes(dir.host("Music/Rock/song.mp3").c_str(), times);
    EXPECT_EQ(special.expandSpecial(request, "@@_##", item), "20070501_1.5KB");
    EXPECT_EQ(special.expandSpecial(request, "@@ ##", TestDir::win("gone.txt")), "nofiletime nofilesize");
    EXPECT_EQ(special.expandSpecial(request, "##", TestDir::win("Music")), "0Bytes");
    special.setDecimalSeparator(",");
    EXPECT_EQ(special.expandSpecial(request, "##", item), "1,5KB");
    ::unsetenv("TZ");
    ::tzset();
}

TEST(SpecialStringsSize, Format)
{
    const struct {
        std::uint64_t size;
        const char *expected;
    } rows[] = {
        {0, "0Bytes"},
        {1023, "1023Bytes"},
        {1024, "1KB"},
        {1075, "1KB"},              // 1.0498 KB
        {1126, "1.1KB"},            // 1.0996 KB
        {1024 + 51, "1KB"},
        {1024 + 52, "1.1KB"},       // 1.0508 KB
        {2048 + 102 + 1, "2.1KB"},
        {1024 * 1023, "1023KB"},
        {1048064, "1MB"},           // 1023.5 KB: above 1023 KB, rounds to 1.0 MB
        {12 * 1024 * 1024 + 300000, "12.3MB"},
        {1073741824ull, "1GB"},
        {2308544921ull, "2.15GB"},  // 2.14999... rounds up
        {5368709127ull, "5GB"},
        // ties go to the even multiple: 0.05 KB past a whole number
        {1024 * 2 + 1024 / 20 * 1 + 51, "2.1KB"},
        {1024 * 10 + 1536 / 30, "10KB"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(SpecialStrings::formatSize(row.size, "."), row.expected) << row.size;
    // An exact tie: 1.25 KB is 1280 bytes; 1.2 (even) wins over 1.3.
    EXPECT_EQ(SpecialStrings::formatSize(1024 + 256 + 0, "."), "1.2KB");
    // 1.35 KB is not exactly representable in bytes; 1.75 KB is (1792): ties to 1.8.
    EXPECT_EQ(SpecialStrings::formatSize(1792, "."), "1.8KB");
}

TEST_F(SpecialStringsTest, CheckRandomTokens)
{
    const struct {
        const char *text;
        bool ok;
        const char *message;
    } rows[] = {
        {"%6%", true, nullptr},
        {"%100%", true, nullptr},
        {"%abc%", true, nullptr},
        {"%", true, nullptr},
        {"%%", true, nullptr},
        {"x%5%y%7%", true, nullptr},
        {"%101%", false, "101 is too big. The max random string digits is 100."},
        {"%ab%", false, "The random string digits(ab) is not an integer."},
        {"%5%%x%", false, "The random string digits(x) is not an integer."},
        {"%99999999999999999999%", false, "99999999999999999999 is too big. The max random string digits is 100."},
    };
    for (const auto &row : rows) {
        prompter.clear();
        if (!row.ok)
            prompter.expect(Answer::Ok);
        EXPECT_EQ(special.checkRandomTokens(request, row.text), row.ok) << row.text;
        if (row.message) {
            ASSERT_EQ(prompter.shown().size(), 1u) << row.text;
            EXPECT_EQ(prompter.shown()[0].text, row.message);
            EXPECT_EQ(prompter.shown()[0].buttons, MessageButtons::Ok);
        }
    }
}

TEST_F(SpecialStringsTest, SwitchedOffEverythingStaysLiteral)
{
    request.useSpecialStrings = false;
    EXPECT_EQ(special.expandSpecial(request, "$$ %% %5% @@ ## @$@", item), "$$ %% %5% @@ ## @$@");
    EXPECT_TRUE(special.checkRandomTokens(request, "%ab%"));
    EXPECT_TRUE(prompter.shown().empty());
}

} // namespace
} // namespace renomiq
