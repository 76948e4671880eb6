#include "cli/terminal_prompter.h"

#include "cli/terminal_text.h"

#include <unistd.h>

namespace renomiq {

Answer TerminalPrompter::show(const Message &message)
{
    // Refusals and questions quote names from disk.
    std::fprintf(m_output, "%s: %s\n", textFor(m_output, message.caption).c_str(),
                 textFor(m_output, message.text, true).c_str());
    const bool okCancel = message.buttons == MessageButtons::OkCancel;
    switch (message.buttons) {
    case MessageButtons::Ok:
        return Answer::Ok;
    case MessageButtons::OkCancel:
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        break;
    }
    const Answer yes = okCancel ? Answer::Ok : Answer::Yes;
    const Answer no = okCancel ? Answer::Cancel : (message.buttons == MessageButtons::YesNo ? Answer::No : Answer::Cancel);
    if (message.needsOwnConsent) {
        if (m_ownConsent)
            return yes;
        if (m_yes)
            return no;
    } else if (m_yes) {
        return yes;
    }
    if (!::isatty(::fileno(m_input)))
        return no;
    std::fprintf(m_output, "%s [y/N] ", okCancel ? "OK?" : "Yes?");
    std::fflush(m_output);
    char line[64] = {};
    if (!std::fgets(line, sizeof line, m_input))
        return no;
    return (line[0] == 'y' || line[0] == 'Y') ? yes : no;
}

} // namespace renomiq
