#pragma once

#include "platform/help.h"

#include <string>

namespace renomiq {

// Opens a topic of the program's help as "<folder>/help/<topic>.html" in the
// desktop's browser; without one, the help index.
class QtHelp : public Help {
public:
    explicit QtHelp(std::string installHostFolder) : m_folder(std::move(installHostFolder)) {}
    void showTopic(const std::string &topic) override;

private:
    std::string m_folder;
};

} // namespace renomiq
