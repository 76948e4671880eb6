#include "engine/name_rules.h"

#include "engine/edit_request.h"
#include "engine/text_rules.h"

#include <algorithm>

namespace renomiq::NameRules {

namespace {

using Pos = std::ptrdiff_t;

// Markers put into a working name while it is rebuilt. They start with a NUL
// byte, which cannot occur in a host name or a typed text.
const std::string kMarker(1, '\0');
const std::string kKeepMarker1("\0\x01", 2);
const std::string kKeepMarker2("\0\x02", 2);

Pos len(std::string_view text)
{
    return static_cast<Pos>(text.size());
}

Occurrences occurrences(bool onlyLeftmost)
{
    return onlyLeftmost ? Occurrences::FirstOnly : Occurrences::All;
}

CaseMatch caseMatch(bool caseSensitive)
{
    return caseSensitive ? CaseMatch::Sensitive : CaseMatch::Insensitive;
}

// The bytes kept in front of (`before`, the last of them) and behind (`after`,
// the first of them) the part selected with the mouse in the sample name,
// counted from the head or from the end of this name.
struct Cut {
    Pos before;
    Pos after;
};

Cut selectionCut(const EditRequest &request, Direction direction, const std::string &name)
{
    if (direction == Direction::FromHead)
        return {request.selectionStart, request.selectionStart + request.selectionLength + 1};
    const Pos after = len(name) - (len(request.sampleName) - request.selectionStart - request.selectionLength) + 1;
    return {after - request.selectionLength - 1, after};
}

// The cut moved so that no character is split: `before` to the end of its
// character, `after` to the start of its. A cut inside one character removes
// nothing rather than doubling bytes.
Cut wholeCharacters(Cut cut, const std::string &name, const CodePage &codePage)
{
    cut.before = codePage.charEnd(name, cut.before);
    cut.after = std::max(codePage.charStart(name, cut.after), cut.before + 1);
    return cut;
}

std::string removeBetweenTwoStrings(const EditRequest &request, const std::string &name)
{
    const std::string &left = request.leftString;
    const std::string &right = request.rightString;
    const bool alsoRemove = request.alsoRemoveTheTwoStrings;
    const bool sameDelimiter = left == right && !alsoRemove;
    std::string rest = name, head, tail;
    Pos p = positionOf(left, name);
    for (bool first = true; p >= 1; first = false) {
        if (!first && sameDelimiter)
            p += len(left); // the search ran behind the delimiter kept last time
        const std::string acc = head + bytesFromTo(rest, 1, p - 1);
        rest = bytesFrom(rest, p + len(left));
        const Pos q = positionOf(right, rest);
        if (q < 1)
            break;
        if (alsoRemove) {
            head = acc;
            tail = bytesFrom(rest, q + len(right));
        } else {
            head = acc + left;
            tail = bytesFrom(rest, q);
        }
        rest = tail;
        p = sameDelimiter ? positionOf(left, bytesFrom(rest, len(left) + 1)) : positionOf(left, rest);
    }
    const std::string rebuilt = head + tail;
    return rebuilt.empty() ? name : rebuilt;
}

std::string keepSelectedPart(const EditRequest &request, const std::string &name, const CodePage &codePage)
{
    if (request.keepDirection == Direction::FromHead) {
        const Pos first = codePage.charStart(name, request.selectionStart + 1);
        const Pos last = codePage.charEnd(name, request.selectionStart + request.selectionLength);
        return bytesFromTo(name, first, last);
    }
    Pos after = selectionCut(request, Direction::FromEnd, name).after;
    Pos first = after - request.selectionLength;
    first = first < 1 ? 1 : codePage.charStart(name, first);
    after = codePage.charEnd(name, after - 1) + 1;
    return bytesFromTo(name, first, after - 1);
}

std::string keepStrings(const EditRequest &request, const std::string &name)
{
    const std::string &s1 = request.keepStrings[0];
    const std::string &s2 = request.keepStrings[1];
    const CodePage bytes(CodePage::SingleByte);
    std::string marked = name;
    if (!s1.empty())
        marked = replaceText(marked, s1, kKeepMarker1, occurrences(request.keepOnlyLeftmost), CaseMatch::Sensitive, bytes);
    if (!s2.empty())
        marked = replaceText(marked, s2, kKeepMarker2, occurrences(request.keepOnlyLeftmost), CaseMatch::Sensitive, bytes);
    if (!contains(marked, kMarker))
        return name;
    std::string rebuilt;
    for (std::size_t i = marked.find('\0'); i != std::string::npos; i = marked.find('\0', i + 2))
        rebuilt += marked[i + 1] == '\x01' ? s1 : s2;
    return rebuilt;
}

bool isProtectedSymbol(const EditRequest &request, char c)
{
    return (c == '-' && request.keepDash) || ((c == '(' || c == ')') && request.keepParentheses)
        || ((c == '[' || c == ']') && request.keepBrackets) || (c == '_' && request.keepUnderscore)
        || (request.keepOthers && request.keepOthersText.find(c) != std::string::npos);
}

std::string cleanSymbols(const EditRequest &request, const std::string &name, const CodePage &codePage)
{
    const bool hasSymbol = std::any_of(name.begin(), name.end(),
                                       [](char c) { return !isAsciiLetter(c) && !isAsciiDigit(c); });
    if (name.size() < 2 || !hasSymbol)
        return name;
    const std::vector<ByteType> types = codePage.byteTypes(name);
    std::string marked;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool keep = types[i] != ByteType::Single || c == ' ' || isAsciiLetter(c) || isAsciiDigit(c)
            || isProtectedSymbol(request, c);
        marked += keep ? std::string(1, c) : kMarker;
    }
    const CodePage bytes(CodePage::SingleByte);
    if (request.alsoEraseOthers)
        marked = replaceText(marked, request.alsoEraseText, kMarker, Occurrences::All, CaseMatch::Sensitive, bytes);
    if (contains(marked, kMarker))
        marked = replaceText(marked, kMarker, request.replaceErasedWithSpace ? " " : "", Occurrences::All,
                             CaseMatch::Sensitive, bytes);
    while (contains(marked, "  "))
        marked = replaceText(marked, "  ", " ", Occurrences::All, CaseMatch::Sensitive, bytes);
    return marked;
}

// Text inserted in front of the byte at position p; p below 1 inserts at the
// start, p beyond the end appends.
std::string insertAt(const std::string &name, Pos p, const std::string &text)
{
    p = std::clamp<Pos>(p, 1, len(name) + 1);
    return bytesFromTo(name, 1, p - 1) + text + bytesFrom(name, p);
}

} // namespace

