#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace renomiq::test {

// What stands at the name of a file the program reads, in place of the file.
enum class Special { Fifo, LinkToZero, Oversized };

// An oversized file is a regular file one byte larger than `bound` (sparse:
// nothing to write).
inline void makeSpecial(const std::string &hostPath, Special kind, long bound = 0)
{
    if (kind == Special::Fifo) {
        ASSERT_EQ(::mkfifo(hostPath.c_str(), 0600), 0) << hostPath;
    } else if (kind == Special::LinkToZero) {
        ASSERT_EQ(::symlink("/dev/zero", hostPath.c_str()), 0) << hostPath;
    } else {
        const int fd = ::open(hostPath.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0) << hostPath;
        EXPECT_EQ(::ftruncate(fd, bound + 1), 0) << hostPath;
        ::close(fd);
    }
}

} // namespace renomiq::test
