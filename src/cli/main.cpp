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
    return renomiq::runCli(std::vector<std::string>(argv + 1, argv + argc));
}
