#include "cli/crash_support.h"

#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace renomiq::test {

std::string cliProgram()
{
    const char *other = std::getenv("RENOMIQ_CLI");
    return other && *other ? other : RENOMIQ_CLI_PATH;
}

pid_t start(const CliProcess &process)
{
    std::vector<std::string> all = process.prefix;
    all.push_back(cliProgram());
    all.insert(all.end(), process.args.begin(), process.args.end());
    std::vector<char *> argv;
    for (std::string &a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    // The child: only async-signal-safe calls from here on.
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open("/dev/null", O_WRONLY);
    const int err = process.errFile.empty() ? out
                                            : ::open(process.errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (process.fileSizeLimit >= 0) {
        const rlimit limit{static_cast<rlim_t>(process.fileSizeLimit), static_cast<rlim_t>(process.fileSizeLimit)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (process.addressSpaceLimit >= 0) {
        const rlimit limit{static_cast<rlim_t>(process.addressSpaceLimit),
                           static_cast<rlim_t>(process.addressSpaceLimit)};
        ::setrlimit(RLIMIT_AS, &limit);
    }
    if (process.user != 0 && ::geteuid() == 0) {
        if (::setgid(process.user) != 0 || ::setuid(process.user) != 0)
            ::_exit(126);
    }
    ::execvp(argv[0], argv.data());
    ::_exit(127);
}

int finish(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    return status;
}

int runToEnd(const CliProcess &process)
{
    return finish(start(process));
}

std::set<std::string> namesIn(const std::string &folder)
{
    std::set<std::string> names;
    if (DIR *dir = ::opendir(folder.c_str())) {
        while (const dirent *d = ::readdir(dir)) {
            const std::string name = d->d_name;
            if (name != "." && name != "..")
                names.insert(name);
        }
        ::closedir(dir);
    }
    return names;
}

void createFiles(const std::string &folder, const std::vector<std::string> &names)
{
    for (const std::string &name : names)
        ::close(::open((folder + "/" + name).c_str(), O_CREAT | O_WRONLY, 0644));
}

std::string readHost(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> journalsIn(const std::string &dataFolder)
{
    std::vector<std::string> journals;
    for (const std::string &name : namesIn(dataFolder)) {
        if (name.rfind("rollback", 0) == 0 && name.size() > 4 && name.compare(name.size() - 4, 4, ".jnl") == 0)
            journals.push_back(name);
    }
    return journals;
}

bool straceWorks()
{
    return std::system("strace -f -o /dev/null -e inject=getppid:error=EPERM true >/dev/null 2>&1")
        == 0;
}

} // namespace renomiq::test
