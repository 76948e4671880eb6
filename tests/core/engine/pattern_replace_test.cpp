#include "engine/pattern_replace.h"

#include "engine/edit_request.h"
#include "engine/name_engine.h"
#include "platform/host_file_system.h"
#include "support/recording_sink.h"
#include "support/scripted_prompter.h"
#include "support/test_dir.h"
#include "support/test_doubles.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <gtest/gtest.h>

#include <chrono>

namespace renomiq {
namespace {

using test::TestDir;

struct Row {
    const char *pattern;
    const char *name;
    const char *newString;
    bool caseSensitive;
    bool onlyLeftmost;
    Direction direction;
    const char *expected;
};

constexpr Direction Head = Direction::FromHead;
constexpr Direction End = Direction::FromEnd;

std::string replaced(const Row &row)
{
    EditRequest r;
    r.kind = EditKind::Replapart;
    r.replaceRegex = true;
    r.oldString = row.pattern;
    r.newString = row.newString;
    r.replaceCaseSensitive = row.caseSensitive;
    r.replaceOnlyLeftmost = row.onlyLeftmost;
    r.replaceDirection = row.direction;
    PatternError error;
    const auto pattern = NamePattern::compile(r.oldString, r.replaceCaseSensitive, true, &error);
    if (!pattern)
        return "compile error: " + error.message;
    const Result<std::string> result =
        NameRules::replacePattern(r, row.name, *pattern, [](std::string_view t) { return std::string(t); });
    return result ? *result : "match error: " + result.error().message;
}

TEST(PatternRules, MatchesGroupsCaseAndDirection)
{
    const Row rows[] = {
        {"\\d+", "IMG_0001", "#", false, false, Head, "IMG_#"},
        {"(\\d)", "a1b2c3", "[{1}]", false, false, Head, "a[1]b[2]c[3]"},
        {"\\d", "a1b2c3", "X", false, true, Head, "aXb2c3"},
        {"\\d", "a1b2c3", "X", false, true, End, "a1b2cX"},
        {"\\d", "a1b2c3", "X", false, false, End, "aXbXcX"}, // the direction picks only with Only Leftest
        {"img", "IMG_img", "P", false, false, Head, "P_P"},
        {"img", "IMG_img", "P", true, false, Head, "IMG_P"},
        {"(\\w+)-(\\w+)", "foo-bar", "{2}-{1}", false, false, Head, "bar-foo"},
        {"\\d+", "a12b", "<{0}>", false, false, Head, "a<12>b"},
        {"(a)|b", "ab", "[{1}]", false, false, Head, "[a][]"},        // a group that took no part is empty
        {"\\d", "a1", "{10}{x}{", false, false, Head, "a{10}{x}{"},   // only {0} to {9} refer to groups
        {"(\\d)(\\d)", "12", "{2}{2}{1}{0}", false, false, Head, "22112"},
        {"nothing", "abc", "X", false, false, Head, "abc"},
        // UTF-8: characters, their case and \w for every letter.
        {"é", "CAFÉ", "e", false, false, Head, "CAFe"},
        {"é", "CAFÉ", "e", true, false, Head, "CAFÉ"},
        {"\\w+", "日本 語", "X", false, false, Head, "X X"},
        {".", "ñb", "-", false, true, Head, "-b"},
        // Empty matches, as PCRE2's global substitution takes them.
        {"x*", "abc", "-", false, false, Head, "-a-b-c-"},
        {"x*", "axxb", "-", false, false, Head, "-a--b-"},
        {"x*", "abc", "-", false, true, Head, "-abc"},
        {"x*", "abc", "-", false, true, End, "abc-"},
        {"(.*)", "ab", "[{1}]", false, false, Head, "[ab][]"},
        {"^", "ab", "0", false, false, Head, "0ab"},
        {"$", "ab", "0", false, false, Head, "ab0"},
        {"\\b", "ab cd", "|", false, false, Head, "|ab| |cd|"},
        {"(?=b)", "abab", "^", false, false, Head, "a^ba^b"},
        // A name that is not valid UTF-8 still matches around its stray byte.
        {"b", "a\xff" "b", "c", false, false, Head, "a\xff" "c"},
        {".", "\xff", "c", false, false, Head, "\xff"}, // such a byte is no character to match
    };
    for (const Row &row : rows)
        EXPECT_EQ(replaced(row), row.expected) << row.pattern << " on " << row.name;
}

// The global replacement of every empty-matching pattern gives what
// pcre2_substitute gives with PCRE2_SUBSTITUTE_GLOBAL.
TEST(PatternRules, EmptyMatchesAsPcre2Substitute)
{
    const char *patterns[] = {"x*", "a*", "a?", "(?:)", "\\b", "\\B", "(?=a)", "(?<=a)", "a*?", "(a|)", "$", "^",
                              "\\s*", "é*", "(?=é)|b"};
    const char *names[] = {"", "a", "aa", "bab", "a a", "baab", "xay", "éaé", "été ab"};
    for (const char *p : patterns) {
        int errorCode = 0;
        PCRE2_SIZE errorOffset = 0;
        pcre2_code *code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p), PCRE2_ZERO_TERMINATED,
                                         PCRE2_UTF | PCRE2_UCP | PCRE2_CASELESS, &errorCode, &errorOffset, nullptr);
        ASSERT_NE(code, nullptr) << p;
        const auto pattern = NamePattern::compile(p, false, true);
        ASSERT_NE(pattern, nullptr) << p;
        for (const char *n : names) {
            std::string expected(256, '\0');
            PCRE2_SIZE length = expected.size();
            const int rc = pcre2_substitute(code, reinterpret_cast<PCRE2_SPTR>(n), PCRE2_ZERO_TERMINATED, 0,
                                            PCRE2_SUBSTITUTE_GLOBAL, nullptr, nullptr,
                                            reinterpret_cast<PCRE2_SPTR>("<$0>"), PCRE2_ZERO_TERMINATED,
                                            reinterpret_cast<PCRE2_UCHAR *>(expected.data()), &length);
            ASSERT_GE(rc, 0) << p;
            expected.resize(length);
            const Result<std::string> mine =
                pattern->replace(n, GroupTemplate::parse("<{0}>"), MatchChoice::All);
            ASSERT_TRUE(mine) << p;
            EXPECT_EQ(*mine, expected) << p << " on '" << n << "'";
        }
        pcre2_code_free(code);
    }
}