std::string remove(const EditRequest &request, const std::string &name, const CodePage &codePage)
{
    switch (request.removeMode) {
    case RemoveMode::Strings: {
        std::string result = name;
        for (const std::string &s : request.removeStrings) {
            result = replaceText(result, s, "", occurrences(request.removeOnlyLeftmost),
                                 caseMatch(request.removeCaseSensitive), codePage);
        }
        return result;
    }
    case RemoveMode::Anything:
        if (request.anythingMode == AnythingMode::BetweenTwoStrings)
            return removeBetweenTwoStrings(request, name);
        else {
            const Cut cut = wholeCharacters(selectionCut(request, request.removeDirection, name), name, codePage);
            return bytesFromTo(name, 1, cut.before) + bytesFrom(name, cut.after);
        }
    case RemoveMode::Keep:
        return request.keepMode == KeepMode::SelectedPart ? keepSelectedPart(request, name, codePage)
                                                          : keepStrings(request, name);
    case RemoveMode::CleanSymbols:
        return cleanSymbols(request, name, codePage);
    }
    return name;
}

std::string replace(const EditRequest &request, const std::string &name, const CodePage &codePage,
                    const Expander &expand)
{
    if (request.replaceMode == ReplaceMode::String) {
        return replaceText(name, request.oldString, expand(request.newString),
                           occurrences(request.replaceOnlyLeftmost), caseMatch(request.replaceCaseSensitive),
                           codePage);
    }
    const Cut cut = wholeCharacters(selectionCut(request, request.replaceDirection, name), name, codePage);
    return bytesFromTo(name, 1, cut.before) + expand(request.newString) + bytesFrom(name, cut.after);
}

