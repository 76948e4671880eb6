// A run stopped with Ctrl+C: the real renomiq-cli, interrupted at a chosen
// rename by strace's signal injection, so the moment is always the same.
#include "cli/crash_support.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

namespace renomiq {
namespace {

using test::TestDir;

TEST(StoppedRun, SaysWhatWasNotTriedAndExitsWith130)
{
    if (!test::straceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    TestDir dir;
    const std::string folder = dir.host("photos");
    ::mkdir(folder.c_str(), 0755);
    std::vector<std::string> names;
    for (int i = 100; i < 300; ++i)
        names.push_back("IMG_" + std::to_string(i) + ".jpg");
    test::createFiles(folder, names);
    const std::string log = dir.host("out.txt");

    // Ctrl+C at the 51st rename of an item (renameat2 renames the items
    // only; the undo log and the lists are renamed with rename).
    const std::vector<std::string> strace = {"strace", "-f", "-qq", "-o", "/dev/null",
                                             "-e", "inject=renameat2:signal=SIGINT:when=51"};
    const int status = test::runToEnd(
        test::CliProcess({"replace", "oldString=IMG_", "newString=Photo_", folder}, strace, 0, -1, -1, log));
    ASSERT_TRUE(WIFEXITED(status)) << test::readHost(log);
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_EQ(test::readHost(log), "The run was stopped: 51 renamed successfully, 0 failed, 149 not tried.\n");
    int renamed = 0;
    for (const std::string &name : test::namesIn(folder))
        renamed += name.rfind("Photo_", 0) == 0;
    EXPECT_EQ(renamed, 51);

    // The undo log holds what was renamed.
    EXPECT_EQ(test::runToEnd(test::CliProcess({"undo", "--yes"}, {}, 0, -1, -1, log)), 0);
    EXPECT_EQ(test::readHost(log), "Undo Confirmation: Do you want to UNDO the last rename operation ?\nUndo done.\n");
    EXPECT_EQ(test::namesIn(folder), std::set<std::string>(names.begin(), names.end()));
}

} // namespace
} // namespace renomiq
