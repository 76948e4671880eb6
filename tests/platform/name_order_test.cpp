#include "platform/name_order.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace renomiq