std::string insert(const EditRequest &request, const std::string &name, const CodePage &codePage,
                   const Expander &expand)
{
    if (request.insertMode == InsertMode::ToPosition) {
        std::string result = name;
        if (request.atCursor) {
            Pos p = request.cursorDirection == Direction::FromHead
                ? request.cursorPosition
                : len(result) + request.cursorPosition - len(request.sampleName);
            result = insertAt(result, codePage.charStart(result, p), expand(request.cursorText));
        }
        if (request.atHead)
            result = expand(request.headText) + result;
        if (request.atEnd)
            result += expand(request.endText);
        return result;
    }
    const std::string text = expand(request.insertText);
    const std::string &e = request.existingString;
    const std::string &f = request.secondString;
    const CodePage bytes(CodePage::SingleByte);
    switch (request.placement) {
    case Placement::BeforeExisting:
        return replaceText(name, e, text + e, Occurrences::All, CaseMatch::Sensitive, bytes);
    case Placement::BehindExisting:
        return replaceText(name, e, e + text, Occurrences::All, CaseMatch::Sensitive, bytes);
    case Placement::BetweenTwo:
        return replaceText(name, e + f, e + text + f, Occurrences::All, CaseMatch::Sensitive, bytes);
    }
    return name;
}

std::string lowerCase(const std::string &name, bool capitalizeFirstLetter)
{
    std::string result = asciiLower(name);
    if (capitalizeFirstLetter) {
        const auto firstVisible = std::find_if(result.begin(), result.end(),
                                               [](char c) { return static_cast<unsigned char>(c) > 32; });
        result.erase(result.begin(), firstVisible);
        if (!result.empty() && isAsciiLower(result[0]))
            result[0] = static_cast<char>(result[0] - 32);
    }
    return result;
}

std::string capitalizeEveryWord(const std::string &name, bool excludeSmallWords)
{
    static const std::string_view twoLetterWords[] = {"an", "of", "in", "at", "is", "to", "or", "by", "on"};
    static const std::string_view threeLetterWords[] = {"the", "and", "for", "was"};
    const auto isOneOf = [](std::string_view word, const auto &list) {
        return std::find(std::begin(list), std::end(list), word) != std::end(list);
    };

    std::string w = name;
    const Pos n = len(w);
    // 1-based access, as the rule is written.
    const auto at = [&](Pos i) { return w[static_cast<std::size_t>(i - 1)]; };
    const auto word = [&](Pos i, std::size_t length) {
        return std::string_view(w).substr(static_cast<std::size_t>(i - 1), length);
    };
    for (Pos i = 2; i <= n - 1; ++i) {
        const char c = at(i);
        if (!isAsciiLower(c))
            continue;
        const char previous = at(i - 1);
        bool capitalize = false;
        if (previous == '-' && i >= 3 && !isAsciiLetter(at(i - 2))) {
            capitalize = true; // a word after a detached hyphen
        } else if (!isAsciiLetter(previous) && previous != '-') {
            bool smallWord = false;
            if (excludeSmallWords && i + 4 < n) {
                if (c == 'a' && !isAsciiLetter(at(i + 1)))
                    smallWord = true;
                else if (!isAsciiLetter(at(i + 2)) && isOneOf(word(i, 2), twoLetterWords))
                    smallWord = true;
                else if (isAsciiLetter(at(i + 2)) && !isAsciiLetter(at(i + 3)) && isOneOf(word(i, 3), threeLetterWords))
                    smallWord = true;
            }
            capitalize = !smallWord;
        }
        if (capitalize)
            w[static_cast<std::size_t>(i - 1)] = static_cast<char>(c - 32);
    }
    if (!w.empty() && isAsciiLower(w[0]))
        w[0] = static_cast<char>(w[0] - 32);
    return w;
}

} // namespace renomiq::NameRules
