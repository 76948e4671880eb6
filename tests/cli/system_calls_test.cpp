// What a run of renomiq-cli asks of the kernel per file, counted by strace:
// one rename, and one look-up at most (the journal's check that its folder
// is still there); the identity of each item comes from the folder's
// listing, and is the one stat gives.
#include "cli/crash_support.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace renomiq {
namespace {

using test::TestDir;

// The calls of a `strace -c` summary by name.
std::map<std::string, long> callCounts(const std::string &summary)
{
    std::map<std::string, long> calls;
    std::istringstream lines(summary);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::vector<std::string> f;
        for (std::string field; fields >> field;)
            f.push_back(field);
        if (f.size() >= 5 && f[0][0] >= '0' && f[0][0] <= '9' && f.back() != "total")
            calls[f.back()] = std::stol(f[3]);
    }
    return calls;
}

TEST(SystemCalls, ARunMakesOneRenameAndAtMostOneLookUpPerFile)
{
    if (!test::straceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    const struct {
        const char *name;
        int folders; // 0: the files lie in the target itself
        const char *scope;
    } rows[] = {
        {"one folder", 0, "0"},
        {"all layers", 6, "1"},
    };
    const int files = 3000;
    for (const auto &row : rows) {
        TestDir dir;
        std::vector<std::string> names;
        for (int i = 0; i < files; ++i) {
            const std::string folder = row.folders ? "t/d" + std::to_string(i % row.folders) + "/" : "t/";
            names.push_back(folder + "IMG_" + std::to_string(i) + ".jpg");
        }
        dir.createFiles(names);
        const std::string summary = dir.host("strace.txt");
        const int status = test::runToEnd({{"Replapart", "oldString=IMG_", "newString=Photo_", "--scope", row.scope,
                                            TestDir::win("t")},
                                           {"strace", "-c", "-f", "-o", summary}});
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << row.name;
        const std::map<std::string, long> calls = callCounts(test::readHost(summary));
        EXPECT_EQ(calls.count("renameat2") ? calls.at("renameat2") : 0, files) << row.name;
        long lookUps = 0;
        for (const char *call : {"newfstatat", "fstat", "statx", "stat", "lstat"})
            lookUps += calls.count(call) ? calls.at(call) : 0;
        // One per file for the journal, and a few hundred for the program's
        // start and its folders (a look-up per file more would be 3000).
        EXPECT_LE(lookUps, files + 400) << row.name << ": " << lookUps << " look-ups";

        // Each identity the undo log records is the item's own.
        const std::string log = test::readHost(dir.dataHome() + "/Corvane/Renomiq/rollback.rbk");
        std::istringstream lines(log);
        int checked = 0;
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("#item ", 0) != 0)
                continue;
            line.pop_back(); // CR
            std::string path;
            std::getline(lines, path);
            ASSERT_FALSE(path.empty());
            path.pop_back(); // CR
            std::string host = dir.host() + path.substr(2);
            for (char &c : host)
                c = c == '\\' ? '/' : c;
            struct stat st {};
            ASSERT_EQ(::lstat(host.c_str(), &st), 0) << host;
            EXPECT_EQ(line, "#item " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino)) << host;
            ++checked;
        }
        EXPECT_EQ(checked, files) << row.name;
    }
}

// Chosen files: those of one folder cost as many look-ups in several
// threads as in one (they take the same path); those of several folders not
// many more (a look-up each, to find whether one lies in another).
TEST(SystemCalls, ChosenFilesCostAboutTheLookUpsOfOneThread)
{
    if (!test::straceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    const struct {
        const char *name;
        int folders;
        long moreLookUps; // at most, per file
    } rows[] = {
        {"one folder", 1, 0},
        {"six folders", 6, 1},
    };
    const int files = 2000;
    for (const auto &row : rows) {
        std::map<int, long> lookUpsOf;
        for (const int jobs : {1, 2}) {
            TestDir dir;
            std::vector<std::string> names;
            std::vector<std::string> run = {"Replapart", "oldString=IMG_", "newString=Photo_", "--jobs",
                                            std::to_string(jobs)};
            for (int i = 0; i < files; ++i) {
                names.push_back("t/d" + std::to_string(i % row.folders) + "/IMG_" + std::to_string(i) + ".jpg");
                run.push_back(TestDir::win(names.back()));
            }
            dir.createFiles(names);
            const std::string summary = dir.host("strace.txt");
            const int status = test::runToEnd({run, {"strace", "-c", "-f", "-o", summary}});
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << row.name << ", jobs " << jobs;
            const std::map<std::string, long> calls = callCounts(test::readHost(summary));
            EXPECT_EQ(calls.count("renameat2") ? calls.at("renameat2") : 0, files) << row.name << ", jobs " << jobs;
            for (const char *call : {"newfstatat", "fstat", "statx", "stat", "lstat"})
                lookUpsOf[jobs] += calls.count(call) ? calls.at(call) : 0;
        }
        // Some for the threads' start.
        EXPECT_LE(lookUpsOf[2], lookUpsOf[1] + row.moreLookUps * files + 100)
            << row.name << ": " << lookUpsOf[1] << " look-ups in one thread, " << lookUpsOf[2] << " in two";
    }
}

} // namespace
} // namespace renomiq
