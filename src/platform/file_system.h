#pragma once

#include "platform/result.h"

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

// Held while a lock is taken; releasing it ends the lock.
class FileLock {
public:
    virtual ~FileLock() = default;
};

// An append-only record that survives the process being killed: what is
// appended is in the kernel's hands at once, without a system call per record.
// Only one process holds a journal at a time.
class Journal {
public:
    virtual ~Journal() = default;
    virtual bool append(std::string_view text) = 0;
    // Takes back the last `length` bytes appended.
    virtual void retract(std::size_t length) = 0;
    // Makes the journal, as it stands, a read-only file at `path` (replacing
    // what is there) in one atomic step; the journal is then gone.
    virtual Status commitAs(const std::string &path) = 0;
    // Deletes the journal (its owner no longer needs it).
    virtual void discard() = 0;
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
    };
    // An entry that exists but cannot be reached by a path of the program (a
    // name holding '\'), with the reason.
    using Unreachable = std::function<void(const std::string &name, const std::string &reason)>;

    // Calls visit for each entry of the folder ("." and ".." left out), sorted
    // by name in the order of NameOrder, until visit returns false. A symbolic
    // link to a folder is reported as a folder and marked as a link; the
    // callers never enter it.
    virtual Status enumerate(const std::string &folder,
                             const std::function<bool(const DirEntry &)> &visit) = 0;
    // The same walk for callers that need only the names and which are
    // folders; it spares a look-up per entry where the host can. Entries the
    // program cannot name go to unreachable, when given.
    virtual Status enumerateNames(const std::string &folder, const std::function<bool(const NameEntry &)> &visit,
                                  const Unreachable &unreachable = {})
    {
        (void)unreachable;
        return enumerate(folder, [&](const DirEntry &entry) {
            return visit(NameEntry{entry.name, entry.isDirectory, entry.isLink});
        });
    }
    // The entry at a path, or no value when nothing is there.
    virtual std::optional<DirEntry> lookUp(const std::string &path) = 0;

    virtual bool fileExists(const std::string &path) = 0;
    virtual bool folderExists(const std::string &path) = 0;
    virtual bool exists(const std::string &path) = 0;

    // Renames a file or folder. Never replaces an existing item at `to`; a change
    // of letter case only is carried out on file systems that ignore case too.
    // A new name holding one of the characters Windows forbids in names
    // (\ / : * ? " < > |) is refused, as Windows refuses it.
    virtual Status rename(const std::string &from, const std::string &to) = 0;
    // Gives an item back a name it had before (an undo): as rename, but the
    // former name may hold the characters that rename refuses.
    virtual Status renameBack(const std::string &from, const std::string &to) = 0;
    virtual Status setAttributes(const std::string &path, std::uint32_t attributes) = 0;
    virtual Status removeFile(const std::string &path) = 0;
    virtual Status createFolder(const std::string &path) = 0;

    // Whole-file text I/O for the program's own files (logs, lists, hand-off).
    virtual Result<std::string> readFile(const std::string &path) = 0;
    // Replaces the file atomically: readers see the old or the new content, never
    // a mix, and a failed write leaves the old file as it was.
    virtual Status writeFileAtomic(const std::string &path, const std::string &content) = 0;

    // Creates the journal at `path`, or no journal when another running
    // process holds it or it cannot be made.
    virtual std::unique_ptr<Journal> openJournal(const std::string &path) = 0;
    // The content of a journal at `path` that no running process holds (one
    // left by a process that died), deleted once read; no value when there is none.
    virtual std::optional<std::string> takeAbandonedJournal(const std::string &path) = 0;

    // An exclusive lock between processes, on the lock file at `path`.
    virtual std::unique_ptr<FileLock> lockExclusive(const std::string &path) = 0;

    virtual CalendarTime toLocalTime(FileTime time) const = 0;

    // Conversions at the boundary to host programs and dialogs.
    virtual std::optional<std::string> toHostPath(const std::string &path) const = 0;
    virtual std::optional<std::string> fromHostPath(const std::string &hostPath) const = 0;
};

} // namespace renomiq
