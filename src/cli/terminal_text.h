#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace renomiq {

// A name as a terminal may safely show it: control characters (ESC, CR, LF,
// ..., and the C1 controls U+0080-U+009F) and bytes that are not UTF-8 are
// written as escapes the way `ls -b` writes them ("\033", "\r", "\302\233",
// "\233"), so a name can neither move the cursor nor pass for two lines.
// Other characters stay as they are.
// With keepLineBreaks a line feed stays (for messages of several lines).
std::string terminalText(std::string_view text, bool keepLineBreaks = false);

// Text for `stream`: escaped as above when the stream is a terminal, the
// exact bytes otherwise (a pipe or a file). Everything renomiq-cli writes that
// can hold a name goes through here.
std::string textFor(std::FILE *stream, std::string_view text, bool keepLineBreaks = false);

} // namespace renomiq
