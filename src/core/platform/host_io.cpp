#include "platform/host_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <dirent.h>
#include <random>
#include <vector>
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
    FileDescriptor(FileDescriptor &&other) noexcept : m_fd(other.release()) {}
    FileDescriptor &operator=(FileDescriptor &&other) noexcept
    {
        if (this != &other) {
            if (m_fd >= 0)
                ::close(m_fd);
            m_fd = other.release();
        }
        return *this;
    }
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
    auto file = readIdentifiedHostFile(hostPath, limit, FinalLink::Follow);
    if (!file)
        return file.error();
    return std::move(file->content);
}

Result<HostFileRead> readIdentifiedHostFile(const std::string &hostPath, std::size_t limit, FinalLink link)
{
    const auto notRegular = [&] {
        return Error{EINVAL, "Cannot read '" + hostPath + "': it is not a regular file"};
    };
    const auto tooLarge = [&] {
        return Error{EFBIG, "Cannot read '" + hostPath + "': it is larger than " + sizeText(limit)};
    };
    // Looked at before it is opened: opening a device can do something.
    const bool follow = link == FinalLink::Follow;
    struct stat st {};
    if ((follow ? ::stat(hostPath.c_str(), &st) : ::lstat(hostPath.c_str(), &st)) != 0)
        return errnoError(errno, "Cannot open", hostPath);
    if (S_ISLNK(st.st_mode))
        return Error{ELOOP, "Cannot read '" + hostPath + "': it is a link"};
    if (!S_ISREG(st.st_mode))
        return notRegular();
    // Without blocking: what is there now may have been swapped for a FIFO.
    FileDescriptor fd(::open(hostPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW)));
    if (fd.get() < 0)
        return errnoError(errno, "Cannot open", hostPath);
    if (::fstat(fd.get(), &st) != 0)
        return errnoError(errno, "Cannot read", hostPath);
    if (!S_ISREG(st.st_mode))
        return notRegular();
    if (static_cast<std::uint64_t>(st.st_size) > limit)
        return tooLarge();
    HostFileRead file{{}, static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    std::string &content = file.content;
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
    return file;
}

namespace {

bool isStaleTemporaryName(const std::string &name, const std::string &fileName)
{
    // "NAME.tmp-" and the six letters or digits of mkostemp.
    const std::string prefix = fileName + ".tmp-";
    return name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0
        && std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

// A new named temporary file, locked before anyone could take it for a
// leftover; tried again when a clean-up took it first.
int createLockedTemporary(std::string &temp)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        temp.replace(temp.size() - 6, 6, "XXXXXX");
        const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return fd;
        ::close(fd);
        errno = EAGAIN;
    }
    return -1;
}

// Gives a nameless file (O_TMPFILE) a free temporary name "NAME.tmp-XXXXXX".
bool linkNameless(int fd, std::string &temp)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937 random(std::random_device{}());
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t i = temp.size() - 6; i < temp.size(); ++i)
            temp[i] = letters[random() % (sizeof letters - 1)];
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// The content, its mode, flushed to disk. False with errno set.
bool writeWhole(int fd, const std::string &content, mode_t mode)
{
    size_t written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
}

} // namespace

void removeStaleTemporaries(const std::string &hostFolder, const std::string &fileName)
{
    DIR *dir = ::opendir(hostFolder.c_str());
    if (!dir)
        return;
    std::vector<std::string> stale;
    while (const dirent *d = ::readdir(dir)) {
        if (isStaleTemporaryName(d->d_name, fileName))
            stale.emplace_back(d->d_name);
    }
    ::closedir(dir);
    for (const std::string &name : stale) {
        const std::string path = hostFolder + (hostFolder.ends_with('/') ? "" : "/") + name;
        struct stat named {};
        // Beside a file the user chose: only what this user's writes leave.
        if (::lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode) || named.st_uid != ::geteuid()
            || named.st_nlink != 1)
            continue;
        FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat held {};
        // Its writer holds it while it lives; the name must still be that file.
        if (fd.get() < 0 || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 || ::fstat(fd.get(), &held) != 0
            || ::lstat(path.c_str(), &named) != 0 || named.st_ino != held.st_ino || named.st_dev != held.st_dev)
            continue;
        ::unlink(path.c_str());
    }
}

Status writeHostFileAtomic(const std::string &hostPath, const std::string &content, mode_t mode)
{
    const std::string folder = parentOf(hostPath);
    // What writes of this file left when their process was killed.
    removeStaleTemporaries(folder, hostPath.substr(hostPath.rfind('/') + 1));

    std::string temp = hostPath + ".tmp-XXXXXX";
    // Where the file system allows, the content goes to a file without a
    // name, which a killed process leaves nowhere; it is named only once it
    // is whole, and locked all along, so that a clean-up leaves it alone.
    bool named = false;
    FileDescriptor fd(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (fd.get() >= 0) {
        ::flock(fd.get(), LOCK_EX | LOCK_NB); // nobody else can reach it yet
        if (!writeWhole(fd.get(), content, mode))
            return errnoError(errno, "Cannot write", hostPath);
        named = linkNameless(fd.get(), temp);
        if (!named)
            fd = FileDescriptor(-1); // no /proc: the named way
    }
    if (!named) {
        fd = FileDescriptor(createLockedTemporary(temp));
        if (fd.get() < 0)
            return errnoError(errno, "Cannot create", temp);
        if (!writeWhole(fd.get(), content, mode)) {
            const int code = errno;
            ::unlink(temp.c_str());
            return errnoError(code, "Cannot write", hostPath);
        }
    }
    if (::rename(temp.c_str(), hostPath.c_str()) != 0) {
        const int code = errno;
        ::unlink(temp.c_str());
        return errnoError(code, "Cannot replace", hostPath);
    }
    if (::close(fd.release()) != 0)
        return Status(errnoError(errno, "Cannot write", hostPath));

    // Make the rename itself durable.
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
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
