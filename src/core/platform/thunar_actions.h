#pragma once

#include "platform/result.h"

#include <string>
#include <vector>

namespace renomiq {

// Thunar's custom actions file (uca.xml): our actions merged in, or taken out,
// leaving every other action as it stands. Ours are the <action> elements
// whose <unique-id> starts with kIdPrefix.
class ThunarActions {
public:
    static constexpr const char *kIdPrefix = "renomiq-";

    struct Action {
        std::string uniqueId;
        std::string name;
        std::string description;
        std::string command;
        std::string icon;
        std::string submenu;
    };

    // The file with our actions replaced by `actions` (added at the end of the
    // list); an empty `existing` starts a new file. Fails, so that nothing is
    // written, when `existing` holds no <actions> list.
    static Result<std::string> merged(const std::string &existing, const std::vector<Action> &actions);
    // The file without our actions.
    static Result<std::string> without(const std::string &existing) { return merged(existing, {}); }

    // '&', '<', '>', '"' and '\'' as XML entities.
    static std::string escaped(const std::string &text);
};

} // namespace renomiq
