#pragma once

#include <string_view>

namespace renomiq {

// The sample name display works in UTF-16 code units (one for a character of
// up to three UTF-8 bytes, two for a four-byte one); the edit request counts
// bytes of the UTF-8 name. A byte outside a valid sequence shows as one unit.

// The byte offset (0-based) at which UTF-16 index `unit` falls; an index inside
// a surrogate pair or past the end is moved to the next character boundary.
int byteOffsetOfUnit(std::string_view utf8, int unit);

// The UTF-16 index of byte offset `byte`; a byte inside a character counts as
// that character's start.
int unitOfByteOffset(std::string_view utf8, int byte);

// A selection in bytes: start 0-based, length in bytes.
struct ByteSelection {
    int start = 0;
    int length = 0;
    bool operator==(const ByteSelection &) const = default;
};

// The byte selection of a display selection given in UTF-16 units.
ByteSelection byteSelectionOf(std::string_view utf8, int unitStart, int unitLength);

} // namespace renomiq
