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

    // The journal of a run in progress, "rollback.jnl": each pair is recorded
    // before its rename, so a run cut short by a crash can still be undone.
    // Returns false when no journal could be had (the run goes on without one).
    bool beginJournal();
    void journal(const std::string &newPath, const std::string &oldPath);
    // The run has ended: the log (when not empty) replaces "rollback.rbk", then
    // the journal goes. An empty log leaves the older undo log valid.
    Status commit(const std::vector<std::string> &lines);
    // At start-up: a journal left by a run that died becomes "rollback.rbk".
    // True when one was found.
    bool recoverAbandonedJournal();

private:
    FileSystem &m_fileSystem;
    std::string m_path;
    std::string m_journalPath;
    std::unique_ptr<Journal> m_journal;
};

} // namespace renomiq
