#include "cli/terminal_prompter.h"

#include "cli/terminal_text.h"

#include <unistd.h>

namespace renomiq {

namespace {

// The message's text for the terminal: its own line breaks stay, the names
// it quotes are escaped whole, line breaks too.
std::string shownText(std::FILE *stream, const Message &message)
{
    if (!::isatty(::fileno(stream)))
        return message.text;
    std::string shown;
    std::string plain;
    const std::string &text = message.text;
    for (std::size_t at = 0; at < text.size();) {
        const std::string *quoted = nullptr;
        for (const std::string &name : message.names) {
            if (!name.empty() && text.compare(at, name.size(), name) == 0
                && (!quoted || name.size() > quoted->size()))
                quoted = &name;
        }
        if (!quoted) {
            plain += text[at++];
            continue;
        }
        shown += terminalText(plain, true);
        plain.clear();
        shown += terminalText(*quoted);
        at += quoted->size();
    }
    return shown + terminalText(plain, true);
}

// Is this the question whether to rename without an undo log?
} // namespace

Answer TerminalPrompter::show(const Message &message)
{
    // Refusals and questions quote names from disk.
    std::fprintf(m_output, "%s: %s\n", textFor(m_output, message.caption).c_str(),
                 shownText(m_output, message).c_str());
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
        if (m_yes) {
            std::fputs("renomiq-cli: --yes does not answer this question, so the answer is No; "
                       "give --no-undo to rename without an undo log.\n",
                       m_output);
            return no;
        }
    } else if (m_yes) {
        return yes;
    }
    if (!::isatty(::fileno(m_input))) {
        // Nobody to ask: say what was answered and how to answer otherwise.
        if (message.needsOwnConsent)
            std::fputs("renomiq-cli: standard input is not a terminal, so the answer is No; "
                       "give --no-undo to rename without an undo log.\n",
                       m_output);
        else if (okCancel)
            std::fputs("renomiq-cli: standard input is not a terminal, so the answer is Cancel; "
                       "give --yes to answer OK.\n",
                       m_output);
        else
            std::fputs("renomiq-cli: standard input is not a terminal, so the answer is No; "
                       "give --yes to answer Yes.\n",
                       m_output);
        return no;
    }
    std::fprintf(m_output, "%s [y/N] ", okCancel ? "OK?" : "Yes?");
    std::fflush(m_output);
    char line[64] = {};
    if (!std::fgets(line, sizeof line, m_input))
        return no;
    return (line[0] == 'y' || line[0] == 'Y') ? yes : no;
}

} // namespace renomiq
