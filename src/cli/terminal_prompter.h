#pragma once

#include "platform/prompter.h"

#include <cstdio>

namespace renomiq {

// Message boxes on a terminal: each is printed to standard error as its
// caption, ": " and its text. Questions are answered yes with --yes, asked
// when standard input is a terminal, and answered no otherwise.
class TerminalPrompter : public Prompter {
public:
    TerminalPrompter(bool yes, std::FILE *input = stdin, std::FILE *output = stderr)
        : m_yes(yes), m_input(input), m_output(output)
    {
    }
    Answer show(const Message &message) override;

private:
    bool m_yes;
    std::FILE *m_input;
    std::FILE *m_output;
};

} // namespace renomiq
