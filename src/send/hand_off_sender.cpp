#include "send/hand_off_sender.h"

#include "engine/edit_kind.h"
#include "platform/file_system.h"
#include "targets/hand_off.h"

#include <algorithm>
#include <cctype>

namespace renomiq {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "/a/./b//c/../d/" -> "/a/b/d": the path as the user sees it, without
// resolving links.
std::string normalized(const std::string &absolute)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= absolute.size()) {
        std::size_t end = absolute.find('/', start);
        if (end == std::string::npos)
            end = absolute.size();
        std::string part = absolute.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(std::move(part));
    }
    std::string path;
    for (const std::string &part : parts)
        path += '/' + part;
    return path.empty() ? "/" : path;
}

// "scheme://...", the scheme made of letters, digits, '+', '-' and '.'.
bool hasUriScheme(const std::string &item)
{
    const std::size_t colon = item.find("://");
    if (colon == std::string::npos || colon == 0)
        return false;
    return std::all_of(item.begin(), item.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

} // namespace

const std::vector<std::string> &HandOffSender::keywords()
{
    static const std::vector<std::string> list = {"Removpart", "Replapart", "Addnewnum", "Changnew",
                                                  "Changexten", "Savealls",  "Savesomes"};
    return list;
}

std::optional<std::string> HandOffSender::percentDecoded(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = hexValue(text[i + 1]);
        const int low = hexValue(text[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0))
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::optional<std::string> HandOffSender::hostPathOf(const std::string &item, const std::string &currentFolder)
{
    if (item.empty())
        return std::nullopt;
    std::string path = item;
    if (item.rfind("file:", 0) == 0) {
        std::string rest = item.substr(5);
        if (rest.rfind("//", 0) == 0) {
            // file://host/path: only this machine's files are ours to rename.
            const std::size_t slash = rest.find('/', 2);
            if (slash == std::string::npos)
                return std::nullopt;
            const std::string host = rest.substr(2, slash - 2);
            if (!host.empty() && host != "localhost")
                return std::nullopt;
            rest = rest.substr(slash);
        }
        if (rest.empty() || rest[0] != '/')
            return std::nullopt;
        if (const std::size_t cut = rest.find_first_of("?#"); cut != std::string::npos)
            rest.resize(cut);
        auto decoded = percentDecoded(rest);
        if (!decoded)
            return std::nullopt;
        path = *decoded;
    } else if (hasUriScheme(item)) {
        return std::nullopt; // smb://, sftp://, trash:// ...: no local path
    }
    if (path[0] != '/')
        path = currentFolder + '/' + path;
    return normalized(path);
}

Result<std::string> HandOffSender::send(const std::string &keyword, const std::vector<std::string> &items,
                                        const std::string &currentFolder, std::vector<std::string> &skipped)
{
    const auto &known = keywords();
    if (std::find(known.begin(), known.end(), keyword) == known.end())
        return Error{0, "unknown keyword '" + keyword + "'"};
    std::vector<std::string> targets;
    targets.reserve(items.size());
    for (const std::string &item : items) {
        std::optional<std::string> target;
        if (auto host = hostPathOf(item, currentFolder))
            target = m_fileSystem.fromHostPath(*host);
        if (target)
            targets.push_back(std::move(*target));
        else
            skipped.push_back(item);
    }
    if (targets.empty())
        return Error{0, "no item to hand over"};
    std::string sent = keyword;
    if (keyword == "Savealls")
        sent = std::string(keywordOf(saveKeywordFor(m_fileSystem, targets)));
    HandOffFile file(m_fileSystem, m_dataFolder);
    if (!file.write(targets))
        return Error{0, "cannot write " + file.path()};
    return sent;
}

} // namespace renomiq
