#include "cli/terminal_text.h"

namespace renomiq {

std::string terminalText(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            shown += c;
            continue;
        }
        switch (byte) {
        case '\a': shown += "\\a"; break;
        case '\b': shown += "\\b"; break;
        case '\t': shown += "\\t"; break;
        case '\n': shown += "\\n"; break;
        case '\v': shown += "\\v"; break;
        case '\f': shown += "\\f"; break;
        case '\r': shown += "\\r"; break;
        default:
            shown += '\\';
            shown += static_cast<char>('0' + ((byte >> 6) & 7));
            shown += static_cast<char>('0' + ((byte >> 3) & 7));
            shown += static_cast<char>('0' + (byte & 7));
            break;
        }
    }
    return shown;
}

} // namespace renomiq
