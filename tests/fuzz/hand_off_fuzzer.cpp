// Fuzz target for the hand-off file "fn000.tmp", which another program
// writes: read from disk as the receiving instance reads it, it gives paths
// that are never empty and never hold a line break or a '/'.
#include "fuzz/fuzz_support.h"
#include "platform/host_file_system.h"
#include "targets/hand_off.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace renomiq;
    static HostFileSystem fs(fuzz::scratchDrive());
    fuzz::writeHost(fuzz::scratch() + "/fn000.tmp", data, size);
    HandOffFile file(fs, "F:\\");
    const auto paths = file.read();
    if (!paths)
        std::abort(); // a regular file within the bound is always read
    for (const std::string &path : *paths) {
        if (path.empty() || path.find_first_of("\r\n/") != std::string::npos)
            std::abort();
    }
    return 0;
}
