// A run stopped with Ctrl+C: the real renomiq-cli, interrupted at a chosen
// rename by strace's signal injection, so the moment is always the same.
#include "cli/crash_support.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Ctrl+C during a run over several folders in several threads: the run
// stops, says what it did and did not try, and the undo log holds exactly what
// was renamed.
TEST(StoppedRun, ARunInSeveralThreadsStopsAndItsLogHoldsWhatWasRenamed)
{
    if (!test::straceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    for (const int jobs : {2, 8}) {
        TestDir dir;
        std::set<std::string> original;
        // The signal is injected at a thread's 51st rename, and a second
        // Ctrl+C would end the program at once: only the thread that works
        // f0 (200 files) can come to 51; the other seven folders hold 35.
        for (int folder = 0; folder < 8; ++folder) {
            const std::string path = dir.host("tree/f" + std::to_string(folder));
            ::mkdir(dir.host("tree").c_str(), 0755);
            ::mkdir(path.c_str(), 0755);
            std::vector<std::string> names;
            for (int i = 100; i < (folder == 0 ? 300 : 105); ++i)
                names.push_back("IMG_" + std::to_string(i) + ".jpg");
            test::createFiles(path, names);
        }
        const std::string log = dir.host("out.txt");
        const std::vector<std::string> strace = {"strace", "-f", "-qq", "-o", "/dev/null",
                                                 "-e", "inject=renameat2:signal=SIGINT:when=51"};
        const int status = test::runToEnd(test::CliProcess({"replace", "oldString=IMG_", "newString=Photo_", "--scope",
                                                            "1", "--jobs", std::to_string(jobs), dir.host("tree")},
                                                           strace, 0, -1, -1, log));
        ASSERT_TRUE(WIFEXITED(status)) << test::readHost(log);
        EXPECT_EQ(WEXITSTATUS(status), 130) << test::readHost(log);
        int renamed = 0;
        for (int folder = 0; folder < 8; ++folder) {
            for (const std::string &name : test::namesIn(dir.host("tree/f" + std::to_string(folder))))
                renamed += name.rfind("Photo_", 0) == 0;
        }
        EXPECT_GE(renamed, 51) << jobs;
        EXPECT_LT(renamed, 235) << jobs;
        const std::string said = test::readHost(log);
        EXPECT_NE(said.find("The run was stopped: " + std::to_string(renamed) + " renamed successfully, 0 failed, "),
                  std::string::npos)
            << said;
        EXPECT_EQ(test::runToEnd(test::CliProcess({"undo", "--yes"}, {}, 0, -1, -1, log)), 0) << jobs;
        EXPECT_EQ(test::readHost(log), "Undo Confirmation: Do you want to UNDO the last rename operation ?\nUndo done.\n");
        for (int folder = 0; folder < 8; ++folder) {
            for (const std::string &name : test::namesIn(dir.host("tree/f" + std::to_string(folder))))
                EXPECT_EQ(name.rfind("IMG_", 0), 0u) << name;
        }
    }
}

// Ctrl+C while renomiq-cli asks on a terminal: the question is answered No
// at once, nothing is undone, and the program ends.
TEST(StoppedRun, CtrlCAtAQuestionAnswersNo)
{
    TestDir dir;
    const std::string folder = dir.host("photos");
    ::mkdir(folder.c_str(), 0755);
    test::createFiles(folder, {"IMG_1.jpg"});
    ASSERT_EQ(test::runToEnd(test::CliProcess({"replace", "oldString=IMG_", "newString=Photo_", "--yes", folder})), 0);

    int master = -1;
    const pid_t child = ::forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::execl(RENOMIQ_CLI_PATH, RENOMIQ_CLI_PATH, "undo", static_cast<char *>(nullptr));
        ::_exit(127);
    }
    // Everything the terminal shows, read until `until` holds or a deadline.
    std::string shown;
    const auto readUntil = [&](const auto &until) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!until() && std::chrono::steady_clock::now() < deadline) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 100) > 0) {
                char buffer[256];
                const ssize_t n = ::read(master, buffer, sizeof buffer);
                if (n > 0)
                    shown.append(buffer, static_cast<std::size_t>(n));
            }
        }
    };
    readUntil([&] { return shown.find("[y/N]") != std::string::npos; });
    ASSERT_NE(shown.find("[y/N]"), std::string::npos) << shown;
    ::kill(child, SIGINT);
    int status = 0;
    readUntil([&] { return ::waitpid(child, &status, WNOHANG) == child; });
    ::close(master);
    if (!WIFEXITED(status) && !WIFSIGNALED(status)) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "renomiq-cli still waited for an answer after Ctrl+C: " << shown;
    }
    EXPECT_TRUE(WIFEXITED(status)) << shown;
    EXPECT_EQ(test::namesIn(folder), (std::set<std::string>{"Photo_1.jpg"}));
}

} // namespace
} // namespace renomiq
