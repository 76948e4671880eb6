// A FIFO or a link to /dev/zero where renomiq-cli reads one of its files (the
// registry, a journal, the undo log, a log given with --log, the name
// history): the program ends all the same, within a bound, in bounded memory,
// and says what it could not read where the user needs to know.
#include "cli/crash_support.h"
#include "support/special_files.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <set>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace renomiq {
namespace {

using test::TestDir;

using test::makeSpecial;
using test::Special;

bool isFifo(const std::string &hostPath)
{
    struct stat st {};
    return ::lstat(hostPath.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

bool isLink(const std::string &hostPath)
{
    struct stat st {};
    return ::lstat(hostPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool isRegular(const std::string &hostPath)
{
    struct stat st {};
    return ::lstat(hostPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

TEST(SpecialFiles, EveryFileTheCliReadsEndsWithinABoundWhateverStandsAtItsName)
{
    struct Row {
        const char *name;
        const char *file; // relative to the test folder; "D/" stands for the data folder
        Special kind;
        std::vector<std::string> args; // "@" stands for the test folder
        int exitCode;
        const char *said; // a part of what the program writes, "" when nothing in particular
        // What becomes of the special file: it stays, a regular file takes
        // its place, or it is set aside as "NAME.damaged".
        enum { Stays, Replaced, SetAside } after;
    };
    const std::string data = ".data-home/Corvane/Renomiq/";
    const std::string notRegular = "not a regular file";
    const Row rows[] = {
        {"registry FIFO", ".config-home/Corvane/Renomiq/registry.reg", Special::Fifo, {"undo", "--yes"}, 1,
         "there is no operation to undo", Row::SetAside},
        {"registry link to /dev/zero", ".config-home/Corvane/Renomiq/registry.reg", Special::LinkToZero,
         {"undo", "--yes"}, 1, "there is no operation to undo", Row::SetAside},
        {"journal FIFO", "D/rollback.77-00000000abcd.jnl", Special::Fifo, {"undo", "--yes"}, 1,
         "there is no operation to undo", Row::Stays},
        {"journal link to /dev/zero", "D/rollback.78-00000000abcd.jnl", Special::LinkToZero, {"undo", "--yes"}, 1,
         "there is no operation to undo", Row::Stays},
        {"undo log's temporary FIFO", "D/rollback.rbk.tmp-AbCdEf", Special::Fifo, {"undo", "--yes"}, 1,
         "there is no operation to undo", Row::Stays},
        {"undo log FIFO", "D/rollback.rbk", Special::Fifo, {"undo", "--yes"}, -1, notRegular.c_str(), Row::Stays},
        {"undo log link to /dev/zero", "D/rollback.rbk", Special::LinkToZero, {"undo", "--yes"}, -1,
         notRegular.c_str(), Row::Stays},
        {"--log FIFO", "other.log", Special::Fifo, {"undo", "--log", "@/other.log", "--yes"}, -1, notRegular.c_str(),
         Row::Stays},
        {"--log link to /dev/zero", "other.log", Special::LinkToZero, {"undo", "--log", "@/other.log", "--yes"}, -1,
         notRegular.c_str(), Row::Stays},
        {"name history FIFO", "D/Newname.txt", Special::Fifo,
         {"Replapart", "oldString=a", "newString=b", "@/f/a.txt"}, 0, "1 renamed successfully", Row::Replaced},
        {"name history link to /dev/zero", "D/Newname.txt", Special::LinkToZero,
         {"Replapart", "oldString=a", "newString=b", "@/f/a.txt"}, 0, "1 renamed successfully", Row::Replaced},
    };
    for (const Row &row : rows) {
        TestDir dir;
        dir.createFiles({data, ".config-home/Corvane/Renomiq/", "f/a.txt"});
        std::string file = row.file;
        if (file.rfind("D/", 0) == 0)
            file = data + file.substr(2);
        makeSpecial(dir.host(file), row.kind);
        std::vector<std::string> args;
        for (const std::string &a : row.args)
            args.push_back(a[0] == '@' ? dir.host() + a.substr(1) : a);
        const std::string err = dir.host("err.txt");
        // Killed when it outlives the bound; limited to 1 GiB, so that a read
        // without end fails soon instead of taking the machine's memory.
        const int status =
            test::runToEnd({args, {"timeout", "--signal=KILL", "60"}, 0, -1, long{1} << 30, err});
        const std::string said = test::readHost(err);
        ASSERT_TRUE(WIFEXITED(status)) << row.name << ": " << said;
        EXPECT_NE(WEXITSTATUS(status), 124) << row.name << ": the bound ran out";
        EXPECT_NE(WEXITSTATUS(status), 137) << row.name << ": the bound ran out";
        if (row.exitCode >= 0) {
            EXPECT_EQ(WEXITSTATUS(status), row.exitCode) << row.name << ": " << said;
        }
        EXPECT_NE(said.find(row.said), std::string::npos) << row.name << ": " << said;
        const std::string at = dir.host(file);
        const auto isSpecial = [&](const std::string &path) {
            return row.kind == Special::Fifo ? isFifo(path) : isLink(path);
        };
        switch (row.after) {
        case Row::Stays: EXPECT_TRUE(isSpecial(at)) << row.name; break;
        case Row::Replaced: EXPECT_TRUE(isRegular(at)) << row.name; break;
        case Row::SetAside:
            EXPECT_TRUE(isSpecial(at + ".damaged")) << row.name;
            EXPECT_FALSE(isSpecial(at)) << row.name;
            break;
        }
    }
}

// What renomiq-cli reads of its own at every start, the settings file and
// the journals of runs that died: anything but a regular file within its
// bound is named on standard error with what is wrong, and the program goes
// on with what it has (the defaults, no journal).
TEST(SpecialFiles, TheCliSaysWhichOfItsOwnFilesItCouldNotReadAtStart)
{
    const std::string config = ".config-home/Corvane/Renomiq/";
    const std::string data = ".data-home/Corvane/Renomiq/";
    const std::string journal = data + "rollback.77-00000000abcd.jnl";
    struct Row {
        const char *name;
        std::string file;
        Special kind;
        long bound;
        // The line, "@" standing for the test folder.
        std::string said;
        bool setAside; // moved to "NAME.damaged", else left where it is
    };
    const std::string settingsAside = "', and the settings start from their defaults.\n";
    const std::string journalLeft = ": nothing was read from it, and it was left as it is.\n";
    const Row rows[] = {
        {"registry FIFO", config + "registry.reg", Special::Fifo, 0,
         "renomiq-cli: the settings file '@/" + config + "registry.reg' is not a regular file: it was set aside as '@/"
             + config + "registry.reg.damaged" + settingsAside,
         true},
        {"registry link to /dev/zero", config + "registry.reg", Special::LinkToZero, 0,
         "renomiq-cli: the settings file '@/" + config + "registry.reg' is not a regular file: it was set aside as '@/"
             + config + "registry.reg.damaged" + settingsAside,
         true},
        {"registry over 16 MiB", config + "registry.reg", Special::Oversized, long{16} << 20,
         "renomiq-cli: the settings file '@/" + config + "registry.reg' is larger than 16 MiB: it was set aside as '@/"
             + config + "registry.reg.damaged" + settingsAside,
         true},
        {"journal FIFO", journal, Special::Fifo, 0,
         "renomiq-cli: the journal of a run '@/" + journal + "' is not a regular file" + journalLeft, false},
        {"journal link to /dev/zero", journal, Special::LinkToZero, 0,
         "renomiq-cli: the journal of a run '@/" + journal + "' is not a regular file" + journalLeft, false},
        {"journal over 1024 MiB", journal, Special::Oversized, long{1} << 30,
         "renomiq-cli: the journal of a run '@/" + journal
             + "' is larger than 1024 MiB: nothing was read from it, and it was set aside as '@/" + journal
             + ".damaged'.\n",
         true},
    };
    for (const Row &row : rows) {
        TestDir dir;
        dir.createFiles({data, config});
        makeSpecial(dir.host(row.file), row.kind, row.bound);
        const std::string err = dir.host("err.txt");
        const int status =
            test::runToEnd({{"undo", "--yes"}, {"timeout", "--signal=KILL", "60"}, 0, -1, long{1} << 30, err});
        const std::string said = test::readHost(err);
        ASSERT_TRUE(WIFEXITED(status)) << row.name << ": " << said;
        EXPECT_EQ(WEXITSTATUS(status), 1) << row.name << ": " << said;
        std::string expected = row.said;
        for (std::size_t at; (at = expected.find('@')) != std::string::npos;)
            expected.replace(at, 1, dir.host());
        EXPECT_NE(said.find(expected), std::string::npos) << row.name << ": " << said;
        EXPECT_NE(said.find("there is no operation to undo"), std::string::npos) << row.name << ": " << said;
        const std::string at = dir.host(row.file);
        const auto isKind = [&](const std::string &path) {
            struct stat st {};
            return row.kind == Special::Fifo ? isFifo(path)
                : row.kind == Special::LinkToZero
                ? isLink(path)
                : ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == row.bound + 1;
        };
        EXPECT_TRUE(isKind(row.setAside ? at + ".damaged" : at)) << row.name;
        if (row.setAside) {
            EXPECT_FALSE(isKind(at)) << row.name;
        }
        // Said once, at this start.
        const std::size_t first = said.find(expected);
        EXPECT_EQ(said.find(expected, first + 1), std::string::npos) << row.name << ": " << said;
    }
}

// A file where the data folder or a folder above it should be: said at the
// start, a run asks before it renames without an undo log (--yes answers
// No, --no-undo consents), and nothing goes to the program's install folder.
TEST(SpecialFiles, ADataFolderThatIsNoFolderIsNamedAndNothingIsWrittenElsewhere)
{
    const struct {
        const char *name;
        const char *file;    // a regular file there, relative to the test folder
    } rows[] = {
        {"the data folder a file", ".data-home/Corvane/Renomiq"},
        {"a folder above it a file", ".data-home/Corvane"},
    };
    std::string install = test::cliProgram();
    install = install.substr(0, install.rfind('/') + 1);
    if (char resolved[PATH_MAX]; ::realpath((install + "../share/renomiq").c_str(), resolved))
        install = std::string(resolved) + '/';
    for (const auto &row : rows) {
        TestDir dir;
        const std::string file = row.file;
        dir.createFiles({file.substr(0, file.rfind('/') + 1), "q/a.txt", "q/b.txt"});
        dir.writeFile(row.file, "a file");
        const std::set<std::string> installed = test::namesIn(install);
        const std::string err = dir.host("run.err");
        const int yes = test::runToEnd({{"Addnewnum", "atEnd=true", "endText=_1", "--yes", dir.host("q")}, {}, 0, -1,
                                        -1, err});
        const std::string said = test::readHost(err);
        EXPECT_TRUE(WIFEXITED(yes) && WEXITSTATUS(yes) == 1) << row.name << ": " << said;
        EXPECT_NE(said.find("renomiq-cli: the data folder '" + dir.host(".data-home/Corvane/Renomiq")
                            + "' cannot be used: '" + dir.host(row.file)
                            + "' is not a folder. The undo log, the name history and the hand-off file cannot be "
                              "written until it is one.\n"),
                  std::string::npos)
            << row.name << ": " << said;
        EXPECT_NE(said.find(". Rename without the possibility to undo?\n"), std::string::npos) << row.name << said;
        EXPECT_EQ(test::namesIn(dir.host("q")), (std::set<std::string>{"a.txt", "b.txt"})) << row.name;
        const int noUndo = test::runToEnd(
            {{"Addnewnum", "atEnd=true", "endText=_1", "--yes", "--no-undo", dir.host("q")}, {}, 0, -1, -1, err});
        EXPECT_TRUE(WIFEXITED(noUndo) && WEXITSTATUS(noUndo) == 0) << row.name << ": " << test::readHost(err);
        EXPECT_EQ(test::namesIn(dir.host("q")), (std::set<std::string>{"a_1.txt", "b_1.txt"})) << row.name;
        EXPECT_EQ(dir.readFile(row.file), "a file") << row.name;
        EXPECT_EQ(test::namesIn(install), installed) << row.name << ": " << install;
    }
}

// A FIFO or a link to /dev/zero where the undo history's list should be: named
// at the start, never read, and never replaced: a run does not start.
TEST(SpecialFiles, AnUndoHistoryListThatIsNoRegularFileIsNamedAndNeverReplaced)
{
    const struct {
        const char *name;
        Special kind;
    } rows[] = {
        {"FIFO", Special::Fifo},
        {"link to /dev/zero", Special::LinkToZero},
    };
    const std::string list = ".data-home/Corvane/Renomiq/rollback.lst";
    for (const auto &row : rows) {
        TestDir dir;
        dir.createFiles({".data-home/Corvane/Renomiq/", "q/a.txt"});
        makeSpecial(dir.host(list), row.kind);
        const std::string err = dir.host("run.err");
        const int status = test::runToEnd({{"Addnewnum", "atEnd=true", "endText=_1", "--yes", "--no-undo",
                                            dir.host("q")},
                                           {"timeout", "--signal=KILL", "60"}, 0, -1, long{1} << 30, err});
        const std::string said = test::readHost(err);
        ASSERT_TRUE(WIFEXITED(status)) << row.name << ": " << said;
        EXPECT_EQ(WEXITSTATUS(status), 1) << row.name << ": " << said;
        EXPECT_NE(said.find("renomiq-cli: the list of the undo history '" + dir.host(list)
                            + "' is not a regular file: nothing was read from it, and it was left as it is. No run "
                              "can start until it is removed.\n"),
                  std::string::npos)
            << row.name << ": " << said;
        EXPECT_NE(said.find("Error: The list of the undo history '" + TestDir::win(list)
                            + "' is not a regular file and cannot be replaced. Nothing was renamed; remove it to run "
                              "again."),
                  std::string::npos)
            << row.name << ": " << said;
        EXPECT_EQ(test::namesIn(dir.host("q")), std::set<std::string>{"a.txt"}) << row.name;
        EXPECT_TRUE(row.kind == Special::Fifo ? isFifo(dir.host(list)) : isLink(dir.host(list))) << row.name;
    }
}

} // namespace
} // namespace renomiq
