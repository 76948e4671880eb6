#include "platform/host_file_system.h"

#include "platform/host_io.h"
#include "support/bounded_call.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace renomiq {
namespace {

using test::TestDir;

class HostFileSystemTest : public ::testing::Test {
protected:
    TestDir dir;
    HostFileSystem fs{dir.drives()};

    std::map<std::string, DirEntry> listing(const std::string &folder)
    {
        std::map<std::string, DirEntry> entries;
        Status status = fs.enumerate(TestDir::win(folder), [&](const DirEntry &e) {
            entries[e.name] = e;
            return true;
        });
        EXPECT_TRUE(status.ok()) << status.error().message;
        return entries;
    }
};

TEST_F(HostFileSystemTest, EnumerationReportsAttributesSizesAndTimes)
{
    dir.createFiles({"sub/", ".hidden", "plain.txt", "ro.txt", "bad\xff\xfename"});
    dir.writeFile("plain.txt", "12345");
    ::chmod(dir.host("ro.txt").c_str(), 0444);
    const struct timeval times[2] = {{1178000000, 0}, {1178000000, 0}};
    ::utimes(dir.host("plain.txt").c_str(), times);
    // A sparse file beyond 4 GiB needs the 64-bit size.
    const int fd = ::open(dir.host("big.bin").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 5LL * 1024 * 1024 * 1024 + 7), 0);
    ::close(fd);

    auto entries = listing("");
    const struct {
        const char *name;
        bool isDirectory;
        std::uint32_t attributes;
        std::uint64_t size;
    } rows[] = {
        {"sub", true, AttrDirectory, 0},
        {".hidden", false, AttrArchive | AttrHidden, 0},
        {"plain.txt", false, AttrArchive, 5},
        {"ro.txt", false, AttrArchive | AttrReadOnly, 0},
        {"bad\xff\xfename", false, AttrArchive, 0},
        {"big.bin", false, AttrArchive, 5368709127ull},
    };
    for (const auto &row : rows) {
        ASSERT_TRUE(entries.count(row.name)) << row.name;
        const DirEntry &e = entries[row.name];
        EXPECT_EQ(e.isDirectory, row.isDirectory) << row.name;
        EXPECT_EQ(e.attributes, row.attributes) << row.name;
        EXPECT_EQ(e.size, row.size) << row.name;
    }
    EXPECT_EQ(entries.size(), std::size(rows) + 2); // and the config and data homes
    EXPECT_EQ(entries["plain.txt"].lastWriteTime, 1178000000);
}

