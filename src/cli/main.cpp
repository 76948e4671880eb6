#include "cli/cli_app.h"
#include "cli/cli_windows.h"

#include <clocale>
#include <csignal>

namespace {

void onInterrupt(int)
{
    renomiq::CliWindows::interrupted = true;
}

} // namespace

int main(int argc, char *argv[])
{
    std::setlocale(LC_ALL, "");
    std::signal(SIGINT, onInterrupt);
    // A file that reaches the size limit is a failed write, reported, not the end.
    std::signal(SIGXFSZ, SIG_IGN);
    return renomiq::runCli(std::vector<std::string>(argv + 1, argv + argc));
}
