#include "platform/file_registry.h"

#include <algorithm>

#include "platform/host_io.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace renomiq {

namespace {

const char kHeader[] = "Windows Registry Editor Version 5.00";

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::string fullKey(RegistryHive hive, const std::string &key)
{
    size_t begin = key.find_first_not_of('\\');
    size_t end = key.find_last_not_of('\\');
    std::string path = begin == std::string::npos ? std::string() : key.substr(begin, end - begin + 1);
    std::string root = hive == RegistryHive::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_CLASSES_ROOT";
    return path.empty() ? root : root + '\\' + path;
}

bool startsWithKey(const std::string &key, const std::string &prefix)
{
    if (key.size() <= prefix.size() || key[prefix.size()] != '\\')
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (lowerAscii(key[i]) != lowerAscii(prefix[i]))
            return false;
    }
    return true;
}

std::string quoted(const std::string &text)
{
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out + '"';
}

// Reads a quoted text starting at line[pos] == '"'; pos ends behind the closing quote.
bool readQuoted(const std::string &line, size_t &pos, std::string &out)
{
    if (pos >= line.size() || line[pos] != '"')
        return false;
    ++pos;
    while (pos < line.size()) {
        char c = line[pos++];
        if (c == '"')
            return true;
        if (c == '\\') {
            if (pos >= line.size())
                return false;
            char e = line[pos++];
            switch (e) {
            case '\\': out += '\\'; break;
            case '"': out += '"'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            default: return false;
            }
        } else {
            out += c;
        }
    }
    return false;
}

bool parseDword(const std::string &digits, std::uint32_t &value)
{
    if (digits.empty() || digits.size() > 8)
        return false;
    value = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        value = value * 16 + static_cast<std::uint32_t>(d);
    }
    return true;
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_ino == b.st_ino && a.st_dev == b.st_dev && a.st_size == b.st_size
        && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

std::string parentFolder(const std::string &hostPath)
{
    const size_t slash = hostPath.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : hostPath.substr(0, slash);
}

} // namespace

// With the lock held: the keys of the file. A damaged file is kept aside and
// reads as empty, so the next write starts a sound file.
// A file that is no registry at all (not a regular file, too large) adds a
// notice for the user to `notices`, once.
static FileRegistry::Keys readLocked(const std::string &hostFile, std::vector<std::string> &notices)
{
    auto text = readHostFile(hostFile, FileRegistry::kFileLimit);
    // Something that is no registry file (a FIFO, a device, a huge file) is
    // kept aside as a damaged one is.
    const bool noRegistry = !text && (text.error().code == EINVAL || text.error().code == EFBIG);
    if (!text && !noRegistry)
        return {};
    if (text) {
        if (auto keys = FileRegistry::parse(*text))
            return std::move(*keys);
    }
    // Never over a file set aside before: the first free name of
    // ".damaged", ".damaged-TIME", ".damaged-TIME-2", ...
    std::string aside = hostFile + ".damaged";
    bool setAside = false;
    const std::string timed = aside + "-" + std::to_string(std::time(nullptr));
    for (int attempt = 0; attempt < 1000 && !setAside; ++attempt) {
        if (attempt > 0)
            aside = attempt == 1 ? timed : timed + "-" + std::to_string(attempt);
        if (::renameat2(AT_FDCWD, hostFile.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
            setAside = true;
        } else if (errno == EINVAL && ::link(hostFile.c_str(), aside.c_str()) == 0) {
            // A file system without a rename that never replaces.
            setAside = ::unlink(hostFile.c_str()) == 0;
        } else if (errno != EEXIST) {
            break;
        }
    }
    if (noRegistry) {
        const std::string problem =
            text.error().code == EFBIG ? "is larger than " + std::to_string(FileRegistry::kFileLimit >> 20) + " MiB"
                                       : std::string("is not a regular file");
        std::string notice = "The settings file '" + hostFile + "' " + problem
            + (setAside ? ": it was set aside as '" + aside + "', and the settings start from their defaults."
                        : ": it was left as it is, and the settings are their defaults.");
        if (std::find(notices.begin(), notices.end(), notice) == notices.end())
            notices.push_back(std::move(notice));
    }
    return {};
}

bool FileRegistry::CaseInsensitiveLess::operator()(const std::string &a, const std::string &b) const
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const char x = lowerAscii(a[i]);
        const char y = lowerAscii(b[i]);
        if (x != y)
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    return a.size() < b.size();
}

