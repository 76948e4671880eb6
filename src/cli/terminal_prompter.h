#pragma once

#include "platform/prompter.h"

#include <cstdio>

namespace renomiq {

// Message boxes on a terminal: each is printed to standard error as its
// caption, ": " and its text. Questions are answered yes with --yes, asked
// when standard input is a terminal, and answered no otherwise. A question
// that needs its own consent is answered yes only with that consent
// (--no-undo), and no with --yes alone.
class TerminalPrompter : public Prompter {
public:
    TerminalPrompter(bool yes, std::FILE *input = stdin, std::FILE *output = stderr, bool ownConsent = false)
        : m_yes(yes), m_ownConsent(ownConsent), m_input(input), m_output(output)
    {
    }
    Answer show(const Message &message) override;

private:
    bool m_yes;
    bool m_ownConsent;
    std::FILE *m_input;
    std::FILE *m_output;
};

} // namespace renomiq
