#pragma once

#include "platform/drive_table.h"
#include "platform/file_system.h"
#include "platform/host_journal.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <shared_mutex>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace renomiq {

// The Linux file system under Windows-style paths, through a DriveTable.
class HostFileSystem : public FileSystem {
public:
    struct Options {
        // Take the path that file systems without RENAME_NOREPLACE get (NFS,
        // some FUSE file systems) even where the kernel offers it.
        bool forceRenameFallback = false;
        // The part of a journal mapped at a time (a multiple of the page size).
        std::size_t journalWindow = HostJournal::kDefaultWindow;
        // The most a journal holds.
        std::size_t journalLimit = HostJournal::kDefaultLimit;
    };

    explicit HostFileSystem(DriveTable drives = DriveTable::fromEnvironment());
    HostFileSystem(DriveTable drives, Options options);
    ~HostFileSystem() override;
    // For tests that reach the journal's bound without writing a GiB.
    void setJournalLimit(std::size_t bytes) { m_options.journalLimit = bytes; }
    HostFileSystem(const HostFileSystem &) = delete;
    HostFileSystem &operator=(const HostFileSystem &) = delete;

    Status enumerate(const std::string &folder, const std::function<bool(const DirEntry &)> &visit,
                     EntryOrder order = EntryOrder::Sorted) override;
    Status enumerateNames(const std::string &folder, const std::function<bool(const NameEntry &)> &visit,
                          const Unreachable &unreachable = {}, EntryOrder order = EntryOrder::Sorted) override;
    Status holdFolder(const std::string &folder) override;
    void releaseFolder(const std::string &folder) override;
    std::optional<ItemId> itemId(const std::string &path) override;
    std::vector<ItemId> folderChain(const std::string &folder) override;
    std::optional<DirEntry> lookUp(const std::string &path) override;
    bool fileExists(const std::string &path) override;
    bool folderExists(const std::string &path) override;
    bool exists(const std::string &path) override;
    Status rename(const std::string &from, const std::string &to) override;
    using FileSystem::renameBack;
    Status renameBack(const std::string &from, const std::string &to, const BackGuard &guard) override;
    Status setAttributes(const std::string &path, std::uint32_t attributes) override;
    Status removeFile(const std::string &path) override;
    Status createFolder(const std::string &path) override;
    Result<std::string> readFile(const std::string &path, std::size_t limit) override;
    Status writeFileAtomic(const std::string &path, const std::string &content) override;
    Result<IdentifiedFile> readRegularFile(const std::string &path, std::size_t limit) override;
    std::unique_ptr<FileLock> lockExclusive(const std::string &path) override;
    std::unique_ptr<FileLock> lockFolder(const std::string &folder) override;
    Result<std::unique_ptr<Journal>> createJournal(const std::string &folder) override;
    std::vector<std::unique_ptr<AbandonedJournal>> abandonedJournals(const std::string &folder) override;
    CalendarTime toLocalTime(FileTime time) const override;
    std::optional<std::string> toHostPath(const std::string &path) const override;
    std::optional<std::string> resolvedHostPath(const std::string &path) const override;
    std::optional<std::string> fromHostPath(const std::string &hostPath) const override;

    const DriveTable &drives() const { return m_drives; }

private:
    Result<std::string> host(const std::string &path) const;
    struct RawEntry {
        std::string name;
        unsigned char type; // d_type
        // The entry's identity as read (see NameEntry::listed), or inode 0.
        ItemId listed;
    };
    // Each entry of a folder but "." and ".." and names with a '\' in them
    // (those go to unreachable), in the order asked.
    Status readFolder(const std::string &folder, const std::function<bool(int dirFd, const RawEntry &)> &visit,
                      const Unreachable &unreachable, EntryOrder order);
    // The open folder that holds a host path, and the name within it: the
    // held folder when it is held. The folder kept open for unheld items is
    // shared by every thread: `lock` keeps it open until the caller is done.
    std::pair<int, const char *> inFolder(const std::string &hostPath, std::unique_lock<std::mutex> &lock);
    // The handle of a held folder (its host path without a trailing '/'), or -1.
    int heldFd(std::string_view hostFolder) const;
    int heldFdLocked(std::string_view hostFolder) const; // m_heldLock taken

    int kindAt(const std::string &hostPath);
    void forgetFolder(const std::string &renamedHostPath);
    // The folder an undo renames in, opened (O_PATH) as its guard says, for
    // one rename; -1 with errno.
    static int undoFolder(const std::string &hostFolder, const std::string &hostWithin,
                          const std::optional<ItemId> &withinIdentity);

    struct Held {
        int fd;
        int holds;
    };
    struct PathHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view path) const { return std::hash<std::string_view>{}(path); }
    };
    // The folders walks hold, by host path without a trailing '/' ("/" for the root).
    // Runs that rename folders in parallel hold and look up from several threads.
    std::unordered_map<std::string, Held, PathHash, std::equal_to<>> m_held;
    mutable std::shared_mutex m_heldLock;

    DriveTable m_drives;
    Options m_options;
    // The folder of the last item looked at, kept open while items of one
    // folder follow each other quickly: system calls relative to it spare the
    // walk along the whole path for every item.
    std::mutex m_folderLock;
    std::atomic<bool> m_folderOpen{false}; // m_folderFd >= 0, looked at without the lock
    std::string m_folderPath;
    int m_folderFd = -1;
    std::int64_t m_folderUsed = 0;
};

} // namespace renomiq
