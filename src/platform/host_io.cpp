#include "platform/host_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace renomiq {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }
    int release()
    {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

std::string parentOf(const std::string &hostPath)
{
    const size_t slash = hostPath.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : hostPath.substr(0, slash);
}

std::string sizeText(std::size_t bytes)
{
    constexpr std::size_t mebibyte = std::size_t{1} << 20;
    if (bytes >= mebibyte && bytes % mebibyte == 0)
        return std::to_string(bytes / mebibyte) + " MiB";
    return std::to_string(bytes) + " bytes";
}

} // namespace

Result<std::string> readHostFile(const std::string &hostPath, std::size_t limit)
{
    const auto notRegular = [&] {
        return Error{EINVAL, "Cannot read '" + hostPath + "': it is not a regular file"};
    };
    const auto tooLarge = [&] {
        return Error{EFBIG, "Cannot read '" + hostPath + "': it is larger than " + sizeText(limit)};
    };
    // Looked at before it is opened: opening a device can do something.
    struct stat st {};
    if (::stat(hostPath.c_str(), &st) != 0)
        return errnoError(errno, "Cannot open", hostPath);
    if (!S_ISREG(st.st_mode))
        return notRegular();
    // Without blocking: what is there now may have been swapped for a FIFO.
    FileDescriptor fd(::open(hostPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return errnoError(errno, "Cannot open", hostPath);
    if (::fstat(fd.get(), &st) != 0)
        return errnoError(errno, "Cannot read", hostPath);
    if (!S_ISREG(st.st_mode))
        return notRegular();
    if (static_cast<std::uint64_t>(st.st_size) > limit)
        return tooLarge();
    std::string content;
    content.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        // One byte beyond the limit tells a file that grew past it.
        const std::size_t room = limit - std::min(limit, content.size()) + 1;
        const ssize_t n = ::read(fd.get(), buffer, std::min(sizeof buffer, room));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errnoError(errno, "Cannot read", hostPath);
        }
        if (n == 0)
            break;
        content.append(buffer, static_cast<size_t>(n));
        if (content.size() > limit)
            return tooLarge();
    }
    return content;
}

Status writeHostFileAtomic(const std::string &hostPath, const std::string &content, mode_t mode)
{
    std::string temp = hostPath + ".tmp-XXXXXX";
    FileDescriptor fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return errnoError(errno, "Cannot create", temp);
    // Held until the file has its name: a start-up clean-up leaves alone the
    // temporary files of a live process.
    ::flock(fd.get(), LOCK_EX | LOCK_NB);

    auto fail = [&](const char *action) {
        const int code = errno;
        ::unlink(temp.c_str());
        return Status(errnoError(code, action, hostPath));
    };

    size_t written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd.get(), content.data() + written, content.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail("Cannot write");
        }
        written += static_cast<size_t>(n);
    }
    if (::fchmod(fd.get(), mode) != 0 || ::fsync(fd.get()) != 0)
        return fail("Cannot write");
    if (::rename(temp.c_str(), hostPath.c_str()) != 0)
        return fail("Cannot replace");
    if (::close(fd.release()) != 0)
        return Status(errnoError(errno, "Cannot write", hostPath));

    // Make the rename itself durable.
    FileDescriptor dir(::open(parentOf(hostPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
    return Status::success();
}

HostFileLock::HostFileLock(const std::string &lockFile)
    : m_fd(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
{
    if (m_fd >= 0) {
        while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

HostFileLock::~HostFileLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock
}

Status makeHostFolders(const std::string &hostPath)
{
    std::string path;
    size_t start = 0;
    while (start <= hostPath.size()) {
        size_t end = hostPath.find('/', start);
        if (end == std::string::npos)
            end = hostPath.size();
        path = hostPath.substr(0, end);
        start = end + 1;
        if (path.empty())
            continue;
        if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
            return errnoError(errno, "Cannot create folder", path);
    }
    struct stat st {};
    if (::stat(hostPath.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return errnoError(ENOTDIR, "Cannot create folder", hostPath);
    return Status::success();
}

} // namespace renomiq
