#pragma once

#include "platform/shell.h"

class QString;

namespace renomiq {

class FileSystem;

// Qt file dialogs and QDesktopServices, converting between the program's
// Windows-style paths and host paths.
class QtShell : public Shell {
public:
    explicit QtShell(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    std::optional<std::string> browseForFolder(const std::string &title) override;
    std::vector<std::string> openFiles(const OpenFilesRequest &request) override;
    std::optional<std::string> saveFile(const SaveFileRequest &request) override;
    bool open(const std::string &pathOrUrl) override;
    bool showInFileManager(const std::string &path) override;
    bool startProgram(const std::string &program, const std::vector<std::string> &arguments) override;

private:
    QString hostFolder(const std::string &path) const;
    std::optional<std::string> fromHost(const QString &hostPath) const;

    FileSystem &m_fileSystem;
};

} // namespace renomiq
