// Fuzz target for the registry file, which the user may edit by hand: any
// text is parsed without fault, and whatever it parses to is written and read
// back alike.
#include "platform/file_registry.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using renomiq::FileRegistry;
    const std::string text(reinterpret_cast<const char *>(data), size);
    const auto keys = FileRegistry::parse(text);
    if (!keys)
        return 0;
    const std::string written = FileRegistry::format(*keys);
    const auto again = FileRegistry::parse(written);
    if (!again || FileRegistry::format(*again) != written)
        std::abort(); // a value that does not survive its own file
    return 0;
}
