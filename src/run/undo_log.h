#pragma once

#include "platform/result.h"

#include <memory>
#include <string>
#include <vector>

namespace renomiq {

class FileSystem;
class Journal;

// "rollback.rbk" in the data folder: pairs of lines, the current path of an
// item and then its former path, CR LF after each, read-only between writes.
class UndoLog {
public:
    UndoLog(FileSystem &fileSystem, const std::string &dataFolder);
    ~UndoLog();

    const std::string &path() const { return m_path; }
    bool exists() const;
    // WriteUndoLog: replaces the file atomically, then makes it read-only.
    Status write(const std::vector<std::string> &lines);
    Result<std::vector<std::string>> read() const;
    Status remove();

    // The log of a run in progress, kept in the journal "rollback.jnl": each
    // pair is recorded before its rename (and taken back when the rename
    // fails), so a run cut short by a crash can still be undone, and memory
    // does not grow with the number of renamed items. Where no journal can be
    // had (another instance holds it) the pairs are kept in memory instead.
    void begin();
    void recordRename(const std::string &newPath, const std::string &oldPath);
    void renameFailed();
    std::size_t pairCount() const { return m_pairs; }
    // The run has ended: its pairs, when there are any, become "rollback.rbk";
    // without any, an older undo log stays valid.
    Status commit();
    // At start-up: a journal left by a run that died becomes "rollback.rbk".
    // True when one was found.
    bool recoverAbandonedJournal();

private:
    FileSystem &m_fileSystem;
    std::string m_path;
    std::string m_journalPath;
    std::unique_ptr<Journal> m_journal;
    std::vector<std::string> m_memory; // without a journal
    std::size_t m_pairs = 0;
    std::size_t m_lastRecord = 0;
};

} // namespace renomiq
