#pragma once

#include "platform/result.h"

#include <string>
#include <vector>

namespace renomiq {

class FileSystem;

// "rollback.rbk" in the data folder: pairs of lines, the current path of an
// item and then its former path, CR LF after each, read-only between writes.
class UndoLog {
public:
    UndoLog(FileSystem &fileSystem, const std::string &dataFolder)
        : m_fileSystem(fileSystem), m_path(dataFolder + "rollback.rbk")
    {
    }

    const std::string &path() const { return m_path; }
    bool exists() const;
    // WriteUndoLog: replaces the file atomically, then makes it read-only.
    Status write(const std::vector<std::string> &lines);
    Result<std::vector<std::string>> read() const;
    Status remove();

private:
    FileSystem &m_fileSystem;
    std::string m_path;
};

} // namespace renomiq
