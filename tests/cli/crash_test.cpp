// Runs of renomiq-cli killed part way, at random moments and at every system
// call that changes something, and runs whose journal cannot grow: every file
// comes back under its first name, none is lost, and an undo never reverses
// the wrong operation.
#include "cli/crash_support.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <sstream>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace renomiq {
namespace {

using test::CliProcess;
using test::TestDir;
using Names = std::set<std::string>;

std::string dataFolderOf(const TestDir &dir)
{
    return dir.dataHome() + "/Corvane/Renomiq";
}

// True when a journal holds a record at byte `offset`: records are written
// just before their renames, so that many bytes of renames have begun.
bool journalReached(const std::string &dataFolder, off_t offset)
{
    for (const std::string &name : test::journalsIn(dataFolder)) {
        const int fd = ::open((dataFolder + "/" + name).c_str(), O_RDONLY);
        char byte = 0;
        const bool reached = fd >= 0 && ::pread(fd, &byte, 1, offset) == 1 && byte != 0;
        if (fd >= 0)
            ::close(fd);
        if (reached)
            return true;
    }
    return false;
}

// Polls `condition` until it holds (true) or 60 seconds have passed (false).
bool waitFor(const std::function<bool()> &condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

bool waitForJournal(const std::string &dataFolder, off_t offset = 0)
{
    return waitFor([&] { return journalReached(dataFolder, offset); });
}

// The state letter of /proc/PID/stat ('T' when stopped), or 0.
char processState(pid_t pid)
{
    const std::string stat = test::readHost("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t paren = stat.rfind(')');
    return paren != std::string::npos && paren + 2 < stat.size() ? stat[paren + 2] : 0;
}

// A file of the data folder whose name begins with `prefix`.
bool dataFileBeginning(const std::string &dataFolder, const std::string &prefix)
{
    for (const std::string &name : test::namesIn(dataFolder)) {
        if (name.rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}

std::vector<std::string> numbered(const char *pattern, int count)
{
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        char name[200];
        std::snprintf(name, sizeof name, pattern, i);
        names.push_back(name);
    }
    return names;
}

// Undoes until the undo log is gone (each undo may leave pairs for the next).
void undoAll(int tries = 3)
{
    for (int i = 0; i < tries; ++i) {
        const int status = test::runToEnd({{"undo", "--yes"}});
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
            continue;
        return;
    }
}

TEST(CrashSafety, AKilledRunIsUndoneCompletelyAlsoWhenRecoveryAndUndoAreKilled)
{
    TestDir dir;
    const std::string folder = dir.host("photos");
    ::mkdir(folder.c_str(), 0755);
    const std::string data = dataFolderOf(dir);

    // The run is killed once its journal holds 64 KiB of records (a few
    // hundred renames begun), far from its end.
    const int files = 40000;
    const std::vector<std::string> names = numbered("IMG_%06d.jpg", files);
    const Names original(names.begin(), names.end());
    test::createFiles(folder, names);
    const pid_t run = test::start({{"Replapart", "oldString=IMG_", "newString=Photo_", folder}});
    ASSERT_GT(run, 0);
    ASSERT_TRUE(waitForJournal(data, 64 << 10)) << "the run kept no journal";
    ::kill(run, SIGKILL);
    const int status = test::finish(run);
    const Names afterKill = test::namesIn(folder);
    ASSERT_EQ(afterKill.size(), original.size()) << "a file was lost";
    int renamed = 0;
    for (const std::string &name : afterKill)
        renamed += name.rfind("Photo_", 0) == 0;
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_GT(renamed, 0);
    ASSERT_LT(renamed, files);

    // Undos killed at points of their way: while the journal is copied into
    // the undo log, once the log is there, and once an item has its first
    // name back. Whatever has passed when the kill lands, nothing is lost.
    std::vector<std::string> renamedFirstNames;
    for (const std::string &name : afterKill) {
        if (name.rfind("Photo_", 0) == 0)
            renamedFirstNames.push_back(folder + "/IMG_" + name.substr(6));
    }
    const auto anyRestored = [&] {
        return std::any_of(renamedFirstNames.begin(), renamedFirstNames.end(),
                           [](const std::string &path) { return ::access(path.c_str(), F_OK) == 0; });
    };
    const std::vector<std::pair<const char *, std::function<bool()>>> points = {
        {"the log being copied", [&] { return dataFileBeginning(data, "rollback.rbk.tmp-"); }},
        {"the log written", [&] { return dir.exists(".data-home/Corvane/Renomiq/rollback.rbk"); }},
        {"an item restored", anyRestored},
    };
    for (const auto &[point, reached] : points) {
        const pid_t undo = test::start({{"undo", "--yes"}});
        int status = 0;
        bool ended = false;
        waitFor([&] { return reached() || (ended = ::waitpid(undo, &status, WNOHANG) == undo); });
        if (!ended) {
            ::kill(undo, SIGKILL);
            ::waitpid(undo, &status, 0);
        }
        ASSERT_EQ(test::namesIn(folder).size(), original.size()) << "a file was lost, undo killed at " << point;
    }
    undoAll();
    EXPECT_EQ(test::namesIn(folder), original) << renamed << " of " << files << " were renamed when killed";
    EXPECT_TRUE(test::journalsIn(data).empty());
    EXPECT_FALSE(dir.exists(".data-home/Corvane/Renomiq/rollback.rbk"));
    EXPECT_FALSE(dataFileBeginning(data, "rollback.rbk.tmp-"));
}

// A tree of `folders` folders of `files` files each, IMG_0 ... in each, and a
// Photo_3 that takes the new name of IMG_3 (which becomes Photo_3(1)).
std::vector<std::string> makeTreeOf(const TestDir &dir, int folders, int files)
{
    std::vector<std::string> paths;
    for (int f = 0; f < folders; ++f) {
        const std::string folder = "tree/f" + std::to_string(f) + (f % 4 == 3 ? "/inner" : "");
        for (int i = 0; i < files; ++i)
            paths.push_back(folder + "/IMG_" + std::to_string(i));
        paths.push_back(folder + "/Photo_3");
    }
    dir.createFiles(paths);
    std::sort(paths.begin(), paths.end());
    return paths;
}

// Every file under a host folder, as paths relative to it.
std::vector<std::string> filesUnder(const std::string &root, const std::string &prefix = "tree")
{
    std::vector<std::string> found;
    for (const std::string &name : test::namesIn(root)) {
        struct stat st {};
        const std::string path = root + "/" + name;
        if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            for (const std::string &inner : filesUnder(path, prefix + "/" + name))
                found.push_back(inner);
        } else {
            found.push_back(prefix + "/" + name);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

// Runs over many folders in several threads killed part way, at a moment and
// at chosen renames (with the other threads in the middle of theirs): every
// file comes back under its first name, none is lost.
TEST(CrashSafety, AKilledRunInSeveralThreadsIsUndoneCompletely)
{
    for (const int jobs : {1, 2, 8}) {
        TestDir dir;
        const std::string data = dataFolderOf(dir);
        const std::vector<std::string> original = makeTreeOf(dir, 24, 600);
        const std::vector<std::string> run = {"Replapart", "oldString=IMG_", "newString=Photo_", "--scope", "1",
                                              "--jobs", std::to_string(jobs), dir.host("tree")};
        const pid_t running = test::start({run});
        ASSERT_GT(running, 0);
        ASSERT_TRUE(waitForJournal(data, 48 << 10)) << "the run kept no journal";
        ::kill(running, SIGKILL);
        ASSERT_TRUE(WIFSIGNALED(test::finish(running)));
        const std::vector<std::string> afterKill = filesUnder(dir.host("tree"));
        ASSERT_EQ(afterKill.size(), original.size()) << "a file was lost, jobs " << jobs;
        const auto renamed = std::count_if(afterKill.begin(), afterKill.end(), [](const std::string &path) {
            return path.find("/Photo_") != std::string::npos && path.substr(path.size() - 8) != "/Photo_3";
        });
        EXPECT_GT(renamed, 0) << jobs;
        EXPECT_LT(renamed, 24 * 600) << jobs;
        undoAll();
        EXPECT_EQ(filesUnder(dir.host("tree")), original) << "jobs " << jobs;
        EXPECT_TRUE(test::journalsIn(data).empty()) << jobs;
        EXPECT_FALSE(dir.exists(".data-home/Corvane/Renomiq/rollback.rbk")) << jobs;
    }
    if (!test::straceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    for (const int jobs : {2, 8}) {
        // strace counts each thread's calls: every thread reaches these.
        for (const int when : {1, 3, 7, 12}) {
            TestDir dir;
            const std::vector<std::string> original = makeTreeOf(dir, 8, 12);
            const std::vector<std::string> run = {"Replapart", "oldString=IMG_", "newString=Photo_", "--scope", "1",
                                                  "--jobs", std::to_string(jobs), dir.host("tree")};
            const int status = test::runToEnd(
                {run, {"strace", "-f", "-qq", "-o", "/dev/null", "-e",
                       "inject=renameat2:signal=KILL:when=" + std::to_string(when)}});
            EXPECT_TRUE(WIFSIGNALED(status)) << "jobs " << jobs << ", killed at rename " << when;
            ASSERT_EQ(filesUnder(dir.host("tree")).size(), original.size()) << jobs << " " << when;
            undoAll();
            EXPECT_EQ(filesUnder(dir.host("tree")), original) << "jobs " << jobs << ", killed at rename " << when;
            EXPECT_TRUE(test::journalsIn(dataFolderOf(dir)).empty()) << jobs << " " << when;
        }
    }
}

// A run over chosen files spread over several folders, in several threads,
// killed at chosen renames: every file comes back under its first name.
TEST(CrashSafety, AKilledRunOverChosenFilesInSeveralThreadsIsUndoneCompletely)
{
    if (!test::straceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    for (const int jobs : {1, 2, 8}) {
        // strace counts each thread's calls: some thread reaches these.
        for (const int when : {1, 3, 7, 12}) {
            TestDir dir;
            const std::vector<std::string> original = makeTreeOf(dir, 8, 12);
            std::vector<std::string> run = {"Replapart", "oldString=IMG_", "newString=Photo_", "--jobs",
                                            std::to_string(jobs)};
            // A folder after the other, file by file (as makeTreeOf names them).
            for (int i = 0; i < 12; ++i) {
                for (int f = 0; f < 8; ++f)
                    run.push_back(dir.host("tree/f" + std::to_string(f) + (f % 4 == 3 ? "/inner" : "") + "/IMG_"
                                           + std::to_string(i)));
            }
            ASSERT_EQ(run.size(), 5u + 8 * 12);
            const int status = test::runToEnd(
                {run, {"strace", "-f", "-qq", "-o", "/dev/null", "-e",
                       "inject=renameat2:signal=KILL:when=" + std::to_string(when)}});
            EXPECT_TRUE(WIFSIGNALED(status)) << "jobs " << jobs << ", killed at rename " << when;
            const std::vector<std::string> afterKill = filesUnder(dir.host("tree"));
            ASSERT_EQ(afterKill.size(), original.size()) << jobs << " " << when;
            const auto renamed = std::count_if(afterKill.begin(), afterKill.end(), [](const std::string &path) {
                return path.find("/Photo_") != std::string::npos && path.substr(path.size() - 8) != "/Photo_3";
            });
            if (when > 1) {
                EXPECT_GT(renamed, 0) << jobs << " " << when;
            }
            undoAll();
            EXPECT_EQ(filesUnder(dir.host("tree")), original) << "jobs " << jobs << ", killed at rename " << when;
            EXPECT_TRUE(test::journalsIn(dataFolderOf(dir)).empty()) << jobs << " " << when;
        }
    }
}

// The state a run leaves when killed after five renames, with the journal of
// an older version's name: renames that depend on each other (a chain of
// names, a subfolder renamed before its folder) and a record cut off.
struct KilledRun {
    const TestDir &dir;

    Names original() const { return {"f1x", "f1xx", "plain1", "plain2", "sub", "sub/inner"}; }
    Names now() const
    {
        Names names;
        for (const std::string &name : test::namesIn(dir.host("k"))) {
            names.insert(name);
            struct stat st {};
            if (::stat(dir.host("k/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
                for (const std::string &inner : test::namesIn(dir.host("k/" + name)))
                    names.insert(name + "/" + inner);
            }
        }
        return names;
    }
    void make() const
    {
        ::system(("rm -rf '" + dir.host("k") + "' '" + dataFolderOf(dir) + "'").c_str());
        dir.createFiles({"k/f1", "k/f1x", "k/sub2/inner2", "k/p1", "k/plain2", ".data-home/Corvane/Renomiq/"});
        std::string journal = "T:\\k\\f1\r\nT:\\k\\f1x\r\n"       // f1x -> f1
                              "T:\\k\\f1x\r\nT:\\k\\f1xx\r\n"     // then f1xx -> f1x
                              "T:\\k\\sub\\inner2\r\nT:\\k\\sub\\inner\r\n"
                              "T:\\k\\sub2\r\nT:\\k\\sub\r\n"
                              "T:\\k\\p1\r\nT:\\k\\plain1\r\n"
                              "T:\\k\\p2\r\nT:\\k\\pl";           // cut off
        journal.append(4096, '\0');
        dir.writeFile(".data-home/Corvane/Renomiq/rollback.jnl", journal);
    }
};

TEST(CrashSafety, RecoveryAndUndoKilledAtEverySystemCallLoseNothing)
{
    if (!test::straceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    TestDir dir;
    const KilledRun state{dir};
    const char *calls = "openat,write,pwrite64,fsync,fdatasync,rename,renameat,renameat2,unlink,unlinkat,"
                        "ftruncate,fchmod,fchmodat,fallocate,utimensat,mkdir,copy_file_range";

    // Which of those calls an undo makes, and how often.
    state.make();
    const std::string trace = dir.host("trace");
    test::runToEnd({{"undo", "--yes"}, {"strace", "-f", "-o", trace, "-e", std::string("trace=") + calls}});
    ASSERT_EQ(state.now(), state.original()) << "the undo without a kill";
    std::map<std::string, int> counts;
    std::istringstream lines(test::readHost(trace));
    for (std::string line; std::getline(lines, line);) {
        // "PID  name(arguments) = result", the PID padded with spaces.
        const std::size_t name = line.find_first_not_of("0123456789 ");
        const std::size_t paren = line.find('(');
        if (name != std::string::npos && paren != std::string::npos && paren > name)
            ++counts[line.substr(name, paren - name)];
    }
    ASSERT_GT(counts["renameat2"] + counts["rename"], 5);

    int kills = 0;
    for (const auto &[call, count] : counts) {
        for (int n = 1; n <= count; ++n) {
            state.make();
            const int status = test::runToEnd(
                {{"undo", "--yes"},
                 {"strace", "-f", "-o", "/dev/null", "-e", "inject=" + call + ":signal=KILL:when=" + std::to_string(n)}});
            kills += WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL; // strace ends as its tracee did
            undoAll();
            ASSERT_EQ(state.now(), state.original()) << "killed at " << call << " #" << n;
            ASSERT_TRUE(test::journalsIn(dataFolderOf(dir)).empty()) << "killed at " << call << " #" << n;
            ASSERT_FALSE(dir.exists(".data-home/Corvane/Renomiq/rollback.rbk")) << "killed at " << call << " #" << n;
        }
    }
    EXPECT_GT(kills, 20);
}

// Two kept operations, the newer renaming items of the older: an undo of both
// (undo --steps 2) killed at every system call that changes something, then
// undone to the end, gives every item its first name back and leaves no log.
TEST(CrashSafety, AnUndoOfTheHistoryKilledAtEverySystemCallLosesNothing)
{
    if (!test::straceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    TestDir dir;
    const std::string data = dataFolderOf(dir);
    const Names original = {"a1", "a2", "a3"};
    const auto make = [&] {
        ::system(("rm -rf '" + dir.host("k") + "' '" + data + "'").c_str());
        dir.createFiles({"k/c1", "k/c2", "k/b3", ".data-home/Corvane/Renomiq/"});
        // The older: a1, a2, a3 became b1, b2, b3; the newer: b1, b2 became c1, c2.
        dir.writeFile(".data-home/Corvane/Renomiq/rollback.h1.rbk",
                      "T:\\k\\b1\r\nT:\\k\\a1\r\nT:\\k\\b2\r\nT:\\k\\a2\r\nT:\\k\\b3\r\nT:\\k\\a3\r\n");
        dir.writeFile(".data-home/Corvane/Renomiq/rollback.rbk", "T:\\k\\c1\r\nT:\\k\\b1\r\nT:\\k\\c2\r\nT:\\k\\b2\r\n");
    };
    const auto logs = [&] {
        int count = 0;
        for (const std::string &name : test::namesIn(data))
            count += name.size() > 4 && name.compare(name.size() - 4, 4, ".rbk") == 0;
        return count;
    };
    const auto undoEverything = [&] {
        for (int i = 0; i < 6 && logs() > 0; ++i)
            test::runToEnd({{"undo", "--steps", "1", "--yes"}});
    };
    const char *calls = "openat,write,pwrite64,fsync,fdatasync,rename,renameat,renameat2,unlink,unlinkat,"
                        "ftruncate,fchmod,fchmodat,fallocate,utimensat,mkdir,copy_file_range";
    make();
    const std::string trace = dir.host("trace");
    test::runToEnd({{"undo", "--steps", "2", "--yes"}, {"strace", "-f", "-o", trace, "-e", std::string("trace=") + calls}});
    ASSERT_EQ(test::namesIn(dir.host("k")), original) << "the undo without a kill";
    ASSERT_EQ(logs(), 0);
    std::map<std::string, int> counts;
    std::istringstream lines(test::readHost(trace));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t name = line.find_first_not_of("0123456789 ");
        const std::size_t paren = line.find('(');
        if (name != std::string::npos && paren != std::string::npos && paren > name)
            ++counts[line.substr(name, paren - name)];
    }
    ASSERT_GE(counts["renameat2"] + counts["rename"], 5);
    int kills = 0;
    for (const auto &[call, count] : counts) {
        for (int n = 1; n <= count; ++n) {
            make();
            const int status = test::runToEnd(
                {{"undo", "--steps", "2", "--yes"},
                 {"strace", "-f", "-o", "/dev/null", "-e", "inject=" + call + ":signal=KILL:when=" + std::to_string(n)}});
            kills += WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
            undoEverything();
            ASSERT_EQ(test::namesIn(dir.host("k")), original) << "killed at " << call << " #" << n;
            ASSERT_EQ(logs(), 0) << "killed at " << call << " #" << n;
        }
    }
    EXPECT_GT(kills, 10);
}

TEST(CrashSafety, TwoInstancesEachKeepTheirOwnOperation)
{
    TestDir dir;
    const std::string data = dataFolderOf(dir);
    ::mkdir(dir.host("a").c_str(), 0755);
    ::mkdir(dir.host("b").c_str(), 0755);
    const std::vector<std::string> aNames = numbered("a_%06d", 60000);
    test::createFiles(dir.host("a"), aNames);
    test::createFiles(dir.host("b"), {"b_1", "b_2"});

    // The first instance is stopped part way while holding its journal; the
    // second renames and ends meanwhile; then the first is killed.
    const pid_t first = test::start({{"Replapart", "oldString=a_", "newString=A_", dir.host("a")}});
    ASSERT_TRUE(waitForJournal(data, 16 << 10));
    ::kill(first, SIGSTOP);
    ASSERT_TRUE(waitFor([&] { return processState(first) == 'T'; }));
    const int second = test::runToEnd({{"Replapart", "oldString=b_", "newString=B_", dir.host("b")}});
    EXPECT_TRUE(WIFEXITED(second) && WEXITSTATUS(second) == 0);
    ::kill(first, SIGKILL);
    test::finish(first);
    EXPECT_EQ(test::namesIn(dir.host("b")), (Names{"B_1", "B_2"}));

    // The undo reverses the operation that ended last; the one cut short is
    // kept as a log of its own, which undo --log reverses.
    const std::string err = dir.host("undo.err");
    EXPECT_EQ(test::runToEnd({{"undo", "--yes"}, {}, 0, -1, -1, err}), 0);
    EXPECT_EQ(test::namesIn(dir.host("b")), (Names{"b_1", "b_2"}));
    std::vector<std::string> kept;
    for (const std::string &name : test::namesIn(data)) {
        if (name.rfind("rollback.", 0) == 0 && name.size() > 4 && name.compare(name.size() - 4, 4, ".rbk") == 0
            && name != "rollback.rbk")
            kept.push_back(name);
    }
    ASSERT_EQ(kept.size(), 1u) << test::readHost(err);
    EXPECT_NE(test::readHost(err).find("undo --log " + data + "/" + kept[0]), std::string::npos) << test::readHost(err);
    EXPECT_EQ(test::runToEnd({{"undo", "--log", data + "/" + kept[0], "--yes"}}), 0);
    EXPECT_EQ(test::namesIn(dir.host("a")), Names(aNames.begin(), aNames.end()));
    EXPECT_FALSE(dir.exists(".data-home/Corvane/Renomiq/" + kept[0]));
}

// A mount on a folder while it lives (root only); the kinds below make it.
class Mounted {
public:
    Mounted(const Mounted &) = delete;
    Mounted &operator=(const Mounted &) = delete;
    ~Mounted()
    {
        if (m_mounted)
            ::umount2(m_where.c_str(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }

protected:
    explicit Mounted(const std::string &where) : m_where(where) {}
    std::string m_where;
    bool m_mounted = false;
};

// A tmpfs of `size` on the data home.
class SmallDisk : public Mounted {
public:
    SmallDisk(const std::string &where, const char *size) : Mounted(where)
    {
        m_mounted = ::mount("tmpfs", where.c_str(), "tmpfs", 0, (std::string("size=") + size).c_str()) == 0;
    }
};

TEST(CrashSafety, AJournalThatCannotGrowStopsTheRunAndKeepsWhatWasRenamed)
{
    const struct {
        const char *name;
        long fileSizeLimit;
        const char *diskSize; // a data home this small, else none
    } rows[] = {
        {"file size limit", 1024 * 1024, nullptr},
        {"full disk", -1, "1200k"},
    };
    for (const auto &row : rows) {
        TestDir dir;
        std::unique_ptr<SmallDisk> disk;
        if (row.diskSize) {
            disk = std::make_unique<SmallDisk>(dir.dataHome(), row.diskSize);
            if (!disk->mounted()) {
                std::printf("[ SKIPPED  ] %s: cannot mount a tmpfs here\n", row.name);
                continue;
            }
        }
        ::mkdir(dir.host("w").c_str(), 0755);
        // Long names: about 3,000 records fill the journal's first MiB.
        const std::vector<std::string> names =
            numbered(("n%05d_" + std::string(120, 'x')).c_str(), 5000);
        test::createFiles(dir.host("w"), names);
        const std::string err = dir.host("run.err");
        const int status =
            test::runToEnd({{"Replapart", "oldString=n", "newString=N", dir.host("w")}, {}, 0, row.fileSizeLimit, -1, err});
        ASSERT_TRUE(WIFEXITED(status)) << row.name << ": killed by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 1) << row.name;
        const std::string said = test::readHost(err);
        EXPECT_NE(said.find("Error: The undo log could not be written: "), std::string::npos) << row.name << said;
        EXPECT_NE(said.find("The run was stopped (the undo log could not be written): "), std::string::npos)
            << row.name << said;
        EXPECT_EQ(said.find(" 0 not tried."), std::string::npos) << row.name << said;
        EXPECT_NE(said.find(". The run was stopped before the next rename; what was renamed can be undone."),
                  std::string::npos)
            << row.name << said;
        int renamed = 0;
        for (const std::string &name : test::namesIn(dir.host("w")))
            renamed += name[0] == 'N';
        EXPECT_GT(renamed, 1000) << row.name;
        EXPECT_LT(renamed, 5000) << row.name;
        const std::string log = test::readHost(dataFolderOf(dir) + "/rollback.rbk");
        // The line of the folder, and a record per renamed item: its identity line and its pair.
        EXPECT_EQ(static_cast<int>(std::count(log.begin(), log.end(), '\n')), 1 + 3 * renamed) << row.name;

        EXPECT_EQ(test::runToEnd({{"undo", "--yes"}}), 0) << row.name;
        EXPECT_EQ(test::namesIn(dir.host("w")), Names(names.begin(), names.end())) << row.name;
    }
}

// A data home on a small disk filled up to `freeBytes` (root only).
std::unique_ptr<SmallDisk> filledDisk(const TestDir &dir, long freeBytes)
{
    auto disk = std::make_unique<SmallDisk>(dir.dataHome(), "512k");
    if (!disk->mounted())
        return disk;
    ::mkdir((dir.dataHome() + "/Corvane").c_str(), 0755);
    ::mkdir(dataFolderOf(dir).c_str(), 0755);
    const std::string fill = dir.dataHome() + "/fill";
    const int fd = ::open(fill.c_str(), O_WRONLY | O_CREAT, 0644);
    const std::string block(4096, 'f');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    ::close(fd);
    struct stat st {};
    ::stat(fill.c_str(), &st);
    ::truncate(fill.c_str(), std::max<off_t>(0, st.st_size - freeBytes));
    return disk;
}

TEST(CrashSafety, OnlyWithoutAnyRoomForTheUndoLogIsTheUserAskedFirst)
{
    const struct {
        const char *name;
        long fileSizeLimit;
        long freeBytes; // on a small disk, else -1
        bool asked;
    } rows[] = {
        {"a file size limit below the journal's first MiB", 512 * 1024, -1, false},
        {"a disk with 64 KiB free", -1, 64 * 1024, false},
        {"a full disk", -1, 0, true},
    };
    for (const auto &row : rows) {
        TestDir dir;
        std::unique_ptr<SmallDisk> disk;
        if (row.freeBytes >= 0) {
            disk = filledDisk(dir, row.freeBytes);
            if (!disk->mounted()) {
                std::printf("[ SKIPPED  ] %s: cannot mount a tmpfs here\n", row.name);
                continue;
            }
        }
        dir.createFiles({"q/a.txt", "q/b.txt", ".data-home/Corvane/Renomiq/"});
        const std::string err = dir.host("run.err");
        const int first =
            test::runToEnd({{"Addnewnum", "atEnd=true", "endText=_1", dir.host("q")}, {}, 0, row.fileSizeLimit, -1, err});
        const std::string said = test::readHost(err);
        EXPECT_EQ(said.find("Confirmation: The undo log cannot be written: ") != std::string::npos, row.asked)
            << row.name << said;
        if (row.asked) {
            EXPECT_NE(said.find(". Rename without the possibility to undo?\n"), std::string::npos) << said;
            EXPECT_TRUE(WIFEXITED(first) && WEXITSTATUS(first) == 1) << row.name;
            EXPECT_EQ(test::namesIn(dir.host("q")), (Names{"a.txt", "b.txt"})) << row.name;
            // --yes does not consent to renaming without undo; --no-undo does.
            const int yes = test::runToEnd(
                {{"Addnewnum", "atEnd=true", "endText=_1", "--yes", dir.host("q")}, {}, 0, row.fileSizeLimit, -1, err});
            EXPECT_TRUE(WIFEXITED(yes) && WEXITSTATUS(yes) == 1) << row.name;
            EXPECT_EQ(test::namesIn(dir.host("q")), (Names{"a.txt", "b.txt"})) << row.name;
            const int noUndo = test::runToEnd({{"Addnewnum", "atEnd=true", "endText=_1", "--yes", "--no-undo",
                                                dir.host("q")},
                                               {}, 0, row.fileSizeLimit, -1, err});
            EXPECT_TRUE(WIFEXITED(noUndo) && WEXITSTATUS(noUndo) == 0) << row.name;
            EXPECT_EQ(test::namesIn(dir.host("q")), (Names{"a_1.txt", "b_1.txt"})) << row.name;
        } else {
            EXPECT_TRUE(WIFEXITED(first) && WEXITSTATUS(first) == 0) << row.name << said;
            EXPECT_EQ(test::namesIn(dir.host("q")), (Names{"a_1.txt", "b_1.txt"})) << row.name;
            EXPECT_EQ(test::runToEnd({{"undo", "--yes"}, {}, 0, row.fileSizeLimit, -1, err}), 0) << row.name;
            EXPECT_EQ(test::namesIn(dir.host("q")), (Names{"a.txt", "b.txt"})) << row.name;
        }
    }
}

// A folder made read-only by a bind mount of itself while it lives (root
// only: root writes into a folder without write rights).
class ReadOnlyFolder : public Mounted {
public:
    explicit ReadOnlyFolder(const std::string &where) : Mounted(where)
    {
        m_mounted = ::mount(where.c_str(), where.c_str(), nullptr, MS_BIND, nullptr) == 0;
        if (m_mounted && ::mount(nullptr, where.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
            ::umount2(where.c_str(), MNT_DETACH);
            m_mounted = false;
        }
    }
};

TEST(CrashSafety, ARunWhoseLogCannotReplaceTheLastOneDoesNotStart)
{
    TestDir dir;
    dir.createFiles({"q/a.txt", "p/b_1.txt", ".data-home/Corvane/Renomiq/"});
    // The operation before: b.txt became b_1.txt.
    const std::string before = "T:\\p\\b_1.txt\r\nT:\\p\\b.txt\r\n";
    dir.writeFile(".data-home/Corvane/Renomiq/rollback.rbk", before);
    const ReadOnlyFolder readOnly(dataFolderOf(dir));
    if (!readOnly.mounted())
        GTEST_SKIP() << "cannot mount here";
    const std::string err = dir.host("run.err");
    const int status = test::runToEnd(
        {{"Addnewnum", "atEnd=true", "endText=_1", "--yes", "--no-undo", dir.host("q")}, {}, 0, -1, -1, err});
    const std::string said = test::readHost(err);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << said;
    EXPECT_EQ(test::namesIn(dir.host("q")), Names{"a.txt"}) << said;
    EXPECT_NE(said.find("Error: The undo log of the last operation cannot be removed: "), std::string::npos) << said;
    EXPECT_EQ(test::readHost(dataFolderOf(dir) + "/rollback.rbk"), before);
}

TEST(CrashSafety, AReadOnlyJournalIsRecoveredByAUserWithoutRoot)
{
    TestDir dir;
    dir.createFiles({"r/new.txt", ".data-home/Corvane/Renomiq/"});
    dir.writeFile(".data-home/Corvane/Renomiq/rollback.jnl", "T:\\r\\new.txt\r\nT:\\r\\old.txt\r\n");
    ::chmod(dir.host(".data-home/Corvane/Renomiq/rollback.jnl").c_str(), 0444);
    const uid_t nobody = 65534;
    if (::geteuid() == 0) {
        ::chmod(dir.host().c_str(), 0755);
        ASSERT_EQ(std::system(("chown -R 65534:65534 '" + dir.host() + "'").c_str()), 0);
    }
    const std::string err = dir.host("undo.err");
    const int status = test::runToEnd({{"undo", "--yes"}, {}, nobody, -1, -1, err});
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << test::readHost(err);
    EXPECT_EQ(test::namesIn(dir.host("r")), Names{"old.txt"});
    EXPECT_TRUE(test::journalsIn(dataFolderOf(dir)).empty());
}

TEST(CrashSafety, AChangeOfCaseKilledOnItsWayThroughATemporaryNameIsFinished)
{
    if (!test::straceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    // A second link "X.TXT" makes the file system find the item under its new
    // spelling, as one that ignores case does; the rename then goes through a
    // temporary name.
    TestDir dir;
    dir.createFiles({"c/x.txt"});
    const auto make = [&] {
        ::system(("rm -rf '" + dir.host("c") + "'/.renomiq-* '" + dataFolderOf(dir) + "'").c_str());
        ASSERT_EQ(::link(dir.host("c/x.txt").c_str(), dir.host("c/X.TXT").c_str()), 0);
    };
    const std::vector<std::string> run = {"Changnew", "changeMode=convertCase", "nameCase=upper",
                                          "includeExtension=true", "--yes", TestDir::win("c/x.txt")};
    make();
    const std::string trace = dir.host("trace");
    test::runToEnd({run, {"strace", "-f", "-o", trace, "-e", "trace=rename,renameat,renameat2"}});
    ::unlink(dir.host("c/X.TXT").c_str());
    int second = 0; // the call that moves the item on from the temporary name
    std::istringstream lines(test::readHost(trace));
    int n = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("renameat2(") == std::string::npos)
            continue;
        ++n;
        // The source, the first quoted argument, is the temporary name (given
        // relative to the open folder or as a whole path).
        const std::size_t open = line.find('"', line.find("renameat2("));
        const std::size_t close = open == std::string::npos ? open : line.find('"', open + 1);
        if (close != std::string::npos && line.substr(open + 1, close - open - 1).find(".renomiq-") != std::string::npos) {
            second = n;
            break;
        }
    }
    ASSERT_GT(second, 0) << test::readHost(trace);

    make();
    test::runToEnd({run, {"strace", "-f", "-o", "/dev/null", "-e", "inject=renameat2:signal=KILL:when=" + std::to_string(second)}});
    EXPECT_EQ(test::namesIn(dir.host("c")).count("x.txt"), 0u) << "not killed on its way";
    undoAll();
    EXPECT_EQ(test::namesIn(dir.host("c")), (Names{"X.TXT", "x.txt"}));
}

TEST(CrashSafety, ARunKilledAtARenameIsUndoneWhateverControlCharactersItsNamesHold)
{
    if (!test::straceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    for (const char *character : {"\t", "\x1b", "\x01", "\x1f"}) {
        TestDir dir;
        const std::vector<std::string> names = numbered((std::string("c") + character + "%d.txt").c_str(), 5);
        ::mkdir(dir.host("w").c_str(), 0755);
        test::createFiles(dir.host("w"), names);
        // Killed at the fourth rename: three items renamed.
        const int status = test::runToEnd(
            {{"Replapart", std::string("oldString=") + character, "newString=_", "--yes", dir.host("w")},
             {"strace", "-f", "-o", "/dev/null", "-e", "inject=renameat2:signal=KILL:when=4"}});
        EXPECT_TRUE(WIFSIGNALED(status)) << int(character[0]);
        int renamed = 0;
        for (const std::string &name : test::namesIn(dir.host("w")))
            renamed += name[1] == '_';
        EXPECT_EQ(renamed, 3) << int(character[0]);
        const std::string err = dir.host("undo.err");
        EXPECT_EQ(test::runToEnd({{"undo", "--yes"}, {}, 0, -1, -1, err}), 0) << test::readHost(err);
        EXPECT_EQ(test::namesIn(dir.host("w")), Names(names.begin(), names.end())) << int(character[0]);
        for (const std::string &name : test::namesIn(dataFolderOf(dir)))
            EXPECT_EQ(name.find("rollback"), std::string::npos) << name;
    }
}

// A run killed at a rename that would have failed, its new name taken by
// another item: the pair recorded before it was never carried out, and no
// undo ever renames that other item, also once the old name is free.
TEST(CrashSafety, ARenameKilledBeforeItWasMadeIsNeverUndone)
{
    if (!test::straceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    const struct {
        const char *name;
        Names before;
        std::vector<std::string> run; // the target last
        const char *item;             // the item the run would rename
    } rows[] = {
        {"a change of case onto another item", {"IMG_1.JPG", "img_1.jpg"},
         {"Changnew", "changeMode=convertCase", "nameCase=upper", "includeExtension=true", "--yes",
          TestDir::win("w/img_1.jpg")},
         "img_1.jpg"},
        {"a new name taken, before its \"(n)\"", {"x1.txt", "y1.txt"},
         {"Replapart", "oldString=x", "newString=y", "--yes", TestDir::win("w/x1.txt")}, "x1.txt"},
    };
    for (const auto &row : rows) {
        TestDir dir;
        ::mkdir(dir.host("w").c_str(), 0755);
        test::createFiles(dir.host("w"), std::vector<std::string>(row.before.begin(), row.before.end()));
        // The first rename is the one whose new name is taken.
        const int status = test::runToEnd({row.run, {"strace", "-f", "-o", "/dev/null", "-e",
                                                     "inject=renameat2:signal=KILL:when=1"}});
        EXPECT_TRUE(WIFSIGNALED(status)) << row.name;
        EXPECT_EQ(test::namesIn(dir.host("w")), row.before) << row.name;
        undoAll();
        EXPECT_EQ(test::namesIn(dir.host("w")), row.before) << row.name;
        // The item goes; its old name is free.
        ::unlink(dir.host(std::string("w/") + row.item).c_str());
        Names without = row.before;
        without.erase(row.item);
        undoAll();
        EXPECT_EQ(test::namesIn(dir.host("w")), without) << row.name;
        EXPECT_FALSE(dir.exists(".data-home/Corvane/Renomiq/rollback.rbk")) << row.name;
    }
}

// After a run killed part way, the user moves or replaces items before the
// next start: the undo renames only items the run renamed, never a file put
// at a new name since.
TEST(CrashSafety, AnItemPutAtANewNameAfterACrashIsNeverRenamedByTheUndo)
{
    if (!test::straceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    const struct {
        const char *name;
        int killedAt;           // the renameat2 the run is killed at
        const char *gone;       // deleted after the kill
        const char *made;       // a new file made after the kill, "other" inside
        Names after;            // once every undo has run
    } rows[] = {
        // The pair of a1 was recorded, the kill came before its rename.
        {"the old name deleted, the new one made", 1, "a1.txt", "b1.txt", {"a2.txt", "b1.txt"}},
        // a1 was renamed; b1 then replaced by another file.
        {"a renamed item replaced", 2, "b1.txt", "b1.txt", {"a2.txt", "b1.txt"}},
    };
    for (const auto &row : rows) {
        TestDir dir;
        ::mkdir(dir.host("w").c_str(), 0755);
        test::createFiles(dir.host("w"), {"a1.txt", "a2.txt"});
        const int status = test::runToEnd(
            {{"Replapart", "oldString=a", "newString=b", "--yes", dir.host("w")},
             {"strace", "-f", "-o", "/dev/null", "-e", "inject=renameat2:signal=KILL:when=" + std::to_string(row.killedAt)}});
        EXPECT_TRUE(WIFSIGNALED(status)) << row.name;
        // Made before the other goes: a file system may hand a freed inode
        // out again at once.
        dir.writeFile("made", "other");
        ASSERT_EQ(::unlink(dir.host(std::string("w/") + row.gone).c_str()), 0) << row.name;
        ASSERT_EQ(::rename(dir.host("made").c_str(), dir.host(std::string("w/") + row.made).c_str()), 0) << row.name;
        undoAll();
        EXPECT_EQ(test::namesIn(dir.host("w")), row.after) << row.name;
        EXPECT_EQ(dir.readFile(std::string("w/") + row.made), "other") << row.name;
    }
}

// The names in a host folder holding ".tmp-": temporary files of writes.
Names temporariesIn(const std::string &folder)
{
    Names found;
    for (const std::string &name : test::namesIn(folder)) {
        if (name.find(".tmp-") != std::string::npos)
            found.insert(name);
    }
    return found;
}

TEST(CrashSafety, WritesKilledPartWayLeaveNoTemporaryFileOnceTheProgramRunsAgain)
{
    if (!test::straceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    const std::string calls = "write,fchmod,fsync,linkat,rename,renameat,renameat2";
    struct Row {
        const char *name;
        // The run that is killed, and the next one that cleans up after it;
        // "@" stands for the test folder.
        std::vector<std::string> killed, next;
        const char *folder; // where its temporary files go
    };
    const Row rows[] = {
        {"the name history", {"Replapart", "oldString=a", "newString=b", "--yes", "@/f"}, {"undo", "--yes"},
         ".data-home/Corvane/Renomiq"},
        {"an export", {"Savesomes", "--output", "@/out/names.txt", "--yes", "@/f/a1.txt"},
         {"Savesomes", "--output", "@/out/names.txt", "--yes", "@/f/a1.txt"}, "out"},
    };
    for (const Row &row : rows) {
        const auto withFolder = [](const std::vector<std::string> &args, const TestDir &dir) {
            std::vector<std::string> all;
            for (const std::string &a : args)
                all.push_back(a[0] == '@' ? dir.host() + a.substr(1) : a);
            return all;
        };
        // Which of those calls the run makes, and how often.
        std::map<std::string, int> counts;
        {
            TestDir dir;
            dir.createFiles({"f/a1.txt", "out/"});
            const std::string trace = dir.host("trace");
            test::runToEnd({withFolder(row.killed, dir), {"strace", "-f", "-o", trace, "-e", "trace=" + calls}});
            std::istringstream lines(test::readHost(trace));
            for (std::string line; std::getline(lines, line);) {
                const std::size_t name = line.find_first_not_of("0123456789 ");
                const std::size_t paren = line.find('(');
                if (name != std::string::npos && paren != std::string::npos && paren > name)
                    ++counts[line.substr(name, paren - name)];
            }
            ASSERT_GT(counts["fsync"], 0) << row.name << ": " << test::readHost(trace);
        }
        int kills = 0;
        int leftBehind = 0; // by a kill, before the next run
        for (const auto &[call, count] : counts) {
            for (int n = 1; n <= count; ++n) {
                TestDir dir;
                dir.createFiles({"f/a1.txt", "out/"});
                const int status = test::runToEnd(
                    {withFolder(row.killed, dir),
                     {"strace", "-f", "-o", "/dev/null", "-e", "inject=" + call + ":signal=KILL:when=" + std::to_string(n)}});
                kills += WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
                leftBehind += !temporariesIn(dir.host(row.folder)).empty();
                const std::string err = dir.host("next.err");
                test::runToEnd({withFolder(row.next, dir), {}, 0, -1, -1, err});
                EXPECT_EQ(temporariesIn(dir.host(row.folder)), Names{})
                    << row.name << ", killed at " << call << " #" << n << ": " << test::readHost(err);
            }
        }
        EXPECT_GT(kills, 5) << row.name;
        // Where files without a name can be made, only a kill between naming
        // the whole file and renaming it leaves one for the next run.
        const int nameless = ::open("/tmp", O_TMPFILE | O_WRONLY, 0600); // where TestDir makes its folders
        if (nameless >= 0) {
            ::close(nameless);
            EXPECT_LE(leftBehind, 2) << row.name;
        }
    }
}

TEST(CrashSafety, ADamagedHugeJournalIsReadInBoundedMemory)
{
    const struct {
        const char *name;
        std::string head;
        Names after;
        const char *said;
    } rows[] = {
        {"not a journal", std::string("\x7f" "ELF\x02\x01\x01 garbage", 16), {"b1"},
         "renomiq-cli: a damaged journal was set aside: "},
        // The pairs are undone; the rest stays aside for a closer look.
        {"whole pairs, then damage", "T:\\d\\b1\r\nT:\\d\\a1\r\n\n\x02 garbage", {"a1"},
         "renomiq-cli: a damaged journal was set aside: "},
    };
    for (const auto &row : rows) {
        TestDir dir;
        dir.createFiles({"d/b1", ".data-home/Corvane/Renomiq/"});
        const std::string journal = dataFolderOf(dir) + "/rollback.jnl";
        dir.writeFile(".data-home/Corvane/Renomiq/rollback.jnl", row.head);
        ASSERT_EQ(::truncate(journal.c_str(), 600L << 20), 0); // a sparse 600 MiB
        const std::string err = dir.host("undo.err");
        const int status = test::runToEnd({{"undo", "--yes"}, {}, 0, -1, 256L << 20, err});
        ASSERT_TRUE(WIFEXITED(status)) << row.name << ": killed by signal " << WTERMSIG(status);
        EXPECT_EQ(test::namesIn(dir.host("d")), row.after) << row.name;
        EXPECT_NE(test::readHost(err).find(row.said), std::string::npos) << row.name << test::readHost(err);
        EXPECT_TRUE(test::journalsIn(dataFolderOf(dir)).empty()) << row.name;
    }
}

} // namespace
} // namespace renomiq
