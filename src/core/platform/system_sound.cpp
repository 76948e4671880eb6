#include "platform/system_sound.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace renomiq {

namespace {

// Waits for the child, at most `timeout`; a child still running then is
// killed. Tells whether it ended with status 0 and whether it hung.
struct PlayerEnd {
    bool played = false;
    bool hung = false;
};

PlayerEnd waitForPlayer(pid_t pid, std::chrono::milliseconds timeout)
{
    PlayerEnd end;
    int status = 0;
    const int pidFd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (pidFd >= 0) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        pollfd p{pidFd, POLLIN, 0};
        int ready = 0;
        do {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            ready = ::poll(&p, 1, static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0)));
        } while (ready < 0 && errno == EINTR);
        ::close(pidFd);
        if (ready == 0) {
            ::kill(pid, SIGKILL);
            end.hung = true;
        }
    }
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    end.played = !end.hung && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return end;
}

PlayerEnd runPlayer(const std::string &program, std::vector<std::string> arguments, std::chrono::milliseconds timeout)
{
    std::vector<char *> argv;
    for (std::string &a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const bool started = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    return started ? waitForPlayer(pid, timeout) : PlayerEnd{};
}

} // namespace

const std::vector<std::vector<std::string>> &SystemSound::players()
{
    static const std::vector<std::vector<std::string>> list = {
        {"pw-play"},
        {"paplay"},
        {"aplay", "-q"},
    };
    return list;
}

std::string SystemSound::findProgram(const std::string &program, const std::string &pathVariable)
{
    std::size_t start = 0;
    while (start <= pathVariable.size()) {
        std::size_t end = pathVariable.find(':', start);
        if (end == std::string::npos)
            end = pathVariable.size();
        std::string folder = pathVariable.substr(start, end - start);
        start = end + 1;
        if (folder.empty())
            continue; // an empty entry would mean the current folder: never trusted here
        const std::string candidate = folder + '/' + program;
        struct stat st {};
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

void SystemSound::play(const std::string &waveName)
{
    const std::string file = m_folder + waveName;
    if (::access(file.c_str(), R_OK) != 0)
        return;
    const char *path = std::getenv("PATH");
    const std::string pathVariable = path ? path : "/usr/bin:/bin";
    // A player that is there but cannot reach its sound server fails at once;
    // the next one may still be able to play. One that hangs is stopped, and
    // the others are not tried: the sound system does not answer, and the
    // whole wait stays within the time limit.
    const auto deadline = std::chrono::steady_clock::now() + m_timeLimit;
    for (const std::vector<std::string> &player : players()) {
        const std::string program = findProgram(player[0], pathVariable);
        if (program.empty())
            continue;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return;
        std::vector<std::string> arguments = player;
        arguments.push_back(file);
        const PlayerEnd end = runPlayer(program, std::move(arguments), left);
        if (end.played || end.hung)
            return;
    }
}

} // namespace renomiq
