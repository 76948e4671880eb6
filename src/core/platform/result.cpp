#include "platform/result.h"

#include <cstring>

namespace renomiq {

Error errnoError(int code, const std::string &action, const std::string &path)
{
    return Error{code, action + " '" + path + "': " + std::strerror(code)};
}

std::string reasonOf(const Error &error)
{
    switch (error.fault) {
    case Fault::NewNameHoldsSeparator: return "the new name holds '/', which separates the folders of a path";
    case Fault::NewNameHoldsControlCharacter: return "the new name holds a control character (such as a line break)";
    case Fault::None: break;
    }
    return error.code != 0 ? std::strerror(error.code) : error.message;
}

} // namespace renomiq
