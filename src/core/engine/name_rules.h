#pragma once

#include "engine/code_page.h"

#include <functional>
#include <string>
#include <string_view>

namespace renomiq {

struct EditRequest;

// Expands the special strings of a text for the item at hand.
using Expander = std::function<std::string(std::string_view)>;

// The rules that compute a new working name from the old one. Each takes the
// working name (the name part) and returns the new one.
namespace NameRules {

std::string remove(const EditRequest &request, const std::string &name, const CodePage &codePage);
std::string replace(const EditRequest &request, const std::string &name, const CodePage &codePage,
                    const Expander &expand);
std::string insert(const EditRequest &request, const std::string &name, const CodePage &codePage,
                   const Expander &expand);

// The case conversions of a whole name (ASCII letters only).
std::string lowerCase(const std::string &name, bool capitalizeFirstLetter);
std::string capitalizeEveryWord(const std::string &name, bool excludeSmallWords);

} // namespace NameRules

} // namespace renomiq
