#include "support/test_dir.h"

#include "platform/host_io.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <ftw.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace renomiq::test {

namespace {

int removeEntry(const char *path, const struct stat *, int, struct FTW *)
{
    ::chmod(path, 0700); // tests make items read-only
    return ::remove(path);
}

void makeWritable(const std::string &path)
{
    // A read-only folder would keep its entries from being removed.
    if (DIR *dir = ::opendir(path.c_str())) {
        while (const dirent *d = ::readdir(dir)) {
            const std::string name = d->d_name;
            if (name == "." || name == "..")
                continue;
            struct stat st {};
            const std::string child = path + '/' + name;
            if (::lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
                ::chmod(child.c_str(), 0700);
                makeWritable(child);
            }
        }
        ::closedir(dir);
    }
}

} // namespace

TestDir::TestDir()
{
    std::string pattern = "/tmp/renomiq-test-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_host = pattern;
    ::mkdir(configHome().c_str(), 0700);
    ::mkdir(dataHome().c_str(), 0700);
    ::setenv("XDG_CONFIG_HOME", configHome().c_str(), 1);
    ::setenv("XDG_DATA_HOME", dataHome().c_str(), 1);
    ::setenv("RENOMIQ_DRIVES", ("T=" + m_host).c_str(), 1);
}

TestDir::~TestDir()
{
    ::chmod(m_host.c_str(), 0700);
    makeWritable(m_host);
    ::nftw(m_host.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

std::string TestDir::win(const std::string &relative)
{
    std::string path = "T:\\" + relative;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

DriveTable TestDir::drives() const
{
    DriveTable table;
    table.setDrive('T', m_host);
    return table;
}

void TestDir::createFiles(const std::vector<std::string> &relativePaths) const
{
    for (const std::string &relative : relativePaths) {
        const bool folder = !relative.empty() && relative.back() == '/';
        const std::string path = host(folder ? relative.substr(0, relative.size() - 1) : relative);
        const std::string parent = path.substr(0, path.rfind('/'));
        if (!makeHostFolders(parent))
            throw std::runtime_error("cannot create " + parent);
        if (folder) {
            if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
                throw std::runtime_error("cannot create " + path);
        } else {
            writeFile(relative, std::string());
        }
    }
}

void TestDir::writeFile(const std::string &relative, const std::string &content) const
{
    std::ofstream out(host(relative), std::ios::binary | std::ios::trunc);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + relative);
}

std::string TestDir::readFile(const std::string &relative) const
{
    auto content = readHostFile(host(relative), std::size_t{1} << 30);
    return content ? *content : std::string("<missing>");
}

bool TestDir::exists(const std::string &relative) const
{
    struct stat st {};
    return ::lstat(host(relative).c_str(), &st) == 0;
}

std::vector<std::string> TestDir::list(const std::string &relative) const
{
    std::vector<std::string> names;
    if (DIR *dir = ::opendir(relative.empty() ? m_host.c_str() : host(relative).c_str())) {
        while (const dirent *d = ::readdir(dir)) {
            const std::string name = d->d_name;
            if (name != "." && name != ".." && name != ".config-home" && name != ".data-home")
                names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string TestDir::folderLine(const std::string &relative, const std::string &windowsPath) const
{
    const auto id = [](const struct stat &st) { return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino); };
    std::string up = host(relative);
    struct stat at {};
    if (::stat(up.c_str(), &at) != 0)
        return {};
    std::string line = "#folder " + id(at) + " " + windowsPath;
    for (const char *gap = "\\";; gap = " ") {
        up += "/..";
        struct stat above {};
        if (::stat(up.c_str(), &above) != 0 || (above.st_dev == at.st_dev && above.st_ino == at.st_ino))
            break;
        line += gap + id(above);
        at = above;
    }
    return line + (line.back() == '\\' ? "" : "\\");
}

} // namespace renomiq::test
