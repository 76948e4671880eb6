// A run killed in the middle can still be undone: every file comes back under
// its first name and none is lost.
#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace renomiq {
namespace {

using test::TestDir;

std::set<std::string> namesIn(const std::string &folder)
{
    std::set<std::string> names;
    if (DIR *dir = ::opendir(folder.c_str())) {
        while (const dirent *d = ::readdir(dir)) {
            if (d->d_name[0] != '.')
                names.insert(d->d_name);
        }
        ::closedir(dir);
    }
    return names;
}

pid_t spawnCli(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    std::string program = RENOMIQ_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copy = args;
    for (std::string &a : copy)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

bool journalStarted(const std::string &journal)
{
    const int fd = ::open(journal.c_str(), O_RDONLY);
    char first = 0;
    const bool started = fd >= 0 && ::pread(fd, &first, 1, 0) == 1 && first != 0;
    if (fd >= 0)
        ::close(fd);
    return started;
}

int waitFor(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

TEST(CrashSafety, AKilledRunIsUndoneCompletely)
{
    TestDir dir;
    const std::string folder = dir.host("photos");
    ::mkdir(folder.c_str(), 0755);
    const std::string journal = dir.dataHome() + "/Corvane/Renomiq/rollback.jnl";

    // Kill the run part way; with a machine too fast for the first try, more files.
    std::string tries;
    for (int files : {40000, 120000}) {
        std::set<std::string> original;
        for (int i = 0; i < files; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "IMG_%06d.jpg", i);
            original.insert(name);
            ::close(::open((folder + "/" + name).c_str(), O_CREAT | O_WRONLY, 0644));
        }
        const pid_t run = spawnCli({"Replapart", "oldString=IMG_", "newString=Photo_", folder});
        ASSERT_GT(run, 0);
        // The journal's first record is written just before the first rename.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        bool started = false;
        while (!(started = journalStarted(journal)) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        ASSERT_TRUE(started) << "the run kept no journal";
        std::this_thread::sleep_for(std::chrono::milliseconds(files / 400));
        ::kill(run, SIGKILL);
        const int status = waitFor(run);
        const std::set<std::string> afterKill = namesIn(folder);
        ASSERT_EQ(afterKill.size(), original.size()) << "a file was lost";
        int renamed = 0;
        for (const std::string &name : afterKill)
            renamed += name.rfind("Photo_", 0) == 0;

        const pid_t undo = spawnCli({"undo", "--yes"});
        EXPECT_TRUE(WIFEXITED(waitFor(undo)));
        EXPECT_EQ(namesIn(folder), original) << renamed << " of " << files << " were renamed when killed";
        EXPECT_FALSE(dir.exists(".data-home/Corvane/Renomiq/rollback.jnl"));

        if (WIFSIGNALED(status) && renamed > 0 && renamed < files)
            return; // killed in the middle, and undone: the case this test is for
        tries += " " + std::to_string(renamed) + "/" + std::to_string(files) + (WIFSIGNALED(status) ? " killed" : " ended");
        for (const std::string &name : original)
            ::unlink((folder + "/" + name).c_str());
    }
    GTEST_SKIP() << "the run could not be caught in the middle on this machine:" << tries;
}

} // namespace
} // namespace renomiq
