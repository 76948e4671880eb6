#include "platform/host_journal.h"

#include "platform/host_io.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace renomiq {

namespace {

using ToHost = std::function<std::optional<std::string>(const std::string &)>;

std::string folderOf(const std::string &hostPath)
{
    const std::size_t slash = hostPath.rfind('/');
    return slash == 0 ? std::string("/") : hostPath.substr(0, slash);
}

void syncFolderOf(const std::string &hostPath)
{
    const int dir = ::open(folderOf(hostPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

// The journal as a shared mapping of its file: a record copied into it belongs
// to the kernel's page cache at once, so it outlives a killed process. Only a
// window at its end is mapped, so the process does not grow with the journal;
// disk space is reserved ahead of the copies, a step at a time, so a full disk
// is a failed append, never a fault while copying, and a nearly full one still
// takes a journal as long as its records fit.
class MappedJournal : public Journal {
public:
    MappedJournal(std::string hostPath, int fd, std::size_t window, std::size_t limit, ToHost toHost)
        : m_path(std::move(hostPath)), m_fd(fd), m_windowSize(window), m_limit(limit), m_toHost(std::move(toHost))
    {
    }
    ~MappedJournal() override { close(); } // releases the lock; the file stays for recovery

    Status mapFirstWindow()
    {
        Status mapped = mapWindowAt(0);
        return mapped ? reserve(1) : mapped;
    }

    Status append(std::string_view text) override
    {
        if (m_fd < 0)
            return Error{EBADF, "The journal is closed"};
        // A journal deleted with its folder keeps taking records that no
        // recovery would find: it is looked at before each record, so the run
        // stops before its next rename (one fstat, far cheaper than the rename).
        if (Status there = stillThere(); !there)
            return there;
        return appendLooked(text);
    }

    Status appendLooked(std::string_view text) override
    {
        if (m_fd < 0)
            return Error{EBADF, "The journal is closed"};
        // Past its bound no undo would read it.
        if (text.size() > m_limit - std::min(m_size, m_limit))
            return Error{EFBIG, "The journal " + m_path + " would grow past " + std::to_string(m_limit >> 20) + " MiB"};
        const std::size_t start = m_size;
        while (!text.empty()) {
            if (!m_window || m_size < m_windowStart || m_size >= m_windowStart + m_windowSize) {
                Status mapped = mapWindowAt(m_size - m_size % m_windowSize);
                if (!mapped) {
                    truncate(start);
                    return mapped;
                }
            }
            const std::size_t room = m_windowStart + m_windowSize - m_size;
            const std::size_t n = std::min(room, text.size());
            if (Status reserved = reserve(m_size + n); !reserved) {
                truncate(start);
                return reserved;
            }
            std::memcpy(m_window + (m_size - m_windowStart), text.data(), n);
            m_size += n;
            text.remove_prefix(n);
        }
        return Status::success();
    }

    std::size_t size() const override { return m_size; }

    void truncate(std::size_t size) override
    {
        if (size >= m_size)
            return;
        // The bytes taken back are cleared, so that a recovery reads up to the
        // first zero byte; those before the window (rare: a record across a
        // window edge) through the file.
        for (std::size_t pos = size; pos < m_size;) {
            if (m_window && pos >= m_windowStart) {
                std::memset(m_window + (pos - m_windowStart), 0, m_size - pos);
                break;
            }
            const std::size_t n = std::min(m_size, m_window ? m_windowStart : m_size) - pos;
            const std::string zeros(n, '\0');
            if (::pwrite(m_fd, zeros.data(), n, static_cast<off_t>(pos)) < 0)
                break;
            pos += n;
        }
        m_size = size;
        if (m_window && m_size < m_windowStart)
            unmap(); // the next append maps the window that holds the end
    }

    void overwrite(std::size_t offset, std::string_view text) override
    {
        if (m_fd < 0 || offset + text.size() > m_size)
            return;
        // Within the window in place; what lies before it through the file.
        if (m_window && offset >= m_windowStart) {
            std::memcpy(m_window + (offset - m_windowStart), text.data(), text.size());
            return;
        }
        const std::size_t before = m_window ? std::min(text.size(), m_windowStart - offset) : text.size();
        if (::pwrite(m_fd, text.data(), before, static_cast<off_t>(offset)) < 0)
            return;
        if (before < text.size())
            std::memcpy(m_window, text.data() + before, text.size() - before);
    }

    Status commitAs(const std::string &path) override
    {
        auto target = m_toHost(path);
        if (!target)
            return Error{EINVAL, "No drive holds the path '" + path + "'"};
        if (m_fd < 0)
            return Error{EBADF, "The journal is closed"};
        unmap();
        if (!stillThere()) {
            // Deleted with its folder: what it holds is still here to be saved.
            Status saved = saveDeleted(*target, path);
            if (saved)
                close();
            return saved;
        }
        if (::ftruncate(m_fd, static_cast<off_t>(m_size)) != 0 || ::fsync(m_fd) != 0
            || ::rename(m_path.c_str(), target->c_str()) != 0)
            return errnoError(errno, "Cannot write", path);
        // Read-only only now that it is the undo log: a journal stays open to
        // its owner's recovery even without root's rights.
        ::fchmod(m_fd, 0444);
        syncFolderOf(*target);
        close();
        return Status::success();
    }

    void discard() override
    {
        ::unlink(m_path.c_str()); // before the lock goes, so nobody takes it as abandoned
        close();
    }

    Status stillThere() const override
    {
        struct stat st {};
        if (::fstat(m_fd, &st) != 0)
            return errnoError(errno, "Cannot read", m_path);
        if (st.st_nlink == 0)
            return Error{ENOENT, "The journal " + m_path + " was deleted (its folder is gone)"};
        return Status::success();
    }

private:
    // Writes the records of a deleted journal as the file at `target`, its
    // folders made anew.
    Status saveDeleted(const std::string &target, const std::string &path)
    {
        if (Status made = makeHostFolders(folderOf(target)); !made)
            return made;
        std::string temp = target + ".tmp-XXXXXX";
        const int out = ::mkostemp(temp.data(), O_CLOEXEC);
        if (out < 0)
            return errnoError(errno, "Cannot write", path);
        std::string buffer(std::min(m_size, std::size_t{1} << 20), '\0');
        bool ok = true;
        for (std::size_t done = 0; ok && done < m_size;) {
            const ssize_t n = ::pread(m_fd, buffer.data(), std::min(buffer.size(), m_size - done),
                                      static_cast<off_t>(done));
            ok = n > 0 && ::write(out, buffer.data(), static_cast<std::size_t>(n)) == n;
            done += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        ok = ok && ::fchmod(out, 0444) == 0 && ::fsync(out) == 0 && ::rename(temp.c_str(), target.c_str()) == 0;
        const int code = errno;
        ::close(out);
        if (!ok) {
            ::unlink(temp.c_str());
            return errnoError(code != 0 ? code : EIO, "Cannot write", path);
        }
        syncFolderOf(target);
        return Status::success();
    }

    Status mapWindowAt(std::size_t start)
    {
        unmap();
        void *data = ::mmap(nullptr, m_windowSize, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, static_cast<off_t>(start));
        if (data == MAP_FAILED)
            return errnoError(errno, "Cannot map the journal", m_path);
        m_window = static_cast<char *>(data);
        m_windowStart = start;
        return Status::success();
    }

    // Makes sure the file's space up to `end` (within the window) is there
    // before bytes are copied into it: a step ahead when the disk allows,
    // otherwise only the pages needed.
    Status reserve(std::size_t end)
    {
        if (end <= m_reserved)
            return Status::success();
        if (Status there = stillThere(); !there)
            return there;
        const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
        const std::size_t needed = (end + page - 1) / page * page;
        const std::size_t ahead = std::min(m_windowStart + m_windowSize, std::max(needed, m_reserved + kReserveStep));
        for (const std::size_t upTo : {ahead, needed}) {
            const int code = ::posix_fallocate(m_fd, static_cast<off_t>(m_reserved), static_cast<off_t>(upTo - m_reserved));
            if (code == 0) {
                m_reserved = upTo;
                return Status::success();
            }
            if (upTo == needed)
                return errnoError(code, "Cannot write the journal", m_path);
        }
        return Status::success();
    }

    void unmap()
    {
        if (m_window)
            ::munmap(m_window, m_windowSize);
        m_window = nullptr;
    }

    void close()
    {
        unmap();
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    std::string m_path;
    int m_fd;
    std::size_t m_windowSize;
    std::size_t m_limit;
    ToHost m_toHost;
    char *m_window = nullptr;
    std::size_t m_windowStart = 0;
    std::size_t m_size = 0;
    std::size_t m_reserved = 0; // the file's bytes whose space is allocated
    static constexpr std::size_t kReserveStep = std::size_t{64} << 10;
};

bool earlier(const timespec &a, const timespec &b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// A journal left by a process that died, locked while this object lives. It
// is only read, so it opens read-only: a journal that lost its write rights
// is recovered all the same.
class ClaimedJournal : public AbandonedJournal {
public:
    ClaimedJournal(std::string path, std::string hostPath, int fd, const struct stat &st, ToHost toHost)
        : m_path(std::move(path)), m_hostPath(std::move(hostPath)), m_fd(fd), m_stat(st), m_toHost(std::move(toHost))
    {
    }
    ~ClaimedJournal() override { ::close(m_fd); }

    const std::string &path() const override { return m_path; }
    std::int64_t lastWriteNanoseconds() const override
    {
        return static_cast<std::int64_t>(m_stat.st_mtim.tv_sec) * 1000000000 + m_stat.st_mtim.tv_nsec;
    }

    bool notWrittenAfter(const std::string &path) const override
    {
        auto host = m_toHost(path);
        struct stat st {};
        return host && ::stat(host->c_str(), &st) == 0 && !earlier(st.st_mtim, m_stat.st_mtim);
    }

    std::uint64_t size() const override { return static_cast<std::uint64_t>(m_stat.st_size); }

    Status read(const std::function<bool(std::string_view piece)> &visit) override
    {
        std::string buffer(std::size_t{1} << 20, '\0');
        for (off_t offset = 0;;) {
            const ssize_t n = ::pread(m_fd, buffer.data(), buffer.size(), offset);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return errnoError(errno, "Cannot read", m_path);
            }
            if (n == 0 || !visit(std::string_view(buffer.data(), static_cast<std::size_t>(n))))
                return Status::success();
            offset += n;
        }
    }

    Status saveAs(const std::string &path, std::size_t length,
                  const std::vector<std::pair<std::size_t, std::string>> &overwritten) override
    {
        auto target = m_toHost(path);
        if (!target)
            return Error{EINVAL, "No drive holds the path '" + path + "'"};
        std::string temp = *target + ".tmp-XXXXXX";
        const int out = ::mkostemp(temp.data(), O_CLOEXEC);
        if (out < 0)
            return errnoError(errno, "Cannot write", path);
        // Held until the copy has its name: the clean-up of leftovers at the
        // next start leaves a live process's copy alone.
        ::flock(out, LOCK_EX | LOCK_NB);
        auto fail = [&] {
            const int code = errno;
            ::close(out);
            ::unlink(temp.c_str());
            return Status(errnoError(code, "Cannot write", path));
        };
        std::string buffer(std::min(length, std::size_t{1} << 20), '\0');
        for (std::size_t done = 0; done < length;) {
            const ssize_t n = ::pread(m_fd, buffer.data(), std::min(buffer.size(), length - done),
                                      static_cast<off_t>(done));
            if (n <= 0) {
                if (n < 0 && errno == EINTR)
                    continue;
                if (n == 0)
                    errno = EIO;
                return fail();
            }
            for (const auto &[offset, text] : overwritten) {
                const std::size_t from = std::max(offset, done);
                const std::size_t to = std::min(offset + text.size(), done + static_cast<std::size_t>(n));
                if (from < to)
                    std::memcpy(buffer.data() + (from - done), text.data() + (from - offset), to - from);
            }
            for (ssize_t written = 0; written < n;) {
                const ssize_t w = ::write(out, buffer.data() + written, static_cast<std::size_t>(n - written));
                if (w < 0) {
                    if (errno == EINTR)
                        continue;
                    return fail();
                }
                written += w;
            }
            done += static_cast<std::size_t>(n);
        }
        // The log keeps the time of the run it records, by which logs are ordered.
        const timespec times[2] = {m_stat.st_atim, m_stat.st_mtim};
        if (::fchmod(out, 0444) != 0 || ::futimens(out, times) != 0 || ::fsync(out) != 0)
            return fail();
        if (::rename(temp.c_str(), target->c_str()) != 0) {
            const int code = errno;
            ::close(out);
            ::unlink(temp.c_str());
            return errnoError(code, "Cannot replace", path);
        }
        ::close(out);
        syncFolderOf(*target);
        return Status::success();
    }

    Status remove() override
    {
        if (::unlink(m_hostPath.c_str()) != 0)
            return errnoError(errno, "Cannot delete", m_path);
        syncFolderOf(m_hostPath);
        return Status::success();
    }

private:
    std::string m_path;
    std::string m_hostPath;
    int m_fd;
    struct stat m_stat;
    ToHost m_toHost;
};

// Something at a journal's name that is not a regular file (a FIFO, a
// device, a link): never opened, never removed; reading it fails.
class UnreadableJournal : public AbandonedJournal {
public:
    explicit UnreadableJournal(std::string path) : m_path(std::move(path)) {}

    const std::string &path() const override { return m_path; }
    std::int64_t lastWriteNanoseconds() const override { return 0; }
    bool notWrittenAfter(const std::string &) const override { return true; }
    std::uint64_t size() const override { return 0; }
    Status read(const std::function<bool(std::string_view piece)> &) override
    {
        return Error{EINVAL, "'" + m_path + "' is not a regular file"};
    }
    Status saveAs(const std::string &path, std::size_t, const std::vector<std::pair<std::size_t, std::string>> &) override
    {
        return Error{EINVAL, "Cannot write '" + path + "': '" + m_path + "' is not a regular file"};
    }
    Status remove() override { return Error{EINVAL, "'" + m_path + "' is not a regular file"}; }

private:
    std::string m_path;
};

bool endsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The temporary file of an atomic write of one of the program's files in the
// data folder: the undo logs ("rollback.rbk", "rollback.ID.rbk") and their
// descriptions ("rollback.lst"), the name
// history ("Newname.txt") and the hand-off file ("fn000.tmp"), each followed
// by ".tmp-" and six letters or digits of mkostemp.
bool isWriteTemporary(std::string_view name)
{
    const std::size_t tmp = name.rfind(".tmp-");
    if (tmp == std::string_view::npos || name.size() - tmp != 11
        || !std::all_of(name.begin() + static_cast<std::ptrdiff_t>(tmp + 5), name.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           }))
        return false;
    const std::string_view stem = name.substr(0, tmp);
    return (stem.rfind("rollback", 0) == 0 && endsWith(stem, ".rbk")) || stem == "rollback.lst" || stem == "Newname.txt"
        || stem == "fn000.tmp";
}

// Opens and locks a file of the folder unless a live process holds it or it
// is no longer the file at that name. -1 when it cannot be had.
int claim(const std::string &hostPath, struct stat &st)
{
    // Only a regular file is opened (a device could act on being opened), and
    // without blocking (a FIFO swapped in meanwhile must not stop the start).
    if (::lstat(hostPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat named {};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &st) != 0 || ::stat(hostPath.c_str(), &named) != 0
        || named.st_ino != st.st_ino || named.st_dev != st.st_dev || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

namespace HostJournal {

Result<std::unique_ptr<Journal>> create(const std::string &hostFolder, std::size_t window, std::size_t limit,
                                        ToHost toHost)
{
    static std::mt19937_64 random(std::random_device{}()
                                  ^ static_cast<std::uint64_t>(
                                      std::chrono::steady_clock::now().time_since_epoch().count()));
    Error error{EIO, "Cannot create the journal"};
    for (int attempt = 0; attempt < 3; ++attempt) {
        char id[40];
        std::snprintf(id, sizeof id, "%d-%012llx", static_cast<int>(::getpid()),
                      static_cast<unsigned long long>(random() & 0xffffffffffffULL));
        // Made under a name no recovery looks at, locked, and only then given
        // its journal name: no other process can take it for abandoned.
        const std::string fresh = hostFolder + "rollback." + id + ".new";
        const std::string path = hostFolder + "rollback." + id + ".jnl";
        const int fd = ::open(fresh.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            error = errnoError(errno, "Cannot create", fresh);
            if (errno == EEXIST)
                continue;
            return error;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            error = errnoError(errno, "Cannot lock", fresh);
            ::close(fd);
            continue;
        }
        auto journal = std::make_unique<MappedJournal>(path, fd, window, limit, toHost);
        Status mapped = journal->mapFirstWindow();
        if (!mapped) {
            ::unlink(fresh.c_str());
            return mapped.error();
        }
        if (::rename(fresh.c_str(), path.c_str()) != 0) {
            error = errnoError(errno, "Cannot create", path);
            ::unlink(fresh.c_str());
            continue; // taken away by a cleanup in between: once more
        }
        return std::unique_ptr<Journal>(std::move(journal));
    }
    return error;
}

std::vector<std::unique_ptr<AbandonedJournal>> abandoned(const std::string &hostFolder,
                                                          const std::string &windowsFolder, ToHost toHost)
{
    std::vector<std::unique_ptr<AbandonedJournal>> found;
    std::vector<std::string> names;
    if (DIR *dir = ::opendir(hostFolder.c_str())) {
        while (const dirent *d = ::readdir(dir)) {
            const std::string_view name = d->d_name;
            if ((name.rfind("rollback", 0) == 0 && (endsWith(name, ".jnl") || endsWith(name, ".new")))
                || isWriteTemporary(name))
                names.emplace_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    for (const std::string &name : names) {
        const std::string hostPath = hostFolder + name;
        struct stat st {};
        if (endsWith(name, ".jnl") && ::lstat(hostPath.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            // Told to the user, left where it is.
            found.push_back(std::make_unique<UnreadableJournal>(windowsFolder + name));
            continue;
        }
        const int fd = claim(hostPath, st);
        if (fd < 0)
            continue;
        if (!endsWith(name, ".jnl")) {
            // Left by a process that died while making its journal (empty)
            // or while writing a file (the file before it is whole).
            ::unlink(hostPath.c_str());
            ::close(fd);
            continue;
        }
        found.push_back(std::make_unique<ClaimedJournal>(windowsFolder + name, hostPath, fd, st, toHost));
    }
    return found;
}

} // namespace HostJournal

} // namespace renomiq
