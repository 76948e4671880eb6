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

bool UndoLog::beginJournal()
{
    recoverAbandonedJournal();
    m_journal = m_fileSystem.openJournal(m_journalPath);
    return m_journal != nullptr;
}

void UndoLog::journal(const std::string &newPath, const std::string &oldPath)
{
    if (m_journal)
        m_journal->append(newPath + "\r\n" + oldPath + "\r\n");
}

Status UndoLog::commit(const std::vector<std::string> &lines)
{
    Status status;
    if (!lines.empty())
        status = write(lines);
    if (m_journal && status)
        m_journal->discard();
    m_journal.reset();
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
