#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <sys/types.h>
#include <vector>

namespace renomiq::test {

// The renomiq-cli under test: RENOMIQ_CLI when set (to try an older build
// against these tests), else the one built with them.
std::string cliProgram();

// How to start one renomiq-cli process.
struct CliProcess {
    CliProcess(std::vector<std::string> args, std::vector<std::string> prefix = {}, uid_t user = 0,
               long fileSizeLimit = -1, long addressSpaceLimit = -1, std::string errFile = {})
        : args(std::move(args)), prefix(std::move(prefix)), user(user), fileSizeLimit(fileSizeLimit),
          addressSpaceLimit(addressSpaceLimit), errFile(std::move(errFile))
    {
    }
    std::vector<std::string> args;
    std::vector<std::string> prefix;   // a program that starts it (strace ...)
    uid_t user = 0;                    // run as this user when not 0 and we are root
    long fileSizeLimit = -1;           // RLIMIT_FSIZE in bytes, when not -1
    long addressSpaceLimit = -1;       // RLIMIT_AS in bytes, when not -1
    std::string errFile;               // standard error goes here (else /dev/null)
};

pid_t start(const CliProcess &process);
// The wait status.
int finish(pid_t pid);
int runToEnd(const CliProcess &process);

// The names in a host folder ("." entries included, "." and ".." not).
std::set<std::string> namesIn(const std::string &folder);
// Creates empty files.
void createFiles(const std::string &folder, const std::vector<std::string> &names);
std::string readHost(const std::string &path);
// Journals ("rollback*.jnl") in the data folder.
std::vector<std::string> journalsIn(const std::string &dataFolder);
// True when strace can trace and inject here.
bool straceWorks();

} // namespace renomiq::test
