#include "cli/terminal_text.h"

#include <unistd.h>

namespace renomiq {

namespace {

void appendOctal(std::string &shown, unsigned char byte)
{
    shown += '\\';
    shown += static_cast<char>('0' + ((byte >> 6) & 7));
    shown += static_cast<char>('0' + ((byte >> 3) & 7));
    shown += static_cast<char>('0' + (byte & 7));
}

void appendControl(std::string &shown, unsigned char byte)
{
    switch (byte) {
    case '\a': shown += "\\a"; break;
    case '\b': shown += "\\b"; break;
    case '\t': shown += "\\t"; break;
    case '\n': shown += "\\n"; break;
    case '\v': shown += "\\v"; break;
    case '\f': shown += "\\f"; break;
    case '\r': shown += "\\r"; break;
    default: appendOctal(shown, byte); break;
    }
}

// The length of the well-formed UTF-8 character starting at `at` (no
// overlong forms, no surrogates, nothing above U+10FFFF), or 0.
std::size_t characterLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (std::size_t i = at + 2; i < at + length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

} // namespace

std::string terminalText(std::string_view text, bool keepLineBreaks)
{
    std::string shown;
    shown.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const unsigned char byte = static_cast<unsigned char>(text[at]);
        if (byte < 0x80) {
            if ((byte >= 0x20 && byte != 0x7F) || (keepLineBreaks && byte == '\n'))
                shown += text[at];
            else
                appendControl(shown, byte);
            ++at;
            continue;
        }
        const std::size_t length = characterLength(text, at);
        if (length == 0) { // not UTF-8: the byte alone
            appendOctal(shown, byte);
            ++at;
            continue;
        }
        const bool c1Control = byte == 0xC2 && static_cast<unsigned char>(text[at + 1]) <= 0x9F;
        if (c1Control) {
            appendOctal(shown, byte);
            appendOctal(shown, static_cast<unsigned char>(text[at + 1]));
        } else {
            shown.append(text.substr(at, length));
        }
        at += length;
    }
    return shown;
}

std::string textFor(std::FILE *stream, std::string_view text, bool keepLineBreaks)
{
    if (::isatty(::fileno(stream)))
        return terminalText(text, keepLineBreaks);
    return std::string(text);
}

} // namespace renomiq