FileRegistry::FileRegistry(std::string hostFile) : m_hostFile(std::move(hostFile))
{
    // What writes killed midway left: cleaned at start-up, not only at the
    // next write, which may never come.
    const std::size_t slash = m_hostFile.rfind('/');
    if (slash != std::string::npos)
        removeStaleTemporaries(parentFolder(m_hostFile), m_hostFile.substr(slash + 1));
}

std::string FileRegistry::format(const Keys &keys)
{
    std::string out = std::string(kHeader) + "\n";
    for (const auto &[key, values] : keys) {
        out += "\n[" + key + "]\n";
        for (const auto &[name, value] : values) {
            out += name.empty() ? std::string("@") : quoted(name);
            out += '=';
            if (value.type == RegistryType::Dword) {
                char digits[9];
                std::snprintf(digits, sizeof digits, "%08x", value.dword);
                out += "dword:";
                out += digits;
            } else {
                out += quoted(value.text);
            }
            out += '\n';
        }
    }
    return out;
}

std::optional<FileRegistry::Keys> FileRegistry::parse(const std::string &text)
{
    if (text.find('\0') != std::string::npos)
        return std::nullopt;
    Keys keys;
    Values *section = nullptr;
    bool headerSeen = false;
    size_t start = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        start = 3;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!headerSeen) {
            if (line != kHeader)
                return std::nullopt;
            headerSeen = true;
            continue;
        }
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            if (line.size() < 3 || line.back() != ']')
                return std::nullopt;
            section = &keys[line.substr(1, line.size() - 2)];
            continue;
        }
        if (!section)
            return std::nullopt;
        std::string name;
        size_t pos = 0;
        if (line[0] == '@') {
            pos = 1;
        } else if (!readQuoted(line, pos, name)) {
            return std::nullopt;
        }
        if (pos >= line.size() || line[pos] != '=')
            return std::nullopt;
        ++pos;
        RegistryValue value;
        if (line.compare(pos, 6, "dword:") == 0) {
            value.type = RegistryType::Dword;
            if (!parseDword(line.substr(pos + 6), value.dword))
                return std::nullopt;
        } else {
            value.type = RegistryType::String;
            if (!readQuoted(line, pos, value.text) || pos != line.size())
                return std::nullopt;
        }
        (*section)[name] = std::move(value);
    }
    if (!headerSeen && !text.empty())
        return std::nullopt;
    return keys;
}

const FileRegistry::Keys &FileRegistry::current()
{
    struct stat st {};
    if (::stat(m_hostFile.c_str(), &st) != 0) {
        m_cache.clear();
        m_cacheValid = false;
        return m_cache;
    }
    if (m_cacheValid && sameFile(st, m_cacheStat))
        return m_cache;
    auto text = readHostFile(m_hostFile, kFileLimit);
    auto keys = text ? parse(*text) : std::nullopt;
    if (!keys) {
        // Damaged: keep it aside under the lock and go on as if it were empty.
        HostFileLock lock(m_hostFile + ".lock");
        m_cacheValid = false;
        m_cache = readLocked(m_hostFile, m_notices);
        return m_cache;
    }
    m_cache = std::move(*keys);
    m_cacheStat = st;
    m_cacheValid = true;
    return m_cache;
}

bool FileRegistry::modify(const std::function<bool(Keys &)> &change)
{
    if (!makeHostFolders(parentFolder(m_hostFile)))
        return false;
    HostFileLock lock(m_hostFile + ".lock");
    Keys keys = readLocked(m_hostFile, m_notices);
    if (!change(keys))
        return true; // nothing to write
    if (!writeHostFileAtomic(m_hostFile, format(keys), 0600))
        return false;
    m_cache = std::move(keys);
    m_cacheValid = ::stat(m_hostFile.c_str(), &m_cacheStat) == 0;
    return true;
}

