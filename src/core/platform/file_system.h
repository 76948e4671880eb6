#pragma once

#include "platform/result.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace renomiq {

// File attributes with the values of the Windows API, so stored values read alike.
enum FileAttribute : std::uint32_t {
    AttrReadOnly = 0x01,
    AttrHidden = 0x02,
    AttrDirectory = 0x10,
    AttrArchive = 0x20,
    AttrReparsePoint = 0x400, // a symbolic link
};

// A file time: seconds since 1970-01-01 UTC.
using FileTime = std::int64_t;

struct CalendarTime {
    int year = 0;
    int month = 0; // 1..12
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// What makes an item the same item however it is reached (through links,
// bind mounts or hard links): its device and inode.
struct ItemId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const ItemId &) const = default;
};

// One entry of a folder, or what a look-up of one path finds.
struct DirEntry {
    std::string name; // bytes as the host gives them
    // True for a folder and for a link to a folder; a link is never entered.
    bool isDirectory = false;
    bool isLink = false;
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    FileTime lastWriteTime = 0;
};

// A file read whole, and which file it was.
struct IdentifiedFile {
    std::string content;
    ItemId identity;
    // Keeps the file open while held: its inode cannot be taken by another
    // file meanwhile, so the identity stays the file's own.
    std::shared_ptr<void> hold = {};
};

// Held while a lock is taken; releasing it ends the lock.
class FileLock {
public:
    virtual ~FileLock() = default;
};

// An append-only record that survives the process being killed: what is
// appended is in the kernel's hands at once, without a system call per record.
// Each journal belongs to the process that made it, which holds it while it lives.
class Journal {
public:
    virtual ~Journal() = default;
    // Fails when the journal cannot grow (disk full, file size limit, I/O
    // error) or is gone (deleted with its folder); nothing is appended then.
    virtual Status append(std::string_view text) = 0;
    // The two halves of append: whether the journal is still there (any
    // thread, at the same time as others append), and the append once the
    // caller has looked (one thread at a time).
    virtual Status stillThere() const = 0;
    virtual Status appendLooked(std::string_view text) = 0;
    // Bytes appended and not taken back.
    virtual std::size_t size() const = 0;
    // Takes back everything appended after the first `size` bytes.
    virtual void truncate(std::size_t size) = 0;
    // Writes `text` over bytes appended before, from `offset` on.
    virtual void overwrite(std::size_t offset, std::string_view text) = 0;
    // Makes the journal, as it stands, the file at `path` (replacing what is
    // there) in one atomic step, read-only from then on; the journal is gone.
    virtual Status commitAs(const std::string &path) = 0;
    // Deletes the journal (its owner no longer needs it).
    virtual void discard() = 0;
};

// A journal that no running process holds, left by one that died. Claimed
// (no other process can take it) while this object lives.
class AbandonedJournal {
public:
    virtual ~AbandonedJournal() = default;
    virtual const std::string &path() const = 0;
    // When its owner last wrote to it, in nanoseconds: runs a moment apart
    // are told apart.
    virtual std::int64_t lastWriteNanoseconds() const = 0;
    // True unless it was last written after the file at `path` was (false
    // when there is no such file): equal times count as not after.
    virtual bool notWrittenAfter(const std::string &path) const = 0;
    // The size of its file in bytes.
    virtual std::uint64_t size() const = 0;
    // Hands its content over in pieces of bounded size until visit returns
    // false. A file at a journal's name that is not a regular file is never
    // opened: it fails with EINVAL.
    virtual Status read(const std::function<bool(std::string_view piece)> &visit) = 0;
    // Writes its first `length` bytes as a new read-only file beside `path`,
    // flushed to disk, and renames that over `path`; the journal stays.
    // Each of `overwritten` (offset, text) is written over the copy.
    virtual Status saveAs(const std::string &path, std::size_t length,
                          const std::vector<std::pair<std::size_t, std::string>> &overwritten = {}) = 0;
    virtual Status remove() = 0;
};

