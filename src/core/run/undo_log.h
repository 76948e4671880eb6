#pragma once

#include "platform/file_system.h"
#include "platform/result.h"
#include "run/undo_history.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace renomiq {


// "rollback.rbk" in the data folder (or another log file, see atFile): pairs
// of lines, the current path of an item and then its former path, CR LF after
// each, read-only between writes.
class UndoLog {
public:
    UndoLog(FileSystem &fileSystem, const std::string &dataFolder);
    // A log at `path`, kept beside "rollback.rbk" (see recoverAbandonedJournals).
    static UndoLog atFile(FileSystem &fileSystem, const std::string &dataFolder, const std::string &path);
    ~UndoLog();
    UndoLog(UndoLog &&) noexcept;

    // Two paths a renamed item: room for millions of items. A larger file is
    // no undo log.
    static constexpr std::size_t kFileLimit = std::size_t{1} << 30;

    const std::string &path() const { return m_path; }
    bool exists() const;
    // WriteUndoLog: replaces the file atomically, then makes it read-only.
    Status write(const std::vector<std::string> &lines);
    // Reads the log, a regular file, and takes it over: keepOnly changes only
    // this same file, whatever lies at its path by then.
    Result<std::vector<std::string>> read();
    Status remove();
    // After an undo of the log read: the pairs left are written over it, or,
    // none left, it is deleted; but only while it is still the file at its
    // path. A log that a run ending meanwhile put there stays the last
    // operation: the pairs left then go to a log of their own beside it,
    // whose path is returned (empty otherwise).
    Result<std::string> keepOnly(const std::vector<std::string> &left);

    // The log of a run in progress, kept in a journal of the run's own in the
    // data folder: each pair is recorded before its rename (and taken back when
    // that rename fails), so a run cut short by a crash can still be undone,
    // and memory does not grow with the number of renamed items. begin() fails
    // when no journal can be made; the pairs are then kept in memory.
    Status begin();
    // Records the pair of the item about to be renamed. A failure (disk full,
    // ...) means the item must not be renamed.
    // Its identity, when known, is recorded with it: recovery and undo act
    // only on the item that has it.
    Status recordRename(const std::string &newPath, const std::string &oldPath,
                        const std::optional<ItemId> &identity = std::nullopt);
    // A folder the run opened by its path, links on the way to it included,
    // with the identity of what it opened: an undo opens that folder by its
    // path again only while it is the same folder, and enters the folders
    // below it without following a link. Recorded once a run for each folder.
    // `chain`: as FileSystem::folderChain gives it, the folder's own first.
    Status recordFolder(const std::string &folder, const std::vector<ItemId> &chain);
    bool folderRecorded(const std::string &folder) const { return m_folders.count(folderKeyOf(folder)) > 0; }
    // The item being renamed goes through a temporary name on its way.
    Status recordDetour(const std::string &temporaryPath, const std::string &oldPath);
    // The outcome of the item recorded last: renamed, or its rename failed. A
    // failure takes back only what was recorded for that same item.
    void renameDone();
    void renameFailed(const std::string &oldPath);
    std::size_t pairCount() const { return m_pairs; }

    // A run that renames in several threads at once records through slots,
    // one a thread: each has at most one item in flight (recorded, its
    // outcome still open), and a failure takes back only that item's pairs,
    // wherever they lie in the journal (they become void pairs, which an undo
    // passes over). An item in flight never begins more than kInFlightBytes
    // before the journal's end: a thread that would go further waits, so that
    // a recovery finds every rename that may not have been made among the
    // last records. The calls below may come from any thread.
    static constexpr std::size_t kInFlightBytes = std::size_t{256} << 10;
    void beginSlots(std::size_t slots);
    bool usesSlots() const { return m_slots != nullptr; }
    Status recordRename(std::size_t slot, const std::string &newPath, const std::string &oldPath,
                        const std::optional<ItemId> &identity);
    // The detour of the item in flight whose old path is `oldPath`.
    Status recordDetourOfSlot(const std::string &temporaryPath, const std::string &oldPath);
    void renameDone(std::size_t slot);
    void renameFailed(std::size_t slot, const std::string &oldPath);
    // The run has ended: its pairs, when there are any, become "rollback.rbk";
    // without any, an older undo log stays valid. The log it replaces moves
    // into the undo history; `describeAs` tells the history what the run did.
    Status commit();
    void describeAs(const OperationInfo &info) { m_info = info; }

    // At start-up: the journals of runs that died become undo logs. The one
    // written last after the undo log becomes "rollback.rbk"; any other is
    // kept beside it as "rollback.ID.rbk", named after its journal. Every step
    // leaves a complete copy on disk, so a recovery cut short is done again
    // at the next start. A file that is no journal is set aside (".damaged").
    // A journal that is not a regular file is left alone, one larger than an
    // undo log can be is set aside unread: the user is told (unreadNotice).
    struct Unread {
        std::string journal;
        std::string problem;    // "is not a regular file", ...
        std::string setAsideAs; // empty when it was left where it is
    };
    struct Recovery {
        int recovered = 0;
        std::vector<std::string> keptLogs;
        std::vector<std::string> setAside;
        std::vector<Unread> unread;
    };
    Recovery recoverAbandonedJournals();
    // What begin() recovered before the run.
    const Recovery &recoveryBeforeRun() const { return m_recovery; }

private:
    UndoLog(FileSystem &fileSystem, std::string folder, std::string path);
    void takeBackItem();
    static std::string folderKeyOf(const std::string &folder);

