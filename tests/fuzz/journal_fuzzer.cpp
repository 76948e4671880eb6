// Fuzz target for the journals that a start-up recovers: any bytes left as a
// journal are recovered, removed or set aside, and a recovered undo log holds
// only whole records: pairs of Windows-style paths, each after
// the identity line of its item when it has one.
#include "fuzz/fuzz_support.h"
#include "platform/host_file_system.h"
#include "platform/text_lines.h"
#include "run/undo_log.h"

#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>

namespace {

bool isDrivePath(const std::string &line)
{
    return line.size() >= 3 && ((line[0] | 0x20) >= 'a' && (line[0] | 0x20) <= 'z') && line[1] == ':'
        && line[2] == '\\';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace renomiq;
    static HostFileSystem fs(fuzz::scratchDrive());
    const std::string folder = fuzz::scratch() + "/data";
    ::mkdir(folder.c_str(), 0700);
    fuzz::emptyFolder(folder);
    fuzz::writeHost(folder + "/rollback.12-0000000000ab.jnl", data, size);

    UndoLog log(fs, "F:\\data\\");
    const UndoLog::Recovery recovery = log.recoverAbandonedJournals();
    if (recovery.recovered > 1 || !recovery.keptLogs.empty())
        std::abort(); // one journal, and no undo log before it
    // The journal is gone: recovered, removed or set aside.
    struct stat st {};
    if (::stat((folder + "/rollback.12-0000000000ab.jnl").c_str(), &st) == 0)
        std::abort();
    if (recovery.recovered == 1) {
        const auto lines = log.read();
        if (!lines || lines->empty())
            std::abort();
        // Records: an identity line, when known, and a pair of paths.
        std::size_t paths = 0;
        for (const std::string &line : *lines) {
            if (identityOfLine(line) || folderOfLine(line)) {
                if (paths % 2 != 0)
                    std::abort();
            } else if (!isDrivePath(line)) {
                std::abort();
            } else {
                ++paths;
            }
        }
        if (paths == 0 || paths % 2 != 0 || identityOfLine(lines->back()))
            std::abort();
    }
    return 0;
}
