#include "engine/string_tokens.h"

#include "engine/edit_request.h"
#include "engine/item_path.h"
#include "engine/text_rules.h"
#include "platform/file_system.h"
#include "platform/prompter.h"

#include <clocale>
#include <cstdio>

namespace renomiq {

namespace {

// Stands in for a sign while the text is worked on. A NUL byte cannot occur in
// a host name or a typed text, so names that hold '?' or '%' come out right.
constexpr char kPlaceholder = '\0';

// A decimal integer: an optional sign and at least one digit. Values beyond the
// range are clamped, which keeps "too big" too big.
std::optional<std::int64_t> parseInteger(std::string_view text)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (!isAsciiDigit(text[i]))
            return std::nullopt;
        if (value < 1'000'000'000'000)
            value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

void replaceAll(std::string &text, std::string_view from, std::string_view to)
{
    text = replaceText(text, from, to, Occurrences::All, CaseMatch::Sensitive, CodePage());
}

void replaceFirst(std::string &text, std::string_view from, std::string_view to)
{
    text = replaceText(text, from, to, Occurrences::FirstOnly, CaseMatch::Sensitive, CodePage());
}

// The inner text k of the next "%k%" at or after `from`, with the offset just
// behind its closing sign; no value when there is no such token.
struct Token {
    std::string k;
    std::size_t end;
};
std::optional<Token> nextRandomToken(std::string_view text, std::size_t from)
{
    std::size_t open = text.find('%', from);
    if (open == std::string_view::npos)
        return std::nullopt;
    std::size_t start = open + 1;
    while (start < text.size() && text[start] == '%')
        ++start;
    const std::size_t close = text.find('%', start);
    if (close == std::string_view::npos)
        return std::nullopt;
    return Token{std::string(text.substr(start, close - start)), close + 1};
}

// value / 2^shift * scale, rounded to the nearest whole number, ties to even.
std::uint64_t scaledRoundedHalfEven(std::uint64_t value, int shift, unsigned scale)
{
    const unsigned __int128 n = static_cast<unsigned __int128>(value) * scale;
    const unsigned __int128 d = static_cast<unsigned __int128>(1) << shift;
    unsigned __int128 q = n / d;
    const unsigned __int128 r = n % d;
    if (2 * r > d || (2 * r == d && (q & 1)))
        ++q;
    return static_cast<std::uint64_t>(q);
}

// A fixed-point number in general format: trailing zeros dropped, no separator
// when whole.
std::string generalFormat(std::uint64_t scaled, unsigned scale, std::string_view separator)
{
    std::string text = std::to_string(scaled / scale);
    std::uint64_t fraction = scaled % scale;
    if (fraction == 0)
        return text;
    std::string digits = std::to_string(fraction + scale).substr(1); // zero-padded
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    return text + std::string(separator) + digits;
}

} // namespace

SpecialStrings::SpecialStrings(FileSystem &fileSystem, Prompter &prompter, const Clock &clock)
    : m_fileSystem(fileSystem), m_prompter(prompter), m_seedCounter(static_cast<std::uint64_t>(clock.now())),
      m_metadata(fileSystem)
{
}

std::string SpecialStrings::decimalSeparator() const
{
    if (m_decimalSeparator)
        return *m_decimalSeparator;
    const lconv *conventions = std::localeconv();
    return conventions && conventions->decimal_point && *conventions->decimal_point
        ? conventions->decimal_point
        : ".";
}

std::string SpecialStrings::formatSize(std::uint64_t size, std::string_view decimalSeparator,
                                       std::string_view byteUnit)
{
    if (size < 1024)
        return std::to_string(size) + std::string(byteUnit);
    // K = size / 1024; the thresholds compare K with 1023 and 1048575.
    if (size <= 1023ull * 1024)
        return generalFormat(scaledRoundedHalfEven(size, 10, 10), 10, decimalSeparator) + "KB";
    if (size <= 1048575ull * 1024)
        return generalFormat(scaledRoundedHalfEven(size, 20, 10), 10, decimalSeparator) + "MB";
    return generalFormat(scaledRoundedHalfEven(size, 30, 100), 100, decimalSeparator) + "GB";
}

std::string SpecialStrings::randomString(const EditRequest &request, std::int64_t length)
{
    std::string result;
    // Every random token moves the seed counter, also one that gives no text.
    m_random.reseed(++m_seedCounter);
    if (length <= 0)
        return result;
    // At least one class is on (the special string dialog sees to it); without
    // any the string stays empty rather than loop.
    if (!request.randomDigits && !request.randomUpper && !request.randomLower)
        return result;
    while (static_cast<std::int64_t>(result.size()) < length) {
        switch (m_random.next() % 3) {
        case 0:
            if (request.randomDigits)
                result += static_cast<char>('0' + m_random.next() % 10);
            break;
        case 1:
            if (request.randomUpper)
                result += static_cast<char>('A' + m_random.next() % 26);
            break;
        default:
            if (request.randomLower)
                result += static_cast<char>('a' + m_random.next() % 26);
            break;
        }
    }
    return result;
}

std::string SpecialStrings::expandSpecial(const EditRequest &request, std::string_view input,
                                          const std::string &itemPath)
{
    if (!request.useSpecialStrings)
        return std::string(input);
    if (!contains(input, "{"))
        return expandPlain(request, input, itemPath);
    // The pieces around the tokens in braces are expanded each on its own, so a
    // value from inside the item never becomes a token.
    std::string text;
    for (const TextPiece &piece : splitAtMetadataTokens(input)) {
        if (!piece.literal.empty())
            text += expandPlain(request, piece.literal, itemPath);
        if (!piece.token)
            continue;
        static const PhotoMetadata kNoPhoto;
        static const AudioMetadata kNoAudio;
        const bool photo = piece.token->fromPhoto();
        text += metadataTokenText(*piece.token, photo ? m_metadata.photo(itemPath) : kNoPhoto,
                                  photo ? kNoAudio : m_metadata.audio(itemPath));
    }
    return text;
}

std::string SpecialStrings::expandPlain(const EditRequest &request, std::string_view input,
                                        const std::string &itemPath)
{
    std::string text(input);
    const std::string placeholder(1, kPlaceholder);

    // Running numbers: each run of N "$" becomes the number padded to N digits.
    if (contains(text, "$")) {
        replaceAll(text, "@$@", placeholder);
        for (std::size_t start = text.find('$'); start != std::string::npos; start = text.find('$')) {
            std::size_t end = start;
            while (end < text.size() && text[end] == '$')
                ++end;
            std::string number = std::to_string(m_runningNumber);
            if (number.size() < end - start)
                number.insert(0, end - start - number.size(), '0');
            text.replace(start, end - start, number);
        }
        replaceAll(text, placeholder, "$");
    }

    if (contains(text, "%%"))
        replaceAll(text, "%%", holdingFolderName(itemPath));

    // Random strings: "%k%" with k of one or two bytes; longer k is left as it is.
    if (contains(text, "%")) {
        while (auto token = nextRandomToken(text, 0)) {
            const std::string whole = "%" + token->k + "%";
            const auto length = token->k.size() < 3 ? parseInteger(token->k) : std::nullopt;
            if (length)
                replaceFirst(text, whole, randomString(request, *length));
            else // not a token here (a folder name may bring one): keep it literally
                replaceFirst(text, whole, placeholder + token->k + placeholder);
        }
        replaceAll(text, placeholder, "%");
    }

    if (contains(text, "@@")) {
        std::string date = "nofiletime";
        if (auto entry = m_fileSystem.lookUp(itemPath)) {
            const CalendarTime t = m_fileSystem.toLocalTime(entry->lastWriteTime);
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%d%02d%02d", t.year, t.month, t.day);
            date = buffer;
        }
        replaceAll(text, "@@", date);
    }

    if (contains(text, "##")) {
        auto entry = m_fileSystem.lookUp(itemPath);
        replaceAll(text, "##", entry ? formatSize(entry->size, decimalSeparator()) : "nofilesize");
    }
    return text;
}

bool SpecialStrings::checkRandomTokens(const EditRequest &request, std::string_view text)
{
    if (!request.useSpecialStrings)
        return true;
    std::size_t from = 0;
    while (auto token = nextRandomToken(text, from)) {
        const auto value = parseInteger(token->k);
        if (value && *value > 100) {
            m_prompter.information(token->k + " is too big. The max random string digits is 100.");
            return false;
        }
        if (!value && token->k.size() < 3) {
            m_prompter.information("The random string digits(" + token->k + ") is not an integer.");
            return false;
        }
        from = token->end;
    }
    return true;
}

} // namespace renomiq
