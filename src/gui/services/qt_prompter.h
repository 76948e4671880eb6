#pragma once

#include "platform/prompter.h"

namespace renomiq {

// Message boxes with QMessageBox, owned by the active window.
class QtPrompter : public Prompter {
public:
    Answer show(const Message &message) override;
};

} // namespace renomiq