std::vector<std::string> FileRegistry::takeNotices()
{
    (void)current();
    return std::exchange(m_notices, {});
}

bool FileRegistry::createKey(RegistryHive hive, const std::string &key)
{
    const std::string full = fullKey(hive, key);
    if (current().count(full))
        return true;
    return modify([&](Keys &keys) {
        // Like the real registry, a key's parents exist with it.
        bool added = false;
        for (size_t slash = full.find('\\'); slash != std::string::npos; slash = full.find('\\', slash + 1))
            added |= keys.try_emplace(full.substr(0, slash)).second;
        added |= keys.try_emplace(full).second;
        return added;
    });
}

bool FileRegistry::keyExists(RegistryHive hive, const std::string &key)
{
    const std::string full = fullKey(hive, key);
    const Keys &keys = current();
    if (keys.count(full))
        return true;
    auto it = keys.upper_bound(full);
    return it != keys.end() && startsWithKey(it->first, full);
}

bool FileRegistry::deleteKey(RegistryHive hive, const std::string &key)
{
    const std::string full = fullKey(hive, key);
    return modify([&](Keys &keys) {
        bool removed = keys.erase(full) > 0;
        for (auto it = keys.begin(); it != keys.end();) {
            if (startsWithKey(it->first, full)) {
                it = keys.erase(it);
                removed = true;
            } else {
                ++it;
            }
        }
        return removed;
    });
}

std::optional<RegistryValue> FileRegistry::readValue(RegistryHive hive, const std::string &key,
                                                     const std::string &name)
{
    const Keys &keys = current();
    auto k = keys.find(fullKey(hive, key));
    if (k == keys.end())
        return std::nullopt;
    auto v = k->second.find(name);
    if (v == k->second.end())
        return std::nullopt;
    return v->second;
}

bool FileRegistry::writeValue(RegistryHive hive, const std::string &key, const std::string &name,
                              const RegistryValue &value)
{
    const std::string full = fullKey(hive, key);
    if (readValue(hive, key, name) == value)
        return true;
    return modify([&](Keys &keys) {
        for (size_t slash = full.find('\\'); slash != std::string::npos; slash = full.find('\\', slash + 1))
            keys.try_emplace(full.substr(0, slash));
        Values &values = keys[full];
        auto it = values.find(name);
        if (it != values.end() && it->second == value)
            return false;
        values.insert_or_assign(name, value);
        return true;
    });
}

bool FileRegistry::writeValues(RegistryHive hive, const std::string &key,
                               const std::vector<std::pair<std::string, RegistryValue>> &values)
{
    const std::string full = fullKey(hive, key);
    const bool unchanged = std::all_of(values.begin(), values.end(), [&](const auto &entry) {
        return readValue(hive, key, entry.first) == entry.second;
    });
    if (unchanged)
        return true;
    return modify([&](Keys &keys) {
        for (size_t slash = full.find('\\'); slash != std::string::npos; slash = full.find('\\', slash + 1))
            keys.try_emplace(full.substr(0, slash));
        Values &stored = keys[full];
        bool changed = false;
        for (const auto &[name, value] : values) {
            auto it = stored.find(name);
            if (it != stored.end() && it->second == value)
                continue;
            stored.insert_or_assign(name, value);
            changed = true;
        }
        return changed;
    });
}

bool FileRegistry::deleteValue(RegistryHive hive, const std::string &key, const std::string &name)
{
    const std::string full = fullKey(hive, key);
    return modify([&](Keys &keys) {
        auto k = keys.find(full);
        return k != keys.end() && k->second.erase(name) > 0;
    });
}

bool FileRegistry::deleteValues(RegistryHive hive, const std::string &key, const std::vector<std::string> &names)
{
    const std::string full = fullKey(hive, key);
    return modify([&](Keys &keys) {
        auto k = keys.find(full);
        if (k == keys.end())
            return false;
        bool removed = false;
        for (const std::string &name : names)
            removed |= k->second.erase(name) > 0;
        return removed;
    });
}

} // namespace renomiq
