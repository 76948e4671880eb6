#include "platform/system_sound.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace renomiq {

void SystemSound::play(const std::string &waveName)
{
    const std::string file = m_folder + waveName;
    if (::access(file.c_str(), R_OK) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const char *argv[] = {"aplay", "-q", file.c_str(), nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, "aplay", &actions, nullptr, const_cast<char **>(argv), environ) == 0)
        ::waitpid(pid, nullptr, 0);
    posix_spawn_file_actions_destroy(&actions);
}

} // namespace renomiq
