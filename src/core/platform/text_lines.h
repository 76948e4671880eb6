#pragma once

#include <string>
#include <vector>

namespace renomiq {

// The program's text files: one entry per line in the system code page. On
// reading, CR LF, LF or CR each end a line; an empty line is an empty entry.
std::vector<std::string> splitLines(const std::string &content);
// Every line, the last too, ended by CR LF.
std::string joinLines(const std::vector<std::string> &lines);

} // namespace renomiq
