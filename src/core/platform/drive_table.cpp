#include "platform/drive_table.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace renomiq {

namespace {

char upperLetter(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Splits at any of the separators, dropping empty pieces and resolving "." and
// ".." lexically (never above the root).
std::vector<std::string_view> components(std::string_view path, std::string_view separators)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of(separators, start);
        if (end == std::string_view::npos)
            end = path.size();
        std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    return parts;
}

std::string normalizedHostFolder(std::string_view folder)
{
    std::string result;
    for (std::string_view part : components(folder, "/")) {
        result += '/';
        result += part;
    }
    return result; // "" stands for the host root
}

} // namespace

DriveTable::DriveTable()
{
    m_drives['C'] = std::string();
}

void DriveTable::setDrive(char letter, std::string hostFolder)
{
    m_drives[upperLetter(letter)] = normalizedHostFolder(hostFolder);
}

bool DriveTable::apply(std::string_view mapping)
{
    std::map<char, std::string> added;
    size_t start = 0;
    while (start < mapping.size()) {
        size_t end = mapping.find(';', start);
        if (end == std::string_view::npos)
            end = mapping.size();
        std::string_view entry = mapping.substr(start, end - start);
        start = end + 1;
        if (entry.empty())
            continue;
        if (entry.size() < 3 || !isLetter(entry[0]) || entry[1] != '=' || entry[2] != '/')
            return false;
        added[upperLetter(entry[0])] = normalizedHostFolder(entry.substr(2));
    }
    for (auto &[letter, folder] : added)
        m_drives[letter] = folder;
    return true;
}

DriveTable DriveTable::fromEnvironment()
{
    DriveTable table;
    if (const char *mapping = std::getenv("RENOMIQ_DRIVES"))
        table.apply(mapping);
    return table;
}

std::optional<std::string> DriveTable::toHost(std::string_view windowsPath) const
{
    if (windowsPath.size() < 2 || !isLetter(windowsPath[0]) || windowsPath[1] != ':')
        return std::nullopt;
    if (windowsPath.size() > 2 && windowsPath[2] != '\\' && windowsPath[2] != '/')
        return std::nullopt; // "C:relative" has no fixed meaning here
    auto drive = m_drives.find(upperLetter(windowsPath[0]));
    if (drive == m_drives.end())
        return std::nullopt;
    std::string host = drive->second;
    const std::string_view rest = windowsPath.substr(2);
    // The common case: separators only between plain names.
    const bool plain = rest.find('/') == std::string_view::npos && rest.find("\\\\") == std::string_view::npos
        && rest.find("\\.") == std::string_view::npos && (rest.empty() || rest.back() != '\\');
    if (plain && !rest.empty()) {
        const std::size_t base = host.size();
        host.append(rest);
        std::replace(host.begin() + static_cast<std::ptrdiff_t>(base), host.end(), '\\', '/');
        return host;
    }
    for (std::string_view part : components(rest, "\\/")) {
        host += '/';
        host += part;
    }
    return host.empty() ? std::string("/") : host;
}

std::optional<std::string> DriveTable::toWindows(std::string_view hostPath) const
{
    if (hostPath.empty() || hostPath[0] != '/')
        return std::nullopt;
    const std::string normalized = normalizedHostFolder(hostPath);

    const std::pair<const char, std::string> *best = nullptr;
    for (const auto &entry : m_drives) {
        const std::string &folder = entry.second;
        const bool holds = normalized.compare(0, folder.size(), folder) == 0
            && (normalized.size() == folder.size() || normalized[folder.size()] == '/');
        if (holds && (!best || folder.size() > best->second.size()))
            best = &entry;
    }
    if (!best)
        return std::nullopt;

    std::string rest = normalized.substr(best->second.size());
    if (rest.find('\\') != std::string::npos)
        return std::nullopt;
    for (char &c : rest) {
        if (c == '/')
            c = '\\';
    }
    std::string result{best->first, ':'};
    return rest.empty() ? result + '\\' : result + rest;
}

} // namespace renomiq
