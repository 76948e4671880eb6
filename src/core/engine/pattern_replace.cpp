#include "engine/pattern_replace.h"

#include "engine/edit_request.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <array>

namespace renomiq {

namespace {

std::string pcre2Message(int code)
{
    std::array<PCRE2_UCHAR, 256> buffer{};
    const int length = pcre2_get_error_message(code, buffer.data(), buffer.size());
    if (length < 0)
        return "error " + std::to_string(code);
    return std::string(reinterpret_cast<const char *>(buffer.data()), static_cast<std::size_t>(length));
}

struct MatchDataDeleter {
    void operator()(pcre2_match_data *data) const { pcre2_match_data_free(data); }
};

// One match: the byte spans of the whole match and of groups 1 to 9 (unset
// groups as npos).
struct Match {
    std::array<std::pair<std::size_t, std::size_t>, 10> spans;
};

} // namespace

struct NamePattern::Code {
    pcre2_code *code = nullptr;
    pcre2_match_context *context = nullptr;
    ~Code()
    {
        pcre2_match_context_free(context);
        pcre2_code_free(code);
    }
};

GroupTemplate GroupTemplate::parse(std::string_view text)
{
    GroupTemplate t;
    t.pieces.emplace_back();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{' && i + 2 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9' && text[i + 2] == '}') {
            t.groups.push_back(text[i + 1] - '0');
            t.pieces.emplace_back();
            i += 2;
        } else {
            t.pieces.back() += text[i];
        }
    }
    return t;
}

int GroupTemplate::highestGroup() const
{
    int highest = -1;
    for (int g : groups)
        highest = std::max(highest, g);
    return highest;
}

NamePattern::NamePattern(std::unique_ptr<Code> code, int groupCount, bool utf)
    : m_code(std::move(code)), m_groupCount(groupCount), m_utf(utf)
{
}

NamePattern::~NamePattern() = default;

std::shared_ptr<const NamePattern> NamePattern::compile(std::string_view pattern, bool caseSensitive, bool utf,
                                                        PatternError *error)
{
    // \C would split a character; names that are not valid UTF-8 still match
    // (their stray bytes match nothing but themselves).
    std::uint32_t options = PCRE2_NEVER_BACKSLASH_C;
    if (utf)
        options |= PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF;
    if (!caseSensitive)
        options |= PCRE2_CASELESS;
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    auto code = std::make_unique<Code>();
    code->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options, &errorCode,
                               &errorOffset, nullptr);
    if (!code->code) {
        if (error)
            *error = PatternError{pcre2Message(errorCode), static_cast<std::size_t>(errorOffset)};
        return nullptr;
    }
    // Without JIT (not built in, or no executable memory) the interpreter matches.
    pcre2_jit_compile(code->code, PCRE2_JIT_COMPLETE);
    code->context = pcre2_match_context_create(nullptr);
    if (!code->context) {
        if (error)
            *error = PatternError{"out of memory", 0};
        return nullptr;
    }
    pcre2_set_match_limit(code->context, kMatchLimit);
    pcre2_set_depth_limit(code->context, kDepthLimit);
    pcre2_set_heap_limit(code->context, kHeapLimitKib);
    std::uint32_t groups = 0;
    pcre2_pattern_info(code->code, PCRE2_INFO_CAPTURECOUNT, &groups);
    return std::shared_ptr<const NamePattern>(new NamePattern(std::move(code), static_cast<int>(groups), utf));
}

Result<std::string> NamePattern::replace(std::string_view name, const GroupTemplate &replacement,
                                         MatchChoice choice) const
{
    std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
        pcre2_match_data_create_from_pattern(m_code->code, nullptr));
    if (!data)
        return Error{0, "out of memory"};
    const auto subject = reinterpret_cast<PCRE2_SPTR>(name.data());
    const std::size_t length = name.size();

    std::vector<Match> matches;
    std::size_t offset = 0;
    std::uint32_t options = 0;
    // The loop of a global substitution: after an empty match the next try is
    // anchored there and must not be empty; failing that, it moves on by one
    // character.
    while (offset <= length) {
        const int rc = pcre2_match(m_code->code, subject, length, offset, options, data.get(), m_code->context);
        if (rc == PCRE2_ERROR_NOMATCH) {
            if (options == 0 || offset >= length)
                break;
            ++offset;
            if (m_utf) {
                while (offset < length && (static_cast<unsigned char>(name[offset]) & 0xc0) == 0x80)
                    ++offset;
            }
            options = 0;
            continue;
        }
        if (rc < 0)
            return Error{0, "the pattern can not be matched: " + pcre2Message(rc)};
        const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(data.get());
        if (ovector[1] < ovector[0] || ovector[0] < offset)
            return Error{0, "the pattern can not be matched: a match that ends before it starts (\\K)"};
        Match m;
        const std::uint32_t pairs = pcre2_get_ovector_count(data.get());
        for (std::uint32_t g = 0; g < m.spans.size(); ++g) {
            if (g < pairs && ovector[2 * g] != PCRE2_UNSET)
                m.spans[g] = {ovector[2 * g], ovector[2 * g + 1]};
            else
                m.spans[g] = {std::string_view::npos, std::string_view::npos};
        }
        if (choice == MatchChoice::Last && !matches.empty())
            matches.back() = m;
        else
            matches.push_back(m);
        if (choice == MatchChoice::First)
            break;
        offset = ovector[1];
        options = ovector[0] == ovector[1] ? PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED : 0;
    }

    std::string result;
    std::size_t copied = 0;
    for (const Match &m : matches) {
        result.append(name.substr(copied, m.spans[0].first - copied));
        for (std::size_t i = 0; i < replacement.groups.size(); ++i) {
            result += replacement.pieces[i];
            const auto [start, end] = m.spans[static_cast<std::size_t>(replacement.groups[i])];
            if (start != std::string_view::npos)
                result.append(name.substr(start, end - start));
        }
        result += replacement.pieces.back();
        copied = m.spans[0].second;
    }
    result.append(name.substr(copied));
    return result;
}

std::string patternErrorMessage(std::string_view pattern, const PatternError &error)
{
    return "The regular expression '" + std::string(pattern) + "' is not valid: " + error.message + " (at position "
        + std::to_string(error.offset + 1) + ").";
}

std::shared_ptr<const NamePattern> PatternCache::get(const std::string &pattern, bool caseSensitive, bool utf,
                                                     PatternError *error)
{
    if (!m_filled || pattern != m_pattern || caseSensitive != m_caseSensitive || utf != m_utf) {
        m_pattern = pattern;
        m_caseSensitive = caseSensitive;
        m_utf = utf;
        PatternError e;
        m_compiled = NamePattern::compile(pattern, caseSensitive, utf, &e);
        m_error = m_compiled ? std::nullopt : std::optional<PatternError>(e);
        m_filled = true;
    }
    if (error && m_error)
        *error = *m_error;
    return m_compiled;
}

namespace NameRules {

Result<std::string> replacePattern(const EditRequest &request, const std::string &name, const NamePattern &pattern,
                                   const Expander &expand)
{
    GroupTemplate replacement = GroupTemplate::parse(request.newString);
    for (std::string &piece : replacement.pieces) {
        if (!piece.empty())
            piece = expand(piece);
    }
    MatchChoice choice = MatchChoice::All;
    if (request.replaceOnlyLeftmost)
        choice = request.replaceDirection == Direction::FromHead ? MatchChoice::First : MatchChoice::Last;
    return pattern.replace(name, replacement, choice);
}

} // namespace NameRules

} // namespace renomiq
