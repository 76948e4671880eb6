// How renomiq-cli answers the questions of a run: --yes, --no-undo, neither,
// with standard input not a terminal.
#include "cli/terminal_prompter.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace renomiq {
namespace {

TEST(TerminalPrompter, OnlyItsOwnConsentAnswersAQuestionThatNeedsIt)
{
    const Message plain{"Confirmation", "Replace?", MessageIcon::Question, MessageButtons::YesNo};
    const Message withoutUndo{"Confirmation",
                              "The undo log cannot be written: No space left on device. Rename without the "
                              "possibility to undo?",
                              MessageIcon::Question, MessageButtons::YesNo, {}, true};
    const struct {
        const char *name;
        bool yes;
        bool ownConsent;
        const Message &message;
        Answer answer;
    } rows[] = {
        {"--yes, a plain question", true, false, plain, Answer::Yes},
        {"--yes, renaming without undo", true, false, withoutUndo, Answer::No},
        {"--yes --no-undo, renaming without undo", true, true, withoutUndo, Answer::Yes},
        {"--no-undo, renaming without undo", false, true, withoutUndo, Answer::Yes},
        {"--no-undo, a plain question", false, true, plain, Answer::No},
        {"neither, renaming without undo", false, false, withoutUndo, Answer::No},
    };
    for (const auto &row : rows) {
        std::FILE *input = std::fopen("/dev/null", "r");
        std::FILE *output = std::tmpfile();
        ASSERT_TRUE(input && output);
        EXPECT_EQ(TerminalPrompter(row.yes, input, output, row.ownConsent).show(row.message), row.answer) << row.name;
        std::fclose(input);
        std::fclose(output);
    }
}

} // namespace
} // namespace renomiq
