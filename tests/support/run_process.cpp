#include "support/run_process.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace renomiq::test {

ProcessResult runProcess(const std::vector<std::string> &arguments, const std::string &workingFolder)
{
    ProcessResult result;
    std::vector<std::string> args = arguments;
    if (!workingFolder.empty()) {
        // posix_spawn has no portable working-folder action: go through the shell.
        std::string command = "cd \"$0\" && exec \"$@\"";
        args.insert(args.begin(), {"/bin/sh", "-c", command, workingFolder});
    }
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    pid_t pid = 0;
    const int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned == 0) {
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
            if (n > 0)
                result.output.append(buffer, static_cast<size_t>(n));
        }
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (WIFEXITED(status))
            result.exitCode = WEXITSTATUS(status);
    }
    ::close(pipeFds[0]);
    return result;
}

void writeScript(const std::string &hostPath, const std::string &body)
{
    {
        std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
        out << "#!/bin/sh\n" << body;
    }
    ::chmod(hostPath.c_str(), 0755);
}

} // namespace renomiq::test