// The file system under the program's Windows-style paths ("C:\home\ann\a.jpg").
// Every path given or returned is Windows-style; only implementations see host paths.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // What the names-only walk gives of an entry.
    struct NameEntry {
        const std::string &name;
        bool isDirectory; // a folder or a link to one
        bool isLink;
        // The identity of an entry but a folder as the listing read it, where
        // the listing gives the one a look-up would (a held folder on a file
        // system whose listing holds true inodes); inode 0 otherwise.
        ItemId listed{};
    };
    // An entry that exists but cannot be reached by a path of the program (a
    // name holding '\'), with the reason.
    using Unreachable = std::function<void(const std::string &name, const std::string &reason)>;

    // The order an enumeration gives the entries in.
    enum class EntryOrder {
        Sorted,          // by name in the order of NameOrder
        SortedAsVisited, // the same order, sorted only as far as the visit goes:
                         // for walks that stop after the first few entries
        Unsorted         // as the host gives them: for questions the order
                         // cannot change (is there a file? how many, up to 30?)
    };

    // Calls visit for each entry of the folder ("." and ".." left out), in the
    // order asked, until visit returns false. A symbolic link to a folder is
    // reported as a folder and marked as a link; the callers never enter it.
    virtual Status enumerate(const std::string &folder, const std::function<bool(const DirEntry &)> &visit,
                             EntryOrder order = EntryOrder::Sorted) = 0;
    // The same walk for callers that need only the names and which are
    // folders; it spares a look-up per entry where the host can. Entries the
    // program cannot name go to unreachable, when given.
    virtual Status enumerateNames(const std::string &folder, const std::function<bool(const NameEntry &)> &visit,
                                  const Unreachable &unreachable = {}, EntryOrder order = EntryOrder::Sorted)
    {
        (void)unreachable;
        return enumerate(
            folder,
            [&](const DirEntry &entry) {
                return visit(NameEntry{entry.name, entry.isDirectory, entry.isLink, ItemId{}});
            },
            order);
    }
    // A walk holds each folder it is in. While a folder is held, its listing
    // and the look-ups and renames of the items directly in it go through the
    // handle taken when it was held, never through its path again; a folder
    // held inside a held folder is opened relative to it, and fails when it is
    // a link there. So a folder swapped for a link while a walk goes on can
    // make items fail, never lead the walk or a rename elsewhere. Holds of
    // one folder nest; each successful hold is released once (FolderHold).
    virtual Status holdFolder(const std::string &folder)
    {
        (void)folder;
        return Status::success();
    }
    virtual void releaseFolder(const std::string &folder) { (void)folder; }

    // The identity of the item at a path (of a link itself, not of what it
    // leads to), or no value when nothing is there.
    virtual std::optional<ItemId> itemId(const std::string &path) = 0;
    // The identities of the folder at a path and of each folder above it, as
    // the host goes up from it by "..", up to the root; empty when the folder
    // cannot be opened.
    virtual std::vector<ItemId> folderChain(const std::string &folder) = 0;

    // The entry at a path, or no value when nothing is there.
    virtual std::optional<DirEntry> lookUp(const std::string &path) = 0;

    virtual bool fileExists(const std::string &path) = 0;
    virtual bool folderExists(const std::string &path) = 0;
    virtual bool exists(const std::string &path) = 0;

    // Renames a file or folder. Never replaces an existing item at `to`; a change
    // of letter case only is carried out on file systems that ignore case too.
    // A new name holding what the host or a Windows-style path cannot hold
    // ('/', NUL, a control character 1-31) is refused; see newNameFault.
    virtual Status rename(const std::string &from, const std::string &to) = 0;
    // Gives an item back a name it had before (an undo): as rename, but the
    // former name may hold the control characters that rename refuses.
    // With a guard (both names in one folder), that folder is opened once,
    // and the item's identity is checked and the item renamed relative to
    // it: a folder swapped for a link can make the item fail, never lead the
    // rename elsewhere.
    struct BackGuard {
        // The item that was renamed: anything else at `from` is left alone.
        std::optional<ItemId> identity;
        // A folder above `from` whose path is trusted, links on the way to it
        // included; the folders below it are entered without following a
        // link. Empty: the folder of `from` is opened by its path.
        std::string within;
        // What `within` must be when it is opened: another folder there
        // (one a link leads to, say) makes the item fail.
        std::optional<ItemId> withinIdentity = {};
    };
    virtual Status renameBack(const std::string &from, const std::string &to, const BackGuard &guard) = 0;
    Status renameBack(const std::string &from, const std::string &to) { return renameBack(from, to, BackGuard{}); }
    virtual Status setAttributes(const std::string &path, std::uint32_t attributes) = 0;
    virtual Status removeFile(const std::string &path) = 0;
    virtual Status createFolder(const std::string &path) = 0;

    // Whole-file text I/O for the program's own files (logs, lists, hand-off).
    // Reads only a regular file (a link to one too) of at most `limit` bytes,
    // the bound of its kind: anything else fails at once, without blocking.
    virtual Result<std::string> readFile(const std::string &path, std::size_t limit) = 0;
    // Replaces the file atomically: readers see the old or the new content, never
    // a mix, and a failed write leaves the old file as it was.
    virtual Status writeFileAtomic(const std::string &path, const std::string &content) = 0;

    // Reads the regular file at `path` itself: a link there, a folder, a
    // device or a pipe is refused, without waiting on it.
    virtual Result<IdentifiedFile> readRegularFile(const std::string &path, std::size_t limit) = 0;

    // Creates a journal of this process's own in `folder` ("rollback.*.jnl").
    virtual Result<std::unique_ptr<Journal>> createJournal(const std::string &folder) = 0;
    // The journals in `folder` that no running process holds, claimed. The
    // temporary files that killed writes left in `folder` go on the way.
    virtual std::vector<std::unique_ptr<AbandonedJournal>> abandonedJournals(const std::string &folder) = 0;
    // Called by rename with the temporary path before a change of letter case
    // only moves the item there on its way (on file systems that ignore case);
    // when it returns false the rename fails and nothing moves.
    using DetourObserver = std::function<bool(const std::string &from, const std::string &temporary)>;
    void setDetourObserver(DetourObserver observer) { m_detourObserver = std::move(observer); }

    // An exclusive lock between processes, on the lock file at `path`.
    virtual std::unique_ptr<FileLock> lockExclusive(const std::string &path) = 0;
    // The same, on the folder itself: no lock file is made. Nothing is locked
    // (a null lock) when the folder cannot be opened.
    virtual std::unique_ptr<FileLock> lockFolder(const std::string &folder) = 0;

    virtual CalendarTime toLocalTime(FileTime time) const = 0;

    // Conversions at the boundary to host programs and dialogs.
    virtual std::optional<std::string> toHostPath(const std::string &path) const = 0;
    // The host path with every symbolic link on the way resolved: one item
    // however it is reached. Nothing when the path cannot be resolved.
    virtual std::optional<std::string> resolvedHostPath(const std::string &path) const = 0;
    virtual std::optional<std::string> fromHostPath(const std::string &hostPath) const = 0;

protected:
    DetourObserver m_detourObserver;
};

// Holds a folder for as long as it lives (FileSystem::holdFolder).
class FolderHold {
public:
    FolderHold(FileSystem &fileSystem, std::string folder)
        : m_fileSystem(fileSystem), m_folder(std::move(folder)), m_status(m_fileSystem.holdFolder(m_folder))
    {
    }
    ~FolderHold()
    {
        if (m_status)
            m_fileSystem.releaseFolder(m_folder);
    }
    FolderHold(const FolderHold &) = delete;
    FolderHold &operator=(const FolderHold &) = delete;

    const Status &status() const { return m_status; }

private:
    FileSystem &m_fileSystem;
    std::string m_folder;
    Status m_status;
};

} // namespace renomiq
