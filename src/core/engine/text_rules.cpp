#include "engine/text_rules.h"

namespace renomiq {

std::string bytesFromTo(std::string_view text, std::ptrdiff_t i, std::ptrdiff_t j)
{
    const auto length = static_cast<std::ptrdiff_t>(text.size());
    if (i < 1)
        i = 1;
    if (j > length)
        j = length;
    if (i > j)
        return {};
    return std::string(text.substr(static_cast<std::size_t>(i - 1), static_cast<std::size_t>(j - i + 1)));
}

std::string bytesFrom(std::string_view text, std::ptrdiff_t i)
{
    return bytesFromTo(text, i, static_cast<std::ptrdiff_t>(text.size()));
}

std::ptrdiff_t positionOf(std::string_view needle, std::string_view text)
{
    if (needle.empty())
        return 0;
    const std::size_t found = text.find(needle);
    return found == std::string_view::npos ? 0 : static_cast<std::ptrdiff_t>(found + 1);
}

std::string replaceText(std::string_view text, std::string_view from, std::string_view to,
                        Occurrences occurrences, CaseMatch match, const CodePage &codePage)
{
    if (from.empty())
        return std::string(text);
    std::string result;
    std::size_t pos = 0;
    for (;;) {
        std::size_t length = from.size();
        const std::size_t found = match == CaseMatch::Sensitive
            ? text.find(from, pos)
            : codePage.findIgnoringCase(text, from, pos, length);
        if (found == std::string_view::npos)
            break;
        result.append(text.substr(pos, found - pos));
        result.append(to);
        pos = found + length;
        if (occurrences == Occurrences::FirstOnly)
            break;
    }
    result.append(text.substr(pos));
    return result;
}

std::string asciiLower(std::string_view text)
{
    std::string result(text);
    for (char &c : result) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return result;
}

std::string asciiUpper(std::string_view text)
{
    std::string result(text);
    for (char &c : result) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    }
    return result;
}

} // namespace renomiq
