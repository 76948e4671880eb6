#pragma once

#include <optional>
#include <string>
#include <vector>

namespace renomiq {

// One entry of a file dialog's type list: what it shows and its patterns ("*.jpg;*.jpeg").
struct FileFilter {
    std::string text;
    std::string patterns;
};

struct OpenFilesRequest {
    std::string title;
    std::string initialFolder;
    std::vector<FileFilter> filters;
};

struct SaveFileRequest {
    std::string title;
    std::string initialFolder;
    std::string fileName;
    std::vector<FileFilter> filters;
    std::string defaultExtension;
};

// The desktop shell: standard dialogs, opening items, starting programs. Paths
// are the program's Windows-style paths.
class Shell {
public:
    virtual ~Shell() = default;

    // No value when cancelled or when no file-system folder was chosen.
    virtual std::optional<std::string> browseForFolder(const std::string &title) = 0;
    // Empty when cancelled.
    virtual std::vector<std::string> openFiles(const OpenFilesRequest &request) = 0;
    virtual std::optional<std::string> saveFile(const SaveFileRequest &request) = 0;
    // The item's default action ("open").
    virtual bool open(const std::string &pathOrUrl) = 0;
    // Shows the item selected in the file manager.
    virtual bool showInFileManager(const std::string &path) = 0;
    // Starts a program detached; arguments are passed as they are.
    virtual bool startProgram(const std::string &program, const std::vector<std::string> &arguments) = 0;
};

} // namespace renomiq
