#include "targets/hand_off.h"

#include "engine/item_path.h"
#include "platform/file_system.h"
#include "platform/text_lines.h"

#include <algorithm>

namespace renomiq {

bool HandOffFile::exists() const
{
    return m_fileSystem.fileExists(m_path);
}

bool HandOffFile::write(const std::vector<std::string> &paths)
{
    // A line break inside a path would turn it into two paths on reading.
    for (const std::string &path : paths) {
        if (path.find_first_of("\r\n") != std::string::npos)
            return false;
    }
    return m_fileSystem.writeFileAtomic(m_path, joinLines(paths)).ok();
}

std::optional<std::vector<std::string>> HandOffFile::read(Error *failure) const
{
    auto content = m_fileSystem.readFile(m_path, kFileLimit);
    if (!content) {
        if (failure)
            *failure = content.error();
        return std::nullopt;
    }
    std::vector<std::string> paths = splitLines(*content);
    std::erase_if(paths, [](const std::string &p) { return p.empty(); });
    for (std::string &p : paths)
        p = withBackslashes(std::move(p));
    return paths;
}

Status HandOffFile::remove()
{
    return m_fileSystem.removeFile(m_path);
}

std::vector<std::string> HandOffFile::take()
{
    auto paths = read();
    if (!paths)
        return {};
    (void)remove(); // read already; every hand-off writes the file anew
    return *paths;
}

std::optional<std::string> commandLineKeyword(int argc, const char *const argv[])
{
    if (argc < 2 || argv[1] == nullptr || argv[1][0] == '\0')
        return std::nullopt;
    return std::string(argv[1]);
}

EditKind saveKeywordFor(FileSystem &fileSystem, const std::vector<std::string> &targets)
{
    return targets.size() == 1 && fileSystem.folderExists(targets[0]) ? EditKind::Savealls : EditKind::Savesomes;
}

} // namespace renomiq
