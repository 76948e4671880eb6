#pragma once

#include <string_view>

namespace renomiq {

// What a rename refuses in a new name, as Windows refuses it: one of the nine
// characters \ / : * ? " < > |, or a control character (1-31). The rename of
// the file system and the preview ask the same question here.
enum class NewNameFault { None, ForbiddenCharacter, ControlCharacter };

NewNameFault newNameFault(std::string_view name);

} // namespace renomiq
