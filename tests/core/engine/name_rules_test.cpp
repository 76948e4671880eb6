#include "engine/name_rules.h"

#include "engine/edit_request.h"

#include <gtest/gtest.h>

#include <functional>

namespace renomiq {
namespace {

struct Row {
    const char *label;
    std::function<void(EditRequest &)> set;
    std::string name;
    std::string expected;
};

// Expansion is tested on its own; here a text shows where it was used.
std::string markExpanded(std::string_view text)
{
    return "<" + std::string(text) + ">";
}

std::string apply(EditKind kind, const Row &row, const CodePage &codePage = CodePage(CodePage::Utf8))
{
    EditRequest r;
    r.kind = kind;
    row.set(r);
    switch (kind) {
    case EditKind::Removpart: return NameRules::remove(r, row.name, codePage);
    case EditKind::Replapart: return NameRules::replace(r, row.name, codePage, markExpanded);
    default: return NameRules::insert(r, row.name, codePage, markExpanded);
    }
}

const std::string kanji = "\xe5\x86\x99\xe7\x9c\x9f"; // 写真, 2 characters of 3 bytes
const std::string eAcute = "\xc3\xa9";                // é

TEST(RemoveRules, Strings)
{
    const Row rows[] = {
        {"one pass, no rescan", [](EditRequest &r) { r.removeStrings[0] = "ab"; }, "aabb", "ab"},
        {"case-insensitive", [](EditRequest &r) { r.removeStrings[0] = "IMG"; }, "img_IMG", "_"},
        {"only leftmost", [](EditRequest &r) { r.removeStrings[0] = "IMG"; r.removeOnlyLeftmost = true; }, "img_IMG", "_IMG"},
        {"case-sensitive", [](EditRequest &r) { r.removeStrings[0] = "IMG"; r.removeCaseSensitive = true; }, "img_IMG", "img_"},
        {"three in order", [](EditRequest &r) { r.removeStrings = {"a", "", "c"}; }, "abac", "b"},
        {"second works on the first's result", [](EditRequest &r) { r.removeStrings = {"x", "ab"}; }, "axb", ""},
        {"accented letters fold", [&](EditRequest &r) { r.removeStrings[0] = "\xc3\x89T\xc3\x89"; }, "Bon " + eAcute + "t" + eAcute, "Bon "},
        {"question mark in the name", [](EditRequest &r) { r.removeStrings[0] = "?"; }, "wh?at?", "what"},
        {"all empty", [](EditRequest &) {}, "name", "name"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(apply(EditKind::Removpart, row), row.expected) << row.label;
}

TEST(RemoveRules, SelectedPart)
{
    auto select = [](int start, int length, Direction d, std::string sample) {
        return [=](EditRequest &r) {
            r.removeMode = RemoveMode::Anything;
            r.selectionStart = start;
            r.selectionLength = length;
            r.removeDirection = d;
            r.sampleName = sample;
        };
    };
    const Row rows[] = {
        {"from head", select(2, 3, Direction::FromHead, "abcdefg"), "abcdefgh", "abfgh"},
        {"from head beyond the end", select(6, 5, Direction::FromHead, "abcdefghijk"), "abcdefgh", "abcdef"},
        {"from end", select(4, 2, Direction::FromEnd, "IMG_0001"), "DSC_00012", "DSC_012"},
        {"from end, shorter name", select(1, 6, Direction::FromEnd, "abcdefgh"), "xyz", "z"},
        {"from end, wholly before the name", select(0, 2, Direction::FromEnd, "abcdefgh"), "xyz", "xyz"},
        {"empty selection", select(2, 0, Direction::FromHead, "abcd"), "abcd", "abcd"},
        // a selection that starts or ends inside a character keeps it whole
        {"cut in a 3-byte character at the start", select(2, 3, Direction::FromHead, "a" + kanji),
         "a" + kanji + "z", "a" + kanji + "z" /* both characters cut: both kept */},
        {"whole characters", select(1, 3, Direction::FromHead, "a" + kanji), "a" + kanji + "z", "a\xe7\x9c\x9fz"},
        {"inside one character", select(2, 1, Direction::FromHead, "a" + kanji), "a" + kanji, "a" + kanji},
        {"emoji from end", select(1, 4, Direction::FromEnd, "a\xf0\x9f\x98\x80"), "xa\xf0\x9f\x98\x80", "xa"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(apply(EditKind::Removpart, row), row.expected) << row.label;
}

TEST(RemoveRules, BetweenTwoStrings)
{
    auto between = [](std::string l, std::string r, bool also) {
        return [=](EditRequest &q) {
            q.removeMode = RemoveMode::Anything;
            q.anythingMode = AnythingMode::BetweenTwoStrings;
            q.leftString = l;
            q.rightString = r;
            q.alsoRemoveTheTwoStrings = also;
        };
    };
    const Row rows[] = {
        {"pairs", between("(", ")", false), "a(1)b(2)c", "a()b()c"},
        {"pairs and delimiters", between("(", ")", true), "a(1)b(2)c", "abc"},
        {"same delimiter", between("_", "_", false), "a_x_b_y_c", "a__b__c"},
        {"same delimiter removed", between("_", "_", true), "a_x_b_y_c", "abc"},
        {"L without R", between("(", ")", false), "a(1", "a(1"},
        {"no L", between("(", ")", false), "abc", "abc"},
        {"the whole name", between("(", ")", true), "(all)", "(all)"},
        {"L after the last pair stays", between("[", "]", false), "a[1]b[2", "a[]b[2"},
        {"empty L", between("", ")", false), "a)b", "a)b"},
        {"longer delimiters", between("<<", ">>", false), "x<<a>>y<<b>>", "x<<>>y<<>>"},
        {"odd count of same delimiter", between("-", "-", false), "a-b-c-d", "a--c-d"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(apply(EditKind::Removpart, row), row.expected) << row.label;
}

TEST(RemoveRules, KeepSelectedPartAndStrings)
{
    auto keep = [](int start, int length, Direction d, std::string sample) {
        return [=](EditRequest &r) {
            r.removeMode = RemoveMode::Keep;
            r.selectionStart = start;
            r.selectionLength = length;
            r.keepDirection = d;
            r.sampleName = sample;
        };
    };
    auto strings = [](std::string s1, std::string s2, bool leftmost) {
        return [=](EditRequest &r) {
            r.removeMode = RemoveMode::Keep;
            r.keepMode = KeepMode::Strings;
            r.keepStrings = {s1, s2};
            r.keepOnlyLeftmost = leftmost;
        };
    };
    const Row rows[] = {
        {"from head", keep(2, 3, Direction::FromHead, "abcdef"), "abcdefgh", "cde"},
        {"from end", keep(1, 2, Direction::FromEnd, "abcd"), "xyzabcd", "bc"},
        {"from end, beyond the head", keep(0, 6, Direction::FromEnd, "abcdef"), "cdef", "cdef"},
        {"from head, partial characters", keep(2, 2, Direction::FromHead, "a" + kanji), "a" + kanji, kanji.substr(0, 3)},
        {"from end, partial characters", keep(1, 2, Direction::FromEnd, kanji + "z"), kanji + "z", kanji.substr(0, 3)},
        {"nothing selected", keep(0, 0, Direction::FromHead, "abc"), "abc", ""},
        {"strings", strings("cd", "01", false), "Track01-cd-01", "01cd01"},
        {"strings leftmost", strings("cd", "01", true), "Track01-cd-01", "01cd"},
        {"only String 2 found", strings("zz", "01", false), "a01b01", "0101"},
        {"neither found", strings("zz", "yy", false), "abc", "abc"},
        {"strings with question marks", strings("?", "/", false), "a?b?", "??"},
        {"case-sensitive", strings("CD", "", false), "cd", "cd"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(apply(EditKind::Removpart, row), row.expected) << row.label;
}

TEST(RemoveRules, CleanSymbols)
{
    auto clean = [](std::function<void(EditRequest &)> more = [](EditRequest &) {}) {
        return [=](EditRequest &r) {
            r.removeMode = RemoveMode::CleanSymbols;
            more(r);
        };
    };
    const Row rows[] = {
        {"defaults", clean(), "a.b - c!", "ab - c"},
        {"letters and digits only", clean([](EditRequest &r) { r.alsoEraseOthers = true; r.alsoEraseText = "123"; }), "abc123", "abc123"},
        {"one byte", clean(), "!", "!"},
        {"spaces collapse", clean(), "a  b", "a b"},
        {"space replacement", clean([](EditRequest &r) { r.replaceErasedWithSpace = true; }), "a.b,,c", "a b c"},
        {"protected", clean([](EditRequest &r) { r.keepParentheses = r.keepBrackets = r.keepUnderscore = true; }), "(a)[b]_c.d", "(a)[b]_cd"},
        {"dash not kept", clean([](EditRequest &r) { r.keepDash = false; }), "a-b", "ab"},
        {"other symbols kept byte by byte", clean([](EditRequest &r) { r.keepOthers = true; r.keepOthersText = "!#"; }), "a!b#c$", "a!b#c"},
        {"also erase text", clean([](EditRequest &r) { r.alsoEraseOthers = true; r.alsoEraseText = "xx"; }), "axxb.cx", "abcx"},
        {"also erase with space", clean([](EditRequest &r) { r.alsoEraseOthers = r.replaceErasedWithSpace = true; r.alsoEraseText = "and"; }), "rock.and.roll", "rock roll"},
        {"multi-byte characters stay", clean(), "caf" + eAcute + "!", "caf" + eAcute},
        {"question mark and percent", clean(), "50% off?", "50 off"},
        {"leading and trailing single spaces stay", clean(), " a. ", " a "},
    };
    for (const Row &row : rows)
        EXPECT_EQ(apply(EditKind::Removpart, row), row.expected) << row.label;

    // A single-byte code page erases every non-ASCII byte.
    EXPECT_EQ(apply(EditKind::Removpart, {"", clean(), "caf\xe9!", ""}, CodePage(CodePage::SingleByte)), "caf");
}

TEST(ReplaceRules, StringAndSelectedLength)
{
    auto string = [](std::string from, std::string to, bool sensitive, bool leftmost) {
        return [=](EditRequest &r) {
            r.oldString = from;
            r.newString = to;
            r.replaceCaseSensitive = sensitive;
            r.replaceOnlyLeftmost = leftmost;
        };
    };
    auto length = [](int start, int len, Direction d, std::string sample, std::string to) {
        return [=](EditRequest &r) {
            r.replaceMode = ReplaceMode::SelectedLength;
            r.selectionStart = start;
            r.selectionLength = len;
            r.replaceDirection = d;
            r.sampleName = sample;
            r.newString = to;
        };
    };
    const Row rows[] = {
        {"all, case-insensitive", string("img", "P", false, false), "IMG_img", "<P>_<P>"},
        {"leftmost", string("img", "P", false, true), "IMG_img", "<P>_img"},
        {"case-sensitive", string("img", "P", true, false), "IMG_img", "IMG_<P>"},
        {"case change only", string("abc", "ABC", true, false), "abc", "<ABC>"},
        {"not found", string("zz", "P", false, false), "abc", "abc"},
        {"empty old string", string("", "P", false, false), "abc", "abc"},
        {"dollar in the name", string("$", "S", true, false), "a$b", "a<S>b"},
        {"selected length from head", length(1, 2, Direction::FromHead, "abcd", "X"), "abcdef", "a<X>def"},
        {"selected length from end", length(1, 2, Direction::FromEnd, "abcd", "X"), "zzabcd", "zza<X>d"},
        {"empty selection inserts", length(2, 0, Direction::FromHead, "abcd", "X"), "abcd", "ab<X>cd"},
        {"whole characters", length(1, 1, Direction::FromHead, "a" + kanji, "X"), "a" + kanji, "a<X>" + kanji},
    };
    for (const Row &row : rows)
        EXPECT_EQ(apply(EditKind::Replapart, row), row.expected) << row.label;
}

TEST(InsertRules, PositionAndString)
{
    auto at = [](std::function<void(EditRequest &)> more) {
        return [=](EditRequest &r) { more(r); };
    };
    auto toString = [](Placement p, std::string e, std::string f, std::string t) {
        return [=](EditRequest &r) {
            r.insertMode = InsertMode::ToString;
            r.placement = p;
            r.existingString = e;
            r.secondString = f;
            r.insertText = t;
        };
    };
    const Row rows[] = {
        {"nothing ticked", at([](EditRequest &) {}), "name", "name"},
        {"cursor first, then head and end", at([](EditRequest &r) {
             r.atHead = r.atEnd = r.atCursor = true;
             r.headText = "x"; r.endText = "y"; r.cursorText = "z"; r.cursorPosition = 1; r.sampleName = "name";
         }), "name", "<x><z>name<y>"},
        {"cursor in the middle", at([](EditRequest &r) { r.atCursor = true; r.cursorText = "-"; r.cursorPosition = 3; }), "abcd", "ab<->cd"},
        {"cursor from end", at([](EditRequest &r) {
             r.atCursor = true; r.cursorText = "-"; r.cursorPosition = 3; r.cursorDirection = Direction::FromEnd; r.sampleName = "abcd";
         }), "xyzabcd", "xyzab<->cd"},
        {"cursor before the start", at([](EditRequest &r) {
             r.atCursor = true; r.cursorText = "-"; r.cursorPosition = 1; r.cursorDirection = Direction::FromEnd; r.sampleName = "abcdef";
         }), "ab", "<->ab"},
        {"cursor beyond the end", at([](EditRequest &r) { r.atCursor = true; r.cursorText = "-"; r.cursorPosition = 9; }), "ab", "ab<->"},
        {"cursor inside a character", at([](EditRequest &r) { r.atCursor = true; r.cursorText = "-"; r.cursorPosition = 3; }), kanji, "<->" + kanji},
        {"before", toString(Placement::BeforeExisting, "a", "", "T"), "a-a", "<T>a-<T>a"},
        {"behind", toString(Placement::BehindExisting, "a", "", "T"), "a-a", "a<T>-a<T>"},
        {"between adjacent only", toString(Placement::BetweenTwo, "a", "b", "T"), "ab-a-b", "a<T>b-a-b"},
        {"case-sensitive", toString(Placement::BeforeExisting, "A", "", "T"), "a", "a"},
        {"empty existing string", toString(Placement::BeforeExisting, "", "", "T"), "a", "a"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(apply(EditKind::Addnewnum, row), row.expected) << row.label;
}

TEST(CaseRules, LowerAndCapitalizeEveryWord)
{
    EXPECT_EQ(NameRules::lowerCase("  MY FILE.TXT", true), "My file.txt");
    EXPECT_EQ(NameRules::lowerCase("  MY FILE", false), "  my file");
    EXPECT_EQ(NameRules::lowerCase("\x01\t1ABC", true), "1abc");
    EXPECT_EQ(NameRules::lowerCase("\xc3\x89T\xc3\x89", true), "\xc3\x89t\xc3\x89"); // non-ASCII keeps its case

    const struct {
        const char *name;
        bool exclude;
        const char *expected;
    } rows[] = {
        {"my file.txt", true, "My File.Txt"},
        {"HELLO world", true, "HELLO World"},
        {"gone with the wind", true, "Gone With the Wind"},
        {"gone with the wind", false, "Gone With The Wind"},
        {"x-ray and y", true, "X-ray And y"},
        {"-abc", true, "-abc"},
        {"a -bc", true, "A -Bc"},
        {"caf\xc3\xa9xy", true, "Caf\xc3\xa9Xy"},
        {"a tale of a city", true, "A Tale of a City"},
        {"x", true, "X"},
        {"", true, ""},
        {"ab cd", true, "Ab Cd"}, // the last byte is never examined: 'd' stays
        {"ab c", true, "Ab c"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(NameRules::capitalizeEveryWord(row.name, row.exclude), row.expected) << row.name;
}

} // namespace
} // namespace renomiq
