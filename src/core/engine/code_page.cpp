#include "engine/code_page.h"

#include <algorithm>
#include <clocale>
#include <cwctype>
#include <locale.h>
#include <vector>

namespace renomiq {

namespace {

locale_t unicodeLocale()
{
    static locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return locale;
}

std::uint32_t fold(std::uint32_t codePoint)
{
    if (codePoint < 0x80)
        return (codePoint >= 'a' && codePoint <= 'z') ? codePoint - 32 : codePoint;
    if (locale_t locale = unicodeLocale())
        return static_cast<std::uint32_t>(::towupper_l(static_cast<wint_t>(codePoint), locale));
    return codePoint;
}

std::uint32_t decode(std::string_view text, std::size_t i, std::size_t length)
{
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    switch (length) {
    case 2: return ((b(0) & 0x1Fu) << 6) | (b(1) & 0x3Fu);
    case 3: return ((b(0) & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
    case 4: return ((b(0) & 0x07u) << 18) | ((b(1) & 0x3Fu) << 12) | ((b(2) & 0x3Fu) << 6) | (b(3) & 0x3Fu);
    default: return b(0);
    }
}

} // namespace

std::size_t CodePage::sequenceLength(std::string_view text, std::size_t i)
{
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = at(i);
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0)
            low = 0xA0; // no overlong forms
        if (c == 0xED)
            high = 0x9F; // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0)
            low = 0x90;
        if (c == 0xF4)
            high = 0x8F;
    } else {
        return 1;
    }
    if (i + length > text.size())
        return 1;
    if (at(i + 1) < low || at(i + 1) > high)
        return 1;
    for (std::size_t k = 2; k < length; ++k) {
        if ((at(i + k) & 0xC0) != 0x80)
            return 1;
    }
    return length;
}

CodePage::Character CodePage::characterAt(std::string_view text, std::size_t target)
{
    std::size_t i = 0;
    for (;;) {
        const std::size_t length = sequenceLength(text, i);
        if (target < i + length)
            return {i, length};
        i += length;
    }
}

bool CodePage::outside(std::string_view text, std::ptrdiff_t pos) const
{
    return m_kind == SingleByte || pos < 1 || pos > static_cast<std::ptrdiff_t>(text.size());
}

ByteType CodePage::byteType(std::string_view text, std::ptrdiff_t pos) const
{
    if (outside(text, pos))
        return ByteType::Single;
    const Character c = characterAt(text, static_cast<std::size_t>(pos - 1));
    if (c.length == 1)
        return ByteType::Single;
    return c.offset == static_cast<std::size_t>(pos - 1) ? ByteType::Lead : ByteType::Trail;
}

std::vector<ByteType> CodePage::byteTypes(std::string_view text) const
{
    std::vector<ByteType> types(text.size(), ByteType::Single);
    if (m_kind == SingleByte)
        return types;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = sequenceLength(text, i);
        if (length > 1) {
            types[i] = ByteType::Lead;
            for (std::size_t k = 1; k < length; ++k)
                types[i + k] = ByteType::Trail;
        }
        i += length;
    }
    return types;
}

std::ptrdiff_t CodePage::charStart(std::string_view text, std::ptrdiff_t pos) const
{
    if (outside(text, pos))
        return pos;
    return static_cast<std::ptrdiff_t>(characterAt(text, static_cast<std::size_t>(pos - 1)).offset + 1);
}

std::ptrdiff_t CodePage::charEnd(std::string_view text, std::ptrdiff_t pos) const
{
    if (outside(text, pos))
        return pos;
    const Character c = characterAt(text, static_cast<std::size_t>(pos - 1));
    return static_cast<std::ptrdiff_t>(c.offset + c.length);
}

std::size_t CodePage::characterCount(std::string_view text) const
{
    if (m_kind == SingleByte)
        return text.size();
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += sequenceLength(text, i))
        ++count;
    return count;
}

std::vector<CodePage::Unit> CodePage::foldedUnits(std::string_view s, std::size_t start) const
{
    std::vector<Unit> result;
    for (std::size_t i = start; i < s.size();) {
        const std::size_t length = m_kind == SingleByte ? 1 : sequenceLength(s, i);
        const bool raw = length == 1 && static_cast<unsigned char>(s[i]) >= 0x80;
        const std::uint32_t key = raw ? 0x110000u + static_cast<unsigned char>(s[i])
            : m_kind == SingleByte    ? fold(static_cast<unsigned char>(s[i]))
                                      : fold(decode(s, i, length));
        result.push_back({key, i, length});
        i += length;
    }
    return result;
}

int CodePage::compareIgnoringCase(std::string_view a, std::string_view b) const
{
    const std::vector<Unit> x = foldedUnits(a, 0);
    const std::vector<Unit> y = foldedUnits(b, 0);
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        if (x[i].key != y[i].key)
            return x[i].key < y[i].key ? -1 : 1;
    }
    if (x.size() != y.size())
        return x.size() < y.size() ? -1 : 1;
    return a.compare(b);
}

std::size_t CodePage::findIgnoringCase(std::string_view text, std::string_view needle, std::size_t from,
                                       std::size_t &matchLength) const
{
    const auto units = [this](std::string_view s, std::size_t start) { return foldedUnits(s, start); };
    if (needle.empty())
        return std::string_view::npos;
    // Most names are plain ASCII: compare bytes with ASCII case folding. (In
    // UTF-8 a few other letters fold onto ASCII ones, so the text must be
    // ASCII too; in a single-byte code page no other byte folds at all.)
    const auto isAscii = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    if (isAscii(needle) && (m_kind == SingleByte || isAscii(text.substr(std::min(from, text.size()))))) {
        const auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
        for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
            std::size_t k = 0;
            while (k < needle.size() && upper(text[i + k]) == upper(needle[k]))
                ++k;
            if (k == needle.size()) {
                matchLength = needle.size();
                return i;
            }
        }
        return std::string_view::npos;
    }
    const std::vector<Unit> hay = units(text, from);
    const std::vector<Unit> pattern = units(needle, 0);
    if (pattern.size() > hay.size())
        return std::string_view::npos;
    for (std::size_t i = 0; i + pattern.size() <= hay.size(); ++i) {
        std::size_t k = 0;
        while (k < pattern.size() && hay[i + k].key == pattern[k].key)
            ++k;
        if (k == pattern.size()) {
            const Unit &last = hay[i + k - 1];
            matchLength = last.offset + last.length - hay[i].offset;
            return hay[i].offset;
        }
    }
    return std::string_view::npos;
}

} // namespace renomiq
