#include "platform/thunar_actions.h"

#include <cctype>

namespace renomiq {

namespace {

bool isBlank(const std::string &text)
{
    for (char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

std::string actionElement(const ThunarActions::Action &a)
{
    std::string x = "<action>\n";
    const auto line = [&x](const char *tag, const std::string &value) {
        x += std::string("\t<") + tag + '>' + ThunarActions::escaped(value) + "</" + tag + ">\n";
    };
    line("icon", a.icon);
    line("name", a.name);
    line("submenu", a.submenu);
    line("unique-id", a.uniqueId);
    line("command", a.command);
    line("description", a.description);
    line("range", "");
    line("patterns", "*");
    x += "\t<directories/>\n\t<audio-files/>\n\t<image-files/>\n\t<other-files/>\n\t<text-files/>\n\t<video-files/>\n";
    x += "</action>\n";
    return x;
}

// Position of the next "<action>" or "<action ...>" element at or after `from`.
std::size_t findActionStart(const std::string &text, std::size_t from)
{
    for (std::size_t at = text.find("<action", from); at != std::string::npos; at = text.find("<action", at + 1)) {
        const char next = at + 7 < text.size() ? text[at + 7] : '\0';
        if (next == '>' || std::isspace(static_cast<unsigned char>(next)))
            return at;
    }
    return std::string::npos;
}

bool isOurs(const std::string &element)
{
    const std::size_t id = element.find("<unique-id>");
    return id != std::string::npos
        && element.compare(id + 11, std::char_traits<char>::length(ThunarActions::kIdPrefix), ThunarActions::kIdPrefix) == 0;
}

} // namespace

std::string ThunarActions::escaped(const std::string &text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

Result<std::string> ThunarActions::merged(const std::string &existing, const std::vector<Action> &actions)
{
    std::string ours;
    for (const Action &a : actions)
        ours += actionElement(a);

    if (isBlank(existing))
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n" + ours + "</actions>\n";

    std::string text = existing;
    if (const std::size_t empty = text.find("<actions/>"); empty != std::string::npos
        && text.find("<actions>") == std::string::npos)
        text.replace(empty, 10, "<actions>\n</actions>");
    const std::size_t open = text.find("<actions>");
    const std::size_t close = text.rfind("</actions>");
    if (open == std::string::npos || close == std::string::npos || close < open)
        return Error{0, "not a list of Thunar actions"};

    // Everything between the list's tags, without our elements.
    std::string kept;
    std::size_t at = open + 9;
    while (true) {
        const std::size_t start = findActionStart(text, at);
        if (start == std::string::npos || start > close) {
            kept += text.substr(at, close - at);
            break;
        }
        const std::size_t end = text.find("</action>", start);
        if (end == std::string::npos || end > close)
            return Error{0, "an unfinished Thunar action"};
        std::size_t after = end + 9;
        const std::string element = text.substr(start, after - start);
        if (isOurs(element)) {
            // The element goes with the line it stands on.
            std::size_t lineStart = start;
            while (lineStart > at && (text[lineStart - 1] == ' ' || text[lineStart - 1] == '\t'))
                --lineStart;
            kept += text.substr(at, lineStart - at);
            if (after < text.size() && text[after] == '\n')
                ++after;
        } else {
            kept += text.substr(at, after - at);
        }
        at = after;
    }
    if (!kept.empty() && kept.back() != '\n')
        kept += '\n';
    return text.substr(0, open + 9) + kept + ours + text.substr(close);
}

} // namespace renomiq
