#pragma once

#include "platform/clipboard.h"

namespace renomiq {

class QtClipboard : public Clipboard {
public:
    std::string text() const override;
    void setText(const std::string &text) override;
};

} // namespace renomiq
