#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace renomiq {

enum class ByteType { Single, Lead, Trail };

// How names are encoded: UTF-8 (the host's code page) or a single-byte code page
// in which every byte is a character. Positions are 1-based byte positions.
class CodePage {
public:
    enum Kind { Utf8, SingleByte };

    constexpr explicit CodePage(Kind kind = Utf8) : m_kind(kind) {}
    Kind kind() const { return m_kind; }

    // Lead for the first byte of a multi-byte character, trail for its other
    // bytes, single otherwise: for ASCII, for a byte that is not part of a valid
    // sequence, and for a position outside the text.
    ByteType byteType(std::string_view text, std::ptrdiff_t pos) const;

    // The byte type of every byte, in one pass (index 0 is position 1).
    std::vector<ByteType> byteTypes(std::string_view text) const;

    // The first and the last byte of the character that holds position pos;
    // pos itself when it is outside the text or holds a single byte.
    std::ptrdiff_t charStart(std::string_view text, std::ptrdiff_t pos) const;
    std::ptrdiff_t charEnd(std::string_view text, std::ptrdiff_t pos) const;

    // The number of characters (a byte outside a valid sequence counts as one).
    std::size_t characterCount(std::string_view text) const;

    // The first occurrence of needle in text at or after byte offset `from`
    // (0-based), comparing letters with their case mapping; npos when none.
    // Returns the 0-based offset and sets matchLength to the length of the
    // stretch found in text.
    std::size_t findIgnoringCase(std::string_view text, std::string_view needle, std::size_t from,
                                 std::size_t &matchLength) const;

    // Equal when compared letter by letter with their case mapping.
    bool equalIgnoringCase(std::string_view a, std::string_view b) const
    {
        std::size_t length = 0;
        if (a.empty() || b.empty())
            return a.empty() && b.empty();
        return findIgnoringCase(a, b, 0, length) == 0 && length == a.size();
    }

    // Orders texts letter by letter with their case mapping; texts equal in
    // that way are ordered by their bytes. Negative, zero or positive.
    int compareIgnoringCase(std::string_view a, std::string_view b) const;

    // A unit of comparison: a folded code point, or a raw byte outside any
    // valid sequence (kept apart from every code point).
    struct Unit {
        std::uint32_t key;
        std::size_t offset;
        std::size_t length;
    };

private:
    // The character (UTF-8 sequence or single byte) that holds a 0-based offset.
    struct Character {
        std::size_t offset;
        std::size_t length;
    };
    static Character characterAt(std::string_view text, std::size_t target);
    // True where every byte counts alone: a single-byte code page, or a
    // position outside the text.
    bool outside(std::string_view text, std::ptrdiff_t pos) const;
    std::vector<Unit> foldedUnits(std::string_view text, std::size_t start) const;

    // The length of the valid UTF-8 sequence at offset i, or 1 for a single byte.
    static std::size_t sequenceLength(std::string_view text, std::size_t i);

    Kind m_kind;
};

} // namespace renomiq
