#include "platform/host_file_system.h"

#include "platform/new_name_check.h"

#include "platform/host_io.h"
#include "platform/name_order.h"
#include "platform/host_journal.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace renomiq {

namespace {

DirEntry entryFromStat(std::string name, const struct stat &st)
{
    DirEntry entry;
    entry.isDirectory = S_ISDIR(st.st_mode);
    entry.attributes = entry.isDirectory ? AttrDirectory : AttrArchive;
    if (!name.empty() && name[0] == '.')
        entry.attributes |= AttrHidden;
    if ((st.st_mode & S_IWUSR) == 0)
        entry.attributes |= AttrReadOnly;
    entry.size = entry.isDirectory ? 0 : static_cast<std::uint64_t>(st.st_size);
    entry.lastWriteTime = st.st_mtime;
    entry.name = std::move(name);
    return entry;
}

std::string lastComponent(const std::string &hostPath)
{
    const size_t slash = hostPath.rfind('/');
    return slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
}

std::string folderOf(const std::string &hostPath)
{
    const size_t slash = hostPath.rfind('/');
    return slash == std::string::npos ? std::string() : hostPath.substr(0, slash + 1);
}

bool equalIgnoringAsciiCase(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::string withTrailingSlash(std::string hostPath)
{
    if (hostPath.empty() || hostPath.back() != '/')
        hostPath += '/';
    return hostPath;
}

// The temporary name of a change of letter case: the same for every spelling
// of the name, so that an undo cut short on its way through it finds it again
// in the journal of the run it undoes.
std::string detourNameFor(const std::string &name)
{
    std::uint64_t hash = 1469598103934665603ULL;
    for (char c : name) {
        const unsigned char lower = static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c + 32 : c);
        hash = (hash ^ lower) * 1099511628211ULL;
    }
    char text[48];
    std::snprintf(text, sizeof text, ".renomiq-case-%016llx.tmp", static_cast<unsigned long long>(hash));
    return text;
}

// An item named relative to an open folder (or to the working folder, with a
// whole path).
struct At {
    int fd;
    const char *name;
};

bool sameItem(At a, At b)
{
    struct stat sa {}, sb {};
    return ::fstatat(a.fd, a.name, &sa, AT_SYMLINK_NOFOLLOW) == 0 && ::fstatat(b.fd, b.name, &sb, AT_SYMLINK_NOFOLLOW) == 0
        && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

int renameNoReplace(At from, At to)
{
    return ::renameat2(from.fd, from.name, to.fd, to.name, RENAME_NOREPLACE);
}

// For file systems that refuse RENAME_NOREPLACE: the target is claimed first by
// an operation that itself never replaces anything, so there is no moment in
// which an item that appears at the target could be overwritten.
int renameByReservation(At from, At to)
{
    struct stat st {};
    if (::fstatat(from.fd, from.name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return -1;
    if (S_ISDIR(st.st_mode)) {
        if (::mkdirat(to.fd, to.name, 0700) != 0)
            return -1;
        if (::renameat(from.fd, from.name, to.fd, to.name) != 0) {
            const int code = errno;
            ::unlinkat(to.fd, to.name, AT_REMOVEDIR);
            errno = code;
            return -1;
        }
        return 0;
    }
    if (::linkat(from.fd, from.name, to.fd, to.name, 0) == 0) {
        if (::unlinkat(from.fd, from.name, 0) != 0) {
            const int code = errno;
            ::unlinkat(to.fd, to.name, 0);
            errno = code;
            return -1;
        }
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK && errno != ENOSYS)
        return -1;
    // No hard links here (vfat and the like): reserve the name with an empty file.
    const int fd = ::openat(to.fd, to.name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    ::close(fd);
    if (::renameat(from.fd, from.name, to.fd, to.name) != 0) {
        const int code = errno;
        ::unlinkat(to.fd, to.name, 0);
        errno = code;
        return -1;
    }
    return 0;
}

// A descriptor closed when it goes.
class OwnedFd {
public:
    explicit OwnedFd(int fd) : m_fd(fd) {}
    ~OwnedFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    OwnedFd(const OwnedFd &) = delete;
    OwnedFd &operator=(const OwnedFd &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// File systems whose readdir gives each entry's d_ino as the st_ino that
// stat gives (but for a mount point, which is never renamed, and btrfs
// subvolumes, which are folders and not listed). Not overlayfs, FUSE or
// network file systems, where the two may differ.
bool listsTrueInodes(int folderFd)
{
    struct statfs fs {};
    if (::fstatfs(folderFd, &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case EXT4_SUPER_MAGIC: // ext2, ext3 and ext4 alike
    case XFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case BTRFS_SUPER_MAGIC: return true;
    default: return false;
    }
}

// A host folder path as the held folders are keyed: without a trailing '/'.
std::string folderKey(std::string hostFolder)
{
    while (hostFolder.size() > 1 && hostFolder.back() == '/')
        hostFolder.pop_back();
    return hostFolder;
}

} // namespace

HostFileSystem::HostFileSystem(DriveTable drives) : HostFileSystem(std::move(drives), Options{}) {}

HostFileSystem::HostFileSystem(DriveTable drives, Options options)
    : m_drives(std::move(drives)), m_options(options)
{
}

HostFileSystem::~HostFileSystem()
{
    if (m_folderFd >= 0)
        ::close(m_folderFd);
    for (const auto &[path, held] : m_held)
        ::close(held.fd);
}

int HostFileSystem::heldFd(std::string_view hostFolder) const
{
    const std::shared_lock lock(m_heldLock);
    return heldFdLocked(hostFolder);
}

int HostFileSystem::heldFdLocked(std::string_view hostFolder) const
{
    if (m_held.empty())
        return -1;
    const auto it = m_held.find(hostFolder);
    return it == m_held.end() ? -1 : it->second.fd;
}

Status HostFileSystem::holdFolder(const std::string &folder)
{
    auto hostFolder = host(folder);
    if (!hostFolder)
        return hostFolder.error();
    std::string key = folderKey(*hostFolder);
    const std::unique_lock lock(m_heldLock);
    if (const auto it = m_held.find(key); it != m_held.end()) {
        ++it->second.holds;
        return Status::success();
    }
    // What lies deeper than the host's paths reach could be renamed through
    // the handle, but no undo could find it again by its path.
    if (key.size() >= PATH_MAX)
        return errnoError(ENAMETOOLONG, "Cannot open", folder);
    const std::size_t slash = key.rfind('/');
    const int parent = slash == std::string::npos || key.size() == 1
        ? -1
        : heldFdLocked(std::string_view(key).substr(0, slash == 0 ? 1 : slash));
    // Within a held folder: relative to it, and never through a link.
    const int fd = parent >= 0 ? ::openat(parent, key.c_str() + slash + 1, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)
                               : ::open(key.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        // A link where the walk found a folder: swapped while the walk went on.
        const int failure = errno;
        struct stat st {};
        const int code = parent >= 0 && (failure == ENOTDIR || failure == ELOOP)
                && ::fstatat(parent, key.c_str() + slash + 1, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)
            ? ELOOP
            : failure;
        return errnoError(code, "Cannot open", folder);
    }
    m_held.emplace(std::move(key), Held{fd, 1});
    return Status::success();
}

void HostFileSystem::releaseFolder(const std::string &folder)
{
    auto hostFolder = host(folder);
    if (!hostFolder)
        return;
    const std::unique_lock lock(m_heldLock);
    const auto it = m_held.find(folderKey(*hostFolder));
    if (it == m_held.end() || --it->second.holds > 0)
        return;
    ::close(it->second.fd);
    m_held.erase(it);
}

std::pair<int, const char *> HostFileSystem::inFolder(const std::string &hostPath, std::unique_lock<std::mutex> &lock)
{
    const std::size_t slash = hostPath.rfind('/');
    if (slash == std::string::npos || slash + 1 == hostPath.size())
        return {AT_FDCWD, hostPath.c_str()}; // the root, or no name to look up
    const std::size_t length = slash == 0 ? 1 : slash;
    if (const int held = heldFd(std::string_view(hostPath).substr(0, length)); held >= 0)
        return {held, hostPath.c_str() + slash + 1};
    // A folder kept open for long could have been replaced meanwhile: after a
    // pause it is opened anew.
    lock = std::unique_lock(m_folderLock);
    const std::int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count();
    const bool same = m_folderFd >= 0 && now - m_folderUsed < 1000 && m_folderPath.size() == length
        && hostPath.compare(0, length, m_folderPath) == 0;
    if (!same) {
        if (m_folderFd >= 0)
            ::close(m_folderFd);
        m_folderPath.assign(hostPath, 0, length);
        m_folderFd = ::open(m_folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        m_folderOpen.store(m_folderFd >= 0, std::memory_order_relaxed);
        if (m_folderFd < 0) {
            m_folderPath.clear();
            return {AT_FDCWD, hostPath.c_str()};
        }
    }
    m_folderUsed = now;
    return {m_folderFd, hostPath.c_str() + slash + 1};
}

void HostFileSystem::forgetFolder(const std::string &renamedHostPath)
{
    // Renames in held folders, in several threads at once, keep no folder open.
    if (!m_folderOpen.load(std::memory_order_relaxed))
        return;
    const std::lock_guard lock(m_folderLock);
    if (m_folderFd < 0)
        return;
    const bool inside = m_folderPath.compare(0, renamedHostPath.size(), renamedHostPath) == 0
        && (m_folderPath.size() == renamedHostPath.size() || m_folderPath[renamedHostPath.size()] == '/');
    if (inside) {
        ::close(m_folderFd);
        m_folderFd = -1;
        m_folderOpen.store(false, std::memory_order_relaxed);
        m_folderPath.clear();
    }
}

Result<std::string> HostFileSystem::host(const std::string &path) const
{
    // The host would end the path at a NUL: another item than the one named.
    if (path.find('\0') != std::string::npos)
        return Error{EINVAL, "The path '" + path.substr(0, path.find('\0')) + "' holds a NUL character"};
    if (auto hostPath = m_drives.toHost(path))
        return *hostPath;
    return Error{EINVAL, "No drive holds the path '" + path + "'"};
}

std::optional<std::string> HostFileSystem::toHostPath(const std::string &path) const
{
    return m_drives.toHost(path);
}

std::optional<std::string> HostFileSystem::resolvedHostPath(const std::string &path) const
{
    auto hostPath = m_drives.toHost(path);
    if (!hostPath)
        return std::nullopt;
    char *resolved = ::realpath(hostPath->c_str(), nullptr);
    if (!resolved)
        return std::nullopt;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

std::optional<std::string> HostFileSystem::fromHostPath(const std::string &hostPath) const
{
    return m_drives.toWindows(hostPath);
}

Status HostFileSystem::readFolder(const std::string &folder, const std::function<bool(int dirFd, const RawEntry &)> &visit,
                                  const Unreachable &unreachable, EntryOrder order)
{
    auto hostFolder = host(folder);
    if (!hostFolder)
        return hostFolder.error();
    // A held folder is listed through its handle, not its path.
    const int held = heldFd(folderKey(*hostFolder));
    DIR *opened = nullptr;
    if (held >= 0) {
        const int fd = ::openat(held, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0 && !(opened = ::fdopendir(fd)))
            ::close(fd);
    } else {
        opened = ::opendir(hostFolder->c_str());
    }
    std::unique_ptr<DIR, int (*)(DIR *)> dir(opened, ::closedir);
    if (!dir)
        return errnoError(errno, "Cannot list", folder);
    const int dirFd = held >= 0 ? held : ::dirfd(dir.get());
    // Of a held folder on a file system that lists true inodes, the identity
    // of each entry but folders, for the identities of a run's items.
    struct stat folderStat {};
    const bool keepInodes = held >= 0 && listsTrueInodes(held) && ::fstat(held, &folderStat) == 0;
    const auto device = static_cast<std::uint64_t>(folderStat.st_dev);
    const auto inodeOf = [keepInodes](const dirent *d) {
        return keepInodes && d->d_type != DT_DIR && d->d_type != DT_UNKNOWN ? static_cast<std::uint64_t>(d->d_ino)
                                                                            : std::uint64_t{0};
    };
    // The names of a sorted listing sit in one buffer, each ended by a NUL,
    // with a small record per entry: no allocation per name.
    struct Stored {
        std::size_t offset;
        std::uint64_t inode;
        std::uint32_t length;
        unsigned char type;
    };
    std::string names;
    std::vector<Stored> stored;
    RawEntry raw;
    for (;;) {
        errno = 0;
        const dirent *d = ::readdir(dir.get());
        if (!d)
            break;
        const std::string_view name = d->d_name;
        if (name == "." || name == "..")
            continue;
        if (name.find('\\') != std::string_view::npos) {
            // Cannot be written in a Windows-style path: never touched.
            if (unreachable)
                unreachable(d->d_name, "the name holds '\\', which a Windows-style path cannot hold");
            continue;
        }
        if (order == EntryOrder::Unsorted) {
            raw.name.assign(name);
            raw.type = d->d_type;
            raw.listed = {device, inodeOf(d)};
            if (!visit(dirFd, raw))
                return Status::success();
            continue;
        }
        stored.push_back({names.size(), inodeOf(d), static_cast<std::uint32_t>(name.size()), d->d_type});
        names.append(name);
        names.push_back('\0');
    }
    if (errno != 0)
        return errnoError(errno, "Cannot list", folder);
    if (order == EntryOrder::Unsorted)
        return Status::success();
    // A walk that enters subfolders from the visit holds one handle per
    // level, not two.
    if (held >= 0)
        dir.reset();
    // The order users see everywhere, and the locality a run of names in order gets.
    const auto nameAt = [&](std::size_t i) { return std::string_view(names.data() + stored[i].offset, stored[i].length); };
    NameOrder::visitInOrder(
        stored.size(), nameAt,
        [&](std::size_t i) {
            raw.name.assign(nameAt(i));
            raw.type = stored[i].type;
            raw.listed = {device, stored[i].inode};
            return visit(dirFd, raw);
        },
        order == EntryOrder::Sorted ? NameOrder::Extent::Full : NameOrder::Extent::AsVisited);
    return Status::success();
}

namespace {

// The kind of an entry: a link to a folder counts as a folder.
struct EntryKind {
    bool exists = false;
    bool isDirectory = false;
    bool isLink = false;
};

EntryKind kindOfEntry(int dirFd, const char *name, unsigned char type)
{
    struct stat st {};
    if (type == DT_UNKNOWN) {
        if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return {}; // vanished since it was read
        type = S_ISLNK(st.st_mode) ? DT_LNK : S_ISDIR(st.st_mode) ? DT_DIR : DT_REG;
    }
    if (type != DT_LNK)
        return {true, type == DT_DIR, false};
    const bool toFolder = ::fstatat(dirFd, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    return {true, toFolder, true};
}

} // namespace

Status HostFileSystem::enumerate(const std::string &folder, const std::function<bool(const DirEntry &)> &visit,
                                 EntryOrder order)
{
    return readFolder(
        folder,
        [&](int dirFd, const RawEntry &raw) {
        struct stat st {};
        if (::fstatat(dirFd, raw.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return true; // vanished since readdir
        DirEntry entry = entryFromStat(raw.name, st);
        if (S_ISLNK(st.st_mode)) {
            entry.isLink = true;
            entry.attributes |= AttrReparsePoint;
            struct stat target {};
            if (::fstatat(dirFd, raw.name.c_str(), &target, 0) == 0 && S_ISDIR(target.st_mode)) {
                entry.isDirectory = true;
                entry.attributes = (entry.attributes & ~static_cast<std::uint32_t>(AttrArchive)) | AttrDirectory;
                entry.size = 0;
            }
        }
        return visit(entry);
        },
        {}, order);
}

Status HostFileSystem::enumerateNames(const std::string &folder, const std::function<bool(const NameEntry &)> &visit,
                                      const Unreachable &unreachable, EntryOrder order)
{
    return readFolder(
        folder,
        [&](int dirFd, const RawEntry &raw) {
            const EntryKind kind = kindOfEntry(dirFd, raw.name.c_str(), raw.type);
            if (!kind.exists)
                return true;
            return visit(NameEntry{raw.name, kind.isDirectory, kind.isLink, raw.listed});
        },
        unreachable, order);
}

std::optional<ItemId> HostFileSystem::itemId(const std::string &path)
{
    auto hostPath = host(path);
    if (!hostPath)
        return std::nullopt;
    std::unique_lock<std::mutex> lock;
    const auto [fd, name] = inFolder(*hostPath, lock);
    struct stat st {};
    if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    return ItemId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::vector<ItemId> HostFileSystem::folderChain(const std::string &folder)
{
    auto hostFolder = host(folder);
    if (!hostFolder)
        return {};
    // A held folder from its handle: the one the walk renames in.
    const int held = heldFd(folderKey(*hostFolder));
    int fd = held >= 0 ? ::openat(held, ".", O_PATH | O_DIRECTORY | O_CLOEXEC)
                       : ::open(hostFolder->c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    std::vector<ItemId> chain;
    // The root is its own parent; the bound only guards against a loop.
    while (fd >= 0 && chain.size() < 4096) {
        struct stat st {};
        if (::fstat(fd, &st) != 0)
            break;
        const ItemId id{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
        if (!chain.empty() && chain.back() == id)
            break;
        chain.push_back(id);
        const int parent = ::openat(fd, "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = parent;
    }
    if (fd >= 0)
        ::close(fd);
    return chain;
}

std::optional<DirEntry> HostFileSystem::lookUp(const std::string &path)
{
    auto hostPath = host(path);
    if (!hostPath)
        return std::nullopt;
    std::unique_lock<std::mutex> lock;
    const auto [fd, name] = inFolder(*hostPath, lock);
    struct stat st {};
    if (::fstatat(fd, name, &st, 0) != 0 && ::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    return entryFromStat(lastComponent(*hostPath), st);
}

// What a look-up finds, without building the entry: 0 nothing, 1 file, 2 folder.
int HostFileSystem::kindAt(const std::string &hostPath)
{
    std::unique_lock<std::mutex> lock;
    const auto [fd, name] = inFolder(hostPath, lock);
    struct stat st {};
    if (::fstatat(fd, name, &st, 0) != 0 && ::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return 0;
    return S_ISDIR(st.st_mode) ? 2 : 1;
}

bool HostFileSystem::fileExists(const std::string &path)
{
    auto hostPath = host(path);
    return hostPath && kindAt(*hostPath) == 1;
}

bool HostFileSystem::folderExists(const std::string &path)
{
    auto hostPath = host(path);
    return hostPath && kindAt(*hostPath) == 2;
}

bool HostFileSystem::exists(const std::string &path)
{
    auto hostPath = host(path);
    if (!hostPath)
        return false;
    std::unique_lock<std::mutex> lock;
    const auto [fd, name] = inFolder(*hostPath, lock);
    struct stat st {};
    return ::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0;
}

Status HostFileSystem::rename(const std::string &from, const std::string &to)
{
    // A name the host holds but the program's paths or lists could not (a
    // separator, a control character) is never made; an item that holds one
    // can still be renamed to a clean name, and an undo gives it back.
    const std::string_view newName = std::string_view(to).substr(to.rfind('\\') + 1);
    Error refused{EINVAL, std::string(), Fault::None};
    switch (newNameFault(newName)) {
    case NewNameFault::Separator: refused.fault = Fault::NewNameHoldsSeparator; break;
    case NewNameFault::ControlCharacter: refused.fault = Fault::NewNameHoldsControlCharacter; break;
    case NewNameFault::None: return renameBack(from, to);
    }
    refused.message = "Cannot rename '" + from + "' to '" + to + "': " + reasonOf(refused);
    return refused;
}

namespace {

// The rename proper, relative to the open folders of source and target: never
// over an existing item; a change of letter case goes through a temporary name.
Status renameAtFolders(const std::string &from, At source, At target, bool sameFolder, const std::string &hostFrom,
                       const std::string &hostTo, bool forceFallback, const FileSystem::DetourObserver &detourObserver)
{
    auto failure = [&](int code) { return Status(errnoError(code, "Cannot rename", from)); };
    int result = -1;
    if (!forceFallback)
        result = renameNoReplace(source, target);
    else
        errno = EINVAL;
    if (result == 0)
        return Status::success();

    if (errno == EINVAL || errno == ENOSYS) {
        // EINVAL also means "into itself"; the fallback then fails the same way.
        result = renameByReservation(source, target);
        if (result == 0)
            return Status::success();
    }
    if (errno != EEXIST)
        return failure(errno);

    // The target exists. On a file system that ignores case it may be the item
    // itself under another spelling: go through a temporary name so that the
    // new spelling is really written.
    if (!sameFolder || lastComponent(hostFrom) == lastComponent(hostTo)
        || !equalIgnoringAsciiCase(lastComponent(hostFrom), lastComponent(hostTo)) || !sameItem(source, target)) {
        return failure(EEXIST);
    }
    const std::string detour = detourNameFor(lastComponent(hostTo));
    const std::string tempName = source.fd == AT_FDCWD ? folderOf(hostFrom) + detour : detour;
    const At temp{source.fd, tempName.c_str()};
    if (detourObserver && !detourObserver(from, from.substr(0, from.rfind('\\') + 1) + detour))
        return Status(Error{EIO, "Cannot record the change of case of '" + from + "' in the journal"});
    if (renameNoReplace(source, temp) != 0 && renameByReservation(source, temp) != 0)
        return failure(errno);
    if (renameNoReplace(temp, target) == 0 || renameByReservation(temp, target) == 0)
        return Status::success();
    const int code = errno;
    if (renameNoReplace(temp, source) != 0)
        (void)renameByReservation(temp, source); // best effort: the item keeps its temporary name otherwise
    return failure(code);
}

} // namespace

Status HostFileSystem::renameBack(const std::string &from, const std::string &to, const BackGuard &guard)
{
    auto hostFrom = host(from);
    if (!hostFrom)
        return hostFrom.error();
    auto hostTo = host(to);
    if (!hostTo)
        return hostTo.error();

    auto failure = [&](int code) { return Status(errnoError(code, "Cannot rename", from)); };
    forgetFolder(*hostFrom);

    // Within one folder, relative to the open folder: a held folder is never
    // looked up by its path again.
    std::unique_lock<std::mutex> lock; // keeps the open folder open until the rename is done
    At source{AT_FDCWD, hostFrom->c_str()};
    At target{AT_FDCWD, hostTo->c_str()};
    const std::size_t slash = hostFrom->rfind('/');
    const bool sameFolder = slash != std::string::npos && hostTo->size() > slash
        && hostTo->compare(0, slash + 1, *hostFrom, 0, slash + 1) == 0
        && hostTo->find('/', slash + 1) == std::string::npos;
    if (guard.identity || !guard.within.empty()) {
        // An undo: the folder is opened once, and the item's identity is
        // checked and the item renamed in that same folder.
        if (!sameFolder)
            return failure(EXDEV);
        std::string hostWithin;
        if (!guard.within.empty()) {
            auto within = host(guard.within);
            if (!within)
                return within.error();
            hostWithin = folderKey(*within);
        }
        const OwnedFd folder(
            undoFolder(slash == 0 ? std::string("/") : hostFrom->substr(0, slash), hostWithin, guard.withinIdentity));
        if (folder.get() < 0)
            return failure(errno);
        source = {folder.get(), hostFrom->c_str() + slash + 1};
        target = {folder.get(), hostTo->c_str() + slash + 1};
        if (guard.identity) {
            struct stat st {};
            if (::fstatat(folder.get(), source.name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                return failure(errno);
            if (ItemId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)} != *guard.identity)
                return Error{ESTALE, "Cannot rename '" + from + "': it is not the item that was renamed"};
        }
        return renameAtFolders(from, source, target, sameFolder, *hostFrom, *hostTo, m_options.forceRenameFallback,
                               m_detourObserver);
    }
    if (sameFolder) {
        const auto [fd, name] = inFolder(*hostFrom, lock);
        if (fd != AT_FDCWD) {
            source = {fd, name};
            target = {fd, hostTo->c_str() + slash + 1};
        }
    }
    return renameAtFolders(from, source, target, sameFolder, *hostFrom, *hostTo, m_options.forceRenameFallback,
                           m_detourObserver);
}

int HostFileSystem::undoFolder(const std::string &hostFolder, const std::string &hostWithin,
                               const std::optional<ItemId> &withinIdentity)
{
    if (hostWithin.empty())
        return ::open(hostFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    // The trusted folder by its path, every folder below it relative to its
    // parent and never through a link.
    const std::size_t n = hostWithin == "/" ? 0 : hostWithin.size();
    if (hostFolder.compare(0, n, hostWithin, 0, n) != 0 || (hostFolder.size() > n && hostFolder[n] != '/')) {
        errno = EXDEV;
        return -1;
    }
    int fd = ::open(hostWithin.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (struct stat st {}; fd >= 0 && withinIdentity
        && (::fstat(fd, &st) != 0
            || ItemId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)} != *withinIdentity)) {
        ::close(fd);
        errno = ESTALE; // another folder than the one the run renamed in
        return -1;
    }
    for (std::size_t at = n; fd >= 0 && at < hostFolder.size();) {
        const std::size_t end = std::min(hostFolder.find('/', at + 1), hostFolder.size());
        const std::string name = hostFolder.substr(at + 1, end - at - 1);
        at = end;
        if (name.empty())
            continue;
        const int below = name == "." || name == ".."
            ? (errno = EINVAL, -1)
            : ::openat(fd, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        int code = errno;
        struct stat st {};
        if (below < 0 && code == ENOTDIR && ::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISLNK(st.st_mode))
            code = ELOOP; // a link where a folder was
        ::close(fd);
        fd = below;
        errno = code;
    }
    return fd;
}

Status HostFileSystem::setAttributes(const std::string &path, std::uint32_t attributes)
{
    auto hostPath = host(path);
    if (!hostPath)
        return hostPath.error();
    struct stat st {};
    if (::stat(hostPath->c_str(), &st) != 0)
        return errnoError(errno, "Cannot change attributes of", path);
    mode_t mode = st.st_mode & 07777;
    if (attributes & AttrReadOnly)
        mode &= ~static_cast<mode_t>(0222);
    else
        mode |= S_IWUSR;
    if (::chmod(hostPath->c_str(), mode) != 0)
        return errnoError(errno, "Cannot change attributes of", path);
    return Status::success();
}

Status HostFileSystem::removeFile(const std::string &path)
{
    auto hostPath = host(path);
    if (!hostPath)
        return hostPath.error();
    if (::unlink(hostPath->c_str()) != 0)
        return errnoError(errno, "Cannot delete", path);
    return Status::success();
}

Status HostFileSystem::createFolder(const std::string &path)
{
    auto hostPath = host(path);
    if (!hostPath)
        return hostPath.error();
    if (::mkdir(hostPath->c_str(), 0755) != 0)
        return errnoError(errno, "Cannot create folder", path);
    return Status::success();
}

Result<std::string> HostFileSystem::readFile(const std::string &path, std::size_t limit)
{
    auto hostPath = host(path);
    if (!hostPath)
        return hostPath.error();
    return readHostFile(*hostPath, limit);
}

Status HostFileSystem::writeFileAtomic(const std::string &path, const std::string &content)
{
    auto hostPath = host(path);
    if (!hostPath)
        return hostPath.error();
    return writeHostFileAtomic(*hostPath, content);
}

Result<IdentifiedFile> HostFileSystem::readRegularFile(const std::string &path, std::size_t limit)
{
    auto hostPath = host(path);
    if (!hostPath)
        return hostPath.error();
    auto file = readIdentifiedHostFile(*hostPath, limit, FinalLink::Refuse);
    if (!file) {
        // Named as the user gave it.
        if (file.error().code == ELOOP)
            return Error{ELOOP, "'" + path + "' is a link, not a regular file"};
        if (file.error().code == EINVAL)
            return Error{EINVAL, "'" + path + "' is not a regular file"};
        if (file.error().code == EFBIG)
            return Error{EFBIG, "Cannot read '" + path + "': it is larger than " + std::to_string(limit >> 20) + " MiB"};
        return errnoError(file.error().code, "Cannot open", path);
    }
    // Opened again to be held; a file swapped in meanwhile is not the one read.
    const int held = ::open(hostPath->c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    struct stat st {};
    if (held < 0 || ::fstat(held, &st) != 0 || static_cast<std::uint64_t>(st.st_dev) != file->device
        || static_cast<std::uint64_t>(st.st_ino) != file->inode) {
        if (held >= 0)
            ::close(held);
        return Error{EAGAIN, "'" + path + "' was replaced while it was read"};
    }
    return IdentifiedFile{std::move(file->content), {file->device, file->inode},
                          std::shared_ptr<void>(nullptr, [held](void *) { ::close(held); })};
}

namespace {

class HeldLock : public FileLock {
public:
    explicit HeldLock(const std::string &hostPath) : m_lock(hostPath) {}

private:
    HostFileLock m_lock;
};

class HeldFolderLock : public FileLock {
public:
    explicit HeldFolderLock(int fd) : m_fd(fd) {}
    ~HeldFolderLock() override { ::close(m_fd); } // releases the lock

private:
    int m_fd;
};

} // namespace

std::unique_ptr<FileLock> HostFileSystem::lockFolder(const std::string &folder)
{
    auto hostPath = host(folder);
    if (!hostPath)
        return nullptr;
    const int fd = ::open(hostPath->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ::close(fd);
            return nullptr;
        }
    }
    return std::make_unique<HeldFolderLock>(fd);
}

Result<std::unique_ptr<Journal>> HostFileSystem::createJournal(const std::string &folder)
{
    auto hostFolder = host(folder);
    if (!hostFolder)
        return hostFolder.error();
    return HostJournal::create(withTrailingSlash(*hostFolder), m_options.journalWindow, m_options.journalLimit,
                               [this](const std::string &path) { return m_drives.toHost(path); });
}

std::vector<std::unique_ptr<AbandonedJournal>> HostFileSystem::abandonedJournals(const std::string &folder)
{
    auto hostFolder = host(folder);
    if (!hostFolder)
        return {};
    std::string windowsFolder = folder;
    if (windowsFolder.empty() || windowsFolder.back() != '\\')
        windowsFolder += '\\';
    return HostJournal::abandoned(withTrailingSlash(*hostFolder), windowsFolder,
                                  [this](const std::string &path) { return m_drives.toHost(path); });
}

std::unique_ptr<FileLock> HostFileSystem::lockExclusive(const std::string &path)
{
    auto hostPath = host(path);
    if (!hostPath)
        return nullptr;
    return std::make_unique<HeldLock>(*hostPath);
}

CalendarTime HostFileSystem::toLocalTime(FileTime time) const
{
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm tm {};
    ::localtime_r(&t, &tm);
    return CalendarTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

} // namespace renomiq
