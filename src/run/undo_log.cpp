#include "run/undo_log.h"

#include "platform/file_system.h"
#include "platform/text_lines.h"

namespace renomiq {

UndoLog::UndoLog(FileSystem &fileSystem, const std::string &dataFolder)
    : m_fileSystem(fileSystem), m_path(dataFolder + "rollback.rbk"), m_journalPath(dataFolder + "rollback.jnl")
{
}

UndoLog::~UndoLog() = default;

bool UndoLog::exists() const
{
    return m_fileSystem.fileExists(m_path);
}

Status UndoLog::write(const std::vector<std::string> &lines)
{
    if (m_fileSystem.exists(m_path))
        m_fileSystem.setAttributes(m_path, AttrArchive);
    Status status = m_fileSystem.writeFileAtomic(m_path, joinLines(lines));
    if (status)
        m_fileSystem.setAttributes(m_path, AttrReadOnly);
    return status;
}

Result<std::vector<std::string>> UndoLog::read() const
{
    auto content = m_fileSystem.readFile(m_path);
    if (!content)
        return content.error();
    return splitLines(*content);
}

Status UndoLog::remove()
{
    m_fileSystem.setAttributes(m_path, AttrArchive);
    return m_fileSystem.removeFile(m_path);
}

} // namespace renomiq

namespace renomiq {

void UndoLog::begin()
{
    recoverAbandonedJournal();
    m_journal = m_fileSystem.openJournal(m_journalPath);
    m_memory.clear();
    m_pairs = 0;
}

void UndoLog::recordRename(const std::string &newPath, const std::string &oldPath)
{
    ++m_pairs;
    if (!m_journal) {
        m_memory.push_back(newPath);
        m_memory.push_back(oldPath);
        return;
    }
    const std::string record = newPath + "\r\n" + oldPath + "\r\n";
    m_lastRecord = record.size();
    m_journal->append(record);
}

void UndoLog::renameFailed()
{
    if (m_pairs == 0)
        return;
    --m_pairs;
    if (!m_journal) {
        m_memory.resize(m_memory.size() - 2);
        return;
    }
    m_journal->retract(m_lastRecord);
    m_lastRecord = 0;
}

Status UndoLog::commit()
{
    Status status;
    if (m_journal) {
        if (m_pairs == 0) {
            m_journal->discard();
        } else {
            status = m_journal->commitAs(m_path);
            if (!status) // keep the pairs for the next start to recover
                return status;
        }
        m_journal.reset();
    } else if (m_pairs > 0) {
        status = write(m_memory);
    }
    m_memory.clear();
    m_pairs = 0;
    return status;
}

bool UndoLog::recoverAbandonedJournal()
{
    auto content = m_fileSystem.takeAbandonedJournal(m_journalPath);
    if (!content)
        return false;
    // Only whole pairs count: a record cut off by the crash is left out.
    const std::size_t end = content->rfind("\r\n");
    std::vector<std::string> lines;
    if (end != std::string::npos)
        lines = splitLines(content->substr(0, end + 2));
    if (lines.size() % 2 != 0)
        lines.pop_back();
    if (!lines.empty())
        write(lines);
    return true;
}

} // namespace renomiq
