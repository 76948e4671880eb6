#include "cli/cli_app.h"
#include "cli/cli_windows.h"

#include <clocale>
#include <csignal>

namespace {

// The first Ctrl+C stops the run between two items; a second one, before the
// run has seen the first (a run without the progress display looks only at
// its end), ends the program at once: the journal keeps what was renamed.
void onInterrupt(int)
{
    if (renomiq::CliWindows::interrupted.exchange(true)) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    std::setlocale(LC_ALL, "");
    // Without SA_RESTART: a Ctrl+C at a question ends its read, which then
    // answers No, as the run's stop request is seen between two items.
    struct sigaction interrupt {};
    interrupt.sa_handler = onInterrupt;
    sigemptyset(&interrupt.sa_mask);
    interrupt.sa_flags = 0;
    sigaction(SIGINT, &interrupt, nullptr);
    // A file that reaches the size limit is a failed write, reported, not the end.
    std::signal(SIGXFSZ, SIG_IGN);
    return renomiq::runCli(std::vector<std::string>(argv + 1, argv + argc));
}