TEST_F(HostFileSystemTest, LinksToFoldersAreFoldersAndBackslashNamesAreSkipped)
{
    dir.createFiles({"a\\b.txt", "target/inner.txt", "file.txt"});
    ASSERT_EQ(::symlink(dir.host("target").c_str(), dir.host("link").c_str()), 0);
    ASSERT_EQ(::symlink("file.txt", dir.host("filelink").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", dir.host("dangling").c_str()), 0);
    ASSERT_EQ(::symlink(".", dir.host("loop").c_str()), 0);
    auto entries = listing("");
    std::map<std::string, std::pair<bool, bool>> names; // name: isDirectory, isLink
    std::vector<std::pair<std::string, std::string>> unreachable;
    ASSERT_TRUE(fs.enumerateNames(
        TestDir::win(""),
        [&](const FileSystem::NameEntry &e) {
            names[e.name] = {e.isDirectory, e.isLink};
            return true;
        },
        [&](const std::string &name, const std::string &reason) { unreachable.emplace_back(name, reason); }));
    const struct {
        const char *name;
        bool isDirectory, isLink;
        std::uint32_t attributes;
    } rows[] = {
        {"target", true, false, AttrDirectory},
        {"link", true, true, AttrDirectory | AttrReparsePoint},
        {"loop", true, true, AttrDirectory | AttrReparsePoint},
        {"filelink", false, true, AttrArchive | AttrReparsePoint},
        {"dangling", false, true, AttrArchive | AttrReparsePoint},
        {"file.txt", false, false, AttrArchive},
    };
    for (const auto &row : rows) {
        ASSERT_TRUE(entries.count(row.name)) << row.name;
        EXPECT_EQ(entries[row.name].isDirectory, row.isDirectory) << row.name;
        EXPECT_EQ(entries[row.name].isLink, row.isLink) << row.name;
        EXPECT_EQ(entries[row.name].attributes, row.attributes) << row.name;
        EXPECT_EQ(names[row.name], std::make_pair(row.isDirectory, row.isLink)) << row.name;
    }
    EXPECT_FALSE(entries.count("a\\b.txt"));
    EXPECT_FALSE(names.count("a\\b.txt"));
    EXPECT_EQ(unreachable, (std::vector<std::pair<std::string, std::string>>{
                               {"a\\b.txt", "the name holds '\\', which a Windows-style path cannot hold"}}));
    // The backslash name is never touched.
    EXPECT_TRUE(dir.exists("a\\b.txt"));

    // Renaming a link renames the link only.
    EXPECT_TRUE(fs.rename(TestDir::win("link"), TestDir::win("renamed")).ok());
    EXPECT_TRUE(fs.folderExists(TestDir::win("renamed")));
    EXPECT_TRUE(dir.exists("target/inner.txt"));
    char buffer[512] = {};
    ASSERT_GT(::readlink(dir.host("renamed").c_str(), buffer, sizeof buffer - 1), 0);
    EXPECT_EQ(std::string(buffer), dir.host("target"));
}

TEST_F(HostFileSystemTest, EnumerationGivesNamesInOrder)
{
    // Upper-case mapping, ties by the bytes; a byte outside UTF-8 comes last.
    dir.createFiles({"L/b", "L/A", "L/a", "L/_x", "L/Z", "L/10", "L/9", "L/\xc3\xa9" "a", "L/\xc3\x89" "b", "L/e",
                     "L/\xff", "L/sub/"});
    const std::vector<std::string> expected{"10", "9", "A", "a", "b", "e", "sub", "Z", "_x", "\xc3\xa9" "a",
                                            "\xc3\x89" "b", "\xff"};
    using Order = FileSystem::EntryOrder;
    const struct {
        Order order;
        std::size_t limit; // entries visited before the walk stops
    } rows[] = {
        {Order::Sorted, 100}, {Order::SortedAsVisited, 100}, {Order::Sorted, 4},
        {Order::SortedAsVisited, 4}, {Order::SortedAsVisited, 1}, {Order::Unsorted, 100},
    };
    for (const auto &row : rows) {
        std::vector<std::string> full, names;
        EXPECT_TRUE(fs.enumerate(
            TestDir::win("L"),
            [&](const DirEntry &e) {
                full.push_back(e.name);
                return full.size() < row.limit;
            },
            row.order));
        EXPECT_TRUE(fs.enumerateNames(
            TestDir::win("L"),
            [&](const FileSystem::NameEntry &e) {
                names.push_back(e.name);
                return names.size() < row.limit;
            },
            {}, row.order));
        const std::string what = "order " + std::to_string(static_cast<int>(row.order)) + ", limit "
            + std::to_string(row.limit);
        if (row.order == Order::Unsorted) {
            // Every entry, in whatever order the host keeps them.
            EXPECT_TRUE(std::is_permutation(full.begin(), full.end(), expected.begin(), expected.end())) << what;
            EXPECT_TRUE(std::is_permutation(names.begin(), names.end(), expected.begin(), expected.end())) << what;
            continue;
        }
        const std::vector<std::string> first(expected.begin(),
                                             expected.begin() + static_cast<std::ptrdiff_t>(
                                                 std::min(row.limit, expected.size())));
        EXPECT_EQ(full, first) << what;
        EXPECT_EQ(names, first) << what;
    }
}

TEST_F(HostFileSystemTest, EnumerationStopsWhenVisitSaysSoAndFailsOnMissingFolder)
{
    dir.createFiles({"a", "b", "c"});
    int seen = 0;
    EXPECT_TRUE(fs.enumerate(TestDir::win(""), [&](const DirEntry &) { return ++seen < 2; }).ok());
    EXPECT_EQ(seen, 2);
    Status missing = fs.enumerate(TestDir::win("nope"), [](const DirEntry &) { return true; });
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code, ENOENT);
}

TEST_F(HostFileSystemTest, ExistenceTests)
{
    dir.createFiles({"f.txt", "Photos.2009/"});
    ASSERT_EQ(::symlink("nowhere", dir.host("dangling").c_str()), 0);
    const struct {
        const char *path;
        bool file, folder, any;
    } rows[] = {
        {"f.txt", true, false, true},
        {"Photos.2009", false, true, true},
        {"missing", false, false, false},
        {"dangling", true, false, true},
    };
    for (const auto &row : rows) {
        const std::string path = TestDir::win(row.path);
        EXPECT_EQ(fs.fileExists(path), row.file) << row.path;
        EXPECT_EQ(fs.folderExists(path), row.folder) << row.path;
        EXPECT_EQ(fs.exists(path), row.any) << row.path;
    }
    EXPECT_FALSE(fs.exists("Q:\\f.txt"));
}

class RenameTest : public HostFileSystemTest, public ::testing::WithParamInterface<bool> {
protected:
    RenameTest() : fs2(dir.drives(), HostFileSystem::Options{GetParam()}) {}
    HostFileSystem fs2;
};

TEST_P(RenameTest, RenamesFilesAndFolders)
{
    dir.createFiles({"a.txt", "folder/x"});
    dir.writeFile("a.txt", "A");
    EXPECT_TRUE(fs2.rename(TestDir::win("a.txt"), TestDir::win("b.txt")).ok());
    EXPECT_TRUE(fs2.rename(TestDir::win("folder"), TestDir::win("renamed")).ok());
    EXPECT_EQ(dir.readFile("b.txt"), "A");
    EXPECT_FALSE(dir.exists("a.txt"));
    EXPECT_TRUE(dir.exists("renamed/x"));
    EXPECT_FALSE(dir.exists("folder"));
}

TEST_P(RenameTest, ClashFailsAndBothItemsSurvive)
{
    dir.createFiles({"one.txt", "two.txt", "d1/x", "d2/y", "empty/"});
    dir.writeFile("one.txt", "1");
    dir.writeFile("two.txt", "2");
    const struct {
        const char *from, *to;
    } rows[] = {
        {"one.txt", "two.txt"},
        {"one.txt", "d1"},
        {"d1", "d2"},
        {"d1", "empty"},
        {"d1", "one.txt"},
    };
    for (const auto &row : rows) {
        Status status = fs2.rename(TestDir::win(row.from), TestDir::win(row.to));
        EXPECT_FALSE(status.ok()) << row.from << " -> " << row.to;
        EXPECT_EQ(status.error().code, EEXIST) << row.from << " -> " << row.to;
    }
    EXPECT_EQ(dir.readFile("one.txt"), "1");
    EXPECT_EQ(dir.readFile("two.txt"), "2");
    EXPECT_TRUE(dir.exists("d1/x"));
    EXPECT_TRUE(dir.exists("d2/y"));
    EXPECT_EQ(dir.list("empty").size(), 0u);
}

TEST_P(RenameTest, CaseOnlyChangeOfTwoLinkedNamesNeverLosesEither)
{
    // On a case-sensitive file system "a" and "A" may be two links to one file:
    // a case change of one onto the other is a clash, not the item itself.
    dir.createFiles({"a"});
    ASSERT_EQ(::link(dir.host("a").c_str(), dir.host("A").c_str()), 0);
    EXPECT_FALSE(fs2.rename(TestDir::win("a"), TestDir::win("A")).ok());
    EXPECT_TRUE(dir.exists("a"));
    EXPECT_TRUE(dir.exists("A"));
    EXPECT_EQ(dir.list().size(), 2u); // no temporary name left behind
}

TEST_P(RenameTest, OnlyNewNamesThisFileSystemOrAPathCannotHoldAreRefused)
{
    dir.createFiles({"a.txt", "d/"});
    const struct {
        std::string newName;
        bool renamed;
    } rows[] = {
        {"Meeting 10:30.txt", true}, {"Who?.mp3", true}, {"x*", true}, {"x\"", true}, {"x<>", true}, {"x|", true},
        {"x/y", false}, {"d/x", false}, {std::string("x\0y", 3), false},
    };
    for (const auto &row : rows) {
        Status status = fs2.rename(TestDir::win("a.txt"), "T:\\" + row.newName);
        EXPECT_EQ(status.ok(), row.renamed) << row.newName;
        if (row.renamed) {
            EXPECT_TRUE(dir.exists(row.newName)) << row.newName;
            EXPECT_FALSE(dir.exists("a.txt")) << row.newName;
            ASSERT_TRUE(fs2.rename("T:\\" + row.newName, TestDir::win("a.txt")).ok()) << row.newName;
        } else {
            EXPECT_EQ(status.error().code, EINVAL) << row.newName;
            EXPECT_EQ(dir.list(), (std::vector<std::string>{"a.txt", "d"})) << row.newName;
        }
    }
    // A NUL would cut the name short: an undo cannot give it either.
    EXPECT_FALSE(fs2.renameBack(TestDir::win("a.txt"), "T:\\" + std::string("x\0y", 3)).ok());
    EXPECT_EQ(dir.list(), (std::vector<std::string>{"a.txt", "d"}));
}

TEST_P(RenameTest, AHeldFolderIsReachedThroughItsHandleNeverThroughALinkAtItsPath)
{
    dir.createFiles({"t/sub/a.txt", "t/sub/b.txt", "t/sub/C.txt", "t/next/", "outside/a.txt", "outside/b.txt",
                     "outside/c.txt"});
    {
        const FolderHold top(fs2, TestDir::win("t"));
        ASSERT_TRUE(top.status().ok());
        const FolderHold sub(fs2, TestDir::win("t/sub"));
        ASSERT_TRUE(sub.status().ok());
        // Swapped for a link to a folder outside once held.
        ASSERT_EQ(::rename(dir.host("t/sub").c_str(), dir.host("away").c_str()), 0);
        ASSERT_EQ(::symlink(dir.host("outside").c_str(), dir.host("t/sub").c_str()), 0);
        EXPECT_TRUE(fs2.rename(TestDir::win("t/sub/a.txt"), TestDir::win("t/sub/x.txt")).ok());
        EXPECT_TRUE(fs2.fileExists(TestDir::win("t/sub/b.txt")));
        EXPECT_FALSE(fs2.fileExists(TestDir::win("t/sub/c.txt")));
        // A change of case through the held folder (a clash here: "C.txt" is no "c.txt").
        EXPECT_FALSE(fs2.rename(TestDir::win("t/sub/b.txt"), TestDir::win("t/sub/C.txt")).ok());
        std::vector<std::string> listed;
        ASSERT_TRUE(fs2.enumerateNames(TestDir::win("t/sub"), [&](const FileSystem::NameEntry &entry) {
                           listed.push_back(entry.name);
                           return true;
                       }).ok());
        EXPECT_EQ(listed, (std::vector<std::string>{"b.txt", "C.txt", "x.txt"}));
        // A link where a folder was, inside a held folder, is never held.
        ::rmdir(dir.host("t/next").c_str());
        ASSERT_EQ(::symlink(dir.host("outside").c_str(), dir.host("t/next").c_str()), 0);
        const FolderHold next(fs2, TestDir::win("t/next"));
        ASSERT_FALSE(next.status().ok());
        EXPECT_EQ(next.status().error().code, ELOOP);
    }
    EXPECT_EQ(dir.list("outside"), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(dir.list("away"), (std::vector<std::string>{"C.txt", "b.txt", "x.txt"}));
    // Released: the path is the path again.
    EXPECT_TRUE(fs2.fileExists(TestDir::win("t/sub/c.txt")));
}

TEST_P(RenameTest, MissingSourceFails)
{
    Status status = fs2.rename(TestDir::win("nothing"), TestDir::win("else"));
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.error().code, ENOENT);
    EXPECT_FALSE(dir.exists("else"));
}

INSTANTIATE_TEST_SUITE_P(NoReplaceAndFallback, RenameTest, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "Fallback" : "NoReplace"; });

