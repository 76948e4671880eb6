#pragma once

#include "platform/result.h"

#include <optional>
#include <string>
#include <vector>

namespace renomiq {

class FileSystem;

// The sending side of the file managers' "Renomiq" menu: turns the selected
// items into the hand-off file of the data folder, for `renomiq KEYWORD`.
class HandOffSender {
public:
    // The keywords the menu sends.
    static const std::vector<std::string> &keywords();

    // A selected item as a file manager hands it over (a host path, absolute or
    // relative to `currentFolder`, or a file:// URI) as a clean absolute host
    // path. No value for anything else (another URI scheme, an empty text).
    static std::optional<std::string> hostPathOf(const std::string &item, const std::string &currentFolder);
    // "%20" and the like decoded; no value for a malformed escape or a decoded NUL.
    static std::optional<std::string> percentDecoded(const std::string &text);

    HandOffSender(FileSystem &fileSystem, std::string dataFolder)
        : m_fileSystem(fileSystem), m_dataFolder(std::move(dataFolder))
    {
    }

    // Converts the items to the program's paths, writes the hand-off file
    // (replacing an older one) and returns the keyword to start the program
    // with: the given one, except that "Savealls" ("Save names of folder")
    // becomes "Savesomes" unless the selection is exactly one folder. Items
    // that cannot be converted are left out and listed in `skipped`. Fails for
    // an unknown keyword, when no item is left, or when the file cannot be written.
    Result<std::string> send(const std::string &keyword, const std::vector<std::string> &items,
                             const std::string &currentFolder, std::vector<std::string> &skipped);

private:
    FileSystem &m_fileSystem;
    std::string m_dataFolder;
};

} // namespace renomiq
