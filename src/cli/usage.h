#pragma once

namespace renomiq {

// The text of renomiq-cli --help.
extern const char kCliUsage[];

} // namespace renomiq
