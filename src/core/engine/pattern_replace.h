#pragma once

#include "engine/name_rules.h"
#include "platform/result.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace renomiq {

struct EditRequest;

// Why a pattern does not compile: PCRE2's message and the 0-based byte offset
// in the pattern where it found the fault.
struct PatternError {
    std::string message;
    std::size_t offset = 0;
};

// A new string with references to the groups of a match: "{0}" is the whole
// match, "{1}" to "{9}" its groups. Everything else is text, in which the
// special strings are expanded; a group's text is never read as one.
struct GroupTemplate {
    std::vector<std::string> pieces; // the texts around the references: one more than groups
    std::vector<int> groups;

    static GroupTemplate parse(std::string_view text);
    // The highest group referred to, or -1 without a reference.
    int highestGroup() const;
};

// Which matches of a pattern a replacement takes.
enum class MatchChoice { All, First, Last };

// A PCRE2 pattern compiled for names (UTF mode for UTF-8 names, JIT when the
// library has it), bounded by match limits so that no pattern runs away with
// a run. One compiled pattern may be used from several threads at once.
class NamePattern {
public:
    // Compiles a pattern; on failure no value and the error.
    static std::shared_ptr<const NamePattern> compile(std::string_view pattern, bool caseSensitive, bool utf,
                                                      PatternError *error = nullptr);
    ~NamePattern();
    NamePattern(const NamePattern &) = delete;
    NamePattern &operator=(const NamePattern &) = delete;

    // The number of capturing groups.
    int groupCount() const { return m_groupCount; }

    // The name with the chosen matches replaced by the template (its texts
    // already expanded). All matches replace as PCRE2's global substitution
    // does: an empty match next to the previous one is not taken. An error
    // when a match exceeds the limits.
    Result<std::string> replace(std::string_view name, const GroupTemplate &replacement, MatchChoice choice) const;

    // The limits every match runs under.
    static constexpr std::uint32_t kMatchLimit = 1'000'000;
    static constexpr std::uint32_t kDepthLimit = 10'000;
    static constexpr std::uint32_t kHeapLimitKib = 16 * 1024;

private:
    struct Code;
    explicit NamePattern(std::unique_ptr<Code> code, int groupCount, bool utf);

    std::unique_ptr<Code> m_code;
    int m_groupCount = 0;
    bool m_utf = true;
};

// The message of the check that refuses a pattern.
std::string patternErrorMessage(std::string_view pattern, const PatternError &error);

// The pattern of a request, compiled once and kept while the request's
// pattern and case stay the same.
class PatternCache {
public:
    std::shared_ptr<const NamePattern> get(const std::string &pattern, bool caseSensitive, bool utf,
                                           PatternError *error = nullptr);

private:
    std::string m_pattern;
    bool m_caseSensitive = false;
    bool m_utf = true;
    std::shared_ptr<const NamePattern> m_compiled;
    std::optional<PatternError> m_error;
    bool m_filled = false;
};

namespace NameRules {

// The Replace rule for a pattern: its matches in the name replaced by the new
// string, whose special strings expand after the groups are put in.
Result<std::string> replacePattern(const EditRequest &request, const std::string &name, const NamePattern &pattern,
                                   const Expander &expand);

} // namespace NameRules

} // namespace renomiq
