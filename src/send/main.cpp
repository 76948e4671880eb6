// renomiq-send: what the file managers' "Renomiq" menu runs. It writes the
// selected items to the hand-off file and starts the renomiq beside it with
// the keyword of the chosen command.
#include "platform/host_file_system.h"
#include "platform/host_io.h"
#include "platform/user_folders.h"
#include "send/hand_off_sender.h"
#include "targets/hand_off.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

int usage()
{
    std::fputs("usage: renomiq-send KEYWORD PATH...\n"
               "Hands the paths (or file:// URIs) to a new Renomiq started with KEYWORD:\n"
               "Removpart, Replapart, Addnewnum, Changnew, Changexten, Savealls or Savesomes.\n",
               stderr);
    return 2;
}

std::string currentFolder()
{
    std::vector<char> buffer(4096);
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE)
            return "/";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

} // namespace

int main(int argc, char *argv[])
{
    using namespace renomiq;
    if (argc < 3)
        return usage();
    const std::string keyword = argv[1];
    const std::vector<std::string> items(argv + 2, argv + argc);

    HostFileSystem fileSystem;
    const std::string dataHost = UserFolders::dataFolder();
    if (Status made = makeHostFolders(dataHost); !made) {
        std::fprintf(stderr, "renomiq-send: %s\n", made.error().message.c_str());
        return 1;
    }
    const auto dataFolder = fileSystem.fromHostPath(dataHost.substr(0, dataHost.size() - 1));
    if (!dataFolder) {
        std::fprintf(stderr, "renomiq-send: no drive holds %s\n", dataHost.c_str());
        return 1;
    }

    std::vector<HandOffSender::LeftOut> skipped;
    HandOffSender sender(fileSystem, *dataFolder + '\\');
    auto sent = sender.send(keyword, items, currentFolder(), skipped);
    for (const HandOffSender::LeftOut &left : skipped)
        std::fprintf(stderr, "renomiq-send: left out %s (%s)\n", left.item.c_str(), left.reason.c_str());
    if (!sent) {
        std::fprintf(stderr, "renomiq-send: %s\n", sent.error().message.c_str());
        return sent.error().message.rfind("unknown", 0) == 0 ? usage() : 1;
    }

    const std::string program = UserFolders::programFolder() + "renomiq";
    std::string programKeyword = *sent;
    char *arguments[] = {const_cast<char *>(program.c_str()), programKeyword.data(), nullptr};
    ::execv(program.c_str(), arguments);
    const int error = errno;
    // No one is there to read it; one left is replaced by the next hand-off.
    (void)HandOffFile(fileSystem, *dataFolder + '\\').remove();
    std::fprintf(stderr, "renomiq-send: cannot start %s: %s\n", program.c_str(), std::strerror(error));
    return 1;
}
