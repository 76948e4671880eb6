#pragma once

#include "engine/code_page.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace renomiq {

// Bytes i to j (1-based, inclusive) of text: a start below 1 counts as 1, an end
// beyond the length as the length, and an empty range gives the empty text.
std::string bytesFromTo(std::string_view text, std::ptrdiff_t i, std::ptrdiff_t j);
// Bytes from i to the end.
std::string bytesFrom(std::string_view text, std::ptrdiff_t i);

// The 1-based position of the first occurrence of needle, 0 when there is none
// or when needle is empty. Case-sensitive.
std::ptrdiff_t positionOf(std::string_view needle, std::string_view text);

enum class Occurrences { All, FirstOnly };
enum class CaseMatch { Sensitive, Insensitive };

// One left-to-right pass that replaces non-overlapping occurrences of `from`
// by `to`; replaced text is not searched again, and an empty `from` changes
// nothing. A case-insensitive pass replaces the stretch it found in the text.
std::string replaceText(std::string_view text, std::string_view from, std::string_view to,
                        Occurrences occurrences, CaseMatch match, const CodePage &codePage);

inline bool contains(std::string_view text, std::string_view needle)
{
    return text.find(needle) != std::string_view::npos;
}

// ASCII letter tests and case changes; every other byte is a non-letter.
inline bool isAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
inline bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}
inline bool isAsciiLower(char c)
{
    return c >= 'a' && c <= 'z';
}
std::string asciiLower(std::string_view text);
std::string asciiUpper(std::string_view text);

} // namespace renomiq
