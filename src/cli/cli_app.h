#pragma once

#include <string>
#include <vector>

namespace renomiq {

// renomiq-cli without its process set-up: runs one command line and returns
// the exit status (0 done, 1 refused or nothing done, 2 usage error).
int runCli(const std::vector<std::string> &arguments);

} // namespace renomiq
