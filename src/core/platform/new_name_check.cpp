#include "platform/new_name_check.h"

namespace renomiq {

NewNameFault newNameFault(std::string_view name)
{
    if (name.find_first_of("\\/") != std::string_view::npos)
        return NewNameFault::Separator;
    for (const char c : name) {
        if (c >= 0 && c < 32)
            return NewNameFault::ControlCharacter;
    }
    return NewNameFault::None;
}

} // namespace renomiq
