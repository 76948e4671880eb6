#pragma once

#include "engine/edit_kind.h"
#include "platform/result.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace renomiq {

class FileSystem;

// The hand-off file "fn000.tmp" in the data folder: the targets that one
// instance passes to the next, one full path per line.
class HandOffFile {
public:
    HandOffFile(FileSystem &fileSystem, std::string dataFolder)
        : m_fileSystem(fileSystem), m_path(std::move(dataFolder) + "fn000.tmp")
    {
    }

    const std::string &path() const { return m_path; }
    bool exists() const;
    // Replaces the file with the paths, CR LF after each. Refuses (writing
    // nothing) when a path holds a CR or LF.
    bool write(const std::vector<std::string> &paths);
    // A selection of a million paths fits; a larger file is no hand-off.
    static constexpr std::size_t kFileLimit = std::size_t{256} << 20;

    // The paths (CR LF, LF or CR end a line; empty lines are left out), each
    // '/' turned into '\'; no value when there is no file, or when it is no
    // regular file or larger than kFileLimit (`failure`, when given, says why).
    std::optional<std::vector<std::string>> read(Error *failure = nullptr) const;
    Status remove();
    // Reads the file and deletes it, as the receiving instance does.
    std::vector<std::string> take();

private:
    FileSystem &m_fileSystem;
    std::string m_path;
};

// The edit keyword of a command line: its first argument, verbatim. No value
// for a plain start (no argument, or an empty one).
std::optional<std::string> commandLineKeyword(int argc, const char *const argv[]);

// The keyword that "Save" sends to a new instance: "Savealls" for exactly one
// target that is an existing folder, "Savesomes" otherwise.
EditKind saveKeywordFor(FileSystem &fileSystem, const std::vector<std::string> &targets);

} // namespace renomiq