TEST_F(HostFileSystemTest, CaseOnlyRenameOnCaseSensitiveFileSystem)
{
    dir.createFiles({"photo.JPG"});
    EXPECT_TRUE(fs.rename(TestDir::win("photo.JPG"), TestDir::win("photo.jpg")).ok());
    EXPECT_EQ(dir.list(), std::vector<std::string>{"photo.jpg"});
}

TEST_F(HostFileSystemTest, ANewNameWithAControlCharacterIsRefusedButAnUndoMayGiveItBack)
{
    const struct {
        std::string name;
        bool renamed;
    } rows[] = {
        {"a\tb", false}, {"a\x01", false}, {"\x1f", false}, {"a\rb", false}, {"a\x1b[0m", false},
        {"a\x7f", true}, {"caf\xc3\xa9", true},
    };
    for (const auto &row : rows) {
        dir.createFiles({"c/x.txt"});
        const Status status = fs.rename(TestDir::win("c/x.txt"), TestDir::win("c/" + row.name));
        EXPECT_EQ(status.ok(), row.renamed) << row.name;
        EXPECT_EQ(dir.list("c"), std::vector<std::string>{row.renamed ? row.name : "x.txt"}) << row.name;
        if (!row.renamed) {
            EXPECT_TRUE(fs.renameBack(TestDir::win("c/x.txt"), TestDir::win("c/" + row.name)).ok()) << row.name;
            EXPECT_EQ(dir.list("c"), std::vector<std::string>{row.name});
        }
        ::unlink(dir.host("c/" + row.name).c_str());
    }
}

