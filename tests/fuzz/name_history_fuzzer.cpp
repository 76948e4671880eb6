// Fuzz target for the name history "Newname.txt", which the user may edit by
// hand: any file is loaded, and a new entry goes on top of a list cut to its
// maximum, as written.
#include "fuzz/fuzz_support.h"
#include "platform/host_file_system.h"
#include "platform/text_lines.h"
#include "settings/name_history.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace renomiq;
    static HostFileSystem fs(fuzz::scratchDrive());
    // The first byte is the maximum ("Listnum", 0-100), the rest the file.
    int maximum = size > 0 ? data[0] % 101 : 5;
    const std::size_t skip = size > 0 ? 1 : 0;
    fuzz::writeHost(fuzz::scratch() + "/Newname.txt", data + skip, size - skip);

    NameHistory history(fs, "F:\\", maximum);
    history.load();
    (void)history.add("new entry"); // the entries are checked below, whatever the file
    const std::vector<std::string> &entries = history.entries();
    if (maximum == 0) {
        if (!entries.empty())
            std::abort();
        return 0;
    }
    if (entries.empty() || entries.front() != "new entry" || entries.size() > static_cast<std::size_t>(maximum))
        std::abort();
    const auto written = fs.readFile("F:\\Newname.txt", NameHistory::kFileLimit);
    if (!written || splitLines(*written) != entries)
        std::abort();
    return 0;
}