TEST(PatternRules, InvalidPatternsNameTheErrorAndItsPosition)
{
    const struct {
        const char *pattern;
        const char *message;
    } rows[] = {
        {"(abc", "The regular expression '(abc' is not valid: missing closing parenthesis (at position 5)."},
        {"a[b", "The regular expression 'a[b' is not valid: missing terminating ] for character class (at position 4)."},
        {"*a", "The regular expression '*a' is not valid: quantifier does not follow a repeatable item (at position 1)."},
        {"a\\", "The regular expression 'a\\' is not valid: \\ at end of pattern (at position 3)."},
        {"\\C", "The regular expression '\\C' is not valid: using \\C is disabled by the application (at position 3)."},
    };
    for (const auto &row : rows) {
        PatternError error;
        EXPECT_EQ(NamePattern::compile(row.pattern, false, true, &error), nullptr) << row.pattern;
        EXPECT_EQ(patternErrorMessage(row.pattern, error), row.message);
    }
}

// A pattern that backtracks without end stops at the match limit, fast.
TEST(PatternRules, CatastrophicPatternsStopAtTheLimit)
{
    const char *patterns[] = {"(x+x+)+\\d", "^(x|xx)+\\d", "(\\w+\\w+)+\\d", "(.*x){12}\\d"};
    const std::string name(60, 'x');
    for (const char *p : patterns) {
        const auto pattern = NamePattern::compile(p, true, true);
        ASSERT_NE(pattern, nullptr) << p;
        const auto start = std::chrono::steady_clock::now();
        const Result<std::string> result = pattern->replace(name, GroupTemplate::parse("y"), MatchChoice::All);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << p;
        ASSERT_FALSE(result) << p;
        EXPECT_NE(result.error().message.find("limit"), std::string::npos) << result.error().message;
    }
}

TEST(PatternRules, TemplateReferences)
{
    const GroupTemplate t = GroupTemplate::parse("a{1}b{0}{9}{");
    EXPECT_EQ(t.pieces, (std::vector<std::string>{"a", "b", "", "{"}));
    EXPECT_EQ(t.groups, (std::vector<int>{1, 0, 9}));
    EXPECT_EQ(t.highestGroup(), 9);
    EXPECT_EQ(GroupTemplate::parse("no {ref}").highestGroup(), -1);
}

using test::RecordingSink;

class PatternEngineTest : public ::testing::Test {
protected:
    TestDir dir;
    HostFileSystem fs{dir.drives()};
    test::ScriptedPrompter prompter;
    test::FixedClock clock;
    NameEngine engine{fs, prompter, clock};
    RecordingSink sink;

    ItemOutcome run(const std::string &pattern, const std::string &newString, const std::string &relative)
    {
        EditRequest r;
        r.kind = EditKind::Replapart;
        r.replaceRegex = true;
        r.oldString = pattern;
        r.newString = newString;
        sink.outcomes.clear();
        engine.newNameFor(r, TestDir::win(relative), sink);
        EXPECT_EQ(sink.outcomes.size(), 1u) << relative;
        return sink.outcomes.empty() ? ItemOutcome{} : sink.outcomes.back();
    }
};

TEST_F(PatternEngineTest, NamePartOnlySpecialStringsAfterGroupsAndFailures)
{
    dir.createFiles({"IMG_0001.JPG", "a$b.txt", "x.jpg", std::string(60, 'x') + ".txt", "Trip 2024/"});
    engine.specialStrings().setRunningNumber(7);
    // The extension stays out of reach.
    EXPECT_EQ(run("JPG", "png", "IMG_0001.JPG").kind, OutcomeKind::Unchanged);
    EXPECT_EQ(run("(?i)jpg", "png", "x.jpg").kind, OutcomeKind::Unchanged);
    // Special strings expand in the new string, never in a group's text.
    ItemOutcome numbered = run("IMG_(\\d+)", "{1}_$$", "IMG_0001.JPG");
    EXPECT_EQ(numbered.kind, OutcomeKind::Renamed);
    EXPECT_EQ(numbered.newPath, TestDir::win("0001_07.JPG"));
    ItemOutcome dollar = run("(.+)", "{1}-$", "a$b.txt");
    EXPECT_EQ(dollar.newPath, TestDir::win("a$b-7.txt"));
    // A folder's whole name is its name part.
    ItemOutcome folder = run("(\\w+) (\\d+)", "{2} {1}", "Trip 2024");
    EXPECT_EQ(folder.newPath, TestDir::win("2024 Trip"));
    // A runaway pattern fails its item, with the limit named, and renames nothing.
    ItemOutcome runaway = run("(x+x+)+\\d", "z", std::string(60, 'x') + ".txt");
    EXPECT_EQ(runaway.kind, OutcomeKind::RenameFailed);
    EXPECT_NE(runaway.error.message.find("match limit"), std::string::npos) << runaway.error.message;
    EXPECT_TRUE(dir.exists(std::string(60, 'x') + ".txt"));
    EXPECT_TRUE(prompter.shown().empty());
}

} // namespace
} // namespace renomiq
