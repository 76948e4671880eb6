#pragma once

#include <string>

namespace renomiq {

// The help viewer, asked for one topic of the program's help.
class Help {
public:
    virtual ~Help() = default;
    virtual void showTopic(const std::string &topic) = 0;
};

} // namespace renomiq
