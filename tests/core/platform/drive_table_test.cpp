#include "platform/drive_table.h"

#include <gtest/gtest.h>

namespace renomiq {
namespace {

DriveTable workTable()
{
    DriveTable table;
    EXPECT_TRUE(table.apply("C=/;T=/tmp/work"));
    return table;
}

TEST(DriveTable, WindowsToHost)
{
    const DriveTable table = workTable();
    const struct {
        const char *windows;
        const char *host; // nullptr: no host path
    } rows[] = {
        {"C:\\home\\ann\\a.jpg", "/home/ann/a.jpg"},
        {"C:\\", "/"},
        {"C:", "/"},
        {"c:\\home", "/home"},
        {"T:\\a", "/tmp/work/a"},
        {"t:\\a\\", "/tmp/work/a"},
        {"T:\\", "/tmp/work"},
        {"T:\\a\\\\b", "/tmp/work/a/b"},
        {"T:\\a\\..\\..\\b", "/tmp/work/b"},
        {"D:\\a", nullptr},
        {"relative\\a", nullptr},
        {"C:relative", nullptr},
        {"", nullptr},
    };
    for (const auto &row : rows) {
        auto host = table.toHost(row.windows);
        if (row.host)
            EXPECT_EQ(host.value_or("<none>"), row.host) << row.windows;
        else
            EXPECT_FALSE(host.has_value()) << row.windows;
    }
}

TEST(DriveTable, HostToWindowsUsesLongestPrefix)
{
    const DriveTable table = workTable();
    const struct {
        const char *host;
        const char *windows;
    } rows[] = {
        {"/tmp/work/a", "T:\\a"},
        {"/tmp/work", "T:\\"},
        {"/tmp/work/", "T:\\"},
        {"/tmp/other", "C:\\tmp\\other"},
        {"/tmp/workshop", "C:\\tmp\\workshop"},
        {"/", "C:\\"},
        {"//home//ann/", "C:\\home\\ann"},
        {"/tmp/work/caf\xc3\xa9", "T:\\caf\xc3\xa9"},
        {"/tmp/work/bad\xff", "T:\\bad\xff"},
        {"/tmp/work/back\\slash", nullptr},
        {"relative/a", nullptr},
    };
    for (const auto &row : rows) {
        auto windows = table.toWindows(row.host);
        if (row.windows)
            EXPECT_EQ(windows.value_or("<none>"), row.windows) << row.host;
        else
            EXPECT_FALSE(windows.has_value()) << row.host;
    }
}

TEST(DriveTable, MappingOverridesDefaultAndRejectsMalformed)
{
    DriveTable table;
    EXPECT_TRUE(table.apply("c=/srv;T=/tmp/x;"));
    EXPECT_EQ(table.toHost("C:\\a").value_or(""), "/srv/a");
    EXPECT_EQ(table.toWindows("/etc").has_value(), false);

    DriveTable untouched;
    for (const char *bad : {"C:/x", "CC=/x", "1=/x", "T=relative", "T="}) {
        EXPECT_FALSE(untouched.apply(bad)) << bad;
    }
    EXPECT_EQ(untouched.toHost("C:\\etc").value_or(""), "/etc");
}

} // namespace
} // namespace renomiq