TEST_F(HostFileSystemTest, ReadOnlyAttributeMapsToWriteBits)
{
    dir.createFiles({"f"});
    ::chmod(dir.host("f").c_str(), 0664);
    ASSERT_TRUE(fs.setAttributes(TestDir::win("f"), AttrReadOnly | AttrArchive).ok());
    struct stat st {};
    ::stat(dir.host("f").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    EXPECT_TRUE(fs.lookUp(TestDir::win("f"))->attributes & AttrReadOnly);

    ASSERT_TRUE(fs.setAttributes(TestDir::win("f"), AttrArchive).ok());
    ::stat(dir.host("f").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    EXPECT_FALSE(fs.setAttributes(TestDir::win("missing"), 0).ok());
}

TEST_F(HostFileSystemTest, DeleteCreateAndLookUp)
{
    dir.createFiles({"f"});
    EXPECT_TRUE(fs.removeFile(TestDir::win("f")).ok());
    EXPECT_FALSE(dir.exists("f"));
    EXPECT_FALSE(fs.removeFile(TestDir::win("f")).ok());
    EXPECT_TRUE(fs.createFolder(TestDir::win("new")).ok());
    EXPECT_FALSE(fs.createFolder(TestDir::win("new")).ok());
    auto entry = fs.lookUp(TestDir::win("new"));
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->name, "new");
    EXPECT_TRUE(entry->isDirectory);
    EXPECT_FALSE(fs.lookUp(TestDir::win("gone")).has_value());
}

TEST_F(HostFileSystemTest, AtomicWriteReplacesAndAFailedWriteLeavesNoTrace)
{
    const std::string file = TestDir::win("log.txt");
    ASSERT_TRUE(fs.writeFileAtomic(file, "first\r\n").ok());
    ASSERT_TRUE(fs.writeFileAtomic(file, "second\r\n").ok());
    EXPECT_EQ(fs.readFile(file, 100).value(), "second\r\n");

    // A folder stands where the file should go: the write fails, the folder
    // and its content stay, and no temporary file is left.
    dir.createFiles({"taken/inner"});
    EXPECT_FALSE(fs.writeFileAtomic(TestDir::win("taken"), "x").ok());
    EXPECT_TRUE(dir.exists("taken/inner"));
    EXPECT_EQ(dir.list(), (std::vector<std::string>{"log.txt", "taken"}));
    EXPECT_FALSE(fs.readFile(TestDir::win("none"), 100).ok());
}

TEST_F(HostFileSystemTest, OnlyARegularFileWithinItsBoundIsReadAndNothingBlocks)
{
    dir.writeFile("three.txt", "abc");
    dir.writeFile("four.txt", "abcd");
    dir.createFiles({"folder/"});
    ASSERT_EQ(::mkfifo(dir.host("fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink(dir.host("three.txt").c_str(), dir.host("to-three").c_str()), 0);
    ASSERT_EQ(::symlink(dir.host("fifo").c_str(), dir.host("to-fifo").c_str()), 0);
    ASSERT_EQ(::symlink("/dev/zero", dir.host("to-zero").c_str()), 0);
    struct Row {
        const char *name;
        int code; // 0: read
        const char *result; // the content, or the end of the message after the quoted path
    };
    const Row rows[] = {
        {"three.txt", 0, "abc"},
        {"to-three", 0, "abc"},
        {"four.txt", EFBIG, ": it is larger than 3 bytes"},
        {"fifo", EINVAL, ": it is not a regular file"},
        {"to-fifo", EINVAL, ": it is not a regular file"},
        {"to-zero", EINVAL, ": it is not a regular file"},
        {"folder", EINVAL, ": it is not a regular file"},
        {"none", ENOENT, ": No such file or directory"},
    };
    for (const Row &row : rows) {
        const std::string host = dir.host(row.name);
        std::optional<Result<std::string>> read;
        std::optional<Result<std::string>> readThrough;
        ASSERT_TRUE(test::endsWithin(
            std::chrono::seconds(20),
            [&] {
                read = readHostFile(host, 3);
                readThrough = fs.readFile(TestDir::win(row.name), 3);
            },
            dir.host("fifo")))
            << row.name;
        for (const Result<std::string> &r : {*read, *readThrough}) {
            if (row.code == 0) {
                ASSERT_TRUE(r.ok()) << row.name << ": " << r.error().message;
                EXPECT_EQ(*r, row.result) << row.name;
            } else {
                ASSERT_FALSE(r.ok()) << row.name;
                EXPECT_EQ(r.error().code, row.code) << row.name;
                const std::string action = row.code == ENOENT ? "Cannot open '" : "Cannot read '";
                EXPECT_EQ(r.error().message, action + host + "'" + row.result) << row.name;
            }
        }
    }
    // The bound in the message as the user reads it.
    dir.writeFile("big", std::string((std::size_t{1} << 20) + 1, 'x'));
    EXPECT_EQ(readHostFile(dir.host("big"), std::size_t{1} << 20).error().message,
              "Cannot read '" + dir.host("big") + "': it is larger than 1 MiB");
}

TEST_F(HostFileSystemTest, AWriteTakesAwayOnlyTheLeftoversOfKilledWritesOfTheSameFile)
{
    dir.createFiles({"out/names.txt.tmp-a1B2c3", "out/names.txt.tmp-held00", "out/names.txt.tmp-short",
                     "out/names.txt.tmp-a1B2c3d", "out/other.txt.tmp-a1B2c3", "out/names.txt.tmp-dir001/",
                     "out/names.txt.tmp-ab_123", "out/linked"});
    ASSERT_EQ(::link(dir.host("out/linked").c_str(), dir.host("out/names.txt.tmp-link01").c_str()), 0);
    // A live writer holds its temporary file.
    const int held = ::open(dir.host("out/names.txt.tmp-held00").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ASSERT_TRUE(fs.writeFileAtomic(TestDir::win("out/names.txt"), "a\r\n").ok());
    ::close(held);
    EXPECT_EQ(dir.list("out"),
              (std::vector<std::string>{"linked", "names.txt", "names.txt.tmp-a1B2c3d", "names.txt.tmp-ab_123",
                                        "names.txt.tmp-dir001", "names.txt.tmp-held00", "names.txt.tmp-link01",
                                        "names.txt.tmp-short", "other.txt.tmp-a1B2c3"}));
    EXPECT_EQ(dir.readFile("out/names.txt"), "a\r\n");
}

TEST_F(HostFileSystemTest, PathConversionAtTheBoundary)
{
    EXPECT_EQ(fs.toHostPath(TestDir::win("a\\b")).value_or(""), dir.host("a/b"));
    EXPECT_EQ(fs.fromHostPath(dir.host("a/b")).value_or(""), "T:\\a\\b");
}

TEST_F(HostFileSystemTest, LocalTimeFollowsTheTimeZone)
{
    const char *saved = std::getenv("TZ");
    const std::string old = saved ? saved : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    const CalendarTime utc = fs.toLocalTime(1178000000); // 2007-05-01 06:13:20 UTC
    ::setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1);
    ::tzset();
    const CalendarTime ny = fs.toLocalTime(1178000000);
    if (saved)
        ::setenv("TZ", old.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
    EXPECT_EQ((std::array<int, 6>{utc.year, utc.month, utc.day, utc.hour, utc.minute, utc.second}),
              (std::array<int, 6>{2007, 5, 1, 6, 13, 20}));
    EXPECT_EQ(ny.day, 1);
    EXPECT_EQ(ny.hour, 2);
}

} // namespace
} // namespace renomiq

namespace renomiq {
namespace {

TEST_F(HostFileSystemTest, JournalSurvivesItsOwnerAndTakesBackAcrossWindowEdges)
{
    // A small window, so that records cross its edges often.
    HostFileSystem small(dir.drives(), HostFileSystem::Options{false, 4096});
    std::string expected;
    {
        auto made = small.createJournal(TestDir::win(""));
        ASSERT_TRUE(made.ok()) << made.error().message;
        Journal &journal = *made.value();
        EXPECT_TRUE(small.abandonedJournals(TestDir::win("")).empty()); // held by its owner
        // Each row: a record appended, then taken back down to `keep` bytes of it.
        const struct {
            std::size_t length;
            std::size_t keep;
        } rows[] = {{1000, 1000}, {3000, 3000}, {200, 0}, {5000, 0}, {100, 100}, {9000, 0}, {4000, 0}, {50, 50}};
        char fill = 'a';
        for (const auto &row : rows) {
            const std::size_t start = journal.size();
            const std::string record(row.length, fill++);
            ASSERT_TRUE(journal.append(record).ok());
            journal.truncate(start + row.keep);
            expected += record.substr(0, row.keep);
            ASSERT_EQ(journal.size(), expected.size());
        }
        // The owner goes without discarding: as if it had been killed.
    }
    auto left = small.abandonedJournals(TestDir::win(""));
    ASSERT_EQ(left.size(), 1u);
    std::string content;
    ASSERT_TRUE(left[0]->read([&](std::string_view piece) {
        content.append(piece);
        return true;
    }));
    content.resize(std::min(content.size(), content.find('\0')));
    EXPECT_EQ(content.size(), expected.size());
    EXPECT_TRUE(content == expected);
    EXPECT_EQ(small.abandonedJournals(TestDir::win("")).size(), 0u); // claimed by `left`
    ASSERT_TRUE(left[0]->saveAs(TestDir::win("saved.rbk"), 1000).ok());
    EXPECT_EQ(dir.readFile("saved.rbk"), std::string(1000, 'a'));
    ASSERT_TRUE(left[0]->remove().ok());
    left.clear();
    EXPECT_EQ(dir.list(), (std::vector<std::string>{"saved.rbk"}));

    auto made = fs.createJournal(TestDir::win(""));
    ASSERT_TRUE(made.ok());
    ASSERT_TRUE(made.value()->append("a\r\nb\r\n").ok());
    ASSERT_TRUE(made.value()->commitAs(TestDir::win("log.rbk")).ok());
    EXPECT_EQ(dir.readFile("log.rbk"), "a\r\nb\r\n");
    struct stat st {};
    ::stat(dir.host("log.rbk").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0222, 0u);
    EXPECT_EQ(dir.list(), (std::vector<std::string>{"log.rbk", "saved.rbk"}));
}

} // namespace
} // namespace renomiq

namespace renomiq {
namespace {

TEST_F(HostFileSystemTest, LookUpsFollowFoldersRenamedMeanwhile)
{
    dir.createFiles({"d/a", "d/sub/b"});
    EXPECT_TRUE(fs.exists(TestDir::win("d/a")));
    EXPECT_TRUE(fs.folderExists(TestDir::win("d/sub")));
    ASSERT_TRUE(fs.rename(TestDir::win("d"), TestDir::win("e")).ok());
    EXPECT_FALSE(fs.exists(TestDir::win("d/a")));
    EXPECT_TRUE(fs.fileExists(TestDir::win("e/a")));
    EXPECT_FALSE(fs.rename(TestDir::win("d/a"), TestDir::win("d/c")).ok());
    EXPECT_TRUE(fs.rename(TestDir::win("e/a"), TestDir::win("e/c")).ok());
    EXPECT_TRUE(fs.exists(TestDir::win("e/c")));
    EXPECT_TRUE(fs.folderExists("T:\\"));
    EXPECT_TRUE(fs.folderExists("C:\\"));
}

} // namespace
} // namespace renomiq
