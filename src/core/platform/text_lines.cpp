#include "platform/text_lines.h"

namespace renomiq {

std::vector<std::string> splitLines(const std::string &content)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::string joinLines(const std::vector<std::string> &lines)
{
    std::string content;
    for (const std::string &line : lines)
        content += line + "\r\n";
    return content;
}

} // namespace renomiq
