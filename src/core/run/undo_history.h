#pragma once

#include "engine/edit_kind.h"
#include "platform/file_system.h"
#include "platform/result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace renomiq {

class Prompter;
class RunDriver;

// What the history tells of one operation.
struct OperationInfo {
    std::int64_t time = 0; // seconds since 1970-01-01 UTC
    std::string kind;      // "Replace", "Rename", ... ("Run" when not known)
    std::string target;    // the folder, the item, or the first item and how many more
    std::size_t items = 0;
};

// One kept operation: its undo log and what it did.
struct HistoryEntry {
    std::string path; // the log, "rollback.rbk" or "rollback.ID.rbk" in the data folder
    OperationInfo info;
    bool last = false; // "rollback.rbk": the log the list window's "Undo" reverses
    std::uint64_t size = 0;
};

// The undo history: the logs of the last operations in the data folder, the
// last one's "rollback.rbk" as always, the older ones beside it as
// "rollback.ID.rbk" (where a run cut short by a crash is kept too). What
// each did is described in "rollback.lst", by the identity of its log, so
// that a log keeps its description when it moves into the history. A log
// without one (recovered from a crash) is described from its content.
class UndoHistory {
public:
    // At most this many operations are kept, and the older logs together take
    // at most kDiskLimit bytes: the oldest go first. The last operation's log
    // is always kept.
    static constexpr std::size_t kKept = 20;
    static constexpr std::uint64_t kDiskLimit = std::uint64_t{256} << 20;

    UndoHistory(FileSystem &fileSystem, std::string dataFolder);

    // The kept operations, the newest first.
    std::vector<HistoryEntry> entries();

    // The newest of the operations newer than entries[index] that renamed
    // some of its items (or an item in a folder it renamed, or a folder that
    // holds one of its items): undoing entries[index] first would leave that
    // one unable to come back.
    std::optional<HistoryEntry> newerOverlapping(const std::vector<HistoryEntry> &entries, std::size_t index);

    // "rollback.lst" when something stands at its name that is no regular
    // file (a FIFO, a device, a link): never read, replaced or deleted, and
    // no run starts while it is there. Nothing otherwise.
    static std::optional<std::string> unusableList(FileSystem &fileSystem, const std::string &dataFolder);
    static std::string unusableListNotice(const std::string &path);

    // The single rename dialog's rename: its pair becomes the last operation,
    // with the identities of the item and of its folder and those above it
    // (FileSystem::folderChain) as a run records them.
    Status recordSingleRename(const std::string &newPath, const std::string &oldPath, std::int64_t time,
                              const std::optional<ItemId> &identity = std::nullopt,
                              const std::vector<ItemId> &folderChain = {});
    // Moves the last operation's log into the history (under the lock), so
    // that no Undo reverses it as this run's.
    Status keepLast();

    // Undoes entries[index] through the driver: refused with a message when a
    // newer operation renamed some of the same items, asked first otherwise.
    // A partial undo keeps the entry, with the items left.
    enum class Outcome { Undone, Partial, Declined, Refused };
    Outcome undo(RunDriver &driver, Prompter &prompter, const std::vector<HistoryEntry> &entries, std::size_t index);

    // For the undo log, under the data folder's lock held by the caller.
    // The log at "rollback.rbk", about to be replaced, moves into the history.
    static Status keepReplaced(FileSystem &fileSystem, const std::string &dataFolder);
    // Records what the log at `path` did, and drops what is beyond the bounds.
    static void describe(FileSystem &fileSystem, const std::string &dataFolder, const std::string &path,
                         const OperationInfo &info);
    // After an undo of the log that was the file `taken`, now at `path`: a
    // log written over with the items left keeps its description, and the
    // description of a log undone whole goes.
    static void followUndo(FileSystem &fileSystem, const std::string &dataFolder, const ItemId &taken,
                           const std::string &path);
    // The kept log that is the file `identity`, when one is.
    static std::optional<std::string> keptLogOf(FileSystem &fileSystem, const std::string &dataFolder,
                                                const ItemId &identity);

private:
    FileSystem &m_fileSystem;
    std::string m_folder;
};

// The name of an edit kind in the history: "Remove", "Replace", "Insert",
// "Change", "Extension" (the list window's buttons).
std::string operationKindName(EditKind kind);

// "1 item", "3 items".
std::string itemCountText(std::size_t items);
// The question asked before an older operation is undone.
std::string historyUndoQuestion(const HistoryEntry &entry);
// The message that refuses it while `newer` stands.
std::string historyRefusal(const HistoryEntry &entry, const HistoryEntry &newer);

} // namespace renomiq
