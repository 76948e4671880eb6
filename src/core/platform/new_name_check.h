#pragma once

#include <string_view>

namespace renomiq {

// What a rename refuses in a new name: what the host or the program's
// Windows-style paths cannot hold. '\' and '/' separate folders, a NUL would
// end the host's name early, and a control character (1-31) has no place in
// the program's lists and logs. Every other character the host allows (such
// as : * ? " < > |) passes. The rename of the file system and the preview ask
// the same question here.
enum class NewNameFault { None, Separator, ControlCharacter };

NewNameFault newNameFault(std::string_view name);

} // namespace renomiq
