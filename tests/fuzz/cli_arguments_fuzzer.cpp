// Fuzz target for the command line of renomiq-cli: any arguments (cut at
// NUL bytes) are parsed without fault, and a parsed command is one of the
// modes with what that mode needs.
#include "cli/cli_options.h"
#include "fuzz/fuzz_support.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace renomiq;
    std::string error;
    const auto command = parseCliArguments(fuzz::arguments(data, size), error);
    if (!command) {
        if (error.empty())
            std::abort(); // a refusal always says why
        return 0;
    }
    if (command->mode != CliCommand::Help && command->mode != CliCommand::Undo && command->targets.empty())
        std::abort(); // a rename or an export without a target
    if (command->mode == CliCommand::Save && command->output.empty())
        std::abort(); // an export to nowhere
    if (command->mode == CliCommand::Undo && !command->log.empty() && !command->targets.empty())
        std::abort();
    return 0;
}