    FileSystem &m_fileSystem;
    std::string m_folder;
    std::string m_path;
    std::unique_ptr<Journal> m_journal;
    std::vector<std::string> m_memory; // without a journal
    std::string m_record;              // the last record written, its buffer kept
    std::unordered_set<std::string> m_folders; // recorded by recordFolder, with a trailing '\'
    std::size_t m_pairs = 0;
    Recovery m_recovery;
    std::optional<OperationInfo> m_info;
    std::optional<ItemId> m_taken; // the file read()
    std::shared_ptr<void> m_takenHold;   // keeps its inode its own until the undo ends
    // The items in flight of a run in several threads.
    struct Slot {
        bool inFlight = false;
        std::string oldPath;
        std::optional<ItemId> identity;
        std::size_t firstByte = 0; // where its first record begins in the journal
        // Its records: offset and length in the journal (lines in memory).
        std::vector<std::pair<std::size_t, std::size_t>> ranges;
    };
    // Held for a copy into the journal's mapping at most: the threads spin
    // rather than sleep for it.
    class SpinLock {
    public:
        void lock();
        void unlock() { m_taken.clear(std::memory_order_release); }

    private:
        std::atomic_flag m_taken = ATOMIC_FLAG_INIT;
    };
    struct Slots {
        SpinLock lock;
        std::vector<Slot> slots;
    };
    // `text`: the record as the journal holds it.
    Status appendRecord(Slot &slot, const std::string &current, const std::string &former, const std::string &text);
    void takeBackSlot(Slot &slot);
    std::unique_ptr<Slots> m_slots;
    // What was recorded for the item whose outcome is still open.
    bool m_pending = false;
    std::string m_pendingOld;
    std::optional<ItemId> m_pendingIdentity;
    std::size_t m_pendingStart = 0;
    std::size_t m_pendingPairs = 0;
};

// One renamed item of an undo log: the two paths of a pair, and the identity
// of the item renamed when the log records it. On disk an identity is a line
// of its own before its pair, "#item DEVICE:INODE" (decimal numbers), which
// no path can be; a log without such lines reads as before.
struct UndoEntry {
    std::string current;
    std::string former;
    std::optional<ItemId> identity;
};
std::string identityLine(const ItemId &identity);
std::optional<ItemId> identityOfLine(std::string_view line);

// A folder a run opened by its path (UndoLog::recordFolder): on disk a line
// "#folder DEVICE:INODE PATH", the path with a trailing '\'. Its pairs are
// those in it or below it; in a log with such lines, a pair in none of them
// is not undone. A log without them reads as before.
// The folders above it, as the host went up from it, follow the path:
// "#folder DEVICE:INODE PATH\DEVICE:INODE DEVICE:INODE ...\", its parent
// first (no path holds an empty name, so a reader that knows no such list
// takes it for a folder that holds no item, and undoes none of them). Its
// pairs are undone only while the host goes up from the folder at its path
// through these same folders: a folder moved away and a link put in its
// place lead elsewhere. A folder without them is only checked itself.
struct UndoFolder {
    std::string path;
    ItemId identity;
    std::vector<ItemId> above = {};
};
std::string folderLine(const UndoFolder &folder);
std::optional<UndoFolder> folderOfLine(std::string_view line);
std::vector<UndoFolder> undoFoldersOf(const std::vector<std::string> &lines);
// The recorded folders of a log, looked up by path: finding the deepest that
// holds an item costs one look-up a folder above it, however many there are.
class UndoFolderIndex {
public:
    explicit UndoFolderIndex(const std::vector<UndoFolder> &folders);
    bool empty() const { return m_byPath.empty(); }
    // The deepest folder that holds the item at `path` (which it is not), or
    // none; of two lines of the same folder, the first.
    const UndoFolder *folderOf(const std::string &path) const;

private:
    std::unordered_map<std::string_view, const UndoFolder *> m_byPath;
};
// The entries of a log's lines, in their order; an odd last path line has no
// partner and is left out, and so is an identity line without a pair after it.
// Folder lines are no entries.
std::vector<UndoEntry> undoEntriesOf(const std::vector<std::string> &lines);
// The folder lines first, then the entries.
std::vector<std::string> undoLinesOf(const std::vector<UndoEntry> &entries,
                                     const std::vector<UndoFolder> &folders = {});

// What the user is told of a log kept beside "rollback.rbk": its file, and how
// to undo it.
std::string keptLogNotice(const std::string &path);
// What the user is told of a journal that could not be read, its paths given
// as the user sees them.
std::string unreadNotice(const std::string &journal, const std::string &problem, const std::string &setAsideAs);

// Checks one pair of an undo log before it is undone: both paths absolute
// Windows-style paths of the same folder, whose name parts are names (not
// empty, ".", "..", nor holding '/' or '\'), and no zero byte anywhere.
bool isSoundUndoPair(const std::string &current, const std::string &former);

// A pair taken back in the middle of a journal: two lines of a drive letter,
// ':' and backslashes only, as long together as the pair they replace (at
// least 10 bytes with their line ends). An undo passes over it.
bool isVoidUndoPair(const std::string &current, const std::string &former);
std::string voidPairText(std::size_t length);

} // namespace renomiq
