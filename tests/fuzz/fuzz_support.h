#pragma once

// What the fuzz targets of files and command lines share: a scratch folder of
// the process's own, the bytes written as a file, arguments cut from bytes.
#include "platform/drive_table.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace renomiq::fuzz {

inline const std::string &scratch();

// Drive F: is the scratch folder.
inline DriveTable scratchDrive()
{
    DriveTable drives;
    drives.setDrive('F', scratch());
    return drives;
}

inline void writeHost(const std::string &path, const std::uint8_t *data, std::size_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        std::abort();
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0)
            std::abort();
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

// Removes the folder with all it holds (or the file).
inline void removeTree(const std::string &path)
{
    ::nftw(
        path.c_str(),
        [](const char *entry, const struct stat *, int, struct FTW *) {
            ::chmod(entry, 0700);
            return ::remove(entry);
        },
        16, FTW_DEPTH | FTW_PHYS);
}

// Made once per process, under /tmp, and removed when the process ends.
inline const std::string &scratch()
{
    static const std::string folder = [] {
        std::string pattern = "/tmp/renomiq-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        // A copy that outlives the string, which is destroyed before this runs.
        static char made[32];
        pattern.copy(made, sizeof made - 1);
        std::atexit([] { removeTree(made); });
        return pattern;
    }();
    return folder;
}

// Empties the folder and keeps it: a file system that holds it open (for a
// second) keeps finding it.
inline void emptyFolder(const std::string &path)
{
    if (DIR *dir = ::opendir(path.c_str())) {
        std::vector<std::string> names;
        while (const dirent *d = ::readdir(dir)) {
            const std::string name = d->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
        for (const std::string &name : names)
            removeTree(path + "/" + name);
    }
}

// The bytes cut at each NUL: the arguments of a command line.
inline std::vector<std::string> arguments(const std::uint8_t *data, std::size_t size)
{
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    return args;
}

} // namespace renomiq::fuzz
