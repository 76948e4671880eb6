#pragma once

#include <string>
#include <string_view>

namespace renomiq {

// A name as a terminal may safely show it: control characters (ESC, CR, LF,
// ...) written as escapes the way `ls -b` writes them ("\033", "\r", "\n"),
// so a name can neither move the cursor nor pass for two lines. Other bytes
// stay as they are.
std::string terminalText(std::string_view text);

} // namespace renomiq
