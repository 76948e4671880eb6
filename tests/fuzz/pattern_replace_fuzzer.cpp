// Fuzz target for the Replace rule's regular expressions: a pattern, a name
// and a new string. Every pattern either compiles or is refused with a
// position inside it; every replacement ends (the match limits) and, over all
// matches, gives what PCRE2's own global substitution gives.
#include "engine/pattern_replace.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace renomiq;

// The input: a byte of flags, then the pattern, the name and the new string
// separated by NUL bytes. With the "alphabet" flag the bytes pick from the
// signs patterns are made of, so that random input compiles now and then.
struct Parts {
    bool caseSensitive;
    bool utf;
    MatchChoice choice;
    std::string pattern, name, newString;
};

Parts parse(const std::uint8_t *data, std::size_t size)
{
    static const char alphabet[] = "ab.*+?()[]{}|^$\\dwsbB0129-_ x\xc3\xa9\xe6\x97\xa5:=!<";
    Parts p{};
    const std::uint8_t flags = size > 0 ? data[0] : 0;
    p.caseSensitive = flags & 1;
    p.utf = !(flags & 2);
    p.choice = static_cast<MatchChoice>((flags >> 2) % 3);
    const bool fromAlphabet = flags & 0x10;
    std::string *part[] = {&p.pattern, &p.name, &p.newString};
    std::size_t which = 0;
    for (std::size_t i = 1; i < size && which < 3; ++i) {
        if (data[i] == 0) {
            ++which;
            continue;
        }
        *part[which] += fromAlphabet ? alphabet[data[i] % (sizeof alphabet - 1)] : static_cast<char>(data[i]);
    }
    if (p.name.size() > 255)
        p.name.resize(255);
    return p;
}

// PCRE2's global substitution of "<match>" with the same options and limits;
// no value when it fails.
bool substitute(const Parts &p, std::string &out)
{
    std::uint32_t options = PCRE2_NEVER_BACKSLASH_C;
    if (p.utf)
        options |= PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF;
    if (!p.caseSensitive)
        options |= PCRE2_CASELESS;
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code *code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.pattern.data()), p.pattern.size(), options, &error,
                                     &offset, nullptr);
    if (!code)
        std::abort(); // compiled once already
    // Compiled as the engine compiles, with JIT when there is one: around a
    // byte that is not UTF-8 the JIT and the interpreter may find an empty
    // match at different places.
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    pcre2_match_context *context = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(context, NamePattern::kMatchLimit);
    pcre2_set_depth_limit(context, NamePattern::kDepthLimit);
    pcre2_set_heap_limit(context, NamePattern::kHeapLimitKib);
    out.assign(4096, '\0');
    PCRE2_SIZE length = out.size();
    const int rc = pcre2_substitute(code, reinterpret_cast<PCRE2_SPTR>(p.name.data()), p.name.size(), 0,
                                    PCRE2_SUBSTITUTE_GLOBAL, nullptr, context, reinterpret_cast<PCRE2_SPTR>("<$0>"),
                                    PCRE2_ZERO_TERMINATED, reinterpret_cast<PCRE2_UCHAR *>(out.data()), &length);
    pcre2_match_context_free(context);
    pcre2_code_free(code);
    if (rc < 0)
        return false;
    out.resize(length);
    return true;
}

// Says what failed, with the input, and stops.
[[noreturn]] void fail(const char *what, const Parts &p, const std::string &got = {}, const std::string &expected = {})
{
    std::fprintf(stderr, "%s: pattern '%s' name '%s' new '%s' got '%s' expected '%s'\n", what, p.pattern.c_str(),
                 p.name.c_str(), p.newString.c_str(), got.c_str(), expected.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const Parts p = parse(data, size);
    PatternError error;
    const auto pattern = NamePattern::compile(p.pattern, p.caseSensitive, p.utf, &error);
    if (!pattern) {
        if (error.offset > p.pattern.size() || error.message.empty())
            fail("compile error outside the pattern", p);
        return 0;
    }
    const GroupTemplate replacement = GroupTemplate::parse(p.newString);
    const Result<std::string> replaced = pattern->replace(p.name, replacement, p.choice);
    // One match replaced by a text of its own length changes no length.
    if (replaced && p.choice != MatchChoice::All) {
        const Result<std::string> same = pattern->replace(p.name, GroupTemplate::parse("{0}"), p.choice);
        if (!same || *same != p.name)
            fail("one match put back changed the name", p, same ? *same : same.error().message);
    }
    const Result<std::string> global = pattern->replace(p.name, GroupTemplate::parse("<{0}>"), MatchChoice::All);
    std::string expected;
    if (global && substitute(p, expected) && *global != expected)
        fail("global replacement differs from pcre2_substitute", p, *global, expected);
    return 0;
}
