// Fuzz target for the command line of renomiq-send, which file managers fill
// with the user's selection (host paths, relative paths, URIs; cut here at
// NUL bytes): each item becomes a clean absolute path or is left out with its
// reason, and the receiving instance reads back one path per item handed over.
#include "fuzz/fuzz_support.h"
#include "platform/host_file_system.h"
#include "send/hand_off_sender.h"
#include "targets/hand_off.h"

#include <cstdlib>

namespace {

renomiq::DriveTable drives()
{
    // Drive F: is the scratch folder; R: is the root, so every absolute path
    // is on a drive.
    renomiq::DriveTable table = renomiq::fuzz::scratchDrive();
    table.setDrive('R', "/");
    return table;
}

// Absolute, and without empty, "." or ".." parts.
bool isClean(const std::string &path)
{
    if (path.empty() || path[0] != '/')
        return false;
    if (path == "/")
        return true;
    std::size_t start = 1;
    for (;;) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        if (end == path.size())
            return true;
        start = end + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace renomiq;
    static HostFileSystem fs(drives());
    const std::vector<std::string> args = fuzz::arguments(data, size);
    const std::string &keyword = args[0];
    const std::vector<std::string> items(args.begin() + 1, args.end());
    const std::string currentFolder = fuzz::scratch() + "/here";
    for (const std::string &item : items) {
        const auto host = HandOffSender::hostPathOf(item, currentFolder);
        if (host && !isClean(*host))
            std::abort();
    }

    ::unlink((fuzz::scratch() + "/fn000.tmp").c_str());
    std::vector<HandOffSender::LeftOut> skipped;
    HandOffSender sender(fs, "F:\\");
    const auto sent = sender.send(keyword, items, currentFolder, skipped);
    if (!sent)
        return 0;
    const auto paths = HandOffFile(fs, "F:\\").read();
    if (!paths || paths->size() + skipped.size() != items.size())
        std::abort(); // a path split in two, or one lost on its way
    return 0;
}
