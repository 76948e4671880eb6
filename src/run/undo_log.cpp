#include "run/undo_log.h"

#include "platform/file_system.h"
#include "platform/text_lines.h"

namespace renomiq {

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
