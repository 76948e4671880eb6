#include "platform/system_sound.h"

#include <cerrno>
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

// A player that has not ended after this long is stopped: a run's end must
// never wait on a sound server that does not answer.
constexpr int kPlayerTimeoutMs = 10000;

// Waits for the child, at most the timeout; true when it ended with status 0.
bool waitForPlayer(pid_t pid)
{
    int status = 0;
    const int pidFd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (pidFd >= 0) {
        pollfd p{pidFd, POLLIN, 0};
        int ready = 0;
        do
            ready = ::poll(&p, 1, kPlayerTimeoutMs);
        while (ready < 0 && errno == EINTR);
        ::close(pidFd);
        if (ready == 0)
            ::kill(pid, SIGKILL);
    }
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool runPlayer(const std::string &program, std::vector<std::string> arguments)
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
    return started && waitForPlayer(pid);
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
    // the next one may still be able to play.
    for (const std::vector<std::string> &player : players()) {
        const std::string program = findProgram(player[0], pathVariable);
        if (program.empty())
            continue;
        std::vector<std::string> arguments = player;
        arguments.push_back(file);
        if (runPlayer(program, std::move(arguments)))
            return;
    }
}

} // namespace renomiq
