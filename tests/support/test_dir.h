#pragma once

#include "platform/drive_table.h"

#include <cstdint>
#include <string>
#include <vector>

namespace renomiq::test {

// A temporary folder tree for one test, removed with it. The folder is drive T:
// of drives(), so tests speak Windows-style paths ("T:\a\b.txt"). It also points
// XDG_CONFIG_HOME and XDG_DATA_HOME into itself, so no test touches the user's
// real files.
class TestDir {
public:
    TestDir();
    ~TestDir();
    TestDir(const TestDir &) = delete;
    TestDir &operator=(const TestDir &) = delete;

    // Host path of the folder, without trailing '/'.
    const std::string &host() const { return m_host; }
    std::string host(const std::string &relative) const { return m_host + '/' + relative; }
    // Windows-style path: win("a/b.txt") == "T:\a\b.txt"; win("") == "T:\".
    static std::string win(const std::string &relative);
    // The undo log's line of the folder at `relative`, as a run records it
    // with the path `windowsPath` (ending in '\\'): its identity, then those
    // of the folders above it up to the root (read by stat, going up by "..").
    std::string folderLine(const std::string &relative, const std::string &windowsPath) const;
    DriveTable drives() const;

    // Creates files (and their folders); a path ending in '/' is a folder.
    void createFiles(const std::vector<std::string> &relativePaths) const;
    void writeFile(const std::string &relative, const std::string &content) const;
    std::string readFile(const std::string &relative) const;
    bool exists(const std::string &relative) const;
    // The names in a folder, sorted.
    std::vector<std::string> list(const std::string &relative = "") const;

    std::string configHome() const { return m_host + "/.config-home"; }
    std::string dataHome() const { return m_host + "/.data-home"; }

private:
    std::string m_host;
};

} // namespace renomiq::test
