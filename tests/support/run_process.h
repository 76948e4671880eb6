#pragma once

#include <string>
#include <vector>

namespace renomiq::test {

struct ProcessResult {
    int exitCode = -1; // -1 when the process did not start or did not exit normally
    std::string output; // standard output and standard error together
};

// Runs a program (found on PATH when the name has no '/') with the test's
// environment, in `workingFolder` when given, and waits for it.
ProcessResult runProcess(const std::vector<std::string> &arguments, const std::string &workingFolder = {});

// Writes an executable shell script.
void writeScript(const std::string &hostPath, const std::string &body);

} // namespace renomiq::test
