#include "platform/name_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

namespace renomiq {
namespace {

TEST(NameOrder, ComparesThroughTheUpperCaseMappingThenTheBytes)
{
    const struct {
        const char *a, *b;
        int sign;
    } rows[] = {
        {"a", "A", 1},                  // equal letters: the bytes decide ('A' < 'a')
        {"IMG_0002", "img_0010", -1},   // letters equal, digits decide
        {"ab", "a_b", -1},              // '_' comes after the letters (upper-case mapping)
        {"abc", "ABCD", -1},            // a prefix first
        {"\xc3\xa9", "\xc3\x89", 1},    // é and É: equal letters, bytes decide
        {"\xc3\xa9z", "\xc3\x89" "a", 1}, // é = É, then z > a
        {"z", "\xc3\xa9", -1},          // ASCII before accented letters
        {"\xff", "\xf4\x8f\xbf\xbf", 1}, // a byte outside UTF-8 after every character
        {"\xc4\xb1x", "Iy", -1},      // dotless i is upper-case I, as ASCII I is
        {"same", "same", 0},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(NameOrder::compare(row.a, row.b), row.sign) << row.a << " / " << row.b;
        EXPECT_EQ(NameOrder::compare(row.b, row.a), -row.sign) << row.b << " / " << row.a;
    }
}

TEST(NameOrder, SortsItemsByTheirNames)
{
    std::vector<std::string> names{"b.txt", "B.txt", "a10", "A2", "_", "a1"};
    NameOrder::sort(names);
    EXPECT_EQ(names, (std::vector<std::string>{"a1", "a10", "A2", "B.txt", "b.txt", "_"}));

    struct Row {
        std::string name;
        int id;
    };
    std::vector<Row> rows{{"c", 1}, {"A", 2}, {"b", 3}};
    NameOrder::sort(rows, [](const Row &row) -> const std::string & { return row.name; });
    EXPECT_EQ(rows[0].id, 2);
    EXPECT_EQ(rows[1].id, 3);
    EXPECT_EQ(rows[2].id, 1);
}

// The names visited in order, stopping after limit of them.
std::vector<std::string> visited(const std::vector<std::string> &names, NameOrder::Extent extent, std::size_t limit)
{
    std::vector<std::string> seen;
    NameOrder::visitInOrder(
        names.size(), [&](std::size_t i) { return std::string_view(names[i]); },
        [&](std::size_t i) {
            seen.push_back(names[i]);
            return seen.size() < limit;
        },
        extent);
    return seen;
}

TEST(NameOrder, AWalkThatStopsEarlySeesTheFirstNamesOfTheFullOrder)
{
    // Mixed case, multi-byte letters whose upper case is ASCII or not, a byte
    // outside UTF-8, and names equal but for their bytes.
    const std::vector<std::string> names{"z", "\xff", "b.txt", "\xc3\xa9t\xc3\xa9", "A2", "_", "\xc3\x89T\xc3\x89",
                                         "B.txt", "a1", "\xc4\xb1x", "a10", "Iy"};
    const std::vector<std::string> order{"a1", "a10", "A2", "B.txt", "b.txt", "\xc4\xb1x", "Iy", "z", "_",
                                         "\xc3\x89T\xc3\x89", "\xc3\xa9t\xc3\xa9", "\xff"};
    const struct {
        NameOrder::Extent extent;
        std::size_t limit;
    } rows[] = {
        {NameOrder::Extent::Full, 100},    {NameOrder::Extent::AsVisited, 100}, {NameOrder::Extent::Full, 3},
        {NameOrder::Extent::AsVisited, 3}, {NameOrder::Extent::AsVisited, 1},
    };
    for (const auto &row : rows) {
        const std::size_t n = std::min(row.limit, order.size());
        EXPECT_EQ(visited(names, row.extent, row.limit), std::vector<std::string>(order.begin(), order.begin() + n))
            << "extent " << static_cast<int>(row.extent) << ", limit " << row.limit;
    }
}

TEST(NameOrder, StretchesSortedAsVisitedJoinIntoTheFullOrder)
{
    // 1,500 names whose order is their number: the case of the first letter
    // and of the accented letter alternate, which the order ignores, so the
    // walk must look past them. Shuffled with a fixed seed.
    std::vector<std::string> names;
    for (int i = 0; i < 1500; ++i) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04d", i);
        names.push_back(std::string(i % 2 ? "a" : "A") + (i % 3 ? "\xc3\xa9" : "\xc3\x89") + digits + ".jpg");
    }
    std::vector<std::string> shuffled = names;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(12));
    // The limits fall before, on and after the edges of the stretches.
    for (const std::size_t limit : {1u, 30u, 255u, 256u, 257u, 1000u, 1279u, 1280u, 1281u, 1500u}) {
        for (const auto extent : {NameOrder::Extent::Full, NameOrder::Extent::AsVisited}) {
            EXPECT_EQ(visited(shuffled, extent, limit),
                      std::vector<std::string>(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(limit)))
                << "extent " << static_cast<int>(extent) << ", limit " << limit;
        }
    }
}

TEST(NameOrder, KeysOfAsciiAndOtherNames)
{
    const struct {
        const char *name;
        std::string key;
    } rows[] = {
        {"img_0001.Jpg", "IMG_0001.JPG"},
        {"", ""},
        {"a\xc3\xa9" "b", "A\x80\x01\x49" "B"}, // \u00e9 upper-cased to \u00c9 = 0xC9: 0x80 | 0, 0xC9 >> 7, 0xC9 & 0x7F
        {"\xc4\xb1", "I"},
        {"x\xff", "X\xc4\x01\x7f"}, // 0x110000 + 0xFF = 0x1100FF
    };
    for (const auto &row : rows) {
        std::string out = "prefix:";
        NameOrder::appendKey(out, row.name);
        EXPECT_EQ(out, "prefix:" + row.key) << row.name;
    }
}

} // namespace
} // namespace renomiq
