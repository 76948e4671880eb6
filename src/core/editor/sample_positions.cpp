#include "editor/sample_positions.h"

namespace renomiq {

namespace {

bool isTrail(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at offset i, or 1.
int sequenceLength(std::string_view text, std::size_t i)
{
    const auto c = static_cast<unsigned char>(text[i]);
    int length = 1;
    if (c >= 0xC2 && c <= 0xDF)
        length = 2;
    else if (c >= 0xE0 && c <= 0xEF)
        length = 3;
    else if (c >= 0xF0 && c <= 0xF4)
        length = 4;
    if (i + static_cast<std::size_t>(length) > text.size())
        return 1;
    for (int k = 1; k < length; ++k) {
        if (!isTrail(static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)])))
            return 1;
    }
    const auto second = static_cast<unsigned char>(length > 1 ? text[i + 1] : 0);
    // Overlong forms, surrogates and code points past U+10FFFF are not valid.
    if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) || (c == 0xF0 && second < 0x90)
        || (c == 0xF4 && second > 0x8F))
        return 1;
    return length;
}

} // namespace

int byteOffsetOfUnit(std::string_view utf8, int unit)
{
    std::size_t offset = 0;
    int units = 0;
    while (offset < utf8.size() && units < unit) {
        const int length = sequenceLength(utf8, offset);
        units += length == 4 ? 2 : 1;
        offset += static_cast<std::size_t>(length);
    }
    return static_cast<int>(offset);
}

int unitOfByteOffset(std::string_view utf8, int byte)
{
    std::size_t offset = 0;
    int units = 0;
    while (offset < utf8.size()) {
        const int length = sequenceLength(utf8, offset);
        if (offset + static_cast<std::size_t>(length) > static_cast<std::size_t>(byte))
            break;
        units += length == 4 ? 2 : 1;
        offset += static_cast<std::size_t>(length);
    }
    return units;
}

ByteSelection byteSelectionOf(std::string_view utf8, int unitStart, int unitLength)
{
    if (unitLength <= 0)
        return {byteOffsetOfUnit(utf8, unitStart), 0};
    const int start = byteOffsetOfUnit(utf8, unitStart);
    return {start, byteOffsetOfUnit(utf8, unitStart + unitLength) - start};
}

} // namespace renomiq
