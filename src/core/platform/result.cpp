#include "platform/result.h"

#include <cstring>

namespace renomiq {

Error errnoError(int code, const std::string &action, const std::string &path)
{
    return Error{code, action + " '" + path + "': " + std::strerror(code)};
}

} // namespace renomiq
