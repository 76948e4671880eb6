#include "platform/user_folders.h"

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace renomiq::UserFolders {

namespace {

std::string home()
{
    if (const char *h = std::getenv("HOME"); h && *h)
        return h;
    if (const passwd *pw = ::getpwuid(::getuid()))
        return pw->pw_dir;
    return "/";
}

std::string fromEnvironment(const char *variable, const char *fallbackUnderHome)
{
    // The XDG rules ignore relative values.
    if (const char *v = std::getenv(variable); v && v[0] == '/')
        return v;
    return home() + fallbackUnderHome;
}

} // namespace

std::string configHome()
{
    return fromEnvironment("XDG_CONFIG_HOME", "/.config");
}

std::string dataHome()
{
    return fromEnvironment("XDG_DATA_HOME", "/.local/share");
}

std::string registryFile()
{
    return configHome() + "/Corvane/Renomiq/registry.reg";
}

std::string dataFolder()
{
    return dataHome() + "/Corvane/Renomiq/";
}

std::string programFolder()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return "/";
    std::string path(buffer, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

std::string installFolder()
{
    const std::string program = programFolder();
    char resolved[PATH_MAX];
    struct stat st {};
    if (::realpath((program + "../share/renomiq").c_str(), resolved) && ::stat(resolved, &st) == 0
        && S_ISDIR(st.st_mode))
        return std::string(resolved) + '/';
    return program;
}

} // namespace renomiq::UserFolders
