#include "support/test_doubles.h"

#include <gtest/gtest.h>

namespace renomiq::test {

namespace {

template <typename T>
T next(std::deque<T> &queue, const std::string &what, T empty)
{
    if (queue.empty()) {
        ADD_FAILURE() << "Unscripted " << what;
        return empty;
    }
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

} // namespace

std::optional<std::string> ScriptedShell::browseForFolder(const std::string &title)
{
    dialogTitles.push_back(title);
    return next(folders, "folder browser: " + title, std::optional<std::string>());
}

std::vector<std::string> ScriptedShell::openFiles(const OpenFilesRequest &request)
{
    dialogTitles.push_back(request.title);
    lastOpen = request;
    return next(fileSelections, "file-open dialog: " + request.title, std::vector<std::string>());
}

std::optional<std::string> ScriptedShell::saveFile(const SaveFileRequest &request)
{
    dialogTitles.push_back(request.title);
    lastSave = request;
    return next(saveFiles, "file-save dialog: " + request.title, std::optional<std::string>());
}

bool ScriptedShell::open(const std::string &pathOrUrl)
{
    opened.push_back(pathOrUrl);
    return true;
}

bool ScriptedShell::showInFileManager(const std::string &path)
{
    shown.push_back(path);
    return true;
}

bool ScriptedShell::startProgram(const std::string &program, const std::vector<std::string> &arguments)
{
    std::vector<std::string> line{program};
    line.insert(line.end(), arguments.begin(), arguments.end());
    started.push_back(line);
    return true;
}

} // namespace renomiq::test
