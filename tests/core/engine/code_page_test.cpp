#include "engine/code_page.h"
#include "engine/text_rules.h"

#include <cstring>
#include <gtest/gtest.h>

namespace renomiq {
namespace {

const CodePage utf8(CodePage::Utf8);
const CodePage singleByte(CodePage::SingleByte);

std::string types(const CodePage &cp, const std::string &text)
{
    std::string out;
    for (std::ptrdiff_t p = 1; p <= static_cast<std::ptrdiff_t>(text.size()); ++p) {
        const ByteType t = cp.byteType(text, p);
        out += t == ByteType::Single ? 'S' : t == ByteType::Lead ? 'L' : 'T';
    }
    return out;
}

TEST(CodePage, ByteTypes)
{
    const struct {
        const char *text;
        const char *utf8Types;
    } rows[] = {
        {"ab", "SS"},
        {"caf\xc3\xa9", "SSSLT"},                     // café
        {"\xe5\x86\x99\xe7\x9c\x9f", "LTTLTT"},       // 写真
        {"a\xf0\x9f\x98\x80z", "SLTTTS"},             // emoji
        {"\xff\xc3", "SS"},                           // not UTF-8: single bytes
        {"\xe5\x86z", "SSS"},                         // a cut-off sequence
        {"\xc0\xaf", "SS"},                           // overlong form
        {"\xed\xa0\x80", "SSS"},                      // surrogate
    };
    for (const auto &row : rows) {
        EXPECT_EQ(types(utf8, row.text), row.utf8Types) << row.text;
        EXPECT_EQ(types(singleByte, row.text), std::string(std::strlen(row.text), 'S')) << row.text;
        std::string fromVector;
        for (ByteType t : utf8.byteTypes(row.text))
            fromVector += t == ByteType::Single ? 'S' : t == ByteType::Lead ? 'L' : 'T';
        EXPECT_EQ(fromVector, row.utf8Types) << row.text;
    }
    EXPECT_EQ(utf8.byteType("ab", 0), ByteType::Single);
    EXPECT_EQ(utf8.byteType("ab", 3), ByteType::Single);
}

TEST(CodePage, CharacterBoundariesAndCounts)
{
    const std::string text = "a\xe5\x86\x99z"; // a写z
    const struct {
        std::ptrdiff_t pos, start, end;
    } rows[] = {{0, 0, 0}, {1, 1, 1}, {2, 2, 4}, {3, 2, 4}, {4, 2, 4}, {5, 5, 5}, {6, 6, 6}};
    for (const auto &row : rows) {
        EXPECT_EQ(utf8.charStart(text, row.pos), row.start) << row.pos;
        EXPECT_EQ(utf8.charEnd(text, row.pos), row.end) << row.pos;
        EXPECT_EQ(singleByte.charStart(text, row.pos), row.pos);
        EXPECT_EQ(singleByte.charEnd(text, row.pos), row.pos);
    }
    EXPECT_EQ(utf8.characterCount(text), 3u);
    EXPECT_EQ(utf8.characterCount("\xff\xfe"), 2u);
    EXPECT_EQ(singleByte.characterCount(text), 5u);
}

TEST(CodePage, CaseInsensitiveSearchFindsTheStretchInTheText)
{
    const struct {
        const char *text, *needle;
        std::size_t offset, length; // npos: not found
    } rows[] = {
        {"img_IMG", "IMG", 0, 3},
        {"x\xc3\x89t\xc3\xa9", "\xc3\xa9T\xc3\x89", 1, 5}, // xÉté / éTÉ
        {"\xd0\x9f\xd1\x80\xd0\xb8", "\xd0\xbf\xd0\xa0", 0, 4},   // Cyrillic Пр / пР
        {"abc", "d", std::string::npos, 0},
        {"a\xff", "A\xff", 0, 2},
        {"a\xff", "a\xfe", std::string::npos, 0},
        {"abc", "", std::string::npos, 0},
    };
    for (const auto &row : rows) {
        std::size_t length = 0;
        const std::size_t found = utf8.findIgnoringCase(row.text, row.needle, 0, length);
        EXPECT_EQ(found, row.offset) << row.text << " / " << row.needle;
        if (found != std::string::npos) {
            EXPECT_EQ(length, row.length) << row.text;
        }
    }
    // A single-byte code page folds ASCII letters only.
    std::size_t length = 0;
    EXPECT_EQ(singleByte.findIgnoringCase("x\xc3\x89", "X\xc3\xa9", 0, length), std::string::npos);
    EXPECT_EQ(singleByte.findIgnoringCase("xAb", "aB", 0, length), 1u);
}

TEST(TextRules, CopyRuleAndReplacement)
{
    EXPECT_EQ(bytesFromTo("abcdef", 2, 4), "bcd");
    EXPECT_EQ(bytesFromTo("abcdef", -3, 2), "ab");
    EXPECT_EQ(bytesFromTo("abcdef", 5, 99), "ef");
    EXPECT_EQ(bytesFromTo("abcdef", 4, 3), "");
    EXPECT_EQ(bytesFrom("abc", 4), "");
    EXPECT_EQ(positionOf("c", "abcc"), 3);
    EXPECT_EQ(positionOf("", "abc"), 0);
    EXPECT_EQ(positionOf("x", "abc"), 0);

    const struct {
        const char *text, *from, *to;
        Occurrences occ;
        CaseMatch match;
        const char *expected;
    } rows[] = {
        {"aabb", "ab", "", Occurrences::All, CaseMatch::Sensitive, "ab"},
        {"img_IMG", "IMG", "", Occurrences::All, CaseMatch::Insensitive, "_"},
        {"img_IMG", "IMG", "", Occurrences::FirstOnly, CaseMatch::Insensitive, "_IMG"},
        {"img_IMG", "IMG", "", Occurrences::All, CaseMatch::Sensitive, "img_"},
        {"aaa", "a", "aa", Occurrences::All, CaseMatch::Sensitive, "aaaaaa"},
        {"abc", "", "x", Occurrences::All, CaseMatch::Sensitive, "abc"},
        {"\xc3\x89t\xc3\xa9", "\xc3\xa9", "e", Occurrences::All, CaseMatch::Insensitive, "ete"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(replaceText(row.text, row.from, row.to, row.occ, row.match, utf8), row.expected) << row.text;
}

} // namespace
} // namespace renomiq
