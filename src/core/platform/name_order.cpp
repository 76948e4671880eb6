#include "platform/name_order.h"

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <locale.h>

namespace renomiq {

namespace {

locale_t unicodeLocale()
{
    static const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return locale;
}

char32_t upper(char32_t c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (const locale_t locale = unicodeLocale())
        return static_cast<char32_t>(::towupper_l(static_cast<wint_t>(c), locale));
    return c;
}

// The code point of the valid UTF-8 sequence at i and its length; length 0
// when the byte at i starts none.
std::pair<char32_t, std::size_t> decodeAt(std::string_view s, std::size_t i)
{
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = at(i);
    std::size_t length;
    char32_t value;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        value = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        value = c & 0x0Fu;
        low = c == 0xE0 ? 0xA0 : low;   // no overlong forms
        high = c == 0xED ? 0x9F : high; // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        value = c & 0x07u;
        low = c == 0xF0 ? 0x90 : low;
        high = c == 0xF4 ? 0x8F : high;
    } else {
        return {0, 0};
    }
    if (i + length > s.size() || at(i + 1) < low || at(i + 1) > high)
        return {0, 0};
    for (std::size_t k = 1; k < length; ++k) {
        if ((at(i + k) & 0xC0) != 0x80)
            return {0, 0};
        value = (value << 6) | (at(i + k) & 0x3Fu);
    }
    return {value, length};
}

} // namespace

NameOrder::Key NameOrder::key(std::string_view name)
{
    Key key;
    appendKey(key, name);
    return key;
}

void NameOrder::appendKey(std::string &out, std::string_view name)
{
    // The common case first: an ASCII name is its own key in upper case.
    const std::size_t start = out.size();
    out.resize(start + name.size());
    char *ascii = out.data() + start;
    std::size_t i = 0;
    for (; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 0x80)
            break;
        ascii[i] = static_cast<char>((c >= 'a' && c <= 'z') ? c - 32 : c);
    }
    out.resize(start + i);
    // An ASCII character is one byte; any other character, and a byte outside
    // UTF-8 (as 0x110000 + byte), three bytes of which the first is 0x80 or
    // more, so it sorts after every ASCII character and by its value among
    // the others.
    while (i < name.size()) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>((c >= 'a' && c <= 'z') ? c - 32 : c));
            ++i;
            continue;
        }
        const auto [value, length] = decodeAt(name, i);
        const char32_t unit = length == 0 ? 0x110000u + c : upper(value);
        i += length == 0 ? 1 : length;
        if (unit < 0x80) { // a letter whose upper case is ASCII ("\u0131" gives "I")
            out.push_back(static_cast<char>(unit));
            continue;
        }
        out.push_back(static_cast<char>(0x80 | (unit >> 14)));
        out.push_back(static_cast<char>((unit >> 7) & 0x7F));
        out.push_back(static_cast<char>(unit & 0x7F));
    }
}

void NameOrder::visitInOrder(std::size_t count, const std::function<std::string_view(std::size_t)> &nameOf,
                             const std::function<bool(std::size_t)> &visit, Extent extent)
{
    // One buffer for all keys and a small slot per name: sorting moves slots,
    // never strings.
    struct Slot {
        std::size_t keyOffset;
        std::uint32_t keyLength;
        std::uint32_t position;
    };
    std::string keys;
    std::vector<Slot> slots;
    slots.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t offset = keys.size();
        appendKey(keys, nameOf(i));
        slots.push_back({offset, static_cast<std::uint32_t>(keys.size() - offset), static_cast<std::uint32_t>(i)});
    }
    const auto before = [&](const Slot &a, const Slot &b) {
        const std::string_view x(keys.data() + a.keyOffset, a.keyLength);
        const std::string_view y(keys.data() + b.keyOffset, b.keyLength);
        if (const int order = x.compare(y); order != 0)
            return order < 0;
        return nameOf(a.position) < nameOf(b.position);
    };
    // AsVisited: the first stretch is small (a sample, a preview's first
    // rows), each next one four times larger, so a walk that goes on to the
    // end pays about what one sort costs.
    std::size_t stretch = extent == Extent::Full ? count : 256;
    for (std::size_t begin = 0; begin < count; stretch *= 4) {
        const std::size_t end = count - begin <= stretch ? count : begin + stretch;
        if (end < count)
            std::nth_element(slots.begin() + static_cast<std::ptrdiff_t>(begin),
                             slots.begin() + static_cast<std::ptrdiff_t>(end), slots.end(), before);
        std::sort(slots.begin() + static_cast<std::ptrdiff_t>(begin), slots.begin() + static_cast<std::ptrdiff_t>(end),
                  before);
        for (; begin < end; ++begin) {
            if (!visit(slots[begin].position))
                return;
        }
    }
}

int NameOrder::compare(std::string_view a, std::string_view b)
{
    const Key x = key(a);
    const Key y = key(b);
    if (x != y)
        return x < y ? -1 : 1;
    const int bytes = a.compare(b);
    return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
}

} // namespace renomiq
